#pragma once

#include "server/Agenda.h"

#include <QDate>
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

// The officials' agenda: the invitations and the events of the register of a
// week (seven day columns by half hour, the entries without hour in a strip
// at the top) or of a month, filtered by official, representative and kind.
// Keyboard first: the arrows move between entries and days, Page Up and Page
// Down by a week or a month, Home to today, Enter opens the entry in its own
// window (the month view opens the week of the day).
class FrmAgenda : public QDialog {
    Q_OBJECT
public:
    explicit FrmAgenda(QWidget* parent = nullptr);

    QComboBox* CmbTitular;
    QLineEdit* TxtRepresentante;
    QComboBox* CmbTipo;
    QLabel* LblPeriodo;
    QTabWidget* TabVistas;
    QTableWidget* GrdSemana;
    QTableWidget* GrdMes;
    QLabel* LblLeyenda;
    QPushButton* CmdAnterior;
    QPushButton* CmdHoy;
    QPushButton* CmdSiguiente;
    QPushButton* CmdImprimir;
    QPushButton* CmdConflictos;
    QPushButton* CmdExportar;
    QPushButton* CmdExportarLista;
    QPushButton* CmdCerrar;

    // The rows of the week: the strip without hour, then 05:00 to 23:30.
    static const QStringList& HorasDeLaSemana();

    void Form_Load();
    // Reads the period on view again (after a filter, a move, or an entry
    // opened and closed), keeping the day and the entry chosen.
    void Refresca();
    void CmdAnterior_Click();
    void CmdHoy_Click();
    void CmdSiguiente_Click();
    // The period on view as a list by day and hour, through the report engine.
    void CmdImprimir_Click();
    // The double bookings of the coming four weeks, each pair once, as a printable list.
    void CmdConflictos_Click();
    // The period on view, filtered, as a calendar file.
    void CmdExportar_Click();
    // The same entries as a list, into a spreadsheet or a CSV file.
    void CmdExportarLista_Click();
    // Opens the chosen entry in its window; the agenda refreshes on return.
    void AbreEntrada();

    // What the views show: the entries of the period, the day and the entry chosen.
    const QList<Agenda::Entrada>& Entradas() const { return m_entradas; }
    QDate DiaElegido() const { return m_dia; }
    const Agenda::Entrada* EntradaElegida() const;
    bool VistaDeMes() const;
    // Moves to a day (and its first entry), refreshing when it leaves the period.
    void VeAlDia(const QDate& dia);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;

private:
    Agenda::Filtro filtro() const;
    void llenaSemana();
    void llenaMes();
    void marcaElegida();
    void mueveEnElDia(int paso);
    void mueveDeDia(int dias);
    bool teclaDeVista(int tecla);
    int filaDe(const Agenda::Entrada& entrada) const;

    bool m_cargada = false;
    QDate m_dia;
    int m_elegida = -1; // index in m_entradas, -1: none
    QDate m_desde, m_hasta;
    QList<Agenda::Entrada> m_entradas;
};
