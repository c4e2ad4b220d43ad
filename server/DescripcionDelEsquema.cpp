#include "server/DescripcionDelEsquema.h"

#include "outside/ErrorDeEjecucion.h"

#include <QRegularExpression>
#include <algorithm>

namespace Esquema {

namespace {

const QString fuente = QStringLiteral("Esquema");

[[noreturn]] void noSeLee(const QString& tabla, const QString& texto) {
    throw ErrorDeEjecucion(CodigoDeError::Interno,
                           QStringLiteral("La definición de la tabla %1 tiene una restricción que la "
                                          "descripción del esquema no sabe leer: \"%2\".")
                               .arg(tabla, texto),
                           fuente);
}

QStringList nombres(const QString& lista) {
    QStringList salida;
    for (const QString& n : lista.split(QLatin1Char(',')))
        salida << n.trimmed();
    return salida;
}

// What may follow a foreign key: the actions and the deferral, which the
// description does not carry.
const QRegularExpression accionesDeLlave(
    QStringLiteral("^(\\s+(on (delete|update) (cascade|set null|restrict|no action)|deferrable|"
                   "initially (deferred|immediate)))*\\s*$"));

// A column's own constraints: "not null", "primary key", "unique", "default
// <value>", "references <table> (<column>)", in any order.
void leeResto(const QString& tabla, const Columna& c, ColumnaDescrita& columna, TablaDescrita& descrita) {
    static const QRegularExpression parte(QStringLiteral(
        "\\G\\s*(not null|primary key|unique|default ('[^']*'|-?[0-9]+)|references (\\S+) \\(([^)]+)\\))"));
    const QString resto = c.resto.trimmed();
    qsizetype desde = 0;
    while (desde < resto.size()) {
        const QRegularExpressionMatch m = parte.match(resto, desde);
        if (!m.hasMatch())
            noSeLee(tabla, c.resto);
        const QString que = m.captured(1);
        if (que == QLatin1String("not null")) {
            columna.admiteNulo = false;
        } else if (que == QLatin1String("primary key")) {
            columna.admiteNulo = false;
            descrita.llavePrimaria = {c.nombre};
        } else if (que == QLatin1String("unique")) {
            columna.unico = true;
        } else if (que.startsWith(QLatin1String("default"))) {
            columna.porDefecto = m.captured(2);
        } else if (que.startsWith(QLatin1String("references"))) {
            descrita.llavesForaneas << LlaveForanea{{c.nombre}, m.captured(3), nombres(m.captured(4))};
        }
        desde = m.capturedEnd(0);
    }
}

// The table's constraints: "primary key (...)", "foreign key (...) references
// t (...) [actions]", and the checks and uniques, which it leaves out.
void leeRestriccion(const QString& texto, TablaDescrita& descrita) {
    static const QRegularExpression primaria(QStringLiteral("^primary key \\(([^)]+)\\)$"));
    static const QRegularExpression foranea(
        QStringLiteral("^foreign key \\(([^)]+)\\) references (\\S+) \\(([^)]+)\\)(.*)$"));
    const QString t = texto.trimmed();
    if (const auto m = primaria.match(t); m.hasMatch()) {
        descrita.llavePrimaria = nombres(m.captured(1));
        return;
    }
    if (const auto m = foranea.match(t); m.hasMatch() && accionesDeLlave.match(m.captured(4)).hasMatch()) {
        descrita.llavesForaneas << LlaveForanea{nombres(m.captured(1)), m.captured(2),
                                                nombres(m.captured(3))};
        return;
    }
    if (t.startsWith(QLatin1String("check (")) && t.endsWith(QLatin1Char(')'))) {
        descrita.chequeos << t.mid(7, t.size() - 8);
        return;
    }
    if (t.startsWith(QLatin1String("unique (")))
        return;
    noSeLee(descrita.nombre, texto);
}

TablaDescrita describe(const Tabla& tabla) {
    TablaDescrita d{tabla.nombre, {}, {}, {}};
    for (const Columna& c : tabla.columnas) {
        ColumnaDescrita columna{c.nombre, c.tipo, c.tipo == Tipo::VarChar ? c.largo : 0, true, {}};
        leeResto(tabla.nombre, c, columna, d);
        d.columnas << columna;
    }
    for (const QString& r : tabla.restricciones)
        leeRestriccion(r, d);
    // The key's columns never hold a null, whether or not they say so.
    for (ColumnaDescrita& c : d.columnas)
        if (d.llavePrimaria.contains(c.nombre))
            c.admiteNulo = false;
    return d;
}

} // namespace

QList<TablaDescrita> descripcion(Catalogo catalogo) {
    return descripcion(catalogo, versionActual(catalogo));
}

QList<TablaDescrita> descripcion(Catalogo catalogo, int version) {
    QList<TablaDescrita> pendientes;
    for (const Tabla& t : tablas(catalogo, version))
        pendientes << describe(t);
    // Key order, keeping the definitions' order where the keys allow it.
    QList<TablaDescrita> ordenadas;
    QStringList puestas;
    while (!pendientes.isEmpty()) {
        const auto lista = std::find_if(pendientes.begin(), pendientes.end(), [&](const TablaDescrita& t) {
            return std::all_of(t.llavesForaneas.cbegin(), t.llavesForaneas.cend(),
                               [&](const LlaveForanea& f) {
                                   return f.tabla.compare(t.nombre, Qt::CaseInsensitive) == 0 ||
                                          puestas.contains(f.tabla, Qt::CaseInsensitive);
                               });
        });
        if (lista == pendientes.end()) {
            QStringList quedan;
            for (const TablaDescrita& t : pendientes)
                quedan << t.nombre;
            throw ErrorDeEjecucion(CodigoDeError::Interno,
                                   QStringLiteral("Las llaves foráneas de las tablas %1 forman un círculo o "
                                                  "apuntan a una tabla que el catálogo no tiene.")
                                       .arg(quedan.join(QStringLiteral(", "))),
                                   fuente);
        }
        puestas << lista->nombre;
        ordenadas << *lista;
        pendientes.erase(lista);
    }
    return ordenadas;
}

} // namespace Esquema
