#pragma once

#include <QMainWindow>

class QAction;
class QMdiArea;
class QMenu;

// The main window: a frame that holds only the menu; every work window is
// opened modally from it.
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
    QAction* mdiSalir;

    void mdiCaptura_Click();
    void mdiConsultas_Click();
    void MnuRegistrarInvitaciones_Click();
    void MnuModificarInvit_Click();
    void MnuReportesInvit_Click();
    void mdiSalir_Click();

private:
    QMdiArea* m_area;
};
