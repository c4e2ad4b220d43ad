#pragma once

#include "outside/CajaDeMensajes.h"

#include <QList>

// The person at the keyboard, scripted: answers queued by the test, every box
// recorded, in place while it lives. A box with only an OK button needs no
// answer; a question nobody scripted an answer for fails the test.
class CajaGuionada : public CajaDeMensajes {
public:
    CajaGuionada();
    ~CajaGuionada() override;

    void responde(Boton boton) { m_respuestas.append(boton); }
    Boton muestra(const Caja& caja) override;

    const QList<Caja>& cajas() const { return m_cajas; }
    const Caja& ultima() const { return m_cajas.constLast(); }
    QStringList textos() const;
    int pendientes() const { return int(m_respuestas.size()); }
    void olvida() { m_cajas.clear(); }

private:
    QList<Boton> m_respuestas;
    QList<Caja> m_cajas;
    CajaDeMensajes::Sustituto m_enUso;
};
