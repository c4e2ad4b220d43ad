// Query sheets for 1,000 events found by the query window: twenty documents
// of fifty events, each read again in one statement, filled and saved (the
// desktop that would open them is left out). Beside it, what reading the same
// events one statement each would cost. SQLite, and PostgreSQL when
// TALOREN_TEST_PG names a server; the last line is SQLite's time per document.
#include "Medicion.h"

#include "common/Modulo.h"
#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "queries/ModeloDeEventos.h"
#include "queries/frmConsultas.h"
#include "server/ConsultaDeEventos.h"
#include "support/EntornoDeDocumentos.h"
#include "support/EntornoDeVentanas.h"
#include "support/RegistroDeEventos.h"

#include <QApplication>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {
constexpr int eventos = 1000;
const QDate desde(2024, 1, 1);
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RelojFijo reloj(QDateTime(desde, QTime(9, 0)));
    const Reloj::Sustituto enHora(reloj);
    double porDocumentoEnSQLite = 0;
    try {
        for (Motor motor : motoresAMedir()) {
            EntornoDeVentanas e(motor);
            e.conecta();
            RegistroDeEventos::genera(e.base.kelmar(), e.base.taloren(),
                                      {eventos, desde, 120, 300, 60, 10, 5});
            EntornoDeDocumentos documentos;
            frmConsultas v;
            v.show();
            v.OptFecha[1]->click();
            v.DTPFechaIni->setDate(desde);
            v.DTPFechaFin->setDate(desde.addDays(365));
            v.CmdBuscar->click();
            if (v.modelo().rowCount() != eventos)
                throw ErrorDeEjecucion(0, QStringLiteral("la búsqueda no halló los eventos"), {});

            const double ms = milisegundos([&] { v.cmdimprimeconsulta->click(); });
            const int hechos = int(documentos.guardados().size());
            if (hechos != 20 || !e.caja.cajas().isEmpty() || !e.mostradas.isEmpty())
                throw ErrorDeEjecucion(0, QStringLiteral("se hicieron %1 hojas").arg(hechos), {});

            // The same events read one statement each.
            const Recordset& rs = v.modelo().registros();
            const auto anio = [&](int i) { return rs.texto(i, 1).left(4).toInt(); };
            const double uno = milisegundos([&] {
                for (int i = 0; i < rs.filas(); ++i) {
                    QVariantList valores;
                    Modulo::taloren().ejecuta(
                        ConsultaDeEventos::deEventos({{anio(i), {rs.valor(i, 0).toInt()}}}, valores),
                        valores);
                }
            });
            const double porHoja = milisegundos([&] {
                for (int d = 0; d < 20; ++d) {
                    QMap<int, QList<int>> folios;
                    for (int i = d * 50; i < d * 50 + 50; ++i)
                        folios[anio(i)] << rs.valor(i, 0).toInt();
                    QVariantList valores;
                    Modulo::taloren().ejecuta(ConsultaDeEventos::deEventos(folios, valores), valores);
                }
            });
            salida() << nombreDelMotor(motor) << ": " << hechos << " hojas de " << eventos << " eventos en "
                     << qRound(ms) << " ms, " << QString::number(ms / hechos, 'f', 1) << " ms por hoja\n"
                     << "  leer los eventos: uno por sentencia " << QString::number(uno, 'f', 1)
                     << " ms, una sentencia por hoja " << QString::number(porHoja, 'f', 1) << " ms"
                     << Qt::endl;
            if (motor == Motor::SQLite)
                porDocumentoEnSQLite = ms / hechos;
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
    salida() << "ms_per_document: " << QString::number(porDocumentoEnSQLite, 'f', 1) << Qt::endl;
    return 0;
}
