#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Eventos.h"
#include "server/Historial.h"
#include "server/Invitaciones.h"
#include "server/administracion/Apertura.h"
#include "server/administracion/Contrasenas.h"
#include "server/administracion/Migraciones.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"
#include "support/OrdenDeAdministracion.h"
#include "support/RegistroDeEventos.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

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

// A record's rows as a catalog of an earlier version holds them: every column
// of its field tables but the version, which that version did not have.
void insertaSinVersion(Conexion& c, const QString& tabla, const QStringList& columnas, QVariantList valores) {
    QStringList nombres, marcas;
    QVariantList dados;
    for (int i = 0; i < columnas.size(); ++i) {
        if (columnas.at(i).compare(u"version"_s, Qt::CaseInsensitive) == 0)
            continue;
        nombres << columnas.at(i);
        marcas << u"?"_s;
        dados << valores.at(i);
    }
    c.ejecuta(u"insert into %1 (%2) values (%3)"_s.arg(tabla, nombres.join(u", "_s), marcas.join(u", "_s)),
              dados);
}

// The lines of a run's output, split at tabs.
QList<QStringList> campos(const Corrida& c) {
    QList<QStringList> r;
    for (const QString& linea : c.texto.split(u'\n', Qt::SkipEmptyParts))
        r << linea.split(u'\t');
    return r;
}

} // namespace

class TstAdministracion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The help is Spanish throughout, Qt's own headings included; without an
    // order it goes to the error output with status 2.
    void ayuda() {
        const Corrida ayuda = admin(u"/no/existe.ini"_s, u"--help"_s);
        QCOMPARE(ayuda.salida, 0);
        for (const char* texto : {"Uso:", "Opciones:", "Argumentos:", "Muestra esta ayuda", "show-config",
                                  "history AÑO FOLIO", "--borrados"})
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
                k.ejecuta(u"select Acceso, Mensaje1, FechaUltimaVersion, Criticidad, AniosAtras, "
                          u"AniosAdelante, MargenConflictos, ZonaHoraria from configuracion"_s);
            QStringList t;
            for (int i = 0; i < r.columnas(); ++i)
                t << r.texto(0, i);
            return t;
        };
        QCOMPARE(configuracion().mid(4), QStringList({u"10"_s, u"10"_s, u"90"_s, u"America/Mexico_City"_s}));
        const QString orden = u"set-config --access no --version-date 2012-01-31 --criticality 2 --message Ñ "
                              u"--event-years-back 30"_s;
        QCOMPARE(admin(base, orden).salida, 0);
        QCOMPARE(configuracion(), QStringList({u"0"_s, u"Ñ"_s, u"2012-01-31 00:00:00"_s, u"2"_s, u"30"_s,
                                               u"10"_s, u"90"_s, u"America/Mexico_City"_s}));
        QCOMPARE(admin(base, u"set-config --access yes --version-date none --event-years-ahead 0 "
                             u"--margen-conflictos 45 --zona-horaria America/Monterrey"_s)
                     .salida,
                 0);
        QCOMPARE(configuracion(), QStringList({u"1"_s, u"Ñ"_s, QString(), u"2"_s, u"30"_s, u"0"_s, u"45"_s,
                                               u"America/Monterrey"_s}));

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
            {u"set-config --event-years-back -1"_s, 2,
             u"--event-years-back admite un número de años de 0 a 200"_s},
            {u"set-config --margen-conflictos 0"_s, 2, u"--margen-conflictos admite un número de minutos"_s},
            {u"set-config --zona-horaria Marte/Olimpo"_s, 2, u"\"Marte/Olimpo\" no lo es"_s},
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

        // The history: a station adds to it and reads it, never rewrites it; what it says of the role
        // and the time is the server's own.
        for (Conexion* catalogo : {kelmar.get(), taloren.get()}) {
            catalogo->ejecuta(
                u"insert into historial (catalogo, anio, folio, version, tipo, cuenta, estacion,"
                u" rol, fecha) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s,
                {catalogo->catalogo(), 2031, 1, 1, u"cambio"_s, u"ana"_s, u"PC-ANA"_s, u"postgres"_s,
                 QDateTime(QDate(2000, 1, 1), QTime(0, 0))});
            catalogo->ejecuta(u"insert into historial_campo (anio, folio, version, orden, campo, antes,"
                              u" despues) values (?, ?, ?, ?, ?, ?, ?)"_s,
                              {2031, 1, 1, 1, u"evento.hora"_s, u"10:00"_s, u"11:00"_s});
            const Recordset escrito = catalogo->ejecuta(
                u"select rol, fecha, (select count(*) from historial_campo) from historial"_s);
            QCOMPARE(escrito.texto(0, 0), estacion.nombre);
            QVERIFY2(Recordset::fechaHora(escrito.valor(0, 1)).date().year() > 2000,
                     qPrintable(escrito.texto(0, 1)));
            QCOMPARE(escrito.valor(0, 2).toInt(), 1);
            for (const char* tabla : {"historial", "historial_campo"}) {
                const QString t = QString::fromLatin1(tabla);
                for (const QString& sql : {u"update %1 set anio = 2032"_s.arg(t), u"delete from %1"_s.arg(t),
                                           u"truncate %1"_s.arg(t)}) {
                    const ErrorDeEjecucion error = errorDe([&] { catalogo->ejecuta(sql); });
                    QVERIFY2(error.numero() == CodigoDeError::Sentencia &&
                                 error.detalle().endsWith(u"(42501)"_s),
                             qPrintable(sql + u": "_s + error.descripcion() + u" / "_s + error.detalle()));
                }
            }
        }

        // The administrator's settings add an account.
        c = admin(i.archivo, u"add-user pepe --password primera"_s);
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        QCOMPARE(valida(*kelmar, u"pepe"_s, u"primera"_s), u"pepe/pepe"_s);
        // Running create again changes nothing and keeps the grants.
        QCOMPARE(admin(i.archivo, u"create"_s).texto.count(u"al día"_s), 2);
        QCOMPARE(errorDe([&] { kelmar->ejecuta(u"select * from usuarios"_s); }).numero(),
                 CodigoDeError::Sentencia);
    }

    // The history of a station's catalogs from its own settings: a record's
    // changes newest first, one line per changed field with line breaks and
    // tabs written out; the deleted records whole, from a day on; bad
    // arguments refused with status 2.
    void historial_data() { agregaMotores(); }
    void historial() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        const Autor ana{u"ana"_s, u"PC-ANA"_s}, beto{u"beto"_s, u"PC-BETO"_s};
        InvitacionDePrueba i;
        i.representante = u"Ángel Muñoz"_s;
        const int folio = Invitaciones::registra(k, i.registro(), ana);
        Invitacion cambiada = *Invitaciones::busca(k, 2011, folio);
        cambiada.observacion = u"Primera línea\r\nsegunda\tcon tabulador y \\"_s;
        QCOMPARE(Invitaciones::corrige(k, cambiada, beto).resultado,
                 Invitaciones::Correccion::Resultado::Guardada);

        const QString estacion = base.archivoDeAjustes();
        const QDateTime fecha = Historial::delRegistro(k, Catalogo::Kelmar, 2011, folio).constFirst().fecha;
        const QString cuando = fecha.toString(u"dd/MM/yyyy HH:mm:ss"_s);
        Corrida c = admin(estacion, u"history 2011 %1"_s.arg(folio));
        QVERIFY2(c.salida == 0, qPrintable(c.texto));
        QCOMPARE(campos(c).size(), 2);
        QCOMPARE(campos(c).at(0),
                 QStringList({cuando, u"beto"_s, u"PC-BETO"_s, u"cambio"_s, u"Observación"_s, QString(),
                              u"Primera línea\\nsegunda\\tcon tabulador y \\\\"_s}));
        QCOMPARE(campos(c).at(1).mid(1), QStringList({u"ana"_s, u"PC-ANA"_s, u"alta"_s, {}, {}, {}}));
        c = admin(estacion, u"history 2011 %1"_s.arg(folio + 1));
        QVERIFY2(c.salida == 0 && c.texto == u"Sin cambios registrados.\n"_s, qPrintable(c.texto));

        Conexion& t = base.taloren();
        Evento e = RegistroDeEventos::comoEvento({.folio = 1, .fecha = QDateTime(QDate(2011, 11, 25), {})});
        e.folio = Eventos::insertaConFolioNuevo(t, e, ana);
        QCOMPARE(Eventos::elimina(t, e.folio, 2011, 1, beto), Eventos::Escritura::Hecha);
        c = admin(estacion, u"history 2011 %1 --eventos"_s.arg(e.folio));
        QVERIFY2(c.salida == 0 && campos(c).size() > 10 && campos(c).constLast().value(3) == u"alta"_s &&
                     campos(c).constFirst().value(3) == u"baja"_s,
                 qPrintable(c.texto));
        // The deletions from the day of the deletion on, and none from the day after it.
        const QDate dia =
            Historial::delRegistro(t, Catalogo::Taloren, 2011, e.folio).constFirst().fecha.date();
        c = admin(estacion, u"history --borrados --eventos --desde %1"_s.arg(dia.toString(Qt::ISODate)));
        const QList<QStringList> bloque = campos(c);
        QVERIFY2(c.salida == 0 && bloque.size() > 10 &&
                     bloque.at(0).join(u' ').startsWith(u"Evento %1 de 2011: baja el "_s.arg(e.folio)) &&
                     bloque.at(0).join(u' ').endsWith(u" por beto desde la estación PC-BETO"_s) &&
                     bloque.contains(QStringList({QString(), u"Evento"_s, u"Evento"_s})),
                 qPrintable(c.texto));
        c = admin(estacion,
                  u"history --borrados --eventos --desde %1"_s.arg(dia.addDays(1).toString(Qt::ISODate)));
        QVERIFY2(c.salida == 0 && c.texto == u"Sin registros eliminados.\n"_s, qPrintable(c.texto));
        c = admin(estacion, u"history --borrados"_s);
        QVERIFY2(c.salida == 0 && c.texto == u"Sin registros eliminados.\n"_s, qPrintable(c.texto));

        const std::pair<QString, QString> negadas[] = {
            {u"history 2011"_s, u"año y el folio"_s},
            {u"history dos 3"_s, u"números enteros"_s},
            {u"history 2011 0"_s, u"números enteros"_s},
            {u"history 2011 1 --desde 2011-01-01"_s, u"--desde sólo sirve con --borrados"_s},
            {u"history --borrados --desde 2011-13-01"_s, u"--desde admite una fecha aaaa-mm-dd"_s},
            {u"history --borrados 2011 1"_s, u"no lleva año ni folio"_s},
        };
        for (const auto& [orden, dice] : negadas) {
            c = admin(estacion, orden);
            QVERIFY2(c.salida == 2 && c.texto.contains(dice), qPrintable(orden + u": "_s + c.texto));
        }
        // A history that cannot be read is told, with status 1.
        k.ejecuta(u"alter table historial rename to historial_oculto"_s);
        c = admin(estacion, u"history 2011 %1"_s.arg(folio));
        QVERIFY2(c.salida == 1 && c.texto.startsWith(u"Error "_s) && c.texto.contains(u"historial"_s),
                 qPrintable(c.texto));
    }

    // A catalog of the previous schema version, with rows, is brought to the
    // current one by the program's start-up (embedded) or by create (server):
    // every row kept at version 1 with no history, and a save afterwards
    // writes its history.
    void migraLaVersionAnterior_data() { agregaMotores(); }
    void migraLaVersionAnterior() {
        MOTOR_DE_LA_FILA(motor);
        Instalacion i(motor);
        if (motor == Motor::PostgreSQL)
            for (const QString& base : {i.ajustes.kelmar.baseDeDatos, i.ajustes.taloren.baseDeDatos})
                comoSuperusuario("create database %I", {base});
        {
            Conexion k(u"kelmar"_s);
            k.abre(i.ajustes, i.ajustes.kelmar);
            Esquema::actualiza(k, Catalogo::Kelmar, nullptr, 3);
            QStringList columnas;
            for (const Invitacion::CampoDeInvitacion& campo : Invitacion::campos())
                columnas << campo.nombreDeColumna();
            for (int folio : {1, 2}) {
                InvitacionDePrueba invitacion;
                invitacion.folio = folio;
                const Invitacion r = invitacion.registro();
                QVariantList valores;
                for (const Invitacion::CampoDeInvitacion& campo : Invitacion::campos())
                    valores << campo.valorAlGuardar(r);
                insertaSinVersion(k, u"invitacion"_s, columnas, valores);
            }
            Conexion t(u"taloren"_s);
            t.abre(i.ajustes, i.ajustes.taloren);
            Esquema::actualiza(t, Catalogo::Taloren, nullptr, 1);
            for (int folio : {1, 2}) {
                const Evento e = RegistroDeEventos::comoEvento(
                    {.folio = folio, .fecha = QDateTime(QDate(2011, 5, folio), {})});
                // The three rows together: each checks the event's at the commit.
                t.enTransaccion([&] {
                    for (const QString& tabla : Evento::tablas()) {
                        QStringList nombres;
                        for (const Evento::CampoDeEvento& campo : Evento::camposDe(tabla))
                            nombres << campo.nombreDeColumna();
                        insertaSinVersion(t, tabla, nombres, e.valoresDe(tabla));
                    }
                });
            }
        }
        if (motor == Motor::PostgreSQL) {
            const Corrida c = admin(i.archivo, i.createCon("Prim3ra"));
            QVERIFY2(c.salida == 0 && c.texto.count(u"de la versión"_s) == 2, qPrintable(c.texto));
        }
        auto k = Servidor::abre(Catalogo::Kelmar, i.ajustes);
        auto t = Servidor::abre(Catalogo::Taloren, i.ajustes);
        QCOMPARE(Esquema::version(*k), Esquema::versionActual(Catalogo::Kelmar));
        QCOMPARE(Esquema::version(*t), Esquema::versionActual(Catalogo::Taloren));
        QCOMPARE(numeros(k->ejecuta(u"select version from invitacion order by Folio"_s)), QList<int>({1, 1}));
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"})
            QCOMPARE(cuenta(*t, u"select count(*) from %1"_s.arg(QLatin1String(tabla))), 2);
        QCOMPARE(numeros(t->ejecuta(u"select version from evento order by folio"_s)), QList<int>({1, 1}));
        for (Conexion* c : {k.get(), t.get()})
            QCOMPARE(cuenta(*c, u"select count(*) from historial"_s), 0);

        const Autor ana{u"ana"_s, u"PC-ANA"_s};
        Invitacion invitacion = *Invitaciones::busca(*k, 2011, 2);
        QCOMPARE(invitacion.version, 1);
        invitacion.observacion = u"Tras la migración"_s;
        QCOMPARE(Invitaciones::corrige(*k, invitacion, ana).resultado,
                 Invitaciones::Correccion::Resultado::Guardada);
        Evento evento = Eventos::lee(*t, 2, 2011);
        evento.observacion = u"Tras la migración"_s;
        QCOMPARE(Eventos::actualiza(*t, evento, ana), Eventos::Escritura::Hecha);
        for (const auto& [c, catalogo] :
             {std::pair{k.get(), Catalogo::Kelmar}, std::pair{t.get(), Catalogo::Taloren}}) {
            const QList<Historial::Entrada> h = Historial::delRegistro(*c, catalogo, 2011, 2);
            QVERIFY(h.size() == 1 && h.constFirst().version == 2 && h.constFirst().campos.size() == 1);
        }
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
