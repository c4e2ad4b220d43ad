#pragma once

#include "server/Esquema.h"
#include "server/intercambio/Csv.h"
#include "server/intercambio/Intercambio.h"

#include <QHash>
#include <QMap>

// Where an import reads from, read whole before anything is written: this
// program's export (checked against its manifest), an earlier server's CSV
// folder, or an earlier server through ODBC.
namespace Intercambio {

struct TablaDeOrigen {
    QString lugar; // the file or the server's table, as the report names it
    QString codificacion;
    QStringList columnas;
    QList<Csv::Fila> filas;
};

struct CatalogoDeOrigen {
    int version = 0;
    QHash<QString, TablaDeOrigen> tablas; // by table name in lower case
};

struct Origen {
    // This program's export: its values are in the portable format's exact
    // forms. Otherwise an earlier server's, read by its rules.
    bool propio = false;
    QString descripcion; // for the report and the history line (no password)
    QMap<Catalogo, CatalogoDeOrigen> catalogos;
    QStringList notas;
};

// Throws ErrorDeEjecucion when the origin cannot be read, or an export does
// not match its manifest.
Origen leeOrigen(const Opciones& opciones);

} // namespace Intercambio
