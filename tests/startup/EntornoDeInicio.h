#pragma once

#include "BaseDePrueba.h"
#include "CajaGuionada.h"
#include "Modulo.h"

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <functional>

// The program's seams taken over for one test: message boxes scripted, the
// end of the program recorded instead of done, and each modal window handed
// to the test (shown, so it loads, then closed) instead of blocking.
struct EntornoDeInicio {
    explicit EntornoDeInicio(Motor motor = Motor::SQLite) : base(motor) {
        Modulo::EstableceTerminador([this] { ++terminaciones; });
        Modulo::EstableceMostradorModal([this](QDialog& ventana) {
            mostradas << ventana.objectName();
            ventana.show();
            if (alMostrar)
                alMostrar(ventana);
            const int resultado = ventana.result();
            ventana.hide();
            return resultado;
        });
    }
    ~EntornoDeInicio() {
        Modulo::EstableceTerminador({});
        Modulo::EstableceMostradorModal({});
        Modulo::DestruyeMdi();
        Modulo::CierraConexiones();
        Modulo::NickUsuario.clear();
        Modulo::CuentaUsuario.clear();
    }
    // Opens the program's two connections on this test's catalogs.
    void conecta() {
        Modulo::AbreConexion(Catalogo::Kelmar, base.ajustes());
        Modulo::AbreConexion(Catalogo::Taloren, base.ajustes());
    }

    BaseDePrueba base;
    CajaGuionada caja;
    int terminaciones = 0;
    QStringList mostradas;
    std::function<void(QDialog&)> alMostrar;
};
