#pragma once

#include "outside/Recordset.h"

#include <QAbstractTableModel>
#include <array>
#include <vector>

// The events of a search as the result grid shows them: the sixteen columns
// of the search's answer, by position, with the municipality, locality,
// representative and post (positions 5 to 8) shown by name once resolved.
// The grid's fixed first column is the view's row header.
class ModeloDeEventos : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int Columnas = 16;
    // Positions whose keys are shown resolved into names.
    static constexpr int Municipio = 5, Localidad = 6, Representante = 7, Cargo = 8;
    using Resueltos = std::array<QString, 4>;

    explicit ModeloDeEventos(QObject* parent = nullptr);

    // The grid bound to a search's answer: its cells as the answer has them.
    void asigna(Recordset registros);
    // Empties the grid; the headings stay.
    void limpia();
    // One resolved cell (position 5 to 8), shown at once.
    void estableceResuelto(int fila, int posicion, const QString& texto);
    // Every row's four resolved cells, shown in one go.
    void estableceResueltos(std::vector<Resueltos> resueltos);

    const Recordset& registros() const { return m_registros; }
    // The cell as the grid shows it.
    QString texto(int fila, int posicion) const;

    // The heading of a position; empty for the hidden ones.
    static QString encabezado(int posicion);
    // The width of a position's column in twips (0: hidden).
    static int anchoEnTwips(int posicion);

    int rowCount(const QModelIndex& padre = {}) const override;
    int columnCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol = Qt::DisplayRole) const override;
    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& indice) const override;

private:
    Recordset m_registros;
    std::vector<Resueltos> m_resueltos;
    std::vector<quint8> m_marcados; // bit p-5: position p resolved
};
