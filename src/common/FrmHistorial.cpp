#include "common/FrmHistorial.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "server/RenglonesDelHistorial.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

QString FrmHistorial::TituloDe(Catalogo catalogo, int anio, int folio) {
    return (catalogo == Catalogo::Kelmar ? QStringLiteral("Historial de la invitación %1 de %2")
                                         : QStringLiteral("Historial del evento %1 de %2"))
        .arg(folio)
        .arg(anio);
}

FrmHistorial::FrmHistorial(const QString& titulo, const QList<Historial::Entrada>& entradas, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FrmHistorial"));
    setWindowTitle(titulo);
    setSizeGripEnabled(true);
    auto* disposicion = new QVBoxLayout(this);

    LblRegistro = new QLabel(titulo, this);
    LblRegistro->setObjectName(QStringLiteral("LblRegistro"));
    LblRegistro->setTextFormat(Qt::PlainText);
    disposicion->addWidget(LblRegistro);

    const QList<Historial::Renglon> renglones = Historial::renglones(entradas);
    GrdHistorial = new QTableWidget(int(renglones.size()), 7, this);
    GrdHistorial->setObjectName(QStringLiteral("GrdHistorial"));
    GrdHistorial->setHorizontalHeaderLabels({QStringLiteral("Fecha y hora"), QStringLiteral("Cuenta"),
                                             QStringLiteral("Estación"), QStringLiteral("Tipo"),
                                             QStringLiteral("Campo"), QStringLiteral("Antes"),
                                             QStringLiteral("Después")});
    GrdHistorial->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrdHistorial->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrdHistorial->setSelectionMode(QAbstractItemView::SingleSelection);
    GrdHistorial->setTabKeyNavigation(false);
    GrdHistorial->verticalHeader()->hide();
    for (int i = 0; i < renglones.size(); ++i) {
        const Historial::Renglon& r = renglones.at(i);
        const QString textos[] = {
            Historial::textoDeFecha(r.fecha), r.cuenta, r.estacion, r.tipo, r.campo, r.antes, r.despues};
        for (int columna = 0; columna < 7; ++columna)
            GrdHistorial->setItem(i, columna, Modulo::CeldaDeLectura(textos[columna]));
    }
    GrdHistorial->resizeColumnsToContents();
    // The values may be long: their columns share the room, the rest fit their contents.
    for (int columna : {5, 6}) {
        GrdHistorial->horizontalHeader()->setSectionResizeMode(columna, QHeaderView::Stretch);
    }
    GrdHistorial->setMinimumSize(900, 260);
    if (!renglones.isEmpty())
        GrdHistorial->setCurrentCell(0, 0);
    disposicion->addWidget(GrdHistorial, 1);

    LblSinCambios = new QLabel(QStringLiteral("Sin cambios registrados."), this);
    LblSinCambios->setObjectName(QStringLiteral("LblSinCambios"));
    LblSinCambios->setVisible(renglones.isEmpty());
    disposicion->addWidget(LblSinCambios);

    auto* botones = new QHBoxLayout;
    CmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    CmdCerrar->setObjectName(QStringLiteral("CmdCerrar"));
    botones->addStretch(1);
    botones->addWidget(CmdCerrar);
    disposicion->addLayout(botones);
    connect(CmdCerrar, &QPushButton::clicked, this, &QDialog::reject);
    GrdHistorial->setFocus();
}

void FrmHistorial::Muestra(Conexion& conexion, Catalogo catalogo, int anio, int folio, QWidget* parent) {
    QList<Historial::Entrada> entradas;
    try {
        entradas = Historial::delRegistro(conexion, catalogo, anio, folio);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
        return;
    }
    FrmHistorial ventana(TituloDe(catalogo, anio, folio), entradas, parent);
    Modulo::MuestraModal(ventana);
}
