#include "server/Invitacion.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/Recordset.h"

namespace {

using Esquema::Tipo;
using C = Invitacion::CampoDeInvitacion;

C texto(const char* columna, int largo, const char* resto, const char* parametro, const char* rotulo,
        QString Invitacion::*miembro, int largoEnPantalla = 0) {
    return {{.tabla = "invitacion",
             .columna = columna,
             .tipo = Tipo::VarChar,
             .largo = largo,
             .resto = resto,
             .parametro = parametro,
             .largoEnPantalla = largoEnPantalla,
             .rotulo = rotulo},
            miembro};
}
C fecha(const char* columna, const char* resto, const char* parametro, const char* rotulo,
        QDateTime Invitacion::*miembro) {
    return {{.tabla = "invitacion",
             .columna = columna,
             .tipo = Tipo::Timestamp,
             .resto = resto,
             .parametro = parametro,
             .rotulo = rotulo},
            miembro};
}
C entero(const char* columna, const char* parametro, const char* rotulo, int Invitacion::*miembro) {
    return {{.tabla = "invitacion",
             .columna = columna,
             .tipo = Tipo::SmallInt,
             .resto = "not null",
             .parametro = parametro,
             .rotulo = rotulo},
            miembro};
}

constexpr const char* vacio = "not null default ''";

} // namespace

// The record's fields in the table's order. Fields 2 to 23 are those from
// FechaRecepcion to Prefijo3. "@Suscriptor " ends with a blank, as the
// callers name it. The multi-line texts of the window take 1500 characters,
// as its form says, even where the column stores more.
const QList<Invitacion::CampoDeInvitacion>& Invitacion::campos() {
    static const QList<C> campos = {
        entero("Anio", "@Anio", "Año", &Invitacion::anio),
        entero("Folio", "@Folio", "Folio", &Invitacion::folio),
        fecha("FechaRecepcion", "not null", "@FechaRecepcion", "Se recibió el día",
              &Invitacion::fechaRecepcion),
        fecha("FechaEvento", "not null", "@FechaEvento", "El evento se realizará el día",
              &Invitacion::fechaEvento),
        texto("Hora", 5, "not null", "@Hora", "A las", &Invitacion::hora),
        texto("Descripcion", 1500, "not null", "@Descripcion", "En relación", &Invitacion::descripcion),
        texto("Ubicacion", 1500, "not null", "@Ubicacion", "El evento se realizará en",
              &Invitacion::ubicacion),
        texto("Suscriptor", 100, "not null", "@Suscriptor ", "Nombre de quien invita",
              &Invitacion::suscriptor),
        texto("CargoSuscriptor", 100, vacio, "@CargoSuscriptor", "Cargo de quien invita",
              &Invitacion::cargoSuscriptor),
        texto("TelSuscriptor", 100, vacio, "@TelSuscriptor", "Teléfonos de quien invita",
              &Invitacion::telSuscriptor),
        texto("Representante", 100, vacio, "@Representante", "Nombre del representante",
              &Invitacion::representante),
        texto("CargoRepresentante", 100, vacio, "@CargoRepresentante", "Cargo del representante",
              &Invitacion::cargoRepresentante),
        texto("TelRepresentante", 100, vacio, "@TelRepresentante", "Teléfonos del representante",
              &Invitacion::telRepresentante),
        texto("Titular", 100, vacio, "@Titular", "Nombre del titular del área", &Invitacion::titular),
        texto("CargoTitular", 100, vacio, "@CargoTitular", "Cargo del titular del área",
              &Invitacion::cargoTitular),
        texto("TelTitular", 100, vacio, "@TelTitular", "Teléfonos del titular del área",
              &Invitacion::telTitular),
        texto("Caracter", 15, "not null", "@Caracter", "Carácter", &Invitacion::caracter),
        texto("Indicacion", 200, vacio, "@Indicacion", "Indicación", &Invitacion::indicacion),
        texto("RepresentaA", 50, "not null", "@RepresentaA", "Representa a", &Invitacion::representaA),
        texto("Observacion", 2000, vacio, "@Observacion", "Observación", &Invitacion::observacion, 1500),
        texto("Estatus", 15, "not null", "@Estatus", "Estatus", &Invitacion::estatus),
        texto("Prefijo1", 5, vacio, "@Prefijo1", "Prefijo de la descripción", &Invitacion::prefijo1),
        texto("Prefijo2", 5, vacio, "@Prefijo2", "Prefijo del representante", &Invitacion::prefijo2),
        texto("Prefijo3", 5, vacio, "@Prefijo3", "Prefijo del lugar", &Invitacion::prefijo3),
        texto("UsrCaptura", 10, "not null", "@UsrCaptura", "Capturó", &Invitacion::usrCaptura),
        fecha("FechaCaptura", "not null", "", "Fecha de captura", &Invitacion::fechaCaptura),
        texto("UsrModif", 10, vacio, "@UsrModif", "Modificó", &Invitacion::usrModif),
        fecha("FechaModif", "", "", "Fecha de modificación", &Invitacion::fechaModif),
        {{.tabla = "invitacion",
          .columna = "version",
          .tipo = Tipo::Integer,
          .resto = "not null default 1",
          .parametro = "@Version",
          .rotulo = "Versión",
          .version = 4},
         &Invitacion::version},
    };
    return campos;
}

const QList<Invitacion::CampoDeInvitacion>& Invitacion::camposDelRegistro() {
    static const QList<C> registro = [] {
        QList<C> r;
        bool dentro = false;
        for (const C& c : campos()) {
            if (qstrcmp(c.columna, "FechaRecepcion") == 0)
                dentro = true;
            if (dentro)
                r << c;
            if (qstrcmp(c.columna, "Prefijo3") == 0)
                break;
        }
        return r;
    }();
    return registro;
}

const QList<Invitacion::CampoDeInvitacion>& Invitacion::camposDeLaConsulta() {
    static const QList<C> consulta = QList<C>(camposDelRegistro())
                                     << campo(QStringLiteral("UsrCaptura"))
                                     << campo(QStringLiteral("UsrModif")) << campo(QStringLiteral("version"));
    return consulta;
}

const Invitacion::CampoDeInvitacion& Invitacion::campo(const QString& columna) {
    for (const C& c : campos())
        if (columna.compare(QString::fromUtf8(c.columna), Qt::CaseInsensitive) == 0)
            return c;
    throw ErrorDeEjecucion(CodigoDeError::Interno,
                           QStringLiteral("La invitación no tiene el campo %1.").arg(columna),
                           QStringLiteral("Invitacion"));
}

Parametros Invitacion::parametrosDelRegistro() const {
    Parametros p;
    for (const C& c : camposDelRegistro()) {
        // The procedures take the calendar day of a date.
        p << c.parametroCon(c.tipo == Esquema::Tipo::Timestamp ? QVariant(c.lee(*this).toDateTime().date())
                                                               : c.valorAlGuardar(*this));
    }
    return p;
}

Invitacion Invitacion::deFila(const Recordset& filas, int fila, const QList<CampoDeInvitacion>& campos) {
    Invitacion r;
    for (const C& c : campos) {
        const int columna = filas.indiceDeColumna(c.nombreDeColumna());
        // An answer that lacks a field is an error, never an empty field.
        if (columna < 0)
            throw ErrorDeEjecucion(
                CodigoDeError::FinDeRegistros,
                QStringLiteral("La respuesta no trae el campo %1 de la invitación.").arg(c.nombreDeColumna()),
                QStringLiteral("Invitacion"));
        c.escribe(r, filas.valor(fila, columna));
    }
    return r;
}

namespace Esquema {

Tabla tablaDeInvitaciones(int version) {
    return Campos::tabla(Invitacion::campos(), "invitacion", version,
                         {QStringLiteral("primary key (Anio, Folio)"), QStringLiteral("check (Folio > 0)"),
                          QStringLiteral("check (RepresentaA in ('Srio', 'Gob'))"),
                          QStringLiteral("check (Estatus in ('CONFIRMADA', 'SINCONFIRMAR'))")});
}

} // namespace Esquema
