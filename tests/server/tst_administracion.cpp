#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "support/BaseDePrueba.h"

#include <QProcess>
#include <QTest>

namespace {

struct Corrida {
    int salida = -1;
    QString texto;
};

// The administration command as an administrator runs it, on the test's settings file.
Corrida admin(const BaseDePrueba& base, QStringList argumentos, const QByteArray& entrada = {}) {
    QProcess p;
    argumentos.prepend(base.archivoDeAjustes());
    argumentos.prepend(QStringLiteral("--config"));
    p.start(QStringLiteral(TALOREN_ADMIN), argumentos);
    p.write(entrada);
    p.closeWriteChannel();
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
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
        // Stored as a salted digest, never as the text.
        const QString guardada =
            base.kelmar()
                .ejecuta(QStringLiteral("select Contrasena from usuarios where CuentaUsr = ?"),
                         {QStringLiteral("pepe")})
                .texto(0, 0);
        QVERIFY(guardada.startsWith(QStringLiteral("pbkdf2-sha256$")));
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

        c = admin(base, {QStringLiteral("show-config")});
        QCOMPARE(c.salida, 0);
        QVERIFY(c.texto.contains(QStringLiteral("Respaldo de fin de año")));

        QCOMPARE(
            admin(base, {QStringLiteral("set-config"), QStringLiteral("--access"), QStringLiteral("quizá")})
                .salida,
            2);
        QCOMPARE(admin(base, {QStringLiteral("borra-todo")}).salida, 2);
        // The login box takes ten characters: longer accounts and passwords are refused, not cut.
        for (const auto& [cuenta, contrasena] :
             {std::pair{"abcdefghijk", "x"}, std::pair{"abc", "12345678901"}}) {
            c = admin(base, {QStringLiteral("add-user"), QString::fromLatin1(cuenta),
                             QStringLiteral("--password"), QString::fromLatin1(contrasena)});
            QCOMPARE(c.salida, 1);
            QVERIFY(c.texto.contains(QStringLiteral("Error %1").arg(CodigoDeError::Desbordamiento)));
        }

        // Running it again finds both catalogs current and keeps their rows.
        c = admin(base, {QStringLiteral("create")});
        QCOMPARE(c.salida, 0);
        QCOMPARE(c.texto.count(QStringLiteral("al día")), 2);
        QCOMPARE(valida(base.kelmar(), QStringLiteral("pepe"), QStringLiteral("segunda")),
                 QStringLiteral("Pepe Ruiz/pepe"));
    }
};

QTEST_GUILESS_MAIN(TstAdministracion)
#include "tst_administracion.moc"
