#include "outside/Conexion.h"

#include "outside/ErrorDeEjecucion.h"

#include <QRegularExpression>
#include <QSqlError>

// What the databases' errors mean to the person who reads them: the kind of
// each refusal, told in Spanish, with the server's own words kept as detail.

namespace {

const QString formatoFecha = QStringLiteral("yyyy-MM-dd HH:mm:ss");

// The embedded schema names its generated checks "<kind> <table>.<column> <limit>"
// so that a refusal carries the same kind of error as the server's.
struct ChequeoDelEsquema {
    QString clase, columna, limite;
};
ChequeoDelEsquema chequeoFallido(const QString& texto) {
    static const QRegularExpression patron(
        QStringLiteral("CHECK constraint failed: (largo|rango|tipo|fecha) (\\S+)(?: (\\S+))?"));
    const auto m = patron.match(texto);
    if (!m.hasMatch())
        return {};
    return {m.captured(1), m.captured(2), m.captured(3)};
}

// A table, column or function that a statement names and the catalog lacks:
// its kind and, where the backend's text gives it, its name.
struct Faltante {
    const char* clase = nullptr;
    QString nombre;
};
Faltante faltante(const QSqlError& e, Motor motor) {
    const QString texto = e.databaseText();
    const QString codigo = e.nativeErrorCode();
    Faltante f;
    if (motor == Motor::PostgreSQL) {
        f.clase = codigo == QLatin1String("42P01")   ? "la tabla"
                  : codigo == QLatin1String("42703") ? "la columna"
                  : codigo == QLatin1String("42883") ? "la función"
                                                     : nullptr;
        // The server quotes the name, in whatever language it speaks.
        static const QRegularExpression entreComillas(QStringLiteral("[\"«]([^\"»]+)[\"»]"));
        f.nombre = entreComillas.match(texto).captured(1);
        return f;
    }
    // SQLite's own texts, which are never translated.
    static const QRegularExpression noExiste(QStringLiteral("no such (table|column|function): (\\S+)"));
    const auto m = noExiste.match(texto);
    if (!m.hasMatch())
        return f;
    f.clase = m.captured(1) == QLatin1String("table")    ? "la tabla"
              : m.captured(1) == QLatin1String("column") ? "la columna"
                                                         : "la función";
    f.nombre = m.captured(2);
    return f;
}

// The kinds of refusal the user is told apart, whatever the backend said.
enum class Clase {
    Duplicado,
    Referencia,
    Obligatorio,
    Regla,
    Largo,
    Rango,
    Tipo,
    Conexion,
    Archivo,
    Permiso,
    TiempoDeSentencia,
    TiempoDeBloqueo,
    Inexistente,
    Otra
};
struct Clasificacion {
    int numero;
    Clase clase;
};

Clasificacion clasifica(const QSqlError& e, Motor motor) {
    const QString codigo = e.nativeErrorCode();
    const auto es = [&](const char* sqlstate) { return codigo == QLatin1String(sqlstate); };
    if (motor == Motor::PostgreSQL) {
        // Errors of the server carry its SQLSTATE; those without one are the
        // client library's own, which means the connection is in trouble.
        if (e.type() == QSqlError::ConnectionError || codigo.isEmpty() ||
            codigo.startsWith(QLatin1String("08")) || codigo.startsWith(QLatin1String("57P")))
            return {CodigoDeError::Conexion, Clase::Conexion};
        if (es("57014"))
            return {CodigoDeError::TiempoAgotado, Clase::TiempoDeSentencia};
        if (es("55P03"))
            return {CodigoDeError::TiempoAgotado, Clase::TiempoDeBloqueo};
        if (codigo.startsWith(QLatin1String("23")))
            return {CodigoDeError::Integridad, es("23505")   ? Clase::Duplicado
                                               : es("23503") ? Clase::Referencia
                                               : es("23502") ? Clase::Obligatorio
                                                             : Clase::Regla};
        if (es("22001"))
            return {CodigoDeError::Desbordamiento, Clase::Largo};
        if (es("22003"))
            return {CodigoDeError::Desbordamiento, Clase::Rango};
        if (es("22P02") || es("22007") || es("22008") || es("22018"))
            return {CodigoDeError::Conversion, Clase::Tipo};
        if (es("42501"))
            return {CodigoDeError::Sentencia, Clase::Permiso};
        if (es("42P01") || es("42703") || es("42883"))
            return {CodigoDeError::Sentencia, Clase::Inexistente};
        return {CodigoDeError::Sentencia, Clase::Otra};
    }
    // SQLite reports a failed step as a "connection" error: its own code
    // (extended, as the driver asks for) tells.
    const int extendido = codigo.toInt();
    switch (extendido & 0xff) {
    case 5: // SQLITE_BUSY: another connection held the file past the busy time-out
    case 6: // SQLITE_LOCKED
        return {CodigoDeError::TiempoAgotado, Clase::TiempoDeBloqueo};
    case 19: { // SQLITE_CONSTRAINT
        const QString clase = chequeoFallido(e.databaseText()).clase;
        if (clase == QLatin1String("largo"))
            return {CodigoDeError::Desbordamiento, Clase::Largo};
        if (clase == QLatin1String("rango"))
            return {CodigoDeError::Desbordamiento, Clase::Rango};
        if (clase == QLatin1String("tipo") || clase == QLatin1String("fecha"))
            return {CodigoDeError::Conversion, Clase::Tipo};
        switch (extendido) {
        case 1555: // SQLITE_CONSTRAINT_PRIMARYKEY
        case 2067: // SQLITE_CONSTRAINT_UNIQUE
            return {CodigoDeError::Integridad, Clase::Duplicado};
        case 787: // SQLITE_CONSTRAINT_FOREIGNKEY
            return {CodigoDeError::Integridad, Clase::Referencia};
        case 1299: // SQLITE_CONSTRAINT_NOTNULL
            return {CodigoDeError::Integridad, Clase::Obligatorio};
        default:
            return {CodigoDeError::Integridad, Clase::Regla};
        }
    }
    case 20: // SQLITE_MISMATCH: text into an integer key
        return {CodigoDeError::Conversion, Clase::Tipo};
    case 3:  // SQLITE_PERM
    case 8:  // SQLITE_READONLY
    case 23: // SQLITE_AUTH
        return {CodigoDeError::Sentencia, Clase::Permiso};
    case 10: // SQLITE_IOERR
    case 11: // SQLITE_CORRUPT
    case 14: // SQLITE_CANTOPEN
    case 26: // SQLITE_NOTADB
        return {CodigoDeError::Conexion, Clase::Archivo};
    default:
        if (faltante(e, motor).clase)
            return {CodigoDeError::Sentencia, Clase::Inexistente};
        return {CodigoDeError::Sentencia, Clase::Otra};
    }
}

// What the server or the driver said, on one line, with its code: kept as the
// error's detail for whoever looks into it.
QString textoOriginal(const QSqlError& e, Motor motor) {
    QString texto = e.databaseText().simplified();
    if (texto.isEmpty())
        texto = e.driverText().simplified();
    // The server's driver already ends its text with the code.
    if (!e.nativeErrorCode().isEmpty() && !texto.endsWith(QStringLiteral("(%1)").arg(e.nativeErrorCode())))
        texto +=
            (motor == Motor::PostgreSQL ? QStringLiteral(" (SQLSTATE %1)") : QStringLiteral(" (código %1)"))
                .arg(e.nativeErrorCode());
    return texto.trimmed();
}

QString segundos(int n) {
    return n == 1 ? QStringLiteral("1 segundo") : QStringLiteral("%1 segundos").arg(n);
}
} // namespace

// The description as the user reads it: the program's own words for the kind
// of refusal, in Spanish whatever language the server speaks, and the
// embedded schema's checks told as the server would tell them, naming the
// column. What the backend said goes into the detail.
ErrorDeEjecucion Conexion::errorDeBase(const QSqlError& error, const QString& contexto) const {
    const Clasificacion c = clasifica(error, m_motor);
    const ChequeoDelEsquema chequeo =
        m_motor == Motor::SQLite ? chequeoFallido(error.databaseText()) : ChequeoDelEsquema{};
    QString texto;
    if (chequeo.clase == QLatin1String("largo"))
        texto = QStringLiteral("El valor es demasiado largo para la columna %1, que admite %2 caracteres.")
                    .arg(chequeo.columna, chequeo.limite);
    else if (chequeo.clase == QLatin1String("rango"))
        texto = QStringLiteral("El valor está fuera del rango de la columna %1 (%2).")
                    .arg(chequeo.columna, chequeo.limite);
    else if (chequeo.clase == QLatin1String("tipo"))
        texto = QStringLiteral("El valor no es de tipo %2 como la columna %1.")
                    .arg(chequeo.columna, chequeo.limite);
    else if (chequeo.clase == QLatin1String("fecha"))
        texto = QStringLiteral("El valor de la columna %1 no es una fecha (%2).")
                    .arg(chequeo.columna, formatoFecha);
    else
        switch (c.clase) {
        case Clase::Duplicado:
            texto =
                QStringLiteral("Ya existe un registro con la misma clave: lo que se quiso guardar repite un "
                               "dato que no puede repetirse.");
            break;
        case Clase::Referencia:
            texto = QStringLiteral("Los datos nombran un registro que no existe, o el registro que se quiso "
                                   "cambiar o eliminar está en uso en otros datos.");
            break;
        case Clase::Obligatorio:
            texto = QStringLiteral("Falta un dato obligatorio.");
            break;
        case Clase::Regla:
            texto = QStringLiteral("Los datos no cumplen una regla del catálogo %1.").arg(m_catalogo);
            break;
        case Clase::Largo:
            texto = QStringLiteral("Un valor es más largo de lo que admite su campo.");
            break;
        case Clase::Rango:
            texto = QStringLiteral("Un número está fuera del rango que admite su campo.");
            break;
        case Clase::Tipo:
            texto = QStringLiteral("Un valor no es del tipo de su campo, o una fecha no es válida.");
            break;
        case Clase::Conexion:
            texto = QStringLiteral("No se puede comunicar con el servidor del catálogo %1.").arg(m_catalogo);
            break;
        case Clase::Archivo:
            texto =
                QStringLiteral("No se puede leer el archivo del catálogo %1: no es un catálogo, está dañado "
                               "o no se puede abrir.")
                    .arg(m_catalogo);
            break;
        case Clase::Permiso:
            texto = QStringLiteral("La cuenta con que esta estación entra al catálogo %1 no tiene permiso "
                                   "para esta operación; comuníquelo al responsable del sistema.")
                        .arg(m_catalogo);
            break;
        case Clase::TiempoDeSentencia:
        case Clase::TiempoDeBloqueo: {
            const QString plazo =
                segundos(c.clase == Clase::TiempoDeSentencia ? m_segundosDeSentencia : m_segundosDeBloqueo);
            texto = m_motor == Motor::PostgreSQL
                        ? QStringLiteral("El servidor no respondió en %1: otra estación puede estar ocupando "
                                         "el mismo registro, o el servidor no contesta. Lo que escribió se "
                                         "conserva; vuelva a intentarlo en un momento.")
                              .arg(plazo)
                        : QStringLiteral("El catálogo %1 no respondió en %2: otro programa de este equipo lo "
                                         "está ocupando. Lo que escribió se conserva; vuelva a intentarlo en "
                                         "un momento.")
                              .arg(m_catalogo, plazo);
            break;
        }
        case Clase::Inexistente: {
            const Faltante f = faltante(error, m_motor);
            texto = QStringLiteral("Al catálogo %1 le falta %2 %3 que el programa usa: el catálogo no es de "
                                   "esta versión o se dañó; comuníquelo al responsable del sistema.")
                        .arg(m_catalogo, QString::fromUtf8(f.clase), f.nombre)
                        .replace(QStringLiteral("  "), QStringLiteral(" "));
            break;
        }
        case Clase::Otra:
            texto = QStringLiteral("El catálogo %1 rechazó la operación; comuníquelo al responsable del "
                                   "sistema.")
                        .arg(m_catalogo);
            break;
        }
    QString detalle = textoOriginal(error, m_motor);
    // A time-out is told to the user alike wherever it struck; where it
    // struck is for whoever looks into it.
    if (!contexto.isEmpty() && c.numero == CodigoDeError::TiempoAgotado)
        detalle = contexto + QStringLiteral(": ") + detalle;
    else if (!contexto.isEmpty())
        texto = contexto + QStringLiteral(": ") + texto;
    return ErrorDeEjecucion(c.numero, texto, fuente(), detalle);
}
