#pragma once

#include <QDialog>
#include <QString>
#include <array>

class MensajeTemporal;
class ModeloDeEventos;
class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class QToolButton;

// "Consulta de Eventos..": finds the events of the register that fall in a
// date criterion, shows them with their names resolved, and turns them into
// query sheets. It writes nothing to the database.
class frmConsultas : public QDialog {
    Q_OBJECT
public:
    explicit frmConsultas(QWidget* parent = nullptr);
    ~frmConsultas() override;

    QGroupBox* Frame2;
    QGroupBox* Frame1;
    // The option array by its indices: 1 a range of dates, 2 all upcoming
    // events (objectNames "OptFecha_1" and "OptFecha_2"); 0 is not used.
    std::array<QRadioButton*, 3> OptFecha{};
    QLabel* lblFechaIni;
    QDateEdit* DTPFechaIni;
    QLabel* LblFechaFin;
    QDateEdit* DTPFechaFin;
    QToolButton* CmdBuscar;
    QToolButton* CmdLimpiar;
    QPushButton* cmdimprimeconsulta;
    QPushButton* CmdExportar;
    QPushButton* CmdCerrar;
    QToolButton* cmdSalir;
    QTableView* GridResultados;
    QLabel* lblregs;
    QLabel* LblTotal;
    // The member carries the control's name, as every named control does.
    class MensajeTemporal* MensajeTemporal;

    // The date option sent to the search (1 range, 2 upcoming), and the
    // query the search used, which the query sheets read again.
    quint8 opcion_fecha = 0;
    QString consulta_base;

    ModeloDeEventos& modelo() const { return *m_modelo; }

    void Form_Load();
    void asigna_encabezados();
    void limpiar_objetos();
    void OptFecha_Click(int Index);
    void CmdBuscar_Click();
    void CmdLimpiar_Click();
    void cmdimprimeconsulta_Click();
    // The grid as it shows, into a spreadsheet or a CSV file.
    void CmdExportar_Click();
    void CmdCerrar_Click();
    void cmdSalir_Click();
    // Enter or a double click on a row: that event in the capture window.
    void GridResultados_DblClick();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    ModeloDeEventos* m_modelo;
    // What the last search looked for, in words, to name its query sheets.
    QString m_criterio;
    QString m_encabezado; // the criteria as each sheet's heading names them
    bool m_cargada = false;
};
