#pragma once

class Conexion;
class ModeloDeEventos;
class QAbstractItemView;

// The names of a search's grid resolved record by record: three or four
// single-row statements per event, one after another, with the grid refreshed after each event when a view is
// given. What the program's own resolution must equal, cell for cell, and
// the baseline its benchmark measures.
namespace ResolucionPorRenglon {
void Resuelve(ModeloDeEventos& grid, Conexion& kelmar, QAbstractItemView* vista = nullptr);
}
