#include "Conexion.h"

#include "ErrorDeEjecucion.h"
#include "Procedimientos.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <limits>

namespace {
QAtomicInt contadorDeConexiones;

const QString formatoFecha = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QVariant valorParaEnlazar(const QVariant& v) {
    if (v.isNull())
        return QVariant();
    switch (v.metaType().id()) {
    case QMetaType::QDateTime:
        return v.toDateTime().isValid() ? QVariant(v.toDateTime().toString(formatoFecha)) : QVariant();
    case QMetaType::QDate:
        return v.toDate().isValid() ? QVariant(v.toDate().startOfDay().toString(formatoFecha)) : QVariant();
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    default:
        return v;
    }
}

// Both backends answer with the same values: dates as text, integers as int.
QVariant valorLeido(const QVariant& v) {
    if (v.isNull())
        return QVariant();
    switch (v.metaType().id()) {
    case QMetaType::QDateTime:
        return v.toDateTime().toString(formatoFecha);
    case QMetaType::QDate:
        return v.toDate().startOfDay().toString(formatoFecha);
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const qlonglong n = v.toLongLong();
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return int(n);
        return n;
    }
    default:
        return v;
    }
}

// The class of the server's error, as the provider numbers it.
int numeroDeError(const QSqlError& e, Motor motor) {
    const QString codigo = e.nativeErrorCode();
    if (motor == Motor::PostgreSQL) {
        if (codigo.startsWith(QLatin1String("23")))
            return CodigoDeError::Integridad;
        if (codigo.startsWith(QLatin1String("08")) || codigo.startsWith(QLatin1String("57P")) ||
            e.type() == QSqlError::ConnectionError)
            return CodigoDeError::Conexion;
        if (codigo == QLatin1String("22001") || codigo == QLatin1String("22003"))
            return CodigoDeError::Desbordamiento;
        return CodigoDeError::Sentencia;
    }
    // SQLite reports a failed step as a "connection" error: its own code tells.
    switch (codigo.toInt() & 0xff) {
    case 19: // SQLITE_CONSTRAINT
        return CodigoDeError::Integridad;
    case 14: // SQLITE_CANTOPEN
    case 26: // SQLITE_NOTADB
        return CodigoDeError::Conexion;
    default:
        return CodigoDeError::Sentencia;
    }
}
} // namespace

Conexion::Conexion(QString catalogo, const CatalogoDeProcedimientos* procedimientos)
    : m_catalogo(std::move(catalogo)),
      m_nombreConexion(
          QStringLiteral("taloren-%1-%2").arg(m_catalogo).arg(contadorDeConexiones.fetchAndAddRelaxed(1))),
      m_procedimientos(procedimientos) {}

Conexion::~Conexion() {
    cierra();
}

QString Conexion::fuente() const {
    return QStringLiteral("%1 %2").arg(
        m_motor == Motor::PostgreSQL ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite"), m_catalogo);
}

void Conexion::abre(const AjustesDeConexion& ajustes, const AjustesDeCatalogo& catalogo) {
    cierra();
    m_motor = ajustes.motor;
    QSqlDatabase db;
    if (m_motor == Motor::SQLite) {
        if (!QDir().mkpath(ajustes.carpeta))
            throw ErrorDeEjecucion(
                CodigoDeError::Conexion,
                QStringLiteral("No se pudo crear la carpeta de datos %1.").arg(ajustes.carpeta), fuente());
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nombreConexion);
        db.setDatabaseName(QDir(ajustes.carpeta).filePath(catalogo.baseDeDatos + QStringLiteral(".sqlite")));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_nombreConexion);
        db.setHostName(ajustes.host);
        db.setPort(ajustes.puerto);
        db.setDatabaseName(catalogo.baseDeDatos);
        db.setUserName(catalogo.usuario);
        db.setPassword(catalogo.contrasena);
        QStringList opciones = ajustes.opciones.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!ajustes.opciones.contains(QLatin1String("connect_timeout")))
            opciones << QStringLiteral("connect_timeout=10");
        db.setConnectOptions(opciones.join(QLatin1Char(';')));
    }
    if (!db.isValid()) {
        const QString driver = db.driverName();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombreConexion);
        throw ErrorDeEjecucion(
            CodigoDeError::Conexion,
            QStringLiteral("No está instalado el controlador de base de datos %1.").arg(driver), fuente());
    }
    if (!db.open()) {
        const QSqlError e = db.lastError();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nombreConexion);
        throw ErrorDeEjecucion(CodigoDeError::Conexion,
                               QStringLiteral("No se pudo abrir el catálogo %1: %2")
                                   .arg(catalogo.baseDeDatos, e.text().trimmed()),
                               fuente());
    }
    if (m_motor == Motor::SQLite)
        ejecuta(QStringLiteral("pragma foreign_keys = on"));
}

void Conexion::cierra() {
    if (!QSqlDatabase::contains(m_nombreConexion))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_nombreConexion, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nombreConexion);
    m_profundidad = 0;
    m_transaccionPerdida = false;
}

bool Conexion::estaAbierta() const {
    return QSqlDatabase::contains(m_nombreConexion) &&
           QSqlDatabase::database(m_nombreConexion, false).isOpen();
}

QSqlDatabase Conexion::baseDeDatos() const {
    return QSqlDatabase::database(m_nombreConexion, false);
}

void Conexion::fallaSentencia(const QSqlError& error) {
    // A failed statement aborts a PostgreSQL transaction; rolling it back now
    // lets the driver free its prepared statement, and the caller's rollback
    // then has nothing left to do.
    if (m_profundidad > 0 && m_motor == Motor::PostgreSQL && !m_transaccionPerdida) {
        baseDeDatos().rollback();
        m_transaccionPerdida = true;
    }
    lanzaErrorDeBase(error, {});
}

void Conexion::lanzaErrorDeBase(const QSqlError& error, const QString& contexto) const {
    QString texto = error.databaseText().trimmed();
    if (texto.isEmpty())
        texto = error.text().trimmed();
    if (!contexto.isEmpty())
        texto = contexto + QStringLiteral(": ") + texto;
    throw ErrorDeEjecucion(numeroDeError(error, m_motor), texto, fuente());
}

void Conexion::verificaAbierta() const {
    if (!estaAbierta())
        throw ErrorDeEjecucion(CodigoDeError::Conexion,
                               QStringLiteral("La conexión con el catálogo %1 está cerrada.").arg(m_catalogo),
                               fuente());
}

Recordset Conexion::ejecuta(const QString& sql, const QVariantList& valores) {
    verificaAbierta();
    QSqlQuery q(baseDeDatos());
    q.setForwardOnly(true);
    if (valores.isEmpty()) {
        // Nothing to bind: sent as it stands (a server does not prepare DDL).
        if (!q.exec(sql))
            fallaSentencia(q.lastError());
    } else {
        if (!q.prepare(sql))
            fallaSentencia(q.lastError());
        for (const QVariant& v : valores)
            q.addBindValue(valorParaEnlazar(v));
        if (!q.exec())
            fallaSentencia(q.lastError());
    }

    Recordset rs;
    if (q.isSelect()) {
        const QSqlRecord registro = q.record();
        QStringList columnas;
        for (int i = 0; i < registro.count(); ++i)
            columnas << registro.fieldName(i);
        rs = Recordset(columnas, {}, fuente());
        while (q.next()) {
            QVariantList fila;
            fila.reserve(columnas.size());
            for (int i = 0; i < columnas.size(); ++i)
                fila << valorLeido(q.value(i));
            rs.agregaFila(std::move(fila));
        }
        if (q.lastError().isValid())
            fallaSentencia(q.lastError());
    } else {
        rs = Recordset({}, {}, fuente());
        rs.estableceFilasAfectadas(q.numRowsAffected());
    }
    return rs;
}

Recordset Conexion::ejecutaProcedimiento(const QString& nombre, Parametros& parametros) {
    const QString origen = fuente();
    // The client refuses what does not fit its own declaration, as the provider does.
    QVariantList valores;
    valores.reserve(parametros.size());
    for (const Parametro& p : parametros)
        valores << (p.direccion == Direccion::Entrada
                        ? normalizaValor(p.valor, p.tipo, p.tamano, p.nombre, origen)
                        : QVariant());

    const Procedimiento* proc = m_procedimientos ? m_procedimientos->busca(nombre) : nullptr;
    if (!proc)
        throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                               QStringLiteral("No se encontró el procedimiento almacenado '%1'.").arg(nombre),
                               origen);
    if (parametros.size() > proc->firma.size())
        throw ErrorDeEjecucion(
            CodigoDeError::Sentencia,
            QStringLiteral("El procedimiento '%1' tiene demasiados argumentos especificados.")
                .arg(proc->nombre),
            origen);
    for (int i = 0; i < proc->firma.size(); ++i) {
        const auto& f = proc->firma.at(i);
        if (i >= parametros.size()) {
            if (f.direccion == Direccion::Entrada)
                throw ErrorDeEjecucion(
                    CodigoDeError::Sentencia,
                    QStringLiteral("El procedimiento '%1' espera el parámetro '%2', que no se proporcionó.")
                        .arg(proc->nombre, f.nombre),
                    origen);
            valores << QVariant();
            continue;
        }
        if (parametros.at(i).direccion == Direccion::Salida && f.direccion == Direccion::Entrada)
            throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                                   QStringLiteral("El parámetro '%1' del procedimiento '%2' no es de salida.")
                                       .arg(f.nombre, proc->nombre),
                                   origen);
        // The server checks the value against its own declaration too: nothing is cut.
        if (f.direccion == Direccion::Entrada)
            valores[i] = normalizaValor(valores.at(i), f.tipo, f.tamano, f.nombre, origen);
    }

    Recordset rs = enTransaccion([&] { return proc->cuerpo(*this, valores); });

    for (int i = 0; i < parametros.size(); ++i) {
        Parametro& p = parametros[i];
        if (p.direccion != Direccion::Salida)
            continue;
        const QVariant& v = valores.at(i);
        if (v.isNull())
            p.valor = QVariant();
        else if (p.tipo == TipoDeParametro::SmallInt)
            p.valor = v.toInt();
        else if (p.tipo == TipoDeParametro::Date)
            p.valor = Recordset::fechaHora(v);
        else
            p.valor = v.toString();
    }
    return rs;
}

void Conexion::iniciaTransaccion() {
    verificaAbierta();
    if (m_profundidad++ > 0)
        return;
    QSqlDatabase db = baseDeDatos();
    if (!db.transaction()) {
        m_profundidad = 0;
        lanzaErrorDeBase(db.lastError(), QStringLiteral("No se pudo iniciar la transacción"));
    }
}

void Conexion::confirmaTransaccion() {
    if (--m_profundidad > 0)
        return;
    if (m_transaccionPerdida) {
        // An inner failure was caught and ignored: its work is gone already.
        m_transaccionPerdida = false;
        throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                               QStringLiteral("La transacción se deshizo por un error anterior."), fuente());
    }
    QSqlDatabase db = baseDeDatos();
    if (m_motor == Motor::SQLite) {
        // Deferred keys fail at commit: the statement keeps SQLite's own code,
        // and a failed commit leaves the transaction open to be rolled back.
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("commit"))) {
            const QSqlError e = q.lastError();
            q.finish();
            db.rollback();
            lanzaErrorDeBase(e, QStringLiteral("No se pudo confirmar la transacción"));
        }
        return;
    }
    // A failed PostgreSQL commit has already ended the transaction.
    if (!db.commit())
        lanzaErrorDeBase(db.lastError(), QStringLiteral("No se pudo confirmar la transacción"));
}

void Conexion::deshaceTransaccion() {
    if (--m_profundidad > 0)
        return;
    m_profundidad = 0;
    if (!m_transaccionPerdida)
        baseDeDatos().rollback();
    m_transaccionPerdida = false;
}
