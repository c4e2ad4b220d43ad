#include "outside/AjustesDeConexion.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "outside/ReglaDeNombres.h"
#include "support/BaseDePrueba.h"

#include <QFile>
#include <QTest>
#include <QTimeZone>

#include <ctime>
#include <stdexcept>

namespace {

// A procedure of the test's own over a table of the test's own, so that every
// parameter type travels to the server and back.
CatalogoDeProcedimientos procedimientosDePrueba() {
    CatalogoDeProcedimientos c;
    c.registra(
        {QStringLiteral("GuardaPrueba"),
         {{QStringLiteral("@Texto"), TipoDeParametro::VarChar, Direccion::Entrada, 10},
          {QStringLiteral("@Clave"), TipoDeParametro::Char, Direccion::Entrada, 3},
          {QStringLiteral("@Numero"), TipoDeParametro::SmallInt, Direccion::Entrada, 0},
          {QStringLiteral("@Fecha"), TipoDeParametro::Date, Direccion::Entrada, 0},
          {QStringLiteral("@Total"), TipoDeParametro::SmallInt, Direccion::Salida, 0},
          {QStringLiteral("@Eco"), TipoDeParametro::VarChar, Direccion::Salida, 20}},
         [](Conexion& cx, Argumentos& a) {
             cx.ejecuta(
                 QStringLiteral("insert into prueba (texto, clave, numero, fecha) values (?, ?, ?, ?)"),
                 {a.valor(u"@texto"), a.valor(u"@Clave"), a.valor(u"@Numero"), a.valor(u"@Fecha")});
             a.estableceSalida(u"@Total",
                               cx.ejecuta(QStringLiteral("select count(*) from prueba")).valor(0, 0));
             a.estableceSalida(u"@Eco", QString(QStringLiteral("eco:") + a.texto(u"@Texto")));
             return cx.ejecuta(QStringLiteral("select texto as \"Texto\", clave, numero, fecha from prueba"
                                              " order by numero"));
         }});
    // Writes, then fails with an error that is not the database's.
    c.registra({QStringLiteral("FallaAMedias"),
                {{QStringLiteral("@Numero"), TipoDeParametro::SmallInt, Direccion::Entrada, 0}},
                [](Conexion& cx, Argumentos& a) -> Recordset {
                    cx.ejecuta(QStringLiteral("insert into prueba (texto, numero) values ('x', ?)"),
                               {a.entero(u"@Numero")});
                    throw std::runtime_error("a medias");
                }});
    return c;
}

struct Entorno {
    explicit Entorno(Motor motor) : base(motor), conexion(QStringLiteral("kelmar"), &procedimientos) {
        conexion.abre(base.ajustes(), base.ajustes().kelmar);
        conexion.ejecuta(
            QStringLiteral("create table prueba (texto varchar(10), clave char(3), numero smallint "
                           "unique, fecha timestamp)"));
    }
    int filas() {
        return conexion.ejecuta(QStringLiteral("select count(*) from prueba")).valor(0, 0).toInt();
    }
    void inserta(int numero) {
        conexion.ejecuta(QStringLiteral("insert into prueba (numero) values (?)"), {numero});
    }
    Parametros parametros(QVariant texto, QVariant numero, QVariant fecha) {
        return {Parametro::entrada(QStringLiteral("@Texto"), TipoDeParametro::VarChar, 10, texto),
                Parametro::entrada(QStringLiteral("@Clave"), TipoDeParametro::Char, 3, QStringLiteral("ab")),
                Parametro::entrada(QStringLiteral("@Numero"), TipoDeParametro::SmallInt, 0, numero),
                Parametro::entrada(QStringLiteral("@Fecha"), TipoDeParametro::Date, 0, fecha),
                Parametro::salida(QStringLiteral("@Total"), TipoDeParametro::SmallInt),
                Parametro::salida(QStringLiteral("@Eco"), TipoDeParametro::VarChar, 20)};
    }

    CatalogoDeProcedimientos procedimientos = procedimientosDePrueba();
    BaseDePrueba base;
    Conexion conexion;
};

// The station's zone for one test: dates must not depend on it being UTC.
struct ZonaHoraria {
    explicit ZonaHoraria(const QByteArray& zona)
        : m_antes(qgetenv("TZ")), m_habia(qEnvironmentVariableIsSet("TZ")) {
        qputenv("TZ", zona);
        tzset();
    }
    ~ZonaHoraria() {
        if (m_habia)
            qputenv("TZ", m_antes);
        else
            qunsetenv("TZ");
        tzset();
    }
    QByteArray m_antes;
    bool m_habia;
};

} // namespace

class TstConexion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void procedimientoIdaYVuelta_data() { agregaMotores(); }
    void procedimientoIdaYVuelta() {
        MOTOR_DE_LA_FILA(motor);
        Entorno e(motor);
        // Names match regardless of case and surrounding blanks.
        auto ps = e.parametros(QStringLiteral("Ña'; --"), QStringLiteral("2011"), QDate(2011, 11, 18));
        ps[0].nombre = QStringLiteral("@TEXTO ");
        Recordset rs = e.conexion.ejecutaProcedimiento(QStringLiteral("guardaprueba"), ps);
        QCOMPARE(ps[4].valor, QVariant(1));
        QCOMPARE(ps[5].valor.toString(), QStringLiteral("eco:Ña'; --"));
        auto ps2 = e.parametros(QVariant(), 7, QDateTime(QDate(2026, 12, 6), QTime(17, 5)));
        rs = e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps2);
        QCOMPARE(ps2[4].valor, QVariant(2));

        QCOMPARE(rs.filas(), 2);
        QCOMPARE(rs.indiceDeColumna(QStringLiteral("TEXTO")), 0);
        QVERIFY(rs.esNulo(0, QStringLiteral("texto")));
        QCOMPARE(rs.valor(0, 2), QVariant(7));
        QCOMPARE(rs.texto(0, QStringLiteral("Fecha")), QStringLiteral("2026-12-06 17:05:00"));
        QCOMPARE(rs.texto(1, QStringLiteral("Texto")), QStringLiteral("Ña'; --"));
        QCOMPARE(rs.texto(1, QStringLiteral("clave")), QStringLiteral("ab "));
        QCOMPARE(rs.texto(1, 3), QStringLiteral("2011-11-18 00:00:00"));

        QCOMPARE(errorDe([&] { rs.valor(2, 0); }).numero(), CodigoDeError::FinDeRegistros);
        const ErrorDeEjecucion sinColumna = errorDe([&] { rs.valor(0, QStringLiteral("Nick")); });
        QCOMPARE(sinColumna.numero(), CodigoDeError::ColumnaInexistente);
        QVERIFY(sinColumna.descripcion().contains(QStringLiteral("Nick")));
    }

    // What does not fit, or does not match the procedure, is refused before anything is written.
    void llamadasRechazadas_data() {
        QTest::addColumn<int>("cual");
        QTest::addColumn<int>("numeroDeError");
        QTest::addColumn<QStringList>("nombrados");
        QTest::newRow("texto de 11") << 0 << CodigoDeError::Desbordamiento
                                     << QStringList{QStringLiteral("@Texto")};
        QTest::newRow("número no numérico")
            << 1 << CodigoDeError::Conversion << QStringList{QStringLiteral("@Numero")};
        QTest::newRow("número fuera de smallint")
            << 2 << CodigoDeError::Desbordamiento << QStringList{QStringLiteral("@Numero")};
        QTest::newRow("fecha en texto")
            << 3 << CodigoDeError::Conversion << QStringList{QStringLiteral("@Fecha")};
        QTest::newRow("fecha imposible")
            << 4 << CodigoDeError::Conversion << QStringList{QStringLiteral("@Fecha")};
        QTest::newRow("más espacio del que admite el procedimiento")
            << 5 << CodigoDeError::Desbordamiento << QStringList{QStringLiteral("@Texto")};
        QTest::newRow("nombres cambiados de lugar")
            << 6 << CodigoDeError::Sentencia
            << QStringList{QStringLiteral("@Texto"), QStringLiteral("@Clave")};
        QTest::newRow("procedimiento inexistente")
            << 7 << CodigoDeError::Sentencia << QStringList{QStringLiteral("NoExiste")};
        QTest::newRow("falta un parámetro")
            << 8 << CodigoDeError::Sentencia << QStringList{QStringLiteral("@Clave")};
        QTest::newRow("sobra un parámetro")
            << 9 << CodigoDeError::Sentencia << QStringList{QStringLiteral("GuardaPrueba")};
        QTest::newRow("diez letras y un emoji")
            << 10 << CodigoDeError::Desbordamiento << QStringList{QStringLiteral("@Texto")};
        QTest::newRow("relleno de char que no cabe")
            << 11 << CodigoDeError::Desbordamiento << QStringList{QStringLiteral("@Clave")};
    }
    void llamadasRechazadas() {
        QFETCH(int, cual);
        QFETCH(int, numeroDeError);
        QFETCH(QStringList, nombrados);
        Entorno e(Motor::SQLite);
        auto ps = e.parametros(QStringLiteral("x"), 1, QDate(2011, 11, 18));
        QString procedimiento = QStringLiteral("GuardaPrueba");
        switch (cual) {
        case 0:
            ps[0].valor = QStringLiteral("12345678901");
            break;
        case 1:
            ps[2].valor = QStringLiteral("20a1");
            break;
        case 2:
            ps[2].valor = 40000;
            break;
        case 3:
            ps[3].valor = QStringLiteral("18/11/2011");
            break;
        case 4:
            ps[3].valor = QDate(2011, 2, 31);
            break;
        case 5:
            ps[0].tamano = 30;
            ps[0].valor = QStringLiteral("123456789012345");
            break;
        case 6:
            std::swap(ps[0].nombre, ps[1].nombre);
            break;
        case 7:
            procedimiento = QStringLiteral("NoExiste");
            break;
        case 8:
            ps = ps.mid(0, 1);
            break;
        case 9:
            ps << Parametro::entrada(QStringLiteral("@Otro"), TipoDeParametro::SmallInt, 0, 1);
            break;
        case 10:
            ps[0].valor = QStringLiteral("abcdefghij😀");
            break;
        case 11:
            ps[1].valor = QStringLiteral("ab😀c");
            break;
        }
        const ErrorDeEjecucion error = errorDe([&] { e.conexion.ejecutaProcedimiento(procedimiento, ps); });
        QCOMPARE(error.numero(), numeroDeError);
        for (const QString& n : nombrados)
            QVERIFY2(error.descripcion().contains(n), qPrintable(error.descripcion()));
        QCOMPARE(error.fuente(), QStringLiteral("SQLite kelmar"));
        QCOMPARE(e.filas(), 0);
    }

    // One transaction rule: whatever fails inside a unit, nothing of the unit is written.
    void transacciones_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("caso");
        for (const auto& [motor, nombre] :
             {std::pair{Motor::SQLite, "sqlite"}, std::pair{Motor::PostgreSQL, "postgresql"}}) {
            const char* casos[] = {"sentencia fallida atrapada", "unidad interna fallida atrapada",
                                   "falla atrapada dentro de la unidad interna",
                                   "error ajeno en un procedimiento"};
            for (int i = 0; i < 4; ++i)
                QTest::addRow("%s: %s", nombre, casos[i]) << int(motor) << i;
        }
    }
    void transacciones() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, caso);
        Entorno e(motor);
        Conexion& c = e.conexion;
        const auto fallida = [&] { c.ejecuta(QStringLiteral("select * from tabla_que_no_existe")); };
        int despuesDeLaFalla = 0;
        if (caso == 3) {
            Parametros n{Parametro::entrada(QStringLiteral("@Numero"), TipoDeParametro::SmallInt, 0, 9)};
            bool ajeno = false;
            try {
                c.ejecutaProcedimiento(QStringLiteral("FallaAMedias"), n);
            } catch (const std::runtime_error&) {
                ajeno = true;
            }
            QVERIFY(ajeno);
        } else {
            const ErrorDeEjecucion error = errorDe([&] {
                c.enTransaccion([&] {
                    e.inserta(1);
                    if (caso == 0) {
                        QCOMPARE(errorDe(fallida).numero(), CodigoDeError::Sentencia);
                    } else if (caso == 1) {
                        errorDe([&] {
                            c.enTransaccion([&] {
                                e.inserta(2);
                                throw ErrorDeEjecucion(1, QStringLiteral("interna"),
                                                       QStringLiteral("prueba"));
                            });
                        });
                    } else {
                        c.enTransaccion([&] { errorDe(fallida); });
                    }
                    // Every later statement of the unit fails at once.
                    despuesDeLaFalla = errorDe([&] { e.inserta(3); }).numero();
                });
            });
            QCOMPARE(despuesDeLaFalla, CodigoDeError::Sentencia);
            QCOMPARE(error.numero(), CodigoDeError::Sentencia);
            QVERIFY2(error.descripcion().contains(QStringLiteral("se deshizo")),
                     qPrintable(error.descripcion()));
        }
        QCOMPARE(e.filas(), 0);
        // The connection goes on working, in units and outside them.
        c.enTransaccion([&] { e.inserta(4); });
        e.inserta(5);
        QCOMPARE(e.filas(), 2);
    }

    // Texts reach the catalog whole or not at all: characters counted as a reader counts them, line
    // breaks kept, and no NUL, other control character or half character ever sent.
    void textos_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("numero");
        const struct {
            const char* nombre;
            QString texto;
            int numero;
        } casos[] = {
            {"nueve letras y un emoji", QStringLiteral("abcdefghi😀"), 0},
            {"saltos y tabulador", QStringLiteral("a\tb\r\nc"), 0},
            {"NUL al final", QStringLiteral("clave") + QChar(0), CodigoDeError::Conversion},
            {"escape", QStringLiteral("\x1b[2J"), CodigoDeError::Conversion},
            {"medio carácter", QStringLiteral("abcdefghi") + QChar(0xd83d), CodigoDeError::Conversion},
        };
        for (const auto& [motor, nombre] :
             {std::pair{Motor::SQLite, "sqlite"}, std::pair{Motor::PostgreSQL, "postgresql"}})
            for (const auto& c : casos)
                QTest::addRow("%s: %s", nombre, c.nombre) << int(motor) << c.texto << c.numero;
    }
    void textos() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, texto);
        QFETCH(int, numero);
        Entorno e(motor);
        auto ps = e.parametros(texto, 1, QDate(2011, 11, 18));
        const ErrorDeEjecucion llamada =
            errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps); });
        const ErrorDeEjecucion sentencia = errorDe([&] {
            e.conexion.ejecuta(QStringLiteral("insert into prueba (texto, numero) values (?, 2)"), {texto});
        });
        QVERIFY2(llamada.numero() == numero, qPrintable(llamada.descripcion()));
        QVERIFY2(sentencia.numero() == numero, qPrintable(sentencia.descripcion()));
        if (numero) {
            QVERIFY2(llamada.descripcion().contains(QStringLiteral("@Texto")),
                     qPrintable(llamada.descripcion()));
            QCOMPARE(e.filas(), 0);
            return;
        }
        const Recordset rs = e.conexion.ejecuta(QStringLiteral("select texto from prueba order by numero"));
        QCOMPARE(rs.filas(), 2);
        QCOMPARE(rs.texto(0, 0), texto);
        QCOMPARE(rs.texto(1, 0), texto);
    }

    // Dates keep their wall time in a zone that is not UTC, on both backends.
    void fechasEnOtraZona_data() { agregaMotores(); }
    void fechasEnOtraZona() {
        MOTOR_DE_LA_FILA(motor);
        const ZonaHoraria zona("America/Mexico_City");
        QVERIFY(QDateTime(QDate(2011, 11, 18), QTime(0, 0)).offsetFromUtc() != 0);
        Entorno e(motor);
        const auto guarda = [&](int numero, const QVariant& fecha) {
            e.conexion.ejecuta(QStringLiteral("insert into prueba (numero, fecha) values (?, ?)"),
                               {numero, fecha});
        };
        guarda(1, QDate(2011, 11, 18));
        guarda(2, QDateTime(QDate(2011, 11, 18), QTime(23, 59, 59)));
        // A UTC time is stored as the station's wall time: 06:30 UTC is 00:30 in Mexico City.
        guarda(3, QDateTime(QDate(2011, 11, 18), QTime(6, 30), Qt::UTC));
        guarda(4, QDate(2011, 11, 19));
        const Recordset rs = e.conexion.ejecuta(
            QStringLiteral("select numero, fecha from prueba where fecha >= ? and fecha < ? order by fecha"),
            {QDate(2011, 11, 18), QDate(2011, 11, 19)});
        QCOMPARE(rs.filas(), 3);
        QCOMPARE(rs.texto(0, 1), QStringLiteral("2011-11-18 00:00:00"));
        QCOMPARE(rs.texto(1, 1), QStringLiteral("2011-11-18 00:30:00"));
        QCOMPARE(rs.texto(2, 1), QStringLiteral("2011-11-18 23:59:59"));
        QCOMPARE(Recordset::fechaHora(rs.valor(1, 1)), QDateTime(QDate(2011, 11, 18), QTime(0, 30)));
        QCOMPARE(errorDe([&] { guarda(5, QDate(2011, 2, 31)); }).numero(), CodigoDeError::Conversion);
    }

    // The server gone in mid-session: the call that finds it gone fails with a connection error and the
    // next one opens the connection again; while it cannot, each call tries once and says what to do.
    void conexionPerdida() {
        EXIGE_POSTGRES();
        Entorno e(Motor::PostgreSQL);
        auto otra = e.base.abre(Catalogo::Taloren);
        const auto corta = [&] {
            const int pid = e.conexion.ejecuta(QStringLiteral("select pg_backend_pid()")).valor(0, 0).toInt();
            otra->ejecuta(QStringLiteral("select pg_terminate_backend(?)"), {pid});
            const ErrorDeEjecucion error = errorDe([&] { e.filas(); });
            QCOMPARE(error.numero(), CodigoDeError::Conexion);
            QVERIFY(!error.descripcion().contains(QLatin1Char('\n')));
            QVERIFY(!error.descripcion().contains(QLatin1Char('\t')));
        };
        corta();
        e.inserta(1);
        QCOMPARE(e.filas(), 1);

        // Lost in the middle of a unit: the unit fails whole, nothing of it is written.
        const ErrorDeEjecucion unidad = errorDe([&] {
            e.conexion.enTransaccion([&] {
                e.inserta(2);
                corta();
                e.inserta(3);
            });
        });
        QCOMPARE(unidad.numero(), CodigoDeError::Conexion);
        QCOMPARE(e.filas(), 1);

        // The server refuses new connections to the catalog for a while.
        const QString base = e.base.ajustes().kelmar.baseDeDatos;
        const auto admiteConexiones = [&](bool si) {
            otra->ejecuta(QStringLiteral("alter database ") + base +
                          (si ? QStringLiteral(" allow_connections true")
                              : QStringLiteral(" allow_connections false")));
        };
        admiteConexiones(false);
        corta();
        for (int intento = 0; intento < 2; ++intento) {
            Parametros ps = e.parametros(QStringLiteral("x"), 5, QDate(2011, 1, 1));
            const ErrorDeEjecucion error =
                errorDe([&] { e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps); });
            QCOMPARE(error.numero(), CodigoDeError::Conexion);
            QVERIFY2(error.descripcion().contains(QStringLiteral("No se puede comunicar con el servidor")),
                     qPrintable(error.descripcion()));
            QVERIFY(error.descripcion().contains(QStringLiteral("vuelva a intentarlo")));
        }
        admiteConexiones(true);
        Parametros ps = e.parametros(QStringLiteral("x"), 5, QDate(2011, 1, 1));
        e.conexion.ejecutaProcedimiento(QStringLiteral("GuardaPrueba"), ps);
        QCOMPARE(e.filas(), 2);
    }

    // A new embedded catalog is its owner's alone; a folder that is a file is named, not used.
    void catalogoEmbebidoPrivado() {
        QTemporaryDir dir;
        AjustesDeConexion a;
        a.carpeta = dir.filePath(QStringLiteral("datos/taloren"));
        Conexion c(QStringLiteral("kelmar"));
        c.abre(a, a.kelmar);
        c.ejecuta(QStringLiteral("create table prueba (numero integer)"));
        const auto ajenos = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                            QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        const QString archivo = a.carpeta + QStringLiteral("/kelmar.sqlite");
        QCOMPARE(QFile::permissions(a.carpeta) & ajenos, QFileDevice::Permissions());
        QCOMPARE(QFile::permissions(archivo) & ajenos, QFileDevice::Permissions());
        QVERIFY(QFile::permissions(archivo) & QFileDevice::WriteOwner);

        a.carpeta = a.carpeta + QStringLiteral("/kelmar.sqlite");
        const ErrorDeEjecucion error = errorDe([&] { c.abre(a, a.kelmar); });
        QCOMPARE(error.numero(), CodigoDeError::Conexion);
        QVERIFY2(error.descripcion().contains(a.carpeta), qPrintable(error.descripcion()));
    }

    // A mistyped setting stops the reading with the file, the key and the value named.
    void ajustesRechazados_data() {
        QTest::addColumn<QByteArray>("texto");
        QTest::addColumn<QStringList>("nombrados");
        QTest::newRow("motor desconocido")
            << QByteArray("[database]\nbackend=postgres\n")
            << QStringList{QStringLiteral("backend"), QStringLiteral("postgres"), QStringLiteral("línea 2")};
        QTest::newRow("puerto no numérico") << QByteArray("[database]\nbackend=postgresql\nport=cinco\n")
                                            << QStringList{QStringLiteral("port"), QStringLiteral("cinco")};
        QTest::newRow("puerto fuera de rango")
            << QByteArray("[database]\nport=70000\n")
            << QStringList{QStringLiteral("port"), QStringLiteral("70000")};
        QTest::newRow("clave desconocida")
            << QByteArray("[database]\nbakend=postgresql\n") << QStringList{QStringLiteral("bakend")};
        QTest::newRow("grupo desconocido")
            << QByteArray("[kelmarr]\nuser=x\n") << QStringList{QStringLiteral("kelmarr")};
        QTest::newRow("clave repetida") << QByteArray("[kelmar]\nuser=a\nuser=b\n")
                                        << QStringList{QStringLiteral("user"), QStringLiteral("línea 2")};
        QTest::newRow("comillas sin cerrar")
            << QByteArray("[kelmar]\npassword=\"abc\n") << QStringList{QStringLiteral("password")};
        QTest::newRow("fuera de grupo") << QByteArray("user=x\n") << QStringList{QStringLiteral("user")};
        QTest::newRow("no es UTF-8") << QByteArray("[kelmar]\nuser=\xe9\n")
                                     << QStringList{QStringLiteral("UTF-8")};
    }
    void ajustesRechazados() {
        QFETCH(QByteArray, texto);
        QFETCH(QStringList, nombrados);
        QTemporaryDir dir;
        const QString archivo = dir.filePath(QStringLiteral("taloren.ini"));
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(texto);
        f.close();
        const ErrorDeEjecucion error = errorDe([&] { AjustesDeConexion::lee(archivo); });
        QCOMPARE(error.numero(), CodigoDeError::Ajustes);
        QVERIFY2(error.descripcion().contains(archivo), qPrintable(error.descripcion()));
        for (const QString& n : nombrados)
            QVERIFY2(error.descripcion().contains(n), qPrintable(error.descripcion()));
        // A folder where the file should be cannot be read either.
        QCOMPARE(errorDe([&] { AjustesDeConexion::lee(dir.path()); }).numero(), CodigoDeError::Ajustes);
    }

    // Values are read as written; what the program writes it reads back the same.
    void ajustesLeidos() {
        QTemporaryDir dir;
        const QString archivo = dir.filePath(QStringLiteral("taloren.ini"));
        QCOMPARE(AjustesDeConexion::lee(archivo).motor, Motor::SQLite);
        QFile f(archivo);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("; estación de la oficina\n[database]\r\nbackend = PostgreSQL\nhost=db.oficina\nport=5433\n"
                "[kelmar]\npassword=a,b;c'd\"e\n[taloren]\npassword=\"  con blancos \\\" y \\\\ \"\n"
                "[admin]\nuser=dueno\npassword=#no es comentario\n");
        f.close();
        // Holding passwords, it warns while others may read it.
        QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
        AjustesDeConexion a = AjustesDeConexion::lee(archivo);
        QCOMPARE(a.motor, Motor::PostgreSQL);
        QCOMPARE(a.host + QLatin1Char(':') + QString::number(a.puerto), QStringLiteral("db.oficina:5433"));
        QCOMPARE(a.kelmar.contrasena, QStringLiteral("a,b;c'd\"e"));
        QCOMPARE(a.taloren.contrasena, QStringLiteral("  con blancos \" y \\ "));
        QCOMPARE(a.kelmar.usuario, QStringLiteral("kelmarnv"));
        QCOMPARE(a.administrador.usuario + QLatin1Char('/') + a.administrador.contrasena,
                 QStringLiteral("dueno/#no es comentario"));
        QVERIFY(a.avisoDePermisos(archivo).contains(QStringLiteral("chmod 600 \"%1\"").arg(archivo)));
        QVERIFY(AjustesDeConexion().avisoDePermisos(archivo).isEmpty());

        a.kelmar.contrasena = QStringLiteral(" \"ñ\" ");
        a.escribe(archivo);
        QCOMPARE(QFile::permissions(archivo) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
                 QFileDevice::Permissions());
        QVERIFY(a.avisoDePermisos(archivo).isEmpty());
        const AjustesDeConexion b = AjustesDeConexion::lee(archivo);
        QCOMPARE(b.kelmar.contrasena, a.kelmar.contrasena);
        QCOMPARE(b.administrador.contrasena, a.administrador.contrasena);
        QCOMPARE(b.taloren.contrasena, a.taloren.contrasena);
        QCOMPARE(b.puerto, 5433);

        const AjustesDeConexion pg = AjustesDeConexion::dePostgres(QStringLiteral(
            "host=db.oficina port=5433 user=kelmarnv password='a b\\'c' sslmode=require dbname=z"));
        QCOMPARE(pg.opciones, QStringLiteral("sslmode=require"));
        QCOMPARE(pg.kelmar.contrasena, QStringLiteral("a b'c"));
    }

    // One rule for names: the same answers and the same order on both backends.
    void reglaDeNombres_data() { agregaMotores(); }
    void reglaDeNombres() {
        MOTOR_DE_LA_FILA(motor);
        Entorno e(motor);
        const QStringList nombres{QStringLiteral("Zapata Ruiz"),   QStringLiteral("Óscar Muñoz"),
                                  QStringLiteral("Beatriz Núñez"), QStringLiteral("Ángel Ortiz"),
                                  QStringLiteral("alberto Munoz"), QStringLiteral("Muro Pérez"),
                                  QStringLiteral("Rosa 50% Luna"), QStringLiteral("Ana_María")};
        e.conexion.ejecuta(QStringLiteral("create table nombres (nombre varchar(50))"));

        for (const QString& n : nombres)
            e.conexion.ejecuta(QStringLiteral("insert into nombres (nombre) values (?)"), {n});
        const auto busca = [&](const QString& texto) {
            QStringList r;
            const Recordset rs = e.conexion.ejecuta(
                QStringLiteral("select nombre from nombres where ") +
                    ReglaDeNombres::condicionContiene(QStringLiteral("nombre")) +
                    QStringLiteral(" order by ") + ReglaDeNombres::ordenPor(QStringLiteral("nombre")),
                {ReglaDeNombres::patronContiene(texto)});
            for (int i = 0; i < rs.filas(); ++i)
                r << rs.texto(i, 0);
            return r;
        };
        for (const char* texto : {"oscar", "ÓSCAR", "Óscar", "óscar m"})
            QCOMPARE(busca(QString::fromUtf8(texto)), QStringList{QStringLiteral("Óscar Muñoz")});
        QCOMPARE(busca(QStringLiteral("MUNOZ")),
                 QStringList({QStringLiteral("alberto Munoz"), QStringLiteral("Óscar Muñoz")}));
        QCOMPARE(busca(QStringLiteral("nunez")), QStringList{QStringLiteral("Beatriz Núñez")});
        // The wildcards of LIKE are letters like any other.
        QCOMPARE(busca(QStringLiteral("50%")), QStringList{QStringLiteral("Rosa 50% Luna")});
        QCOMPARE(busca(QStringLiteral("a_m")), QStringList{QStringLiteral("Ana_María")});
        QCOMPARE(busca(QStringLiteral("xyz")), QStringList());

        QStringList esperado{QStringLiteral("alberto Munoz"), QStringLiteral("Ana_María"),
                             QStringLiteral("Ángel Ortiz"),   QStringLiteral("Beatriz Núñez"),
                             QStringLiteral("Muro Pérez"),    QStringLiteral("Óscar Muñoz"),
                             QStringLiteral("Rosa 50% Luna"), QStringLiteral("Zapata Ruiz")};
        QCOMPARE(busca(QString()), esperado);
        QStringList enCliente = nombres;
        ReglaDeNombres::ordena(enCliente);
        QCOMPARE(enCliente, esperado);
        // "ñ" sorts after "n" and before "o".
        QStringList enes{QStringLiteral("Muño"), QStringLiteral("Muno"), QStringLiteral("Muo"),
                         QStringLiteral("Munz")};
        ReglaDeNombres::ordena(enes);
        QCOMPARE(enes, QStringList({QStringLiteral("Muno"), QStringLiteral("Munz"), QStringLiteral("Muño"),
                                    QStringLiteral("Muo")}));
    }

    void erroresDeCualquierTipo() {
        const auto atrapa = [](auto&& lanza) {
            try {
                lanza();
            } catch (...) {
                return ErrorDeEjecucion::actual();
            }
            return ErrorDeEjecucion(0, {}, {});
        };
        ErrorDeEjecucion e =
            atrapa([] { throw ErrorDeEjecucion(-5, QStringLiteral("d"), QStringLiteral("f")); });
        QCOMPARE(e.numero(), -5);
        e = atrapa([] { throw std::runtime_error("índice fuera"); });
        QCOMPARE(e.numero(), CodigoDeError::Interno);
        QVERIFY(e.descripcion().contains(QStringLiteral("índice fuera")));
        QCOMPARE(atrapa([] { throw std::bad_alloc(); }).numero(), CodigoDeError::SinMemoria);
        QCOMPARE(atrapa([] { throw 42; }).numero(), CodigoDeError::Interno);
    }
};

QTEST_GUILESS_MAIN(TstConexion)
#include "tst_conexion.moc"
