#pragma once

// Shows the event query window "Consulta de Eventos.." modally, loaded
// afresh, and returns when the user closes it. The main window's menu and the
// event capture window open it through here.
void AbreConsultas();
