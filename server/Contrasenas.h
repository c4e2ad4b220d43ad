#pragma once

#include <QString>

// Passwords are kept as salted PBKDF2-HMAC-SHA256 digests, in one text:
// "pbkdf2-sha256$<iterations>$<salt base64>$<digest base64>".
namespace Contrasenas {
inline constexpr int iteracionesPorDefecto = 60000;
QString codifica(const QString& contrasena, int iteraciones = iteracionesPorDefecto);
// False for a wrong password and for a stored text of any other form.
bool verifica(const QString& contrasena, const QString& codificada);
} // namespace Contrasenas
