#include "outside/ReglaDeNombres.h"
#include "server/Catalogos.h"
#include "server/Eventos.h"
#include "support/BaseDePrueba.h"

#include <QMutex>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;
using Captura = Eventos::Captura;

namespace {

const Autor aqui{u"memo"_s, u"ventanilla-1"_s};
const Autor otra{u"memo"_s, u"ventanilla-2"_s};

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
    // columns stand in another order; an update rewrites every field and raises the version; a
    // deletion removes all three rows, and a second one removes nothing.
    void registro_data() { agregaMotores(); }
    void registro() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& t = base.taloren();
        Evento e = completo(4, 2011);
        Eventos::inserta(t, e, aqui);
        QVERIFY(!Eventos::busca(t, 4, 2012));
        e.version = 1;
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
        otro.version = 1;
        QCOMPARE(Eventos::actualiza(t, otro, aqui), Eventos::Escritura::Hecha);
        otro.version = 2;
        QCOMPARE(campos(Eventos::lee(t, 4, 2011)), campos(otro));
        QCOMPARE(Eventos::elimina(t, 4, 2011, 1, aqui), Eventos::Escritura::Cambiado);
        QCOMPARE(Eventos::elimina(t, 4, 2011, 2, aqui), Eventos::Escritura::Hecha);
        QVERIFY(filas(t).isEmpty());
        QCOMPARE(Eventos::elimina(t, 4, 2011, 2, aqui), Eventos::Escritura::Eliminado);
    }

    // The register's rules, as two screens on two stations follow them: the first save of a new
    // event shows the folio it will most likely get, the next stores it under the folio drawn
    // then; a screen overwrites or deletes only the event it looked up or stored, and only at
    // the version it read, unless the person chose to overwrite the newer one.
    void reglas_data() { agregaMotores(); }
    void reglas() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& t = base.taloren();
        const auto otraEstacion = base.abre(Catalogo::Taloren);
        QVERIFY(Captura::tocaSortear(u" "_s) && !Captura::tocaSortear(u"7"_s));

        Captura aca, alla;
        QCOMPARE(aca.sortea(t, 2011), u"1"_s);
        QCOMPARE(alla.sortea(*otraEstacion, 2011), u"1"_s);
        QCOMPARE(alla.guarda(*otraEstacion, completo(1, 2011, u"allá"_s), otra).resultado,
                 Captura::Resultado::Insertado);
        // The folio shown was taken meanwhile: stored under the next, and said so.
        const Captura::Guardado tomado = aca.guarda(t, completo(1, 2011, u"aquí"_s), aqui);
        QCOMPARE(tomado.resultado, Captura::Resultado::Insertado);
        QCOMPARE(tomado.folio, 2);
        QCOMPARE(Eventos::lee(t, 1, 2011).descripcion.left(4), u"allá"_s);
        QCOMPARE(Eventos::lee(t, 2, 2011).descripcion.left(4), u"aquí"_s);

        // Saving again updates; a folio stored by the other screen is left alone.
        QCOMPARE(aca.guarda(t, completo(2, 2011, u"otra vez"_s), aqui).resultado,
                 Captura::Resultado::Actualizado);
        const QStringList antes = filas(t);
        QCOMPARE(aca.guarda(t, completo(1, 2011, u"encima"_s), aqui).resultado,
                 Captura::Resultado::FolioAjeno);
        QCOMPARE(filas(t), antes);
        QVERIFY(aca.esElConsultado(2, 2011) && !aca.esElConsultado(1, 2011));

        // Both look up event 2; the other station saves first: this one's save and deletion
        // change nothing until the person chooses to overwrite the version it saw.
        alla.consultado(Eventos::lee(*otraEstacion, 2, 2011));
        aca.consultado(Eventos::lee(t, 2, 2011));
        QCOMPARE(alla.guarda(*otraEstacion, completo(2, 2011, u"de allá"_s), otra).resultado,
                 Captura::Resultado::Actualizado);
        const QStringList deAlla = filas(t);
        QCOMPARE(aca.guarda(t, completo(2, 2011, u"de aquí"_s), aqui).resultado,
                 Captura::Resultado::Cambiado);
        QCOMPARE(aca.elimina(t, 2, 2011, aqui), Eventos::Escritura::Cambiado);
        QCOMPARE(filas(t), deAlla);
        QCOMPARE(aca.guarda(t, completo(2, 2011, u"de aquí"_s), aqui, 3).resultado,
                 Captura::Resultado::Actualizado);
        QCOMPARE(Eventos::lee(t, 2, 2011).descripcion.left(7), u"de aquí"_s);
        QCOMPARE(Eventos::lee(t, 2, 2011).version, 4);
        QCOMPARE(Historial::ultima(t, Catalogo::Taloren, 2011, 2)->sobrescribe, 3);

        // Folios count within the year of the event; a deleted folio is never given again.
        for (int folio : {3, 4, 5})
            Eventos::inserta(t, completo(folio, 2011), aqui);
        QCOMPARE(Eventos::elimina(t, 5, 2011, 1, aqui), Eventos::Escritura::Hecha);
        QCOMPARE(Eventos::siguienteFolio(t, 2011), u"6"_s);
        QCOMPARE(Eventos::insertaConFolioNuevo(t, completo(0, 2011), aqui), 6);
        QCOMPARE(Eventos::siguienteFolio(t, 2012), u"1"_s);
        QCOMPARE(Eventos::anioDelEvento(QDate(2012, 1, 10)), 2012);

        // The other station deletes the event this screen holds.
        alla.consultado(Eventos::lee(*otraEstacion, 3, 2011));
        aca.consultado(Eventos::lee(t, 3, 2011));
        QCOMPARE(alla.elimina(*otraEstacion, 3, 2011, otra), Eventos::Escritura::Hecha);
        QCOMPARE(aca.guarda(t, completo(3, 2011), aqui).resultado, Captura::Resultado::Eliminado);
        QCOMPARE(aca.elimina(t, 3, 2011, aqui), Eventos::Escritura::Eliminado);
        QVERIFY(!aca.esElConsultado(3, 2011));
        QCOMPARE(aca.guarda(t, completo(1, 2011), aqui).resultado, Captura::Resultado::FolioAjeno);
    }

    // Every change leaves its entry, in the same unit: a new event names no field, a change
    // only those it changed (before and after), a deletion the whole event as it was. The
    // entries cannot be changed nor removed, and an entry that cannot be written undoes the
    // change it tells.
    void historial_data() { agregaMotores(); }
    void historial() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& t = base.taloren();
        Evento e = completo(0, 2011);
        e.folio = Eventos::insertaConFolioNuevo(t, e, aqui);
        e.version = 1;
        Evento cambiado = e;
        cambiado.hora = u"17:30"_s;
        cambiado.nombreRepresentante = u"Ana Pérez"_s;
        QCOMPARE(Eventos::actualiza(t, cambiado, otra), Eventos::Escritura::Hecha);
        QCOMPARE(Eventos::elimina(t, e.folio, 2011, 2, aqui), Eventos::Escritura::Hecha);

        const QList<Historial::Entrada> h = Historial::delRegistro(t, Catalogo::Taloren, 2011, e.folio);
        QCOMPARE(h.size(), 3);
        QCOMPARE(h.at(0).tipo, Historial::Tipo::Baja);
        QCOMPARE(h.at(1).tipo, Historial::Tipo::Cambio);
        QCOMPARE(h.at(2).tipo, Historial::Tipo::Alta);
        QCOMPARE(h.at(2).campos.size(), 0);
        QCOMPARE(h.at(1).cuenta, u"memo"_s);
        QCOMPARE(h.at(1).estacion, u"ventanilla-2"_s);
        QVERIFY(!h.at(1).rol.isEmpty() && h.at(1).fecha.isValid());
        const QList<Historial::CambioDeCampo> cambio{
            {u"evento.hora"_s, e.hora, u"17:30"_s},
            {u"representante_del_evento.nombre"_s, e.nombreRepresentante, u"Ana Pérez"_s}};
        QCOMPARE(h.at(1).campos, cambio);
        QCOMPARE(Historial::rotuloDe(Catalogo::Taloren, cambio.at(1).campo), u"Nombre del representante"_s);
        // The deletion keeps every field of the event as it was stored.
        QCOMPARE(h.at(0).campos.size(), Evento::campos().size() - 7);
        for (const Historial::CambioDeCampo& c : h.at(0).campos)
            QVERIFY2(c.despues.isNull(), qPrintable(c.campo));
        QVERIFY(h.at(0).campos.contains(Historial::CambioDeCampo{u"evento.hora"_s, u"17:30"_s, {}}));
        QCOMPARE(Historial::borrados(t, Catalogo::Taloren).size(), 1);
        QCOMPARE(Historial::borrados(t, Catalogo::Taloren, h.at(0).fecha.date().addDays(1)).size(), 0);

        // Rewriting the history from this connection: refused on the embedded catalog by its
        // triggers (a server's station role is refused by its privileges: tst_administracion).
        if (motor == Motor::SQLite) {
            QVERIFY(errorDe([&] { t.ejecuta(u"update historial set cuenta = 'otro'"_s); }).numero() != 0);
            QVERIFY(errorDe([&] { t.ejecuta(u"delete from historial_campo"_s); }).numero() != 0);
            QCOMPARE(Historial::delRegistro(t, Catalogo::Taloren, 2011, e.folio), h);
        }

        // A history that refuses the entry undoes the save, the update and the deletion.
        const Evento otro = completo(0, 2011, u"b"_s);
        const int folio = Eventos::insertaConFolioNuevo(t, otro, aqui);
        const QStringList antes = filas(t);
        t.ejecuta(u"alter table historial rename to historial_roto"_s);
        QVERIFY(errorDe([&] { Eventos::insertaConFolioNuevo(t, otro, aqui); }).numero() != 0);
        Evento corregido = Eventos::lee(t, folio, 2011);
        corregido.hora = u"09:00"_s;
        QVERIFY(errorDe([&] { Eventos::actualiza(t, corregido, aqui); }).numero() != 0);
        QVERIFY(errorDe([&] { Eventos::elimina(t, folio, 2011, 1, aqui); }).numero() != 0);
        QCOMPARE(filas(t), antes);
    }

    // Eight stations save new events at once, each its own connection and screen: every save
    // succeeds on its first pair of clicks, and the folios are distinct and consecutive within
    // each year, across a change of year too.
    void ochoEstaciones_data() { agregaMotores(); }
    void ochoEstaciones() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        constexpr int estaciones = 8, porEstacion = 12;
        QList<QThread*> hilos;
        QAtomicInt fallidas = 0;
        QStringList errores;
        QMutex candado;
        for (int n = 0; n < estaciones; ++n)
            hilos << QThread::create([&, n] {
                try {
                    const auto c = base.abre(Catalogo::Taloren);
                    const Autor autor{u"memo"_s, u"estación %1"_s.arg(n)};
                    for (int i = 0; i < porEstacion; ++i) {
                        Captura pantalla;
                        const int anio = 2011 + i % 2;
                        Evento e = completo(pantalla.sortea(*c, anio).toInt(), anio);
                        if (pantalla.guarda(*c, e, autor).resultado != Captura::Resultado::Insertado)
                            fallidas.fetchAndAddRelaxed(1);
                    }
                } catch (...) {
                    const QMutexLocker bloqueo(&candado);
                    errores << ErrorDeEjecucion::actual().descripcion();
                }
            });
        for (QThread* h : hilos)
            h->start();
        for (QThread* h : hilos) {
            h->wait();
            delete h;
        }
        QVERIFY2(errores.isEmpty(), qPrintable(errores.join(u'\n')));
        QCOMPARE(fallidas.loadRelaxed(), 0);
        for (int anio : {2011, 2012}) {
            const Recordset rs =
                base.taloren().ejecuta(u"select folio from evento where año = ? order by folio"_s, {anio});
            QCOMPARE(rs.filas(), estaciones * porEstacion / 2);
            for (int i = 0; i < rs.filas(); ++i)
                QCOMPARE(rs.valor(i, 0).toInt(), i + 1);
        }
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
                     {"insertar contador", "folio_evento"},
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
        Eventos::inserta(t, completo(1, 2011), aqui);
        if (tabla.isEmpty())
            t.ejecuta(u"delete from suscriptor"_s);
        const QStringList antes = filas(t);
        if (!tabla.isEmpty())
            t.ejecuta(u"alter table %1 rename to roto"_s.arg(tabla));
        const ErrorDeEjecucion error = errorDe([&] {
            Evento b = completo(1, 2011, u"b"_s);
            b.version = 1;
            if (operacion == "insertar"_L1)
                Eventos::insertaConFolioNuevo(t, completo(2, 2011), aqui);
            else if (operacion == "actualizar"_L1)
                Eventos::actualiza(t, b, aqui);
            else if (operacion == "eliminar"_L1)
                Eventos::elimina(t, 1, 2011, 1, aqui);
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
