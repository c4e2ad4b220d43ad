#include "reports/Impresora.h"

#include "outside/ErrorDeEjecucion.h"

#include <QPainter>
#include <QPrinterInfo>

namespace {
std::function<std::unique_ptr<QPrinter>()> sustituta;

std::unique_ptr<QPrinter> delEquipo() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}
} // namespace

std::unique_ptr<QPrinter> Impresora::predeterminada() {
    auto impresora = sustituta ? sustituta() : delEquipo();
    if (!impresora)
        throw ErrorDeEjecucion(CodigoDeError::Impresion,
                               QStringLiteral("No hay una impresora predeterminada instalada en este equipo: "
                                              "instale una o vea el reporte en pantalla."),
                               QStringLiteral("TALOREN"));
    return impresora;
}

void Impresora::imprime(Reporte& reporte, QPrinter& impresora, const Reporte::Progreso& progreso) {
    const DefinicionDeReporte& d = reporte.definicion();
    const QString nombre =
        impresora.printerName().isEmpty() ? impresora.outputFileName() : impresora.printerName();
    const auto falla = [&](const QString& motivo) {
        return ErrorDeEjecucion(CodigoDeError::Impresion, motivo, nombre);
    };
    if (!impresora.setPageLayout(d.pagina))
        throw falla(QStringLiteral("La impresora %1 no acepta la hoja del reporte %2 (%3).")
                        .arg(nombre, d.archivo, d.pagina.pageSize().name()));
    impresora.setDocName(d.titulo);
    QPainter pintor;
    if (!pintor.begin(&impresora))
        throw falla(QStringLiteral("No se pudo comenzar a imprimir en %1.").arg(nombre));
    try {
        reporte.pinta(pintor, impresora, progreso);
    } catch (...) {
        // Half a report never reaches the paper.
        impresora.abort();
        throw;
    }
    if (!pintor.end() || impresora.printerState() == QPrinter::Error)
        throw falla(
            QStringLiteral("La impresora %1 no terminó de recibir el reporte %2.").arg(nombre, d.archivo));
}

Impresora::Sustituto::Sustituto(std::function<std::unique_ptr<QPrinter>()> impresora)
    : m_anterior(std::move(sustituta)) {
    sustituta = std::move(impresora);
}

Impresora::Sustituto::~Sustituto() {
    sustituta = std::move(m_anterior);
}
