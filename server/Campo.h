#pragma once

#include "outside/ErrorDeEjecucion.h"
#include "outside/Parametro.h"
#include "outside/Procedimientos.h"
#include "outside/Recordset.h"
#include "server/Esquema.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <variant>

// One field of a record, said once: the column that stores it, the parameter
// that carries it to a procedure, its type and lengths, and the caption a
// person reads. The schema's table, the procedures' signatures, the
// parameters a window sends, the boxes' limits and the tests' rows all come
// from these.
struct Campo {
    const char* tabla = "";   // the table that stores it
    const char* columna = ""; // its column there
    Esquema::Tipo tipo = Esquema::Tipo::VarChar;
    int largo = 0;              // what the column stores (texts), in characters
    const char* resto = "";     // the column's constraints: "not null", "not null default ''"...
    const char* parametro = ""; // the procedures' parameter, "" when none carries it
    // Where the window's form states a shorter box than the column (never a
    // longer one: a box never takes what its column cannot store); 0: the column's.
    int largoEnPantalla = 0;
    const char* rotulo = ""; // the caption a person reads
    int version = 1;         // the catalog's schema version that added it

    Esquema::Columna columnaDelEsquema() const;
    Procedimiento::Firma firma() const;
    Parametro parametroCon(const QVariant& valor) const;
    int limiteEnPantalla() const { return largoEnPantalla > 0 ? largoEnPantalla : largo; }
    QString nombreDeColumna() const { return QString::fromUtf8(columna); }
    QString nombreDelParametro() const { return QString::fromUtf8(parametro); }
    QString textoDelRotulo() const { return QString::fromUtf8(rotulo); }
};

// A field together with the member of the record type that holds it.
template <class Registro> struct CampoDe : Campo {
    using Miembro = std::variant<QString Registro::*, QDateTime Registro::*, int Registro::*>;
    Miembro miembro;

    QVariant lee(const Registro& registro) const {
        return std::visit([&](auto m) { return QVariant::fromValue(registro.*m); }, miembro);
    }
    // The value as its column stores it: an absent text as the empty text
    // (the optional texts refuse nulls), an invalid date as null.
    QVariant valorAlGuardar(const Registro& registro) const {
        QVariant valor = lee(registro);
        if (tipo == Esquema::Tipo::VarChar && valor.toString().isNull())
            return QStringLiteral("");
        if (tipo == Esquema::Tipo::Timestamp && !valor.toDateTime().isValid())
            return {};
        return valor;
    }
    // A null value leaves an empty text, an invalid date or zero.
    void escribe(Registro& registro, const QVariant& valor) const {
        std::visit(
            [&](auto m) {
                using T = std::remove_cvref_t<decltype(registro.*m)>;
                if constexpr (std::is_same_v<T, QString>)
                    registro.*m = valor.isNull() ? QString() : valor.toString();
                else if constexpr (std::is_same_v<T, QDateTime>)
                    registro.*m = Recordset::fechaHora(valor);
                else
                    registro.*m = valor.toInt();
            },
            miembro);
    }
};

namespace Campos {

// Refuses a record whose value cannot be stored, naming the field by the
// caption the window shows: a text longer than its column (in characters, as
// the databases count them), or holding a control character (line breaks
// and tabs aside). Throws ErrorDeEjecucion; nothing when every value fits.
template <class Registro>
void exigeQueQuepa(const QList<CampoDe<Registro>>& campos, const Registro& registro, const QString& fuente) {
    for (const CampoDe<Registro>& c : campos) {
        if (c.tipo != Esquema::Tipo::VarChar)
            continue;
        const QString valor = c.lee(registro).toString();
        for (const QChar ch : valor)
            if (ch.category() == QChar::Other_Control && ch != u'\n' && ch != u'\r' && ch != u'\t')
                throw ErrorDeEjecucion(
                    CodigoDeError::Conversion,
                    QStringLiteral("«%1» tiene un carácter de control (U+%2), que no se puede guardar.")
                        .arg(c.textoDelRotulo())
                        .arg(ch.unicode(), 4, 16, QLatin1Char('0')),
                    fuente);
        const qsizetype caracteres = valor.toUcs4().size();
        if (caracteres > c.largo)
            throw ErrorDeEjecucion(CodigoDeError::Desbordamiento,
                                   QStringLiteral("«%1» tiene %2 caracteres y admite %3.")
                                       .arg(c.textoDelRotulo())
                                       .arg(caracteres)
                                       .arg(c.largo),
                                   fuente);
    }
}

// The fields of `campos` that one table stores, as its columns, with the
// table's own constraints.
template <class Registro>
Esquema::Tabla tabla(const QList<CampoDe<Registro>>& campos, const char* nombre, int version,
                     QStringList restricciones) {
    Esquema::Tabla t{QString::fromUtf8(nombre), {}, std::move(restricciones)};
    for (const Campo& c : campos)
        if (qstrcmp(c.tabla, nombre) == 0 && c.version <= version)
            t.columnas << c.columnaDelEsquema();
    return t;
}

} // namespace Campos
