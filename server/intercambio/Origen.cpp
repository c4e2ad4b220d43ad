#include "server/intercambio/Origen.h"

#include "outside/ErrorDeEjecucion.h"
#include "server/DescripcionDelEsquema.h"
#include "server/Servidor.h"
#include "server/intercambio/Comun.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Intercambio {

namespace {

using namespace Comun;

[[noreturn]] void falla(const QString& texto, const QString& detalle = {}) {
    throw ErrorDeEjecucion(CodigoDeError::Sentencia, texto, fuente, detalle);
}

QByteArray leeArchivo(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        falla(QStringLiteral("No se pudo leer el archivo %1 (%2).").arg(ruta, f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        falla(QStringLiteral("No se pudo leer el archivo %1 (%2).").arg(ruta, f.errorString()));
    return bytes;
}

TablaDeOrigen deArchivo(const QString& ruta, const QByteArray& bytes) {
    Csv::Archivo a = Csv::lee(bytes, ruta);
    return {ruta, a.codificacion, a.encabezado, std::move(a.filas)};
}

// This program's export: every file the manifest names, with its count and checksum.
Origen deExportacion(const QString& carpeta, const Opciones& opciones) {
    const QString ruta = QDir(carpeta).filePath(nombreDelManifiesto);
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(leeArchivo(ruta), &error);
    if (doc.isNull() || !doc.isObject())
        falla(QStringLiteral("El manifiesto %1 no se puede leer: %2.").arg(ruta, error.errorString()));
    const QJsonObject m = doc.object();
    Origen o;
    o.propio = true;
    o.descripcion = QStringLiteral("csv:%1 (exportación del %2)")
                        .arg(QDir(carpeta).absolutePath(), m.value(QStringLiteral("fecha")).toString());
    const QJsonObject catalogos = m.value(QStringLiteral("catalogos")).toObject();
    for (Catalogo catalogo : opciones.catalogos) {
        const QString nombre = Servidor::nombre(catalogo);
        if (!catalogos.contains(nombre)) {
            o.notas << QStringLiteral("La exportación no trae el catálogo %1; no se importa.").arg(nombre);
            continue;
        }
        const QJsonObject cat = catalogos.value(nombre).toObject();
        CatalogoDeOrigen co;
        co.version = cat.value(QStringLiteral("version_esquema")).toInt();
        if (co.version < 1)
            falla(QStringLiteral("El manifiesto %1 no dice la versión del esquema del catálogo %2.")
                      .arg(ruta, nombre));
        if (co.version > Esquema::versionActual(catalogo))
            falla(QStringLiteral(
                      "La exportación trae el catálogo %1 en la versión %2 del esquema, más nueva que la "
                      "%3 de este programa: impórtela con la versión del sistema que la hizo o una "
                      "posterior.")
                      .arg(nombre)
                      .arg(co.version)
                      .arg(Esquema::versionActual(catalogo)));
        QStringList esperadas;
        for (const Esquema::TablaDescrita& t : Esquema::descripcion(catalogo, co.version))
            esperadas << t.nombre.toLower();
        for (const QJsonValue& v : cat.value(QStringLiteral("tablas")).toArray()) {
            const QJsonObject t = v.toObject();
            const QString tabla = t.value(QStringLiteral("nombre")).toString();
            if (!esperadas.contains(tabla.toLower()))
                falla(QStringLiteral(
                          "El manifiesto %1 nombra la tabla %2, que el catálogo %3 no tiene en la versión "
                          "%4 de su esquema.")
                          .arg(ruta, tabla, nombre)
                          .arg(co.version));
            const QString archivo = QDir(carpeta).filePath(nombre + u'/' + tabla + QStringLiteral(".csv"));
            const QByteArray bytes = leeArchivo(archivo);
            const QString suma =
                QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
            if (suma != t.value(QStringLiteral("sha256")).toString())
                falla(QStringLiteral(
                          "El archivo %1 no es el que se exportó: su suma SHA-256 no coincide con la del "
                          "manifiesto. No se importó nada.")
                          .arg(archivo));
            TablaDeOrigen leida = deArchivo(archivo, bytes);
            if (leida.filas.size() != t.value(QStringLiteral("filas")).toInteger(-1))
                falla(QStringLiteral(
                          "El archivo %1 tiene %2 registros y el manifiesto dice %3. No se importó nada.")
                          .arg(archivo)
                          .arg(leida.filas.size())
                          .arg(t.value(QStringLiteral("filas")).toInteger(-1)));
            co.tablas.insert(tabla.toLower(), std::move(leida));
            esperadas.removeAll(tabla.toLower());
        }
        if (!esperadas.isEmpty())
            falla(
                QStringLiteral("El manifiesto %1 no trae las tablas %2 del catálogo %3: la exportación está "
                               "incompleta.")
                    .arg(ruta, esperadas.join(QStringLiteral(", ")), nombre));
        o.catalogos.insert(catalogo, std::move(co));
    }
    return o;
}

// The table that holds a catalog table's rows on an earlier server: its own
// name, or for the invitations the table or view the options name.
QString nombreEnElOrigen(const Esquema::TablaDescrita& t, const Opciones& opciones) {
    return t.nombre.compare(QLatin1String("invitacion"), Qt::CaseInsensitive) == 0 ? opciones.invitaciones
                                                                                   : t.nombre;
}

// An earlier server's folder: kelmar/ and taloren/ with a file per table,
// named after it; whatever the folder holds besides is named, not read.
Origen deCarpetaAntigua(const QString& carpeta, const Opciones& opciones) {
    Origen o;
    o.descripcion = QStringLiteral("csv:%1").arg(QDir(carpeta).absolutePath());
    for (Catalogo catalogo : opciones.catalogos) {
        const QString nombre = Servidor::nombre(catalogo);
        const QDir dir(QDir(carpeta).filePath(nombre));
        if (!dir.exists()) {
            o.notas << QStringLiteral("La carpeta %1 no existe; el catálogo %2 no se importa.")
                           .arg(dir.path(), nombre);
            continue;
        }
        QHash<QString, QString> archivos; // lower-case table name -> file
        const QStringList hay = dir.entryList(QDir::Files | QDir::Readable | QDir::Hidden);
        const QStringList todos =
            dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QString& a : todos)
            if (!hay.contains(a) || !a.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
                falla(QStringLiteral("La carpeta %1 tiene %2, que no es un archivo .csv que se pueda leer.")
                          .arg(dir.path(), a));
        for (const QString& a : hay)
            archivos.insert(a.chopped(4).toLower(), dir.filePath(a));
        CatalogoDeOrigen co;
        co.version = Esquema::versionActual(catalogo);
        for (const Esquema::TablaDescrita& t : Esquema::descripcion(catalogo)) {
            const QString clave = nombreEnElOrigen(t, opciones).toLower();
            if (!archivos.contains(clave))
                continue;
            const QString ruta = archivos.take(clave);
            co.tablas.insert(t.nombre.toLower(), deArchivo(ruta, leeArchivo(ruta)));
        }
        for (const QString& ruta : std::as_const(archivos))
            o.notas << QStringLiteral("El archivo %1 no es de ninguna tabla del catálogo %2; no se importa.")
                           .arg(ruta, nombre);
        o.catalogos.insert(catalogo, std::move(co));
    }
    return o;
}

// An earlier server through Qt's ODBC driver. "{catalogo}" in the string
// stands for each catalog's name, since an earlier server keeps them apart.
Origen deOdbc(const QString& cadena, const Opciones& opciones) {
    static QAtomicInt cuenta;
    Origen o;
    static const QRegularExpression clave(QStringLiteral("((?:PWD|PASSWORD)\\s*=)[^;]*"),
                                          QRegularExpression::CaseInsensitiveOption);
    o.descripcion = QStringLiteral("odbc:") + QString(cadena).replace(clave, QStringLiteral("\\1***"));
    for (Catalogo catalogo : opciones.catalogos) {
        const QString nombre = Servidor::nombre(catalogo);
        const QString conexion = QStringLiteral("taloren-odbc-%1").arg(cuenta.fetchAndAddRelaxed(1));
        CatalogoDeOrigen co;
        co.version = Esquema::versionActual(catalogo);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), conexion);
            const auto suelta = qScopeGuard([&] {
                db = QSqlDatabase();
                QSqlDatabase::removeDatabase(conexion);
            });
            if (!db.isValid())
                falla(
                    QStringLiteral("No está instalado el controlador ODBC de Qt (paquete libqt6sql6-odbc)."));
            db.setDatabaseName(QString(cadena).replace(QStringLiteral("{catalogo}"), nombre));
            if (!db.open())
                falla(QStringLiteral("No se pudo abrir el servidor anterior por ODBC para el catálogo %1.")
                          .arg(nombre),
                      db.lastError().text());
            QHash<QString, QString> hay;
            for (const QString& t : db.tables(QSql::AllTables))
                hay.insert(t.toLower(), t);
            for (const Esquema::TablaDescrita& t : Esquema::descripcion(catalogo)) {
                const QString buscada = nombreEnElOrigen(t, opciones);
                if (!hay.contains(buscada.toLower()))
                    continue;
                const QString real = hay.value(buscada.toLower());
                const QSqlRecord registro = db.record(real);
                TablaDeOrigen tabla;
                tabla.lugar = QStringLiteral("%1 (%2)").arg(real, nombre);
                QStringList citadas;
                for (const Esquema::ColumnaDescrita& c : t.columnas)
                    for (int i = 0; i < registro.count(); ++i)
                        if (registro.fieldName(i).compare(c.nombre, Qt::CaseInsensitive) == 0) {
                            tabla.columnas << c.nombre;
                            citadas << db.driver()->escapeIdentifier(registro.fieldName(i),
                                                                     QSqlDriver::FieldName);
                        }
                if (citadas.isEmpty())
                    falla(QStringLiteral("La tabla %1 del servidor anterior no tiene ninguna columna de %2.")
                              .arg(real, t.nombre));
                QSqlQuery q(db);
                q.setForwardOnly(true);
                // Names only, each one the server's own and quoted by its driver.
                if (!q.exec(QStringLiteral("select %1 from %2")
                                .arg(citadas.join(QStringLiteral(", ")),
                                     db.driver()->escapeIdentifier(real, QSqlDriver::TableName))))
                    falla(QStringLiteral("No se pudo leer la tabla %1 del servidor anterior.").arg(real),
                          q.lastError().text());
                while (q.next()) {
                    Csv::Fila f;
                    for (int i = 0; i < citadas.size(); ++i) {
                        const QVariant v = q.value(i);
                        if (v.isNull())
                            f << std::nullopt;
                        else if (v.metaType().id() == QMetaType::QDateTime)
                            f << v.toDateTime().toString(QString::fromLatin1(formatoDeFecha));
                        else if (v.metaType().id() == QMetaType::QDate)
                            f << v.toDate().startOfDay().toString(QString::fromLatin1(formatoDeFecha));
                        else
                            f << v.toString();
                    }
                    tabla.filas << f;
                }
                if (q.lastError().isValid())
                    falla(QStringLiteral("No se pudo leer la tabla %1 del servidor anterior.").arg(real),
                          q.lastError().text());
                co.tablas.insert(t.nombre.toLower(), std::move(tabla));
            }
        }
        o.catalogos.insert(catalogo, std::move(co));
    }
    return o;
}

} // namespace

Origen leeOrigen(const Opciones& opciones) {
    if (opciones.origen.startsWith(QLatin1String("csv:"))) {
        const QString carpeta = opciones.origen.mid(4);
        const QFileInfo info(carpeta);
        if (!info.isDir() || !info.isReadable() || !QDir(carpeta).isReadable())
            falla(QStringLiteral("No se puede leer la carpeta %1.").arg(carpeta));
        if (QFileInfo::exists(QDir(carpeta).filePath(nombreDelManifiesto)))
            return deExportacion(carpeta, opciones);
        return deCarpetaAntigua(carpeta, opciones);
    }
    if (opciones.origen.startsWith(QLatin1String("odbc:")))
        return deOdbc(opciones.origen.mid(5), opciones);
    falla(QStringLiteral("El origen \"%1\" no es csv:CARPETA ni odbc:\"CADENA\".").arg(opciones.origen));
}

} // namespace Intercambio
