#pragma once

#include "server/Campo.h"

#include <QDateTime>
#include <QString>
#include <QVariantList>

class Recordset;

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
    // Raised by every change: an update or deletion based on an older one is refused.
    int version = 0;

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

    using CampoDeEvento = CampoDe<Evento>;
    // The three tables, in the order an event's rows are written.
    static const QStringList& tablas();
    // Every column of the three tables, table by table, each in its order;
    // the folio and year appear once per table.
    static const QList<CampoDeEvento>& campos();
    // What a person enters of an event: every field but the key and the version.
    static const QList<CampoDeEvento>& camposDelRegistro();
    // The fields of one table, in its order.
    static QList<CampoDeEvento> camposDe(const QString& tabla);
    // The field of that table and column (compared without regard to case);
    // throws for an unknown one.
    static const CampoDeEvento& campo(const QString& tabla, const QString& columna);

    // The values of one table's row, in its column order. Texts go as given,
    // an empty one as empty text (a null would be stored as null).
    QVariantList valoresDe(const QString& tabla) const;
    // Fills the fields of one table from row `fila` of `filas`, column by name.
    void leeDe(const QString& tabla, const Recordset& filas, int fila = 0);
};

// The register's three tables at a version of taloren's schema.
namespace Esquema {
QList<Tabla> tablasDelRegistroDeEventos(int version);
}
