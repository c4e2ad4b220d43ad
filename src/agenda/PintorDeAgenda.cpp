#include "agenda/PintorDeAgenda.h"

#include <QApplication>
#include <QPainter>

namespace {

QColor colorDe(Agenda::Tipo tipo) {
    return tipo == Agenda::Tipo::Invitacion ? QColor(0x2f, 0x6f, 0xb5) : QColor(0x2e, 0x8b, 0x4a);
}

QColor fondoDe(Agenda::Tipo tipo) {
    return tipo == Agenda::Tipo::Invitacion ? QColor(0xd9, 0xe8, 0xfa) : QColor(0xdc, 0xf2, 0xe1);
}

} // namespace

QString PintorDeAgenda::Texto(const Agenda::Entrada& e, bool conHora) {
    QString t;
    if (conHora)
        t = e.hora ? e.hora->toString(QStringLiteral("HH:mm")) + QLatin1Char(' ')
                   : QStringLiteral("Sin hora ");
    t += e.descripcion.simplified();
    t += QStringLiteral(" — ") +
         (e.representante.isEmpty() ? QStringLiteral("sin representante") : e.representante);
    t += QStringLiteral(" (%1)").arg(e.titularAbreviado());
    if (!e.confirmada)
        t += QStringLiteral(", sin confirmar");
    return t;
}

QString PintorDeAgenda::Leyenda() {
    return QStringLiteral("<span style='background:%1'>&nbsp;Invitación&nbsp;</span>&nbsp; "
                          "<span style='background:%2'>&nbsp;Evento del registro&nbsp;</span>&nbsp; "
                          "Relleno: confirmado; solo el contorno y en cursiva: sin confirmar. "
                          "Flechas: moverse; RePág/AvPág: periodo anterior o siguiente; Inicio: hoy; "
                          "Intro: abrir.")
        .arg(fondoDe(Agenda::Tipo::Invitacion).name(), fondoDe(Agenda::Tipo::Evento).name());
}

void PintorDeAgenda::paint(QPainter* p, const QStyleOptionViewItem& opcion, const QModelIndex& indice) const {
    QStyleOptionViewItem o = opcion;
    initStyleOption(&o, indice);
    const bool actual = o.state & QStyle::State_HasFocus;
    p->save();
    p->fillRect(o.rect, o.palette.base());
    if (actual)
        p->fillRect(o.rect, o.palette.highlight().color().lighter(185));
    const QVariant dia = indice.data(RolDia);
    QRect resto = o.rect.adjusted(2, 1, -2, -1);
    const int alto = o.fontMetrics.height() + 2;
    if (dia.isValid()) {
        QFont f = o.font;
        f.setBold(true);
        p->setFont(f);
        p->setPen(indice.data(RolDelMes).toBool() ? o.palette.text().color()
                                                  : o.palette.placeholderText().color());
        p->drawText(resto.adjusted(0, 0, 0, -(resto.height() - alto)), Qt::AlignLeft | Qt::AlignVCenter,
                    QString::number(dia.toDate().day()));
        resto.setTop(resto.top() + alto);
    }
    const QVariantList entradas = indice.data(RolEntradas).toList();
    const bool mes = dia.isValid();
    const int caben = std::max(0, resto.height() / alto);
    for (int n = 0; n < entradas.size() && m_entradas; ++n) {
        const int i = entradas.at(n).toInt();
        if (i < 0 || i >= m_entradas->size())
            continue;
        if (mes && n == caben - 1 && entradas.size() > caben) {
            p->setPen(o.palette.text().color());
            p->setFont(o.font);
            p->drawText(QRect(resto.left(), resto.top() + n * alto, resto.width(), alto), Qt::AlignLeft,
                        QStringLiteral("+%1 más").arg(entradas.size() - n));
            break;
        }
        const Agenda::Entrada& e = m_entradas->at(i);
        const QRect linea(resto.left(), resto.top() + n * alto, resto.width(), alto - 1);
        if (e.confirmada)
            p->fillRect(linea, fondoDe(e.tipo));
        QPen borde(colorDe(e.tipo));
        borde.setWidth(i == m_elegida ? 2 : 1);
        if (i == m_elegida)
            borde.setColor(o.palette.highlight().color());
        p->setPen(borde);
        p->drawRect(linea.adjusted(0, 0, -1, -1));
        QFont f = o.font;
        f.setItalic(!e.confirmada);
        f.setBold(i == m_elegida);
        p->setFont(f);
        p->setPen(o.palette.text().color());
        p->drawText(linea.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                    o.fontMetrics.elidedText(Texto(e, mes), Qt::ElideRight, linea.width() - 5));
    }
    p->restore();
}

QSize PintorDeAgenda::sizeHint(const QStyleOptionViewItem& opcion, const QModelIndex& indice) const {
    const int lineas = std::max<qsizetype>(1, indice.data(RolEntradas).toList().size());
    return {opcion.fontMetrics.averageCharWidth() * 16, lineas * (opcion.fontMetrics.height() + 2) + 2};
}
