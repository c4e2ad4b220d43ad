#include "reports/FrmVerReporte.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/BotonesDeComando.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QToolButton>

namespace {
QToolButton* boton(QWidget* padre, const char* nombre, QStyle::StandardPixmap icono, const QString& ayuda,
                   int x) {
    auto* b = new QToolButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setIcon(padre->style()->standardIcon(icono));
    b->setToolTip(ayuda);
    b->setGeometry(x, 496, 30, 30);
    return b;
}

// The hourglass while the preview paints its pages.
struct RelojDeArena {
    RelojDeArena() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~RelojDeArena() { QApplication::restoreOverrideCursor(); }
};
} // namespace

FrmVerReporte::FrmVerReporte(QWidget* parent)
    : QDialog(parent), m_impresora(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    Modulo::PreparaVentanaDeTrabajo(*this, QStringLiteral("FrmVerReporte"),
                                    QStringLiteral("Vista previa del reporte"), 11940, 8070);

    CRViewer1 = new QPrintPreviewWidget(m_impresora.get(), this);
    CRViewer1->setObjectName(QStringLiteral("CRViewer1"));
    CRViewer1->setGeometry(0, 0, Modulo::Pixeles(11835), Modulo::Pixeles(7215));
    CRViewer1->setViewMode(QPrintPreviewWidget::SinglePageView);

    int x = 6;
    CmdPrimeraPagina =
        boton(this, "CmdPrimeraPagina", QStyle::SP_MediaSkipBackward, QStringLiteral("Primera página"), x);
    CmdPaginaAnterior = boton(this, "CmdPaginaAnterior", QStyle::SP_MediaSeekBackward,
                              QStringLiteral("Página anterior"), x += 32);
    TxtPagina = new QSpinBox(this);
    TxtPagina->setObjectName(QStringLiteral("TxtPagina"));
    TxtPagina->setToolTip(QStringLiteral("Ir a la página"));
    TxtPagina->setRange(1, 1);
    TxtPagina->setGeometry(x += 34, 499, 56, 24);
    LblDePaginas = new QLabel(this);
    LblDePaginas->setObjectName(QStringLiteral("LblDePaginas"));
    LblDePaginas->setGeometry(x += 60, 499, 56, 24);
    CmdPaginaSiguiente = boton(this, "CmdPaginaSiguiente", QStyle::SP_MediaSeekForward,
                               QStringLiteral("Página siguiente"), x += 58);
    CmdUltimaPagina =
        boton(this, "CmdUltimaPagina", QStyle::SP_MediaSkipForward, QStringLiteral("Última página"), x += 32);
    CmdAjustarAlAncho = boton(this, "CmdAjustarAlAncho", QStyle::SP_TitleBarMaxButton,
                              QStringLiteral("Ajustar al ancho de la ventana"), x += 48);
    CmdAjustarALaPagina = boton(this, "CmdAjustarALaPagina", QStyle::SP_TitleBarNormalButton,
                                QStringLiteral("Ver la página completa"), x += 32);
    CmdAlejar = boton(this, "CmdAlejar", QStyle::SP_ArrowDown, QStringLiteral("Alejar"), x += 32);
    CmdAlejar->setText(QStringLiteral("−"));
    CmdAlejar->setIcon(QIcon());
    CmdAcercar = boton(this, "CmdAcercar", QStyle::SP_ArrowUp, QStringLiteral("Acercar"), x += 32);
    CmdAcercar->setText(QStringLiteral("+"));
    CmdAcercar->setIcon(QIcon());
    CmdGuardarPdf = boton(this, "CmdGuardarPdf", QStyle::SP_DialogSaveButton,
                          QStringLiteral("Guardar el reporte en un archivo PDF"), x += 48);
    CmdGuardarPdf->setText(QStringLiteral("Guardar como &PDF"));
    CmdGuardarPdf->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    CmdGuardarPdf->setGeometry(x, 496, 150, 30);

    CmdCerrar = new ::CmdCerrar(this);
    CmdCerrar->setObjectName(QStringLiteral("CmdCerrar"));
    CmdCerrar->boton()->setToolTip(QStringLiteral("Cerrar ésta pantalla"));
    CmdCerrar->move(width() - CmdCerrar->width() - 4, height() - CmdCerrar->height() - 2);

    // An enlarged window gives its room to the pages; the commands keep to the bottom.
    Modulo::Crecen(*this,
                   {{.control = CRViewer1, .ancho = 1, .alto = 1}, {.control = CmdCerrar, .x = 1, .y = 1}});
    for (QWidget* control : std::initializer_list<QWidget*>{
             CmdPrimeraPagina, CmdPaginaAnterior, TxtPagina, LblDePaginas, CmdPaginaSiguiente,
             CmdUltimaPagina, CmdAjustarAlAncho, CmdAjustarALaPagina, CmdAlejar, CmdAcercar, CmdGuardarPdf})
        Modulo::Crecen(*this, {{.control = control, .y = 1}});

    connect(CRViewer1, &QPrintPreviewWidget::paintRequested, this, &FrmVerReporte::CRViewer1_PaintRequested);
    connect(CRViewer1, &QPrintPreviewWidget::previewChanged, this, &FrmVerReporte::CRViewer1_PreviewChanged);
    connect(CmdPrimeraPagina, &QToolButton::clicked, this, [this] { vaALaPagina(1); });
    connect(CmdPaginaAnterior, &QToolButton::clicked, this,
            [this] { vaALaPagina(CRViewer1->currentPage() - 1); });
    connect(CmdPaginaSiguiente, &QToolButton::clicked, this,
            [this] { vaALaPagina(CRViewer1->currentPage() + 1); });
    connect(CmdUltimaPagina, &QToolButton::clicked, this, [this] { vaALaPagina(CRViewer1->pageCount()); });
    connect(CmdAjustarAlAncho, &QToolButton::clicked, CRViewer1, &QPrintPreviewWidget::fitToWidth);
    connect(CmdAjustarALaPagina, &QToolButton::clicked, CRViewer1, &QPrintPreviewWidget::fitInView);
    connect(CmdAlejar, &QToolButton::clicked, this, [this] { CRViewer1->zoomOut(); });
    connect(CmdAcercar, &QToolButton::clicked, this, [this] { CRViewer1->zoomIn(); });
    connect(TxtPagina, &QSpinBox::valueChanged, this, &FrmVerReporte::TxtPagina_Change);
    connect(CmdGuardarPdf, &QToolButton::clicked, this, &FrmVerReporte::CmdGuardarPdf_Click);
    connect(CmdCerrar, &::CmdCerrar::Click, this, &FrmVerReporte::CmdCerrar_Click);
}

FrmVerReporte::~FrmVerReporte() = default;

void FrmVerReporte::estableceReporte(std::shared_ptr<Reporte> reporte, const Reporte::Progreso& progreso) {
    m_reporte = std::move(reporte);
    if (!m_reporte)
        return;
    m_impresora->setPageLayout(m_reporte->definicion().pagina);
    m_impresora->setDocName(m_reporte->definicion().titulo);
    // Laid out now, on the wait panel's time; the pages are painted when the window shows.
    m_reporte->paginas(*m_impresora, progreso);
}

void FrmVerReporte::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    Form_Activate();
}

void FrmVerReporte::Form_Activate() {
    Modulo::CentraEnMdi(*this);
    CRViewer1->setViewMode(QPrintPreviewWidget::SinglePageView);
    CRViewer1->setZoomMode(QPrintPreviewWidget::FitToWidth);
    {
        const RelojDeArena espera;
        CRViewer1->updatePreview();
    }
    vaALaPagina(1);
}

void FrmVerReporte::CRViewer1_PaintRequested(QPrinter* impresora) {
    if (!m_reporte)
        return;
    try {
        QPainter pintor;
        if (!pintor.begin(impresora))
            throw ErrorDeEjecucion(CodigoDeError::Impresion,
                                   QStringLiteral("No se pudo comenzar a dibujar la vista previa."),
                                   m_reporte->definicion().archivo);
        m_reporte->pinta(pintor, *impresora);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmVerReporte::CRViewer1_PreviewChanged() {
    const int paginas = std::max(1, CRViewer1->pageCount());
    const QSignalBlocker bloqueo(TxtPagina);
    TxtPagina->setRange(1, paginas);
    TxtPagina->setValue(std::clamp(CRViewer1->currentPage(), 1, paginas));
    LblDePaginas->setText(QStringLiteral("de %1").arg(CRViewer1->pageCount()));
}

void FrmVerReporte::TxtPagina_Change() {
    vaALaPagina(TxtPagina->value());
}

// The preview tells a new page when the user scrolls to it, not when it is sent there.
void FrmVerReporte::vaALaPagina(int pagina) {
    CRViewer1->setCurrentPage(std::clamp(pagina, 1, std::max(1, CRViewer1->pageCount())));
    CRViewer1_PreviewChanged();
}

void FrmVerReporte::CmdGuardarPdf_Click() {
    if (!m_reporte)
        return;
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString sugerido = QStringLiteral("%1 %2.pdf")
                                 .arg(m_reporte->definicion().titulo,
                                      Reloj::actual().ahora().toString(QStringLiteral("yyyy-MM-dd HHmm")));
    const QString archivo = Modulo::EligeArchivoParaGuardar(
        this, QStringLiteral("DlgGuardarPdf"), QStringLiteral("Guardar el reporte como PDF"),
        QDir(carpeta).filePath(sugerido), QStringLiteral("Documentos PDF (*.pdf)"), QStringLiteral("pdf"));
    if (archivo.isEmpty())
        return;
    try {
        const RelojDeArena espera;
        m_reporte->guardaPdf(archivo);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
        return;
    }
    Modulo::MensajeInformativo(
        QStringLiteral("El reporte se guardó en el archivo %1.").arg(QDir::toNativeSeparators(archivo)));
}

void FrmVerReporte::CmdCerrar_Click() {
    accept();
}
