#include "reports/EntregaDeReporte.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "reports/FrmVerReporte.h"
#include "reports/Impresora.h"

void EntregaReporte(std::shared_ptr<Reporte> reporte, QWidget* padre) {
    try {
        const QString salida = Modulo::EligeSalidaDeReporte();
        if (salida == QLatin1String("Impresora")) {
            std::unique_ptr<QPrinter> impresora = Impresora::predeterminada();
            Impresora::imprime(*reporte, *impresora);
        } else if (salida == QLatin1String("Pantalla")) {
            FrmVerReporte vista(padre);
            vista.estableceReporte(reporte);
            Modulo::MuestraModal(vista);
        }
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}
