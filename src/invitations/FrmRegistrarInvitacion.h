#pragma once

#include "invitations/VentanaDeInvitacion.h"

class CmdLimpiar;

// "Registro de invitaciones": records new invitations one after another.
// The server gives each its folio; after a save the window clears itself
// for the next one and keeps the last folio in view.
class FrmRegistrarInvitacion : public VentanaDeInvitacion {
    Q_OBJECT
public:
    explicit FrmRegistrarInvitacion(QWidget* parent = nullptr);

    QFrame* FraEvento;
    QLabel* LblAnio;
    QLabel* LblFolio;
    class CmdLimpiar* CmdLimpiar;

    void Form_Load();
    void Form_Activate();
    void CmdGuardar_Click();
    void CmdLimpiar_Click();
    void CmdCerrar_Click();
    void CmbIndicacion_Click();
    void OptGob_Click();
    void OptSrio_Click();

    // Empties the window for the next invitation.
    void LimpiaVentana();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    bool m_cargada = false;
};
