#pragma once

#include "invitations/VentanaDeInvitacion.h"
#include "server/Invitacion.h"

#include <optional>

class BotonConEnabled;
class CmbClaveDescrip;
class QPushButton;

// "Modificar datos de invitación": finds an invitation by year and folio,
// shows it with its status and timing, and saves the user's corrections
// back. A save always goes to the invitation the last successful look-up
// found: changing the year or the folio on screen makes the save
// unavailable until the next look-up.
class FrmModificarInvitacion : public VentanaDeInvitacion {
    Q_OBJECT
public:
    explicit FrmModificarInvitacion(QWidget* parent = nullptr);

    QFrame* FraIdInvitacion;
    class CmbClaveDescrip* CmbAnio;
    QLineEdit* TxtFolio;
    QPushButton* CmdConsultarFolio;
    QLabel* LblUsrCapturo;
    QLabel* LblUsrModifico;
    QLabel* LblEstatus;
    QLabel* LblEstatus1;
    // The history of the invitation on screen, once a look-up found it.
    BotonConEnabled* CmdHistorial;
    BotonConEnabled* CmdOficio;

    void Form_Load();
    void Form_Activate();
    void CmdConsultarFolio_Click();
    // Opens with that invitation looked up (the agenda's Enter).
    void MuestraAlAbrir(int anio, int folio) { m_porConsultar = {anio, folio}; }
    void CmdGuardar_Click();
    void CmdCerrar_Click();
    void CmdHistorial_Click();
    // The designation letter of the invitation as it is stored.
    void CmdOficio_Click();
    void OptGob_Click();
    void OptSrio_Click();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void muestraInvitacion(const Invitacion& invitacion);
    // Stores the correction and tells the outcome; `sobrescribe`: over the
    // newer version the record carries, which the person saw and chose to overwrite.
    void guardaCorreccion(Invitacion invitacion, bool sobrescribe = false);
    // Called on every change of the year or the folio on screen.
    void revisaIdentidad();

    bool m_cargada = false;
    // The invitation that the last successful look-up found, which a save
    // updates; none after a look-up that found nothing or a save.
    bool m_hayInvitacion = false;
    int m_anio = 0;
    int m_folio = 0;
    // The invitation as the look-up (or the last save) left it: its version
    // is the one a correction is based on.
    std::optional<Invitacion> m_leida;
    std::optional<std::pair<int, int>> m_porConsultar;
};
