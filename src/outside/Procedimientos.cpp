#include "outside/Procedimientos.h"

#include "outside/ErrorDeEjecucion.h"

bool mismoNombreDeParametro(QStringView a, QStringView b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

Argumentos::Argumentos(const Procedimiento& procedimiento, QVariantList valores, QString fuente)
    : m_procedimiento(procedimiento), m_valores(std::move(valores)), m_fuente(std::move(fuente)) {}

int Argumentos::indice(QStringView nombre) const {
    for (int i = 0; i < m_procedimiento.firma.size(); ++i)
        if (mismoNombreDeParametro(m_procedimiento.firma.at(i).nombre, nombre))
            return i;
    throw ErrorDeEjecucion(CodigoDeError::Interno,
                           QStringLiteral("El procedimiento '%1' no tiene el parámetro '%2'.")
                               .arg(m_procedimiento.nombre, nombre.toString()),
                           m_fuente);
}

QVariant Argumentos::valor(QStringView nombre) const {
    return m_valores.value(indice(nombre));
}

int Argumentos::entero(QStringView nombre) const {
    const QVariant v = valor(nombre);
    if (v.isNull())
        throw ErrorDeEjecucion(CodigoDeError::Conversion,
                               QStringLiteral("El parámetro '%1' del procedimiento '%2' no puede ser nulo.")
                                   .arg(nombre.toString(), m_procedimiento.nombre),
                               m_fuente);
    return v.toInt();
}

QDateTime Argumentos::fecha(QStringView nombre) const {
    return Recordset::fechaHora(valor(nombre));
}

void Argumentos::estableceSalida(QStringView nombre, const QVariant& v) {
    const int i = indice(nombre);
    if (m_procedimiento.firma.at(i).direccion != Direccion::Salida)
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("El parámetro '%1' del procedimiento '%2' no es de salida.")
                                   .arg(nombre.toString(), m_procedimiento.nombre),
                               m_fuente);
    m_valores[i] = v;
}

void CatalogoDeProcedimientos::registra(Procedimiento procedimiento) {
    const QString clave = procedimiento.nombre.toLower();
    m_procedimientos.insert(clave, std::move(procedimiento));
}

const Procedimiento* CatalogoDeProcedimientos::busca(const QString& nombre) const {
    const auto it = m_procedimientos.constFind(nombre.trimmed().toLower());
    return it == m_procedimientos.constEnd() ? nullptr : &it.value();
}
