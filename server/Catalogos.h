#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class Conexion;
class Recordset;

// The catalogues the event register names its people and places by: staff
// (funcionarios) with their posts (cargos) and areas, municipalities and
// localities on kelmar; instructions, frequent subscribers and places on
// taloren. Names are found and sorted by the program's name rule
// (outside/ReglaDeNombres), the one spelt exactly so first.
class Catalogos {
public:
    Catalogos(Conexion& kelmar, Conexion& taloren) : m_kelmar(kelmar), m_taloren(taloren) {}

    struct Funcionario {
        QString clave;
        QString nombre;
        QString cveCargo;
        QString cveArea;
    };
    struct Clave {
        QString clave;
        QString nombre;
    };

    // Whole lists, each read in one statement, sorted by the name rule.
    QStringList suscriptoresFrecuentes(); // each name once
    QStringList municipios();
    QStringList funcionarios();
    QStringList lugares();       // "lugar, direccion", sorted by place
    QStringList instrucciones(); // "clave descripcion", sorted by description
    QStringList localidades(const QString& cveMunicipio);

    // By name.
    std::optional<Funcionario> funcionarioPorNombre(const QString& nombre);
    std::optional<Clave> municipioPorNombre(const QString& nombre);
    // Within a municipality: locality names repeat across municipalities.
    std::optional<Clave> localidadPorNombre(const QString& cveMunicipio, const QString& nombre);
    std::optional<QString> cargoDeSuscriptor(const QString& nombre);

    // By key: the name or description.
    std::optional<Funcionario> funcionario(const QString& clave);
    std::optional<QString> municipio(const QString& clave);
    std::optional<QString> localidad(const QString& cveMunicipio, const QString& clave);
    std::optional<QString> cargo(const QString& clave);
    std::optional<QString> area(const QString& clave);
    std::optional<QString> instruccion(int clave);

    // The names the event search shows for the keys of its events: the
    // municipality, the locality, the representative and his post (from the
    // staff catalogues for a staff member, as recorded with the event
    // otherwise). The events live in taloren and the names in kelmar, so no
    // join can do it: each catalogue is read once for the whole result, with
    // the keys the result holds, never a statement per event; at most four
    // statements on kelmar, whatever the rows. Each cell is what a look-up of
    // that event's own keys would give.
    using NombresDelEvento = std::array<QString, 4>;
    std::vector<NombresDelEvento> resuelve(const Recordset& eventos);
    // Above this many keys a catalogue is read whole rather than by a list.
    static constexpr int MaximoDeClavesPorLista = 500;

private:
    Conexion& m_kelmar;
    Conexion& m_taloren;
};
