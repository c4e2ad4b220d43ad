#include "controls/TextoEntero.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace Controles {

namespace {

// The room a list's own box leaves for the chosen entry's text: its edit field as the style places it
// (on a resize the box's line edit follows only after the list's own handler).
int anchoDelTextoEnLaCaja(const QComboBox* lista) {
    QStyleOptionComboBox opcion;
    opcion.initFrom(lista);
    opcion.editable = lista->isEditable();
    opcion.frame = lista->hasFrame();
    opcion.subControls = QStyle::SC_All;
    const QRect campo =
        lista->style()->subControlRect(QStyle::CC_ComboBox, &opcion, QStyle::SC_ComboBoxEditField, lista);
    const QMargins margenes =
        lista->isEditable() && lista->lineEdit() ? lista->lineEdit()->textMargins() : QMargins();
    return campo.width() - margenes.left() - margenes.right() - 4;
}

// The width a list's drop-down takes to show a text of `anchoDelTexto` whole in one of its rows: the
// row's text margins on both sides, the list's frame, and the scroll bar a long list shows.
int anchoDeLaLista(const QComboBox* lista, int anchoDelTexto) {
    const QAbstractItemView* vista = lista->view();
    const QStyle* estilo = vista->style();
    const int margen = 2 * (estilo->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, vista) + 1) + 8;
    const int barra =
        lista->count() > lista->maxVisibleItems() ? estilo->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    return anchoDelTexto + margen + 2 * vista->frameWidth() + barra;
}

bool cabe(const QWidget* caja, int anchoDelTexto, const QString& texto) {
    return caja->fontMetrics().horizontalAdvance(texto) <= anchoDelTexto;
}

// Keeps a list's drop-down width and its entries' tool tips true to what it
// holds and how wide its box stands: widths are measured once per entry, as
// entries arrive, so a list filled row by row costs one measure per row.
class Entradas : public QObject {
public:
    explicit Entradas(QComboBox* lista) : QObject(lista), m_lista(lista), m_ayudaPropia(lista->toolTip()) {
        setObjectName(QStringLiteral("MuestraEntradasEnteras"));
        QAbstractItemModel* modelo = lista->model();
        connect(modelo, &QAbstractItemModel::rowsInserted, this,
                [this](const QModelIndex& padre, int primera, int ultima) {
                    if (!padre.isValid())
                        mide(primera, ultima);
                });
        connect(modelo, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                    if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                        mideTodas();
                });
        connect(modelo, &QAbstractItemModel::rowsRemoved, this, &Entradas::mideTodas);
        connect(modelo, &QAbstractItemModel::modelReset, this, &Entradas::mideTodas);
        connect(modelo, &QAbstractItemModel::layoutChanged, this, &Entradas::mideTodas);
        connect(lista, &QComboBox::currentTextChanged, this, &Entradas::ayudaDeLaCaja);
        lista->installEventFilter(this);
        mide(0, lista->count() - 1);
    }

    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (objeto == m_lista && (evento->type() == QEvent::Resize || evento->type() == QEvent::FontChange))
            marcaCortadas(0, m_lista->count() - 1);
        return QObject::eventFilter(objeto, evento);
    }

private:
    // Entries first..last arrived: each is measured once, and the drop-down widened for the widest.
    void mide(int primera, int ultima) {
        if (m_marcando)
            return;
        const QFontMetrics medida = m_lista->view()->fontMetrics();
        for (int i = std::max(0, primera); i <= ultima && i < m_lista->count(); ++i) {
            const int ancho = medida.horizontalAdvance(m_lista->itemText(i));
            guarda(i, rolDelAncho, ancho);
            m_masAncha = std::max(m_masAncha, ancho);
        }
        m_lista->view()->setMinimumWidth(anchoDeLaLista(m_lista, m_masAncha));
        marcaCortadas(primera, ultima);
    }

    // After a removal or a change every entry is measured again (the widest may have gone).
    void mideTodas() {
        if (m_marcando)
            return;
        m_masAncha = 0;
        mide(0, m_lista->count() - 1);
    }

    void marcaCortadas(int primera, int ultima) {
        const int disponible = anchoDelTextoEnLaCaja(m_lista);
        for (int i = std::max(0, primera); i <= ultima && i < m_lista->count(); ++i) {
            const bool cortada = m_lista->itemData(i, rolDelAncho).toInt() > disponible;
            const QVariant ayuda = cortada ? QVariant(m_lista->itemText(i)) : QVariant();
            if (m_lista->itemData(i, Qt::ToolTipRole) != ayuda)
                guarda(i, Qt::ToolTipRole, ayuda);
        }
        ayudaDeLaCaja(m_lista->currentText());
    }

    void ayudaDeLaCaja(const QString& texto) {
        m_lista->setToolTip(cabe(m_lista, anchoDelTextoEnLaCaja(m_lista), texto) ? m_ayudaPropia : texto);
    }

    // The list's own data, set without measuring it again.
    void guarda(int fila, int rol, const QVariant& valor) {
        m_marcando = true;
        m_lista->setItemData(fila, valor, rol);
        m_marcando = false;
    }

    static constexpr int rolDelAncho = Qt::UserRole + 0x5A;
    QComboBox* m_lista;
    QString m_ayudaPropia;
    int m_masAncha = 0;
    bool m_marcando = false;
};

// A one-line box's tool tip: its whole text while the box cuts it, else its own.
class TextoDeLaCaja : public QObject {
public:
    explicit TextoDeLaCaja(QLineEdit* caja) : QObject(caja), m_caja(caja), m_ayudaPropia(caja->toolTip()) {
        setObjectName(QStringLiteral("MuestraTextoEntero"));
        connect(caja, &QLineEdit::textChanged, this, &TextoDeLaCaja::ayuda);
        caja->installEventFilter(this);
        ayuda();
    }

    bool eventFilter(QObject* objeto, QEvent* evento) override {
        // Wider or narrower with its window.
        if (objeto == m_caja && (evento->type() == QEvent::Resize || evento->type() == QEvent::FontChange))
            ayuda();
        return QObject::eventFilter(objeto, evento);
    }

private:
    void ayuda() {
        const QMargins margenes = m_caja->textMargins();
        const int disponible = m_caja->contentsRect().width() - margenes.left() - margenes.right() - 4;
        m_caja->setToolTip(cabe(m_caja, disponible, m_caja->text()) ? m_ayudaPropia : m_caja->text());
    }

    QLineEdit* m_caja;
    QString m_ayudaPropia;
};

} // namespace

void MuestraEntradasEnteras(QComboBox* lista) {
    if (!lista ||
        lista->findChild<QObject*>(QStringLiteral("MuestraEntradasEnteras"), Qt::FindDirectChildrenOnly))
        return;
    new Entradas(lista);
}

void MuestraTextoEntero(QLineEdit* caja) {
    if (!caja || caja->findChild<QObject*>(QStringLiteral("MuestraTextoEntero"), Qt::FindDirectChildrenOnly))
        return;
    new TextoDeLaCaja(caja);
}

} // namespace Controles
