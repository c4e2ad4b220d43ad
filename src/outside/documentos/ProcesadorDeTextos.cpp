#include "outside/documentos/ProcesadorDeTextos.h"

#include "outside/ErrorDeEjecucion.h"

namespace {
ProcesadorDeTextos* instalado = nullptr;
}

ProcesadorDeTextos& ProcesadorDeTextos::actual() {
    if (!instalado)
        throw ErrorDeEjecucion(
            ErrorDeTextos::NoSeInicia,
            QStringLiteral("El programa no tiene procesador de textos con qué hacer documentos."),
            QStringLiteral("Procesador de textos"));
    return *instalado;
}

ProcesadorDeTextos::Sustituto::Sustituto(ProcesadorDeTextos& procesador) : m_anterior(instalado) {
    instalado = &procesador;
}

ProcesadorDeTextos::Sustituto::~Sustituto() {
    instalado = m_anterior;
}
