#include "CajaGuionada.h"

#include <QDebug>

CajaGuionada::CajaGuionada() {
    CajaDeMensajes::establece(this);
}

CajaGuionada::~CajaGuionada() {
    CajaDeMensajes::establece(nullptr);
}

CajaDeMensajes::Boton CajaGuionada::muestra(const Caja& caja) {
    m_cajas.append(caja);
    if (!m_respuestas.isEmpty())
        return m_respuestas.takeFirst();
    if (caja.botones == Botones(Aceptar))
        return Aceptar;
    ++m_sinRespuesta;
    qWarning().noquote() << "caja sin respuesta guionada:" << caja.texto;
    return caja.escape;
}
