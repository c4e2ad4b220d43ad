#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Administracion.h"
#include "server/Servidor.h"
#include "support/BaseDePrueba.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QPasswordDigestor>
#include <QProcess>
#include <QTest>

namespace {

struct Corrida {
    int salida = -1;
    QString texto;
};

QProcess* lanza(const QString& archivo, QStringList argumentos, const QByteArray& entrada = {}) {
    auto* p = new QProcess;
    argumentos.prepend(archivo);
    argumentos.prepend(QStringLiteral("--config"));
    p->start(QStringLiteral(TALOREN_ADMIN), argumentos);
    p->write(entrada);
    p->closeWriteChannel();
    return p;
}

Corrida termina(QProcess* p) {
    std::unique_ptr<QProcess> proceso(p);
    if (!p->waitForFinished(120000))
        return {};
    return {p->exitCode(), QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError())};
}

// The administration command as an administrator runs it, on a settings file.
Corrida admin(const QString& archivo, const QStringList& argumentos, const QByteArray& entrada = {}) {
    return termina(lanza(archivo, argumentos, entrada));
}
Corrida admin(const BaseDePrueba& base, const QStringList& argumentos, const QByteArray& entrada = {}) {
    return admin(base.archivoDeAdministracion(), argumentos, entrada);
}

// What the login procedure answers for a pair: the nick, or nothing.
QString valida(Conexion& kelmar, const QString& cuenta, const QString& contrasena) {
    Parametros ps{Parametro::entrada(QStringLiteral("@CveUsuario"), TipoDeParametro::VarChar, 10, cuenta),
                  Parametro::entrada(QStringLiteral("@Password"), TipoDeParametro::VarChar, 10, contrasena)};
    const Recordset rs = kelmar.ejecutaProcedimiento(QStringLiteral("ValidarUsuarioEnTaLoREN"), ps);
    if (rs.estaVacio())
        return {};
    return rs.texto(0, QStringLiteral("Nick")) + QLatin1Char('/') + rs.texto(0, QStringLiteral("CuentaUsr"));
}

QAtomicInt contador;
QString nombreUnico(const char* que) {
    return QStringLiteral("tlr_%1_a%2_%3")
        .arg(QCoreApplication::applicationPid())
        .arg(contador.fetchAndAddRelaxed(1))
        .arg(QString::fromLatin1(que));
}

// The server's superuser, who makes the roles of a test.
std::unique_ptr<Conexion> superusuario() {
    const AjustesDeConexion a = AjustesDeConexion::dePostgres(BaseDePrueba::cadenaPostgres());
    auto c = std::make_unique<Conexion>(QStringLiteral("postgres"));
    c->abre(a, {QStringLiteral("postgres"), a.kelmar.usuario, a.kelmar.contrasena});
    return c;
}

// A statement about a role, whose name and password the server quotes itself.
void sobreRol(Conexion& c, const char* formato, const QVariantList& valores) {
    c.ejecuta(
        c.ejecuta(QStringLiteral("select format(?, ") +
                      QStringList(valores.size(), QStringLiteral("?::text")).join(QStringLiteral(", ")) +
                      QStringLiteral(")"),
                  QVariantList{QString::fromLatin1(formato)} + valores)
            .texto(0, 0));
}

// A login role of the server for one test, dropped afterwards.
struct Rol {
    Rol(const char* que, const char* atributos) : nombre(nombreUnico(que)) {
        const QByteArray formato = QByteArray("create role %I login ") + atributos + " password %L";
        sobreRol(*superusuario(), formato.constData(), {nombre, contrasena});
    }
    ~Rol() {
        try {
            sobreRol(*superusuario(), "drop role if exists %I", {nombre});
        } catch (const std::exception& e) {
            qWarning("no se borró el rol de prueba: %s", e.what());
        }
    }
    QString nombre;
    QString contrasena = QStringLiteral("clave de prueba");
};

// Catalogs that do not exist yet: a new folder, or two new database names on
// the server with the administrator of TALOREN_TEST_PG. Dropped afterwards.
struct Instalacion {
    explicit Instalacion(Motor motor) {
        if (motor == Motor::PostgreSQL) {
            ajustes = AjustesDeConexion::dePostgres(BaseDePrueba::cadenaPostgres());
            ajustes.administrador.usuario = ajustes.kelmar.usuario;
            ajustes.administrador.contrasena = ajustes.kelmar.contrasena;
            ajustes.kelmar.baseDeDatos = nombreUnico("kelmar");
            ajustes.taloren.baseDeDatos = nombreUnico("taloren");
        } else {
            ajustes.carpeta = dir.filePath(QStringLiteral("datos"));
        }
        escribe();
    }
    ~Instalacion() {
        // Dropped by the server's superuser, who may end any session still on them.
        AjustesDeConexion limpieza = AjustesDeConexion::dePostgres(BaseDePrueba::cadenaPostgres());
        limpieza.administrador = {QStringLiteral("postgres"), limpieza.kelmar.usuario,
                                  limpieza.kelmar.contrasena};
        limpieza.kelmar.baseDeDatos = ajustes.kelmar.baseDeDatos;
        limpieza.taloren.baseDeDatos = ajustes.taloren.baseDeDatos;
        if (ajustes.motor == Motor::PostgreSQL)
            try {
                Administracion::borraCatalogos(limpieza);
            } catch (const std::exception& e) {
                qWarning("no se borraron las bases de prueba: %s", e.what());
            }
    }
    void escribe() { ajustes.escribe(archivo); }
    QString archivoDeContrasena(const QByteArray& texto) const {
        const QString ruta = dir.filePath(QStringLiteral("primera"));
        QFile f(ruta);
        if (f.open(QIODevice::WriteOnly))
            f.write(texto);
        return ruta;
    }
    bool existeKelmar() {
        return !superusuario()
                    ->ejecuta(QStringLiteral("select 1 from pg_database where datname = ?"),
                              {ajustes.kelmar.baseDeDatos})
                    .estaVacio();
    }

    QTemporaryDir dir;
    AjustesDeConexion ajustes;
    QString archivo = dir.filePath(QStringLiteral("administracion.ini"));
};

QString digestoAnterior(const QString& contrasena) {
    const QByteArray sal = "sal de prueba 16";
    return QStringLiteral("pbkdf2-sha256$1000$%1$%2")
        .arg(QString::fromLatin1(sal.toBase64()),
             QString::fromLatin1(QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256,
                                                                    contrasena.toUtf8(), sal, 1000, 32)
                                     .toBase64()));
}

} // namespace

class TstAdministracion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ordenes_data() { agregaMotores(); }
    void ordenes() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);

        Corrida c = admin(base, {QStringLiteral("create")});
        QVERIFY2(c.salida == 0, qPrintable(c.texto));

        QCOMPARE(valida(base.kelmar(), QStringLiteral("admin"), QStringLiteral("taloren")),
                 QStringLiteral("Administrador/admin"));

        c = admin(base,
                  {QStringLiteral("add-user"), QStringLiteral("pepe"), QStringLiteral("--nick"),
                   QStringLiteral("Pepe Ruiz"), QStringLiteral("--password"), QStringLiteral("primera")});
        QCOMPARE(c.salida, 0);
        QCOMPARE(valida(base.kelmar(), QStringLiteral("pepe"), QStringLiteral("primera")),
                 QStringLiteral("Pepe Ruiz/pepe"));
        QCOMPARE(valida(base.kelmar(), QStringLiteral("pepe"), QStringLiteral("Primera")), QString());
        // Stored as a salted bcrypt digest, never as the text.
        const QString guardada =
            base.kelmar()
                .ejecuta(QStringLiteral("select Contrasena from usuarios where CuentaUsr = ?"),
                         {QStringLiteral("pepe")})
                .texto(0, 0);
        QVERIFY2(guardada.startsWith(QStringLiteral("$2a$10$")), qPrintable(guardada));
        QVERIFY(!guardada.contains(QStringLiteral("primera")));

        // Without --password the password is read from standard input.
        c = admin(base, {QStringLiteral("set-password"), QStringLiteral("pepe")}, "segunda\n");
        QCOMPARE(c.salida, 0);
        QCOMPARE(valida(base.kelmar(), QStringLiteral("pepe"), QStringLiteral("primera")), QString());
        QCOMPARE(valida(base.kelmar(), QStringLiteral("pepe"), QStringLiteral("segunda")),
                 QStringLiteral("Pepe Ruiz/pepe"));

        c = admin(base, {QStringLiteral("add-user"), QStringLiteral("pepe"), QStringLiteral("--password"),
                         QStringLiteral("x")});
        QCOMPARE(c.salida, 1);
        QVERIFY(c.texto.contains(QStringLiteral("Error %1").arg(CodigoDeError::Integridad)));
        c = admin(base, {QStringLiteral("set-password"), QStringLiteral("nadie"),
                         QStringLiteral("--password"), QStringLiteral("x")});
        QCOMPARE(c.salida, 1);
        QVERIFY(c.texto.contains(QStringLiteral("nadie")));

        c = admin(base, {QStringLiteral("set-config"), QStringLiteral("--access"), QStringLiteral("no"),
                         QStringLiteral("--message"), QStringLiteral("Respaldo de fin de año"),
                         QStringLiteral("--version-date"), QStringLiteral("2012-01-31"),
                         QStringLiteral("--criticality"), QStringLiteral("2")});
        QCOMPARE(c.salida, 0);
        Parametros ninguno;
        Recordset config = base.kelmar().ejecutaProcedimiento(QStringLiteral("sp_ZMXConfiguracion"), ninguno);
        QCOMPARE(config.filas(), 1);
        QCOMPARE(config.valor(0, QStringLiteral("Acceso")).toInt(), 0);
        QCOMPARE(config.texto(0, QStringLiteral("Mensaje1")), QStringLiteral("Respaldo de fin de año"));
        QCOMPARE(config.texto(0, QStringLiteral("FechaUltimaVersion")),
                 QStringLiteral("2012-01-31 00:00:00"));
        QCOMPARE(config.valor(0, QStringLiteral("Criticidad")).toInt(), 2);

        // Only what is named changes; "none" empties the version date.
        c = admin(base, {QStringLiteral("set-config"), QStringLiteral("--access"), QStringLiteral("yes"),
                         QStringLiteral("--version-date"), QStringLiteral("none")});
        QCOMPARE(c.salida, 0);
        config = base.kelmar().ejecutaProcedimiento(QStringLiteral("sp_ZMXConfiguracion"), ninguno);
        QCOMPARE(config.valor(0, QStringLiteral("Acceso")).toInt(), 1);
        QVERIFY(config.esNulo(0, QStringLiteral("FechaUltimaVersion")));
        QCOMPARE(config.valor(0, QStringLiteral("Criticidad")).toInt(), 2);

        // A settings file that others may read is named, with the command that protects it.
        QVERIFY(QFile::setPermissions(base.archivoDeAdministracion(), QFileDevice::ReadOwner |
                                                                          QFileDevice::WriteOwner |
                                                                          QFileDevice::ReadOther));
        c = admin(base, {QStringLiteral("show-config")});
        QCOMPARE(c.salida, 0);
        QVERIFY(c.texto.contains(QStringLiteral("Respaldo de fin de año")));
        // (The embedded administrator's file holds no password.)
        QCOMPARE(c.texto.contains(QStringLiteral("chmod 600")), motor == Motor::PostgreSQL);

        QCOMPARE(
            admin(base, {QStringLiteral("set-config"), QStringLiteral("--access"), QStringLiteral("quizá")})
                .salida,
            2);
        QCOMPARE(admin(base, {QStringLiteral("borra-todo")}).salida, 2);
        // The login box takes ten characters and no control character: other accounts and passwords
        // are refused, not cut; an emoji is one character.
        const struct {
            QString cuenta, contrasena;
            int numero;
        } cuentas[] = {
            {QStringLiteral("abcdefghijk"), QStringLiteral("x"), CodigoDeError::Desbordamiento},
            {QStringLiteral("abc"), QStringLiteral("12345678901"), CodigoDeError::Desbordamiento},
            {QStringLiteral("abc"), QStringLiteral("12\t34"), CodigoDeError::Conversion},
            {QStringLiteral("emoji"), QStringLiteral("123456789\U0001F600"), 0},
        };
        for (const auto& cuenta : cuentas) {
            c = admin(base, {QStringLiteral("add-user"), cuenta.cuenta, QStringLiteral("--password"),
                             cuenta.contrasena});
            QVERIFY2(cuenta.numero ? c.texto.contains(QStringLiteral("Error %1").arg(cuenta.numero))
                                   : c.salida == 0,
                     qPrintable(c.texto));
        }
        QCOMPARE(valida(base.kelmar(), QStringLiteral("emoji"), QStringLiteral("123456789\U0001F600")),
                 QStringLiteral("emoji/emoji"));

        // A station's own settings change no account on a server.
        c = admin(base.archivoDeAjustes(), {QStringLiteral("add-user"), QStringLiteral("intruso"),
                                            QStringLiteral("--password"), QStringLiteral("x")});
        QCOMPARE(c.salida, motor == Motor::PostgreSQL ? 1 : 0);
        if (motor == Motor::PostgreSQL)
            QVERIFY2(c.texto.contains(QStringLiteral("[admin]")), qPrintable(c.texto));

        // Running it again finds both catalogs current and keeps their rows.
        c = admin(base, {QStringLiteral("create")});
        QCOMPARE(c.salida, 0);
        QCOMPARE(c.texto.count(QStringLiteral("al día")), 2);
        QCOMPARE(valida(base.kelmar(), QStringLiteral("pepe"), QStringLiteral("segunda")),
                 QStringLiteral("Pepe Ruiz/pepe"));
    }

    // A new server gets the first password its administrator gives, never the documented one.
    void primeraCuentaDelServidor_data() {
        QTest::addColumn<QByteArray>("archivo"); // contents of --admin-password-file; none when empty
        QTest::addColumn<QByteArray>("entrada");
        QTest::addColumn<QString>("contrasena"); // the first password; empty when create refuses
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("sin contraseña")
            << QByteArray() << QByteArray() << QString() << QStringLiteral("--admin-password-file");
        QTest::newRow("la documentada")
            << QByteArray("taloren\n") << QByteArray() << QString() << QStringLiteral("documentada");
        QTest::newRow("por archivo") << QByteArray("Prim3ra\n") << QByteArray() << QStringLiteral("Prim3ra")
                                     << QString();
        QTest::newRow("por la entrada estándar")
            << QByteArray() << QByteArray("Ñandú 7\n") << QStringLiteral("Ñandú 7") << QString();
    }
    void primeraCuentaDelServidor() {
        EXIGE_POSTGRES();
        QFETCH(QByteArray, archivo);
        QFETCH(QByteArray, entrada);
        QFETCH(QString, contrasena);
        QFETCH(QString, mensaje);
        Instalacion i(Motor::PostgreSQL);
        QStringList args{QStringLiteral("create")};
        if (!archivo.isEmpty())
            args << QStringLiteral("--admin-password-file") << i.archivoDeContrasena(archivo);
        const Corrida c = admin(i.archivo, args, entrada);
        if (contrasena.isEmpty()) {
            QCOMPARE(c.salida, 1);
            QVERIFY2(c.texto.contains(mensaje), qPrintable(c.texto));
            QVERIFY(!i.existeKelmar());
            return;
        }
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        auto kelmar = Servidor::abre(Catalogo::Kelmar, i.ajustes);
        QCOMPARE(valida(*kelmar, QStringLiteral("admin"), contrasena), QStringLiteral("Administrador/admin"));
        QCOMPARE(valida(*kelmar, QStringLiteral("admin"), QStringLiteral("taloren")), QString());
    }

    // A station's account reads and changes no account, and runs no account function; it logs in and
    // works on the business tables; the administrator's credentials still do everything.
    void estacionSinPrivilegios() {
        EXIGE_POSTGRES();
        Rol administrador("dueno", "createdb");
        Rol estacion("estacion", "");
        Instalacion i(Motor::PostgreSQL);
        i.ajustes.administrador = {QStringLiteral("postgres"), administrador.nombre,
                                   administrador.contrasena};
        i.ajustes.kelmar.usuario = i.ajustes.taloren.usuario = estacion.nombre;
        i.ajustes.kelmar.contrasena = i.ajustes.taloren.contrasena = estacion.contrasena;
        i.escribe();
        Corrida c = admin(i.archivo, {QStringLiteral("create"), QStringLiteral("--admin-password-file"),
                                      i.archivoDeContrasena("Prim3ra")});
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        QVERIFY2(!c.texto.contains(QStringLiteral("Aviso")), qPrintable(c.texto));

        AjustesDeConexion deLaEstacion = i.ajustes;
        deLaEstacion.administrador = {};
        auto kelmar = Servidor::abre(Catalogo::Kelmar, deLaEstacion);
        auto taloren = Servidor::abre(Catalogo::Taloren, deLaEstacion);
        const QString digesto =
            QStringLiteral("$2a$04$abcdefghijklmnopqrstuuC3pDtcOT0IXxM0wOaOtdzCo4ogbcVSy");
        const struct {
            Conexion* conexion;
            QString sql;
            QVariantList valores;
        } negadas[] = {
            {kelmar.get(), QStringLiteral("select Contrasena from usuarios"), {}},
            {kelmar.get(),
             QStringLiteral("update usuarios set Contrasena = ? where CuentaUsr = ?"),
             {digesto, QStringLiteral("admin")}},
            {kelmar.get(),
             QStringLiteral("select agrega_usuario(?, ?, ?)"),
             {QStringLiteral("intruso"), QStringLiteral("Intruso"), QStringLiteral("x")}},
            {kelmar.get(),
             QStringLiteral("select cambia_contrasena(?, ?)"),
             {QStringLiteral("admin"), QStringLiteral("x")}},
            {kelmar.get(), QStringLiteral("update configuracion set Acceso = ?"), {0}},
            {kelmar.get(), QStringLiteral("delete from version_esquema"), {}},
            {kelmar.get(), QStringLiteral("create table intrusa (x integer)"), {}},
            {kelmar.get(),
             QStringLiteral("create or replace function valida_usuario(a varchar, b varchar) "
                            "returns table (\"Nick\" varchar, \"CuentaUsr\" varchar) "
                            "language sql as 'select a, a'"),
             {}},
        };
        for (const auto& n : negadas) {
            const ErrorDeEjecucion error = errorDe([&] { n.conexion->ejecuta(n.sql, n.valores); });
            QVERIFY2(error.numero() == CodigoDeError::Sentencia,
                     qPrintable(n.sql + QStringLiteral(": ") + error.descripcion()));
        }
        QCOMPARE(valida(*kelmar, QStringLiteral("admin"), QStringLiteral("Prim3ra")),
                 QStringLiteral("Administrador/admin"));
        QCOMPARE(valida(*kelmar, QStringLiteral("admin"), QStringLiteral("prim3ra")), QString());
        QCOMPARE(valida(*kelmar, QStringLiteral("nadie"), QStringLiteral("Prim3ra")), QString());
        // The business tables are the stations'.
        QVERIFY(kelmar->ejecuta(QStringLiteral("select count(*) from funcionarios")).valor(0, 0).toInt() > 0);
        kelmar->ejecuta(QStringLiteral("insert into Anio (Anio) values (?)"), {2031});
        taloren->ejecuta(QStringLiteral("insert into evento (folio, año) values (?, ?)"), {1, 2031});
        Parametros ninguno;
        QCOMPARE(kelmar->ejecutaProcedimiento(QStringLiteral("sp_ZMXConfiguracion"), ninguno).filas(), 1);

        // The station's settings cannot add an account; the administrator's can.
        AjustesDeConexion(deLaEstacion).escribe(i.dir.filePath(QStringLiteral("estacion.ini")));
        c = admin(i.dir.filePath(QStringLiteral("estacion.ini")),
                  {QStringLiteral("add-user"), QStringLiteral("pepe"), QStringLiteral("--password"),
                   QStringLiteral("primera")});
        QCOMPARE(c.salida, 1);
        c = admin(i.archivo, {QStringLiteral("add-user"), QStringLiteral("pepe"),
                              QStringLiteral("--password"), QStringLiteral("primera")});
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        QCOMPARE(valida(*kelmar, QStringLiteral("pepe"), QStringLiteral("primera")),
                 QStringLiteral("pepe/pepe"));
        // Running create again changes nothing and keeps the grants.
        c = admin(i.archivo, {QStringLiteral("create")});
        QCOMPARE(c.texto.count(QStringLiteral("al día")), 2);
        QCOMPARE(errorDe([&] { kelmar->ejecuta(QStringLiteral("select * from usuarios")); }).numero(),
                 CodigoDeError::Sentencia);
    }

    // Catalogs of the earlier layout belong to the station's account: create says how to hand them to
    // the administrator, and changes nothing until that is done.
    void catalogoDeOtroDueno() {
        EXIGE_POSTGRES();
        Rol administrador("dueno", "createdb");
        Rol estacion("estacion", "createdb");
        Instalacion i(Motor::PostgreSQL);
        i.ajustes.kelmar.usuario = i.ajustes.taloren.usuario = estacion.nombre;
        i.ajustes.kelmar.contrasena = i.ajustes.taloren.contrasena = estacion.contrasena;
        i.ajustes.administrador = {QStringLiteral("postgres"), estacion.nombre, estacion.contrasena};
        i.escribe();
        Corrida c = admin(i.archivo, {QStringLiteral("create"), QStringLiteral("--admin-password-file"),
                                      i.archivoDeContrasena("Prim3ra")});
        QVERIFY2(c.salida == 0 && c.texto.contains(QStringLiteral("es la administradora")),
                 qPrintable(c.texto));

        i.ajustes.administrador = {QStringLiteral("postgres"), administrador.nombre,
                                   administrador.contrasena};
        i.escribe();
        c = admin(i.archivo, {QStringLiteral("create")});
        QCOMPARE(c.salida, 1);
        for (const QString& nombrado : {QStringLiteral("ALTER DATABASE"), QStringLiteral("REASSIGN OWNED BY"),
                                        estacion.nombre, administrador.nombre})
            QVERIFY2(c.texto.contains(nombrado), qPrintable(c.texto));
        auto kelmar = Servidor::abre(Catalogo::Kelmar, i.ajustes);
        QCOMPARE(kelmar->ejecuta(QStringLiteral("select count(*) from usuarios")).valor(0, 0).toInt(), 1);
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
            {
                Conexion otro(QStringLiteral("kelmar"));
                otro.abre(i.ajustes, i.ajustes.kelmar);
                otro.ejecuta(QStringLiteral("create table clientes (id integer, nombre varchar(20))"));
            }
            const Corrida c = admin(i.archivo, {QStringLiteral("create")});
            QCOMPARE(c.salida, 1);
            QVERIFY2(c.texto.contains(mensaje) && c.texto.contains(QStringLiteral("clientes")),
                     qPrintable(c.texto));
            Conexion otro(QStringLiteral("kelmar"));
            otro.abre(i.ajustes, i.ajustes.kelmar);
            QCOMPARE(otro.ejecuta(QStringLiteral("select name from sqlite_master")).filas(), 1);
            return;
        }
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        const int funcionarios =
            k.ejecuta(QStringLiteral("select count(*) from funcionarios")).valor(0, 0).toInt();
        if (caso == 0)
            k.ejecuta(QStringLiteral("drop table version_esquema"));
        else
            k.ejecuta(QStringLiteral("delete from version_esquema"));
        if (caso == 2)
            k.ejecuta(QStringLiteral("drop table folios_por_imprimir"));
        // What the program tells the user to do...
        QVERIFY(errorDe([&] { Esquema::exigeActual(k, Catalogo::Kelmar); })
                    .descripcion()
                    .contains(QStringLiteral("taloren-admin create")));
        // ...does it, or says exactly what is wrong.
        Corrida c = admin(base, {QStringLiteral("create")});
        QVERIFY2(c.texto.contains(mensaje), qPrintable(c.texto));
        if (caso == 2) {
            QCOMPARE(c.salida, 1);
            QCOMPARE(Esquema::version(k), 0);
            QVERIFY(!k.baseDeDatos().tables().contains(QStringLiteral("folios_por_imprimir")));
            return;
        }
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        Esquema::exigeActual(k, Catalogo::Kelmar);
        QCOMPARE(k.ejecuta(QStringLiteral("select count(*) from funcionarios")).valor(0, 0).toInt(),
                 funcionarios);
        QCOMPARE(valida(k, QStringLiteral("admin"), QStringLiteral("taloren")),
                 QStringLiteral("Administrador/admin"));
        c = admin(base, {QStringLiteral("create")});
        QCOMPARE(c.texto.count(QStringLiteral("al día")), 2);
    }

    // Several create at once on new catalogs: one makes them, the others wait and find them current.
    void createAlMismoTiempo_data() { agregaMotores(); }
    void createAlMismoTiempo() {
        MOTOR_DE_LA_FILA(motor);
        Instalacion i(motor);
        const QString primera = i.archivoDeContrasena("Prim3ra");
        QList<QProcess*> procesos;
        for (int n = 0; n < 3; ++n)
            procesos << lanza(i.archivo,
                              {QStringLiteral("create"), QStringLiteral("--admin-password-file"), primera});
        QString todo;
        for (QProcess* p : procesos) {
            const Corrida c = termina(p);
            QVERIFY2(c.salida == 0, qPrintable(c.texto));
            todo += c.texto;
        }
        QCOMPARE(todo.count(QStringLiteral("de la versión 0")), 2);
        QCOMPARE(todo.count(QStringLiteral("al día")), 4);
        auto kelmar = Servidor::abre(Catalogo::Kelmar, i.ajustes);
        QCOMPARE(kelmar->ejecuta(QStringLiteral("select count(*) from usuarios")).valor(0, 0).toInt(), 1);
    }

    // Digests of the earlier form still log in on the embedded catalog; on a server create names the
    // accounts that need a new password, and set-password gives it.
    void digestosAnteriores_data() { agregaMotores(); }
    void digestosAnteriores() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        k.ejecuta(QStringLiteral("update usuarios set Contrasena = ? where CuentaUsr = ?"),
                  {digestoAnterior(QStringLiteral("vieja")), QStringLiteral("admin")});
        Corrida c = admin(base, {QStringLiteral("create")});
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        if (motor == Motor::SQLite) {
            QCOMPARE(valida(k, QStringLiteral("admin"), QStringLiteral("vieja")),
                     QStringLiteral("Administrador/admin"));
            QCOMPARE(valida(k, QStringLiteral("admin"), QStringLiteral("viejo")), QString());
            return;
        }
        QVERIFY2(c.texto.contains(QStringLiteral("cuentas admin")) &&
                     c.texto.contains(QStringLiteral("taloren-admin set-password")),
                 qPrintable(c.texto));
        QCOMPARE(valida(k, QStringLiteral("admin"), QStringLiteral("vieja")), QString());
        c = admin(base, {QStringLiteral("set-password"), QStringLiteral("admin"),
                         QStringLiteral("--password"), QStringLiteral("nueva")});
        QCOMPARE(c.salida, 0);
        QCOMPARE(valida(k, QStringLiteral("admin"), QStringLiteral("nueva")),
                 QStringLiteral("Administrador/admin"));
    }
};

QTEST_GUILESS_MAIN(TstAdministracion)
#include "tst_administracion.moc"
