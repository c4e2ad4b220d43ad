#pragma once

// The office works in Spanish: dates day/month/year, Qt's own texts (dialogs,
// the command line's help) and the database driver's messages in Spanish.
// Says on standard error, naming `programa` and the package, when Qt's Spanish
// translations are missing, rather than falling back to English in silence.
namespace Idioma {
void PreparaEspanol(const char* programa);
}
