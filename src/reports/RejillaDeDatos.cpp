#include "reports/RejillaDeDatos.h"

#include "common/Modulo.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

RejillaDeDatos::RejillaDeDatos(QWidget* parent)
    : QFrame(parent), m_leyenda(new QLabel(this)), m_vista(new QTableView(this)),
      m_modelo(new ModeloDeRecordset(this)) {
    setFrameShape(QFrame::StyledPanel);
    auto* capas = new QVBoxLayout(this);
    capas->setContentsMargins(1, 1, 1, 1);
    capas->setSpacing(0);

    m_leyenda->setObjectName(QStringLiteral("Caption"));
    m_leyenda->setTextFormat(Qt::PlainText);
    m_leyenda->setAlignment(Qt::AlignCenter);
    m_leyenda->setAutoFillBackground(true);
    m_leyenda->setMinimumHeight(20);
    QPalette paleta = m_leyenda->palette();
    paleta.setColor(QPalette::Window, paleta.color(QPalette::Mid));
    m_leyenda->setPalette(paleta);
    capas->addWidget(m_leyenda);

    m_vista->setObjectName(QStringLiteral("Rejilla"));
    m_vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_vista->setSelectionMode(QAbstractItemView::SingleSelection);
    m_vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_vista->setWordWrap(false);
    // The office's grids fit their columns in MS Sans Serif 8, narrower than the sans that stands in for it.
    QFont letra = m_vista->font();
    letra.setStretch(QFont::SemiCondensed);
    m_vista->setFont(letra);
    m_vista->verticalHeader()->setDefaultSectionSize(m_vista->fontMetrics().height() + 6);
    m_vista->verticalHeader()->setFixedWidth(16);
    capas->addWidget(m_vista);

    m_vista->installEventFilter(this);
    connect(m_vista, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
        estableceFilaActual(i.row());
        Q_EMIT DblClick();
    });
    connect(m_vista->verticalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int fila) {
        estableceFilaActual(fila);
        Q_EMIT DblClick();
    });
}

bool RejillaDeDatos::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == m_vista && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if ((tecla == Qt::Key_Return || tecla == Qt::Key_Enter) && filaActual() >= 0) {
            Q_EMIT DblClick();
            return true;
        }
    }
    return QFrame::eventFilter(objeto, evento);
}

QString RejillaDeDatos::Caption() const {
    return m_leyenda->text();
}

void RejillaDeDatos::estableceCaption(const QString& texto) {
    m_leyenda->setText(texto);
}

void RejillaDeDatos::enlaza(const Recordset& recordset) {
    m_modelo->estableceRecordset(recordset);
    m_vista->setModel(m_modelo);
}

void RejillaDeDatos::desenlaza() {
    m_vista->setModel(nullptr);
    m_modelo->estableceRecordset(Recordset());
}

bool RejillaDeDatos::estaEnlazada() const {
    return m_vista->model() != nullptr;
}

int RejillaDeDatos::filaActual() const {
    if (!estaEnlazada())
        return -1;
    const QModelIndex i = m_vista->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void RejillaDeDatos::estableceFilaActual(int fila) {
    if (estaEnlazada() && fila >= 0 && fila < m_modelo->rowCount())
        m_vista->setCurrentIndex(m_modelo->index(fila, 0));
}

QString RejillaDeDatos::texto(int fila, int columna) const {
    return m_modelo->recordset().texto(fila, columna);
}

void RejillaDeDatos::estableceAnchoDeColumna(int columna, int twips) {
    // The width the office's grid gave the column, or what its heading and the rows in view need
    // where this station's font is wider (an hour "10:00" is never cut), up to twice as much.
    const int ancho = Modulo::Pixeles(twips);
    m_vista->resizeColumnToContents(columna);
    m_vista->setColumnWidth(columna, std::clamp(m_vista->columnWidth(columna), ancho, 2 * ancho));
}
