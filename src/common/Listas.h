#pragma once

#include "outside/hojas/HojaDeCalculo.h"

#include <QString>
#include <optional>

class QAbstractItemModel;
class QHeaderView;
class QTableView;
class QWidget;

// "Exportar...": any list of the program taken into a spreadsheet, as its
// grid shows it. One mapping from a grid to a table, one way of asking for
// the file, for every window.
namespace Listas {

// What the grid shows, as a table: the columns not hidden, in the order the
// header shows them, under their heading texts; the rows not hidden, in the
// order on view. A cell whose value (the model's edit role) is a date or a
// number is typed as one; any other is the text shown (a date shown as a date
// value, day/month/year). Without headers, every
// column and row in the model's order.
Hojas::Tabla TablaDe(const QAbstractItemModel& modelo, const QHeaderView* columnas = nullptr,
                     const QHeaderView* filas = nullptr);
Hojas::Tabla TablaDe(const QTableView& rejilla);

// Asks where to write the table (a file dialog, .xlsx or .csv, suggesting
// "<descripción> <fecha> <hora>.xlsx" in the TALOREN folder of the user's
// documents, made when missing, numbered " (2)"... so as never to name a file
// that exists), asks before replacing a file that was chosen ("No" first),
// writes it and tells where. Errors are reported in the window's way.
void Exporta(QWidget& ventana, Hojas::Tabla tabla, const QString& descripcion);

// The folder where lists go: the documents folder's TALOREN, as for every
// document the program makes. Tests put their own while one of these lives.
QString Carpeta();
class SustitutoDeCarpeta {
public:
    explicit SustitutoDeCarpeta(QString carpeta);
    ~SustitutoDeCarpeta();
    SustitutoDeCarpeta(const SustitutoDeCarpeta&) = delete;
    SustitutoDeCarpeta& operator=(const SustitutoDeCarpeta&) = delete;

private:
    std::optional<QString> m_anterior;
};

// "<base>.xlsx", or "<base> (n).xlsx" with the first n from 2 that no file of `carpeta` has.
QString NombreLibre(const QString& carpeta, const QString& base);

} // namespace Listas
