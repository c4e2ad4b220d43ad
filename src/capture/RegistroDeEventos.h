#pragma once

#include <QDateTime>
#include <QString>

class Conexion;

// One event of the register as its three rows hold it: `evento`,
// `suscriptor` and `representante_del_evento`, all under the same folio and
// year. The texts are stored exactly as given (telephones with their hyphen
// and prompt characters).
struct Evento {
    int folio = 0;
    int anio = 0;

    // evento
    QDateTime fecha;
    QString hora;
    QString descripcion;
    QString direccion;
    QString cveMunicipio;
    QString cveLocalidad;
    QDateTime fechaRecepcion;
    QDateTime fechaFisica;

    // suscriptor
    QString nombreSuscriptor;
    QString cargoSuscriptor;
    QString telefonoSuscriptor;
    QString celularSuscriptor;

    // representante_del_evento: a staff member by keys, anyone else by text
    QString claveFun;
    QString claveCargo;
    QString claveArea;
    QString telefonoRepresentante;
    QString celularRepresentante;
    int claveInstruccion = 0;
    QString representaA;
    QString caracter;
    QString observacion;
    QDateTime fechaLlamada;
    QString nombreRepresentante;
    QString cargoRepresentante;
    QString areaRepresentante;
};

// The statements that write the register, on the taloren connection. Each
// writer is one unit of work: the three rows change together or not at all,
// and a writer called inside a caller's unit joins it.
namespace RegistroDeEventos {

// The next folio of a year: one more than the highest stored, "1" for a
// year without events. Gaps left by deletions are not filled.
QString siguienteFolio(Conexion& taloren, int anio);
bool existe(Conexion& taloren, int folio, int anio);
void inserta(Conexion& taloren, const Evento& evento);
// Overwrites the three rows of the event with its folio and year; an event
// that lacks one of them is an error, never a partial update.
void actualiza(Conexion& taloren, const Evento& evento);
// Removes the three rows; answers how many events it removed (0 or 1).
int elimina(Conexion& taloren, int folio, int anio);

} // namespace RegistroDeEventos
