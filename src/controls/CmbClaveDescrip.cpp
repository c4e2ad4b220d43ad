#include "controls/CmbClaveDescrip.h"

#include "controls/AutoCompletado.h"
#include "controls/Cajas.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
const QString fuenteDelControl = QStringLiteral("CmbClaveDescrip");
}

CmbClaveDescrip::CmbClaveDescrip(QWidget* parent) : QWidget(parent), m_combo(new QComboBox(this)) {
    m_combo->setObjectName(QStringLiteral("CmbClaveDescrip"));
    m_combo->setEditable(true);
    Cajas::limita(m_combo);
    // Only the program's own completion runs, and Enter adds nothing to the list.
    m_combo->setCompleter(nullptr);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->move(0, 0);
    setFocusProxy(m_combo);
    setFixedHeight(m_combo->sizeHint().height());
    // Keys reach the combo, which hands them to its line edit.
    m_combo->installEventFilter(this);
    connect(m_combo, &QComboBox::currentIndexChanged, this, &CmbClaveDescrip::Click);
    connect(m_combo, &QComboBox::editTextChanged, this,
            [this] { Controles::AutoCompletaCombo(m_combo, m_borrando); });
}

CmbClaveDescrip::~CmbClaveDescrip() {
    // The inner combo still signals while it is taken down, after this
    // control has stopped being one.
    m_combo->removeEventFilter(this);
    disconnect(m_combo, nullptr, this, nullptr);
}

void CmbClaveDescrip::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    const int alto = m_combo->sizeHint().height();
    if (height() != alto)
        setFixedHeight(alto);
    m_combo->setGeometry(0, 0, width(), alto);
}

bool CmbClaveDescrip::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if ((tecla->key() == Qt::Key_Backspace || tecla->key() == Qt::Key_Delete) &&
            !m_combo->currentText().isEmpty())
            m_borrando = true;
        else if (tecla->key() == Qt::Key_Escape)
            Q_EMIT KeyDown(27, int(tecla->modifiers() >> 25));
    }
    return QWidget::eventFilter(objeto, evento);
}

QString CmbClaveDescrip::Clave(quint8 TotalCarac) const {
    return m_combo->currentText().left(TotalCarac);
}

QString CmbClaveDescrip::ClaveDerecha(quint8 TotalCarac) const {
    return m_combo->currentText().right(TotalCarac);
}

int CmbClaveDescrip::ListIndex() const {
    return m_combo->currentIndex();
}

void CmbClaveDescrip::estableceListIndex(int indice) {
    m_combo->setCurrentIndex(indice);
    if (m_combo->currentIndex() == -1)
        m_combo->setEditText(QString());
}

void CmbClaveDescrip::estableceEnabled(bool habilitado) {
    setEnabled(habilitado);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
}

Recordset CmbClaveDescrip::abreRecordset(const QString& sentencia, const QVariantList& valores) const {
    if (!m_conexion)
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("La lista %1 no tiene una conexión de la cual llenarse.")
                                   .arg(objectName().isEmpty() ? fuenteDelControl : objectName()),
                               fuenteDelControl);
    return m_conexion->ejecuta(sentencia, valores);
}

void CmbClaveDescrip::LLenaCmbClaveDescrip(const QString& Sentencia, const QVariantList& valores) {
    const Recordset rs = abreRecordset(Sentencia, valores);
    for (int i = 0; i < rs.filas(); ++i)
        m_combo->addItem(rs.texto(i, 0) + QLatin1Char(' ') + rs.texto(i, 1));
}

void CmbClaveDescrip::LLenaCmbDescripClave(const QString& Sentencia, const QVariantList& valores) {
    const Recordset rs = abreRecordset(Sentencia, valores);
    m_combo->clear();
    m_claves = QStringList(rs.filas() + 1);
    for (int i = 0; i < rs.filas(); ++i) {
        m_combo->addItem(rs.texto(i, 1) + QStringLiteral(" - ") + rs.texto(i, 0));
        m_claves[m_combo->count() - 1] = rs.texto(i, 0);
    }
}

void CmbClaveDescrip::LlenaCmbConUnDato(const QString& Sentencia, const QVariantList& valores) {
    const Recordset rs = abreRecordset(Sentencia, valores);
    for (int i = 0; i < rs.filas(); ++i) {
        if (rs.esNulo(i, 0))
            throw ErrorDeEjecucion(94,
                                   QStringLiteral("Uso no válido de Null (fila %1 de la lista %2).")
                                       .arg(i + 1)
                                       .arg(objectName().isEmpty() ? fuenteDelControl : objectName()),
                                   fuenteDelControl);
        m_combo->addItem(rs.texto(i, 0));
    }
}

void CmbClaveDescrip::EstableceElemento(const QString& Clave, quint8 TotalCarac) {
    for (int i = 0; i < m_combo->count(); ++i)
        if (m_combo->itemText(i).left(TotalCarac) == Clave)
            m_combo->setCurrentIndex(i);
}

void CmbClaveDescrip::EstableceElementoDerecha(const QString& Clave, quint8 TotalCarac) {
    for (int i = 0; i < m_combo->count(); ++i)
        if (m_combo->itemText(i).right(TotalCarac) == Clave) {
            m_combo->setCurrentIndex(i);
            return;
        }
}

void CmbClaveDescrip::QuitaSeleccion() {
    m_combo->setCurrentIndex(-1);
}

void CmbClaveDescrip::Clear() {
    m_combo->clear();
}

QString CmbClaveDescrip::Text() const {
    return m_combo->currentText();
}

void CmbClaveDescrip::estableceText(const QString& texto) {
    m_combo->setEditText(texto);
}

int CmbClaveDescrip::ListCount() const {
    return m_combo->count();
}

void CmbClaveDescrip::BloqueaCmbClaveDescrip() {
    m_combo->setEnabled(false);
}

void CmbClaveDescrip::DesBloqueaCmbClaveDescrip() {
    m_combo->setEnabled(true);
}
