#include "Galeria.h"

#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "outside/Conexion.h"
#include "outside/reportes/Reporte.h"
#include "reports/FrmReportes.h"
#include "reports/FrmVerReporte.h"
#include "reports/RejillaDeDatos.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace Galeria {

namespace {
// A dozen invitations of November and December 2011.
void siembraInvitaciones() {
    struct Invitacion {
        int folio, mes, dia;
        const char *hora, *para, *prefijo1, *descripcion, *prefijo3, *ubicacion, *suscriptor, *cargo,
            *prefijo2, *representante, *cargoRepresentante;
        bool urgente;
    };
    const Invitacion invitaciones[] = {
        {101, 11, 7, "10:00", "Srio", "La", "inauguración de la Escuela Primaria \"Benito Juárez\"", "En",
         "Col. Centro, Xalapa", "Profra. Ana Luisa Ortiz", "Directora de la escuela", "", "Mtro. Julio Salas",
         "Subsecretario de Educación Básica", false},
        {102, 11, 9, "09:30", "Gob", "El", "informe anual de actividades del Instituto de Capacitación",
         "En el", "Teatro del Estado", "Ing. Ramiro Tejeda", "Director General del Instituto", "Lic.",
         "Ángel Muñoz Peña", "Director General de Planeación y Evaluación Educativa", true},
        {103, 11, 14, "SinHr", "Srio", "Las", "jornadas pedagógicas de la zona escolar 15", "En la",
         "Unidad Deportiva de Coatepec", "Mtra. Elena Ruiz", "Supervisora escolar", "", "", "", false},
        {104, 11, 18, "17:00", "Gob", "La", "entrega de becas a estudiantes de educación media superior",
         "En", "Plaza Lerdo", "C.P. Héctor Luna", "Presidente del Patronato", "Dr.", "Óscar Villalobos",
         "Subsecretario de Educación Media Superior y Superior", false},
        {105, 11, 25, "11:00", "Srio", "El", "foro estatal de educación indígena", "En el",
         "Museo de Antropología", "Lic. Sofía Hernández", "Coordinadora del foro", "", "Dra. Beatriz Carmona",
         "Directora de Educación Indígena", false},
        {106, 12, 2, "19:00", "Gob", "La", "cena de gala de la Asociación de Padres de Familia", "En",
         "Hotel Xalapa", "Sr. Tomás Ávila", "Presidente de la Asociación", "", "", "", false},
        {107, 12, 6, "08:00", "Srio", "La", "ceremonia de honores a la bandera", "En la",
         "Escuela Secundaria Técnica 3", "Profr. Raúl Gómez", "Director del plantel", "",
         "Lic. Carmen Treviño", "Directora de Educación Secundaria", true},
        {108, 12, 12, "12:00", "Gob", "Los", "festejos del 50 aniversario de la Normal Veracruzana", "En la",
         "Benemérita Escuela Normal", "Mtro. Luis Andrade", "Director de la Normal", "Mtro.", "Julio Salas",
         "Subsecretario de Educación Básica", false},
    };
    Conexion& kelmar = Modulo::kelmar();
    kelmar.enTransaccion([&] {
        for (const Invitacion& i : invitaciones) {
            const QDate fecha(2011, i.mes, i.dia);
            const QString representante = QString::fromUtf8(i.representante);
            const bool srio = QLatin1String(i.para) == QLatin1String("Srio");
            kelmar.ejecuta(
                QStringLiteral(
                    "insert into invitacion (Anio, Folio, FechaRecepcion, FechaEvento, Hora, Descripcion,"
                    " Ubicacion, Suscriptor, CargoSuscriptor, TelSuscriptor, Representante,"
                    " CargoRepresentante, TelRepresentante, Titular, CargoTitular, TelTitular, Caracter,"
                    " Indicacion, RepresentaA, Observacion, Estatus, Prefijo1, Prefijo2, Prefijo3,"
                    " UsrCaptura, FechaCaptura)"
                    " values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {2011,
                 i.folio,
                 fecha.addDays(-12),
                 fecha,
                 QString::fromLatin1(i.hora),
                 QString::fromUtf8(i.descripcion),
                 QString::fromUtf8(i.ubicacion),
                 QString::fromUtf8(i.suscriptor),
                 QString::fromUtf8(i.cargo),
                 QStringLiteral("228 841 7700"),
                 representante,
                 QString::fromUtf8(i.cargoRepresentante),
                 representante.isEmpty() ? QStringLiteral("") : QStringLiteral("228 841 7712"),
                 srio ? QStringLiteral("Mtro. Julio Salas") : QStringLiteral(""),
                 srio ? QStringLiteral("Subsecretario de Educación Básica") : QStringLiteral(""),
                 QStringLiteral(""),
                 i.urgente ? QStringLiteral("Urgente") : QStringLiteral("Normal"),
                 srio ? QStringLiteral("Asistir en representación del C. Secretario") : QStringLiteral(""),
                 QString::fromLatin1(i.para),
                 QStringLiteral(""),
                 representante.isEmpty() ? QStringLiteral("SINCONFIRMAR") : QStringLiteral("CONFIRMADA"),
                 QString::fromUtf8(i.prefijo1),
                 QString::fromUtf8(i.prefijo2),
                 QString::fromUtf8(i.prefijo3),
                 QStringLiteral("admin"),
                 QDateTime(fecha.addDays(-12), QTime(9, 0))});
        }
    });
}
} // namespace

void galeriaDeReportes() {
    siembraInvitaciones();
    {
        FrmReportes reportes;
        retrata(reportes, QStringLiteral("FrmReportes"));
        reportes.DTPFechaIni->setDate(QDate(2011, 11, 1));
        reportes.DTPFechaFin->setDate(QDate(2011, 12, 31));
        reportes.CmdBuscar->click();
        for (int fila : {0, 1, 4}) {
            reportes.DGInvitaciones->estableceFilaActual(fila);
            reportes.DGInvitaciones_DblClick();
        }
        retrata(reportes, QStringLiteral("FrmReportes-resultados"));
        retrataAmpliada(reportes, QStringLiteral("FrmReportes-resultados-ampliada"));
        reportes.OptReporte[2]->click();
        retrata(reportes, QStringLiteral("FrmReportes-gobernador"));
    }

    const struct {
        const char* archivo;
        const char* estado;
    } reportes[] = {{"RPTAcuerdosTodos.rpt", "acuerdos"},
                    {"RPTAcuerdosSrio.rpt", "acuerdos-srio"},
                    {"RPTAcuerdosGob.rpt", "acuerdos-gob"},
                    {"RPTInvitacionSecretario.rpt", "invitaciones-srio"},
                    {"RPTInvitacionGobernador.rpt", "invitaciones-gob"}};
    for (const auto& r : reportes) {
        std::shared_ptr<Reporte> reporte = Reporte::abre(QString::fromLatin1(r.archivo));
        reporte->estableceParametro(1, QDate(2011, 11, 1));
        reporte->estableceParametro(2, QDate(2011, 12, 31));
        for (int p = 3; p <= 5; ++p)
            reporte->estableceParametro(p, QString());
        reporte->estableceParametro(6, false);
        if (reporte->numeroDeParametros() == 7)
            reporte->estableceParametro(7, QStringLiteral("Todas"));
        reporte->iniciaSesion(Modulo::kelmar());
        FrmVerReporte vista;
        vista.estableceReporte(reporte);
        retrata(vista, QStringLiteral("FrmVerReporte-") + QString::fromLatin1(r.estado));
    }
}

} // namespace Galeria
