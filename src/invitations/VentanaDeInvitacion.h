#pragma once

#include "server/Invitacion.h"

#include <QDialog>

class CmdAceptar;
class CmdCancelar;
class CmdCerrar;
class CmdGuardar;
class ModeloDeRecordset;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTableView;
class TextoMultilinea;

// What the registration and the modification windows share: the controls
// of an invitation, with the same names, captions and lengths in both, the
// staff search that fills the representative's or the area head's name and
// post, and the prefix and indication lists loaded from the server.
//
// Tab 0 holds the event's frame, whose top row each window fills with its
// own way of naming the invitation (year and folio shown, or looked up).
class VentanaDeInvitacion : public QDialog {
    Q_OBJECT
public:
    QTabWidget* TabInvitacion;
    QLabel* LblMensajeAUsuario;
    class CmdGuardar* CmdGuardar;
    class CmdCerrar* CmdCerrar;

    // Tab 0, in the event's frame.
    QDateEdit* DTPFechaRecepcion;
    QDateEdit* DTPFechaEvento;
    QComboBox* CmbHoraEvento;
    QGroupBox* FrCaracter;
    QRadioButton* OptNormal;
    QRadioButton* OptUrgente;
    QGroupBox* FrRepresentaA;
    QRadioButton* OptSrio;
    QRadioButton* OptGob;
    QComboBox* CmbPrefijo1;
    TextoMultilinea* TxtDescripcion;
    QComboBox* CmbPrefijo3;
    TextoMultilinea* TxtUbicacionEvento;
    TextoMultilinea* TxtObservacion;
    QGroupBox* FraQuienInvita;
    QLineEdit* TxtQuienInvita;
    QLineEdit* TxtCargoSuscrip;
    QLineEdit* TxtTelsSuscrip;

    // Tab 1.
    QGroupBox* Frame1;
    QLabel* LblIndicacion;
    QComboBox* CmbIndicacion;
    TextoMultilinea* TxtIndicacion;
    QLabel* LblRedaccion;
    QComboBox* CmbPrefijo2;
    QLineEdit* TxtRepresentante;
    QLineEdit* TxtCargoRepresentante;
    QLineEdit* TxtTelsRepresentante;
    QLabel* LblF2Representante;
    QGroupBox* FraTitularDelArea;
    QLineEdit* TxtTitularDelArea;
    QLineEdit* TxtCargoTitularDelArea;
    QLineEdit* TxtTelsTitular;
    QLabel* LblF2Titular;
    QGroupBox* FraSeleccionarPersona;
    QTableView* DGRepresentante;
    class CmdAceptar* CmdAceptar;
    class CmdCancelar* CmdCancelar;

    // The staff search: F2 in either name box, the choice and the cancel.
    void TxtRepresentante_KeyDown(int KeyCode);
    void TxtTitularDelArea_KeyDown(int KeyCode);
    void CmdAceptar_Click();
    void DGRepresentante_DblClick();
    void CmdCancelar_Click();

    // The catalogue loads, prefixes first; each appends to its lists.
    void CargaPrefijos();
    void CargaIndicaciones();

    // The rows the last search found, as the grid shows them.
    const ModeloDeRecordset& personalEncontrado() const { return *m_personal; }

protected:
    // `nombreDelMarco` names the frame of tab 0 (FraEvento, FraIdInvitacion).
    VentanaDeInvitacion(const QString& nombre, const QString& titulo, const QString& nombreDelMarco,
                        int anchoEnTwips, int altoEnTwips, QWidget* parent);

    QFrame* marcoDelEvento() const { return m_marco; }
    // The Tab key's order: the window's own controls of tab 0 (from its top
    // row on), then the shared ones that follow them.
    void ordenaTabulacion(const QList<QWidget*>& primeros);

    // Both loads, reporting a failure: the window opens all the same.
    void CargaListas();
    // The check's last step: tab n shown, then the control takes the focus.
    void enfoca(int pestana, QWidget* control);
    // A check that failed: its message, then the tab and the focus.
    void rechaza(const QString& mensaje, int pestana, QWidget* control);
    // After the window's own checks: an invitation cannot have been received
    // after today. Refuses it, naming the date's caption, and says false.
    bool recepcionPlausible();
    // The arrangement that the addressee's options share in both windows.
    void arreglaPara(bool gobernador);
    // The invitation on screen (fields 2 to 23 of the record), from the
    // controls and the values the save worked out.
    Invitacion invitacionEnPantalla(const QString& estatus, const QString& caracter,
                                    const QString& representaA, const QString& indicacion) const;
    // Shows `valor` in a list: its entry when there is one, no selection
    // when it is empty, and otherwise an entry of its own, which the next
    // call takes away again.
    static void muestraEnLista(QComboBox* lista, const QString& valor);

    // From now on what is on screen counts as stored (or as nothing typed):
    // closing asks nothing until a box changes.
    void marcaComoGuardado();
    // A box changed since the screen was stored or loaded.
    bool hayCambiosSinGuardar() const { return !m_guardado.isEmpty() && contenidoEnPantalla() != m_guardado; }
    // The record's boxes as a new window shows them: today's dates, no list
    // entry chosen (the representative's prefix aside, which a registration
    // keeps for the next one), the texts empty, "Normal" and "El Srio.".
    void vaciaCampos();
    // Closing with changes that are not stored asks first, whatever closes it.
    void closeEvent(QCloseEvent* evento) override;

    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;

private:
    QStringList contenidoEnPantalla() const;

    void buscaPersonal(QLineEdit* caja);
    void pasaDePestana();

    QFrame* m_marco;
    ModeloDeRecordset* m_personal;
    // The name box the search on screen was started from.
    QString m_cajaDeLaBusqueda;
    QStringList m_guardado;
};
