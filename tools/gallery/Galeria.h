#pragma once

// What every part of the gallery shares.
#include "outside/CajaDeMensajes.h"

#include <QString>

class QComboBox;
class QPixmap;
class QWidget;

namespace Galeria {

// Saves a picture as DIR/<nombre>.png; a picture that cannot be written ends the gallery.
void guarda(const QPixmap& imagen, const QString& nombre);
// A window as it stands on screen, loaded and laid out.
void retrata(QWidget& ventana, const QString& nombre);
// The window enlarged, as a person drags its corner, the grid or the long texts taking the room.
void retrataAmpliada(QWidget& ventana, const QString& nombre);
// Chooses an entry of a list as a click on it does.
void elige(QComboBox* combo, const QString& texto);

// Answers every box with its first button, so that a state reached through
// a message can be pictured without anyone at the keyboard.
class CajaQueAcepta : public CajaDeMensajes {
public:
    Boton muestra(const Caja& caja) override {
        for (Boton b : {Aceptar, Si})
            if (caja.botones & b)
                return b;
        return caja.escape;
    }
};

// The pictures of each part of the program.
void galeriaDeInicio();
void galeriaDeControles();
void galeriaDeInvitaciones();
void galeriaDeReportes();
void galeriaDeCaptura();
void galeriaDeConsultas();
// A record's history and the comparison of a save another station's change refused.
void galeriaDelHistorial();
// The office documents and the query sheet, made through the word processor
// in place, and pictured as LibreOffice lays them out.
void galeriaDeDocumentos();
// The officials' agenda, its month, and the main window's coming days.
void galeriaDeAgenda();

} // namespace Galeria
