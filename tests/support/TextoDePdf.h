#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The text of a PDF file as pdftotext (poppler-utils) reads it, one entry per
// page. Stops the test program when pdftotext is missing: the reports' tests
// need it.
QStringList paginasDePdf(const QString& archivo);
// The numbers n of the markers "EVTnn" a text holds, sorted, as many times
// as each appears: the invitations a report shows, when each test invitation
// carries its marker in its description.
QList<int> marcasEn(const QString& texto);

// Whether LibreOffice (soffice) and pdftotext are installed: the tests that
// read a document back as a word processor lays it out need both.
bool hayLibreOffice();
// Each document converted to PDF by LibreOffice into `carpeta`, with a profile
// of its own; the PDFs' paths in the documents' order. Stops the test program
// when the conversion fails.
QStringList pdfsDeLibreOffice(const QStringList& documentos, const QString& carpeta);
