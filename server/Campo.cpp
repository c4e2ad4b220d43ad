#include "server/Campo.h"

namespace {

TipoDeParametro tipoDelParametro(Esquema::Tipo tipo) {
    switch (tipo) {
    case Esquema::Tipo::VarChar:
        return TipoDeParametro::VarChar;
    case Esquema::Tipo::SmallInt:
    case Esquema::Tipo::Integer:
        return TipoDeParametro::SmallInt;
    case Esquema::Tipo::Timestamp:
        return TipoDeParametro::Date;
    }
    return TipoDeParametro::VarChar;
}

} // namespace

Esquema::Columna Campo::columnaDelEsquema() const {
    return {QString::fromUtf8(columna), tipo, tipo == Esquema::Tipo::VarChar ? largo : 0,
            QString::fromUtf8(resto)};
}

Procedimiento::Firma Campo::firma() const {
    return {QString::fromUtf8(parametro), tipoDelParametro(tipo), Direccion::Entrada,
            tipo == Esquema::Tipo::VarChar ? largo : 0};
}

Parametro Campo::parametroCon(const QVariant& valor) const {
    const Procedimiento::Firma f = firma();
    return Parametro::entrada(f.nombre, f.tipo, f.tamano, valor);
}
