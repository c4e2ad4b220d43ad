#include "server/Catalogos.h"

#include "outside/Conexion.h"
#include "outside/ReglaDeNombres.h"
#include "server/ConsultaDeEventos.h"

#include <QHash>
#include <QSet>

namespace {

// The rows of a catalogue whose name is `nombre` under the name rule (case
// and accents aside), the one spelt exactly so first. `consulta` ends where
// the name condition goes; `previos` are the values it binds before it.
Recordset porNombre(Conexion& c, const QString& consulta, const QString& nombre, QVariantList previos = {}) {
    const QString columna = QStringLiteral("nombre");
    previos << ReglaDeNombres::paraBuscar(nombre) << nombre;
    return c.ejecuta(consulta + QStringLiteral("taloren_busqueda(%1) = ? order by case when %1 = ? then 0 "
                                               "else 1 end, %2")
                                    .arg(columna, ReglaDeNombres::ordenPor(columna)),
                     previos);
}

QStringList columna(const Recordset& rs, int n = 0) {
    QStringList valores;
    valores.reserve(rs.filas());
    for (int i = 0; i < rs.filas(); ++i)
        valores << rs.texto(i, n);
    return valores;
}

std::optional<QString> primero(const Recordset& rs) {
    if (rs.estaVacio())
        return std::nullopt;
    return rs.texto(0, 0);
}

QString ordenadoPor(const char* columna) {
    return QStringLiteral(" order by ") + ReglaDeNombres::ordenPor(QString::fromLatin1(columna));
}

// The rows of a catalogue whose key column holds one of `claves`: by a bound
// list, or the whole catalogue when the list would be long. Nothing is read
// for no keys.
Recordset porClaves(Conexion& kelmar, const QString& consulta, const QString& columna,
                    const QSet<QString>& claves) {
    if (claves.isEmpty())
        return {};
    if (claves.size() > Catalogos::MaximoDeClavesPorLista)
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

QStringList Catalogos::suscriptoresFrecuentes() {
    return columna(m_taloren.ejecuta(
        QStringLiteral("select nombre from suscriptor_frecuente group by nombre") + ordenadoPor("nombre")));
}

QStringList Catalogos::municipios() {
    return columna(
        m_kelmar.ejecuta(QStringLiteral("select nombre from municipios_tmp") + ordenadoPor("nombre")));
}

QStringList Catalogos::funcionarios() {
    return columna(
        m_kelmar.ejecuta(QStringLiteral("select nombre from funcionarios") + ordenadoPor("nombre")));
}

QStringList Catalogos::lugares() {
    const Recordset rs = m_taloren.ejecuta(
        QStringLiteral("select direccion, lugar from direcciones_eventos") + ordenadoPor("lugar"));
    QStringList lugares;
    lugares.reserve(rs.filas());
    for (int i = 0; i < rs.filas(); ++i)
        lugares << rs.texto(i, QStringLiteral("lugar")).trimmed() + QStringLiteral(", ") +
                       rs.texto(i, QStringLiteral("direccion"));
    return lugares;
}

QStringList Catalogos::instrucciones() {
    const Recordset rs =
        m_taloren.ejecuta(QStringLiteral("select clave_instruccion, descripcion from cat_instrucciones") +
                          ordenadoPor("descripcion"));
    QStringList instrucciones;
    instrucciones.reserve(rs.filas());
    for (int i = 0; i < rs.filas(); ++i)
        instrucciones << rs.texto(i, QStringLiteral("clave_instruccion")) + QLatin1Char(' ') +
                             rs.texto(i, QStringLiteral("descripcion"));
    return instrucciones;
}

QStringList Catalogos::localidades(const QString& cveMunicipio) {
    return columna(m_kelmar.ejecuta(QStringLiteral("select nombre from localidad where municipio = ?") +
                                        ordenadoPor("nombre"),
                                    {cveMunicipio}));
}

std::optional<Catalogos::Funcionario> Catalogos::funcionarioPorNombre(const QString& nombre) {
    const Recordset rs = porNombre(
        m_kelmar, QStringLiteral("select cvefuncionario, nombre, cvecargo, cvearea from funcionarios where "),
        nombre);
    if (rs.estaVacio())
        return std::nullopt;
    return Funcionario{rs.texto(0, 0), rs.texto(0, 1), rs.texto(0, 2), rs.texto(0, 3)};
}

std::optional<Catalogos::Clave> Catalogos::municipioPorNombre(const QString& nombre) {
    const Recordset rs =
        porNombre(m_kelmar, QStringLiteral("select cvemunicipio, nombre from municipios_tmp where "), nombre);
    if (rs.estaVacio())
        return std::nullopt;
    return Clave{rs.texto(0, 0), rs.texto(0, 1)};
}

std::optional<Catalogos::Clave> Catalogos::localidadPorNombre(const QString& cveMunicipio,
                                                              const QString& nombre) {
    const Recordset rs = porNombre(
        m_kelmar, QStringLiteral("select localidad, nombre from localidad where municipio = ? and "), nombre,
        {cveMunicipio});
    if (rs.estaVacio())
        return std::nullopt;
    return Clave{rs.texto(0, 0), rs.texto(0, 1)};
}

std::optional<QString> Catalogos::cargoDeSuscriptor(const QString& nombre) {
    return primero(porNombre(
        m_taloren, QStringLiteral("select cargo, nombre from suscriptor_frecuente where "), nombre));
}

std::optional<Catalogos::Funcionario> Catalogos::funcionario(const QString& clave) {
    const Recordset rs = m_kelmar.ejecuta(
        QStringLiteral(
            "select cvefuncionario, nombre, cvecargo, cvearea from funcionarios where cvefuncionario = ?"),
        {clave});
    if (rs.estaVacio())
        return std::nullopt;
    return Funcionario{rs.texto(0, 0), rs.texto(0, 1), rs.texto(0, 2), rs.texto(0, 3)};
}

std::optional<QString> Catalogos::municipio(const QString& clave) {
    return primero(m_kelmar.ejecuta(
        QStringLiteral("select nombre from municipios_tmp where cvemunicipio = ?"), {clave}));
}

std::optional<QString> Catalogos::localidad(const QString& cveMunicipio, const QString& clave) {
    return primero(
        m_kelmar.ejecuta(QStringLiteral("select nombre from localidad where localidad = ? and municipio = ?"),
                         {clave, cveMunicipio}));
}

std::optional<QString> Catalogos::cargo(const QString& clave) {
    return primero(
        m_kelmar.ejecuta(QStringLiteral("select descripcion from cargos where cvecargo = ?"), {clave}));
}

std::optional<QString> Catalogos::area(const QString& clave) {
    return primero(m_kelmar.ejecuta(QStringLiteral("select nombre from areas where cvearea = ?"), {clave}));
}

std::optional<QString> Catalogos::instruccion(int clave) {
    return primero(m_taloren.ejecuta(
        QStringLiteral("select descripcion from cat_instrucciones where clave_instruccion = ?"), {clave}));
}

std::vector<Catalogos::NombresDelEvento> Catalogos::resuelve(const Recordset& eventos) {
    using namespace ConsultaDeEventos;
    const int filas = eventos.filas();
    QSet<QString> funcionarios, municipios;
    for (int i = 0; i < filas; ++i) {
        funcionarios.insert(clave(eventos, i, ColumnaClaveDelFuncionario));
        municipios.insert(clave(eventos, i, ColumnaMunicipio));
    }

    struct DelPersonal {
        QString nombre, cargo;
    };
    QHash<QString, DelPersonal> staff;
    QSet<QString> cargos;
    {
        const Recordset rs =
            porClaves(m_kelmar, QStringLiteral("select cvefuncionario, nombre, cvecargo from funcionarios"),
                      QStringLiteral("cvefuncionario"), funcionarios);
        for (int i = 0; i < rs.filas(); ++i) {
            const DelPersonal f{rs.texto(i, 1), rs.texto(i, 2).trimmed()};
            staff.insert(rs.texto(i, 0), f);
            cargos.insert(f.cargo);
        }
    }
    QHash<QString, QString> descripciones;
    {
        const Recordset rs = porClaves(m_kelmar, QStringLiteral("select cvecargo, descripcion from cargos"),
                                       QStringLiteral("cvecargo"), cargos);
        for (int i = 0; i < rs.filas(); ++i)
            descripciones.insert(rs.texto(i, 0), rs.texto(i, 1));
    }
    QHash<QString, QString> nombresDeMunicipio;
    {
        const Recordset rs =
            porClaves(m_kelmar, QStringLiteral("select cvemunicipio, nombre from municipios_tmp"),
                      QStringLiteral("cvemunicipio"), municipios);
        for (int i = 0; i < rs.filas(); ++i)
            nombresDeMunicipio.insert(rs.texto(i, 0), rs.texto(i, 1));
    }
    // A locality is known by its municipality and its own key.
    QHash<QString, QHash<QString, QString>> localidades;
    {
        const Recordset rs =
            porClaves(m_kelmar, QStringLiteral("select municipio, localidad, nombre from localidad"),
                      QStringLiteral("municipio"), municipios);
        for (int i = 0; i < rs.filas(); ++i)
            localidades[rs.texto(i, 0)].insert(rs.texto(i, 1), rs.texto(i, 2));
    }

    std::vector<NombresDelEvento> resueltos(static_cast<std::size_t>(filas));
    for (int i = 0; i < filas; ++i) {
        NombresDelEvento& r = resueltos[std::size_t(i)];
        const QString municipio = clave(eventos, i, ColumnaMunicipio);
        r[0] = nombresDeMunicipio.value(municipio);
        r[1] = localidades.value(municipio).value(clave(eventos, i, ColumnaLocalidad));
        const auto f = staff.constFind(clave(eventos, i, ColumnaClaveDelFuncionario));
        if (f == staff.constEnd()) {
            // Not on the staff: the name and post recorded with the event.
            r[2] = eventos.texto(i, ColumnaRepresentante);
            r[3] = eventos.texto(i, ColumnaCargoAnotado);
        } else {
            r[2] = f->nombre;
            const auto d = descripciones.constFind(f->cargo);
            r[3] = d == descripciones.constEnd() ? eventos.texto(i, ColumnaCargoAnotado) : *d;
        }
    }
    return resueltos;
}
