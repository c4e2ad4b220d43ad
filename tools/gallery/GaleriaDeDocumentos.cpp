#include "Galeria.h"

#include "common/DocumentosDeOficio.h"
#include "controls/BotonesDeComando.h"
#include "outside/documentos/ProcesadorOOXML.h"
#include "queries/frmConsultas.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QUrl>

namespace Galeria {

namespace {
// The desktop of the gallery: keeps the documents made, to picture them.
class VisorDeLaGaleria : public VisorDeDocumentos {
public:
    bool abre(const QString& archivo) override {
        documentos << archivo;
        return true;
    }
    QStringList documentos;
};

void haceOficios() {
    DatosDelOficio d;
    d.folio = QStringLiteral("12");
    d.fechaFisica = QDateTime::currentDateTime().addDays(-3);
    d.caracter = DatosDelOficio::Caracter::Prioritario;
    d.representante = QStringLiteral("Patricia Ocampo Bahena");
    d.cargoRepresentante = QStringLiteral("Subsecretaria de Educación Básica");
    d.suscriptor = QStringLiteral("Juana Ocampo Galindo");
    d.cargoSuscriptor = QStringLiteral("Presidenta Municipal de Cuautla");
    d.evento = QStringLiteral("Inauguración de aulas en la Escuela Primaria \"Emiliano Zapata\"");
    d.direccion = QStringLiteral("Callejón del Castigo 3, Col. Centro, Cuautla");
    d.fechaEvento = QDateTime::currentDateTime().addDays(9);
    d.hora = QStringLiteral("10:30");
    d.instruccion = QStringLiteral("2 Asistir y rendir tarjeta informativa al C. Secretario de Educación");
    d.observacion = QStringLiteral("Llevar el mensaje del C. Secretario.");
    d.representa = DatosDelOficio::Representa::Secretario;
    DocumentosDeOficio::CmdImprimir(d);
    d.representa = DatosDelOficio::Representa::Gobernador;
    DocumentosDeOficio::CmdImprimir(d);
}

// The first page of each document as LibreOffice lays it out: converted to
// PDF, whose first page poppler draws.
void retrataDocumentos(const QStringList& documentos, const QStringList& nombres) {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (soffice.isEmpty() || pdftoppm.isEmpty()) {
        QTextStream(stderr)
            << "gallery: sin LibreOffice (libreoffice-writer-nogui) o sin pdftoppm (poppler-utils);"
               " las plantillas llenas no se retratan.\n";
        return;
    }
    QTemporaryDir salida, perfil;
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(soffice, QStringList{QStringLiteral("-env:UserInstallation=") +
                                      QUrl::fromLocalFile(perfil.path()).toString(),
                                  QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                  QStringLiteral("pdf"), QStringLiteral("--outdir"), salida.path()}
                          << documentos);
    if (!lo.waitForFinished(300000) || lo.exitCode() != 0)
        qFatal("LibreOffice no convirtió los documentos: %s", lo.readAll().constData());
    for (int i = 0; i < documentos.size(); ++i) {
        const QString base = QDir(salida.path()).filePath(QFileInfo(documentos.at(i)).completeBaseName());
        QProcess dibujo;
        dibujo.setProcessChannelMode(QProcess::MergedChannels);
        dibujo.start(pdftoppm,
                     {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("80"),
                      QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                      QStringLiteral("-singlefile"), base + QStringLiteral(".pdf"), base});
        QImage imagen;
        if (!dibujo.waitForFinished(60000) || dibujo.exitCode() != 0 ||
            !imagen.load(base + QStringLiteral(".png")))
            qFatal("no se dibujó %s: %s", qPrintable(documentos.at(i)), dibujo.readAll().constData());
        guarda(QPixmap::fromImage(imagen), nombres.at(i));
    }
}
} // namespace

void galeriaDeDocumentos() {
    QTemporaryDir documentos;
    VisorDeLaGaleria visor;
    ProcesadorOOXML word(ProcesadorOOXML::carpetasDeDatosDelPrograma(), documentos.path(), visor);
    const ProcesadorDeTextos::Sustituto conWord(word);
    {
        // A query sheet of the events the query window found.
        frmConsultas consultas;
        consultas.show();
        consultas.OptFecha[2]->click();
        consultas.CmdBuscar->click();
        consultas.cmdimprimeconsulta->click();
    }
    haceOficios();
    if (visor.documentos.size() != 3)
        qFatal("se esperaban tres documentos y se hicieron %d", int(visor.documentos.size()));
    retrataDocumentos({visor.documentos.at(1), visor.documentos.at(2), visor.documentos.at(0)},
                      {QStringLiteral("plantilla-llena"), QStringLiteral("PlantillaRepGob1-llena"),
                       QStringLiteral("PlantillaConsulta-llena")});
}

} // namespace Galeria
