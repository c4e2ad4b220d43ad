#include "common/Avisos.h"

#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "outside/ErrorDeEjecucion.h"

namespace Modulo {

QString TextoDelTitulo(Titulo titulo) {
    return titulo == Titulo::DeRutinas ? QStringLiteral("TaLoREN") : QStringLiteral("TALOREN");
}

CajaDeMensajes::Boton Avisa(CajaDeMensajes::Caja caja, Titulo titulo) {
    if (!caja.titulo.isEmpty())
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("Un aviso trae su propio título (\"%1\"); los avisos llevan "
                                              "uno de los dos títulos del programa.")
                                   .arg(caja.titulo),
                               QStringLiteral("Avisa"));
    caja.titulo = TextoDelTitulo(titulo);
    return CajaDeMensajes::actual().muestra(caja);
}

void ReportaError(const ErrorDeEjecucion& error, FormaDeReporte forma) {
    switch (forma) {
    case FormaDeReporte::Ventana:
        FrmErrores::Reporta(error);
        return;
    case FormaDeReporte::CajaConDescripcion:
        MensajeDeError(TextoDeError(error, QStringLiteral("Descripción: ")));
        return;
    case FormaDeReporte::CajaConDescp:
        MensajeDeError(TextoDeError(error, QStringLiteral("Descp: ")));
        return;
    }
}

void ReportaErrorActual(FormaDeReporte forma) {
    ReportaError(ErrorDeEjecucion::actual(), forma);
}

} // namespace Modulo
