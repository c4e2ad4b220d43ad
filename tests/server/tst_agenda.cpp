#include "server/Agenda.h"
#include "server/Calendario.h"
#include "server/Eventos.h"
#include "server/Invitaciones.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"
#include "support/OrdenDeAdministracion.h"
#include "support/RegistroDeEventos.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;
using Agenda::Entrada;

namespace {

const Autor aqui{u"lupita"_s, u"ventanilla-1"_s};

EventoDePrueba evento(int folio, QDateTime cuando, const QString& hora, const QString& nombre = {},
                      const QString& representaA = u"Secretario"_s) {
    EventoDePrueba e;
    e.folio = folio;
    e.fecha = cuando;
    e.hora = hora;
    e.nombre = nombre;
    e.representaA = representaA;
    e.descripcion = u"Evento %1"_s.arg(folio);
    return e;
}

QStringList claves(const QList<Entrada>& entradas) {
    QStringList r;
    for (const Entrada& e : entradas)
        r << e.clave();
    return r;
}

// Each VEVENT of a calendar file as an independent parser reads it, by UID.
QHash<QString, QJsonObject> leeCalendario(const QString& archivo) {
    QProcess p;
    p.start(u"/usr/bin/python3"_s, {QStringLiteral(TALOREN_LEE_ICS), archivo});
    QHash<QString, QJsonObject> r;
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        // No parser is a failure, never a skipped check: the set-up installs python3-icalendar.
        qWarning().noquote() << "lee_ics.py:" << p.readAllStandardError();
        return r;
    }
    for (const QByteArray& linea : p.readAllStandardOutput().split('\n'))
        if (!linea.isEmpty()) {
            const QJsonObject o = QJsonDocument::fromJson(linea).object();
            r.insert(o.value("uid"_L1).toString(), o);
        }
    return r;
}

} // namespace

class TstAgenda : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A week holds exactly the invitations and events of its days, by day, the
    // entries without hour first, then by hour; events name their staff
    // member; filters by official, representative (by the name rule) and
    // kind. A catalog that cannot be read is an error, never an empty week.
    void semanaYFiltros_data() { agregaMotores(); }
    void semanaYFiltros() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        const QDate lunes(2026, 3, 2);
        insertaInvitaciones(base.kelmar(),
                            {invitacionDelDia(1, lunes, u"10:00"_s, u"Ana Pérez"_s),
                             invitacionDelDia(2, lunes, u"SinHr"_s, {}, u"Gob"_s),
                             invitacionDelDia(3, lunes.addDays(2), u"23:45"_s, u"Luis Gómez"_s),
                             invitacionDelDia(4, lunes.addDays(7), u"10:00"_s),
                             invitacionDelDia(5, lunes.addDays(-1), u"10:00"_s)});
        EventoDePrueba conClave = evento(1, QDateTime(lunes.addDays(1), QTime(0, 0)), u"00:00"_s);
        conClave.claveFuncionario = u"0004"_s;
        RegistroDeEventos::inserta(base.taloren(), conClave);
        RegistroDeEventos::inserta(base.taloren(), evento(2, QDateTime(lunes, QTime(10, 30)), u"10:30"_s,
                                                          u" ANA PEREZ"_s, u"Gobernador"_s));
        RegistroDeEventos::inserta(base.taloren(),
                                   evento(3, QDateTime(lunes.addDays(6), QTime(18, 0)), u"18:00"_s));

        Agenda::Lector lector(base.kelmar(), base.taloren());
        const Agenda::Filtro semana{.desde = lunes, .hasta = lunes.addDays(6)};
        const QList<Entrada> todas = lector.lee(semana);
        QCOMPARE(claves(todas), QStringList({u"I-2026-2"_s, u"I-2026-1"_s, u"E-2026-2"_s, u"E-2026-1"_s,
                                             u"I-2026-3"_s, u"E-2026-3"_s}));
        const QVariantList dias{QDateTime(lunes, QTime(0, 0)), QDateTime(lunes.addDays(7), QTime(0, 0))};
        QCOMPARE(
            todas.size(),
            base.kelmar()
                    .ejecuta(u"select count(*) from invitacion where FechaEvento >= ? and FechaEvento < ?"_s,
                             dias)
                    .valor(0, 0)
                    .toInt() +
                base.taloren()
                    .ejecuta(u"select count(*) from evento where fecha >= ? and fecha < ?"_s, dias)
                    .valor(0, 0)
                    .toInt());
        const Entrada& patricia = todas.at(3);
        QVERIFY(!patricia.hora && patricia.confirmada);
        QCOMPARE(patricia.representante, u"Patricia Ocampo Bahena"_s);
        QVERIFY(!todas.at(0).hora && !todas.at(0).confirmada &&
                todas.at(0).titular == Agenda::Titular::Gobernador);
        QCOMPARE(todas.at(4).hora, QTime(23, 45));
        QCOMPARE(todas.at(1).titularAbreviado() + todas.at(1).lugar, u"Srio."_s + u"Palacio de Gobierno"_s);

        QCOMPARE(claves(lector.lee(
                     {.desde = lunes, .hasta = lunes.addDays(6), .titular = Agenda::Titular::Gobernador})),
                 QStringList({u"I-2026-2"_s, u"E-2026-2"_s}));
        QCOMPARE(claves(lector.lee({.desde = lunes, .hasta = lunes.addDays(6), .representante = u"perez"_s})),
                 QStringList({u"I-2026-1"_s, u"E-2026-2"_s}));
        QCOMPARE(claves(lector.lee({.desde = lunes, .hasta = lunes, .tipo = Agenda::Tipo::Evento})),
                 QStringList({u"E-2026-2"_s}));

        for (const auto& [catalogo, tabla] :
             {std::pair{&base.kelmar(), "invitacion"}, std::pair{&base.taloren(), "evento"}}) {
            catalogo->ejecuta(u"alter table %1 rename to roto"_s.arg(QLatin1String(tabla)));
            QVERIFY(errorDe([&] { lector.lee(semana); }).numero() < 0);
            catalogo->ejecuta(u"alter table roto rename to %1"_s.arg(QLatin1String(tabla)));
        }
    }

    // Double bookings: one person (the representative, or the official when
    // none is named) on the same day with starts less than the margin apart.
    void dobleReserva_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("esEvento"); // the stored entry: an event of the register, or an invitation
        QTest::addColumn<int>("dias");      // the stored entry's day after the proposal's
        QTest::addColumn<QString>("hora");
        QTest::addColumn<QString>("representante");
        QTest::addColumn<QString>("horaPropuesta");
        QTest::addColumn<QString>("representantePropuesto");
        QTest::addColumn<bool>("chocan");
        const struct {
            const char* nombre;
            bool esEvento;
            int dias;
            const char *hora, *representante, *horaPropuesta, *representantePropuesto;
            bool chocan;
        } casos[] = {
            {"se traslapan", false, 0, "10:00", "Ana Pérez", "11:00", "Ana Pérez", true},
            {"justo el margen", false, 0, "10:00", "Ana Pérez", "11:30", "Ana Pérez", false},
            {"un minuto dentro", true, 0, "10:01", "Ana Pérez", "11:30", "Ana Pérez", true},
            {"otro día", false, 1, "10:00", "Ana Pérez", "10:00", "Ana Pérez", false},
            {"otra persona", false, 0, "10:00", "Ana Pérez", "10:00", "Ana Peralta", false},
            {"acentos, mayúsculas y blancos", false, 0, "10:00", "  ANA perez ", "10:30", "Ana Pérez", true},
            {"sin hora con sin hora", false, 0, "SinHr", "Ana Pérez", "SinHr", "Ana Pérez", true},
            {"sin hora con hora", false, 0, "SinHr", "Ana Pérez", "10:00", "Ana Pérez", false},
            {"evento sin hora con invitación sin hora", true, 0, "00:00", "Ana Pérez", "SinHr", "Ana Pérez",
             true},
            {"evento contra invitación", true, 0, "09:00", "Ana Pérez", "10:00", "Ana Pérez", true},
            {"el titular, sin representante", false, 0, "10:00", "", "10:30", "", true},
            {"el titular contra su representante", false, 0, "10:00", "", "10:30", "Ana Pérez", false},
        };
        agregaFilasPorMotor(casos,
                            [](QTestData& fila, const auto& c) {
                                fila << c.esEvento << c.dias << QString::fromUtf8(c.hora)
                                     << QString::fromUtf8(c.representante)
                                     << QString::fromUtf8(c.horaPropuesta)
                                     << QString::fromUtf8(c.representantePropuesto) << c.chocan;
                            },
                            {Motor::SQLite});
        for (const auto& c : {casos[0], casos[9]})
            QTest::addRow("postgresql: %s", c.nombre)
                << int(Motor::PostgreSQL) << c.esEvento << c.dias << QString::fromUtf8(c.hora)
                << QString::fromUtf8(c.representante) << QString::fromUtf8(c.horaPropuesta)
                << QString::fromUtf8(c.representantePropuesto) << c.chocan;
    }
    void dobleReserva() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(bool, esEvento);
        QFETCH(int, dias);
        QFETCH(QString, hora);
        QFETCH(QString, representante);
        QFETCH(QString, horaPropuesta);
        QFETCH(QString, representantePropuesto);
        QFETCH(bool, chocan);
        BaseDePrueba base(motor);
        const QDate dia(2026, 5, 12), suyo = dia.addDays(dias);
        if (esEvento)
            RegistroDeEventos::inserta(
                base.taloren(),
                evento(1, QDateTime(suyo, QTime::fromString(hora, u"HH:mm"_s)), hora, representante));
        else
            insertaInvitacion(base.kelmar(), invitacionDelDia(1, suyo, hora, representante));
        // A stored entry of another person at the same hour, which never conflicts.
        insertaInvitacion(base.kelmar(), invitacionDelDia(2, dia, horaPropuesta, u"Otra Persona"_s));

        Invitacion propuesta = invitacionDelDia(3, dia, horaPropuesta, representantePropuesto).registro();
        Agenda::Lector lector(base.kelmar(), base.taloren());
        const QList<Entrada> otras = Agenda::conflictosDe(lector, Agenda::deInvitacion(propuesta),
                                                          Agenda::margenDeConflictos(base.kelmar()));
        QCOMPARE(claves(otras),
                 chocan ? QStringList{esEvento ? u"E-2026-1"_s : u"I-2026-1"_s} : QStringList());
        // The record itself is never its own conflict.
        if (!esEvento && chocan) {
            propuesta.folio = 1;
            QVERIFY(Agenda::conflictosDe(lector, Agenda::deInvitacion(propuesta), 90).isEmpty());
        }
    }

    // The list of double bookings pairs every conflicting entry once; the
    // office's margin is read from its configuration.
    void listaDeDobleReservas() {
        BaseDePrueba base;
        const QDate dia(2026, 5, 12);
        insertaInvitaciones(base.kelmar(), {invitacionDelDia(1, dia, u"10:00"_s, u"Ana"_s),
                                            invitacionDelDia(2, dia, u"11:00"_s, u"ana"_s),
                                            invitacionDelDia(3, dia, u"12:00"_s, u"Ana"_s),
                                            invitacionDelDia(4, dia, u"12:00"_s, u"Beto"_s)});
        Agenda::Lector lector(base.kelmar(), base.taloren());
        const QList<Entrada> dias = lector.lee({.desde = dia, .hasta = dia});
        QStringList pares;
        for (const auto& [a, b] : Agenda::dobleReservas(dias, Agenda::margenDeConflictos(base.kelmar())))
            pares << a.clave() + u'/' + b.clave();
        QCOMPARE(pares, QStringList({u"I-2026-1/I-2026-2"_s, u"I-2026-2/I-2026-3"_s}));
        base.kelmar().ejecuta(u"update configuracion set MargenConflictos = ?"_s, {121});
        QCOMPARE(Agenda::dobleReservas(dias, Agenda::margenDeConflictos(base.kelmar())).size(), 3);
        base.kelmar().ejecuta(u"alter table configuracion rename to roto"_s);
        QVERIFY(errorDe([&] { Agenda::margenDeConflictos(base.kelmar()); }).numero() < 0);
    }

    // The calendar file, read back by an independent parser: every entry with
    // its fields, a UID that stays, SEQUENCE from the row version, the
    // office's zone with its real rules (daylight time in July 2021, none in
    // 2026), whole days for entries without hour, deleted records cancelled.
    // The public agenda holds only confirmed entries and none of their
    // observations. Whatever fails leaves no file.
    void calendario_data() { agregaMotores(); }
    void calendario() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        InvitacionDePrueba julio = invitacionDelDia(1, QDate(2021, 7, 14), u"10:00"_s, u"Ana Pérez"_s);
        julio.observacion = u"Nota interna: no publicar"_s;
        insertaInvitaciones(base.kelmar(),
                            {julio, invitacionDelDia(1, QDate(2026, 1, 15), u"10:00"_s),
                             invitacionDelDia(2, QDate(2026, 1, 16), u"SinHr"_s, u"Luis"_s, u"Gob"_s)});
        EventoDePrueba raro = evento(0, QDateTime(QDate(2026, 1, 20), QTime(9, 0)), u"09:00"_s, u"Luis"_s);
        raro.descripcion = u"Foro: \"Educación, ciencia; y arte\"\nsegunda línea"_s;
        raro.direccion = u"Auditorio Emiliano Zapata, Cuernavaca"_s;
        Eventos::insertaConFolioNuevo(base.taloren(), RegistroDeEventos::comoEvento(raro), aqui);
        const int borrado =
            Eventos::insertaConFolioNuevo(base.taloren(), RegistroDeEventos::comoEvento(raro), aqui);
        QCOMPARE(Eventos::elimina(base.taloren(), borrado, 2026, 1, aqui), Eventos::Escritura::Hecha);

        const QString identidad = Calendario::oficina(base.kelmar()).identidad;
        QVERIFY(!identidad.isEmpty());
        const QString archivo = base.carpeta() + u"/agenda.ics"_s;
        const QString orden = u"agenda --ics %1 --desde 2021-01-01 --hasta 2026-12-31"_s.arg(archivo);
        Corrida c = admin(base.archivoDeAjustes(), orden);
        QVERIFY2(c.salida == 0 && c.texto.contains(u"4 entradas"_s) && c.texto.contains(u"1 canceladas"_s),
                 qPrintable(c.texto));
        QHash<QString, QJsonObject> ics = leeCalendario(archivo);
        const auto uid = [&](const char* clave) -> QString {
            return QString::fromLatin1(clave) + u'@' + identidad;
        };
        QCOMPARE(ics.size(), 5);
        const QJsonObject a2021 = ics.value(uid("invitacion-2021-1"));
        QCOMPARE(a2021.value("inicio"_L1).toString(), u"2021-07-14T10:00:00"_s);
        QCOMPARE(a2021.value("desfase_vtimezone"_L1).toInt(), -300);
        QCOMPARE(a2021.value("desfase_sistema"_L1).toInt(), -300);
        QCOMPARE(a2021.value("status"_L1).toString(), u"CONFIRMED"_s);
        QVERIFY(!a2021.value("description"_L1).toString().contains(u"Nota interna"_s));
        const QJsonObject a2026 = ics.value(uid("invitacion-2026-1"));
        QCOMPARE(a2026.value("desfase_vtimezone"_L1).toInt(), -360);
        QCOMPARE(a2026.value("tzid"_L1).toString(), u"America/Mexico_City"_s);
        QCOMPARE(a2026.value("status"_L1).toString(), u"TENTATIVE"_s);
        QCOMPARE(a2026.value("fin"_L1).toString(), u"2026-01-15T11:00:00"_s);
        const QJsonObject sinHora = ics.value(uid("invitacion-2026-2"));
        QVERIFY(sinHora.value("todo_el_dia"_L1).toBool());
        QCOMPARE(sinHora.value("inicio"_L1).toString() + u'/' + sinHora.value("fin"_L1).toString(),
                 u"2026-01-16/2026-01-17"_s);
        const QJsonObject foro = ics.value(uid("evento-2026-1"));
        QCOMPARE(foro.value("summary"_L1).toString(), raro.descripcion.simplified());
        QCOMPARE(foro.value("location"_L1).toString(), raro.direccion);
        QVERIFY2(foro.value("description"_L1).toString().contains(u"Representante: Luis"_s),
                 qPrintable(foro.value("description"_L1).toString()));
        QCOMPARE(ics.value(uid("evento-2026-2")).value("status"_L1).toString(), u"CANCELLED"_s);

        // Changed, then exported again: the same UIDs, a higher sequence where it changed.
        Invitacion i = *Invitaciones::busca(base.kelmar(), 2026, 1);
        i.representante = u"Raúl"_s;
        i.estatus = u"CONFIRMADA"_s;
        QCOMPARE(Invitaciones::corrige(base.kelmar(), i, aqui).resultado,
                 Invitaciones::Correccion::Resultado::Guardada);
        QCOMPARE(admin(base.archivoDeAjustes(), orden).salida, 0);
        const QHash<QString, QJsonObject> otra = leeCalendario(archivo);
        QCOMPARE(QSet<QString>(otra.keyBegin(), otra.keyEnd()), QSet<QString>(ics.keyBegin(), ics.keyEnd()));
        QVERIFY(otra.value(uid("invitacion-2026-1")).value("sequence"_L1).toInt() >
                a2026.value("sequence"_L1).toInt());
        QCOMPARE(otra.value(uid("invitacion-2026-1")).value("status"_L1).toString(), u"CONFIRMED"_s);
        QCOMPARE(otra.value(uid("evento-2026-1")).value("sequence"_L1), foro.value("sequence"_L1));

        // The public agenda as open data: confirmed only, nothing internal.
        const QString csv = base.carpeta() + u"/publica.csv"_s;
        QCOMPARE(admin(base.archivoDeAjustes(),
                       u"agenda --publica --csv %1 --desde 2021-07-01 --hasta 2021-07-31"_s.arg(csv))
                     .salida,
                 0);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()),
                 u"Fecha,Hora,Evento,Lugar,Invita,Asiste,En representación de\r\n"
                 u"2021-07-14,10:00,Invitación 1,Palacio de Gobierno,\"Lic. Rosa María Campos, Directora del "
                 u"Instituto\",Ana Pérez,"
                 u"Secretario\r\n"_s);

        // Refused before anything is read, and failures that leave no file.
        const std::tuple<QString, int, QString> negadas[] = {
            {u"agenda --csv %1"_s.arg(csv), 2, u"Uso: taloren-admin agenda"_s},
            {u"agenda --ics %1 --desde 2026-02-01 --hasta 2026-01-01"_s.arg(archivo), 2, u"es anterior a"_s},
            {u"agenda --ics %1 --titular Rector"_s.arg(archivo), 2, u"--titular admite Srio o Gob"_s},
            {u"agenda --ics /no/existe/agenda.ics"_s, 1, u"No se pudo escribir /no/existe/agenda.ics"_s},
        };
        for (const auto& [o, salida, dice] : negadas) {
            c = admin(base.archivoDeAjustes(), o);
            QVERIFY2(c.salida == salida && c.texto.contains(dice), qPrintable(o + u": "_s + c.texto));
        }
        QFile::remove(archivo);
        base.kelmar().ejecuta(u"alter table invitacion rename to roto"_s);
        c = admin(base.archivoDeAjustes(), orden);
        QVERIFY2(c.salida == 1 && c.texto.startsWith(u"Error -"_s), qPrintable(c.texto));
        QVERIFY(!QFile::exists(archivo));
    }
};

QTEST_GUILESS_MAIN(TstAgenda)
#include "tst_agenda.moc"
