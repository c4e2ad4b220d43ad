#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A list taken into a spreadsheet: its headings and its rows of typed cells,
// written as an Office Open XML workbook (.xlsx), which LibreOffice Calc and
// Excel open with dates as dates and numbers as numbers, or as CSV.
namespace Hojas {

// Error numbers of the spreadsheet writer, positive as the program's own.
namespace ErrorDeHoja {
// The file could not be written: a folder that cannot be written, a full disk.
inline constexpr int NoSeEscribe = 75;
// The writer refused the contents (a text too long for a cell, say).
inline constexpr int Contenido = 5;
} // namespace ErrorDeHoja

struct Celda {
    enum class Tipo { Texto, Numero, Fecha, FechaHora };
    Tipo tipo = Tipo::Texto;
    // What the list shows; a CSV writes it as it is.
    QString texto;
    double numero = 0;
    QDateTime fecha;

    static Celda deTexto(const QString& texto) { return {Tipo::Texto, texto, 0, {}}; }
    static Celda deNumero(double numero, const QString& texto) { return {Tipo::Numero, texto, numero, {}}; }
    static Celda deFecha(const QDate& fecha, const QString& texto) {
        return {Tipo::Fecha, texto, 0, QDateTime(fecha, QTime(0, 0))};
    }
    static Celda deFechaHora(const QDateTime& fecha, const QString& texto) {
        return {Tipo::FechaHora, texto, 0, fecha};
    }
};

struct Tabla {
    // Names the workbook's sheet (cut to what a sheet name holds).
    QString nombre;
    QStringList encabezados;
    QList<QList<Celda>> filas;
};

enum class Formato { Xlsx, Csv };

// By the name's extension (.xlsx or .csv, in any case); none for another.
std::optional<Formato> formatoDe(const QString& archivo);

// Writes the table into `archivo`, whole or not at all: it is written under a
// temporary name of the same folder and takes its name only when complete.
// With `reemplaza` false a file already there is never touched. Throws
// ErrorDeEjecucion (ErrorDeHoja) with the reason in Spanish.
void escribe(const Tabla& tabla, const QString& archivo, Formato formato, bool reemplaza = false);

// The CSV of the table: UTF-8 with a byte-order mark (so that spreadsheets
// read its accents), a heading row, fields quoted as RFC 4180 says, lines
// ended by CR LF.
QByteArray csv(const Tabla& tabla);

// The width of each column, in characters, from its heading and its cells as
// shown: the library has no autofit.
QList<double> anchos(const Tabla& tabla);

} // namespace Hojas
