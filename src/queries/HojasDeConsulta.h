#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class AplicacionDeTexto;
class Conexion;
class ModeloDeEventos;

// The query sheets: the events of the result grid, in its order, fifty to a
// document made from "PlantillaConsulta.dot", the fields of record k of each
// document ending in k. Each document reads its events again in one statement,
// each identified by its folio and the year of its date.
namespace HojasDeConsulta {

inline constexpr int EventosPorHoja = 50;
// The heading's field, which names the search's criteria; an office's own
// template may lack it.
inline constexpr char CampoDeCriterios[] = "txtcriterios";
// The fields of record k, without their number.
QStringList CamposDelRegistro();

struct Resultado {
    QStringList hechos;         // the documents saved, in order
    QStringList sinAbrir;       // those of them nothing on the desktop could open
    QStringList faltantes;      // "folio/año" of events no longer in the register, left out
    bool cancelado = false;     // stopped by the user before the last
    bool sinProcesador = false; // the word processor could not start
    QString sinCampo;           // the heading's field, when the template lacks it
};

// `sigue(hechos, total)` runs before each document (and after the last) and
// says whether to go on. `inicia` starts the word processor for each
// document, null when it cannot. `descripcion` says what the sheets are
// ("Consulta de eventos del 01-03-2024 al 05-03-2024"); each document adds its
// number. `criterios` goes in every sheet's heading ("del 01/03/2024 al
// 05/03/2024"). The rows of records a sheet does not hold, and of events gone
// since the search, are left out. Errors of the database or the template are
// thrown, with the documents made so far already saved and listed in `resultado`.
void Genera(const ModeloDeEventos& grid, Conexion& taloren, const QString& descripcion,
            const QString& criterios, const std::function<std::unique_ptr<AplicacionDeTexto>()>& inicia,
            const std::function<bool(int, int)>& sigue, Resultado& resultado);

// The number of documents for so many events.
int Documentos(int eventos);

} // namespace HojasDeConsulta
