#include "common/FrmConflicto.h"

#include "common/Modulo.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString quienCambio(const Historial::Diferencia& d) {
    if (d.cambioAqui && d.cambioAlla)
        return QStringLiteral("Ambos");
    if (d.cambioAqui)
        return QStringLiteral("Solo usted");
    if (d.cambioAlla)
        return QStringLiteral("Solo la otra estación");
    return {};
}

} // namespace

QString FrmConflicto::TextoDeQuien(const Datos& datos) {
    QString texto = QStringLiteral("Otra estación modificó %1 después de su consulta").arg(datos.registro);
    if (const auto& u = datos.ultimoCambio) {
        texto += QStringLiteral(": %1, desde la estación %2, el %3 a las %4")
                     .arg(u->cuenta, u->estacion, u->fecha.toString(QStringLiteral("dd/MM/yyyy")),
                          u->fecha.toString(QStringLiteral("HH:mm")));
        if (u->tipo == Historial::Tipo::Baja)
            texto += QStringLiteral(" (la eliminó)");
    }
    return texto + QStringLiteral(". No se guardó nada.");
}

FrmConflicto::FrmConflicto(Datos datos, std::function<void()> recarga, QWidget* parent)
    : QDialog(parent), m_datos(std::move(datos)), m_recarga(std::move(recarga)) {
    setObjectName(QStringLiteral("FrmConflicto"));
    setWindowTitle(QStringLiteral("Cambios de otra estación"));
    setSizeGripEnabled(true);
    auto* disposicion = new QVBoxLayout(this);

    LblQuien = new QLabel(TextoDeQuien(m_datos), this);
    LblQuien->setObjectName(QStringLiteral("LblQuien"));
    LblQuien->setTextFormat(Qt::PlainText);
    LblQuien->setWordWrap(true);
    disposicion->addWidget(LblQuien);

    GrdDiferencias = new QTableWidget(int(m_datos.diferencias.size()), 4, this);
    GrdDiferencias->setObjectName(QStringLiteral("GrdDiferencias"));
    GrdDiferencias->setHorizontalHeaderLabels(
        {QStringLiteral("Campo"), QStringLiteral("Lo que usted escribió"),
         QStringLiteral("Lo guardado ahora"), QStringLiteral("Cambió")});
    GrdDiferencias->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrdDiferencias->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrdDiferencias->setWordWrap(true);
    GrdDiferencias->verticalHeader()->hide();
    for (int i = 0; i < m_datos.diferencias.size(); ++i) {
        const Historial::Diferencia& d = m_datos.diferencias.at(i);
        GrdDiferencias->setItem(i, 0, Modulo::CeldaDeLectura(d.rotulo));
        GrdDiferencias->setItem(i, 1, Modulo::CeldaDeLectura(Historial::paraMostrar(d.enPantalla)));
        GrdDiferencias->setItem(i, 2, Modulo::CeldaDeLectura(Historial::paraMostrar(d.guardado)));
        GrdDiferencias->setItem(i, 3, Modulo::CeldaDeLectura(quienCambio(d)));
    }
    GrdDiferencias->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    GrdDiferencias->horizontalHeader()->setStretchLastSection(false);
    GrdDiferencias->setColumnWidth(0, 190);
    GrdDiferencias->setColumnWidth(1, 230);
    GrdDiferencias->setColumnWidth(2, 230);
    GrdDiferencias->setColumnWidth(3, 150);
    GrdDiferencias->resizeRowsToContents();
    GrdDiferencias->setMinimumSize(820, 220);
    disposicion->addWidget(GrdDiferencias, 1);

    LblNota =
        new QLabel(QStringLiteral("Elija cargar lo guardado (se descarta lo que usted escribió) o guardar "
                                  "lo suyo sobre los cambios de la otra estación."),
                   this);
    LblNota->setObjectName(QStringLiteral("LblNota"));
    LblNota->setWordWrap(true);
    disposicion->addWidget(LblNota);

    auto* botones = new QHBoxLayout;
    CmdRecargar = new QPushButton(QStringLiteral("&Cargar lo guardado"), this);
    CmdRecargar->setObjectName(QStringLiteral("CmdRecargar"));
    CmdSobrescribir = new QPushButton(m_datos.esBaja ? QStringLiteral("&Eliminar de todos modos")
                                                     : QStringLiteral("&Guardar lo mío encima"),
                                      this);
    CmdSobrescribir->setObjectName(QStringLiteral("CmdSobrescribir"));
    CmdCancelar = new QPushButton(QStringLiteral("Ca&ncelar"), this);
    CmdCancelar->setObjectName(QStringLiteral("CmdCancelar"));
    // Nothing is lost by a hasty Enter: the default keeps everything as it is.
    CmdCancelar->setDefault(true);
    botones->addStretch(1);
    for (QPushButton* b : {CmdRecargar, CmdSobrescribir, CmdCancelar}) {
        b->setAutoDefault(false);
        botones->addWidget(b);
    }
    CmdCancelar->setAutoDefault(true);
    disposicion->addLayout(botones);
    connect(CmdRecargar, &QPushButton::clicked, this, &FrmConflicto::CmdRecargar_Click);
    connect(CmdSobrescribir, &QPushButton::clicked, this, &FrmConflicto::CmdSobrescribir_Click);
    connect(CmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
    GrdDiferencias->setFocus();
}

void FrmConflicto::CmdRecargar_Click() {
    if (Modulo::ConfirmaConNoPredeterminado(
            QStringLiteral(
                "Se descartará lo que usted escribió y se cargará lo guardado por la otra estación.") +
            Modulo::DobleSalto + QStringLiteral("¿Desea continuar?")) != QLatin1String("SI"))
        return;
    m_decision = Recargar;
    if (m_recarga)
        m_recarga();
    // What was discarded stays readable here until the window closes.
    CmdRecargar->setEnabled(false);
    CmdSobrescribir->setEnabled(false);
    CmdCancelar->setText(QStringLiteral("&Cerrar"));
    LblNota->setText(
        QStringLiteral("Se cargó lo guardado. Lo que usted escribió queda a la vista en la columna "
                       "\"Lo que usted escribió\" hasta que cierre esta ventana."));
    disconnect(CmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(CmdCancelar, &QPushButton::clicked, this, &QDialog::accept);
    CmdCancelar->setFocus();
}

void FrmConflicto::CmdSobrescribir_Click() {
    const QString quien =
        m_datos.ultimoCambio ? m_datos.ultimoCambio->cuenta : QStringLiteral("la otra estación");
    const QString que =
        m_datos.esBaja
            ? QStringLiteral("Se eliminará el registro con los cambios de %1 (versión %2); el "
                             "historial lo conserva.")
            : QStringLiteral("Se guardará lo que está en pantalla sobre los cambios de %1 (versión "
                             "%2), que se perderán salvo en el historial.");
    if (Modulo::ConfirmaConNoPredeterminado(que.arg(quien).arg(m_datos.versionGuardada) + Modulo::DobleSalto +
                                            QStringLiteral("¿Desea continuar?")) != QLatin1String("SI"))
        return;
    m_decision = Sobrescribir;
    accept();
}

FrmConflicto::Decision FrmConflicto::Resuelve(Datos datos, std::function<void()> recarga, QWidget* parent) {
    FrmConflicto ventana(std::move(datos), std::move(recarga), parent);
    Modulo::MuestraModal(ventana);
    return ventana.decision();
}
