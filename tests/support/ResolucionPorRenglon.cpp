#include "support/ResolucionPorRenglon.h"

#include "outside/Conexion.h"
#include "queries/ModeloDeEventos.h"

#include <QAbstractItemView>

void ResolucionPorRenglon::Resuelve(ModeloDeEventos& grid, Conexion& kelmar, QAbstractItemView* vista) {
    const Recordset& rs = grid.registros();
    // The first column of a single-row statement's answer, or what is given when there is none.
    const auto uno = [&](const char* sql, const QVariantList& valores, const QString& siNo = {}) {
        const Recordset r = kelmar.ejecuta(QString::fromLatin1(sql), valores);
        return r.estaVacio() ? siNo : r.texto(0, 0);
    };
    for (int fila = 0; fila < rs.filas(); ++fila) {
        const QString municipio = rs.texto(fila, ModeloDeEventos::Municipio).trimmed();
        const QString localidad = rs.texto(fila, ModeloDeEventos::Localidad).trimmed();
        const QString funcionario = rs.texto(fila, ModeloDeEventos::Cargo).trimmed();

        // obtiene_representante
        const Recordset f = kelmar.ejecuta(
            QStringLiteral("select nombre,cvecargo from funcionarios where cvefuncionario = ?"),
            {funcionario});
        const QString cargoAnotado = rs.texto(fila, 15);
        grid.estableceResuelto(fila, ModeloDeEventos::Representante,
                               f.estaVacio() ? rs.texto(fila, ModeloDeEventos::Representante)
                                             : f.texto(0, 0));
        grid.estableceResuelto(fila, ModeloDeEventos::Cargo,
                               f.estaVacio() ? cargoAnotado
                                             : uno("select descripcion from cargos where cvecargo = ?",
                                                   {f.texto(0, 1).trimmed()}, cargoAnotado));
        if (vista)
            vista->viewport()->repaint();

        // convierte_municipio
        grid.estableceResuelto(fila, ModeloDeEventos::Municipio,
                               uno("select nombre from municipios_tmp where cvemunicipio = ?", {municipio}));
        grid.estableceResuelto(fila, ModeloDeEventos::Localidad,
                               uno("select nombre from localidad where municipio = ? and localidad = ?",
                                   {municipio, localidad}));
    }
    if (vista)
        vista->viewport()->repaint();
}
