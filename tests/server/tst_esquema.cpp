#include "outside/ErrorDeEjecucion.h"
#include "server/DescripcionDelEsquema.h"
#include "server/administracion/Contrasenas.h"
#include "server/administracion/Migraciones.h"
#include "server/administracion/Semilla.h"
#include "support/BaseDePrueba.h"

#include <QDate>
#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

int cuenta(Conexion& c, const QString& sql, const QVariantList& valores = {}) {
    return c.ejecuta(sql, valores).valor(0, 0).toInt();
}

void inserta(Conexion& c, const char* tabla, const QVariantList& valores) {
    c.ejecuta(u"insert into %1 values (%2)"_s.arg(QString::fromUtf8(tabla),
                                                  QStringList(valores.size(), u"?"_s).join(u", "_s)),
              valores);
}

// A table as lines that both a description and a real catalog give, names in
// lower case (a server folds unquoted names): "col name type null default",
// "pk columns", "fk columns -> table (columns)", foreign keys sorted.
QStringList lineas(const Esquema::TablaDescrita& t) {
    QStringList columnas, foraneas;
    for (const auto& c : t.columnas)
        columnas << u"col %1 %2 %3 %4"_s.arg(c.nombre.toLower(), Esquema::textoDelTipo(c.tipo, c.largo),
                                             c.admiteNulo ? u"null"_s : u"not null"_s, c.porDefecto);
    for (const auto& f : t.llavesForaneas)
        foraneas << u"fk %1 -> %2 (%3)"_s.arg(f.columnas.join(u',').toLower(), f.tabla.toLower(),
                                              f.referidas.join(u',').toLower());
    foraneas.sort();
    return columnas + QStringList{u"pk "_s + t.llavePrimaria.join(u',').toLower()} + foraneas;
}

// The same lines as the catalog itself reports them: SQLite's pragmas, or the
// server's information_schema.
QStringList lineasDelCatalogo(Conexion& c, const QString& tabla) {
    QStringList columnas, llave, foraneas;
    if (c.motor() == Motor::SQLite) {
        const Recordset cs = c.ejecuta(
            u"select name, type, \"notnull\", dflt_value, pk from pragma_table_info(?) order by cid"_s,
            {tabla});
        QMap<int, QString> enLlave;
        for (int i = 0; i < cs.filas(); ++i) {
            // SQLite lets a key column say nothing of nulls; the key refuses them all the same.
            const bool nulo = cs.valor(i, 2).toInt() == 0 && cs.valor(i, 4).toInt() == 0;
            columnas << u"col %1 %2 %3 %4"_s.arg(cs.texto(i, 0).toLower(), cs.texto(i, 1).toLower(),
                                                 nulo ? u"null"_s : u"not null"_s, cs.texto(i, 3));
            if (cs.valor(i, 4).toInt() > 0)
                enLlave.insert(cs.valor(i, 4).toInt(), cs.texto(i, 0).toLower());
        }
        llave = enLlave.values();
        const Recordset fs = c.ejecuta(
            u"select id, \"table\", \"from\", \"to\" from pragma_foreign_key_list(?) order by id, seq"_s,
            {tabla});
        QMap<int, QStringList> de, a, destino;
        for (int i = 0; i < fs.filas(); ++i) {
            const int id = fs.valor(i, 0).toInt();
            destino[id] = {fs.texto(i, 1).toLower()};
            de[id] << fs.texto(i, 2).toLower();
            a[id] << fs.texto(i, 3).toLower();
        }
        for (auto it = de.cbegin(); it != de.cend(); ++it)
            foraneas << u"fk %1 -> %2 (%3)"_s.arg(it->join(u','), destino[it.key()].constFirst(),
                                                  a[it.key()].join(u','));
    } else {
        const Recordset cs = c.ejecuta(
            u"select column_name, data_type, character_maximum_length, is_nullable, column_default"
            u" from information_schema.columns where table_schema = current_schema() and table_name = ?"
            u" order by ordinal_position"_s,
            {tabla});
        for (int i = 0; i < cs.filas(); ++i) {
            QString tipo = cs.texto(i, 1);
            if (tipo == u"character varying"_s)
                tipo = u"varchar(%1)"_s.arg(cs.texto(i, 2));
            else if (tipo == u"timestamp without time zone"_s)
                tipo = u"timestamp"_s;
            // The server writes a default with its cast: "''::character varying".
            const QString porDefecto = cs.texto(i, 4).section(u"::"_s, 0, 0);
            columnas << u"col %1 %2 %3 %4"_s.arg(
                cs.texto(i, 0), tipo, cs.texto(i, 3) == u"YES"_s ? u"null"_s : u"not null"_s, porDefecto);
        }
        const Recordset ls = c.ejecuta(
            u"select k.column_name from information_schema.table_constraints t"
            u" join information_schema.key_column_usage k on k.constraint_schema = t.constraint_schema"
            u" and k.constraint_name = t.constraint_name"
            u" where t.table_schema = current_schema() and t.table_name = ? and t.constraint_type = 'PRIMARY "
            u"KEY'"
            u" order by k.ordinal_position"_s,
            {tabla});
        for (int i = 0; i < ls.filas(); ++i)
            llave << ls.texto(i, 0);
        const Recordset fs = c.ejecuta(
            u"select k.constraint_name, k.column_name, r.table_name, r.column_name"
            u" from information_schema.referential_constraints rc"
            u" join information_schema.key_column_usage k on k.constraint_schema = rc.constraint_schema"
            u" and k.constraint_name = rc.constraint_name"
            u" join information_schema.key_column_usage r on r.constraint_schema = "
            u"rc.unique_constraint_schema"
            u" and r.constraint_name = rc.unique_constraint_name"
            u" and r.ordinal_position = k.position_in_unique_constraint"
            u" where k.table_schema = current_schema() and k.table_name = ?"
            u" order by k.constraint_name, k.ordinal_position"_s,
            {tabla});
        QMap<QString, QStringList> de, a;
        QMap<QString, QString> destino;
        for (int i = 0; i < fs.filas(); ++i) {
            de[fs.texto(i, 0)] << fs.texto(i, 1);
            a[fs.texto(i, 0)] << fs.texto(i, 3);
            destino[fs.texto(i, 0)] = fs.texto(i, 2);
        }
        for (auto it = de.cbegin(); it != de.cend(); ++it)
            foraneas << u"fk %1 -> %2 (%3)"_s.arg(it->join(u','), destino[it.key()], a[it.key()].join(u','));
    }
    foraneas.sort();
    return columnas + QStringList{u"pk "_s + llave.join(u',')} + foraneas;
}

} // namespace

class TstEsquema : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The rows the program relies on: an event without place is stored under "Sin Municipio" and the
    // municipality's "Sin Localidad"; the first account's digest, which the program verifies
    // whichever backend made it, seeded once however often the catalog is opened.
    void semilla_data() { agregaMotores(); }
    void semilla() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& k = base.kelmar();
        QCOMPARE(cuenta(*base.abre(Catalogo::Kelmar), u"select count(*) from usuarios"_s), 1);
        QCOMPARE(cuenta(k, u"select count(*) from municipios_tmp where nombre = ?"_s, {u"Sin Municipio"_s}),
                 1);
        QCOMPARE(cuenta(k,
                        u"select count(*) from municipios_tmp m where (select count(*) from localidad l "
                        u"where l.municipio = m.cvemunicipio and l.nombre = ?) <> 1"_s,
                        {u"Sin Localidad"_s}),
                 0);

        const QString digesto =
            k.ejecuta(u"select Contrasena from usuarios where CuentaUsr = ?"_s, {u"admin"_s}).texto(0, 0);
        const QString inicial = QString::fromLatin1(Semilla::contrasenaInicialDeAdmin);
        QVERIFY(!digesto.contains(inicial) && Contrasenas::verifica(inicial, digesto));
        // Salted: the same password never gives the same text. A NUL would end the password early for
        // the digest: it is refused, never cut. Other forms (a DES digest) never verify, whatever crypt()
        // would make of them.
        QVERIFY(Contrasenas::codifica(inicial, 4) != Contrasenas::codifica(inicial, 4));
        QVERIFY(!Contrasenas::verifica(inicial + QChar(0), digesto) && !Contrasenas::verifica({}, digesto));
        QCOMPARE(errorDe([] { Contrasenas::codifica(u"ab"_s + QChar(0)); }).numero(),
                 CodigoDeError::Conversion);
        QVERIFY(!Contrasenas::verifica(u"x"_s, u"pbrd3vnbctpbU"_s));

        // A catalog of a later version is refused and left as it is (updating again is the administration
        // command's "al día").
        const int actual = Esquema::versionActual(Catalogo::Kelmar);
        k.ejecuta(u"insert into version_esquema (version) values (?)"_s, {actual + 1});
        QVERIFY(errorDe([&] { Esquema::actualiza(k, Catalogo::Kelmar); }).numero() != 0);
        QCOMPARE(Esquema::version(k), actual + 1);
    }

    // The schema's public description is what the migrations really made, table by table, and comes in
    // key order: every table after those its foreign keys point to.
    void laDescripcionEsElCatalogo_data() { agregaMotores(); }
    void laDescripcionEsElCatalogo() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        for (const Catalogo catalogo : {Catalogo::Kelmar, Catalogo::Taloren}) {
            Conexion& c = catalogo == Catalogo::Kelmar ? base.kelmar() : base.taloren();
            QStringList enElCatalogo;
            for (const QString& t : c.baseDeDatos().tables())
                if (t.compare(u"version_esquema"_s, Qt::CaseInsensitive) != 0 && !t.startsWith(u"sqlite_"_s))
                    enElCatalogo << t.toLower();
            enElCatalogo.sort();
            QStringList descritas, antes;
            for (const Esquema::TablaDescrita& t : Esquema::descripcion(catalogo)) {
                descritas << t.nombre.toLower();
                for (const auto& f : t.llavesForaneas)
                    QVERIFY2(f.tabla == t.nombre || antes.contains(f.tabla), qPrintable(t.nombre));
                antes << t.nombre;
                // SQLite keeps a name as written; the server folds it to lower case.
                const QString nombre = elMotor == Motor::SQLite ? t.nombre : t.nombre.toLower();
                QCOMPARE(lineasDelCatalogo(c, nombre), lineas(t));
            }
            descritas.sort();
            QCOMPARE(descritas, enElCatalogo);
        }
    }

    // The embedded catalog refuses what the server refuses, with the same kind of error.
    void elEsquemaRefusaLoMismo_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("enKelmar");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariant>("valor");
        QTest::addColumn<int>("numero");
        const QString municipio = u"insert into municipios_tmp (cvemunicipio, nombre) values (?, 'x')"_s;
        const QString anio = u"insert into Anio (Anio) values (?)"_s;
        const QString fecha = u"update configuracion set FechaUltimaVersion = ?"_s;
        const struct {
            const char* nombre;
            bool kelmar;
            QString sql;
            QVariant valor;
            int numero;
        } casos[] = {
            {"texto largo", true, municipio, u"12345678901"_s, CodigoDeError::Desbordamiento},
            {"texto justo con acentos", true, municipio, u"ÁÉÍÓÚ"_s, 0},
            {"smallint fuera de rango", true, anio, 70000, CodigoDeError::Desbordamiento},
            {"smallint en texto", true, anio, u"2031"_s, 0},
            {"smallint no numérico", true, anio, u"tres"_s, CodigoDeError::Conversion},
            {"integer no numérico", false,
             u"insert into cat_instrucciones (clave_instruccion, descripcion) values (?, 'x')"_s, u"tres"_s,
             CodigoDeError::Conversion},
            {"año del evento fuera de rango", false, u"insert into evento (folio, año) values (1, ?)"_s,
             70000, CodigoDeError::Desbordamiento},
            {"fecha que no es fecha", true, fecha, u"mañana"_s, CodigoDeError::Conversion},
        };
        agregaFilasPorMotor(
            casos, [](QTestData& fila, const auto& c) { fila << c.kelmar << c.sql << c.valor << c.numero; });
    }
    void elEsquemaRefusaLoMismo() {
        MOTOR_DE_LA_FILA(elMotor);
        QFETCH(bool, enKelmar);
        QFETCH(QString, sql);
        QFETCH(QVariant, valor);
        QFETCH(int, numero);
        BaseDePrueba base(elMotor);
        const ErrorDeEjecucion error =
            errorDe([&] { (enKelmar ? base.kelmar() : base.taloren()).ejecuta(sql, {valor}); });
        QVERIFY2(error.numero() == numero, qPrintable(error.descripcion()));
    }

    // A server's catalogs are UTF-8 and collate in Spanish.
    void catalogosDelServidorEnEspanol() {
        EXIGE_POSTGRES();
        BaseDePrueba base(Motor::PostgreSQL);
        const Recordset rs = base.kelmar().ejecuta(
            u"select pg_encoding_to_char(encoding), coalesce(daticulocale, datcollate) from pg_database"
            u" where datname = current_database()"_s);
        QCOMPARE(rs.texto(0, 0), u"UTF8"_s);
        QVERIFY2(rs.texto(0, 1).startsWith(u"es"_s), qPrintable(rs.texto(0, 1)));
    }

    // An event's three rows stand or fall together (the event may come last in its unit); the register
    // writes the year of the last two as quoted text, and either form finds them.
    void lasLlavesProtegenLosDatos_data() { agregaMotores(); }
    void lasLlavesProtegenLosDatos() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& t = base.taloren();
        const QString anio = u"2011"_s;
        const QDateTime cuando(QDate(2011, 3, 4), QTime(10, 0));
        const auto evento = [&](int folio) {
            inserta(t, "evento",
                    {folio, 2011, cuando, u"10:00"_s, u"Feria"_s, u"Palacio"_s, u"007"_s, u"0001"_s, cuando,
                     cuando, 1});
        };
        const auto suscriptor = [&](int folio) {
            inserta(t, "suscriptor",
                    {folio, anio, u"Juana"_s, u"Presidenta"_s, u"735-3521840"_s, u"___-_______"_s});
        };
        const auto representante = [&](int folio, int instruccion) {
            inserta(t, "representante_del_evento",
                    {folio, anio, u"0004"_s, u"004"_s, u"SEB"_s, u"777-3180110"_s, u"___-_______"_s,
                     instruccion, u"Secretario"_s, u"Normal"_s, QString(), cuando, QString(), QString(),
                     QString()});
        };
        const auto filas = [&](const char* tabla, int folio, const QVariant& forma) {
            return cuenta(
                t, u"select count(*) from %1 where folio = ? and año = ?"_s.arg(QString::fromLatin1(tabla)),
                {folio, forma});
        };
        evento(1);
        QCOMPARE(errorDe([&] { evento(1); }).numero(), CodigoDeError::Integridad);
        QCOMPARE(errorDe([&] { representante(1, 999); }).numero(), CodigoDeError::Integridad);
        QCOMPARE(errorDe([&] { t.enTransaccion([&] { suscriptor(2); }); }).numero(),
                 CodigoDeError::Integridad);
        QCOMPARE(filas("suscriptor", 2, anio), 0);
        t.enTransaccion([&] {
            suscriptor(3);
            representante(3, 1);
            evento(3);
        });
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"})
            QVERIFY2(filas(tabla, 3, 2011) == 1 && filas(tabla, 3, anio) == 1, tabla);
        t.ejecuta(u"delete from evento where folio = ? and año = ?"_s, {3, 2011});
        QCOMPARE(filas("suscriptor", 3, anio) + filas("representante_del_evento", 3, anio), 0);
        QCOMPARE(filas("evento", 1, anio), 1);
    }
};

QTEST_MAIN(TstEsquema)
#include "tst_esquema.moc"
