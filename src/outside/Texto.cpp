#include "outside/Texto.h"

namespace {

bool esDeControl(char32_t c) {
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}

bool esSalto(char32_t c) {
    return c == u'\t' || c == u'\n' || c == u'\r';
}

std::optional<char32_t> busca(QStringView texto, bool admiteSaltos) {
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c.isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            return c.unicode();
        if (esDeControl(c.unicode()) && !(admiteSaltos && esSalto(c.unicode())))
            return c.unicode();
    }
    return std::nullopt;
}

} // namespace

namespace Texto {

qsizetype caracteres(QStringView texto) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < texto.size(); ++i, ++n)
        if (texto.at(i).isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate())
            ++i;
    return n;
}

std::optional<char32_t> primerNoAdmitido(QStringView texto) {
    return busca(texto, true);
}

std::optional<char32_t> primerNoAdmitidoEnUnaLinea(QStringView texto) {
    return busca(texto, false);
}

QString describe(char32_t codigo) {
    const QString hex = QStringLiteral("U+%1").arg(uint(codigo), 4, 16, QLatin1Char('0')).toUpper();
    if (QChar::isSurrogate(codigo))
        return QStringLiteral("medio carácter (%1)").arg(hex);
    return QStringLiteral("el carácter de control %1").arg(hex);
}

} // namespace Texto
