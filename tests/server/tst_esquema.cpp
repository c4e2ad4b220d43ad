#include "outside/ErrorDeEjecucion.h"
#include "server/Administracion.h"
#include "server/Contrasenas.h"
#include "server/Semilla.h"
#include "support/BaseDePrueba.h"

#include <QCryptographicHash>
#include <QDate>
#include <QPasswordDigestor>
#include <QTest>

namespace {

int cuenta(Conexion& c, const QString& sql, const QVariantList& valores = {}) {
    return c.ejecuta(sql, valores).valor(0, 0).toInt();
}

void insertaEvento(Conexion& t, int folio, const QVariant& anio) {
    t.ejecuta(QStringLiteral("insert into evento values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {folio, anio, QDateTime(QDate(2011, 3, 4), QTime(10, 0)), QStringLiteral("10:00"),
               QStringLiteral("Inauguración de la Feria del Libro"), QStringLiteral("Palacio de Gobierno"),
               QStringLiteral("007"), QStringLiteral("0001"), QDateTime(QDate(2011, 3, 1), QTime(9, 0)),
               QDateTime(QDate(2011, 3, 1), QTime(9, 0))});
}

// The register writes the year of these two tables as quoted text.
void insertaSuscriptor(Conexion& t, int folio, const QVariant& anio) {
    t.ejecuta(QStringLiteral("insert into suscriptor values (?, ?, ?, ?, ?, ?)"),
              {folio, anio, QStringLiteral("Juana Ocampo Galindo"), QStringLiteral("Presidenta Municipal"),
               QStringLiteral("735-3521840"), QStringLiteral("___-_______")});
}

void insertaRepresentante(Conexion& t, int folio, const QVariant& anio, int instruccion) {
    t.ejecuta(QStringLiteral("insert into representante_del_evento values "
                             "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {folio, anio, QStringLiteral("0004"), QStringLiteral("004"), QStringLiteral("SEB"),
               QStringLiteral("777-3180110"), QStringLiteral("___-_______"), instruccion,
               QStringLiteral("Secretario"), QStringLiteral("Normal"), QString(),
               QDateTime(QDate(2011, 3, 2), QTime(12, 0)), QString(), QString(), QString()});
}

int filasDelEvento(Conexion& t, const QString& tabla, int folio) {
    return cuenta(t, QStringLiteral("select count(*) from ") + tabla + QStringLiteral(" where folio = ?"),
                  {folio});
}

} // namespace

class TstEsquema : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void actualizarDeNuevoNoCambiaNada_data() { agregaMotores(); }
    void actualizarDeNuevoNoCambiaNada() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        for (Catalogo catalogo : {Catalogo::Kelmar, Catalogo::Taloren}) {
            Conexion& c = catalogo == Catalogo::Kelmar ? base.kelmar() : base.taloren();
            const QString tabla = catalogo == Catalogo::Kelmar ? QStringLiteral("funcionarios")
                                                               : QStringLiteral("cat_instrucciones");
            QCOMPARE(Esquema::version(c), Esquema::versionActual(catalogo));
            const int filas = cuenta(c, QStringLiteral("select count(*) from ") + tabla);
            QVERIFY(filas > 0);
            QCOMPARE(Esquema::actualiza(c, catalogo), Esquema::versionActual(catalogo));
            QCOMPARE(cuenta(c, QStringLiteral("select count(*) from version_esquema")),
                     Esquema::versionActual(catalogo));
            QCOMPARE(cuenta(c, QStringLiteral("select count(*) from ") + tabla), filas);
        }
        // A catalog opened again by another connection is not seeded twice.
        auto otra = base.abre(Catalogo::Kelmar);
        QCOMPARE(cuenta(*otra, QStringLiteral("select count(*) from usuarios")), 1);
    }

    // The rows the program relies on: an event without place is stored under them.
    void semillaDeLaQueDependeElPrograma_data() { agregaMotores(); }
    void semillaDeLaQueDependeElPrograma() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& k = base.kelmar();
        Recordset rs = k.ejecuta(QStringLiteral("select cvemunicipio from municipios_tmp where nombre = ?"),
                                 {QStringLiteral("Sin Municipio")});
        QCOMPARE(rs.filas(), 1);
        // Every municipality, "Sin Municipio" included, has its own "Sin Localidad".
        rs = k.ejecuta(
            QStringLiteral("select m.cvemunicipio, count(l.localidad) from municipios_tmp m left join "
                           "localidad l on l.municipio = m.cvemunicipio and l.nombre = ? "
                           "group by m.cvemunicipio having count(l.localidad) <> 1"),
            {QStringLiteral("Sin Localidad")});
        QCOMPARE(rs.filas(), 0);
        rs = k.ejecuta(QStringLiteral("select FechaUltimaVersion from configuracion"));
        QCOMPARE(rs.texto(0, 0), QStringLiteral("2011-11-18 00:00:00"));
        rs = k.ejecuta(QStringLiteral("select Contrasena from usuarios where CuentaUsr = ?"),
                       {QStringLiteral("admin")});
        const QString inicial = QString::fromLatin1(Semilla::contrasenaInicialDeAdmin);
        QVERIFY(!rs.texto(0, 0).contains(inicial));
        QVERIFY(Contrasenas::verifica(inicial, rs.texto(0, 0)));
    }

    // The embedded catalog refuses what the server refuses, with the same kind of error.
    void elEsquemaRefusaLoMismo_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("enKelmar");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<int>("numero");
        const struct {
            const char* nombre;
            bool kelmar;
            const char* sql;
            QVariant valor;
            int numero;
        } casos[] = {
            {"texto largo", true, "insert into municipios_tmp (cvemunicipio, nombre) values (?, 'x')",
             QStringLiteral("12345678901"), CodigoDeError::Desbordamiento},
            {"texto justo con acentos", true,
             "insert into municipios_tmp (cvemunicipio, nombre) values (?, 'x')", QStringLiteral("ÁÉÍÓÚ"), 0},
            {"smallint fuera de rango", true, "insert into Anio (Anio) values (?)", 70000,
             CodigoDeError::Desbordamiento},
            {"smallint en texto", true, "insert into Anio (Anio) values (?)", QStringLiteral("2031"), 0},
            {"smallint no numérico", true, "insert into Anio (Anio) values (?)", QStringLiteral("tres"),
             CodigoDeError::Conversion},
            {"integer no numérico", false,
             "insert into cat_instrucciones (clave_instruccion, descripcion) values (?, 'x')",
             QStringLiteral("tres"), CodigoDeError::Conversion},
            {"año del evento fuera de rango", false, "insert into evento (folio, año) values (1, ?)", 70000,
             CodigoDeError::Desbordamiento},
            {"fecha que no es fecha", true, "update configuracion set FechaUltimaVersion = ?",
             QStringLiteral("mañana"), CodigoDeError::Conversion},
            {"fecha de un QDate", true, "update configuracion set FechaUltimaVersion = ?", QDate(2012, 2, 29),
             0},
        };
        for (const auto& [motor, nombre] :
             {std::pair{Motor::SQLite, "sqlite"}, std::pair{Motor::PostgreSQL, "postgresql"}})
            for (const auto& c : casos)
                QTest::addRow("%s: %s", nombre, c.nombre)
                    << int(motor) << c.kelmar << QString::fromUtf8(c.sql) << c.valor << c.numero;
    }
    void elEsquemaRefusaLoMismo() {
        MOTOR_DE_LA_FILA(elMotor);
        QFETCH(bool, enKelmar);
        QFETCH(QString, sql);
        QFETCH(QVariant, valor);
        QFETCH(int, numero);
        BaseDePrueba base(elMotor);
        Conexion& c = enKelmar ? base.kelmar() : base.taloren();
        const ErrorDeEjecucion error = errorDe([&] { c.ejecuta(sql, {valor}); });
        QVERIFY2(error.numero() == numero, qPrintable(error.descripcion()));
    }

    // A server's catalogs are UTF-8 and collate in Spanish.
    void catalogosDelServidorEnEspanol() {
        EXIGE_POSTGRES();
        BaseDePrueba base(Motor::PostgreSQL);
        const Recordset rs = base.kelmar().ejecuta(QStringLiteral(
            "select pg_encoding_to_char(encoding), coalesce(daticulocale, datcollate) from pg_database"
            " where datname = current_database()"));
        QCOMPARE(rs.texto(0, 0), QStringLiteral("UTF8"));
        QVERIFY2(rs.texto(0, 1).startsWith(QStringLiteral("es")), qPrintable(rs.texto(0, 1)));
    }

    void lasLlavesProtegenLosDatos_data() { agregaMotores(); }
    void lasLlavesProtegenLosDatos() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& t = base.taloren();
        const QString anio = QStringLiteral("2011");

        insertaEvento(t, 1, 2011);
        QCOMPARE(errorDe([&] { insertaEvento(t, 1, 2011); }).numero(), CodigoDeError::Integridad);
        QCOMPARE(errorDe([&] { insertaRepresentante(t, 1, anio, 999); }).numero(), CodigoDeError::Integridad);

        bool escrito = false;
        QCOMPARE(errorDe([&] {
                     t.enTransaccion([&] {
                         insertaSuscriptor(t, 2, anio);
                         escrito = true;
                     });
                 }).numero(),
                 CodigoDeError::Integridad);
        QVERIFY2(escrito, "the missing event is noticed at commit, not at the insert");
        QCOMPARE(filasDelEvento(t, QStringLiteral("suscriptor"), 2), 0);

        t.enTransaccion([&] {
            insertaSuscriptor(t, 3, anio);
            insertaEvento(t, 3, 2011);
            insertaRepresentante(t, 3, anio, 1);
        });
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"}) {
            for (const QVariant& forma : {QVariant(2011), QVariant(anio)}) {
                const QString sql = QStringLiteral("select folio from %1 where folio = ? and año = ?")
                                        .arg(QString::fromLatin1(tabla));
                QVERIFY2(
                    t.ejecuta(sql, {3, forma}).filas() == 1,
                    qPrintable(QStringLiteral("%1 con año %2")
                                   .arg(QString::fromLatin1(tabla), QString::fromLatin1(forma.typeName()))));
            }
        }

        t.ejecuta(QStringLiteral("delete from evento where folio = ? and año = ?"), {3, 2011});
        QCOMPARE(filasDelEvento(t, QStringLiteral("suscriptor"), 3), 0);
        QCOMPARE(filasDelEvento(t, QStringLiteral("representante_del_evento"), 3), 0);
        QCOMPARE(filasDelEvento(t, QStringLiteral("evento"), 1), 1);
    }

    void catalogoMasNuevoSeRechaza() {
        BaseDePrueba base;
        for (Catalogo catalogo : {Catalogo::Kelmar, Catalogo::Taloren}) {
            Conexion& c = catalogo == Catalogo::Kelmar ? base.kelmar() : base.taloren();
            const int futura = Esquema::versionActual(catalogo) + 1;
            c.ejecuta(QStringLiteral("insert into version_esquema (version) values (?)"), {futura});
            QVERIFY(errorDe([&] { Esquema::actualiza(c, catalogo); }).numero() != 0);
            QCOMPARE(Esquema::version(c), futura);
        }
    }

    // Salted: the same password never gives the same text; only the right one verifies, and digests
    // of the earlier form still do.
    void contrasenasCodificadas() {
        const QString a = Contrasenas::codifica(QStringLiteral("contraseña"), 4);
        const QString b = Contrasenas::codifica(QStringLiteral("contraseña"), 4);
        QVERIFY(a != b);
        QVERIFY(Contrasenas::esDelFormatoActual(a));
        QVERIFY(Contrasenas::verifica(QStringLiteral("contraseña"), a));
        QVERIFY(Contrasenas::verifica(QStringLiteral("contraseña"), b));
        QVERIFY(!Contrasenas::verifica(QStringLiteral("contrasena"), a));
        QVERIFY(!Contrasenas::verifica(QString(), a));
        // A NUL would end the password early for the digest: it is refused, never cut.
        QVERIFY(!Contrasenas::verifica(QStringLiteral("contraseña") + QChar(0), a));
        QCOMPARE(errorDe([] { Contrasenas::codifica(QStringLiteral("ab") + QChar(0)); }).numero(),
                 CodigoDeError::Conversion);

        const QByteArray sal = "0123456789abcdef";
        const QString anterior =
            QStringLiteral("pbkdf2-sha256$1000$%1$%2")
                .arg(QString::fromLatin1(sal.toBase64()),
                     QString::fromLatin1(QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256,
                                                                            "vieja", sal, 1000, 32)
                                             .toBase64()));
        QVERIFY(Contrasenas::verifica(QStringLiteral("vieja"), anterior));
        QVERIFY(!Contrasenas::verifica(QStringLiteral("viejas"), anterior));
        QVERIFY(!Contrasenas::esDelFormatoActual(anterior));
        // Other forms (a DES digest, for instance) never verify, whatever crypt() would make of them.
        QVERIFY(!Contrasenas::verifica(QStringLiteral("x"), QStringLiteral("pbrd3vnbctpbU")));
    }

    // One account table serves both backends: what the program digests the server verifies, and
    // the other way round, accents included.
    void digestosCompartidos() {
        EXIGE_POSTGRES();
        BaseDePrueba base(Motor::PostgreSQL);
        Conexion& k = base.kelmar();
        const auto valida = [&](const QString& cuenta, const QString& contrasena) {
            Parametros ps{
                Parametro::entrada(QStringLiteral("@CveUsuario"), TipoDeParametro::VarChar, 10, cuenta),
                Parametro::entrada(QStringLiteral("@Password"), TipoDeParametro::VarChar, 10, contrasena)};
            return !k.ejecutaProcedimiento(QStringLiteral("ValidarUsuarioEnTaLoREN"), ps).estaVacio();
        };
        const QString clave = QStringLiteral("contraseña");
        Administracion::agregaUsuario(k, QStringLiteral("servidor"), QString(), clave);
        const QString delServidor =
            k.ejecuta(QStringLiteral("select Contrasena from usuarios where CuentaUsr = ?"),
                      {QStringLiteral("servidor")})
                .texto(0, 0);
        QVERIFY(Contrasenas::verifica(clave, delServidor));
        QVERIFY(!Contrasenas::verifica(QStringLiteral("contrasena"), delServidor));

        k.ejecuta(QStringLiteral("update usuarios set Contrasena = ? where CuentaUsr = ?"),
                  {Contrasenas::codifica(clave), QStringLiteral("servidor")});
        QVERIFY(valida(QStringLiteral("servidor"), clave));
        QVERIFY(!valida(QStringLiteral("servidor"), QStringLiteral("contrasena")));
        QVERIFY(!valida(QStringLiteral("nadie"), clave));
    }
};

QTEST_MAIN(TstEsquema)
#include "tst_esquema.moc"
