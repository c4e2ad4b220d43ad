#pragma once

#include "outside/AjustesDeConexion.h"
#include "server/Esquema.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Data in and out of the catalogs, on both backends: the portable format (a
// folder with kelmar/ and taloren/, one CSV file per table named after it,
// and manifiesto.json with the program's version, the date, and per catalog
// its schema version and per table its row count and the SHA-256 of its
// file), the export into it, and the import from it, from an earlier
// server's CSV folder or from an earlier server itself through ODBC. The
// tables and their columns come from the schema's public description.
namespace Intercambio {

// Where a long piece of work is: catalog, table, rows done of the total.
using Progreso =
    std::function<void(const QString& catalogo, const QString& tabla, qint64 hechas, qint64 total)>;

// Writes every table of `catalogos` into `carpeta`, which must not exist or
// be empty, each catalog from one consistent snapshot (one read transaction)
// while stations keep working. Accounts go with their digests only. Returns
// a line per table written. Throws ErrorDeEjecucion; a failed export leaves
// no manifest, so an import never takes it for a whole one.
QStringList exporta(const AjustesDeConexion& ajustes, const QString& carpeta,
                    const QList<Catalogo>& catalogos, const Progreso& progreso = {});

// The order of the day, month and year in an earlier server's dates.
enum class OrdenDeFecha { DiaMesAnio, AnioMesDia, MesDiaAnio };

struct Opciones {
    QString origen; // "csv:CARPETA" or "odbc:CADENA"
    QList<Catalogo> catalogos = {Catalogo::Kelmar, Catalogo::Taloren};
    bool prueba = false;           // the same work, rolled back
    bool omitirRechazados = false; // writes the rest; the refused rows go to CSV files beside the report
    bool reemplazar = false;       // empties the catalogs first (after `confirma`)
    QString invitaciones = QStringLiteral("invitacion"); // an earlier server's table or view of invitations
    std::optional<OrdenDeFecha> fechas;                  // for the date columns that cannot tell
    QString carpetaDelInforme;                           // where the report goes; empty: the current folder
    // Asked before `reemplazar` empties a catalog that holds rows; false stops everything.
    std::function<bool(const QString& pregunta)> confirma;
    Progreso progreso;
    // Who imports, for the history line; the system's account and this machine when empty.
    QString cuenta, estacion;
};

struct Resultado {
    QStringList lineas;               // the report, as printed
    QString informe;                  // the report's file
    int rechazados = 0;               // values or rows refused
    bool escribio = false;            // whether anything was written (never with prueba)
    QStringList cuentasSinContrasena; // accounts that need taloren-admin set-password
};

// Reads the origin whole (a folder with a manifest is checked against it:
// counts and checksums) before anything is written, then writes each catalog
// in one transaction: all or nothing. Rows whose key and content are already
// there are left alone, new rows added; a row whose key holds other content,
// and every value the schema refuses, is reported and refused, never cut nor
// guessed: then nothing is written, unless `omitirRechazados`. Into settings
// whose catalogs do not exist yet it creates them empty at the export's
// schema version and migrates them after the rows are in (a restore). Writes
// one history line per catalog it changed. The report is also written to a
// file. Throws ErrorDeEjecucion when the import fails (the catalogs are then
// as before).
Resultado importa(const AjustesDeConexion& ajustes, const Opciones& opciones);

} // namespace Intercambio
