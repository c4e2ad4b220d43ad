#include "outside/AjustesDeConexion.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "outside/ReglaDeNombres.h"
#include "support/BaseDePrueba.h"

#include <QFile>
#include <QScopeGuard>
#include <QTest>

#include <ctime>
#include <functional>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// A procedure of the test's own over a table of the test's own, so that every
// parameter type travels to the server and back.
CatalogoDeProcedimientos procedimientosDePrueba() {
    CatalogoDeProcedimientos c;
    c.registra({u"GuardaPrueba"_s,
                {{u"@Texto"_s, TipoDeParametro::VarChar, Direccion::Entrada, 10},
                 {u"@Clave"_s, TipoDeParametro::Char, Direccion::Entrada, 3},
                 {u"@Numero"_s, TipoDeParametro::SmallInt, Direccion::Entrada, 0},
                 {u"@Fecha"_s, TipoDeParametro::Date, Direccion::Entrada, 0},
                 {u"@Total"_s, TipoDeParametro::SmallInt, Direccion::Salida, 0},
                 {u"@Eco"_s, TipoDeParametro::VarChar, Direccion::Salida, 20}},
                [](Conexion& cx, Argumentos& a) {
                    cx.ejecuta(
                        u"insert into prueba (texto, clave, numero, fecha) values (?, ?, ?, ?)"_s,
                        {a.valor(u"@texto"), a.valor(u"@Clave"), a.valor(u"@Numero"), a.valor(u"@Fecha")});
                    a.estableceSalida(u"@Total", cx.ejecuta(u"select count(*) from prueba"_s).valor(0, 0));
                    a.estableceSalida(u"@Eco", QString(u"eco:"_s + a.texto(u"@Texto")));
                    return cx.ejecuta(
                        u"select texto as \"Texto\", clave, numero, fecha from prueba order by numero"_s);
                }});
    // Writes, then fails with an error that is not the database's.
    c.registra({u"FallaAMedias"_s,
                {{u"@Numero"_s, TipoDeParametro::SmallInt, Direccion::Entrada, 0}},
                [](Conexion& cx, Argumentos& a) -> Recordset {
                    cx.ejecuta(u"insert into prueba (texto, numero) values ('x', ?)"_s,
                               {a.entero(u"@Numero")});
                    throw std::runtime_error("a medias");
                }});
    return c;
}

struct Entorno {
    explicit Entorno(Motor motor) : base(motor), conexion(u"kelmar"_s, &procedimientos) {
        conexion.abre(base.ajustes(), base.ajustes().kelmar);
        conexion.ejecuta(
            u"create table prueba (texto varchar(10), clave char(3), numero smallint unique, fecha timestamp)"_s);
    }
    int filas() { return conexion.ejecuta(u"select count(*) from prueba"_s).valor(0, 0).toInt(); }
    void inserta(int numero) { conexion.ejecuta(u"insert into prueba (numero) values (?)"_s, {numero}); }
    Parametros parametros(QVariant texto, QVariant numero, QVariant fecha) {
        return {Parametro::entrada(u"@Texto"_s, TipoDeParametro::VarChar, 10, texto),
                Parametro::entrada(u"@Clave"_s, TipoDeParametro::Char, 3, u"ab"_s),
                Parametro::entrada(u"@Numero"_s, TipoDeParametro::SmallInt, 0, numero),
                Parametro::entrada(u"@Fecha"_s, TipoDeParametro::Date, 0, fecha),
                Parametro::salida(u"@Total"_s, TipoDeParametro::SmallInt),
                Parametro::salida(u"@Eco"_s, TipoDeParametro::VarChar, 20)};
    }
    Recordset guarda(Parametros& ps) { return conexion.ejecutaProcedimiento(u"GuardaPrueba"_s, ps); }

    CatalogoDeProcedimientos procedimientos = procedimientosDePrueba();
    BaseDePrueba base;
    Conexion conexion;
};

// How a row of llamadasRechazadas spoils a good call: its parameters or the procedure's name.
using Cambio = std::function<void(Parametros&, QString&)>;

} // namespace

class TstConexion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A statement is prepared once and run again with other values; a change of the schema
    // through the connection, a failed run and a closed and reopened connection leave it
    // answering what the tables hold now.
    void sentenciasPreparadas_data() { agregaMotores(); }
    void sentenciasPreparadas() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        const auto c = base.abre(Catalogo::Kelmar);
        const QString consulta =
            u"select * from cargos where cvecargo = ? or cvecargo = ? order by cvecargo"_s;
        const auto columnas = [&](const QString& a, const QString& b) {
            const Recordset rs = c->ejecuta(consulta, {a, b});
            QStringList r{QString::number(rs.filas())};
            for (int i = 0; i < rs.columnas(); ++i)
                r << rs.nombreDeColumna(i).toLower();
            return r.join(u'|');
        };
        c->ejecuta(u"insert into cargos (cvecargo, descripcion) values ('X1', 'uno'), ('X2', 'dos')"_s);
        QCOMPARE(columnas(u"X1"_s, u"no"_s), u"1|cvecargo|descripcion"_s);
        QCOMPARE(columnas(u"X1"_s, u"X2"_s), u"2|cvecargo|descripcion"_s);
        c->ejecuta(u"alter table cargos add column nota varchar(10)"_s);
        QCOMPARE(columnas(u"X1"_s, u"X2"_s), u"2|cvecargo|descripcion|nota"_s);
        QVERIFY(errorDe([&] {
                    c->ejecuta(u"insert into cargos (cvecargo, descripcion) values (?, ?)"_s,
                               {u"X1"_s, u"otra vez"_s});
                }).numero() == CodigoDeError::Integridad);
        c->ejecuta(u"insert into cargos (cvecargo, descripcion) values (?, ?)"_s, {u"X3"_s, u"tres"_s});
        QCOMPARE(columnas(u"X3"_s, u"X2"_s), u"2|cvecargo|descripcion|nota"_s);
        c->cierra();
        c->abre(base.ajustes(), base.ajustes().kelmar);
        QCOMPARE(columnas(u"X1"_s, u"X3"_s), u"2|cvecargo|descripcion|nota"_s);
    }

    void procedimientoIdaYVuelta_data() { agregaMotores(); }
    void procedimientoIdaYVuelta() {
        MOTOR_DE_LA_FILA(motor);
        Entorno e(motor);
        // Names match regardless of case and surrounding blanks.
        auto ps = e.parametros(u"Ña'; --"_s, u"2011"_s, QDate(2011, 11, 18));
        ps[0].nombre = u"@TEXTO "_s;
        e.conexion.ejecutaProcedimiento(u"guardaprueba"_s, ps);
        QCOMPARE(ps[4].valor, QVariant(1));
        QCOMPARE(ps[5].valor.toString(), u"eco:Ña'; --"_s);
        auto ps2 = e.parametros(QVariant(), 7, QDateTime(QDate(2026, 12, 6), QTime(17, 5)));
        const Recordset rs = e.guarda(ps2);

        QVERIFY(rs.esNulo(0, u"texto"_s));
        QCOMPARE(rs.valor(0, 2), QVariant(7));
        QCOMPARE(rs.texto(0, u"Fecha"_s), u"2026-12-06 17:05:00"_s);
        QCOMPARE(rs.texto(1, u"Texto"_s), u"Ña'; --"_s);
        QCOMPARE(rs.texto(1, u"clave"_s), u"ab "_s);
        QCOMPARE(rs.texto(1, 3), u"2011-11-18 00:00:00"_s);

        QCOMPARE(errorDe([&] { rs.valor(2, 0); }).numero(), CodigoDeError::FinDeRegistros);
        const ErrorDeEjecucion sinColumna = errorDe([&] { rs.valor(0, u"Nick"_s); });
        QCOMPARE(sinColumna.numero(), CodigoDeError::ColumnaInexistente);
        QVERIFY(sinColumna.descripcion().contains(u"Nick"_s));
    }

    // What does not fit, or does not match the procedure, is refused before anything is written.
    void llamadasRechazadas_data() {
        QTest::addColumn<Cambio>("cambio");
        QTest::addColumn<int>("numeroDeError");
        QTest::addColumn<QStringList>("nombrados");
        const auto fila = [](const char* nombre, Cambio cambio, int numero, QStringList nombrados) {
            QTest::newRow(nombre) << cambio << numero << nombrados;
        };
        const auto pon = [](int i, QVariant v) -> Cambio {
            return [=](Parametros& p, QString&) { p[i].valor = v; };
        };
        const int desborda = CodigoDeError::Desbordamiento, convierte = CodigoDeError::Conversion,
                  sentencia = CodigoDeError::Sentencia;
        fila("texto de 11", pon(0, u"12345678901"_s), desborda, {u"@Texto"_s});
        fila("número no numérico", pon(2, u"20a1"_s), convierte, {u"@Numero"_s});
        fila("número fuera de smallint", pon(2, 40000), desborda, {u"@Numero"_s});
        fila("fecha en texto", pon(3, u"18/11/2011"_s), convierte, {u"@Fecha"_s});
        fila("fecha imposible", pon(3, QDate(2011, 2, 31)), convierte, {u"@Fecha"_s});
        fila("relleno de char que no cabe", pon(1, u"ab😀c"_s), desborda, {u"@Clave"_s});
        fila("más espacio del que admite el procedimiento",
             [](Parametros& p, QString&) {
                 p[0].tamano = 30;
                 p[0].valor = u"123456789012345"_s;
             },
             desborda, {u"@Texto"_s});
        fila("nombres cambiados de lugar",
             [](Parametros& p, QString&) { std::swap(p[0].nombre, p[1].nombre); }, sentencia,
             {u"@Texto"_s, u"@Clave"_s});
        fila("procedimiento inexistente", [](Parametros&, QString& proc) { proc = u"NoExiste"_s; }, sentencia,
             {u"NoExiste"_s});
        fila("falta un parámetro", [](Parametros& p, QString&) { p = p.mid(0, 1); }, sentencia,
             {u"@Clave"_s});
        fila("sobra un parámetro",
             [](Parametros& p, QString&) {
                 p << Parametro::entrada(u"@Otro"_s, TipoDeParametro::SmallInt, 0, 1);
             },
             sentencia, {u"GuardaPrueba"_s});
    }
    void llamadasRechazadas() {
        QFETCH(Cambio, cambio);
        QFETCH(int, numeroDeError);
        QFETCH(QStringList, nombrados);
        Entorno e(Motor::SQLite);
        auto ps = e.parametros(u"x"_s, 1, QDate(2011, 11, 18));
        QString procedimiento = u"GuardaPrueba"_s;
        cambio(ps, procedimiento);
        const ErrorDeEjecucion error = errorDe([&] { e.conexion.ejecutaProcedimiento(procedimiento, ps); });
        QCOMPARE(error.numero(), numeroDeError);
        for (const QString& n : nombrados)
            QVERIFY2(error.descripcion().contains(n), qPrintable(error.descripcion()));
        QCOMPARE(error.fuente(), u"SQLite kelmar"_s);
        QCOMPARE(e.filas(), 0);
    }

    // One transaction rule: whatever fails inside a unit, nothing of the unit is written.
    void transacciones_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("caso");
        const struct {
            const char* nombre;
            int caso;
        } casos[] = {{"sentencia fallida atrapada", 0},
                     {"unidad interna fallida atrapada", 1},
                     {"falla atrapada dentro de la unidad interna", 2},
                     {"error ajeno en un procedimiento", 3}};
        agregaFilasPorMotor(casos, [](QTestData& fila, const auto& c) { fila << c.caso; });
    }
    void transacciones() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, caso);
        Entorno e(motor);
        Conexion& c = e.conexion;
        const auto fallida = [&] { c.ejecuta(u"select * from tabla_que_no_existe"_s); };
        if (caso == 3) {
            Parametros n{Parametro::entrada(u"@Numero"_s, TipoDeParametro::SmallInt, 0, 9)};
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, c.ejecutaProcedimiento(u"FallaAMedias"_s, n));
        } else {
            int despuesDeLaFalla = 0;
            const ErrorDeEjecucion error = errorDe([&] {
                c.enTransaccion([&] {
                    e.inserta(1);
                    if (caso == 0)
                        QCOMPARE(errorDe(fallida).numero(), CodigoDeError::Sentencia);
                    else if (caso == 1)
                        errorDe([&] {
                            c.enTransaccion([&] {
                                e.inserta(2);
                                throw ErrorDeEjecucion(1, u"interna"_s, u"prueba"_s);
                            });
                        });
                    else
                        c.enTransaccion([&] { errorDe(fallida); });
                    // Every later statement of the unit fails at once.
                    despuesDeLaFalla = errorDe([&] { e.inserta(3); }).numero();
                });
            });
            QCOMPARE(despuesDeLaFalla, CodigoDeError::Sentencia);
            QCOMPARE(error.numero(), CodigoDeError::Sentencia);
            QVERIFY2(error.descripcion().contains(u"se deshizo"_s), qPrintable(error.descripcion()));
        }
        QCOMPARE(e.filas(), 0);
        // The connection goes on working, in units and outside them.
        c.enTransaccion([&] { e.inserta(4); });
        e.inserta(5);
        QCOMPARE(e.filas(), 2);
    }

    // Texts reach the catalog whole or not at all: characters counted as a reader counts them, line
    // breaks kept, and no NUL, other control character or half character ever sent.
    void textos_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("numero");
        const struct {
            const char* nombre;
            QString texto;
            int numero;
        } casos[] = {
            {"nueve letras y un emoji", u"abcdefghi😀"_s, 0},
            {"saltos y tabulador", u"a\tb\r\nc"_s, 0},
            {"NUL al final", u"clave"_s + QChar(0), CodigoDeError::Conversion},
            {"escape", u"\x1b[2J"_s, CodigoDeError::Conversion},
            {"medio carácter", u"abcdefghi"_s + QChar(0xd83d), CodigoDeError::Conversion},
        };
        agregaFilasPorMotor(casos, [](QTestData& fila, const auto& c) { fila << c.texto << c.numero; });
    }
    void textos() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, texto);
        QFETCH(int, numero);
        Entorno e(motor);
        auto ps = e.parametros(texto, 1, QDate(2011, 11, 18));
        const ErrorDeEjecucion llamada = errorDe([&] { e.guarda(ps); });
        const ErrorDeEjecucion sentencia = errorDe(
            [&] { e.conexion.ejecuta(u"insert into prueba (texto, numero) values (?, 2)"_s, {texto}); });
        QVERIFY2(llamada.numero() == numero, qPrintable(llamada.descripcion()));
        QVERIFY2(sentencia.numero() == numero, qPrintable(sentencia.descripcion()));
        if (numero) {
            QVERIFY2(llamada.descripcion().contains(u"@Texto"_s), qPrintable(llamada.descripcion()));
            QCOMPARE(e.filas(), 0);
            return;
        }
        const Recordset rs = e.conexion.ejecuta(u"select texto from prueba order by numero"_s);
        QCOMPARE(rs.filas(), 2);
        QCOMPARE(rs.texto(0, 0), texto);
        QCOMPARE(rs.texto(1, 0), texto);
    }

    // Dates keep their wall time in a zone that is not UTC, on both backends.
    void fechasEnOtraZona_data() { agregaMotores(); }
    void fechasEnOtraZona() {
        MOTOR_DE_LA_FILA(motor);
        const QByteArray zona = qgetenv("TZ");
        const bool habia = qEnvironmentVariableIsSet("TZ");
        qputenv("TZ", "America/Mexico_City");
        tzset();
        const auto restaura = qScopeGuard([&] {
            habia ? qputenv("TZ", zona) : qunsetenv("TZ");
            tzset();
        });
        QVERIFY(QDateTime(QDate(2011, 11, 18), QTime(0, 0)).offsetFromUtc() != 0);
        Entorno e(motor);
        const auto guarda = [&](int numero, const QVariant& fecha) {
            e.conexion.ejecuta(u"insert into prueba (numero, fecha) values (?, ?)"_s, {numero, fecha});
        };
        guarda(1, QDate(2011, 11, 18));
        guarda(2, QDateTime(QDate(2011, 11, 18), QTime(23, 59, 59)));
        // A UTC time is stored as the station's wall time: 06:30 UTC is 00:30 in Mexico City.
        guarda(3, QDateTime(QDate(2011, 11, 18), QTime(6, 30), Qt::UTC));
        guarda(4, QDate(2011, 11, 19));
        const Recordset rs = e.conexion.ejecuta(
            u"select numero, fecha from prueba where fecha >= ? and fecha < ? order by fecha"_s,
            {QDate(2011, 11, 18), QDate(2011, 11, 19)});
        QCOMPARE(rs.filas(), 3);
        QCOMPARE(rs.texto(0, 1), u"2011-11-18 00:00:00"_s);
        QCOMPARE(rs.texto(1, 1), u"2011-11-18 00:30:00"_s);
        QCOMPARE(rs.texto(2, 1), u"2011-11-18 23:59:59"_s);
        QCOMPARE(Recordset::fechaHora(rs.valor(1, 1)), QDateTime(QDate(2011, 11, 18), QTime(0, 30)));
        QCOMPARE(errorDe([&] { guarda(5, QDate(2011, 2, 31)); }).numero(), CodigoDeError::Conversion);
    }

    // The server gone in mid-session: the call that finds it gone fails with a connection error and the
    // next one opens the connection again; while it cannot, each call tries once and says what to do.
    void conexionPerdida() {
        EXIGE_POSTGRES();
        Entorno e(Motor::PostgreSQL);
        auto otra = e.base.abre(Catalogo::Taloren);
        const auto corta = [&] {
            const int pid = e.conexion.ejecuta(u"select pg_backend_pid()"_s).valor(0, 0).toInt();
            otra->ejecuta(u"select pg_terminate_backend(?)"_s, {pid});
            return errorDe([&] { e.filas(); });
        };
        const ErrorDeEjecucion perdida = corta();
        QCOMPARE(perdida.numero(), CodigoDeError::Conexion);
        // Told in Spanish, on one line; the client library's own words kept apart.
        QVERIFY2(
            perdida.descripcion().startsWith(u"Se perdió la conexión con el servidor del catálogo kelmar."_s),
            qPrintable(perdida.descripcion()));
        QVERIFY(!perdida.detalle().isEmpty() && !perdida.descripcion().contains(perdida.detalle()));
        QVERIFY(!perdida.detalle().contains(u'\n') && !perdida.detalle().contains(u'\t'));
        e.inserta(1);
        QCOMPARE(e.filas(), 1);
        // Opened again with the time-outs of its settings.
        QCOMPARE(e.conexion.ejecuta(u"select current_setting('lock_timeout')"_s).texto(0, 0), u"10s"_s);

        // Lost in the middle of a unit: the unit fails whole, nothing of it is written.
        const ErrorDeEjecucion unidad = errorDe([&] {
            e.conexion.enTransaccion([&] {
                e.inserta(2);
                QCOMPARE(corta().numero(), CodigoDeError::Conexion);
                e.inserta(3);
            });
        });
        QCOMPARE(unidad.numero(), CodigoDeError::Conexion);
        QCOMPARE(e.filas(), 1);

        // The server refuses new connections to the catalog for a while.
        const auto admiteConexiones = [&](const QString& si) {
            otra->ejecuta(u"alter database "_s + e.base.ajustes().kelmar.baseDeDatos +
                          u" allow_connections "_s + si);
        };
        admiteConexiones(u"false"_s);
        QCOMPARE(corta().numero(), CodigoDeError::Conexion);
        Parametros ps = e.parametros(u"x"_s, 5, QDate(2011, 1, 1));
        for (int intento = 0; intento < 2; ++intento) {
            const ErrorDeEjecucion error = errorDe([&] { e.guarda(ps); });
            QCOMPARE(error.numero(), CodigoDeError::Conexion);
            QVERIFY2(error.descripcion().contains(u"No se puede comunicar con el servidor"_s) &&
                         error.descripcion().contains(u"vuelva a intentarlo"_s),
                     qPrintable(error.descripcion()));
        }
        admiteConexiones(u"true"_s);
        e.guarda(ps);
        QCOMPARE(e.filas(), 2);
    }

    // A statement held up by another connection (the server's table lock, the embedded catalog's writer)
    // gives up after the lock time-out, naming it; its unit is undone and the connection serves the
    // next try. On the server a statement that runs too long ends alike.
    void tiempoAgotado_data() { agregaMotores(); }
    void tiempoAgotado() {
        MOTOR_DE_LA_FILA(motor);
        Entorno e(motor);
        AjustesDeConexion breves = e.base.ajustes();
        breves.segundosDeBloqueo = 1;
        breves.segundosDeSentencia = 2;
        e.conexion.abre(breves, breves.kelmar);
        Conexion otra(u"kelmar"_s);
        otra.abre(e.base.ajustes(), e.base.ajustes().kelmar);
        ErrorDeEjecucion error(0, {}, {});
        otra.enTransaccion([&] {
            if (motor == Motor::PostgreSQL)
                otra.ejecuta(u"lock table prueba in access exclusive mode"_s);
            error = errorDe([&] { e.conexion.enTransaccion([&] { e.inserta(1); }); });
        });
        QCOMPARE(error.numero(), CodigoDeError::TiempoAgotado);
        const QString inicio = motor == Motor::PostgreSQL
                                   ? u"El servidor no respondió en 1 segundo:"_s
                                   : u"El catálogo kelmar no respondió en 1 segundo:"_s;
        QVERIFY2(error.descripcion().startsWith(inicio) &&
                     error.descripcion().contains(u"Lo que escribió se conserva; vuelva a intentarlo"_s),
                 qPrintable(error.descripcion()));
        QVERIFY2(error.detalle().endsWith(motor == Motor::PostgreSQL ? u"(55P03)"_s : u"(código 5)"_s),
                 qPrintable(error.detalle()));
        e.conexion.enTransaccion([&] { e.inserta(1); });
        QCOMPARE(e.filas(), 1);
        if (motor == Motor::PostgreSQL) {
            const ErrorDeEjecucion larga = errorDe([&] { e.conexion.ejecuta(u"select pg_sleep(5)"_s); });
            QCOMPARE(larga.numero(), CodigoDeError::TiempoAgotado);
            QVERIFY2(larga.descripcion().startsWith(u"El servidor no respondió en 2 segundos: "_s) &&
                         larga.detalle().endsWith(u"(57014)"_s),
                     qPrintable(larga.descripcion() + u" / "_s + larga.detalle()));
            e.inserta(2);
            QCOMPARE(e.filas(), 2);
        }
    }

    // What the database refuses reaches the user in the program's own Spanish words for its kind, the
    // backend's own text kept as the detail: a repeated key, and a catalog that cannot be opened (a
    // server that refuses the connection; an embedded file that is no catalog).
    void erroresEnCastellano_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("caso");
        const struct {
            const char* nombre;
            int caso;
        } casos[] = {{"clave repetida", 0}, {"catálogo que no abre", 1}};
        agregaFilasPorMotor(casos, [](QTestData& fila, const auto& c) { fila << c.caso; });
    }
    void erroresEnCastellano() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, caso);
        Entorno e(motor);
        const bool pg = motor == Motor::PostgreSQL;
        ErrorDeEjecucion error(0, {}, {});
        int numero = CodigoDeError::Conexion;
        QString castellano, original;
        if (caso == 0) {
            e.inserta(1);
            error = errorDe([&] { e.conexion.enTransaccion([&] { e.inserta(1); }); });
            numero = CodigoDeError::Integridad;
            castellano = u"Ya existe un registro con la misma clave"_s;
            original = pg ? u"(23505)"_s : u"UNIQUE constraint failed: prueba.numero (código 2067)"_s;
        } else if (pg) {
            AjustesDeConexion a = e.base.ajustes();
            a.puerto = 1;
            Conexion c(u"kelmar"_s);
            error = errorDe([&] { c.abre(a, a.kelmar); });
            castellano = u"No se pudo abrir el catálogo %1 en el servidor %2, puerto 1: "_s.arg(
                a.kelmar.baseDeDatos, a.host);
        } else {
            QTemporaryDir dir;
            QVERIFY(escribeArchivo(dir.filePath(u"kelmar.sqlite"_s), QByteArray(4096, 'x')));
            AjustesDeConexion a;
            a.carpeta = dir.path();
            Conexion c(u"kelmar"_s);
            error = errorDe([&] {
                c.abre(a, a.kelmar);
                c.ejecuta(u"select count(*) from sqlite_master"_s);
            });
            castellano = u"No se puede leer el archivo del catálogo kelmar: no es un catálogo"_s;
            original = u"file is not a database (código 26)"_s;
        }
        QCOMPARE(error.numero(), numero);
        QVERIFY2(error.descripcion().startsWith(castellano), qPrintable(error.descripcion()));
        QVERIFY2(!error.detalle().isEmpty() && error.detalle().contains(original) &&
                     !error.descripcion().contains(error.detalle()),
                 qPrintable(error.detalle()));
    }

    // A new embedded catalog is its owner's alone; a folder that is a file is named, not used.
    void catalogoEmbebidoPrivado() {
        QTemporaryDir dir;
        AjustesDeConexion a;
        a.carpeta = dir.filePath(u"datos/taloren"_s);
        Conexion c(u"kelmar"_s);
        c.abre(a, a.kelmar);
        c.ejecuta(u"create table prueba (numero integer)"_s);
        const auto ajenos = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        const QString archivo = a.carpeta + u"/kelmar.sqlite"_s;
        QCOMPARE(QFile::permissions(a.carpeta) & ajenos, QFileDevice::Permissions());
        QCOMPARE(QFile::permissions(archivo) & ajenos, QFileDevice::Permissions());

        a.carpeta = archivo;
        const ErrorDeEjecucion error = errorDe([&] { c.abre(a, a.kelmar); });
        QCOMPARE(error.numero(), CodigoDeError::Conexion);
        QVERIFY2(error.descripcion().contains(a.carpeta), qPrintable(error.descripcion()));
    }

    // A mistyped setting stops the reading with the file, the key and the value named.
    void ajustesRechazados_data() {
        QTest::addColumn<QByteArray>("texto");
        QTest::addColumn<QStringList>("nombrados");
        QTest::newRow("motor desconocido") << QByteArray("[database]\nbackend=postgres\n")
                                           << QStringList{u"backend"_s, u"postgres"_s, u"línea 2"_s};
        QTest::newRow("puerto no numérico") << QByteArray("[database]\nbackend=postgresql\nport=cinco\n")
                                            << QStringList{u"port"_s, u"cinco"_s};
        QTest::newRow("puerto fuera de rango")
            << QByteArray("[database]\nport=70000\n") << QStringList{u"port"_s, u"70000"_s};
        QTest::newRow("clave desconocida")
            << QByteArray("[database]\nbakend=postgresql\n") << QStringList{u"bakend"_s};
        QTest::newRow("grupo desconocido") << QByteArray("[kelmarr]\nuser=x\n") << QStringList{u"kelmarr"_s};
        QTest::newRow("clave repetida")
            << QByteArray("[kelmar]\nuser=a\nuser=b\n") << QStringList{u"user"_s, u"línea 2"_s};
        QTest::newRow("comillas sin cerrar")
            << QByteArray("[kelmar]\npassword=\"abc\n") << QStringList{u"password"_s};
        QTest::newRow("fuera de grupo") << QByteArray("user=x\n") << QStringList{u"user"_s};
        QTest::newRow("no es UTF-8") << QByteArray("[kelmar]\nuser=\xe9\n") << QStringList{u"UTF-8"_s};
        QTest::newRow("tiempo de sentencia cero")
            << QByteArray("[database]\nstatement_timeout=0\n")
            << QStringList{u"statement_timeout"_s, u"\"0\""_s, u"línea 2"_s};
        QTest::newRow("tiempo de bloqueo negativo")
            << QByteArray("[database]\nlock_timeout=-1\n") << QStringList{u"lock_timeout"_s, u"\"-1\""_s};
        QTest::newRow("tiempo de bloqueo no numérico")
            << QByteArray("[database]\n\nlock_timeout=abc\n")
            << QStringList{u"lock_timeout"_s, u"\"abc\""_s, u"línea 3"_s};
    }
    void ajustesRechazados() {
        QFETCH(QByteArray, texto);
        QFETCH(QStringList, nombrados);
        QTemporaryDir dir;
        const QString archivo = dir.filePath(u"taloren.ini"_s);
        QVERIFY(escribeArchivo(archivo, texto));
        const ErrorDeEjecucion error = errorDe([&] { AjustesDeConexion::lee(archivo); });
        QCOMPARE(error.numero(), CodigoDeError::Ajustes);
        for (const QString& n : nombrados + QStringList{archivo})
            QVERIFY2(error.descripcion().contains(n), qPrintable(error.descripcion()));
        // A folder where the file should be cannot be read either.
        QCOMPARE(errorDe([&] { AjustesDeConexion::lee(dir.path()); }).numero(), CodigoDeError::Ajustes);
    }

    // Values are read as written; what the program writes, readable by its owner alone, it reads back
    // the same.
    void ajustesLeidos() {
        QTemporaryDir dir;
        const QString archivo = dir.filePath(u"taloren.ini"_s);
        QCOMPARE(AjustesDeConexion::lee(archivo).motor, Motor::SQLite);
        QVERIFY(escribeArchivo(archivo, "; estación de la oficina\n[database]\r\nbackend = PostgreSQL\n"
                                        "host=db.oficina\nport=5433\n[kelmar]\npassword=a,b;c'd\"e\n"
                                        "[taloren]\npassword=\"  con blancos \\\" y \\\\ \"\n"
                                        "[admin]\nuser=dueno\npassword=#no es comentario\n"));
        AjustesDeConexion a = AjustesDeConexion::lee(archivo);
        QCOMPARE(a.motor, Motor::PostgreSQL);
        QCOMPARE(QList<int>({a.segundosDeSentencia, a.segundosDeBloqueo}), QList<int>({220, 10}));
        QCOMPARE(a.host + u':' + QString::number(a.puerto), u"db.oficina:5433"_s);
        QCOMPARE(a.kelmar.contrasena, u"a,b;c'd\"e"_s);
        QCOMPARE(a.taloren.contrasena, u"  con blancos \" y \\ "_s);
        QCOMPARE(a.administrador.usuario + u'/' + a.administrador.contrasena, u"dueno/#no es comentario"_s);

        a.kelmar.contrasena = u" \"ñ\" "_s;
        a.segundosDeSentencia = 86400;
        a.segundosDeBloqueo = 1;
        a.escribe(archivo);
        QCOMPARE(QFile::permissions(archivo) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        const AjustesDeConexion b = AjustesDeConexion::lee(archivo);
        QCOMPARE(QStringList({b.kelmar.contrasena, b.taloren.contrasena, b.administrador.contrasena}),
                 QStringList({a.kelmar.contrasena, a.taloren.contrasena, a.administrador.contrasena}));
        QCOMPARE(b.puerto, 5433);
        QCOMPARE(QList<int>({b.segundosDeSentencia, b.segundosDeBloqueo}), QList<int>({86400, 1}));

        const AjustesDeConexion pg = AjustesDeConexion::dePostgres(
            u"host=db.oficina port=5433 user=kelmarnv password='a b\\'c' sslmode=require dbname=z"_s);
        QCOMPARE(pg.opciones, u"sslmode=require"_s);
        QCOMPARE(pg.kelmar.contrasena, u"a b'c"_s);
    }

    // One rule for names: the same answers and the same order on both backends.
    void reglaDeNombres_data() { agregaMotores(); }
    void reglaDeNombres() {
        MOTOR_DE_LA_FILA(motor);
        Entorno e(motor);
        const QStringList nombres{u"Zapata Ruiz"_s,   u"Óscar Muñoz"_s, u"Beatriz Núñez"_s, u"Ángel Ortiz"_s,
                                  u"alberto Munoz"_s, u"Muro Pérez"_s,  u"Rosa 50% Luna"_s, u"Ana_María"_s};
        e.conexion.ejecuta(u"create table nombres (nombre varchar(50))"_s);
        for (const QString& n : nombres)
            e.conexion.ejecuta(u"insert into nombres (nombre) values (?)"_s, {n});
        const auto busca = [&](const QString& texto) {
            const Recordset rs = e.conexion.ejecuta(
                u"select nombre from nombres where "_s + ReglaDeNombres::condicionContiene(u"nombre"_s) +
                    u" order by "_s + ReglaDeNombres::ordenPor(u"nombre"_s),
                {ReglaDeNombres::patronContiene(texto)});
            QStringList r;
            for (int i = 0; i < rs.filas(); ++i)
                r << rs.texto(i, 0);
            return r.join(u'|');
        };
        for (const QString& texto : {u"oscar"_s, u"ÓSCAR"_s, u"Óscar"_s, u"óscar m"_s})
            QCOMPARE(busca(texto), u"Óscar Muñoz"_s);
        QCOMPARE(busca(u"MUNOZ"_s), u"alberto Munoz|Óscar Muñoz"_s);
        // The wildcards of LIKE are letters like any other.
        QCOMPARE(busca(u"50%"_s), u"Rosa 50% Luna"_s);
        QCOMPARE(busca(u"a_m"_s), u"Ana_María"_s);
        QCOMPARE(busca(u"xyz"_s), QString());

        const QString esperado =
            u"alberto Munoz|Ana_María|Ángel Ortiz|Beatriz Núñez|Muro Pérez|Óscar Muñoz|Rosa 50% Luna|Zapata Ruiz"_s;
        QCOMPARE(busca(QString()), esperado);
        QStringList enCliente = nombres;
        ReglaDeNombres::ordena(enCliente);
        QCOMPARE(enCliente.join(u'|'), esperado);
        // "ñ" sorts after "n" and before "o".
        QStringList enes{u"Muño"_s, u"Muno"_s, u"Muo"_s, u"Munz"_s};
        ReglaDeNombres::ordena(enes);
        QCOMPARE(enes.join(u'|'), u"Muno|Munz|Muño|Muo"_s);
    }
};

QTEST_GUILESS_MAIN(TstConexion)
#include "tst_conexion.moc"
