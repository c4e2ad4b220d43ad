#include "outside/Reloj.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"

#include <QMutex>
#include <QTest>

#include <algorithm>
#include <latch>
#include <numeric>
#include <thread>

namespace {

const QString conAcentos = QStringLiteral("O'Higgins «ñandú» Ángel; -- ' or '1'='1");

Parametro entero(const char* nombre, int valor) {
    return Parametro::entrada(QString::fromLatin1(nombre), TipoDeParametro::SmallInt, 0, valor);
}

Parametro texto(const char* nombre, const QString& valor) {
    return Parametro::entrada(QString::fromLatin1(nombre), TipoDeParametro::VarChar, 10, valor);
}

int registra(Conexion& kelmar, int anio = 2011, const InvitacionDePrueba& invitacion = {}) {
    Parametros p{entero("@Anio", anio)};
    p << camposDe(invitacion) << texto("@UsrCaptura", QStringLiteral("memo"))
      << Parametro::salida(QStringLiteral("@Folio"), TipoDeParametro::SmallInt);
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarUnRegEnInvitacion"), p);
    return p.constLast().valor.toInt();
}

void actualiza(Conexion& kelmar, int folio, const InvitacionDePrueba& invitacion) {
    Parametros p{entero("@Anio", 2011), entero("@Folio", folio)};
    p << camposDe(invitacion) << texto("@UsrModif", QStringLiteral("lupita"));
    kelmar.ejecutaProcedimiento(QStringLiteral("ActualizarUnRegDeInvitacion"), p);
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

    // The look-up answers every field as stored; an update records who and
    // when, and an update of an invitation that is not there is an error.
    void consultaYActualizacion_data() { agregaMotores(); }
    void consultaYActualizacion() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        RelojFijo reloj(QDateTime(QDate(2011, 11, 18), QTime(9, 15)));
        const Reloj::Sustituto enUso(reloj);
        InvitacionDePrueba i;
        i.descripcion = i.suscriptor = i.representante = i.cargoRepresentante = i.observacion = conAcentos;
        i.prefijo2 = QStringLiteral("d'él");
        const int folio = registra(k, 2011, i);
        Parametros clave{entero("@Anio", 2011), entero("@Folio", folio)};
        const Recordset rs = k.ejecutaProcedimiento(QStringLiteral("ObtenerUnaInvitacion"), clave);
        QCOMPARE(rs.filas(), 1);
        for (const Parametro& p : camposDe(i)) {
            const QString columna = p.nombre == QLatin1String("@Descripcion") ? QStringLiteral("descripcion")
                                                                              : p.nombre.trimmed().mid(1);
            if (p.tipo == TipoDeParametro::Date)
                QCOMPARE(Recordset::fechaHora(rs.valor(0, columna)), p.valor.toDate().startOfDay());
            else
                QCOMPARE(rs.texto(0, columna), p.valor.toString());
        }
        QCOMPARE(rs.texto(0, QStringLiteral("UsrCaptura")) + rs.texto(0, QStringLiteral("UsrModif")),
                 QStringLiteral("memo"));

        reloj.fija(QDateTime(QDate(2011, 11, 19), QTime(8, 0)));
        i.descripcion = QStringLiteral("Ñoño");
        actualiza(k, folio, i);
        const Recordset fila = filaGuardada(k, folio);
        QCOMPARE(fila.texto(0, QStringLiteral("Descripcion")), QStringLiteral("Ñoño"));
        QCOMPARE(fila.texto(0, QStringLiteral("Representante")), conAcentos);
        QCOMPARE(fila.texto(0, QStringLiteral("UsrModif")), QStringLiteral("lupita"));
        QCOMPARE(Recordset::fechaHora(fila.valor(0, QStringLiteral("FechaCaptura"))),
                 QDateTime(QDate(2011, 11, 18), QTime(9, 15)));
        QCOMPARE(Recordset::fechaHora(fila.valor(0, QStringLiteral("FechaModif"))),
                 QDateTime(QDate(2011, 11, 19), QTime(8, 0)));
        QCOMPARE(errorDe([&] { actualiza(k, folio + 1, i); }).numero(), CodigoDeError::FinDeRegistros);
        QCOMPARE(invitacionesGuardadas(k), 1);
    }

    // The staff whose name holds the text, case and accents aside, in
    // Spanish order: name, post and area.
    void personal_data() { agregaMotores(); }
    void personal() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& k = base.kelmar();
        k.ejecuta(QStringLiteral("delete from funcionarios"));
        k.ejecuta(QStringLiteral("insert into funcionarios (cvefuncionario, nombre, cvecargo, cvearea) values"
                                 " ('1', ?, '030', 'CA'), ('2', 'ana munoz', null, null),"
                                 " ('3', ?, '001', 'SE'), ('4', 'Pedro Salgado', '001', 'SE')"),
                  {QStringLiteral("Óscar Muñoz Peña"), QStringLiteral("Beatriz MUÑOZ")});
        const auto busca = [&](const QString& nombre) {
            Parametros p{Parametro::entrada(QStringLiteral("@Nombre"), TipoDeParametro::VarChar, 30, nombre)};
            return k.ejecutaProcedimiento(QStringLiteral("ObtenerFuncionarioConLike"), p);
        };
        const Recordset rs = busca(QStringLiteral("muñoz"));
        QCOMPARE(rs.nombresDeColumnas(), QStringList({"Nombre", "Cargo", "Area"}));
        QCOMPARE(rs.filas(), 3);
        QCOMPARE(rs.texto(0, 0), QStringLiteral("ana munoz"));
        QVERIFY(rs.esNulo(0, 1));
        QCOMPARE(
            QStringList({rs.texto(1, 0), rs.texto(1, 1), rs.texto(1, 2)}),
            QStringList({"Beatriz MUÑOZ", "Secretario de Educación", "Oficina del Secretario de Educación"}));
        QCOMPARE(rs.texto(2, 0), QStringLiteral("Óscar Muñoz Peña"));
        QCOMPARE(busca(QStringLiteral("OSCAR")).filas(), 1);
        QCOMPARE(busca(QStringLiteral("%")).filas(), 0);
    }
};

QTEST_GUILESS_MAIN(TstInvitaciones)
#include "tst_invitaciones.moc"
