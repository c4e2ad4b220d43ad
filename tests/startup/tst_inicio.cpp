#include "Administracion.h"
#include "Conexion.h"
#include "EntornoDeInicio.h"
#include "ErrorDeEjecucion.h"
#include "MDITaloren.h"
#include "frmSolicitaPassword.h"

#include <QLineEdit>
#include <QTest>

using Caja = CajaDeMensajes;

namespace {
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
        QCOMPARE(e.caja.sinRespuesta(), 0);
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
        if (!BaseDePrueba::hayPostgres())
            QSKIP("PostgreSQL no probado: TALOREN_TEST_PG no nombra un servidor");
        EntornoDeInicio e(Motor::PostgreSQL);
        e.base.kelmar().ejecuta(QStringLiteral("delete from version_esquema"));
        QVERIFY(!Modulo::Main(e.base.ajustes()));
        QCOMPARE(e.caja.cajas().size(), 1);
        QVERIFY(e.caja.ultima().texto.contains(QStringLiteral("taloren-admin create")));
    }
};

QTEST_MAIN(TstInicio)
#include "tst_inicio.moc"
