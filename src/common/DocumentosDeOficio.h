#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

struct Invitacion;

// What a designation letter says. The event capture window fills it from its
// screen when its print button is clicked (an unsaved event prints as it
// stands); the correction window from the invitation as it is stored.
struct DatosDelOficio {
    // optRepSrio / optRepGob; none after loading an event that stands for neither.
    enum class Representa { Ninguno, Secretario, Gobernador };
    // OptNormal / optPrioritario / OptUrgente; none after loading an unknown word.
    enum class Caracter { Ninguno, Normal, Prioritario, Urgente };

    QString folio;         // TxtFolio
    QDateTime fechaFisica; // dtpFechaFisica
    Representa representa = Representa::Ninguno;
    Caracter caracter = Caracter::Ninguno;
    QString representante;      // cmbNombreRep
    QString cargoRepresentante; // txtCargoFun
    QString suscriptor;         // CmbSuscriptor
    QString cargoSuscriptor;    // TxtCargoSuscrip
    QString evento;             // txtEvento
    QString direccion;          // CmbDirecciones
    QDateTime fechaEvento;      // DTPFechaEvento
    QString hora;               // mskHora as it shows ("__:__" with no hour typed)
    QString instruccion;        // cmbInstruccion: key, a blank, description
    QString observacion;        // TxtObservacion
    // An invitation's indication, printed as it stands where an event's
    // instruction goes (it has no key).
    QString indicacion;
};

namespace DocumentosDeOficio {

// CmdImprimir of frmCaptura, whole: the checks with their messages, the
// Secretary's or the Governor's template, every field in its order, and the
// document put before the user. Errors are reported here. Returns the
// character word when the Secretary's document worked it out, which the
// window keeps as its working value; nothing otherwise.
std::optional<QString> CmdImprimir(const DatosDelOficio& datos);
// What the letter would lack, in words a person reads: who invites (the
// Secretary's letter), the representative, the place. CmdImprimir asks
// before writing a letter that lacks any of them.
QStringList FaltasDelOficio(const DatosDelOficio& datos);

// The letter of an invitation: the Secretary's or the Governor's by whom it
// stands for; the prefixes before the description, the representative and the
// place, as the invitation window sets them; an invitation without hour
// ("SinHr") prints none; its reference carries an "I" before the folio, so it
// is never taken for an event's.
DatosDelOficio DeInvitacion(const Invitacion& invitacion);

// The Spanish name of a month, in lower case; empty for a number out of 1 to 12.
QString NombreMes(int mes);

// "martes 05 de Marzo de 2024": weekday, two-digit day, the month with a
// capital, the year.
QString FechaEnLetras(const QDate& fecha);

// "KD/MOR/<folio>/<year of the physical reception>/VLT".
QString NumeroDeOficio(const QString& folio, const QDateTime& fechaFisica);

} // namespace DocumentosDeOficio
