#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QVariantList>

// The event register as the query window reads it: the events with their
// representative, subscriber and instruction, one row of sixteen columns each.
namespace ConsultaDeEventos {

// The query without conditions, ending in a blank: the search procedure adds
// its dates, the query sheets their folios and years. Columns by position:
// 0 Folio, 1 fecha, 2 hora, 3 Evento, 4 Dirección, 5 Municipio (key),
// 6 Localidad (key), 7 Representante, 8 Cargo (staff key), 9 observacion,
// 10 Representa a, 11 suscriptor, 12 Cargo_Susc, 13 Instruccion,
// 14 fecha_fisica, 15 cargo. With `fechasComoTexto` the two dates come as
// text from the server itself, which spares the client converting every one.
QString consultaBase(bool fechasComoTexto = false);

// consultaBase() limited to the events named by their years and, in each,
// their folios; `valores` receives what to bind.
QString deEventos(const QMap<int, QList<int>>& foliosPorAnio, QVariantList& valores);

// Positions of the answer that hold keys, and the post recorded with the event.
inline constexpr int ColumnaMunicipio = 5, ColumnaLocalidad = 6, ColumnaRepresentante = 7,
                     ColumnaClaveDelFuncionario = 8, ColumnaCargoAnotado = 15;

// "mm/dd/yyyy", the form in which the search procedure takes its dates.
inline constexpr const char* formatoDeFecha = "MM/dd/yyyy";

} // namespace ConsultaDeEventos
