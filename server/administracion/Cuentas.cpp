#include "server/administracion/Cuentas.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/administracion/Contrasenas.h"

namespace {

const QStringList columnas{QStringLiteral("Nick"), QStringLiteral("CuentaUsr")};

} // namespace

namespace Cuentas {

QStringList funcionesParaPostgreSQL() {
    // Security definer with a fixed search path: they run with the
    // administrator's rights and no station can slip its own objects in.
    // The digest is bcrypt ("$2a$"), as the program makes it; any other form
    // is never given to crypt(), which would read it as another algorithm.
    return {
        QStringLiteral("create extension if not exists pgcrypto with schema public"),
        QStringLiteral(R"(create or replace function valida_usuario(la_cuenta varchar, la_contrasena varchar)
returns table ("Nick" varchar, "CuentaUsr" varchar)
language plpgsql stable security definer
set search_path = public, pg_temp
as $fn$
declare
    fila record;
begin
    select u.nick as nick, u.cuentausr as cuenta, u.contrasena as digesto into fila
      from public.usuarios u
     where u.cuentausr = la_cuenta and u.activo = 1;
    if not found or fila.digesto not like '$2a$%' then
        perform public.crypt(coalesce(la_contrasena, ''), public.gen_salt('bf', 10));
        return;
    end if;
    if public.crypt(coalesce(la_contrasena, ''), fila.digesto) = fila.digesto then
        "Nick" := fila.nick;
        "CuentaUsr" := fila.cuenta;
        return next;
    end if;
end
$fn$)"),
        QStringLiteral(
            R"(create or replace function agrega_usuario(la_cuenta varchar, el_nick varchar, la_contrasena varchar)
returns void
language plpgsql volatile security definer
set search_path = public, pg_temp
as $fn$
begin
    if la_contrasena is null or char_length(la_contrasena) not between 1 and 10 then
        raise exception 'La contraseña debe tener de 1 a 10 caracteres.' using errcode = '22001';
    end if;
    insert into public.usuarios (CuentaUsr, Nick, Contrasena, Activo)
    values (la_cuenta, el_nick, public.crypt(la_contrasena, public.gen_salt('bf', 10)), 1);
end
$fn$)"),
        QStringLiteral(
            R"(create or replace function cambia_contrasena(la_cuenta varchar, la_contrasena varchar)
returns integer
language plpgsql volatile security definer
set search_path = public, pg_temp
as $fn$
declare
    cambiadas integer;
begin
    if la_contrasena is null or char_length(la_contrasena) not between 1 and 10 then
        raise exception 'La contraseña debe tener de 1 a 10 caracteres.' using errcode = '22001';
    end if;
    update public.usuarios set Contrasena = public.crypt(la_contrasena, public.gen_salt('bf', 10))
     where CuentaUsr = la_cuenta;
    get diagnostics cambiadas = row_count;
    return cambiadas;
end
$fn$)"),
        // Nobody but their owner runs the account functions until the
        // administration command grants the check to the stations.
        QStringLiteral("revoke all on function valida_usuario(varchar, varchar) from public"),
        QStringLiteral("revoke all on function agrega_usuario(varchar, varchar, varchar) from public"),
        QStringLiteral("revoke all on function cambia_contrasena(varchar, varchar) from public"),
    };
}

Recordset valida(Conexion& kelmar, const QVariant& cuenta, const QString& contrasena) {
    if (kelmar.motor() == Motor::PostgreSQL)
        return kelmar.ejecuta(QStringLiteral("select \"Nick\", \"CuentaUsr\" from valida_usuario(?, ?)"),
                              {cuenta, contrasena});
    const Recordset usuario = kelmar.ejecuta(QStringLiteral("select Nick, CuentaUsr, Contrasena from usuarios"
                                                            " where CuentaUsr = ? and Activo = 1"),
                                             {cuenta});
    Recordset respuesta(columnas, {}, kelmar.fuente());
    static const QString sinCuenta = Contrasenas::codifica(QStringLiteral("sin cuenta"));
    const bool existe = !cuenta.isNull() && !usuario.estaVacio();
    const bool correcta = Contrasenas::verifica(
        contrasena, existe ? usuario.texto(0, QStringLiteral("Contrasena")) : sinCuenta);
    if (existe && correcta)
        respuesta.agregaFila(
            {usuario.valor(0, QStringLiteral("Nick")), usuario.valor(0, QStringLiteral("CuentaUsr"))});
    return respuesta;
}

void agrega(Conexion& kelmar, const QString& cuenta, const QString& nick, const QString& contrasena) {
    if (kelmar.motor() == Motor::PostgreSQL) {
        kelmar.ejecuta(QStringLiteral("select agrega_usuario(?, ?, ?)"), {cuenta, nick, contrasena});
        return;
    }
    kelmar.ejecuta(
        QStringLiteral("insert into usuarios (CuentaUsr, Nick, Contrasena, Activo) values (?, ?, ?, 1)"),
        {cuenta, nick, Contrasenas::codifica(contrasena)});
}

void cambiaContrasena(Conexion& kelmar, const QString& cuenta, const QString& contrasena) {
    int cambiadas = 0;
    if (kelmar.motor() == Motor::PostgreSQL)
        cambiadas = kelmar.ejecuta(QStringLiteral("select cambia_contrasena(?, ?)"), {cuenta, contrasena})
                        .valor(0, 0)
                        .toInt();
    else
        cambiadas = kelmar
                        .ejecuta(QStringLiteral("update usuarios set Contrasena = ? where CuentaUsr = ?"),
                                 {Contrasenas::codifica(contrasena), cuenta})
                        .filasAfectadas();
    if (cambiadas == 0)
        throw ErrorDeEjecucion(CodigoDeError::Sentencia,
                               QStringLiteral("No existe la cuenta %1.").arg(cuenta), kelmar.fuente());
}

QStringList conDigestoAnterior(Conexion& kelmar) {
    const Recordset rs =
        kelmar.ejecuta(QStringLiteral("select CuentaUsr, Contrasena from usuarios order by CuentaUsr"));
    QStringList cuentas;
    for (int i = 0; i < rs.filas(); ++i)
        if (!Contrasenas::esDelFormatoActual(rs.texto(i, 1)))
            cuentas << rs.texto(i, 0);
    return cuentas;
}

} // namespace Cuentas
