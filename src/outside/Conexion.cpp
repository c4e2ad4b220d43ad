#include "outside/Conexion.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "outside/ReglaDeNombres.h"
#include "outside/Texto.h"

#include <QAtomicInt>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <limits>

namespace {
QAtomicInt contadorDeConexiones;

const QString formatoFecha = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// Dates travel as the station's local wall time in one text form, which no
// driver shifts and which sorts as dates do.
QVariant valorParaEnlazar(const QVariant& v, int posicion, const QString& fuente) {
    if (v.isNull())
        return QVariant();
    const auto noValida = [&] {
        return ErrorDeEjecucion(
            CodigoDeError::Conversion,
            QStringLiteral("El valor %1 de la sentencia es una fecha no válida.").arg(posicion + 1), fuente);
    };
    switch (v.metaType().id()) {
    case QMetaType::QDateTime: {
        const QDateTime fh = v.toDateTime();
        if (!fh.isValid())
            throw noValida();
        return fh.toLocalTime().toString(formatoFecha);
    }
    case QMetaType::QDate:
        if (!v.toDate().isValid())
            throw noValida();
        return v.toDate().startOfDay().toString(formatoFecha);
    case QMetaType::Bool:
        return v.toBool() ? 1 : 0;
    case QMetaType::QString:
        // A NUL would cut the statement short on its way to the server, and
        // half a character would be stored as "?": neither is ever sent.
        if (const auto malo = Texto::primerNoAdmitido(v.toString()))
            throw ErrorDeEjecucion(CodigoDeError::Conversion,
                                   QStringLiteral("El valor %1 de la sentencia tiene %2, que no se admite en "
                                                  "un texto; no se envió.")
                                       .arg(posicion + 1)
                                       .arg(Texto::describe(*malo)),
                                   fuente);
        return v;
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
    abreComo(ajustes, catalogo);
    m_apertura = Apertura{ajustes, catalogo};
}

void Conexion::preparaArchivoEmbebido(const QString& carpeta, const QString& archivo) const {
    // The catalogs hold the office's data and the accounts' digests: a new
    // folder is its owner's alone (0700), and so is a new file (0600).
    const QFileInfo info(carpeta);
    if (info.exists() && !info.isDir())
        throw ErrorDeEjecucion(
            CodigoDeError::Conexion,
            QStringLiteral("La carpeta de datos %1 es un archivo, no una carpeta; corrija [database] folder "
                           "en el archivo de ajustes.")
                .arg(carpeta),
            fuente());
    if (!info.exists()) {
        // Another station or command may make it at the same moment.
        const QString absoluta = info.absoluteFilePath();
        if (!QDir().mkpath(QFileInfo(absoluta).absolutePath()) ||
            (!QDir().mkdir(absoluta,
                           QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner) &&
             !QFileInfo(absoluta).isDir()))
            throw ErrorDeEjecucion(CodigoDeError::Conexion,
                                   QStringLiteral("No se pudo crear la carpeta de datos %1.").arg(carpeta),
                                   fuente());
    }
    if (QFileInfo::exists(archivo))
        return;
    QFile nuevo(archivo);
    if (!nuevo.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                    QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
        !QFileInfo::exists(archivo))
        throw ErrorDeEjecucion(
            CodigoDeError::Conexion,
            QStringLiteral("No se pudo crear el catálogo %1 (%2).").arg(archivo, nuevo.errorString()),
            fuente());
}

void Conexion::abreComo(const AjustesDeConexion& ajustes, const AjustesDeCatalogo& catalogo) {
    m_motor = ajustes.motor;
    m_segundosDeSentencia = ajustes.segundosDeSentencia;
    m_segundosDeBloqueo = ajustes.segundosDeBloqueo;
    QSqlDatabase db;
    if (m_motor == Motor::SQLite) {
        const QString archivo =
            QDir(ajustes.carpeta).filePath(catalogo.baseDeDatos + QStringLiteral(".sqlite"));
        preparaArchivoEmbebido(ajustes.carpeta, archivo);
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nombreConexion);
        db.setDatabaseName(archivo);
        // Programs that share the file queue for it, up to the lock time-out.
        db.setConnectOptions(
            QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(qint64(ajustes.segundosDeBloqueo) * 1000));
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
        const QString texto =
            m_motor == Motor::PostgreSQL
                ? QStringLiteral(
                      "No se pudo abrir el catálogo %1 en el servidor %2, puerto %3: el servidor "
                      "no está en marcha, no se alcanza por la red o rechazó la entrada (cuenta, "
                      "contraseña o nombre del catálogo). Verifique el archivo de ajustes y que el "
                      "equipo esté en la red, y vuelva a intentarlo; si no se resuelve, "
                      "comuníquelo al responsable del sistema.")
                      .arg(catalogo.baseDeDatos,
                           ajustes.host.isEmpty() ? QStringLiteral("local") : ajustes.host)
                      .arg(ajustes.puerto)
                : QStringLiteral("No se pudo abrir el archivo del catálogo %1 en la carpeta %2.")
                      .arg(catalogo.baseDeDatos, ajustes.carpeta);
        throw ErrorDeEjecucion(CodigoDeError::Conexion, texto, fuente(), errorDeBase(e, {}).detalle());
    }
    if (m_motor == Motor::PostgreSQL) {
        // Every statement of this connection, from now on and after every
        // re-opening, gives up after these times instead of waiting forever.
        ejecuta(QStringLiteral("select set_config('statement_timeout', ?, false), "
                               "set_config('lock_timeout', ?, false)"),
                {QString::number(qint64(ajustes.segundosDeSentencia) * 1000),
                 QString::number(qint64(ajustes.segundosDeBloqueo) * 1000)});
    } else {
        ejecuta(QStringLiteral("pragma foreign_keys = on"));
        // The write-ahead journal: readers (an export's snapshot, a search)
        // never hold the writer back nor wait for it, and a commit flushes
        // one file instead of two. The catalog lives on the station's own
        // disk, never on a network share, where the journal could not work.
        // The mode stays in the file; a catalog that cannot take it says so.
        const Recordset modo = ejecuta(QStringLiteral("pragma journal_mode = wal"));
        if (modo.estaVacio() || modo.texto(0, 0).compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
            throw ErrorDeEjecucion(
                CodigoDeError::Conexion,
                QStringLiteral("El catálogo %1 no pudo pasar al diario de escritura "
                               "anticipada (WAL): quedó en el modo \"%2\".")
                    .arg(catalogo.baseDeDatos, modo.estaVacio() ? QString() : modo.texto(0, 0)),
                fuente());
        // A search reads a catalog of tens of thousands of events through an
        // index: with SQLite's default 2 MB of cache it reads most pages from
        // the file again at every search. Pages are taken only as they are used.
        ejecuta(QStringLiteral("pragma cache_size = -65536"));
        if (!ReglaDeNombres::registraEnSQLite(baseDeDatos().driver()->handle()))
            throw ErrorDeEjecucion(
                CodigoDeError::Conexion,
                QStringLiteral("No se pudieron registrar las funciones de nombres en el catálogo %1.")
                    .arg(catalogo.baseDeDatos),
                fuente());
    }
}

void Conexion::cierra() {
    m_apertura.reset();
    m_perdida = false;
    suelta();
}

void Conexion::suelta() {
    m_preparadas.clear();
    if (!QSqlDatabase::contains(m_nombreConexion))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_nombreConexion, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nombreConexion);
    m_profundidad = 0;
    m_fallida = false;
    m_deshechaEnElServidor = false;
}

bool Conexion::estaAbierta() const {
    return QSqlDatabase::contains(m_nombreConexion) &&
           QSqlDatabase::database(m_nombreConexion, false).isOpen();
}

QSqlDatabase Conexion::baseDeDatos() const {
    return QSqlDatabase::database(m_nombreConexion, false);
}

void Conexion::marcaFallida(const QString& motivo, const QString& detalle) {
    if (m_fallida)
        return;
    m_fallida = true;
    m_motivoDeLaFalla = motivo;
    m_detalleDeLaFalla = detalle;
}

void Conexion::fallaSentencia(const QSqlError& error) {
    if (m_profundidad > 0) {
        const ErrorDeEjecucion e = errorDeBase(error, {});
        marcaFallida(e.descripcion(), e.detalle());
        // A failed statement ends a PostgreSQL transaction anyway; undoing it
        // now lets the driver free its prepared statement. Later statements of
        // the unit are refused, so none runs outside it.
        if (m_motor == Motor::PostgreSQL)
            deshazEnElServidor();
    }
    lanzaErrorDeBase(error, {});
}

void Conexion::lanzaErrorDeBase(const QSqlError& error, const QString& contexto) {
    const ErrorDeEjecucion e = errorDeBase(error, contexto);
    if (e.numero() == CodigoDeError::Conexion && m_motor == Motor::PostgreSQL && m_apertura) {
        // The server went away under the connection: the next call opens it again.
        m_perdida = true;
        QString texto = QStringLiteral("Se perdió la conexión con el servidor del catálogo %1. La siguiente "
                                       "operación intentará restablecerla.")
                            .arg(m_catalogo);
        if (!contexto.isEmpty())
            texto = contexto + QStringLiteral(": ") + texto;
        throw ErrorDeEjecucion(e.numero(), texto, e.fuente(), e.detalle());
    }
    throw e;
}

void Conexion::verificaAbierta() {
    if (estaAbierta() && !m_perdida)
        return;
    if (!m_apertura)
        throw ErrorDeEjecucion(CodigoDeError::Conexion,
                               QStringLiteral("La conexión con el catálogo %1 está cerrada.").arg(m_catalogo),
                               fuente());
    // A unit of work cannot go on over a new connection: its transaction
    // went with the old one.
    if (m_profundidad > 0)
        throw ErrorDeEjecucion(
            CodigoDeError::Conexion,
            QStringLiteral("Se perdió la conexión con el servidor del catálogo %1 en medio "
                           "de una transacción, que se deshizo completa.")
                .arg(m_catalogo),
            fuente());
    reabre();
}

void Conexion::reabre() {
    const Apertura apertura = *m_apertura;
    suelta();
    m_perdida = false;
    try {
        abreComo(apertura.ajustes, apertura.catalogo);
    } catch (...) {
        suelta();
        const ErrorDeEjecucion e = ErrorDeEjecucion::actual();
        throw ErrorDeEjecucion(
            CodigoDeError::Conexion,
            QStringLiteral("No se puede comunicar con el servidor del catálogo %1: se perdió la conexión y "
                           "no se pudo restablecer. Verifique que el equipo esté en la red y que el "
                           "servidor esté en marcha, y vuelva a intentarlo; si no se restablece, "
                           "comuníquelo al responsable del sistema.")
                .arg(m_catalogo),
            fuente(), e.detalle().isEmpty() ? e.descripcion() : e.detalle());
    }
    m_perdida = false;
}

Recordset Conexion::ejecuta(const QString& sql, const QVariantList& valores) {
    verificaAbierta();
    ++m_sentencias;
    if (m_profundidad > 0 && m_fallida)
        throw ErrorDeEjecucion(
            CodigoDeError::Sentencia,
            QStringLiteral("La sentencia no se ejecutó: la transacción en curso ya falló (%1) "
                           "y se deshará completa.")
                .arg(m_motivoDeLaFalla),
            fuente(), m_detalleDeLaFalla);
    QVariantList enlazados;
    enlazados.reserve(valores.size());
    for (int i = 0; i < valores.size(); ++i)
        enlazados << valorParaEnlazar(valores.at(i), i, fuente());

    QSqlQuery directa;
    QSqlQuery* q = &directa;
    if (enlazados.isEmpty()) {
        // Nothing to bind: sent as it stands (a server does not prepare DDL).
        // A statement that changes the schema may change what the prepared
        // ones name, so they are prepared again.
        static const QRegularExpression definicion(QStringLiteral("^\\s*(create|alter|drop)\\b"),
                                                   QRegularExpression::CaseInsensitiveOption);
        if (definicion.match(sql).hasMatch())
            m_preparadas.clear();
        directa = QSqlQuery(baseDeDatos());
        directa.setForwardOnly(true);
        if (!directa.exec(sql))
            fallaSentencia(directa.lastError());
    } else {
        // Each statement is prepared once per connection and kept: a server
        // then takes one trip per execution instead of three.
        auto it = m_preparadas.find(sql);
        if (it == m_preparadas.end()) {
            if (m_preparadas.size() >= maximoDePreparadas)
                m_preparadas.clear();
            QSqlQuery nueva(baseDeDatos());
            nueva.setForwardOnly(true);
            if (!nueva.prepare(sql))
                fallaSentencia(nueva.lastError());
            it = m_preparadas.insert(sql, nueva);
        }
        q = &*it;
        for (int i = 0; i < enlazados.size(); ++i)
            q->bindValue(i, enlazados.at(i));
        if (!q->exec())
            fallaSentencia(q->lastError());
    }

    Recordset rs;
    if (q->isSelect()) {
        const QSqlRecord registro = q->record();
        QStringList columnas;
        for (int i = 0; i < registro.count(); ++i)
            columnas << registro.fieldName(i);
        rs = Recordset(columnas, {}, fuente());
        while (q->next()) {
            QVariantList fila;
            fila.reserve(columnas.size());
            for (int i = 0; i < columnas.size(); ++i)
                fila << valorLeido(q->value(i));
            rs.agregaFila(std::move(fila));
        }
        if (q->lastError().isValid())
            fallaSentencia(q->lastError());
    } else {
        rs = Recordset({}, {}, fuente());
        rs.estableceFilasAfectadas(q->numRowsAffected());
    }
    // A kept statement lets go of what it read, so it holds no lock meanwhile.
    q->finish();
    return rs;
}

Recordset Conexion::ejecutaProcedimiento(const QString& nombre, Parametros& parametros) {
    const QString origen = fuente();
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

    QVariantList valores;
    valores.reserve(proc->firma.size());
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
        const Parametro& p = parametros.at(i);
        if (!mismoNombreDeParametro(p.nombre, f.nombre))
            throw ErrorDeEjecucion(
                CodigoDeError::Sentencia,
                QStringLiteral("El parámetro %1 de la llamada a '%2' es '%3', y el procedimiento espera ahí "
                               "'%4'.")
                    .arg(i + 1)
                    .arg(proc->nombre, p.nombre, f.nombre),
                origen);
        if (p.direccion == Direccion::Salida && f.direccion == Direccion::Entrada)
            throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                                   QStringLiteral("El parámetro '%1' del procedimiento '%2' no es de salida.")
                                       .arg(f.nombre, proc->nombre),
                                   origen);
        if (p.direccion == Direccion::Salida) {
            valores << QVariant();
            continue;
        }
        // The caller's declaration binds first, then the procedure's own:
        // nothing is ever cut to fit.
        const QVariant propio = normalizaValor(p.valor, p.tipo, p.tamano, p.nombre, origen);
        valores << normalizaValor(propio, f.tipo, f.tamano, f.nombre, origen);
    }

    Argumentos argumentos(*proc, std::move(valores), origen);
    Recordset rs = enTransaccion([&] { return proc->cuerpo(*this, argumentos); });

    for (int i = 0; i < parametros.size(); ++i) {
        Parametro& p = parametros[i];
        if (p.direccion != Direccion::Salida)
            continue;
        const QVariant& v = argumentos.valores().at(i);
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

void Conexion::ejecutaControl(const QString& sentencia, const QString& contexto) {
    QSqlQuery q(baseDeDatos());
    if (!q.exec(sentencia)) {
        const QSqlError e = q.lastError();
        q.finish();
        lanzaErrorDeBase(e, contexto);
    }
}

void Conexion::iniciaTransaccion() {
    verificaAbierta();
    if (m_profundidad++ > 0)
        return;
    m_fallida = false;
    m_motivoDeLaFalla.clear();
    m_detalleDeLaFalla.clear();
    m_deshechaEnElServidor = false;
    try {
        if (m_motor == Motor::SQLite) {
            // A writer takes the file at the start and others wait their turn
            // (busy timeout), instead of failing when they try to commit.
            ejecutaControl(QStringLiteral("begin immediate"),
                           QStringLiteral("No se pudo iniciar la transacción"));
        } else {
            QSqlDatabase db = baseDeDatos();
            if (!db.transaction())
                lanzaErrorDeBase(db.lastError(), QStringLiteral("No se pudo iniciar la transacción"));
        }
    } catch (...) {
        m_profundidad = 0;
        throw;
    }
}

void Conexion::deshazEnElServidor() {
    if (m_deshechaEnElServidor)
        return;
    m_deshechaEnElServidor = true;
    if (m_motor == Motor::SQLite) {
        QSqlQuery q(baseDeDatos());
        q.exec(QStringLiteral("rollback"));
    } else {
        baseDeDatos().rollback();
    }
}

void Conexion::confirmaTransaccion() {
    if (m_profundidad == 0)
        return;
    if (--m_profundidad > 0)
        return;
    if (m_fallida) {
        const QString motivo = m_motivoDeLaFalla;
        deshazEnElServidor();
        m_fallida = false;
        throw ErrorDeEjecucion(
            CodigoDeError::Sentencia,
            QStringLiteral("La transacción se deshizo completa por un error anterior: %1").arg(motivo),
            fuente(), m_detalleDeLaFalla);
    }
    if (m_motor == Motor::SQLite) {
        // Deferred keys fail at commit with SQLite's own code, and a failed
        // commit leaves the transaction open to be rolled back.
        QSqlQuery q(baseDeDatos());
        if (!q.exec(QStringLiteral("commit"))) {
            const QSqlError e = q.lastError();
            q.finish();
            deshazEnElServidor();
            lanzaErrorDeBase(e, QStringLiteral("No se pudo confirmar la transacción"));
        }
        return;
    }
    // A failed PostgreSQL commit has already ended the transaction.
    QSqlDatabase db = baseDeDatos();
    if (!db.commit())
        lanzaErrorDeBase(db.lastError(), QStringLiteral("No se pudo confirmar la transacción"));
}

void Conexion::deshaceTransaccion() {
    if (m_profundidad == 0)
        return;
    if (--m_profundidad > 0) {
        // An inner unit that ends with an error spoils the outer one, even
        // when its caller catches the error.
        marcaFallida(QStringLiteral("una parte de la transacción terminó con un error"));
        return;
    }
    deshazEnElServidor();
    m_fallida = false;
}
