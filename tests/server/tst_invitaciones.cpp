#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "support/BaseDePrueba.h"

#include <QMutex>
#include <QTest>

#include <algorithm>
#include <latch>
#include <thread>

namespace {

const QString conAcentos = QStringLiteral("O'Higgins «ñandú» Ángel; -- ' or '1'='1");

QVariant texto(const char* s) {
    return QString::fromUtf8(s);
}

// An invitation as the three procedures carry it, by parameter name; each
// test changes what it looks at.
struct Registro {
    int anio = 2011;
    QList<std::pair<QString, QVariant>> campos{
        {QStringLiteral("@FechaRecepcion"), QDate(2011, 11, 17)},
        {QStringLiteral("@FechaEvento"), QDate(2011, 11, 25)},
        {QStringLiteral("@Hora"), texto("10:30")},
        {QStringLiteral("@Descripcion"), texto("Informe de labores")},
        {QStringLiteral("@Ubicacion"), texto("Teatro Ocampo")},
        {QStringLiteral("@Suscriptor "), texto("Juana Ocampo Galindo")},
        {QStringLiteral("@CargoSuscriptor"), texto("Presidenta Municipal")},
        {QStringLiteral("@TelSuscriptor"), texto("735-1")},
        {QStringLiteral("@Representante"), texto("Rafael Tapia Villaseñor")},
        {QStringLiteral("@CargoRepresentante"), texto("Secretario")},
        {QStringLiteral("@TelRepresentante"), texto("777-2")},
        {QStringLiteral("@Titular"), texto("Arturo Flores")},
        {QStringLiteral("@CargoTitular"), texto("Director General")},
        {QStringLiteral("@TelTitular"), texto("777-3")},
        {QStringLiteral("@Caracter"), texto("Urgente")},
        {QStringLiteral("@Indicacion"), texto("Asistir")},
        {QStringLiteral("@RepresentaA"), texto("Srio")},
        {QStringLiteral("@Observacion"), texto("")},
        {QStringLiteral("@Estatus"), texto("CONFIRMADA")},
        {QStringLiteral("@Prefijo1"), texto("a la")},
        {QStringLiteral("@Prefijo2"), texto("")},
        {QStringLiteral("@Prefijo3"), texto("el")},
    };

    void cambia(const QString& nombre, const QVariant& valor) {
        for (auto& [n, v] : campos)
            if (n == nombre)
                v = valor;
    }
    Parametros parametros() const {
        Parametros p;
        for (const auto& [nombre, valor] : campos)
            p << (valor.metaType().id() == QMetaType::QDate
                      ? Parametro::entrada(nombre, TipoDeParametro::Date, 0, valor)
                      : Parametro::entrada(nombre, TipoDeParametro::VarChar, 2000, valor));
        return p;
    }
};

int registra(Conexion& kelmar, const Registro& r = {}, const QString& usuario = QStringLiteral("lupita")) {
    Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0, r.anio)};
    p << r.parametros();
    p << Parametro::entrada(QStringLiteral("@UsrCaptura"), TipoDeParametro::VarChar, 10, usuario)
      << Parametro::salida(QStringLiteral("@Folio"), TipoDeParametro::SmallInt);
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarUnRegEnInvitacion"), p);
    return p.constLast().valor.toInt();
}

void actualiza(Conexion& kelmar, int anio, int folio, const Registro& r, const QString& usuario) {
    Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0, anio),
                 Parametro::entrada(QStringLiteral("@Folio"), TipoDeParametro::SmallInt, 0, folio)};
    p << r.parametros();
    p << Parametro::entrada(QStringLiteral("@UsrModif"), TipoDeParametro::VarChar, 10, usuario);
    kelmar.ejecutaProcedimiento(QStringLiteral("ActualizarUnRegDeInvitacion"), p);
}

Recordset obten(Conexion& kelmar, int anio, int folio) {
    Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0, anio),
                 Parametro::entrada(QStringLiteral("@Folio"), TipoDeParametro::SmallInt, 0, folio)};
    return kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerUnaInvitacion"), p);
}

int contador(Conexion& kelmar, int anio) {
    const Recordset rs =
        kelmar.ejecuta(QStringLiteral("select UltimoFolio from folio_invitacion where Anio = ?"), {anio});
    return rs.estaVacio() ? 0 : rs.valor(0, 0).toInt();
}

QList<int> foliosGuardados(Conexion& kelmar, int anio) {
    const Recordset rs =
        kelmar.ejecuta(QStringLiteral("select Folio from invitacion where Anio = ? order by Folio"), {anio});
    QList<int> r;
    for (int i = 0; i < rs.filas(); ++i)
        r << rs.valor(i, 0).toInt();
    return r;
}

QList<int> delUnoAl(int n) {
    QList<int> r;
    for (int i = 1; i <= n; ++i)
        r << i;
    return r;
}

// The parameter's name as the answer's column names it.
QString columnaDe(const QString& parametro) {
    const QString c = parametro.trimmed().mid(1);
    return c == QLatin1String("Descripcion") ? QStringLiteral("descripcion") : c;
}

} // namespace

class TstInvitaciones : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Folios count from 1 within each year; a year's first folio follows
    // any its invitations already hold.
    void folios_data() { agregaMotores(); }
    void folios() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        QCOMPARE(registra(k), 1);
        QCOMPARE(registra(k), 2);
        Registro otroAnio;
        otroAnio.anio = 2012;
        QCOMPARE(registra(k, otroAnio), 1);
        QCOMPARE(registra(k), 3);

        Registro importado;
        importado.anio = 2013;
        k.ejecuta(QStringLiteral("insert into invitacion (Anio, Folio, FechaRecepcion, FechaEvento, Hora,"
                                 " Descripcion, Ubicacion, Suscriptor, Caracter, RepresentaA, Estatus,"
                                 " UsrCaptura, FechaCaptura) values (2013, 7, ?, ?, 'SinHr', 'x', 'y', 'z',"
                                 " 'Normal', 'Gob', 'SINCONFIRMAR', 'otro', ?)"),
                  {QDate(2013, 1, 2), QDate(2013, 1, 3), QDate(2013, 1, 2)});
        QCOMPARE(registra(k, importado), 8);
        QCOMPARE(foliosGuardados(k, 2011), delUnoAl(3));
    }

    // A registration that fails after its folio was drawn gives it back; the
    // counter stops at the last folio the look-up window can name.
    void fallasSinHuecos_data() { agregaMotores(); }
    void fallasSinHuecos() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        QCOMPARE(registra(k), 1);
        // A row in the way of folio 2, put there behind the counter's back.
        k.ejecuta(QStringLiteral("update invitacion set Folio = 2 where Anio = 2011"));
        QCOMPARE(errorDe([&] { registra(k); }).numero(), CodigoDeError::Integridad);
        QCOMPARE(contador(k, 2011), 1);
        k.ejecuta(QStringLiteral("update invitacion set Folio = 1 where Anio = 2011"));
        QCOMPARE(registra(k), 2);

        k.ejecuta(QStringLiteral("update folio_invitacion set UltimoFolio = 9998 where Anio = 2011"));
        QCOMPARE(registra(k), 9999);
        const ErrorDeEjecucion agotados = errorDe([&] { registra(k); });
        QCOMPARE(agotados.numero(), CodigoDeError::Desbordamiento);
        QVERIFY2(agotados.descripcion().contains(QStringLiteral("9999")), qPrintable(agotados.descripcion()));
        QCOMPARE(contador(k, 2011), 9999);
        QCOMPARE(foliosGuardados(k, 2011), QList<int>({1, 2, 9999}));

        // The connection gone: a clear error, nothing written.
        k.cierra();
        QCOMPARE(errorDe([&] { registra(k); }).numero(), CodigoDeError::Conexion);
    }

    // Stations registering at once, the year's first invitation included,
    // receive distinct consecutive folios.
    void estacionesAlMismoTiempo_data() { agregaMotores(); }
    void estacionesAlMismoTiempo() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        constexpr int estaciones = 4;
        constexpr int cadaUna = 12;
        std::latch salida(estaciones);
        QMutex candado;
        QList<int> recibidos;
        QStringList errores;
        std::vector<std::thread> hilos;
        for (int e = 0; e < estaciones; ++e)
            hilos.emplace_back([&] {
                QList<int> propios;
                try {
                    auto kelmar = base.abre(Catalogo::Kelmar);
                    Registro r;
                    r.anio = 2031;
                    salida.arrive_and_wait();
                    for (int i = 0; i < cadaUna; ++i)
                        propios << registra(*kelmar, r);
                } catch (const std::exception& x) {
                    const QMutexLocker bloqueo(&candado);
                    errores << QString::fromUtf8(x.what());
                }
                const QMutexLocker bloqueo(&candado);
                recibidos << propios;
            });
        for (auto& h : hilos)
            h.join();
        QVERIFY2(errores.isEmpty(), qPrintable(errores.join(QLatin1Char('\n'))));
        std::sort(recibidos.begin(), recibidos.end());
        QCOMPARE(recibidos, delUnoAl(estaciones * cadaUna));
        QCOMPARE(foliosGuardados(base.kelmar(), 2031), delUnoAl(estaciones * cadaUna));
        QCOMPARE(contador(base.kelmar(), 2031), estaciones * cadaUna);
    }

    // Every field goes and comes back unchanged; an update records who and
    // when, and an update of an invitation that is not there is an error.
    void idaYVuelta_data() { agregaMotores(); }
    void idaYVuelta() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        RelojFijo reloj(QDateTime(QDate(2011, 11, 18), QTime(9, 15)));
        const Reloj::Sustituto enUso(reloj);

        Registro r;
        for (const char* campo : {"@Descripcion", "@Ubicacion", "@Suscriptor ", "@Representante", "@Titular",
                                  "@Observacion", "@Indicacion"})
            r.cambia(QString::fromLatin1(campo), conAcentos);
        const int folio = registra(k, r);
        const auto comprueba = [&](const Registro& esperado, const QString& modifico) {
            const Recordset rs = obten(k, 2011, folio);
            QCOMPARE(rs.filas(), 1);
            for (const auto& [nombre, valor] : esperado.campos) {
                const QVariant leido = rs.valor(0, columnaDe(nombre));
                if (valor.metaType().id() == QMetaType::QDate)
                    QCOMPARE(Recordset::fechaHora(leido), valor.toDate().startOfDay());
                else
                    QCOMPARE(leido.toString(), valor.toString());
                QVERIFY2(!leido.isNull(), qPrintable(nombre));
            }
            QCOMPARE(rs.texto(0, QStringLiteral("UsrCaptura")), QStringLiteral("lupita"));
            QCOMPARE(rs.texto(0, QStringLiteral("UsrModif")), modifico);
        };
        comprueba(r, QString());

        Registro corregido = r;
        corregido.cambia(QStringLiteral("@Representante"), texto("Patricia Ocampo Bahena"));
        corregido.cambia(QStringLiteral("@RepresentaA"), texto("Gob"));
        corregido.cambia(QStringLiteral("@Prefijo2"), texto("de"));
        corregido.cambia(QStringLiteral("@FechaEvento"), QDate(2011, 12, 1));
        reloj.fija(QDateTime(QDate(2011, 11, 19), QTime(8, 0)));
        actualiza(k, 2011, folio, corregido, QStringLiteral("memo"));
        comprueba(corregido, QStringLiteral("memo"));
        const Recordset cuando = k.ejecuta(
            QStringLiteral("select FechaCaptura, FechaModif from invitacion where Anio = 2011 and Folio = ?"),
            {folio});
        QCOMPARE(Recordset::fechaHora(cuando.valor(0, 0)), QDateTime(QDate(2011, 11, 18), QTime(9, 15)));
        QCOMPARE(Recordset::fechaHora(cuando.valor(0, 1)), QDateTime(QDate(2011, 11, 19), QTime(8, 0)));

        QVERIFY(obten(k, 2011, folio + 1).estaVacio());
        QCOMPARE(errorDe([&] { actualiza(k, 2011, folio + 1, r, QStringLiteral("memo")); }).numero(),
                 CodigoDeError::FinDeRegistros);
        QCOMPARE(k.ejecuta(QStringLiteral("select count(*) from invitacion")).valor(0, 0).toInt(), 1);
    }

    // The staff whose name holds the text, case and accents aside, in
    // Spanish order: name, post and area.
    void personal_data() { agregaMotores(); }
    void personal() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        k.ejecuta(QStringLiteral("delete from funcionarios"));
        const auto agrega = [&](const char* clave, const char* nombre, QVariant cargo, QVariant area) {
            k.ejecuta(QStringLiteral("insert into funcionarios (cvefuncionario, nombre, cvecargo, cvearea)"
                                     " values (?, ?, ?, ?)"),
                      {texto(clave), texto(nombre), cargo, area});
        };
        agrega("1", "Óscar Muñoz Peña", texto("030"), texto("CA"));
        agrega("2", "ana munoz", QVariant(), QVariant());
        agrega("3", "Beatriz MUÑOZ", texto("001"), texto("SE"));
        agrega("4", "Pedro Salgado", texto("001"), texto("SE"));
        const auto busca = [&](const QString& nombre) {
            Parametros p{Parametro::entrada(QStringLiteral("@Nombre"), TipoDeParametro::VarChar, 30, nombre)};
            return k.ejecutaProcedimiento(QStringLiteral("ObtenerFuncionarioConLike"), p);
        };
        const Recordset rs = busca(QStringLiteral("muñoz"));
        QCOMPARE(rs.nombresDeColumnas(),
                 QStringList({QStringLiteral("Nombre"), QStringLiteral("Cargo"), QStringLiteral("Area")}));
        QCOMPARE(rs.filas(), 3);
        QCOMPARE(rs.texto(0, 0), QStringLiteral("ana munoz"));
        QVERIFY(rs.esNulo(0, 1));
        QCOMPARE(rs.texto(1, 0), QStringLiteral("Beatriz MUÑOZ"));
        QCOMPARE(rs.texto(1, 1), QStringLiteral("Secretario de Educación"));
        QCOMPARE(rs.texto(1, 2), QStringLiteral("Oficina del Secretario de Educación"));
        QCOMPARE(rs.texto(2, 0), QStringLiteral("Óscar Muñoz Peña"));
        QCOMPARE(busca(QStringLiteral("OSCAR")).filas(), 1);
        QCOMPARE(busca(QStringLiteral("%")).filas(), 0);
        QCOMPARE(busca(QStringLiteral("' or 1=1 --")).filas(), 0);
    }

    // The catalogue lists answer with the columns the windows read, every row in its order.
    void catalogos_data() { agregaMotores(); }
    void catalogos() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        Parametros ninguno;
        const Recordset prefijos = k.ejecutaProcedimiento(QStringLiteral("ObtenerPrefijos"), ninguno);
        QCOMPARE(prefijos.nombresDeColumnas(),
                 QStringList(
                     {QStringLiteral("Prefijo1"), QStringLiteral("Prefijo2"), QStringLiteral("Prefijo3")}));
        QCOMPARE(prefijos.filas(),
                 k.ejecuta(QStringLiteral("select count(*) from prefijos")).valor(0, 0).toInt());
        const Recordset indicaciones = k.ejecutaProcedimiento(QStringLiteral("ObtenerIndicaciones"), ninguno);
        QCOMPARE(indicaciones.nombresDeColumnas(), QStringList{QStringLiteral("descripcion")});
        const Recordset tabla = k.ejecuta(QStringLiteral("select descripcion from indicaciones order by id"));
        QCOMPARE(indicaciones.filas(), tabla.filas());
        for (int i = 0; i < tabla.filas(); ++i)
            QCOMPARE(indicaciones.texto(i, 0), tabla.texto(i, 0));
    }
};

QTEST_GUILESS_MAIN(TstInvitaciones)
#include "tst_invitaciones.moc"
