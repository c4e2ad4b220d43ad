#pragma once

#include "CajaDeMensajes.h"

#include <QList>

// The person at the keyboard, scripted: answers queued by the test, every box
// recorded. A box with only an OK button needs no answer.
class CajaGuionada : public CajaDeMensajes {
public:
    CajaGuionada();
    ~CajaGuionada() override;

    void responde(Boton boton) { m_respuestas.append(boton); }
    Boton muestra(const Caja& caja) override;

    const QList<Caja>& cajas() const { return m_cajas; }
    const Caja& ultima() const { return m_cajas.constLast(); }
    // Boxes that asked a question nobody had scripted an answer for.
    int sinRespuesta() const { return m_sinRespuesta; }
    int pendientes() const { return int(m_respuestas.size()); }
    void olvida() { m_cajas.clear(); }

private:
    QList<Boton> m_respuestas;
    QList<Caja> m_cajas;
    int m_sinRespuesta = 0;
};
