#include "Galeria.h"

#include "capture/frmCaptura.h"
#include "outside/CajaDeMensajes.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace Galeria {

// Stores the event on screen (one click draws the folio, the next stores it)
// and looks it up again on a clean screen.
namespace {
void guardaYConsulta(frmCaptura& captura) {
    captura.CmdGuardar->click();
    const QString folio = captura.TxtFolio->text();
    captura.CmdGuardar->click();
    captura.LimpiaDatos();
    captura.TxtFolio->setText(folio);
    QTest::keyClick(captura.TxtFolio, Qt::Key_Return);
}
} // namespace

void galeriaDeCaptura() {
    CajaQueAcepta acepta;
    const CajaDeMensajes::Sustituto enUso(acepta);
    frmCaptura captura;
    retrata(captura, QStringLiteral("frmCaptura"));

    const QDateTime evento(QDate::currentDate().addDays(9), QTime(10, 0));
    elige(captura.CmbSuscriptor, QStringLiteral("Marisol Bernal Cisneros"));
    QTest::keyClicks(captura.mskTelSusc, QStringLiteral("7773297000"));
    captura.DTPFechaEvento->setDateTime(evento);
    QTest::keyClicks(captura.mskHora, QStringLiteral("1030"));
    elige(captura.cmbMunicipio, QStringLiteral("Jiutepec"));
    elige(captura.cmbLocalidad, QStringLiteral("Progreso"));
    captura.txtEvento->setPlainText(
        QStringLiteral("Ceremonia de graduación de la generación 2008-2012 de la Universidad Politécnica"));
    elige(captura.CmbDirecciones, captura.CmbDirecciones->itemText(4));
    elige(captura.cmbNombreRep, QStringLiteral("Héctor Manuel Salazar Rivera"));
    QTest::keyClicks(captura.mskTelRep, QStringLiteral("7773180120"));
    elige(captura.cmbInstruccion, captura.cmbInstruccion->itemText(1));
    captura.optPrioritario->setChecked(true);
    captura.TxtObservacion->setPlainText(QStringLiteral("Confirmar el lugar asignado en el presídium."));
    guardaYConsulta(captura);
    retrata(captura, QStringLiteral("frmCaptura-funcionario"));
    retrataAmpliada(captura, QStringLiteral("frmCaptura-ampliada"));

    captura.LimpiaDatos();
    captura.CmbSuscriptor->setEditText(QStringLiteral("Ing. Tomás O'Connor Peña"));
    captura.TxtCargoSuscrip->setText(QStringLiteral("Presidente de la Cámara de Comercio de Cuautla"));
    captura.DTPFechaEvento->setDateTime(evento.addDays(3));
    QTest::keyClicks(captura.mskHora, QStringLiteral("1800"));
    elige(captura.cmbMunicipio, QStringLiteral("Cuautla"));
    elige(captura.cmbLocalidad, QStringLiteral("Cuautla"));
    captura.txtEvento->setPlainText(QStringLiteral("Inauguración de la Expo Educativa Oriente"));
    captura.CmbDirecciones->setEditText(QStringLiteral("Explanada del Jardín Revolución del Sur, Cuautla"));
    captura.optRepGob->setChecked(true);
    captura.cmbNombreRep->setEditText(QStringLiteral("Lic. Begoña Ríos Ávila"));
    captura.txtCargoFun->setText(QStringLiteral("Delegada Regional Zona Oriente"));
    captura.txtAreaFun->setText(QStringLiteral("Delegación Regional de Cuautla"));
    QTest::keyClicks(captura.mskCelularRep, QStringLiteral("735109"));
    elige(captura.cmbInstruccion, captura.cmbInstruccion->itemText(0));
    guardaYConsulta(captura);
    retrata(captura, QStringLiteral("frmCaptura-no-funcionario"));

    // A save that stops at the description shows the defaults it filled in.
    captura.LimpiaDatos();
    elige(captura.cmbInstruccion, captura.cmbInstruccion->itemText(2));
    captura.CmdGuardar->click();
    retrata(captura, QStringLiteral("frmCaptura-sin-municipio"));
    captura.hide();
}

} // namespace Galeria
