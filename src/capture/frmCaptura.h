#pragma once

#include "server/Eventos.h"

#include <QDialog>
#include <QHash>
#include <optional>
#include <utility>

class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QToolButton;

// "Captura de movimientos": the office's register of events. Finds a stored
// event by its folio and shows it; stores, updates and deletes the event on
// screen in the three tables of the register (taloren), with the staff and
// places of kelmar.
class frmCaptura : public QDialog {
    Q_OBJECT
public:
    explicit frmCaptura(QWidget* parent = nullptr);
    ~frmCaptura() override;

    QLabel* LblFolio;
    QLineEdit* TxtFolio;

    QGroupBox* Frame1;
    QDateTimeEdit* dtpFechaRecep;
    QDateTimeEdit* dtpFechaFisica;
    QDateTimeEdit* dtpFechaAviso;

    QGroupBox* Frame2;
    QComboBox* CmbSuscriptor;
    QLineEdit* TxtCargoSuscrip;
    QLineEdit* mskTelSusc;
    QLineEdit* mskCelularSusc;

    QGroupBox* Frame3;
    QDateTimeEdit* DTPFechaEvento;
    QLineEdit* mskHora;
    QComboBox* cmbMunicipio;
    QComboBox* cmbLocalidad;
    QPlainTextEdit* txtEvento;
    QComboBox* CmbDirecciones;

    QGroupBox* Frame4;
    QGroupBox* Frame5;
    QRadioButton* optRepSrio;
    QRadioButton* optRepGob;
    QComboBox* cmbNombreRep;
    QLineEdit* txtCargoFun;
    QLineEdit* txtAreaFun;
    QLineEdit* mskTelRep;
    QLineEdit* mskCelularRep;
    QComboBox* cmbInstruccion;

    QGroupBox* Frame6;
    QRadioButton* OptNormal;
    QRadioButton* optPrioritario;
    QRadioButton* OptUrgente;

    QPlainTextEdit* TxtObservacion;
    QLabel* LblMensajeAUsuario;

    QToolButton* CmdImprimir;
    QToolButton* cmdAgrega;
    // The history of the stored event on screen.
    QToolButton* CmdHistorial;
    QToolButton* cmdEliminar;
    QToolButton* cmdNuevo;
    QToolButton* CmdGuardar;
    QToolButton* cmdSalir;

    // What the window holds between events, besides its controls; clearing
    // the screen leaves them as they are.
    struct ValoresDeTrabajo {
        QString cveMunicipio;
        QString cveLocalidad;
        QString cveFuncionario;
        QString cveCargo;
        QString cveArea;
        QString nombreRepresentante;
        QString cargoRepresentante;
        QString areaRepresentante;
        int cveInstruccion = 0;
        QString representaA;
        QString caracter;
        int anio = 0;
    } valores;

    // The text of a masked box as stored: literals and prompt characters included.
    static QString TextoDeMascara(const QLineEdit* caja);

    void Form_Load();
    void TxtFolio_KeyPress(int tecla);
    void cmbMunicipio_Click();
    void cmbNombreRep_Click();
    void CmbSuscriptor_Click();
    void CmdGuardar_Click();
    void cmdEliminar_Click();
    void cmdNuevo_Click();
    void cmdSalir_Click();
    void CmdImprimir_Click();
    void cmdAgrega_Click();
    void CmdHistorial_Click();

    // Shows the stored event of that folio and year, looked up as TxtFolio's
    // Enter does; the look-up's error is reported here.
    void MuestraEvento(int folio, int anio);
    // The same once the window has loaded, for a window about to open.
    void MuestraAlAbrir(int folio, int anio) { m_porMostrar = {folio, anio}; }

    bool BuscaFolio(const QString& folio);
    void LlenaObjetos();
    void LimpiaDatos();
    QString UltimoNro();
    // Deletes the event looked up, unless another station changed or removed it since.
    Eventos::Escritura Elimina(int sobreVersion = 0);

    // Closing, however it is asked for, first asks while the screen holds
    // what is not stored: typed changes, or a new event that has its folio.
    void done(int resultado) override;

protected:
    void showEvent(QShowEvent* evento) override;
    void keyPressEvent(QKeyEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // The form's widgets and places (DisposicionDeCaptura.cpp), then what they do.
    void disponControles();
    void conectaControles();
    void preparaCompletado(QComboBox* combo);
    void vaciaMascaras();
    bool validaAntesDeLeer();
    void resuelveValores();
    Evento eventoEnPantalla(int folio) const;
    // Stores the screen's event and tells the outcome; `sobreVersion`: the
    // newer stored version the person chose to overwrite.
    void guardaEvento(const Evento& evento, int sobreVersion = 0);
    // Another station changed the event since the look-up: the comparison.
    // A deletion refused the same way: `esBaja`.
    void resuelveConflicto(const Evento& enPantalla, bool esBaja = false);
    void avisaEliminacion(const QString& folio);
    void avisaEliminado(int folio, int anio);
    void aviso(const QString& texto, QWidget* campo);
    QStringList contenidoEnPantalla() const;
    // Typed changes, or a new event that has its folio, not stored yet.
    bool hayCambiosSinGuardar() const;
    // A question whose hasty Enter loses nothing: "No" first.
    static bool confirmaConNo(const QString& texto);
    // What is on screen now is stored (or is nothing typed).
    void marcaComoGuardado();
    // The history is there for a stored event on screen, not for a new one.
    void habilitaHistorial();

    bool m_cargada = false;
    // Which stored event the screen holds and the folio it drew: the register's rules.
    Eventos::Captura m_captura;
    // Whether a list (by its combo) is taking a deletion, so it does not complete.
    QHash<QComboBox*, bool> m_borrando;
    QStringList m_guardado;
    // The screen as it was when `valores` were resolved from it.
    QStringList m_resuelto;
    std::optional<std::pair<int, int>> m_porMostrar;
    void muestraEvento(int folio, int anio);
};
