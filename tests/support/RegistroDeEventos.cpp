#include "support/RegistroDeEventos.h"

#include "outside/Conexion.h"
#include "server/Evento.h"

#include <QHash>
#include <QRandomGenerator>
#include <QStringList>

namespace RegistroDeEventos {

namespace {

QString clave(const char* prefijo, int n, int ancho) {
    return QString::fromLatin1(prefijo) + QStringLiteral("%1").arg(n, ancho, 10, QLatin1Char('0'));
}

} // namespace

Evento comoEvento(const EventoDePrueba& e) {
    const QDateTime fisica = e.fechaFisica.isValid() ? e.fechaFisica : e.fecha;
    Evento r;
    r.folio = e.folio;
    r.anio = e.fecha.date().year();
    r.fecha = e.fecha;
    r.hora = e.hora;
    r.descripcion = e.descripcion;
    r.direccion = e.direccion;
    r.fechaRecepcion = fisica;
    r.fechaFisica = fisica;
    r.nombreSuscriptor = e.suscriptor;
    r.cargoSuscriptor = e.cargoSuscriptor;
    r.telefonoSuscriptor = QStringLiteral("777-3180100");
    r.celularSuscriptor = QStringLiteral("___-_______");
    r.telefonoRepresentante = QStringLiteral("___-_______");
    r.celularRepresentante = QStringLiteral("___-_______");
    r.claveInstruccion = e.instruccion;
    r.representaA = e.representaA;
    r.caracter = e.caracter;
    r.observacion = e.observacion;
    r.fechaLlamada = fisica;
    r.nombreRepresentante = e.nombre;
    r.cargoRepresentante = e.cargo;
    r.version = 1;
    return r;
}

void inserta(Conexion& t, const EventoDePrueba& e) {
    const Evento r = comoEvento(e);
    // Keys a record always holds as text, given here as they may be stored: null too.
    const QHash<QString, QVariant> comoSeGuardan = {
        {QStringLiteral("evento.cve_municipio"), e.municipio},
        {QStringLiteral("evento.cve_localidad"), e.localidad},
        {QStringLiteral("representante_del_evento.clave_fun"), e.claveFuncionario},
    };
    t.enTransaccion([&] {
        for (const QString& tabla : Evento::tablas()) {
            QStringList columnas, marcas;
            QVariantList valores = r.valoresDe(tabla);
            const QList<Evento::CampoDeEvento> campos = Evento::camposDe(tabla);
            for (int i = 0; i < campos.size(); ++i) {
                columnas << campos.at(i).nombreDeColumna();
                marcas << QStringLiteral("?");
                const auto dado = comoSeGuardan.constFind(tabla + QLatin1Char('.') + columnas.last());
                if (dado != comoSeGuardan.constEnd())
                    valores[i] = *dado;
            }
            t.ejecuta(QStringLiteral("insert into %1 (%2) values (%3)")
                          .arg(tabla, columnas.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", "))),
                      valores);
        }
    });
}

void genera(Conexion& kelmar, Conexion& taloren, const Generado& g) {
    QRandomGenerator azar(g.semilla);
    const auto n = [&](int hasta) { return int(azar.bounded(hasta)); };
    const auto elige = [&](const QStringList& l) { return l.at(n(int(l.size()))); };
    const auto columna = [&](const char* sql) {
        QStringList r;
        const Recordset rs = kelmar.ejecuta(QString::fromLatin1(sql));
        for (int i = 0; i < rs.filas(); ++i)
            r << rs.texto(i, 0);
        return r;
    };

    const QStringList municipios = columna("select cvemunicipio from municipios_tmp");
    kelmar.enTransaccion([&] {
        for (int i = 1; i <= g.cargos; ++i)
            kelmar.ejecuta(QStringLiteral("insert into cargos (cvecargo, descripcion) values (?, ?)"),
                           {clave("G", i, 5), QStringLiteral("Cargo generado número %1").arg(i)});
        const QStringList cargos = columna("select cvecargo from cargos");
        for (int i = 1; i <= g.funcionarios; ++i)
            // One in twenty has no post: the search shows the post recorded with the event.
            kelmar.ejecuta(
                QStringLiteral("insert into funcionarios (cvefuncionario, nombre, cvecargo, cvearea)"
                               " values (?, ?, ?, ?)"),
                {clave("F", i, 6), QStringLiteral("Funcionario Generado %1").arg(i),
                 i % 20 == 0 ? QVariant() : QVariant(elige(cargos)), QStringLiteral("SE")});
        for (int m = 0; m < municipios.size(); ++m)
            for (int l = 1; l <= g.localidades; ++l)
                kelmar.ejecuta(
                    QStringLiteral("insert into localidad (municipio, localidad, nombre) values (?, ?, ?)"),
                    {municipios.at(m), clave("L", l, 4), QStringLiteral("Localidad %1-%2").arg(m).arg(l)});
    });
    const QStringList funcionarios = columna("select cvefuncionario from funcionarios");
    const Recordset locs = kelmar.ejecuta(QStringLiteral("select municipio, localidad from localidad"));
    QHash<QString, QStringList> localidades;
    for (int i = 0; i < locs.filas(); ++i)
        localidades[locs.texto(i, 0)] << locs.texto(i, 1);

    QHash<int, int> folios;
    taloren.enTransaccion([&] {
        for (int i = 0; i < g.eventos; ++i) {
            EventoDePrueba e;
            e.fecha = QDateTime(g.desde.addDays(n(g.dias)), QTime(n(24), n(60), n(60)));
            e.folio = ++folios[e.fecha.date().year()];
            const int hora = 5 + n(18);
            e.hora = QTime(hora, n(2) * 30).toString(QStringLiteral("HH:mm"));
            e.descripcion = QStringLiteral("Evento generado %1 con una descripción de largo realista").arg(i);
            e.direccion = QStringLiteral("Calle %1 número %2, Col. Centro").arg(n(300)).arg(n(900));
            e.fechaFisica = e.fecha.addDays(-n(20));
            const int lugar = n(100);
            if (lugar < 90) {
                e.municipio = elige(municipios);
                const QStringList& ls = localidades.value(e.municipio.toString());
                e.localidad = ls.isEmpty() || lugar >= 85 ? QStringLiteral("9999") : elige(ls);
            } else {
                // An unknown municipality, or none.
                e.municipio = lugar < 95 ? QVariant(QStringLiteral("099")) : QVariant();
                e.localidad = lugar < 95 ? QVariant(QStringLiteral("0001")) : QVariant();
            }
            const int quien = n(100);
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
            e.representaA = n(2) ? QStringLiteral("Gobernador") : QStringLiteral("Secretario");
            e.observacion = n(3) ? QString() : QStringLiteral("Observación %1").arg(i);
            e.instruccion = 1 + n(10);
            e.suscriptor = QStringLiteral("Suscriptor %1").arg(n(500));
            e.cargoSuscriptor = QStringLiteral("Cargo del suscriptor %1").arg(n(500));
            inserta(taloren, e); // joins the unit around the register
        }
    });
}

} // namespace RegistroDeEventos
