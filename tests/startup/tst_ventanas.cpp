#include "Administracion.h"
#include "BotonesDeComando.h"
#include "Conexion.h"
#include "EntornoDeInicio.h"
#include "ErrorDeEjecucion.h"
#include "FrmErrores.h"
#include "MDITaloren.h"
#include "frmSolicitaPassword.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

using Caja = CajaDeMensajes;

namespace {
const QString noCoinciden =
    QStringLiteral("La cuenta de acceso y/o la contraseña no coinciden. Verifique :(");

// A login window shown and active, as the start-up leaves it.
struct Ingreso {
    explicit Ingreso(Motor motor = Motor::SQLite) : e(motor) {
        e.conecta();
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

class TstVentanas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ingresoAlAbrir() {
        Ingreso i;
        QCOMPARE(i.ventana.windowTitle(), QStringLiteral("Acceso al sistema"));
        QCOMPARE(i.ventana.size(), QSize(428, 164));
        QCOMPARE(i.ventana.txtUsuario->text(), QStringLiteral("admin"));
        // No password is built into the program.
        QCOMPARE(i.ventana.txtPassword->text(), QString());
        QCOMPARE(i.ventana.txtPassword->echoMode(), QLineEdit::Password);
        // Ten characters at the most, typed or pasted.
        i.ventana.txtUsuario->clear();
        QTest::keyClicks(i.ventana.txtUsuario, QStringLiteral("abcdefghijkl"));
        QCOMPARE(i.ventana.txtUsuario->text(), QStringLiteral("abcdefghij"));
        QTest::keyClicks(i.ventana.txtPassword, QStringLiteral("123456789012"));
        QCOMPARE(i.ventana.txtPassword->text(), QStringLiteral("1234567890"));
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

    void menuPrincipal() {
        EntornoDeInicio e;
        MDITaloren& mdi = Modulo::mdi();
        QCOMPARE(mdi.windowTitle(), QStringLiteral("Sistema Para el Control de Invitaciones"));
        mdi.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mdi));
        QCOMPARE(mdi.centralWidget()->size(), QSize(800, 544));

        QStringList barra;
        for (QAction* a : mdi.menuBar()->actions())
            barra << a->objectName() + QLatin1Char('=') + a->text();
        // The submenu's action carries the menu's own name.
        QCOMPARE(barra, QStringList({QStringLiteral("mdiCaptura=&Captura"),
                                     QStringLiteral("mdiConsultas=C&onsultas"),
                                     QStringLiteral("=&Invitaciones"), QStringLiteral("mdiSalir=&Salir")}));
        QCOMPARE(mdi.menuBar()->actions().at(2)->menu(), mdi.MnuInvitaciones);
        QStringList invitaciones;
        for (QAction* a : mdi.MnuInvitaciones->actions()) {
            invitaciones << a->objectName() + QLatin1Char('=') + a->text();
            QVERIFY(a->isEnabled() && a->isVisible() && !a->isSeparator());
        }
        QCOMPARE(invitaciones,
                 QStringList({QStringLiteral("MnuRegistrarInvitaciones=&Registrar invitaciones"),
                              QStringLiteral("MnuModificarInvit=&Modificar Invitación"),
                              QStringLiteral("MnuReportesInvit=&Reportes")}));
        QVERIFY(mdi.findChild<QMenu*>(QStringLiteral("MnuInvitaciones")));

        mdi.mdiSalir->trigger();
        QCOMPARE(e.terminaciones, 1);
    }

    void ventanaDeErrores() {
        EntornoDeInicio e;
        QStringList vistos;
        e.alMostrar = [&](QDialog& ventana) {
            auto& f = static_cast<FrmErrores&>(ventana);
            vistos << f.windowTitle() << f.LblDescripDelError->text() << f.LblNumDelError->text()
                   << f.LblDatosAdicDelError->text() << f.Label4->text();
            f.CmdCerrar->click();
            QVERIFY(!f.isVisible());
        };
        FrmErrores::Reporta(ErrorDeEjecucion(CodigoDeError::Integridad, QStringLiteral("llave duplicada"),
                                             QStringLiteral("PostgreSQL kelmar")));
        QCOMPARE(e.mostradas, QStringList{QStringLiteral("FrmErrores")});
        QCOMPARE(vistos, QStringList({QStringLiteral("Mensaje de error"), QStringLiteral("llave duplicada"),
                                      QStringLiteral("-2147217873"), QStringLiteral("PostgreSQL kelmar"),
                                      QStringLiteral("Número del error:")}));
        FrmErrores f;
        QCOMPARE(f.size(), QSize(516, 322));
        QVERIFY(
            f.Label2->text().startsWith(QStringLiteral("Sucedió un error al intentar almacenar los datos")));
        QCOMPARE(f.CmdCerrar->objectName(), QStringLiteral("CmdCerrar"));
    }
};

QTEST_MAIN(TstVentanas)
#include "tst_ventanas.moc"
