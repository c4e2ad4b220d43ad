#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"

#include <QTest>

namespace {

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

class TstReportesDeInvitaciones : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

        const ErrorDeEjecucion e = errorDe([&] { seleccionaFolio(a, 99); });
        QCOMPARE(e.numero(), CodigoDeError::Integridad);
        QVERIFY(e.descripcion().contains(QStringLiteral("2011 - 99")));
        QCOMPARE(foliosEnEspera(a), 0);

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

QTEST_GUILESS_MAIN(TstReportesDeInvitaciones)
#include "tst_reportesdeinvitaciones.moc"
