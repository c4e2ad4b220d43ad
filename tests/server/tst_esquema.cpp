#include "outside/ErrorDeEjecucion.h"
#include "server/Contrasenas.h"
#include "server/Semilla.h"
#include "support/BaseDePrueba.h"

#include <QDate>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int cuenta(Conexion& c, const QString& sql, const QVariantList& valores = {}) {
    return c.ejecuta(sql, valores).valor(0, 0).toInt();
}

void inserta(Conexion& c, const char* tabla, const QVariantList& valores) {
    c.ejecuta(u"insert into %1 values (%2)"_s.arg(QString::fromUtf8(tabla),
                                                  QStringList(valores.size(), u"?"_s).join(u", "_s)),
              valores);
}

} // namespace

class TstEsquema : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The rows the program relies on: an event without place is stored under "Sin Municipio" and the
    // municipality's "Sin Localidad"; the first account's digest, which the program verifies
    // whichever backend made it, seeded once however often the catalog is opened.
    void semilla_data() { agregaMotores(); }
    void semilla() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& k = base.kelmar();
        QCOMPARE(cuenta(*base.abre(Catalogo::Kelmar), u"select count(*) from usuarios"_s), 1);
        QCOMPARE(cuenta(k, u"select count(*) from municipios_tmp where nombre = ?"_s, {u"Sin Municipio"_s}),
                 1);
        QCOMPARE(cuenta(k,
                        u"select count(*) from municipios_tmp m where (select count(*) from localidad l "
                        u"where l.municipio = m.cvemunicipio and l.nombre = ?) <> 1"_s,
                        {u"Sin Localidad"_s}),
                 0);

        const QString digesto =
            k.ejecuta(u"select Contrasena from usuarios where CuentaUsr = ?"_s, {u"admin"_s}).texto(0, 0);
        const QString inicial = QString::fromLatin1(Semilla::contrasenaInicialDeAdmin);
        QVERIFY(!digesto.contains(inicial) && Contrasenas::verifica(inicial, digesto));
        // Salted: the same password never gives the same text. A NUL would end the password early for
        // the digest: it is refused, never cut. Other forms (a DES digest) never verify, whatever crypt()
        // would make of them.
        QVERIFY(Contrasenas::codifica(inicial, 4) != Contrasenas::codifica(inicial, 4));
        QVERIFY(!Contrasenas::verifica(inicial + QChar(0), digesto) && !Contrasenas::verifica({}, digesto));
        QCOMPARE(errorDe([] { Contrasenas::codifica(u"ab"_s + QChar(0)); }).numero(),
                 CodigoDeError::Conversion);
        QVERIFY(!Contrasenas::verifica(u"x"_s, u"pbrd3vnbctpbU"_s));

        // A catalog of a later version is refused and left as it is (updating again is the administration
        // command's "al día").
        const int actual = Esquema::versionActual(Catalogo::Kelmar);
        k.ejecuta(u"insert into version_esquema (version) values (?)"_s, {actual + 1});
        QVERIFY(errorDe([&] { Esquema::actualiza(k, Catalogo::Kelmar); }).numero() != 0);
        QCOMPARE(Esquema::version(k), actual + 1);
    }

    // The embedded catalog refuses what the server refuses, with the same kind of error.
    void elEsquemaRefusaLoMismo_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("enKelmar");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<int>("numero");
        const QString municipio = u"insert into municipios_tmp (cvemunicipio, nombre) values (?, 'x')"_s;
        const QString anio = u"insert into Anio (Anio) values (?)"_s;
        const QString fecha = u"update configuracion set FechaUltimaVersion = ?"_s;
        const struct {
            const char* nombre;
            bool kelmar;
            QString sql;
            QVariant valor;
            int numero;
        } casos[] = {
            {"texto largo", true, municipio, u"12345678901"_s, CodigoDeError::Desbordamiento},
            {"texto justo con acentos", true, municipio, u"ÁÉÍÓÚ"_s, 0},
            {"smallint fuera de rango", true, anio, 70000, CodigoDeError::Desbordamiento},
            {"smallint en texto", true, anio, u"2031"_s, 0},
            {"smallint no numérico", true, anio, u"tres"_s, CodigoDeError::Conversion},
            {"integer no numérico", false,
             u"insert into cat_instrucciones (clave_instruccion, descripcion) values (?, 'x')"_s, u"tres"_s,
             CodigoDeError::Conversion},
            {"año del evento fuera de rango", false, u"insert into evento (folio, año) values (1, ?)"_s,
             70000, CodigoDeError::Desbordamiento},
            {"fecha que no es fecha", true, fecha, u"mañana"_s, CodigoDeError::Conversion},
        };
        agregaFilasPorMotor(
            casos, [](QTestData& fila, const auto& c) { fila << c.kelmar << c.sql << c.valor << c.numero; });
    }
    void elEsquemaRefusaLoMismo() {
        MOTOR_DE_LA_FILA(elMotor);
        QFETCH(bool, enKelmar);
        QFETCH(QString, sql);
        QFETCH(QVariant, valor);
        QFETCH(int, numero);
        BaseDePrueba base(elMotor);
        const ErrorDeEjecucion error =
            errorDe([&] { (enKelmar ? base.kelmar() : base.taloren()).ejecuta(sql, {valor}); });
        QVERIFY2(error.numero() == numero, qPrintable(error.descripcion()));
    }

    // A server's catalogs are UTF-8 and collate in Spanish.
    void catalogosDelServidorEnEspanol() {
        EXIGE_POSTGRES();
        BaseDePrueba base(Motor::PostgreSQL);
        const Recordset rs = base.kelmar().ejecuta(
            u"select pg_encoding_to_char(encoding), coalesce(daticulocale, datcollate) from pg_database"
            u" where datname = current_database()"_s);
        QCOMPARE(rs.texto(0, 0), u"UTF8"_s);
        QVERIFY2(rs.texto(0, 1).startsWith(u"es"_s), qPrintable(rs.texto(0, 1)));
    }

    // An event's three rows stand or fall together (the event may come last in its unit); the register
    // writes the year of the last two as quoted text, and either form finds them.
    void lasLlavesProtegenLosDatos_data() { agregaMotores(); }
    void lasLlavesProtegenLosDatos() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& t = base.taloren();
        const QString anio = u"2011"_s;
        const QDateTime cuando(QDate(2011, 3, 4), QTime(10, 0));
        const auto evento = [&](int folio) {
            inserta(t, "evento",
                    {folio, 2011, cuando, u"10:00"_s, u"Feria"_s, u"Palacio"_s, u"007"_s, u"0001"_s, cuando,
                     cuando});
        };
        const auto suscriptor = [&](int folio) {
            inserta(t, "suscriptor",
                    {folio, anio, u"Juana"_s, u"Presidenta"_s, u"735-3521840"_s, u"___-_______"_s});
        };
        const auto representante = [&](int folio, int instruccion) {
            inserta(t, "representante_del_evento",
                    {folio, anio, u"0004"_s, u"004"_s, u"SEB"_s, u"777-3180110"_s, u"___-_______"_s,
                     instruccion, u"Secretario"_s, u"Normal"_s, QString(), cuando, QString(), QString(),
                     QString()});
        };
        const auto filas = [&](const char* tabla, int folio, const QVariant& forma) {
            return cuenta(
                t, u"select count(*) from %1 where folio = ? and año = ?"_s.arg(QString::fromLatin1(tabla)),
                {folio, forma});
        };
        evento(1);
        QCOMPARE(errorDe([&] { evento(1); }).numero(), CodigoDeError::Integridad);
        QCOMPARE(errorDe([&] { representante(1, 999); }).numero(), CodigoDeError::Integridad);
        QCOMPARE(errorDe([&] { t.enTransaccion([&] { suscriptor(2); }); }).numero(),
                 CodigoDeError::Integridad);
        QCOMPARE(filas("suscriptor", 2, anio), 0);
        t.enTransaccion([&] {
            suscriptor(3);
            representante(3, 1);
            evento(3);
        });
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"})
            QVERIFY2(filas(tabla, 3, 2011) == 1 && filas(tabla, 3, anio) == 1, tabla);
        t.ejecuta(u"delete from evento where folio = ? and año = ?"_s, {3, 2011});
        QCOMPARE(filas("suscriptor", 3, anio) + filas("representante_del_evento", 3, anio), 0);
        QCOMPARE(filas("evento", 1, anio), 1);
    }
};

QTEST_MAIN(TstEsquema)
#include "tst_esquema.moc"
