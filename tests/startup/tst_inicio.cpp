#include "controls/BotonesDeComando.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Administracion.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"
#include "support/EntornoDeVentanas.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

using Caja = CajaDeMensajes;

namespace {

// The start-up's seams, with the main window gone at the end.
struct EntornoDeInicio : EntornoDeVentanas {
    using EntornoDeVentanas::EntornoDeVentanas;
    ~EntornoDeInicio() { Modulo::DestruyeMdi(); }
};
const QString avisoDeVersionNueva = QStringLiteral(
    "Existe una nueva versión del sistema y debe instalarla antes de continuar.\r\r"
    "1. Siga el procedimiento que se le indicó para instalar la nueva versión.\r"
    "2. Una vez que haya instalado la últma versión, consulte y verifique el último movimiento que "
    "realizó para continuar normalmente.");
const QString preguntaDeVersionMenor = QStringLiteral(
    "!Advertencia:! Existe una nueva versión del sistema con cambios menores y aunque puede continuar sin "
    "problemas se sugiere instalarla lo antes posible.\r\rPara instalarla: \r\r1. Siga el procedimiento que "
    "se le "
    "indicó.\r2. Una vez que haya instalado la últma versión, consulte y verifique el último asunto o "
    "modificación "
    "que realizó para continuar normalmente.\r\r¿Desea continuar?");

QVariant fecha(int anio, int mes, int dia, int hora = 0, int minuto = 0) {
    return QDateTime(QDate(anio, mes, dia), QTime(hora, minuto));
}

// Sets the configuration row with bound values; a null QVariant stores null.
void configura(Conexion& kelmar, const QVariant& acceso, const QString& mensaje, const QVariant& ultima,
               const QVariant& criticidad) {
    kelmar.ejecuta(
        QStringLiteral("update configuracion set Acceso = ?, Mensaje1 = ?, FechaUltimaVersion = ?, "
                       "Criticidad = ? where id = 1"),
        {acceso, mensaje, ultima, criticidad});
}
const QString noCoinciden =
    QStringLiteral("La cuenta de acceso y/o la contraseña no coinciden. Verifique :(");

// A login window shown and active, as the start-up leaves it.
struct Ingreso {
    explicit Ingreso(Motor motor = Motor::SQLite) : e(motor) {
        e.conecta(QString(), QString());
        Administracion::agregaUsuario(e.base.kelmar(), QStringLiteral("lupita"), QStringLiteral("Lupita"),
                                      QStringLiteral("clave7"));
        ventana.show();
        QApplication::setActiveWindow(&ventana);
        QVERIFY(QTest::qWaitForWindowActive(&ventana));
    }
    void teclea(const QString& cuenta, const QString& contrasena) {
        ventana.txtUsuario->setText(cuenta);
        ventana.txtPassword->setText(contrasena);
    }
    QWidget* foco() const { return QApplication::focusWidget(); }

    EntornoDeInicio e;
    frmSolicitaPassword ventana;
};
} // namespace

class TstInicio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ramas_data() {
        QTest::addColumn<QVariant>("acceso");
        QTest::addColumn<QVariant>("ultima");
        QTest::addColumn<QVariant>("criticidad");
        QTest::addColumn<int>("respuesta"); // to the optional-version question, if asked
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<bool>("ingreso"); // the login window was shown

        const QVariant nulo;
        const QString negado = QStringLiteral("No es posible acceder al sistema en estos "
                                              "momentos.\r\rRespaldo del servidor\r\rPara saber más detalle, "
                                              "póngase en contacto con la persona responsable del sistema.");
        QTest::newRow("acceso negado")
            << QVariant(0) << fecha(2011, 11, 18) << QVariant(0) << 0 << negado << false;
        QTest::newRow("acceso negado aunque la versión pida algo")
            << QVariant(0) << fecha(2012, 1, 1) << QVariant(1) << 0 << negado << false;
        QTest::newRow("acceso nulo vale como permitido")
            << nulo << fecha(2011, 11, 18) << QVariant(1) << 0 << QString() << true;
        QTest::newRow("misma fecha") << QVariant(1) << fecha(2011, 11, 18) << QVariant(1) << 0 << QString()
                                     << true;
        QTest::newRow("misma fecha con hora")
            << QVariant(1) << fecha(2011, 11, 18, 17, 45) << QVariant(1) << 0 << QString() << true;
        QTest::newRow("obligatoria, fecha posterior")
            << QVariant(1) << fecha(2012, 3, 1) << QVariant(1) << 0 << avisoDeVersionNueva << false;
        QTest::newRow("obligatoria, fecha anterior")
            << QVariant(1) << fecha(2010, 5, 20) << QVariant(1) << 0 << avisoDeVersionNueva << false;
        QTest::newRow("opcional, No") << QVariant(1) << fecha(2012, 3, 1) << QVariant(2) << int(Caja::No)
                                      << preguntaDeVersionMenor << false;
        QTest::newRow("opcional, Sí") << QVariant(1) << fecha(2012, 3, 1) << QVariant(2) << int(Caja::Si)
                                      << preguntaDeVersionMenor << true;
        QTest::newRow("criticidad 0")
            << QVariant(1) << fecha(2012, 3, 1) << QVariant(0) << 0 << QString() << true;
        QTest::newRow("criticidad 3")
            << QVariant(1) << fecha(2012, 3, 1) << QVariant(3) << 0 << QString() << true;
        QTest::newRow("criticidad nula")
            << QVariant(1) << fecha(2012, 3, 1) << nulo << 0 << QString() << true;
        QTest::newRow("fecha nula") << QVariant(1) << nulo << QVariant(1) << 0 << QString() << true;
    }
    void ramas() {
        QFETCH(QVariant, acceso);
        QFETCH(QVariant, ultima);
        QFETCH(QVariant, criticidad);
        QFETCH(int, respuesta);
        QFETCH(QString, mensaje);
        QFETCH(bool, ingreso);

        EntornoDeInicio e;
        configura(e.base.kelmar(), acceso, QStringLiteral("Respaldo del servidor"), ultima, criticidad);
        if (respuesta)
            e.caja.responde(Caja::Boton(respuesta));

        const bool sigue = Modulo::Main(e.base.ajustes());

        // Nobody logs in here, so the program never goes on past the login.
        QVERIFY(!sigue);
        QCOMPARE(e.mostradas, ingreso ? QStringList{QStringLiteral("frmSolicitaPassword")} : QStringList());
        QCOMPARE(e.caja.cajas().size(), mensaje.isEmpty() ? 0 : 1);
        if (!mensaje.isEmpty()) {
            QCOMPARE(e.caja.ultima().texto, mensaje);
            QCOMPARE(e.caja.ultima().titulo, QStringLiteral("TaLoREN"));
            QCOMPARE(e.caja.ultima().icono, respuesta ? Caja::Icono::Pregunta : Caja::Icono::Informacion);
        }
        // A refused start closes kelmar and never opens taloren.
        QCOMPARE(Modulo::kelmar().estaAbierta(), ingreso);
        QCOMPARE(Modulo::taloren().estaAbierta(), ingreso);
        // A refusal ends the program; the login stands open until the user acts.
        QCOMPARE(e.terminaciones, ingreso ? 0 : 1);
        QCOMPARE(Modulo::UsuarioKelmar, QStringLiteral("kelmarnv"));
    }

    void errores_data() {
        QTest::addColumn<int>("numero");
        QTest::newRow("sin registro de configuración") << CodigoDeError::FinDeRegistros;
        QTest::newRow("el procedimiento falla") << CodigoDeError::Sentencia;
        QTest::newRow("servidor que no responde") << CodigoDeError::Conexion;
    }
    void errores() {
        QFETCH(int, numero);
        EntornoDeInicio e;
        AjustesDeConexion ajustes = e.base.ajustes();
        if (numero == CodigoDeError::FinDeRegistros) {
            e.base.kelmar().ejecuta(QStringLiteral("delete from configuracion"));
        } else if (numero == CodigoDeError::Sentencia) {
            e.base.kelmar().ejecuta(
                QStringLiteral("alter table configuracion rename column Acceso to Permitido"));
        } else {
            ajustes = AjustesDeConexion::dePostgres(
                QStringLiteral("host=127.0.0.1 port=1 user=kelmarnv password=x connect_timeout=3"));
        }
        QVERIFY(!Modulo::Main(ajustes));
        QVERIFY(e.mostradas.isEmpty());
        QCOMPARE(e.caja.cajas().size(), 1);
        const auto& caja = e.caja.ultima();
        QCOMPARE(caja.icono, Caja::Icono::Ninguno);
        QCOMPARE(caja.titulo, QStringLiteral("TALOREN"));
        QCOMPARE(caja.botones, Caja::Botones(Caja::Aceptar));
        QVERIFY2(caja.texto.startsWith(QStringLiteral("Error: %1\r").arg(numero)), qPrintable(caja.texto));
        QVERIFY(caja.texto.endsWith(
            QStringLiteral("\r\rError de conexión a la Base de datos, la aplicación se cerrará.\r\r"
                           "Comuníquelo al responsable del sistema en la Subdirección de Tecnologías de la "
                           "Información.")));
        // The description stands between the number and the fixed sentences.
        QVERIFY(caja.texto.section(QLatin1Char('\r'), 1, 1).size() > 5);
        QCOMPARE(e.terminaciones, 0);
    }

    // The whole way in: start-up, login, main window.
    void entrada_data() { agregaMotores(); }
    void entrada() {
        MOTOR_DE_LA_FILA(motor);
        EntornoDeInicio e(motor);
        Administracion::agregaUsuario(e.base.kelmar(), QStringLiteral("lupita"), QStringLiteral("Lupita"),
                                      QStringLiteral("clave7"));
        e.alMostrar = [](QDialog& ventana) {
            auto& ingreso = static_cast<frmSolicitaPassword&>(ventana);
            ingreso.txtUsuario->setText(QStringLiteral("lupita"));
            QTest::keyClicks(ingreso.txtPassword, QStringLiteral("clave7"));
            QTest::keyClick(ingreso.txtPassword, Qt::Key_Return);
        };
        QVERIFY(Modulo::Main(e.base.ajustes()));
        QVERIFY(e.caja.cajas().isEmpty());
        QCOMPARE(Modulo::NickUsuario, QStringLiteral("Lupita"));
        QCOMPARE(Modulo::CuentaUsuario, QStringLiteral("lupita"));
        QVERIFY(Modulo::ExisteMdi());
        QVERIFY(Modulo::mdi().isVisible());
        QCOMPARE(Modulo::mdi().windowTitle(), QStringLiteral("Sistema Para el Control de Invitaciones"));
        QCOMPARE(e.terminaciones, 0);
    }

    // A server catalog behind the program's schema is refused, not used half-way.
    void catalogoDelServidorAtrasado() {
        EXIGE_POSTGRES();
        EntornoDeInicio e(Motor::PostgreSQL);
        e.base.kelmar().ejecuta(QStringLiteral("delete from version_esquema"));
        QVERIFY(!Modulo::Main(e.base.ajustes()));
        QCOMPARE(e.caja.cajas().size(), 1);
        QVERIFY(e.caja.ultima().texto.contains(QStringLiteral("taloren-admin create")));
    }

    void cajasVacias_data() {
        QTest::addColumn<QString>("cuenta");
        QTest::addColumn<QString>("contrasena");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QString>("foco");
        QTest::newRow("ambas") << QString() << QString()
                               << QStringLiteral("Proporcione su cuenta de acceso y su contraseña.")
                               << QStringLiteral("txtUsuario");
        QTest::newRow("contraseña") << QStringLiteral("lupita") << QString()
                                    << QStringLiteral("Proporcione su contraseña.")
                                    << QStringLiteral("txtPassword");
        QTest::newRow("cuenta") << QString() << QStringLiteral("clave7")
                                << QStringLiteral("Proporcione su cuenta de acceso.")
                                << QStringLiteral("txtUsuario");
    }
    void cajasVacias() {
        QFETCH(QString, cuenta);
        QFETCH(QString, contrasena);
        QFETCH(QString, mensaje);
        QFETCH(QString, foco);
        Ingreso i;
        i.teclea(cuenta, contrasena);
        i.ventana.CmdIngreso->setFocus();
        i.ventana.CmdIngreso->click();
        QCOMPARE(i.e.caja.cajas().size(), 1);
        QCOMPARE(i.e.caja.ultima().texto, mensaje);
        QCOMPARE(i.e.caja.ultima().icono, Caja::Icono::Critico);
        QCOMPARE(i.e.caja.ultima().titulo, QStringLiteral("TaLoREN"));
        QVERIFY(i.foco());
        QCOMPARE(i.foco()->objectName(), foco);
        QVERIFY(Modulo::NickUsuario.isEmpty());
    }

    void parIncorrectoYCorrecto_data() { agregaMotores(); }
    void parIncorrectoYCorrecto() {
        MOTOR_DE_LA_FILA(motor);
        Ingreso i(motor);
        for (int intento = 0; intento < 2; ++intento) {
            i.teclea(QStringLiteral("lupita"), QStringLiteral("clave8"));
            i.ventana.txtPassword->setFocus();
            i.ventana.CmdIngreso->click();
            QCOMPARE(i.e.caja.ultima().texto, noCoinciden);
            QCOMPARE(i.ventana.txtUsuario->text(), QStringLiteral("lupita"));
            QCOMPARE(i.ventana.txtPassword->text(), QStringLiteral("clave8"));
            QCOMPARE(i.foco(), i.ventana.txtPassword);
        }
        // The account is compared as typed: another case is another account.
        i.teclea(QStringLiteral("LUPITA"), QStringLiteral("clave7"));
        i.ventana.CmdIngreso->click();
        QCOMPARE(i.e.caja.cajas().size(), 3);
        QVERIFY(i.ventana.isVisible());

        i.teclea(QStringLiteral("lupita"), QStringLiteral("clave7"));
        QTest::keyClick(i.ventana.txtPassword, Qt::Key_Return);
        QCOMPARE(i.e.caja.cajas().size(), 3);
        QCOMPARE(Modulo::NickUsuario, QStringLiteral("Lupita"));
        QCOMPARE(Modulo::CuentaUsuario, QStringLiteral("lupita"));
        QCOMPARE(i.ventana.result(), int(QDialog::Accepted));
        QVERIFY(!i.ventana.isVisible());
        QVERIFY(Modulo::mdi().isVisible());
        QCOMPARE(i.e.terminaciones, 0);
    }

    // Blanks count as typed and travel as they are.
    void cuentaDeEspacios() {
        Ingreso i;
        i.teclea(QStringLiteral("   "), QStringLiteral("clave7"));
        i.ventana.CmdIngreso->click();
        QCOMPARE(i.e.caja.ultima().texto, noCoinciden);
        Administracion::agregaUsuario(i.e.base.kelmar(), QStringLiteral("   "), QStringLiteral("Espacios"),
                                      QStringLiteral("clave7"));
        i.ventana.CmdIngreso->click();
        QCOMPARE(i.e.caja.cajas().size(), 1);
        QCOMPARE(Modulo::CuentaUsuario, QStringLiteral("   "));
        QCOMPARE(Modulo::NickUsuario, QStringLiteral("Espacios"));
    }

    void errorDelServidor() {
        Ingreso i;
        Modulo::kelmar().cierra();
        i.teclea(QStringLiteral("lupita"), QStringLiteral("clave7"));
        i.ventana.CmdIngreso->click();
        QCOMPARE(i.e.caja.cajas().size(), 1);
        const QString texto = i.e.caja.ultima().texto;
        QVERIFY2(texto.startsWith(QStringLiteral("Error: %1\r\nDescripción: ").arg(CodigoDeError::Conexion)),
                 qPrintable(texto));
        QVERIFY(texto.contains(QStringLiteral("\r\nSourc: SQLite kelmar")));
        QCOMPARE(i.e.caja.ultima().icono, Caja::Icono::Critico);
        QVERIFY(i.ventana.isVisible());
        QVERIFY(Modulo::NickUsuario.isEmpty());
    }

    void salirTerminaElPrograma() {
        Ingreso i;
        i.ventana.cmdSalir->click();
        QCOMPARE(i.e.terminaciones, 1);
        QVERIFY(!i.ventana.isVisible());
        Ingreso cierre;
        cierre.ventana.close();
        QCOMPARE(cierre.e.terminaciones, 1);
        QCOMPARE(cierre.ventana.result(), int(QDialog::Rejected));
    }

    // The login boxes take ten characters, counted as a reader counts them, and no control character,
    // typed or pasted; what would not fit is refused whole, never cut in half.
    void cajasDelIngreso_data() {
        QTest::addColumn<bool>("tecleado");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("queda");
        const QString nueve = QStringLiteral("abcdefghi");
        QTest::newRow("doce letras tecleadas")
            << true << QStringLiteral("abcdefghijkl") << QStringLiteral("abcdefghij");
        QTest::newRow("nueve letras y un emoji")
            << false << nueve + QStringLiteral("😀") << nueve + QStringLiteral("😀");
        QTest::newRow("nueve letras y un emoji tecleados")
            << true << nueve + QStringLiteral("😀") << nueve + QStringLiteral("😀");
        QTest::newRow("diez letras y un emoji") << false << nueve + QStringLiteral("j😀") << QString();
        QTest::newRow("un NUL pegado") << false << QStringLiteral("clave") + QChar(0) << QString();
        QTest::newRow("un salto de línea pegado") << false << QStringLiteral("clave\n") << QString();
        QTest::newRow("un tabulador pegado") << false << QStringLiteral("cla\tve") << QString();
    }
    void cajasDelIngreso() {
        QFETCH(bool, tecleado);
        QFETCH(QString, texto);
        QFETCH(QString, queda);
        Ingreso i;
        for (QLineEdit* caja : {i.ventana.txtUsuario, i.ventana.txtPassword}) {
            caja->clear();
            if (tecleado)
                // One key per character, as a keyboard or an input method sends them.
                for (const char32_t c : texto.toUcs4())
                    QTest::sendKeyEvent(QTest::Click, caja, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                        Qt::NoModifier);
            else
                caja->insert(texto);
            QCOMPARE(caja->text(), queda);
        }
    }

    // A control character that reaches the login all the same is refused with a clear message, on
    // both backends, and logs nobody in.
    void textoNoAdmitido_data() { agregaMotores(); }
    void textoNoAdmitido() {
        MOTOR_DE_LA_FILA(motor);
        Ingreso i(motor);
        i.teclea(QStringLiteral("lupita"), QStringLiteral("clave7") + QChar(0));
        i.ventana.CmdIngreso->click();
        QCOMPARE(i.e.caja.cajas().size(), 1);
        const QString texto = i.e.caja.ultima().texto;
        QVERIFY2(texto.startsWith(QStringLiteral("Error: %1\r\n").arg(CodigoDeError::Conversion)),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("U+0000")) && texto.contains(QStringLiteral("@Password")),
                 qPrintable(texto));
        QVERIFY(Modulo::NickUsuario.isEmpty());
        QVERIFY(i.ventana.isVisible());
    }

    // A mistyped settings file stops the start-up before any connection, naming what is wrong.
    void ajustesMalEscritos() {
        EntornoDeInicio e;
        const QString archivo = e.base.carpeta() + QStringLiteral("/malo.ini");
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[database]\nbackend=postgres\n");
        f.close();
        QVERIFY(!Modulo::Main(archivo));
        QVERIFY(e.mostradas.isEmpty());
        QCOMPARE(e.caja.cajas().size(), 1);
        const QString texto = e.caja.ultima().texto;
        QVERIFY2(texto.startsWith(QStringLiteral("Error: %1\r").arg(CodigoDeError::Ajustes)),
                 qPrintable(texto));
        for (const QString& nombrado : {archivo, QStringLiteral("backend"), QStringLiteral("postgres")})
            QVERIFY2(texto.contains(nombrado), qPrintable(texto));
        QVERIFY(!Modulo::kelmar().estaAbierta());
    }

    // A station's settings file never holds the server's administrator; one that holds a password and
    // that others may read is named, with the command that protects it, and the start-up goes on.
    void ajustesDeLaEstacion_data() {
        QTest::addColumn<QByteArray>("agregado");
        QTest::addColumn<bool>("legible");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<bool>("ingreso");
        QTest::newRow("con la cuenta administradora") << QByteArray("[admin]\nuser=dueno\npassword=secreta\n")
                                                      << false << QStringLiteral("[admin]") << false;
        QTest::newRow("contraseña que otros leen")
            << QByteArray("[kelmar]\npassword=secreta\n") << true << QStringLiteral("chmod 600") << true;
        QTest::newRow("contraseña sólo de su dueño")
            << QByteArray("[kelmar]\npassword=secreta\n") << false << QString() << true;
        QTest::newRow("sin contraseñas, legible") << QByteArray() << true << QString() << true;
    }
    void ajustesDeLaEstacion() {
        QFETCH(QByteArray, agregado);
        QFETCH(bool, legible);
        QFETCH(QString, mensaje);
        QFETCH(bool, ingreso);
        EntornoDeInicio e;
        const QString archivo = e.base.carpeta() + QStringLiteral("/estacion.ini");
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[database]\nfolder=" + e.base.carpeta().toUtf8() + "\n" + agregado);
        f.close();
        QVERIFY(f.setPermissions(
            QFileDevice::ReadOwner | QFileDevice::WriteOwner |
            (legible ? QFileDevice::ReadGroup | QFileDevice::ReadOther : QFileDevice::Permissions())));
        QVERIFY(!Modulo::Main(archivo));
        QCOMPARE(e.caja.cajas().size(), mensaje.isEmpty() ? 0 : 1);
        if (!mensaje.isEmpty()) {
            QVERIFY2(e.caja.ultima().texto.contains(mensaje), qPrintable(e.caja.ultima().texto));
            QVERIFY(e.caja.ultima().texto.contains(archivo));
        }
        QCOMPARE(e.mostradas, ingreso ? QStringList{QStringLiteral("frmSolicitaPassword")} : QStringList());
    }

    void salirDelMenu() {
        EntornoDeInicio e;
        Modulo::mdi().mdiSalir->trigger();
        QCOMPARE(e.terminaciones, 1);
    }
};

QTEST_MAIN(TstInicio)
#include "tst_inicio.moc"
