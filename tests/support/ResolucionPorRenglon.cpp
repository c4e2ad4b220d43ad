#include "support/ResolucionPorRenglon.h"

#include "outside/Conexion.h"
#include "queries/ModeloDeEventos.h"

#include <QAbstractItemView>

namespace ResolucionPorRenglon {

void Resuelve(ModeloDeEventos& grid, Conexion& kelmar, QAbstractItemView* vista) {
    const Recordset& rs = grid.registros();
    for (int fila = 0; fila < rs.filas(); ++fila) {
        const QString municipio = rs.texto(fila, ModeloDeEventos::Municipio).trimmed();
        const QString localidad = rs.texto(fila, ModeloDeEventos::Localidad).trimmed();
        const QString funcionario = rs.texto(fila, ModeloDeEventos::Cargo).trimmed();

        // obtiene_representante
        QString nombre, cargo;
        const Recordset f = kelmar.ejecuta(
            QStringLiteral("select nombre,cvecargo from funcionarios where cvefuncionario = ?"),
            {funcionario});
        if (f.estaVacio()) {
            nombre = rs.texto(fila, ModeloDeEventos::Representante);
            cargo = rs.texto(fila, 15);
        } else {
            nombre = f.texto(0, QStringLiteral("nombre"));
            const Recordset c =
                kelmar.ejecuta(QStringLiteral("select descripcion from cargos where cvecargo = ?"),
                               {f.texto(0, QStringLiteral("cvecargo")).trimmed()});
            cargo = c.estaVacio() ? rs.texto(fila, 15) : c.texto(0, QStringLiteral("descripcion"));
        }
        grid.estableceResuelto(fila, ModeloDeEventos::Representante, nombre);
        grid.estableceResuelto(fila, ModeloDeEventos::Cargo, cargo);
        if (vista)
            vista->viewport()->repaint();

        // convierte_municipio
        const Recordset m = kelmar.ejecuta(
            QStringLiteral("select nombre from municipios_tmp where cvemunicipio = ?"), {municipio});
        grid.estableceResuelto(fila, ModeloDeEventos::Municipio, m.estaVacio() ? QString() : m.texto(0, 0));
        const Recordset l = kelmar.ejecuta(
            QStringLiteral("select nombre from localidad where municipio = ? and localidad = ?"),
            {municipio, localidad});
        grid.estableceResuelto(fila, ModeloDeEventos::Localidad, l.estaVacio() ? QString() : l.texto(0, 0));
    }
    if (vista)
        vista->viewport()->repaint();
}

} // namespace ResolucionPorRenglon
