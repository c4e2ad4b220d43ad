#include "outside/ErrorDeEjecucion.h"
#include "outside/documentos/DocumentoOOXML.h"
#include "outside/documentos/PaqueteOOXML.h"
#include "outside/documentos/ProcesadorOOXML.h"
#include "support/BaseDePrueba.h"
#include "support/EntornoDeDocumentos.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString W = QStringLiteral("xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"");

// A legacy form field: begin with its form data, FORMTEXT, and the result runs given.
QString campo(const QString& nombre, const QString& resultado,
              const QString& entrada = QStringLiteral("<w:textInput/>"), bool separador = true,
              const QString& p = QStringLiteral("w")) {
    QString x =
        QStringLiteral("<%1:r><%1:rPr><%1:u %1:val=\"single\"/></%1:rPr><%1:fldChar %1:fldCharType=\"begin\">"
                       "<%1:ffData><%1:name %1:val=\"%2\"/><%1:enabled/>%3</%1:ffData></%1:fldChar></%1:r>"
                       "<%1:r><%1:instrText xml:space=\"preserve\"> FORMTEXT </%1:instrText></%1:r>")
            .arg(p, nombre, QString(entrada).replace(QLatin1String("w:"), p + QLatin1Char(':')));
    if (separador)
        x += QStringLiteral("<%1:r><%1:fldChar %1:fldCharType=\"separate\"/></%1:r>").arg(p) + resultado;
    return x + QStringLiteral("<%1:r><%1:fldChar %1:fldCharType=\"end\"/></%1:r>").arg(p);
}

QString run(const QString& texto, const QString& formato = {}) {
    return QStringLiteral("<w:r>%1<w:t xml:space=\"preserve\">%2</w:t></w:r>")
        .arg(formato.isEmpty() ? QString() : QStringLiteral("<w:rPr>%1</w:rPr>").arg(formato),
             texto.toHtmlEscaped());
}

QByteArray xml(const QString& cuerpo) {
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") + cuerpo)
        .toUtf8();
}

const QByteArray estilos =
    xml(QStringLiteral("<w:styles %1><!-- los estilos no cambian --></w:styles>").arg(W));

// A template made by hand with every shape a legacy field takes: results in
// several runs, none, no separator at all, a date field, a check box, a
// calculated field that is no form field, and fields in the header (written
// with another prefix) and the footer.
PaqueteOOXML plantillaDePrueba() {
    const QString cuerpo =
        QStringLiteral("<w:document %1><w:body>"
                       "<w:p>%2%3%4</w:p>"
                       "<w:p>%5 y %6</w:p>"
                       "<w:p>%7 %8 %9</w:p>")
            .arg(
                W, run(QStringLiteral("Antes ")),
                campo(QStringLiteral("varios"), run(QStringLiteral("uno"), QStringLiteral("<w:b/>")) +
                                                    run(QStringLiteral("dos")) +
                                                    run(QStringLiteral("tres"), QStringLiteral("<w:i/>"))),
                run(QStringLiteral(" después.")), campo(QStringLiteral("sinresultado"), QString()),
                campo(QStringLiteral("sinseparador"), QString(), QStringLiteral("<w:textInput/>"), false),
                campo(QStringLiteral("Mayusculas"), run(QStringLiteral("     "))),
                campo(QStringLiteral("fecha"), run(QStringLiteral("     ")),
                      QStringLiteral("<w:textInput><w:type w:val=\"date\"/><w:format w:val=\"d' de 'MMMM' de "
                                     "'yyyy\"/></w:textInput>")),
                campo(QStringLiteral("fechahora"), run(QStringLiteral("     ")))) +
        QStringLiteral(
            "<w:p>%1<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText> PAGE "
            "</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>%2<w:r><w:fldChar "
            "w:fldCharType=\"end\"/></w:r></w:p>"
            "<w:p>%3</w:p><w:sectPr/></w:body></w:document>")
            .arg(campo(QStringLiteral("casilla"), run(QStringLiteral("x")),
                       QStringLiteral("<w:checkBox><w:default w:val=\"0\"/></w:checkBox>")),
                 run(QStringLiteral("7")), run(QStringLiteral("Texto fijo & <marcas>")));
    PaqueteOOXML p;
    p.pon(QStringLiteral("[Content_Types].xml"),
          xml(QStringLiteral("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                             "<Default Extension=\"rels\" "
                             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                             "<Override PartName=\"/word/document.xml\" "
                             "ContentType=\"application/"
                             "vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/>"
                             "</Types>")));
    p.pon(QStringLiteral("_rels/.rels"),
          xml(QStringLiteral(
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"r1\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
              "Target=\"/word/document.xml\"/></Relationships>")));
    p.pon(QStringLiteral("word/document.xml"), xml(cuerpo));
    p.pon(QStringLiteral("word/styles.xml"), estilos);
    p.pon(
        QStringLiteral("word/header1.xml"),
        xml(QStringLiteral("<x:hdr xmlns:x=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                           "<x:p>%1</x:p></x:hdr>")
                .arg(campo(QStringLiteral("encabezado"), QStringLiteral("<x:r><x:t>     </x:t></x:r>"),
                           QStringLiteral("<w:textInput/>"), true, QStringLiteral("x")))));
    p.pon(QStringLiteral("word/footer1.xml"),
          xml(QStringLiteral("<w:ftr %1><w:p>%2%3</w:p></w:ftr>")
                  .arg(W, run(QStringLiteral("Pie: ")),
                       campo(QStringLiteral("pie"), run(QStringLiteral("     "))))));
    p.pon(QStringLiteral("word/_rels/document.xml.rels"),
          xml(QStringLiteral(
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"h\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" "
              "Target=\"header1.xml\"/>"
              "<Relationship Id=\"f\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" "
              "Target=\"footer1.xml\"/>"
              "<Relationship Id=\"e\" "
              "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink\" "
              "Target=\"https://example.org/\" TargetMode=\"External\"/></Relationships>")));
    return p;
}

QString guardaPaquete(const PaqueteOOXML& p, const QString& archivo) {
    QFile f(archivo);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    p.escribe(f, archivo);
    return archivo;
}

} // namespace

class TstDocumentos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The three templates of the build carry every field the documents write,
    // and the filler finds each of them.
    void plantillas_data() {
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QStringList>("campos");
        QTest::newRow("Secretario") << QStringLiteral("plantilla.dot")
                                    << QStringList{"txtfolio",           "txtfecha",    "txtcaracter",
                                                   "txtrepres",          "txtcargorep", "txtsuscriptor",
                                                   "txtcargosuscriptor", "txtevento",   "txtDireccion",
                                                   "txtfechavento",      "txthora",     "txtinstruccion",
                                                   "txtobservacion"};
        QTest::newRow("Gobernador") << QStringLiteral("PlantillaRepGob1.dot")
                                    << QStringList{"txtfolio",     "txtdia",       "txtmes",
                                                   "txtaño",       "txtreprese",   "txtcargorep1",
                                                   "txtevento",    "txtdireccion", "Txtdiaevento",
                                                   "Txtmesevento", "txthora",      "txtrepres",
                                                   "txtcargorep"};
        QStringList consulta;
        for (int k = 1; k <= 50; ++k)
            for (const char* c :
                 {"txtfolio", "txtfecha", "txthora", "txtsusc", "txtcargosusc", "txtevento", "txtdireccion",
                  "txtrepresentante", "txtobservaciones", "txtrep_a", "txtinst"})
                consulta << QString::fromLatin1(c) + QString::number(k);
        QTest::newRow("Consulta") << QStringLiteral("PlantillaConsulta.dot") << consulta;
    }
    void plantillas() {
        QFETCH(QString, plantilla);
        QFETCH(QStringList, campos);
        QTemporaryDir dir;
        VisorGuionado visor;
        ProcesadorOOXML word({EntornoDeDocumentos::carpetaDePlantillas()}, dir.path(), visor);
        const QString archivo = word.ubicaPlantilla(plantilla);
        QVERIFY(archivo.endsWith(plantilla + QLatin1Char('x')));

        const LecturaDeDocx leida(archivo);
        QVERIFY2(leida.valido, qPrintable(leida.error));
        QCOMPARE(leida.tipoPrincipal,
                 QStringLiteral(
                     "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"));
        QStringList enLaPlantilla = leida.nombres;
        QStringList esperados = campos;
        enLaPlantilla.sort();
        esperados.sort();
        QCOMPARE(enLaPlantilla, esperados);

        DocumentoOOXML doc(PaqueteOOXML::lee(archivo), plantilla);
        QCOMPARE(doc.campos().size(), campos.size());
        for (const QString& c : campos)
            QVERIFY2(doc.tieneCampo(c), qPrintable(c));
    }

    // Each shape of field takes its value; the first result run keeps its
    // formatting, the others go; untouched fields keep their result.
    void llenado_data() {
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("varios runs") << "varios" << QVariant(QStringLiteral("Ñandú «1»")) << "Ñandú «1»";
        QTest::newRow("sin resultado") << "sinresultado" << QVariant(QStringLiteral("valor")) << "valor";
        QTest::newRow("sin separador") << "sinseparador" << QVariant(QStringLiteral("valor")) << "valor";
        QTest::newRow("otra caja") << "MAYUSCULAS" << QVariant(QStringLiteral("caja")) << "caja";
        QTest::newRow("saltos y tabuladores")
            << "varios" << QVariant(QStringLiteral("a\r\nb\tc\rd")) << "a\nb\tc\nd";
        QTest::newRow("caracter de control") << "varios" << QVariant(QStringLiteral("a\x01z")) << "a\uFFFDz";
        QTest::newRow("fecha con formato")
            << "fecha" << QVariant(QDateTime(QDate(2024, 3, 5), QTime(9, 7))) << "5 de marzo de 2024";
        QTest::newRow("fecha y hora")
            << "fechahora" << QVariant(QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3))) << "05/03/2024 09:07:03";
        QTest::newRow("solo fecha") << "fechahora" << QVariant(QDate(2024, 12, 31)) << "31/12/2024";
        QTest::newRow("vacio") << "varios" << QVariant(QString()) << "";
        QTest::newRow("encabezado") << "encabezado" << QVariant(QStringLiteral("arriba")) << "arriba";
        QTest::newRow("pie") << "pie" << QVariant(QStringLiteral("abajo")) << "abajo";
    }
    void llenado() {
        QFETCH(QString, campo);
        QFETCH(QVariant, valor);
        QFETCH(QString, esperado);
        QTemporaryDir dir;
        const QString antes =
            guardaPaquete(plantillaDePrueba(), dir.filePath(QStringLiteral("plantilla.dotx")));
        const LecturaDeDocx original(antes);
        QVERIFY(original.valido);

        DocumentoOOXML doc(PaqueteOOXML::lee(antes), QStringLiteral("plantilla.dotx"));
        doc.escribeCampo(campo, QStringLiteral("primero, que el segundo reemplaza"));
        doc.escribeCampo(campo, valor);
        const PaqueteOOXML hecho = doc.paquete();
        const LecturaDeDocx leido(guardaPaquete(hecho, dir.filePath(QStringLiteral("hecho.docx"))));
        QVERIFY2(leido.valido, qPrintable(leido.error));

        const QString nombre = campo == QLatin1String("MAYUSCULAS") ? QStringLiteral("Mayusculas") : campo;
        for (const QString& otro : original.nombres)
            QCOMPARE(leido.resultados.value(otro),
                     otro == nombre ? esperado : original.resultados.value(otro));
        QCOMPARE(leido.nombres, original.nombres);
        // Nothing outside the fields changes, nor any other part.
        QCOMPARE(leido.fuera, original.fuera);
        QCOMPARE(hecho.parte(QStringLiteral("word/styles.xml")), estilos);
        QCOMPARE(leido.tipoPrincipal,
                 QStringLiteral(
                     "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"));
        if (campo == QLatin1String("varios") && !esperado.contains(QLatin1Char('\n'))) {
            const QString cuerpo = QString::fromUtf8(hecho.parte(QStringLiteral("word/document.xml")));
            QVERIFY2(
                cuerpo.contains(QStringLiteral("<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">")),
                qPrintable(cuerpo));
            QVERIFY(!cuerpo.contains(QStringLiteral(">dos<")) && !cuerpo.contains(QStringLiteral("<w:i/>")));
        }
    }

    // A field the template lacks, or one that takes no text, is an error that
    // names it and the template.
    void camposQueNoEstan_data() {
        QTest::addColumn<QString>("campo");
        QTest::newRow("inexistente") << "txtnoexiste";
        QTest::newRow("casilla") << "casilla";
    }
    void camposQueNoEstan() {
        QFETCH(QString, campo);
        DocumentoOOXML doc(plantillaDePrueba(), QStringLiteral("PlantillaX.dotx"));
        const ErrorDeEjecucion e = errorDe([&] { doc.escribeCampo(campo, QStringLiteral("x")); });
        QCOMPARE(e.numero(), ErrorDeTextos::CampoInexistente);
        QVERIFY2(e.descripcion().contains(campo) &&
                     e.descripcion().contains(QStringLiteral("PlantillaX.dotx")),
                 qPrintable(e.descripcion()));
    }

    // Which file a template name stands for, and the errors of a template
    // that is not there or cannot be filled.
    void ubicacion_data() {
        QTest::addColumn<QStringList>("archivos"); // "name:kind", kind paquete, binario or dañado
        QTest::addColumn<QString>("elegido");
        QTest::addColumn<int>("error");
        QTest::newRow("dotx") << QStringList{"plantilla.dotx:paquete"} << "plantilla.dotx" << 0;
        QTest::newRow("dot que es paquete")
            << QStringList{"plantilla.dot:paquete", "plantilla.dotx:paquete"} << "plantilla.dot" << 0;
        QTest::newRow("dot binario") << QStringList{"plantilla.dot:binario", "plantilla.dotx:paquete"}
                                     << "plantilla.dotx" << 0;
        QTest::newRow("solo dot binario")
            << QStringList{"plantilla.dot:binario"} << QString() << ErrorDeTextos::PlantillaInexistente;
        QTest::newRow("ninguna") << QStringList{} << QString() << ErrorDeTextos::PlantillaInexistente;
        QTest::newRow("dotx dañado") << QStringList{"plantilla.dotx:binario"} << QString()
                                     << ErrorDeTextos::PlantillaIlegible;
        QTest::newRow("sin documento")
            << QStringList{"plantilla.dotx:sin documento"} << QString() << ErrorDeTextos::PlantillaIlegible;
    }
    void ubicacion() {
        QFETCH(QStringList, archivos);
        QFETCH(QString, elegido);
        QFETCH(int, error);
        QTemporaryDir plantillas, documentos;
        for (const QString& a : archivos) {
            const QString nombre = a.section(QLatin1Char(':'), 0, 0), clase = a.section(QLatin1Char(':'), 1);
            if (clase == QLatin1String("binario")) {
                QFile f(plantillas.filePath(nombre));
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write("\xD0\xCF\x11\xE0 documento binario de 1997");
            } else {
                PaqueteOOXML p = plantillaDePrueba();
                if (clase == QLatin1String("sin documento"))
                    p.pon(QStringLiteral("_rels/.rels"),
                          xml(QStringLiteral("<Relationships xmlns=\"http://"
                                             "schemas.openxmlformats.org/package/"
                                             "2006/relationships\"/>")));
                QVERIFY(!guardaPaquete(p, plantillas.filePath(nombre)).isEmpty());
            }
        }
        VisorGuionado visor;
        ProcesadorOOXML word({documentos.filePath(QStringLiteral("no-existe")), plantillas.path()},
                             documentos.path(), visor);
        const auto app = word.inicia();
        std::unique_ptr<DocumentoDeTexto> doc;
        const ErrorDeEjecucion e =
            errorDe([&] { doc = app->nuevoDocumento(QStringLiteral("plantilla.dot"), {}); });
        QCOMPARE(e.numero(), error);
        if (error == 0) {
            QCOMPARE(word.ubicaPlantilla(QStringLiteral("plantilla.dot")), plantillas.filePath(elegido));
            return;
        }
        QVERIFY2(e.descripcion().contains(QStringLiteral("plantilla.dot")), qPrintable(e.descripcion()));
        if (error == ErrorDeTextos::PlantillaInexistente)
            QVERIFY2(e.descripcion().contains(QDir::toNativeSeparators(plantillas.path())),
                     qPrintable(e.descripcion()));
        QCOMPARE(QDir(documentos.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // Each document gets a name of its own, never another's, in a folder made
    // when missing; the desktop is handed each one; a changed template is read again.
    void guardado() {
        QTemporaryDir plantillas, raiz;
        const QString documentos = raiz.filePath(QStringLiteral("Mis documentos/TALOREN"));
        QVERIFY(!guardaPaquete(plantillaDePrueba(), plantillas.filePath(QStringLiteral("plantilla.dotx")))
                     .isEmpty());
        QFile ajeno(
            QDir(documentos).filePath(QStringLiteral("Oficio del Secretario, folio 1-2 de 2024 (2).docx")));
        VisorGuionado visor;
        ProcesadorOOXML word({plantillas.path()}, documentos, visor);
        QStringList hechos;
        for (int i = 0; i < 3; ++i) {
            auto doc = word.inicia()->nuevoDocumento(
                QStringLiteral("plantilla.dot"), QStringLiteral("Oficio del Secretario, folio 1/2 de 2024"));
            doc->escribeCampo(QStringLiteral("varios"), QString::number(i));
            const DocumentoMostrado d = doc->muestra();
            QVERIFY(d.abierto);
            hechos << QFileInfo(d.archivo).fileName();
            QCOMPARE(LecturaDeDocx(d.archivo).resultados.value(QStringLiteral("varios")), QString::number(i));
            // Another's file under the next name is passed over, not replaced.
            if (i == 0) {
                QVERIFY(ajeno.open(QIODevice::WriteOnly));
                ajeno.write("de otro");
                ajeno.close();
            }
        }
        QCOMPARE(hechos, (QStringList{"Oficio del Secretario, folio 1-2 de 2024 (1).docx",
                                      "Oficio del Secretario, folio 1-2 de 2024 (3).docx",
                                      "Oficio del Secretario, folio 1-2 de 2024 (4).docx"}));
        QVERIFY(ajeno.open(QIODevice::ReadOnly));
        QCOMPARE(ajeno.readAll(), QByteArray("de otro"));
        QCOMPARE(visor.abiertos.size(), 3);
        QCOMPARE(QDir(documentos).entryList(QDir::Files | QDir::Hidden).size(), 4);

        // A template changed on disk is read anew.
        PaqueteOOXML otra = plantillaDePrueba();
        otra.pon(QStringLiteral("word/styles.xml"), estilos + "<!-- otra -->");
        QVERIFY(!guardaPaquete(otra, plantillas.filePath(QStringLiteral("plantilla.dotx"))).isEmpty());
        auto doc = word.inicia()->nuevoDocumento(QStringLiteral("plantilla.dot"), QStringLiteral("otra"));
        visor.puedeAbrir = false;
        const DocumentoMostrado d = doc->muestra();
        QVERIFY(!d.abierto);
        QCOMPARE(PaqueteOOXML::lee(d.archivo).parte(QStringLiteral("word/styles.xml")),
                 estilos + "<!-- otra -->");
    }

    // A documents folder that cannot be made stops the start; one that goes
    // away before saving fails the save and leaves nothing half-written.
    void dispositivos() {
        QTemporaryDir plantillas, raiz;
        QVERIFY(!guardaPaquete(plantillaDePrueba(), plantillas.filePath(QStringLiteral("plantilla.dotx")))
                     .isEmpty());
        QFile estorbo(raiz.filePath(QStringLiteral("archivo")));
        QVERIFY(estorbo.open(QIODevice::WriteOnly));
        estorbo.close();
        VisorGuionado visor;
        {
            ProcesadorOOXML word({plantillas.path()}, raiz.filePath(QStringLiteral("archivo/TALOREN")),
                                 visor);
            const ErrorDeEjecucion e = errorDe([&] { word.inicia(); });
            QCOMPARE(e.numero(), ErrorDeTextos::NoSeInicia);
            QVERIFY2(e.descripcion().contains(QStringLiteral("archivo/TALOREN")),
                     qPrintable(e.descripcion()));
        }
        const QString documentos = raiz.filePath(QStringLiteral("docs"));
        ProcesadorOOXML word({plantillas.path()}, documentos, visor);
        auto doc = word.inicia()->nuevoDocumento(QStringLiteral("plantilla.dot"), QStringLiteral("hoja"));
        doc->escribeCampo(QStringLiteral("varios"), QStringLiteral("x"));
        QVERIFY(QDir(documentos).removeRecursively());
        QFile enSuLugar(documentos);
        QVERIFY(enSuLugar.open(QIODevice::WriteOnly));
        enSuLugar.close();
        const ErrorDeEjecucion e = errorDe([&] { doc->muestra(); });
        QCOMPARE(e.numero(), ErrorDeTextos::NoSeGuarda);
        QVERIFY(visor.abiertos.isEmpty());
        QCOMPARE(QDir(raiz.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"archivo", "docs"}));
    }
};

QTEST_GUILESS_MAIN(TstDocumentos)
#include "tst_documentos.moc"
