#pragma once

#include "outside/Recordset.h"

#include <QDialog>
#include <memory>

class CmdCerrar;
class CmdImprimir;
class FrmVerReporte;
class MensajeTemporal;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QToolButton;
class RejillaDeDatos;

// "Generación de reportes": invitations found by the days of their events and
// by words, folios chosen from the result, and one of the five reports
// printed or previewed.
//
// Two phases: the criteria (criteria open, printing off) and the result
// (criteria locked, the grid filled, the folios and the report to choose).
class FrmReportes : public QDialog {
    Q_OBJECT
public:
    explicit FrmReportes(QWidget* parent = nullptr);
    ~FrmReportes() override;

    QGroupBox* FraCriteriosDeBusqueda;
    QLabel* Label1;
    // Option arrays: each button carries its Index and its Tag as properties.
    QRadioButton* OptTipoInvit[3];
    QLabel* Label6;
    QDateEdit* DTPFechaIni;
    QLabel* Label2;
    QDateEdit* DTPFechaFin;
    QLabel* Label5;
    QLineEdit* TxtTextoEvento;
    QLabel* Label3;
    QLineEdit* TxtTextoSuscriptor;
    QLabel* Label4;
    QLineEdit* TxtTextoRepresentante;
    QToolButton* CmdBuscar;
    QPushButton* CmdCambiarCriterios;
    RejillaDeDatos* DGInvitaciones;
    QGroupBox* FrmSeleccionDeFolios;
    QListWidget* LstFolios;
    QLabel* LblTotal;
    QLabel* LblTotalAProcesar;
    QGroupBox* FrImprimir;
    QRadioButton* OptReporte[3];
    QGroupBox* FraAlcanceAcuerdos;
    QRadioButton* OptAlcanceAcuerdos[3];
    QPushButton* CmdExportar;
    class CmdImprimir* CmdImprimir;
    class CmdCerrar* CmdCerrar;
    class MensajeTemporal* MensajeTemporal;

    void Form_Load();
    void CmdBuscar_Click();
    void CmdCambiarCriterios_Click();
    void DGInvitaciones_DblClick();
    void LstFolios_Click();
    void OptTipoInvit_Click(int Index);
    void OptReporte_Click(int Index);
    void OptAlcanceAcuerdos_Click(int Index);
    // The grid as it shows, into a spreadsheet or a CSV file.
    void CmdExportar_Click();
    void CmdImprimir_Click();
    void CmdCerrar_Click();

    // The preview window, made by the first print and kept while this window lives.
    FrmVerReporte* vistaPrevia() const { return m_vistaPrevia.get(); }

    // Escape and the close box ask first while folios are chosen.
    void reject() override;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    QString archivoDelReporte() const;
    int totalAProcesar() const;

    QString m_tipoInvit;
    QString m_tipoReporte;
    QString m_alcanceAcuerdos;
    Recordset m_resultado;
    std::unique_ptr<FrmVerReporte> m_vistaPrevia;
    bool m_cargada = false;
};
