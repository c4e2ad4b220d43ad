#include "common/Modulo.h"
#include "controls/MensajeTemporal.h"
#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "queries/HojasDeConsulta.h"
#include "queries/ModeloDeEventos.h"
#include "queries/frmConsultas.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "support/EntornoDeDocumentos.h"
#include "support/EntornoDeVentanas.h"
#include "support/RegistroDeEventos.h"
#include "support/ResolucionPorRenglon.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using Caja = CajaDeMensajes;

namespace {

// Today, for every test: Sunday the third of March of 2024.
const QDateTime ahora(QDate(2024, 3, 3), QTime(10, 0));

EventoDePrueba evento(int folio, const QDateTime& fecha, const QString& descripcion = {}) {
    EventoDePrueba e;
    e.folio = folio;
    e.fecha = fecha;
    e.descripcion = descripcion.isEmpty() ? QStringLiteral("Evento %1").arg(folio) : descripcion;
    return e;
}

// The window over a test's catalogs, with the clock fixed and the word
// processor of the build in place.
struct Consultas {
    explicit Consultas(Motor motor) : e(motor), reloj(ahora), enHora(reloj) {
        e.conecta();
        v.show();
    }
    template <typename T> T* c(const char* nombre) const {
        T* w = v.findChild<T*>(QString::fromLatin1(nombre));
        if (!w)
            qFatal("no está el control %s", nombre);
        return w;
    }
    void buscaRango(const QDate& del, const QDate& al) {
        c<QRadioButton>("OptFecha_1")->click();
        c<QDateEdit>("DTPFechaIni")->setDate(del);
        c<QDateEdit>("DTPFechaFin")->setDate(al);
        c<QToolButton>("CmdBuscar")->click();
    }
    void buscaProximos() {
        c<QRadioButton>("OptFecha_2")->click();
        c<QToolButton>("CmdBuscar")->click();
    }
    QStringList columna(int posicion) const {
        QStringList r;
        for (int i = 0; i < v.modelo().rowCount(); ++i)
            r << v.modelo().texto(i, posicion);
        return r;
    }
    // Whether the window is searchable (criteria on, nothing to print).
    bool buscable() const {
        return c<QRadioButton>("OptFecha_1")->isEnabled() && c<QRadioButton>("OptFecha_2")->isEnabled() &&
               c<QToolButton>("CmdBuscar")->isEnabled() && !c<QPushButton>("cmdimprimeconsulta")->isEnabled();
    }
    bool buscado() const {
        return !c<QRadioButton>("OptFecha_1")->isEnabled() && !c<QRadioButton>("OptFecha_2")->isEnabled() &&
               !c<QToolButton>("CmdBuscar")->isEnabled() && c<QPushButton>("cmdimprimeconsulta")->isEnabled();
    }
    bool enReposo() const { return !v.MensajeTemporal->isVisible() && !QApplication::overrideCursor(); }
    Conexion& taloren() { return e.base.taloren(); }
    Conexion& kelmar() { return e.base.kelmar(); }

    EntornoDeVentanas e;
    RelojFijo reloj;
    Reloj::Sustituto enHora;
    EntornoDeDocumentos docs;
    frmConsultas v;
};

} // namespace

class TstConsultas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The date options: a range takes its first day up to the day after its
    // last; upcoming events are today's and later ones. Grid in order of day and hour.
    void busqueda_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("rango");
        QTest::addColumn<QStringList>("folios");
        for (const auto& [nombre, motor] :
             {std::pair{"sqlite", Motor::SQLite}, std::pair{"postgresql", Motor::PostgreSQL}}) {
            QTest::addRow("%s, del 1 al 5", nombre) << int(motor) << true << QStringList{"2", "5", "6", "3"};
            QTest::addRow("%s, próximos", nombre) << int(motor) << false << QStringList{"6", "3", "4", "7"};
        }
    }
    void busqueda() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(bool, rango);
        QFETCH(QStringList, folios);
        Consultas w(motor);
        const QDate d(2024, 3, 1);
        RegistroDeEventos::inserta(w.taloren(), evento(1, QDateTime(d.addDays(-1), QTime(23, 59, 59))));
        RegistroDeEventos::inserta(w.taloren(), evento(2, QDateTime(d, QTime(0, 0))));
        RegistroDeEventos::inserta(w.taloren(), evento(3, QDateTime(d.addDays(4), QTime(23, 59, 59))));
        RegistroDeEventos::inserta(w.taloren(), evento(4, QDateTime(d.addDays(5), QTime(0, 0))));
        EventoDePrueba tarde = evento(5, QDateTime(d.addDays(1), QTime(8, 0)));
        tarde.hora = QStringLiteral("18:30");
        RegistroDeEventos::inserta(w.taloren(), tarde);
        EventoDePrueba temprano = evento(6, QDateTime(d.addDays(1), QTime(23, 0)));
        temprano.fecha = QDateTime(d.addDays(2), QTime(0, 0));
        temprano.hora = QStringLiteral("07:00");
        RegistroDeEventos::inserta(w.taloren(), temprano);
        RegistroDeEventos::inserta(w.taloren(), evento(7, QDateTime(QDate(2025, 1, 10), QTime(12, 0))));

        if (rango)
            w.buscaRango(d, d.addDays(4));
        else
            w.buscaProximos();
        QCOMPARE(w.columna(0), folios);
        QCOMPARE(w.v.opcion_fecha, rango ? 1 : 2);
        QVERIFY(w.v.consulta_base.endsWith(QLatin1Char(' ')));
        QCOMPARE(w.c<QLabel>("LblTotal")->text(), QString::number(folios.size()));
        QVERIFY(w.buscado());
        QVERIFY(w.enReposo());
        QVERIFY(w.e.caja.cajas().isEmpty());
        QCOMPARE(w.v.modelo().texto(0, 1),
                 rango ? QStringLiteral("01/03/2024") : QStringLiteral("03/03/2024"));
    }

    // The search procedure refuses an option or a date it does not know, saying which.
    void procedimientoRechaza_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("opcion");
        QTest::addColumn<QString>("inicio");
        QTest::addColumn<QString>("fin");
        QTest::addColumn<QString>("nombrado");
        for (const auto& [nombre, motor] :
             {std::pair{"sqlite", Motor::SQLite}, std::pair{"postgresql", Motor::PostgreSQL}}) {
            QTest::addRow("%s, opción", nombre) << int(motor) << "3"
                                                << "03/01/2024"
                                                << ""
                                                << "\"3\"";
            QTest::addRow("%s, inicio", nombre) << int(motor) << "1"
                                                << "2024-03-01"
                                                << "03/06/2024"
                                                << "@FechaIni";
            QTest::addRow("%s, fin vacío", nombre) << int(motor) << "1"
                                                   << "03/01/2024"
                                                   << ""
                                                   << "@FechaFin";
        }
    }
    void procedimientoRechaza() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, opcion);
        QFETCH(QString, inicio);
        QFETCH(QString, fin);
        QFETCH(QString, nombrado);
        BaseDePrueba base(motor);
        Parametros p{Parametro::entrada(QStringLiteral("@OptSelAsuntos"), TipoDeParametro::Char, 1, opcion),
                     Parametro::entrada(QStringLiteral("@FechaIni"), TipoDeParametro::VarChar, 10, inicio),
                     Parametro::entrada(QStringLiteral("@FechaFin"), TipoDeParametro::VarChar, 10, fin)};
        const ErrorDeEjecucion e = errorDe(
            [&] { base.taloren().ejecutaProcedimiento(QStringLiteral("sp_ZMXObtenerRegsInvitaciones"), p); });
        QVERIFY(e.numero() < 0);
        QVERIFY2(e.descripcion().contains(nombrado), qPrintable(e.descripcion()));
    }

    // Names resolved from the catalogues for staff members, as recorded for
    // the others, empty for places the catalogues do not know; the same cell
    // for cell as resolving record by record.
    void resolucion_data() { agregaMotores(); }
    void resolucion() {
        MOTOR_DE_LA_FILA(motor);
        Consultas w(motor);
        w.kelmar().ejecuta(
            QStringLiteral("insert into funcionarios (cvefuncionario, nombre, cvecargo, cvearea)"
                           " values (?, ?, ?, ?)"),
            {QStringLiteral("0100"), QStringLiteral("Funcionaria Sin Cargo"), QVariant(),
             QStringLiteral("SE")});
        struct Caso {
            QVariant clave, municipio, localidad;
            const char *nombre, *cargo;
        };
        const Caso casos[] = {
            {QStringLiteral("0004"), QStringLiteral("007"), QStringLiteral("0002"), "", ""},
            {QStringLiteral(" 0004 "), QStringLiteral(" 006 "), QStringLiteral("0001 "), "", ""},
            {QStringLiteral("0100"), QStringLiteral("099"), QStringLiteral("0001"), "Otro", "Cargo anotado"},
            {QStringLiteral("X1"), QStringLiteral("007"), QStringLiteral("0099"), "Invitado Externo",
             "Regidor"},
            {QString(), QVariant(), QVariant(), "Persona Sin Clave", "Asesor externo"},
            {QVariant(), QStringLiteral("007"), QVariant(), "Otra Persona", ""},
        };
        int folio = 0;
        for (const Caso& c : casos) {
            ++folio;
            EventoDePrueba ev = evento(folio, QDateTime(QDate(2024, 3, 4), QTime(9, folio)));
            ev.hora = QStringLiteral("%1:00").arg(9 + folio, 2, 10, QLatin1Char('0'));
            ev.claveFuncionario = c.clave;
            ev.municipio = c.municipio;
            ev.localidad = c.localidad;
            ev.nombre = QString::fromUtf8(c.nombre);
            ev.cargo = QString::fromUtf8(c.cargo);
            RegistroDeEventos::inserta(w.taloren(), ev);
        }
        w.buscaProximos();
        QCOMPARE(w.columna(ModeloDeEventos::Municipio),
                 (QStringList{"Cuernavaca", "Cuautla", "", "Cuernavaca", "", "Cuernavaca"}));
        QCOMPARE(w.columna(ModeloDeEventos::Localidad),
                 (QStringList{"Ahuatepec", "Cuautla", "", "", "", ""}));
        QCOMPARE(w.columna(ModeloDeEventos::Representante),
                 (QStringList{"Patricia Ocampo Bahena", "Patricia Ocampo Bahena", "Funcionaria Sin Cargo",
                              "Invitado Externo", "Persona Sin Clave", "Otra Persona"}));
        QCOMPARE(w.columna(ModeloDeEventos::Cargo),
                 (QStringList{"Subsecretario de Educación Básica", "Subsecretario de Educación Básica",
                              "Cargo anotado", "Regidor", "Asesor externo", ""}));

        ModeloDeEventos porRenglon;
        porRenglon.asigna(w.v.modelo().registros());
        ResolucionPorRenglon::Resuelve(porRenglon, w.kelmar());
        for (int p = ModeloDeEventos::Municipio; p <= ModeloDeEventos::Cargo; ++p)
            for (int i = 0; i < porRenglon.rowCount(); ++i)
                QCOMPARE(w.v.modelo().texto(i, p), porRenglon.texto(i, p));
    }

    // On a generated register: every cell as the record-by-record method
    // gives it, and the same few statements for ten events as for hundreds.
    void registroGenerado_data() { agregaMotores(); }
    void registroGenerado() {
        MOTOR_DE_LA_FILA(motor);
        Consultas w(motor);
        RegistroDeEventos::genera(w.kelmar(), w.taloren(), {400, QDate(2024, 1, 1), 300, 120, 25, 4, 7});
        QAbstractItemModelTester probador(&w.v.modelo(),
                                          QAbstractItemModelTester::FailureReportingMode::QtTest);

        Conexion& kelmar = Modulo::kelmar();
        qint64 antes = kelmar.sentenciasEnviadas();
        w.buscaRango(QDate(2024, 1, 1), QDate(2024, 1, 10));
        const qint64 pocas = kelmar.sentenciasEnviadas() - antes;
        const int eventosPocos = w.v.modelo().rowCount();
        w.c<QToolButton>("CmdLimpiar")->click();
        antes = kelmar.sentenciasEnviadas();
        w.buscaRango(QDate(2024, 1, 1), QDate(2024, 12, 31));
        const qint64 muchas = kelmar.sentenciasEnviadas() - antes;
        QVERIFY2(eventosPocos > 3 && w.v.modelo().rowCount() == 400,
                 qPrintable(QString::number(eventosPocos)));
        QCOMPARE(muchas, pocas);
        QVERIFY(muchas <= 4);

        ModeloDeEventos porRenglon;
        porRenglon.asigna(w.v.modelo().registros());
        ResolucionPorRenglon::Resuelve(porRenglon, w.kelmar());
        for (int i = 0; i < porRenglon.rowCount(); ++i)
            for (int p = 0; p < ModeloDeEventos::Columnas; ++p)
                QCOMPARE(w.v.modelo().texto(i, p), porRenglon.texto(i, p));
    }

    // A search without events says so and leaves the criteria on; clearing
    // after a search returns to them, keeping the option and the dates.
    void sinRegistrosYLimpiar_data() { agregaMotores(); }
    void sinRegistrosYLimpiar() {
        MOTOR_DE_LA_FILA(motor);
        Consultas w(motor);
        QVERIFY(w.c<QRadioButton>("OptFecha_2")->isChecked());
        QVERIFY(!w.c<QDateEdit>("DTPFechaIni")->isVisible() && !w.c<QLabel>("LblFechaFin")->isVisible());
        QCOMPARE(w.c<QDateEdit>("DTPFechaFin")->date(), ahora.date());
        QVERIFY(w.buscable());

        w.buscaRango(QDate(2024, 3, 10), QDate(2024, 3, 12));
        QVERIFY(w.c<QDateEdit>("DTPFechaIni")->isVisible() && w.c<QLabel>("lblFechaIni")->isVisible());
        QCOMPARE(w.e.caja.textos(), QStringList{QStringLiteral("No Existen Registros, verifique.")});
        QCOMPARE(w.e.caja.ultima().titulo, QStringLiteral("TALOREN"));
        QCOMPARE(w.v.modelo().rowCount(), 0);
        QVERIFY(w.buscable());
        QVERIFY(w.enReposo());
        QVERIFY(w.c<QLabel>("LblTotal")->text().isEmpty());

        RegistroDeEventos::inserta(w.taloren(), evento(1, QDateTime(QDate(2024, 3, 11), QTime(9, 0))));
        w.c<QToolButton>("CmdBuscar")->click();
        QVERIFY(w.buscado());
        w.c<QToolButton>("CmdLimpiar")->click();
        QVERIFY(w.buscable());
        QCOMPARE(w.v.modelo().rowCount(), 0);
        QVERIFY(w.c<QLabel>("LblTotal")->text().isEmpty());
        QVERIFY(w.c<QRadioButton>("OptFecha_1")->isChecked());
        QCOMPARE(w.c<QDateEdit>("DTPFechaIni")->date(), QDate(2024, 3, 10));
        QCOMPARE(w.c<QDateEdit>("DTPFechaFin")->date(), QDate(2024, 3, 12));
        w.c<QRadioButton>("OptFecha_2")->click();
        QVERIFY(!w.c<QDateEdit>("DTPFechaIni")->isVisible());
        QCOMPARE(w.e.caja.cajas().size(), 1);
    }

    // A catalog that fails during the search: the error window tells it, the
    // grid stays empty and the window searchable, wait panel and hourglass gone.
    void fallaLaBusqueda_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("catalogo");
        for (const auto& [nombre, motor] :
             {std::pair{"sqlite", Motor::SQLite}, std::pair{"postgresql", Motor::PostgreSQL}})
            for (const char* catalogo : {"taloren", "kelmar"})
                QTest::addRow("%s, %s", nombre, catalogo) << int(motor) << QString::fromLatin1(catalogo);
    }
    void fallaLaBusqueda() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, catalogo);
        Consultas w(motor);
        RegistroDeEventos::inserta(w.taloren(), evento(1, QDateTime(QDate(2024, 3, 11), QTime(9, 0))));
        QString reportado;
        w.e.alMostrar = [&](QDialog& v) {
            reportado = v.findChild<QLabel*>(QStringLiteral("LblDescripDelError"))->text();
        };
        (catalogo == QLatin1String("taloren") ? Modulo::taloren() : Modulo::kelmar()).cierra();
        w.buscaProximos();
        QCOMPARE(w.e.mostradas, QStringList{QStringLiteral("FrmErrores")});
        QVERIFY2(reportado.contains(catalogo), qPrintable(reportado));
        QCOMPARE(w.v.modelo().rowCount(), 0);
        QVERIFY(w.buscable());
        QVERIFY(w.enReposo());
        QVERIFY(w.c<QLabel>("LblTotal")->text().isEmpty());
    }

    // Fifty events to a sheet, in the grid's order, fields numbered from 1 in
    // each; the saved sheets hold what was written.
    void hojas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("eventos");
        QTest::addColumn<QList<int>>("porHoja");
        for (const auto& [nombre, motor] :
             {std::pair{"sqlite", Motor::SQLite}, std::pair{"postgresql", Motor::PostgreSQL}}) {
            QTest::addRow("%s, 120", nombre) << int(motor) << 120 << QList<int>{50, 50, 20};
        }
        QTest::addRow("sqlite, 100") << int(Motor::SQLite) << 100 << QList<int>{50, 50};
        QTest::addRow("sqlite, 1") << int(Motor::SQLite) << 1 << QList<int>{1};
    }
    void hojas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, eventos);
        QFETCH(QList<int>, porHoja);
        Consultas w(motor);
        RegistroDeEventos::genera(w.kelmar(), w.taloren(), {eventos, QDate(2024, 4, 1), 60, 30, 5, 2, 3});
        w.buscaProximos();
        QCOMPARE(w.v.modelo().rowCount(), eventos);
        w.c<QPushButton>("cmdimprimeconsulta")->click();
        QVERIFY(w.e.caja.cajas().isEmpty());
        QVERIFY(w.enReposo());

        const QList<Operacion>& ops = w.docs.anotador.operaciones;
        const LecturaDeDocx vacia = leePlantilla(QStringLiteral("PlantillaConsulta.dotx"));
        const QString blancos = vacia.resultados.value(QStringLiteral("txtfolio1"));
        int i = 0;
        for (int d = 1; d <= porHoja.size(); ++d) {
            QCOMPARE(ops.at(i++).clase, Operacion::Inicia);
            QCOMPARE(ops.at(i).clase, Operacion::Nuevo);
            QCOMPARE(ops.at(i++).nombre, QStringLiteral("PlantillaConsulta.dot"));
            QStringList campos;
            for (int k = 1; k <= porHoja.at(d - 1); ++k) {
                const int fila = 50 * (d - 1) + k - 1;
                const QString n = QString::number(k);
                const QString fecha =
                    QLocale(QLocale::Spanish, QLocale::Spain)
                        .toString(Recordset::fechaHora(w.v.modelo().registros().valor(fila, 1)).date(),
                                  QStringLiteral("dddd d 'de' MMMM 'de' yyyy"));
                const auto t = [&](int p) { return w.v.modelo().texto(fila, p); };
                campos << "txtfolio" + n + "=" + t(0) << "txtfecha" + n + "=" + fecha
                       << "txthora" + n + "=" + t(2) << "txtsusc" + n + "=" + t(11)
                       << "txtcargosusc" + n + "=" + t(12) << "txtevento" + n + "=" + t(3)
                       << "txtdireccion" + n + "=" + t(4)
                       << "txtrepresentante" + n + "=" + t(ModeloDeEventos::Representante)
                       << "txtobservaciones" + n + "=" + t(9) << "txtrep_a" + n + "=" + t(10)
                       << "txtinst" + n + "=" + t(13);
            }
            QStringList escritos;
            while (ops.at(i).clase == Operacion::Campo) {
                escritos << ops.at(i).nombre + QLatin1Char('=') + ops.at(i).valor.toString();
                ++i;
            }
            QCOMPARE(escritos, campos);
            QCOMPARE(ops.at(i).clase, Operacion::Muestra);
            const LecturaDeDocx hoja(ops.at(i++).nombre);
            QVERIFY(hoja.valido);
            for (const QString& c : campos)
                QCOMPARE(hoja.resultados.value(c.section(QLatin1Char('='), 0, 0)),
                         c.section(QLatin1Char('='), 1));
            if (porHoja.at(d - 1) < 50)
                QCOMPARE(hoja.resultados.value(QStringLiteral("txtfolio50")), blancos);
            QCOMPARE(hoja.fuera, vacia.fuera);
        }
        QCOMPARE(i, ops.size());
        QCOMPARE(w.docs.visor.abiertos.size(), porHoja.size());
        QCOMPARE(w.docs.guardados().size(), porHoja.size());
        QVERIFY(w.buscado());
    }

    // An event of an earlier year found by a date range prints whole, and by
    // its own year: another event with its folio this year is not taken for it.
    void hojaDeOtroAnio() {
        Consultas w(Motor::SQLite);
        EventoDePrueba viejo =
            evento(5, QDateTime(QDate(2023, 12, 30), QTime(9, 0)), QStringLiteral("Posada"));
        viejo.observacion = QStringLiteral("Del año pasado");
        RegistroDeEventos::inserta(w.taloren(), viejo);
        RegistroDeEventos::inserta(
            w.taloren(), evento(5, QDateTime(QDate(2024, 3, 4), QTime(9, 0)), QStringLiteral("Otro")));
        w.buscaRango(QDate(2023, 12, 1), QDate(2023, 12, 31));
        w.c<QPushButton>("cmdimprimeconsulta")->click();
        const LecturaDeDocx hoja(w.docs.anotador.operaciones.last().nombre);
        QCOMPARE(hoja.resultados.value(QStringLiteral("txtfolio1")), QStringLiteral("5"));
        QCOMPARE(hoja.resultados.value(QStringLiteral("txtevento1")), QStringLiteral("Posada"));
        QCOMPARE(hoja.resultados.value(QStringLiteral("txtfecha1")),
                 QStringLiteral("sábado 30 de diciembre de 2023"));
        QCOMPARE(hoja.resultados.value(QStringLiteral("txtobservaciones1")),
                 QStringLiteral("Del año pasado"));
        QCOMPARE(hoja.resultados.value(QStringLiteral("txtinst1")),
                 QStringLiteral("Asistir en representación"));
        QVERIFY2(
            QFileInfo(hoja.valido ? w.docs.anotador.operaciones.last().nombre : QString())
                .fileName()
                .startsWith(QStringLiteral("Consulta de eventos del 01-12-2023 al 31-12-2023, hoja 1 de 1")),
            qPrintable(w.docs.anotador.operaciones.last().nombre));
    }

    // The user stops between sheets: those made are kept and listed.
    void cancelar() {
        Consultas w(Motor::SQLite);
        RegistroDeEventos::genera(w.kelmar(), w.taloren(), {120, QDate(2024, 4, 1), 30, 10, 3, 1, 5});
        w.buscaProximos();
        w.docs.visor.alAbrir = [&](const QString&) {
            if (auto* p = w.v.findChild<QProgressDialog*>(QStringLiteral("progresoDeHojas")))
                if (auto* cancelar = p->findChild<QPushButton*>())
                    cancelar->click();
        };
        w.c<QPushButton>("cmdimprimeconsulta")->click();
        QCOMPARE(w.docs.guardados().size(), 1);
        QCOMPARE(w.e.caja.cajas().size(), 1);
        const QString texto = w.e.caja.ultima().texto;
        QVERIFY2(texto.startsWith(QStringLiteral("Se canceló la generación de las hojas de consulta.")),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QDir::toNativeSeparators(w.docs.visor.abiertos.first())), qPrintable(texto));
        QVERIFY(w.enReposo());
    }

    // What stops the sheets: no word processor, no template, a catalog that
    // fails, events gone since the search. The user is told; no sheet is half-made.
    void fallanLasHojas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("falla");
        for (const auto& [nombre, motor] :
             {std::pair{"sqlite", Motor::SQLite}, std::pair{"postgresql", Motor::PostgreSQL}})
            for (const char* falla : {"procesador", "plantilla", "catálogo", "borrado"})
                // The word processor's failures are the same whatever the database.
                if (motor == Motor::SQLite || falla[0] == 'c' || falla[0] == 'b')
                    QTest::addRow("%s, %s", nombre, falla) << int(motor) << QString::fromUtf8(falla);
    }
    void fallanLasHojas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, falla);
        Consultas w(motor);
        RegistroDeEventos::genera(w.kelmar(), w.taloren(), {60, QDate(2024, 4, 1), 30, 10, 3, 1, 9});
        w.buscaProximos();
        QTemporaryDir otra;
        QFile estorbo(otra.filePath(QStringLiteral("TALOREN")));
        QVERIFY(estorbo.open(QIODevice::WriteOnly));
        estorbo.close();
        ProcesadorOOXML roto(
            {falla == QLatin1String("plantilla") ? otra.path() : EntornoDeDocumentos::carpetaDePlantillas()},
            falla == QLatin1String("procesador") ? otra.filePath(QStringLiteral("TALOREN/docs"))
                                                 : w.docs.carpetaDeDocumentos(),
            w.docs.visor);
        std::optional<ProcesadorDeTextos::Sustituto> enUso;
        if (falla == QLatin1String("procesador") || falla == QLatin1String("plantilla"))
            enUso.emplace(roto);
        const QString folio = w.v.modelo().texto(55, 0);
        const int anio = Recordset::fechaHora(w.v.modelo().registros().valor(55, 1)).date().year();
        if (falla == QStringLiteral("catálogo"))
            Modulo::taloren().cierra();
        if (falla == QLatin1String("borrado"))
            w.taloren().ejecuta(QStringLiteral("delete from evento where folio = ? and año = ?"),
                                {folio.toInt(), anio});
        QString reportado;
        w.e.alMostrar = [&](QDialog& v) {
            reportado = v.findChild<QLabel*>(QStringLiteral("LblDescripDelError"))->text();
        };

        w.c<QPushButton>("cmdimprimeconsulta")->click();
        QVERIFY(w.enReposo());
        if (falla == QLatin1String("procesador")) {
            QCOMPARE(w.e.caja.cajas().size(), 1);
            QVERIFY(w.e.caja.ultima().texto.startsWith(QStringLiteral("Error en la aplicación de Word")));
            QVERIFY(w.e.mostradas.isEmpty());
        } else if (falla == QLatin1String("borrado")) {
            QCOMPARE(w.docs.guardados().size(), 2);
            QCOMPARE(w.e.caja.cajas().size(), 1);
            QVERIFY2(w.e.caja.ultima().texto.endsWith(QStringLiteral("%1/%2").arg(folio).arg(anio)),
                     qPrintable(w.e.caja.ultima().texto));
            const LecturaDeDocx hoja(w.docs.visor.abiertos.last());
            QCOMPARE(hoja.resultados.value(QStringLiteral("txtfolio6")),
                     leePlantilla(QStringLiteral("PlantillaConsulta.dotx"))
                         .resultados.value(QStringLiteral("txtfolio6")));
            QCOMPARE(hoja.resultados.value(QStringLiteral("txtfolio7")), w.v.modelo().texto(56, 0));
            return;
        } else {
            QCOMPARE(w.e.mostradas, QStringList{QStringLiteral("FrmErrores")});
            QVERIFY2(reportado.contains(falla == QLatin1String("plantilla")
                                            ? QStringLiteral("PlantillaConsulta")
                                            : QStringLiteral("taloren")),
                     qPrintable(reportado));
        }
        QVERIFY(w.docs.guardados().isEmpty());
        QVERIFY(w.docs.visor.abiertos.isEmpty());
        QVERIFY(w.buscado());
    }

    // The menu opens the window modally; closed, it is unloaded, and the next
    // opening loads it afresh.
    void menu() {
        EntornoDeVentanas e;
        e.conecta();
        RelojFijo reloj(ahora);
        const Reloj::Sustituto enHora(reloj);
        QList<bool> todosAlCargar;
        QPointer<QDialog> primera;
        e.alMostrar = [&](QDialog& v) {
            auto* rango = v.findChild<QRadioButton*>(QStringLiteral("OptFecha_1"));
            todosAlCargar << v.findChild<QRadioButton*>(QStringLiteral("OptFecha_2"))->isChecked();
            rango->click();
            if (!primera)
                primera = &v;
            v.findChild<QPushButton*>(QStringLiteral("CmdCerrar"))->click();
        };
        Modulo::mdi().mdiConsultas->trigger();
        QVERIFY(!primera);
        Modulo::mdi().mdiConsultas->trigger();
        QCOMPARE(e.mostradas, (QStringList{"frmConsultas", "frmConsultas"}));
        QCOMPARE(todosAlCargar, (QList<bool>{true, true}));
        Modulo::DestruyeMdi();
    }
};

QTEST_MAIN(TstConsultas)
#include "tst_consultas.moc"
