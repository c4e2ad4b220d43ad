#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "outside/ReglaDeNombres.h"
#include "outside/Reloj.h"
#include "server/Historial.h"
#include "server/Invitacion.h"
#include "server/Servidor.h"

namespace {

using Firma = Procedimiento::Firma;

// The folio box of the look-up window holds four digits: a larger folio
// could be registered but never found again.
constexpr int ultimoFolioPosible = 9999;

Firma texto(const char* nombre, int tamano) {
    return {QString::fromUtf8(nombre), TipoDeParametro::VarChar, Direccion::Entrada, tamano};
}

QStringList columnasDelRegistro() {
    QStringList columnas;
    for (const Campo& c : Invitacion::camposDelRegistro())
        columnas << c.nombreDeColumna();
    return columnas;
}

QVariantList valoresDelRegistro(const Argumentos& a) {
    QVariantList valores;
    for (const Campo& c : Invitacion::camposDelRegistro())
        valores << a.valor(c.nombreDelParametro());
    return valores;
}

Firma firmaDe(const char* columna) {
    return Invitacion::campo(QString::fromUtf8(columna)).firma();
}

QList<Firma> firmaDelRegistro() {
    QList<Firma> firma;
    for (const Campo& c : Invitacion::camposDelRegistro())
        firma << c.firma();
    return firma;
}

// The station that writes, for the history.
Firma firmaDeEstacion() {
    return texto("@Estacion", 255);
}

QList<Firma> firmaDeInsercion() {
    QList<Firma> firma{firmaDe("Anio")};
    firma << firmaDelRegistro() << firmaDe("UsrCaptura") << firmaDeEstacion();
    Firma folio = firmaDe("Folio");
    folio.direccion = Direccion::Salida;
    firma << folio;
    return firma;
}

QList<Firma> firmaDeActualizacion() {
    QList<Firma> firma{firmaDe("Anio"), firmaDe("Folio")};
    firma << firmaDelRegistro() << firmaDe("UsrModif")
          << firmaDeEstacion()
          // The version the correction is based on, and whether it overwrites
          // on purpose a newer one that the person has seen.
          << firmaDe("version")
          << Firma{QStringLiteral("@Sobrescribe"), TipoDeParametro::SmallInt, Direccion::Entrada, 0};
    return firma;
}

// Draws the year's next folio from its counter row. The row is created by the
// year's first invitation, after any folio the year already holds; the upsert
// is one statement, so two stations that open a year at once queue on the
// row's key and receive 1 and 2. Run inside the registration's unit of work,
// a failed registration gives its folio back.
int siguienteFolio(Conexion& kelmar, int anio) {
    const Recordset rs = kelmar.ejecuta(
        QStringLiteral("insert into folio_invitacion (Anio, UltimoFolio)"
                       " values (?, (select coalesce(max(Folio), 0) + 1 from invitacion where Anio = ?))"
                       " on conflict (Anio) do update set UltimoFolio = folio_invitacion.UltimoFolio + 1"
                       " returning UltimoFolio"),
        {anio, anio});
    const int folio = rs.valor(0, 0).toInt();
    if (folio > ultimoFolioPosible)
        throw ErrorDeEjecucion(
            CodigoDeError::Desbordamiento,
            QStringLiteral("Se agotaron los folios de invitación del año %1: el folio no puede pasar de %2.")
                .arg(anio)
                .arg(ultimoFolioPosible),
            kelmar.fuente());
    return folio;
}

Recordset insertaInvitacion(Conexion& kelmar, Argumentos& a) {
    const int anio = a.entero(u"@Anio");
    const int folio = siguienteFolio(kelmar, anio);
    const QStringList columnas = columnasDelRegistro();
    QVariantList valores{anio, folio};
    valores << valoresDelRegistro(a);
    valores << a.valor(u"@UsrCaptura") << Reloj::actual().ahora() << 1;
    QStringList marcas;
    for (int i = 0; i < valores.size(); ++i)
        marcas << QStringLiteral("?");
    kelmar.ejecuta(
        QStringLiteral("insert into invitacion (Anio, Folio, %1, UsrCaptura, FechaCaptura, version)"
                       " values (%2)")
            .arg(columnas.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", "))),
        valores);
    Historial::escribe(kelmar,
                       {.catalogo = Catalogo::Kelmar,
                        .anio = anio,
                        .folio = folio,
                        .version = 1,
                        .tipo = Historial::Tipo::Alta},
                       {a.texto(u"@UsrCaptura"), a.texto(u"@Estacion")});
    a.estableceSalida(u"@Folio", folio);
    return {};
}

// The look-up's columns by their own names, the description as "descripcion".
Recordset obtenInvitacion(Conexion& kelmar, Argumentos& a) {
    static const QString consulta = [] {
        QStringList columnas;
        for (const Campo& c : Invitacion::camposDeLaConsulta()) {
            const QString nombre = c.nombreDeColumna();
            const QString alias = nombre == QLatin1String("Descripcion") ? nombre.toLower() : nombre;
            columnas << QStringLiteral("%1 as \"%2\"").arg(nombre, alias);
        }
        return QStringLiteral("select %1 from invitacion where Anio = ? and Folio = ?")
            .arg(columnas.join(QStringLiteral(", ")));
    }();
    return kelmar.ejecuta(consulta, {a.entero(u"@Anio"), a.entero(u"@Folio")});
}

ErrorDeEjecucion cambiada(Conexion& kelmar, int anio, int folio) {
    return ErrorDeEjecucion(CodigoDeError::RegistroCambiado,
                            QStringLiteral("Otra estación modificó la invitación con folio %1 del año %2 "
                                           "después de consultarla; no se actualizó nada.")
                                .arg(folio)
                                .arg(anio),
                            kelmar.fuente());
}

// A correction stores only over the version it was based on: the check and
// the write are one statement, so a change that another station stores in
// between is never overwritten unseen. An update that finds no invitation is
// an error, never a silent success. The history gets the fields it changed.
Recordset actualizaInvitacion(Conexion& kelmar, Argumentos& a) {
    const int anio = a.entero(u"@Anio");
    const int folio = a.entero(u"@Folio");
    const int leida = a.entero(u"@Version");
    const Recordset guardada = kelmar.ejecuta(
        QStringLiteral("select * from invitacion where Anio = ? and Folio = ?"), {anio, folio});
    if (guardada.estaVacio())
        throw ErrorDeEjecucion(
            CodigoDeError::FinDeRegistros,
            QStringLiteral("No existe la invitación con folio %1 del año %2; no se actualizó nada.")
                .arg(folio)
                .arg(anio),
            kelmar.fuente());
    const Invitacion antes = Invitacion::deFila(guardada, 0);
    if (antes.version != leida)
        throw cambiada(kelmar, anio, folio);
    QStringList asignaciones;
    for (const QString& columna : columnasDelRegistro())
        asignaciones << columna + QStringLiteral(" = ?");
    QVariantList valores = valoresDelRegistro(a);
    valores << a.valor(u"@UsrModif") << Reloj::actual().ahora() << anio << folio << leida;
    const Recordset rs = kelmar.ejecuta(
        QStringLiteral("update invitacion set %1, UsrModif = ?, FechaModif = ?, version = version + 1"
                       " where Anio = ? and Folio = ? and version = ?")
            .arg(asignaciones.join(QStringLiteral(", "))),
        valores);
    if (rs.filasAfectadas() != 1)
        throw cambiada(kelmar, anio, folio);
    Invitacion despues = antes;
    for (const Invitacion::CampoDeInvitacion& c : Invitacion::camposDelRegistro())
        c.escribe(despues, a.valor(c.nombreDelParametro()));
    Historial::escribe(kelmar,
                       {.catalogo = Catalogo::Kelmar,
                        .anio = anio,
                        .folio = folio,
                        .version = leida + 1,
                        .tipo = Historial::Tipo::Cambio,
                        .sobrescribe = a.entero(u"@Sobrescribe") != 0 ? leida : 0,
                        .campos = Historial::diferencias(Invitacion::camposDelRegistro(), antes, despues)},
                       {a.texto(u"@UsrModif"), a.texto(u"@Estacion")});
    return {};
}

// The staff whose name contains the text, by the program's name rule; the
// name, the post and the area, in that order, sorted by name.
Recordset buscaFuncionarios(Conexion& kelmar, Argumentos& a) {
    return kelmar.ejecuta(
        QStringLiteral("select f.nombre as \"Nombre\", c.descripcion as \"Cargo\","
                       " r.nombre as \"Area\""
                       " from funcionarios f"
                       " left join cargos c on c.cvecargo = f.cvecargo"
                       " left join areas r on r.cvearea = f.cvearea"
                       " where ") +
            ReglaDeNombres::condicionContiene(QStringLiteral("f.nombre")) + QStringLiteral(" order by ") +
            ReglaDeNombres::ordenPor(QStringLiteral("f.nombre")) + QStringLiteral(", f.cvefuncionario"),
        {ReglaDeNombres::patronContiene(a.texto(u"@Nombre"))});
}

Recordset prefijos(Conexion& kelmar, Argumentos&) {
    return kelmar.ejecuta(QStringLiteral("select Prefijo1 as \"Prefijo1\", Prefijo2 as \"Prefijo2\","
                                         " Prefijo3 as \"Prefijo3\" from prefijos order by id"));
}

Recordset indicaciones(Conexion& kelmar, Argumentos&) {
    return kelmar.ejecuta(
        QStringLiteral("select descripcion as \"descripcion\" from indicaciones order by id"));
}

} // namespace

void registraInvitaciones(CatalogoDeProcedimientos& kelmar) {
    kelmar.registra({QStringLiteral("InsertarUnRegEnInvitacion"), firmaDeInsercion(), insertaInvitacion});
    kelmar.registra(
        {QStringLiteral("ObtenerUnaInvitacion"), {firmaDe("Anio"), firmaDe("Folio")}, obtenInvitacion});
    kelmar.registra(
        {QStringLiteral("ActualizarUnRegDeInvitacion"), firmaDeActualizacion(), actualizaInvitacion});
    kelmar.registra({QStringLiteral("ObtenerFuncionarioConLike"), {texto("@Nombre", 30)}, buscaFuncionarios});
    kelmar.registra({QStringLiteral("ObtenerPrefijos"), {}, prefijos});
    kelmar.registra({QStringLiteral("ObtenerIndicaciones"), {}, indicaciones});
}
