#include "outside/ReglaDeNombres.h"
#include "server/Catalogos.h"
#include "server/Eventos.h"
#include "support/BaseDePrueba.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;
using Captura = Eventos::Captura;

namespace {

// An event with a different value in every field, each text as long as its column stores.
Evento completo(int folio, int anio, const QString& marca = u"a"_s) {
    Evento e;
    int n = 0;
    for (const Evento::CampoDeEvento& c : Evento::campos()) {
        ++n;
        switch (c.tipo) {
        case Esquema::Tipo::VarChar: {
            const QString valor = u"%1%2ñ"_s.arg(marca).arg(n);
            c.escribe(e, QString(valor + QString(c.largo, u'x')).left(c.largo));
            break;
        }
        case Esquema::Tipo::Timestamp:
            c.escribe(e, QDateTime(QDate(anio, 1 + n % 12, 1 + n % 28), QTime(n % 24, n, 7)));
            break;
        default:
            break;
        }
    }
    e.folio = folio;
    e.anio = anio;
    e.claveInstruccion = 3;
    return e;
}

// Every field's value, by the field table, to compare two events whole.
QStringList campos(const Evento& e) {
    QStringList t;
    for (const Evento::CampoDeEvento& c : Evento::campos())
        t << u"%1.%2=%3"_s.arg(QString::fromUtf8(c.tabla), c.nombreDeColumna(), c.lee(e).toString());
    return t;
}

// The three tables whole, to prove that nothing of a failed operation stays.
QStringList filas(Conexion& taloren) {
    QStringList t;
    for (const QString& tabla : Evento::tablas()) {
        const Recordset rs = taloren.ejecuta(u"select * from %1 order by año, folio"_s.arg(tabla));
        for (int f = 0; f < rs.filas(); ++f)
            for (int c = 0; c < rs.columnas(); ++c)
                t << rs.texto(f, c);
    }
    return t;
}

} // namespace

class TstEventos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The field table gives the three tables exactly as the catalogs keep them: columns, order,
    // types, lengths and constraints.
    void tablas() {
        const QString delEvento = u", primary key (folio, año), foreign key (folio, año) references evento "
                                  u"(folio, año) on delete cascade on update cascade deferrable initially "
                                  u"deferred)"_s;
        const QStringList esperadas = {
            u"create table evento (folio integer not null, año smallint not null, fecha timestamp, hora "
            u"varchar(5), descripcion varchar(1000), direccion varchar(500), cve_municipio varchar(5), "
            u"cve_localidad varchar(5), fecha_recepcion timestamp, fecha_fisica timestamp, primary key "
            u"(folio, año), check (folio > 0))"_s,
            u"create table suscriptor (folio integer not null, año smallint not null, nombre varchar(100), "
            u"cargo_suscriptor varchar(150), telefono varchar(20), celular varchar(20)"_s +
                delEvento,
            u"create table representante_del_evento (folio integer not null, año smallint not null, "
            u"clave_fun "
            u"varchar(10), clave_cargo varchar(10), clave_area varchar(10), telefono varchar(20), celular "
            u"varchar(20), clave_instruccion integer references cat_instrucciones (clave_instruccion), "
            u"representa_a varchar(20), caracter varchar(15), observacion varchar(2000), fecha_llamada "
            u"timestamp, nombre varchar(100), cargo varchar(150), area varchar(150)"_s +
                delEvento};
        QStringList hechas;
        for (const Esquema::Tabla& t : Esquema::tablasDelRegistroDeEventos(1))
            hechas << Esquema::sentenciaDeTabla(t, false);
        QCOMPARE(hechas, esperadas);
    }

    // Every field is stored in its column and read back by name, even from a table whose
    // columns stand in another order; an update rewrites every field; a deletion removes all
    // three rows, and a second one removes nothing.
    void registro_data() { agregaMotores(); }
    void registro() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& t = base.taloren();
        const Evento e = completo(4, 2011);
        Eventos::inserta(t, e);
        QVERIFY(!Eventos::busca(t, 4, 2012));
        QCOMPARE(campos(*Eventos::busca(t, 4, 2011)), campos(e));

        // suscriptor made again with its columns in reverse order.
        QStringList columnas;
        for (const Campo& c : Evento::camposDe(u"suscriptor"_s))
            columnas.prepend(c.nombreDeColumna());
        t.enTransaccion([&] {
            t.ejecuta(u"create table vuelta as select %1 from suscriptor"_s.arg(columnas.join(u", "_s)));
            t.ejecuta(u"drop table suscriptor"_s);
            t.ejecuta(u"alter table vuelta rename to suscriptor"_s);
        });
        QCOMPARE(campos(Eventos::lee(t, 4, 2011)), campos(e));

        Evento otro = completo(4, 2011, u"b"_s);
        otro.claveInstruccion = 2;
        Eventos::actualiza(t, otro);
        QCOMPARE(campos(Eventos::lee(t, 4, 2011)), campos(otro));
        QCOMPARE(Eventos::elimina(t, 4, 2011), 1);
        QVERIFY(filas(t).isEmpty());
        QCOMPARE(Eventos::elimina(t, 4, 2011), 0);
    }

    // The register's rules, as two screens on two stations follow them: the first save of a new
    // event draws its folio (one more than the year's highest, gaps not filled), the next stores
    // it; a screen overwrites or deletes only the event it looked up or stored; a folio another
    // station stored meanwhile is drawn again; an event deleted meanwhile is no longer held.
    void reglas_data() { agregaMotores(); }
    void reglas() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& t = base.taloren();
        const auto otraEstacion = base.abre(Catalogo::Taloren);
        QVERIFY(Captura::tocaSortear(u" "_s) && !Captura::tocaSortear(u"7"_s));

        Captura aqui, alla;
        QCOMPARE(aqui.sortea(t, 2011), u"1"_s);
        QCOMPARE(alla.sortea(*otraEstacion, 2011), u"1"_s);
        QCOMPARE(alla.guarda(*otraEstacion, completo(1, 2011, u"allá"_s)).resultado,
                 Captura::Resultado::Insertado);
        const Captura::Guardado tomado = aqui.guarda(t, completo(1, 2011, u"aquí"_s));
        QCOMPARE(tomado.resultado, Captura::Resultado::FolioTomado);
        QCOMPARE(tomado.nuevoFolio, 2);
        QCOMPARE(aqui.guarda(t, completo(2, 2011, u"aquí"_s)).resultado, Captura::Resultado::Insertado);
        QCOMPARE(Eventos::lee(t, 1, 2011).descripcion.left(4), u"allá"_s);

        // Saving again updates; a folio stored by the other screen is left alone, and the drawn
        // folio is not taken again once stored.
        QCOMPARE(aqui.guarda(t, completo(2, 2011, u"otra vez"_s)).resultado, Captura::Resultado::Actualizado);
        const QStringList antes = filas(t);
        QCOMPARE(aqui.guarda(t, completo(1, 2011, u"encima"_s)).resultado, Captura::Resultado::FolioAjeno);
        QCOMPARE(filas(t), antes);
        QVERIFY(aqui.esElConsultado(2, 2011) && !aqui.esElConsultado(1, 2011));

        // Folios count within the year of the event: a deleted highest folio is given again, a
        // gap is not filled.
        for (int folio : {3, 4, 5})
            Eventos::inserta(t, completo(folio, 2011));
        Eventos::elimina(t, 3, 2011);
        QCOMPARE(Eventos::siguienteFolio(t, 2011), u"6"_s);
        Eventos::elimina(t, 5, 2011);
        QCOMPARE(Eventos::siguienteFolio(t, 2011), u"5"_s);
        QCOMPARE(Eventos::siguienteFolio(t, 2012), u"1"_s);
        QCOMPARE(Eventos::anioDelEvento(QDate(2012, 1, 10)), 2012);

        // The other station deletes the event this screen holds.
        alla.consultado(2, 2011);
        QCOMPARE(alla.elimina(*otraEstacion, 2, 2011), 1);
        QCOMPARE(aqui.elimina(t, 2, 2011), 0);
        QVERIFY(!aqui.esElConsultado(2, 2011));
        aqui.olvida();
        QCOMPARE(aqui.guarda(t, completo(1, 2011)).resultado, Captura::Resultado::FolioAjeno);
    }

    // A database that fails in mid-operation: the error reaches the caller, and the register
    // holds nothing of the failed operation.
    void fallas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("operacion");
        QTest::addColumn<QString>("tabla"); // renamed away; none: its suscriptor row deleted first
        const struct {
            const char *nombre, *tabla;
        } casos[] = {{"insertar", "representante_del_evento"},
                     {"actualizar", "representante_del_evento"},
                     {"actualizar sin fila", ""},
                     {"eliminar", "representante_del_evento"},
                     {"leer", "representante_del_evento"},
                     {"leer sin fila", ""}};
        agregaFilasPorMotor(casos, [](QTestData& fila, const auto& c) {
            fila << QString::fromUtf8(c.nombre).section(u' ', 0, 0) << QString::fromUtf8(c.tabla);
        });
    }
    void fallas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, operacion);
        QFETCH(QString, tabla);
        BaseDePrueba base(motor);
        Conexion& t = base.taloren();
        Eventos::inserta(t, completo(1, 2011));
        if (tabla.isEmpty())
            t.ejecuta(u"delete from suscriptor"_s);
        const QStringList antes = filas(t);
        if (!tabla.isEmpty())
            t.ejecuta(u"alter table %1 rename to roto"_s.arg(tabla));
        const ErrorDeEjecucion error = errorDe([&] {
            if (operacion == "insertar"_L1)
                Eventos::inserta(t, completo(2, 2011));
            else if (operacion == "actualizar"_L1)
                Eventos::actualiza(t, completo(1, 2011, u"b"_s));
            else if (operacion == "eliminar"_L1)
                Eventos::elimina(t, 1, 2011);
            else
                Eventos::busca(t, 1, 2011);
        });
        QVERIFY2(error.numero() != 0, qPrintable(operacion));
        if (tabla.isEmpty())
            QVERIFY2(
                error.numero() == CodigoDeError::FinDeRegistros &&
                    error.descripcion().startsWith(
                        u"El evento con folio 1 del año 2011 no tiene registro en la tabla suscriptor"_s),
                qPrintable(error.descripcion()));
        else
            t.ejecuta(u"alter table roto rename to %1"_s.arg(tabla));
        QCOMPARE(filas(t), antes);
    }

    // The catalogues: lists read whole and sorted by the name rule; a look-up by name ignores
    // case and accents, prefers the exact spelling and seeks a locality within its municipality;
    // a look-up by key gives the name; a missing table is an error, never an empty answer.
    void catalogos_data() { agregaMotores(); }
    void catalogos() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Catalogos c(base.kelmar(), base.taloren());
        for (QStringList lista :
             {c.suscriptoresFrecuentes(), c.municipios(), c.funcionarios(), c.lugares()}) {
            QVERIFY(lista.size() > 5);
            const QStringList leida = lista;
            ReglaDeNombres::ordena(lista);
            QCOMPARE(leida, lista);
        }
        QCOMPARE(c.suscriptoresFrecuentes().count(u"Héctor Luna Velázquez"_s), 1);
        QVERIFY(c.instrucciones().first().contains(QRegularExpression(u"^\\d+ \\S"_s)));
        QVERIFY(c.localidades(u"020"_s).contains(u"Amatlán de Quetzalcóatl"_s));

        const auto patricia = c.funcionarioPorNombre(u"PATRICIA ocampo bahena"_s);
        QVERIFY(patricia);
        QCOMPARE((QStringList{patricia->clave, patricia->nombre, patricia->cveCargo, patricia->cveArea}),
                 (QStringList{u"0004"_s, u"Patricia Ocampo Bahena"_s, u"004"_s, u"SEB"_s}));
        QCOMPARE(c.cargo(u"004"_s).value_or(QString()), u"Subsecretario de Educación Básica"_s);
        QCOMPARE(c.area(u"SEB"_s).value_or(QString()), u"Subsecretaría de Educación Básica"_s);
        QCOMPARE(c.funcionario(u"0004"_s)->nombre, patricia->nombre);
        QCOMPARE(c.municipioPorNombre(u"tepoztlan"_s)->clave, u"020"_s);
        QCOMPARE(c.municipio(u"020"_s).value_or(QString()), u"Tepoztlán"_s);
        QVERIFY(c.cargoDeSuscriptor(u"hector luna velazquez"_s));
        QVERIFY(c.instruccion(1) && !c.instruccion(999) && !c.funcionario(u"X"_s) && !c.cargo(QString()));
        for (const auto& [municipio, localidad] : {std::pair{"007", "0100"}, std::pair{"006", "0200"}})
            base.kelmar().ejecuta(
                u"insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"_s,
                {QString::fromLatin1(municipio), QString::fromLatin1(localidad), u"San Isidro"_s});
        QCOMPARE(c.localidadPorNombre(u"006"_s, u"san isidro"_s)->clave, u"0200"_s);
        QCOMPARE(c.localidad(u"007"_s, u"0100"_s).value_or(QString()), u"San Isidro"_s);
        QVERIFY(!c.localidadPorNombre(u"007"_s, u"Tetelcingo"_s));

        base.kelmar().ejecuta(u"alter table municipios_tmp rename to roto"_s);
        QVERIFY(errorDe([&] { c.municipioPorNombre(u"Cuautla"_s); }).numero() < 0);
        QVERIFY(errorDe([&] { c.municipios(); }).numero() < 0);
    }
};

QTEST_GUILESS_MAIN(TstEventos)
#include "tst_eventos.moc"
