#include "outside/Parametro.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/Recordset.h"
#include "outside/Texto.h"

#include <limits>

Parametro Parametro::entrada(QString nombre, TipoDeParametro tipo, int tamano, QVariant valor) {
    return Parametro{std::move(nombre), tipo, Direccion::Entrada, tamano, std::move(valor)};
}

Parametro Parametro::salida(QString nombre, TipoDeParametro tipo, int tamano) {
    return Parametro{std::move(nombre), tipo, Direccion::Salida, tamano, QVariant()};
}

QString nombreDeTipo(TipoDeParametro tipo) {
    switch (tipo) {
    case TipoDeParametro::VarChar:
        return QStringLiteral("varchar");
    case TipoDeParametro::Char:
        return QStringLiteral("char");
    case TipoDeParametro::SmallInt:
        return QStringLiteral("smallint");
    case TipoDeParametro::Date:
        return QStringLiteral("date");
    }
    return {};
}

namespace {
[[noreturn]] void noConvierte(const QVariant& valor, TipoDeParametro tipo, const QString& nombre,
                              const QString& fuente) {
    throw ErrorDeEjecucion(
        CodigoDeError::Conversion,
        QStringLiteral("El valor '%1' del parámetro '%2' no se puede convertir al tipo %3.")
            .arg(valor.toString(), nombre, nombreDeTipo(tipo)),
        fuente);
}
} // namespace

QVariant normalizaValor(const QVariant& valor, TipoDeParametro tipo, int tamano, const QString& nombre,
                        const QString& fuente) {
    if (valor.isNull())
        return QVariant();
    switch (tipo) {
    case TipoDeParametro::VarChar:
    case TipoDeParametro::Char: {
        QString texto = valor.toString();
        if (const auto malo = Texto::primerNoAdmitido(texto))
            throw ErrorDeEjecucion(
                CodigoDeError::Conversion,
                QStringLiteral("El valor del parámetro '%1' tiene %2, que no se admite en un texto; no se "
                               "envió.")
                    .arg(nombre, Texto::describe(*malo)),
                fuente);
        // Characters as the server counts them: a character of two UTF-16
        // halves is one, and is never cut in two.
        const qsizetype largo = Texto::caracteres(texto);
        if (largo > tamano)
            throw ErrorDeEjecucion(
                CodigoDeError::Desbordamiento,
                QStringLiteral("El valor del parámetro '%1' tiene %2 caracteres y el parámetro admite %3; "
                               "no se envió.")
                    .arg(nombre)
                    .arg(largo)
                    .arg(tamano),
                fuente);
        if (tipo == TipoDeParametro::Char)
            texto += QString(tamano - largo, QLatin1Char(' '));
        // An empty box's text is empty text, not a missing value: the
        // drivers would bind a null QString as NULL.
        if (texto.isNull())
            texto = QStringLiteral("");
        return texto;
    }
    case TipoDeParametro::SmallInt: {
        bool ok = false;
        qlonglong n = 0;
        if (valor.metaType().id() == QMetaType::QString)
            n = valor.toString().trimmed().toLongLong(&ok);
        else if (valor.canConvert<qlonglong>())
            n = valor.toLongLong(&ok);
        if (!ok)
            noConvierte(valor, tipo, nombre, fuente);
        if (n < std::numeric_limits<qint16>::min() || n > std::numeric_limits<qint16>::max())
            throw ErrorDeEjecucion(
                CodigoDeError::Desbordamiento,
                QStringLiteral("El valor %1 del parámetro '%2' está fuera del rango de %3.")
                    .arg(n)
                    .arg(nombre, nombreDeTipo(tipo)),
                fuente);
        return int(n);
    }
    case TipoDeParametro::Date: {
        // A date travels as a date: text would be read differently by each backend.
        QDateTime fh;
        if (valor.metaType().id() == QMetaType::QDateTime)
            fh = valor.toDateTime().toLocalTime();
        else if (valor.metaType().id() == QMetaType::QDate)
            fh = valor.toDate().startOfDay();
        else
            throw ErrorDeEjecucion(
                CodigoDeError::Conversion,
                QStringLiteral("El parámetro '%1' es de tipo date y recibió un valor de tipo %2; las fechas "
                               "se pasan como fecha, no como texto.")
                    .arg(nombre, QString::fromLatin1(valor.typeName())),
                fuente);
        if (!fh.isValid())
            noConvierte(valor, tipo, nombre, fuente);
        return fh;
    }
    }
    return QVariant();
}
