#include "Procedimientos.h"

void CatalogoDeProcedimientos::registra(Procedimiento procedimiento) {
    const QString clave = procedimiento.nombre.toLower();
    m_procedimientos.insert(clave, std::move(procedimiento));
}

const Procedimiento* CatalogoDeProcedimientos::busca(const QString& nombre) const {
    const auto it = m_procedimientos.constFind(nombre.trimmed().toLower());
    return it == m_procedimientos.constEnd() ? nullptr : &it.value();
}
