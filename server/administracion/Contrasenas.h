#pragma once

#include <QString>

// Passwords are kept as bcrypt digests ("$2a$<cost>$<salt and digest>"), the
// one form that both the program (the system's libcrypt) and a PostgreSQL
// server (pgcrypto's crypt) verify, so one account table serves both
// backends. Digests of the earlier form "pbkdf2-sha256$<iterations>$<salt
// base64>$<digest base64>" still verify in the program.
namespace Contrasenas {
// The cost of a new digest: 2^10 rounds, a tenth of a second or so.
inline constexpr int costePorDefecto = 10;
// Throws ErrorDeEjecucion for a password that holds a control character or
// half a character, or when the system cannot make a digest.
QString codifica(const QString& contrasena, int coste = costePorDefecto);
// False for a wrong password and for a stored text of any other form.
bool verifica(const QString& contrasena, const QString& codificada);
// Whether a stored digest is of the form a server verifies.
bool esDelFormatoActual(const QString& codificada);
} // namespace Contrasenas
