#pragma once

#include <QDialog>

class CmdCerrar;
class ErrorDeEjecucion;
class QLabel;

// Reports an error that interrupted saving, searching or printing, so the user
// can pass it on to the person responsible for the system.
class FrmErrores : public QDialog {
    Q_OBJECT
public:
    explicit FrmErrores(QWidget* parent = nullptr);

    // Write-only, kept until the window loads.
    void DescripError(const QString& texto) { m_descripcion = texto; }
    void NumeroDeError(qint32 numero) { m_numero = numero; }
    void FuenteDelError(const QString& texto) { m_fuente = texto; }
    // What the server or the driver said, shown after the source.
    void DetalleDelError(const QString& texto) { m_detalle = texto; }

    // The error trap's whole sequence: the three properties, then the window, modally.
    static void Reporta(const ErrorDeEjecucion& error);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* LblDescripDelError;
    QLabel* Label4;
    QLabel* LblNumDelError;
    QLabel* Label5;
    QLabel* LblDatosAdicDelError;
    QLabel* Label7;
    QLabel* Label6;
    // The member carries the control's name, as every named control does.
    class CmdCerrar* CmdCerrar;

    void Form_Load();
    void CmdCerrar_Click();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    QString m_descripcion;
    qint32 m_numero = 0;
    QString m_fuente;
    QString m_detalle;
    bool m_cargada = false;
};
