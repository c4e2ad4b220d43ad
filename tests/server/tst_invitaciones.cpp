#include "outside/Procedimientos.h"
#include "server/Historial.h"
#include "server/Invitaciones.h"
#include "server/Servidor.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"

#include <QMutex>
#include <QTest>

#include <algorithm>
#include <latch>
#include <numeric>
#include <thread>

namespace {

int registra(Conexion& kelmar, int anio = 2011) {
    Invitacion invitacion = InvitacionDePrueba{}.registro();
    invitacion.anio = anio;
    return Invitaciones::registra(kelmar, invitacion,
                                  {QStringLiteral("memo"), QStringLiteral("ventanilla-1")});
}

// The record's parameters as the stations of the office send them: name,
// type, direction and size, in order. Written out here, apart from the field
// table, so that a wrong table cannot pass unseen.
struct Esperado {
    const char* nombre;
    TipoDeParametro tipo;
    int tamano;
    Direccion direccion = Direccion::Entrada;
};
constexpr auto V = TipoDeParametro::VarChar;
constexpr auto S = TipoDeParametro::SmallInt;
constexpr auto D = TipoDeParametro::Date;
const QList<Esperado> delRegistro{{"@FechaRecepcion", D, 0},
                                  {"@FechaEvento", D, 0},
                                  {"@Hora", V, 5},
                                  {"@Descripcion", V, 1500},
                                  {"@Ubicacion", V, 1500},
                                  {"@Suscriptor ", V, 100},
                                  {"@CargoSuscriptor", V, 100},
                                  {"@TelSuscriptor", V, 100},
                                  {"@Representante", V, 100},
                                  {"@CargoRepresentante", V, 100},
                                  {"@TelRepresentante", V, 100},
                                  {"@Titular", V, 100},
                                  {"@CargoTitular", V, 100},
                                  {"@TelTitular", V, 100},
                                  {"@Caracter", V, 15},
                                  {"@Indicacion", V, 200},
                                  {"@RepresentaA", V, 50},
                                  {"@Observacion", V, 2000},
                                  {"@Estatus", V, 15},
                                  {"@Prefijo1", V, 5},
                                  {"@Prefijo2", V, 5},
                                  {"@Prefijo3", V, 5}};

QString comoTexto(const QList<Procedimiento::Firma>& firma) {
    QStringList r;
    for (const Procedimiento::Firma& f : firma)
        r << QStringLiteral("%1|%2|%3|%4")
                 .arg(f.nombre, nombreDeTipo(f.tipo))
                 .arg(f.tamano)
                 .arg(f.direccion == Direccion::Entrada ? QStringLiteral("entrada")
                                                        : QStringLiteral("salida"));
    return r.join(u'\n');
}
QString comoTexto(const QList<Esperado>& esperado) {
    QList<Procedimiento::Firma> firma;
    for (const Esperado& e : esperado)
        firma << Procedimiento::Firma{QString::fromLatin1(e.nombre), e.tipo, e.direccion, e.tamano};
    return comoTexto(firma);
}

QList<int> foliosGuardados(Conexion& kelmar, int anio) {
    return numeros(
        kelmar.ejecuta(QStringLiteral("select Folio from invitacion where Anio = ? order by Folio"), {anio}));
}

Parametro texto(const char* nombre, const QString& valor, int largo = 20) {
    return Parametro::entrada(QString::fromLatin1(nombre), TipoDeParametro::VarChar, largo, valor);
}

// Events of November and December 2011 holding those words.
Parametros criterios(const QStringList& palabras = {}) {
    return {Parametro::entrada(QStringLiteral("@FechaInicial"), TipoDeParametro::Date, 0, QDate(2011, 11, 1)),
            Parametro::entrada(QStringLiteral("@FechaFinal"), TipoDeParametro::Date, 0, QDate(2011, 12, 31)),
            texto("@PalabraDescrip", palabras.value(0)), texto("@PalabraSuscrip", palabras.value(1)),
            texto("@PalabraRepres", palabras.value(2))};
}

// The rows a report of November and December 2011 reads.
QList<int> delReporte(Conexion& kelmar, bool soloSeleccionadas, const QString& tipo = QStringLiteral("Todas"),
                      const QString& para = {}) {
    Parametros p = criterios();
    p << Parametro::entrada(QStringLiteral("@SoloSeleccionadas"), TipoDeParametro::SmallInt, 0,
                            soloSeleccionadas ? 1 : 0)
      << texto("@TipoInvit", tipo) << texto("@RepresentaA", para, 4);
    return numeros(kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerInvitacionesParaReporte"), p), 1);
}

} // namespace

class TstInvitaciones : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The three procedures of the record carry exactly the office's
    // parameters, and the look-up answers the columns its window reads.
    void firmasDelRegistro() {
        const CatalogoDeProcedimientos& kelmar = Servidor::procedimientos(Catalogo::Kelmar);
        QList<Esperado> insercion{{"@Anio", S, 0}};
        insercion << delRegistro << Esperado{"@UsrCaptura", V, 10} << Esperado{"@Estacion", V, 255}
                  << Esperado{"@Folio", S, 0, Direccion::Salida};
        QList<Esperado> actualizacion{{"@Anio", S, 0}, {"@Folio", S, 0}};
        actualizacion << delRegistro << Esperado{"@UsrModif", V, 10} << Esperado{"@Estacion", V, 255}
                      << Esperado{"@Version", S, 0} << Esperado{"@Sobrescribe", S, 0};
        QCOMPARE(comoTexto(kelmar.busca(QStringLiteral("InsertarUnRegEnInvitacion"))->firma),
                 comoTexto(insercion));
        QCOMPARE(comoTexto(kelmar.busca(QStringLiteral("ActualizarUnRegDeInvitacion"))->firma),
                 comoTexto(actualizacion));
        QCOMPARE(comoTexto(kelmar.busca(QStringLiteral("ObtenerUnaInvitacion"))->firma),
                 comoTexto(QList<Esperado>{{"@Anio", S, 0}, {"@Folio", S, 0}}));

        BaseDePrueba base(Motor::SQLite);
        insertaInvitacion(base.kelmar(), {});
        Parametros llave{Parametro::entrada(QStringLiteral("@Anio"), S, 0, 2011),
                         Parametro::entrada(QStringLiteral("@Folio"), S, 0, 1)};
        const Recordset rs =
            base.kelmar().ejecutaProcedimiento(QStringLiteral("ObtenerUnaInvitacion"), llave);
        QStringList respondidas,
            esperadas{
                "FechaEvento",   "FechaRecepcion", "Hora",          "Caracter",           "RepresentaA",
                "descripcion",   "Ubicacion",      "Observacion",   "Suscriptor",         "CargoSuscriptor",
                "TelSuscriptor", "Indicacion",     "Representante", "CargoRepresentante", "TelRepresentante",
                "Titular",       "CargoTitular",   "TelTitular",    "Prefijo1",           "Prefijo2",
                "Prefijo3",      "Estatus",        "UsrCaptura",    "UsrModif",           "version"};
        for (int i = 0; i < rs.columnas(); ++i)
            respondidas << rs.nombreDeColumna(i);
        respondidas.sort();
        esperadas.sort();
        QCOMPARE(respondidas, esperadas);
    }

    // Folios count from 1 within each year; a year's first folio follows any
    // its invitations already hold. A registration that fails after drawing
    // its folio gives it back; the counter stops at the last folio the
    // look-up window can name.
    void folios_data() { agregaMotores(); }
    void folios() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        QCOMPARE(registra(k), 1);
        QCOMPARE(registra(k, 2012), 1);
        QCOMPARE(registra(k), 2);
        k.ejecuta(QStringLiteral("update invitacion set Anio = 2013, Folio = 7 where Anio = 2012"));
        QCOMPARE(registra(k, 2013), 8);

        // A row in the way of folio 3, put there behind the counter's back.
        k.ejecuta(QStringLiteral("update invitacion set Folio = 3 where Anio = 2011 and Folio = 2"));
        QCOMPARE(errorDe([&] { registra(k); }).numero(), CodigoDeError::Integridad);
        k.ejecuta(QStringLiteral("update invitacion set Folio = 2 where Anio = 2011 and Folio = 3"));
        QCOMPARE(registra(k), 3);

        k.ejecuta(QStringLiteral("update folio_invitacion set UltimoFolio = 9998 where Anio = 2011"));
        QCOMPARE(registra(k), 9999);
        const ErrorDeEjecucion agotados = errorDe([&] { registra(k); });
        QCOMPARE(agotados.numero(), CodigoDeError::Desbordamiento);
        QVERIFY2(agotados.descripcion().contains(QStringLiteral("9999")), qPrintable(agotados.descripcion()));
        QCOMPARE(foliosGuardados(k, 2011), QList<int>({1, 2, 3, 9999}));
    }

    // Two stations correct the same invitation: the second correction, based on the version
    // both looked up, changes nothing and answers what is stored now and who stored it; the
    // comparison tells which side changed each field; storing the screen over the newer
    // version is a second, explicit call that the history records. A change's entry names only
    // the fields it changed. An entry that cannot be written undoes its change.
    void dosEstaciones_data() { agregaMotores(); }
    void dosEstaciones() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& aqui = base.kelmar();
        const auto alla = base.abre(Catalogo::Kelmar);
        const Autor yo{QStringLiteral("memo"), QStringLiteral("ventanilla-1")};
        const Autor otra{QStringLiteral("ana"), QStringLiteral("ventanilla-2")};
        QCOMPARE(registra(aqui), 1);
        const Invitacion leida = *Invitaciones::busca(aqui, 2011, 1);
        QCOMPARE(leida.version, 1);

        Invitacion deAlla = *Invitaciones::busca(*alla, 2011, 1);
        deAlla.representante = QStringLiteral("Ana Pérez");
        QCOMPARE(Invitaciones::corrige(*alla, deAlla, otra).version, 2);

        Invitacion enPantalla = leida;
        enPantalla.hora = QStringLiteral("11:00");
        const Invitaciones::Correccion r = Invitaciones::corrige(aqui, enPantalla, yo);
        QCOMPARE(r.resultado, Invitaciones::Correccion::Resultado::Cambiada);
        QCOMPARE(r.guardada->representante, QStringLiteral("Ana Pérez"));
        QCOMPARE(r.guardada->hora, leida.hora);
        QCOMPARE(r.ultimoCambio->cuenta, QStringLiteral("ana"));
        QCOMPARE(r.ultimoCambio->estacion, QStringLiteral("ventanilla-2"));
        const QList<Historial::Diferencia> d =
            Historial::comparacion(Invitacion::camposDelRegistro(), leida, enPantalla, *r.guardada);
        QCOMPARE(d.size(), 2);
        QCOMPARE(d.at(0).rotulo, QStringLiteral("A las"));
        QVERIFY(d.at(0).cambioAqui && !d.at(0).cambioAlla);
        QCOMPARE(d.at(1).rotulo, QStringLiteral("Nombre del representante"));
        QVERIFY(!d.at(1).cambioAqui && d.at(1).cambioAlla);
        QCOMPARE(d.at(1).guardado, QVariant(QStringLiteral("Ana Pérez")));

        enPantalla.version = r.guardada->version;
        QCOMPARE(Invitaciones::corrige(aqui, enPantalla, yo, true).version, 3);
        const Invitacion final = *Invitaciones::busca(*alla, 2011, 1);
        QCOMPARE(final.hora, QStringLiteral("11:00"));
        QCOMPARE(final.representante, leida.representante);

        const QList<Historial::Entrada> h = Historial::delRegistro(aqui, Catalogo::Kelmar, 2011, 1);
        QCOMPARE(h.size(), 3);
        QCOMPARE(h.at(0).sobrescribe, 2);
        QCOMPARE(h.at(0).campos.size(), 2);
        QCOMPARE(h.at(1).sobrescribe, 0);
        QCOMPARE(h.at(1).campos,
                 QList<Historial::CambioDeCampo>({{QStringLiteral("invitacion.Representante"),
                                                   leida.representante, QStringLiteral("Ana Pérez")}}));
        QCOMPARE(h.at(2).tipo, Historial::Tipo::Alta);
        QCOMPARE(h.at(2).cuenta, QStringLiteral("memo"));

        // No history, no change: the registration and the correction are undone whole.
        aqui.ejecuta(QStringLiteral("alter table historial_campo rename to roto"));
        Invitacion otraVez = final;
        otraVez.hora = QStringLiteral("12:00");
        QVERIFY(errorDe([&] { Invitaciones::corrige(aqui, otraVez, yo); }).numero() != 0);
        QCOMPARE(Invitaciones::busca(aqui, 2011, 1)->hora, QStringLiteral("11:00"));
        aqui.ejecuta(QStringLiteral("alter table roto rename to historial_campo"));
        aqui.ejecuta(QStringLiteral("alter table historial rename to roto"));
        QVERIFY(errorDe([&] { registra(aqui); }).numero() != 0);
        QCOMPARE(foliosGuardados(aqui, 2011), QList<int>({1}));
        aqui.ejecuta(QStringLiteral("alter table roto rename to historial"));

        // Removed behind the window's back: said so, nothing recreated.
        aqui.ejecuta(QStringLiteral("delete from invitacion"));
        QCOMPARE(Invitaciones::corrige(aqui, otraVez, yo).resultado,
                 Invitaciones::Correccion::Resultado::Eliminada);
        QVERIFY(!Invitaciones::busca(aqui, 2011, 1));
    }

    // A value its column cannot store is refused before anything is sent, naming the box by
    // the caption the window shows: characters counted as the databases count them.
    void valoresQueNoCaben_data() { agregaMotores(); }
    void valoresQueNoCaben() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Invitacion i = InvitacionDePrueba{}.registro();
        const Autor yo{QStringLiteral("memo"), QStringLiteral("ventanilla-1")};
        i.suscriptor = QString(99, u'a') + QStringLiteral("😀");
        QCOMPARE(Invitaciones::registra(base.kelmar(), i, yo), 1);
        i.suscriptor += u'b';
        ErrorDeEjecucion e = errorDe([&] { Invitaciones::registra(base.kelmar(), i, yo); });
        QCOMPARE(e.numero(), CodigoDeError::Desbordamiento);
        QCOMPARE(e.descripcion(),
                 QStringLiteral("«Nombre de quien invita» tiene 101 caracteres y admite 100."));
        i = *Invitaciones::busca(base.kelmar(), 2011, 1);
        i.observacion = QStringLiteral("uno") + QChar(1);
        e = errorDe([&] { Invitaciones::corrige(base.kelmar(), i, yo); });
        QCOMPARE(e.numero(), CodigoDeError::Conversion);
        QCOMPARE(
            e.descripcion(),
            QStringLiteral("«Observación» tiene un carácter de control (U+0001), que no se puede guardar."));
        QCOMPARE(foliosGuardados(base.kelmar(), 2011), QList<int>({1}));
    }

    // Stations registering at once, the year's first invitation included,
    // receive distinct consecutive folios.
    void estacionesAlMismoTiempo_data() { agregaMotores(); }
    void estacionesAlMismoTiempo() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        constexpr int estaciones = 4, cadaUna = 12;
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
                    salida.arrive_and_wait();
                    for (int i = 0; i < cadaUna; ++i)
                        propios << registra(*kelmar, 2031);
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
        QList<int> todos(estaciones * cadaUna);
        std::iota(todos.begin(), todos.end(), 1);
        std::sort(recibidos.begin(), recibidos.end());
        QCOMPARE(recibidos, todos);
        QCOMPARE(foliosGuardados(base.kelmar(), 2031), todos);
    }

    // The search: event days (equal and reversed ones are the window's tests),
    // words by the name rule, the confirmation word;
    // rows in event-date order. A type word it does not know is an error.
    void busqueda_data() { agregaMotores(); }
    void busqueda() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        insertaInvitaciones(base.kelmar(), juegoDeReportes());
        const auto busca = [&](const QStringList& palabras, const char* tipo) {
            Parametros p = criterios(palabras);
            p << texto("@TipoInvit", QString::fromLatin1(tipo));
            return numeros(base.kelmar().ejecutaProcedimiento(QStringLiteral("ObtenerInvitaciones"), p), 1);
        };
        const struct {
            const char* caso;
            QStringList palabras;
            const char* tipo;
            QList<int> esperados;
        } casos[] = {
            {"todas, por fecha y hora", {}, "Todas", {2, 1, 3, 7, 4}},
            {"la otra palabra de ambas", {}, "ConfirmYSinConfirm", {2, 1, 3, 7, 4}},
            {"confirmadas", {}, "Confirmadas", {2, 1, 7}},
            {"sin confirmar", {}, "SinConfirmar", {3, 4}},
            {"descripción sin acentos ni mayúsculas", {"CAFE"}, "Todas", {7}},
            {"suscriptor", {"", "padres de"}, "Todas", {7}},
            {"representante con eñe", {"", "", "angel MUNOZ"}, "Todas", {1}},
            {"comodín tomado a la letra", {"0%"}, "Todas", {3}},
            {"palabras juntas", {"evt", "rosa", "peña"}, "Confirmadas", {2}},
        };
        for (const auto& c : casos)
            QVERIFY2(busca(c.palabras, c.tipo) == c.esperados, c.caso);
        const ErrorDeEjecucion e = errorDe([&] { busca({}, "Todos"); });
        QCOMPARE(e.numero(), CodigoDeError::Sentencia);
        QVERIFY(e.descripcion().contains(QStringLiteral("'Todos'")));
    }

    // Staged folios belong to the connection that staged them and go with the report that reads them.
    void foliosPorEstacion_data() { agregaMotores(); }
    void foliosPorEstacion() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& a = base.kelmar();
        const auto otra = base.abre(Catalogo::Kelmar);
        Conexion& b = *otra;
        insertaInvitaciones(a, juegoDeReportes());

        for (int folio : {1, 7, 7})
            seleccionaFolio(a, folio);
        seleccionaFolio(b, 2);
        seleccionaFolio(b, 5); // staged, but outside the report's days
        QCOMPARE(foliosEnEspera(a), 4);
        QCOMPARE(delReporte(a, true), (QList<int>{1, 7}));
        QCOMPARE(foliosEnEspera(a), 2);
        QCOMPARE(delReporte(b, true, QStringLiteral("Todas"), QStringLiteral("Gob")), QList<int>{2});
        QCOMPARE(foliosEnEspera(a), 0);
        // A later report of the session starts with nothing staged, whatever an earlier one read.
        seleccionaFolio(a, 3);
        QCOMPARE(delReporte(a, false, QStringLiteral("Confirmadas"), QStringLiteral("Srio")),
                 (QList<int>{1, 7}));
        QCOMPARE(delReporte(a, true), QList<int>{});

        if (motor != Motor::PostgreSQL)
            return;
        // Two stations printing at the same moment, each in its own unit of work.
        b.enTransaccion([&] {
            seleccionaFolio(b, 4);
            a.enTransaccion([&] {
                seleccionaFolio(a, 3);
                QCOMPARE(delReporte(a, true), QList<int>{3});
            });
            QCOMPARE(delReporte(b, true), QList<int>{4});
        });
        QCOMPARE(foliosEnEspera(a), 0);
    }
};

QTEST_GUILESS_MAIN(TstInvitaciones)
#include "tst_invitaciones.moc"
