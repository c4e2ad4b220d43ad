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
//
// The settings file is read strictly: a group, key or value the program does
// not understand stops the reading with an error that names the file, the
// line, the key and the value, so a mistyped setting never leaves a station
// working on a database nobody meant. Values are taken exactly as written
// after the '=' (blanks around them aside); a value in double quotes keeps
// its blanks, with \" and \\ standing for a quote and a backslash.
struct AjustesDeConexion {
    Motor motor = Motor::SQLite;
    QString carpeta; // embedded: folder of the catalog files
    QString host;
    int puerto = 5432;
    QString opciones; // extra libpq options, "name=value" separated by blanks
    // Whole seconds. A statement that runs longer is cancelled by the server;
    // one that waits longer for a lock held by another station (on the
    // embedded catalog: for the file) gives up. Either way the user hears of
    // it in the window that asked, instead of a window that never answers.
    int segundosDeSentencia = 220;
    int segundosDeBloqueo = 10;
    AjustesDeCatalogo kelmar{QStringLiteral("kelmar"), QStringLiteral("kelmarnv"), {}};
    AjustesDeCatalogo taloren{QStringLiteral("taloren"), QStringLiteral("taloren"), {}};
    // PostgreSQL: the administrator role that owns both catalogs and the
    // accounts ([admin] user and password). Only the administration command's
    // own file names it; a station's never does. Its database is the
    // server's maintenance database, where catalogs are created.
    AjustesDeCatalogo administrador{QStringLiteral("postgres"), {}, {}};

    bool nombraAdministrador() const { return !administrador.usuario.isEmpty(); }
    // A warning for a file that holds a password and that other accounts of
    // the machine may read; empty when there is nothing to warn about.
    QString avisoDePermisos(const QString& archivo) const;

    // The settings file at the standard config location.
    static QString archivoPorDefecto();
    // The folder of the embedded catalogs when the settings name none.
    static QString carpetaPorDefecto();
    // Reads a settings file; a file that does not exist gives the embedded
    // default. Throws ErrorDeEjecucion (CodigoDeError::Ajustes) otherwise.
    static AjustesDeConexion lee(const QString& archivo);
    // Writes the file readable by its owner alone; throws when it cannot.
    void escribe(const QString& archivo) const;

    // Parses a libpq-style "host=... port=... user=... password=..." string into
    // a PostgreSQL setting whose catalogs both use that account.
    static AjustesDeConexion dePostgres(const QString& cadena);
};
