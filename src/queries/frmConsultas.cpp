#include "queries/frmConsultas.h"

#include "common/Avisos.h"
#include "common/Documentos.h"
#include "common/Listas.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/CajaDeFecha.h"
#include "controls/MensajeTemporal.h"
#include "outside/CajaDeMensajes.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "queries/AbreConsultas.h"
#include "queries/HojasDeConsulta.h"
#include "queries/ModeloDeEventos.h"
#include "server/Catalogos.h"
#include "server/Eventos.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QToolButton>

#include <optional>

namespace {

// The hourglass and the wait panel while the form works; both go when the
// work ends, however it ends, before any message is shown.
class Espera {
public:
    Espera(MensajeTemporal* panel, const QString& leyenda) : m_panel(panel) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_panel->estableceLeyendaProceso(leyenda);
        m_panel->show();
        m_panel->raise();
    }
    ~Espera() {
        m_panel->hide();
        QApplication::restoreOverrideCursor();
    }
    Espera(const Espera&) = delete;
    Espera& operator=(const Espera&) = delete;

private:
    MensajeTemporal* m_panel;
};

QToolButton* botonConImagen(QWidget* padre, const char* nombre, const QString& leyenda,
                            QStyle::StandardPixmap icono, const QRect& lugar) {
    auto* b = new QToolButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setGeometry(lugar);
    b->setToolButtonStyle(leyenda.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(24, 24));
    b->setIcon(padre->style()->standardIcon(icono));
    b->setText(leyenda);
    return b;
}

QLabel* etiqueta(QWidget* padre, const char* nombre, const QString& texto, const QRect& lugar) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    l->setGeometry(lugar);
    return l;
}

QDateEdit* selectorDeFecha(QWidget* padre, const char* nombre, const QRect& lugar) {
    auto* d = new CajaDeFecha(padre);
    d->setObjectName(QString::fromLatin1(nombre));
    d->setGeometry(lugar);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return d;
}

void mensaje(CajaDeMensajes::Icono icono, const QString& texto) {
    Modulo::Avisa(
        {icono, {}, texto, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar});
}

QString paraArchivo(const QDate& fecha) {
    return fecha.toString(QStringLiteral("dd-MM-yyyy"));
}

QString paraEncabezado(const QDate& fecha) {
    return fecha.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

frmConsultas::frmConsultas(QWidget* parent) : QDialog(parent), m_modelo(new ModeloDeEventos(this)) {
    Modulo::PreparaVentanaDeTrabajo(*this, QStringLiteral("frmConsultas"),
                                    QStringLiteral("Consulta de Eventos.."), 11880, 7740);

    Frame2 = new QGroupBox(QStringLiteral("Criterios de Búsqueda :"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(6, 4, 780, 506);

    Frame1 = new QGroupBox(QStringLiteral("Fecha del Evento :"), Frame2);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(10, 20, 470, 80);
    OptFecha[2] = new QRadioButton(QStringLiteral("Todos los Próximos Eventos"), Frame1);
    OptFecha[2]->setObjectName(QStringLiteral("OptFecha_2"));
    OptFecha[2]->setGeometry(12, 22, 240, 22);
    OptFecha[1] = new QRadioButton(QStringLiteral("Un rango de Fechas :"), Frame1);
    OptFecha[1]->setObjectName(QStringLiteral("OptFecha_1"));
    OptFecha[1]->setGeometry(12, 48, 150, 22);
    lblFechaIni = etiqueta(Frame1, "lblFechaIni", QStringLiteral("Del:"), {166, 50, 28, 18});
    DTPFechaIni = selectorDeFecha(Frame1, "DTPFechaIni", {196, 46, 112, 24});
    LblFechaFin = etiqueta(Frame1, "LblFechaFin", QStringLiteral("Al:"), {320, 50, 22, 18});
    DTPFechaFin = selectorDeFecha(Frame1, "DTPFechaFin", {344, 46, 112, 24});
    lblFechaIni->setBuddy(DTPFechaIni);
    LblFechaFin->setBuddy(DTPFechaFin);

    CmdBuscar = botonConImagen(Frame2, "CmdBuscar", QStringLiteral("&Buscar"),
                               QStyle::SP_FileDialogContentsView, {490, 26, 64, 60});
    CmdLimpiar = botonConImagen(Frame2, "CmdLimpiar", QStringLiteral("&Limpiar"),
                                QStyle::SP_DialogResetButton, {560, 26, 64, 60});
    cmdimprimeconsulta = new QPushButton(QStringLiteral("&Imprimir Consulta"), Frame2);
    cmdimprimeconsulta->setObjectName(QStringLiteral("cmdimprimeconsulta"));
    cmdimprimeconsulta->setGeometry(630, 26, 120, 28);
    CmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), Frame2);
    CmdCerrar->setObjectName(QStringLiteral("CmdCerrar"));
    CmdCerrar->setGeometry(630, 58, 120, 28);
    CmdExportar = new QPushButton(QStringLiteral("E&xportar..."), Frame2);
    CmdExportar->setObjectName(QStringLiteral("CmdExportar"));
    CmdExportar->setToolTip(
        QStringLiteral("Guardar la lista en una hoja de cálculo (.xlsx) o en un archivo CSV"));
    CmdExportar->setGeometry(650, 474, 120, 28);
    CmdExportar->setAutoDefault(false);
    cmdSalir = botonConImagen(Frame2, "cmdSalir", QString(), QStyle::SP_DialogCloseButton, {754, 26, 22, 22});
    cmdSalir->setToolTip(QStringLiteral("Salir"));

    GridResultados = new QTableView(Frame2);
    GridResultados->setObjectName(QStringLiteral("GridResultados"));
    GridResultados->setGeometry(10, 110, 760, 360);
    GridResultados->setModel(m_modelo);
    GridResultados->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridResultados->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridResultados->setWordWrap(false);
    GridResultados->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    GridResultados->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The fixed first column: 200 twips, with no numbers.
    GridResultados->verticalHeader()->setFixedWidth(Modulo::Pixeles(200));
    GridResultados->horizontalHeader()->setHighlightSections(false);
    // The grid's widths were drawn for a small type: dates and hours fit whole.
    QFont letra = GridResultados->font();
    letra.setPointSizeF(7.5);
    GridResultados->setFont(letra);
    GridResultados->horizontalHeader()->setFont(letra);
    GridResultados->verticalHeader()->setDefaultSectionSize(18);

    lblregs = etiqueta(Frame2, "lblregs", QStringLiteral("Registros recuperados:"), {10, 478, 140, 20});
    LblTotal = etiqueta(Frame2, "LblTotal", QString(), {152, 478, 80, 20});
    LblTotal->setTextFormat(Qt::PlainText);

    MensajeTemporal = new ::MensajeTemporal(this);
    MensajeTemporal->setGeometry((width() - MensajeTemporal->width()) / 2, 250, MensajeTemporal->width(),
                                 MensajeTemporal->height());
    MensajeTemporal->hide();

    // An enlarged window gives its room to the grid; the commands keep to the right.
    Modulo::Crecen(*this, {{.control = Frame2, .ancho = 1, .alto = 1},
                           {.control = GridResultados, .ancho = 1, .alto = 1},
                           {.control = lblregs, .y = 1},
                           {.control = LblTotal, .y = 1},
                           {.control = CmdExportar, .x = 1, .y = 1},
                           {.control = MensajeTemporal, .x = 0.5, .y = 0.5}});
    for (QWidget* boton :
         std::initializer_list<QWidget*>{CmdBuscar, CmdLimpiar, cmdimprimeconsulta, CmdCerrar, cmdSalir})
        Modulo::Crecen(*this, {{.control = boton, .x = 1}});

    OptFecha[2]->setChecked(true);
    for (QWidget* w : {static_cast<QWidget*>(lblFechaIni), static_cast<QWidget*>(DTPFechaIni),
                       static_cast<QWidget*>(LblFechaFin), static_cast<QWidget*>(DTPFechaFin)})
        w->hide();
    cmdimprimeconsulta->setEnabled(false);
    CmdExportar->setEnabled(false);

    setTabOrder(OptFecha[2], OptFecha[1]);
    setTabOrder(OptFecha[1], DTPFechaIni);
    setTabOrder(DTPFechaIni, DTPFechaFin);
    setTabOrder(DTPFechaFin, CmdBuscar);

    connect(OptFecha[1], &QRadioButton::clicked, this, [this] { OptFecha_Click(1); });
    connect(OptFecha[2], &QRadioButton::clicked, this, [this] { OptFecha_Click(2); });
    connect(CmdBuscar, &QToolButton::clicked, this, &frmConsultas::CmdBuscar_Click);
    connect(CmdLimpiar, &QToolButton::clicked, this, &frmConsultas::CmdLimpiar_Click);
    connect(cmdimprimeconsulta, &QPushButton::clicked, this, &frmConsultas::cmdimprimeconsulta_Click);
    connect(CmdExportar, &QPushButton::clicked, this, &frmConsultas::CmdExportar_Click);
    connect(GridResultados, &QTableView::doubleClicked, this, &frmConsultas::GridResultados_DblClick);
    GridResultados->installEventFilter(this);
    connect(CmdCerrar, &QPushButton::clicked, this, &frmConsultas::CmdCerrar_Click);
    connect(cmdSalir, &QToolButton::clicked, this, &frmConsultas::cmdSalir_Click);
}

frmConsultas::~frmConsultas() = default;

void frmConsultas::showEvent(QShowEvent* evento) {
    if (!m_cargada)
        Form_Load();
    QDialog::showEvent(evento);
}

void frmConsultas::Form_Load() {
    m_cargada = true;
    Modulo::CentraEnMdi(*this);
    asigna_encabezados();
    const QDate hoy = Reloj::actual().hoy();
    DTPFechaIni->setDate(hoy);
    DTPFechaFin->setDate(hoy);
}

void frmConsultas::asigna_encabezados() {
    // The headings come from the model; the widths are the grid's.
    for (int p = 0; p < ModeloDeEventos::Columnas; ++p) {
        const int ancho = ModeloDeEventos::anchoEnTwips(p);
        GridResultados->setColumnHidden(p, ancho == 0);
        if (ancho > 0)
            GridResultados->setColumnWidth(p, Modulo::Pixeles(ancho));
    }
}

void frmConsultas::OptFecha_Click(int Index) {
    const bool rango = Index == 1;
    lblFechaIni->setVisible(rango);
    LblFechaFin->setVisible(rango);
    DTPFechaIni->setVisible(rango);
    DTPFechaFin->setVisible(rango);
}

void frmConsultas::CmdBuscar_Click() {
    LblTotal->clear();
    std::optional<ErrorDeEjecucion> error;
    bool sinRegistros = false;
    {
        const Espera espera(MensajeTemporal, QStringLiteral("Recuperando registros ..."));
        QCoreApplication::processEvents();
        try {
            consulta_base = Eventos::consultaBase();
            Recordset eventos;
            if (OptFecha[1]->isChecked()) {
                opcion_fecha = 1;
                m_criterio = QStringLiteral("Consulta de eventos del %1 al %2")
                                 .arg(paraArchivo(DTPFechaIni->date()), paraArchivo(DTPFechaFin->date()));
                m_encabezado =
                    QStringLiteral("del %1 al %2")
                        .arg(paraEncabezado(DTPFechaIni->date()), paraEncabezado(DTPFechaFin->date()));
                eventos = Eventos::buscaPorFechas(Modulo::taloren(), opcion_fecha, DTPFechaIni->date(),
                                                  DTPFechaFin->date());
            } else {
                opcion_fecha = 2;
                const QDate hoy = Reloj::actual().hoy();
                m_criterio =
                    QStringLiteral("Consulta de los próximos eventos desde el %1").arg(paraArchivo(hoy));
                m_encabezado = QStringLiteral("próximos eventos desde %1").arg(paraEncabezado(hoy));
                eventos = Eventos::buscaPorFechas(Modulo::taloren(), opcion_fecha, hoy);
            }
            if (eventos.estaVacio()) {
                m_modelo->asigna(std::move(eventos));
                sinRegistros = true;
            } else {
                // Every name in one pass over the catalogues, then the grid filled once.
                auto resueltos = Catalogos(Modulo::kelmar(), Modulo::taloren()).resuelve(eventos);
                m_modelo->asigna(std::move(eventos));
                m_modelo->estableceResueltos(std::move(resueltos));
                LblTotal->setText(QString::number(m_modelo->rowCount()));
                cmdimprimeconsulta->setEnabled(true);
                CmdExportar->setEnabled(true);
                OptFecha[1]->setEnabled(false);
                OptFecha[2]->setEnabled(false);
                CmdBuscar->setEnabled(false);
            }
        } catch (...) {
            error = ErrorDeEjecucion::actual();
        }
    }
    if (error)
        Modulo::ReportaError(*error, Modulo::FormaDeReporte::Ventana);
    else if (sinRegistros)
        mensaje(CajaDeMensajes::Icono::Ninguno, QStringLiteral("No Existen Registros, verifique."));
}

void frmConsultas::limpiar_objetos() {
    OptFecha[1]->setEnabled(true);
    OptFecha[2]->setEnabled(true);
    Frame1->setEnabled(true);
    LblTotal->clear();
    cmdimprimeconsulta->setEnabled(false);
    CmdExportar->setEnabled(false);
    CmdBuscar->setEnabled(true);
    m_modelo->limpia();
    asigna_encabezados();
}

void frmConsultas::CmdLimpiar_Click() {
    limpiar_objetos();
}

void frmConsultas::cmdimprimeconsulta_Click() {
    if (m_modelo->rowCount() == 0)
        return;
    QCoreApplication::processEvents();
    HojasDeConsulta::Resultado resultado;
    std::optional<ErrorDeEjecucion> error, errorDeInicio;
    {
        const Espera espera(MensajeTemporal, QStringLiteral("Generando reporte..."));
        // The user may stop between documents; what is made is kept.
        QProgressDialog progreso(this);
        progreso.setObjectName(QStringLiteral("progresoDeHojas"));
        progreso.setWindowTitle(Modulo::TextoDelTitulo(Modulo::Titulo::DelPrograma));
        progreso.setWindowModality(Qt::WindowModal);
        progreso.setCancelButtonText(QStringLiteral("Cancelar"));
        progreso.setMinimumDuration(0);
        progreso.setAutoReset(false);
        const auto sigue = [&](int hechos, int total) {
            progreso.setMaximum(total);
            progreso.setLabelText(
                hechos < total
                    ? QStringLiteral("Generando reporte...\nHoja %1 de %2").arg(hechos + 1).arg(total)
                    : QStringLiteral("Generando reporte..."));
            progreso.setValue(hechos);
            return !progreso.wasCanceled();
        };
        const auto inicia = [&]() -> std::unique_ptr<AplicacionDeTexto> {
            try {
                return ProcesadorDeTextos::actual().inicia();
            } catch (...) {
                errorDeInicio = ErrorDeEjecucion::actual();
                return nullptr;
            }
        };
        try {
            HojasDeConsulta::Genera(*m_modelo, Modulo::taloren(), m_criterio, m_encabezado, inicia, sigue,
                                    resultado);
        } catch (...) {
            error = ErrorDeEjecucion::actual();
        }
    }
    if (!resultado.sinCampo.isEmpty())
        // Once for the whole print, whatever the number of sheets.
        mensaje(CajaDeMensajes::Icono::Informacion,
                QStringLiteral("La plantilla PlantillaConsulta no tiene el campo de formulario «%1», que "
                               "nombra los criterios de la consulta: las hojas se hicieron sin ese "
                               "encabezado.")
                    .arg(resultado.sinCampo));
    if (errorDeInicio)
        Documentos::AvisaQueNoSeInicia(*errorDeInicio);
    if (error)
        Modulo::ReportaError(*error, Modulo::FormaDeReporte::Ventana);
    if (resultado.cancelado || (error && !resultado.hechos.isEmpty())) {
        QStringList nativos;
        for (const QString& a : std::as_const(resultado.hechos))
            nativos << QDir::toNativeSeparators(a);
        mensaje(CajaDeMensajes::Icono::Informacion,
                (resultado.cancelado ? QStringLiteral("Se canceló la generación de las hojas de consulta.")
                                     : QStringLiteral("La generación de las hojas de consulta no terminó.")) +
                    Modulo::DobleSalto +
                    (nativos.isEmpty() ? QStringLiteral("No se hizo ninguna hoja.")
                                       : QStringLiteral("Se conservan las hojas ya hechas:") + Modulo::Salto +
                                             nativos.join(Modulo::Salto)));
    }
    if (!resultado.faltantes.isEmpty())
        mensaje(CajaDeMensajes::Icono::Informacion,
                QStringLiteral("Estos eventos ya no están en el registro como los encontró la búsqueda, y no "
                               "aparecen en las hojas (folio/año):") +
                    Modulo::DobleSalto + resultado.faltantes.join(QStringLiteral(", ")));
    Documentos::AvisaSinAbrir(resultado.sinAbrir);
}

void frmConsultas::CmdExportar_Click() {
    Listas::Exporta(*this, Listas::TablaDe(*GridResultados), m_criterio);
}

void frmConsultas::CmdCerrar_Click() {
    accept();
}

void frmConsultas::cmdSalir_Click() {
    accept();
}

bool frmConsultas::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == GridResultados && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            GridResultados_DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmConsultas::GridResultados_DblClick() {
    const QModelIndex actual = GridResultados->currentIndex();
    const Recordset& eventos = m_modelo->registros();
    if (!actual.isValid() || actual.row() >= eventos.filas())
        return;
    // An event is named by its folio and the year of its date.
    const int folio = eventos.valor(actual.row(), 0).toInt();
    const int anio = Recordset::fechaHora(eventos.valor(actual.row(), 1)).date().year();
    try {
        if (Modulo::AbreEvento(folio, anio))
            accept();
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void AbreConsultas() {
    // One instance at a time; closing it unloads it, so the next opening loads afresh.
    static QPointer<frmConsultas> abierta;
    if (abierta) {
        abierta->raise();
        abierta->activateWindow();
        return;
    }
    QWidget* encima = QApplication::activeModalWidget();
    const std::unique_ptr<frmConsultas> ventana(
        new frmConsultas(encima ? encima : Modulo::VentanaPrincipal()));
    abierta = ventana.get();
    Modulo::MuestraModal(*ventana);
}
