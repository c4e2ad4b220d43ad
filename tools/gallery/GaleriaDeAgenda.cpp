// The agenda of a busy week of March 2026, the month around it, and the main
// window's coming days, on entries stored here through the data layer.
#include "Galeria.h"

#include "agenda/FrmAgenda.h"
#include "agenda/ListaDeLaSemana.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "invitations/FrmModificarInvitacion.h"
#include "outside/Reloj.h"
#include "server/Eventos.h"
#include "server/Historial.h"
#include "server/Invitaciones.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>

namespace Galeria {

namespace {

const QDate lunes(2026, 3, 2);

void invitacion(int dia, const char* hora, const char* descripcion, const char* lugar,
                const char* representante, const char* para) {
    Invitacion i;
    i.anio = 2026;
    i.fechaRecepcion = QDateTime(lunes.addDays(-10), QTime(0, 0));
    i.fechaEvento = QDateTime(lunes.addDays(dia), QTime(0, 0));
    i.hora = QString::fromLatin1(hora);
    i.descripcion = QString::fromUtf8(descripcion);
    i.ubicacion = QString::fromUtf8(lugar);
    i.suscriptor = QStringLiteral("Dra. Rosa María Campos");
    i.representante = QString::fromUtf8(representante);
    i.caracter = QStringLiteral("Normal");
    i.representaA = QString::fromLatin1(para);
    i.estatus = i.representante.isEmpty() ? QStringLiteral("SINCONFIRMAR") : QStringLiteral("CONFIRMADA");
    Invitaciones::registra(Modulo::kelmar(), i, Modulo::autor());
}

void evento(int dia, const char* hora, const char* descripcion, const char* representante) {
    Evento e;
    e.anio = 2026;
    const QTime h = QTime::fromString(QString::fromLatin1(hora), QStringLiteral("HH:mm"));
    e.fecha = QDateTime(lunes.addDays(dia), h);
    e.hora = QString::fromLatin1(hora);
    e.descripcion = QString::fromUtf8(descripcion);
    e.direccion = QStringLiteral("Palacio de Gobierno, Cuernavaca");
    e.cveMunicipio = QStringLiteral("007");
    e.cveLocalidad = QStringLiteral("0001");
    e.fechaRecepcion = e.fechaFisica = e.fechaLlamada = QDateTime(lunes.addDays(-7), QTime(9, 0));
    e.nombreSuscriptor = QStringLiteral("Alberto Sánchez Gallegos");
    e.nombreRepresentante = QString::fromUtf8(representante);
    e.claveInstruccion = 1;
    e.representaA = QStringLiteral("Secretario");
    e.caracter = QStringLiteral("Normal");
    Eventos::insertaConFolioNuevo(Modulo::taloren(), e, Modulo::autor());
}

} // namespace

void galeriaDeAgenda() {
    RelojFijo reloj(QDateTime(lunes.addDays(2), QTime(9, 0)));
    const Reloj::Sustituto enUso(reloj);
    invitacion(0, "SinHr", "Día de la Educación Especial", "Escuelas del estado", "", "Gob");
    invitacion(0, "10:00", "Inauguración del ciclo de conferencias sobre agua potable",
               "Auditorio Universitario", "Lic. Óscar Peña Ruiz", "Srio");
    invitacion(1, "09:00", "Reunión regional de supervisores", "Centro de Convenciones", "", "Srio");
    invitacion(2, "12:30", "Entrega de becas", "Plaza de Armas", "Mtra. Ana Pérez", "Gob");
    invitacion(3, "18:00", "Concierto de la orquesta juvenil", "Teatro Ocampo", "Lic. Óscar Peña Ruiz",
               "Srio");
    invitacion(9, "10:00", "Foro de educación indígena", "Tetelcingo", "", "Srio");
    invitacion(17, "11:00", "Informe de labores del rector", "UAEM", "Mtra. Ana Pérez", "Srio");
    evento(0, "10:30", "Visita a la escuela primaria Benito Juárez", "Mtra. Ana Pérez");
    evento(1, "00:00", "Jornada de vacunación escolar", "");
    evento(2, "13:00", "Firma de convenio con el IMSS", "Lic. Óscar Peña Ruiz");
    evento(4, "17:30", "Clausura del torneo deportivo", "");
    evento(10, "09:00", "Reunión con padres de familia", "Mtra. Ana Pérez");

    FrmAgenda agenda;
    agenda.resize(1100, 760);
    retrata(agenda, QStringLiteral("FrmAgenda-semana"));
    agenda.TabVistas->setCurrentIndex(1);
    retrata(agenda, QStringLiteral("FrmAgenda-mes"));
    agenda.hide();

    MDITaloren& mdi = Modulo::mdi();
    mdi.LstProximos->Refresca();
    retrata(mdi, QStringLiteral("MDITaloren-proximos"));

    // The question a save asks about a double booking, pictured as it stands, then answered "No".
    int folio = 0;
    for (const Invitacion& i :
         Invitaciones::entreFechas(Modulo::kelmar(), lunes.addDays(2), lunes.addDays(2)))
        if (i.descripcion == QLatin1String("Entrega de becas"))
            folio = i.folio;
    FrmModificarInvitacion becas(&mdi);
    becas.MuestraAlAbrir(2026, folio);
    becas.show();
    becas.CmbHoraEvento->setCurrentIndex(becas.CmbHoraEvento->findText(QStringLiteral("13:30")));
    becas.TxtRepresentante->setText(QStringLiteral("Lic. Óscar Peña Ruiz"));
    becas.CmbPrefijo2->setCurrentIndex(0);
    // Any question before it (an event today may count as begun) is answered "Sí".
    bool retratada = false;
    const auto pulsa = [](QMessageBox* caja, QMessageBox::ButtonRole papel) {
        for (QAbstractButton* b : caja->buttons())
            if (caja->buttonRole(b) == papel)
                return b->click();
        qFatal("la pregunta no tiene el botón esperado");
    };
    std::function<void()> responde = [&] {
        auto* pregunta = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!pregunta)
            qFatal("la pregunta de la doble reserva no se mostró");
        if (!pregunta->text().contains(QStringLiteral("ya tiene otro compromiso"))) {
            QTimer::singleShot(100, responde);
            pulsa(pregunta, QMessageBox::YesRole);
            return;
        }
        guarda(pregunta->grab(), QStringLiteral("Pregunta-doble-reserva"));
        retratada = true;
        pulsa(pregunta, QMessageBox::NoRole);
    };
    QTimer::singleShot(100, responde);
    becas.CmdGuardar->click();
    if (!retratada)
        qFatal("la pregunta de la doble reserva no se retrató");
}

} // namespace Galeria
