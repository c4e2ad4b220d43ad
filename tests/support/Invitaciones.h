#pragma once

#include "outside/Conexion.h"

#include <QDate>
#include <QHash>

// Invitations as another station would store them, through the procedures,
// for the tests of the procedures and of the windows.

// Fields 2 to 23 of the invitation record: an unconfirmed invitation for the
// Secretary, with the test's changes by parameter name.
inline Parametros camposDeInvitacion(const QHash<QString, QVariant>& cambios = {}) {
    const QList<std::pair<QString, QVariant>> campos{
        {QStringLiteral("@FechaRecepcion"), QDate(2011, 11, 17)},
        {QStringLiteral("@FechaEvento"), QDate(2011, 11, 25)},
        {QStringLiteral("@Hora"), QStringLiteral("10:30")},
        {QStringLiteral("@Descripcion"), QStringLiteral("Informe de labores")},
        {QStringLiteral("@Ubicacion"), QStringLiteral("Teatro Ocampo")},
        {QStringLiteral("@Suscriptor "), QStringLiteral("Juana Ocampo Galindo")},
        {QStringLiteral("@CargoSuscriptor"), QStringLiteral("Presidenta Municipal")},
        {QStringLiteral("@TelSuscriptor"), QStringLiteral("735-1")},
        {QStringLiteral("@Representante"), QString()},
        {QStringLiteral("@CargoRepresentante"), QString()},
        {QStringLiteral("@TelRepresentante"), QString()},
        {QStringLiteral("@Titular"), QStringLiteral("Arturo Flores Pedraza")},
        {QStringLiteral("@CargoTitular"), QStringLiteral("Director General de Educación Básica")},
        {QStringLiteral("@TelTitular"), QStringLiteral("777-3180180")},
        {QStringLiteral("@Caracter"), QStringLiteral("Normal")},
        {QStringLiteral("@Indicacion"), QStringLiteral("Atender y enviar tarjeta informativa")},
        {QStringLiteral("@RepresentaA"), QStringLiteral("Srio")},
        {QStringLiteral("@Observacion"), QString()},
        {QStringLiteral("@Estatus"), QStringLiteral("SINCONFIRMAR")},
        {QStringLiteral("@Prefijo1"), QStringLiteral("a la")},
        {QStringLiteral("@Prefijo2"), QString()},
        {QStringLiteral("@Prefijo3"), QStringLiteral("el")},
    };
    Parametros p;
    for (const auto& [nombre, porOmision] : campos) {
        const QVariant valor = cambios.value(nombre, porOmision);
        p << (valor.metaType().id() == QMetaType::QDate
                  ? Parametro::entrada(nombre, TipoDeParametro::Date, 0, valor)
                  : Parametro::entrada(nombre, TipoDeParametro::VarChar, 2000, valor));
    }
    return p;
}

// Registers an invitation ("@Anio" 2011 and "@UsrCaptura" "memo" unless
// changed) and returns its folio.
inline int registraInvitacion(Conexion& kelmar, const QHash<QString, QVariant>& cambios = {}) {
    Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0,
                                    cambios.value(QStringLiteral("@Anio"), 2011))};
    p << camposDeInvitacion(cambios);
    p << Parametro::entrada(QStringLiteral("@UsrCaptura"), TipoDeParametro::VarChar, 10,
                            cambios.value(QStringLiteral("@UsrCaptura"), QStringLiteral("memo")))
      << Parametro::salida(QStringLiteral("@Folio"), TipoDeParametro::SmallInt);
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarUnRegEnInvitacion"), p);
    return p.constLast().valor.toInt();
}

// The stored row of an invitation, every column by its name.
inline Recordset filaGuardada(Conexion& kelmar, int anio, int folio) {
    return kelmar.ejecuta(QStringLiteral("select * from invitacion where Anio = ? and Folio = ?"),
                          {anio, folio});
}

inline int invitacionesGuardadas(Conexion& kelmar) {
    return kelmar.ejecuta(QStringLiteral("select count(*) from invitacion")).valor(0, 0).toInt();
}
