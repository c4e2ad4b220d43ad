#pragma once

#include "outside/Recordset.h"

#include <QAbstractTableModel>
#include <QSet>

// A recordset as a grid shows it: its columns and rows as they came, every
// value as text (a null as an empty cell, the columns marked as dates
// day/month/year, each record on one line with the whole text in the tool
// tip), read-only; the edit role gives the value itself (a date column's as
// a date) to whoever takes the grid elsewhere. Headers are the column names; rows have no caption of
// their own, so the left margin only serves to pick the row.
class ModeloDeRecordset : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloDeRecordset(QObject* parent = nullptr);

    void estableceRecordset(Recordset recordset);
    // Empties the grid and lets the rows go.
    void limpia();
    const Recordset& recordset() const { return m_recordset; }
    void estableceColumnaDeFecha(int columna);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;

private:
    Recordset m_recordset;
    QSet<int> m_fechas;
};
