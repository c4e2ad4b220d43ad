#pragma once

#include "outside/Recordset.h"
#include "outside/reportes/DefinicionDeReporte.h"

#include <QDateTime>
#include <QHash>
#include <QVariant>
#include <functional>
#include <memory>

class Conexion;
class QPagedPaintDevice;
class QPaintDevice;
class QPainter;

namespace CodigoDeError {
// A report definition that cannot be read or does not fit its data.
inline constexpr int DefinicionDeReporte = 20515;
// A report parameter out of place, of the wrong kind or without a value.
inline constexpr int ParametroDeReporte = 20553;
// A printer or a file that does not take the report's pages.
inline constexpr int Impresion = 482;
} // namespace CodigoDeError

// The report engine: a definition opened from its file, its parameters set by
// position, its rows read on the kelmar connection (the log-on), and its pages
// laid out and painted with Qt onto any paged device: a printer, the preview,
// a PDF file. The layout is a band layout (a table row or a block of lines per
// record, the headings repeated on every page, the page numbers in the
// footer), done once per device and kept for the next painting.
class Reporte {
public:
    // What the engine is doing, for a wait panel: "Dibujando la página 3 de 12".
    using Progreso = std::function<void(const QString& leyenda)>;

    // Reads the definition at `ruta`. Throws ErrorDeEjecucion.
    explicit Reporte(const QString& ruta);
    ~Reporte();
    Reporte(const Reporte&) = delete;
    Reporte& operator=(const Reporte&) = delete;

    // Opens the definition of that name from the program's data folder.
    static std::unique_ptr<Reporte> abre(const QString& nombre);

    const DefinicionDeReporte& definicion() const { return m_definicion; }
    int numeroDeParametros() const { return int(m_definicion.parametros.size()); }
    // Positions count from 1. A date parameter takes a QDate, a text one any
    // text within its length, a logical one a bool. Throws otherwise.
    void estableceParametro(int posicion, const QVariant& valor);
    // Invalid while it has no value.
    QVariant parametro(int posicion) const;

    // Logs the report on: reads its rows with the definition's procedure, in
    // the connection's session. Every parameter needs a value first.
    void iniciaSesion(Conexion& conexion);
    // The rows of a report whose definition takes them from the program (its
    // "columnas"): every column it names must be there. Throws otherwise.
    void estableceDatos(Recordset datos);
    bool sesionIniciada() const { return m_sesionIniciada; }
    const Recordset& datos() const { return m_datos; }

    // The page count on that device, laying the report out for it when needed.
    int paginas(QPaintDevice& dispositivo, const Progreso& progreso = {});
    // Paints every page with a painter already begun on `dispositivo`, a new
    // page before each but the first. Throws ErrorDeEjecucion
    // (CodigoDeError::Impresion) when the painter is not active or the device
    // refuses a page: Qt would otherwise carry on silently.
    void pinta(QPainter& pintor, QPagedPaintDevice& dispositivo, const Progreso& progreso = {});
    // Writes the whole report to a PDF file. When it fails, the file is left
    // as it was (or absent).
    void guardaPdf(const QString& archivo, const Progreso& progreso = {});

    // A value as a template's field shows it with that format.
    static QString formatea(const QVariant& valor, const QString& formato);
    // The text a field of a template shows for a record (-1 outside one) on a
    // page (0 while it is unknown) of a report of `paginas` pages.
    QString valorDe(const Plantilla::Campo& campo, int fila, int pagina = 0, int paginas = 0) const;

private:
    // Checks that the rows give every field the templates use, then keeps them.
    void tomaDatos(Recordset datos, const QString& deDonde);
    struct Composicion;
    Composicion& compone(QPaintDevice& dispositivo, const Progreso& progreso);

    DefinicionDeReporte m_definicion;
    QVariantList m_valores;
    bool m_sesionIniciada = false;
    Recordset m_datos;
    QHash<QString, int> m_columnas; // lower-case name to position
    QDateTime m_impreso;
    std::unique_ptr<Composicion> m_composicion;
};
