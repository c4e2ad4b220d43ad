#include "outside/Texto.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

bool esDeControl(char32_t c) {
    return c < 0x20 || (c >= 0x7f && c < 0xa0);
}

bool esSalto(char32_t c) {
    return c == u'\t' || c == u'\n' || c == u'\r';
}

bool esParDeMitades(QStringView texto, qsizetype i) {
    return texto.at(i).isHighSurrogate() && i + 1 < texto.size() && texto.at(i + 1).isLowSurrogate();
}

std::optional<char32_t> busca(QStringView texto, bool admiteSaltos) {
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (esParDeMitades(texto, i)) {
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
        if (esParDeMitades(texto, i))
            ++i;
    return n;
}

QList<Tramo> sobrantes(QStringView texto, qsizetype cursor, qsizetype maximo, bool variasLineas) {
    cursor = std::clamp<qsizetype>(cursor, 0, texto.size());
    // What no text may hold, each code marked; and what stays, counted.
    QList<bool> fuera(texto.size(), false);
    qsizetype quedan = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        if (esParDeMitades(texto, i)) {
            ++i;
            ++quedan;
            continue;
        }
        const char16_t c = texto.at(i).unicode();
        if (QChar::isSurrogate(c) || (esDeControl(c) && !(variasLineas && esSalto(c))))
            fuera[i] = true;
        else
            ++quedan;
    }
    // Past the maximum, whole characters as a reader sees them go: first
    // those before the cursor (what was just typed or pasted), then, if the
    // rest is still too long, those at the end.
    const auto quita = [&](qsizetype fin) {
        if (maximo < 0 || quedan <= maximo)
            return;
        QTextBoundaryFinder limites(QTextBoundaryFinder::Grapheme, texto.toString());
        limites.setPosition(fin);
        if (!limites.isAtBoundary())
            limites.toNextBoundary();
        while (quedan > maximo && limites.position() > 0) {
            fin = limites.position();
            const qsizetype inicio = limites.toPreviousBoundary();
            for (qsizetype i = inicio; i < fin; ++i) {
                if (fuera[i])
                    continue;
                fuera[i] = true;
                // The second half of a pair was counted with the first.
                if (!(texto.at(i).isLowSurrogate() && i > 0 && texto.at(i - 1).isHighSurrogate()))
                    --quedan;
            }
        }
    };
    quita(cursor);
    quita(texto.size());
    QList<Tramo> tramos;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        if (!fuera[i])
            continue;
        if (!tramos.isEmpty() && tramos.last().inicio + tramos.last().largo == i)
            ++tramos.last().largo;
        else
            tramos.append({i, 1});
    }
    return tramos;
}

QString sinSobrantes(QStringView texto, qsizetype& cursor, qsizetype maximo, bool variasLineas) {
    QString queda = texto.toString();
    const QList<Tramo> tramos = sobrantes(texto, cursor, maximo, variasLineas);
    for (auto t = tramos.crbegin(); t != tramos.crend(); ++t) {
        queda.remove(t->inicio, t->largo);
        if (cursor > t->inicio)
            cursor -= std::min(t->largo, cursor - t->inicio);
    }
    return queda;
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
