#pragma once

#include "server/Historial.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTableWidget;

// What a save that another station's change refused shows: who changed the
// record and when, and field by field what the screen holds and what is
// stored now, marking which side changed each since the look-up. The person
// either loads what is stored (after a confirmation; what was typed stays
// visible here until the window closes) or stores the screen over the newer
// version (a second, explicit decision, which the history records).
class FrmConflicto : public QDialog {
    Q_OBJECT
public:
    enum Decision { Cancelar = 0, Recargar, Sobrescribir };
    struct Datos {
        QString registro; // "la invitación con folio 12 del año 2026"
        std::optional<Historial::Entrada> ultimoCambio;
        QList<Historial::Diferencia> diferencias;
        int versionGuardada = 0;
        // A deletion refused: the second choice deletes the newer version.
        bool esBaja = false;
    };
    FrmConflicto(Datos datos, std::function<void()> recarga, QWidget* parent = nullptr);

    // Shows it modally; what the person chose.
    static Decision Resuelve(Datos datos, std::function<void()> recarga, QWidget* parent);

    QLabel* LblQuien;
    QTableWidget* GrdDiferencias;
    QLabel* LblNota;
    QPushButton* CmdRecargar;
    QPushButton* CmdSobrescribir;
    QPushButton* CmdCancelar;

    void CmdRecargar_Click();
    void CmdSobrescribir_Click();
    Decision decision() const { return m_decision; }

    // "Otra estación modificó ...: cuenta, estación, día y hora."
    static QString TextoDeQuien(const Datos& datos);

private:
    Datos m_datos;
    std::function<void()> m_recarga;
    Decision m_decision = Cancelar;
};
