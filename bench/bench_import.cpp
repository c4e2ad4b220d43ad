// The import of a CSV folder of 50,000 invitations and 20,000 events with
// their catalogues into each backend, as a restore does it (catalogs created
// empty, every table in one transaction, batched inserts), and the export
// back. Prints rows, seconds and rows per second for SQLite, and PostgreSQL
// over loopback when TALOREN_TEST_PG names a server; the last line is the
// embedded import's rows written per second of the whole import (reading
// and checking the folder included).
#include "Medicion.h"

#include "outside/Conexion.h"
#include "server/administracion/Administracion.h"
#include "server/intercambio/Intercambio.h"
#include "support/InvitacionesDePrueba.h"
#include "support/RegistroDeEventos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int invitaciones = 50000;
constexpr int eventos = 20000;

// The rows a folder's manifest counts, all tables together.
qint64 filasDe(const QString& carpeta) {
    QFile f(QDir(carpeta).filePath(QStringLiteral("manifiesto.json")));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    qint64 n = 0;
    const QJsonObject cats =
        QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("catalogos")).toObject();
    for (const QJsonValue& c : cats)
        for (const QJsonValue& t : c.toObject().value(QStringLiteral("tablas")).toArray())
            n += t.toObject().value(QStringLiteral("filas")).toInteger();
    return n;
}

// Settings whose catalogs do not exist yet; a server's are dropped afterwards.
struct Destino {
    QTemporaryDir dir;
    AjustesDeConexion ajustes;
    explicit Destino(Motor motor) {
        if (motor == Motor::SQLite) {
            ajustes.carpeta = dir.filePath(QStringLiteral("catalogos"));
            return;
        }
        ajustes = AjustesDeConexion::dePostgres(BaseDePrueba::cadenaPostgres());
        const QString prefijo = QStringLiteral("tlb_%1").arg(QCoreApplication::applicationPid());
        ajustes.kelmar.baseDeDatos = prefijo + QStringLiteral("_kelmar");
        ajustes.taloren.baseDeDatos = prefijo + QStringLiteral("_taloren");
        ajustes.administrador = {QStringLiteral("postgres"), ajustes.kelmar.usuario,
                                 ajustes.kelmar.contrasena};
        Administracion::borraCatalogos(ajustes);
    }
    ~Destino() {
        if (ajustes.motor == Motor::PostgreSQL)
            Administracion::borraCatalogos(ajustes);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString carpeta = dir.filePath(QStringLiteral("origen"));
    {
        BaseDePrueba base;
        RegistroDeEventos::genera(base.kelmar(), base.taloren(),
                                  {.eventos = eventos,
                                   .desde = QDate(2020, 1, 1),
                                   .dias = 1460,
                                   .funcionarios = 400,
                                   .cargos = 60,
                                   .localidades = 8});
        QList<InvitacionDePrueba> lista;
        for (int i = 0; i < invitaciones; ++i) {
            InvitacionDePrueba p;
            p.anio = 2015 + i / 10000;
            p.folio = 1 + i % 10000;
            p.fechaEvento = QDate(p.anio, 1 + i % 12, 1 + i % 28);
            p.descripcion = QStringLiteral("Invitación número %1, con acentos y \"comillas\"").arg(i);
            p.representante = i % 3 ? QStringLiteral("Lic. Ángel Muñoz") : QString();
            lista << p;
        }
        insertaInvitaciones(base.kelmar(), lista);
        Intercambio::exporta(base.ajustes(), carpeta, {Catalogo::Kelmar, Catalogo::Taloren});
    }
    const qint64 filas = filasDe(carpeta);
    salida() << "folder: " << filas << " rows (" << invitaciones << " invitations, " << eventos
             << " events with their catalogues)" << Qt::endl;

    double porSegundoEmbebido = 0;
    for (const Motor motor : motoresAMedir()) {
        Destino destino(motor);
        Intercambio::Opciones o;
        o.origen = QStringLiteral("csv:") + carpeta;
        o.carpetaDelInforme = destino.dir.path();
        Intercambio::Resultado r;
        const double msImporta = milisegundos([&] { r = Intercambio::importa(destino.ajustes, o); });
        if (!r.escribio || r.rechazados != 0) {
            salida() << r.lineas.join(QLatin1Char('\n')) << Qt::endl;
            return 1;
        }
        const QString vuelta = destino.dir.filePath(QStringLiteral("vuelta"));
        const double msExporta = milisegundos([&] {
            Intercambio::exporta(destino.ajustes, vuelta, {Catalogo::Kelmar, Catalogo::Taloren});
        });
        const double porSegundo = double(filas) / (msImporta / 1000.0);
        salida() << nombreDelMotor(motor) << ": import " << msImporta / 1000.0 << " s, " << qint64(porSegundo)
                 << " rows/s; export " << msExporta / 1000.0 << " s, "
                 << qint64(double(filasDe(vuelta)) / (msExporta / 1000.0)) << " rows/s" << Qt::endl;
        if (motor == Motor::SQLite)
            porSegundoEmbebido = porSegundo;
    }
    salida() << "rows_per_second: " << qint64(porSegundoEmbebido) << Qt::endl;
    return 0;
}
