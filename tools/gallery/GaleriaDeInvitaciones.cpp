#include "Galeria.h"

#include "controls/BotonesDeComando.h"
#include "controls/CmbClaveDescrip.h"
#include "controls/TextoMultilinea.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "outside/CajaDeMensajes.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace Galeria {

namespace {

void eligeEn(QComboBox* lista, const QString& entrada) {
    lista->setCurrentIndex(lista->findText(entrada));
}

// An invitation typed into the registration window, up to the representative.
void tecleaInvitacion(FrmRegistrarInvitacion& v, const QString& descripcion) {
    v.DTPFechaEvento->setDate(v.DTPFechaEvento->date().addDays(9));
    eligeEn(v.CmbHoraEvento, QStringLiteral("10:30"));
    eligeEn(v.CmbPrefijo1, QStringLiteral("a la"));
    v.TxtDescripcion->setText(descripcion);
    eligeEn(v.CmbPrefijo3, QStringLiteral("el"));
    v.TxtUbicacionEvento->setText(QStringLiteral("Teatro Ocampo, Calle Rayón 1, Col. Centro, Cuernavaca"));
    v.TxtObservacion->setText(QStringLiteral("Se requiere confirmar asistencia antes del jueves."));
    v.TxtQuienInvita->setText(QStringLiteral("Alberto Sánchez Gallegos"));
    v.TxtCargoSuscrip->setText(QStringLiteral("Presidente Municipal de Cuernavaca"));
    v.TxtTelsSuscrip->setText(QStringLiteral("777-3182300 ext. 1204"));
}
} // namespace

void galeriaDeInvitaciones() {
    {
        FrmRegistrarInvitacion v;
        retrata(v, QStringLiteral("FrmRegistrarInvitacion"));
        tecleaInvitacion(v, QStringLiteral("Ceremonia de entrega de reconocimientos a docentes con 30 años "
                                           "de servicio"));
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-evento"));

        v.TabInvitacion->setCurrentIndex(1);
        eligeEn(v.CmbIndicacion, QStringLiteral("Designar a un representante y confirmar su asistencia"));
        v.TxtTitularDelArea->setText(QStringLiteral("mar"));
        v.TxtTitularDelArea->setFocus();
        QTest::keyClick(v.TxtTitularDelArea, Qt::Key_F2);
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-busqueda"));
        retrataAmpliada(v, QStringLiteral("FrmRegistrarInvitacion-busqueda-ampliada"));
        v.CmdAceptar->click();
        v.TxtTelsTitular->setText(QStringLiteral("777-3180190"));
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-secretario"));
        {
            CajaQueAcepta acepta;
            const CajaDeMensajes::Sustituto enUso(acepta);
            v.CmdGuardar->click();
        }
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-guardada"));

        tecleaInvitacion(v, QStringLiteral("Informe anual de actividades del Ayuntamiento de Cuernavaca"));
        v.OptGob->setChecked(true);
        v.TabInvitacion->setCurrentIndex(1);
        eligeEn(v.CmbPrefijo2, QStringLiteral("del"));
        v.TxtRepresentante->setText(QStringLiteral("Lic. María Elena Ortiz Salgado"));
        v.TxtCargoRepresentante->setText(QStringLiteral("Secretario Particular"));
        v.TxtTelsRepresentante->setText(QStringLiteral("777-3180102"));
        retrata(v, QStringLiteral("FrmRegistrarInvitacion-gobernador"));
        v.CmdGuardar->click();
        v.close();
    }
    {
        FrmModificarInvitacion v;
        retrata(v, QStringLiteral("FrmModificarInvitacion"));
        v.TxtFolio->setText(QStringLiteral("1"));
        v.CmdConsultarFolio->click();
        retrata(v, QStringLiteral("FrmModificarInvitacion-consultada"));
        retrataAmpliada(v, QStringLiteral("FrmModificarInvitacion-consultada-ampliada"));
        v.TabInvitacion->setCurrentIndex(1);
        retrata(v, QStringLiteral("FrmModificarInvitacion-representante"));
        v.TxtFolio->setText(QStringLiteral("2"));
        v.CmdConsultarFolio->click();
        retrata(v, QStringLiteral("FrmModificarInvitacion-gobernador"));
        v.close();
    }
}

} // namespace Galeria
