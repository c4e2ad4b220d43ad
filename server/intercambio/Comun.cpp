#include "server/intercambio/Comun.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Servidor.h"
#include "server/administracion/Administracion.h"
#include "server/administracion/Apertura.h"

#include <QDir>
#include <QFileInfo>

namespace Intercambio::Comun {

AjustesDeConexion comoAdministrador(const AjustesDeConexion& ajustes) {
    return Administracion::comoAdministrador(ajustes);
}

const AjustesDeCatalogo& ajustesDe(const AjustesDeConexion& ajustes, Catalogo catalogo) {
    return catalogo == Catalogo::Kelmar ? ajustes.kelmar : ajustes.taloren;
}

bool existe(const AjustesDeConexion& ajustes, Catalogo catalogo) {
    const AjustesDeCatalogo& cat = ajustesDe(ajustes, catalogo);
    if (ajustes.motor == Motor::SQLite)
        return QFileInfo::exists(QDir(ajustes.carpeta).filePath(cat.baseDeDatos + QStringLiteral(".sqlite")));
    const AjustesDeConexion admin = comoAdministrador(ajustes);
    Conexion servidor(QStringLiteral("postgres"));
    servidor.abre(admin, admin.administrador);
    return !servidor.ejecuta(QStringLiteral("select 1 from pg_database where datname = ?"), {cat.baseDeDatos})
                .estaVacio();
}

std::unique_ptr<Conexion> abre(const AjustesDeConexion& ajustes, Catalogo catalogo) {
    if (!existe(ajustes, catalogo))
        throw ErrorDeEjecucion(CodigoDeError::Conexion,
                               ajustes.motor == Motor::SQLite
                                   ? QStringLiteral("No existe el catálogo %1 en la carpeta %2.")
                                         .arg(ajustesDe(ajustes, catalogo).baseDeDatos, ajustes.carpeta)
                                   : QStringLiteral("No existe el catálogo %1 en el servidor %2.")
                                         .arg(ajustesDe(ajustes, catalogo).baseDeDatos, ajustes.host),
                               fuente);
    return Servidor::abre(catalogo, comoAdministrador(ajustes));
}

Csv::Valor comoTexto(const QVariant& valor, Esquema::Tipo tipo) {
    if (valor.isNull())
        return std::nullopt;
    switch (tipo) {
    case Esquema::Tipo::SmallInt:
    case Esquema::Tipo::Integer:
        return QString::number(valor.toLongLong());
    case Esquema::Tipo::Timestamp:
        if (valor.metaType().id() == QMetaType::QDateTime)
            return valor.toDateTime().toString(QString::fromLatin1(formatoDeFecha));
        return valor.toString();
    case Esquema::Tipo::VarChar:
        break;
    }
    return valor.toString();
}

QString listaDeColumnas(const Esquema::TablaDescrita& tabla) {
    QStringList n;
    for (const Esquema::ColumnaDescrita& c : tabla.columnas)
        n << c.nombre;
    return n.join(QStringLiteral(", "));
}

QString ordenDeLaLlave(const Esquema::TablaDescrita& tabla, Motor motor) {
    QStringList partes;
    for (const QString& k : tabla.llavePrimaria) {
        const auto c = std::find_if(tabla.columnas.cbegin(), tabla.columnas.cend(),
                                    [&](const Esquema::ColumnaDescrita& d) { return d.nombre == k; });
        const bool texto = c != tabla.columnas.cend() && c->tipo == Esquema::Tipo::VarChar;
        // SQLite compares texts by their bytes, which in UTF-8 is the code
        // points' order; PostgreSQL's "C" collation does the same.
        partes << (texto && motor == Motor::PostgreSQL ? k + QStringLiteral(" collate \"C\"") : k);
    }
    return partes.isEmpty() ? QString() : QStringLiteral(" order by ") + partes.join(QStringLiteral(", "));
}

} // namespace Intercambio::Comun
