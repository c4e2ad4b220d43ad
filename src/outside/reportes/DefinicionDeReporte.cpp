#include "outside/reportes/DefinicionDeReporte.h"

#include "outside/CarpetaDeDatos.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/reportes/Reporte.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace {

// Reads one JSON object strictly: a key it does not know, a missing key or a
// value of another kind is an error that names where it is.
class Lector {
public:
    Lector(QJsonObject objeto, QString ruta, const QString& fuente)
        : m_objeto(std::move(objeto)), m_ruta(std::move(ruta)), m_fuente(fuente) {}

    ErrorDeEjecucion falla(const QString& clave, const QString& motivo) const {
        return ErrorDeEjecucion(CodigoDeError::DefinicionDeReporte,
                                QStringLiteral("%1: %2.").arg(donde(clave), motivo), m_fuente);
    }
    QString donde(const QString& clave) const {
        return QStringLiteral("El reporte %1 no es válido en %2").arg(m_fuente, lugar(clave));
    }
    QString lugar(const QString& clave) const {
        return m_ruta.isEmpty() ? clave : m_ruta + QLatin1Char('.') + clave;
    }
    bool tiene(const QString& clave) const { return m_objeto.contains(clave); }

    QJsonValue valor(const QString& clave, bool requerido) {
        m_leidas.insert(clave);
        const QJsonValue v = m_objeto.value(clave);
        if (v.isUndefined() && requerido)
            throw falla(clave, QStringLiteral("falta este dato"));
        return v;
    }
    QString texto(const QString& clave, bool requerido = true, const QString& omision = {}) {
        const QJsonValue v = valor(clave, requerido);
        if (v.isUndefined())
            return omision;
        if (!v.isString())
            throw falla(clave, QStringLiteral("se esperaba un texto entre comillas"));
        return v.toString();
    }
    double numero(const QString& clave, double minimo, double maximo, bool requerido = true,
                  double omision = 0) {
        const QJsonValue v = valor(clave, requerido);
        if (v.isUndefined())
            return omision;
        if (!v.isDouble() || v.toDouble() < minimo || v.toDouble() > maximo)
            throw falla(clave, QStringLiteral("se esperaba un número de %1 a %2").arg(minimo).arg(maximo));
        return v.toDouble();
    }
    bool logico(const QString& clave) {
        const QJsonValue v = valor(clave, false);
        if (v.isUndefined())
            return false;
        if (!v.isBool())
            throw falla(clave, QStringLiteral("se esperaba true o false"));
        return v.toBool();
    }
    QJsonArray arreglo(const QString& clave, bool requerido = true) {
        const QJsonValue v = valor(clave, requerido);
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            throw falla(clave, QStringLiteral("se esperaba una lista entre corchetes"));
        return v.toArray();
    }
    Lector objeto(const QString& clave) {
        const QJsonValue v = valor(clave, true);
        if (!v.isObject())
            throw falla(clave, QStringLiteral("se esperaba un grupo de datos entre llaves"));
        return Lector(v.toObject(), lugar(clave), m_fuente);
    }
    Lector elemento(const QJsonArray& lista, const QString& clave, qsizetype i) const {
        const QString sitio = QStringLiteral("%1[%2]").arg(clave).arg(i + 1);
        if (!lista.at(i).isObject())
            throw falla(sitio, QStringLiteral("se esperaba un grupo de datos entre llaves"));
        return Lector(lista.at(i).toObject(), lugar(sitio), m_fuente);
    }
    Plantilla plantilla(const QString& clave, bool requerido = true) {
        return Plantilla::lee(texto(clave, requerido), donde(clave), m_fuente);
    }
    template <typename T>
    T opcion(const QString& clave, const QList<std::pair<const char*, T>>& opciones, bool requerido = true,
             T omision = {}) {
        const QString t = texto(clave, requerido);
        if (t.isEmpty() && !requerido)
            return omision;
        QStringList nombres;
        for (const auto& [nombre, valor] : opciones) {
            if (t == QLatin1String(nombre))
                return valor;
            nombres << QLatin1String(nombre);
        }
        throw falla(
            clave,
            QStringLiteral("'%1' no se conoce: se esperaba %2").arg(t, nombres.join(QStringLiteral(", "))));
    }
    // Every key was read: one that was not is a misspelling or a left-over.
    void termina() const {
        for (const QString& clave : m_objeto.keys())
            if (!m_leidas.contains(clave))
                throw falla(clave, QStringLiteral("este dato no se conoce"));
    }

private:
    QJsonObject m_objeto;
    QString m_ruta;
    QString m_fuente;
    QSet<QString> m_leidas;
};

// Remarks are blanked out, keeping every offset, so a fault is told at its true line.
QByteArray sinComentarios(QByteArray texto) {
    qsizetype inicio = 0;
    while (inicio < texto.size()) {
        qsizetype fin = texto.indexOf('\n', inicio);
        if (fin < 0)
            fin = texto.size();
        qsizetype i = inicio;
        while (i < fin && (texto.at(i) == ' ' || texto.at(i) == '\t'))
            ++i;
        if (i + 1 < fin && texto.at(i) == '/' && texto.at(i + 1) == '/')
            for (qsizetype j = i; j < fin; ++j)
                texto[j] = ' ';
        inicio = fin + 1;
    }
    return texto;
}

} // namespace

QList<const Plantilla*> DefinicionDeReporte::plantillas() const {
    QList<const Plantilla*> todas{&pieIzquierdo, &pieDerecho, &resumen};
    for (const Plantilla& p : criterios)
        todas << &p;
    for (const Columna& c : columnas)
        todas << &c.texto;
    for (const Renglon& r : renglones)
        todas << &r.texto;
    return todas;
}

DefinicionDeReporte DefinicionDeReporte::lee(const QString& ruta) {
    DefinicionDeReporte d;
    d.archivo = QFileInfo(ruta).fileName();
    const QString fuente = d.archivo;
    QFile archivo(ruta);
    if (!archivo.exists())
        throw ErrorDeEjecucion(CodigoDeError::ArchivoNoEncontrado,
                               QStringLiteral("No se encontró el reporte %1.").arg(ruta), fuente);
    if (!archivo.open(QIODevice::ReadOnly))
        throw ErrorDeEjecucion(
            CodigoDeError::AccesoAlArchivo,
            QStringLiteral("No se pudo leer el reporte %1: %2.").arg(ruta, archivo.errorString()), fuente);
    const QByteArray crudo = sinComentarios(archivo.readAll());
    QJsonParseError error;
    const QJsonDocument documento = QJsonDocument::fromJson(crudo, &error);
    if (error.error != QJsonParseError::NoError) {
        const QByteArray antes = crudo.left(error.offset);
        const qsizetype linea = antes.count('\n') + 1;
        const qsizetype columna = error.offset - antes.lastIndexOf('\n');
        throw ErrorDeEjecucion(CodigoDeError::DefinicionDeReporte,
                               QStringLiteral("El reporte %1 no se puede leer: línea %2, columna %3: %4.")
                                   .arg(ruta)
                                   .arg(linea)
                                   .arg(columna)
                                   .arg(error.errorString()),
                               fuente);
    }
    if (!documento.isObject())
        throw ErrorDeEjecucion(
            CodigoDeError::DefinicionDeReporte,
            QStringLiteral("El reporte %1 debe ser un grupo de datos entre llaves.").arg(ruta), fuente);

    Lector raiz(documento.object(), {}, fuente);
    d.titulo = raiz.texto(QStringLiteral("titulo"));
    d.subtitulo = raiz.texto(QStringLiteral("subtitulo"), false);

    {
        Lector hoja = raiz.objeto(QStringLiteral("hoja"));
        const auto papel = hoja.opcion<QPageSize::PageSizeId>(
            QStringLiteral("papel"),
            {{"carta", QPageSize::Letter}, {"oficio", QPageSize::Legal}, {"A4", QPageSize::A4}});
        const auto orientacion = hoja.opcion<QPageLayout::Orientation>(
            QStringLiteral("orientacion"),
            {{"vertical", QPageLayout::Portrait}, {"horizontal", QPageLayout::Landscape}});
        const double margen = hoja.numero(QStringLiteral("margen"), 5, 40);
        hoja.termina();
        d.pagina = QPageLayout(QPageSize(papel), orientacion, QMarginsF(margen, margen, margen, margen),
                               QPageLayout::Millimeter);
    }
    {
        Lector letra = raiz.objeto(QStringLiteral("letra"));
        d.familia = letra.texto(QStringLiteral("familia"));
        d.puntos = letra.numero(QStringLiteral("puntos"), 5, 16);
        letra.termina();
    }

    const QJsonArray parametros = raiz.arreglo(QStringLiteral("parametros"));
    for (qsizetype i = 0; i < parametros.size(); ++i) {
        Lector p = raiz.elemento(parametros, QStringLiteral("parametros"), i);
        Parametro parametro;
        parametro.nombre = p.texto(QStringLiteral("nombre"));
        parametro.tipo =
            p.opcion<TipoDeParametro>(QStringLiteral("tipo"), {{"fecha", TipoDeParametro::Fecha},
                                                               {"texto", TipoDeParametro::Texto},
                                                               {"logico", TipoDeParametro::Logico}});
        if (parametro.tipo == TipoDeParametro::Texto)
            parametro.largo = int(p.numero(QStringLiteral("largo"), 1, 8000));
        p.termina();
        d.parametros << parametro;
    }
    {
        Lector datos = raiz.objeto(QStringLiteral("datos"));
        d.procedimiento = datos.texto(QStringLiteral("procedimiento"), false);
        const QJsonArray delPrograma = datos.arreglo(QStringLiteral("columnas"), false);
        for (const QJsonValue& c : delPrograma)
            if (c.isString() && !c.toString().trimmed().isEmpty())
                d.columnasDelPrograma << c.toString().trimmed();
            else
                throw datos.falla(QStringLiteral("columnas"),
                                  QStringLiteral("cada columna es un nombre entre comillas"));
        if (d.procedimiento.isEmpty() == d.columnasDelPrograma.isEmpty())
            throw datos.falla(
                QStringLiteral("procedimiento"),
                QStringLiteral("los datos vienen de un procedimiento o de las columnas que da el "
                               "programa: uno de los dos, no ambos ni ninguno"));
        const QJsonArray fijos = datos.arreglo(QStringLiteral("fijos"), false);
        for (qsizetype i = 0; i < fijos.size(); ++i) {
            Lector f = datos.elemento(fijos, QStringLiteral("fijos"), i);
            Fijo fijo;
            fijo.nombre = f.texto(QStringLiteral("nombre"));
            fijo.valor = f.texto(QStringLiteral("valor"));
            fijo.largo = int(f.numero(QStringLiteral("largo"), 1, 8000));
            f.termina();
            d.fijos << fijo;
        }
        datos.termina();
    }

    const QJsonArray criterios = raiz.arreglo(QStringLiteral("criterios"), false);
    for (qsizetype i = 0; i < criterios.size(); ++i) {
        const QString sitio = QStringLiteral("criterios[%1]").arg(i + 1);
        if (!criterios.at(i).isString())
            throw raiz.falla(sitio, QStringLiteral("se esperaba un texto entre comillas"));
        d.criterios << Plantilla::lee(criterios.at(i).toString(), raiz.donde(sitio), fuente);
    }
    if (raiz.tiene(QStringLiteral("pie"))) {
        Lector pie = raiz.objeto(QStringLiteral("pie"));
        d.pieIzquierdo = pie.plantilla(QStringLiteral("izquierda"), false);
        d.pieDerecho = pie.plantilla(QStringLiteral("derecha"), false);
        pie.termina();
    }

    const bool tabla = raiz.tiene(QStringLiteral("tabla"));
    if (tabla == raiz.tiene(QStringLiteral("bloque")))
        throw raiz.falla(
            QStringLiteral("tabla"),
            QStringLiteral("el reporte lleva una tabla o un bloque por registro, uno de los dos"));
    if (tabla) {
        const QJsonArray columnas = raiz.arreglo(QStringLiteral("tabla"));
        if (columnas.isEmpty())
            throw raiz.falla(QStringLiteral("tabla"), QStringLiteral("la tabla no tiene columnas"));
        for (qsizetype i = 0; i < columnas.size(); ++i) {
            Lector c = raiz.elemento(columnas, QStringLiteral("tabla"), i);
            Columna columna;
            columna.titulo = c.texto(QStringLiteral("titulo"));
            columna.ancho = c.numero(QStringLiteral("ancho"), 1, 100);
            columna.texto = c.plantilla(QStringLiteral("texto"));
            columna.alineacion = c.opcion<Qt::Alignment>(
                QStringLiteral("alineacion"),
                {{"izquierda", Qt::AlignLeft}, {"centro", Qt::AlignHCenter}, {"derecha", Qt::AlignRight}},
                false, Qt::AlignLeft);
            c.termina();
            d.columnas << columna;
        }
    } else {
        Lector bloque = raiz.objeto(QStringLiteral("bloque"));
        d.anchoDeEtiquetas = bloque.numero(QStringLiteral("anchoDeEtiquetas"), 0, 60) / 100.0;
        const QJsonArray renglones = bloque.arreglo(QStringLiteral("renglones"));
        if (renglones.isEmpty())
            throw bloque.falla(QStringLiteral("renglones"), QStringLiteral("el bloque no tiene renglones"));
        for (qsizetype i = 0; i < renglones.size(); ++i) {
            Lector r = bloque.elemento(renglones, QStringLiteral("renglones"), i);
            Renglon renglon;
            renglon.etiqueta = r.texto(QStringLiteral("etiqueta"), false);
            renglon.texto = r.plantilla(QStringLiteral("texto"));
            renglon.negrita = r.logico(QStringLiteral("negrita"));
            r.termina();
            d.renglones << renglon;
        }
        bloque.termina();
    }
    d.sinDatos = raiz.texto(QStringLiteral("sinDatos"));
    d.resumen = raiz.plantilla(QStringLiteral("resumen"), false);
    raiz.termina();

    // A template that names a parameter the report does not take is caught now, not at print time;
    // so is a page number anywhere but in the footer, where alone it is known.
    for (const Plantilla* p : d.plantillas())
        for (const Plantilla::Campo& c : p->campos()) {
            if (c.clase == Plantilla::Campo::Clase::Especial &&
                c.nombre.startsWith(QLatin1String("pagina")) && p != &d.pieIzquierdo && p != &d.pieDerecho)
                throw ErrorDeEjecucion(
                    CodigoDeError::DefinicionDeReporte,
                    QStringLiteral("El reporte %1 usa {#%2} fuera del pie de página.").arg(fuente, c.nombre),
                    fuente);
            if (c.clase == Plantilla::Campo::Clase::Parametro && c.posicion > d.parametros.size())
                throw ErrorDeEjecucion(CodigoDeError::DefinicionDeReporte,
                                       QStringLiteral("El reporte %1 usa el parámetro {%2} y solo tiene %3.")
                                           .arg(fuente)
                                           .arg(c.posicion)
                                           .arg(d.parametros.size()),
                                       fuente);
        }
    return d;
}
