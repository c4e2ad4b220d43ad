#include "outside/Reloj.h"

namespace {
const Reloj* instalado = nullptr;
}

const Reloj& Reloj::actual() {
    static const RelojDelSistema sistema;
    return instalado ? *instalado : sistema;
}

Reloj::Sustituto::Sustituto(const Reloj& reloj) : m_anterior(instalado) {
    instalado = &reloj;
}

Reloj::Sustituto::~Sustituto() {
    instalado = m_anterior;
}
