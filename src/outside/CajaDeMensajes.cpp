#include "outside/CajaDeMensajes.h"

#include "outside/ErrorDeEjecucion.h"

namespace {
CajaDeMensajes* instalada = nullptr;
}

CajaDeMensajes& CajaDeMensajes::actual() {
    if (!instalada)
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("No hay dónde mostrar los mensajes del programa."),
                               QStringLiteral("TALOREN"));
    return *instalada;
}

CajaDeMensajes::Sustituto::Sustituto(CajaDeMensajes& caja) : m_anterior(instalada) {
    instalada = &caja;
}

CajaDeMensajes::Sustituto::~Sustituto() {
    instalada = m_anterior;
}
