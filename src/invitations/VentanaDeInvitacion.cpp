#include "invitations/VentanaDeInvitacion.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/BotonesDeComando.h"
#include "controls/ModeloDeRecordset.h"
#include "controls/TextoEntero.h"
#include "controls/TextoMultilinea.h"
#include "invitations/Piezas.h"
#include "outside/CajaDeMensajes.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "server/Invitaciones.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <algorithm>

using namespace Piezas;

namespace {
// An entry a look-up added for a stored value that its list lacks.
constexpr int rolAgregada = Qt::UserRole + 1;

// What a box takes: its field's limit on screen.
int limite(const char* columna) {
    return Invitacion::campo(QString::fromUtf8(columna)).limiteEnPantalla();
}
} // namespace

VentanaDeInvitacion::VentanaDeInvitacion(const QString& nombre, const QString& titulo,
                                         const QString& nombreDelMarco, int anchoEnTwips, int altoEnTwips,
                                         QWidget* parent)
    : QDialog(parent), m_personal(new ModeloDeRecordset(this)) {
    Modulo::PreparaVentanaDeTrabajo(*this, nombre, titulo, anchoEnTwips, altoEnTwips);

    TabInvitacion = new QTabWidget(this);
    TabInvitacion->setObjectName(QStringLiteral("TabInvitacion"));
    TabInvitacion->setGeometry(8, 8, 684, 470);
    auto* pestana0 = new QWidget;
    auto* pestana1 = new QWidget;
    TabInvitacion->addTab(pestana0, QStringLiteral("DATOS DEL EVENTO"));
    TabInvitacion->addTab(pestana1, QStringLiteral("DATOS ADICIONALES DEL EVENTO"));

    CmdGuardar = new ::CmdGuardar(this);
    CmdGuardar->move(712, 34);
    CmdCerrar = new ::CmdCerrar(this);
    CmdCerrar->move(712, 158);

    LblMensajeAUsuario = dato(this, "LblMensajeAUsuario", {8, 484, 684, 22});
    QFont negrita = LblMensajeAUsuario->font();
    negrita.setBold(true);
    LblMensajeAUsuario->setFont(negrita);
    LblMensajeAUsuario->setFrameShape(QFrame::NoFrame);
    LblMensajeAUsuario->setStyleSheet(QStringLiteral("color: #00308f"));

    // ---- tab 0: the event ------------------------------------------------
    m_marco = new QFrame(pestana0);
    m_marco->setObjectName(nombreDelMarco);
    m_marco->setGeometry(4, 4, 670, 432);
    m_marco->setFrameShape(QFrame::StyledPanel);
    QFrame* f = m_marco;

    rotulo(f, "Se recibió el día", {8, 46, 110, 24});
    DTPFechaRecepcion = fecha(f, "DTPFechaRecepcion", {118, 46, 110, 24});
    rotulo(f, "El evento se realizará el día", {246, 46, 176, 24});
    DTPFechaEvento = fecha(f, "DTPFechaEvento", {420, 46, 110, 24});
    rotulo(f, "A las", {546, 46, 36, 24});
    CmbHoraEvento = lista(f, "CmbHoraEvento", {582, 46, 78, 24});

    FrCaracter = marco(f, "FrCaracter", "Carácter", {8, 80, 230, 48});
    OptNormal = opcion(FrCaracter, "OptNormal", "Normal", {12, 20, 100, 22});
    OptUrgente = opcion(FrCaracter, "OptUrgente", "Urgente", {120, 20, 100, 22});
    OptNormal->setChecked(true);
    FrRepresentaA = marco(f, "FrRepresentaA", "Representa a", {250, 80, 230, 48});
    OptSrio = opcion(FrRepresentaA, "OptSrio", "El Srio.", {12, 20, 100, 22});
    OptGob = opcion(FrRepresentaA, "OptGob", "El Gob.", {120, 20, 100, 22});
    OptSrio->setChecked(true);

    rotulo(f, "En relación:", {8, 140, 160, 24});
    CmbPrefijo1 = lista(f, "CmbPrefijo1", {170, 140, 70, 24});
    TxtDescripcion = textoLargo(f, "TxtDescripcion", limite("Descripcion"), {246, 140, 414, 60});
    QLabel* lblUbicacion = rotulo(f, "El evento se realizará en:", {8, 210, 160, 24});
    CmbPrefijo3 = lista(f, "CmbPrefijo3", {170, 210, 70, 24});
    TxtUbicacionEvento = textoLargo(f, "TxtUbicacionEvento", limite("Ubicacion"), {246, 210, 414, 60});
    QLabel* lblObservacion = rotulo(f, "Observación", {8, 280, 160, 24});
    TxtObservacion = textoLargo(f, "TxtObservacion", limite("Observacion"), {246, 280, 414, 44});

    FraQuienInvita = marco(f, "FraQuienInvita", "Nombre de quien invita al evento", {8, 330, 652, 96});
    rotulo(FraQuienInvita, "Nombre", {10, 20, 76, 22});
    TxtQuienInvita = texto(FraQuienInvita, "TxtQuienInvita", limite("Suscriptor"), {90, 20, 552, 22});
    rotulo(FraQuienInvita, "Cargo", {10, 44, 76, 22});
    TxtCargoSuscrip = texto(FraQuienInvita, "TxtCargoSuscrip", limite("CargoSuscriptor"), {90, 44, 552, 22});
    rotulo(FraQuienInvita, "Teléfonos", {10, 68, 76, 22});
    TxtTelsSuscrip = texto(FraQuienInvita, "TxtTelsSuscrip", limite("TelSuscriptor"), {90, 68, 552, 22});

    // ---- tab 1: the representative and the area head ---------------------
    Frame1 = marco(pestana1, "Frame1", "Datos del Representante", {4, 4, 670, 190});
    LblIndicacion = rotulo(Frame1, "Indicación", {10, 22, 80, 24}, "LblIndicacion");
    CmbIndicacion = lista(Frame1, "CmbIndicacion", {94, 22, 566, 24});
    TxtIndicacion = textoLargo(Frame1, "TxtIndicacion", limite("Indicacion"), {94, 50, 566, 44});
    // For the Governor the wording and its prefix stand where the indication stood.
    LblRedaccion =
        rotulo(Frame1, "... el señor Secretario sugiere la presencia", {10, 22, 300, 24}, "LblRedaccion");
    CmbPrefijo2 = lista(Frame1, "CmbPrefijo2", {312, 22, 78, 24});
    rotulo(Frame1, "Nombre", {10, 102, 80, 22});
    TxtRepresentante = texto(Frame1, "TxtRepresentante", limite("Representante"), {94, 102, 520, 22});
    LblF2Representante = rotulo(Frame1, "<F2>", {620, 102, 40, 22}, "LblF2Representante");
    rotulo(Frame1, "Cargo", {10, 128, 80, 22});
    TxtCargoRepresentante =
        texto(Frame1, "TxtCargoRepresentante", limite("CargoRepresentante"), {94, 128, 566, 22});
    rotulo(Frame1, "Teléfonos", {10, 154, 80, 22});
    TxtTelsRepresentante =
        texto(Frame1, "TxtTelsRepresentante", limite("TelRepresentante"), {94, 154, 566, 22});

    FraTitularDelArea = marco(pestana1, "FraTitularDelArea",
                              "Datos del titular que deberá nombrar un representante", {4, 198, 670, 98});
    rotulo(FraTitularDelArea, "Nombre", {10, 20, 80, 22});
    TxtTitularDelArea = texto(FraTitularDelArea, "TxtTitularDelArea", limite("Titular"), {94, 20, 520, 22});
    LblF2Titular = rotulo(FraTitularDelArea, "<F2>", {620, 20, 40, 22}, "LblF2Titular");
    rotulo(FraTitularDelArea, "Cargo", {10, 46, 80, 22});
    TxtCargoTitularDelArea =
        texto(FraTitularDelArea, "TxtCargoTitularDelArea", limite("CargoTitular"), {94, 46, 566, 22});
    rotulo(FraTitularDelArea, "Teléfonos", {10, 72, 80, 22});
    TxtTelsTitular = texto(FraTitularDelArea, "TxtTelsTitular", limite("TelTitular"), {94, 72, 566, 22});

    for (QLabel* f2 : {LblF2Representante, LblF2Titular}) {
        f2->setToolTip(QStringLiteral("Buscar responsable"));
        f2->setStyleSheet(QStringLiteral("color: #00308f; font-weight: bold"));
    }

    FraSeleccionarPersona = marco(pestana1, "FraSeleccionarPersona",
                                  "Seleccione un registro con doble clic en el margen izquierdo o dando "
                                  "clic en el botón aceptar",
                                  {4, 300, 670, 138});
    DGRepresentante = new QTableView(FraSeleccionarPersona);
    DGRepresentante->setObjectName(QStringLiteral("DGRepresentante"));
    DGRepresentante->setGeometry(8, 20, 590, 112);
    DGRepresentante->setModel(m_personal);
    DGRepresentante->setSelectionBehavior(QAbstractItemView::SelectRows);
    DGRepresentante->setSelectionMode(QAbstractItemView::SingleSelection);
    DGRepresentante->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DGRepresentante->setWordWrap(false);
    DGRepresentante->verticalHeader()->setDefaultSectionSize(20);
    DGRepresentante->verticalHeader()->setMinimumWidth(16);
    DGRepresentante->horizontalHeader()->setStretchLastSection(false);
    CmdAceptar = new ::CmdAceptar(FraSeleccionarPersona);
    CmdAceptar->move(606, 18);
    CmdCancelar = new ::CmdCancelar(FraSeleccionarPersona);
    CmdCancelar->move(606, 78);
    FraSeleccionarPersona->hide();

    LblRedaccion->hide();
    CmbPrefijo2->hide();

    // An enlarged window gives its room to the tabs: on the first, to the three long texts, a third
    // of the height each, and to the boxes' width; on the second, to the staff search's grid.
    const double tercio = 1.0 / 3;
    Modulo::Crecen(*this, {{.control = TabInvitacion, .ancho = 1, .alto = 1},
                           {.control = CmdGuardar, .x = 1},
                           {.control = CmdCerrar, .x = 1},
                           {.control = LblMensajeAUsuario, .y = 1, .ancho = 1},
                           {.control = m_marco, .ancho = 1, .alto = 1},
                           {.control = TxtDescripcion, .ancho = 1, .alto = tercio},
                           {.control = lblUbicacion, .y = tercio},
                           {.control = CmbPrefijo3, .y = tercio},
                           {.control = TxtUbicacionEvento, .y = tercio, .ancho = 1, .alto = tercio},
                           {.control = lblObservacion, .y = 2 * tercio},
                           {.control = TxtObservacion, .y = 2 * tercio, .ancho = 1, .alto = 1 - 2 * tercio},
                           {.control = FraQuienInvita, .y = 1, .ancho = 1},
                           {.control = TxtQuienInvita, .ancho = 1},
                           {.control = TxtCargoSuscrip, .ancho = 1},
                           {.control = TxtTelsSuscrip, .ancho = 1},
                           {.control = Frame1, .ancho = 1},
                           {.control = CmbIndicacion, .ancho = 1},
                           {.control = TxtIndicacion, .ancho = 1},
                           {.control = TxtRepresentante, .ancho = 1},
                           {.control = LblF2Representante, .x = 1},
                           {.control = TxtCargoRepresentante, .ancho = 1},
                           {.control = TxtTelsRepresentante, .ancho = 1},
                           {.control = FraTitularDelArea, .ancho = 1},
                           {.control = TxtTitularDelArea, .ancho = 1},
                           {.control = LblF2Titular, .x = 1},
                           {.control = TxtCargoTitularDelArea, .ancho = 1},
                           {.control = TxtTelsTitular, .ancho = 1},
                           {.control = FraSeleccionarPersona, .ancho = 1, .alto = 1},
                           {.control = DGRepresentante, .ancho = 1, .alto = 1},
                           {.control = CmdAceptar, .x = 1},
                           {.control = CmdCancelar, .x = 1}});
    // Posts are often longer than their boxes.
    for (QLineEdit* cargo : {TxtCargoSuscrip, TxtCargoRepresentante, TxtCargoTitularDelArea})
        Controles::MuestraTextoEntero(cargo);

    TxtRepresentante->installEventFilter(this);
    TxtTitularDelArea->installEventFilter(this);
    DGRepresentante->installEventFilter(this);
    // The fixed window has no room left in the panel's caption for the keys.
    const QString teclas = QStringLiteral("Flecha abajo desde el nombre: a la lista; Enter o doble clic: "
                                          "aceptar; Esc: cancelar y volver al nombre");
    FraSeleccionarPersona->setToolTip(teclas);
    DGRepresentante->setToolTip(teclas);
    // Ctrl+Tab turns the page from any control, the date pickers included
    // (which take a plain Tab for their own day, month and year).
    for (const QKeySequence& tecla :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(tecla, this), &QShortcut::activated, this, &VentanaDeInvitacion::pasaDePestana);
    connect(CmdAceptar, &::CmdAceptar::Click, this, &VentanaDeInvitacion::CmdAceptar_Click);
    connect(CmdCancelar, &::CmdCancelar::Click, this, &VentanaDeInvitacion::CmdCancelar_Click);
    connect(DGRepresentante, &QTableView::doubleClicked, this,
            &VentanaDeInvitacion::DGRepresentante_DblClick);
    connect(DGRepresentante->verticalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int fila) {
        DGRepresentante->selectRow(fila);
        DGRepresentante_DblClick();
    });
}

bool VentanaDeInvitacion::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() != QEvent::KeyPress)
        return QDialog::eventFilter(objeto, evento);
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    const bool enUnNombre = objeto == TxtRepresentante || objeto == TxtTitularDelArea;
    if (enUnNombre && tecla == Qt::Key_F2) {
        if (objeto == TxtRepresentante)
            TxtRepresentante_KeyDown(Qt::Key_F2);
        else
            TxtTitularDelArea_KeyDown(Qt::Key_F2);
        return true;
    }
    // The search's list is reached and used from the keyboard too.
    if (enUnNombre && tecla == Qt::Key_Down && FraSeleccionarPersona->isVisible()) {
        DGRepresentante->setFocus(Qt::OtherFocusReason);
        if (!DGRepresentante->currentIndex().isValid())
            DGRepresentante->selectRow(0);
        return true;
    }
    if (objeto == DGRepresentante && (tecla == Qt::Key_Return || tecla == Qt::Key_Enter)) {
        CmdAceptar_Click();
        return true;
    }
    if (objeto == DGRepresentante && tecla == Qt::Key_Escape) {
        CmdCancelar_Click();
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void VentanaDeInvitacion::keyPressEvent(QKeyEvent* evento) {
    // Escape does not close a window full of typed data: the close button does.
    if (evento->key() == Qt::Key_Escape) {
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}

void VentanaDeInvitacion::pasaDePestana() {
    TabInvitacion->setCurrentIndex(1 - TabInvitacion->currentIndex());
    // The focus goes to the page's first control in the Tab key's order.
    QWidget* pagina = TabInvitacion->currentWidget();
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if (pagina->isAncestorOf(w) && w->isVisibleTo(this) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
}

void VentanaDeInvitacion::TxtRepresentante_KeyDown(int KeyCode) {
    if (KeyCode == Qt::Key_F2)
        buscaPersonal(TxtRepresentante);
}

void VentanaDeInvitacion::TxtTitularDelArea_KeyDown(int KeyCode) {
    if (KeyCode == Qt::Key_F2)
        buscaPersonal(TxtTitularDelArea);
}

void VentanaDeInvitacion::buscaPersonal(QLineEdit* caja) {
    try {
        if (caja->text().isEmpty()) {
            Modulo::MensajeDeError(
                QStringLiteral("Para usar el motor de búsqueda, debe proporcionar un nombre u apellido"));
            return;
        }
        Recordset encontrados = Invitaciones::buscaFuncionarios(Modulo::kelmar(), caja->text());
        if (encontrados.estaVacio()) {
            // The boxes and the panel stay as they were, rows of an earlier search included.
            Modulo::Avisa(
                {CajaDeMensajes::Icono::Ninguno, {}, QStringLiteral("No hay coincidencias para ese valor")});
            return;
        }
        m_cajaDeLaBusqueda = caja->objectName();
        m_personal->estableceRecordset(std::move(encontrados));
        DGRepresentante->setColumnWidth(0, Modulo::Pixeles(3500));
        if (m_personal->columnCount() > 1)
            DGRepresentante->setColumnWidth(1, Modulo::Pixeles(7000));
        // The post and the area show whole: wider than drawn where a row needs it (the grid scrolls).
        for (int columna = 1; columna < m_personal->columnCount(); ++columna) {
            const int dibujada = DGRepresentante->columnWidth(columna);
            DGRepresentante->resizeColumnToContents(columna);
            DGRepresentante->setColumnWidth(columna,
                                            std::max(dibujada, DGRepresentante->columnWidth(columna)));
        }
        DGRepresentante->selectRow(0);
        FraSeleccionarPersona->show();
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::CajaConDescp);
    }
}

void VentanaDeInvitacion::DGRepresentante_DblClick() {
    CmdAceptar_Click();
}

void VentanaDeInvitacion::CmdAceptar_Click() {
    try {
        FraSeleccionarPersona->hide();
        const Recordset& rs = m_personal->recordset();
        const QModelIndex actual = DGRepresentante->currentIndex();
        const int fila = actual.isValid() ? actual.row() : 0;
        if (fila < rs.filas() && rs.columnas() >= 2) {
            const QString nombre = rs.texto(fila, 0);
            const QString cargo = rs.texto(fila, 1);
            if (m_cajaDeLaBusqueda == QLatin1String("TxtTitularDelArea")) {
                TxtTitularDelArea->setText(nombre);
                TxtCargoTitularDelArea->setText(cargo);
                TxtTelsTitular->setFocus();
            } else if (m_cajaDeLaBusqueda == QLatin1String("TxtRepresentante")) {
                TxtRepresentante->setText(nombre);
                TxtCargoRepresentante->setText(cargo);
                TxtTelsRepresentante->setFocus();
            }
        }
        m_personal->limpia();
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::CajaConDescp);
    }
}

void VentanaDeInvitacion::CmdCancelar_Click() {
    FraSeleccionarPersona->hide();
    if (m_cajaDeLaBusqueda == QLatin1String("TxtRepresentante"))
        TxtRepresentante->setFocus();
    else
        TxtTitularDelArea->setFocus();
}

void VentanaDeInvitacion::CargaPrefijos() {
    const Invitaciones::Prefijos prefijos = Invitaciones::prefijos(Modulo::kelmar());
    agregaSinSeleccionar(CmbPrefijo1, prefijos.descripcion);
    agregaSinSeleccionar(CmbPrefijo2, prefijos.representante);
    agregaSinSeleccionar(CmbPrefijo3, prefijos.lugar);
}

void VentanaDeInvitacion::CargaIndicaciones() {
    agregaSinSeleccionar(CmbIndicacion, Invitaciones::indicaciones(Modulo::kelmar()));
}

void VentanaDeInvitacion::CargaListas() {
    try {
        CargaPrefijos();
        CargaIndicaciones();
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::CajaConDescp);
    }
}

void VentanaDeInvitacion::ordenaTabulacion(const QList<QWidget*>& primeros) {
    QList<QWidget*> orden = primeros;
    orden << QList<QWidget*>{DTPFechaRecepcion,
                             DTPFechaEvento,
                             CmbHoraEvento,
                             OptNormal,
                             OptUrgente,
                             OptSrio,
                             OptGob,
                             CmbPrefijo1,
                             TxtDescripcion,
                             CmbPrefijo3,
                             TxtUbicacionEvento,
                             TxtObservacion,
                             TxtQuienInvita,
                             TxtCargoSuscrip,
                             TxtTelsSuscrip,
                             CmbIndicacion,
                             TxtIndicacion,
                             CmbPrefijo2,
                             TxtRepresentante,
                             TxtCargoRepresentante,
                             TxtTelsRepresentante,
                             TxtTitularDelArea,
                             TxtCargoTitularDelArea,
                             TxtTelsTitular};
    for (int i = 1; i < orden.size(); ++i)
        setTabOrder(orden.at(i - 1), orden.at(i));
}

void VentanaDeInvitacion::enfoca(int pestana, QWidget* control) {
    TabInvitacion->setCurrentIndex(pestana);
    control->setFocus();
}

void VentanaDeInvitacion::rechaza(const QString& mensaje, int pestana, QWidget* control) {
    Modulo::MensajeDeError(mensaje);
    enfoca(pestana, control);
}

bool VentanaDeInvitacion::recepcionPlausible() {
    if (DTPFechaRecepcion->date() <= Reloj::actual().hoy())
        return true;
    rechaza(QStringLiteral("La fecha \"%1\" no puede ser posterior a hoy. Verifique :(")
                .arg(Invitacion::campo(QStringLiteral("FechaRecepcion")).textoDelRotulo()),
            0, DTPFechaRecepcion);
    return false;
}

void VentanaDeInvitacion::arreglaPara(bool gobernador) {
    CmbPrefijo2->setVisible(gobernador);
    LblRedaccion->setVisible(gobernador);
    LblIndicacion->setVisible(!gobernador);
    TxtIndicacion->setVisible(!gobernador);
    FraTitularDelArea->setVisible(!gobernador);
}

Invitacion VentanaDeInvitacion::invitacionEnPantalla(const QString& estatus, const QString& caracter,
                                                     const QString& representaA,
                                                     const QString& indicacion) const {
    Invitacion i;
    i.fechaRecepcion = DTPFechaRecepcion->date().startOfDay();
    i.fechaEvento = DTPFechaEvento->date().startOfDay();
    i.hora = CmbHoraEvento->currentText();
    i.descripcion = TxtDescripcion->text();
    i.ubicacion = TxtUbicacionEvento->text();
    i.suscriptor = TxtQuienInvita->text();
    i.cargoSuscriptor = TxtCargoSuscrip->text();
    i.telSuscriptor = TxtTelsSuscrip->text();
    i.representante = TxtRepresentante->text();
    i.cargoRepresentante = TxtCargoRepresentante->text();
    i.telRepresentante = TxtTelsRepresentante->text();
    i.titular = TxtTitularDelArea->text();
    i.cargoTitular = TxtCargoTitularDelArea->text();
    i.telTitular = TxtTelsTitular->text();
    i.caracter = caracter;
    i.indicacion = indicacion;
    i.representaA = representaA;
    i.observacion = TxtObservacion->text();
    i.estatus = estatus;
    i.prefijo1 = CmbPrefijo1->currentText();
    i.prefijo2 = CmbPrefijo2->currentText();
    i.prefijo3 = CmbPrefijo3->currentText();
    return i;
}

QStringList VentanaDeInvitacion::contenidoEnPantalla() const {
    const Invitacion enPantalla = invitacionEnPantalla(
        {}, OptNormal->isChecked() ? QStringLiteral("Normal") : QStringLiteral("Urgente"),
        OptSrio->isChecked() ? QStringLiteral("Srio") : QStringLiteral("Gob"), TxtIndicacion->text());
    QStringList contenido{CmbIndicacion->currentText()};
    for (const Invitacion::CampoDeInvitacion& c : Invitacion::camposDelRegistro())
        contenido << c.lee(enPantalla).toString();
    return contenido;
}

void VentanaDeInvitacion::marcaComoGuardado() {
    m_guardado = contenidoEnPantalla();
}

void VentanaDeInvitacion::vaciaCampos() {
    const QDate hoy = Reloj::actual().hoy();
    DTPFechaRecepcion->setDate(hoy);
    DTPFechaEvento->setDate(hoy);
    CmbHoraEvento->setCurrentIndex(-1);
    CmbPrefijo1->setCurrentIndex(-1);
    OptNormal->setChecked(true);
    OptSrio->setChecked(true);
    TxtDescripcion->clear();
    CmbPrefijo3->setCurrentIndex(-1);
    TxtUbicacionEvento->clear();
    TxtObservacion->clear();
    TxtQuienInvita->clear();
    TxtCargoSuscrip->clear();
    TxtTelsSuscrip->clear();
    CmbIndicacion->setCurrentIndex(-1);
    TxtIndicacion->clear();
    for (QLineEdit* caja : {TxtRepresentante, TxtCargoRepresentante, TxtTelsRepresentante, TxtTitularDelArea,
                            TxtCargoTitularDelArea, TxtTelsTitular})
        caja->clear();
}

void VentanaDeInvitacion::closeEvent(QCloseEvent* evento) {
    if (hayCambiosSinGuardar()) {
        const QString respuesta =
            Modulo::ConfirmaConNoPredeterminado(Modulo::NickUsuario + Modulo::DobleSalto +
                                                QStringLiteral("¿Desea cerrar sin guardar los cambios?"));
        if (respuesta != QLatin1String("SI")) {
            evento->ignore();
            return;
        }
    }
    QDialog::closeEvent(evento);
}

void VentanaDeInvitacion::muestraEnLista(QComboBox* lista, const QString& valor) {
    for (int i = lista->count() - 1; i >= 0; --i)
        if (lista->itemData(i, rolAgregada).toBool())
            lista->removeItem(i);
    if (valor.isEmpty()) {
        lista->setCurrentIndex(-1);
        return;
    }
    int indice = lista->findText(valor, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (indice < 0) {
        lista->addItem(valor);
        indice = lista->count() - 1;
        lista->setItemData(indice, true, rolAgregada);
    }
    lista->setCurrentIndex(indice);
}
