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

namespace {

QString textoDelPdf(const QString& pdf) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

bool contiene(const QString& texto, const QString& valor) {
    const QRegularExpression palabra(QStringLiteral("(?<![\\w/])") +
                                     QRegularExpression::escape(valor.simplified()) +
                                     QStringLiteral("(?![\\w/])"));
    return palabra.match(texto).hasMatch();
}

} // namespace

class TstConversion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pdf() {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP(
                "LibreOffice no está instalado (paquete libreoffice-writer-nogui): la conversión a PDF no se "
                "prueba aquí");
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP(
                "pdftotext no está instalado (paquete poppler-utils): la conversión a PDF no se prueba aquí");

        RelojFijo reloj(QDateTime(QDate(2024, 3, 5), QTime(9, 15)));
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e;
        EntornoDeDocumentos docs;
        QList<QStringList> esperados;

        // The two office documents, through the capture window's routine.
        DatosDelOficio d;
        d.folio = QStringLiteral("12");
        d.fechaFisica = QDateTime(QDate(2008, 7, 15), QTime(10, 0));
        d.caracter = DatosDelOficio::Caracter::Urgente;
        d.representante = QStringLiteral("Patricia Ocampo Bahena");
        d.cargoRepresentante = QStringLiteral("Subsecretaria de Educación Básica");
        d.suscriptor = QStringLiteral("Juana Ocampo Galindo");
        d.cargoSuscriptor = QStringLiteral("Presidenta Municipal de Cuautla");
        d.evento = QStringLiteral("Inauguración del aula «Ñandú»");
        d.direccion = QStringLiteral("Callejón del Castigo 3, Cuautla");
        d.fechaEvento = QDateTime(QDate(2024, 4, 12), QTime(8, 0));
        d.hora = QStringLiteral("10:30");
        d.instruccion = QStringLiteral("4 Atender y enviar tarjeta informativa");
        d.observacion = QStringLiteral("Llevar el mensaje");
        for (const auto representa :
             {DatosDelOficio::Representa::Secretario, DatosDelOficio::Representa::Gobernador}) {
            d.representa = representa;
            docs.anotador.operaciones.clear();
            DocumentosDeOficio::CmdImprimir(d);
            QStringList valores;
            for (const QString& c : docs.anotador.campos())
                if (!c.startsWith(QLatin1String("txtfecha=")))
                    valores << c.section(QLatin1Char('='), 1);
            if (representa == DatosDelOficio::Representa::Secretario)
                valores << QStringLiteral("5 de marzo de 2024");
            esperados << valores;
        }

        // A query sheet with every one of its 550 fields written.
        {
            auto hoja = ProcesadorDeTextos::actual().inicia()->nuevoDocumento(
                QStringLiteral("PlantillaConsulta.dot"), QStringLiteral("Consulta de prueba"));
            QStringList valores;
            for (int k = 1; k <= 50; ++k)
                for (const char* c :
                     {"txtfolio", "txtfecha", "txthora", "txtsusc", "txtcargosusc", "txtevento",
                      "txtdireccion", "txtrepresentante", "txtobservaciones", "txtrep_a", "txtinst"}) {
                    // Short enough for the narrowest column.
                    const QString nombre = QString::fromLatin1(c);
                    const QString valor =
                        (nombre == QLatin1String("txtfolio") ? QStringLiteral("F") : nombre.mid(3)) +
                        QString::number(k);
                    hoja->escribeCampo(QString::fromLatin1(c) + QString::number(k), valor);
                    valores << valor;
                }
            hoja->muestra();
            esperados << valores;
        }
        QCOMPARE(docs.visor.abiertos.size(), 3);

        QTemporaryDir salida, perfil;
        QProcess lo;
        lo.setProcessChannelMode(QProcess::MergedChannels);
        lo.start(soffice, QStringList{QStringLiteral("-env:UserInstallation=") +
                                          QUrl::fromLocalFile(perfil.path()).toString(),
                                      QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                      QStringLiteral("pdf"), QStringLiteral("--outdir"), salida.path()}
                              << docs.visor.abiertos);
        QVERIFY(lo.waitForFinished(240000));
        QVERIFY2(lo.exitCode() == 0, lo.readAll().constData());

        for (int i = 0; i < docs.visor.abiertos.size(); ++i) {
            const QString pdf = QDir(salida.path())
                                    .filePath(QFileInfo(docs.visor.abiertos.at(i)).completeBaseName() +
                                              QStringLiteral(".pdf"));
            QVERIFY2(QFileInfo::exists(pdf), qPrintable(pdf));
            const QString texto = textoDelPdf(pdf);
            for (const QString& valor : esperados.at(i))
                QVERIFY2(contiene(texto, valor), qPrintable(valor + QStringLiteral(" no está en ") + pdf));
        }
    }
};

QTEST_MAIN(TstConversion)
#include "tst_conversion.moc"
