#pragma once

#include "queries/ModeloDeEventos.h"

class Conexion;
class Recordset;

// The names the result grid shows for the keys of a search's events: the
// municipality and the locality, and the representative with his post (from
// the staff catalogues for a staff member, as recorded with the event
// otherwise). The events live in one catalog and the names in the other, so
// no join can do it: each catalogue is read once for the whole result, with
// the keys the result holds, never a statement per event. Each cell is what a
// look-up of that event's own keys would give.
namespace ResolucionDeNombres {

// For each row of `eventos` (the search's sixteen columns), the texts of
// positions 5 to 8. At most four statements on `kelmar`, whatever the rows.
std::vector<ModeloDeEventos::Resueltos> Resuelve(const Recordset& eventos, Conexion& kelmar);

// Above this many keys a catalogue is read whole rather than by a list.
inline constexpr int MaximoDeClavesPorLista = 500;

} // namespace ResolucionDeNombres
