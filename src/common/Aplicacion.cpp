#include "common/Aplicacion.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Idioma.h"

#include <cstdio>

AplicacionTaloren::AplicacionTaloren(int& argc, char** argv) : QApplication(argc, argv) {}

bool AplicacionTaloren::notify(QObject* receptor, QEvent* evento) {
    try {
        return QApplication::notify(receptor, evento);
    } catch (...) {
        const ErrorDeEjecucion error = ErrorDeEjecucion::actual();
        try {
            Modulo::ReportaError(error, Modulo::FormaDeReporte::CajaConDescripcion);
        } catch (...) {
            std::fprintf(stderr, "TALOREN: %s\n", error.what());
        }
        return false;
    }
}

void AplicacionTaloren::PreparaIdioma() {
    Idioma::PreparaEspanol("TALOREN");
}
