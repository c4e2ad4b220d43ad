#include "queries/ResolucionDeNombres.h"

#include "outside/Conexion.h"

#include <QHash>
#include <QSet>

namespace ResolucionDeNombres {

namespace {

// The rows of a catalogue whose key column holds one of `claves`: by a bound
// list, or the whole catalogue when the list would be long. Nothing is read
// for no keys.
Recordset lee(Conexion& kelmar, const QString& consulta, const QString& columna,
              const QSet<QString>& claves) {
    if (claves.isEmpty())
        return {};
    if (claves.size() > MaximoDeClavesPorLista)
        return kelmar.ejecuta(consulta);
    QVariantList valores;
    valores.reserve(claves.size());
    QStringList marcas;
    for (const QString& c : claves) {
        valores << c;
        marcas << QStringLiteral("?");
    }
    return kelmar.ejecuta(consulta + QStringLiteral(" where ") + columna + QStringLiteral(" in (") +
                              marcas.join(QLatin1Char(',')) + QLatin1Char(')'),
                          valores);
}

// A key as a look-up compares it: its text trimmed; a null is empty.
QString clave(const Recordset& rs, int fila, int posicion) {
    return rs.texto(fila, posicion).trimmed();
}

} // namespace

std::vector<ModeloDeEventos::Resueltos> Resuelve(const Recordset& eventos, Conexion& kelmar) {
    const int filas = eventos.filas();
    QSet<QString> funcionarios, municipios;
    for (int i = 0; i < filas; ++i) {
        funcionarios.insert(clave(eventos, i, ModeloDeEventos::Cargo));
        municipios.insert(clave(eventos, i, ModeloDeEventos::Municipio));
    }

    struct Funcionario {
        QString nombre, cargo;
    };
    QHash<QString, Funcionario> staff;
    QSet<QString> cargos;
    {
        const Recordset rs =
            lee(kelmar, QStringLiteral("select cvefuncionario, nombre, cvecargo from funcionarios"),
                QStringLiteral("cvefuncionario"), funcionarios);
        for (int i = 0; i < rs.filas(); ++i) {
            const Funcionario f{rs.texto(i, 1), rs.texto(i, 2).trimmed()};
            staff.insert(rs.texto(i, 0), f);
            cargos.insert(f.cargo);
        }
    }
    QHash<QString, QString> descripciones;
    {
        const Recordset rs = lee(kelmar, QStringLiteral("select cvecargo, descripcion from cargos"),
                                 QStringLiteral("cvecargo"), cargos);
        for (int i = 0; i < rs.filas(); ++i)
            descripciones.insert(rs.texto(i, 0), rs.texto(i, 1));
    }
    QHash<QString, QString> nombresDeMunicipio;
    {
        const Recordset rs = lee(kelmar, QStringLiteral("select cvemunicipio, nombre from municipios_tmp"),
                                 QStringLiteral("cvemunicipio"), municipios);
        for (int i = 0; i < rs.filas(); ++i)
            nombresDeMunicipio.insert(rs.texto(i, 0), rs.texto(i, 1));
    }
    // A locality is known by its municipality and its own key.
    QHash<QString, QHash<QString, QString>> localidades;
    {
        const Recordset rs = lee(kelmar, QStringLiteral("select municipio, localidad, nombre from localidad"),
                                 QStringLiteral("municipio"), municipios);
        for (int i = 0; i < rs.filas(); ++i)
            localidades[rs.texto(i, 0)].insert(rs.texto(i, 1), rs.texto(i, 2));
    }

    std::vector<ModeloDeEventos::Resueltos> resueltos(static_cast<std::size_t>(filas));
    for (int i = 0; i < filas; ++i) {
        ModeloDeEventos::Resueltos& r = resueltos[std::size_t(i)];
        const QString municipio = clave(eventos, i, ModeloDeEventos::Municipio);
        r[0] = nombresDeMunicipio.value(municipio);
        r[1] = localidades.value(municipio).value(clave(eventos, i, ModeloDeEventos::Localidad));
        const auto f = staff.constFind(clave(eventos, i, ModeloDeEventos::Cargo));
        if (f == staff.constEnd()) {
            // Not on the staff: the name and post recorded with the event.
            r[2] = eventos.texto(i, ModeloDeEventos::Representante);
            r[3] = eventos.texto(i, 15);
        } else {
            r[2] = f->nombre;
            const auto d = descripciones.constFind(f->cargo);
            r[3] = d == descripciones.constEnd() ? eventos.texto(i, 15) : *d;
        }
    }
    return resueltos;
}

} // namespace ResolucionDeNombres
