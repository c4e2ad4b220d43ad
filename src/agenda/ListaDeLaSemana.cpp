#include "agenda/ListaDeLaSemana.h"

#include "agenda/PintorDeAgenda.h"
#include "common/Modulo.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

ListaDeLaSemana::ListaDeLaSemana(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ListaDeLaSemana"));
    auto* disposicion = new QVBoxLayout(this);
    LblProximos = new QLabel(this);
    LblProximos->setObjectName(QStringLiteral("LblProximos"));
    LblProximos->setTextFormat(Qt::PlainText);
    // A long heading (an error said there) never holds the main window wide.
    LblProximos->setWordWrap(true);
    QFont f = LblProximos->font();
    f.setBold(true);
    LblProximos->setFont(f);
    disposicion->addWidget(LblProximos);
    GrdProximos = new QTableWidget(0, 7, this);
    GrdProximos->setObjectName(QStringLiteral("GrdProximos"));
    GrdProximos->setHorizontalHeaderLabels(
        {QStringLiteral("Día"), QStringLiteral("Hora"), QStringLiteral("Para"), QStringLiteral("Evento"),
         QStringLiteral("Lugar"), QStringLiteral("Representante"), QStringLiteral("Estado")});
    GrdProximos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrdProximos->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrdProximos->setSelectionMode(QAbstractItemView::SingleSelection);
    GrdProximos->setTabKeyNavigation(false);
    GrdProximos->verticalHeader()->hide();
    GrdProximos->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    for (int largo : {3, 4})
        GrdProximos->horizontalHeader()->setSectionResizeMode(largo, QHeaderView::Stretch);
    GrdProximos->installEventFilter(this);
    disposicion->addWidget(GrdProximos, 1);
    connect(GrdProximos, &QTableWidget::cellDoubleClicked, this,
            [this](int fila, int) { AbreEntrada(fila); });
}

void ListaDeLaSemana::Refresca() {
    const QDate hoy = Reloj::actual().hoy();
    m_entradas.clear();
    QString encabezado = QStringLiteral("Próximos siete días, del %1 al %2")
                             .arg(hoy.toString(QStringLiteral("dd/MM/yyyy")),
                                  hoy.addDays(6).toString(QStringLiteral("dd/MM/yyyy")));
    try {
        Agenda::Lector& lector = Modulo::LectorDeAgenda();
        m_entradas = lector.lee({.desde = hoy, .hasta = hoy.addDays(6)});
        if (m_entradas.isEmpty())
            encabezado += QStringLiteral(": sin compromisos registrados");
    } catch (const ErrorDeEjecucion& e) {
        encabezado += QStringLiteral(": no fue posible leer la agenda (%1)").arg(e.descripcion());
    }
    LblProximos->setText(encabezado);
    GrdProximos->setRowCount(int(m_entradas.size()));
    const QLocale es(QLocale::Spanish, QLocale::Mexico);
    for (int i = 0; i < m_entradas.size(); ++i) {
        const Agenda::Entrada& e = m_entradas.at(i);
        const QString textos[] = {
            es.toString(e.dia, QStringLiteral("ddd dd/MM")),
            e.hora ? e.hora->toString(QStringLiteral("HH:mm")) : QStringLiteral("Sin hora"),
            e.titularAbreviado(),
            e.descripcion.simplified(),
            e.lugar.simplified(),
            e.representante,
            (e.tipo == Agenda::Tipo::Invitacion ? QStringLiteral("Invitación") : QStringLiteral("Evento")) +
                (e.confirmada ? QStringLiteral(", confirmada") : QStringLiteral(", SIN CONFIRMAR"))};
        for (int c = 0; c < 7; ++c) {
            QTableWidgetItem* celda = Modulo::CeldaDeLectura(textos[c]);
            if (!e.confirmada) {
                QFont f = GrdProximos->font();
                f.setBold(true);
                f.setItalic(true);
                celda->setFont(f);
            }
            GrdProximos->setItem(i, c, celda);
        }
    }
    if (!m_entradas.isEmpty() && GrdProximos->currentRow() < 0)
        GrdProximos->setCurrentCell(0, 0);
}

void ListaDeLaSemana::AbreEntrada(int fila) {
    if (fila < 0 || fila >= m_entradas.size())
        return;
    const Agenda::Entrada e = m_entradas.at(fila);
    if (e.tipo == Agenda::Tipo::Invitacion)
        Modulo::AbreInvitacion(e.anio, e.folio);
    else
        Modulo::AbreEvento(e.folio, e.anio);
    Refresca();
}

void ListaDeLaSemana::showEvent(QShowEvent* evento) {
    Refresca();
    QWidget::showEvent(evento);
}

bool ListaDeLaSemana::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == GrdProximos && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            AbreEntrada(GrdProximos->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(objeto, evento);
}
