#include "outside/documentos/DocumentoOOXML.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/documentos/ProcesadorDeTextos.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QSet>

#include <functional>

#include <pugixml.hpp>

namespace {

const QString fuente = QStringLiteral("Procesador de textos");

const char* const espacioW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const char* const espacioWEstricto = "http://purl.oclc.org/ooxml/wordprocessingml/main";
const QString tipoPlantilla =
    QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml");
const QString tipoDocumento =
    QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");

constexpr unsigned opcionesDeLectura = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata |
                                       pugi::parse_pi | pugi::parse_comments;

std::string utf8(const QString& s) {
    return s.toStdString();
}

QString texto(const char* s) {
    return QString::fromUtf8(s);
}

ErrorDeEjecucion ilegible(const QString& plantilla, const QString& motivo) {
    return ErrorDeEjecucion(
        ErrorDeTextos::PlantillaIlegible,
        QStringLiteral("La plantilla %1 no es un documento que se pueda llenar: %2.").arg(plantilla, motivo),
        fuente);
}

struct Escritor : pugi::xml_writer {
    QByteArray& destino;
    explicit Escritor(QByteArray& d) : destino(d) {}
    void write(const void* datos, size_t largo) override {
        destino.append(static_cast<const char*>(datos), qsizetype(largo));
    }
};

QByteArray serializa(const pugi::xml_document& doc) {
    QByteArray salida;
    Escritor escritor(salida);
    // The declaration read with the part is written back as it came.
    doc.save(escritor, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return salida;
}

void lee(pugi::xml_document& doc, const QByteArray& datos, const QString& plantilla, const QString& parte) {
    const pugi::xml_parse_result r =
        doc.load_buffer(datos.constData(), size_t(datos.size()), opcionesDeLectura, pugi::encoding_utf8);
    if (!r)
        throw ilegible(plantilla, QStringLiteral("la parte %1 no es XML válido (%2, posición %3)")
                                      .arg(parte, texto(r.description()))
                                      .arg(r.offset));
}

// "word/document.xml" -> "word/_rels/document.xml.rels"
QString relacionesDe(const QString& parte) {
    const int barra = int(parte.lastIndexOf(QLatin1Char('/')));
    return parte.left(barra + 1) + QStringLiteral("_rels/") + parte.mid(barra + 1) + QStringLiteral(".rels");
}

// A relationship's target as a part name, relative to the folder of the part that holds it.
QString parteDestino(const QString& origen, const QString& destino) {
    if (destino.startsWith(QLatin1Char('/')))
        return destino.mid(1);
    QStringList camino = origen.split(QLatin1Char('/'));
    camino.removeLast();
    for (const QString& trozo : destino.split(QLatin1Char('/'))) {
        if (trozo == QLatin1String(".."))
            camino.removeLast();
        else if (trozo != QLatin1String("."))
            camino << trozo;
    }
    return camino.join(QLatin1Char('/'));
}

bool terminaEn(const char* tipo, const char* final) {
    return QByteArray(tipo).endsWith(final);
}

// Text as XML 1.0 can hold it: characters it forbids become U+FFFD, visibly.
QString paraXml(const QString& s) {
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            r += c;
            r += s.at(++i);
        } else if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || c.isSurrogate() || u == 0xFFFE ||
                   u == 0xFFFF) {
            r += QChar(0xFFFD);
        } else {
            r += c;
        }
    }
    return r;
}

// The word processor's date pictures are Qt's but for the AM/PM marker.
QString formatoQt(QString formato) {
    formato.replace(QLatin1String("AM/PM"), QLatin1String("AP"));
    formato.replace(QLatin1String("am/pm"), QLatin1String("ap"));
    return formato;
}

} // namespace

struct DocumentoOOXML::Parte {
    QString nombre;
    pugi::xml_document doc;
    std::string w; // the prefix of WordprocessingML's names in this part, with its colon
    bool cambiada = false;

    std::string n(const char* local) const { return w + local; }
};

struct DocumentoOOXML::Campo {
    QString nombre;
    Parte* parte = nullptr;
    pugi::xml_node inicio, separador, fin;
    std::vector<pugi::xml_node> resultado;
    bool esTexto = false;
    QString formatoDeFecha;
};

namespace {

// Fields open while the runs of one story are walked, in document order.
struct Abierto {
    pugi::xml_node inicio, separador, ffData;
    bool enResultado = false;
    std::vector<pugi::xml_node> resultado;
};

} // namespace

DocumentoOOXML::DocumentoOOXML(PaqueteOOXML plantilla, QString nombre)
    : m_paquete(std::move(plantilla)), m_nombre(std::move(nombre)) {
    // The main part, by the package's relationships.
    {
        pugi::xml_document rels;
        lee(rels, m_paquete.parte(QStringLiteral("_rels/.rels")), m_nombre, QStringLiteral("_rels/.rels"));
        for (pugi::xml_node r : rels.document_element().children())
            if (terminaEn(r.attribute("Type").value(), "/officeDocument"))
                m_partePrincipal = parteDestino(QString(), texto(r.attribute("Target").value()));
        if (m_partePrincipal.isEmpty())
            throw ilegible(m_nombre, QStringLiteral("no tiene documento principal"));
    }
    QStringList nombres{m_partePrincipal};
    const QString relaciones = relacionesDe(m_partePrincipal);
    if (m_paquete.tiene(relaciones)) {
        pugi::xml_document rels;
        lee(rels, m_paquete.parte(relaciones), m_nombre, relaciones);
        for (pugi::xml_node r : rels.document_element().children()) {
            const char* tipo = r.attribute("Type").value();
            if (QByteArray(r.attribute("TargetMode").value()) == "External")
                continue;
            if (terminaEn(tipo, "/header") || terminaEn(tipo, "/footer"))
                nombres << parteDestino(m_partePrincipal, texto(r.attribute("Target").value()));
        }
    }

    for (const QString& nombreDeParte : nombres) {
        auto parte = std::make_unique<Parte>();
        parte->nombre = nombreDeParte;
        lee(parte->doc, m_paquete.parte(nombreDeParte), m_nombre, nombreDeParte);
        for (pugi::xml_attribute a : parte->doc.document_element().attributes()) {
            const QByteArray atributo(a.name());
            const QByteArray valor(a.value());
            if ((valor == espacioW || valor == espacioWEstricto) && atributo.startsWith("xmlns")) {
                parte->w = atributo == "xmlns" ? std::string() : atributo.mid(6).toStdString() + ':';
                break;
            }
        }
        m_partes.push_back(std::move(parte));
    }

    // Every text form field of every story, in document order. A text box is
    // a story of its own, inside a run of the story that holds it.
    for (const auto& p : m_partes) {
        Parte* parte = p.get();
        const std::string run = parte->n("r"), fldChar = parte->n("fldChar"), ffData = parte->n("ffData"),
                          txbx = parte->n("txbxContent"), tipo = parte->n("fldCharType"),
                          nombreFf = parte->n("name"), textInput = parte->n("textInput"),
                          tipoTexto = parte->n("type"), formato = parte->n("format"), val = parte->n("val");
        const auto registra = [&](const Abierto& a, pugi::xml_node fin) {
            if (!a.ffData)
                return;
            auto campo = std::make_unique<Campo>();
            campo->nombre = texto(a.ffData.child(nombreFf.c_str()).attribute(val.c_str()).value());
            if (campo->nombre.isEmpty())
                return;
            campo->parte = parte;
            campo->inicio = a.inicio;
            campo->separador = a.separador;
            campo->fin = fin;
            campo->resultado = a.resultado;
            const pugi::xml_node entrada = a.ffData.child(textInput.c_str());
            campo->esTexto = bool(entrada);
            const QByteArray clase(entrada.child(tipoTexto.c_str()).attribute(val.c_str()).value());
            if (clase == "date" || clase == "currentDate" || clase == "currentTime")
                campo->formatoDeFecha = texto(entrada.child(formato.c_str()).attribute(val.c_str()).value());
            m_porNombre.insert(campo->nombre.toCaseFolded(), campo.get());
            m_campos.push_back(std::move(campo));
        };
        const auto procesaRun = [&](pugi::xml_node r, std::vector<Abierto>& pila) {
            for (pugi::xml_node c : r.children()) {
                if (c.name() != fldChar)
                    continue;
                const QByteArray clase(c.attribute(tipo.c_str()).value());
                if (clase == "begin") {
                    pila.push_back({r, {}, c.child(ffData.c_str()), false, {}});
                } else if (clase == "separate" && !pila.empty()) {
                    pila.back().separador = r;
                    pila.back().enResultado = true;
                } else if (clase == "end" && !pila.empty()) {
                    const Abierto a = std::move(pila.back());
                    pila.pop_back();
                    registra(a, r);
                }
                return;
            }
            for (Abierto& a : pila)
                if (a.enResultado)
                    a.resultado.push_back(r);
        };
        std::function<void(pugi::xml_node, std::vector<Abierto>&)> recorre;
        recorre = [&](pugi::xml_node nodo, std::vector<Abierto>& pila) {
            for (pugi::xml_node c = nodo.first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element)
                    continue;
                if (c.name() == txbx) {
                    std::vector<Abierto> propia;
                    recorre(c, propia);
                    continue;
                }
                if (c.name() == run)
                    procesaRun(c, pila);
                recorre(c, pila);
            }
        };
        std::vector<Abierto> pila;
        recorre(parte->doc, pila);
    }
}

DocumentoOOXML::~DocumentoOOXML() = default;

bool DocumentoOOXML::tieneCampo(const QString& campo) const {
    return m_porNombre.contains(campo.toCaseFolded());
}

void DocumentoOOXML::descarta(const QStringList& nombres) {
    QSet<QString> fuera;
    for (const QString& n : nombres)
        fuera.insert(n.toCaseFolded());

    // The block a field lies in: its table row, or else its paragraph; none
    // when the field runs over more than one.
    const auto bloqueDe = [](const Campo& c) {
        const Parte& p = *c.parte;
        const std::string tr = p.n("tr"), par = p.n("p"), txbx = p.n("txbxContent");
        pugi::xml_node parrafo, fila;
        for (pugi::xml_node a = c.inicio.parent(); a && a.type() == pugi::node_element; a = a.parent()) {
            if (a.name() == txbx)
                break;
            if (!parrafo && a.name() == par)
                parrafo = a;
            if (a.name() == tr) {
                fila = a;
                break;
            }
        }
        const pugi::xml_node bloque = fila ? fila : parrafo;
        for (pugi::xml_node a = c.fin; a; a = a.parent())
            if (a == bloque)
                return bloque;
        return pugi::xml_node();
    };

    struct Bloque {
        pugi::xml_node nodo;
        Parte* parte = nullptr;
        bool todosFuera = true;
    };
    std::vector<Bloque> bloques;
    QHash<const void*, std::size_t> indice;
    std::vector<std::pair<Campo*, std::size_t>> enBloque;
    for (const auto& c : m_campos) {
        const pugi::xml_node b = bloqueDe(*c);
        if (!b)
            continue;
        const void* clave = b.internal_object();
        auto it = indice.find(clave);
        if (it == indice.end()) {
            it = indice.insert(clave, bloques.size());
            bloques.push_back({b, c->parte, true});
        }
        bloques[*it].todosFuera = bloques[*it].todosFuera && fuera.contains(c->nombre.toCaseFolded());
        enBloque.emplace_back(c.get(), *it);
    }

    std::vector<bool> quitado(bloques.size(), false);
    for (std::size_t i = 0; i < bloques.size(); ++i) {
        Bloque& b = bloques[i];
        if (!b.todosFuera)
            continue;
        const Parte& p = *b.parte;
        bool puede = false;
        const std::string fila = p.n("tr");
        if (b.nodo.name() == fila) {
            // A table keeps one row at least. (The name outlives the loop: the
            // range keeps only a pointer to it.)
            for (pugi::xml_node h : b.nodo.parent().children(fila.c_str()))
                puede = puede || h != b.nodo;
        } else {
            // A story ends in a paragraph, and a section's properties stay.
            pugi::xml_node siguiente = b.nodo.next_sibling();
            while (siguiente && siguiente.type() != pugi::node_element)
                siguiente = siguiente.next_sibling();
            puede = siguiente && siguiente.name() == p.n("p") &&
                    !b.nodo.child(p.n("pPr").c_str()).child(p.n("sectPr").c_str());
        }
        if (!puede)
            continue;
        b.nodo.parent().remove_child(b.nodo);
        b.parte->cambiada = true;
        quitado[i] = true;
    }

    QSet<const Campo*> idos;
    for (const auto& [campo, i] : enBloque)
        if (quitado[i])
            idos.insert(campo);
    for (auto it = m_porNombre.begin(); it != m_porNombre.end();)
        it = idos.contains(it.value()) ? m_porNombre.erase(it) : std::next(it);
    std::erase_if(m_campos, [&](const std::unique_ptr<Campo>& c) { return idos.contains(c.get()); });
    QStringList vacios;
    for (const auto& c : m_campos)
        if (c->esTexto && fuera.contains(c->nombre.toCaseFolded()) && !vacios.contains(c->nombre))
            vacios << c->nombre;
    for (const QString& n : std::as_const(vacios))
        escribeCampo(n, QString());
}

QStringList DocumentoOOXML::campos() const {
    QStringList r;
    for (const auto& c : m_campos)
        if (c->esTexto)
            r << c->nombre;
    return r;
}

QString DocumentoOOXML::textoDelValor(const QVariant& valor, const QString& formato) {
    if (valor.isNull())
        return {};
    // The office writes Spanish whatever the station's own language.
    const QLocale espanol(QLocale::Spanish, QLocale::Spain);
    if (valor.metaType().id() == QMetaType::QDateTime)
        return espanol.toString(valor.toDateTime(), formato.isEmpty() ? QStringLiteral("dd/MM/yyyy HH:mm:ss")
                                                                      : formatoQt(formato));
    if (valor.metaType().id() == QMetaType::QDate)
        return espanol.toString(valor.toDate(),
                                formato.isEmpty() ? QStringLiteral("dd/MM/yyyy") : formatoQt(formato));
    return valor.toString();
}

void DocumentoOOXML::escribeCampo(const QString& nombre, const QVariant& valor) {
    const QList<Campo*> campos = m_porNombre.values(nombre.toCaseFolded());
    if (campos.isEmpty())
        throw ErrorDeEjecucion(
            ErrorDeTextos::CampoInexistente,
            QStringLiteral("La plantilla %1 no tiene el campo de formulario «%2».").arg(m_nombre, nombre),
            fuente);
    for (Campo* campo : campos) {
        if (!campo->esTexto)
            throw ErrorDeEjecucion(
                ErrorDeTextos::CampoInexistente,
                QStringLiteral("El campo de formulario «%2» de la plantilla %1 no es un campo de texto.")
                    .arg(m_nombre, nombre),
                fuente);
        Parte& p = *campo->parte;
        const std::string rPr = p.n("rPr");
        pugi::xml_node destino;
        if (!campo->resultado.empty()) {
            destino = campo->resultado.front();
            for (std::size_t i = 1; i < campo->resultado.size(); ++i)
                campo->resultado[i].parent().remove_child(campo->resultado[i]);
            for (pugi::xml_node c = destino.first_child(); c;) {
                const pugi::xml_node siguiente = c.next_sibling();
                if (c.name() != rPr)
                    destino.remove_child(c);
                c = siguiente;
            }
        } else {
            // No result yet: one run before the field's end, formatted as its start.
            const pugi::xml_node formato = campo->inicio.child(rPr.c_str());
            const auto nuevoRun = [&] {
                pugi::xml_node r = campo->fin.parent().insert_child_before(p.n("r").c_str(), campo->fin);
                if (formato)
                    r.append_copy(formato);
                return r;
            };
            if (!campo->separador) {
                campo->separador = nuevoRun();
                campo->separador.append_child(p.n("fldChar").c_str())
                    .append_attribute(p.n("fldCharType").c_str())
                    .set_value("separate");
            }
            destino = nuevoRun();
        }
        campo->resultado.assign(1, destino);

        // Line breaks and tabs of the value become the document's own.
        QString valorTexto = paraXml(textoDelValor(valor, campo->formatoDeFecha));
        valorTexto.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        valorTexto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QString trozo;
        const auto vuelca = [&](bool aunVacio) {
            if (trozo.isEmpty() && !aunVacio)
                return;
            pugi::xml_node t = destino.append_child(p.n("t").c_str());
            t.append_attribute("xml:space").set_value("preserve");
            t.text().set(utf8(trozo).c_str());
            trozo.clear();
        };
        for (const QChar c : std::as_const(valorTexto)) {
            if (c == QLatin1Char('\n') || c == QLatin1Char('\t')) {
                vuelca(false);
                destino.append_child(p.n(c == QLatin1Char('\n') ? "br" : "tab").c_str());
            } else {
                trozo += c;
            }
        }
        vuelca(valorTexto.isEmpty());
        p.cambiada = true;
    }
}

PaqueteOOXML DocumentoOOXML::paquete() const {
    PaqueteOOXML salida = m_paquete;
    for (const auto& p : m_partes)
        if (p->cambiada)
            salida.pon(p->nombre, serializa(p->doc));

    // The main part's content type says "document", not "template".
    pugi::xml_document tipos;
    lee(tipos, m_paquete.parte(QStringLiteral("[Content_Types].xml")), m_nombre,
        QStringLiteral("[Content_Types].xml"));
    const QString parteBuscada = QLatin1Char('/') + m_partePrincipal;
    bool hallada = false;
    for (pugi::xml_node o : tipos.document_element().children()) {
        if (texto(o.attribute("PartName").value()).compare(parteBuscada, Qt::CaseInsensitive) != 0)
            continue;
        hallada = true;
        const QString tipo = texto(o.attribute("ContentType").value());
        if (tipo == tipoPlantilla)
            o.attribute("ContentType").set_value(utf8(tipoDocumento).c_str());
        else if (tipo != tipoDocumento)
            throw ilegible(m_nombre,
                           QStringLiteral("su documento principal es de tipo %1, que no se guarda como "
                                          "documento .docx")
                               .arg(tipo));
    }
    if (!hallada)
        throw ilegible(m_nombre, QStringLiteral("no declara el tipo de su documento principal"));
    salida.pon(QStringLiteral("[Content_Types].xml"), serializa(tipos));
    return salida;
}
