#include "support/EntornoDeDocumentos.h"

#include <QDir>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace {

struct DocumentoQueAnota : DocumentoDeTexto {
    DocumentoQueAnota(std::unique_ptr<DocumentoDeTexto> r, ProcesadorQueAnota& a)
        : real(std::move(r)), a(a) {}
    void escribeCampo(const QString& nombre, const QVariant& valor) override {
        a.operaciones << nombre + QLatin1Char('=') + valor.toString();
        real->escribeCampo(nombre, valor);
    }
    bool tieneCampo(const QString& nombre) const override { return real->tieneCampo(nombre); }
    void descarta(const QStringList& nombres) override {
        a.operaciones << QStringLiteral("descarta ") + nombres.join(QLatin1Char(' '));
        real->descarta(nombres);
    }
    DocumentoMostrado muestra() override {
        const DocumentoMostrado d = real->muestra();
        a.operaciones << QStringLiteral("muestra ") + d.archivo;
        return d;
    }
    std::unique_ptr<DocumentoDeTexto> real;
    ProcesadorQueAnota& a;
};

struct AplicacionQueAnota : AplicacionDeTexto {
    AplicacionQueAnota(std::unique_ptr<AplicacionDeTexto> r, ProcesadorQueAnota& a)
        : real(std::move(r)), a(a) {}
    std::unique_ptr<DocumentoDeTexto> nuevoDocumento(const QString& plantilla,
                                                     const QString& descripcion) override {
        a.operaciones << QStringLiteral("nuevo ") + plantilla;
        return std::make_unique<DocumentoQueAnota>(real->nuevoDocumento(plantilla, descripcion), a);
    }
    std::unique_ptr<AplicacionDeTexto> real;
    ProcesadorQueAnota& a;
};

const QString W = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

struct CampoAbierto {
    QString nombre;
    bool enResultado = false;
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
                    if (!c.nombre.isEmpty())
                        l.resultados.insert(c.nombre, c.texto);
                    // A field's result is text of its enclosing field's result.
                    if (!pila.isEmpty())
                        agrega(c.texto);
                }
            } else if (n == u"name" && !pila.isEmpty() && !pila.last().enResultado) { // the form data's
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
            else if (n == u"p" && pila.isEmpty())
                l.fuera += QLatin1Char('\n');
        } else if (r.isCharacters() && enTexto) {
            agrega(r.text().toString());
        }
    }
    if (r.hasError())
        l.valido = false;
}

} // namespace

std::unique_ptr<AplicacionDeTexto> ProcesadorQueAnota::inicia() {
    operaciones << QStringLiteral("inicia");
    return std::make_unique<AplicacionQueAnota>(m_real.inicia(), *this);
}

EntornoDeDocumentos::EntornoDeDocumentos()
    : real({carpetaDePlantillas()}, carpetaDeDocumentos(), visor), anotador(real), m_enUso(anotador) {}

QString EntornoDeDocumentos::carpetaDePlantillas() {
    return QStringLiteral(TALOREN_DATOS_DE_PRUEBA);
}

QStringList EntornoDeDocumentos::guardados() const {
    return QDir(carpetaDeDocumentos()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

LecturaDeDocx::LecturaDeDocx(const QString& archivo) {
    QuaZip zip(archivo);
    valido = zip.open(QuaZip::mdUnzip);
    QStringList historias{QStringLiteral("word/document.xml")};
    for (const QString& nombre : zip.getFileNameList())
        if (nombre.startsWith(QLatin1String("word/header")) ||
            nombre.startsWith(QLatin1String("word/footer")))
            historias << nombre;
    for (const QString& h : historias) {
        // A story missing or unreadable reads as an empty one, which is no XML.
        QuaZipFile f(&zip);
        leeHistoria(zip.setCurrentFile(h) && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), *this);
    }
}

LecturaDeDocx leePlantilla(const QString& nombre) {
    return LecturaDeDocx(QDir(EntornoDeDocumentos::carpetaDePlantillas()).filePath(nombre));
}
