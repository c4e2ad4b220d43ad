// The report window's work over 5,000 invitations: the search, the reading of
// a report's rows, its layout and its painting into a PDF file and into the
// preview; against the per-row way of reading the same rows (one statement per
// invitation), which no part of the program uses.
#include "Medicion.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/reportes/Reporte.h"
#include "support/InvitacionesDePrueba.h"

#include <QApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

constexpr int invitaciones = 5000;

QList<InvitacionDePrueba> generadas() {
    const QStringList eventos = {
        QStringLiteral("inauguración de la escuela primaria de la localidad"),
        QStringLiteral(
            "reunión de trabajo con los supervisores de la zona escolar para revisar el avance del "
            "programa de mejora de la infraestructura educativa"),
        QStringLiteral("ceremonia"),
        QStringLiteral("entrega de becas a los estudiantes de educación media superior"),
    };
    QList<InvitacionDePrueba> lista;
    for (int i = 0; i < invitaciones; ++i) {
        InvitacionDePrueba inv;
        inv.anio = 2011;
        inv.folio = i + 1;
        inv.fechaEvento = QDate(2011, 1, 1).addDays(i % 365);
        inv.hora = QStringLiteral("%1:30").arg(8 + i % 12, 2, 10, QLatin1Char('0'));
        inv.descripcion = eventos.at(i % eventos.size()) + QStringLiteral(" número %1").arg(i + 1);
        inv.representaA = i % 3 ? QStringLiteral("Srio") : QStringLiteral("Gob");
        if (i % 4) {
            inv.representante = QStringLiteral("Representante número %1").arg(i % 97);
            inv.cargoRepresentante = QStringLiteral("Director de Educación Primaria");
            if (inv.representaA == QLatin1String("Gob"))
                inv.prefijo2 = QStringLiteral("Lic.");
        }
        lista << inv;
    }
    return lista;
}

Parametros criterios() {
    return {Parametro::entrada(QStringLiteral("@FechaInicial"), TipoDeParametro::Date, 0, QDate(2011, 1, 1)),
            Parametro::entrada(QStringLiteral("@FechaFinal"), TipoDeParametro::Date, 0, QDate(2011, 12, 31)),
            Parametro::entrada(QStringLiteral("@PalabraDescrip"), TipoDeParametro::VarChar, 20, QString()),
            Parametro::entrada(QStringLiteral("@PalabraSuscrip"), TipoDeParametro::VarChar, 20, QString()),
            Parametro::entrada(QStringLiteral("@PalabraRepres"), TipoDeParametro::VarChar, 20, QString()),
            Parametro::entrada(QStringLiteral("@TipoInvit"), TipoDeParametro::VarChar, 20,
                               QStringLiteral("Todas"))};
}

void exige(bool condicion, const char* que) {
    if (!condicion)
        throw ErrorDeEjecucion(0, QString::fromLatin1(que), QStringLiteral("bench_reports"));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir carpeta;
    double filasPorSegundo = 0;
    try {
        for (Motor motor : motoresAMedir()) {
            BaseDePrueba base(motor);
            Conexion& kelmar = base.kelmar();
            insertaInvitaciones(kelmar, generadas());
            const char* m = nombreDelMotor(motor);

            Recordset encontradas;
            const double busqueda = milisegundos([&] {
                Parametros p = criterios();
                encontradas = kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerInvitaciones"), p);
            });
            exige(encontradas.filas() == invitaciones, "la búsqueda no encontró todas");

            auto reporte = Reporte::abre(QStringLiteral("RPTAcuerdosTodos.rpt"));
            const QVariant valores[] = {
                QDate(2011, 1, 1),      QDate(2011, 12, 31), QString(), QString(), QString(), false,
                QStringLiteral("Todas")};
            for (int i = 0; i < 7; ++i)
                reporte->estableceParametro(i + 1, valores[i]);
            const double lectura = milisegundos([&] { reporte->iniciaSesion(kelmar); });
            exige(reporte->datos().filas() == invitaciones, "el reporte no leyó todas");

            // The same rows read one statement per invitation.
            const double porFila = milisegundos([&] {
                for (int i = 0; i < encontradas.filas(); ++i)
                    exige(
                        !kelmar
                             .ejecuta(QStringLiteral("select * from invitacion where Anio = ? and Folio = ?"),
                                      {encontradas.valor(i, 0), encontradas.valor(i, 1)})
                             .estaVacio(),
                        "falta una invitación");
            });

            const QString archivo = carpeta.filePath(QStringLiteral("reporte.pdf"));
            int paginas = 0;
            QPdfWriter medida(carpeta.filePath(QStringLiteral("medida.pdf")));
            medida.setPageLayout(reporte->definicion().pagina);
            const double acomodo = milisegundos([&] { paginas = reporte->paginas(medida); });
            const double pdf = milisegundos([&] { reporte->guardaPdf(archivo); });

            QPrinter impresora(QPrinter::HighResolution);
            impresora.setPageLayout(reporte->definicion().pagina);
            QPrintPreviewWidget vista(&impresora);
            QString fallaDeLaVista;
            QObject::connect(&vista, &QPrintPreviewWidget::paintRequested, [&](QPrinter* p) {
                try {
                    QPainter pintor(p);
                    reporte->pinta(pintor, *p);
                } catch (const ErrorDeEjecucion& e) {
                    fallaDeLaVista = e.descripcion();
                }
            });
            vista.resize(800, 480);
            reporte->paginas(impresora);
            const double previa = milisegundos([&] { vista.updatePreview(); });
            exige(fallaDeLaVista.isEmpty() && vista.pageCount() == paginas,
                  "la vista previa no tiene todas las páginas");

            const double total = busqueda + lectura + acomodo + pdf;
            salida() << m << ": " << invitaciones << " invitaciones; búsqueda " << qRound(busqueda)
                     << " ms; lectura del reporte " << qRound(lectura)
                     << " ms (una sentencia por invitación: " << qRound(porFila) << " ms, "
                     << QString::number(porFila / lectura, 'f', 1) << " veces más); acomodo de " << paginas
                     << " páginas " << qRound(acomodo) << " ms; PDF " << qRound(pdf) << " ms; vista previa "
                     << qRound(previa) << " ms (" << qRound(paginas / (previa / 1000.0))
                     << " páginas por segundo)" << Qt::endl;
            salida() << m << ": búsqueda y reporte en PDF " << qRound(total) << " ms, "
                     << qRound(invitaciones / (total / 1000.0)) << " invitaciones por segundo" << Qt::endl;
            if (motor == Motor::SQLite)
                filasPorSegundo = invitaciones / (total / 1000.0);
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
    salida() << "rows_per_second: " << qRound(filasPorSegundo) << Qt::endl;
    return 0;
}
