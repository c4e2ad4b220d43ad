// The agenda over a busy month: 2,000 invitations and 2,000 events in March
// 2026. Switching the agenda window week to week and month to month (data
// read and the view filled, offscreen), and the double-booking check a save
// runs, with the statements each sends. SQLite, and PostgreSQL over loopback
// when TALOREN_TEST_PG names a server; the last line is the embedded
// catalog's milliseconds per switch.
#include "Medicion.h"

#include "agenda/FrmAgenda.h"
#include "common/Modulo.h"
#include "outside/Reloj.h"
#include "server/Agenda.h"
#include "support/EntornoDeVentanas.h"
#include "support/InvitacionesDePrueba.h"
#include "support/RegistroDeEventos.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTabWidget>

namespace {

constexpr int porCatalogo = 2000;
const QDate primero(2026, 3, 1);

QString hora(QRandomGenerator& azar) {
    return QStringLiteral("%1:%2")
        .arg(5 + azar.bounded(19), 2, 10, QLatin1Char('0'))
        .arg(azar.bounded(2) * 30, 2, 10, QLatin1Char('0'));
}

const QStringList personas = {QStringLiteral("Ana Pérez"), QStringLiteral("Luis Gómez"),
                              QStringLiteral("Óscar Peña"), QStringLiteral("Rosa Campos"), QString()};

void llena(Conexion& kelmar, Conexion& taloren) {
    QRandomGenerator azar(7);
    QList<InvitacionDePrueba> invitaciones;
    for (int i = 1; i <= porCatalogo; ++i) {
        InvitacionDePrueba x;
        x.anio = 2026;
        x.folio = i;
        x.fechaEvento = primero.addDays(azar.bounded(31));
        x.hora = azar.bounded(10) == 0 ? QStringLiteral("SinHr") : hora(azar);
        x.representante = personas.at(azar.bounded(int(personas.size())));
        x.representaA = azar.bounded(2) ? QStringLiteral("Srio") : QStringLiteral("Gob");
        invitaciones << x;
    }
    insertaInvitaciones(kelmar, invitaciones);
    taloren.enTransaccion([&] {
        for (int i = 1; i <= porCatalogo; ++i) {
            EventoDePrueba e;
            e.folio = i;
            const QString h = hora(azar);
            e.fecha =
                QDateTime(primero.addDays(azar.bounded(31)), QTime::fromString(h, QStringLiteral("HH:mm")));
            e.hora = h;
            e.nombre = personas.at(azar.bounded(int(personas.size())));
            RegistroDeEventos::inserta(taloren, e);
        }
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    double msEmbebido = 0;
    for (const Motor motor : motoresAMedir()) {
        EntornoDeVentanas e(motor);
        e.conecta();
        llena(e.base.kelmar(), e.base.taloren());
        RelojFijo reloj(QDateTime(primero.addDays(1), QTime(9, 0)));
        const Reloj::Sustituto enUso(reloj);
        FrmAgenda agenda;
        agenda.resize(1100, 760);
        agenda.show();
        const auto sentencias = [] {
            return Modulo::kelmar().sentenciasEnviadas() + Modulo::taloren().sentenciasEnviadas();
        };

        constexpr int vueltas = 20;
        qint64 antes = sentencias();
        double semanas = milisegundos([&] {
            for (int i = 0; i < vueltas; ++i)
                (i % 8 < 4) ? agenda.CmdSiguiente_Click() : agenda.CmdAnterior_Click();
        });
        const qint64 porSemana = (sentencias() - antes) / vueltas;
        agenda.TabVistas->setCurrentIndex(1);
        antes = sentencias();
        const double meses = milisegundos([&] {
            for (int i = 0; i < vueltas; ++i)
                (i % 2) ? agenda.CmdAnterior_Click() : agenda.CmdSiguiente_Click();
        });
        const qint64 porMes = (sentencias() - antes) / vueltas;
        const int enElMes = int(agenda.Entradas().size());

        // A save's check: the day's entries of both catalogs, compared in the program.
        const InvitacionDePrueba propuesta = invitacionDelDia(
            porCatalogo + 1, primero.addDays(10), QStringLiteral("10:00"), QStringLiteral("ana perez"));
        Agenda::Lector& lector = Modulo::LectorDeAgenda();
        lector.margen();
        antes = sentencias();
        int choques = 0;
        const double chequeos = milisegundos([&] {
            for (int i = 0; i < vueltas; ++i)
                choques = int(
                    Agenda::conflictosDe(lector, Agenda::deInvitacion(propuesta.registro()), lector.margen())
                        .size());
        });
        const qint64 porChequeo = (sentencias() - antes) / vueltas;

        const double porCambio = (semanas + meses) / (2 * vueltas);
        salida() << nombreDelMotor(motor) << ": semana " << semanas / vueltas << " ms (" << porSemana
                 << " sentencias), mes " << meses / vueltas << " ms (" << porMes << " sentencias, " << enElMes
                 << " entradas), chequeo de doble reserva " << chequeos / vueltas << " ms (" << porChequeo
                 << " sentencias, " << choques << " choques)\n";
        salida() << nombreDelMotor(motor) << "_ms_per_switch: " << porCambio << "\n";
        salida() << nombreDelMotor(motor) << "_ms_per_check: " << chequeos / vueltas << "\n";
        if (motor == Motor::SQLite)
            msEmbebido = porCambio;
    }
    salida() << "ms_per_switch: " << msEmbebido << Qt::endl;
    return 0;
}
