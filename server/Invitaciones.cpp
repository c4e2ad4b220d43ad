#include "server/Invitaciones.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"

namespace Invitaciones {

namespace {

Parametro parametroDe(const char* columna, const QVariant& valor) {
    return Invitacion::campo(QString::fromUtf8(columna)).parametroCon(valor);
}

} // namespace

Parametro estacion(const Autor& autor) {
    return Parametro::entrada(QStringLiteral("@Estacion"), TipoDeParametro::VarChar, 255, autor.estacion);
}

int registra(Conexion& kelmar, const Invitacion& invitacion, const Autor& autor) {
    Campos::exigeQueQuepa(Invitacion::camposDelRegistro(), invitacion, kelmar.fuente());
    Parametros p{parametroDe("Anio", invitacion.anio)};
    p << invitacion.parametrosDelRegistro() << parametroDe("UsrCaptura", autor.cuenta) << estacion(autor);
    Parametro folio = parametroDe("Folio", {});
    folio.direccion = Direccion::Salida;
    p << folio;
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarUnRegEnInvitacion"), p);
    return p.constLast().valor.toInt();
}

std::optional<Invitacion> busca(Conexion& kelmar, int anio, int folio) {
    Parametros p{parametroDe("Anio", anio), parametroDe("Folio", folio)};
    const Recordset rs = kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerUnaInvitacion"), p);
    if (rs.estaVacio())
        return std::nullopt;
    Invitacion invitacion = Invitacion::deFila(rs, 0, Invitacion::camposDeLaConsulta());
    invitacion.anio = anio;
    invitacion.folio = folio;
    return invitacion;
}

Correccion corrige(Conexion& kelmar, const Invitacion& invitacion, const Autor& autor, bool sobrescribe) {
    Campos::exigeQueQuepa(Invitacion::camposDelRegistro(), invitacion, kelmar.fuente());
    Parametros p{parametroDe("Anio", invitacion.anio), parametroDe("Folio", invitacion.folio)};
    p << invitacion.parametrosDelRegistro() << parametroDe("UsrModif", autor.cuenta) << estacion(autor)
      << parametroDe("version", invitacion.version)
      << Parametro::entrada(QStringLiteral("@Sobrescribe"), TipoDeParametro::SmallInt, 0,
                            sobrescribe ? 1 : 0);
    Correccion r;
    try {
        kelmar.ejecutaProcedimiento(QStringLiteral("ActualizarUnRegDeInvitacion"), p);
        r.version = invitacion.version + 1;
        return r;
    } catch (const ErrorDeEjecucion& error) {
        if (error.numero() != CodigoDeError::RegistroCambiado &&
            error.numero() != CodigoDeError::FinDeRegistros)
            throw;
    }
    r.guardada = busca(kelmar, invitacion.anio, invitacion.folio);
    r.resultado = r.guardada ? Correccion::Resultado::Cambiada : Correccion::Resultado::Eliminada;
    r.ultimoCambio = Historial::ultima(kelmar, Catalogo::Kelmar, invitacion.anio, invitacion.folio);
    return r;
}

Recordset buscaParaReporte(Conexion& kelmar, const Criterios& c) {
    const auto palabra = [](const char* nombre, const QString& valor) {
        return Parametro::entrada(QString::fromLatin1(nombre), TipoDeParametro::VarChar, 20, valor);
    };
    Parametros p{Parametro::entrada(QStringLiteral("@FechaInicial"), TipoDeParametro::Date, 0, c.desde),
                 Parametro::entrada(QStringLiteral("@FechaFinal"), TipoDeParametro::Date, 0, c.hasta),
                 palabra("@PalabraDescrip", c.palabraDescripcion),
                 palabra("@PalabraSuscrip", c.palabraSuscriptor),
                 palabra("@PalabraRepres", c.palabraRepresentante),
                 palabra("@TipoInvit", c.tipo)};
    return kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerInvitaciones"), p);
}

void seleccionaParaImprimir(Conexion& kelmar, int anio, int folio) {
    Parametros p{parametroDe("Anio", anio), parametroDe("Folio", folio)};
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarAnioFolioInvit"), p);
}

Recordset buscaFuncionarios(Conexion& kelmar, const QString& nombre) {
    Parametros p{Parametro::entrada(QStringLiteral("@Nombre"), TipoDeParametro::VarChar, largoDeLaBusqueda,
                                    nombre.left(largoDeLaBusqueda))};
    return kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerFuncionarioConLike"), p);
}

Prefijos prefijos(Conexion& kelmar) {
    Parametros ninguno;
    const Recordset rs = kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerPrefijos"), ninguno);
    Prefijos r;
    const QList<std::pair<QStringList*, QString>> listas{{&r.descripcion, QStringLiteral("Prefijo1")},
                                                         {&r.representante, QStringLiteral("Prefijo2")},
                                                         {&r.lugar, QStringLiteral("Prefijo3")}};
    for (const auto& [lista, columna] : listas)
        for (int i = 0; i < rs.filas(); ++i)
            if (const QString prefijo = rs.texto(i, columna); !prefijo.isEmpty())
                *lista << prefijo;
    return r;
}

QStringList indicaciones(Conexion& kelmar) {
    Parametros ninguno;
    const Recordset rs = kelmar.ejecutaProcedimiento(QStringLiteral("ObtenerIndicaciones"), ninguno);
    QStringList r;
    for (int i = 0; i < rs.filas(); ++i)
        r << rs.texto(i, QStringLiteral("descripcion"));
    return r;
}

QList<Invitacion> entreFechas(Conexion& kelmar, const QDate& desde, const QDate& hasta) {
    static const QString consulta = [] {
        QStringList columnas;
        for (const Invitacion::CampoDeInvitacion& c : Invitacion::campos())
            columnas << c.nombreDeColumna();
        return QStringLiteral("select %1 from invitacion where FechaEvento >= ? and FechaEvento < ?"
                              " order by FechaEvento, Anio, Folio")
            .arg(columnas.join(QStringLiteral(", ")));
    }();
    const Recordset rs =
        kelmar.ejecuta(consulta, {QDateTime(desde, QTime(0, 0)), QDateTime(hasta.addDays(1), QTime(0, 0))});
    // The columns stand in the field table's order: read by position, a month of thousands of rows
    // spends no time looking each column up by name.
    const QList<Invitacion::CampoDeInvitacion>& campos = Invitacion::campos();
    QList<Invitacion> r;
    r.reserve(rs.filas());
    for (int i = 0; i < rs.filas(); ++i) {
        Invitacion& x = r.emplace_back();
        for (int c = 0; c < campos.size(); ++c)
            campos.at(c).escribe(x, rs.valor(i, c));
    }
    return r;
}

AniosDelEvento aniosDelEvento(Conexion& kelmar) {
    const Recordset rs = kelmar.ejecuta(
        QStringLiteral("select AniosAtras, AniosAdelante from configuracion where id = ?"), {1});
    if (rs.estaVacio())
        return {};
    return {rs.valor(0, 0).toInt(), rs.valor(0, 1).toInt()};
}

const QString& consultaDeAnios() {
    static const QString consulta = QStringLiteral("select Anio from Anio union select Anio from invitacion "
                                                   "union select cast(? as smallint) order by 1");
    return consulta;
}

} // namespace Invitaciones
