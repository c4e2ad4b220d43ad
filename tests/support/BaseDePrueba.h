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

    static QString cadenaPostgres() { return qEnvironmentVariable("TALOREN_TEST_PG").trimmed(); }
    static bool hayPostgres() { return !cadenaPostgres().isEmpty(); }
    // TALOREN_REQUIRE_PG=1: a PostgreSQL row that cannot run fails instead of
    // being skipped.
    static bool exigePostgres() { return qEnvironmentVariable("TALOREN_REQUIRE_PG") == QLatin1String("1"); }
    // With no server named: marks the running test skipped (or failed, see
    // above) and answers true, so that the test returns.
    static bool faltaPostgres(const char* archivo, int linea);

    const AjustesDeConexion& ajustes() const { return m_ajustes; }
    // A settings file naming these catalogs.
    QString archivoDeAjustes() const { return m_archivo; }
    // The same settings with the server's administrator role ([admin]), as
    // the administration command needs them; on PostgreSQL the administrator
    // is the account of TALOREN_TEST_PG, which is also the stations' here.
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

// Writes a file for a test; false when it cannot.
bool escribeArchivo(const QString& ruta, const QByteArray& contenido);

// Adds the column "backend" with a row per backend to a data-driven test.
void agregaMotores();
// After the column "backend" and the cases' own columns: a row "backend: nombre" for each backend
// given and each case of a table (with a `nombre`), whose own values `valores(row, case)` adds.
template <typename Casos, typename Valores>
void agregaFilasPorMotor(const Casos& casos, Valores valores,
                         std::initializer_list<Motor> motores = {Motor::SQLite, Motor::PostgreSQL}) {
    for (const Motor motor : motores)
        for (const auto& caso : casos)
            valores(QTest::addRow("%s: %s", motor == Motor::SQLite ? "sqlite" : "postgresql", caso.nombre)
                        << int(motor),
                    caso);
}

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
    if (BaseDePrueba::faltaPostgres(__FILE__, __LINE__))                                                     \
    return

// In a data-driven test: the row's backend. A PostgreSQL row with no server
// named is skipped, or fails when TALOREN_REQUIRE_PG=1.
#define MOTOR_DE_LA_FILA(var)                                                                                \
    QFETCH(int, backend);                                                                                    \
    const Motor var = static_cast<Motor>(backend);                                                           \
    if (var == Motor::PostgreSQL)                                                                            \
    EXIGE_POSTGRES()
