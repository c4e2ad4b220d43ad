#include "invitations/FrmRegistrarInvitacion.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/BotonesDeComando.h"
#include "controls/TextoMultilinea.h"
#include "invitations/Piezas.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "server/Agenda.h"
#include "server/Invitaciones.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using namespace Piezas;

namespace {
QString anioConCuatroCifras(const QDate& dia) {
    return QStringLiteral("%1").arg(dia.year(), 4, 10, QLatin1Char('0'));
}
} // namespace

FrmRegistrarInvitacion::FrmRegistrarInvitacion(QWidget* parent)
    : VentanaDeInvitacion(QStringLiteral("FrmRegistrarInvitacion"),
                          QStringLiteral("Registro de invitaciones"), QStringLiteral("FraEvento"), 11700,
                          7680, parent) {
    FraEvento = marcoDelEvento();
    rotulo(FraEvento, "Año", {8, 10, 30, 24});
    LblAnio = dato(FraEvento, "LblAnio", {40, 10, 56, 24});
    rotulo(FraEvento, "Folio", {116, 10, 36, 24});
    LblFolio = dato(FraEvento, "LblFolio", {154, 10, 64, 24});

    CmdLimpiar = new ::CmdLimpiar(this);
    CmdLimpiar->move(712, 96);
    Modulo::Crecen(*this, {{.control = CmdLimpiar, .x = 1}});

    // The indication is chosen from the list; the box shows it in full and
    // is not what is saved, so it is not typed into.
    TxtIndicacion->setReadOnly(true);
    TxtIndicacion->setFocusPolicy(Qt::ClickFocus);

    ordenaTabulacion({});

    connect(CmdGuardar, &::CmdGuardar::Click, this, &FrmRegistrarInvitacion::CmdGuardar_Click);
    connect(CmdLimpiar, &::CmdLimpiar::Click, this, &FrmRegistrarInvitacion::CmdLimpiar_Click);
    connect(CmdCerrar, &::CmdCerrar::Click, this, &FrmRegistrarInvitacion::CmdCerrar_Click);
    connect(CmbIndicacion, &QComboBox::currentIndexChanged, this,
            &FrmRegistrarInvitacion::CmbIndicacion_Click);
    connect(OptGob, &QRadioButton::toggled, this, [this](bool elegida) {
        if (elegida)
            OptGob_Click();
    });
    connect(OptSrio, &QRadioButton::toggled, this, [this](bool elegida) {
        if (elegida)
            OptSrio_Click();
    });
}

void FrmRegistrarInvitacion::showEvent(QShowEvent* evento) {
    if (!m_cargada)
        Form_Load();
    QDialog::showEvent(evento);
    Form_Activate();
}

void FrmRegistrarInvitacion::Form_Load() {
    m_cargada = true;
    Modulo::CentraEnMdi(*this);
    const QDate hoy = Reloj::actual().hoy();
    DTPFechaEvento->setDate(hoy);
    DTPFechaRecepcion->setDate(hoy);
    LblAnio->setText(anioConCuatroCifras(hoy));
    Modulo::LlenaCmbHoras(CmbHoraEvento);
    CargaListas();
    marcaComoGuardado();
}

void FrmRegistrarInvitacion::Form_Activate() {
    DTPFechaRecepcion->setFocus();
}

void FrmRegistrarInvitacion::CmbIndicacion_Click() {
    TxtIndicacion->setText(CmbIndicacion->currentText());
}

void FrmRegistrarInvitacion::OptGob_Click() {
    arreglaPara(true);
    CmbIndicacion->setCurrentIndex(-1);
    CmbIndicacion->hide();
}

void FrmRegistrarInvitacion::OptSrio_Click() {
    arreglaPara(false);
    CmbIndicacion->show();
}

void FrmRegistrarInvitacion::CmdGuardar_Click() {
    if (DTPFechaEvento->date() < Reloj::actual().hoy())
        return rechaza(QStringLiteral("Debe proporcionar una fecha de hoy en adelante. Verifique :("), 0,
                       DTPFechaEvento);
    if (CmbHoraEvento->currentText().isEmpty())
        return rechaza(QStringLiteral("Debe seleccionar la hora del evento. Verifique :("), 0, CmbHoraEvento);
    QString caracter;
    if (OptNormal->isChecked())
        caracter = QStringLiteral("Normal");
    else if (OptUrgente->isChecked())
        caracter = QStringLiteral("Urgente");
    else
        return rechaza(
            QStringLiteral("Debe seleccionar seleccionar si la invitación es normal, urgente ...'. "
                           "Verifique :("),
            0, OptNormal);
    if (CmbPrefijo1->currentText().isEmpty())
        return rechaza(QStringLiteral("Debe seleccionar el prefijo que describe el evento. Verifique :("), 0,
                       CmbPrefijo1);
    if (TxtDescripcion->text().isEmpty())
        return rechaza(QStringLiteral("Debe proporcionar una descripción del evento. Verifique :("), 0,
                       TxtDescripcion);
    if (CmbPrefijo3->currentText().isEmpty())
        return rechaza(QStringLiteral("Debe seleccionar el prefijo de la ubicación del evento. Verifique :("),
                       0, CmbPrefijo3);
    if (TxtUbicacionEvento->text().isEmpty())
        return rechaza(QStringLiteral("Debe proporcionar una la ubicación del Evento. Verifique :("), 0,
                       TxtUbicacionEvento);
    if (TxtQuienInvita->text().isEmpty())
        return rechaza(QStringLiteral("Debe proporcionar el nombre de quien invita al evento. Verifique :("),
                       0, TxtQuienInvita);

    QString representaA;
    if (OptSrio->isChecked()) {
        representaA = QStringLiteral("Srio");
        if (CmbIndicacion->currentText().isEmpty())
            return rechaza(QStringLiteral("Debe seleccionar la indicación en el apartado del representante. "
                                          "Verifique :("),
                           1, CmbIndicacion);
        if (TxtTitularDelArea->text().isEmpty())
            return rechaza(
                QStringLiteral("Debe proporcionar el nombre del titular que designará un resposable "
                               "para el evento. Verifique :("),
                1, TxtTitularDelArea);
        if (TxtCargoTitularDelArea->text().isEmpty())
            return rechaza(
                QStringLiteral("Debe proporcionar el cargo del titular que designará un resposable "
                               "para el evento. Verifique :("),
                1, TxtCargoTitularDelArea);
        // No representative's prefix is saved for the Secretary.
        CmbPrefijo2->setCurrentIndex(-1);
    } else if (OptGob->isChecked()) {
        representaA = QStringLiteral("Gob");
        if (!TxtRepresentante->text().isEmpty() && CmbPrefijo2->currentText().isEmpty())
            return rechaza(
                QStringLiteral("Debe seleccionar seleccionar el prefijo del representante del evento. "
                               "Verifique :("),
                1, CmbPrefijo2);
        CmbIndicacion->setCurrentIndex(-1);
        TxtIndicacion->clear();
        TxtTitularDelArea->clear();
        TxtCargoTitularDelArea->clear();
        TxtTelsTitular->clear();
    } else {
        Modulo::MensajeDeError(
            QStringLiteral("Debe seleccionar una opción en el apartado 'Representa a:'. Verifique :("));
        return;
    }

    QString estatus = QStringLiteral("CONFIRMADA");
    if (TxtRepresentante->text().trimmed().isEmpty()) {
        const QString respuesta = Modulo::ConfirmaSiNo(
            Modulo::NickUsuario + Modulo::DobleSalto +
            QStringLiteral(
                "No capturó el nombre del representante, la invitación será marcada como NO "
                "CONFIRMADA y podrá entrar al módulo de correcciones para confirmarla más tarde.") +
            Modulo::DobleSalto + QStringLiteral("¿Desea continuar?"));
        if (respuesta != QLatin1String("SI"))
            return enfoca(1, TxtRepresentante);
        estatus = QStringLiteral("SINCONFIRMAR");
        TxtCargoRepresentante->clear();
        TxtTelsRepresentante->clear();
    }
    if (!recepcionPlausible())
        return;
    if (!Modulo::FechaDelEventoAdmitida(DTPFechaEvento->date()))
        return enfoca(0, DTPFechaEvento);

    try {
        Invitacion invitacion =
            invitacionEnPantalla(estatus, caracter, representaA, CmbIndicacion->currentText());
        invitacion.anio = LblAnio->text().toInt();
        if (!Modulo::SinDobleReserva(Agenda::deInvitacion(invitacion)))
            return;
        const QString folio =
            QString::number(Invitaciones::registra(Modulo::kelmar(), invitacion, Modulo::autor()));
        LblFolio->setText(folio);
        LblMensajeAUsuario->setText(
            QStringLiteral("Los datos han sido almacenados. Folio de la última invitación: ") + folio);
        LimpiaVentana();
    } catch (...) {
        // The typed data stays, so the user can correct it and save again.
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmRegistrarInvitacion::LimpiaVentana() {
    LblAnio->setText(anioConCuatroCifras(Reloj::actual().hoy()));
    LblFolio->clear();
    vaciaCampos();
    marcaComoGuardado();
    enfoca(0, DTPFechaRecepcion);
}

void FrmRegistrarInvitacion::CmdLimpiar_Click() {
    const QString respuesta = Modulo::ConfirmaSiNo(
        Modulo::NickUsuario + Modulo::DobleSalto +
        QStringLiteral("Los datos que ha capturado no se almacenarán y los perderá, ¿Desea continuar?") +
        Modulo::DobleSalto + QStringLiteral("¿Desea continuar?"));
    if (respuesta == QLatin1String("SI"))
        LimpiaVentana();
}

void FrmRegistrarInvitacion::CmdCerrar_Click() {
    close();
}
