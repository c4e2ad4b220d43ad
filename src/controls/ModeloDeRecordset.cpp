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

void ModeloDeRecordset::estableceColumnaDeFecha(int columna) {
    m_fechas.insert(columna);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, columna), index(rowCount() - 1, columna), {Qt::DisplayRole});
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
    const QVariant v = m_recordset.valor(indice.row(), indice.column());
    if (rol == Qt::EditRole) {
        // The value itself, for whoever takes the grid elsewhere (a spreadsheet).
        if (v.isNull())
            return {};
        if (m_fechas.contains(indice.column())) {
            const QDateTime fh = Recordset::fechaHora(v);
            return fh.isValid() ? QVariant(fh.date()) : QVariant(v.toString());
        }
        return v;
    }
    if (rol != Qt::DisplayRole && rol != Qt::ToolTipRole)
        return {};
    if (v.isNull())
        return QString();
    if (m_fechas.contains(indice.column())) {
        const QDateTime fh = Recordset::fechaHora(v);
        if (fh.isValid())
            return fh.toString(QStringLiteral("dd/MM/yyyy"));
    }
    QString texto = v.toString();
    if (rol == Qt::DisplayRole)
        texto.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return texto;
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
