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
    QString campo;
    bool citado = false, enComillas = false, hayCampo = false;
    int lineaNo = 1, lineaDeLaFila = 1;
    const auto terminaCampo = [&] {
        actual << (citado || !campo.isEmpty() ? Valor(campo) : Valor());
        campo.clear();
        citado = false;
    };
    const auto terminaFila = [&] {
        terminaCampo();
        filas << actual;
        actual.clear();
        hayCampo = false;
    };
    const qsizetype n = texto.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = texto.at(i);
        if (enComillas) {
            if (c == u'"') {
                if (i + 1 < n && texto.at(i + 1) == u'"') {
                    campo += u'"';
                    ++i;
                } else {
                    enComillas = false;
                }
            } else {
                if (c == u'\n')
                    ++lineaNo;
                campo += c;
            }
            continue;
        }
        if (c == u'"' && campo.isEmpty() && !citado) {
            enComillas = citado = hayCampo = true;
        } else if (c == u'"' || (citado && c != u',' && c != u'\r' && c != u'\n')) {
            throw ErrorDeEjecucion(
                CodigoDeError::Conversion,
                QStringLiteral("El archivo %1 tiene una comilla fuera de lugar en la línea %2.")
                    .arg(nombre)
                    .arg(lineaNo),
                fuente);
        } else if (c == u',') {
            terminaCampo();
            hayCampo = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && texto.at(i + 1) == u'\n')
                ++i;
            terminaFila();
            ++lineaNo;
            lineaDeLaFila = lineaNo;
        } else {
            campo += c;
            hayCampo = true;
        }
    }
    if (enComillas)
        throw ErrorDeEjecucion(
            CodigoDeError::Conversion,
            QStringLiteral("El archivo %1 tiene unas comillas sin cerrar que empiezan en la "
                           "línea %2.")
                .arg(nombre)
                .arg(lineaDeLaFila),
            fuente);
    if (hayCampo || !actual.isEmpty())
        terminaFila();
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
