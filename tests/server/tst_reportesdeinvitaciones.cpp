#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"

#include <QTest>

namespace {

Parametros criterios(QDate inicial, QDate final, const QString& descripcion = {},
                     const QString& suscriptor = {}, const QString& representante = {}) {
    return {
        Parametro::entrada(QStringLiteral("@FechaInicial"), TipoDeParametro::Date, 0, inicial),
        Parametro::entrada(QStringLiteral("@FechaFinal"), TipoDeParametro::Date, 0, final),
        Parametro::entrada(QStringLiteral("@PalabraDescrip"), TipoDeParametro::VarChar, 20, descripcion),
        Parametro::entrada(QStringLiteral("@PalabraSuscrip"), TipoDeParametro::VarChar, 20, suscriptor),
        Parametro::entrada(QStringLiteral("@PalabraRepres"), TipoDeParametro::VarChar, 20, representante)};
}

QList<int> folios(const Recordset& rs) {
    QList<int> f;
    for (int i = 0; i < rs.filas(); ++i)
        f << rs.valor(i, 1).toInt();
    return f;
}

void selecciona(Conexion& kelmar, int folio, int anio = 2011) {
    Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0, anio),
                 Parametro::entrada(QStringLiteral("@Folio"), TipoDeParametro::SmallInt, 0, folio)};
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarAnioFolioInvit"), p);
}

// The rows a report of November and December 2011 reads.
QList<int> delReporte(Conexion& kelmar, bool soloSeleccionadas, const QString& tipo = QStringLiteral("Todas"),
                      const QString& para = {}) {
    Parametros p = criterios({2011, 11, 1}, {2011, 12, 31});
    p << Parametro::entrada(QStringLiteral("@SoloSeleccionadas"), TipoDeParametro::SmallInt, 0,
                            soloSeleccionadas ? 1 : 0)
      << Parametro::entrada(QStringLiteral("@TipoInvit"), TipoDeParametro::VarChar, 20, tipo)
      << Parametro::entrada(QStringLiteral("@RepresentaA"), TipoDeParametro::VarChar, 4, para);
    return folios(kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerInvitacionesParaReporte"), p));
}

int staged(Conexion& kelmar) {
    return kelmar.ejecuta(QStringLiteral("select count(*) from folios_por_imprimir")).valor(0, 0).toInt();
}

} // namespace

class TstReportesDeInvitaciones : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The search: event days, words by the name rule, the confirmation word; rows in event-date order.
    void busqueda_data() { agregaMotores(); }
    void busqueda() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        insertaInvitaciones(base.kelmar(), juegoDeReportes());
        const QDate nov1(2011, 11, 1), dic31(2011, 12, 31), nov5(2011, 11, 5);
        const struct {
            const char* caso;
            QDate inicial, final;
            QStringList palabras;
            const char* tipo;
            QList<int> esperados;
        } casos[] = {
            {"todas, por fecha y hora", nov1, dic31, {}, "Todas", {2, 1, 3, 7, 4}},
            {"la otra palabra de ambas", nov1, dic31, {}, "ConfirmYSinConfirm", {2, 1, 3, 7, 4}},
            {"mismo día", nov5, nov5, {}, "Todas", {2, 1}},
            {"fechas al revés", nov5.addDays(1), nov5, {}, "Todas", {}},
            {"confirmadas", nov1, dic31, {}, "Confirmadas", {2, 1, 7}},
            {"sin confirmar", nov1, dic31, {}, "SinConfirmar", {3, 4}},
            {"descripción sin acentos ni mayúsculas", nov1, dic31, {"CAFE", "", ""}, "Todas", {7}},
            {"suscriptor", nov1, dic31, {"", "padres de", ""}, "Todas", {7}},
            {"representante con eñe", nov1, dic31, {"", "", "angel MUNOZ"}, "Todas", {1}},
            {"comodín tomado a la letra", nov1, dic31, {"0%", "", ""}, "Todas", {3}},
            {"palabras juntas", nov1, dic31, {"evt", "rosa", "peña"}, "Confirmadas", {2}},
        };
        for (const auto& c : casos) {
            Parametros p =
                criterios(c.inicial, c.final, c.palabras.value(0), c.palabras.value(1), c.palabras.value(2));
            p << Parametro::entrada(QStringLiteral("@TipoInvit"), TipoDeParametro::VarChar, 20,
                                    QString::fromLatin1(c.tipo));
            const Recordset rs = base.kelmar().ejecutaProcedimiento(QStringLiteral("ObtenerInvitaciones"), p);
            QVERIFY2(folios(rs) == c.esperados, c.caso);
            QVERIFY(rs.columnas() >= 11);
            // The window relies on columns 0, 1 and 7: year, folio and representative.
            for (int i = 0; i < rs.filas(); ++i) {
                QCOMPARE(rs.valor(i, 0).toInt(), 2011);
                const bool confirmada = rs.valor(i, 1).toInt() != 3 && rs.valor(i, 1).toInt() != 4;
                QCOMPARE(rs.texto(i, 7).isEmpty(), !confirmada);
                QVERIFY(Recordset::fechaHora(rs.valor(i, 2)).date() >= c.inicial);
            }
        }
    }

    void tipoDesconocido() {
        BaseDePrueba base;
        Parametros p = criterios({2011, 11, 1}, {2011, 12, 31});
        p << Parametro::entrada(QStringLiteral("@TipoInvit"), TipoDeParametro::VarChar, 20,
                                QStringLiteral("Todos"));
        const ErrorDeEjecucion e =
            errorDe([&] { base.kelmar().ejecutaProcedimiento(QStringLiteral("ObtenerInvitaciones"), p); });
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

        selecciona(a, 1);
        selecciona(a, 7);
        selecciona(a, 7);
        selecciona(b, 2);
        selecciona(b, 5); // staged, but outside the report's days
        QCOMPARE(staged(a), 4);
        QCOMPARE(delReporte(a, true), (QList<int>{1, 7}));
        QCOMPARE(staged(a), 2);
        QCOMPARE(delReporte(b, true, QStringLiteral("Todas"), QStringLiteral("Gob")), QList<int>{2});
        QCOMPARE(staged(a), 0);
        // A later report of the session starts with nothing staged, whatever an earlier one read.
        selecciona(a, 3);
        QCOMPARE(delReporte(a, false, QStringLiteral("Confirmadas"), QStringLiteral("Srio")),
                 (QList<int>{1, 7}));
        QCOMPARE(delReporte(a, true), QList<int>{});

        const ErrorDeEjecucion e = errorDe([&] { selecciona(a, 99); });
        QCOMPARE(e.numero(), CodigoDeError::Integridad);
        QVERIFY(e.descripcion().contains(QStringLiteral("2011 - 99")));
        QCOMPARE(staged(a), 0);

        if (motor != Motor::PostgreSQL)
            return;
        // Two stations printing at the same moment, each in its own unit of work.
        b.enTransaccion([&] {
            selecciona(b, 4);
            a.enTransaccion([&] {
                selecciona(a, 3);
                QCOMPARE(delReporte(a, true), QList<int>{3});
            });
            QCOMPARE(delReporte(b, true), QList<int>{4});
        });
        QCOMPARE(staged(a), 0);
    }
};

QTEST_GUILESS_MAIN(TstReportesDeInvitaciones)
#include "tst_reportesdeinvitaciones.moc"
