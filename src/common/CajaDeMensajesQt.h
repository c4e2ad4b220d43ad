#pragma once

#include "outside/CajaDeMensajes.h"

// The program's message boxes: QMessageBox, always with plain text, so that a
// text the program did not write (a server's message, stored data) is shown
// as it is and never read as markup.
class CajaDeMensajesQt : public CajaDeMensajes {
public:
    Boton muestra(const Caja& caja) override;
};
