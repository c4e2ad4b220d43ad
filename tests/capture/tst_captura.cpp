#include "capture/RegistroDeEventos.h"
#include "capture/frmCaptura.h"
#include "common/Aplicacion.h"
#include "outside/ReglaDeNombres.h"
#include "queries/AbreConsultas.h"
#include "outside/Reloj.h"
#include "server/Servidor.h"
#include "startup/MDITaloren.h"
#include "support/EntornoDeVentanas.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <chrono>
#include <semaphore>
#include <thread>

using Caja = CajaDeMensajes;

namespace {

QDateTime momento(int anio, int mes, int dia, int hora, int minuto, int segundo = 0) {
    return QDateTime(QDate(anio, mes, dia), QTime(hora, minuto, segundo));
}

// The capture window open on fresh catalogs, on a fixed day of 2011.
struct Captura {
    explicit Captura(Motor motor = Motor::SQLite) : e(motor) {
        e.conecta();
        v.show();
    }
    void elige(QComboBox* combo, const QString& inicio) {
        const int i = combo->findText(inicio, Qt::MatchStartsWith);
        QVERIFY2(i >= 0, qPrintable(inicio));
        combo->setCurrentIndex(i);
        Q_EMIT combo->activated(i);
    }
    void consulta(const QString& folio, int anioDeRecepcion = 2011) {
        v.dtpFechaRecep->setDate(QDate(anioDeRecepcion, 6, 1));
        v.TxtFolio->setText(folio);
        QTest::keyClick(v.TxtFolio, Qt::Key_Return);
    }
    // A new event with only what a save requires, stored with two clicks.
    QString registra(const QString& descripcion, const QDateTime& fecha = momento(2011, 11, 25, 10, 0)) {
        v.LimpiaDatos();
        v.DTPFechaEvento->setDateTime(fecha);
        v.txtEvento->setPlainText(descripcion);
        elige(v.cmbInstruccion, QStringLiteral("1 "));
        v.CmdGuardar->click();
        const QString folio = v.TxtFolio->text();
        v.CmdGuardar->click();
        return folio;
    }
    // Every value the screen shows.
    QStringList pantalla() const {
        QStringList t{v.TxtFolio->text()};
        for (const QDateTimeEdit* d : {v.dtpFechaRecep, v.dtpFechaFisica, v.dtpFechaAviso, v.DTPFechaEvento})
            t << d->dateTime().toString(Qt::ISODate);
        for (const QComboBox* c : {v.CmbSuscriptor, v.cmbMunicipio, v.cmbLocalidad, v.CmbDirecciones,
                                   v.cmbNombreRep, v.cmbInstruccion})
            t << c->currentText();
        for (const QLineEdit* c : {v.TxtCargoSuscrip, v.mskTelSusc, v.mskCelularSusc, v.mskHora,
                                   v.txtCargoFun, v.txtAreaFun, v.mskTelRep, v.mskCelularRep})
            t << c->displayText();
        t << v.txtEvento->toPlainText() << v.TxtObservacion->toPlainText();
        for (const QRadioButton* o : {v.optRepSrio, v.optRepGob, v.OptNormal, v.optPrioritario, v.OptUrgente})
            t << QString::number(o->isChecked());
        return t;
    }
    QStringList fila(const QString& tabla, int folio, int anio = 2011) {
        const Recordset rs = e.base.taloren().ejecuta(
            QStringLiteral("select * from %1 where folio = ? and año = ?").arg(tabla), {folio, anio});
        QStringList t;
        for (int c = 0; !rs.estaVacio() && c < rs.columnas(); ++c)
            t << rs.texto(0, c);
        return t;
    }
    // The whole register, to prove that nothing of a failed operation stays.
    QStringList registro() {
        QStringList t;
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"}) {
            const Recordset rs = e.base.taloren().ejecuta(
                QStringLiteral("select * from %1 order by año, folio").arg(QString::fromLatin1(tabla)));
            for (int f = 0; f < rs.filas(); ++f)
                for (int c = 0; c < rs.columnas(); ++c)
                    t << rs.texto(f, c);
        }
        return t;
    }
    QWidget* foco() const { return QApplication::focusWidget(); }

    EntornoDeVentanas e;
    RelojFijo reloj{momento(2011, 11, 18, 9, 15, 30)};
    Reloj::Sustituto enUso{reloj};
    frmCaptura v;
};

const QString guardado = QStringLiteral("Actualización realizada satisfactoriamente");

} // namespace

class TstCaptura : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The first click numbers, the second stores all three rows; a look-up shows them again as typed.
    void guardaYConsulta_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("funcionario");
        QTest::addColumn<QString>("hora");
        QTest::newRow("sqlite, funcionario") << int(Motor::SQLite) << true << QStringLiteral("0930");
        QTest::newRow("sqlite, no funcionario, sin hora") << int(Motor::SQLite) << false << QString();
        QTest::newRow("postgresql, funcionario") << int(Motor::PostgreSQL) << true << QStringLiteral("0930");
        QTest::newRow("postgresql, no funcionario, sin hora") << int(Motor::PostgreSQL) << false << QString();
    }
    void guardaYConsulta() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(bool, funcionario);
        QFETCH(QString, hora);
        Captura c(motor);
        auto& v = c.v;
        c.elige(v.CmbSuscriptor, QStringLiteral("Héctor Luna"));
        QCOMPARE(v.TxtCargoSuscrip->text(),
                 QStringLiteral("Rector de la Universidad Autónoma del Estado de Morelos"));
        v.TxtCargoSuscrip->setText(QStringLiteral("Rector de la \"UAEM\" y de O'Gorman"));
        QTest::keyClicks(v.mskTelSusc, QStringLiteral("77731"));
        QTest::keyClicks(v.mskCelularSusc, QStringLiteral("7771234567"));
        v.dtpFechaRecep->setDateTime(momento(2011, 11, 17, 8, 5));
        v.dtpFechaFisica->setDateTime(momento(2011, 11, 18, 12, 0));
        v.dtpFechaAviso->setDateTime(momento(2011, 11, 21, 16, 45, 10));
        v.DTPFechaEvento->setDateTime(momento(2011, 11, 25, 10, 20, 30));
        QTest::keyClicks(v.mskHora, hora);
        c.elige(v.cmbMunicipio, QStringLiteral("Tepoztlán"));
        c.elige(v.cmbLocalidad, QStringLiteral("Amatlán"));
        const QString descripcion =
            QStringLiteral("Festival 'Niños Héroes' del Día del Niño; señalética nueva");
        v.txtEvento->setPlainText(descripcion);
        v.CmbDirecciones->setEditText(QStringLiteral("Calle Ñandú 5, Col. Peña"));
        if (funcionario) {
            c.elige(v.cmbNombreRep, QStringLiteral("Patricia Ocampo"));
            QCOMPARE(v.txtAreaFun->text(), QStringLiteral("Subsecretaría de Educación Básica"));
        } else {
            v.optRepGob->setChecked(true);
            v.cmbNombreRep->setEditText(QStringLiteral("Lic. Begoña O'Neill "));
            v.txtCargoFun->setText(QStringLiteral("Delegada Regional"));
            v.txtAreaFun->setText(QStringLiteral("Delegación de Cuautla"));
        }
        QTest::keyClicks(v.mskTelRep, QStringLiteral("7773180110"));
        c.elige(v.cmbInstruccion, QStringLiteral("3 "));
        v.OptUrgente->setChecked(true);
        v.TxtObservacion->setPlainText(QStringLiteral("Llevar el \"reconocimiento\""));

        v.CmdGuardar->click();
        QCOMPARE(v.TxtFolio->text(), QStringLiteral("1"));
        QVERIFY(c.registro().isEmpty());
        QVERIFY(c.e.caja.cajas().isEmpty());
        QCOMPARE(v.mskHora->displayText(),
                 hora.isEmpty() ? QStringLiteral("00:00") : QStringLiteral("09:30"));
        const QStringList escrito = c.pantalla();
        v.CmdGuardar->click();
        QCOMPARE(c.e.caja.textos(), QStringList{guardado});

        QCOMPARE(c.fila(QStringLiteral("evento"), 1),
                 (QStringList{"1", "2011", "2011-11-25 10:20:30", hora.isEmpty() ? "00:00" : "09:30",
                              descripcion, "Calle Ñandú 5, Col. Peña", "020", "0004", "2011-11-17 08:05:00",
                              "2011-11-18 12:00:00"}));
        QCOMPARE(c.fila(QStringLiteral("suscriptor"), 1),
                 (QStringList{"1", "2011", "Héctor Luna Velázquez", "Rector de la \"UAEM\" y de O'Gorman",
                              "777-31_____", "777-1234567"}));
        const QStringList persona =
            funcionario
                ? QStringList{"0004", "004", "SEB", "", "", ""}
                : QStringList{
                      "", "", "", "Lic. Begoña O'Neill ", "Delegada Regional", "Delegación de Cuautla"};
        QCOMPARE(
            c.fila(QStringLiteral("representante_del_evento"), 1),
            (QStringList{"1", "2011", persona[0], persona[1], persona[2], "777-3180110", "___-_______", "3",
                         funcionario ? "Secretario" : "Gobernador", "Urgente", "Llevar el \"reconocimiento\"",
                         "2011-11-21 16:45:10", persona[3], persona[4], persona[5]}));

        c.e.caja.responde(Caja::Si);
        v.cmdNuevo->click();
        QVERIFY(v.TxtFolio->text().isEmpty());
        QVERIFY(!v.cmdEliminar->isEnabled());
        v.dtpFechaRecep->setDate(QDate(2011, 1, 1));
        v.TxtFolio->setText(QStringLiteral("1"));
        QTest::keyClick(v.TxtFolio, Qt::Key_Return);
        QCOMPARE(c.pantalla(), escrito);
        QVERIFY(v.cmdEliminar->isEnabled());
    }

    // Folios count from 1 within the year; a deleted highest folio is given again.
    void numeracion_data() { agregaMotores(); }
    void numeracion() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        c.registra(QStringLiteral("Del año anterior"), momento(2010, 12, 1, 9, 0));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(c.registra(QStringLiteral("Evento %1").arg(i)), QString::number(i));
        // An event without a place is stored under "Sin Municipio" and its "Sin Localidad".
        QCOMPARE(c.fila(QStringLiteral("evento"), 1).mid(6, 2), (QStringList{"000", "0000"}));
        const auto eliminaYNumera = [&](const QString& folio) {
            c.consulta(folio);
            c.e.caja.responde(Caja::Aceptar);
            c.v.cmdEliminar->click();
            c.v.valores.anio = 2011;
            return c.v.UltimoNro();
        };
        QCOMPARE(eliminaYNumera(QStringLiteral("3")), QStringLiteral("6"));
        QCOMPARE(eliminaYNumera(QStringLiteral("5")), QStringLiteral("5"));
        c.v.valores.anio = 2012;
        QCOMPARE(c.v.UltimoNro(), QStringLiteral("1"));
    }

    // Checks that stop the save before anything is written, with the defaults left on screen.
    void rechazos_data() {
        QTest::addColumn<QString>("descripcion");
        QTest::addColumn<QString>("instruccion");
        QTest::addColumn<QString>("hora");
        QTest::addColumn<QString>("folio");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("campo");
        const QString d = QStringLiteral("Informe anual"), i = QStringLiteral("2 ");
        QTest::newRow("sin descripción")
            << QString() << i << QString() << QString() << QStringLiteral("Por favor describa el Evento")
            << QStringLiteral("txtEvento");
        QTest::newRow("sin instrucción")
            << d << QString() << QString() << QString()
            << QStringLiteral("Por favor seleccione una Instrucción") << QStringLiteral("cmbInstruccion");
        const QString horaMala =
            QStringLiteral("La hora del evento debe estar entre 00:00 y 23:59. Verifique :(");
        QTest::newRow("hora 24") << d << i << QStringLiteral("2400") << QString() << horaMala
                                 << QStringLiteral("mskHora");
        QTest::newRow("minuto 60") << d << i << QStringLiteral("1260") << QString() << horaMala
                                   << QStringLiteral("mskHora");
        QTest::newRow("hora incompleta")
            << d << i << QStringLiteral("13") << QString() << horaMala << QStringLiteral("mskHora");
        QTest::newRow("folio cero") << d << i << QString() << QStringLiteral("0")
                                    << QStringLiteral(
                                           "El folio debe ser un número mayor que cero. Verifique :(")
                                    << QStringLiteral("TxtFolio");
    }
    void rechazos() {
        QFETCH(QString, descripcion);
        QFETCH(QString, instruccion);
        QFETCH(QString, hora);
        QFETCH(QString, folio);
        QFETCH(QString, mensaje);
        QFETCH(QString, campo);
        Captura c;
        QApplication::setActiveWindow(&c.v);
        c.v.txtEvento->setPlainText(descripcion);
        if (!instruccion.isEmpty())
            c.elige(c.v.cmbInstruccion, instruccion);
        QTest::keyClicks(c.v.mskHora, hora);
        c.v.TxtFolio->setText(folio);
        c.v.CmdGuardar->click();
        QCOMPARE(c.e.caja.textos(), QStringList{mensaje});
        QCOMPARE(c.e.caja.ultima().icono, Caja::Icono::Exclamacion);
        QCOMPARE(c.e.caja.ultima().titulo, QStringLiteral("TALOREN"));
        QVERIFY(c.foco());
        QCOMPARE(c.foco()->objectName(), campo);
        QCOMPARE(c.v.cmbMunicipio->currentText(), QStringLiteral("Sin Municipio"));
        QCOMPARE(c.v.cmbLocalidad->currentText(), QStringLiteral("Sin Localidad"));
        if (hora.isEmpty())
            QCOMPARE(c.v.mskHora->displayText(), QStringLiteral("00:00"));
        QCOMPARE(c.v.TxtFolio->text(), folio);
        QVERIFY(c.registro().isEmpty());
    }

    // Every text that fits its column is stored on both backends; one character more is
    // refused before the save, naming the field.
    void largos_data() { agregaMotores(); }
    void largos() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        auto& v = c.v;
        const struct {
            const char* campo;
            int largo;
            std::function<void(const QString&)> pon;
        } campos[] = {
            {"Nombre del suscriptor", 100, [&](const QString& t) { v.CmbSuscriptor->setEditText(t); }},
            {"Cargo del suscriptor", 150, [&](const QString& t) { v.TxtCargoSuscrip->setText(t); }},
            {"Evento", 1000, [&](const QString& t) { v.txtEvento->setPlainText(t); }},
            {"Ubicación del Evento", 500, [&](const QString& t) { v.CmbDirecciones->setEditText(t); }},
            {"Nombre del representante", 100, [&](const QString& t) { v.cmbNombreRep->setEditText(t); }},
            {"Cargo del representante", 150, [&](const QString& t) { v.txtCargoFun->setText(t); }},
            {"Area del representante", 150, [&](const QString& t) { v.txtAreaFun->setText(t); }},
            {"Observación", 2000, [&](const QString& t) { v.TxtObservacion->setPlainText(t); }},
        };
        c.elige(v.cmbInstruccion, QStringLiteral("4 "));
        for (const auto& campo : campos)
            campo.pon(QString(campo.largo, QChar(u'ñ')));
        v.CmdGuardar->click();
        v.CmdGuardar->click();
        QCOMPARE(c.e.caja.textos(), QStringList{guardado});
        for (const auto& campo : campos) {
            campo.pon(QString(campo.largo + 1, QChar(u'á')));
            v.CmdGuardar->click();
            QCOMPARE(c.e.caja.ultima().texto,
                     QStringLiteral("El campo \"%1\" admite hasta %2 caracteres y tiene %3. Verifique :(")
                         .arg(QString::fromUtf8(campo.campo))
                         .arg(campo.largo)
                         .arg(campo.largo + 1));
            campo.pon(QString(campo.largo, QChar(u'ñ')));
        }
        QCOMPARE(c.fila(QStringLiteral("representante_del_evento"), 1).at(12), QString(100, QChar(u'ñ')));
    }

    void consulta() {
        Captura c;
        auto& v = c.v;
        // An event of January 2012 received in November 2011 belongs to 2012.
        const QString folio = c.registra(QStringLiteral("Informe de labores"), momento(2012, 1, 10, 11, 0));
        QCOMPARE(c.fila(QStringLiteral("evento"), 1, 2012).size(), 10);
        c.e.caja.olvida();

        // Looked up in the year of the reception date, the typed folio stays and the rest is cleared.
        v.txtEvento->setPlainText(QStringLiteral("a medio escribir"));
        QApplication::setActiveWindow(&v);
        c.consulta(folio, 2011);
        QCOMPARE(v.TxtFolio->text(), folio);
        QVERIFY(v.txtEvento->toPlainText().isEmpty());
        QCOMPARE(c.foco(), v.dtpFechaRecep);
        // Tab leaves a date picker for the next field.
        QTest::keyClick(v.dtpFechaRecep, Qt::Key_Tab);
        QCOMPARE(c.foco(), v.dtpFechaFisica);
        QVERIFY(!v.cmdEliminar->isEnabled());
        c.consulta(folio, 2012);
        QCOMPARE(v.txtEvento->toPlainText(), QStringLiteral("Informe de labores"));
        QVERIFY(v.cmdEliminar->isEnabled());

        const QStringList antes = c.pantalla();
        v.TxtFolio->clear();
        QTest::keyClick(v.TxtFolio, Qt::Key_Return);
        c.e.caja.responde(Caja::No);
        v.cmdNuevo->click();
        QCOMPARE(c.foco(), v.TxtFolio);
        QCOMPARE(c.pantalla().mid(1), antes.mid(1));
        QCOMPARE(c.e.caja.ultima().titulo, QStringLiteral("TALOREN"));
        QCOMPARE(c.e.caja.ultima().botones, Caja::Si | Caja::No);

        // Printing with no folio asks for one; the query window opens modally over this one.
        c.e.caja.responde(Caja::Aceptar);
        v.CmdImprimir->click();
        QCOMPARE(c.e.caja.ultima().texto, QStringLiteral("Debe Seleccionar un folio para imprimir"));
        Modulo::EstableceAbreConsultas(AbreConsultas);
        v.cmdAgrega->click();
        QCOMPARE(c.e.mostradas.constLast(), QStringLiteral("frmConsultas"));
    }

    // Lists sorted by the name rule, completed as typed; choosing from a list runs its cascade,
    // typing does not.
    void listasYCascadas() {
        Captura c;
        auto& v = c.v;
        auto& kelmar = c.e.base.kelmar();
        const auto entradas = [](const QComboBox* combo) {
            QStringList t;
            for (int i = 0; i < combo->count(); ++i)
                t << combo->itemText(i);
            return t;
        };
        QStringList instrucciones;
        for (const QString& e : entradas(v.cmbInstruccion))
            instrucciones << e.mid(e.indexOf(QLatin1Char(' ')) + 1);
        for (QStringList lista : {entradas(v.CmbSuscriptor), entradas(v.cmbMunicipio),
                                  entradas(v.cmbNombreRep), entradas(v.CmbDirecciones), instrucciones}) {
            QVERIFY(lista.size() > 5);
            const QStringList leida = lista;
            ReglaDeNombres::ordena(lista);
            QCOMPARE(leida, lista);
        }
        QCOMPARE(entradas(v.CmbSuscriptor).count(QStringLiteral("Héctor Luna Velázquez")), 1);

        QTest::keyClicks(v.cmbMunicipio->lineEdit(), QStringLiteral("cuer"));
        QCOMPARE(v.cmbMunicipio->currentText(), QStringLiteral("Cuernavaca"));
        QCOMPARE(v.cmbLocalidad->count(), 0);
        // The drop-down opens on the completed entry, so Enter there chooses it.
        v.cmbMunicipio->showPopup();
        QCOMPARE(v.cmbMunicipio->currentText(), QStringLiteral("Cuernavaca"));
        QCOMPARE(v.cmbMunicipio->itemText(v.cmbMunicipio->view()->currentIndex().row()),
                 QStringLiteral("Cuernavaca"));
        v.cmbMunicipio->hidePopup();
        c.elige(v.cmbMunicipio, QStringLiteral("Cuautla"));
        const QStringList cuautla = entradas(v.cmbLocalidad);
        QVERIFY(cuautla.contains(QStringLiteral("Tetelcingo")) &&
                cuautla.contains(QStringLiteral("Sin Localidad")));
        QCOMPARE(v.valores.cveMunicipio, QStringLiteral("006"));
        v.cmbMunicipio->setEditText(QStringLiteral("Jiutepec"));
        QCOMPARE(entradas(v.cmbLocalidad), cuautla);

        // The locality is looked up within the municipality, the name of another one never taken.
        kelmar.ejecuta(
            QStringLiteral("insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"),
            {QStringLiteral("007"), QStringLiteral("0100"), QStringLiteral("San Isidro")});
        kelmar.ejecuta(
            QStringLiteral("insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"),
            {QStringLiteral("006"), QStringLiteral("0200"), QStringLiteral("San Isidro")});
        const auto guardaEn = [&](const QString& municipio, const QString& localidad) {
            v.LimpiaDatos();
            v.cmbMunicipio->setEditText(municipio);
            v.cmbLocalidad->setEditText(localidad);
            v.txtEvento->setPlainText(QStringLiteral("Visita"));
            c.elige(v.cmbInstruccion, QStringLiteral("1 "));
            v.CmdGuardar->click();
            const int folio = v.TxtFolio->text().toInt();
            v.CmdGuardar->click();
            const QStringList evento = c.fila(QStringLiteral("evento"), folio);
            return evento.isEmpty() ? QString() : evento[6] + QLatin1Char('/') + evento[7];
        };
        QCOMPARE(guardaEn(QStringLiteral("Cuautla"), QStringLiteral("san isidro")),
                 QStringLiteral("006/0200"));
        QCOMPARE(guardaEn(QStringLiteral("Cuernavaca"), QString()), QStringLiteral("007/0000"));
        c.consulta(QStringLiteral("2"));
        QCOMPARE(v.cmbLocalidad->currentText(), QStringLiteral("Sin Localidad"));
        c.e.caja.olvida();
        QCOMPARE(guardaEn(QStringLiteral("Cuernavaca"), QStringLiteral("Tetelcingo")), QString());
        QVERIFY(c.e.caja.ultima().texto.contains(
            QStringLiteral("La localidad \"Tetelcingo\" no pertenece al municipio \"Cuernavaca\"")));
        v.cmbLocalidad->setEditText(QString());
        for (const auto& [instruccion, motivo] : {std::pair{"Asistir", "no comienza con su número"},
                                                  std::pair{"99 Inventada", "no está en el catálogo"}}) {
            v.cmbInstruccion->setEditText(QString::fromUtf8(instruccion));
            v.CmdGuardar->click();
            QCOMPARE(c.e.caja.ultima().icono, Caja::Icono::Critico);
            QVERIFY2(c.e.caja.ultima().texto.contains(QString::fromUtf8(motivo)),
                     qPrintable(c.e.caja.ultima().texto));
        }
    }

    // Only the event this screen looked up is ever overwritten.
    void noSobrescribeOtroEvento_data() { agregaMotores(); }
    void noSobrescribeOtroEvento() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        auto& v = c.v;
        c.registra(QStringLiteral("El primero"));
        c.registra(QStringLiteral("Del año siguiente"), momento(2012, 2, 1, 9, 0));
        const QStringList antes = c.registro();

        v.LimpiaDatos();
        v.TxtFolio->setText(QStringLiteral("1"));
        v.txtEvento->setPlainText(QStringLiteral("Otro, tecleado sin consultar"));
        c.elige(v.cmbInstruccion, QStringLiteral("2 "));
        v.CmdGuardar->click();
        QVERIFY(c.e.caja.ultima().texto.startsWith(
            QStringLiteral("Ya existe un evento con el folio 1 del año 2011 y no es el que se consultó")));
        QCOMPARE(v.TxtFolio->text(), QStringLiteral("1"));
        QCOMPARE(v.txtEvento->toPlainText(), QStringLiteral("Otro, tecleado sin consultar"));

        // A looked-up event moved into a year where its folio is taken is not stored over that one...
        c.consulta(QStringLiteral("1"));
        v.DTPFechaEvento->setDate(QDate(2012, 3, 3));
        v.CmdGuardar->click();
        QVERIFY(c.e.caja.ultima().texto.startsWith(
            QStringLiteral("Ya existe un evento con el folio 1 del año 2012")));
        QCOMPARE(c.registro(), antes);
        // ...and into a free year it is stored anew, the old row staying.
        v.DTPFechaEvento->setDate(QDate(2013, 3, 3));
        v.CmdGuardar->click();
        QCOMPARE(c.e.caja.ultima().texto, guardado);
        QCOMPARE(c.fila(QStringLiteral("evento"), 1, 2013).at(4), QStringLiteral("El primero"));
        QCOMPARE(c.fila(QStringLiteral("evento"), 1, 2011).at(4), QStringLiteral("El primero"));
    }

    // Two stations draw the same new folio and both save: each event keeps its own folio.
    void dosEstaciones_data() { agregaMotores(); }
    void dosEstaciones() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        auto& v = c.v;
        v.txtEvento->setPlainText(QStringLiteral("De esta estación"));
        c.elige(v.cmbInstruccion, QStringLiteral("1 "));
        v.CmdGuardar->click();
        QCOMPARE(v.TxtFolio->text(), QStringLiteral("1"));

        // The other station holds its new event uncommitted while this one saves.
        std::binary_semaphore escrito{0};
        QString falla;
        std::thread otra([&, ajustes = c.e.base.ajustes()] {
            try {
                auto taloren = Servidor::abre(Catalogo::Taloren, ajustes);
                Evento e;
                e.folio = RegistroDeEventos::siguienteFolio(*taloren, 2011).toInt();
                e.anio = 2011;
                e.fecha = e.fechaRecepcion = e.fechaFisica = e.fechaLlamada = momento(2011, 11, 20, 9, 0);
                e.descripcion = QStringLiteral("De la otra estación");
                e.cveMunicipio = QStringLiteral("000");
                e.cveLocalidad = QStringLiteral("0000");
                e.claveInstruccion = 1;
                taloren->enTransaccion([&] {
                    RegistroDeEventos::inserta(*taloren, e);
                    escrito.release();
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                });
            } catch (const std::exception& e) {
                falla = QString::fromUtf8(e.what());
                escrito.release();
            }
        });
        escrito.acquire();
        v.CmdGuardar->click();
        otra.join();
        QVERIFY2(falla.isEmpty(), qPrintable(falla));
        QVERIFY(c.e.caja.ultima().texto.startsWith(
            QStringLiteral("El folio 1 del año 2011 acaba de registrarse desde otra estación")));
        QCOMPARE(v.TxtFolio->text(), QStringLiteral("2"));
        v.CmdGuardar->click();
        QCOMPARE(c.e.caja.ultima().texto, guardado);
        QCOMPARE(c.fila(QStringLiteral("evento"), 1).at(4), QStringLiteral("De la otra estación"));
        QCOMPARE(c.fila(QStringLiteral("evento"), 2).at(4), QStringLiteral("De esta estación"));
    }

    void eliminacion_data() { agregaMotores(); }
    void eliminacion() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        auto& v = c.v;
        c.registra(QStringLiteral("Se queda"));
        c.registra(QStringLiteral("Se va"));
        c.consulta(QStringLiteral("2"));
        const QStringList antes = c.registro();
        const QStringList pantalla = c.pantalla();
        c.e.caja.responde(Caja::Cancelar);
        v.cmdEliminar->click();
        QCOMPARE(c.e.caja.ultima().texto, QStringLiteral("Esta seguro de eliminar esta invitación?"));
        QCOMPARE(c.e.caja.ultima().botones, Caja::Aceptar | Caja::Cancelar);
        QCOMPARE(c.e.caja.ultima().porDefecto, Caja::Cancelar);
        QCOMPARE(c.registro(), antes);
        QCOMPARE(c.pantalla(), pantalla);

        // An event date moved to another year names an event nobody looked up: nothing is asked.
        v.DTPFechaEvento->setDate(QDate(2012, 1, 1));
        v.cmdEliminar->click();
        QVERIFY(
            c.e.caja.ultima().texto.startsWith(QStringLiteral("El folio 2 del año 2012 no es el evento")));
        QCOMPARE(c.registro(), antes);

        // Removed meanwhile by another station: the user is told, not told it was deleted here.
        c.consulta(QStringLiteral("1"));
        c.e.base.taloren().ejecuta(QStringLiteral("delete from evento where folio = 1"));
        c.e.caja.responde(Caja::Aceptar);
        v.cmdEliminar->click();
        QVERIFY(c.e.caja.ultima().texto.startsWith(
            QStringLiteral("El folio 1 del año 2011 ya no estaba registrado")));
        QCOMPARE(v.txtEvento->toPlainText(), QStringLiteral("Se queda"));

        c.consulta(QStringLiteral("2"));
        c.e.caja.responde(Caja::Aceptar);
        v.cmdEliminar->click();
        QCOMPARE(c.e.caja.ultima().texto, QStringLiteral("El folio 2 del año 2011 ha sido eliminado"));
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"}) {
            QVERIFY(c.fila(QString::fromLatin1(tabla), 2).isEmpty());
        }
        QVERIFY(v.TxtFolio->text().isEmpty());
        QVERIFY(v.txtEvento->toPlainText().isEmpty());
        QVERIFY(v.cmdEliminar->isEnabled());
    }

    // A database that fails in mid-operation: the error reaches the user, the screen stays as it
    // was and the register holds nothing of the failed operation.
    void fallas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<bool>("enKelmar");
        QTest::addColumn<QString>("tabla");
        QTest::addColumn<QString>("aviso");
        const struct {
            const char *operacion, *tabla;
            bool kelmar;
            const char* aviso;
        } casos[] = {
            {"insertar", "representante_del_evento", false,
             "¡Error! No fué posible almacenar los datos.\r\rError: "},
            {"actualizar", "representante_del_evento", false,
             "¡Error! No fué posible almacenar los datos.\r\rError: "},
            {"eliminar", "representante_del_evento", false,
             "No fue posible eliminar el folio 1 del año 2011."},
            {"listas", "cat_instrucciones", false, "No fue posible leer las listas"},
            {"municipio", "localidad", true,
             "No fue posible leer las localidades del municipio \"Cuautla\"."},
            {"representante", "cargos", true, "No fue posible leer el cargo y el área"},
            {"suscriptor", "suscriptor_frecuente", false, "No fue posible leer el cargo de"},
            {"consulta", "representante_del_evento", false, "No fue posible consultar el folio 1."},
            {"sin fila", "suscriptor", false, "No fue posible consultar el folio 1."},
            {"actualizar sin fila", "suscriptor", false,
             "¡Error! No fué posible almacenar los datos.\r\rError: 3021\rDescripción: El evento con folio 1 "
             "del "
             "año 2011 no tiene registro en la tabla suscriptor"},
        };
        for (const auto& [motor, nombre] :
             {std::pair{Motor::SQLite, "sqlite"}, std::pair{Motor::PostgreSQL, "postgresql"}})
            for (const auto& c : casos)
                QTest::addRow("%s: %s", nombre, c.operacion)
                    << int(motor) << QString::fromUtf8(c.operacion) << c.kelmar << QString::fromUtf8(c.tabla)
                    << QString::fromUtf8(c.aviso);
    }
    void fallas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, operacion);
        QFETCH(bool, enKelmar);
        QFETCH(QString, tabla);
        QFETCH(QString, aviso);
        // The device: a table renamed away, or an event's subscriber row deleted.
        const bool borraFila = operacion.endsWith(QLatin1String("sin fila"));
        Captura c(motor);
        auto& v = c.v;
        Conexion& catalogo = enKelmar ? c.e.base.kelmar() : c.e.base.taloren();
        const auto rompe = [&] {
            if (borraFila)
                catalogo.ejecuta(QStringLiteral("delete from suscriptor"));
            else
                catalogo.ejecuta(QStringLiteral("alter table %1 rename to roto").arg(tabla));
        };
        const QMap<QString, std::function<void()>> operaciones{
            {QStringLiteral("insertar"), [&] { v.CmdGuardar->click(); }},
            {QStringLiteral("actualizar"), [&] { v.CmdGuardar->click(); }},
            {QStringLiteral("eliminar"),
             [&] {
                 c.e.caja.responde(Caja::Aceptar);
                 v.cmdEliminar->click();
             }},
            {QStringLiteral("listas"), [&] { frmCaptura().show(); }},
            {QStringLiteral("municipio"),
             [&] { Q_EMIT v.cmbMunicipio->activated(v.cmbMunicipio->currentIndex()); }},
            {QStringLiteral("representante"),
             [&] { Q_EMIT v.cmbNombreRep->activated(v.cmbNombreRep->currentIndex()); }},
            {QStringLiteral("suscriptor"),
             [&] { Q_EMIT v.CmbSuscriptor->activated(v.CmbSuscriptor->currentIndex()); }},
            {QStringLiteral("consulta"), [&] { QTest::keyClick(v.TxtFolio, Qt::Key_Return); }},
            {QStringLiteral("sin fila"), [&] { QTest::keyClick(v.TxtFolio, Qt::Key_Return); }},
            {QStringLiteral("actualizar sin fila"), [&] { v.CmdGuardar->click(); }},
        };
        // The entry the user chooses, before the choice runs its cascade.
        const QMap<QString, std::pair<QComboBox*, QString>> elegidas{
            {QStringLiteral("municipio"), {v.cmbMunicipio, QStringLiteral("Cuautla")}},
            {QStringLiteral("representante"), {v.cmbNombreRep, QStringLiteral("Arturo")}},
            {QStringLiteral("suscriptor"), {v.CmbSuscriptor, QStringLiteral("Juana")}},
        };

        c.registra(QStringLiteral("Guardado antes de la falla"));
        if (operacion != QLatin1String("consulta") && operacion != QLatin1String("sin fila"))
            c.consulta(QStringLiteral("1"));
        if (operacion == QLatin1String("insertar")) {
            v.LimpiaDatos();
            v.txtEvento->setPlainText(QStringLiteral("Nuevo"));
            c.elige(v.cmbInstruccion, QStringLiteral("1 "));
            v.CmdGuardar->click();
        } else if (operacion.startsWith(QLatin1String("actualizar"))) {
            v.txtEvento->setPlainText(QStringLiteral("Cambiado"));
        } else if (operacion == QLatin1String("consulta") || operacion == QLatin1String("sin fila")) {
            v.LimpiaDatos();
            v.TxtFolio->setText(QStringLiteral("1"));
        } else if (elegidas.contains(operacion)) {
            const auto [combo, entrada] = elegidas[operacion];
            combo->setCurrentIndex(combo->findText(entrada, Qt::MatchStartsWith));
        }
        c.e.caja.olvida();
        QStringList registro = c.registro();
        const QStringList pantalla = c.pantalla();
        const bool eliminable = v.cmdEliminar->isEnabled();
        const QString municipio = v.valores.cveMunicipio;
        rompe();
        if (borraFila)
            registro = c.registro();

        operaciones[operacion]();
        QCOMPARE(c.e.caja.ultima().icono, Caja::Icono::Critico);
        QCOMPARE(c.e.caja.ultima().titulo, QStringLiteral("TaLoREN"));
        QVERIFY2(c.e.caja.ultima().texto.startsWith(aviso), qPrintable(c.e.caja.ultima().texto));
        QCOMPARE(c.pantalla(), pantalla);
        QCOMPARE(v.cmdEliminar->isEnabled(), eliminable);
        QCOMPARE(v.valores.cveMunicipio, municipio);
        if (!borraFila)
            catalogo.ejecuta(QStringLiteral("alter table roto rename to %1").arg(tabla));
        QCOMPARE(c.registro(), registro);
    }

    // The server gone between the look-up and the save: nothing half-written, the typing kept.
    void servidorPerdido() {
        EXIGE_POSTGRES();
        Captura c(Motor::PostgreSQL);
        c.registra(QStringLiteral("Antes"));
        c.consulta(QStringLiteral("1"));
        const QStringList registro = c.registro();
        c.v.txtEvento->setPlainText(QStringLiteral("Después"));
        const QStringList pantalla = c.pantalla();
        const QVariant pid = Modulo::taloren().ejecuta(QStringLiteral("select pg_backend_pid()")).valor(0, 0);
        c.e.base.taloren().ejecuta(QStringLiteral("select pg_terminate_backend(?)"), {pid});
        c.v.CmdGuardar->click();
        QVERIFY2(c.e.caja.ultima().texto.startsWith(
                     QStringLiteral("¡Error! No fué posible almacenar los datos.\r\rError: %1\rDescripción: ")
                         .arg(CodigoDeError::Conexion)),
                 qPrintable(c.e.caja.ultima().texto));
        QCOMPARE(c.pantalla(), pantalla);
        QCOMPARE(c.registro(), registro);
    }

    // The menu opens the window modally; closed with cmdSalir, it loads afresh the next time.
    void menu() {
        EntornoDeVentanas e;
        e.conecta();
        MDITaloren mdi;
        QStringList folios;
        e.alMostrar = [&](QDialog& ventana) {
            auto& captura = static_cast<frmCaptura&>(ventana);
            folios << captura.TxtFolio->text();
            QCOMPARE(captura.cmbMunicipio->count() > 0, true);
            captura.TxtFolio->setText(QStringLiteral("7"));
            captura.cmdSalir->click();
            QVERIFY(!captura.isVisible());
        };
        mdi.mdiCaptura->trigger();
        mdi.mdiCaptura->trigger();
        QCOMPARE(e.mostradas, QStringList({QStringLiteral("frmCaptura"), QStringLiteral("frmCaptura")}));
        QCOMPARE(folios, QStringList({QString(), QString()}));
    }
};

int main(int argc, char** argv) {
    AplicacionTaloren app(argc, argv);
    AplicacionTaloren::PreparaIdioma();
    TstCaptura prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_captura.moc"
