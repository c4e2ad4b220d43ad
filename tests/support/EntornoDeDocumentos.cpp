#include "support/EntornoDeDocumentos.h"

#include <QDir>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

bool VisorGuionado::abre(const QString& archivo) {
    abiertos << archivo;
    if (alAbrir)
        alAbrir(archivo);
    return puedeAbrir;
}

namespace {

class DocumentoQueAnota : public DocumentoDeTexto {
public:
    DocumentoQueAnota(std::unique_ptr<DocumentoDeTexto> real, QList<Operacion>& ops)
        : m_real(std::move(real)), m_ops(ops) {}
    void escribeCampo(const QString& nombre, const QVariant& valor) override {
        m_ops.append({Operacion::Campo, nombre, valor});
        m_real->escribeCampo(nombre, valor);
    }
    DocumentoMostrado muestra() override {
        const DocumentoMostrado d = m_real->muestra();
        m_ops.append({Operacion::Muestra, d.archivo, {}});
        return d;
    }

private:
    std::unique_ptr<DocumentoDeTexto> m_real;
    QList<Operacion>& m_ops;
};

class AplicacionQueAnota : public AplicacionDeTexto {
public:
    AplicacionQueAnota(std::unique_ptr<AplicacionDeTexto> real, QList<Operacion>& ops)
        : m_real(std::move(real)), m_ops(ops) {}
    std::unique_ptr<DocumentoDeTexto> nuevoDocumento(const QString& plantilla,
                                                     const QString& descripcion) override {
        m_ops.append({Operacion::Nuevo, plantilla, descripcion});
        return std::make_unique<DocumentoQueAnota>(m_real->nuevoDocumento(plantilla, descripcion), m_ops);
    }

private:
    std::unique_ptr<AplicacionDeTexto> m_real;
    QList<Operacion>& m_ops;
};

} // namespace

std::unique_ptr<AplicacionDeTexto> ProcesadorQueAnota::inicia() {
    operaciones.append({Operacion::Inicia, {}, {}});
    return std::make_unique<AplicacionQueAnota>(m_real.inicia(), operaciones);
}

QStringList ProcesadorQueAnota::campos() const {
    QStringList r;
    for (const Operacion& o : operaciones)
        if (o.clase == Operacion::Campo)
            r << o.nombre + QLatin1Char('=') + o.valor.toString();
    return r;
}

EntornoDeDocumentos::EntornoDeDocumentos()
    : real({carpetaDePlantillas()}, carpetaDeDocumentos(), visor), anotador(real), m_enUso(anotador) {}

QString EntornoDeDocumentos::carpetaDePlantillas() {
    return QStringLiteral(TALOREN_DATOS_DE_PRUEBA);
}

QStringList EntornoDeDocumentos::guardados() const {
    return QDir(carpetaDeDocumentos()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

namespace {

const QString W = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

QByteArray parte(QuaZip& zip, const QString& nombre) {
    if (!zip.setCurrentFile(nombre))
        return {};
    QuaZipFile f(&zip);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

struct CampoAbierto {
    QString nombre;
    bool enResultado = false;
    bool enFfData = false;
    QString texto;
};

void leeHistoria(const QByteArray& xml, LecturaDeDocx& l) {
    QXmlStreamReader r(xml);
    QList<CampoAbierto> pila;
    bool enTexto = false;
    const auto agrega = [&](const QString& t) {
        bool enAlguno = false;
        for (CampoAbierto& c : pila)
            if (c.enResultado) {
                c.texto += t;
                enAlguno = true;
            }
        if (!enAlguno && pila.isEmpty())
            l.fuera += t;
    };
    while (!r.atEnd()) {
        r.readNext();
        const QStringView n = r.name();
        if (r.isStartElement()) {
            if (n == u"fldChar") {
                const QStringView clase = r.attributes().value(W, QStringLiteral("fldCharType"));
                if (clase == u"begin")
                    pila.append(CampoAbierto{});
                else if (clase == u"separate" && !pila.isEmpty())
                    pila.last().enResultado = true;
                else if (clase == u"end" && !pila.isEmpty()) {
                    const CampoAbierto c = pila.takeLast();
                    if (!c.nombre.isEmpty()) {
                        l.resultados.insert(c.nombre, c.texto);
                        l.nombres << c.nombre;
                    }
                    // A field's result is text of its enclosing field's result.
                    if (!pila.isEmpty())
                        agrega(c.texto);
                }
            } else if (n == u"ffData" && !pila.isEmpty()) {
                pila.last().enFfData = true;
            } else if (n == u"name" && !pila.isEmpty() && pila.last().enFfData) {
                pila.last().nombre = r.attributes().value(W, QStringLiteral("val")).toString();
            } else if (n == u"t") {
                enTexto = true;
            } else if (n == u"br") {
                agrega(QStringLiteral("\n"));
            } else if (n == u"tab") {
                agrega(QStringLiteral("\t"));
            }
        } else if (r.isEndElement()) {
            if (n == u"t")
                enTexto = false;
            else if (n == u"ffData" && !pila.isEmpty())
                pila.last().enFfData = false;
            else if (n == u"p" && pila.isEmpty())
                l.fuera += QLatin1Char('\n');
        } else if (r.isCharacters() && enTexto) {
            agrega(r.text().toString());
        }
    }
    if (r.hasError()) {
        l.valido = false;
        l.error = r.errorString();
    }
}

} // namespace

LecturaDeDocx::LecturaDeDocx(const QString& archivo) {
    QuaZip zip(archivo);
    if (!zip.open(QuaZip::mdUnzip)) {
        error = QStringLiteral("no es un zip");
        return;
    }
    valido = true;
    QXmlStreamReader tipos(parte(zip, QStringLiteral("[Content_Types].xml")));
    while (!tipos.atEnd())
        if (tipos.readNext() == QXmlStreamReader::StartElement && tipos.name() == u"Override" &&
            tipos.attributes().value(QStringLiteral("PartName")) == u"/word/document.xml")
            tipoPrincipal = tipos.attributes().value(QStringLiteral("ContentType")).toString();
    QStringList historias{QStringLiteral("word/document.xml")};
    for (const QString& nombre : zip.getFileNameList())
        if (nombre.startsWith(QLatin1String("word/header")) ||
            nombre.startsWith(QLatin1String("word/footer")))
            historias << nombre;
    for (const QString& h : historias)
        leeHistoria(parte(zip, h), *this);
}

LecturaDeDocx leePlantilla(const QString& nombre) {
    return LecturaDeDocx(QDir(EntornoDeDocumentos::carpetaDePlantillas()).filePath(nombre));
}
