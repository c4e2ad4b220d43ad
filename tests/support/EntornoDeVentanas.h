#pragma once

#include "common/Modulo.h"
#include "support/BaseDePrueba.h"
#include "support/CajaGuionada.h"

#include <QDialog>
#include <QStringList>
#include <functional>

// The program's seams taken over for one window test: message boxes
// scripted, the end of the program recorded instead of done, and each modal
// window handed to the test (shown, so it loads, then closed) instead of
// blocking. Everything is put back when it goes.
class EntornoDeVentanas {
public:
    explicit EntornoDeVentanas(Motor motor = Motor::SQLite);
    ~EntornoDeVentanas();

    // Opens the program's two connections on this test's catalogs and logs
    // a user in, as the start-up leaves things for the work windows.
    void conecta(const QString& cuenta = QStringLiteral("admin"),
                 const QString& nick = QStringLiteral("Administrador"));

    BaseDePrueba base;
    CajaGuionada caja;
    int terminaciones = 0;
    QStringList mostradas;
    // What each error window shown said: its description, in order.
    QStringList errores;
    // Runs while a modal window stands, before it is closed.
    std::function<void(QDialog&)> alMostrar;

private:
    Modulo::SustitutoDelTerminador m_terminador;
    Modulo::SustitutoModal m_modal;
};
