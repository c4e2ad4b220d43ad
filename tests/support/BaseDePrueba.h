#pragma once

#include "AjustesDeConexion.h"
#include "Conexion.h"
#include "Esquema.h"

#include <QTemporaryDir>
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

    const AjustesDeConexion& ajustes() const { return m_ajustes; }
    // A settings file naming these catalogs.
    QString archivoDeAjustes() const { return m_archivo; }
    QString carpeta() const { return m_dir.path(); }

    // A connection of the test's own, with the catalog's procedures.
    std::unique_ptr<Conexion> abre(Catalogo catalogo) const;
    Conexion& kelmar();
    Conexion& taloren();

private:
    QTemporaryDir m_dir;
    AjustesDeConexion m_ajustes;
    QString m_archivo;
    std::unique_ptr<Conexion> m_kelmar, m_taloren;
};

// Adds the column "backend" with a row per backend to a data-driven test.
void agregaMotores();
// In a data-driven test: the row's backend, or skips the row (with a message
// naming TALOREN_TEST_PG) when it is PostgreSQL and no server is given.
#define MOTOR_DE_LA_FILA(var)                                                                                \
    QFETCH(int, backend);                                                                                    \
    const Motor var = static_cast<Motor>(backend);                                                           \
    if (var == Motor::PostgreSQL && !BaseDePrueba::hayPostgres())                                            \
        QSKIP("PostgreSQL no probado: TALOREN_TEST_PG no nombra un servidor "                                \
              "(p. ej. \"host=127.0.0.1 port=5432 user=postgres password=x\")");
