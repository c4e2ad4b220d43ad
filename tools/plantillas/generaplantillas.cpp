// generaplantillas SALIDA FUENTE...: makes the word-processor templates of the
// data folder from their readable sources (data/plantillas/*.xml), each an
// Office Open XML template (.dotx) with legacy text form fields, as Word and
// LibreOffice fill and show them. The same sources always give the same bytes.
//
// The sources' vocabulary:
//   <plantilla archivo="x.dotx" titulo=".." orientacion="vertical|horizontal"
//              margenes="arriba derecha abajo izquierda" letra="Arial" tamano="11">
//     <encabezado>bloques</encabezado> <pie>bloques</pie> bloques
//   </plantilla>
//   bloques: <p alinea="izquierda|centro|derecha|justificado" negrita="si" cursiva="si"
//               tamano="pt" antes="pt" despues="pt" sangria="twips">en línea</p>
//            <tabla anchos="twips..." bordes="si|no" tamano="pt"> <fila encabezado="si" sombra="RRGGBB">
//               <celda sombra=".." alinea=".." negrita="si">en línea, o párrafos</celda> </fila> </tabla>
//            <repite desde="1" hasta="50">bloques o filas, con {n} en textos y atributos</repite>
//   en línea: texto (los blancos se juntan como en HTML), <b>..</b>, <i>..</i>, <salto/>, <tab/>,
//            <campo nombre="txtfolio" fecha="formato de fecha"/>, <pagina/>, <paginas/>
// Measures are in twips (1/1440 in) unless they say pt.
#include "outside/ErrorDeEjecucion.h"
#include "outside/documentos/PaqueteOOXML.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>
#include <vector>

namespace {

const QString W = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString R = QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");
// Every entry of every template carries this date, so a build makes the same bytes.
const QDateTime fechaFija(QDate(2011, 11, 18), QTime(0, 0), Qt::UTC);

[[noreturn]] void falla(const QString& texto) {
    throw std::runtime_error(texto.toStdString());
}

// ---- the source, read into a small tree ----------------------------------

struct Nodo {
    QString nombre; // empty for text
    QXmlStreamAttributes atributos;
    QString texto;
    std::vector<std::unique_ptr<Nodo>> hijos;

    QString attr(const char* n, const QString& porDefecto = {}) const {
        const QString v = atributos.value(QLatin1String(n)).toString();
        return v.isEmpty() ? porDefecto : v;
    }
};

std::unique_ptr<Nodo> leeFuente(const QString& archivo) {
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly))
        falla(QStringLiteral("no se pudo leer %1: %2").arg(archivo, f.errorString()));
    QXmlStreamReader xml(&f);
    std::vector<Nodo*> pila;
    std::unique_ptr<Nodo> raiz;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            auto n = std::make_unique<Nodo>();
            n->nombre = xml.name().toString();
            n->atributos = xml.attributes();
            Nodo* p = n.get();
            if (pila.empty())
                raiz = std::move(n);
            else
                pila.back()->hijos.push_back(std::move(n));
            pila.push_back(p);
        } else if (xml.isEndElement()) {
            pila.pop_back();
        } else if (xml.isCharacters() && !pila.empty() && !xml.isComment()) {
            auto n = std::make_unique<Nodo>();
            n->texto = xml.text().toString();
            pila.back()->hijos.push_back(std::move(n));
        }
    }
    if (xml.hasError())
        falla(QStringLiteral("%1, línea %2: %3").arg(archivo).arg(xml.lineNumber()).arg(xml.errorString()));
    if (!raiz || raiz->nombre != QLatin1String("plantilla"))
        falla(QStringLiteral("%1 no es una <plantilla>").arg(archivo));
    return raiz;
}

// ---- WordprocessingML ----------------------------------------------------

struct Formato {
    bool negrita = false;
    bool cursiva = false;
    int medioPuntos = 0; // 0: the document's default
};

struct Pieza {
    enum Clase { Texto, Salto, Tab, Campo, Pagina, Paginas } clase;
    QString texto; // Texto: the text; Campo: the field's name
    QString fecha; // Campo: its date format, if any
    Formato formato;
};

class Escritor {
public:
    explicit Escritor(QByteArray& destino) : x(&destino) {}

    QXmlStreamWriter x;
    int marcadores = 0;
    QStringList campos;

    void inicia(const QString& raiz) {
        x.writeStartDocument(QStringLiteral("1.0"), true);
        x.writeNamespace(W, QStringLiteral("w"));
        x.writeNamespace(R, QStringLiteral("r"));
        x.writeStartElement(W, raiz);
    }
    void termina() {
        x.writeEndElement();
        x.writeEndDocument();
    }
    void vacio(const QString& elemento, const QString& valor = {}) {
        x.writeEmptyElement(W, elemento);
        if (!valor.isNull())
            x.writeAttribute(W, QStringLiteral("val"), valor);
    }
    void formatoDeRun(const Formato& f) {
        if (!f.negrita && !f.cursiva && !f.medioPuntos)
            return;
        x.writeStartElement(W, QStringLiteral("rPr"));
        if (f.negrita)
            vacio(QStringLiteral("b"));
        if (f.cursiva)
            vacio(QStringLiteral("i"));
        if (f.medioPuntos) {
            vacio(QStringLiteral("sz"), QString::number(f.medioPuntos));
            vacio(QStringLiteral("szCs"), QString::number(f.medioPuntos));
        }
        x.writeEndElement();
    }
    void run(const Formato& f, const std::function<void()>& contenido) {
        x.writeStartElement(W, QStringLiteral("r"));
        formatoDeRun(f);
        contenido();
        x.writeEndElement();
    }
    void texto(const Formato& f, const QString& t) {
        run(f, [&] {
            x.writeStartElement(W, QStringLiteral("t"));
            x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            x.writeCharacters(t);
            x.writeEndElement();
        });
    }
    void caracterDeCampo(const Formato& f, const char* clase, const std::function<void()>& datos = {}) {
        run(f, [&] {
            x.writeStartElement(W, QStringLiteral("fldChar"));
            x.writeAttribute(W, QStringLiteral("fldCharType"), QString::fromLatin1(clase));
            if (datos)
                datos();
            x.writeEndElement();
        });
    }
    void instruccion(const Formato& f, const QString& t) {
        run(f, [&] {
            x.writeStartElement(W, QStringLiteral("instrText"));
            x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            x.writeCharacters(t);
            x.writeEndElement();
        });
    }
    // A legacy text form field, inside the bookmark of its name as Word keeps it.
    void campo(const Pieza& p) {
        if (campos.contains(p.texto))
            falla(QStringLiteral("el campo %1 aparece dos veces").arg(p.texto));
        campos << p.texto;
        const QString id = QString::number(marcadores++);
        x.writeEmptyElement(W, QStringLiteral("bookmarkStart"));
        x.writeAttribute(W, QStringLiteral("id"), id);
        x.writeAttribute(W, QStringLiteral("name"), p.texto);
        caracterDeCampo(p.formato, "begin", [&] {
            x.writeStartElement(W, QStringLiteral("ffData"));
            vacio(QStringLiteral("name"), p.texto);
            vacio(QStringLiteral("enabled"));
            vacio(QStringLiteral("calcOnExit"), QStringLiteral("0"));
            x.writeStartElement(W, QStringLiteral("textInput"));
            if (!p.fecha.isEmpty()) {
                vacio(QStringLiteral("type"), QStringLiteral("date"));
                vacio(QStringLiteral("format"), p.fecha);
            }
            x.writeEndElement();
            x.writeEndElement();
        });
        instruccion(p.formato, QStringLiteral(" FORMTEXT "));
        caracterDeCampo(p.formato, "separate");
        // An empty result of five en spaces: a blank the reader sees is to be filled.
        texto(p.formato, QString(5, QChar(0x2002)));
        caracterDeCampo(p.formato, "end");
        x.writeEmptyElement(W, QStringLiteral("bookmarkEnd"));
        x.writeAttribute(W, QStringLiteral("id"), id);
    }
    void campoCalculado(const Formato& f, const QString& instruccionDelCampo) {
        caracterDeCampo(f, "begin");
        instruccion(f, QLatin1Char(' ') + instruccionDelCampo + QLatin1Char(' '));
        caracterDeCampo(f, "separate");
        texto(f, QStringLiteral("1"));
        caracterDeCampo(f, "end");
    }
};

QString sustituye(QString s, int n) {
    return n > 0 ? s.replace(QLatin1String("{n}"), QString::number(n)) : s;
}

Formato formatoDe(const Nodo& n, Formato base) {
    if (n.attr("negrita") == QLatin1String("si"))
        base.negrita = true;
    if (n.attr("cursiva") == QLatin1String("si"))
        base.cursiva = true;
    if (!n.attr("tamano").isEmpty())
        base.medioPuntos = int(n.attr("tamano").toDouble() * 2);
    return base;
}

void recogeEnLinea(const Nodo& nodo, Formato f, int n, std::vector<Pieza>& piezas) {
    for (const auto& h : nodo.hijos) {
        const QString& e = h->nombre;
        if (e.isEmpty())
            piezas.push_back({Pieza::Texto, sustituye(h->texto, n), {}, f});
        else if (e == QLatin1String("b")) {
            Formato g = f;
            g.negrita = true;
            recogeEnLinea(*h, g, n, piezas);
        } else if (e == QLatin1String("i")) {
            Formato g = f;
            g.cursiva = true;
            recogeEnLinea(*h, g, n, piezas);
        } else if (e == QLatin1String("salto"))
            piezas.push_back({Pieza::Salto, {}, {}, f});
        else if (e == QLatin1String("tab"))
            piezas.push_back({Pieza::Tab, {}, {}, f});
        else if (e == QLatin1String("campo"))
            piezas.push_back(
                {Pieza::Campo, sustituye(h->attr("nombre"), n), h->attr("fecha"), formatoDe(*h, f)});
        else if (e == QLatin1String("pagina"))
            piezas.push_back({Pieza::Pagina, {}, {}, f});
        else if (e == QLatin1String("paginas"))
            piezas.push_back({Pieza::Paginas, {}, {}, f});
        else
            falla(QStringLiteral("<%1> no va dentro de un párrafo").arg(e));
    }
}

// Blanks gather as in HTML: one between words, none at the ends of a line.
void juntaBlancos(std::vector<Pieza>& piezas) {
    bool blancoPrevio = true;
    for (Pieza& p : piezas) {
        if (p.clase == Pieza::Salto) {
            blancoPrevio = true;
            continue;
        }
        if (p.clase != Pieza::Texto) {
            blancoPrevio = false;
            continue;
        }
        QString r;
        for (const QChar c : std::as_const(p.texto)) {
            if (c.isSpace() && c != QChar(0x2002) && c != QChar(0xA0)) {
                if (!blancoPrevio)
                    r += QLatin1Char(' ');
                blancoPrevio = true;
            } else {
                r += c;
                blancoPrevio = false;
            }
        }
        p.texto = r;
    }
    // No blank before a line break or at the end.
    for (std::size_t i = 0; i < piezas.size(); ++i) {
        if (piezas[i].clase != Pieza::Texto || !piezas[i].texto.endsWith(QLatin1Char(' ')))
            continue;
        std::size_t j = i + 1;
        while (j < piezas.size() && piezas[j].clase == Pieza::Texto && piezas[j].texto.isEmpty())
            ++j;
        if (j == piezas.size() || piezas[j].clase == Pieza::Salto)
            piezas[i].texto.chop(1);
    }
}

void parrafo(Escritor& w, const Nodo& nodo, const Formato& base, int n,
             const QString& alineaPorDefecto = {}) {
    w.x.writeStartElement(W, QStringLiteral("p"));
    const QString alinea = nodo.attr("alinea", alineaPorDefecto);
    const QString antes = nodo.attr("antes"), despues = nodo.attr("despues"), sangria = nodo.attr("sangria");
    if (!alinea.isEmpty() || !antes.isEmpty() || !despues.isEmpty() || !sangria.isEmpty()) {
        w.x.writeStartElement(W, QStringLiteral("pPr"));
        if (!antes.isEmpty() || !despues.isEmpty()) {
            w.x.writeEmptyElement(W, QStringLiteral("spacing"));
            if (!antes.isEmpty())
                w.x.writeAttribute(W, QStringLiteral("before"), QString::number(int(antes.toDouble() * 20)));
            if (!despues.isEmpty())
                w.x.writeAttribute(W, QStringLiteral("after"), QString::number(int(despues.toDouble() * 20)));
        }
        if (!sangria.isEmpty()) {
            w.x.writeEmptyElement(W, QStringLiteral("ind"));
            w.x.writeAttribute(W, QStringLiteral("left"), sangria);
        }
        if (!alinea.isEmpty()) {
            static const QHash<QString, QString> valores{
                {QStringLiteral("izquierda"), QStringLiteral("left")},
                {QStringLiteral("centro"), QStringLiteral("center")},
                {QStringLiteral("derecha"), QStringLiteral("right")},
                {QStringLiteral("justificado"), QStringLiteral("both")}};
            if (!valores.contains(alinea))
                falla(QStringLiteral("alineación desconocida: %1").arg(alinea));
            w.vacio(QStringLiteral("jc"), valores.value(alinea));
        }
        w.x.writeEndElement();
    }
    std::vector<Pieza> piezas;
    recogeEnLinea(nodo, formatoDe(nodo, base), n, piezas);
    juntaBlancos(piezas);
    for (const Pieza& p : piezas) {
        switch (p.clase) {
        case Pieza::Texto:
            if (!p.texto.isEmpty())
                w.texto(p.formato, p.texto);
            break;
        case Pieza::Salto:
            w.run(p.formato, [&] { w.vacio(QStringLiteral("br")); });
            break;
        case Pieza::Tab:
            w.run(p.formato, [&] { w.vacio(QStringLiteral("tab")); });
            break;
        case Pieza::Campo:
            w.campo(p);
            break;
        case Pieza::Pagina:
            w.campoCalculado(p.formato, QStringLiteral("PAGE"));
            break;
        case Pieza::Paginas:
            w.campoCalculado(p.formato, QStringLiteral("NUMPAGES"));
            break;
        }
    }
    w.x.writeEndElement();
}

void bordes(Escritor& w, const QString& contenedor) {
    w.x.writeStartElement(W, contenedor);
    for (const char* lado : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        w.x.writeEmptyElement(W, QString::fromLatin1(lado));
        w.x.writeAttribute(W, QStringLiteral("val"), QStringLiteral("single"));
        w.x.writeAttribute(W, QStringLiteral("sz"), QStringLiteral("4"));
        w.x.writeAttribute(W, QStringLiteral("space"), QStringLiteral("0"));
        w.x.writeAttribute(W, QStringLiteral("color"), QStringLiteral("808080"));
    }
    w.x.writeEndElement();
}

void sombra(Escritor& w, const QString& color) {
    w.x.writeEmptyElement(W, QStringLiteral("shd"));
    w.x.writeAttribute(W, QStringLiteral("val"), QStringLiteral("clear"));
    w.x.writeAttribute(W, QStringLiteral("color"), QStringLiteral("auto"));
    w.x.writeAttribute(W, QStringLiteral("fill"), color);
}

void fila(Escritor& w, const Nodo& nodo, const QList<int>& anchos, const Formato& base, int n) {
    w.x.writeStartElement(W, QStringLiteral("tr"));
    w.x.writeStartElement(W, QStringLiteral("trPr"));
    w.vacio(QStringLiteral("cantSplit"));
    if (nodo.attr("encabezado") == QLatin1String("si"))
        w.vacio(QStringLiteral("tblHeader"));
    w.x.writeEndElement();
    int columna = 0;
    for (const auto& c : nodo.hijos) {
        if (c->nombre.isEmpty())
            continue;
        if (c->nombre != QLatin1String("celda"))
            falla(QStringLiteral("<%1> no va en una fila").arg(c->nombre));
        if (columna >= anchos.size())
            falla(QStringLiteral("una fila tiene más celdas que anchos su tabla"));
        w.x.writeStartElement(W, QStringLiteral("tc"));
        w.x.writeStartElement(W, QStringLiteral("tcPr"));
        w.x.writeEmptyElement(W, QStringLiteral("tcW"));
        w.x.writeAttribute(W, QStringLiteral("w"), QString::number(anchos.at(columna++)));
        w.x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("dxa"));
        const QString fondo = c->attr("sombra", nodo.attr("sombra"));
        if (!fondo.isEmpty())
            sombra(w, fondo);
        w.x.writeEndElement();
        const Formato formato = formatoDe(nodo, base);
        bool hayParrafos = false;
        for (const auto& h : c->hijos)
            hayParrafos = hayParrafos || h->nombre == QLatin1String("p");
        if (hayParrafos) {
            for (const auto& h : c->hijos)
                if (h->nombre == QLatin1String("p"))
                    parrafo(w, *h, formatoDe(*c, formato), n, c->attr("alinea"));
        } else {
            parrafo(w, *c, formato, n);
        }
        w.x.writeEndElement();
    }
    w.x.writeEndElement();
}

void bloques(Escritor& w, const Nodo& contenedor, const Formato& base, int n);

void tabla(Escritor& w, const Nodo& nodo, const Formato& base, int n) {
    QList<int> anchos;
    for (const QString& a : nodo.attr("anchos").split(QLatin1Char(' '), Qt::SkipEmptyParts))
        anchos << a.toInt();
    if (anchos.isEmpty())
        falla(QStringLiteral("una tabla sin anchos"));
    int total = 0;
    for (int a : anchos)
        total += a;
    const Formato formato = formatoDe(nodo, base);
    w.x.writeStartElement(W, QStringLiteral("tbl"));
    w.x.writeStartElement(W, QStringLiteral("tblPr"));
    w.x.writeEmptyElement(W, QStringLiteral("tblW"));
    w.x.writeAttribute(W, QStringLiteral("w"), QString::number(total));
    w.x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("dxa"));
    if (nodo.attr("bordes", QStringLiteral("si")) == QLatin1String("si"))
        bordes(w, QStringLiteral("tblBorders"));
    w.x.writeEmptyElement(W, QStringLiteral("tblLayout"));
    w.x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("fixed"));
    w.x.writeStartElement(W, QStringLiteral("tblCellMar"));
    for (const char* lado : {"left", "right"}) {
        w.x.writeEmptyElement(W, QString::fromLatin1(lado));
        w.x.writeAttribute(W, QStringLiteral("w"), QStringLiteral("70"));
        w.x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("dxa"));
    }
    w.x.writeEndElement();
    w.x.writeEndElement();
    w.x.writeStartElement(W, QStringLiteral("tblGrid"));
    for (int a : anchos) {
        w.x.writeEmptyElement(W, QStringLiteral("gridCol"));
        w.x.writeAttribute(W, QStringLiteral("w"), QString::number(a));
    }
    w.x.writeEndElement();
    const std::function<void(const Nodo&, int)> filas = [&](const Nodo& padre, int m) {
        for (const auto& h : padre.hijos) {
            if (h->nombre == QLatin1String("fila"))
                fila(w, *h, anchos, formato, m);
            else if (h->nombre == QLatin1String("repite"))
                for (int k = h->attr("desde").toInt(); k <= h->attr("hasta").toInt(); ++k)
                    filas(*h, k);
            else if (!h->nombre.isEmpty())
                falla(QStringLiteral("<%1> no va en una tabla").arg(h->nombre));
        }
    };
    filas(nodo, n);
    w.x.writeEndElement();
}

void bloques(Escritor& w, const Nodo& contenedor, const Formato& base, int n) {
    bool ultimoEsTabla = false;
    for (const auto& h : contenedor.hijos) {
        if (h->nombre == QLatin1String("p")) {
            parrafo(w, *h, base, n);
            ultimoEsTabla = false;
        } else if (h->nombre == QLatin1String("tabla")) {
            tabla(w, *h, base, n);
            ultimoEsTabla = true;
        } else if (h->nombre == QLatin1String("repite")) {
            for (int k = h->attr("desde").toInt(); k <= h->attr("hasta").toInt(); ++k)
                bloques(w, *h, base, k);
        } else if (!h->nombre.isEmpty() && h->nombre != QLatin1String("encabezado") &&
                   h->nombre != QLatin1String("pie")) {
            falla(QStringLiteral("<%1> no es un bloque").arg(h->nombre));
        }
    }
    // A story never ends in a table.
    if (ultimoEsTabla) {
        w.x.writeEmptyElement(W, QStringLiteral("p"));
    }
}

const Nodo* hijo(const Nodo& n, const char* nombre) {
    for (const auto& h : n.hijos)
        if (h->nombre == QLatin1String(nombre))
            return h.get();
    return nullptr;
}

QByteArray historia(const Nodo& nodo, const char* raiz, QStringList& campos, int& marcadores) {
    QByteArray salida;
    Escritor w(salida);
    w.marcadores = marcadores;
    w.campos = campos;
    w.inicia(QString::fromLatin1(raiz));
    bloques(w, nodo, {}, 0);
    w.termina();
    campos = w.campos;
    marcadores = w.marcadores;
    return salida;
}

QByteArray xmlFijo(const QString& texto) {
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n") + texto)
        .toUtf8();
}

QString escapa(const QString& s) {
    return s.toHtmlEscaped();
}

PaqueteOOXML generaPaquete(const Nodo& raiz) {
    const Nodo* encabezado = hijo(raiz, "encabezado");
    const Nodo* pie = hijo(raiz, "pie");
    QStringList campos;
    int marcadores = 0;

    // The body, with its section: page size, margins, header and footer.
    QByteArray cuerpo;
    {
        Escritor w(cuerpo);
        w.inicia(QStringLiteral("document"));
        w.x.writeStartElement(W, QStringLiteral("body"));
        bloques(w, raiz, {}, 0);
        w.x.writeStartElement(W, QStringLiteral("sectPr"));
        if (encabezado) {
            w.x.writeEmptyElement(W, QStringLiteral("headerReference"));
            w.x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("default"));
            w.x.writeAttribute(R, QStringLiteral("id"), QStringLiteral("rIdEncabezado"));
        }
        if (pie) {
            w.x.writeEmptyElement(W, QStringLiteral("footerReference"));
            w.x.writeAttribute(W, QStringLiteral("type"), QStringLiteral("default"));
            w.x.writeAttribute(R, QStringLiteral("id"), QStringLiteral("rIdPie"));
        }
        const bool horizontal = raiz.attr("orientacion") == QLatin1String("horizontal");
        w.x.writeEmptyElement(W, QStringLiteral("pgSz"));
        // Letter paper, as the office prints.
        w.x.writeAttribute(W, QStringLiteral("w"),
                           horizontal ? QStringLiteral("15840") : QStringLiteral("12240"));
        w.x.writeAttribute(W, QStringLiteral("h"),
                           horizontal ? QStringLiteral("12240") : QStringLiteral("15840"));
        if (horizontal)
            w.x.writeAttribute(W, QStringLiteral("orient"), QStringLiteral("landscape"));
        const QStringList m =
            raiz.attr("margenes", QStringLiteral("1134 1134 1134 1134")).split(QLatin1Char(' '));
        if (m.size() != 4)
            falla(QStringLiteral("margenes lleva cuatro medidas"));
        w.x.writeEmptyElement(W, QStringLiteral("pgMar"));
        w.x.writeAttribute(W, QStringLiteral("top"), m.at(0));
        w.x.writeAttribute(W, QStringLiteral("right"), m.at(1));
        w.x.writeAttribute(W, QStringLiteral("bottom"), m.at(2));
        w.x.writeAttribute(W, QStringLiteral("left"), m.at(3));
        w.x.writeAttribute(W, QStringLiteral("header"), QStringLiteral("567"));
        w.x.writeAttribute(W, QStringLiteral("footer"), QStringLiteral("567"));
        w.x.writeAttribute(W, QStringLiteral("gutter"), QStringLiteral("0"));
        w.x.writeEndElement();
        w.x.writeEndElement();
        w.termina();
        campos = w.campos;
        marcadores = w.marcadores;
    }
    QByteArray parteEncabezado, partePie;
    if (encabezado)
        parteEncabezado = historia(*encabezado, "hdr", campos, marcadores);
    if (pie)
        partePie = historia(*pie, "ftr", campos, marcadores);

    const QString letra = raiz.attr("letra", QStringLiteral("Arial"));
    const int medioPuntos = int(raiz.attr("tamano", QStringLiteral("11")).toDouble() * 2);
    const QByteArray estilos = xmlFijo(
        QStringLiteral(
            "<w:styles xmlns:w=\"%1\"><w:docDefaults><w:rPrDefault><w:rPr>"
            "<w:rFonts w:ascii=\"%2\" w:hAnsi=\"%2\" w:eastAsia=\"%2\" w:cs=\"%2\"/>"
            "<w:sz w:val=\"%3\"/><w:szCs w:val=\"%3\"/><w:lang w:val=\"es-MX\" w:eastAsia=\"es-MX\" "
            "w:bidi=\"ar-SA\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:after=\"0\" "
            "w:line=\"240\" w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>"
            "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/>"
            "<w:qFormat/></w:style></w:styles>")
            .arg(W, escapa(letra))
            .arg(medioPuntos));

    QString sobrescrituras = QStringLiteral(
        "<Override PartName=\"/word/document.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml\"/>"
        "<Override PartName=\"/word/styles.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
        "<Override PartName=\"/word/settings.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
        "<Override PartName=\"/docProps/core.xml\" "
        "ContentType=\"application/vnd.openxmlformats-package.core-properties+xml\"/>"
        "<Override PartName=\"/docProps/app.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.extended-properties+xml\"/>");
    QString relaciones = QStringLiteral(
        "<Relationship Id=\"rIdEstilos\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
        "Target=\"styles.xml\"/>"
        "<Relationship Id=\"rIdAjustes\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings\" "
        "Target=\"settings.xml\"/>");
    if (encabezado) {
        sobrescrituras += QStringLiteral(
            "<Override PartName=\"/word/header1.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>");
        relaciones += QStringLiteral(
            "<Relationship Id=\"rIdEncabezado\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" "
            "Target=\"header1.xml\"/>");
    }
    if (pie) {
        sobrescrituras += QStringLiteral(
            "<Override PartName=\"/word/footer1.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>");
        relaciones += QStringLiteral(
            "<Relationship Id=\"rIdPie\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/footer\" "
            "Target=\"footer1.xml\"/>");
    }

    PaqueteOOXML paquete;
    paquete.pon(QStringLiteral("[Content_Types].xml"),
                xmlFijo(QStringLiteral(
                            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                            "<Default Extension=\"rels\" "
                            "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
                            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>%1</Types>")
                            .arg(sobrescrituras)));
    paquete.pon(
        QStringLiteral("_rels/.rels"),
        xmlFijo(QStringLiteral(
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
            "Target=\"word/document.xml\"/>"
            "<Relationship Id=\"rId2\" "
            "Type=\"http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties\" "
            "Target=\"docProps/core.xml\"/>"
            "<Relationship Id=\"rId3\" "
            "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
            "extended-properties\" "
            "Target=\"docProps/app.xml\"/></Relationships>")));
    paquete.pon(
        QStringLiteral("docProps/core.xml"),
        xmlFijo(QStringLiteral(
                    "<cp:coreProperties "
                    "xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/core-properties\" "
                    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>%1</dc:title>"
                    "<dc:creator>TALOREN</dc:creator><dc:language>es-MX</dc:language>"
                    "</cp:coreProperties>")
                    .arg(escapa(raiz.attr("titulo")))));
    paquete.pon(
        QStringLiteral("docProps/app.xml"),
        xmlFijo(QStringLiteral("<Properties "
                               "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-"
                               "properties\"><Application>TALOREN</Application></Properties>")));
    paquete.pon(QStringLiteral("word/document.xml"), cuerpo);
    paquete.pon(QStringLiteral("word/styles.xml"), estilos);
    // Form fields are shown as their results, not as codes.
    paquete.pon(QStringLiteral("word/settings.xml"),
                xmlFijo(QStringLiteral("<w:settings xmlns:w=\"%1\"><w:defaultTabStop w:val=\"709\"/>"
                                       "<w:characterSpacingControl w:val=\"doNotCompress\"/></w:settings>")
                            .arg(W)));
    if (encabezado)
        paquete.pon(QStringLiteral("word/header1.xml"), parteEncabezado);
    if (pie)
        paquete.pon(QStringLiteral("word/footer1.xml"), partePie);
    paquete.pon(
        QStringLiteral("word/_rels/document.xml.rels"),
        xmlFijo(QStringLiteral("<Relationships "
                               "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">%1"
                               "</Relationships>")
                    .arg(relaciones)));
    QTextStream(stdout) << raiz.attr("archivo") << ": " << campos.size() << " campos\n";
    return paquete;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "uso: generaplantillas SALIDA FUENTE...\n";
        return 2;
    }
    const QDir salida(args.at(1));
    if (!salida.mkpath(QStringLiteral(".")))
        return 1;
    try {
        for (int i = 2; i < args.size(); ++i) {
            const auto raiz = leeFuente(args.at(i));
            const QString archivo = raiz->attr("archivo");
            if (archivo.isEmpty() || archivo.contains(QLatin1Char('/')))
                falla(QStringLiteral("%1: archivo no dice el nombre de la plantilla").arg(args.at(i)));
            const PaqueteOOXML paquete = generaPaquete(*raiz);
            QSaveFile f(salida.filePath(archivo));
            if (!f.open(QIODevice::WriteOnly))
                falla(QStringLiteral("no se pudo escribir %1: %2").arg(f.fileName(), f.errorString()));
            paquete.escribe(f, archivo, fechaFija, 9);
            if (!f.commit())
                falla(QStringLiteral("no se pudo escribir %1: %2").arg(f.fileName(), f.errorString()));
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << "generaplantillas: " << e.descripcion() << '\n';
        return 1;
    } catch (const std::exception& e) {
        QTextStream(stderr) << "generaplantillas: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
