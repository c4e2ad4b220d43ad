#include "startup/MDITaloren.h"

#include "agenda/FrmAgenda.h"
#include "agenda/ListaDeLaSemana.h"
#include "capture/frmCaptura.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "queries/AbreConsultas.h"
#include "reports/EntregaDeReporte.h"
#include "reports/FrmReportes.h"
#include "startup/Inicio.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include <memory>

namespace {
// A work window lives while it stands: one at a time, since it is modal, and
// loaded afresh at each opening because closing it unloads it.
template <typename Ventana> void abreVentanaDeTrabajo(QWidget* principal) {
    auto ventana = std::make_unique<Ventana>(principal);
    Modulo::MuestraModal(*ventana);
}

// Over the modal window that asks for it (the agenda, the query window), or the main window.
QWidget* encima(QWidget* principal) {
    return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : principal;
}
} // namespace

MDITaloren::MDITaloren(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MDITaloren"));
    Modulo::EstableceAperturas(
        {.consultas = AbreConsultas,
         .evento =
             [this](int folio, int anio) {
                 // Over the query window, which stays open beneath it.
                 frmCaptura captura(encima(this));
                 captura.MuestraAlAbrir(folio, anio);
                 Modulo::MuestraModal(captura);
                 return false;
             },
         .invitacion =
             [this](int anio, int folio) {
                 FrmModificarInvitacion modificar(encima(this));
                 modificar.MuestraAlAbrir(anio, folio);
                 Modulo::MuestraModal(modificar);
             },
         .reporte =
             [this](std::shared_ptr<Reporte> reporte) { EntregaReporte(std::move(reporte), encima(this)); }});
    setWindowTitle(QStringLiteral("Sistema Para el Control de Invitaciones"));
    setAttribute(Qt::WA_QuitOnClose);

    LstProximos = new ListaDeLaSemana(this);
    setCentralWidget(LstProximos);

    QMenuBar* barra = menuBar();
    barra->setObjectName(QStringLiteral("barraDeMenu"));
    // Captura, Consultas and Salir act at once from the bar; Invitaciones opens its submenu.
    mdiCaptura = barra->addAction(QStringLiteral("&Captura"));
    mdiCaptura->setObjectName(QStringLiteral("mdiCaptura"));
    mdiConsultas = barra->addAction(QStringLiteral("C&onsultas"));
    mdiConsultas->setObjectName(QStringLiteral("mdiConsultas"));
    MnuInvitaciones = barra->addMenu(QStringLiteral("&Invitaciones"));
    MnuInvitaciones->setObjectName(QStringLiteral("MnuInvitaciones"));
    MnuRegistrarInvitaciones = MnuInvitaciones->addAction(QStringLiteral("&Registrar invitaciones"));
    MnuRegistrarInvitaciones->setObjectName(QStringLiteral("MnuRegistrarInvitaciones"));
    MnuModificarInvit = MnuInvitaciones->addAction(QStringLiteral("&Modificar Invitación"));
    MnuModificarInvit->setObjectName(QStringLiteral("MnuModificarInvit"));
    MnuReportesInvit = MnuInvitaciones->addAction(QStringLiteral("&Reportes"));
    MnuReportesInvit->setObjectName(QStringLiteral("MnuReportesInvit"));
    mdiAgenda = barra->addAction(QStringLiteral("&Agenda"));
    mdiAgenda->setObjectName(QStringLiteral("mdiAgenda"));
    mdiSalir = barra->addAction(QStringLiteral("&Salir"));
    mdiSalir->setObjectName(QStringLiteral("mdiSalir"));

    connect(mdiCaptura, &QAction::triggered, this, &MDITaloren::mdiCaptura_Click);
    connect(mdiConsultas, &QAction::triggered, this, &MDITaloren::mdiConsultas_Click);
    connect(MnuRegistrarInvitaciones, &QAction::triggered, this, &MDITaloren::MnuRegistrarInvitaciones_Click);
    connect(MnuModificarInvit, &QAction::triggered, this, &MDITaloren::MnuModificarInvit_Click);
    connect(MnuReportesInvit, &QAction::triggered, this, &MDITaloren::MnuReportesInvit_Click);
    connect(mdiAgenda, &QAction::triggered, this, &MDITaloren::mdiAgenda_Click);
    connect(mdiSalir, &QAction::triggered, this, &MDITaloren::mdiSalir_Click);
    // Every work window that closes may have changed the coming days.
    for (QAction* a :
         {mdiCaptura, mdiConsultas, MnuRegistrarInvitaciones, MnuModificarInvit, MnuReportesInvit, mdiAgenda})
        connect(a, &QAction::triggered, LstProximos, &ListaDeLaSemana::Refresca);

    // The client area starts at 800 x 544 pixels, the size the work windows are laid out for,
    // centred on the screen.
    const int altoDelMenu = barra->sizeHint().height();
    resize(Modulo::Pixeles(12000), Modulo::Pixeles(8160) + altoDelMenu);
    if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
        const QRect libre = pantalla->availableGeometry();
        move(libre.left() + std::max(0, (libre.width() - width()) / 2),
             libre.top() + std::max(0, (libre.height() - height()) / 2));
    }
    // The size the person gave it last time, so the work windows have that room again.
    Modulo::RecuerdaTamano(*this);
}

void MDITaloren::mdiCaptura_Click() {
    abreVentanaDeTrabajo<frmCaptura>(this);
}

void MDITaloren::mdiConsultas_Click() {
    AbreConsultas();
}

void MDITaloren::MnuRegistrarInvitaciones_Click() {
    abreVentanaDeTrabajo<FrmRegistrarInvitacion>(this);
}

void MDITaloren::MnuModificarInvit_Click() {
    abreVentanaDeTrabajo<FrmModificarInvitacion>(this);
}

void MDITaloren::MnuReportesInvit_Click() {
    abreVentanaDeTrabajo<FrmReportes>(this);
}

void MDITaloren::mdiAgenda_Click() {
    abreVentanaDeTrabajo<FrmAgenda>(this);
}

void MDITaloren::mdiSalir_Click() {
    Modulo::TerminaPrograma();
}
