#include "server/intercambio/Csv.h"

#include "outside/ErrorDeEjecucion.h"

#include <QStringDecoder>

namespace Csv {

namespace {

const QString fuente = QStringLiteral("Intercambio");

bool necesitaComillas(const QString& t) {
    if (t.isEmpty())
        return true;
    for (const QChar c : t)
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    return false;
}

// The bytes 0x80 to 0x9F of Windows-1252; 0 where it defines none.
constexpr char16_t altos[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QByteArray linea(const Fila& campos, const QList<bool>& comoTexto) {
    QString t;
    for (qsizetype i = 0; i < campos.size(); ++i) {
        if (i > 0)
            t += u',';
        const Valor& v = campos.at(i);
        if (!v)
            continue;
        if (comoTexto.value(i, true) && necesitaComillas(*v)) {
            QString citado = *v;
            citado.replace(u'"', QStringLiteral("\"\""));
            t += u'"' + citado + u'"';
        } else {
            t += *v;
        }
    }
    t += QStringLiteral("\r\n");
    return t.toUtf8();
}

std::optional<QString> desdeWindows1252(const QByteArray& bytes) {
    QString t;
    t.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0) {
            if (altos[b - 0x80] == 0)
                return std::nullopt;
            t += QChar(altos[b - 0x80]);
        } else {
            t += QChar(char16_t(b));
        }
    }
    return t;
}

Archivo lee(const QByteArray& bytes, const QString& nombre) {
    Archivo a;
    QString texto;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        texto = d(bytes.mid(3));
        if (d.hasError())
            throw ErrorDeEjecucion(
                CodigoDeError::Conversion,
                QStringLiteral("El archivo %1 empieza como UTF-8 y tiene bytes que no lo son.").arg(nombre),
                fuente);
        a.codificacion = QStringLiteral("UTF-8 con marca de orden de bytes");
    } else {
        QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        texto = d(bytes);
        if (!d.hasError()) {
            a.codificacion = QStringLiteral("UTF-8");
        } else if (const auto w = desdeWindows1252(bytes)) {
            texto = *w;
            a.codificacion = QStringLiteral("Windows-1252");
        } else {
            throw ErrorDeEjecucion(
                CodigoDeError::Conversion,
                QStringLiteral("El archivo %1 no está en UTF-8 ni en Windows-1252.").arg(nombre), fuente);
        }
    }

    QList<Fila> filas;
    Fila actual;
    const QChar* p = texto.constData();
    const qsizetype n = texto.size();
    qsizetype i = 0;
    int lineaNo = 1;
    const auto malaComilla = [&] {
        return ErrorDeEjecucion(
            CodigoDeError::Conversion,
            QStringLiteral("El archivo %1 tiene una comilla fuera de lugar en la línea %2.")
                .arg(nombre)
                .arg(lineaNo),
            fuente);
    };
    // One field at a time: an unquoted one is a slice up to the next comma
    // or line end (empty: a null); a quoted one ends at its lone quote.
    while (i < n) {
        if (p[i] == u'"') {
            const int inicio = lineaNo;
            QString campo;
            qsizetype desde = ++i;
            for (;;) {
                if (i >= n)
                    throw ErrorDeEjecucion(CodigoDeError::Conversion,
                                           QStringLiteral("El archivo %1 tiene unas comillas sin cerrar que "
                                                          "empiezan en la línea %2.")
                                               .arg(nombre)
                                               .arg(inicio),
                                           fuente);
                if (p[i] == u'"') {
                    campo.append(p + desde, i - desde);
                    if (i + 1 < n && p[i + 1] == u'"') {
                        campo += u'"';
                        i += 2;
                        desde = i;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (p[i] == u'\n')
                    ++lineaNo;
                ++i;
            }
            actual << Valor(campo.isNull() ? QStringLiteral("") : campo);
            if (i < n && p[i] != u',' && p[i] != u'\r' && p[i] != u'\n')
                throw malaComilla();
        } else {
            const qsizetype desde = i;
            while (i < n && p[i] != u',' && p[i] != u'\r' && p[i] != u'\n') {
                if (p[i] == u'"')
                    throw malaComilla();
                ++i;
            }
            actual << (i > desde ? Valor(QString(p + desde, i - desde)) : Valor());
        }
        if (i >= n)
            break;
        if (p[i] == u',') {
            ++i;
            if (i >= n)
                actual << Valor();
            continue;
        }
        // The end of a line: CRLF or LF.
        if (p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n')
            ++i;
        ++i;
        ++lineaNo;
        filas << actual;
        actual.clear();
    }
    if (!actual.isEmpty())
        filas << actual;
    if (filas.isEmpty())
        throw ErrorDeEjecucion(
            CodigoDeError::Conversion,
            QStringLiteral("El archivo %1 está vacío: le falta el renglón de encabezado.").arg(nombre),
            fuente);
    for (const Valor& v : filas.takeFirst())
        a.encabezado << v.value_or(QString()).trimmed();
    for (qsizetype i = 0; i < filas.size(); ++i)
        if (filas.at(i).size() != a.encabezado.size())
            throw ErrorDeEjecucion(
                CodigoDeError::Conversion,
                QStringLiteral("El archivo %1 tiene %2 campos en su registro %3 y %4 columnas en "
                               "el encabezado.")
                    .arg(nombre)
                    .arg(filas.at(i).size())
                    .arg(i + 1)
                    .arg(a.encabezado.size()),
                fuente);
    a.filas = std::move(filas);
    return a;
}

} // namespace Csv
