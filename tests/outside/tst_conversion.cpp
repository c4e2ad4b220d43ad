// The documents the program makes, opened by a real word processor: LibreOffice
// converts each to PDF, whose text must hold every value written. Runs where
// LibreOffice and pdftotext are installed (CI installs both) and says it is
// skipped elsewhere.
#include "capture/DocumentosDeOficio.h"
#include "outside/Reloj.h"
#include "support/EntornoDeDocumentos.h"
#include "support/EntornoDeVentanas.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString textoDelPdf(const QString& pdf) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(u"pdftotext"_s), {pdf, u"-"_s});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

bool contiene(const QString& texto, const QString& valor) {
    const QRegularExpression palabra(uR"((?<![\w/]))"_s + QRegularExpression::escape(valor.simplified()) +
                                     uR"((?![\w/]))"_s);
    return palabra.match(texto).hasMatch();
}

} // namespace

class TstConversion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pdf() {
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
        if (soffice.isEmpty())
            QSKIP(
                "LibreOffice no está instalado (paquete libreoffice-writer-nogui): la conversión a PDF no se "
                "prueba aquí");
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP(
                "pdftotext no está instalado (paquete poppler-utils): la conversión a PDF no se prueba aquí");

        RelojFijo reloj(QDateTime(QDate(2024, 3, 5), QTime(9, 15)));
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e;
        EntornoDeDocumentos docs;
        QList<QStringList> esperados;

        // The two office documents, through the capture window's routine.
        DatosDelOficio d;
        d.folio = u"12"_s;
        d.fechaFisica = QDateTime(QDate(2008, 7, 15), QTime(10, 0));
        d.caracter = DatosDelOficio::Caracter::Urgente;
        d.representante = u"Patricia Ocampo Bahena"_s;
        d.cargoRepresentante = u"Subsecretaria de Educación Básica"_s;
        d.suscriptor = u"Juana Ocampo Galindo"_s;
        d.cargoSuscriptor = u"Presidenta Municipal de Cuautla"_s;
        d.evento = u"Inauguración del aula «Ñandú»"_s;
        d.direccion = u"Callejón del Castigo 3, Cuautla"_s;
        d.fechaEvento = QDateTime(QDate(2024, 4, 12), QTime(8, 0));
        d.hora = u"10:30"_s;
        d.instruccion = u"4 Atender y enviar tarjeta informativa"_s;
        d.observacion = u"Llevar el mensaje"_s;
        for (const auto representa :
             {DatosDelOficio::Representa::Secretario, DatosDelOficio::Representa::Gobernador}) {
            d.representa = representa;
            docs.anotador.campos.clear();
            DocumentosDeOficio::CmdImprimir(d);
            QStringList valores;
            // The date field shows the date in its own format.
            for (const QString& c : std::as_const(docs.anotador.campos))
                valores << (c.startsWith("txtfecha="_L1) ? u"5 de marzo de 2024"_s : c.section(u'=', 1));
            esperados << valores;
        }

        // A query sheet with every one of its 550 fields written, each short enough for its column.
        auto hoja =
            ProcesadorDeTextos::actual().inicia()->nuevoDocumento(u"PlantillaConsulta.dot"_s, u"Consulta"_s);
        QStringList valores;
        for (int k = 1; k <= 50; ++k)
            for (const char* c :
                 {"txtfolio", "txtfecha", "txthora", "txtsusc", "txtcargosusc", "txtevento", "txtdireccion",
                  "txtrepresentante", "txtobservaciones", "txtrep_a", "txtinst"}) {
                const QString nombre = QString::fromLatin1(c);
                valores << (nombre == "txtfolio"_L1 ? u"F"_s : nombre.mid(3)) + QString::number(k);
                hoja->escribeCampo(nombre + QString::number(k), valores.constLast());
            }
        hoja->muestra();
        esperados << valores;
        QCOMPARE(docs.visor.abiertos.size(), 3);

        QTemporaryDir salida, perfil;
        QProcess lo;
        lo.setProcessChannelMode(QProcess::MergedChannels);
        lo.start(soffice,
                 QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(perfil.path()).toString(),
                             u"--headless"_s, u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, salida.path()}
                     << docs.visor.abiertos);
        QVERIFY(lo.waitForFinished(240000));
        QVERIFY2(lo.exitCode() == 0, lo.readAll().constData());

        for (int i = 0; i < docs.visor.abiertos.size(); ++i) {
            const QString pdf =
                QDir(salida.path())
                    .filePath(QFileInfo(docs.visor.abiertos.at(i)).completeBaseName() + u".pdf"_s);
            QVERIFY2(QFileInfo::exists(pdf), qPrintable(pdf));
            const QString texto = textoDelPdf(pdf);
            for (const QString& valor : esperados.at(i))
                QVERIFY2(contiene(texto, valor), qPrintable(valor + u" no está en "_s + pdf));
        }
    }
};

QTEST_MAIN(TstConversion)
#include "tst_conversion.moc"
