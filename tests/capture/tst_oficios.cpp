#include "common/DocumentosDeOficio.h"
#include "outside/Reloj.h"
#include "server/Invitacion.h"
#include "support/EntornoDeDocumentos.h"
#include "support/EntornoDeVentanas.h"
#include "support/TextoDePdf.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Caja = CajaDeMensajes;
using Representa = DatosDelOficio::Representa;
using Caracter = DatosDelOficio::Caracter;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(DatosDelOficio)

namespace {

// Today, for every test: the fifth of March of 2024.
const QDateTime ahora(QDate(2024, 3, 5), QTime(9, 15, 0));

DatosDelOficio pantalla(Representa representa) {
    DatosDelOficio d;
    d.folio = u"12"_s;
    d.fechaFisica = QDateTime(QDate(2008, 7, 15), QTime(17, 40));
    d.representa = representa;
    d.caracter = Caracter::Prioritario;
    d.representante = u"Patricia Ocampo Bahena"_s;
    d.cargoRepresentante = u"Subsecretaria de Educación Básica"_s;
    d.suscriptor = u"Juana Ocampo Galindo"_s;
    d.cargoSuscriptor = u"Presidenta Municipal de Cuautla"_s;
    d.evento = u"Inauguración de la escuela \"Emiliano Zapata\" & del aula 'digital'"_s;
    d.direccion = u"Callejón del Castigo 3, Col. Centro, Cuautla"_s;
    d.fechaEvento = QDateTime(QDate(2024, 4, 12), QTime(11, 2, 33));
    d.hora = u"00:00"_s;
    d.instruccion = u"4 Atender y enviar tarjeta informativa"_s;
    return d;
}

QStringList delSecretario(const QString& caracter, const QString& hora, const QString& instruccion,
                          const QString& nota = {}) {
    QStringList c{"txtfolio=KD/MOR/12/2008/VLT",
                  "txtfecha=" + QVariant(ahora).toString(),
                  "txtcaracter=" + caracter,
                  "txtrepres=Patricia Ocampo Bahena",
                  "txtcargorep=Subsecretaria de Educación Básica",
                  "txtsuscriptor=Juana Ocampo Galindo",
                  "txtcargosuscriptor=Presidenta Municipal de Cuautla",
                  "txtevento=Inauguración de la escuela \"Emiliano Zapata\" & del aula 'digital'",
                  "txtDireccion=Callejón del Castigo 3, Col. Centro, Cuautla",
                  "txtfechavento=viernes 12 de Abril de 2024",
                  "txthora=" + hora,
                  "txtinstruccion=" + instruccion};
    if (!nota.isEmpty())
        c << "txtobservacion=" + nota;
    return c;
}

QStringList delGobernador(const QString& hora) {
    return {"txtfolio=KD/MOR/12/2008/VLT",
            "txtdia=05",
            "txtmes=marzo",
            "txtaño=2024",
            "txtreprese=Patricia Ocampo Bahena",
            "txtcargorep1=Subsecretaria de Educación Básica",
            "txtevento=Inauguración de la escuela \"Emiliano Zapata\" & del aula 'digital'",
            "txtdireccion=Callejón del Castigo 3, Col. Centro, Cuautla",
            "Txtdiaevento=12",
            "Txtmesevento=abril",
            "txthora=" + hora,
            "txtrepres=Patricia Ocampo Bahena",
            "txtcargorep=Subsecretaria de Educación Básica"};
}

bool contiene(const QString& texto, const QString& valor) {
    const QRegularExpression palabra(uR"((?<![\w/]))"_s + QRegularExpression::escape(valor.simplified()) +
                                     uR"((?![\w/]))"_s);
    return palabra.match(texto).hasMatch();
}

// The letter written against what a test expects: the calls, in order, and the saved document
// read back (each field written, the rest and the text around the fields as the template has
// them, the date field in its own format). Empty when they agree; what differs otherwise.
QString difiereElOficio(EntornoDeDocumentos& docs, const QString& plantilla, const QStringList& campos) {
    const QString archivo = docs.visor.abiertos.value(0);
    const QStringList esperadas =
        QStringList({"inicia", "nuevo " + plantilla}) + campos + QStringList{"muestra " + archivo};
    if (docs.anotador.operaciones != esperadas)
        return u"operaciones: "_s + docs.anotador.operaciones.join(u" | "_s);
    const LecturaDeDocx leido(archivo), original = leePlantilla(plantilla + u'x');
    if (!leido.valido)
        return u"no se pudo leer "_s + archivo;
    QHash<QString, QString> esperados = original.resultados;
    for (const QString& escrito : campos)
        esperados[escrito.section(u'=', 0, 0)] = escrito.section(u'=', 1);
    if (esperados.contains(u"txtfecha"_s))
        esperados[u"txtfecha"_s] = u"5 de marzo de 2024"_s;
    QStringList distintos;
    for (auto it = esperados.cbegin(); it != esperados.cend(); ++it)
        if (leido.resultados.value(it.key()) != it.value())
            distintos << it.key() + u'=' + leido.resultados.value(it.key());
    if (leido.resultados.size() != esperados.size())
        distintos << u"campos: %1 de %2"_s.arg(leido.resultados.size()).arg(esperados.size());
    if (leido.fuera != original.fuera)
        distintos << u"el texto fuera de los campos"_s;
    return distintos.join(u", "_s);
}

} // namespace

class TstOficios : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each document: its template, its fields in their order with their values, the character
    // word the window keeps, and the saved file holding each value, the rest unchanged; or the
    // message that stops it before anything is begun. A letter that would lack who invites, the
    // representative or the place asks first, naming what it lacks, "No" first: "No" writes nothing.
    void oficios_data() {
        QTest::addColumn<DatosDelOficio>("datos");
        QTest::addColumn<QStringList>("campos"); // none: nothing begun
        QTest::addColumn<QString>("caracter");   // null: none worked out
        QTest::addColumn<QString>("aviso");      // the one box shown, if any
        QTest::addColumn<int>("respuesta");      // to it, if it asks
        const QString atender = u"Atender y enviar tarjeta informativa"_s;
        const QString todosModos = u"\r\r¿Desea hacerlo de todos modos?"_s;
        QTest::newRow("Secretario, sin hora ni nota")
            << pantalla(Representa::Secretario)
            << delSecretario(u"Carácter: Prioritario"_s, QString(), atender) << u"Prioritario"_s << QString()
            << 0;
        DatosDelOficio d = pantalla(Representa::Secretario);
        d.caracter = Caracter::Ninguno;
        d.hora = u"10:30"_s;
        d.observacion = u"Llevar el mensaje del C. Secretario"_s;
        QTest::newRow("Secretario, con hora y nota, sin carácter")
            << d
            << delSecretario(u" "_s, u"Hora 10:30"_s, atender, u"Nota: Llevar el mensaje del C. Secretario"_s)
            << u""_s << QString() << 0;
        d = pantalla(Representa::Secretario);
        d.caracter = Caracter::Urgente;
        d.instruccion = u"Acompañar"_s;
        QTest::newRow("Secretario, instrucción sin clave")
            << d << delSecretario(u"Carácter: Urgente"_s, QString(), u"Acompañar"_s) << u"Urgente"_s
            << QString() << 0;
        QTest::newRow("Gobernador") << pantalla(Representa::Gobernador) << delGobernador(u"00:00"_s)
                                    << QString() << QString() << 0;
        d = pantalla(Representa::Gobernador);
        d.hora = u"__:__"_s;
        d.observacion = u"No se imprime"_s;
        QTest::newRow("Gobernador, sin hora")
            << d << delGobernador(u"__:__"_s) << QString() << QString() << 0;
        // The Governor's letter does not name who invites.
        d = pantalla(Representa::Gobernador);
        d.suscriptor.clear();
        d.representante.clear();
        QTest::newRow("Gobernador, sin representante, Sí")
            << d << delGobernador(u"00:00"_s).replaceInStrings(u"=Patricia Ocampo Bahena"_s, u"="_s)
            << QString() << u"El oficio saldrá sin el representante."_s + todosModos << int(Caja::Si);
        d = pantalla(Representa::Secretario);
        d.suscriptor = u" "_s;
        d.direccion.clear();
        QTest::newRow("Secretario, sin quien invita ni lugar, No")
            << d << QStringList() << QString()
            << u"El oficio saldrá sin el nombre de quien invita, la ubicación del evento."_s + todosModos
            << int(Caja::No);
        // The two checks that stop before any document is begun.
        d = pantalla(Representa::Secretario);
        d.folio.clear();
        QTest::newRow("sin folio") << d << QStringList() << QString()
                                   << u"Debe Seleccionar un folio para imprimir"_s << int(Caja::Cancelar);
        QTest::newRow("sin representado")
            << pantalla(Representa::Ninguno) << QStringList() << QString()
            << u"No Existe Representante del Evento, Actualice Informacion"_s << 0;
    }
    void oficios() {
        QFETCH(DatosDelOficio, datos);
        QFETCH(QStringList, campos);
        QFETCH(QString, caracter);
        QFETCH(QString, aviso);
        QFETCH(int, respuesta);
        RelojFijo reloj(ahora);
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e;
        EntornoDeDocumentos docs;
        if (respuesta)
            e.caja.responde(Caja::Boton(respuesta));
        QCOMPARE(DocumentosDeOficio::CmdImprimir(datos),
                 caracter.isNull() ? std::nullopt : std::optional(caracter));
        QCOMPARE(e.caja.textos(), aviso.isEmpty() ? QStringList() : QStringList{aviso});
        QVERIFY(e.caja.pendientes() == 0 && e.mostradas.isEmpty());
        if (respuesta == Caja::Si || respuesta == Caja::No)
            QCOMPARE(e.caja.ultima().porDefecto, Caja::No);
        if (campos.isEmpty()) {
            QVERIFY(docs.anotador.operaciones.isEmpty() && docs.guardados().isEmpty());
            return;
        }
        const bool secretario = datos.representa == Representa::Secretario;
        const QString plantilla = secretario ? u"plantilla.dot"_s : u"PlantillaRepGob1.dot"_s;
        const QString difiere = difiereElOficio(docs, plantilla, campos);
        QVERIFY2(difiere.isEmpty(), qPrintable(difiere));
        const QString quien = secretario ? u"Secretario"_s : u"Gobernador"_s;
        const QString archivo = docs.visor.abiertos.value(0);
        QVERIFY2(QFileInfo(archivo).fileName().startsWith("Oficio del " + quien + ", folio 12 de 2008"),
                 qPrintable(archivo));
    }

    // The letter of an invitation, from its record: the Secretary's or the Governor's by whom it
    // stands for, the prefixes before the description, the representative and the place, the
    // indication where the instruction goes, no hour for "SinHr", and an "I" before the folio.
    void deUnaInvitacion_data() {
        QTest::addColumn<QString>("representaA");
        QTest::addColumn<QString>("hora");
        QTest::addColumn<QStringList>("campos");
        const QStringList secretario{"txtfolio=KD/MOR/I12/2024/VLT",
                                     "txtfecha=" + QVariant(ahora).toString(),
                                     "txtcaracter=Carácter: Urgente",
                                     "txtrepres=Lic. Patricia Ocampo Bahena",
                                     "txtcargorep=Subsecretaria de Educación Básica",
                                     "txtsuscriptor=Juana Ocampo Galindo",
                                     "txtcargosuscriptor=Presidenta Municipal de Cuautla",
                                     "txtevento=La Inauguración de aulas",
                                     "txtDireccion=En Callejón del Castigo 3, Cuautla",
                                     "txtfechavento=viernes 12 de Abril de 2024",
                                     "txthora=",
                                     "txtinstruccion=Asistir y enviar tarjeta informativa",
                                     "txtobservacion=Nota: Llevar el mensaje"};
        QTest::newRow("Secretario, sin hora") << u"Srio"_s << u"SinHr"_s << secretario;
        QTest::newRow("Gobernador, a las 10:30")
            << u"Gob"_s << u"10:30"_s
            << QStringList{"txtfolio=KD/MOR/I12/2024/VLT",
                           "txtdia=05",
                           "txtmes=marzo",
                           "txtaño=2024",
                           "txtreprese=Lic. Patricia Ocampo Bahena",
                           "txtcargorep1=Subsecretaria de Educación Básica",
                           "txtevento=La Inauguración de aulas",
                           "txtdireccion=En Callejón del Castigo 3, Cuautla",
                           "Txtdiaevento=12",
                           "Txtmesevento=abril",
                           "txthora=10:30",
                           "txtrepres=Lic. Patricia Ocampo Bahena",
                           "txtcargorep=Subsecretaria de Educación Básica"};
    }
    void deUnaInvitacion() {
        QFETCH(QString, representaA);
        QFETCH(QString, hora);
        QFETCH(QStringList, campos);
        Invitacion i;
        i.anio = 2024;
        i.folio = 12;
        i.fechaRecepcion = QDateTime(QDate(2024, 3, 1), QTime(0, 0));
        i.fechaEvento = QDateTime(QDate(2024, 4, 12), QTime(0, 0));
        i.hora = hora;
        i.representaA = representaA;
        i.caracter = u"Urgente"_s;
        i.prefijo1 = u"La"_s;
        i.descripcion = u"Inauguración de aulas"_s;
        i.prefijo3 = u"En"_s;
        i.ubicacion = u"Callejón del Castigo 3, Cuautla"_s;
        i.prefijo2 = u"Lic."_s;
        i.representante = u"Patricia Ocampo Bahena"_s;
        i.cargoRepresentante = u"Subsecretaria de Educación Básica"_s;
        i.suscriptor = u"Juana Ocampo Galindo"_s;
        i.cargoSuscriptor = u"Presidenta Municipal de Cuautla"_s;
        i.indicacion = u"Asistir y enviar tarjeta informativa"_s;
        i.observacion = u"Llevar el mensaje"_s;
        RelojFijo reloj(ahora);
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e;
        EntornoDeDocumentos docs;
        DocumentosDeOficio::CmdImprimir(DocumentosDeOficio::DeInvitacion(i));
        QCOMPARE(e.caja.textos(), QStringList());
        const QString plantilla = representaA == "Srio"_L1 ? u"plantilla.dot"_s : u"PlantillaRepGob1.dot"_s;
        const QString difiere = difiereElOficio(docs, plantilla, campos);
        QVERIFY2(difiere.isEmpty(), qPrintable(difiere));
    }

    // A word processor that cannot start, a template that is not there, a desktop that cannot
    // open the document: the user is told, nothing half-made is left, and the character word
    // is kept only once it was worked out.
    void fallas_data() {
        QTest::addColumn<QString>("falla");
        for (const char* falla : {"documentos", "plantilla", "escritorio"})
            QTest::newRow(falla) << QString::fromLatin1(falla);
    }
    void fallas() {
        QFETCH(QString, falla);
        EntornoDeVentanas e;
        QTemporaryDir raiz;
        const QString documentos = raiz.filePath(u"Documentos/TALOREN"_s);
        QVERIFY(falla != "documentos"_L1 || escribeArchivo(raiz.filePath(u"Documentos"_s), {}));
        VisorGuionado visor;
        visor.puedeAbrir = falla != "escritorio"_L1;
        ProcesadorOOXML word({falla == "plantilla"_L1 ? raiz.filePath(u"sin-plantillas"_s)
                                                      : EntornoDeDocumentos::carpetaDePlantillas()},
                             documentos, visor);
        const ProcesadorDeTextos::Sustituto enUso(word);

        const std::optional<QString> caracter =
            DocumentosDeOficio::CmdImprimir(pantalla(Representa::Secretario));
        const QStringList guardados = QDir(documentos).entryList(QDir::Files | QDir::Hidden);
        const QString aviso = e.caja.textos().join(u'|');
        if (falla == "escritorio"_L1) {
            // Made and kept: the user is told where.
            QCOMPARE(caracter, std::optional(u"Prioritario"_s));
            QCOMPARE(guardados.size(), 1);
            QVERIFY2(aviso.contains(QDir::toNativeSeparators(QDir(documentos).filePath(guardados.first()))),
                     qPrintable(aviso));
            return;
        }
        QVERIFY(!caracter.has_value() && guardados.isEmpty() && visor.abiertos.isEmpty());
        if (falla == "documentos"_L1)
            QVERIFY2(aviso.startsWith(u"Error en la aplicación de Word\r\r"_s) &&
                         aviso.contains(u"Documentos/TALOREN"_s) && e.caja.cajas().size() == 1,
                     qPrintable(aviso));
        else
            QVERIFY2(e.mostradas == QStringList{u"FrmErrores"_s} &&
                         e.errores.value(0).contains(u"plantilla.dotx"_s),
                     qPrintable(e.errores.value(0)));
    }

    // The documents opened by a real word processor: LibreOffice converts each to PDF, whose text
    // holds every value written. Runs where LibreOffice and pdftotext are installed (CI installs
    // both) and says it is skipped elsewhere.
    void conversionAPdf() {
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_s);
        if (soffice.isEmpty() || QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("LibreOffice o pdftotext no están instalados (paquetes libreoffice-writer-nogui y "
                  "poppler-utils): la conversión a PDF no se prueba aquí");
        RelojFijo reloj(ahora);
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e;
        EntornoDeDocumentos docs;
        // The two office documents, through the capture window's routine.
        for (const auto representa : {Representa::Secretario, Representa::Gobernador}) {
            DatosDelOficio d = pantalla(representa);
            d.hora = u"10:30"_s;
            d.observacion = u"Llevar el mensaje"_s;
            DocumentosDeOficio::CmdImprimir(d);
        }
        // A query sheet with every one of its 550 fields written, each short enough for its column.
        auto hoja =
            ProcesadorDeTextos::actual().inicia()->nuevoDocumento(u"PlantillaConsulta.dot"_s, u"Consulta"_s);
        for (int k = 1; k <= 50; ++k)
            for (const char* c :
                 {"txtfolio", "txtfecha", "txthora", "txtsusc", "txtcargosusc", "txtevento", "txtdireccion",
                  "txtrepresentante", "txtobservaciones", "txtrep_a", "txtinst"}) {
                const QString nombre = QString::fromLatin1(c);
                hoja->escribeCampo(
                    nombre + QString::number(k),
                    QString((nombre == "txtfolio"_L1 ? u"F"_s : nombre.mid(3)) + QString::number(k)));
            }
        hoja->muestra();
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
        for (const QString& docx : std::as_const(docs.visor.abiertos)) {
            const QString pdf = QDir(salida.path()).filePath(QFileInfo(docx).completeBaseName() + u".pdf"_s);
            const QString texto = paginasDePdf(pdf).join(u' ').simplified();
            // Each field's result as the saved document holds it (which the tests above read back).
            const QHash<QString, QString> resultados = LecturaDeDocx(docx).resultados;
            QVERIFY2(resultados.size() > 10, qPrintable(docx));
            for (const QString& valor : resultados)
                QVERIFY2(contiene(texto, valor), qPrintable(valor + u" no está en "_s + pdf));
        }
    }
};

QTEST_MAIN(TstOficios)
#include "tst_oficios.moc"
