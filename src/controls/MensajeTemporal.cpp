#include "controls/MensajeTemporal.h"

#include <QFrame>
#include <QLabel>

namespace {
QLabel* etiqueta(const QString& nombre, const QString& texto, const QRect& lugar, QWidget* padre) {
    auto* lbl = new QLabel(texto, padre);
    lbl->setObjectName(nombre);
    lbl->setGeometry(lugar);
    lbl->setAlignment(Qt::AlignCenter);
    QFont letra = lbl->font();
    letra.setFamily(QStringLiteral("Arial"));
    letra.setBold(true);
    lbl->setFont(letra);
    return lbl;
}
} // namespace

MensajeTemporal::MensajeTemporal(QWidget* parent) : QWidget(parent), PicMensaje(new QFrame(this)) {
    setObjectName(QStringLiteral("MensajeTemporal"));
    resize(363, 79);

    PicMensaje->setObjectName(QStringLiteral("PicMensaje"));
    PicMensaje->setGeometry(0, 0, 361, 77);
    PicMensaje->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PicMensaje->setAutoFillBackground(true);
    // Set on the palette, not a style sheet, so the labels (which don't fill) show it through.
    QPalette paleta = PicMensaje->palette();
    paleta.setColor(QPalette::Window, QColor(255, 204, 153));
    paleta.setColor(QPalette::WindowText, Qt::black);
    PicMensaje->setPalette(paleta);

    LblProceso = etiqueta(QStringLiteral("LblProceso"), QStringLiteral("Leyenda en tiempo de diseño"),
                          QRect(20, 12, 313, 21), PicMensaje);
    LblLeyenda2 = etiqueta(QStringLiteral("LblLeyenda2"), QStringLiteral("Espere un momento por favor ...."),
                           QRect(4, 40, 345, 21), PicMensaje);
}

void MensajeTemporal::estableceLeyendaProceso(const QString& leyenda) {
    LblProceso->setText(leyenda);
}

void MensajeTemporal::resizeEvent(QResizeEvent* evento) {
    QWidget::resizeEvent(evento);
    // Resizing to the box's height sends one more resize event, which finds nothing left to do.
    if (height() != PicMensaje->height())
        resize(width(), PicMensaje->height());
}
