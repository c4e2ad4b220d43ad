#include "controls/Emblema.h"

#include <QPainter>
#include <QPainterPath>

QPixmap Emblema(int lado) {
    QPixmap imagen(lado, lado);
    imagen.fill(Qt::transparent);
    QPainter p(&imagen);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = lado * 0.06;
    const QRectF sobre(m, lado * 0.2, lado - 2 * m, lado * 0.62);
    p.setPen(QPen(QColor(0x1f, 0x3d, 0x7a), qMax(1.0, lado / 28.0)));
    p.setBrush(QColor(0xf4, 0xe9, 0xd0));
    p.drawRoundedRect(sobre, lado * 0.05, lado * 0.05);
    // The flap, closed by a red seal.
    QPainterPath solapa;
    solapa.moveTo(sobre.topLeft());
    solapa.lineTo(sobre.center().x(), sobre.top() + sobre.height() * 0.58);
    solapa.lineTo(sobre.topRight());
    p.setBrush(QColor(0xe6, 0xd6, 0xb0));
    p.drawPath(solapa);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xb0, 0x1e, 0x2a));
    const qreal sello = lado * 0.16;
    p.drawEllipse(QPointF(sobre.center().x(), sobre.top() + sobre.height() * 0.58), sello / 2, sello / 2);
    return imagen;
}

QIcon IconoDelPrograma() {
    QIcon icono;
    for (int lado : {16, 24, 32, 48, 64, 128})
        icono.addPixmap(Emblema(lado));
    return icono;
}
