#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Recordset.h"
#include "outside/Texto.h"
#include "server/Historial.h"
#include "server/Servidor.h"
#include "server/administracion/Administracion.h"
#include "server/administracion/Apertura.h"
#include "server/administracion/Contrasenas.h"
#include "server/administracion/Migraciones.h"
#include "server/administracion/Semilla.h"
#include "server/intercambio/Comun.h"
#include "server/intercambio/Origen.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QTemporaryDir>
#include <QTime>
#include <pwd.h>
#include <unistd.h>
#include <variant>

namespace Intercambio {

namespace {

using namespace Comun;
using Esquema::ColumnaDescrita;
using Esquema::TablaDescrita;
using Esquema::Tipo;

// An account whose password did not come along: no password ever matches it.
const QString sinContrasena = QStringLiteral("!");

struct Rechazo {
    QString catalogo, tabla, llave, columna, motivo;
};
// Thrown to undo a trial run, and an import that refused rows.
struct Deshacer {};

[[noreturn]] void falla(const QString& texto) {
    throw ErrorDeEjecucion(CodigoDeError::Sentencia, texto, fuente);
}

// ----- an earlier server's dates: the order is decided for the whole column

const QRegularExpression formaDeFecha(QStringLiteral(
    "^(\\d{1,4})([-/.])(\\d{1,2})\\2(\\d{1,4})(?:[ T](\\d{1,2}):(\\d{2})(?::(\\d{2})(?:\\.(\\d+))?)?)?$"));

struct PartesDeFecha {
    QString p[3];
    int hora = 0, minuto = 0, segundo = 0;
    bool fraccion = false; // a fraction of a second other than zero
};

std::optional<PartesDeFecha> partes(const QString& texto) {
    const auto m = formaDeFecha.match(texto.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    PartesDeFecha p{{m.captured(1), m.captured(3), m.captured(4)},
                    m.captured(5).toInt(),
                    m.captured(6).toInt(),
                    m.captured(7).toInt(),
                    !m.captured(8).isEmpty() && m.captured(8).toLongLong() != 0};
    return p;
}

bool esCero(const PartesDeFecha& p) {
    return p.p[0].toInt() == 0 && p.p[1].toInt() == 0 && p.p[2].toInt() == 0;
}

// The date in the portable form under an order; empty when it is not one.
QString enOrden(const PartesDeFecha& p, OrdenDeFecha orden) {
    const int a = orden == OrdenDeFecha::AnioMesDia ? 0 : 2;
    const int m = orden == OrdenDeFecha::MesDiaAnio ? 0 : 1;
    const int d = orden == OrdenDeFecha::DiaMesAnio ? 0 : (orden == OrdenDeFecha::AnioMesDia ? 2 : 1);
    if (p.p[a].size() != 4 || p.fraccion)
        return {};
    const QDate fecha(p.p[a].toInt(), p.p[m].toInt(), p.p[d].toInt());
    const QTime hora(p.hora, p.minuto, p.segundo);
    if (!fecha.isValid() || !hora.isValid())
        return {};
    return fecha.toString(QStringLiteral("yyyy-MM-dd")) + u' ' + hora.toString(QStringLiteral("HH:mm:ss"));
}

const OrdenDeFecha ordenes[] = {OrdenDeFecha::AnioMesDia, OrdenDeFecha::DiaMesAnio, OrdenDeFecha::MesDiaAnio};

// The rule of one date column: its order, or why the column cannot tell.
std::variant<OrdenDeFecha, QString> reglaDeFechas(const QList<QString>& valores,
                                                  std::optional<OrdenDeFecha> indicada) {
    QList<OrdenDeFecha> posibles(std::begin(ordenes), std::end(ordenes));
    for (const QString& v : valores) {
        const auto p = partes(v);
        // A value that is no date in any order is refused by itself; it tells nothing of the column.
        if (!p || esCero(*p) || std::all_of(std::begin(ordenes), std::end(ordenes), [&](OrdenDeFecha o) {
                return enOrden(*p, o).isEmpty();
            }))
            continue;
        posibles.removeIf([&](OrdenDeFecha o) { return enOrden(*p, o).isEmpty(); });
    }
    if (posibles.size() == 1)
        return posibles.first();
    if (indicada)
        return *indicada;
    if (posibles.isEmpty())
        return QStringLiteral(
            "la columna mezcla fechas en distintos órdenes de día, mes y año; indique el suyo con "
            "--fechas dma|amd|mda");
    return QStringLiteral(
        "la columna no permite saber si sus fechas van en día/mes/año o en mes/día/año (ningún "
        "día pasa de 12); indique el orden con --fechas dma|mda");
}

// ----- the table's checks, as the schema writes them

struct Chequeo {
    int columna = -1;
    QString operador; // "in", ">", ">=", "="
    QStringList valores;
};

QList<Chequeo> chequeosDe(const TablaDescrita& t) {
    static const QRegularExpression lista(QStringLiteral("^(\\S+) in \\((.*)\\)$"));
    static const QRegularExpression comparacion(QStringLiteral("^(\\S+) (>=|>|=) (-?\\d+)$"));
    QList<Chequeo> r;
    const auto indice = [&](const QString& nombre) {
        for (int i = 0; i < t.columnas.size(); ++i)
            if (t.columnas.at(i).nombre.compare(nombre, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    for (const QString& texto : t.chequeos) {
        Chequeo c;
        if (const auto m = lista.match(texto); m.hasMatch()) {
            c = {indice(m.captured(1)), QStringLiteral("in"), {}};
            for (QString v : m.captured(2).split(u',')) {
                v = v.trimmed();
                if (v.startsWith(u'\'') && v.endsWith(u'\''))
                    v = v.mid(1, v.size() - 2);
                c.valores << v;
            }
        } else if (const auto m2 = comparacion.match(texto); m2.hasMatch()) {
            c = {indice(m2.captured(1)), m2.captured(2), {m2.captured(3)}};
        }
        if (c.columna < 0)
            throw ErrorDeEjecucion(
                CodigoDeError::Interno,
                QStringLiteral("La importación no sabe comprobar la regla \"%1\" de la tabla %2.")
                    .arg(texto, t.nombre),
                fuente);
        r << c;
    }
    return r;
}

std::optional<QString> incumple(const Chequeo& c, const Csv::Valor& v) {
    if (!v)
        return std::nullopt;
    if (c.operador == QLatin1String("in")) {
        if (c.valores.contains(*v))
            return std::nullopt;
        return QStringLiteral("\"%1\" no es uno de los valores admitidos (%2)")
            .arg(*v, c.valores.join(QStringLiteral(", ")));
    }
    const qlonglong n = v->toLongLong(), limite = c.valores.first().toLongLong();
    const bool bien = c.operador == QLatin1String(">")    ? n > limite
                      : c.operador == QLatin1String(">=") ? n >= limite
                                                          : n == limite;
    if (bien)
        return std::nullopt;
    return QStringLiteral("%1 no cumple la regla %2 %3").arg(*v, c.operador, c.valores.first());
}

// ----- one value, from the origin's text to the portable form

using Convertido = std::variant<Csv::Valor, QString>; // the value, or why it is refused

Convertido convierte(const ColumnaDescrita& c, const Csv::Valor& v, bool propio,
                     const std::variant<OrdenDeFecha, QString>* regla) {
    const bool vacio = !v || (!propio && v->isEmpty());
    if (vacio || (c.tipo != Tipo::VarChar && v->isEmpty())) {
        if (propio && v && c.tipo != Tipo::VarChar)
            return QStringLiteral("un texto vacío no es un número ni una fecha");
        if (c.admiteNulo)
            return Csv::Valor();
        if (!propio && c.tipo == Tipo::VarChar && c.porDefecto == QLatin1String("''"))
            return Csv::Valor(QStringLiteral(""));
        return QStringLiteral("está vacío y la columna no admite vacíos");
    }
    const QString& t = *v;
    switch (c.tipo) {
    case Tipo::VarChar: {
        if (const auto malo = Texto::primerNoAdmitido(t))
            return QStringLiteral("tiene %1, que no se admite en un texto").arg(Texto::describe(*malo));
        const qsizetype n = Texto::caracteres(t);
        if (n > c.largo)
            return QStringLiteral("tiene %1 caracteres y la columna admite %2").arg(n).arg(c.largo);
        return v;
    }
    case Tipo::SmallInt:
    case Tipo::Integer: {
        static const QRegularExpression entero(QStringLiteral("^[-+]?\\d{1,18}$"));
        const QString limpio = propio ? t : t.trimmed();
        if (!entero.match(limpio).hasMatch())
            return QStringLiteral("\"%1\" no es un número entero").arg(t);
        const qlonglong n = limpio.toLongLong();
        const qlonglong minimo = c.tipo == Tipo::SmallInt ? -32768 : -2147483648LL;
        const qlonglong maximo = c.tipo == Tipo::SmallInt ? 32767 : 2147483647LL;
        if (n < minimo || n > maximo)
            return QStringLiteral("%1 está fuera del intervalo de %2 (%3 a %4)")
                .arg(n)
                .arg(Esquema::textoDelTipo(c.tipo, 0))
                .arg(minimo)
                .arg(maximo);
        return Csv::Valor(QString::number(n));
    }
    case Tipo::Timestamp: {
        if (propio) {
            QDate dia;
            QTime hora;
            if (!Recordset::formaDelCatalogo(t, dia, hora))
                return QStringLiteral("\"%1\" no es una fecha aaaa-mm-dd hh:mm:ss").arg(t);
            return v;
        }
        const auto p = partes(t);
        if (!p)
            return QStringLiteral("\"%1\" no es una fecha dd/mm/aaaa ni aaaa-mm-dd").arg(t);
        if (esCero(*p))
            return QStringLiteral("\"%1\" es una fecha cero, que no se guarda como ninguna fecha").arg(t);
        if (const QString* motivo = std::get_if<QString>(regla))
            return *motivo;
        const QString f = enOrden(*p, std::get<OrdenDeFecha>(*regla));
        if (f.isEmpty())
            return QStringLiteral("\"%1\" no es una fecha válida en el orden de su columna").arg(t);
        if (f == QLatin1String("1900-01-01 00:00:00"))
            return QStringLiteral(
                       "\"%1\" es el día cero del servidor anterior, que no se guarda como ninguna "
                       "fecha")
                .arg(t);
        return Csv::Valor(f);
    }
    }
    return v;
}

QVariant paraEnlazar(const ColumnaDescrita& c, const Csv::Valor& v) {
    if (!v)
        return QVariant();
    if (c.tipo == Tipo::SmallInt || c.tipo == Tipo::Integer)
        return v->toInt();
    // An empty text stays a text: a null QString would be bound as a null.
    return v->isNull() ? QVariant(QStringLiteral("")) : QVariant(*v);
}

QString llaveDe(const QList<int>& columnas, const Csv::Fila& fila) {
    QStringList partes;
    for (int i : columnas)
        partes << fila.value(i).value_or(QString());
    return partes.join(QChar(0x1F));
}

// ----- one catalog's import, inside its transaction

struct ConteoDeTabla {
    QString tabla;
    qint64 leidas = 0, escritas = 0, iguales = 0, rechazadas = 0;
};

class ImportacionDeCatalogo {
public:
    ImportacionDeCatalogo(Conexion& c, Catalogo catalogo, int version, const CatalogoDeOrigen& origen,
                          bool propio, const Opciones& opciones)
        : m_c(c), m_nombre(Servidor::nombre(catalogo)), m_origen(origen), m_propio(propio),
          m_opciones(opciones), m_tablas(Esquema::descripcion(catalogo, version)) {}

    void vacia() {
        QList<std::pair<QString, QString>> disparadores;
        if (m_c.motor() == Motor::SQLite) {
            // The history refuses deletions by its triggers; emptying the
            // catalog on purpose sets them aside, and back, in the same unit.
            const Recordset rs = m_c.ejecuta(
                QStringLiteral("select name, sql from sqlite_master where type = 'trigger' order by name"));
            for (int i = 0; i < rs.filas(); ++i) {
                disparadores << std::pair{rs.texto(i, 0), rs.texto(i, 1)};
                m_c.ejecuta(QStringLiteral("drop trigger ") + rs.texto(i, 0));
            }
        }
        for (auto t = m_tablas.crbegin(); t != m_tablas.crend(); ++t)
            m_c.ejecuta(QStringLiteral("delete from ") + t->nombre);
        for (const auto& [nombre, sql] : disparadores)
            m_c.ejecuta(sql);
    }

    void importa() {
        const bool historialConAutor =
            m_c.motor() == Motor::PostgreSQL &&
            std::any_of(m_tablas.cbegin(), m_tablas.cend(),
                        [](const TablaDescrita& t) { return t.nombre == QLatin1String("historial"); });
        // The history keeps who and when of the origin, not of the import.
        if (historialConAutor)
            m_c.ejecuta(QStringLiteral("alter table historial disable trigger historial_autor"));
        for (const TablaDescrita& t : m_tablas)
            importaTabla(t);
        if (historialConAutor)
            m_c.ejecuta(QStringLiteral("alter table historial enable trigger historial_autor"));
        ajustaContadores();
    }

    QList<ConteoDeTabla> conteos;
    QList<Rechazo> rechazos;
    QStringList cuentasSinContrasena, notas;
    // The refused rows as they came, per table, for the file beside the report.
    QList<std::pair<QString, Csv::Archivo>> filasRechazadas;
    qint64 escritas = 0; // rows and counters written

private:
    const TablaDescrita* tabla(const QString& nombre) const {
        for (const TablaDescrita& t : m_tablas)
            if (t.nombre.compare(nombre, Qt::CaseInsensitive) == 0)
                return &t;
        return nullptr;
    }

    static QList<int> indices(const TablaDescrita& t, const QStringList& nombres) {
        QList<int> r;
        for (const QString& n : nombres)
            for (int i = 0; i < t.columnas.size(); ++i)
                if (t.columnas.at(i).nombre.compare(n, Qt::CaseInsensitive) == 0)
                    r << i;
        return r;
    }

    // The values of `columnas` that a table holds (stored or imported), to check a foreign key.
    const QSet<QString>& valoresDe(const QString& nombre, const QStringList& columnas) {
        const QString clave = nombre.toLower() + u'|' + columnas.join(u',').toLower();
        auto it = m_conjuntos.find(clave);
        if (it != m_conjuntos.end())
            return *it;
        QSet<QString> s;
        if (const TablaDescrita* t = tabla(nombre)) {
            const QList<int> cols = indices(*t, columnas);
            for (const Csv::Fila& f : std::as_const(m_filas[t->nombre.toLower()]))
                s.insert(llaveDe(cols, f));
        }
        return *m_conjuntos.insert(clave, s);
    }

    void importaTabla(const TablaDescrita& t) {
        ConteoDeTabla conteo{t.nombre};
        const auto o = m_origen.tablas.constFind(t.nombre.toLower());
        QHash<QString, Csv::Fila>& guardadas = m_filas[t.nombre.toLower()];
        // What the catalog holds already, in the portable form.
        const Recordset rs =
            m_c.ejecuta(QStringLiteral("select %1 from %2").arg(listaDeColumnas(t), t.nombre));
        const QList<int> llave = indices(t, t.llavePrimaria);
        for (int i = 0; i < rs.filas(); ++i) {
            Csv::Fila f;
            for (int k = 0; k < t.columnas.size(); ++k)
                f << comoTexto(rs.valor(i, k), t.columnas.at(k).tipo);
            guardadas.insert(llaveDe(llave, f), f);
        }
        if (o == m_origen.tablas.constEnd()) {
            if (!m_propio)
                notas
                    << QStringLiteral("%1.%2: el origen no la trae; no se importa.").arg(m_nombre, t.nombre);
            return;
        }
        const TablaDeOrigen& origen = *o;
        conteo.leidas = origen.filas.size();

        // Where each column comes from; -1: not in the origin.
        QList<int> desde(t.columnas.size(), -1);
        for (int j = 0; j < origen.columnas.size(); ++j) {
            const QList<int> k = indices(t, {origen.columnas.at(j)});
            if (k.isEmpty())
                falla(QStringLiteral(
                          "%1 tiene la columna \"%2\", que la tabla %3 no tiene. No se importó nada.")
                          .arg(origen.lugar, origen.columnas.at(j), t.nombre));
            if (desde.at(k.first()) >= 0)
                falla(QStringLiteral("%1 tiene dos veces la columna %2. No se importó nada.")
                          .arg(origen.lugar, origen.columnas.at(j)));
            desde[k.first()] = j;
        }
        const bool sonCuentas = t.nombre == QLatin1String("usuarios");
        const int contrasena = sonCuentas ? indices(t, {QStringLiteral("Contrasena")}).value(0, -1) : -1;
        QList<int> columnasEscritas; // the columns the insert names
        for (int k = 0; k < t.columnas.size(); ++k) {
            const ColumnaDescrita& c = t.columnas.at(k);
            if (desde.at(k) >= 0 || k == contrasena || c.admiteNulo) {
                columnasEscritas << k;
                continue;
            }
            if (!c.porDefecto.isEmpty())
                continue; // the column's default, as a new row gets it
            falla(QStringLiteral("%1 no trae la columna %2, que no admite vacíos. No se importó nada.")
                      .arg(origen.lugar, c.nombre));
        }
        // An earlier server's dates: one rule per column, from all its values.
        QHash<int, std::variant<OrdenDeFecha, QString>> reglas;
        if (!m_propio)
            for (int k = 0; k < t.columnas.size(); ++k)
                if (t.columnas.at(k).tipo == Tipo::Timestamp && desde.at(k) >= 0) {
                    QList<QString> valores;
                    for (const Csv::Fila& f : origen.filas)
                        if (const Csv::Valor& v = f.at(desde.at(k)); v && !v->isEmpty())
                            valores << *v;
                    reglas.insert(k, reglaDeFechas(valores, m_opciones.fechas));
                }
        const QList<Chequeo> chequeos = chequeosDe(t);
        QHash<int, QSet<QString>> unicos;
        for (int k = 0; k < t.columnas.size(); ++k)
            if (t.columnas.at(k).unico)
                for (const Csv::Fila& f : std::as_const(guardadas))
                    unicos[k].insert(f.at(k).value_or(QString()));
        QSet<QString> importadas;
        Csv::Archivo rechazadas;
        rechazadas.encabezado = origen.columnas;

        QList<QVariantList> lote;
        // Rows per insert. A server takes a statement per trip, so many rows
        // each; SQLite's driver looks every parameter up by its position in a
        // list, which grows slow past a few hundred of them.
        const int parametros = m_c.motor() == Motor::SQLite ? 250 : 30000;
        const int porLote = std::max<int>(
            1, std::min<int>(500, parametros / int(std::max<qsizetype>(1, columnasEscritas.size()))));
        const auto vaciaLote = [&] {
            if (lote.isEmpty())
                return;
            QStringList nombres, uno, todos;
            for (int k : columnasEscritas) {
                nombres << t.columnas.at(k).nombre;
                uno << QStringLiteral("?");
            }
            const QString fila = u'(' + uno.join(QStringLiteral(", ")) + u')';
            QVariantList valores;
            for (const QVariantList& f : std::as_const(lote)) {
                todos << fila;
                valores << f;
            }
            m_c.ejecuta(
                QStringLiteral("insert into %1 (%2) values %3")
                    .arg(t.nombre, nombres.join(QStringLiteral(", ")), todos.join(QStringLiteral(", "))),
                valores);
            lote.clear();
        };

        for (qsizetype n = 0; n < origen.filas.size(); ++n) {
            const Csv::Fila& original = origen.filas.at(n);
            Csv::Fila fila(t.columnas.size());
            QList<std::pair<QString, QString>> motivos; // column, reason
            for (int k = 0; k < t.columnas.size(); ++k) {
                if (k == contrasena && !m_propio) {
                    // An earlier server's password is never stored as text.
                    fila[k] = sinContrasena;
                    continue;
                }
                if (desde.at(k) < 0)
                    continue;
                const auto regla = reglas.constFind(k);
                const Convertido v = convierte(t.columnas.at(k), original.at(desde.at(k)), m_propio,
                                               regla == reglas.constEnd() ? nullptr : &*regla);
                if (const QString* motivo = std::get_if<QString>(&v))
                    motivos << std::pair{t.columnas.at(k).nombre, *motivo};
                else
                    fila[k] = std::get<Csv::Valor>(v);
            }
            QStringList llaveLegible;
            for (int k : llave)
                llaveLegible << t.columnas.at(k).nombre + u'=' +
                                    (desde.at(k) >= 0 ? original.at(desde.at(k)).value_or(QString())
                                                      : QString());
            if (motivos.isEmpty()) {
                for (const Chequeo& ch : chequeos)
                    if (const auto m = incumple(ch, fila.at(ch.columna)))
                        motivos << std::pair{t.columnas.at(ch.columna).nombre, *m};
            }
            if (motivos.isEmpty() && tieneColumna(contrasena, fila) && m_propio &&
                m_c.motor() == Motor::PostgreSQL) {
                // A server checks only the current digests, and never the
                // embedded catalog's documented first password.
                const QString d = fila.at(contrasena).value_or(QString());
                if (d != sinContrasena &&
                    (!Contrasenas::esDelFormatoActual(d) ||
                     Contrasenas::verifica(QString::fromLatin1(Semilla::contrasenaInicialDeAdmin), d)))
                    fila[contrasena] = sinContrasena;
            }
            const QString clave = llaveDe(llave, fila);
            bool igual = false;
            if (motivos.isEmpty()) {
                if (importadas.contains(clave)) {
                    motivos << std::pair{t.llavePrimaria.join(u','),
                                         QStringLiteral("la llave se repite en el origen")};
                } else if (const auto g = guardadas.constFind(clave); g != guardadas.constEnd()) {
                    QStringList distintas;
                    for (int k : columnasEscritas)
                        if (g->at(k) != fila.at(k))
                            distintas << t.columnas.at(k).nombre;
                    if (distintas.isEmpty())
                        igual = true;
                    else
                        motivos << std::pair{
                            distintas.join(u','),
                            QStringLiteral("la llave ya existe en el catálogo con otro contenido; "
                                           "no se sobrescribe")};
                }
            }
            if (motivos.isEmpty() && !igual) {
                for (const LlaveForanea& f : t.llavesForaneas) {
                    const QList<int> cols = indices(t, f.columnas);
                    if (std::any_of(cols.cbegin(), cols.cend(), [&](int k) { return !fila.at(k); }))
                        continue;
                    if (!valoresDe(f.tabla, f.referidas).contains(llaveDe(cols, fila)))
                        motivos << std::pair{
                            f.columnas.join(u','),
                            QStringLiteral("apunta a un registro que %1 no tiene").arg(f.tabla)};
                }
                for (auto u = unicos.begin(); u != unicos.end(); ++u)
                    if (u->contains(fila.at(u.key()).value_or(QString())))
                        motivos << std::pair{
                            t.columnas.at(u.key()).nombre,
                            QStringLiteral("\"%1\" ya está en otro registro y la columna no admite "
                                           "repetidos")
                                .arg(fila.at(u.key()).value_or(QString()))};
            }
            if (!motivos.isEmpty()) {
                ++conteo.rechazadas;
                for (const auto& [columna, motivo] : motivos)
                    rechazos << Rechazo{m_nombre, t.nombre, llaveLegible.join(QStringLiteral(", ")), columna,
                                        motivo};
                rechazadas.filas << original;
                continue;
            }
            if (igual) {
                ++conteo.iguales;
                continue;
            }
            importadas.insert(clave);
            guardadas.insert(clave, fila);
            for (auto u = unicos.begin(); u != unicos.end(); ++u)
                u->insert(fila.at(u.key()).value_or(QString()));
            if (tieneColumna(contrasena, fila) && fila.at(contrasena) == sinContrasena)
                cuentasSinContrasena << fila.at(llave.first()).value_or(QString());
            QVariantList valores;
            for (int k : columnasEscritas)
                valores << paraEnlazar(t.columnas.at(k), fila.at(k));
            lote << valores;
            ++conteo.escritas;
            if (lote.size() >= porLote) {
                vaciaLote();
                if (m_opciones.progreso)
                    m_opciones.progreso(m_nombre, t.nombre, n + 1, origen.filas.size());
            }
        }
        vaciaLote();
        if (m_opciones.progreso)
            m_opciones.progreso(m_nombre, t.nombre, origen.filas.size(), origen.filas.size());
        if (!rechazadas.filas.isEmpty())
            filasRechazadas << std::pair{t.nombre, rechazadas};
        escritas += conteo.escritas;
        conteos << conteo;
    }

    static bool tieneColumna(int k, const Csv::Fila& fila) { return k >= 0 && k < fila.size(); }

    // Data without its counters (an earlier server's) sets each year's
    // counter to its highest folio, so that the next registration follows.
    void ajustaContadores() {
        struct Contador {
            const char *contador, *anio, *ultimo, *registros, *anioDelRegistro, *folio;
        };
        static const Contador contadores[] = {
            {"folio_invitacion", "Anio", "UltimoFolio", "invitacion", "Anio", "Folio"},
            {"folio_evento", "año", "ultimo_folio", "evento", "año", "folio"},
        };
        for (const Contador& c : contadores) {
            const QString nombre = QString::fromUtf8(c.contador);
            if (!tabla(nombre) || !tabla(QString::fromUtf8(c.registros)) ||
                m_origen.tablas.contains(nombre.toLower()))
                continue;
            const Recordset maximos = m_c.ejecuta(
                QStringLiteral("select r.%1, max(r.%2), max(c.%3), count(c.%4) from %5 r left join %6 c "
                               "on c.%4 = r.%1 group by r.%1 order by r.%1")
                    .arg(QString::fromUtf8(c.anioDelRegistro), QString::fromUtf8(c.folio),
                         QString::fromUtf8(c.ultimo), QString::fromUtf8(c.anio),
                         QString::fromUtf8(c.registros), nombre));
            for (int i = 0; i < maximos.filas(); ++i) {
                const int anio = maximos.valor(i, 0).toInt(), folio = maximos.valor(i, 1).toInt();
                if (maximos.valor(i, 3).toInt() == 0) {
                    m_c.ejecuta(QStringLiteral("insert into %1 (%2, %3) values (?, ?)")
                                    .arg(nombre, QString::fromUtf8(c.anio), QString::fromUtf8(c.ultimo)),
                                {anio, folio});
                } else if (maximos.valor(i, 2).toInt() < folio) {
                    m_c.ejecuta(QStringLiteral("update %1 set %2 = ? where %3 = ?")
                                    .arg(nombre, QString::fromUtf8(c.ultimo), QString::fromUtf8(c.anio)),
                                {folio, anio});
                } else {
                    continue;
                }
                ++escritas;
                notas
                    << QStringLiteral("%1: el contador de %2 queda en %3.").arg(nombre).arg(anio).arg(folio);
            }
        }
    }

    using LlaveForanea = Esquema::LlaveForanea;
    Conexion& m_c;
    QString m_nombre;
    const CatalogoDeOrigen& m_origen;
    bool m_propio;
    const Opciones& m_opciones;
    QList<TablaDescrita> m_tablas;
    QHash<QString, QHash<QString, Csv::Fila>> m_filas; // per table: its rows by key
    QHash<QString, QSet<QString>> m_conjuntos;
};

// The system's account that runs the import, as the history line names it.
QString cuentaDelSistema() {
    if (const passwd* p = getpwuid(getuid()); p && p->pw_name)
        return QString::fromLocal8Bit(p->pw_name);
    return QStringLiteral("uid %1").arg(getuid());
}

QString nombreLibre(const QString& carpeta, const QString& base, const QString& extension) {
    QString ruta = QDir(carpeta).filePath(base + extension);
    for (int n = 1; QFileInfo::exists(ruta); ++n)
        ruta = QDir(carpeta).filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(extension));
    return ruta;
}

void escribeArchivo(const QString& ruta, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(ruta).path()))
        falla(QStringLiteral("No se pudo crear la carpeta %1.").arg(QFileInfo(ruta).path()));
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly) || f.write(bytes) != bytes.size() || !f.flush())
        falla(QStringLiteral("No se pudo escribir %1 (%2).").arg(ruta, f.errorString()));
}

// Creates an embedded catalog or a server's empty, at a version of its schema.
void creaVacios(const AjustesDeConexion& ajustes, const QMap<Catalogo, int>& versiones) {
    if (ajustes.motor == Motor::PostgreSQL) {
        Administracion::creaCatalogos(
            ajustes, {}, {false, versiones.value(Catalogo::Kelmar), versiones.value(Catalogo::Taloren)});
        return;
    }
    for (auto it = versiones.cbegin(); it != versiones.cend(); ++it) {
        Conexion c(Servidor::nombre(it.key()));
        c.abre(ajustes, ajustesDe(ajustes, it.key()));
        Esquema::actualiza(c, it.key(), nullptr, it.value(), false);
    }
}

// Takes away a catalog that a failed restore created.
void borra(const AjustesDeConexion& ajustes, Catalogo catalogo) {
    const AjustesDeCatalogo& cat = ajustesDe(ajustes, catalogo);
    if (ajustes.motor == Motor::SQLite) {
        for (const char* resto : {".sqlite", ".sqlite-wal", ".sqlite-shm"})
            QFile::remove(QDir(ajustes.carpeta).filePath(cat.baseDeDatos + QString::fromLatin1(resto)));
        return;
    }
    Conexion servidor(QStringLiteral("postgres"));
    servidor.abre(ajustes, ajustes.administrador);
    // A database's name is an identifier, not a value: it cannot be bound.
    servidor.ejecuta(
        QStringLiteral("drop database if exists ") +
        servidor.baseDeDatos().driver()->escapeIdentifier(cat.baseDeDatos, QSqlDriver::TableName) +
        QStringLiteral(" with (force)"));
}

} // namespace

Resultado importa(const AjustesDeConexion& ajustesDados, const Opciones& opciones) {
    const Origen origen = leeOrigen(opciones);
    const AjustesDeConexion ajustes = comoAdministrador(ajustesDados);
    Resultado r;
    r.lineas << QStringLiteral("Origen: %1").arg(origen.descripcion);
    for (const Catalogo catalogo : origen.catalogos.keys())
        for (const TablaDeOrigen& t : origen.catalogos.value(catalogo).tablas)
            if (!origen.propio && !t.codificacion.isEmpty())
                r.lineas << QStringLiteral("Codificación de %1: %2.").arg(t.lugar, t.codificacion);
    r.lineas << origen.notas;

    // The catalogs that do not exist yet are created empty (a restore);
    // a trial run checks against scratch ones of the same schema.
    QMap<Catalogo, int> nuevos;
    for (auto it = origen.catalogos.cbegin(); it != origen.catalogos.cend(); ++it)
        if (!existe(ajustes, it.key()))
            nuevos.insert(it.key(), it->version);
    // A server's restore creates both databases; a failed one takes away
    // every catalog that was not there before.
    QList<Catalogo> inexistentes;
    if (!nuevos.isEmpty())
        for (Catalogo c : {Catalogo::Kelmar, Catalogo::Taloren})
            if (nuevos.contains(c) || !existe(ajustes, c))
                inexistentes << c;
    std::optional<QTemporaryDir> temporal;
    AjustesDeConexion ajustesNuevos = ajustes;
    if (!nuevos.isEmpty() && opciones.prueba) {
        temporal.emplace();
        ajustesNuevos = AjustesDeConexion();
        ajustesNuevos.carpeta = temporal->path();
    }

    struct Destino {
        Catalogo catalogo;
        std::unique_ptr<Conexion> conexion;
        std::unique_ptr<ImportacionDeCatalogo> trabajo;
        int version;
        bool nuevo;
    };
    std::vector<Destino> destinos;
    bool creados = false;
    const auto deshazCreados = [&] {
        destinos.clear();
        if (creados && !opciones.prueba)
            for (Catalogo c : inexistentes)
                borra(ajustes, c);
    };
    try {
        if (!nuevos.isEmpty()) {
            creaVacios(ajustesNuevos, nuevos);
            creados = true;
        }
        for (auto it = origen.catalogos.cbegin(); it != origen.catalogos.cend(); ++it) {
            const bool nuevo = nuevos.contains(it.key());
            std::unique_ptr<Conexion> c;
            if (nuevo) {
                c = std::make_unique<Conexion>(Servidor::nombre(it.key()),
                                               &Servidor::procedimientosConAcceso(it.key()));
                c->abre(ajustesNuevos, ajustesDe(ajustesNuevos, it.key()));
            } else {
                c = abre(ajustes, it.key());
            }
            const int version = nuevo ? it->version : Esquema::versionActual(it.key());
            destinos.push_back({it.key(), std::move(c), nullptr, version, nuevo});
        }
        if (opciones.reemplazar) {
            QStringList conRegistros;
            for (const Destino& d : destinos)
                for (const TablaDescrita& t : Esquema::descripcion(d.catalogo, d.version))
                    if (!d.nuevo &&
                        !d.conexion->ejecuta(QStringLiteral("select 1 from %1 limit 1").arg(t.nombre))
                             .estaVacio()) {
                        conRegistros << Servidor::nombre(d.catalogo);
                        break;
                    }
            if (!conRegistros.isEmpty() &&
                (!opciones.confirma ||
                 !opciones.confirma(
                     QStringLiteral("Se borrarán todos los registros de %1 antes de importar. ¿Continuar?")
                         .arg(conRegistros.join(QStringLiteral(" y "))))))
                falla(QStringLiteral("No se confirmó el reemplazo: no se importó nada."));
        }

        // Each catalog in one transaction, the second inside the first, so
        // that a refusal or a failure in either leaves both as they were.
        std::function<void(size_t)> enCadena = [&](size_t i) {
            if (i == destinos.size()) {
                int total = 0;
                for (const Destino& d : destinos)
                    total += int(d.trabajo->rechazos.size());
                if (opciones.prueba || (total > 0 && !opciones.omitirRechazados))
                    throw Deshacer{};
                return;
            }
            Destino& d = destinos[i];
            d.conexion->enTransaccion([&] {
                if (d.conexion->motor() == Motor::PostgreSQL)
                    d.conexion->ejecuta(QStringLiteral("select set_config('statement_timeout', '0', true)"));
                d.trabajo = std::make_unique<ImportacionDeCatalogo>(*d.conexion, d.catalogo, d.version,
                                                                    *origen.catalogos.constFind(d.catalogo),
                                                                    origen.propio, opciones);
                if (opciones.reemplazar && !d.nuevo)
                    d.trabajo->vacia();
                d.trabajo->importa();
                // A restore of an older export: its schema is brought up to date after the rows are in.
                if (d.version < Esquema::versionActual(d.catalogo))
                    Esquema::actualiza(*d.conexion, d.catalogo, &d.trabajo->notas, 0, false);
                if (d.trabajo->escritas > 0) {
                    QStringList resumen;
                    for (const ConteoDeTabla& c : d.trabajo->conteos)
                        if (c.escritas > 0)
                            resumen << QStringLiteral("%1 %2").arg(c.tabla).arg(c.escritas);
                    const int id =
                        d.conexion
                            ->ejecuta(QStringLiteral("select coalesce(max(id), 0) + 1 from importaciones"))
                            .valor(0, 0)
                            .toInt();
                    const QString rol =
                        d.conexion->motor() == Motor::PostgreSQL
                            ? d.conexion->ejecuta(QStringLiteral("select current_user")).texto(0, 0)
                            : QStringLiteral("");
                    const QString cuenta = opciones.cuenta.isEmpty() ? cuentaDelSistema() : opciones.cuenta;
                    d.conexion->ejecuta(
                        QStringLiteral(
                            "insert into importaciones (id, tipo, fecha, cuenta, estacion, rol, origen, "
                            "resumen) values (?, ?, ?, ?, ?, ?, ?, ?)"),
                        {id, QStringLiteral("importación"), QDateTime::currentDateTime(), cuenta.left(20),
                         QString(opciones.estacion.isEmpty() ? Autor::estacionLocal() : opciones.estacion)
                             .left(255),
                         rol, origen.descripcion.left(1000),
                         QString(QStringLiteral("escritos: ") + resumen.join(QStringLiteral(", ")))
                             .left(2000)});
                }
                enCadena(i + 1);
            });
        };
        bool deshecha = false;
        try {
            enCadena(0);
        } catch (const Deshacer&) {
            deshecha = true;
        }
        for (Destino& d : destinos) {
            if (!d.trabajo)
                continue;
            const ImportacionDeCatalogo& t = *d.trabajo;
            r.lineas << QStringLiteral("Catálogo %1:").arg(Servidor::nombre(d.catalogo));
            for (const ConteoDeTabla& c : t.conteos)
                r.lineas << QStringLiteral("  %1: leídos %2, escritos %3, iguales %4, rechazados %5.")
                                .arg(c.tabla)
                                .arg(c.leidas)
                                .arg(deshecha ? 0 : c.escritas)
                                .arg(c.iguales)
                                .arg(c.rechazadas);
            for (const QString& n : t.notas)
                r.lineas << QStringLiteral("  ") + n;
            for (const Rechazo& x : t.rechazos)
                r.lineas << QStringLiteral("  Rechazado: %1.%2 [%3] %4: %5.")
                                .arg(x.catalogo, x.tabla, x.llave, x.columna, x.motivo);
            for (const ConteoDeTabla& c : t.conteos)
                r.rechazados += int(c.rechazadas);
            r.cuentasSinContrasena << t.cuentasSinContrasena;
            if (!deshecha && t.escritas > 0)
                r.escribio = true;
        }
        if (!r.cuentasSinContrasena.isEmpty())
            r.lineas << QStringLiteral(
                            "Cuentas sin contraseña utilizable (asígnela con taloren-admin set-password "
                            "CUENTA): %1.")
                            .arg(r.cuentasSinContrasena.join(QStringLiteral(", ")));
        if (opciones.prueba)
            r.lineas << QStringLiteral("Prueba: no se escribió nada%1.")
                            .arg(r.rechazados > 0 ? QStringLiteral("; la importación rechazaría lo anterior")
                                                  : QString());
        else if (deshecha)
            r.lineas << QStringLiteral(
                            "No se importó nada: hay %1 rechazos y los catálogos quedan como estaban. "
                            "Corrija el origen, o importe lo demás con --omitir-rechazados.")
                            .arg(r.rechazados);
        else if (!r.escribio)
            r.lineas << QStringLiteral(
                "No había nada nuevo que importar: los catálogos ya tenían todos estos "
                "registros.");
        else
            r.lineas << QStringLiteral("Importación completa.");
        if (deshecha || !r.escribio)
            deshazCreados();
        else if (creados && ajustes.motor == Motor::PostgreSQL) {
            destinos.clear();
            // The stations' accounts get their grants once the schema is current.
            Administracion::creaCatalogos(ajustes, {}, {false, 0, 0});
        }
    } catch (...) {
        const ErrorDeEjecucion e = ErrorDeEjecucion::actual();
        try {
            deshazCreados();
        } catch (...) {
        }
        throw ErrorDeEjecucion(e.numero(),
                               e.descripcion() + QStringLiteral(" Los catálogos quedan como estaban."),
                               e.fuente(), e.detalle());
    }

    // The report, and the refused rows beside it when the rest went in.
    const QString carpeta =
        opciones.carpetaDelInforme.isEmpty() ? QDir::currentPath() : opciones.carpetaDelInforme;
    const QString base = QStringLiteral("importacion-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    r.informe = nombreLibre(carpeta, base, QStringLiteral(".txt"));
    if (opciones.omitirRechazados && r.rechazados > 0) {
        const QString dir = QFileInfo(r.informe).completeBaseName() + QStringLiteral("-rechazados");
        for (const Destino& d : destinos)
            if (d.trabajo)
                for (const auto& [tabla, archivo] : d.trabajo->filasRechazadas) {
                    QByteArray bytes = Csv::linea(
                        [&] {
                            Csv::Fila f;
                            for (const QString& c : archivo.encabezado)
                                f << c;
                            return f;
                        }(),
                        {});
                    for (const Csv::Fila& f : archivo.filas)
                        bytes += Csv::linea(f, QList<bool>(f.size(), true));
                    const QString ruta = QDir(carpeta).filePath(dir + u'/' + Servidor::nombre(d.catalogo) +
                                                                u'/' + tabla + QStringLiteral(".csv"));
                    escribeArchivo(ruta, bytes);
                }
        r.lineas << QStringLiteral("Los registros rechazados están en %1.").arg(QDir(carpeta).filePath(dir));
    }
    r.lineas << QStringLiteral("Informe: %1").arg(r.informe);
    escribeArchivo(r.informe, (r.lineas.join(u'\n') + u'\n').toUtf8());
    return r;
}

} // namespace Intercambio
