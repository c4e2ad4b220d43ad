#include "server/Evento.h"
#include "server/Eventos.h"
#include "server/Historial.h"
#include "server/Invitaciones.h"
#include "server/Servidor.h"
#include "server/administracion/Administracion.h"
#include "server/administracion/Apertura.h"
#include "server/administracion/Cuentas.h"
#include "server/administracion/Migraciones.h"
#include "server/intercambio/Csv.h"
#include "server/intercambio/Intercambio.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"
#include "support/RegistroDeEventos.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <functional>

using namespace Qt::StringLiterals;
using Intercambio::Opciones;

namespace {

const Autor autor{u"memo"_s, u"ventanilla-1"_s};
QAtomicInt contador;

// Settings that name catalogs which do not exist yet (a restore's target);
// a server's are dropped afterwards.
struct SinCatalogos {
    QTemporaryDir dir;
    AjustesDeConexion ajustes;
    explicit SinCatalogos(Motor motor) {
        if (motor == Motor::SQLite) {
            ajustes.carpeta = dir.filePath(u"catalogos"_s);
            return;
        }
        ajustes = AjustesDeConexion::dePostgres(BaseDePrueba::cadenaPostgres());
        const QString prefijo =
            u"tlx_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(contador.fetchAndAddRelaxed(1));
        ajustes.kelmar.baseDeDatos = prefijo + u"_kelmar"_s;
        ajustes.taloren.baseDeDatos = prefijo + u"_taloren"_s;
        ajustes.administrador = {u"postgres"_s, ajustes.kelmar.usuario, ajustes.kelmar.contrasena};
    }
    ~SinCatalogos() {
        if (ajustes.motor == Motor::PostgreSQL)
            try {
                Administracion::borraCatalogos(ajustes);
            } catch (const std::exception& e) {
                qWarning("no se borraron las bases de prueba: %s", e.what());
            }
    }
    std::unique_ptr<Conexion> abre(Catalogo c) const {
        return Servidor::abre(c, Administracion::comoAdministrador(ajustes));
    }
};

AjustesDeConexion deAdministracion(const BaseDePrueba& b) {
    return AjustesDeConexion::lee(b.archivoDeAdministracion());
}

Intercambio::Resultado importa(const AjustesDeConexion& ajustes, const QString& origen,
                               std::function<void(Opciones&)> ajusta = {}) {
    static QTemporaryDir informes;
    Opciones o;
    o.origen = origen;
    o.carpetaDelInforme = informes.path();
    if (ajusta)
        ajusta(o);
    return Intercambio::importa(ajustes, o);
}

// A file with its folders; a test sees a failure in what reads it.
void guarda(const QString& ruta, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(ruta).path());
    escribeArchivo(ruta, bytes);
}

// Every file of an export by its path in it; the manifest apart.
QMap<QString, QByteArray> archivos(const QString& carpeta) {
    QMap<QString, QByteArray> r;
    QDirIterator it(carpeta, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString ruta = it.next();
        QFile f(ruta);
        if (f.open(QIODevice::ReadOnly) && !ruta.endsWith(u"manifiesto.json"_s))
            r.insert(QDir(carpeta).relativeFilePath(ruta), f.readAll());
    }
    return r;
}

QJsonObject manifiesto(const QString& carpeta) {
    QFile f(QDir(carpeta).filePath(u"manifiesto.json"_s));
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
}

// Changes one catalog's entry of an export's manifest.
void cambiaManifiesto(const QString& carpeta, const QString& catalogo,
                      const std::function<void(QJsonObject&)>& cambia) {
    QJsonObject m = manifiesto(carpeta);
    QJsonObject cats = m.value(u"catalogos"_s).toObject();
    QJsonObject cat = cats.value(catalogo).toObject();
    cambia(cat);
    cats.insert(catalogo, cat);
    m.insert(u"catalogos"_s, cats);
    guarda(QDir(carpeta).filePath(u"manifiesto.json"_s), QJsonDocument(m).toJson());
}

// Rewrites an exported file and its entry of the manifest, as if the export had held it.
void reescribe(const QString& carpeta, const QString& catalogo, const QString& tabla, const QByteArray& bytes,
               int filas) {
    guarda(QDir(carpeta).filePath(catalogo + u'/' + tabla + u".csv"_s), bytes);
    cambiaManifiesto(carpeta, catalogo, [&](QJsonObject& cat) {
        QJsonArray tablas = cat.value(u"tablas"_s).toArray();
        for (qsizetype i = 0; i < tablas.size(); ++i) {
            QJsonObject t = tablas.at(i).toObject();
            if (t.value(u"nombre"_s).toString() == tabla) {
                t.insert(u"filas"_s, filas);
                t.insert(
                    u"sha256"_s,
                    QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
                tablas[i] = t;
            }
        }
        cat.insert(u"tablas"_s, tablas);
    });
}

// Both catalogs whole, in the portable format: what "exactly as before" compares.
QMap<QString, QByteArray> estado(const AjustesDeConexion& ajustes) {
    QTemporaryDir dir;
    const QString carpeta = dir.filePath(u"e"_s);
    Intercambio::exporta(ajustes, carpeta, {Catalogo::Kelmar, Catalogo::Taloren});
    return archivos(carpeta);
}

// A catalog with some of everything: accounts, invitations with odd texts and
// their history, events with theirs and their counters.
void llena(BaseDePrueba& b) {
    Administracion::cambiaContrasena(b.kelmar(), u"admin"_s, u"nueva1"_s);
    Administracion::agregaUsuario(b.kelmar(), u"lupita"_s, u"Lupita"_s, u"clave1"_s);
    InvitacionDePrueba i;
    i.descripcion = u"Comida \"anual\", con coma\r\ny salto: áéíóú ñ"_s;
    i.observacion = u""_s;
    for (int n = 0; n < 3; ++n)
        Invitaciones::registra(b.kelmar(), i.registro(), autor);
    Invitacion cambiada = *Invitaciones::busca(b.kelmar(), 2011, 2);
    cambiada.representante = u"Ángel Muñoz"_s;
    cambiada.estatus = u"CONFIRMADA"_s;
    Invitaciones::corrige(b.kelmar(), cambiada, autor);
    RegistroDeEventos::genera(
        b.kelmar(), b.taloren(),
        {.eventos = 12, .desde = QDate(2011, 1, 1), .funcionarios = 4, .cargos = 2, .localidades = 1});
    EventoDePrueba e;
    e.fecha = QDateTime(QDate(2012, 5, 4), QTime(9, 30));
    Eventos::insertaConFolioNuevo(b.taloren(), RegistroDeEventos::comoEvento(e), autor);
}

bool entra(Conexion& kelmar, const QString& cuenta, const QString& contrasena) {
    return !Cuentas::valida(kelmar, cuenta, contrasena).estaVacio();
}

QString todas(const Intercambio::Resultado& r) {
    return r.lineas.join(u'\n');
}

// ----- an earlier server: its tables in its own style, as a CSV folder or an ODBC database

struct TablaAntigua {
    Catalogo catalogo;
    QString tabla;
    QStringList columnas;
    QList<QStringList> filas; // "\x01" stands for a null
    QString tipos;            // the server's own column types, for the ODBC copy
};
const QString nulo = u"\x01"_s;

// Its dates: dd/mm/yyyy in a spreadsheet's CSV, datetime texts in the server.
QString fechaAntigua(const QDateTime& f, bool odbc) {
    return odbc ? f.toString(u"yyyy-MM-dd HH:mm:ss.000"_s) : f.toString(u"dd/MM/yyyy HH:mm"_s);
}

// A table of the earlier server from this program's field table: the first version's columns, their
// types in the server's words (`entero` for numbers), and a row per key of the values `valor` gives.
template <typename Campos, typename Valor>
TablaAntigua antigua(Catalogo catalogo, const QString& tabla, const Campos& campos, const QString& entero,
                     const QList<std::pair<int, int>>& llaves, Valor valor) {
    TablaAntigua t{catalogo, tabla, {}, {}, {}};
    QStringList tipos;
    for (const auto& c : campos)
        if (c.version == 1) {
            t.columnas << c.nombreDeColumna();
            tipos << (c.tipo == Esquema::Tipo::VarChar     ? u"varchar(%1)"_s.arg(c.largo)
                      : c.tipo == Esquema::Tipo::Timestamp ? u"datetime"_s
                                                           : entero);
        }
    t.tipos = tipos.join(u", "_s);
    for (const auto& [anio, folio] : llaves) {
        QStringList f;
        for (const auto& c : campos)
            if (c.version == 1)
                f << valor(c, anio, folio);
        t.filas << f;
    }
    return t;
}

QList<TablaAntigua> tablasAnteriores(bool odbc) {
    QList<TablaAntigua> t{
        {Catalogo::Kelmar,
         u"areas"_s,
         {u"cvearea"_s, u"nombre"_s},
         {{u"DGA"_s, u"Dirección General"_s}, {u"SE"_s, u"Oficina del Secretario"_s}},
         u"varchar(10), varchar(150)"_s},
        {Catalogo::Kelmar,
         u"cargos"_s,
         {u"cvecargo"_s, u"descripcion"_s},
         {{u"001"_s, u"Secretario"_s}},
         u"varchar(10), varchar(150)"_s},
        {Catalogo::Kelmar,
         u"funcionarios"_s,
         {u"cvefuncionario"_s, u"nombre"_s, u"cvecargo"_s, u"cvearea"_s, u"telefono"_s},
         {{u"0001"_s, u"Ángel Muñoz Óscar"_s, u"001"_s, u"SE"_s, u"777-1"_s},
          {u"0002"_s, u"José Peña"_s, nulo, u"DGA"_s, nulo}},
         u"varchar(10), varchar(100), varchar(10), varchar(10), varchar(100)"_s},
        {Catalogo::Kelmar,
         u"usuarios"_s,
         {u"CuentaUsr"_s, u"Nick"_s, u"Contrasena"_s, u"Activo"_s},
         {{u"lupita"_s, u"Lupita"_s, u"secreto"_s, u"1"_s}},
         u"varchar(10), varchar(50), varchar(20), smallint"_s},
        {Catalogo::Taloren,
         u"cat_instrucciones"_s,
         {u"clave_instruccion"_s, u"descripcion"_s},
         {{u"1"_s, u"Asistir"_s}},
         u"int, varchar(250)"_s},
    };
    // The invitations: every field but the version, which the earlier server lacks.
    t << antigua(Catalogo::Kelmar, odbc ? u"InvitacionAnterior"_s : u"invitacion"_s, Invitacion::campos(),
                 u"smallint"_s, {{2008, 1}, {2008, 7}, {2009, 3}}, [&](const auto& c, int anio, int folio) {
                     const QString col = c.nombreDeColumna();
                     if (col == u"Anio"_s)
                         return QString::number(anio);
                     if (col == u"Folio"_s)
                         return QString::number(folio);
                     if (col == u"FechaModif"_s)
                         return odbc ? nulo : u""_s;
                     if (c.tipo == Esquema::Tipo::Timestamp)
                         return fechaAntigua(QDateTime(QDate(anio, 3, 25), QTime(folio, 30)), odbc);
                     if (col == u"RepresentaA"_s)
                         return u"Gob"_s;
                     if (col == u"Estatus"_s)
                         return u"SINCONFIRMAR"_s;
                     if (QByteArray(c.resto).contains("default ''") && folio == 7)
                         return u""_s; // an optional text left empty
                     return (u"%1 ñ %2"_s.arg(col).arg(folio)).left(c.largo);
                 });
    // The event register's three tables, every field filled.
    for (const QString& tabla : Evento::tablas())
        t << antigua(Catalogo::Taloren, tabla, Evento::camposDe(tabla), u"int"_s,
                     {{2011, 4}, {2011, 9}, {2012, 2}}, [&](const auto& c, int anio, int folio) {
                         const QString col = c.nombreDeColumna();
                         if (col == u"folio"_s)
                             return QString::number(folio);
                         if (col == u"año"_s)
                             return QString::number(anio);
                         if (col == u"clave_instruccion"_s)
                             return u"1"_s;
                         if (c.tipo == Esquema::Tipo::Timestamp)
                             return fechaAntigua(QDateTime(QDate(anio, 1 + folio, 14 + folio), QTime(10, 15)),
                                                 odbc);
                         return (u"%1%2ñ"_s.arg(col.left(3)).arg(folio)).left(c.largo);
                     });
    return t;
}

// The same tables as a CSV folder: funcionarios in Windows-1252 (a
// spreadsheet's "save as CSV"), areas with a byte-order mark, the rest UTF-8.
void escribeCarpetaAntigua(const QString& carpeta, const QList<TablaAntigua>& tablas) {
    for (const TablaAntigua& t : tablas) {
        QByteArray bytes;
        QStringList lineas{t.columnas.join(u',')};
        for (const QStringList& f : t.filas) {
            QStringList campos;
            for (const QString& v : f)
                campos << (v == nulo ? u""_s : v.contains(u',') ? u"\"%1\""_s.arg(v) : v);
            lineas << campos.join(u',');
        }
        const QString texto = lineas.join(u"\r\n"_s) + u"\r\n"_s;
        if (t.tabla == u"funcionarios"_s)
            bytes = texto.toLatin1(); // Latin-1 and Windows-1252 agree on these letters
        else if (t.tabla == u"areas"_s)
            bytes = "\xEF\xBB\xBF" + texto.toUtf8();
        else
            bytes = texto.toUtf8();
        guarda(QDir(carpeta).filePath(Servidor::nombre(t.catalogo) + u'/' + t.tabla + u".csv"_s), bytes);
    }
}

// The same tables in SQLite files through the SQLite ODBC driver: the
// server's own types, no constraints of this program.
QString escribeServidorOdbc(const QString& carpeta, const QList<TablaAntigua>& tablas) {
    for (Catalogo c : {Catalogo::Kelmar, Catalogo::Taloren}) {
        const QString nombre = u"anterior-%1"_s.arg(contador.fetchAndAddRelaxed(1));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, nombre);
            db.setDatabaseName(QDir(carpeta).filePath(Servidor::nombre(c) + u".db"_s));
            db.open();
            for (const TablaAntigua& t : tablas) {
                if (t.catalogo != c)
                    continue;
                QStringList defs;
                const QStringList tipos = t.tipos.split(u", "_s);
                for (int i = 0; i < t.columnas.size(); ++i)
                    defs << u"[%1] %2"_s.arg(t.columnas.at(i), tipos.at(i));
                QSqlQuery q(db);
                q.exec(u"create table [%1] (%2)"_s.arg(t.tabla, defs.join(u", "_s)));
                for (const QStringList& f : t.filas) {
                    q.prepare(u"insert into [%1] values (%2)"_s.arg(
                        t.tabla, QStringList(f.size(), u"?"_s).join(u',')));
                    for (int i = 0; i < f.size(); ++i)
                        q.bindValue(i, f.at(i) == nulo ? QVariant() : QVariant(f.at(i)));
                    if (!q.exec())
                        qWarning("%s", qPrintable(q.lastError().text()));
                }
            }
        }
        QSqlDatabase::removeDatabase(nombre);
    }
    return u"odbc:DRIVER=SQLite3;Database=%1/{catalogo}.db"_s.arg(carpeta);
}

// What the catalog must hold of one earlier table: the portable form of each value.
QList<QStringList> esperado(const TablaAntigua& t) {
    QList<QStringList> r;
    for (const QStringList& f : t.filas) {
        QStringList e;
        for (int i = 0; i < f.size(); ++i) {
            const QString col = t.columnas.at(i), v = f.at(i);
            const auto fecha = QDateTime::fromString(v, u"dd/MM/yyyy HH:mm"_s);
            if (col == u"Contrasena"_s)
                e << u"!"_s;
            else if (fecha.isValid())
                e << fecha.toString(u"yyyy-MM-dd HH:mm:ss"_s);
            else if (v.endsWith(u".000"_s))
                e << v.chopped(4);
            else if (v == nulo || (v.isEmpty() && col == u"FechaModif"_s))
                e << u"(nulo)"_s;
            else
                e << v;
        }
        r << e;
    }
    return r;
}

QList<QStringList> guardado(Conexion& c, const QString& tabla, const QStringList& columnas,
                            const QString& orden) {
    const Recordset rs =
        c.ejecuta(u"select %1 from %2 order by %3"_s.arg(columnas.join(u", "_s), tabla, orden));
    QList<QStringList> r;
    for (int i = 0; i < rs.filas(); ++i) {
        QStringList f;
        for (int k = 0; k < rs.columnas(); ++k)
            f << (rs.esNulo(i, k) ? u"(nulo)"_s : rs.texto(i, k));
        r << f;
    }
    return r;
}

} // namespace

class TstIntercambio : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // export → restore into settings without catalogs → export again gives the same files, but for
    // the import's own history line; accounts log in as before; counters go on; a second import
    // changes nothing. On each backend and from the embedded catalog to a server.
    void idaYVuelta_data() {
        QTest::addColumn<int>("origen");
        QTest::addColumn<int>("destino");
        QTest::newRow("sqlite a sqlite") << int(Motor::SQLite) << int(Motor::SQLite);
        QTest::newRow("postgresql a postgresql") << int(Motor::PostgreSQL) << int(Motor::PostgreSQL);
        QTest::newRow("sqlite a postgresql") << int(Motor::SQLite) << int(Motor::PostgreSQL);
    }
    void idaYVuelta() {
        QFETCH(int, origen);
        QFETCH(int, destino);
        if (origen == int(Motor::PostgreSQL) || destino == int(Motor::PostgreSQL))
            EXIGE_POSTGRES();
        BaseDePrueba fuente(static_cast<Motor>(origen));
        llena(fuente);
        // An account that only the embedded catalog verifies, and one with its documented password.
        const bool aServidor = origen != destino;
        if (aServidor) {
            fuente.kelmar().ejecuta(u"insert into usuarios (CuentaUsr, Nick, Contrasena, Activo) values "
                                    "('viejo', 'Viejo', 'pbkdf2-sha256$1000$c2Fs$ZGln', 1)"_s);
            Administracion::agregaUsuario(fuente.kelmar(), u"doc"_s, u"Doc"_s, u"taloren"_s);
        }
        QTemporaryDir dir;
        const QString a = dir.filePath(u"a"_s), b = dir.filePath(u"b"_s);
        Intercambio::exporta(deAdministracion(fuente), a, {Catalogo::Kelmar, Catalogo::Taloren});
        // The manifest counts what each file holds.
        const QJsonObject cats = manifiesto(a).value(u"catalogos"_s).toObject();
        QCOMPARE(cats.value(u"kelmar"_s).toObject().value(u"version_esquema"_s).toInt(),
                 Esquema::versionActual(Catalogo::Kelmar));
        for (const QString& cat : {u"kelmar"_s, u"taloren"_s})
            for (const QJsonValue& t : cats.value(cat).toObject().value(u"tablas"_s).toArray()) {
                Conexion& c = cat == u"kelmar"_s ? fuente.kelmar() : fuente.taloren();
                const QString tabla = t.toObject().value(u"nombre"_s).toString();
                QCOMPARE(t.toObject().value(u"filas"_s).toInt(),
                         c.ejecuta(u"select count(*) from "_s + tabla).valor(0, 0).toInt());
            }

        SinCatalogos nuevo(static_cast<Motor>(destino));
        const Intercambio::Resultado r = importa(nuevo.ajustes, u"csv:"_s + a);
        QVERIFY2(r.escribio && r.rechazados == 0, qPrintable(todas(r)));
        QCOMPARE(r.cuentasSinContrasena, aServidor ? QStringList({u"doc"_s, u"viejo"_s}) : QStringList());
        Intercambio::exporta(nuevo.ajustes, b, {Catalogo::Kelmar, Catalogo::Taloren});
        QMap<QString, QByteArray> antes = archivos(a), despues = archivos(b);
        for (const QString& cat : {u"kelmar"_s, u"taloren"_s}) {
            const QString historia = cat + u"/importaciones.csv"_s;
            QVERIFY(despues.value(historia).startsWith(antes.value(historia)));
            const QList<QByteArray> nuevas =
                despues.take(historia).mid(antes.take(historia).size()).split('\n');
            QCOMPARE(nuevas.size(), 2); // one line, and the end of the file
            QVERIFY2(nuevas.first().contains("importación"), nuevas.first().constData());
        }
        if (aServidor) {
            QVERIFY(despues.take(u"kelmar/usuarios.csv"_s).contains("viejo,Viejo,!,1"));
            antes.remove(u"kelmar/usuarios.csv"_s);
        }
        QCOMPARE(despues.keys(), antes.keys());
        for (auto it = antes.cbegin(); it != antes.cend(); ++it)
            QVERIFY2(despues.value(it.key()) == it.value(), qPrintable(it.key()));

        const Intercambio::Resultado otra = importa(nuevo.ajustes, u"csv:"_s + a);
        QVERIFY2(
            !otra.escribio && otra.rechazados == 0 &&
                otra.lineas.contains(
                    u"No había nada nuevo que importar: los catálogos ya tenían todos estos registros."_s),
            qPrintable(todas(otra)));

        auto kelmar = nuevo.abre(Catalogo::Kelmar);
        auto taloren = nuevo.abre(Catalogo::Taloren);
        QVERIFY(entra(*kelmar, u"lupita"_s, u"clave1"_s));
        QVERIFY(entra(*kelmar, u"admin"_s, u"nueva1"_s));
        if (aServidor)
            QVERIFY(!entra(*kelmar, u"doc"_s, u"taloren"_s));
        // The counters came as they were: the next folios follow.
        QCOMPARE(Invitaciones::registra(*kelmar, InvitacionDePrueba().registro(), autor), 4);
        EventoDePrueba e;
        e.fecha = QDateTime(QDate(2012, 6, 1), QTime(9, 0));
        const int siguiente =
            taloren->ejecuta(u"select max(folio) + 1 from evento where año = 2012"_s).valor(0, 0).toInt();
        QCOMPARE(Eventos::insertaConFolioNuevo(*taloren, RegistroDeEventos::comoEvento(e), autor), siguiente);
    }

    // An earlier server, as a CSV folder and through ODBC: every row of every table arrives field by
    // field, the counters continue after the highest folio of each year, its accounts arrive without
    // a usable password and are listed.
    void servidorAnterior_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("odbc");
        for (const Motor m : {Motor::SQLite, Motor::PostgreSQL})
            for (const bool odbc : {false, true})
                QTest::addRow("%s: %s", m == Motor::SQLite ? "sqlite" : "postgresql", odbc ? "odbc" : "csv")
                    << int(m) << odbc;
    }
    void servidorAnterior() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(bool, odbc);
        const QList<TablaAntigua> tablas = tablasAnteriores(odbc);
        QTemporaryDir dir;
        QString origen = u"csv:"_s + dir.path();
        if (odbc)
            origen = escribeServidorOdbc(dir.path(), tablas);
        else
            escribeCarpetaAntigua(dir.path(), tablas);
        SinCatalogos nuevo(motor);
        const Intercambio::Resultado r = importa(nuevo.ajustes, origen, [&](Opciones& o) {
            if (odbc)
                o.invitaciones = u"InvitacionAnterior"_s;
        });
        QVERIFY2(r.escribio && r.rechazados == 0, qPrintable(todas(r)));
        QCOMPARE(r.cuentasSinContrasena, QStringList{u"lupita"_s});
        if (!odbc) {
            QVERIFY2(todas(r).contains(u"funcionarios.csv: Windows-1252."_s), qPrintable(todas(r)));
            QVERIFY2(todas(r).contains(u"areas.csv: UTF-8 con marca de orden de bytes."_s),
                     qPrintable(todas(r)));
        }
        for (const TablaAntigua& t : tablas) {
            auto c = nuevo.abre(t.catalogo);
            const QString tabla = t.tabla == u"InvitacionAnterior"_s ? u"invitacion"_s : t.tabla;
            const QString orden = t.columnas.at(0).startsWith(u"folio"_s) ? u"año, folio"_s
                                  : tabla == u"invitacion"_s              ? u"Anio, Folio"_s
                                                                          : t.columnas.at(0);
            QCOMPARE(guardado(*c, tabla, t.columnas, orden), esperado(t));
        }
        QCOMPARE(
            importa(nuevo.ajustes, origen,
                    [&](Opciones& o) { o.invitaciones = odbc ? u"InvitacionAnterior"_s : u"invitacion"_s; })
                .escribio,
            false);
        auto kelmar = nuevo.abre(Catalogo::Kelmar);
        auto taloren = nuevo.abre(Catalogo::Taloren);
        QVERIFY(!entra(*kelmar, u"lupita"_s, u"secreto"_s));
        QCOMPARE(guardado(*kelmar, u"invitacion"_s, {u"version"_s}, u"Anio"_s),
                 QList<QStringList>(3, QStringList{u"1"_s}));
        InvitacionDePrueba i;
        i.anio = 2008;
        QCOMPARE(Invitaciones::registra(*kelmar, i.registro(), autor), 8);
        EventoDePrueba e;
        e.fecha = QDateTime(QDate(2011, 6, 1), QTime(9, 0));
        QCOMPARE(Eventos::insertaConFolioNuevo(*taloren, RegistroDeEventos::comoEvento(e), autor), 10);
    }

    // Every refused value is reported with table, key, column and reason; nothing is written, and a
    // trial run reports the same; with --omitir-rechazados the rest goes in and the refused rows are
    // written beside the report; a date column that cannot tell its order waits for --fechas.
    void rechazos_data() { agregaMotores(); }
    void rechazos() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        const AjustesDeConexion ajustes = deAdministracion(base);
        QTemporaryDir dir;
        const QString largo(101, u'x');
        const QString inv =
            u"Anio,Folio,FechaRecepcion,FechaEvento,Hora,Descripcion,Ubicacion,Suscriptor,Caracter,"
            "RepresentaA,Estatus,UsrCaptura,FechaCaptura,CargoSuscriptor\r\n"_s;
        const auto fila = [](const QString& llave, const QString& fecha, const QString& rep,
                             const QString& sus) {
            return u"%1,%2,%2,10:00,Desc,Lugar,%4,Normal,%3,SINCONFIRMAR,admin,%2,\r\n"_s.arg(llave, fecha,
                                                                                              rep, sus);
        };
        guarda(dir.filePath(u"kelmar/invitacion.csv"_s),
               (inv + fila(u"2008,1"_s, u"05/03/2008"_s, u"Srio"_s, u"Bien"_s) +
                fila(u"2008,2"_s, u"25/03/2008"_s, u"Srio"_s, largo) +
                fila(u"99999,3"_s, u"05/03/2008"_s, u"Srio"_s, u"Año"_s) +
                fila(u"2008,4"_s, u"31/02/2008"_s, u"Srio"_s, u"Fecha"_s) +
                fila(u"2008,5"_s, u"05/03/2008"_s, u"Nadie"_s, u"Regla"_s) +
                fila(u"2008,1"_s, u"05/03/2008"_s, u"Srio"_s, u"Repetida"_s) +
                fila(u"2008,6"_s, u"00/00/0000"_s, u"Srio"_s, u"Cero"_s))
                   .toUtf8());
        guarda(dir.filePath(u"kelmar/funcionarios.csv"_s),
               "cvefuncionario,nombre,cvecargo,cvearea\r\nF1,Ana,001,SE\r\nF2,Eva,001,NOEXISTE\r\n");
        guarda(dir.filePath(u"kelmar/areas.csv"_s), "cvearea,nombre\r\nSE,Otro nombre\r\n");
        guarda(dir.filePath(u"taloren/cat_instrucciones.csv"_s),
               "clave_instruccion,descripcion\r\n77,Nueva\r\n");
        const QMap<QString, QByteArray> antes = estado(ajustes);
        const QString origen = u"csv:"_s + dir.path();

        // Each refused row's line, after "  Rechazado: kelmar.".
        const QStringList esperados{
            u"invitacion [Anio=2008, Folio=2] Suscriptor: tiene 101 caracteres y la columna admite 100."_s,
            u"invitacion [Anio=99999, Folio=3] Anio: 99999 está fuera del intervalo de smallint "
            "(-32768 a 32767)."_s,
            u"invitacion [Anio=2008, Folio=4] FechaRecepcion: \"31/02/2008\" no es una fecha válida en el "
            "orden de su columna."_s,
            u"invitacion [Anio=2008, Folio=5] RepresentaA: \"Nadie\" no es uno de los valores admitidos "
            "(Srio, Gob)."_s,
            u"invitacion [Anio=2008, Folio=1] Anio,Folio: la llave se repite en el origen."_s,
            u"invitacion [Anio=2008, Folio=6] FechaEvento: \"00/00/0000\" es una fecha cero, que no se "
            "guarda como ninguna fecha."_s,
            u"funcionarios [cvefuncionario=F2] cvearea: apunta a un registro que areas no tiene."_s,
            u"areas [cvearea=SE] nombre: la llave ya existe en el catálogo con otro contenido; no se "
            "sobrescribe."_s,
        };
        for (const bool prueba : {true, false}) {
            const Intercambio::Resultado r =
                importa(ajustes, origen, [&](Opciones& o) { o.prueba = prueba; });
            for (const QString& e : esperados)
                QVERIFY2(r.lineas.contains(u"  Rechazado: kelmar."_s + e),
                         qPrintable(e + u"\n---\n"_s + todas(r)));
            QCOMPARE(r.rechazados, esperados.size());
            QVERIFY(!r.escribio);
            QVERIFY(QFile::exists(r.informe));
            QCOMPARE(estado(ajustes), antes);
        }
        // A trial run into settings without catalogs checks against scratch ones and leaves none.
        SinCatalogos vacio(motor);
        QCOMPARE(importa(vacio.ajustes, origen, [](Opciones& o) { o.prueba = true; }).rechazados,
                 esperados.size());
        QVERIFY(!QFileInfo::exists(vacio.ajustes.carpeta + u"/kelmar.sqlite"_s) || motor != Motor::SQLite);

        const Intercambio::Resultado r =
            importa(ajustes, origen, [](Opciones& o) { o.omitirRechazados = true; });
        QVERIFY(r.escribio);
        auto kelmar = base.abre(Catalogo::Kelmar);
        QCOMPARE(guardado(*kelmar, u"invitacion"_s, {u"Folio"_s, u"Suscriptor"_s, u"CargoSuscriptor"_s},
                          u"Folio"_s),
                 (QList<QStringList>{{u"1"_s, u"Bien"_s, u""_s}}));
        QCOMPARE(guardado(*kelmar, u"importaciones"_s, {u"tipo"_s}, u"id"_s),
                 QList<QStringList>{{u"importación"_s}});
        const QString rechazadas =
            QFileInfo(r.informe).path() + u'/' + QFileInfo(r.informe).completeBaseName() + u"-rechazados/"_s;
        QFile f(rechazadas + u"kelmar/funcionarios.csv"_s);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(),
                 QByteArray("cvefuncionario,nombre,cvecargo,cvearea\r\nF2,Eva,001,NOEXISTE\r\n"));

        // Dates whose day never passes 12 cannot tell day/month from month/day.
        QTemporaryDir dudosa;
        guarda(dudosa.filePath(u"kelmar/invitacion.csv"_s),
               (inv + fila(u"2010,1"_s, u"05/03/2010"_s, u"Gob"_s, u"Dudosa"_s)).toUtf8());
        const Intercambio::Resultado sinOrden = importa(ajustes, u"csv:"_s + dudosa.path());
        QVERIFY2(todas(sinOrden).contains(u"indique el orden con --fechas dma|mda"_s),
                 qPrintable(todas(sinOrden)));
        const Intercambio::Resultado conOrden = importa(ajustes, u"csv:"_s + dudosa.path(), [](Opciones& o) {
            o.fechas = Intercambio::OrdenDeFecha::MesDiaAnio;
        });
        QVERIFY2(conOrden.escribio, qPrintable(todas(conOrden)));
        QCOMPARE(guardado(*kelmar, u"invitacion"_s, {u"FechaEvento"_s}, u"Anio"_s).last(),
                 QStringList{u"2010-05-03 00:00:00"_s});
    }

    // A failing device on either side leaves every catalog exactly as it was: the target failing
    // midway, a restore refused (the new catalogs are taken away), an unreadable folder, a file that is
    // not the one exported, a manifest that counts otherwise, an export over a folder in use, an
    // export of a newer schema. An older export is migrated after it is read.
    void fallas_data() { agregaMotores(); }
    void fallas() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba fuente(motor);
        llena(fuente);
        const AjustesDeConexion ajustes = deAdministracion(fuente);
        QTemporaryDir dir;
        const QString exportada = dir.filePath(u"exportada"_s);
        Intercambio::exporta(ajustes, exportada, {Catalogo::Kelmar, Catalogo::Taloren});

        BaseDePrueba otra(motor);
        const AjustesDeConexion ajustesOtra = deAdministracion(otra);
        // The target refuses the third event's row of a table, after the others went in.
        if (motor == Motor::SQLite)
            otra.taloren().ejecuta(
                u"create trigger falla before insert on suscriptor when new.folio = 3 begin"
                " select raise(abort, 'disco lleno'); end"_s);
        else {
            otra.taloren().ejecuta(
                u"create function falla() returns trigger language plpgsql as $$ begin if "
                "new.folio = 3 then raise exception 'disco lleno' using errcode = '53100'; "
                "end if; return new; end $$"_s);
            otra.taloren().ejecuta(
                u"create trigger falla before insert on suscriptor for each row execute function falla()"_s);
        }
        const QMap<QString, QByteArray> antes = estado(ajustesOtra);
        const ErrorDeEjecucion enMedio = errorDe([&] { importa(ajustesOtra, u"csv:"_s + exportada); });
        QVERIFY2(enMedio.descripcion().endsWith(u"Los catálogos quedan como estaban."_s) &&
                     enMedio.detalle().contains(u"disco lleno"_s),
                 qPrintable(enMedio.descripcion() + enMedio.detalle()));
        QCOMPARE(estado(ajustesOtra), antes);

        const auto copia = [&](const QString& nombre) {
            const QString d = dir.filePath(nombre);
            for (auto [ruta, bytes] : archivos(exportada).asKeyValueRange())
                guarda(QDir(d).filePath(ruta), bytes);
            QFile::copy(QDir(exportada).filePath(u"manifiesto.json"_s),
                        QDir(d).filePath(u"manifiesto.json"_s));
            return d;
        };
        const QString cambiada = copia(u"cambiada"_s);
        guarda(cambiada + u"/kelmar/areas.csv"_s, "cvearea,nombre\r\nSE,Otra\r\n");
        const QString contada = copia(u"contada"_s);
        reescribe(contada, u"kelmar"_s, u"areas"_s, "cvearea,nombre\r\nSE,Otra\r\n", 2);
        const QString sinArchivo = copia(u"sinarchivo"_s);
        QFile::remove(sinArchivo + u"/taloren/evento.csv"_s);
        QDir().mkpath(sinArchivo + u"/taloren/evento.csv"_s);
        const QString rechazada = copia(u"rechazada"_s);
        const QByteArray instrucciones = archivos(exportada).value(u"taloren/cat_instrucciones.csv"_s);
        reescribe(rechazada, u"taloren"_s, u"cat_instrucciones"_s, instrucciones + "nueve,Otra\r\n",
                  int(instrucciones.count('\n')));
        const QString nueva = copia(u"nueva"_s);
        cambiaManifiesto(nueva, u"kelmar"_s, [](QJsonObject& k) { k.insert(u"version_esquema"_s, 99); });

        // Whether the catalogs of settings without catalogs are still missing.
        const auto noExisten = [&](const SinCatalogos& v) {
            for (Catalogo c : {Catalogo::Kelmar, Catalogo::Taloren})
                if (motor == Motor::SQLite
                        ? QFileInfo::exists(v.ajustes.carpeta + u'/' + Servidor::nombre(c) + u".sqlite"_s)
                        : errorDe([&] { v.abre(c); }).numero() != CodigoDeError::Conexion)
                    return false;
            return true;
        };
        const QString abierta = dir.filePath(u"abierta"_s), ajena = dir.filePath(u"ajena"_s);
        guarda(abierta + u"/kelmar/areas.csv"_s, "cvearea,nombre\r\nSE,\"Oficina\r\n");
        guarda(ajena + u"/kelmar/areas.csv"_s, "cvearea,nombre,color\r\nSE,Oficina,azul\r\n");
        const struct {
            QString origen, dice;
        } casos[] = {
            {u"csv:"_s + abierta, u"tiene unas comillas sin cerrar que empiezan en la línea 2"_s},
            {u"csv:"_s + ajena, u"tiene la columna \"color\", que la tabla areas no tiene"_s},
            {u"odbc:DRIVER=SQLite3;Database=%1/no/hay/{catalogo}.db"_s.arg(dir.path()),
             u"No se pudo abrir el servidor anterior por ODBC para el catálogo kelmar"_s},
            {u"csv:"_s + dir.filePath(u"no-existe"_s), u"No se puede leer la carpeta"_s},
            {u"csv:"_s + cambiada, u"su suma SHA-256 no coincide con la del manifiesto"_s},
            {u"csv:"_s + contada, u"tiene 1 registros y el manifiesto dice 2"_s},
            {u"csv:"_s + sinArchivo,
             u"No se pudo leer el archivo "_s + sinArchivo + u"/taloren/evento.csv"_s},
            {u"csv:"_s + nueva, u"en la versión 99 del esquema, más nueva que la"_s},
        };
        for (const auto& c : casos) {
            SinCatalogos vacio(motor);
            for (const AjustesDeConexion& a : {ajustesOtra, vacio.ajustes}) {
                const ErrorDeEjecucion e = errorDe([&] { importa(a, c.origen); });
                QVERIFY2(e.descripcion().contains(c.dice), qPrintable(e.descripcion()));
            }
            QCOMPARE(estado(ajustesOtra), antes);
            QVERIFY2(noExisten(vacio), qPrintable(c.origen));
        }
        // A restore refused: the catalogs it created are taken away.
        SinCatalogos vacio(motor);
        const Intercambio::Resultado r = importa(vacio.ajustes, u"csv:"_s + rechazada);
        QVERIFY2(r.rechazados == 1 && !r.escribio, qPrintable(todas(r)));
        QVERIFY(todas(r).contains(
            u"[clave_instruccion=nueve] clave_instruccion: \"nueve\" no es un número entero"_s));
        QVERIFY(noExisten(vacio));

        // Exports refuse a folder in use, a file where the folder should be, and catalogs that do not exist.
        QVERIFY(
            errorDe([&] { Intercambio::exporta(vacio.ajustes, dir.filePath(u"x"_s), {Catalogo::Kelmar}); })
                .descripcion()
                .startsWith(u"No existe el catálogo "_s));
        QCOMPARE(errorDe([&] { Intercambio::exporta(ajustes, exportada, {Catalogo::Kelmar}); })
                     .descripcion()
                     .contains(u"no está vacía"_s),
                 true);
        const QString archivo = dir.filePath(u"archivo"_s);
        guarda(archivo, "x");
        QVERIFY(errorDe([&] { Intercambio::exporta(ajustes, archivo, {Catalogo::Kelmar}); })
                    .descripcion()
                    .startsWith(u"No se pudo escribir "_s + archivo));

        // An export of an older schema (before the import history) is restored and brought up to date.
        const QString vieja = copia(u"vieja"_s);
        {
            // Nor the agenda's settings, which came with the same version.
            QFile f(vieja + u"/kelmar/configuracion.csv"_s);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QByteArrayList lineas = f.readAll().split('\n');
            for (QByteArray& linea : lineas)
                if (!linea.isEmpty())
                    linea = linea.trimmed().split(',').mid(0, 7).join(',') + "\r";
            reescribe(vieja, u"kelmar"_s, u"configuracion"_s, lineas.join('\n'), int(lineas.size()) - 2);
        }
        for (const QString& cat : {u"kelmar"_s, u"taloren"_s}) {
            cambiaManifiesto(vieja, cat, [](QJsonObject& o) {
                o.insert(u"version_esquema"_s, o.value(u"version_esquema"_s).toInt() - 1);
                QJsonArray t = o.value(u"tablas"_s).toArray();
                t.removeLast(); // importaciones
                o.insert(u"tablas"_s, t);
            });
            QFile::remove(vieja + u'/' + cat + u"/importaciones.csv"_s);
        }
        SinCatalogos restaurado(motor);
        const Intercambio::Resultado rv = importa(restaurado.ajustes, u"csv:"_s + vieja);
        QVERIFY2(rv.escribio, qPrintable(todas(rv)));
        auto kelmar = restaurado.abre(Catalogo::Kelmar);
        QCOMPARE(Esquema::version(*kelmar), Esquema::versionActual(Catalogo::Kelmar));
        QCOMPARE(invitacionesGuardadas(*kelmar), 3);
    }

    // An export taken while another connection registers invitations is one snapshot: each year's
    // counter equals its highest folio, and the files hold what the manifest counts.
    void exportacionConsistente_data() { agregaMotores(); }
    void exportacionConsistente() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        if (motor == Motor::SQLite)
            QCOMPARE(base.kelmar().ejecuta(u"pragma journal_mode"_s).texto(0, 0), u"wal"_s);
        insertaInvitaciones(base.kelmar(), [] {
            QList<InvitacionDePrueba> l;
            for (int i = 1; i <= 3000; ++i) {
                InvitacionDePrueba p;
                p.folio = i;
                l << p;
            }
            return l;
        }());
        base.kelmar().ejecuta(u"insert into folio_invitacion (Anio, UltimoFolio) values (2011, 3000)"_s);
        QAtomicInt hechas, alto;
        std::atomic<bool> fallo = false;
        QThread* escritor = QThread::create([&] {
            try {
                auto c = base.abre(Catalogo::Kelmar);
                while (!alto.loadRelaxed()) {
                    Invitaciones::registra(*c, InvitacionDePrueba().registro(), autor);
                    hechas.fetchAndAddRelaxed(1);
                }
            } catch (...) {
                fallo = true;
            }
        });
        escritor->start();
        QTRY_VERIFY_WITH_TIMEOUT(hechas.loadRelaxed() >= 3 || fallo, 20000);
        QTemporaryDir dir;
        const int antes = hechas.loadRelaxed();
        Intercambio::exporta(deAdministracion(base), dir.path() + u"/e"_s, {Catalogo::Kelmar});
        const int durante = hechas.loadRelaxed() - antes;
        alto.storeRelaxed(1);
        escritor->wait();
        delete escritor;
        QVERIFY(!fallo);
        QVERIFY2(durante > 0, "nadie escribió mientras se exportaba");
        const QMap<QString, QByteArray> a = archivos(dir.path() + u"/e"_s);
        const QList<QByteArray> invitaciones = a.value(u"kelmar/invitacion.csv"_s).split('\n');
        const QList<QByteArray> contador = a.value(u"kelmar/folio_invitacion.csv"_s).split('\n');
        QCOMPARE(contador.at(1).trimmed(), "2011," + QByteArray::number(invitaciones.size() - 2));
        for (const QJsonValue& t : manifiesto(dir.path() + u"/e"_s)
                                       .value(u"catalogos"_s)
                                       .toObject()
                                       .value(u"kelmar"_s)
                                       .toObject()
                                       .value(u"tablas"_s)
                                       .toArray()) {
            const QString nombre = t.toObject().value(u"nombre"_s).toString();
            QCOMPARE(Csv::lee(a.value(u"kelmar/"_s + nombre + u".csv"_s), nombre).filas.size(),
                     t.toObject().value(u"filas"_s).toInt());
        }
    }

    // The command: export, then import with --reemplazar, which asks first (no terminal: refused
    // unless --si); a refused import ends with 1.
    void orden_data() { agregaMotores(); }
    void orden() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        QTemporaryDir dir;
        const auto corre = [&](const QStringList& args) {
            QProcess p;
            p.setWorkingDirectory(dir.path());
            p.start(QStringLiteral(TALOREN_ADMIN),
                    QStringList{u"--config"_s, base.archivoDeAdministracion()} + args);
            p.closeWriteChannel();
            p.waitForFinished(120000);
            return std::pair{p.exitCode(),
                             QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
        };
        const auto [e, salida] = corre({u"export"_s, dir.filePath(u"e"_s), u"--catalogo"_s, u"taloren"_s});
        QVERIFY2(e == 0 && salida.contains(u"Exportación completa"_s), qPrintable(salida));
        QVERIFY(!QFileInfo::exists(dir.filePath(u"e/kelmar"_s)));
        base.taloren().ejecuta(
            u"insert into cat_instrucciones (clave_instruccion, descripcion) values (90, 'x')"_s);
        const auto [sinSi, dice] = corre({u"import"_s, u"csv:"_s + dir.filePath(u"e"_s), u"--reemplazar"_s});
        QVERIFY2(sinSi == 1 && dice.contains(u"use --si"_s), qPrintable(dice));
        const auto [conSi, dice2] =
            corre({u"import"_s, u"csv:"_s + dir.filePath(u"e"_s), u"--reemplazar"_s, u"--si"_s});
        QVERIFY2(conSi == 0 && dice2.contains(u"Importación completa."_s), qPrintable(dice2));
        QVERIFY(base.taloren()
                    .ejecuta(u"select 1 from cat_instrucciones where clave_instruccion = 90"_s)
                    .estaVacio());
        QVERIFY(!QDir(dir.path()).entryList({u"importacion-*.txt"_s}).isEmpty());
        const auto [mal, dice3] =
            corre({u"import"_s, u"csv:"_s + dir.filePath(u"e"_s), u"--fechas"_s, u"x"_s});
        QVERIFY2(mal == 2 && dice3.contains(u"--fechas admite"_s), qPrintable(dice3));
    }
};

QTEST_MAIN(TstIntercambio)
#include "tst_intercambio.moc"
