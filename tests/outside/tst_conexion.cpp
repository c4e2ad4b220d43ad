#include "AjustesDeConexion.h"
#include "BaseDePrueba.h"
#include "Conexion.h"
#include "ErrorDeEjecucion.h"
#include "Procedimientos.h"

#include <QTest>

namespace {

// A procedure of the test's own over a table of the test's own, so that every
// parameter type travels to the server and back.
CatalogoDeProcedimientos procedimientosDePrueba() {
    CatalogoDeProcedimientos c;
    c.registra(
        {QStringLiteral("GuardaPrueba"),
         {{QStringLiteral("@Texto"), TipoDeParametro::VarChar, Direccion::Entrada, 10},
          {QStringLiteral("@Clave"), TipoDeParametro::Char, Direccion::Entrada, 3},
          {QStringLiteral("@Numero"), TipoDeParametro::SmallInt, Direccion::Entrada, 0},
          {QStringLiteral("@Fecha"), TipoDeParametro::Date, Direccion::Entrada, 0},
          {QStringLiteral("@Total"), TipoDeParametro::SmallInt, Direccion::Salida, 0},
          {QStringLiteral("@Eco"), TipoDeParametro::VarChar, Direccion::Salida, 20}},
         [](Conexion& cx, QVariantList& v) {
             cx.ejecuta(
                 QStringLiteral("insert into prueba (texto, clave, numero, fecha) values (?, ?, ?, ?)"),
                 {v[0], v[1], v[2], v[3]});
             v[4] = cx.ejecuta(QStringLiteral("select count(*) from prueba")).valor(0, 0);
             v[5] = QString(QStringLiteral("eco:") + v[0].toString());
             return cx.ejecuta(QStringLiteral("select texto as \"Texto\", clave, numero, fecha from prueba"
                                              " order by numero"));
         }});
    // Writes, then fails: nothing it wrote may stay.
    c.registra({QStringLiteral("FallaAMedias"),
                {{QStringLiteral("@Numero"), TipoDeParametro::SmallInt, Direccion::Entrada, 0}},
                [](Conexion& cx, QVariantList& v) {
                    cx.ejecuta(QStringLiteral("insert into prueba (texto, numero) values ('x', ?)"), {v[0]});
                    return cx.ejecuta(QStringLiteral("select * from tabla_que_no_existe"));
                }});
    return c;
}

struct Entorno {
    explicit Entorno(Motor motor) : base(motor), conexion(QStringLiteral("kelmar"), &procedimientos) {
        conexion.abre(base.ajustes(), base.ajustes().kelmar);
        conexion.ejecuta(
            QStringLiteral("create table prueba (texto varchar(10), clave char(3), numero smallint "
                           "unique, fecha timestamp)"));
    }
    int filas() {
        return conexion.ejecuta(QStringLiteral("select count(*) from prueba")).valor(0, 0).toInt();
    }
    Parametros parametros(QVariant texto, QVariant numero, QVariant fecha) {
        return {Parametro::entrada(QStringLiteral("@Texto"), TipoDeParametro::VarChar, 10, texto),
                Parametro::entrada(QStringLiteral("@Clave"), TipoDeParametro::Char, 3, QStringLiteral("ab")),
                Parametro::entrada(QStringLiteral("@Numero"), TipoDeParametro::SmallInt, 0, numero),
                Parametro::entrada(QStringLiteral("@Fecha"), TipoDeParametro::Date, 0, fecha),
                Parametro::salida(QStringLiteral("@Total"), TipoDeParametro::SmallInt),
                Parametro::salida(QStringLiteral("@Eco"), TipoDeParametro::VarChar, 20)};
    }

    CatalogoDeProcedimientos procedimientos = procedimientosDePrueba();
    BaseDePrueba base;
    Conexion conexion;
};

template <typename F> ErrorDeEjecucion errorDe(F&& f) {
    try {
        f();
    } catch (const ErrorDeEjecucion& e) {
        return e;
    }
    return ErrorDeEjecucion(0, QStringLiteral("no hubo error"), {});
}

} // namespace

class TstConexion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void procedimientoIdaYVuelta_data() { agregaMotores(); }
    void procedimientoIdaYVuelta() {
        MOTOR_DE_LA_FILA(motor);
        Entorno e(motor);
        auto ps =
            e.parametros(QStringLiteral("Ña'; --"), QStringLiteral("2011"), QStringLiteral("18/11/2011"));
        Recordset rs = e.conexion.ejecutaProcedimiento(QStringLiteral("guardaprueba"), ps);
        QCOMPARE(ps[4].valor, QVariant(1));
        QCOMPARE(ps[5].valor.toString(), QStringLiteral("eco:Ña'; --"));
        auto ps2 = e.parametros(QVariant(), 7, QDate(2026, 12, 6));
        rs = e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps2);
        QCOMPARE(ps2[4].valor, QVariant(2));

        QCOMPARE(rs.filas(), 2);
        QCOMPARE(rs.columnas(), 4);
        QCOMPARE(rs.indiceDeColumna(QStringLiteral("TEXTO")), 0);
        QCOMPARE(rs.indiceDeColumna(QStringLiteral("nada")), -1);
        QVERIFY(rs.esNulo(0, QStringLiteral("texto")));
        QCOMPARE(rs.valor(0, 2), QVariant(7));
        QCOMPARE(rs.texto(0, QStringLiteral("Fecha")), QStringLiteral("2026-12-06 00:00:00"));
        QCOMPARE(rs.texto(1, QStringLiteral("Texto")), QStringLiteral("Ña'; --"));
        QCOMPARE(rs.texto(1, QStringLiteral("clave")), QStringLiteral("ab "));
        QCOMPARE(rs.valor(1, QStringLiteral("numero")), QVariant(2011));
        QCOMPARE(Recordset::fechaHora(rs.valor(1, 3)), QDateTime(QDate(2011, 11, 18), QTime(0, 0)));

        const ErrorDeEjecucion fuera = errorDe([&] { rs.valor(2, 0); });
        QCOMPARE(fuera.numero(), CodigoDeError::FinDeRegistros);
        const ErrorDeEjecucion sinColumna = errorDe([&] { rs.valor(0, QStringLiteral("Nick")); });
        QCOMPARE(sinColumna.numero(), CodigoDeError::ColumnaInexistente);
        QVERIFY(sinColumna.descripcion().contains(QStringLiteral("Nick")));
    }

    // A value that does not fit its parameter is refused before anything is written.
    void valoresQueNoCaben_data() {
        QTest::addColumn<QVariant>("texto");
        QTest::addColumn<QVariant>("numero");
        QTest::addColumn<QVariant>("fecha");
        QTest::addColumn<int>("numeroDeError");
        QTest::addColumn<QString>("nombrado");
        QTest::newRow("texto de 11") << QVariant(QStringLiteral("12345678901")) << QVariant(1) << QVariant()
                                     << CodigoDeError::Desbordamiento << QStringLiteral("@Texto");
        QTest::newRow("número no numérico")
            << QVariant(QStringLiteral("x")) << QVariant(QStringLiteral("20a1")) << QVariant()
            << CodigoDeError::Conversion << QStringLiteral("@Numero");
        QTest::newRow("número fuera de smallint")
            << QVariant(QStringLiteral("x")) << QVariant(40000) << QVariant() << CodigoDeError::Desbordamiento
            << QStringLiteral("@Numero");
        QTest::newRow("fecha imposible")
            << QVariant(QStringLiteral("x")) << QVariant(1) << QVariant(QStringLiteral("31/02/2011"))
            << CodigoDeError::Conversion << QStringLiteral("@Fecha");
    }
    void valoresQueNoCaben() {
        QFETCH(QVariant, texto);
        QFETCH(QVariant, numero);
        QFETCH(QVariant, fecha);
        QFETCH(int, numeroDeError);
        QFETCH(QString, nombrado);
        Entorno e(Motor::SQLite);
        auto ps = e.parametros(texto, numero, fecha);
        const ErrorDeEjecucion error =
            errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps); });
        QCOMPARE(error.numero(), numeroDeError);
        QVERIFY2(error.descripcion().contains(nombrado), qPrintable(error.descripcion()));
        QCOMPARE(error.fuente(), QStringLiteral("SQLite kelmar"));
        QCOMPARE(e.filas(), 0);

        // The server's declaration binds too: a caller that declares more room gets no more.
        auto ancho = e.parametros(QStringLiteral("123456789012345"), 1, QVariant());
        ancho[0].tamano = 30;
        QCOMPARE(
            errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ancho); }).numero(),
            CodigoDeError::Desbordamiento);
        QCOMPARE(e.filas(), 0);
    }

    void erroresDelServidor_data() { agregaMotores(); }
    void erroresDelServidor() {
        MOTOR_DE_LA_FILA(motor);
        Entorno e(motor);
        Parametros ninguno;
        ErrorDeEjecucion error =
            errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("NoExiste"), ninguno); });
        QCOMPARE(error.numero(), CodigoDeError::Sentencia);
        QVERIFY(error.descripcion().contains(QStringLiteral("NoExiste")));

        Parametros corto{
            Parametro::entrada(QStringLiteral("@Texto"), TipoDeParametro::VarChar, 10, QStringLiteral("a"))};
        error = errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), corto); });
        QCOMPARE(error.numero(), CodigoDeError::Sentencia);
        QVERIFY(error.descripcion().contains(QStringLiteral("@Clave")));

        auto largo = e.parametros(QStringLiteral("a"), 1, QVariant());
        largo << Parametro::entrada(QStringLiteral("@Otro"), TipoDeParametro::SmallInt, 0, 1);
        QCOMPARE(
            errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), largo); }).numero(),
            CodigoDeError::Sentencia);

        // A key broken by a second row.
        auto ps = e.parametros(QStringLiteral("a"), 5, QVariant());
        e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps);
        error = errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps); });
        QCOMPARE(error.numero(), CodigoDeError::Integridad);
        QVERIFY(error.numero() < 0);
        QVERIFY(error.fuente().endsWith(QStringLiteral("kelmar")));
        QCOMPARE(e.filas(), 1);

        // A body that fails half-way leaves nothing behind.
        Parametros n{Parametro::entrada(QStringLiteral("@Numero"), TipoDeParametro::SmallInt, 0, 9)};
        error = errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("FallaAMedias"), n); });
        QCOMPARE(error.numero(), CodigoDeError::Sentencia);
        QCOMPARE(e.filas(), 1);
        // ...and the connection goes on working.
        QCOMPARE(e.conexion
                     .ejecuta(QStringLiteral("update prueba set texto = ? where numero = ?"),
                              {QStringLiteral("b"), 5})
                     .filasAfectadas(),
                 1);

        QCOMPARE(errorDe([&] { e.conexion.ejecuta(QStringLiteral("selec mal escrito")); }).numero(),
                 CodigoDeError::Sentencia);
    }

    // The settings file round trip, and a libpq string with a quoted password.
    void ajustes() {
        BaseDePrueba base;
        const QString archivo = base.carpeta() + QStringLiteral("/otro.ini");
        QCOMPARE(AjustesDeConexion::lee(archivo).motor, Motor::SQLite);
        QCOMPARE(AjustesDeConexion::lee(archivo).carpeta, AjustesDeConexion::carpetaPorDefecto());

        AjustesDeConexion pg = AjustesDeConexion::dePostgres(QStringLiteral(
            "host=db.oficina port=5433 user=kelmarnv password='a b\\'c' sslmode=require dbname=z"));
        QCOMPARE(pg.opciones, QStringLiteral("sslmode=require"));
        pg.taloren.contrasena = QStringLiteral("brastol");
        pg.escribe(archivo);
        const AjustesDeConexion leido = AjustesDeConexion::lee(archivo);
        QCOMPARE(leido.motor, Motor::PostgreSQL);
        QCOMPARE(leido.host + QLatin1Char(':') + QString::number(leido.puerto),
                 QStringLiteral("db.oficina:5433"));
        QCOMPARE(leido.taloren.usuario, QStringLiteral("kelmarnv"));
        QCOMPARE(leido.kelmar.contrasena, QStringLiteral("a b'c"));
        QCOMPARE(leido.taloren.contrasena, QStringLiteral("brastol"));
        QCOMPARE(leido.taloren.baseDeDatos, QStringLiteral("taloren"));
    }
};

QTEST_GUILESS_MAIN(TstConexion)
#include "tst_conexion.moc"
