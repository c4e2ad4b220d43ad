#pragma once

#include <QDialog>

class CmdAceptar;
class QLabel;
class QLineEdit;
class QToolButton;

// "Acceso al sistema": validates an account and password against the server
// and records the user for the rest of the run.
class frmSolicitaPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmSolicitaPassword(QWidget* parent = nullptr);

    QLabel* Label3;
    QLabel* Label1;
    QLineEdit* txtUsuario;
    QLabel* Label2;
    QLineEdit* txtPassword;
    CmdAceptar* CmdIngreso;
    QToolButton* cmdSalir;
    QLabel* Image1;

    void CmdIngreso_Click();
    void cmdSalir_Click();

protected:
    void showEvent(QShowEvent* evento) override;
    void reject() override;
};
