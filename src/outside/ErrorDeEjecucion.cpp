#include "ErrorDeEjecucion.h"

ErrorDeEjecucion::ErrorDeEjecucion(int numero, QString descripcion, QString fuente)
    : m_numero(numero), m_descripcion(std::move(descripcion)), m_fuente(std::move(fuente)),
      m_what(QStringLiteral("Error %1: %2 (%3)").arg(numero).arg(m_descripcion, m_fuente).toUtf8()) {}
