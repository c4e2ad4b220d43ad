#pragma once

#include <QString>
#include <initializer_list>

class QDialog;
class QWidget;

// Work windows: drawn at fixed places for the size the office's forms had,
// they can be enlarged, the grids and long text boxes taking the room, and
// each opens again at the size it was last closed with at this station.
namespace Modulo {

// Makes `ventana` a work window: its name (which also names its remembered
// size), caption and natural size in twips, the least it takes. When it
// shows, it takes its remembered size, never larger than the main window's
// work area nor smaller than its natural size, and every list in it opens
// wide enough for its longest entry; when it hides, its size is remembered.
void PreparaVentanaDeTrabajo(QDialog& ventana, const QString& nombre, const QString& titulo, int anchoEnTwips,
                             int altoEnTwips);

// How one control follows the room its container gains over its natural
// size, in fractions of that gain: moved by x and y, widened and heightened by
// ancho and alto. The room a control gains is in turn its children's; a
// control not named keeps its place. Fractions that share a room add up to 1
// at most (two frames side by side: 0.5 each, the second moved by 0.5).
struct Crece {
    QWidget* control;
    double x = 0;
    double y = 0;
    double ancho = 0;
    double alto = 0;
};
// Names controls of a work window prepared above; more can be named later
// (a window's own controls after those of the part it shares).
void Crecen(QDialog& ventana, std::initializer_list<Crece> controles);

// The main window keeps its size, and whether it was maximized, the same way,
// within the screen: the work windows open within it.
void RecuerdaTamano(QWidget& ventana);

// The file where the sizes are remembered, one per station: the program's is
// beside its settings file (never in it); tests and the gallery name their
// own. None (the empty name): nothing is read or written.
void EstableceArchivoDeVentanas(const QString& archivo);
QString ArchivoDeVentanas();
QString ArchivoDeVentanasJuntoA(const QString& archivoDeAjustes);

} // namespace Modulo
