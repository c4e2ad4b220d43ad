#pragma once

#include "AjustesDeConexion.h"
#include "Parametro.h"
#include "Recordset.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <type_traits>

class CatalogoDeProcedimientos;

// One of the program's long-lived connections (kelmar or taloren).
// Every value goes to the server bound, never inside the SQL text.
class Conexion {
public:
    Conexion(QString catalogo, const CatalogoDeProcedimientos* procedimientos = nullptr);
    ~Conexion();
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    // Throws ErrorDeEjecucion(CodigoDeError::Conexion, ...) when it cannot open.
    void abre(const AjustesDeConexion& ajustes, const AjustesDeCatalogo& catalogo);
    void cierra();
    bool estaAbierta() const;

    const QString& catalogo() const { return m_catalogo; }
    Motor motor() const { return m_motor; }
    QString fuente() const;

    // An SQL statement with bound values ('?' placeholders). Dates go as text
    // "yyyy-MM-dd HH:mm:ss"; booleans as 0/1.
    Recordset ejecuta(const QString& sql, const QVariantList& valores = {});

    // A stored procedure: parameters are checked against their declared type
    // and size and against the procedure's signature; the body runs in one
    // transaction; output values come back into `parametros`.
    Recordset ejecutaProcedimiento(const QString& nombre, Parametros& parametros);

    // Runs `trabajo` in one transaction (nested calls join the outer one).
    template <typename F> auto enTransaccion(F&& trabajo) {
        iniciaTransaccion();
        if constexpr (std::is_void_v<decltype(trabajo())>) {
            try {
                trabajo();
            } catch (...) {
                deshaceTransaccion();
                throw;
            }
            confirmaTransaccion();
        } else {
            auto resultado = [&] {
                try {
                    return trabajo();
                } catch (...) {
                    deshaceTransaccion();
                    throw;
                }
            }();
            confirmaTransaccion();
            return resultado;
        }
    }

    QSqlDatabase baseDeDatos() const;

private:
    void verificaAbierta() const;
    void iniciaTransaccion();
    void confirmaTransaccion();
    void deshaceTransaccion();
    [[noreturn]] void fallaSentencia(const class QSqlError& error);
    [[noreturn]] void lanzaErrorDeBase(const class QSqlError& error, const QString& contexto) const;

    QString m_catalogo;
    QString m_nombreConexion;
    const CatalogoDeProcedimientos* m_procedimientos;
    Motor m_motor = Motor::SQLite;
    int m_profundidad = 0;
    bool m_transaccionPerdida = false;
};
