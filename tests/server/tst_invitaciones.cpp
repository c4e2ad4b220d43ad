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
    Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0, anio)};
    p << camposDe({})
      << Parametro::entrada(QStringLiteral("@UsrCaptura"), TipoDeParametro::VarChar, 10,
                            QStringLiteral("memo"))
      << Parametro::salida(QStringLiteral("@Folio"), TipoDeParametro::SmallInt);
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarUnRegEnInvitacion"), p);
    return p.constLast().valor.toInt();
}

QList<int> foliosGuardados(Conexion& kelmar, int anio) {
    return numeros(
        kelmar.ejecuta(QStringLiteral("select Folio from invitacion where Anio = ? order by Folio"), {anio}));
}

QList<int> delUnoAl(int n) {
    QList<int> r(n);
    std::iota(r.begin(), r.end(), 1);
    return r;
}

} // namespace

class TstInvitaciones : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        std::sort(recibidos.begin(), recibidos.end());
        QCOMPARE(recibidos, delUnoAl(estaciones * cadaUna));
        QCOMPARE(foliosGuardados(base.kelmar(), 2031), delUnoAl(estaciones * cadaUna));
    }
};

QTEST_GUILESS_MAIN(TstInvitaciones)
#include "tst_invitaciones.moc"
