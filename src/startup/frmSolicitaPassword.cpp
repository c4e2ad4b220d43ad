#include "startup/frmSolicitaPassword.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "controls/Cajas.h"
#include "controls/Emblema.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace {
// A null where the window expects text is an error: the login cannot say who logged in.
QString textoNoNulo(const QVariant& v, const QString& columna) {
    if (v.isNull())
        throw ErrorDeEjecucion(94, QStringLiteral("Uso no válido de Null (columna %1).").arg(columna),
                               QStringLiteral("frmSolicitaPassword"));
    return v.toString();
}
} // namespace

frmSolicitaPassword::frmSolicitaPassword(QWidget* parent) : QDialog(parent) {
    Modulo::PreparaVentanaFija(*this, QStringLiteral("frmSolicitaPassword"),
                               QStringLiteral("Acceso al sistema"), 6420, 2460);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(14, 40, 64, 64);
    Image1->setPixmap(Emblema(56));
    Image1->setAlignment(Qt::AlignCenter);

    Label3 = new QLabel(QStringLiteral("Proporcione su cuenta y su contraseña"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(10);
    tahoma.setBold(true);
    Label3->setFont(tahoma);
    Label3->setGeometry(14, 10, 330, 20);

    Label1 = new QLabel(QStringLiteral("Usuario"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(92, 48, 80, 22);

    txtUsuario = new QLineEdit(QStringLiteral("admin"), this);
    txtUsuario->setObjectName(QStringLiteral("txtUsuario"));
    Cajas::limita(txtUsuario, 10);
    txtUsuario->setGeometry(176, 46, 150, 24);
    Label1->setBuddy(txtUsuario);

    Label2 = new QLabel(QStringLiteral("Contraseña"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(92, 88, 80, 22);

    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    Cajas::limita(txtPassword, 10);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    txtPassword->setGeometry(176, 86, 150, 24);
    Label2->setBuddy(txtPassword);

    CmdIngreso = new CmdAceptar(this);
    CmdIngreso->setObjectName(QStringLiteral("CmdIngreso"));
    CmdIngreso->move(352, 20);

    // A picture button like its neighbour, in the same font.
    cmdSalir = new QToolButton(this);
    cmdSalir->setObjectName(QStringLiteral("cmdSalir"));
    cmdSalir->setGeometry(352, 86, 53, 53);
    cmdSalir->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    cmdSalir->setIconSize(QSize(24, 24));
    cmdSalir->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    cmdSalir->setText(QStringLiteral("&Salir"));
    cmdSalir->setFont(CmdIngreso->boton()->font());

    setTabOrder(txtUsuario, txtPassword);

    connect(CmdIngreso, &CmdAceptar::Click, this, &frmSolicitaPassword::CmdIngreso_Click);
    connect(cmdSalir, &QToolButton::clicked, this, &frmSolicitaPassword::cmdSalir_Click);
    // Enter in either box logs in, as a user expects of a login.
    connect(txtUsuario, &QLineEdit::returnPressed, CmdIngreso, &CmdAceptar::click);
    connect(txtPassword, &QLineEdit::returnPressed, CmdIngreso, &CmdAceptar::click);

    // Loading places the window by the main window, which loads it unseen.
    Modulo::CentraEnMdi(*this);
}

void frmSolicitaPassword::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    // The account is preset: the password is what the user types first.
    txtPassword->setFocus();
}

void frmSolicitaPassword::CmdIngreso_Click() {
    const QString cuenta = txtUsuario->text();
    const QString contrasena = txtPassword->text();
    try {
        if (!cuenta.isEmpty() && !contrasena.isEmpty()) {
            Parametros parametros{
                Parametro::entrada(QStringLiteral("@CveUsuario"), TipoDeParametro::VarChar, 10, cuenta),
                Parametro::entrada(QStringLiteral("@Password"), TipoDeParametro::VarChar, 10, contrasena)};
            const Recordset rs =
                Modulo::kelmar().ejecutaProcedimiento(QStringLiteral("ValidarUsuarioEnTaLoREN"), parametros);
            if (rs.estaVacio()) {
                Modulo::MensajeDeError(
                    QStringLiteral("La cuenta de acceso y/o la contraseña no coinciden. Verifique :("));
                // The next keystrokes type the password again.
                txtPassword->setFocus();
                txtPassword->selectAll();
                return;
            }
            const QString nick = textoNoNulo(rs.valor(0, QStringLiteral("Nick")), QStringLiteral("Nick"));
            const QString cuentaUsr =
                textoNoNulo(rs.valor(0, QStringLiteral("CuentaUsr")), QStringLiteral("CuentaUsr"));
            Modulo::NickUsuario = nick;
            Modulo::CuentaUsuario = cuentaUsr;
            accept();
            Modulo::mdi().show();
            return;
        }
        if (cuenta.isEmpty() && contrasena.isEmpty()) {
            Modulo::MensajeDeError(QStringLiteral("Proporcione su cuenta de acceso y su contraseña."));
            txtUsuario->setFocus();
        } else if (contrasena.isEmpty()) {
            Modulo::MensajeDeError(QStringLiteral("Proporcione su contraseña."));
            txtPassword->setFocus();
        } else {
            Modulo::MensajeDeError(QStringLiteral("Proporcione su cuenta de acceso."));
            txtUsuario->setFocus();
        }
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::CajaConDescripcion);
    }
}

void frmSolicitaPassword::cmdSalir_Click() {
    QDialog::reject();
    Modulo::TerminaPrograma();
}

void frmSolicitaPassword::reject() {
    // Closing the login without logging in ends the program.
    cmdSalir_Click();
}
