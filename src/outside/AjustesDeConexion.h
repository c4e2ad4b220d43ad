#pragma once

#include <QString>

enum class Motor { SQLite, PostgreSQL };

// Account and database of one catalog.
struct AjustesDeCatalogo {
    QString baseDeDatos;
    QString usuario;
    QString contrasena;
};

// Where the two catalogs live: the embedded default (one SQLite file per
// catalog) or a PostgreSQL server shared by the stations.
struct AjustesDeConexion {
    Motor motor = Motor::SQLite;
    QString carpeta; // embedded: folder of the catalog files
    QString host;
    int puerto = 5432;
    QString opciones; // extra libpq options, "name=value" separated by blanks
    AjustesDeCatalogo kelmar{QStringLiteral("kelmar"), QStringLiteral("kelmarnv"), {}};
    AjustesDeCatalogo taloren{QStringLiteral("taloren"), QStringLiteral("taloren"), {}};

    // The settings file at the standard config location.
    static QString archivoPorDefecto();
    // The folder of the embedded catalogs when the settings name none.
    static QString carpetaPorDefecto();
    // Reads a settings file; a missing file gives the embedded default.
    static AjustesDeConexion lee(const QString& archivo);
    void escribe(const QString& archivo) const;

    // Parses a libpq-style "host=... port=... user=... password=..." string into
    // a PostgreSQL setting whose catalogs both use that account.
    static AjustesDeConexion dePostgres(const QString& cadena);
};
