#pragma once

#include "server/Agenda.h"

#include <QWidget>

class QLabel;
class QTableWidget;

// The main window's work area: the coming seven days of both officials, from
// the same reading as the agenda, today first, the unconfirmed ones marked.
// Enter (or a double click) opens the entry in its window.
class ListaDeLaSemana : public QWidget {
    Q_OBJECT
public:
    explicit ListaDeLaSemana(QWidget* parent = nullptr);

    QLabel* LblProximos;
    QTableWidget* GrdProximos;

    // Reads the seven days again. A catalog that cannot be read is said in
    // the list's heading, never an empty week that looks free.
    void Refresca();
    void AbreEntrada(int fila);
    const QList<Agenda::Entrada>& Entradas() const { return m_entradas; }

protected:
    // Read each time it comes into view.
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QList<Agenda::Entrada> m_entradas;
};
