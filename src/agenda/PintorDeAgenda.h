#pragma once

#include "server/Agenda.h"

#include <QStyledItemDelegate>

// Paints the agenda's cells: each entry on its own line, invitations and
// events in two colours, confirmed ones filled and unconfirmed ones outlined
// in italics, the chosen one framed; a month's day with its number and as
// many entries as fit, then "+n más".
class PintorDeAgenda : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum Rol { RolEntradas = Qt::UserRole + 1, RolDia, RolDelMes };
    using QStyledItemDelegate::QStyledItemDelegate;

    void estableceEntradas(const QList<Agenda::Entrada>* entradas) { m_entradas = entradas; }
    void estableceElegida(int indice) { m_elegida = indice; }

    // "10:00 Inauguración — Ana Pérez (Srio.)", "sin confirmar" where it is not.
    static QString Texto(const Agenda::Entrada& entrada, bool conHora);
    // What the colours mean, for the window's legend.
    static QString Leyenda();

    void paint(QPainter* pintor, const QStyleOptionViewItem& opcion,
               const QModelIndex& indice) const override;
    QSize sizeHint(const QStyleOptionViewItem& opcion, const QModelIndex& indice) const override;

private:
    const QList<Agenda::Entrada>* m_entradas = nullptr;
    int m_elegida = -1;
};
