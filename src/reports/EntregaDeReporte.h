#pragma once

#include <memory>

class Reporte;
class QWidget;

// A report that has its data, delivered as the report window delivers its
// own: the person chooses the screen (the preview, from which it can also be
// saved as PDF) or the station's printer. Errors are reported, never thrown.
void EntregaReporte(std::shared_ptr<Reporte> reporte, QWidget* padre);
