#include "common/FrmErrores.h"

#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "outside/ErrorDeEjecucion.h"

#include <QLabel>
#include <QTextDocument>

namespace {
QLabel* etiqueta(QWidget* padre, const char* nombre, const QString& texto, const QRect& lugar,
                 bool negrita = false) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    f.setBold(negrita);
    l->setFont(f);
    l->setGeometry(lugar);
    l->setWordWrap(true);
    // What it shows comes from the server or the data: text, never markup.
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLabel* dato(QWidget* padre, const char* nombre, const QRect& lugar) {
    QLabel* l = etiqueta(padre, nombre, QString(), lugar);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setAutoFillBackground(true);
    return l;
}
} // namespace

FrmErrores::FrmErrores(QWidget* parent) : QDialog(parent) {
    Modulo::PreparaVentanaFija(*this, QStringLiteral("FrmErrores"), QStringLiteral("Mensaje de error"), 7740,
                               4830);

    Label1 = etiqueta(this, "Label1", QStringLiteral("¡Error!"), {12, 8, 200, 24}, true);
    QFont grande = Label1->font();
    grande.setPointSize(14);
    Label1->setFont(grande);
    Label1->setStyleSheet(QStringLiteral("color: #b00000"));
    Label2 =
        etiqueta(this, "Label2",
                 QStringLiteral("Sucedió un error al intentar almacenar los datos, intente de nuevo y si el "
                                "error persiste, anote los siguientes datos para reportarlos al responsable "
                                "del sistema."),
                 {12, 36, 492, 44});
    Label3 = etiqueta(this, "Label3", QStringLiteral("Descripción del error:"), {12, 84, 300, 16}, true);
    LblDescripDelError = dato(this, "LblDescripDelError", {12, 102, 492, 52});
    Label4 = etiqueta(this, "Label4", QStringLiteral("Número del error:"), {12, 162, 142, 18}, true);
    LblNumDelError = dato(this, "LblNumDelError", {158, 160, 150, 20});
    Label5 =
        etiqueta(this, "Label5", QStringLiteral("Datos adicionales del error:"), {12, 186, 300, 16}, true);
    LblDatosAdicDelError = dato(this, "LblDatosAdicDelError", {12, 204, 492, 38});
    Label7 = etiqueta(this, "Label7", QStringLiteral("Nota:"), {12, 250, 40, 16}, true);
    Label6 = etiqueta(
        this, "Label6",
        QStringLiteral("Se sugiere que capture esta pantalla y la guarde en un archivo de imagen con "
                       "formato JPG en el programa PAINT para enviarlo por correo electrónico y "
                       "podamos corregirlo o asesorarle lo más rápido posible."),
        {52, 250, 390, 62});
    CmdCerrar = new ::CmdCerrar(this);
    CmdCerrar->setObjectName(QStringLiteral("CmdCerrar"));
    CmdCerrar->move(width() - CmdCerrar->width() - 12, height() - CmdCerrar->height() - 10);
    connect(CmdCerrar, &::CmdCerrar::Click, this, &FrmErrores::CmdCerrar_Click);
}

void FrmErrores::showEvent(QShowEvent* evento) {
    if (!m_cargada)
        Form_Load();
    QDialog::showEvent(evento);
}

void FrmErrores::Form_Load() {
    m_cargada = true;
    Modulo::CentraEnMdi(*this);
    LblDescripDelError->setText(m_descripcion);
    LblNumDelError->setText(QString::number(m_numero));
    QString adicionales = m_fuente;
    if (!m_detalle.isEmpty())
        adicionales += QStringLiteral("\nDetalle: ") + m_detalle;
    LblDatosAdicDelError->setText(adicionales);
    // A long detail does not fit the label: its tool tip holds it whole.
    LblDatosAdicDelError->setToolTip(m_detalle.isEmpty() ? QString() : Qt::convertFromPlainText(adicionales));
}

void FrmErrores::CmdCerrar_Click() {
    accept();
}

void FrmErrores::Reporta(const ErrorDeEjecucion& error) {
    FrmErrores ventana;
    ventana.DescripError(error.descripcion());
    ventana.NumeroDeError(error.numero());
    ventana.FuenteDelError(error.fuente());
    ventana.DetalleDelError(error.detalle());
    Modulo::MuestraModal(ventana);
}
