#include "outside/ErrorDeEjecucion.h"

#include <new>

ErrorDeEjecucion::ErrorDeEjecucion(int numero, QString descripcion, QString fuente, QString detalle)
    : m_numero(numero), m_descripcion(std::move(descripcion)), m_fuente(std::move(fuente)),
      m_detalle(std::move(detalle)),
      m_what((QStringLiteral("Error %1: %2 (%3)").arg(numero).arg(m_descripcion, m_fuente) +
              (m_detalle.isEmpty() ? QString() : QStringLiteral(" Detalle: ") + m_detalle))
                 .toUtf8()) {}

ErrorDeEjecucion ErrorDeEjecucion::actual() {
    const QString programa = QStringLiteral("TALOREN");
    try {
        throw;
    } catch (const ErrorDeEjecucion& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return ErrorDeEjecucion(CodigoDeError::SinMemoria, QStringLiteral("Memoria insuficiente."), programa);
    } catch (const std::exception& e) {
        return ErrorDeEjecucion(
            CodigoDeError::Interno,
            QStringLiteral("Error interno del programa: %1").arg(QString::fromLocal8Bit(e.what())), programa);
    } catch (...) {
        return ErrorDeEjecucion(CodigoDeError::Interno,
                                QStringLiteral("Error interno del programa de tipo desconocido."), programa);
    }
}
