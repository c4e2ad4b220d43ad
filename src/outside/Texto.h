#pragma once

#include <QString>
#include <optional>

// What a text may hold on its way to a catalog, and how long it is, both as
// a reader counts: a character written with two UTF-16 halves is one.
namespace Texto {

// The number of characters, as the server's varchar(n) counts them.
qsizetype caracteres(QStringView texto);

// The first code that no stored text may hold: a control character (tab,
// line feed and carriage return aside, which multi-line boxes write) or half
// of a character, a UTF-16 surrogate without its pair. None for a sound text.
std::optional<char32_t> primerNoAdmitido(QStringView texto);
// The same for a text of one line, such as an account or a password: no
// control character at all.
std::optional<char32_t> primerNoAdmitidoEnUnaLinea(QStringView texto);

// "el carácter de control U+0000", "medio carácter (U+D83D)": how a refusal
// names what it refused.
QString describe(char32_t codigo);

} // namespace Texto
