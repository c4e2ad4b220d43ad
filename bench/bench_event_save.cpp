// A thousand events stored, updated and deleted through the capture window's
// own routines, as a user would: the first click on Grabar shows the folio,
// the second stores the event (with its history entry); a look-up by folio,
// a change and Grabar again update it; a look-up and Eliminar, answered OK,
// delete it. Also the time the window takes to open with its five lists.
#include "Medicion.h"

#include "capture/frmCaptura.h"
#include "common/Aplicacion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "support/EntornoDeVentanas.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

namespace {

constexpr int eventos = 1000;
constexpr int aperturas = 20;

int cuenta(Conexion& taloren) {
    return taloren.ejecuta(QStringLiteral("select count(*) from evento")).valor(0, 0).toInt();
}

void exige(bool condicion, const char* que) {
    if (!condicion)
        throw ErrorDeEjecucion(0, QString::fromUtf8(que), QStringLiteral("bench_event_save"));
}

// The screen of a new event, every list holding a choice.
void llena(frmCaptura& v, int i) {
    v.LimpiaDatos();
    v.DTPFechaEvento->setDateTime(QDateTime(QDate(2011, 1, 1).addDays(i % 365), QTime(10, 0)));
    v.CmbSuscriptor->setEditText(v.CmbSuscriptor->itemText(i % v.CmbSuscriptor->count()));
    v.TxtCargoSuscrip->setText(QStringLiteral("Presidente municipal"));
    v.mskTelSusc->setText(QStringLiteral("777-3180100"));
    v.mskHora->setText(QStringLiteral("10:30"));
    v.cmbMunicipio->setEditText(QStringLiteral("Cuernavaca"));
    v.cmbLocalidad->setEditText(QStringLiteral("Chamilpa"));
    v.txtEvento->setPlainText(QStringLiteral("Evento número %1 del registro").arg(i));
    v.CmbDirecciones->setEditText(v.CmbDirecciones->itemText(i % v.CmbDirecciones->count()));
    v.cmbNombreRep->setEditText(v.cmbNombreRep->itemText(i % v.cmbNombreRep->count()));
    v.cmbInstruccion->setEditText(v.cmbInstruccion->itemText(i % v.cmbInstruccion->count()));
    v.TxtObservacion->setPlainText(QStringLiteral("Sin observaciones"));
}

void consulta(frmCaptura& v, int folio) {
    v.LimpiaDatos();
    v.dtpFechaRecep->setDate(QDate(2011, 6, 1));
    v.TxtFolio->setText(QString::number(folio));
    v.TxtFolio_KeyPress(13);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AplicacionTaloren app(argc, argv);
    AplicacionTaloren::PreparaIdioma();
    RelojFijo reloj(QDateTime(QDate(2011, 11, 18), QTime(9, 0)));
    const Reloj::Sustituto enUso(reloj);
    double porSegundoEnSQLite = 0;
    try {
        for (Motor motor : motoresAMedir()) {
            EntornoDeVentanas e(motor);
            e.conecta();
            Conexion& taloren = e.base.taloren();

            std::vector<double> apertura;
            for (int i = 0; i < aperturas; ++i)
                apertura.push_back(milisegundos([] {
                    frmCaptura ventana;
                    ventana.show();
                    exige(ventana.cmbInstruccion->count() > 0, "la ventana abrió sin listas");
                }));
            std::sort(apertura.begin(), apertura.end());

            frmCaptura v;
            v.show();
            const double guardar = milisegundos([&] {
                for (int i = 0; i < eventos; ++i) {
                    llena(v, i);
                    v.CmdGuardar_Click();
                    v.CmdGuardar_Click();
                    if (i % 100 == 0)
                        e.caja.olvida();
                }
            });
            exige(cuenta(taloren) == eventos, "no se guardaron todos los eventos");
            // An update and a deletion are timed from the click that stores them;
            // the look-up before each is timed apart.
            double actualizar = 0, consultar = 0;
            for (int folio = 1; folio <= eventos; ++folio) {
                consultar += milisegundos([&] { consulta(v, folio); });
                v.txtEvento->setPlainText(QStringLiteral("Evento %1, corregido").arg(folio));
                actualizar += milisegundos([&] { v.CmdGuardar_Click(); });
                if (folio % 100 == 0)
                    e.caja.olvida();
            }
            exige(taloren.ejecuta(QStringLiteral("select count(*) from evento where descripcion like ?"),
                                  {QStringLiteral("%corregido")})
                          .valor(0, 0)
                          .toInt() == eventos,
                  "no se actualizaron todos los eventos");
            double eliminar = 0;
            for (int folio = 1; folio <= eventos; ++folio) {
                consulta(v, folio);
                e.caja.responde(CajaDeMensajes::Aceptar);
                eliminar += milisegundos([&] { v.cmdEliminar_Click(); });
                if (folio % 100 == 0)
                    e.caja.olvida();
            }
            exige(cuenta(taloren) == 0, "no se eliminaron todos los eventos");

            const double porSegundo = eventos / (guardar / 1000.0);
            salida() << nombreDelMotor(motor) << ": abrir la ventana "
                     << QString::number(apertura[aperturas / 2], 'f', 1) << " ms (mediana de " << aperturas
                     << ", máximo " << QString::number(apertura.back(), 'f', 1) << " ms); " << eventos
                     << " eventos guardados en " << qRound(guardar) << " ms (" << qRound(porSegundo)
                     << " por segundo), actualizados en " << qRound(actualizar) << " ms ("
                     << qRound(eventos / (actualizar / 1000.0)) << " por segundo), eliminados en "
                     << qRound(eliminar) << " ms (" << qRound(eventos / (eliminar / 1000.0))
                     << " por segundo); consulta por folio " << QString::number(consultar / eventos, 'f', 2)
                     << " ms en promedio" << Qt::endl;
            if (motor == Motor::SQLite) {
                porSegundoEnSQLite = porSegundo;
                salida() << "open_ms: " << QString::number(apertura[aperturas / 2], 'f', 1) << Qt::endl;
            }
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
    salida() << "events_per_second: " << qRound(porSegundoEnSQLite) << Qt::endl;
    return 0;
}
