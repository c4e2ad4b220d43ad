#include "controls/ModeloDeRecordset.h"

ModeloDeRecordset::ModeloDeRecordset(QObject* parent) : QAbstractTableModel(parent) {}

void ModeloDeRecordset::estableceRecordset(Recordset recordset) {
    beginResetModel();
    m_recordset = std::move(recordset);
    endResetModel();
}

void ModeloDeRecordset::limpia() {
    estableceRecordset(Recordset());
}

int ModeloDeRecordset::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : m_recordset.filas();
}

int ModeloDeRecordset::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : m_recordset.columnas();
}

QVariant ModeloDeRecordset::data(const QModelIndex& indice, int rol) const {
    if (!checkIndex(indice, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (rol != Qt::DisplayRole && rol != Qt::ToolTipRole)
        return {};
    return m_recordset.texto(indice.row(), indice.column());
}

QVariant ModeloDeRecordset::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (rol != Qt::DisplayRole)
        return {};
    if (orientacion == Qt::Horizontal) {
        if (seccion < 0 || seccion >= m_recordset.columnas())
            return {};
        return m_recordset.nombreDeColumna(seccion);
    }
    return QString();
}
