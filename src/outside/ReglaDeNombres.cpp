#include "outside/ReglaDeNombres.h"

#include <sqlite3.h>

#include <utility>

namespace {

// The accented letters that turn up in the office's names, each with its
// plain letter; "ñ" and "Ñ" are told apart for sorting.
constexpr char16_t conAcento[] = u"ÁÀÂÄáàâäÉÈÊËéèêëÍÌÎÏíìîïÓÒÔÖóòôöÚÙÛÜúùûüÇç";
constexpr char sinAcento[] = "aaaaaaaa"
                             "eeeeeeee"
                             "iiiiiiii"
                             "oooooooo"
                             "uuuuuuuu"
                             "cc";
static_assert(sizeof(conAcento) / sizeof(char16_t) - 1 == 42 && sizeof(sinAcento) - 1 == 42);

// Sorts right after "n" and before "o": "n" followed by a character above every letter.
const QString eneParaOrdenar = QStringLiteral("n~");

QString normaliza(const QString& texto, const QString& ene) {
    QString r;
    r.reserve(texto.size());
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            r += QChar(u >= 'A' && u <= 'Z' ? char16_t(u + 32) : u);
            continue;
        }
        if (u == u'ñ' || u == u'Ñ') {
            r += ene;
            continue;
        }
        const char16_t* p = std::char_traits<char16_t>::find(conAcento, 42, u);
        r += p ? QChar(QLatin1Char(sinAcento[p - conAcento])) : c.toLower();
    }
    return r;
}

void funcion(sqlite3_context* contexto, int, sqlite3_value** argumentos, bool ordenar) {
    if (sqlite3_value_type(argumentos[0]) == SQLITE_NULL) {
        sqlite3_result_null(contexto);
        return;
    }
    const auto* texto = reinterpret_cast<const char*>(sqlite3_value_text(argumentos[0]));
    const QByteArray r = normaliza(QString::fromUtf8(texto, sqlite3_value_bytes(argumentos[0])),
                                   ordenar ? eneParaOrdenar : QStringLiteral("n"))
                             .toUtf8();
    sqlite3_result_text(contexto, r.constData(), int(r.size()), SQLITE_TRANSIENT);
}

void busqueda(sqlite3_context* c, int n, sqlite3_value** v) {
    funcion(c, n, v, false);
}
void orden(sqlite3_context* c, int n, sqlite3_value** v) {
    funcion(c, n, v, true);
}

} // namespace

QString ReglaDeNombres::paraBuscar(const QString& texto) {
    return normaliza(texto, QStringLiteral("n"));
}

QString ReglaDeNombres::paraOrdenar(const QString& texto) {
    return normaliza(texto, eneParaOrdenar);
}

bool ReglaDeNombres::vaAntes(const QString& a, const QString& b) {
    const QString ca = paraOrdenar(a), cb = paraOrdenar(b);
    if (ca != cb)
        return ca < cb;
    return a < b;
}

void ReglaDeNombres::ordena(QStringList& lista) {
    std::stable_sort(lista.begin(), lista.end(), vaAntes);
}

QString ReglaDeNombres::condicionContiene(const QString& columna) {
    return QStringLiteral("taloren_busqueda(%1) like ? escape '!'").arg(columna);
}

QVariant ReglaDeNombres::patronContiene(const QString& texto) {
    QString t = paraBuscar(texto);
    t.replace(QLatin1Char('!'), QStringLiteral("!!"))
        .replace(QLatin1Char('%'), QStringLiteral("!%"))
        .replace(QLatin1Char('_'), QStringLiteral("!_"));
    return QString(QLatin1Char('%') + t + QLatin1Char('%'));
}

QString ReglaDeNombres::ordenPor(const QString& columna) {
    return QStringLiteral("taloren_orden(%1), taloren_orden_exacto(%1)").arg(columna);
}

QStringList ReglaDeNombres::funcionesParaPostgreSQL() {
    const QString de = QString::fromUtf16(conAcento);
    const QString a = QString::fromLatin1(sinAcento);
    // Byte order, as SQLite compares: the keys carry the "C" collation.
    return {
        QStringLiteral("create domain taloren_clave as text collate \"C\""),
        QStringLiteral("create function taloren_busqueda(t text) returns text language sql immutable strict "
                       "as $$ select lower(translate(t, '%1Ññ', '%2nn')) $$")
            .arg(de, a),
        QStringLiteral(
            "create function taloren_orden(t text) returns taloren_clave language sql immutable "
            "strict as $$ select replace(lower(translate(t, '%1Ñ', '%2ñ')), 'ñ', '%3')::taloren_clave $$")
            .arg(de, a, eneParaOrdenar),
        QStringLiteral("create function taloren_orden_exacto(t text) returns taloren_clave language sql "
                       "immutable strict as $$ select t::taloren_clave $$"),
    };
}

bool ReglaDeNombres::registraEnSQLite(const QVariant& manejador) {
    if (qstrcmp(manejador.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3* db = *static_cast<sqlite3* const*>(manejador.data());
    if (!db)
        return false;
    const int banderas = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(db, "taloren_busqueda", 1, banderas, nullptr, busqueda, nullptr,
                                      nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(db, "taloren_orden", 1, banderas, nullptr, orden, nullptr, nullptr,
                                      nullptr) == SQLITE_OK &&
           sqlite3_create_function_v2(
               db, "taloren_orden_exacto", 1, banderas, nullptr,
               [](sqlite3_context* c, int, sqlite3_value** v) { sqlite3_result_value(c, v[0]); }, nullptr,
               nullptr, nullptr) == SQLITE_OK;
}
