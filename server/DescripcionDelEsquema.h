#pragma once

#include "server/Esquema.h"

#include <QList>
#include <QString>
#include <QStringList>

// The public description of a catalog's schema, as data: what an export, an
// import and a history read to walk every table. It is derived from the one
// table definition (Esquema::tablas), never written twice.
namespace Esquema {

struct ColumnaDescrita {
    QString nombre;
    Tipo tipo;
    int largo = 0; // texts only
    bool admiteNulo = true;
    QString porDefecto; // as written in the definition ("''", "1"); empty when none
    bool unico = false; // "unique": no two rows hold the same value
    bool operator==(const ColumnaDescrita&) const = default;
};

struct LlaveForanea {
    QStringList columnas;
    QString tabla;
    QStringList referidas;
    bool operator==(const LlaveForanea&) const = default;
};

struct TablaDescrita {
    QString nombre;
    QList<ColumnaDescrita> columnas;
    QStringList llavePrimaria;
    QList<LlaveForanea> llavesForaneas;
    // The table's checks as written ("Folio > 0", "Estatus in ('CONFIRMADA', 'SINCONFIRMAR')").
    QStringList chequeos = {};
    bool operator==(const TablaDescrita&) const = default;
};

// Every table of the catalog at this program's version, in key order (a
// table after those its foreign keys point to). Throws ErrorDeEjecucion when
// a definition holds a constraint this description cannot read, or when
// foreign keys go round in a circle.
QList<TablaDescrita> descripcion(Catalogo catalogo);
// The same at an earlier version of the catalog's schema, as an older export holds it.
QList<TablaDescrita> descripcion(Catalogo catalogo, int version);

} // namespace Esquema
