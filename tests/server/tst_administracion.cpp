#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/administracion/Apertura.h"
#include "server/administracion/Contrasenas.h"
#include "support/BaseDePrueba.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Corrida {
    int salida = -1;
    QString texto;
};

// The administration command on a settings file; `orden` is split as a shell would split it.
QProcess* lanza(const QString& archivo, const QString& orden, const QByteArray& entrada = {}) {
    auto* p = new QProcess;
    p->start(QStringLiteral(TALOREN_ADMIN),
             QStringList{u"--config"_s, archivo} + QProcess::splitCommand(orden));
    p->write(entrada);
    p->closeWriteChannel();
    return p;
}

Corrida termina(QProcess* p) {
    std::unique_ptr<QProcess> proceso(p);
    const bool terminado = p->waitForFinished(120000);
    return {terminado ? p->exitCode() : -1,
            QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError())};
}

Corrida admin(const QString& archivo, const QString& orden, const QByteArray& entrada = {}) {
    return termina(lanza(archivo, orden, entrada));
}
Corrida admin(const BaseDePrueba& base, const QString& orden, const QByteArray& entrada = {}) {
    return admin(base.archivoDeAdministracion(), orden, entrada);
}

// What the login procedure answers for a pair: "nick/account", or nothing.
QString valida(Conexion& kelmar, const QString& cuenta, const QString& contrasena) {
    Parametros ps{Parametro::entrada(u"@CveUsuario"_s, TipoDeParametro::VarChar, 10, cuenta),
                  Parametro::entrada(u"@Password"_s, TipoDeParametro::VarChar, 10, contrasena)};
    const Recordset rs = kelmar.ejecutaProcedimiento(u"ValidarUsuarioEnTaLoREN"_s, ps);
    return rs.estaVacio() ? QString() : rs.texto(0, u"Nick"_s) + u'/' + rs.texto(0, u"CuentaUsr"_s);
}

int cuenta(Conexion& c, const QString& sql) {
    return c.ejecuta(sql).valor(0, 0).toInt();
}

QAtomicInt contador;
QString nombreUnico(const char* que) {
    return u"tlr_%1_a%2_%3"_s.arg(QCoreApplication::applicationPid())
        .arg(contador.fetchAndAddRelaxed(1))
        .arg(QString::fromLatin1(que));
}

// The server's superuser, who makes the roles of a test.
std::unique_ptr<Conexion> superusuario() {
    const AjustesDeConexion a = AjustesDeConexion::dePostgres(BaseDePrueba::cadenaPostgres());
    auto c = std::make_unique<Conexion>(u"postgres"_s);
    c->abre(a, {u"postgres"_s, a.kelmar.usuario, a.kelmar.contrasena});
    return c;
}

// A statement of the superuser's, with names and passwords quoted by the server itself. At a test's end
// (`alFinal`) a failure is worth a warning only.
void comoSuperusuario(const char* formato, const QVariantList& valores, bool alFinal = false) {
    try {
        auto c = superusuario();
        const QString argumentos = QStringList(valores.size(), u"?::text"_s).join(u", "_s);
        c->ejecuta(c->ejecuta(u"select format(?, "_s + argumentos + u')',
                              QVariantList{QString::fromLatin1(formato)} + valores)
                       .texto(0, 0));
    } catch (const std::exception& e) {
        if (!alFinal)
            throw;
        qWarning("no se limpió tras la prueba: %s", e.what());
    }
}

// A login role of the server for one test, dropped afterwards.
struct Rol {
    Rol(const char* que, const char* atributos) : nombre(nombreUnico(que)) {
        comoSuperusuario(
            QByteArray(QByteArray("create role %I login ") + atributos + " password %L").constData(),
            {nombre, contrasena});
    }
    ~Rol() { comoSuperusuario("drop role if exists %I", {nombre}, true); }
    QString nombre;
    QString contrasena = u"clave de prueba"_s;
};

// Catalogs that do not exist yet: a new folder, or two new database names on
// the server with the administrator of TALOREN_TEST_PG. Dropped afterwards.
struct Instalacion {
    explicit Instalacion(Motor motor) {
        if (motor == Motor::PostgreSQL) {
            ajustes = AjustesDeConexion::dePostgres(BaseDePrueba::cadenaPostgres());
            ajustes.administrador = {u"postgres"_s, ajustes.kelmar.usuario, ajustes.kelmar.contrasena};
            ajustes.kelmar.baseDeDatos = nombreUnico("kelmar");
            ajustes.taloren.baseDeDatos = nombreUnico("taloren");
        } else {
            ajustes.carpeta = dir.filePath(u"datos"_s);
        }
        ajustes.escribe(archivo);
    }
    ~Instalacion() {
        // The superuser may end any session still on them.
        if (ajustes.motor == Motor::PostgreSQL)
            for (const QString& base : {ajustes.kelmar.baseDeDatos, ajustes.taloren.baseDeDatos})
                comoSuperusuario("drop database if exists %I with (force)", {base}, true);
    }
    // Station and administrator are these roles.
    void usa(const Rol& estacion, const Rol& administrador) {
        ajustes.kelmar.usuario = ajustes.taloren.usuario = estacion.nombre;
        ajustes.kelmar.contrasena = ajustes.taloren.contrasena = estacion.contrasena;
        ajustes.administrador = {u"postgres"_s, administrador.nombre, administrador.contrasena};
        ajustes.escribe(archivo);
    }
    // "create --admin-password-file FILE" with the file holding `texto`.
    QString createCon(const QByteArray& texto) const {
        const QString ruta = dir.filePath(u"primera"_s);
        escribeArchivo(ruta, texto);
        return u"create --admin-password-file "_s + ruta;
    }

    QTemporaryDir dir;
    AjustesDeConexion ajustes;
    QString archivo = dir.filePath(u"administracion.ini"_s);
};

} // namespace

class TstAdministracion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The help is Spanish throughout, Qt's own headings included; without an
    // order it goes to the error output with status 2.
    void ayuda() {
        const Corrida ayuda = admin(u"/no/existe.ini"_s, u"--help"_s);
        QCOMPARE(ayuda.salida, 0);
        for (const char* texto : {"Uso:", "Opciones:", "Argumentos:", "Muestra esta ayuda", "show-config"})
            QVERIFY2(ayuda.texto.contains(QString::fromUtf8(texto)), texto);
        for (const char* ingles : {"Usage", "Options", "Displays", "Arguments"})
            QVERIFY2(!ayuda.texto.contains(QString::fromUtf8(ingles)), ingles);
        const Corrida sinOrden = admin(u"/no/existe.ini"_s, QString());
        QCOMPARE(sinOrden.salida, 2);
        QVERIFY(sinOrden.texto.startsWith(u"Uso:"_s));
    }

    void ordenes_data() { agregaMotores(); }
    void ordenes() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();

        QCOMPARE(admin(base, u"add-user pepe --nick \"Pepe Ruiz\" --password contraseña"_s).salida, 0);
        QCOMPARE(valida(k, u"pepe"_s, u"contraseña"_s), u"Pepe Ruiz/pepe"_s);
        QCOMPARE(valida(k, u"pepe"_s, u"contrasena"_s), QString());
        // Stored as a salted bcrypt digest, never as the text, that the program verifies whoever made it.
        const QString guardada =
            k.ejecuta(u"select Contrasena from usuarios where CuentaUsr = ?"_s, {u"pepe"_s}).texto(0, 0);
        QVERIFY2(guardada.startsWith(u"$2a$10$"_s) && !guardada.contains(u"contraseña"_s),
                 qPrintable(guardada));
        QVERIFY(Contrasenas::verifica(u"contraseña"_s, guardada));
        // What the program digests the catalog verifies.
        k.ejecuta(u"update usuarios set Contrasena = ? where CuentaUsr = ?"_s,
                  {Contrasenas::codifica(u"tercera"_s), u"pepe"_s});
        QCOMPARE(valida(k, u"pepe"_s, u"tercera"_s), u"Pepe Ruiz/pepe"_s);

        // Without --password the password is read from standard input.
        QCOMPARE(admin(base, u"set-password pepe"_s, "segunda\n").salida, 0);
        QCOMPARE(valida(k, u"pepe"_s, u"tercera"_s), QString());
        QCOMPARE(valida(k, u"pepe"_s, u"segunda"_s), u"Pepe Ruiz/pepe"_s);

        // Only what is named changes; "none" empties the version date.
        const auto configuracion = [&] {
            const Recordset r =
                k.ejecuta(u"select Acceso, Mensaje1, FechaUltimaVersion, Criticidad from configuracion"_s);
            return QStringList{r.texto(0, 0), r.texto(0, 1), r.texto(0, 2), r.texto(0, 3)};
        };
        const QString orden =
            u"set-config --access no --version-date 2012-01-31 --criticality 2 --message Ñ"_s;
        QCOMPARE(admin(base, orden).salida, 0);
        QCOMPARE(configuracion(), QStringList({u"0"_s, u"Ñ"_s, u"2012-01-31 00:00:00"_s, u"2"_s}));
        QCOMPARE(admin(base, u"set-config --access yes --version-date none"_s).salida, 0);
        QCOMPARE(configuracion(), QStringList({u"1"_s, u"Ñ"_s, QString(), u"2"_s}));

        // Refused: a second account of a name, an unknown one, a value or an order the command does not
        // know (usage: 2), and what the login box would not take (more than ten characters, a control
        // character), never cut. The database's refusal is told in Spanish, its own words after it.
        const QString error = u"Error %1"_s;
        const std::tuple<QString, int, QString> negadas[] = {
            // order, exit code, what it says (a pattern)
            {u"add-user pepe --password x"_s, 1,
             error.arg(CodigoDeError::Integridad) +
                 u": Ya existe un registro con la misma clave[^\n]*\nDetalle: [^\n]*(23505|1555)"_s},
            {u"set-password nadie --password x"_s, 1, u"nadie"_s},
            {u"set-config --access quizá"_s, 2, {}},
            {u"borra-todo"_s, 2, {}},
            {u"add-user abcdefghijk --password x"_s, 1, error.arg(CodigoDeError::Desbordamiento)},
            {u"add-user abc --password 12345678901"_s, 1, error.arg(CodigoDeError::Desbordamiento)},
            {u"add-user abc --password \"12\t34\""_s, 1, error.arg(CodigoDeError::Conversion)},
        };
        for (const auto& [orden, salida, dice] : negadas) {
            const Corrida c = admin(base, orden);
            QVERIFY2(c.salida == salida && c.texto.contains(QRegularExpression(dice)),
                     qPrintable(orden + u": "_s + c.texto));
        }

        // A station's own settings change no account on a server.
        const Corrida c = admin(base.archivoDeAjustes(), u"add-user intruso --password x"_s);
        QCOMPARE(c.salida, motor == Motor::PostgreSQL ? 1 : 0);
        QVERIFY2(motor == Motor::SQLite || c.texto.contains(u"[admin]"_s), qPrintable(c.texto));
    }

    // A new server gets the first password its administrator gives, never the documented one (given by
    // file in the next test).
    void primeraCuentaDelServidor_data() {
        QTest::addColumn<QByteArray>("archivo"); // contents of --admin-password-file; none when empty
        QTest::addColumn<QByteArray>("entrada");
        QTest::addColumn<QString>("contrasena"); // the first password; empty when create refuses
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("sin contraseña")
            << QByteArray() << QByteArray() << QString() << u"--admin-password-file"_s;
        QTest::newRow("la documentada")
            << QByteArray("taloren\n") << QByteArray() << QString() << u"documentada"_s;
        QTest::newRow("por la entrada estándar")
            << QByteArray() << QByteArray("Ñandú 7\n") << u"Ñandú 7"_s << QString();
    }
    void primeraCuentaDelServidor() {
        EXIGE_POSTGRES();
        QFETCH(QByteArray, archivo);
        QFETCH(QByteArray, entrada);
        QFETCH(QString, contrasena);
        QFETCH(QString, mensaje);
        Instalacion i(Motor::PostgreSQL);
        const Corrida c = admin(i.archivo, archivo.isEmpty() ? u"create"_s : i.createCon(archivo), entrada);
        if (contrasena.isEmpty()) {
            QVERIFY2(c.salida == 1 && c.texto.contains(mensaje), qPrintable(c.texto));
            QVERIFY(superusuario()
                        ->ejecuta(u"select 1 from pg_database where datname = ?"_s,
                                  {i.ajustes.kelmar.baseDeDatos})
                        .estaVacio());
            return;
        }
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        auto kelmar = Servidor::abre(Catalogo::Kelmar, i.ajustes);
        QCOMPARE(valida(*kelmar, u"admin"_s, contrasena), u"Administrador/admin"_s);
        QCOMPARE(valida(*kelmar, u"admin"_s, u"taloren"_s), QString());
    }

    // A station's account reads and changes no account, and runs no account function; it logs in and
    // works on the business tables; the administrator's credentials still do everything.
    void estacionSinPrivilegios() {
        EXIGE_POSTGRES();
        Rol administrador("dueno", "createdb");
        Rol estacion("estacion", "");
        Instalacion i(Motor::PostgreSQL);
        i.usa(estacion, administrador);
        Corrida c = admin(i.archivo, i.createCon("Prim3ra"));
        QVERIFY2(c.salida == 0 && !c.texto.contains(u"Aviso"_s), qPrintable(c.texto));

        AjustesDeConexion deLaEstacion = i.ajustes;
        deLaEstacion.administrador = {};
        auto kelmar = Servidor::abre(Catalogo::Kelmar, deLaEstacion);
        auto taloren = Servidor::abre(Catalogo::Taloren, deLaEstacion);
        const std::pair<QString, QVariantList> negadas[] = {
            {u"select Contrasena from usuarios"_s, {}},
            {u"update usuarios set Contrasena = ? where CuentaUsr = ?"_s,
             {u"$2a$04$abcdefghijklmnopqrstuuC3pDtcOT0IXxM0wOaOtdzCo4ogbcVSy"_s, u"admin"_s}},
            {u"select agrega_usuario(?, ?, ?)"_s, {u"intruso"_s, u"Intruso"_s, u"x"_s}},
            {u"select cambia_contrasena(?, ?)"_s, {u"admin"_s, u"x"_s}},
            {u"update configuracion set Acceso = ?"_s, {0}},
            {u"delete from version_esquema"_s, {}},
            {u"create table intrusa (x integer)"_s, {}},
            {u"create or replace function valida_usuario(a varchar, b varchar) returns table (\"Nick\" "
             u"varchar, \"CuentaUsr\" varchar) language sql as 'select a, a'"_s,
             {}},
        };
        for (const auto& [sql, valores] : negadas) {
            const ErrorDeEjecucion error = errorDe([&] { kelmar->ejecuta(sql, valores); });
            QVERIFY2(error.numero() == CodigoDeError::Sentencia &&
                         error.descripcion().contains(u"no tiene permiso para esta operación"_s) &&
                         error.detalle().endsWith(u"(42501)"_s),
                     qPrintable(sql + u": "_s + error.descripcion() + u" / "_s + error.detalle()));
        }
        QCOMPARE(valida(*kelmar, u"admin"_s, u"Prim3ra"_s), u"Administrador/admin"_s);
        QCOMPARE(valida(*kelmar, u"admin"_s, u"taloren"_s), QString());
        QCOMPARE(valida(*kelmar, u"nadie"_s, u"Prim3ra"_s), QString());
        // The business tables are the stations'.
        QVERIFY(cuenta(*kelmar, u"select count(*) from funcionarios"_s) > 0);
        kelmar->ejecuta(u"insert into Anio (Anio) values (?)"_s, {2031});
        taloren->ejecuta(u"insert into evento (folio, año) values (?, ?)"_s, {1, 2031});
        Parametros ninguno;
        QCOMPARE(kelmar->ejecutaProcedimiento(u"sp_ZMXConfiguracion"_s, ninguno).filas(), 1);

        // The administrator's settings add an account.
        c = admin(i.archivo, u"add-user pepe --password primera"_s);
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        QCOMPARE(valida(*kelmar, u"pepe"_s, u"primera"_s), u"pepe/pepe"_s);
        // Running create again changes nothing and keeps the grants.
        QCOMPARE(admin(i.archivo, u"create"_s).texto.count(u"al día"_s), 2);
        QCOMPARE(errorDe([&] { kelmar->ejecuta(u"select * from usuarios"_s); }).numero(),
                 CodigoDeError::Sentencia);
    }

    // Catalogs of the earlier layout belong to the station's account: create says how to hand them to
    // the administrator, and changes nothing until that is done.
    void catalogoDeOtroDueno() {
        EXIGE_POSTGRES();
        Rol administrador("dueno", "createdb");
        Rol estacion("estacion", "createdb");
        Instalacion i(Motor::PostgreSQL);
        i.usa(estacion, estacion);
        Corrida c = admin(i.archivo, i.createCon("Prim3ra"));
        QVERIFY2(c.salida == 0 && c.texto.contains(u"es la administradora"_s), qPrintable(c.texto));

        i.usa(estacion, administrador);
        c = admin(i.archivo, u"create"_s);
        QCOMPARE(c.salida, 1);
        for (const QString& nombrado :
             {u"ALTER DATABASE"_s, u"REASSIGN OWNED BY"_s, estacion.nombre, administrador.nombre})
            QVERIFY2(c.texto.contains(nombrado), qPrintable(c.texto));
        QCOMPARE(cuenta(*Servidor::abre(Catalogo::Kelmar, i.ajustes), u"select count(*) from usuarios"_s), 1);
    }

    // A catalog that lost its version record is brought back by create; one whose tables are those of
    // no version, or of another program, is left as it is and the error says what it holds.
    void createRepara_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("mensaje");
        const char* casos[] = {"sin tabla de versión", "sin registro de versión", "tablas a medias",
                               "archivo de otro programa"};
        const char* mensajes[] = {"no registraba la versión", "no registraba la versión",
                                  "folios_por_imprimir", "no es un catálogo de TALOREN"};
        for (const auto& [motor, nombre] :
             {std::pair{Motor::SQLite, "sqlite"}, std::pair{Motor::PostgreSQL, "postgresql"}})
            for (int i = 0; i < 4; ++i)
                if (i < 3 || motor == Motor::SQLite)
                    QTest::addRow("%s: %s", nombre, casos[i])
                        << int(motor) << i << QString::fromUtf8(mensajes[i]);
    }
    void createRepara() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, caso);
        QFETCH(QString, mensaje);
        if (caso == 3) {
            Instalacion i(motor);
            Conexion otro(u"kelmar"_s);
            otro.abre(i.ajustes, i.ajustes.kelmar);
            otro.ejecuta(u"create table clientes (id integer, nombre varchar(20))"_s);
            const Corrida c = admin(i.archivo, u"create"_s);
            QVERIFY2(c.salida == 1 && c.texto.contains(mensaje) && c.texto.contains(u"clientes"_s),
                     qPrintable(c.texto));
            QCOMPARE(otro.ejecuta(u"select name from sqlite_master"_s).filas(), 1);
            return;
        }
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        const int funcionarios = cuenta(k, u"select count(*) from funcionarios"_s);
        k.ejecuta(caso == 0 ? u"drop table version_esquema"_s : u"delete from version_esquema"_s);
        if (caso == 2)
            k.ejecuta(u"drop table folios_por_imprimir"_s);
        // What the program tells the user to do...
        QVERIFY(errorDe([&] { Esquema::exigeActual(k, Catalogo::Kelmar); })
                    .descripcion()
                    .contains(u"taloren-admin create"_s));
        // ...does it, or says exactly what is wrong.
        Corrida c = admin(base, u"create"_s);
        QVERIFY2(c.salida == (caso == 2 ? 1 : 0) && c.texto.contains(mensaje), qPrintable(c.texto));
        if (caso == 2) {
            QCOMPARE(Esquema::version(k), 0);
            QVERIFY(!k.baseDeDatos().tables().contains(u"folios_por_imprimir"_s));
            return;
        }
        Esquema::exigeActual(k, Catalogo::Kelmar);
        QCOMPARE(cuenta(k, u"select count(*) from funcionarios"_s), funcionarios);
        QCOMPARE(valida(k, u"admin"_s, u"taloren"_s), u"Administrador/admin"_s);
        QCOMPARE(admin(base, u"create"_s).texto.count(u"al día"_s), 2);
    }

    // Several create at once on new catalogs: one makes them, the others wait and find them current.
    void createAlMismoTiempo_data() { agregaMotores(); }
    void createAlMismoTiempo() {
        MOTOR_DE_LA_FILA(motor);
        Instalacion i(motor);
        const QString orden = i.createCon("Prim3ra");
        QList<QProcess*> procesos;
        for (int n = 0; n < 3; ++n)
            procesos << lanza(i.archivo, orden);
        QString todo;
        for (QProcess* p : procesos) {
            const Corrida c = termina(p);
            QVERIFY2(c.salida == 0, qPrintable(c.texto));
            todo += c.texto;
        }
        QCOMPARE(todo.count(u"de la versión 0"_s), 2);
        QCOMPARE(todo.count(u"al día"_s), 4);
        QCOMPARE(cuenta(*Servidor::abre(Catalogo::Kelmar, i.ajustes), u"select count(*) from usuarios"_s), 1);
    }

    // Digests of the earlier form still log in on the embedded catalog; on a server create names the
    // accounts that need a new password, and set-password gives it.
    void digestosAnteriores_data() { agregaMotores(); }
    void digestosAnteriores() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        const QByteArray sal = "sal de prueba 16";
        const QByteArray clave =
            QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, "vieja", sal, 1000, 32);
        k.ejecuta(u"update usuarios set Contrasena = ? where CuentaUsr = ?"_s,
                  {u"pbkdf2-sha256$1000$%1$%2"_s.arg(QString::fromLatin1(sal.toBase64()),
                                                     QString::fromLatin1(clave.toBase64())),
                   u"admin"_s});
        Corrida c = admin(base, u"create"_s);
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        if (motor == Motor::SQLite) {
            QCOMPARE(valida(k, u"admin"_s, u"vieja"_s), u"Administrador/admin"_s);
            QCOMPARE(valida(k, u"admin"_s, u"viejo"_s), QString());
            return;
        }
        QVERIFY2(c.texto.contains(u"cuentas admin"_s) && c.texto.contains(u"taloren-admin set-password"_s),
                 qPrintable(c.texto));
        QCOMPARE(valida(k, u"admin"_s, u"vieja"_s), QString());
        QCOMPARE(admin(base, u"set-password admin --password nueva"_s).salida, 0);
        QCOMPARE(valida(k, u"admin"_s, u"nueva"_s), u"Administrador/admin"_s);
    }
};

QTEST_GUILESS_MAIN(TstAdministracion)
#include "tst_administracion.moc"
