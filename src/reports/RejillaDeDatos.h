#pragma once

#include "controls/ModeloDeRecordset.h"
#include "outside/Recordset.h"

#include <QFrame>

class QLabel;
class QTableView;

// A data grid bound to a recordset: a caption bar above the rows, a record
// selector at the left of each row. A double click on a row, on its cells or
// on its selector, makes it current and raises DblClick; so does Enter on the
// current row, for those who work with the keyboard.
class RejillaDeDatos : public QFrame {
    Q_OBJECT
public:
    explicit RejillaDeDatos(QWidget* parent = nullptr);

    QString Caption() const;
    void estableceCaption(const QString& texto);

    // The grid shows this recordset (a copy: the caller may drop its own).
    void enlaza(const Recordset& recordset);
    void desenlaza();
    bool estaEnlazada() const;
    const Recordset& recordset() const { return m_modelo->recordset(); }

    // -1 when no row is current.
    int filaActual() const;
    void estableceFilaActual(int fila);
    // The text of a column of a row as the recordset holds it.
    QString texto(int fila, int columna) const;

    // In twips, as the office's forms measure.
    void estableceAnchoDeColumna(int columna, int twips);
    void estableceColumnaDeFecha(int columna) { m_modelo->estableceColumnaDeFecha(columna); }

    QTableView* vista() const { return m_vista; }
    QLabel* leyenda() const { return m_leyenda; }

Q_SIGNALS:
    void DblClick();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    QLabel* m_leyenda;
    QTableView* m_vista;
    ModeloDeRecordset* m_modelo;
};
