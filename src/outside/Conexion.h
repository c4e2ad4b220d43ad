#pragma once

#include "outside/AjustesDeConexion.h"
#include "outside/Parametro.h"
#include "outside/Recordset.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <optional>
#include <type_traits>

class CatalogoDeProcedimientos;
class ErrorDeEjecucion;
class QSqlError;

// One of the program's long-lived connections (kelmar or taloren).
// Every value goes to the server bound, never inside the SQL text.
//
// One transaction rule on both backends: a unit of work (enTransaccion) may
// hold other units; any failure inside it, a statement or an exception that
// leaves an inner unit, makes the outermost unit roll back. From then on every
// statement of that unit fails at once and its end throws, so nothing of it is
// ever written, whatever a caller caught on the way.
class Conexion {
public:
    Conexion(QString catalogo, const CatalogoDeProcedimientos* procedimientos = nullptr);
    ~Conexion();
    Conexion(const Conexion&) = delete;
    Conexion& operator=(const Conexion&) = delete;

    // Throws ErrorDeEjecucion(CodigoDeError::Conexion, ...) when it cannot open.
    // A connection that the server loses later is opened again, with these
    // settings, by the next call that finds it lost (once per call), unless
    // it was closed on purpose with cierra().
    void abre(const AjustesDeConexion& ajustes, const AjustesDeCatalogo& catalogo);
    void cierra();
    bool estaAbierta() const;

    const QString& catalogo() const { return m_catalogo; }
    Motor motor() const { return m_motor; }
    QString fuente() const;

    // An SQL statement with bound values ('?' placeholders). A QDate or
    // QDateTime goes as the station's local time in the text form
    // "yyyy-MM-dd HH:mm:ss"; booleans as 0/1.
    Recordset ejecuta(const QString& sql, const QVariantList& valores = {});

    // A stored procedure: the parameters are matched by name and position
    // with the procedure's signature and checked against their declared type
    // and size and against the signature's; the body runs in one unit of
    // work; output values come back into `parametros`.
    Recordset ejecutaProcedimiento(const QString& nombre, Parametros& parametros);

    // Runs `trabajo` as one unit of work; nested calls join the outer one.
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
    bool enUnaTransaccion() const { return m_profundidad > 0; }

    // The statements this connection has run (ejecuta), procedures' bodies
    // included: what shows that a search costs the same whatever it finds.
    qint64 sentenciasEnviadas() const { return m_sentencias; }

    QSqlDatabase baseDeDatos() const;

private:
    struct Apertura {
        AjustesDeConexion ajustes;
        AjustesDeCatalogo catalogo;
    };
    void abreComo(const AjustesDeConexion& ajustes, const AjustesDeCatalogo& catalogo);
    void preparaArchivoEmbebido(const QString& carpeta, const QString& archivo) const;
    void suelta();
    void reabre();
    void verificaAbierta();
    void iniciaTransaccion();
    void confirmaTransaccion();
    void deshaceTransaccion();
    void deshazEnElServidor();
    void marcaFallida(const QString& motivo, const QString& detalle = {});
    [[noreturn]] void fallaSentencia(const QSqlError& error);
    // A refusal of the database as the program reports it: see the .cpp.
    ErrorDeEjecucion errorDeBase(const QSqlError& error, const QString& contexto) const;
    [[noreturn]] void lanzaErrorDeBase(const QSqlError& error, const QString& contexto);
    void ejecutaControl(const QString& sentencia, const QString& contexto);

    QString m_catalogo;
    QString m_nombreConexion;
    const CatalogoDeProcedimientos* m_procedimientos;
    Motor m_motor = Motor::SQLite;
    int m_profundidad = 0;
    qint64 m_sentencias = 0;
    // Set by the first failure inside a unit: the unit can only be undone.
    bool m_fallida = false;
    QString m_motivoDeLaFalla;
    QString m_detalleDeLaFalla;
    // The time-outs it was opened with, which a time-out's message names.
    int m_segundosDeSentencia = 0;
    int m_segundosDeBloqueo = 0;
    // The server's transaction is over already (rolled back at the failure).
    bool m_deshechaEnElServidor = false;
    // How it was opened, so that a lost connection can be opened again;
    // empty once closed on purpose.
    std::optional<Apertura> m_apertura;
    // The statements prepared on this connection, by their text; dropped when
    // it closes, when the schema changes through it, or when there are too many.
    QHash<QString, QSqlQuery> m_preparadas;
    static constexpr int maximoDePreparadas = 200;
    bool m_perdida = false;
};
