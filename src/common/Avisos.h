#pragma once

#include "outside/CajaDeMensajes.h"

#include <QString>

class ErrorDeEjecucion;

// The program's two message titles and its ways of reporting an error, each
// stated once, so that no window words them again.
namespace Modulo {

// "TaLoREN" over the boxes of the shared routines (MensajeDeError,
// ConfirmaSiNo...), "TALOREN" over every other box of the program.
enum class Titulo { DeRutinas, DelPrograma };
QString TextoDelTitulo(Titulo titulo);

// Shows a box under one of the two titles; the caller leaves `caja.titulo`
// empty (a title of its own is refused, so that none is written twice).
CajaDeMensajes::Boton Avisa(CajaDeMensajes::Caja caja, Titulo titulo = Titulo::DelPrograma);

// How a window reports an error that interrupted its work: the error window
// (FrmErrores), or a box of the shared routine MensajeDeError holding "Error:
// <number>", the description after "Descripción: " or "Descp: ", and "Sourc:
// <source>".
enum class FormaDeReporte { Ventana, CajaConDescripcion, CajaConDescp };
void ReportaError(const ErrorDeEjecucion& error, FormaDeReporte forma);
// The same for the error being handled, inside a catch.
void ReportaErrorActual(FormaDeReporte forma);

} // namespace Modulo
