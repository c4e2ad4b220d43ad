#include "BaseDePrueba.h"
#include "Contrasenas.h"
#include "ErrorDeEjecucion.h"
#include "Semilla.h"

#include <QDate>
#include <QTest>

namespace {

// The error number a piece of work throws; 0 when it throws nothing.
template <typename F> int codigoDeError(F&& trabajo) {
    try {
        trabajo();
    } catch (const ErrorDeEjecucion& e) {
        return e.numero();
    }
    return 0;
}

int cuenta(Conexion& c, const QString& sql, const QVariantList& valores = {}) {
    return c.ejecuta(sql, valores).valor(0, 0).toInt();
}

void insertaEvento(Conexion& t, int folio, const QVariant& anio) {
    t.ejecuta(QStringLiteral("insert into evento values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {folio, anio, QDateTime(QDate(2011, 3, 4), QTime(10, 0)), QStringLiteral("10:00"),
               QStringLiteral("Inauguración de la Feria del Libro"), QStringLiteral("Palacio de Gobierno"),
               QStringLiteral("007"), QStringLiteral("0001"), QDateTime(QDate(2011, 3, 1), QTime(9, 0)),
               QDateTime(QDate(2011, 3, 1), QTime(9, 0))});
}

// The register writes the year of these two tables as quoted text.
void insertaSuscriptor(Conexion& t, int folio, const QVariant& anio) {
    t.ejecuta(QStringLiteral("insert into suscriptor values (?, ?, ?, ?, ?, ?)"),
              {folio, anio, QStringLiteral("Juana Ocampo Galindo"), QStringLiteral("Presidenta Municipal"),
               QStringLiteral("735-3521840"), QStringLiteral("___-_______")});
}

void insertaRepresentante(Conexion& t, int folio, const QVariant& anio, int instruccion) {
    t.ejecuta(QStringLiteral("insert into representante_del_evento values "
                             "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {folio, anio, QStringLiteral("0004"), QStringLiteral("004"), QStringLiteral("SEB"),
               QStringLiteral("777-3180110"), QStringLiteral("___-_______"), instruccion,
               QStringLiteral("Secretario"), QStringLiteral("Normal"), QString(),
               QDateTime(QDate(2011, 3, 2), QTime(12, 0)), QString(), QString(), QString()});
}

int filasDelEvento(Conexion& t, const QString& tabla, int folio) {
    return cuenta(t, QStringLiteral("select count(*) from ") + tabla + QStringLiteral(" where folio = ?"),
                  {folio});
}

} // namespace

class TstEsquema : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void actualizarDeNuevoNoCambiaNada_data() { agregaMotores(); }
    void actualizarDeNuevoNoCambiaNada() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        for (Catalogo catalogo : {Catalogo::Kelmar, Catalogo::Taloren}) {
            Conexion& c = catalogo == Catalogo::Kelmar ? base.kelmar() : base.taloren();
            const QString tabla = catalogo == Catalogo::Kelmar ? QStringLiteral("funcionarios")
                                                               : QStringLiteral("cat_instrucciones");
            QCOMPARE(Esquema::version(c), Esquema::versionActual(catalogo));
            const int filas = cuenta(c, QStringLiteral("select count(*) from ") + tabla);
            QVERIFY(filas > 0);
            QCOMPARE(Esquema::actualiza(c, catalogo), Esquema::versionActual(catalogo));
            QCOMPARE(cuenta(c, QStringLiteral("select count(*) from version_esquema")),
                     Esquema::versionActual(catalogo));
            QCOMPARE(cuenta(c, QStringLiteral("select count(*) from ") + tabla), filas);
        }
        // A catalog opened again by another connection is not seeded twice.
        auto otra = base.abre(Catalogo::Kelmar);
        QCOMPARE(cuenta(*otra, QStringLiteral("select count(*) from usuarios")), 1);
    }

    void semillaDeLaQueDependeElPrograma_data() { agregaMotores(); }
    void semillaDeLaQueDependeElPrograma() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& k = base.kelmar();

        Recordset rs = k.ejecuta(QStringLiteral("select cvemunicipio from municipios_tmp where nombre = ?"),
                                 {QStringLiteral("Sin Municipio")});
        QCOMPARE(rs.filas(), 1);
        rs = k.ejecuta(QStringLiteral("select municipio, localidad from localidad where nombre = ?"),
                       {QStringLiteral("Sin Localidad")});
        QCOMPARE(rs.filas(), 1);
        QCOMPARE(rs.texto(0, 0), QStringLiteral("000"));
        QCOMPARE(rs.texto(0, 1), QStringLiteral("0000"));

        rs = k.ejecuta(
            QStringLiteral("select Acceso, Mensaje1, FechaUltimaVersion, Criticidad from configuracion"));
        QCOMPARE(rs.filas(), 1);
        QCOMPARE(rs.valor(0, QStringLiteral("Acceso")).toInt(), 1);
        QVERIFY(!rs.esNulo(0, QStringLiteral("Mensaje1")));
        QCOMPARE(rs.texto(0, QStringLiteral("Mensaje1")), QString());
        QCOMPARE(rs.texto(0, QStringLiteral("FechaUltimaVersion")), QStringLiteral("2011-11-18 00:00:00"));
        QCOMPARE(rs.valor(0, QStringLiteral("Criticidad")).toInt(), 0);

        rs = k.ejecuta(QStringLiteral("select Nick, Contrasena from usuarios where CuentaUsr = ?"),
                       {QStringLiteral("admin")});
        QCOMPARE(rs.filas(), 1);
        QCOMPARE(rs.texto(0, QStringLiteral("Nick")), QStringLiteral("Administrador"));
        const QString inicial = QString::fromLatin1(Semilla::contrasenaInicialDeAdmin);
        QVERIFY(!rs.texto(0, QStringLiteral("Contrasena")).contains(inicial));
        QVERIFY(Contrasenas::verifica(inicial, rs.texto(0, QStringLiteral("Contrasena"))));

        QCOMPARE(cuenta(k, QStringLiteral("select count(*) from Anio where Anio = ?"),
                        {QDate::currentDate().year()}),
                 1);

        // What SQLite does not enforce by itself: every key resolves, every
        // municipality offers its seat, every prefix fits the invitation's five
        // characters, and the three prefix lists differ.
        QCOMPARE(cuenta(k, QStringLiteral("select count(*) from funcionarios f"
                                          " left join cargos c on c.cvecargo = f.cvecargo"
                                          " left join areas a on a.cvearea = f.cvearea"
                                          " where c.cvecargo is null or a.cvearea is null")),
                 0);
        QCOMPARE(cuenta(k, QStringLiteral("select count(*) from municipios_tmp")), 34);
        QCOMPARE(cuenta(k, QStringLiteral("select count(*) from municipios_tmp m where not exists"
                                          " (select 1 from localidad l where l.municipio = m.cvemunicipio)")),
                 0);
        QCOMPARE(cuenta(k, QStringLiteral("select count(*) from prefijos where length(Prefijo1) > 5"
                                          " or length(Prefijo2) > 5 or length(Prefijo3) > 5")),
                 0);
        rs = k.ejecuta(
            QStringLiteral("select count(Prefijo1), count(Prefijo2), count(Prefijo3) from prefijos"));
        QVERIFY(rs.valor(0, 0).toInt() > 0 && rs.valor(0, 2).toInt() > 0);
        QVERIFY(rs.valor(0, 0) != rs.valor(0, 1) && rs.valor(0, 1) != rs.valor(0, 2));

        Conexion& t = base.taloren();
        rs = t.ejecuta(QStringLiteral("select * from direcciones_eventos where clave = ?"), {1});
        QCOMPARE(rs.texto(0, 1).trimmed() + QStringLiteral(", ") + rs.texto(0, 0),
                 QStringLiteral("Palacio de Gobierno, Plaza de Armas s/n, Col. Centro, Cuernavaca"));
        QVERIFY(cuenta(t, QStringLiteral("select count(distinct nombre) from suscriptor_frecuente")) > 10);
    }

    void lasLlavesProtegenLosDatos_data() { agregaMotores(); }
    void lasLlavesProtegenLosDatos() {
        MOTOR_DE_LA_FILA(elMotor);
        BaseDePrueba base(elMotor);
        Conexion& t = base.taloren();
        const QString anio = QStringLiteral("2011");

        insertaEvento(t, 1, 2011);
        QCOMPARE(codigoDeError([&] { insertaEvento(t, 1, 2011); }), CodigoDeError::Integridad);
        QCOMPARE(codigoDeError([&] { insertaRepresentante(t, 1, anio, 999); }), CodigoDeError::Integridad);

        bool escrito = false;
        QCOMPARE(codigoDeError([&] {
                     t.enTransaccion([&] {
                         insertaSuscriptor(t, 2, anio);
                         escrito = true;
                     });
                 }),
                 CodigoDeError::Integridad);
        QVERIFY2(escrito, "the missing event is noticed at commit, not at the insert");
        QCOMPARE(filasDelEvento(t, QStringLiteral("suscriptor"), 2), 0);

        t.enTransaccion([&] {
            insertaSuscriptor(t, 3, anio);
            insertaEvento(t, 3, 2011);
            insertaRepresentante(t, 3, anio, 1);
        });
        for (const char* tabla : {"evento", "suscriptor", "representante_del_evento"}) {
            for (const QVariant& forma : {QVariant(2011), QVariant(anio)}) {
                const QString sql = QStringLiteral("select folio from %1 where folio = ? and año = ?")
                                        .arg(QString::fromLatin1(tabla));
                QVERIFY2(
                    t.ejecuta(sql, {3, forma}).filas() == 1,
                    qPrintable(QStringLiteral("%1 con año %2")
                                   .arg(QString::fromLatin1(tabla), QString::fromLatin1(forma.typeName()))));
            }
        }

        t.ejecuta(QStringLiteral("delete from evento where folio = ? and año = ?"), {3, 2011});
        QCOMPARE(filasDelEvento(t, QStringLiteral("suscriptor"), 3), 0);
        QCOMPARE(filasDelEvento(t, QStringLiteral("representante_del_evento"), 3), 0);
        QCOMPARE(filasDelEvento(t, QStringLiteral("evento"), 1), 1);
    }

    void catalogoMasNuevoSeRechaza() {
        BaseDePrueba base;
        for (Catalogo catalogo : {Catalogo::Kelmar, Catalogo::Taloren}) {
            Conexion& c = catalogo == Catalogo::Kelmar ? base.kelmar() : base.taloren();
            const int futura = Esquema::versionActual(catalogo) + 1;
            c.ejecuta(QStringLiteral("insert into version_esquema (version) values (?)"), {futura});
            QVERIFY(codigoDeError([&] { Esquema::actualiza(c, catalogo); }) != 0);
            QCOMPARE(Esquema::version(c), futura);
        }
    }

    void contrasenasCodificadas() {
        const QString a = Contrasenas::codifica(QStringLiteral("contraseña"), 1000);
        const QString b = Contrasenas::codifica(QStringLiteral("contraseña"), 1000);
        QVERIFY(a != b);
        QVERIFY(Contrasenas::verifica(QStringLiteral("contraseña"), a));
        QVERIFY(Contrasenas::verifica(QStringLiteral("contraseña"), b));
        QVERIFY(!Contrasenas::verifica(QStringLiteral("contrasena"), a));
        QVERIFY(!Contrasenas::verifica(QString(), a));
    }

    void contrasenasMalFormadas_data() {
        QTest::addColumn<QString>("guardada");
        const QStringList p = Contrasenas::codifica(QStringLiteral("taloren"), 1000).split(QLatin1Char('$'));
        const auto une = [](const QStringList& partes) { return partes.join(QLatin1Char('$')); };
        QTest::newRow("texto claro") << QStringLiteral("taloren");
        QTest::newRow("otro algoritmo") << une({QStringLiteral("pbkdf2-sha1"), p[1], p[2], p[3]});
        QTest::newRow("sin huella") << une({p[0], p[1], p[2]});
        QTest::newRow("cero iteraciones") << une({p[0], QStringLiteral("0"), p[2], p[3]});
        QTest::newRow("otras iteraciones") << une({p[0], QStringLiteral("1001"), p[2], p[3]});
        QTest::newRow("huella corta") << une({p[0], p[1], p[2], p[3].left(20)});
    }
    void contrasenasMalFormadas() {
        QFETCH(QString, guardada);
        QVERIFY(!Contrasenas::verifica(QStringLiteral("taloren"), guardada));
    }
};

QTEST_MAIN(TstEsquema)
#include "tst_esquema.moc"
