#include "capture/frmCaptura.h"
#include "common/Aplicacion.h"
#include "outside/Reloj.h"
#include "queries/AbreConsultas.h"
#include "queries/frmConsultas.h"
#include "server/Catalogos.h"
#include "server/Eventos.h"
#include "server/administracion/Administracion.h"
#include "server/administracion/Apertura.h"
#include "startup/MDITaloren.h"
#include "support/ConflictoGuionado.h"
#include "support/EntornoDeVentanas.h"
#include "support/RegistroDeEventos.h"

#include <QAction>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using Caja = CajaDeMensajes;
using namespace Qt::StringLiterals;

namespace {

QDateTime momento(int anio, int mes, int dia, int hora, int minuto, int segundo = 0) {
    return QDateTime(QDate(anio, mes, dia), QTime(hora, minuto, segundo));
}

const QString guardado = u"Actualización realizada satisfactoriamente"_s;

// In the query window: the events of 2011 searched, and Enter on the first row of its grid.
void abreElPrimeroDe2011(frmConsultas& consultas) {
    consultas.OptFecha[1]->click();
    consultas.DTPFechaIni->setDate(QDate(2011, 1, 1));
    consultas.DTPFechaFin->setDate(QDate(2011, 12, 31));
    consultas.CmdBuscar->click();
    consultas.GridResultados->setCurrentIndex(consultas.GridResultados->model()->index(0, 2));
    QTest::keyClick(consultas.GridResultados, Qt::Key_Return);
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
    // What is on screen, with a description and an instruction, stored with two clicks. From the
    // second event on each gets an hour of its own, two hours apart: several events of one day
    // without hour nor representative would be the Secretary's double booking, which asks.
    QString guarda(const QString& descripcion = u"Visita"_s) {
        if (guardados++ > 0)
            v.mskHora->setText(u"%1:00"_s.arg(6 + 2 * (guardados % 9), 2, 10, QLatin1Char('0')));
        v.txtEvento->setPlainText(descripcion);
        elige(v.cmbInstruccion, u"1 "_s);
        v.CmdGuardar->click();
        const QString folio = v.TxtFolio->text();
        v.CmdGuardar->click();
        return folio;
    }
    QString registra(const QString& descripcion, const QDateTime& fecha = momento(2011, 11, 25, 10, 0)) {
        v.LimpiaDatos();
        v.DTPFechaEvento->setDateTime(fecha);
        return guarda(descripcion);
    }
    // Every value the screen shows: for each control, the first of these it has.
    QStringList pantalla() const {
        QStringList t;
        for (const QWidget* w : v.findChildren<QWidget*>())
            for (const char* valor : {"dateTime", "currentText", "displayText", "plainText", "checked"})
                if (const QVariant x = w->property(valor); x.isValid()) {
                    t << x.toString();
                    break;
                }
        return t;
    }
    // The rows a query gives, every column of each.
    QStringList filas(const QString& sql, const QVariantList& valores = {}) {
        const Recordset rs = e.base.taloren().ejecuta(sql, valores);
        QStringList t;
        for (int f = 0; f < rs.filas(); ++f)
            for (int c = 0; c < rs.columnas(); ++c)
                t << rs.texto(f, c);
        return t;
    }
    QStringList fila(const char* tabla, int folio, int anio = 2011) {
        return filas(u"select * from %1 where folio = ? and año = ?"_s.arg(QLatin1String(tabla)),
                     {folio, anio});
    }
    // The whole register, to prove that nothing of a failed operation stays.
    QStringList registro() {
        QStringList t;
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"})
            t << filas(u"select * from %1 order by año, folio"_s.arg(QLatin1String(tabla)));
        return t;
    }
    QWidget* foco() const { return QApplication::focusWidget(); }
    // The text of the last message box.
    QString aviso() const { return e.caja.cajas().isEmpty() ? QString() : e.caja.ultima().texto; }
    // cmdEliminar, answered OK.
    void elimina() {
        e.caja.responde(Caja::Aceptar);
        v.cmdEliminar->click();
    }

    int guardados = 0;
    EntornoDeVentanas e;
    RelojFijo reloj{momento(2011, 11, 18, 9, 15, 30)};
    Reloj::Sustituto enUso{reloj};
    frmCaptura v;
};

} // namespace

class TstCaptura : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The first click numbers, the second stores all three rows; a look-up shows them again as typed.
    void guardaYConsulta_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("funcionario"); // a staff member, with an hour; or a person typed, without
        for (const auto& [nombre, motor] :
             {std::pair{"sqlite", Motor::SQLite}, std::pair{"postgresql", Motor::PostgreSQL}}) {
            QTest::addRow("%s, funcionario", nombre) << int(motor) << true;
            QTest::addRow("%s, no funcionario, sin hora", nombre) << int(motor) << false;
        }
    }
    void guardaYConsulta() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(bool, funcionario);
        Captura c(motor);
        auto& v = c.v;
        c.elige(v.CmbSuscriptor, u"Héctor Luna"_s);
        QCOMPARE(v.TxtCargoSuscrip->text(), u"Rector de la Universidad Autónoma del Estado de Morelos"_s);
        v.TxtCargoSuscrip->setText(u"Rector de la \"UAEM\" y de O'Gorman"_s);
        QTest::keyClicks(v.mskTelSusc, u"77731"_s);
        QTest::keyClicks(v.mskCelularSusc, u"7771234567"_s);
        v.dtpFechaRecep->setDateTime(momento(2011, 11, 17, 8, 5));
        v.dtpFechaFisica->setDateTime(momento(2011, 11, 18, 12, 0));
        v.dtpFechaAviso->setDateTime(momento(2011, 11, 21, 16, 45, 10));
        v.DTPFechaEvento->setDateTime(momento(2011, 11, 25, 10, 20, 30));
        if (funcionario)
            QTest::keyClicks(v.mskHora, u"0930"_s);
        c.elige(v.cmbMunicipio, u"Tepoztlán"_s);
        c.elige(v.cmbLocalidad, u"Amatlán"_s);
        const QString descripcion = u"Festival 'Niños Héroes' del Día del Niño; señalética nueva"_s;
        v.txtEvento->setPlainText(descripcion);
        v.CmbDirecciones->setEditText(u"Calle Ñandú 5, Col. Peña"_s);
        if (funcionario) {
            c.elige(v.cmbNombreRep, u"Patricia Ocampo"_s);
        } else {
            v.optRepGob->setChecked(true);
            v.cmbNombreRep->setEditText(u"Lic. Begoña O'Neill "_s);
            v.txtCargoFun->setText(u"Delegada Regional"_s);
            v.txtAreaFun->setText(u"Delegación de Cuautla"_s);
        }
        QTest::keyClicks(v.mskTelRep, u"7773180110"_s);
        c.elige(v.cmbInstruccion, u"3 "_s);
        v.OptUrgente->setChecked(true);
        v.TxtObservacion->setPlainText(u"Llevar el \"reconocimiento\""_s);

        v.CmdGuardar->click();
        QCOMPARE(v.TxtFolio->text(), u"1"_s);
        QVERIFY(c.registro().isEmpty() && c.e.caja.cajas().isEmpty());
        const QStringList escrito = c.pantalla();
        v.CmdGuardar->click();
        QCOMPARE(c.e.caja.textos(), QStringList{guardado});

        QCOMPARE(c.fila("evento", 1).join(u'|'),
                 u"1|2011|2011-11-25 10:20:30|%1|%2|Calle Ñandú 5, Col. Peña|020|0004|2011-11-17 08:05:00|"
                 u"2011-11-18 12:00:00|1"_s.arg(funcionario ? u"09:30"_s : u"00:00"_s, descripcion));
        QCOMPARE(
            c.fila("suscriptor", 1).join(u'|'),
            u"1|2011|Héctor Luna Velázquez|Rector de la \"UAEM\" y de O'Gorman|777-31_____|777-1234567"_s);
        QCOMPARE(
            c.fila("representante_del_evento", 1).join(u'|'),
            u"1|2011|%1|777-3180110|___-_______|3|%2|Urgente|Llevar el \"reconocimiento\"|"
            u"2011-11-21 16:45:10|%3"_s.arg(
                funcionario ? u"0004|004|SEB"_s : u"||"_s, funcionario ? u"Secretario"_s : u"Gobernador"_s,
                funcionario ? u"||"_s : u"Lic. Begoña O'Neill |Delegada Regional|Delegación de Cuautla"_s));

        c.e.caja.responde(Caja::Si);
        v.cmdNuevo->click();
        QVERIFY(v.TxtFolio->text().isEmpty() && !v.cmdEliminar->isEnabled());
        c.consulta(u"1"_s);
        QVERIFY(c.pantalla() == escrito && v.cmdEliminar->isEnabled());
    }

    // The register of a year, walked: folios count from 1 within the year; a look-up uses the year
    // of the reception date; only the event looked up is ever overwritten; Cancel keeps everything,
    // OK removes all three rows and clears the screen.
    void registroDelAnio_data() { agregaMotores(); }
    void registroDelAnio() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        auto& v = c.v;
        QApplication::setActiveWindow(&v);
        c.registra(u"Del año anterior"_s, momento(2010, 12, 1, 9, 0));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(c.registra(u"Evento %1"_s.arg(i)), QString::number(i));
        // An event without a place is stored under "Sin Municipio" and its "Sin Localidad".
        QCOMPARE(c.fila("evento", 1).mid(6, 2), (QStringList{"000", "0000"}));
        // An event of January 2012 received in November 2011 belongs to 2012.
        QCOMPARE(c.registra(u"Informe de labores"_s, momento(2012, 1, 10, 11, 0)), u"1"_s);

        // A folio not found keeps the typed folio and clears the rest.
        v.txtEvento->setPlainText(u"a medio escribir"_s);
        c.consulta(u"7"_s);
        QVERIFY(v.TxtFolio->text() == u"7"_s && v.txtEvento->toPlainText().isEmpty());
        QVERIFY(c.foco() == v.dtpFechaRecep && !v.cmdEliminar->isEnabled());
        c.consulta(u"1"_s, 2012);
        QVERIFY(v.txtEvento->toPlainText() == u"Informe de labores"_s && v.cmdEliminar->isEnabled());
        // Enter in an empty folio does nothing; No to cmdNuevo keeps the screen.
        v.TxtFolio->clear();
        QStringList pantalla = c.pantalla();
        QTest::keyClick(v.TxtFolio, Qt::Key_Return);
        c.e.caja.responde(Caja::No);
        v.cmdNuevo->click();
        QCOMPARE(c.foco(), v.TxtFolio);
        QCOMPARE(c.pantalla(), pantalla);
        // The query window opens modally over this one; Enter on a row of its
        // grid shows that event here and closes it.
        Modulo::EstableceAperturas({.consultas = AbreConsultas, .evento = [](int, int) { return false; }});
        c.e.alMostrar = [](QDialog& d) { abreElPrimeroDe2011(static_cast<frmConsultas&>(d)); };
        v.LimpiaDatos();
        v.cmdAgrega->click();
        c.e.alMostrar = {};
        QCOMPARE(c.e.mostradas, QStringList{u"frmConsultas"_s});
        QCOMPARE(v.TxtFolio->text(), u"1"_s);
        QVERIFY(!v.txtEvento->toPlainText().isEmpty() && v.cmdEliminar->isEnabled());
        QVERIFY(Modulo::AperturasEnUso().evento && !Modulo::AperturasEnUso().evento(1, 2011));

        // A stored folio typed without a look-up is not overwritten.
        QStringList antes = c.registro();
        v.LimpiaDatos();
        v.TxtFolio->setText(u"1"_s);
        c.guarda(u"Otro, tecleado sin consultar"_s);
        QVERIFY(c.aviso().startsWith(
            u"Ya existe un evento con el folio 1 del año 2011 y no es el que se consultó"_s));
        QVERIFY(v.TxtFolio->text() == u"1"_s &&
                v.txtEvento->toPlainText() == u"Otro, tecleado sin consultar"_s);
        // A looked-up event moved into a year where its folio is taken is not stored over that one...
        c.consulta(u"1"_s);
        v.DTPFechaEvento->setDate(QDate(2012, 3, 3));
        v.CmdGuardar->click();
        QVERIFY(c.aviso().startsWith(u"Ya existe un evento con el folio 1 del año 2012"_s));
        QCOMPARE(c.registro(), antes);
        // ...and into a free year it is stored anew, the old row staying.
        v.DTPFechaEvento->setDate(QDate(2013, 3, 3));
        v.CmdGuardar->click();
        QCOMPARE(c.aviso(), guardado);
        QCOMPARE(c.fila("evento", 1, 2013).at(4), u"Evento 1"_s);
        QCOMPARE(c.fila("evento", 1, 2011).at(4), u"Evento 1"_s);

        // Cancel keeps everything.
        c.consulta(u"3"_s);
        antes = c.registro();
        pantalla = c.pantalla();
        c.e.caja.responde(Caja::Cancelar);
        v.cmdEliminar->click();
        QCOMPARE(c.registro(), antes);
        QCOMPARE(c.pantalla(), pantalla);
        // An event date moved to another year names an event nobody looked up: nothing is asked.
        v.DTPFechaEvento->setDate(QDate(2014, 1, 1));
        v.cmdEliminar->click();
        QVERIFY(c.aviso().startsWith(u"El folio 3 del año 2014 no es el evento"_s));
        QCOMPARE(c.registro(), antes);
        c.consulta(u"3"_s);
        c.elimina();
        QCOMPARE(c.aviso(), u"El folio 3 del año 2011 ha sido eliminado"_s);
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"})
            QVERIFY(c.fila(tabla, 3).isEmpty());
        QVERIFY(v.TxtFolio->text().isEmpty() && v.txtEvento->toPlainText().isEmpty());
        // Removed meanwhile by another station: the user is told, not told it was deleted here.
        c.consulta(u"2"_s);
        c.e.base.taloren().ejecuta(u"delete from evento where folio = 2"_s);
        c.elimina();
        QVERIFY(c.aviso().startsWith(u"El folio 2 del año 2011 ya no estaba registrado"_s));
        QCOMPARE(v.txtEvento->toPlainText(), u"Evento 2"_s);
    }

    // What stops the save before anything is written, in the order checked: the message takes the
    // focus to the field at fault and the defaults stay on screen. Then every text that fits its
    // column is stored, and one character more is refused before the save, naming the field.
    void rechazos_data() { agregaMotores(); }
    void rechazos() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        auto& v = c.v;
        QApplication::setActiveWindow(&v);
        const auto rechaza = [&](QWidget* campo, const QString& mensaje) {
            c.e.caja.olvida();
            v.CmdGuardar->click();
            QCOMPARE(c.e.caja.textos(), QStringList{mensaje});
            QCOMPARE(c.foco(), campo);
            QCOMPARE((QStringList{v.cmbMunicipio->currentText(), v.cmbLocalidad->currentText(),
                                  v.mskHora->displayText(), v.TxtFolio->text()}),
                     (QStringList{u"Sin Municipio"_s, u"Sin Localidad"_s,
                                  campo == v.mskHora ? v.mskHora->displayText() : u"00:00"_s,
                                  campo == v.TxtFolio ? u"0"_s : QString()}));
            QVERIFY(c.registro().isEmpty());
        };
        rechaza(v.txtEvento, u"Por favor describa el Evento"_s);
        v.txtEvento->setPlainText(u"Informe anual"_s);
        rechaza(v.cmbInstruccion, u"Por favor seleccione una Instrucción"_s);
        c.elige(v.cmbInstruccion, u"4 "_s);
        for (const char* hora : {"2400", "1260", "13"}) {
            v.mskHora->clear();
            QTest::keyClicks(v.mskHora, QString::fromLatin1(hora));
            rechaza(v.mskHora, u"La hora del evento debe estar entre 00:00 y 23:59. Verifique :("_s);
        }
        v.mskHora->clear();
        v.TxtFolio->setText(u"0"_s);
        rechaza(v.TxtFolio, u"El folio debe ser un número mayor que cero. Verifique :("_s);
        v.TxtFolio->clear();

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
        for (const auto& campo : campos)
            campo.pon(QString(campo.largo, u'ñ'));
        c.e.caja.olvida();
        v.CmdGuardar->click();
        v.CmdGuardar->click();
        QCOMPARE(c.e.caja.textos(), QStringList{guardado});
        for (const auto& campo : campos) {
            campo.pon(QString(campo.largo + 1, u'á'));
            v.CmdGuardar->click();
            QCOMPARE(c.aviso(), u"El campo \"%1\" admite hasta %2 caracteres y tiene %3. Verifique :("_s.arg(
                                    QString::fromUtf8(campo.campo), QString::number(campo.largo),
                                    QString::number(campo.largo + 1)));
            campo.pon(QString(campo.largo, u'ñ'));
        }
        QCOMPARE(c.fila("representante_del_evento", 1).at(12), QString(100, u'ñ'));
    }

    // Lists sorted by the name rule, completed as typed; choosing from a list runs its cascade,
    // typing does not.
    void listasYCascadas() {
        Captura c;
        auto& v = c.v;
        const auto entradas = [](const QComboBox* combo) {
            QStringList t;
            for (int i = 0; i < combo->count(); ++i)
                t << combo->itemText(i);
            return t;
        };
        // The lists as the catalogues give them, sorted by the name rule.
        Catalogos catalogos(c.e.base.kelmar(), c.e.base.taloren());
        QCOMPARE(entradas(v.CmbSuscriptor), catalogos.suscriptoresFrecuentes());
        QCOMPARE(entradas(v.cmbMunicipio), catalogos.municipios());
        QCOMPARE(entradas(v.cmbNombreRep), catalogos.funcionarios());
        QCOMPARE(entradas(v.CmbDirecciones), catalogos.lugares());
        QCOMPARE(entradas(v.cmbInstruccion), catalogos.instrucciones());

        QTest::keyClicks(v.cmbMunicipio->lineEdit(), u"cuer"_s);
        QVERIFY(v.cmbMunicipio->currentText() == u"Cuernavaca"_s && v.cmbLocalidad->count() == 0);
        c.elige(v.cmbMunicipio, u"Cuautla"_s);
        const QStringList cuautla = entradas(v.cmbLocalidad);
        QVERIFY(cuautla.contains(u"Tetelcingo"_s) && cuautla.contains(u"Sin Localidad"_s));
        v.cmbMunicipio->setEditText(u"Jiutepec"_s);
        QCOMPARE(entradas(v.cmbLocalidad), cuautla);

        // A locality of another municipality is refused, naming both.
        const auto guardaEn = [&](const QString& municipio, const QString& localidad) {
            v.LimpiaDatos();
            v.cmbMunicipio->setEditText(municipio);
            v.cmbLocalidad->setEditText(localidad);
            return c.fila("evento", c.guarda().toInt()).mid(6, 2).join(u'/');
        };
        QCOMPARE(guardaEn(u"Cuernavaca"_s, QString()), u"007/0000"_s);
        c.consulta(u"1"_s);
        QCOMPARE(v.cmbLocalidad->currentText(), u"Sin Localidad"_s);
        c.e.caja.olvida();
        QCOMPARE(guardaEn(u"Cuernavaca"_s, u"Tetelcingo"_s), QString());
        QVERIFY(
            c.aviso().contains(u"La localidad \"Tetelcingo\" no pertenece al municipio \"Cuernavaca\""_s));
        v.cmbLocalidad->setEditText(QString());
        for (const auto& [instruccion, motivo] : {std::pair{"Asistir", "no comienza con su número"},
                                                  std::pair{"99 Inventada", "no está en el catálogo"}}) {
            v.cmbInstruccion->setEditText(QString::fromUtf8(instruccion));
            v.CmdGuardar->click();
            QVERIFY2(c.e.caja.ultima().icono == Caja::Icono::Critico &&
                         c.aviso().contains(QString::fromUtf8(motivo)),
                     qPrintable(c.aviso()));
        }
    }

    // Two stations draw the same new folio and both save: each event keeps its own folio.
    // Another station changes the event this screen looked up. The update and the deletion
    // store nothing and show the comparison; loading what is stored shows the other station's
    // data, and the screen's second choice (saving over, deleting anyway) is written with the
    // newer version it saw.
    // After the window's own checks: a reception or physical reception after today is refused,
    // naming the date; an event date beyond the years the office sets asks when the event is
    // stored, "No" first, and the office can widen them.
    void fechasPlausibles() {
        Captura c;
        c.v.txtEvento->setPlainText(u"Visita"_s);
        c.elige(c.v.cmbInstruccion, u"1 "_s);
        c.v.dtpFechaFisica->setDate(QDate(2011, 11, 19));
        c.v.CmdGuardar->click();
        QCOMPARE(c.aviso(), u"La fecha \"Fecha de recepción Física\" no puede ser posterior a hoy."_s);
        QVERIFY(c.v.TxtFolio->text().isEmpty());
        c.v.dtpFechaFisica->setDate(QDate(2011, 11, 18));
        c.v.DTPFechaEvento->setDateTime(momento(2023, 5, 2, 10, 0));
        c.v.CmdGuardar->click();
        QCOMPARE(c.v.TxtFolio->text(), u"1"_s);
        c.e.caja.olvida();
        c.e.caja.responde(Caja::No);
        c.v.CmdGuardar->click();
        QVERIFY2(
            c.aviso().contains(u"La fecha del evento, 02/05/2023, está fuera de los años en que la oficina "
                               u"registra eventos sin preguntar (de 2001 a 2021)."_s),
            qPrintable(c.aviso()));
        QCOMPARE(c.e.caja.ultima().porDefecto, Caja::No);
        QCOMPARE(c.registro(), QStringList());
        Administracion::Configuracion anios;
        anios.aniosAdelante = 12;
        Administracion::estableceConfiguracion(c.e.base.kelmar(), anios);
        c.e.caja.olvida();
        c.v.CmdGuardar->click();
        QCOMPARE(c.aviso(), guardado);
        QCOMPARE(c.fila("evento", 1, 2023).size(), 11);
    }

    void cambiadoPorOtraEstacion_data() { agregaMotores(); }
    void cambiadoPorOtraEstacion() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        QCOMPARE(c.registra(u"Feria del libro"_s), u"1"_s);
        const auto otra = c.e.base.abre(Catalogo::Taloren);
        const auto cambiaAlla = [&](const QString& descripcion) {
            Evento e = Eventos::lee(*otra, 1, 2011);
            e.descripcion = descripcion;
            QCOMPARE(Eventos::actualiza(*otra, e, {u"ana"_s, u"ventanilla-2"_s}), Eventos::Escritura::Hecha);
        };
        ConflictoVisto visto;

        c.consulta(u"1"_s);
        cambiaAlla(u"Feria del libro infantil"_s);
        c.v.mskHora->setText(u"12:00"_s);
        decideConflicto(c.e, &FrmConflicto::CmdRecargar, visto);
        c.v.CmdGuardar->click();
        QVERIFY2(
            visto.quien.startsWith(u"Otra estación modificó el evento con folio 1 del año 2011 después de su "
                                   u"consulta: ana, desde la estación ventanilla-2"_s),
            qPrintable(visto.quien));
        QCOMPARE(visto.filas,
                 QStringList({u"Hora|12:00|00:00|Solo usted"_s,
                              u"Evento|Feria del libro|Feria del libro infantil|Solo la otra estación"_s}));
        QCOMPARE(c.v.txtEvento->toPlainText(), u"Feria del libro infantil"_s);
        QCOMPARE(c.fila("evento", 1).at(3), u"00:00"_s);

        cambiaAlla(u"Feria del libro juvenil"_s);
        c.v.mskHora->setText(u"12:00"_s);
        decideConflicto(c.e, &FrmConflicto::CmdSobrescribir, visto);
        c.v.CmdGuardar->click();
        QCOMPARE(c.aviso(), guardado);
        QCOMPARE(c.fila("evento", 1).mid(3, 2), QStringList({u"12:00"_s, u"Feria del libro infantil"_s}));

        // A deletion against a changed event: refused and compared, then deleted on purpose.
        c.consulta(u"1"_s);
        cambiaAlla(u"Feria cancelada"_s);
        decideConflicto(c.e, &FrmConflicto::CmdSobrescribir, visto);
        c.elimina();
        QCOMPARE(visto.filas,
                 QStringList({u"Evento|Feria del libro infantil|Feria cancelada|Solo la otra estación"_s}));
        QCOMPARE(c.fila("evento", 1), QStringList());
    }

    void dosEstaciones_data() { agregaMotores(); }
    void dosEstaciones() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        auto& v = c.v;
        v.txtEvento->setPlainText(u"De esta estación"_s);
        c.elige(v.cmbInstruccion, u"1 "_s);
        v.CmdGuardar->click();
        QCOMPARE(v.TxtFolio->text(), u"1"_s);

        // The other station stores its new event first (how a save waits for one still uncommitted is
        // the data layer's: tst_eventos).
        Eventos::insertaConFolioNuevo(
            *c.e.base.abre(Catalogo::Taloren),
            RegistroDeEventos::comoEvento(EventoDePrueba{.fecha = momento(2011, 11, 20, 9, 0),
                                                         .descripcion = u"De la otra estación"_s}),
            {u"ana"_s, u"ventanilla-2"_s});
        v.CmdGuardar->click();
        // The save took the next folio, and says so.
        QCOMPARE(c.aviso(), guardado +
                                u"\r\rOtra estación registró antes el folio 1; este evento quedó guardado "
                                u"con el folio 2 del año 2011."_s);
        QCOMPARE(v.TxtFolio->text(), u"2"_s);
        QCOMPARE(c.fila("evento", 1).at(4), u"De la otra estación"_s);
        QCOMPARE(c.fila("evento", 2).at(4), u"De esta estación"_s);
    }

    // A database that fails in mid-operation: the error reaches the user, the screen stays as it
    // was and the register holds nothing of the failed operation.
    void fallas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("tabla"); // renamed away (in kelmar when so prefixed); none: a row
        // deleted; "servidor": the connection ended
        QTest::addColumn<QString>("aviso");
        // The list the user chooses from, and the entry, before the choice runs its cascade.
        QTest::addColumn<QString>("lista");
        const char* almacenar = "¡Error! No fué posible almacenar los datos.\r\rError: ";
        const struct {
            const char *nombre, *tabla, *aviso, *lista = "";
        } casos[] = {
            {"insertar", "representante_del_evento", almacenar},
            {"actualizar", "representante_del_evento", almacenar},
            {"eliminar", "representante_del_evento", "No fue posible eliminar el folio 1 del año 2011."},
            {"listas", "cat_instrucciones", "No fue posible leer las listas"},
            {"municipio", "kelmar.localidad",
             "No fue posible leer las localidades del municipio \"Cuautla\".", "cmbMunicipio:Cuautla"},
            {"representante", "kelmar.cargos", "No fue posible leer el cargo y el área",
             "cmbNombreRep:Arturo"},
            {"suscriptor", "suscriptor_frecuente", "No fue posible leer el cargo de", "CmbSuscriptor:Juana"},
            {"consulta", "representante_del_evento", "No fue posible consultar el folio 1."},
            // The event's subscriber row deleted.
            {"consulta sin fila", "", "No fue posible consultar el folio 1."},
        };
        agregaFilasPorMotor(casos, [](QTestData& fila, const auto& c) {
            for (const char* valor : {c.nombre, c.tabla, c.aviso, c.lista})
                fila << QString::fromUtf8(valor);
        });
        // The server gone between the look-up and the save.
        QTest::newRow("postgresql: actualizar, servidor perdido")
            << int(Motor::PostgreSQL) << u"actualizar"_s << u"servidor"_s
            << QString::fromUtf8(almacenar) + QString::number(CodigoDeError::Conexion) + u"\rDescripción: "_s
            << QString();
    }
    void fallas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, operacion);
        QFETCH(QString, tabla);
        QFETCH(QString, aviso);
        QFETCH(QString, lista);
        Captura c(motor);
        auto& v = c.v;
        c.registra(u"Guardado antes de la falla"_s);
        const bool consulta = operacion.startsWith("consulta"_L1);
        c.consulta(u"1"_s);
        if (consulta)
            v.LimpiaDatos();
        v.TxtFolio->setText(u"1"_s);
        auto* combo = lista.isEmpty() ? nullptr : v.findChild<QComboBox*>(lista.section(u':', 0, 0));
        if (combo)
            combo->setCurrentIndex(combo->findText(lista.section(u':', 1), Qt::MatchStartsWith));
        if (operacion.startsWith("insertar"_L1)) {
            v.LimpiaDatos();
            v.txtEvento->setPlainText(u"Nuevo"_s);
            c.elige(v.cmbInstruccion, u"1 "_s);
            v.CmdGuardar->click();
        } else if (operacion.startsWith("actualizar"_L1)) {
            v.txtEvento->setPlainText(u"Cambiado"_s);
        }
        c.e.caja.olvida();
        const QStringList pantalla = c.pantalla();
        const bool eliminable = v.cmdEliminar->isEnabled();
        const QString municipio = v.valores.cveMunicipio;
        Conexion& catalogo = tabla.startsWith("kelmar."_L1) ? c.e.base.kelmar() : c.e.base.taloren();
        const QString nombre = tabla.section(u'.', -1);
        QStringList registro = c.registro();
        const bool renombrada = !tabla.isEmpty() && tabla != "servidor"_L1;
        if (tabla == "servidor"_L1)
            catalogo.ejecuta(u"select pg_terminate_backend(?)"_s,
                             {Modulo::taloren().ejecuta(u"select pg_backend_pid()"_s).valor(0, 0)});
        else
            catalogo.ejecuta(renombrada ? u"alter table %1 rename to roto"_s.arg(nombre)
                                        : u"delete from suscriptor"_s);
        if (tabla.isEmpty())
            registro = c.registro();

        if (combo) {
            Q_EMIT combo->activated(combo->currentIndex());
        } else if (operacion.startsWith("eliminar"_L1)) {
            c.elimina();
        } else if (operacion == "listas"_L1) {
            frmCaptura().show();
        } else if (consulta) {
            QTest::keyClick(v.TxtFolio, Qt::Key_Return);
        } else {
            v.CmdGuardar->click();
        }
        QCOMPARE(c.e.caja.cajas().size(), operacion.startsWith("eliminar"_L1) ? 2 : 1);
        QVERIFY2(c.e.caja.ultima().icono == Caja::Icono::Critico && c.aviso().startsWith(aviso),
                 qPrintable(c.aviso()));
        QVERIFY(c.pantalla() == pantalla && v.cmdEliminar->isEnabled() == eliminable &&
                v.valores.cveMunicipio == municipio);
        if (renombrada)
            catalogo.ejecuta(u"alter table roto rename to %1"_s.arg(nombre));
        QCOMPARE(c.registro(), registro);
    }

    // Closing asks, "No" first and keeping the screen, while something is not
    // stored; the first click of a new event says so until the second
    // stores it; a stored or looked-up event closes at once.
    void cierre_data() { agregaMotores(); }
    void cierre() {
        MOTOR_DE_LA_FILA(motor);
        Captura c(motor);
        const QString pregunta = u"¿Desea cerrar sin guardar los cambios?"_s;
        c.v.TxtFolio->setText(u"12"_s);
        c.v.cmdSalir->click();
        QVERIFY(!c.v.isVisible() && c.e.caja.cajas().isEmpty());

        c.v.show();
        c.v.TxtFolio->clear();
        c.v.txtEvento->setPlainText(u"Visita"_s);
        c.elige(c.v.cmbInstruccion, u"1 "_s);
        c.e.caja.responde(Caja::No);
        c.v.close();
        QVERIFY(c.v.isVisible());
        QCOMPARE(c.aviso(), pregunta);
        QCOMPARE(c.e.caja.ultima().porDefecto, Caja::No);

        c.v.CmdGuardar->click();
        const QString folio = c.v.TxtFolio->text();
        QCOMPARE(
            c.v.LblMensajeAUsuario->text(),
            u"El evento aún no está guardado: guarde otra vez para guardarlo con el folio %1."_s.arg(folio));
        c.e.caja.olvida();
        c.e.caja.responde(Caja::No);
        c.v.cmdSalir->click();
        QCOMPARE(c.aviso(), u"El evento con el folio %1 aún no está guardado.\r\r"_s.arg(folio) + pregunta);
        QVERIFY(c.v.isVisible());
        QVERIFY(c.filas(u"select folio from evento"_s).isEmpty());

        c.v.CmdGuardar->click();
        QCOMPARE(c.aviso(), guardado);
        QVERIFY(c.v.LblMensajeAUsuario->text().isEmpty());
        c.e.caja.olvida();
        c.v.cmdSalir->click();
        QVERIFY(!c.v.isVisible() && c.e.caja.cajas().isEmpty());

        c.v.show();
        c.v.LimpiaDatos();
        c.consulta(folio);
        c.v.TxtObservacion->setPlainText(u"otra cosa"_s);
        c.e.caja.olvida();
        c.e.caja.responde(Caja::Si);
        c.v.close();
        QVERIFY(!c.v.isVisible());
        QCOMPARE(c.aviso(), pregunta);
    }

    // The menu opens both windows modally, the capture window loaded afresh
    // each time; Enter on the query grid opened from the menu shows the event
    // in a capture window over it, the query window staying beneath.
    void menu() {
        Captura c;
        const QString folio = c.registra(u"Visita al plantel"_s);
        MDITaloren mdi;
        QStringList folios;
        c.e.alMostrar = [&](QDialog& ventana) {
            if (auto* captura = dynamic_cast<frmCaptura*>(&ventana)) {
                folios << captura->TxtFolio->text();
                captura->TxtFolio->setText(u"7"_s);
            } else if (auto* consultas = dynamic_cast<frmConsultas*>(&ventana)) {
                abreElPrimeroDe2011(*consultas);
            }
        };
        c.e.mostradas.clear();
        for (QAction* menu : {mdi.mdiCaptura, mdi.mdiCaptura, mdi.mdiConsultas})
            menu->trigger();
        QCOMPARE(c.e.mostradas,
                 QStringList({u"frmCaptura"_s, u"frmCaptura"_s, u"frmConsultas"_s, u"frmCaptura"_s}));
        QCOMPARE(folios, QStringList({QString(), QString(), folio}));
    }
};

int main(int argc, char** argv) {
    AplicacionTaloren app(argc, argv);
    AplicacionTaloren::PreparaIdioma();
    TstCaptura prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_captura.moc"
