#pragma once

#include <QRect>
#include <QStringList>

class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;
class TextoMultilinea;

// The pieces the invitation windows are built from, each named and placed
// (in pixels) as the windows lay them out.
namespace Piezas {
// A fixed caption.
QLabel* rotulo(QWidget* padre, const char* texto, const QRect& lugar, const char* nombre = nullptr);
// A label that shows data: always plain text, sunken.
QLabel* dato(QWidget* padre, const char* nombre, const QRect& lugar);
QGroupBox* marco(QWidget* padre, const char* nombre, const char* titulo, const QRect& lugar);
QRadioButton* opcion(QWidget* padre, const char* nombre, const char* texto, const QRect& lugar);
// A one-line text box of at most `maximo` characters.
QLineEdit* texto(QWidget* padre, const char* nombre, int maximo, const QRect& lugar);
TextoMultilinea* textoLargo(QWidget* padre, const char* nombre, int maximo, const QRect& lugar);
// A date picker that shows day/month/year.
QDateEdit* fecha(QWidget* padre, const char* nombre, const QRect& lugar);
// A drop-down list the user picks from and cannot type into.
QComboBox* lista(QWidget* padre, const char* nombre, const QRect& lugar);
// Appends the entries without selecting any when the list had no selection
// (Qt would select the first entry of a list that was empty).
void agregaSinSeleccionar(QComboBox* lista, const QStringList& entradas);
} // namespace Piezas
