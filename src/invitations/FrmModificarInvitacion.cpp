#include "invitations/FrmModificarInvitacion.h"

#include "common/Avisos.h"
#include "common/DocumentosDeOficio.h"
#include "common/FrmConflicto.h"
#include "common/FrmHistorial.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/BotonesDeComando.h"
#include "controls/CmbClaveDescrip.h"
#include "controls/TextoMultilinea.h"
#include "invitations/Piezas.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "server/Agenda.h"
#include "server/Invitaciones.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace Piezas;

namespace {

// The year and folio on screen; 0 when absent or not a number.
int anioEnPantalla(const CmbClaveDescrip* anio) {
    bool ok = false;
    const int n = anio->Text().trimmed().toInt(&ok);
    return ok && n > 0 && n <= 9999 ? n : 0;
}
int folioEnPantalla(const QLineEdit* folio) {
    bool ok = false;
    const int n = folio->text().trimmed().toInt(&ok);
    return ok ? n : 0;
}

} // namespace

FrmModificarInvitacion::FrmModificarInvitacion(QWidget* parent)
    : VentanaDeInvitacion(QStringLiteral("FrmModificarInvitacion"),
                          QStringLiteral("Modificar datos de invitación"), QStringLiteral("FraIdInvitacion"),
                          11700, 8460, parent) {
    FraIdInvitacion = marcoDelEvento();
    rotulo(FraIdInvitacion, "Año", {8, 10, 30, 24});
    CmbAnio = new CmbClaveDescrip(FraIdInvitacion);
    CmbAnio->setObjectName(QStringLiteral("CmbAnio"));
    CmbAnio->setGeometry(40, 10, 80, 24);
    rotulo(FraIdInvitacion, "Folio", {136, 10, 36, 24});
    TxtFolio = new QLineEdit(FraIdInvitacion);
    TxtFolio->setObjectName(QStringLiteral("TxtFolio"));
    TxtFolio->setGeometry(174, 10, 60, 24);
    // Up to four digits, none of them required ("9999" of the office's masked boxes).
    TxtFolio->setInputMask(QStringLiteral("0000"));
    CmdConsultarFolio = new QPushButton(QStringLiteral("Consultar &Folio"), FraIdInvitacion);
    CmdConsultarFolio->setObjectName(QStringLiteral("CmdConsultarFolio"));
    CmdConsultarFolio->setToolTip(QStringLiteral("Clic para buscar la invitación"));
    CmdConsultarFolio->setGeometry(246, 8, 130, 28);
    // Enter anywhere else must not look the invitation up again over the
    // user's corrections; in the folio box it does.
    CmdConsultarFolio->setAutoDefault(false);

    // The indication is edited as text here; its list is loaded and stays hidden.
    CmbIndicacion->hide();

    QLabel* lblCapturo = rotulo(this, "Capturó:", {8, 484, 60, 22});
    LblUsrCapturo = dato(this, "LblUsrCapturo", {70, 484, 150, 22});
    QLabel* lblModifico = rotulo(this, "Modificó:", {236, 484, 64, 22});
    LblUsrModifico = dato(this, "LblUsrModifico", {302, 484, 150, 22});
    QLabel* lblEstatus = rotulo(this, "Estatus:", {8, 510, 60, 22});
    LblEstatus = dato(this, "LblEstatus", {70, 510, 290, 22});
    LblEstatus1 = dato(this, "LblEstatus1", {370, 510, 160, 22});
    LblMensajeAUsuario->setGeometry(8, 536, 684, 22);
    CmdCerrar->move(CmdCerrar->x(), 96);
    CmdGuardar->estableceEnabled(false);
    CmdHistorial = new BotonConEnabled(QStringLiteral("CmdHistorial"), QStringLiteral("&Historial"),
                                       QStringLiteral("Ver los cambios de la invitación"), true,
                                       QStyle::SP_FileDialogInfoView, this);
    CmdHistorial->move(CmdCerrar->x(), 158);
    CmdHistorial->estableceEnabled(false);
    CmdOficio = new BotonConEnabled(QStringLiteral("CmdOficio"), QStringLiteral("&Oficio"),
                                    QStringLiteral("Escribir el oficio de designación de la invitación"),
                                    true, QStyle::SP_FileIcon, this);
    CmdOficio->move(CmdCerrar->x(), 220);
    CmdOficio->estableceEnabled(false);
    Modulo::Crecen(*this, {{.control = CmdHistorial, .x = 1}, {.control = CmdOficio, .x = 1}});
    for (QWidget* renglon : std::initializer_list<QWidget*>{
             lblCapturo, LblUsrCapturo, lblModifico, LblUsrModifico, lblEstatus, LblEstatus, LblEstatus1})
        Modulo::Crecen(*this, {{.control = renglon, .y = 1}});

    ordenaTabulacion({CmbAnio, TxtFolio, CmdConsultarFolio});

    connect(CmdConsultarFolio, &QPushButton::clicked, this, &FrmModificarInvitacion::CmdConsultarFolio_Click);
    connect(TxtFolio, &QLineEdit::returnPressed, CmdConsultarFolio, &QPushButton::click);
    connect(CmdGuardar, &::CmdGuardar::Click, this, &FrmModificarInvitacion::CmdGuardar_Click);
    connect(CmdCerrar, &::CmdCerrar::Click, this, &FrmModificarInvitacion::CmdCerrar_Click);
    connect(CmdHistorial, &BotonConEnabled::Click, this, &FrmModificarInvitacion::CmdHistorial_Click);
    connect(CmdOficio, &BotonConEnabled::Click, this, &FrmModificarInvitacion::CmdOficio_Click);
    connect(TxtFolio, &QLineEdit::textChanged, this, &FrmModificarInvitacion::revisaIdentidad);
    connect(CmbAnio->combo(), &QComboBox::editTextChanged, this, &FrmModificarInvitacion::revisaIdentidad);
    connect(OptGob, &QRadioButton::toggled, this, [this](bool elegida) {
        if (elegida)
            OptGob_Click();
    });
    connect(OptSrio, &QRadioButton::toggled, this, [this](bool elegida) {
        if (elegida)
            OptSrio_Click();
    });
}

void FrmModificarInvitacion::showEvent(QShowEvent* evento) {
    if (!m_cargada) {
        Form_Load();
        if (m_porConsultar) {
            CmbAnio->estableceText(QString::number(m_porConsultar->first));
            TxtFolio->setText(QString::number(m_porConsultar->second));
            CmdConsultarFolio_Click();
        }
        m_porConsultar.reset();
    }
    QDialog::showEvent(evento);
    Form_Activate();
}

void FrmModificarInvitacion::Form_Load() {
    m_cargada = true;
    Modulo::CentraEnMdi(*this);
    const QDate hoy = Reloj::actual().hoy();
    const QString anio = QStringLiteral("%1").arg(hoy.year(), 4, 10, QLatin1Char('0'));
    CmbAnio->estableceConexion(&Modulo::kelmar());
    try {
        CmbAnio->LlenaCmbConUnDato(Invitaciones::consultaDeAnios(), {hoy.year()});
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::CajaConDescp);
    }
    CmbAnio->estableceText(anio);
    DTPFechaRecepcion->setDate(hoy);
    DTPFechaEvento->setDate(hoy);
    Modulo::LlenaCmbHoras(CmbHoraEvento);
    CargaListas();
    marcaComoGuardado();
}

void FrmModificarInvitacion::Form_Activate() {
    TxtFolio->setFocus();
}

void FrmModificarInvitacion::OptGob_Click() {
    arreglaPara(true);
}

void FrmModificarInvitacion::OptSrio_Click() {
    arreglaPara(false);
}

void FrmModificarInvitacion::revisaIdentidad() {
    // The history shown is that of the invitation the boxes name.
    if (anioEnPantalla(CmbAnio) != m_anio || folioEnPantalla(TxtFolio) != m_folio)
        CmdHistorial->estableceEnabled(false);
    CmdOficio->estableceEnabled(false);
    if (m_hayInvitacion && (anioEnPantalla(CmbAnio) != m_anio || folioEnPantalla(TxtFolio) != m_folio)) {
        m_hayInvitacion = false;
        CmdGuardar->estableceEnabled(false);
    }
}

void FrmModificarInvitacion::CmdConsultarFolio_Click() {
    const int anio = anioEnPantalla(CmbAnio);
    const int folio = folioEnPantalla(TxtFolio);
    // A year that is no number counts as absent, as an empty one does.
    if (TxtFolio->text().trimmed().isEmpty() || anio == 0) {
        Modulo::MensajeDeError(QStringLiteral("Debe proporcionar un año y un folio. Verifique :("));
        return;
    }
    try {
        const std::optional<Invitacion> invitacion = Invitaciones::busca(Modulo::kelmar(), anio, folio);
        if (!invitacion) {
            // The invitation of an earlier look-up would read as the one named above it.
            m_hayInvitacion = false;
            CmdGuardar->estableceEnabled(false);
            CmdHistorial->estableceEnabled(false);
            CmdOficio->estableceEnabled(false);
            vaciaCampos();
            CmbPrefijo2->setCurrentIndex(-1);
            for (QLabel* dato : {LblEstatus, LblEstatus1, LblUsrCapturo, LblUsrModifico})
                dato->clear();
            marcaComoGuardado();
            Modulo::MensajeDeError(QStringLiteral("No existe el folio %1 del año %2 verifique. :(")
                                       .arg(folio)
                                       .arg(CmbAnio->Text().trimmed()));
            return;
        }
        muestraInvitacion(*invitacion);
        marcaComoGuardado();
        m_leida = invitacion;
        m_anio = anio;
        m_folio = folio;
        m_hayInvitacion = true;
        CmdGuardar->estableceEnabled(true);
        CmdHistorial->estableceEnabled(true);
        CmdOficio->estableceEnabled(true);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmModificarInvitacion::muestraInvitacion(const Invitacion& v) {
    const QDate evento = v.fechaEvento.date();
    const QDate recepcion = v.fechaRecepcion.date();
    if (evento.isValid())
        DTPFechaEvento->setDate(evento);
    if (recepcion.isValid())
        DTPFechaRecepcion->setDate(recepcion);
    muestraEnLista(CmbHoraEvento, v.hora);
    if (v.caracter == QLatin1String("Normal"))
        OptNormal->setChecked(true);
    else
        OptUrgente->setChecked(true);
    if (v.representaA == QLatin1String("Srio")) {
        OptSrio->setChecked(true);
        OptSrio_Click();
    } else {
        OptGob->setChecked(true);
        OptGob_Click();
    }
    TxtDescripcion->setText(v.descripcion);
    TxtUbicacionEvento->setText(v.ubicacion);
    TxtObservacion->setText(v.observacion);
    TxtQuienInvita->setText(v.suscriptor);
    TxtCargoSuscrip->setText(v.cargoSuscriptor);
    TxtTelsSuscrip->setText(v.telSuscriptor);
    TxtIndicacion->setText(v.indicacion);
    TxtRepresentante->setText(v.representante);
    TxtCargoRepresentante->setText(v.cargoRepresentante);
    TxtTelsRepresentante->setText(v.telRepresentante);
    TxtTitularDelArea->setText(v.titular);
    TxtCargoTitularDelArea->setText(v.cargoTitular);
    TxtTelsTitular->setText(v.telTitular);
    muestraEnLista(CmbPrefijo1, v.prefijo1);
    muestraEnLista(CmbPrefijo2, v.prefijo2);
    muestraEnLista(CmbPrefijo3, v.prefijo3);

    LblEstatus->setText(v.estatus == QLatin1String("SINCONFIRMAR")
                            ? QStringLiteral("SIN CONFIRMAR, Falta representante.")
                            : v.estatus);
    const QDate hoy = Reloj::actual().hoy();
    const QDate dia = DTPFechaEvento->date();
    LblEstatus1->setText(dia == hoy  ? QStringLiteral("Evento para hoy")
                         : dia < hoy ? QStringLiteral("Evento pasado")
                                     : QStringLiteral("Próximo evento"));
    LblUsrCapturo->setText(v.usrCaptura);
    LblUsrModifico->setText(v.usrModif.isEmpty() ? QStringLiteral("Sin Modificación") : v.usrModif);
}

void FrmModificarInvitacion::CmdGuardar_Click() {
    if (!m_hayInvitacion)
        return;
    if (DTPFechaEvento->date() < Reloj::actual().hoy()) {
        const QString respuesta = Modulo::ConfirmaSiNo(
            Modulo::NickUsuario + Modulo::DobleSalto + QStringLiteral("La fecha del evento ya pasó.") +
            Modulo::DobleSalto + QStringLiteral("¿Desea continuar con la actualización?"));
        if (respuesta != QLatin1String("SI"))
            return enfoca(0, DTPFechaEvento);
    }
    if (TxtDescripcion->text().isEmpty())
        return rechaza(QStringLiteral("Debe proporcionar una descripción del evento. Verifique :("), 0,
                       TxtDescripcion);
    if (TxtUbicacionEvento->text().isEmpty())
        return rechaza(QStringLiteral("Debe proporcionar una la ubicación del Evento. Verifique :("), 0,
                       TxtUbicacionEvento);
    if (TxtQuienInvita->text().isEmpty())
        return rechaza(QStringLiteral("Debe proporcionar el nombre de quien invita al evento. Verifique :("),
                       0, TxtQuienInvita);

    QString estatus = QStringLiteral("CONFIRMADA");
    if (TxtRepresentante->text().isEmpty()) {
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
    const QString caracter = OptNormal->isChecked() ? QStringLiteral("Normal") : QStringLiteral("Urgente");

    if (OptSrio->isChecked()) {
        if (TxtIndicacion->text().isEmpty())
            return rechaza(QStringLiteral("Debe proporcionar la indicación en el apartado del representante. "
                                          "Verifique :("),
                           1, TxtIndicacion);
    } else if (!OptGob->isChecked()) {
        Modulo::MensajeDeError(
            QStringLiteral("Debe seleccionar una opción en el apartado 'Representa a:'. Verifique :("));
        return;
    } else if (!TxtRepresentante->text().isEmpty() && CmbPrefijo2->currentText().isEmpty()) {
        return rechaza(QStringLiteral("Debe seleccionar seleccionar el prefijo del representante del evento. "
                                      "Verifique. :("),
                       1, CmbPrefijo2);
    }

    QString representaA;
    if (OptSrio->isChecked()) {
        representaA = QStringLiteral("Srio");
        CmbPrefijo2->setCurrentIndex(-1);
        if (TxtTitularDelArea->text().isEmpty())
            return rechaza(
                QStringLiteral("Debe proporcionar el nombre del titular que designará un responsable "
                               "para el evento. Verifique :("),
                1, TxtTitularDelArea);
        if (TxtCargoTitularDelArea->text().isEmpty())
            return rechaza(
                QStringLiteral("Debe proporcionar el cargo del titular que designará un resposable "
                               "para el evento. Verifique :("),
                1, TxtCargoTitularDelArea);
    } else {
        representaA = QStringLiteral("Gob");
        CmbIndicacion->setCurrentIndex(-1);
        TxtIndicacion->clear();
        TxtTitularDelArea->clear();
        TxtCargoTitularDelArea->clear();
        TxtTelsTitular->clear();
    }
    if (!recepcionPlausible())
        return;
    if (!Modulo::FechaDelEventoAdmitida(DTPFechaEvento->date()))
        return enfoca(0, DTPFechaEvento);

    try {
        Invitacion invitacion = invitacionEnPantalla(estatus, caracter, representaA, TxtIndicacion->text());
        invitacion.anio = m_anio;
        invitacion.folio = m_folio;
        invitacion.version = m_leida ? m_leida->version : 0;
        if (!Modulo::SinDobleReserva(Agenda::deInvitacion(invitacion)))
            return;
        guardaCorreccion(invitacion);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmModificarInvitacion::guardaCorreccion(Invitacion invitacion, bool sobrescribe) {
    const Invitaciones::Correccion r =
        Invitaciones::corrige(Modulo::kelmar(), invitacion, Modulo::autor(), sobrescribe);
    using R = Invitaciones::Correccion::Resultado;
    const QString registro =
        QStringLiteral("la invitación con folio %1 del año %2").arg(invitacion.folio).arg(invitacion.anio);
    if (r.resultado == R::Eliminada) {
        Modulo::MensajeDeError(
            QStringLiteral("Otra estación eliminó %1 después de su consulta; no se guardó nada.")
                .arg(registro));
        return;
    }
    if (r.resultado == R::Cambiada) {
        const Invitacion guardada = *r.guardada;
        const Invitacion leida = m_leida.value_or(guardada);
        const auto decision = FrmConflicto::Resuelve(
            {registro, r.ultimoCambio,
             Historial::comparacion(Invitacion::camposDelRegistro(), leida, invitacion, guardada),
             guardada.version},
            [&] {
                muestraInvitacion(guardada);
                marcaComoGuardado();
                m_leida = guardada;
            },
            this);
        if (decision == FrmConflicto::Sobrescribir) {
            invitacion.version = guardada.version;
            guardaCorreccion(invitacion, true);
        }
        return;
    }
    invitacion.version = r.version;
    invitacion.usrModif = Modulo::CuentaUsuario;
    m_leida = invitacion;
    LblMensajeAUsuario->setText(QStringLiteral("Los datos han sido actualizados."));
    LblUsrModifico->setText(Modulo::CuentaUsuario);
    marcaComoGuardado();
    m_hayInvitacion = false;
    CmdGuardar->estableceEnabled(false);
}

void FrmModificarInvitacion::CmdHistorial_Click() {
    FrmHistorial::Muestra(Modulo::kelmar(), Catalogo::Kelmar, m_anio, m_folio, this);
}

void FrmModificarInvitacion::CmdOficio_Click() {
    try {
        const std::optional<Invitacion> guardada = Invitaciones::busca(Modulo::kelmar(), m_anio, m_folio);
        if (!guardada) {
            Modulo::MensajeDeError(
                QStringLiteral("No existe el folio %1 del año %2 verifique. :(").arg(m_folio).arg(m_anio));
            return;
        }
        // The letter says what is stored: typed changes not saved yet are not in it.
        if (hayCambiosSinGuardar() &&
            Modulo::ConfirmaConNoPredeterminado(
                QStringLiteral("Hay cambios sin guardar: el oficio saldrá con los datos guardados de la "
                               "invitación.") +
                Modulo::DobleSalto + QStringLiteral("¿Desea continuar?")) != QLatin1String("SI"))
            return;
        DocumentosDeOficio::CmdImprimir(DocumentosDeOficio::DeInvitacion(*guardada));
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmModificarInvitacion::CmdCerrar_Click() {
    close();
}
