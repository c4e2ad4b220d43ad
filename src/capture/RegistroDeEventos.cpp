#include "capture/RegistroDeEventos.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"

namespace {

const QString fuente = QStringLiteral("RegistroDeEventos");

// Texts are stored as given, an empty one as empty text: a null QString
// would reach the database as null.
QVariant t(const QString& s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

// An update that finds no row would report success for data never stored.
void exigeUnaFila(const Recordset& rs, const QString& tabla, const Evento& e) {
    if (rs.filasAfectadas() == 1)
        return;
    throw ErrorDeEjecucion(
        CodigoDeError::FinDeRegistros,
        QStringLiteral("El evento con folio %1 del año %2 no tiene registro en la tabla %3; "
                       "no se modificó nada.")
            .arg(e.folio)
            .arg(e.anio)
            .arg(tabla),
        fuente);
}

} // namespace

QString RegistroDeEventos::siguienteFolio(Conexion& taloren, int anio) {
    const Recordset rs =
        taloren.ejecuta(QStringLiteral("select max(folio) from evento where año = ? group by año"), {anio});
    if (rs.estaVacio() || rs.esNulo(0, 0))
        return QStringLiteral("1");
    return QString::number(rs.valor(0, 0).toLongLong() + 1);
}

bool RegistroDeEventos::existe(Conexion& taloren, int folio, int anio) {
    return !taloren
                .ejecuta(QStringLiteral("select folio, año from evento where folio = ? and año = ?"),
                         {folio, anio})
                .estaVacio();
}

void RegistroDeEventos::inserta(Conexion& taloren, const Evento& e) {
    // Every column, in the tables' own order.
    taloren.enTransaccion([&] {
        taloren.ejecuta(QStringLiteral("insert into suscriptor values (?, ?, ?, ?, ?, ?)"),
                        {e.folio, e.anio, t(e.nombreSuscriptor), t(e.cargoSuscriptor),
                         t(e.telefonoSuscriptor), t(e.celularSuscriptor)});
        taloren.ejecuta(QStringLiteral("insert into evento values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        {e.folio, e.anio, e.fecha, t(e.hora), t(e.descripcion), t(e.direccion),
                         t(e.cveMunicipio), t(e.cveLocalidad), e.fechaRecepcion, e.fechaFisica});
        taloren.ejecuta(
            QStringLiteral(
                "insert into representante_del_evento values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {e.folio, e.anio, t(e.claveFun), t(e.claveCargo), t(e.claveArea), t(e.telefonoRepresentante),
             t(e.celularRepresentante), e.claveInstruccion, t(e.representaA), t(e.caracter), t(e.observacion),
             e.fechaLlamada, t(e.nombreRepresentante), t(e.cargoRepresentante), t(e.areaRepresentante)});
    });
}

void RegistroDeEventos::actualiza(Conexion& taloren, const Evento& e) {
    taloren.enTransaccion([&] {
        exigeUnaFila(taloren.ejecuta(QStringLiteral("update evento set fecha = ?, hora = ?, descripcion = ?, "
                                                    "direccion = ?, cve_municipio = ?, cve_localidad = ?, "
                                                    "fecha_recepcion = ?, fecha_fisica = ? "
                                                    "where folio = ? and año = ?"),
                                     {e.fecha, t(e.hora), t(e.descripcion), t(e.direccion), t(e.cveMunicipio),
                                      t(e.cveLocalidad), e.fechaRecepcion, e.fechaFisica, e.folio, e.anio}),
                     QStringLiteral("evento"), e);
        exigeUnaFila(taloren.ejecuta(QStringLiteral("update suscriptor set nombre = ?, cargo_suscriptor = ?, "
                                                    "telefono = ?, celular = ? where folio = ? and año = ?"),
                                     {t(e.nombreSuscriptor), t(e.cargoSuscriptor), t(e.telefonoSuscriptor),
                                      t(e.celularSuscriptor), e.folio, e.anio}),
                     QStringLiteral("suscriptor"), e);
        exigeUnaFila(taloren.ejecuta(
                         QStringLiteral("update representante_del_evento set clave_fun = ?, clave_cargo = ?, "
                                        "clave_area = ?, telefono = ?, celular = ?, clave_instruccion = ?, "
                                        "representa_a = ?, caracter = ?, observacion = ?, fecha_llamada = ?, "
                                        "nombre = ?, cargo = ?, area = ? where folio = ? and año = ?"),
                         {t(e.claveFun), t(e.claveCargo), t(e.claveArea), t(e.telefonoRepresentante),
                          t(e.celularRepresentante), e.claveInstruccion, t(e.representaA), t(e.caracter),
                          t(e.observacion), e.fechaLlamada, t(e.nombreRepresentante), t(e.cargoRepresentante),
                          t(e.areaRepresentante), e.folio, e.anio}),
                     QStringLiteral("representante_del_evento"), e);
    });
}

int RegistroDeEventos::elimina(Conexion& taloren, int folio, int anio) {
    return taloren.enTransaccion([&] {
        const int eventos =
            taloren.ejecuta(QStringLiteral("delete from evento where folio = ? and año = ?"), {folio, anio})
                .filasAfectadas();
        taloren.ejecuta(QStringLiteral("delete from suscriptor where folio = ? and año = ?"), {folio, anio});
        taloren.ejecuta(QStringLiteral("delete from representante_del_evento where folio = ? and año = ?"),
                        {folio, anio});
        return eventos;
    });
}
