#pragma once

#include "outside/AjustesDeConexion.h"
#include "server/DescripcionDelEsquema.h"
#include "server/intercambio/Csv.h"

#include <QJsonObject>
#include <QVariant>
#include <memory>

class Conexion;

// What the export and the import share: the settings they work with, the
// catalogs' names, a stored value as the portable format writes it.
namespace Intercambio::Comun {

inline const QString fuente = QStringLiteral("Intercambio");
inline constexpr const char* formatoDeFecha = "yyyy-MM-dd HH:mm:ss";
inline const QString nombreDelManifiesto = QStringLiteral("manifiesto.json");

// On a server, both catalogs as the administrator role (the accounts'
// digests and the history's trigger are its own); embedded, as they are.
AjustesDeConexion comoAdministrador(const AjustesDeConexion& ajustes);
const AjustesDeCatalogo& ajustesDe(const AjustesDeConexion& ajustes, Catalogo catalogo);
// Whether the catalog exists: its file, or its database on the server.
bool existe(const AjustesDeConexion& ajustes, Catalogo catalogo);
// The catalog opened for the import or the export; it must exist.
std::unique_ptr<Conexion> abre(const AjustesDeConexion& ajustes, Catalogo catalogo);

// A value read from a catalog as the portable format writes it: numbers in
// decimal, dates as "yyyy-MM-dd HH:mm:ss", texts as they are, null as none.
Csv::Valor comoTexto(const QVariant& valor, Esquema::Tipo tipo);
// The list of column names, for a statement.
QString listaDeColumnas(const Esquema::TablaDescrita& tabla);
// "order by" of the key, in the same order on both backends: by the
// characters' code points, whatever the server's collation.
QString ordenDeLaLlave(const Esquema::TablaDescrita& tabla, Motor motor);

} // namespace Intercambio::Comun
