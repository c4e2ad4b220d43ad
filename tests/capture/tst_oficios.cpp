#include "capture/DocumentosDeOficio.h"
#include "common/FrmErrores.h"
#include "outside/Reloj.h"
#include "support/EntornoDeDocumentos.h"
#include "support/EntornoDeVentanas.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using Caja = CajaDeMensajes;
using Representa = DatosDelOficio::Representa;
using Caracter = DatosDelOficio::Caracter;

Q_DECLARE_METATYPE(DatosDelOficio)

namespace {

// Today, for every test: the fifth of March of 2024.
const QDateTime ahora(QDate(2024, 3, 5), QTime(9, 15, 0));

DatosDelOficio pantalla(Representa representa) {
    DatosDelOficio d;
    d.folio = QStringLiteral("12");
    d.fechaFisica = QDateTime(QDate(2008, 7, 15), QTime(17, 40));
    d.representa = representa;
    d.caracter = Caracter::Prioritario;
    d.representante = QStringLiteral("Patricia Ocampo Bahena");
    d.cargoRepresentante = QStringLiteral("Subsecretaria de Educación Básica");
    d.suscriptor = QStringLiteral("Juana Ocampo Galindo");
    d.cargoSuscriptor = QStringLiteral("Presidenta Municipal de Cuautla");
    d.evento = QStringLiteral("Inauguración de la escuela \"Emiliano Zapata\" & del aula 'digital'");
    d.direccion = QStringLiteral("Callejón del Castigo 3, Col. Centro, Cuautla");
    d.fechaEvento = QDateTime(QDate(2024, 4, 12), QTime(11, 2, 33));
    d.hora = QStringLiteral("00:00");
    d.instruccion = QStringLiteral("4 Atender y enviar tarjeta informativa");
    return d;
}

QStringList esperadosDelSecretario(const QString& caracter, const QString& hora, const QString& nota) {
    QStringList c{"txtfolio=KD/MOR/12/2008/VLT",
                  QStringLiteral("txtfecha=") + QVariant(ahora).toString(),
                  QStringLiteral("txtcaracter=") + caracter,
                  "txtrepres=Patricia Ocampo Bahena",
                  "txtcargorep=Subsecretaria de Educación Básica",
                  "txtsuscriptor=Juana Ocampo Galindo",
                  "txtcargosuscriptor=Presidenta Municipal de Cuautla",
                  "txtevento=Inauguración de la escuela \"Emiliano Zapata\" & del aula 'digital'",
                  "txtDireccion=Callejón del Castigo 3, Col. Centro, Cuautla",
                  "txtfechavento=viernes 12 de Abril de 2024",
                  QStringLiteral("txthora=") + hora,
                  "txtinstruccion=Atender y enviar tarjeta informativa"};
    if (!nota.isEmpty())
        c << QStringLiteral("txtobservacion=") + nota;
    return c;
}

} // namespace

class TstOficios : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each document: its template, its fields in their order with their
    // values, and the saved file holding each value, the rest unchanged.
    void oficios_data() {
        QTest::addColumn<DatosDelOficio>("datos");
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QStringList>("campos");
        QTest::addColumn<QVariant>("caracter");

        QTest::newRow("Secretario, sin hora ni nota")
            << pantalla(Representa::Secretario) << "plantilla.dot"
            << esperadosDelSecretario(QStringLiteral("Carácter: Prioritario"), QString(), QString())
            << QVariant(QStringLiteral("Prioritario"));
        DatosDelOficio d = pantalla(Representa::Secretario);
        d.caracter = Caracter::Ninguno;
        d.hora = QStringLiteral("10:30");
        d.observacion = QStringLiteral("Llevar el mensaje del C. Secretario");
        QTest::newRow("Secretario, con hora y nota, sin carácter")
            << d << "plantilla.dot"
            << esperadosDelSecretario(QStringLiteral(" "), QStringLiteral("Hora 10:30"),
                                      QStringLiteral("Nota: Llevar el mensaje del C. Secretario"))
            << QVariant(QString());
        d = pantalla(Representa::Secretario);
        d.caracter = Caracter::Urgente;
        d.instruccion = QStringLiteral("Acompañar");
        QStringList sinBlanco =
            esperadosDelSecretario(QStringLiteral("Carácter: Urgente"), QString(), QString());
        sinBlanco.last() = QStringLiteral("txtinstruccion=Acompañar");
        QTest::newRow("Secretario, instrucción sin clave")
            << d << "plantilla.dot" << sinBlanco << QVariant(QStringLiteral("Urgente"));

        const QStringList delGobernador{
            "txtfolio=KD/MOR/12/2008/VLT",
            "txtdia=05",
            "txtmes=marzo",
            "txtaño=2024",
            "txtreprese=Patricia Ocampo Bahena",
            "txtcargorep1=Subsecretaria de Educación Básica",
            "txtevento=Inauguración de la escuela \"Emiliano Zapata\" & del aula 'digital'",
            "txtdireccion=Callejón del Castigo 3, Col. Centro, Cuautla",
            "Txtdiaevento=12",
            "Txtmesevento=abril",
            "txthora=00:00",
            "txtrepres=Patricia Ocampo Bahena",
            "txtcargorep=Subsecretaria de Educación Básica"};
        QTest::newRow("Gobernador") << pantalla(Representa::Gobernador) << "PlantillaRepGob1.dot"
                                    << delGobernador << QVariant();
        d = pantalla(Representa::Gobernador);
        d.hora = QStringLiteral("__:__");
        d.observacion = QStringLiteral("No se imprime");
        QStringList sinHora = delGobernador;
        sinHora[10] = QStringLiteral("txthora=__:__");
        QTest::newRow("Gobernador, sin hora") << d << "PlantillaRepGob1.dot" << sinHora << QVariant();
    }
    void oficios() {
        QFETCH(DatosDelOficio, datos);
        QFETCH(QString, plantilla);
        QFETCH(QStringList, campos);
        QFETCH(QVariant, caracter);
        RelojFijo reloj(ahora);
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e;
        EntornoDeDocumentos docs;

        const std::optional<QString> devuelto = DocumentosDeOficio::CmdImprimir(datos);
        QCOMPARE(devuelto.has_value(), caracter.isValid());
        if (devuelto)
            QCOMPARE(*devuelto, caracter.toString());
        QVERIFY2(e.caja.cajas().isEmpty(), qPrintable(e.caja.textos().join(QLatin1Char('|'))));
        QVERIFY(e.mostradas.isEmpty());

        const QList<Operacion>& ops = docs.anotador.operaciones;
        QCOMPARE(ops.size(), campos.size() + 3);
        QCOMPARE(ops.first().clase, Operacion::Inicia);
        QCOMPARE(ops.at(1).clase, Operacion::Nuevo);
        QCOMPARE(ops.at(1).nombre, plantilla);
        QCOMPARE(docs.anotador.campos(), campos);
        QCOMPARE(ops.last().clase, Operacion::Muestra);
        QCOMPARE(docs.visor.abiertos, QStringList{ops.last().nombre});
        QVERIFY2(QFileInfo(ops.last().nombre)
                     .fileName()
                     .startsWith(plantilla == QLatin1String("plantilla.dot")
                                     ? QStringLiteral("Oficio del Secretario, folio 12 de 2008")
                                     : QStringLiteral("Oficio del Gobernador, folio 12 de 2008")),
                 qPrintable(ops.last().nombre));

        // The saved document, read back.
        const LecturaDeDocx leido(ops.last().nombre);
        const LecturaDeDocx original = leePlantilla(plantilla + QLatin1Char('x'));
        QVERIFY2(leido.valido, qPrintable(leido.error));
        for (const QString& campo : original.nombres) {
            QString esperado = original.resultados.value(campo);
            for (const QString& escrito : campos)
                if (escrito.section(QLatin1Char('='), 0, 0) == campo)
                    esperado = escrito.section(QLatin1Char('='), 1);
            if (campo == QLatin1String("txtfecha"))
                esperado = QStringLiteral("5 de marzo de 2024");
            QCOMPARE(leido.resultados.value(campo), esperado);
        }
        QCOMPARE(leido.fuera, original.fuera);
    }

    // The two checks stop before any document is begun.
    void avisos_data() {
        QTest::addColumn<QString>("folio");
        QTest::addColumn<int>("representa");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("icono");
        QTest::addColumn<int>("botones");
        QTest::newRow("sin folio") << QString() << int(Representa::Secretario)
                                   << "Debe Seleccionar un folio para imprimir" << int(Caja::Icono::Critico)
                                   << int(Caja::Aceptar | Caja::Cancelar);
        QTest::newRow("sin representado") << QStringLiteral("7") << int(Representa::Ninguno)
                                          << "No Existe Representante del Evento, Actualice Informacion"
                                          << int(Caja::Icono::Informacion) << int(Caja::Aceptar);
    }
    void avisos() {
        QFETCH(QString, folio);
        QFETCH(int, representa);
        QFETCH(QString, texto);
        QFETCH(int, icono);
        QFETCH(int, botones);
        EntornoDeVentanas e;
        EntornoDeDocumentos docs;
        DatosDelOficio d = pantalla(Representa(representa));
        d.folio = folio;
        if (botones & Caja::Cancelar)
            e.caja.responde(Caja::Cancelar);
        QVERIFY(!DocumentosDeOficio::CmdImprimir(d).has_value());
        QCOMPARE(e.caja.cajas().size(), 1);
        QCOMPARE(e.caja.ultima().texto, texto);
        QCOMPARE(int(e.caja.ultima().icono), icono);
        QCOMPARE(int(e.caja.ultima().botones), botones);
        QCOMPARE(e.caja.ultima().titulo, QStringLiteral("TALOREN"));
        QVERIFY(docs.anotador.operaciones.isEmpty());
        QVERIFY(docs.guardados().isEmpty());
    }

    // A word processor that cannot start, a template that is not there, a
    // desktop that cannot open the document: the user is told, nothing
    // half-made is left, and the character word is kept only once it was worked out.
    void fallas_data() {
        QTest::addColumn<QString>("falla");
        QTest::newRow("carpeta de documentos") << "documentos";
        QTest::newRow("plantilla") << "plantilla";
        QTest::newRow("escritorio") << "escritorio";
    }
    void fallas() {
        QFETCH(QString, falla);
        RelojFijo reloj(ahora);
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e;
        QTemporaryDir raiz;
        QFile estorbo(raiz.filePath(QStringLiteral("Documentos")));
        if (falla == QLatin1String("documentos")) {
            QVERIFY(estorbo.open(QIODevice::WriteOnly));
            estorbo.close();
        }
        VisorGuionado visor;
        visor.puedeAbrir = falla != QLatin1String("escritorio");
        ProcesadorOOXML word({falla == QLatin1String("plantilla")
                                  ? raiz.filePath(QStringLiteral("sin-plantillas"))
                                  : EntornoDeDocumentos::carpetaDePlantillas()},
                             raiz.filePath(QStringLiteral("Documentos/TALOREN")), visor);
        const ProcesadorDeTextos::Sustituto enUso(word);
        QString reportado;
        e.alMostrar = [&](QDialog& v) {
            if (auto* l = v.findChild<QLabel*>(QStringLiteral("LblDescripDelError")))
                reportado = l->text();
        };

        const std::optional<QString> caracter =
            DocumentosDeOficio::CmdImprimir(pantalla(Representa::Secretario));
        const QStringList guardados =
            QDir(raiz.filePath(QStringLiteral("Documentos/TALOREN"))).entryList(QDir::Files | QDir::Hidden);
        if (falla == QLatin1String("documentos")) {
            QVERIFY(!caracter.has_value());
            QCOMPARE(e.caja.cajas().size(), 1);
            QVERIFY(e.caja.ultima().texto.startsWith(QStringLiteral("Error en la aplicación de Word\r\r")));
            QVERIFY(e.caja.ultima().texto.contains(QStringLiteral("Documentos/TALOREN")));
            QCOMPARE(e.caja.ultima().botones, Caja::Botones(Caja::Aceptar));
            QCOMPARE(e.caja.ultima().titulo, QStringLiteral("TALOREN"));
        } else if (falla == QLatin1String("plantilla")) {
            QVERIFY(!caracter.has_value());
            QCOMPARE(e.mostradas, QStringList{QStringLiteral("FrmErrores")});
            QVERIFY2(reportado.contains(QStringLiteral("plantilla.dotx")), qPrintable(reportado));
            QVERIFY(guardados.isEmpty());
        } else {
            QCOMPARE(caracter, std::optional<QString>(QStringLiteral("Prioritario")));
            QCOMPARE(guardados.size(), 1);
            QCOMPARE(e.caja.cajas().size(), 1);
            QCOMPARE(e.caja.ultima().icono, Caja::Icono::Informacion);
            QVERIFY2(
                e.caja.ultima().texto.contains(QDir::toNativeSeparators(
                    QDir(raiz.filePath(QStringLiteral("Documentos/TALOREN"))).filePath(guardados.first()))),
                qPrintable(e.caja.ultima().texto));
        }
    }

    void nombres() {
        QCOMPARE(DocumentosDeOficio::NombreMes(0), QString());
        QCOMPARE(DocumentosDeOficio::NombreMes(9), QStringLiteral("septiembre"));
        QCOMPARE(DocumentosDeOficio::NombreMes(13), QString());
        QCOMPARE(DocumentosDeOficio::FechaEnLetras(QDate(2024, 3, 5)),
                 QStringLiteral("martes 05 de Marzo de 2024"));
        QCOMPARE(DocumentosDeOficio::NumeroDeOficio(QStringLiteral("12"),
                                                    QDateTime(QDate(2008, 1, 1), QTime(0, 0))),
                 QStringLiteral("KD/MOR/12/2008/VLT"));
    }
};

QTEST_MAIN(TstOficios)
#include "tst_oficios.moc"
