#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The portable format's files: RFC 4180 CSV in UTF-8, a header row of column
// names, and a null told apart from an empty text (an empty unquoted field
// against `""`). Files from elsewhere are read in the encoding they were
// written in: UTF-8 with or without a byte-order mark, or Windows-1252.
namespace Csv {

// A field: its text, or none for a null.
using Valor = std::optional<QString>;
using Fila = QList<Valor>;

// One line, ended by CRLF. A text is quoted when it is empty or holds a
// comma, a quote or a line break; `comoTexto` says which fields are texts
// (numbers and dates are never empty, so they never need quotes).
QByteArray linea(const Fila& campos, const QList<bool>& comoTexto);

struct Archivo {
    QString codificacion; // "UTF-8", "UTF-8 con marca de orden de bytes", "Windows-1252"
    QStringList encabezado;
    QList<Fila> filas;
};
// Reads a whole file's bytes; throws ErrorDeEjecucion naming `nombre` and
// the line for a quote left open, a row with another number of fields than
// the header, or an empty file.
Archivo lee(const QByteArray& bytes, const QString& nombre);

// Windows-1252 to text (the five bytes it leaves undefined are refused).
std::optional<QString> desdeWindows1252(const QByteArray& bytes);

} // namespace Csv
