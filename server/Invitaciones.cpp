#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Procedimientos.h"
#include "outside/ReglaDeNombres.h"
#include "outside/Reloj.h"
#include "server/Servidor.h"

namespace {

using Firma = Procedimiento::Firma;

// The folio box of the look-up window holds four digits: a larger folio
// could be registered but never found again.
constexpr int ultimoFolioPosible = 9999;

Firma texto(const char* nombre, int tamano) {
    return {QString::fromUtf8(nombre), TipoDeParametro::VarChar, Direccion::Entrada, tamano};
}
Firma entero(const char* nombre) {
    return {QString::fromUtf8(nombre), TipoDeParametro::SmallInt, Direccion::Entrada, 0};
}
Firma fecha(const char* nombre) {
    return {QString::fromUtf8(nombre), TipoDeParametro::Date, Direccion::Entrada, 0};
}

// The columns of the invitation record, in the order the three procedures
// carry them (after the year, and the folio where it comes first), each with
// its parameter. "@Suscriptor " ends with a blank, as the callers name it.
struct Campo {
    const char* columna;
    Firma firma;
};
const QList<Campo>& camposDelRegistro() {
    static const QList<Campo> campos = {
        {"FechaRecepcion", fecha("@FechaRecepcion")},
        {"FechaEvento", fecha("@FechaEvento")},
        {"Hora", texto("@Hora", 5)},
        {"Descripcion", texto("@Descripcion", 1500)},
        {"Ubicacion", texto("@Ubicacion", 1500)},
        {"Suscriptor", texto("@Suscriptor ", 100)},
        {"CargoSuscriptor", texto("@CargoSuscriptor", 100)},
        {"TelSuscriptor", texto("@TelSuscriptor", 100)},
        {"Representante", texto("@Representante", 100)},
        {"CargoRepresentante", texto("@CargoRepresentante", 100)},
        {"TelRepresentante", texto("@TelRepresentante", 100)},
        {"Titular", texto("@Titular", 100)},
        {"CargoTitular", texto("@CargoTitular", 100)},
        {"TelTitular", texto("@TelTitular", 100)},
        {"Caracter", texto("@Caracter", 15)},
        {"Indicacion", texto("@Indicacion", 200)},
        {"RepresentaA", texto("@RepresentaA", 50)},
        {"Observacion", texto("@Observacion", 2000)},
        {"Estatus", texto("@Estatus", 15)},
        {"Prefijo1", texto("@Prefijo1", 5)},
        {"Prefijo2", texto("@Prefijo2", 5)},
        {"Prefijo3", texto("@Prefijo3", 5)},
    };
    return campos;
}

QStringList columnasDelRegistro() {
    QStringList columnas;
    for (const Campo& c : camposDelRegistro())
        columnas << QString::fromLatin1(c.columna);
    return columnas;
}

QVariantList valoresDelRegistro(const Argumentos& a) {
    QVariantList valores;
    for (const Campo& c : camposDelRegistro())
        valores << a.valor(c.firma.nombre);
    return valores;
}

QList<Firma> firmaDeInsercion() {
    QList<Firma> firma{entero("@Anio")};
    for (const Campo& c : camposDelRegistro())
        firma << c.firma;
    firma << texto("@UsrCaptura", 10);
    firma << Firma{QStringLiteral("@Folio"), TipoDeParametro::SmallInt, Direccion::Salida, 0};
    return firma;
}

QList<Firma> firmaDeActualizacion() {
    QList<Firma> firma{entero("@Anio"), entero("@Folio")};
    for (const Campo& c : camposDelRegistro())
        firma << c.firma;
    firma << texto("@UsrModif", 10);
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
    valores << a.valor(u"@UsrCaptura") << Reloj::actual().ahora();
    QStringList marcas;
    for (int i = 0; i < valores.size(); ++i)
        marcas << QStringLiteral("?");
    kelmar.ejecuta(QStringLiteral("insert into invitacion (Anio, Folio, %1, UsrCaptura, FechaCaptura)"
                                  " values (%2)")
                       .arg(columnas.join(QStringLiteral(", ")), marcas.join(QStringLiteral(", "))),
                   valores);
    a.estableceSalida(u"@Folio", folio);
    return {};
}

Recordset obtenInvitacion(Conexion& kelmar, Argumentos& a) {
    return kelmar.ejecuta(
        QStringLiteral("select FechaEvento as \"FechaEvento\", FechaRecepcion as \"FechaRecepcion\","
                       " Hora as \"Hora\", Caracter as \"Caracter\", RepresentaA as \"RepresentaA\","
                       " Descripcion as \"descripcion\", Ubicacion as \"Ubicacion\","
                       " Observacion as \"Observacion\", Suscriptor as \"Suscriptor\","
                       " CargoSuscriptor as \"CargoSuscriptor\", TelSuscriptor as \"TelSuscriptor\","
                       " Indicacion as \"Indicacion\", Representante as \"Representante\","
                       " CargoRepresentante as \"CargoRepresentante\","
                       " TelRepresentante as \"TelRepresentante\", Titular as \"Titular\","
                       " CargoTitular as \"CargoTitular\", TelTitular as \"TelTitular\","
                       " Prefijo1 as \"Prefijo1\", Prefijo2 as \"Prefijo2\", Prefijo3 as \"Prefijo3\","
                       " Estatus as \"Estatus\", UsrCaptura as \"UsrCaptura\", UsrModif as \"UsrModif\""
                       " from invitacion where Anio = ? and Folio = ?"),
        {a.entero(u"@Anio"), a.entero(u"@Folio")});
}

// An update that finds no invitation is an error, never a silent success:
// the user would believe a correction stored that went nowhere.
Recordset actualizaInvitacion(Conexion& kelmar, Argumentos& a) {
    const int anio = a.entero(u"@Anio");
    const int folio = a.entero(u"@Folio");
    QStringList asignaciones;
    for (const QString& columna : columnasDelRegistro())
        asignaciones << columna + QStringLiteral(" = ?");
    QVariantList valores = valoresDelRegistro(a);
    valores << a.valor(u"@UsrModif") << Reloj::actual().ahora() << anio << folio;
    const Recordset rs =
        kelmar.ejecuta(QStringLiteral("update invitacion set %1, UsrModif = ?, FechaModif = ?"
                                      " where Anio = ? and Folio = ?")
                           .arg(asignaciones.join(QStringLiteral(", "))),
                       valores);
    if (rs.filasAfectadas() != 1)
        throw ErrorDeEjecucion(
            CodigoDeError::FinDeRegistros,
            QStringLiteral("No existe la invitación con folio %1 del año %2; no se actualizó nada.")
                .arg(folio)
                .arg(anio),
            kelmar.fuente());
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
        {QStringLiteral("ObtenerUnaInvitacion"), {entero("@Anio"), entero("@Folio")}, obtenInvitacion});
    kelmar.registra(
        {QStringLiteral("ActualizarUnRegDeInvitacion"), firmaDeActualizacion(), actualizaInvitacion});
    kelmar.registra({QStringLiteral("ObtenerFuncionarioConLike"), {texto("@Nombre", 30)}, buscaFuncionarios});
    kelmar.registra({QStringLiteral("ObtenerPrefijos"), {}, prefijos});
    kelmar.registra({QStringLiteral("ObtenerIndicaciones"), {}, indicaciones});
}
