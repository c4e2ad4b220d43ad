#include "support/CajaGuionada.h"

#include <QTest>

CajaGuionada::CajaGuionada() : m_enUso(*this) {}

CajaGuionada::~CajaGuionada() = default;

QStringList CajaGuionada::textos() const {
    QStringList t;
    for (const Caja& c : m_cajas)
        t << c.texto;
    return t;
}

CajaDeMensajes::Boton CajaGuionada::muestra(const Caja& caja) {
    m_cajas.append(caja);
    if (!m_respuestas.isEmpty())
        return m_respuestas.takeFirst();
    if (caja.botones == Botones(Aceptar))
        return Aceptar;
    QTest::qFail(qPrintable(QStringLiteral("una pregunta sin respuesta guionada: ") + caja.texto), __FILE__,
                 __LINE__);
    return caja.escape;
}
