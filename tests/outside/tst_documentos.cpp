#include "outside/ErrorDeEjecucion.h"
#include "outside/documentos/DocumentoOOXML.h"
#include "outside/documentos/PaqueteOOXML.h"
#include "outside/documentos/ProcesadorOOXML.h"
#include "support/BaseDePrueba.h"
#include "support/EntornoDeDocumentos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString W = uR"(xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"_s;
const QString relaciones =
    uR"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"_s;
const QString tipoDeRelacion = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"_s;

// A legacy form field: begin with its form data, FORMTEXT, and the result runs given; in the
// prefix `p` for the main namespace.
QString campo(const QString& nombre, const QString& resultado, const QString& entrada = u"<w:textInput/>"_s,
              bool separador = true, const QString& p = u"w"_s) {
    QString x =
        uR"(<w:r><w:rPr><w:u w:val="single"/></w:rPr><w:fldChar w:fldCharType="begin"><w:ffData>)"
        uR"(<w:name w:val="%1"/><w:enabled/>%2</w:ffData></w:fldChar></w:r>)"
        uR"(<w:r><w:instrText xml:space="preserve"> FORMTEXT </w:instrText></w:r>)"_s.arg(nombre, entrada);
    if (separador)
        x += uR"(<w:r><w:fldChar w:fldCharType="separate"/></w:r>)"_s + resultado;
    x += uR"(<w:r><w:fldChar w:fldCharType="end"/></w:r>)"_s;
    return x.replace(u"w:"_s, p + u':');
}

QString run(const QString& texto, const QString& formato = {}) {
    return uR"(<w:r>%1<w:t xml:space="preserve">%2</w:t></w:r>)"_s.arg(
        formato.isEmpty() ? QString() : "<w:rPr>" + formato + "</w:rPr>", texto.toHtmlEscaped());
}

QByteArray xml(const QString& cuerpo) {
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"_s + cuerpo).toUtf8();
}

const QByteArray estilos = xml(u"<w:styles %1><!-- los estilos no cambian --></w:styles>"_s.arg(W));

// A template made by hand with every shape a legacy field takes: results in several runs, none,
// no separator at all, a date field, a check box, a calculated field that is no form field, and
// fields in the header (written with another prefix) and the footer.
PaqueteOOXML plantillaDePrueba() {
    const QString blancos = run(u"     "_s);
    const QString cuerpo =
        u"<w:document %1><w:body><w:p>%2%3%4</w:p><w:p>%5 y %6</w:p><w:p>%7 %8 %9</w:p>"_s.arg(
            W, run(u"Antes "_s),
            campo(u"varios"_s, run(u"uno"_s, u"<w:b/>"_s) + run(u"dos"_s) + run(u"tres"_s, u"<w:i/>"_s)),
            run(u" después."_s), campo(u"sinresultado"_s, QString()),
            campo(u"sinseparador"_s, QString(), u"<w:textInput/>"_s, false), campo(u"Mayusculas"_s, blancos),
            campo(u"fecha"_s, blancos,
                  uR"(<w:textInput><w:type w:val="date"/>)"
                  uR"(<w:format w:val="d' de 'MMMM' de 'yyyy"/></w:textInput>)"_s),
            campo(u"fechahora"_s, blancos)) +
        uR"(<w:p>%1<w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText> PAGE </w:instrText>)"
        uR"(</w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r>%2<w:r><w:fldChar w:fldCharType="end"/>)"
        uR"(</w:r></w:p>)"
        uR"(<w:p>%3</w:p><w:sectPr/></w:body></w:document>)"_s.arg(
            campo(u"casilla"_s, run(u"x"_s), uR"(<w:checkBox><w:default w:val="0"/></w:checkBox>)"_s),
            run(u"7"_s), run(u"Texto fijo & <marcas>"_s));
    PaqueteOOXML p;
    p.pon(u"[Content_Types].xml"_s,
          xml(uR"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
              uR"(<Default Extension="rels" )"
              uR"(ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
              uR"(<Default Extension="xml" ContentType="application/xml"/>)"
              uR"(<Override PartName="/word/document.xml" ContentType=")"
              uR"(application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml"/>)"
              uR"(</Types>)"_s));
    p.pon(u"_rels/.rels"_s,
          xml(relaciones + uR"(<Relationship Id="r1" Type="%1officeDocument" )"
                           uR"(Target="/word/document.xml"/></Relationships>)"_s.arg(tipoDeRelacion)));
    p.pon(u"word/document.xml"_s, xml(cuerpo));
    p.pon(u"word/styles.xml"_s, estilos);
    p.pon(u"word/header1.xml"_s,
          xml(u"<x:hdr %1><x:p>%2</x:p></x:hdr>"_s.arg(
              QString(W).replace(u"xmlns:w"_s, u"xmlns:x"_s),
              campo(u"encabezado"_s, u"<x:r><x:t>     </x:t></x:r>"_s, u"<w:textInput/>"_s, true, u"x"_s))));
    p.pon(u"word/footer1.xml"_s,
          xml(u"<w:ftr %1><w:p>%2%3</w:p></w:ftr>"_s.arg(W, run(u"Pie: "_s), campo(u"pie"_s, blancos))));
    p.pon(u"word/_rels/document.xml.rels"_s,
          xml(relaciones +
              uR"(<Relationship Id="h" Type="%1header" Target="header1.xml"/>)"
              uR"(<Relationship Id="f" Type="%1footer" Target="footer1.xml"/><Relationship Id="e" )"
              uR"(Type="%1hyperlink" Target="https://example.org/" TargetMode="External"/></Relationships>)"_s
                  .arg(tipoDeRelacion)));
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
    // Each shape of field takes its value (the last written); the first result run keeps its
    // formatting, the others go; untouched fields, text outside the fields and other parts stay.
    void llenado_data() {
        const QString noEsta = u"(error)"_s;
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<QString>("esperado");
        const auto fila = [&](const char* nombre, const char* campo, const QVariant& valor,
                              const char* esperado) {
            QTest::newRow(nombre) << QString::fromUtf8(campo) << valor
                                  << (esperado ? QString::fromUtf8(esperado) : noEsta);
        };
        fila("varios runs", "varios", u"Ñandú «1»"_s, "Ñandú «1»");
        fila("sin resultado", "sinresultado", u"valor"_s, "valor");
        fila("sin separador", "sinseparador", u"valor"_s, "valor");
        fila("otra caja", "MAYUSCULAS", u"caja"_s, "caja");
        fila("saltos y tabuladores", "varios", u"a\r\nb\tc\rd"_s, "a\nb\tc\nd");
        fila("caracter de control", "varios", u"a\x01z"_s, "a\uFFFDz");
        fila("fecha con formato", "fecha", QDateTime(QDate(2024, 3, 5), QTime(9, 7)), "5 de marzo de 2024");
        fila("fecha y hora", "fechahora", QDateTime(QDate(2024, 3, 5), QTime(9, 7, 3)),
             "05/03/2024 09:07:03");
        fila("solo fecha", "fechahora", QDate(2024, 12, 31), "31/12/2024");
        fila("vacio", "varios", QString(), "");
        fila("encabezado", "encabezado", u"arriba"_s, "arriba");
        fila("pie", "pie", u"abajo"_s, "abajo");
        // A field the template lacks, or one that takes no text: an error naming it and the template.
        fila("inexistente", "txtnoexiste", u"x"_s, nullptr);
        fila("casilla", "casilla", u"x"_s, nullptr);
    }
    void llenado() {
        QFETCH(QString, campo);
        QFETCH(QVariant, valor);
        QFETCH(QString, esperado);
        QTemporaryDir dir;
        const QString antes = guardaPaquete(plantillaDePrueba(), dir.filePath(u"plantilla.dotx"_s));
        const LecturaDeDocx original(antes);
        DocumentoOOXML doc(PaqueteOOXML::lee(antes), u"plantilla.dotx"_s);
        if (esperado == "(error)"_L1) {
            const ErrorDeEjecucion e = errorDe([&] { doc.escribeCampo(campo, valor); });
            QCOMPARE(e.numero(), ErrorDeTextos::CampoInexistente);
            QVERIFY2(e.descripcion().contains(campo) && e.descripcion().contains(u"plantilla.dotx"_s),
                     qPrintable(e.descripcion()));
            return;
        }
        doc.escribeCampo(campo, u"primero, que el segundo reemplaza"_s);
        doc.escribeCampo(campo, valor);
        const PaqueteOOXML hecho = doc.paquete();
        const LecturaDeDocx leido(guardaPaquete(hecho, dir.filePath(u"hecho.docx"_s)));
        QVERIFY(original.valido && leido.valido);

        QHash<QString, QString> esperados = original.resultados;
        esperados[campo == "MAYUSCULAS"_L1 ? u"Mayusculas"_s : campo] = esperado;
        QCOMPARE(leido.resultados, esperados);
        QCOMPARE(leido.fuera, original.fuera);
        QCOMPARE(hecho.parte(u"word/styles.xml"_s), estilos);
        // A document, no longer a template, or Word refuses to open it.
        const QByteArray tipos = hecho.parte(u"[Content_Types].xml"_s);
        QVERIFY(tipos.contains("wordprocessingml.document.main+xml") && !tipos.contains("template"));
        const QString cuerpo = QString::fromUtf8(hecho.parte(u"word/document.xml"_s));
        if (campo == "varios"_L1 && !esperado.contains(u'\n'))
            QVERIFY2(cuerpo.contains(uR"(<w:r><w:rPr><w:b/></w:rPr><w:t xml:space="preserve">)"_s) &&
                         !cuerpo.contains(u">dos<"_s) && !cuerpo.contains(u"<w:i/>"_s),
                     qPrintable(cuerpo));
    }

    // Fields left out: a row or paragraph holding only them goes; one that shares its row with a
    // field kept, a table's last row and a story's last paragraph stay, the fields emptied.
    void descarte() {
        const auto celda = [](const QString& c) -> QString {
            return u"<w:tc><w:p>"_s + c + u"</w:p></w:tc>"_s;
        };
        const auto fila = [&](const QStringList& campos) -> QString {
            QString x = u"<w:tr>"_s;
            for (const QString& c : campos)
                x += celda(campo(c, run(u"__"_s)));
            return x + u"</w:tr>"_s;
        };
        const QString cuerpo =
            u"<w:document "
            u"%1><w:body><w:tbl><w:tr>%2</w:tr>%3%4%5</w:tbl><w:p><w:r><w:t>entre</w:t></w:r></"
            u"w:p><w:tbl>%6</w:tbl>"
            u"<w:p>%7</w:p><w:p>%8</w:p>"_s.arg(W, celda(run(u"Título"_s)), fila({u"f1"_s}),
                                                fila({u"f2"_s, u"g2"_s}), fila({u"f3"_s}), fila({u"solo"_s}),
                                                campo(u"x1"_s, run(u"__"_s)), campo(u"x2"_s, run(u"__"_s))) +
            u"<w:p>%1</w:p><w:sectPr/></w:body></w:document>"_s.arg(campo(u"ultimo"_s, run(u"__"_s)));
        PaqueteOOXML p = plantillaDePrueba();
        p.pon(u"word/document.xml"_s, xml(cuerpo));
        DocumentoOOXML doc(std::move(p), u"plantilla.dotx"_s);
        doc.descarta({u"f1"_s, u"F2"_s, u"solo"_s, u"x1"_s, u"ultimo"_s, u"noexiste"_s});
        QVERIFY(!doc.tieneCampo(u"f1"_s) && !doc.tieneCampo(u"x1"_s) && doc.tieneCampo(u"f2"_s));
        QCOMPARE(errorDe([&] { doc.escribeCampo(u"f1"_s, u"x"_s); }).numero(),
                 ErrorDeTextos::CampoInexistente);
        QTemporaryDir dir;
        const LecturaDeDocx leido(guardaPaquete(doc.paquete(), dir.filePath(u"hecho.docx"_s)));
        QVERIFY(leido.valido);
        const QHash<QString, QString> esperados{{u"f2"_s, u""_s},
                                                {u"g2"_s, u"__"_s},
                                                {u"f3"_s, u"__"_s},
                                                {u"solo"_s, u""_s},
                                                {u"x2"_s, u"__"_s},
                                                {u"ultimo"_s, u""_s},
                                                {u"encabezado"_s, u"     "_s},
                                                {u"pie"_s, u"     "_s}};
        QCOMPARE(leido.resultados, esperados);
        QVERIFY(leido.fuera.contains(u"Título"_s));
        const QByteArray hecho = doc.paquete().parte(u"word/document.xml"_s);
        QCOMPARE(hecho.count("<w:tr>"), 4);
        QCOMPARE(hecho.count("<w:p>"), 8);
    }

    // Which file a template name stands for, and the errors of a template
    // that is not there or cannot be filled.
    void ubicacion_data() {
        QTest::addColumn<QStringList>("archivos"); // "name:kind", kind paquete, binario or sin documento
        QTest::addColumn<QString>("elegido");
        QTest::addColumn<int>("error");
        QTest::newRow("dot que es paquete")
            << QStringList{"plantilla.dot:paquete", "plantilla.dotx:paquete"} << u"plantilla.dot"_s << 0;
        QTest::newRow("dot binario") << QStringList{"plantilla.dot:binario", "plantilla.dotx:paquete"}
                                     << u"plantilla.dotx"_s << 0;
        QTest::newRow("solo dot binario")
            << QStringList{"plantilla.dot:binario"} << QString() << ErrorDeTextos::PlantillaInexistente;
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
            const QString nombre = a.section(u':', 0, 0), clase = a.section(u':', 1);
            PaqueteOOXML p = plantillaDePrueba();
            if (clase == "sin documento"_L1)
                p.pon(u"_rels/.rels"_s, xml(relaciones + u"</Relationships>"_s));
            QVERIFY(clase == "binario"_L1 ? escribeArchivo(plantillas.filePath(nombre),
                                                           "\xD0\xCF\x11\xE0 documento binario de 1997")
                                          : !guardaPaquete(p, plantillas.filePath(nombre)).isEmpty());
        }
        VisorGuionado visor;
        ProcesadorOOXML word({documentos.filePath(u"no-existe"_s), plantillas.path()}, documentos.path(),
                             visor);
        const auto app = word.inicia();
        std::unique_ptr<DocumentoDeTexto> doc;
        const ErrorDeEjecucion e = errorDe([&] { doc = app->nuevoDocumento(u"plantilla.dot"_s, {}); });
        QCOMPARE(e.numero(), error);
        if (error == 0) {
            QCOMPARE(word.ubicaPlantilla(u"plantilla.dot"_s), plantillas.filePath(elegido));
            return;
        }
        QVERIFY2(e.descripcion().contains(u"plantilla.dot"_s), qPrintable(e.descripcion()));
        if (error == ErrorDeTextos::PlantillaInexistente)
            QVERIFY2(e.descripcion().contains(QDir::toNativeSeparators(plantillas.path())),
                     qPrintable(e.descripcion()));
        QCOMPARE(QDir(documentos.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // Each document gets a name of its own, never another's, in a folder made when missing; the
    // desktop is handed each one; a changed template is read again; a folder gone fails the save.
    void guardado() {
        QTemporaryDir plantillas, raiz;
        const QString documentos = raiz.filePath(u"Mis documentos/TALOREN"_s);
        QVERIFY(!guardaPaquete(plantillaDePrueba(), plantillas.filePath(u"plantilla.dotx"_s)).isEmpty());
        const QString ajeno =
            QDir(documentos).filePath(u"Oficio del Secretario, folio 1-2 de 2024 (2).docx"_s);
        VisorGuionado visor;
        ProcesadorOOXML word({plantillas.path()}, documentos, visor);
        QStringList hechos;
        for (int i = 0; i < 3; ++i) {
            auto doc = word.inicia()->nuevoDocumento(u"plantilla.dot"_s,
                                                     u"Oficio del Secretario, folio 1/2 de 2024"_s);
            doc->escribeCampo(u"varios"_s, QString::number(i));
            const DocumentoMostrado d = doc->muestra();
            QVERIFY(d.abierto);
            hechos << QFileInfo(d.archivo).fileName();
            QCOMPARE(LecturaDeDocx(d.archivo).resultados.value(u"varios"_s), QString::number(i));
            // Another's file under the next name is passed over, not replaced.
            if (i == 0)
                QVERIFY(escribeArchivo(ajeno, "de otro"));
        }
        QCOMPARE(hechos, (QStringList{"Oficio del Secretario, folio 1-2 de 2024 (1).docx",
                                      "Oficio del Secretario, folio 1-2 de 2024 (3).docx",
                                      "Oficio del Secretario, folio 1-2 de 2024 (4).docx"}));
        QFile deOtro(ajeno);
        QVERIFY(deOtro.open(QIODevice::ReadOnly) && deOtro.readAll() == "de otro");
        QCOMPARE(QDir(documentos).entryList(QDir::Files | QDir::Hidden).size(), 4);

        // A template changed on disk is read anew.
        PaqueteOOXML otra = plantillaDePrueba();
        otra.pon(u"word/styles.xml"_s, estilos + "<!-- otra -->");
        QVERIFY(!guardaPaquete(otra, plantillas.filePath(u"plantilla.dotx"_s)).isEmpty());
        auto doc = word.inicia()->nuevoDocumento(u"plantilla.dot"_s, u"otra"_s);
        visor.puedeAbrir = false;
        const DocumentoMostrado d = doc->muestra();
        QVERIFY(!d.abierto);
        QCOMPARE(PaqueteOOXML::lee(d.archivo).parte(u"word/styles.xml"_s), estilos + "<!-- otra -->");

        // A documents folder gone before saving fails the save and leaves nothing half-written.
        doc = word.inicia()->nuevoDocumento(u"plantilla.dot"_s, u"hoja"_s);
        QVERIFY(QDir(documentos).removeRecursively() && escribeArchivo(documentos, {}));
        QCOMPARE(errorDe([&] { doc->muestra(); }).numero(), ErrorDeTextos::NoSeGuarda);
        QCOMPARE(visor.abiertos.size(), 4); // none for the failed save
        QCOMPARE(QDir(raiz.filePath(u"Mis documentos"_s))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"TALOREN"_s});
    }
};

QTEST_GUILESS_MAIN(TstDocumentos)
#include "tst_documentos.moc"
