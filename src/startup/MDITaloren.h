#pragma once

#include <QMainWindow>

class QAction;
class ListaDeLaSemana;
class QMenu;

// The main window: the menu, and the coming seven days in its work area;
// every work window is opened modally from it.
class MDITaloren : public QMainWindow {
    Q_OBJECT
public:
    explicit MDITaloren(QWidget* parent = nullptr);

    QAction* mdiCaptura;
    QAction* mdiConsultas;
    QMenu* MnuInvitaciones;
    QAction* MnuRegistrarInvitaciones;
    QAction* MnuModificarInvit;
    QAction* MnuReportesInvit;
    QAction* mdiAgenda;
    QAction* mdiSalir;
    // The work area: the coming seven days.
    ListaDeLaSemana* LstProximos;

    void mdiCaptura_Click();
    void mdiConsultas_Click();
    void MnuRegistrarInvitaciones_Click();
    void MnuModificarInvit_Click();
    void MnuReportesInvit_Click();
    void mdiAgenda_Click();
    void mdiSalir_Click();
};
