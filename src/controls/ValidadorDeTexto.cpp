#include "controls/ValidadorDeTexto.h"

#include "outside/Texto.h"

ValidadorDeTexto::ValidadorDeTexto(int maximo, QObject* parent) : QValidator(parent), m_maximo(maximo) {}

QValidator::State ValidadorDeTexto::validate(QString& texto, int&) const {
    if (Texto::primerNoAdmitidoEnUnaLinea(texto) || Texto::caracteres(texto) > m_maximo)
        return Invalid;
    return Acceptable;
}
