#pragma once

#include "outside/reportes/Reporte.h"

#include <QPrinter>
#include <functional>
#include <memory>

// The station's default printer, where a report goes without a print dialog.
namespace Impresora {

// A printer set up for the station's default printer, at its full resolution.
// Throws ErrorDeEjecucion (CodigoDeError::Impresion) when the station has none.
std::unique_ptr<QPrinter> predeterminada();

// Prints every page of a report that has read its data. Throws when the
// printer does not take the report's sheet, cannot begin, refuses a page or
// cannot finish: Qt itself would say nothing.
void imprime(Reporte& reporte, QPrinter& impresora, const Reporte::Progreso& progreso = {});

// Tests put a printer of their own (a PDF file, or none) in place of the
// station's while one lives.
class Sustituto {
public:
    explicit Sustituto(std::function<std::unique_ptr<QPrinter>()> impresora);
    ~Sustituto();
    Sustituto(const Sustituto&) = delete;
    Sustituto& operator=(const Sustituto&) = delete;

private:
    std::function<std::unique_ptr<QPrinter>()> m_anterior;
};

} // namespace Impresora
