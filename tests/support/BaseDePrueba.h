#pragma once

#include "outside/AjustesDeConexion.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Esquema.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Both catalogs made fresh for one test, from the schema and seed data: two
// SQLite files in a temporary folder, or two databases of unique names on the
// PostgreSQL server that TALOREN_TEST_PG names (dropped afterwards).
class BaseDePrueba {
public:
    explicit BaseDePrueba(Motor motor = Motor::SQLite);
    ~BaseDePrueba();

    static bool hayPostgres();
    static QString cadenaPostgres();
    // TALOREN_REQUIRE_PG=1: a PostgreSQL row that cannot run fails instead of
    // being skipped.
    static bool exigePostgres();

    const AjustesDeConexion& ajustes() const { return m_ajustes; }
    // A settings file naming these catalogs.
    QString archivoDeAjustes() const { return m_archivo; }
    // The same settings with the server's administrator role ([admin]), as
    // the administration command needs them; on PostgreSQL the administrator
    // is the account of TALOREN_TEST_PG, which is also the stations' here.
    const AjustesDeConexion& ajustesDeAdministracion() const { return m_administracion; }
    QString archivoDeAdministracion() const { return m_archivoDeAdministracion; }
    QString carpeta() const { return m_dir.path(); }

    // A connection of the test's own, with the catalog's procedures.
    std::unique_ptr<Conexion> abre(Catalogo catalogo) const;
    Conexion& kelmar();
    Conexion& taloren();

private:
    QTemporaryDir m_dir;
    AjustesDeConexion m_ajustes;
    AjustesDeConexion m_administracion;
    QString m_archivo;
    QString m_archivoDeAdministracion;
    std::unique_ptr<Conexion> m_kelmar, m_taloren;
};

// Adds the column "backend" with a row per backend to a data-driven test.
void agregaMotores();

// The error a piece of work throws; number 0 when it throws none.
template <typename F> ErrorDeEjecucion errorDe(F&& trabajo) {
    try {
        trabajo();
    } catch (const ErrorDeEjecucion& e) {
        return e;
    }
    return ErrorDeEjecucion(0, QStringLiteral("no hubo error"), {});
}

// A test that runs on PostgreSQL only: skipped with no server named, or
// failed when TALOREN_REQUIRE_PG=1.
#define EXIGE_POSTGRES()                                                                                     \
    if (!BaseDePrueba::hayPostgres()) {                                                                      \
        if (BaseDePrueba::exigePostgres())                                                                   \
            QFAIL("TALOREN_REQUIRE_PG=1 y TALOREN_TEST_PG no nombra un servidor PostgreSQL");                \
        QSKIP("PostgreSQL no probado: TALOREN_TEST_PG no nombra un servidor");                               \
    }

// In a data-driven test: the row's backend. A PostgreSQL row with no server
// named is skipped, or fails when TALOREN_REQUIRE_PG=1.
#define MOTOR_DE_LA_FILA(var)                                                                                \
    QFETCH(int, backend);                                                                                    \
    const Motor var = static_cast<Motor>(backend);                                                           \
    if (var == Motor::PostgreSQL && !BaseDePrueba::hayPostgres()) {                                          \
        if (BaseDePrueba::exigePostgres())                                                                   \
            QFAIL("TALOREN_REQUIRE_PG=1 y TALOREN_TEST_PG no nombra un servidor PostgreSQL");                \
        QSKIP("PostgreSQL no probado: TALOREN_TEST_PG no nombra un servidor "                                \
              "(p. ej. \"host=127.0.0.1 port=5432 user=postgres password=x\")");                             \
    }
