#include "support/RegistroDeEventos.h"

#include "outside/Conexion.h"

#include <QHash>
#include <QRandomGenerator>
#include <QStringList>

namespace RegistroDeEventos {

namespace {

void insertaSinTransaccion(Conexion& t, const EventoDePrueba& e) {
    const int anio = e.fecha.date().year();
    const QDateTime fisica = e.fechaFisica.isValid() ? e.fechaFisica : e.fecha;
    t.ejecuta(QStringLiteral(
                  "insert into evento (folio, año, fecha, hora, descripcion, direccion, cve_municipio,"
                  " cve_localidad, fecha_recepcion, fecha_fisica) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {e.folio, anio, e.fecha, e.hora, e.descripcion, e.direccion, e.municipio, e.localidad, fisica,
               fisica});
    t.ejecuta(
        QStringLiteral("insert into suscriptor (folio, año, nombre, cargo_suscriptor, telefono, celular)"
                       " values (?, ?, ?, ?, ?, ?)"),
        {e.folio, anio, e.suscriptor, e.cargoSuscriptor, QStringLiteral("777-3180100"),
         QStringLiteral("___-_______")});
    t.ejecuta(
        QStringLiteral(
            "insert into representante_del_evento (folio, año, clave_fun, clave_cargo, clave_area,"
            " telefono, celular, clave_instruccion, representa_a, caracter, observacion,"
            " fecha_llamada, nombre, cargo, area) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {e.folio, anio, e.claveFuncionario, QString(), QString(), QStringLiteral("___-_______"),
         QStringLiteral("___-_______"), e.instruccion, e.representaA, e.caracter, e.observacion, fisica,
         e.nombre, e.cargo, QString()});
}

QString clave(const char* prefijo, int n, int ancho) {
    return QString::fromLatin1(prefijo) + QStringLiteral("%1").arg(n, ancho, 10, QLatin1Char('0'));
}

} // namespace

void inserta(Conexion& taloren, const EventoDePrueba& e) {
    taloren.enTransaccion([&] { insertaSinTransaccion(taloren, e); });
}

void genera(Conexion& kelmar, Conexion& taloren, const Generado& g) {
    QRandomGenerator azar(g.semilla);
    const auto elige = [&](const QStringList& l) { return l.at(int(azar.bounded(quint32(l.size())))); };

    QStringList funcionarios, municipios;
    kelmar.enTransaccion([&] {
        for (int i = 1; i <= g.cargos; ++i)
            kelmar.ejecuta(QStringLiteral("insert into cargos (cvecargo, descripcion) values (?, ?)"),
                           {clave("G", i, 5), QStringLiteral("Cargo generado número %1").arg(i)});
        const Recordset cargos = kelmar.ejecuta(QStringLiteral("select cvecargo from cargos"));
        for (int i = 1; i <= g.funcionarios; ++i) {
            const QString c = clave("F", i, 6);
            // One in twenty has no post: the search shows the post recorded with the event.
            const QVariant cargo =
                i % 20 == 0 ? QVariant()
                            : QVariant(cargos.texto(int(azar.bounded(quint32(cargos.filas()))), 0));
            kelmar.ejecuta(
                QStringLiteral("insert into funcionarios (cvefuncionario, nombre, cvecargo, cvearea)"
                               " values (?, ?, ?, ?)"),
                {c, QStringLiteral("Funcionario Generado %1").arg(i), cargo, QStringLiteral("SE")});
        }
        const Recordset mun = kelmar.ejecuta(QStringLiteral("select cvemunicipio from municipios_tmp"));
        for (int m = 0; m < mun.filas(); ++m) {
            municipios << mun.texto(m, 0);
            for (int l = 1; l <= g.localidades; ++l)
                kelmar.ejecuta(
                    QStringLiteral("insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"),
                    {mun.texto(m, 0), clave("L", l, 4), QStringLiteral("Localidad %1-%2").arg(m).arg(l)});
        }
    });
    const Recordset staff = kelmar.ejecuta(QStringLiteral("select cvefuncionario from funcionarios"));
    for (int i = 0; i < staff.filas(); ++i)
        funcionarios << staff.texto(i, 0);
    const Recordset locs = kelmar.ejecuta(QStringLiteral("select municipio, localidad from localidad"));
    QHash<QString, QStringList> localidades;
    for (int i = 0; i < locs.filas(); ++i)
        localidades[locs.texto(i, 0)] << locs.texto(i, 1);

    QHash<int, int> folios;
    taloren.enTransaccion([&] {
        for (int i = 0; i < g.eventos; ++i) {
            EventoDePrueba e;
            e.fecha = QDateTime(g.desde.addDays(azar.bounded(g.dias)),
                                QTime(int(azar.bounded(24)), int(azar.bounded(60)), int(azar.bounded(60))));
            e.folio = ++folios[e.fecha.date().year()];
            e.hora = QStringLiteral("%1:%2")
                         .arg(5 + azar.bounded(18), 2, 10, QLatin1Char('0'))
                         .arg(azar.bounded(2) * 30, 2, 10, QLatin1Char('0'));
            e.descripcion = QStringLiteral("Evento generado %1 con una descripción de largo realista").arg(i);
            e.direccion = QStringLiteral("Calle %1 número %2, Col. Centro")
                              .arg(azar.bounded(300))
                              .arg(azar.bounded(900));
            e.fechaFisica = e.fecha.addDays(-int(azar.bounded(20)));
            const quint32 lugar = azar.bounded(100u);
            if (lugar < 90) {
                const QString m = elige(municipios);
                e.municipio = m;
                const QStringList& ls = localidades.value(m);
                e.localidad = ls.isEmpty() || lugar >= 85 ? QStringLiteral("9999") : elige(ls);
            } else if (lugar < 95) {
                e.municipio = QStringLiteral("099");
                e.localidad = QStringLiteral("0001");
            } else {
                e.municipio = QVariant();
                e.localidad = QVariant();
            }
            const quint32 quien = azar.bounded(100u);
            if (quien < 55) {
                e.claveFuncionario = elige(funcionarios);
            } else if (quien < 65) {
                // A key kept with blanks around it is still the staff member's.
                e.claveFuncionario = QString(QLatin1Char(' ') + elige(funcionarios) + QLatin1Char(' '));
            } else if (quien < 70) {
                e.claveFuncionario = QStringLiteral("X99999");
                e.nombre = QStringLiteral("Persona de clave desconocida %1").arg(i);
                e.cargo = QStringLiteral("Cargo anotado %1").arg(i);
            } else {
                e.claveFuncionario = quien < 95 ? QVariant(QString()) : QVariant();
                e.nombre = QStringLiteral("Persona externa %1").arg(i);
                e.cargo = QStringLiteral("Cargo externo %1").arg(i);
            }
            e.representaA = azar.bounded(2) ? QStringLiteral("Gobernador") : QStringLiteral("Secretario");
            e.observacion = azar.bounded(3) ? QString() : QStringLiteral("Observación %1").arg(i);
            e.instruccion = 1 + int(azar.bounded(10));
            e.suscriptor = QStringLiteral("Suscriptor %1").arg(azar.bounded(500));
            e.cargoSuscriptor = QStringLiteral("Cargo del suscriptor %1").arg(azar.bounded(500));
            insertaSinTransaccion(taloren, e);
        }
    });
}

} // namespace RegistroDeEventos
