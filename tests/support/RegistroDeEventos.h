#pragma once

#include "server/Evento.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

class Conexion;

// Events of the register as tests and benchmarks store them: three rows of
// bound values, in one transaction.
struct EventoDePrueba {
    int folio = 1;
    QDateTime fecha{}; // its year is the event's año
    QString hora = QStringLiteral("10:00");
    QString descripcion = QStringLiteral("Evento");
    QString direccion = QStringLiteral("Palacio de Gobierno");
    QVariant municipio = QStringLiteral("007");
    QVariant localidad = QStringLiteral("0001");
    QDateTime fechaFisica{}; // the event's date when not given
    QString suscriptor = QStringLiteral("Alberto Sánchez Gallegos");
    QString cargoSuscriptor = QStringLiteral("Presidente Municipal de Cuernavaca");
    QVariant claveFuncionario = QString(); // a staff key, or empty for a person typed by hand
    QString nombre{};                      // the person typed by hand
    QString cargo{};
    QString representaA = QStringLiteral("Secretario");
    QString caracter = QStringLiteral("Normal");
    QString observacion{};
    int instruccion = 1;
};

namespace RegistroDeEventos {

void inserta(Conexion& taloren, const EventoDePrueba& e);
// The record of a test's event, as the register's save takes it.
Evento comoEvento(const EventoDePrueba& e);

// A register of realistic size: `funcionarios` staff on `cargos` posts and
// `localidades` localities in each municipality added to the seed, then
// `eventos` events spread over `dias` days from `desde`, numbered from 1 in
// each year, with every kind of representative and place a search meets:
// staff members (some with their key padded with blanks, some with no post),
// people typed by hand, unknown staff keys, unknown and null municipalities
// and localities. The same seed gives the same register.
struct Generado {
    int eventos = 0;
    QDate desde;
    int dias = 365;
    int funcionarios = 0;
    int cargos = 0;
    int localidades = 0;
    unsigned semilla = 1;
};
void genera(Conexion& kelmar, Conexion& taloren, const Generado& g);

} // namespace RegistroDeEventos
