#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QTime>

#include <optional>

class Conexion;
struct Invitacion;
struct Evento;

// The officials' agenda: the invitations of kelmar and the events of the
// register of taloren as one list of entries by day and hour. The two
// catalogs cannot be joined, so every reading is one statement per catalog
// (and, for events that name a staff member by key, one for the names not
// read before), never one per entry.
namespace Agenda {

enum class Tipo { Invitacion, Evento };
enum class Titular { Secretario, Gobernador };

struct Entrada {
    Tipo tipo = Tipo::Invitacion;
    int anio = 0;
    int folio = 0;
    int version = 0;
    QDate dia;
    // None: an invitation "SinHr" or an event at "00:00", the register's hour for none.
    std::optional<QTime> hora;
    QString descripcion;
    QString lugar;
    QString invita; // who invites: the subscriber and their post
    Titular titular = Titular::Secretario;
    QString representante;
    QString indicacion;
    QString observacion;
    // An invitation's Estatus says so; an event counts as confirmed when it names a representative.
    bool confirmada = false;

    // "Srio." or "Gob."
    QString titularAbreviado() const;
    // "I-2011-7" or "E-2011-7": tells the entry apart from every other of both catalogs.
    QString clave() const;
    // Who attends: the representative, or the official when none is named.
    QString persona() const;
};

struct Filtro {
    QDate desde, hasta;                  // both days included
    std::optional<Titular> titular = {}; // none: both
    QString representante = {};          // contains, by the name rule; empty: anyone
    std::optional<Tipo> tipo = {};       // none: both
};

// The entry of a stored or typed invitation.
Entrada deInvitacion(const ::Invitacion& invitacion);

// Reads the entries; keeps the staff names it resolves, so a window that asks
// again reads only the names it has not seen.
class Lector {
public:
    Lector(Conexion& kelmar, Conexion& taloren) : m_kelmar(kelmar), m_taloren(taloren) {}
    // Sorted by day, then the entries without hour, then by hour, invitations
    // before events, then year and folio.
    QList<Entrada> lee(const Filtro& filtro);
    // The entry of a stored or typed event, its staff member named.
    Entrada deEvento(const ::Evento& evento);
    // The office's margin for double bookings, read once.
    int margen();

private:
    QString nombreDelFuncionario(const QString& clave);
    void resuelveFuncionarios(const QStringList& claves);

    Conexion& m_kelmar;
    Conexion& m_taloren;
    QHash<QString, QString> m_funcionarios;
    int m_margen = 0;
};

// Two entries are one person's when their persons are equal apart from case,
// accents and surrounding blanks.
bool mismaPersona(const QString& a, const QString& b);

// Two entries of one person conflict when they are on the same day and their
// starts lie less than `margenMinutos` apart; entries without hour conflict
// only with those of their day without hour.
bool chocan(const Entrada& a, const Entrada& b, int margenMinutos);

// The entries of the day of `propuesta` that conflict with it, the record
// itself (same kind, year and folio) left out.
QList<Entrada> conflictosDe(Lector& lector, const Entrada& propuesta, int margenMinutos);

// Every pair of conflicting entries among `entradas`, each pair once, in the
// entries' order.
QList<std::pair<Entrada, Entrada>> dobleReservas(const QList<Entrada>& entradas, int margenMinutos);

// The office's margin for double bookings, in minutes (90 when not set).
int margenDeConflictos(Conexion& kelmar);
inline constexpr int margenPorOmision = 90;

// The hour of a stored hour text: "HH:mm" gives it; "SinHr", "00:00", empty
// or anything else gives none.
std::optional<QTime> horaDe(const QString& texto, Tipo tipo);

} // namespace Agenda
