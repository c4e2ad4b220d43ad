#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Servidor.h"
#include "server/intercambio/Comun.h"
#include "server/intercambio/Intercambio.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace Intercambio {

namespace {

using namespace Comun;

[[noreturn]] void noSeEscribe(const QString& archivo, const QString& motivo) {
    throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                           QStringLiteral("No se pudo escribir %1: %2. La exportación quedó incompleta y sin "
                                          "manifiesto; bórrela y vuelva a exportar.")
                               .arg(archivo, motivo),
                           fuente);
}

// One table into its file; its row count and checksum into `tablas`.
void exportaTabla(Conexion& c, const Esquema::TablaDescrita& t, const QString& carpeta,
                  const QString& catalogo, QJsonArray& tablas, const Progreso& progreso,
                  QStringList& lineas) {
    const Recordset filas = c.ejecuta(QStringLiteral("select %1 from %2%3")
                                          .arg(listaDeColumnas(t), t.nombre, ordenDeLaLlave(t, c.motor())));
    const QString ruta = QDir(carpeta).filePath(t.nombre + QStringLiteral(".csv"));
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        noSeEscribe(ruta, archivo.errorString());
    QCryptographicHash suma(QCryptographicHash::Sha256);
    QList<bool> comoTextos;
    Csv::Fila encabezado;
    for (const Esquema::ColumnaDescrita& col : t.columnas) {
        comoTextos << (col.tipo == Esquema::Tipo::VarChar);
        encabezado << col.nombre;
    }
    const auto escribe = [&](const QByteArray& bytes) {
        if (archivo.write(bytes) != bytes.size())
            noSeEscribe(ruta, archivo.errorString());
        suma.addData(bytes);
    };
    escribe(Csv::linea(encabezado, QList<bool>(encabezado.size(), false)));
    for (int i = 0; i < filas.filas(); ++i) {
        Csv::Fila f;
        for (int k = 0; k < t.columnas.size(); ++k)
            f << comoTexto(filas.valor(i, k), t.columnas.at(k).tipo);
        escribe(Csv::linea(f, comoTextos));
        if (progreso && (i % 5000 == 4999))
            progreso(catalogo, t.nombre, i + 1, filas.filas());
    }
    if (!archivo.flush() || (archivo.close(), archivo.error() != QFileDevice::NoError))
        noSeEscribe(ruta, archivo.errorString());
    if (progreso)
        progreso(catalogo, t.nombre, filas.filas(), filas.filas());
    tablas.append(QJsonObject{{QStringLiteral("nombre"), t.nombre},
                              {QStringLiteral("filas"), filas.filas()},
                              {QStringLiteral("sha256"), QString::fromLatin1(suma.result().toHex())}});
    lineas << QStringLiteral("%1.%2: %3 registros.").arg(catalogo, t.nombre).arg(filas.filas());
}

// A catalog's tables from one snapshot: a read transaction that sees the
// catalog as it was when it began, whatever stations write meanwhile.
QJsonObject exportaCatalogo(const AjustesDeConexion& ajustes, Catalogo catalogo, const QString& carpeta,
                            const Progreso& progreso, QStringList& lineas) {
    auto c = abre(ajustes, catalogo);
    const QString nombre = Servidor::nombre(catalogo);
    const QString destino = QDir(carpeta).filePath(nombre);
    if (!QDir().mkpath(destino))
        noSeEscribe(destino, QStringLiteral("no se pudo crear la carpeta"));
    c->ejecuta(c->motor() == Motor::SQLite
                   ? QStringLiteral("begin")
                   : QStringLiteral("start transaction isolation level repeatable read, read only"));
    try {
        const int version = Esquema::version(*c);
        QJsonArray tablas;
        for (const Esquema::TablaDescrita& t : Esquema::descripcion(catalogo, version))
            exportaTabla(*c, t, destino, nombre, tablas, progreso, lineas);
        c->ejecuta(QStringLiteral("commit"));
        return QJsonObject{{QStringLiteral("version_esquema"), version}, {QStringLiteral("tablas"), tablas}};
    } catch (...) {
        QSqlQuery(c->baseDeDatos()).exec(QStringLiteral("rollback"));
        throw;
    }
}

} // namespace

QStringList exporta(const AjustesDeConexion& ajustes, const QString& carpeta,
                    const QList<Catalogo>& catalogos, const Progreso& progreso) {
    const QDir dir(carpeta);
    if (dir.exists() && !dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        throw ErrorDeEjecucion(
            CodigoDeError::Sentencia,
            QStringLiteral("La carpeta %1 no está vacía: una exportación se escribe en una "
                           "carpeta nueva o vacía, nunca sobre otra.")
                .arg(carpeta),
            fuente);
    if (QFileInfo(carpeta).exists() && !QFileInfo(carpeta).isDir())
        noSeEscribe(carpeta, QStringLiteral("es un archivo, no una carpeta"));
    if (!QDir().mkpath(carpeta))
        noSeEscribe(carpeta, QStringLiteral("no se pudo crear la carpeta"));
    QStringList lineas;
    QJsonObject porCatalogo;
    for (Catalogo catalogo : catalogos)
        porCatalogo.insert(Servidor::nombre(catalogo),
                           exportaCatalogo(ajustes, catalogo, carpeta, progreso, lineas));
    // Written last: a folder without it is an export that did not end.
    const QJsonObject manifiesto{
        {QStringLiteral("programa"), QStringLiteral("TALOREN")},
        {QStringLiteral("version_del_programa"), QStringLiteral(TALOREN_VERSION)},
        {QStringLiteral("fecha"), QDateTime::currentDateTime().toString(QString::fromLatin1(formatoDeFecha))},
        {QStringLiteral("catalogos"), porCatalogo}};
    const QString ruta = dir.filePath(nombreDelManifiesto);
    QSaveFile archivo(ruta);
    if (!archivo.open(QIODevice::WriteOnly))
        noSeEscribe(ruta, archivo.errorString());
    archivo.write(QJsonDocument(manifiesto).toJson(QJsonDocument::Indented));
    if (!archivo.commit())
        noSeEscribe(ruta, archivo.errorString());
    lineas << QStringLiteral("Exportación completa en %1.").arg(carpeta);
    return lineas;
}

} // namespace Intercambio
