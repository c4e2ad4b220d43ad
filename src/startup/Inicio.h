#pragma once

#include "outside/AjustesDeConexion.h"

#include <QString>

class MDITaloren;

namespace Modulo {

// The start-up routine: reads the settings, opens kelmar, checks the
// configuration and the version, opens taloren and shows the login. True when
// a user logged in and the main window stands; false when the program is to
// end.
bool Main(const QString& archivoDeAjustes);
bool Main(const AjustesDeConexion& ajustes);

// The main window, created on first use (the login loads it unseen) and
// shown by the login.
MDITaloren& mdi();
bool ExisteMdi();
void DestruyeMdi();

} // namespace Modulo
