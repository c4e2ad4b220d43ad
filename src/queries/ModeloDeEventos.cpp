#include "queries/ModeloDeEventos.h"

namespace {

struct Columna {
    const char* encabezado;
    int anchoEnTwips;
};
// Headings and widths of the grid, by position; those without a heading are hidden.
constexpr Columna columnas[ModeloDeEventos::Columnas] = {
    {"Folio", 600},
    {"Fecha", 1050},
    {"Hora", 550},
    {"Evento", 5000},
    {"Dirección", 5500},
    {"", 0},
    {"", 0},
    {"Representante", 3500},
    {"Cargo", 3500},
    {"", 0},
    {"Representa a", 1500},
    {"Suscriptor    ", 3500},
    {"Cargo Suscriptor", 4500},
    {"", 0},
    {"Fecha fisica", 1050},
    {"", 0},
};

// The two dates read day/month/year, as the office reads them; the time of
// day they carry is the moment of capture, not the event's hour.
bool esFecha(int posicion) {
    return posicion == 1 || posicion == 14;
}

} // namespace

ModeloDeEventos::ModeloDeEventos(QObject* parent) : QAbstractTableModel(parent) {}

void ModeloDeEventos::asigna(Recordset registros) {
    beginResetModel();
    m_registros = std::move(registros);
    m_resueltos.assign(std::size_t(m_registros.filas()), {});
    m_marcados.assign(std::size_t(m_registros.filas()), 0);
    endResetModel();
}

void ModeloDeEventos::limpia() {
    asigna(Recordset());
}

void ModeloDeEventos::estableceResuelto(int fila, int posicion, const QString& texto) {
    Q_ASSERT(posicion >= Municipio && posicion <= Cargo);
    m_resueltos[std::size_t(fila)][std::size_t(posicion - Municipio)] = texto;
    m_marcados[std::size_t(fila)] |= quint8(1u << (posicion - Municipio));
    const QModelIndex celda = index(fila, posicion);
    Q_EMIT dataChanged(celda, celda, {Qt::DisplayRole});
}

void ModeloDeEventos::estableceResueltos(std::vector<Resueltos> resueltos) {
    Q_ASSERT(resueltos.size() == m_resueltos.size());
    m_resueltos = std::move(resueltos);
    m_marcados.assign(m_resueltos.size(), 0x0f);
    if (!m_resueltos.empty())
        Q_EMIT dataChanged(index(0, Municipio), index(int(m_resueltos.size()) - 1, Cargo), {Qt::DisplayRole});
}

QString ModeloDeEventos::texto(int fila, int posicion) const {
    if (posicion >= Municipio && posicion <= Cargo &&
        (m_marcados[std::size_t(fila)] >> (posicion - Municipio)) & 1)
        return m_resueltos[std::size_t(fila)][std::size_t(posicion - Municipio)];
    const QString crudo = m_registros.texto(fila, posicion);
    if (esFecha(posicion) && crudo.size() >= 10)
        return crudo.mid(8, 2) + QLatin1Char('/') + crudo.mid(5, 2) + QLatin1Char('/') + crudo.left(4);
    return crudo;
}

QString ModeloDeEventos::encabezado(int posicion) {
    return QString::fromUtf8(columnas[posicion].encabezado);
}

int ModeloDeEventos::anchoEnTwips(int posicion) {
    return columnas[posicion].anchoEnTwips;
}

int ModeloDeEventos::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : m_registros.filas();
}

int ModeloDeEventos::columnCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : Columnas;
}

QVariant ModeloDeEventos::data(const QModelIndex& indice, int rol) const {
    if (!checkIndex(indice, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (rol == Qt::DisplayRole || rol == Qt::ToolTipRole)
        return texto(indice.row(), indice.column());
    if (rol == Qt::EditRole) {
        // The value itself, for a spreadsheet: the dates as dates, the folio as a number.
        const int p = indice.column();
        const QVariant v = m_registros.valor(indice.row(), p);
        if (esFecha(p)) {
            const QDateTime fh = Recordset::fechaHora(v);
            if (fh.isValid())
                return fh.date();
        } else if (p == 0 && !v.isNull()) {
            bool numero = false;
            const int folio = v.toInt(&numero);
            if (numero)
                return folio;
        }
        return texto(indice.row(), p);
    }
    return {};
}

QVariant ModeloDeEventos::headerData(int seccion, Qt::Orientation orientacion, int rol) const {
    if (rol != Qt::DisplayRole)
        return {};
    // The fixed first column shows no numbers, only the row's mark.
    if (orientacion == Qt::Vertical)
        return QString();
    if (seccion < 0 || seccion >= Columnas)
        return {};
    return encabezado(seccion);
}

Qt::ItemFlags ModeloDeEventos::flags(const QModelIndex& indice) const {
    if (!indice.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}
