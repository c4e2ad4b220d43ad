#include "outside/reportes/Reporte.h"

#include "outside/CarpetaDeDatos.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"

#include <QDir>
#include <QFont>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>

namespace {

// The fonts of a page, by their place in Composicion::letras.
enum Letra { Normal, Negrita, Titulo, Subtitulo, Pie, NumeroDeLetras };

struct Trazo {
    QRectF rect;
    QString texto; // empty: a line along the rect's top, or a shaded rect when `sombra`
    int letra = Normal;
    Qt::Alignment alineacion = Qt::AlignLeft;
    bool sombra = false;
};

const QLocale espanol(QLocale::Spanish, QLocale::Mexico);

// Lays out a text within a width, wrapping at words (or anywhere inside a word
// longer than the width); returns its height. Line breaks in the data stay.
double dispone(QTextLayout& disposicion, double ancho, Qt::Alignment alineacion) {
    QTextOption opcion(alineacion);
    opcion.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    disposicion.setTextOption(opcion);
    disposicion.beginLayout();
    double alto = 0;
    for (;;) {
        QTextLine linea = disposicion.createLine();
        if (!linea.isValid())
            break;
        linea.setLineWidth(ancho);
        linea.setPosition(QPointF(0, alto));
        alto += linea.height();
    }
    disposicion.endLayout();
    return alto;
}

QString paraDisponer(QString texto) {
    texto.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    texto.replace(QLatin1Char('\n'), QChar::LineSeparator);
    texto.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return texto;
}

} // namespace

QString Reporte::formatea(const QVariant& valor, const QString& formato) {
    if (formato.contains(QLatin1Char('='))) {
        const QString texto = valor.toString();
        QString otro = texto;
        for (const QString& entrada : formato.split(QLatin1Char(';'))) {
            const qsizetype igual = entrada.indexOf(QLatin1Char('='));
            const QString clave = entrada.left(igual).trimmed();
            if (clave == texto.trimmed())
                return entrada.mid(igual + 1);
            if (clave == QLatin1String("*"))
                otro = entrada.mid(igual + 1);
        }
        return otro;
    }
    if (formato.contains(QLatin1Char('|'))) {
        const qsizetype barra = formato.indexOf(QLatin1Char('|'));
        const bool cierto =
            valor.metaType().id() == QMetaType::Bool
                ? valor.toBool()
                : !valor.toString().trimmed().isEmpty() && valor.toString() != QLatin1String("0");
        return cierto ? formato.left(barra) : formato.mid(barra + 1);
    }
    if (formato.startsWith(QLatin1String("fecha"))) {
        const QDateTime fh = Recordset::fechaHora(valor);
        if (!fh.isValid())
            return valor.toString();
        if (formato == QLatin1String("fechalarga"))
            return espanol.toString(fh.date(), QStringLiteral("d 'de' MMMM 'de' yyyy"));
        if (formato == QLatin1String("fechahora"))
            return fh.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
        return fh.toString(QStringLiteral("dd/MM/yyyy"));
    }
    if (formato == QLatin1String("mayusculas"))
        return espanol.toUpper(valor.toString());
    switch (valor.metaType().id()) {
    case QMetaType::QDate:
        return valor.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case QMetaType::QDateTime:
        return valor.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    case QMetaType::Bool:
        return valor.toBool() ? QStringLiteral("Sí") : QStringLiteral("No");
    default:
        return valor.toString();
    }
}

namespace {

QString nombreDeTipo(DefinicionDeReporte::TipoDeParametro tipo) {
    switch (tipo) {
    case DefinicionDeReporte::TipoDeParametro::Fecha:
        return QStringLiteral("una fecha");
    case DefinicionDeReporte::TipoDeParametro::Texto:
        return QStringLiteral("un texto");
    case DefinicionDeReporte::TipoDeParametro::Logico:
        return QStringLiteral("verdadero o falso");
    }
    return {};
}

} // namespace

// The report laid out for one device: what each page holds, in device pixels.
// The footer is painted with the page count, known only at the end.
struct Reporte::Composicion {
    int dpiX = 0, dpiY = 0;
    QSize tamano;
    QFont letras[NumeroDeLetras];
    QList<QList<Trazo>> paginas;
    double altoDelPie = 0;

    double mm(double milimetros) const { return milimetros * dpiX / 25.4; }
    double altoDe(const QString& texto, int letra, double ancho, Qt::Alignment alineacion,
                  QPaintDevice* dispositivo) const {
        QTextLayout disposicion(paraDisponer(texto), letras[letra], dispositivo);
        return dispone(disposicion, ancho, alineacion);
    }
};

Reporte::Reporte(const QString& ruta) : m_definicion(DefinicionDeReporte::lee(ruta)) {
    m_valores.resize(m_definicion.parametros.size());
}

Reporte::~Reporte() = default;

std::unique_ptr<Reporte> Reporte::abre(const QString& nombre) {
    return std::make_unique<Reporte>(CarpetaDeDatos::archivo(nombre));
}

void Reporte::estableceParametro(int posicion, const QVariant& valor) {
    const auto falla = [&](const QString& motivo) {
        return ErrorDeEjecucion(CodigoDeError::ParametroDeReporte, motivo, m_definicion.archivo);
    };
    if (posicion < 1 || posicion > numeroDeParametros())
        throw falla(QStringLiteral("El reporte %1 tiene %2 parámetros; no tiene el %3.")
                        .arg(m_definicion.archivo)
                        .arg(numeroDeParametros())
                        .arg(posicion));
    const DefinicionDeReporte::Parametro& p = m_definicion.parametros.at(posicion - 1);
    const auto noEs = [&] {
        return falla(QStringLiteral("El parámetro %1 (%2) del reporte %3 es %4 y recibió '%5'.")
                         .arg(posicion)
                         .arg(p.nombre, m_definicion.archivo, nombreDeTipo(p.tipo), valor.toString()));
    };
    QVariant propio;
    switch (p.tipo) {
    case DefinicionDeReporte::TipoDeParametro::Fecha:
        if (valor.metaType().id() == QMetaType::QDate)
            propio = valor.toDate();
        else if (valor.metaType().id() == QMetaType::QDateTime)
            propio = valor.toDateTime().date();
        if (!propio.toDate().isValid())
            throw noEs();
        break;
    case DefinicionDeReporte::TipoDeParametro::Texto:
        if (valor.metaType().id() != QMetaType::QString)
            throw noEs();
        if (valor.toString().size() > p.largo)
            throw falla(
                QStringLiteral("El parámetro %1 (%2) del reporte %3 admite %4 caracteres y recibió %5.")
                    .arg(posicion)
                    .arg(p.nombre, m_definicion.archivo)
                    .arg(p.largo)
                    .arg(valor.toString().size()));
        propio = valor.toString();
        break;
    case DefinicionDeReporte::TipoDeParametro::Logico:
        if (valor.metaType().id() != QMetaType::Bool)
            throw noEs();
        propio = valor.toBool();
        break;
    }
    m_valores[posicion - 1] = propio;
    m_composicion.reset();
}

QVariant Reporte::parametro(int posicion) const {
    return m_valores.value(posicion - 1);
}

void Reporte::iniciaSesion(Conexion& conexion) {
    if (m_definicion.procedimiento.isEmpty())
        throw ErrorDeEjecucion(
            CodigoDeError::DefinicionDeReporte,
            QStringLiteral("El reporte %1 toma sus datos del programa, no de un procedimiento.")
                .arg(m_definicion.archivo),
            m_definicion.archivo);
    Parametros argumentos;
    for (int i = 0; i < numeroDeParametros(); ++i) {
        const DefinicionDeReporte::Parametro& p = m_definicion.parametros.at(i);
        const QVariant& v = m_valores.at(i);
        if (!v.isValid())
            throw ErrorDeEjecucion(CodigoDeError::ParametroDeReporte,
                                   QStringLiteral("Falta el valor del parámetro %1 (%2) del reporte %3.")
                                       .arg(i + 1)
                                       .arg(p.nombre, m_definicion.archivo),
                                   m_definicion.archivo);
        switch (p.tipo) {
        case DefinicionDeReporte::TipoDeParametro::Fecha:
            argumentos << Parametro::entrada(p.nombre, TipoDeParametro::Date, 0, v);
            break;
        case DefinicionDeReporte::TipoDeParametro::Texto:
            argumentos << Parametro::entrada(p.nombre, TipoDeParametro::VarChar, p.largo, v);
            break;
        case DefinicionDeReporte::TipoDeParametro::Logico:
            argumentos << Parametro::entrada(p.nombre, TipoDeParametro::SmallInt, 0, v.toBool() ? 1 : 0);
            break;
        }
    }
    for (const DefinicionDeReporte::Fijo& f : m_definicion.fijos)
        argumentos << Parametro::entrada(f.nombre, TipoDeParametro::VarChar, f.largo, f.valor);

    tomaDatos(conexion.ejecutaProcedimiento(m_definicion.procedimiento, argumentos),
              m_definicion.procedimiento);
}

void Reporte::estableceDatos(Recordset datos) {
    if (m_definicion.columnasDelPrograma.isEmpty())
        throw ErrorDeEjecucion(CodigoDeError::DefinicionDeReporte,
                               QStringLiteral("El reporte %1 lee sus datos con %2; el programa no se los da.")
                                   .arg(m_definicion.archivo, m_definicion.procedimiento),
                               m_definicion.archivo);
    for (const QString& c : m_definicion.columnasDelPrograma)
        if (datos.indiceDeColumna(c) < 0)
            throw ErrorDeEjecucion(
                CodigoDeError::DefinicionDeReporte,
                QStringLiteral("El programa no dio la columna %1 que el reporte %2 declara.")
                    .arg(c, m_definicion.archivo),
                m_definicion.archivo);
    tomaDatos(std::move(datos), QStringLiteral("el programa"));
}

void Reporte::tomaDatos(Recordset datos, const QString& deDonde) {
    QHash<QString, int> columnas;
    for (int i = 0; i < datos.columnas(); ++i)
        columnas.insert(datos.nombreDeColumna(i).toLower(), i);
    for (const Plantilla* p : m_definicion.plantillas())
        for (const Plantilla::Campo& c : p->campos())
            if (c.clase == Plantilla::Campo::Clase::Dato && !columnas.contains(c.nombre.toLower()))
                throw ErrorDeEjecucion(CodigoDeError::DefinicionDeReporte,
                                       QStringLiteral("El reporte %1 usa el campo {%2}, que %3 no da.")
                                           .arg(m_definicion.archivo, c.nombre, deDonde),
                                       m_definicion.archivo);
    m_datos = std::move(datos);
    m_columnas = std::move(columnas);
    m_impreso = Reloj::actual().ahora();
    m_sesionIniciada = true;
    m_composicion.reset();
}

QString Reporte::valorDe(const Plantilla::Campo& campo, int fila, int pagina, int paginas) const {
    QVariant v;
    switch (campo.clase) {
    case Plantilla::Campo::Clase::Dato:
        if (fila >= 0)
            v = m_datos.valor(fila, m_columnas.value(campo.nombre.toLower()));
        break;
    case Plantilla::Campo::Clase::Parametro:
        v = parametro(campo.posicion);
        break;
    case Plantilla::Campo::Clase::Especial:
        if (campo.nombre == QLatin1String("pagina"))
            v = pagina;
        else if (campo.nombre == QLatin1String("paginas"))
            v = paginas;
        else if (campo.nombre == QLatin1String("total"))
            v = m_datos.filas();
        else
            v = m_impreso;
        break;
    }
    return formatea(v, campo.formato);
}

Reporte::Composicion& Reporte::compone(QPaintDevice& dispositivo, const Progreso& progreso) {
    if (!m_sesionIniciada)
        throw ErrorDeEjecucion(CodigoDeError::ParametroDeReporte,
                               QStringLiteral("El reporte %1 no ha leído sus datos: falta iniciar su sesión.")
                                   .arg(m_definicion.archivo),
                               m_definicion.archivo);
    const QSize tamano(dispositivo.width(), dispositivo.height());
    if (m_composicion && m_composicion->dpiX == dispositivo.logicalDpiX() &&
        m_composicion->dpiY == dispositivo.logicalDpiY() && m_composicion->tamano == tamano)
        return *m_composicion;

    auto c = std::make_unique<Composicion>();
    c->dpiX = dispositivo.logicalDpiX();
    c->dpiY = dispositivo.logicalDpiY();
    c->tamano = tamano;
    const DefinicionDeReporte& d = m_definicion;
    const double puntos[NumeroDeLetras] = {d.puntos, d.puntos, d.puntos + 5, d.puntos + 2, d.puntos - 1};
    for (int i = 0; i < NumeroDeLetras; ++i) {
        QFont f(d.familia);
        f.setPointSizeF(puntos[i]);
        f.setBold(i == Negrita || i == Titulo || i == Subtitulo);
        // No ligatures: the text of a PDF sent by mail is searched and copied letter by letter.
        f.setStyleStrategy(QFont::PreferNoShaping);
        c->letras[i] = f;
    }

    const double ancho = tamano.width();
    const double margen = c->mm(1.2);
    const double separacion = c->mm(2.5);
    const auto texto = [&](QList<Trazo>& trazos, const QString& t, int letra, double x, double y, double w,
                           Qt::Alignment alineacion = Qt::AlignLeft) {
        // An empty text takes no room (and a trazo without text is a rule).
        if (t.isEmpty())
            return 0.0;
        const double alto = c->altoDe(t, letra, w, alineacion, &dispositivo);
        trazos << Trazo{QRectF(x, y, w, alto), t, letra, alineacion, false};
        return alto;
    };
    // A rule across the page.
    const auto linea = [&](QList<Trazo>& trazos, double arriba) {
        trazos << Trazo{QRectF(0, arriba, ancho, 0), QString(), Normal, Qt::AlignLeft, false};
    };

    // Every page begins with the title; the first one with the criteria too.
    QList<Trazo> cabecera;
    double y = texto(cabecera, d.titulo, Titulo, 0, 0, ancho, Qt::AlignHCenter);
    if (!d.subtitulo.isEmpty())
        y += texto(cabecera, d.subtitulo, Subtitulo, 0, y, ancho, Qt::AlignHCenter);
    y += margen;
    linea(cabecera, y);
    const double altoDeCabecera = y + separacion;
    QList<Trazo> criterios;
    y = altoDeCabecera;
    for (const Plantilla& p : d.criterios) {
        const QString t = p.evalua([&](const Plantilla::Campo& campo) { return valorDe(campo, -1); });
        if (!t.isEmpty())
            y += texto(criterios, t, Normal, 0, y, ancho);
    }
    const double finDeCriterios = d.criterios.isEmpty() ? altoDeCabecera : y + separacion;

    c->altoDelPie = c->altoDe(QStringLiteral("Página"), Pie, ancho, Qt::AlignLeft, &dispositivo) + separacion;
    const double fondo = tamano.height() - c->altoDelPie;

    // The table's columns and their headings, repeated on every page.
    QList<double> xs, anchos;
    double suma = 0;
    for (const auto& col : d.columnas)
        suma += col.ancho;
    double x = 0;
    for (const auto& col : d.columnas) {
        xs << x;
        anchos << ancho * col.ancho / suma;
        x += anchos.constLast();
    }
    const auto encabezadoDeTabla = [&](QList<Trazo>& trazos, double arriba) {
        double alto = 0;
        for (qsizetype i = 0; i < d.columnas.size(); ++i)
            alto = std::max(alto, c->altoDe(d.columnas.at(i).titulo, Negrita, anchos.at(i) - 2 * margen,
                                            d.columnas.at(i).alineacion, &dispositivo));
        alto += 2 * margen;
        trazos << Trazo{QRectF(0, arriba, ancho, alto), QString(), Normal, Qt::AlignLeft, true};
        for (qsizetype i = 0; i < d.columnas.size(); ++i)
            texto(trazos, d.columnas.at(i).titulo, Negrita, xs.at(i) + margen, arriba + margen,
                  anchos.at(i) - 2 * margen, d.columnas.at(i).alineacion);
        linea(trazos, arriba + alto);
        return alto;
    };

    QList<Trazo> pagina;
    const auto nuevaPagina = [&] {
        if (!c->paginas.isEmpty() || !pagina.isEmpty())
            c->paginas << pagina;
        pagina = cabecera;
        y = c->paginas.isEmpty() ? finDeCriterios : altoDeCabecera;
        if (c->paginas.isEmpty())
            pagina << criterios;
        if (d.esTabla() && m_datos.filas() > 0)
            y += encabezadoDeTabla(pagina, y);
    };
    nuevaPagina();
    bool conRegistros = false; // the page holds a record already

    const int filas = m_datos.filas();
    const double anchoDeEtiquetas = ancho * d.anchoDeEtiquetas;
    for (int fila = 0; fila < filas; ++fila) {
        if (progreso && fila % 250 == 0)
            progreso(QStringLiteral("Acomodando registros: %1 de %2").arg(fila + 1).arg(filas));
        const auto valor = [&](const Plantilla::Campo& campo) { return valorDe(campo, fila); };
        QList<Trazo> registro;
        double alto = 0;
        if (d.esTabla()) {
            for (qsizetype i = 0; i < d.columnas.size(); ++i) {
                const auto& col = d.columnas.at(i);
                alto = std::max(alto, texto(registro, col.texto.evalua(valor), Normal, xs.at(i) + margen,
                                            margen, anchos.at(i) - 2 * margen, col.alineacion));
            }
            alto += 2 * margen;
        } else {
            alto = margen;
            for (const auto& r : d.renglones) {
                const QString t = r.texto.evalua(valor);
                if (t.isEmpty())
                    continue;
                const int letra = r.negrita ? Negrita : Normal;
                double h = texto(registro, t, letra, anchoDeEtiquetas, alto, ancho - anchoDeEtiquetas);
                if (!r.etiqueta.isEmpty())
                    h = std::max(h, texto(registro, r.etiqueta, Negrita, 0, alto, anchoDeEtiquetas - margen));
                alto += h;
            }
            alto += margen;
        }
        // A record is kept whole on one page; one taller than a page starts its own and is cut at the foot.
        if (conRegistros && y + alto > fondo) {
            nuevaPagina();
            conRegistros = false;
        }
        for (Trazo& t : registro) {
            t.rect.translate(0, y);
            pagina << t;
        }
        y += alto;
        linea(pagina, y);
        conRegistros = true;
    }

    const auto alFinal = [&](const QString& t, int letra) {
        if (t.isEmpty())
            return;
        const double alto = c->altoDe(t, letra, ancho, Qt::AlignLeft, &dispositivo) + separacion;
        if (conRegistros && y + alto > fondo) {
            nuevaPagina();
            conRegistros = false;
        }
        texto(pagina, t, letra, 0, y + separacion, ancho);
        y += alto;
    };
    if (filas == 0)
        alFinal(d.sinDatos, Normal);
    alFinal(d.resumen.evalua([&](const Plantilla::Campo& campo) { return valorDe(campo, -1); }), Negrita);
    c->paginas << pagina;

    m_composicion = std::move(c);
    return *m_composicion;
}

int Reporte::paginas(QPaintDevice& dispositivo, const Progreso& progreso) {
    return int(compone(dispositivo, progreso).paginas.size());
}

void Reporte::pinta(QPainter& pintor, QPagedPaintDevice& dispositivo, const Progreso& progreso) {
    const auto falla = [&](const QString& motivo) {
        return ErrorDeEjecucion(CodigoDeError::Impresion, motivo, m_definicion.archivo);
    };
    if (!pintor.isActive() || pintor.device() != &dispositivo)
        throw falla(QStringLiteral("No se pudo comenzar a dibujar el reporte %1.").arg(m_definicion.archivo));
    const Composicion& c = compone(dispositivo, progreso);
    const int total = int(c.paginas.size());
    const double ancho = c.tamano.width();
    QPen pluma(Qt::black);
    pluma.setWidthF(c.mm(0.2));
    for (int p = 0; p < total; ++p) {
        if (progreso)
            progreso(QStringLiteral("Dibujando la página %1 de %2").arg(p + 1).arg(total));
        if (p > 0 && !dispositivo.newPage())
            throw falla(QStringLiteral("El dispositivo no aceptó la página %1 de %2 del reporte %3.")
                            .arg(p + 1)
                            .arg(total)
                            .arg(m_definicion.archivo));
        pintor.setPen(pluma);
        for (const Trazo& t : c.paginas.at(p)) {
            if (t.sombra) {
                pintor.fillRect(t.rect, QColor(225, 225, 225));
            } else if (t.texto.isEmpty()) {
                pintor.drawLine(t.rect.topLeft(), t.rect.topRight());
            } else {
                QTextLayout disposicion(paraDisponer(t.texto), c.letras[t.letra], &dispositivo);
                dispone(disposicion, t.rect.width(), t.alineacion);
                disposicion.draw(&pintor, t.rect.topLeft());
            }
        }
        const double arriba = c.tamano.height() - c.altoDelPie;
        pintor.drawLine(QPointF(0, arriba + c.mm(1)), QPointF(ancho, arriba + c.mm(1)));
        const auto pie = [&](const Plantilla& plantilla, Qt::Alignment alineacion) {
            const QString t = plantilla.evalua(
                [&](const Plantilla::Campo& campo) { return valorDe(campo, -1, p + 1, total); });
            if (t.isEmpty())
                return;
            QTextLayout disposicion(paraDisponer(t), c.letras[Pie], &dispositivo);
            dispone(disposicion, ancho, alineacion);
            disposicion.draw(&pintor, QPointF(0, arriba + c.mm(2)));
        };
        pie(m_definicion.pieIzquierdo, Qt::AlignLeft);
        pie(m_definicion.pieDerecho, Qt::AlignRight);
    }
}

void Reporte::guardaPdf(const QString& archivo, const Progreso& progreso) {
    QSaveFile salida(archivo);
    if (!salida.open(QIODevice::WriteOnly))
        throw ErrorDeEjecucion(CodigoDeError::AccesoAlArchivo,
                               QStringLiteral("No se pudo escribir el archivo %1: %2.")
                                   .arg(QDir::toNativeSeparators(archivo), salida.errorString()),
                               m_definicion.archivo);
    {
        QPdfWriter pdf(&salida);
        pdf.setPageLayout(m_definicion.pagina);
        pdf.setTitle(m_definicion.titulo);
        pdf.setCreator(QStringLiteral("TALOREN"));
        QPainter pintor;
        if (!pintor.begin(&pdf))
            throw ErrorDeEjecucion(
                CodigoDeError::Impresion,
                QStringLiteral("No se pudo comenzar el archivo %1.").arg(QDir::toNativeSeparators(archivo)),
                m_definicion.archivo);
        pinta(pintor, pdf, progreso);
        if (!pintor.end())
            throw ErrorDeEjecucion(
                CodigoDeError::Impresion,
                QStringLiteral("No se pudo terminar el archivo %1.").arg(QDir::toNativeSeparators(archivo)),
                m_definicion.archivo);
    }
    if (!salida.commit())
        throw ErrorDeEjecucion(CodigoDeError::AccesoAlArchivo,
                               QStringLiteral("No se pudo escribir el archivo %1: %2.")
                                   .arg(QDir::toNativeSeparators(archivo), salida.errorString()),
                               m_definicion.archivo);
}
