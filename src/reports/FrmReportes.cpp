#include "reports/FrmReportes.h"

#include "common/Avisos.h"
#include "common/Listas.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/BotonesDeComando.h"
#include "controls/CajaDeFecha.h"
#include "controls/Cajas.h"
#include "controls/MensajeTemporal.h"
#include "outside/CajaDeMensajes.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "reports/FrmVerReporte.h"
#include "reports/Impresora.h"
#include "reports/RejillaDeDatos.h"
#include "server/Invitaciones.h"

#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace {

const QString Acuerdos = QStringLiteral("Acuerdos");
const QString RepInvitSrio = QStringLiteral("RepInvitSrio");
const QString RepInvitGob = QStringLiteral("RepInvitGob");

QLabel* etiqueta(QWidget* padre, const char* nombre, const QString& texto, const QRect& lugar) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    l->setGeometry(lugar);
    l->setWordWrap(true);
    return l;
}

QRadioButton* opcion(QWidget* padre, const char* nombre, int indice, const QString& texto,
                     const char* etiqueta, const QRect& lugar) {
    auto* o = new QRadioButton(texto, padre);
    o->setObjectName(QString::fromLatin1(nombre));
    o->setProperty("Index", indice);
    o->setProperty("Tag", QString::fromLatin1(etiqueta));
    o->setGeometry(lugar);
    return o;
}

QLineEdit* caja(QWidget* padre, const char* nombre, const QRect& lugar) {
    auto* t = new QLineEdit(padre);
    t->setObjectName(QString::fromLatin1(nombre));
    // The search takes words of up to 20 characters.
    Cajas::limita(t, 20);
    t->setGeometry(lugar);
    return t;
}

QDateEdit* fecha(QWidget* padre, const char* nombre, const QRect& lugar) {
    auto* f = new CajaDeFecha(padre);
    f->setObjectName(QString::fromLatin1(nombre));
    f->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    f->setCalendarPopup(true);
    f->setGeometry(lugar);
    return f;
}

// The wait panel and the hourglass while the window works: shown as the
// window's routines say, and hidden again whatever happens.
class Espera {
public:
    explicit Espera(MensajeTemporal* panel) : m_panel(panel) {}
    ~Espera() { termina(); }
    Espera(const Espera&) = delete;
    Espera& operator=(const Espera&) = delete;

    void inicia(const QString& leyenda) {
        m_panel->estableceLeyendaProceso(leyenda);
        QCoreApplication::processEvents();
        m_panel->show();
        m_panel->raise();
        if (!m_activa)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        m_activa = true;
        repinta();
    }
    // A new legend, painted at once; the person's input waits until the work is done.
    void avanza(const QString& leyenda) {
        m_panel->estableceLeyendaProceso(leyenda);
        repinta();
    }
    void termina() {
        if (!m_activa)
            return;
        m_panel->hide();
        QApplication::restoreOverrideCursor();
        m_activa = false;
    }

private:
    static void repinta() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

    MensajeTemporal* m_panel;
    bool m_activa = false;
};

} // namespace

FrmReportes::FrmReportes(QWidget* parent) : QDialog(parent) {
    Modulo::PreparaVentanaDeTrabajo(*this, QStringLiteral("FrmReportes"),
                                    QStringLiteral("Generación de reportes"), 12300, 8400);
    // The office's forms are drawn in MS Sans Serif 8; the station's own sans stands in where it is missing.
    QFont letra(QStringLiteral("MS Sans Serif"));
    letra.setPointSize(8);
    setFont(letra);

    FraCriteriosDeBusqueda = new QGroupBox(QStringLiteral("Proporcione los criterios de búsqueda"), this);
    FraCriteriosDeBusqueda->setObjectName(QStringLiteral("FraCriteriosDeBusqueda"));
    FraCriteriosDeBusqueda->setGeometry(8, 4, 452, 200);
    QWidget* f = FraCriteriosDeBusqueda;
    Label1 = etiqueta(f, "Label1", QStringLiteral("Recuperar las invitaciones"), {10, 20, 200, 18});
    OptTipoInvit[0] =
        opcion(f, "OptTipoInvit", 0, QStringLiteral("Confirmadas"), "Confirmadas", {10, 40, 100, 20});
    OptTipoInvit[1] =
        opcion(f, "OptTipoInvit", 1, QStringLiteral("Sin Confirmar"), "SinConfirmar", {112, 40, 104, 20});
    OptTipoInvit[2] = opcion(f, "OptTipoInvit", 2, QStringLiteral("Confirmadas y Sin Confirmar"),
                             "ConfirmYSinConfirm", {218, 40, 226, 20});
    OptTipoInvit[2]->setChecked(true);
    Label6 = etiqueta(f, "Label6", QStringLiteral("Eventos a realizarse del día"), {10, 74, 170, 20});
    DTPFechaIni = fecha(f, "DTPFechaIni", {182, 71, 104, 24});
    Label2 = etiqueta(f, "Label2", QStringLiteral("Al día"), {296, 74, 40, 20});
    DTPFechaFin = fecha(f, "DTPFechaFin", {338, 71, 104, 24});
    Label5 =
        etiqueta(f, "Label5", QStringLiteral("Que en la descripción del evento contenga la palabra o frase"),
                 {10, 102, 290, 30});
    TxtTextoEvento = caja(f, "TxtTextoEvento", {304, 105, 138, 24});
    Label3 =
        etiqueta(f, "Label3", QStringLiteral("Que en el nombre del suscriptor contenga la palabra o frase"),
                 {10, 134, 290, 30});
    TxtTextoSuscriptor = caja(f, "TxtTextoSuscriptor", {304, 137, 138, 24});
    Label4 = etiqueta(f, "Label4",
                      QStringLiteral("Que en el nombre del representante contenga la palabra o frase"),
                      {10, 166, 290, 30});
    TxtTextoRepresentante = caja(f, "TxtTextoRepresentante", {304, 169, 138, 24});

    CmdBuscar = new QToolButton(this);
    CmdBuscar->setObjectName(QStringLiteral("CmdBuscar"));
    CmdBuscar->setGeometry(407, 208, 53, 53);
    CmdBuscar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    CmdBuscar->setIconSize(QSize(24, 24));
    CmdBuscar->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    CmdBuscar->setText(QStringLiteral("Bu&scar"));

    CmdCambiarCriterios = new QPushButton(QStringLiteral("Cambiar Datos de &Búsqueda"), this);
    CmdCambiarCriterios->setObjectName(QStringLiteral("CmdCambiarCriterios"));
    CmdCambiarCriterios->setGeometry(8, 216, 190, 27);
    // Enter in the window never throws the selection away.
    CmdCambiarCriterios->setAutoDefault(false);
    CmdCambiarCriterios->hide();

    FrImprimir = new QGroupBox(QStringLiteral("Seleccione el reporte que desea imprimir"), this);
    FrImprimir->setObjectName(QStringLiteral("FrImprimir"));
    FrImprimir->setGeometry(466, 4, 228, 200);
    OptReporte[0] =
        opcion(FrImprimir, "OptReporte", 0, QStringLiteral("Acuerdos"), "Acuerdos", {10, 22, 216, 20});
    OptReporte[1] = opcion(FrImprimir, "OptReporte", 1, QStringLiteral("Invitaciones del Srio."),
                           "RepInvitSrio", {10, 44, 216, 20});
    OptReporte[2] = opcion(FrImprimir, "OptReporte", 2, QStringLiteral("Invitaciones del Gobernador"),
                           "RepInvitGob", {10, 66, 216, 20});
    OptReporte[0]->setChecked(true);
    FraAlcanceAcuerdos = new QGroupBox(QStringLiteral("Desea imprimir..."), FrImprimir);
    FraAlcanceAcuerdos->setObjectName(QStringLiteral("FraAlcanceAcuerdos"));
    FraAlcanceAcuerdos->setGeometry(10, 94, 208, 96);
    OptAlcanceAcuerdos[0] = opcion(FraAlcanceAcuerdos, "OptAlcanceAcuerdos", 0, QStringLiteral("Todos"),
                                   "ImprTodosLosAcuerdos", {10, 20, 196, 20});
    OptAlcanceAcuerdos[1] =
        opcion(FraAlcanceAcuerdos, "OptAlcanceAcuerdos", 1, QStringLiteral("Solo del Srio."),
               "ImprAcuerdosDelSrio", {10, 44, 196, 20});
    OptAlcanceAcuerdos[2] = opcion(FraAlcanceAcuerdos, "OptAlcanceAcuerdos", 2,
                                   QStringLiteral("Solo del Gob."), "ImprAcuerdosDelGob", {10, 68, 196, 20});
    OptAlcanceAcuerdos[0]->setChecked(true);
    FrImprimir->hide();

    FrmSeleccionDeFolios = new QGroupBox(QStringLiteral("Folio Seleccionados"), this);
    FrmSeleccionDeFolios->setObjectName(QStringLiteral("FrmSeleccionDeFolios"));
    FrmSeleccionDeFolios->setGeometry(700, 4, 112, 176);
    LstFolios = new QListWidget(FrmSeleccionDeFolios);
    LstFolios->setObjectName(QStringLiteral("LstFolios"));
    LstFolios->setGeometry(6, 20, 100, 150);
    LstFolios->setToolTip(QStringLiteral("Haga clic en un folio para quitarlo de la lista"));
    FrmSeleccionDeFolios->hide();
    LblTotal = etiqueta(this, "LblTotal", QStringLiteral("Total:"), {704, 184, 40, 20});
    LblTotalAProcesar = etiqueta(this, "LblTotalAProcesar", QStringLiteral(" 0"), {744, 184, 64, 20});
    LblTotal->hide();
    LblTotalAProcesar->hide();

    DGInvitaciones = new RejillaDeDatos(this);
    DGInvitaciones->setObjectName(QStringLiteral("DGInvitaciones"));
    DGInvitaciones->setGeometry(8, 268, 804, 226);
    DGInvitaciones->setToolTip(QStringLiteral("Doble clic en un renglón para seleccionar su folio"));

    CmdExportar = new QPushButton(QStringLiteral("E&xportar..."), this);
    CmdExportar->setObjectName(QStringLiteral("CmdExportar"));
    CmdExportar->setToolTip(
        QStringLiteral("Guardar la lista en una hoja de cálculo (.xlsx) o en un archivo CSV"));
    CmdExportar->setGeometry(8, 510, 110, 28);
    CmdExportar->setAutoDefault(false);
    CmdExportar->setEnabled(false);

    CmdImprimir = new ::CmdImprimir(this);
    CmdImprimir->setObjectName(QStringLiteral("CmdImprimir"));
    CmdImprimir->move(700, 498);
    CmdCerrar = new ::CmdCerrar(this);
    CmdCerrar->setObjectName(QStringLiteral("CmdCerrar"));
    CmdCerrar->move(759, 498);

    MensajeTemporal = new ::MensajeTemporal(this);
    MensajeTemporal->setGeometry((width() - 363) / 2, 300, 363, 79);
    MensajeTemporal->hide();

    // An enlarged window gives its room to the grid; the chosen folios and the commands keep to the right.
    Modulo::Crecen(*this, {{.control = DGInvitaciones, .ancho = 1, .alto = 1},
                           {.control = FrmSeleccionDeFolios, .x = 1},
                           {.control = LblTotal, .x = 1},
                           {.control = LblTotalAProcesar, .x = 1},
                           {.control = CmdExportar, .y = 1},
                           {.control = CmdImprimir, .x = 1, .y = 1},
                           {.control = CmdCerrar, .x = 1, .y = 1},
                           {.control = MensajeTemporal, .x = 0.5, .y = 0.5}});

    for (int i = 0; i < 3; ++i) {
        connect(OptTipoInvit[i], &QRadioButton::clicked, this, [this, i] { OptTipoInvit_Click(i); });
        connect(OptReporte[i], &QRadioButton::clicked, this, [this, i] { OptReporte_Click(i); });
        connect(OptAlcanceAcuerdos[i], &QRadioButton::clicked, this,
                [this, i] { OptAlcanceAcuerdos_Click(i); });
    }
    connect(CmdBuscar, &QToolButton::clicked, this, &FrmReportes::CmdBuscar_Click);
    connect(CmdCambiarCriterios, &QPushButton::clicked, this, &FrmReportes::CmdCambiarCriterios_Click);
    connect(DGInvitaciones, &RejillaDeDatos::DblClick, this, &FrmReportes::DGInvitaciones_DblClick);
    connect(LstFolios, &QListWidget::itemClicked, this, &FrmReportes::LstFolios_Click);
    connect(CmdExportar, &QPushButton::clicked, this, &FrmReportes::CmdExportar_Click);
    connect(CmdImprimir, &::CmdImprimir::Click, this, &FrmReportes::CmdImprimir_Click);
    connect(CmdCerrar, &::CmdCerrar::Click, this, &FrmReportes::CmdCerrar_Click);
}

FrmReportes::~FrmReportes() = default;

void FrmReportes::showEvent(QShowEvent* evento) {
    if (!m_cargada)
        Form_Load();
    QDialog::showEvent(evento);
}

void FrmReportes::Form_Load() {
    m_cargada = true;
    Modulo::CentraEnMdi(*this);
    // The type word starts as "Todas", whatever button shows as selected.
    m_tipoInvit = QStringLiteral("Todas");
    m_tipoReporte = Acuerdos;
    m_alcanceAcuerdos = QStringLiteral("ImprTodosLosAcuerdos");
    m_resultado = Recordset();
    CmdImprimir->estableceEnabled(false);
    CmdExportar->setEnabled(false);
    // The current month, the list an office asks for most.
    const QDate hoy = Reloj::actual().hoy();
    DTPFechaIni->setDate(QDate(hoy.year(), hoy.month(), 1));
    DTPFechaFin->setDate(QDate(hoy.year(), hoy.month(), hoy.daysInMonth()));
}

void FrmReportes::reject() {
    // Escape or the close box would drop the folios chosen one by one.
    if (LstFolios->count() > 0 &&
        Modulo::ConfirmaConNoPredeterminado(Modulo::NickUsuario + Modulo::DobleSalto +
                                            QStringLiteral("¿Desea cerrar sin guardar los cambios?")) !=
            QLatin1String("SI"))
        return;
    QDialog::reject();
}

int FrmReportes::totalAProcesar() const {
    return LblTotalAProcesar->text().trimmed().toInt();
}

void FrmReportes::CmdBuscar_Click() {
    Espera espera(MensajeTemporal);
    try {
        if (DTPFechaIni->date() > DTPFechaFin->date()) {
            FrImprimir->hide();
            FrmSeleccionDeFolios->hide();
            DGInvitaciones->estableceCaption(QStringLiteral("Total de Registros = 0"));
            DGInvitaciones->desenlaza();
            Modulo::MensajeDeError(QStringLiteral("Rangos de Fecha NO Válidos. verifique :("));
            return;
        }
        const Invitaciones::Criterios criterios{DTPFechaIni->date(),           DTPFechaFin->date(),
                                                TxtTextoEvento->text(),        TxtTextoSuscriptor->text(),
                                                TxtTextoRepresentante->text(), m_tipoInvit};
        espera.inicia(QStringLiteral("Recuperando registros..."));
        m_resultado = Invitaciones::buscaParaReporte(Modulo::kelmar(), criterios);
        if (m_resultado.estaVacio()) {
            espera.termina();
            Modulo::MensajeDeError(
                QStringLiteral("No hay invitaciones con los criterios que proporcionó, verifique"));
        } else {
            DGInvitaciones->enlaza(m_resultado);
            DGInvitaciones->estableceColumnaDeFecha(2);
            DGInvitaciones->estableceCaption(QStringLiteral("Total de Registros = ") +
                                             QString::number(m_resultado.filas()));
            const int anchos[] = {1100, 500, 6000, 7500, 4000, 3000, 3000, 800, 1100};
            for (int i = 0; i < 9 && i + 2 < m_resultado.columnas(); ++i)
                DGInvitaciones->estableceAnchoDeColumna(i + 2, anchos[i]);
            CmdImprimir->estableceEnabled(true);
            CmdExportar->setEnabled(true);
            CmdBuscar->setEnabled(false);
            CmdCambiarCriterios->show();
            FraCriteriosDeBusqueda->setEnabled(false);
            for (QRadioButton* o : OptTipoInvit)
                o->setEnabled(false);
            espera.termina();
        }
        const bool hay = m_resultado.filas() >= 1;
        for (QWidget* w : {static_cast<QWidget*>(FrImprimir), static_cast<QWidget*>(FrmSeleccionDeFolios),
                           static_cast<QWidget*>(LblTotal), static_cast<QWidget*>(LblTotalAProcesar)})
            w->setVisible(hay);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
    espera.termina();
}

void FrmReportes::CmdCambiarCriterios_Click() {
    m_resultado = Recordset();
    DGInvitaciones->desenlaza();
    FraCriteriosDeBusqueda->setEnabled(true);
    for (QRadioButton* o : OptTipoInvit)
        o->setEnabled(true);
    CmdBuscar->setEnabled(true);
    CmdCambiarCriterios->hide();
    CmdImprimir->estableceEnabled(false);
    CmdExportar->setEnabled(false);
    LstFolios->clear();
    LblTotalAProcesar->setText(QStringLiteral("0"));
    DGInvitaciones->estableceCaption(QString());
    FrImprimir->hide();
    FrmSeleccionDeFolios->hide();
    LblTotal->hide();
    LblTotalAProcesar->hide();
}

void FrmReportes::DGInvitaciones_DblClick() {
    try {
        const int fila = DGInvitaciones->filaActual();
        if (fila < 0)
            return;
        if ((m_tipoReporte == RepInvitGob || m_tipoReporte == RepInvitSrio) &&
            DGInvitaciones->texto(fila, 7).isEmpty()) {
            Modulo::MensajeDeError(QStringLiteral(
                "No es posible seleccionar invitaciones que no esten confirmadas con un representante"));
            return;
        }
        const QString entrada =
            DGInvitaciones->texto(fila, 0) + QStringLiteral(" - ") + DGInvitaciones->texto(fila, 1);
        if (!LstFolios->findItems(entrada, Qt::MatchExactly).isEmpty()) {
            Modulo::Avisa({CajaDeMensajes::Icono::Ninguno,
                           {},
                           QStringLiteral("El folio ya fue seleccionado, verifique. ;)"),
                           CajaDeMensajes::Aceptar});
            return;
        }
        LstFolios->addItem(entrada);
        LblTotalAProcesar->setText(QString::number(totalAProcesar() + 1));
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmReportes::LstFolios_Click() {
    const int fila = LstFolios->currentRow();
    if (fila < 0)
        return;
    delete LstFolios->takeItem(fila);
    LblTotalAProcesar->setText(QString::number(totalAProcesar() - 1));
}

void FrmReportes::OptTipoInvit_Click(int Index) {
    m_tipoInvit = OptTipoInvit[Index]->property("Tag").toString();
}

void FrmReportes::OptReporte_Click(int Index) {
    m_tipoReporte = OptReporte[Index]->property("Tag").toString();
    FraAlcanceAcuerdos->setVisible(Index == 0);
}

void FrmReportes::OptAlcanceAcuerdos_Click(int Index) {
    m_alcanceAcuerdos = OptAlcanceAcuerdos[Index]->property("Tag").toString();
}

QString FrmReportes::archivoDelReporte() const {
    if (m_tipoReporte == RepInvitSrio)
        return QStringLiteral("RPTInvitacionSecretario.rpt");
    if (m_tipoReporte == RepInvitGob)
        return QStringLiteral("RPTInvitacionGobernador.rpt");
    if (m_alcanceAcuerdos == QLatin1String("ImprAcuerdosDelSrio"))
        return QStringLiteral("RPTAcuerdosSrio.rpt");
    if (m_alcanceAcuerdos == QLatin1String("ImprAcuerdosDelGob"))
        return QStringLiteral("RPTAcuerdosGob.rpt");
    return QStringLiteral("RPTAcuerdosTodos.rpt");
}

void FrmReportes::CmdExportar_Click() {
    Listas::Exporta(*this, Listas::TablaDe(*DGInvitaciones->vista()),
                    QStringLiteral("Reporte de invitaciones"));
}

void FrmReportes::CmdImprimir_Click() {
    const bool deInvitaciones = OptReporte[1]->isChecked() || OptReporte[2]->isChecked();
    if (deInvitaciones && OptTipoInvit[1]->isChecked()) {
        Modulo::MensajeDeError(QStringLiteral(
            "No es posible imprimir invitaciones que no tengan capturado el representante. Verifique :("));
        return;
    }
    const QString aviso =
        deInvitaciones
            ? QStringLiteral(
                  "Tome en cuenta que SOLO SE IMPRIMIRÁN LAS INVITACIONES QUE YA TENGAN CAPTURADO EL "
                  "REPRESENTANTE. Haga clic en <SI> para continuar o clic en <NO> para cancelar.")
            : QStringLiteral("Haga clic en <SI> para continuar o clic en <NO> para cancelar.");
    if (Modulo::ConfirmaSiNo(Modulo::NickUsuario + Modulo::DobleSalto + aviso + Modulo::DobleSalto +
                             QStringLiteral("¿Desea continuar?")) == QLatin1String("NO"))
        return;

    Espera espera(MensajeTemporal);
    try {
        std::shared_ptr<Reporte> reporte = Reporte::abre(archivoDelReporte());
        reporte->estableceParametro(1, DTPFechaIni->date());
        reporte->estableceParametro(2, DTPFechaFin->date());
        reporte->estableceParametro(3, TxtTextoEvento->text());
        reporte->estableceParametro(4, TxtTextoSuscriptor->text());
        reporte->estableceParametro(5, TxtTextoRepresentante->text());
        espera.inicia(QStringLiteral("Recuperando registros..."));

        // The staging and the report's reading are one unit: the report holds
        // exactly the folios staged for it, and a failure half-way leaves none staged.
        Conexion& kelmar = Modulo::kelmar();
        kelmar.enTransaccion([&] {
            if (totalAProcesar() != 0) {
                reporte->estableceParametro(6, true);
                const int total = LstFolios->count();
                for (int i = 0; i < total; ++i) {
                    const QString entrada = LstFolios->item(i)->text();
                    const QStringList partes = entrada.split(QLatin1Char('-'));
                    bool anioValido = false, folioValido = false;
                    const int anio = partes.value(0).trimmed().toInt(&anioValido);
                    const int folio = partes.value(1).trimmed().toInt(&folioValido);
                    if (partes.size() != 2 || !anioValido || !folioValido)
                        throw ErrorDeEjecucion(
                            CodigoDeError::Conversion,
                            QStringLiteral("La entrada '%1' de los folios seleccionados no es "
                                           "un año y un folio.")
                                .arg(entrada),
                            QStringLiteral("FrmReportes"));
                    Invitaciones::seleccionaParaImprimir(kelmar, anio, folio);
                    if ((i + 1) % 50 == 0)
                        espera.avanza(QStringLiteral("Seleccionando folios: %1 de %2").arg(i + 1).arg(total));
                }
            } else {
                reporte->estableceParametro(6, false);
            }
            if (!deInvitaciones)
                reporte->estableceParametro(7, m_tipoInvit);
            reporte->iniciaSesion(kelmar);
        });

        if (!m_vistaPrevia)
            m_vistaPrevia = std::make_unique<FrmVerReporte>(this);
        const auto avance = [&](const QString& leyenda) { espera.avanza(leyenda); };
        m_vistaPrevia->estableceReporte(reporte, avance);
        espera.termina();

        const QString salida = Modulo::EligeSalidaDeReporte();
        if (salida == QLatin1String("Impresora")) {
            std::unique_ptr<QPrinter> impresora = Impresora::predeterminada();
            espera.inicia(QStringLiteral("Imprimiendo el reporte..."));
            Impresora::imprime(*reporte, *impresora, avance);
        } else if (salida == QLatin1String("Pantalla")) {
            Modulo::MuestraModal(*m_vistaPrevia);
        }
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
    espera.termina();
}

void FrmReportes::CmdCerrar_Click() {
    accept();
}
