#include "server/Evento.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/Recordset.h"

namespace {

using Esquema::Tipo;
using C = Evento::CampoDeEvento;

C texto(const char* tabla, const char* columna, int largo, const char* rotulo, QString Evento::*miembro) {
    return {{.tabla = tabla, .columna = columna, .tipo = Tipo::VarChar, .largo = largo, .rotulo = rotulo},
            miembro};
}
C momento(const char* tabla, const char* columna, const char* rotulo, QDateTime Evento::*miembro) {
    return {{.tabla = tabla, .columna = columna, .tipo = Tipo::Timestamp, .rotulo = rotulo}, miembro};
}
C entero(const char* tabla, const char* columna, Tipo tipo, const char* resto, const char* rotulo,
         int Evento::*miembro) {
    return {{.tabla = tabla, .columna = columna, .tipo = tipo, .resto = resto, .rotulo = rotulo}, miembro};
}
// The key of every row: the folio within its year, and the year.
QList<C> llave(const char* tabla) {
    return {entero(tabla, "folio", Tipo::Integer, "not null", "Folio", &Evento::folio),
            entero(tabla, "año", Tipo::SmallInt, "not null", "Año", &Evento::anio)};
}

const char* const evento = "evento";
const char* const suscriptor = "suscriptor";
const char* const representante = "representante_del_evento";

ErrorDeEjecucion sinCampo(const QString& tabla, const QString& columna) {
    return ErrorDeEjecucion(
        CodigoDeError::Interno,
        QStringLiteral("El evento no tiene el campo %1 en la tabla %2.").arg(columna, tabla),
        QStringLiteral("Evento"));
}

} // namespace

const QStringList& Evento::tablas() {
    static const QStringList t = {QString::fromUtf8(suscriptor), QString::fromUtf8(evento),
                                  QString::fromUtf8(representante)};
    return t;
}

// The columns in each table's order, which the stored catalogs keep. The
// captions are those the capture window shows for the field.
const QList<Evento::CampoDeEvento>& Evento::campos() {
    static const QList<C> campos = [] {
        QList<C> c = llave(evento);
        c << momento(evento, "fecha", "Fecha", &Evento::fecha)
          << texto(evento, "hora", 5, "Hora", &Evento::hora)
          << texto(evento, "descripcion", 1000, "Evento", &Evento::descripcion)
          << texto(evento, "direccion", 500, "Ubicación del Evento", &Evento::direccion)
          << texto(evento, "cve_municipio", 5, "Municipio", &Evento::cveMunicipio)
          << texto(evento, "cve_localidad", 5, "Localidad", &Evento::cveLocalidad)
          << momento(evento, "fecha_recepcion", "Fecha de recepción", &Evento::fechaRecepcion)
          << momento(evento, "fecha_fisica", "Fecha de recepción Física", &Evento::fechaFisica)
          << C{{.tabla = evento,
                .columna = "version",
                .tipo = Tipo::Integer,
                .resto = "not null default 1",
                .rotulo = "Versión",
                .version = 2},
               &Evento::version};
        c << llave(suscriptor);
        c << texto(suscriptor, "nombre", 100, "Nombre del suscriptor", &Evento::nombreSuscriptor)
          << texto(suscriptor, "cargo_suscriptor", 150, "Cargo del suscriptor", &Evento::cargoSuscriptor)
          << texto(suscriptor, "telefono", 20, "Teléfono del suscriptor", &Evento::telefonoSuscriptor)
          << texto(suscriptor, "celular", 20, "Celular del suscriptor", &Evento::celularSuscriptor);
        c << llave(representante);
        c << texto(representante, "clave_fun", 10, "Clave del funcionario", &Evento::claveFun)
          << texto(representante, "clave_cargo", 10, "Clave del cargo", &Evento::claveCargo)
          << texto(representante, "clave_area", 10, "Clave del área", &Evento::claveArea)
          << texto(representante, "telefono", 20, "Teléfono del representante",
                   &Evento::telefonoRepresentante)
          << texto(representante, "celular", 20, "Celular del representante", &Evento::celularRepresentante)
          << entero(representante, "clave_instruccion", Tipo::Integer,
                    "references cat_instrucciones (clave_instruccion)", "Instrucción",
                    &Evento::claveInstruccion)
          << texto(representante, "representa_a", 20, "Representa a", &Evento::representaA)
          << texto(representante, "caracter", 15, "Carácter", &Evento::caracter)
          << texto(representante, "observacion", 2000, "Observación", &Evento::observacion)
          << momento(representante, "fecha_llamada", "Fecha del aviso telefónico", &Evento::fechaLlamada)
          << texto(representante, "nombre", 100, "Nombre del representante", &Evento::nombreRepresentante)
          << texto(representante, "cargo", 150, "Cargo del representante", &Evento::cargoRepresentante)
          << texto(representante, "area", 150, "Area del representante", &Evento::areaRepresentante);
        return c;
    }();
    return campos;
}

const QList<Evento::CampoDeEvento>& Evento::camposDelRegistro() {
    static const QList<C> registro = [] {
        QList<C> r;
        for (const C& c : campos()) {
            const QString columna = c.nombreDeColumna();
            if (columna != QLatin1String("folio") && columna != QStringLiteral("año") &&
                columna != QLatin1String("version"))
                r << c;
        }
        return r;
    }();
    return registro;
}

QList<Evento::CampoDeEvento> Evento::camposDe(const QString& tabla) {
    QList<C> r;
    for (const C& c : campos())
        if (tabla.compare(QString::fromUtf8(c.tabla), Qt::CaseInsensitive) == 0)
            r << c;
    if (r.isEmpty())
        throw ErrorDeEjecucion(CodigoDeError::Interno,
                               QStringLiteral("El evento no se guarda en la tabla %1.").arg(tabla),
                               QStringLiteral("Evento"));
    return r;
}

const Evento::CampoDeEvento& Evento::campo(const QString& tabla, const QString& columna) {
    for (const C& c : campos())
        if (tabla.compare(QString::fromUtf8(c.tabla), Qt::CaseInsensitive) == 0 &&
            columna.compare(QString::fromUtf8(c.columna), Qt::CaseInsensitive) == 0)
            return c;
    throw sinCampo(tabla, columna);
}

QVariantList Evento::valoresDe(const QString& tabla) const {
    QVariantList valores;
    for (const C& c : camposDe(tabla)) {
        QVariant v = c.lee(*this);
        if (c.tipo == Tipo::VarChar && v.toString().isNull())
            v = QStringLiteral("");
        valores << v;
    }
    return valores;
}

void Evento::leeDe(const QString& tabla, const Recordset& filas, int fila) {
    for (const C& c : camposDe(tabla)) {
        const QString columna = QString::fromUtf8(c.columna);
        if (filas.indiceDeColumna(columna) < 0)
            throw sinCampo(tabla, columna);
        const QVariant v = filas.valor(fila, columna);
        c.escribe(*this, c.tipo == Tipo::Timestamp ? QVariant(Recordset::fechaHora(v)) : v);
    }
}

namespace Esquema {

// suscriptor and representante_del_evento are checked against evento at
// commit, so an event's three rows are written together in one transaction,
// in any order.
QList<Tabla> tablasDelRegistroDeEventos(int version) {
    const QString delEvento =
        QStringLiteral("foreign key (folio, año) references evento (folio, año)"
                       " on delete cascade on update cascade deferrable initially deferred");
    const QString llave = QStringLiteral("primary key (folio, año)");
    return {Campos::tabla(Evento::campos(), evento, version, {llave, QStringLiteral("check (folio > 0)")}),
            Campos::tabla(Evento::campos(), suscriptor, version, {llave, delEvento}),
            Campos::tabla(Evento::campos(), representante, version, {llave, delEvento})};
}

} // namespace Esquema
