#pragma once

#include <QList>
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

// A stretch of a text, in UTF-16 positions.
struct Tramo {
    qsizetype inicio, largo;
    friend bool operator==(const Tramo&, const Tramo&) = default;
};

// What a text box must take out of its text after a person typed or pasted
// ending at `cursor`, so that it holds only what can be stored: every control
// character (line breaks and tabs stay where `variasLineas`) and half
// character, and, past `maximo` characters (none when negative), the last
// whole characters as a reader sees them (a letter with its accents, an emoji
// with its modifiers) before the cursor, so that a paste keeps its beginning.
// In order, not overlapping; none for a text that may stay.
QList<Tramo> sobrantes(QStringView texto, qsizetype cursor, qsizetype maximo, bool variasLineas);
// The text without those stretches; `cursor` follows what stays.
QString sinSobrantes(QStringView texto, qsizetype& cursor, qsizetype maximo, bool variasLineas);

// "el carácter de control U+0000", "medio carácter (U+D83D)": how a refusal
// names what it refused.
QString describe(char32_t codigo);

} // namespace Texto
