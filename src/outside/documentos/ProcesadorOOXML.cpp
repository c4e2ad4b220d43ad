#include "outside/documentos/ProcesadorOOXML.h"

#include "outside/CarpetaDeDatos.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/documentos/DocumentoOOXML.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

const QString fuente = QStringLiteral("Procesador de textos");

// Deflate's fastest level: a document of 550 fields is made in a few milliseconds
// and is still a fraction of its XML's size.
constexpr int nivelDeCompresion = 1;

QString sinExtension(const QString& nombre) {
    for (const QLatin1String ext : {QLatin1String(".dotx"), QLatin1String(".dot")})
        if (nombre.endsWith(ext, Qt::CaseInsensitive))
            return nombre.left(nombre.size() - ext.size());
    return nombre;
}

ErrorDeEjecucion noSeInicia(const QString& motivo) {
    return ErrorDeEjecucion(ErrorDeTextos::NoSeInicia, motivo, fuente);
}

} // namespace

class DocumentoDeTextoOOXML : public DocumentoDeTexto {
public:
    DocumentoDeTextoOOXML(ProcesadorOOXML& procesador, PaqueteOOXML plantilla, const QString& nombre,
                          QString descripcion)
        : m_procesador(procesador), m_documento(std::move(plantilla), nombre),
          m_descripcion(std::move(descripcion)) {}

    void escribeCampo(const QString& nombre, const QVariant& valor) override {
        m_documento.escribeCampo(nombre, valor);
    }
    bool tieneCampo(const QString& nombre) const override { return m_documento.tieneCampo(nombre); }
    void descarta(const QStringList& nombres) override { m_documento.descarta(nombres); }
    DocumentoMostrado muestra() override { return m_procesador.guarda(m_documento.paquete(), m_descripcion); }

private:
    ProcesadorOOXML& m_procesador;
    DocumentoOOXML m_documento;
    QString m_descripcion;
};

class AplicacionOOXML : public AplicacionDeTexto {
public:
    explicit AplicacionOOXML(ProcesadorOOXML& procesador) : m_procesador(procesador) {}

    std::unique_ptr<DocumentoDeTexto> nuevoDocumento(const QString& plantilla,
                                                     const QString& descripcion) override {
        const QString archivo = m_procesador.ubicaPlantilla(plantilla);
        return std::make_unique<DocumentoDeTextoOOXML>(m_procesador, m_procesador.plantilla(archivo),
                                                       QFileInfo(archivo).fileName(), descripcion);
    }

private:
    ProcesadorOOXML& m_procesador;
};

ProcesadorOOXML::ProcesadorOOXML(QStringList carpetasDePlantillas, QString carpetaDeDocumentos,
                                 VisorDeDocumentos& visor)
    : m_plantillas(std::move(carpetasDePlantillas)), m_documentos(std::move(carpetaDeDocumentos)),
      m_visor(visor) {}

std::unique_ptr<AplicacionDeTexto> ProcesadorOOXML::inicia() {
    if (m_documentos.isEmpty())
        throw noSeInicia(QStringLiteral("El sistema no encontró la carpeta de documentos del usuario."));
    if (!QDir().mkpath(m_documentos))
        throw noSeInicia(QStringLiteral("No se pudo crear la carpeta de documentos %1.")
                             .arg(QDir::toNativeSeparators(m_documentos)));
    QTemporaryFile prueba(QDir(m_documentos).filePath(QStringLiteral(".taloren-XXXXXX")));
    if (!prueba.open())
        throw noSeInicia(QStringLiteral("No se puede escribir en la carpeta de documentos %1: %2.")
                             .arg(QDir::toNativeSeparators(m_documentos), prueba.errorString()));
    return std::make_unique<AplicacionOOXML>(*this);
}

QString ProcesadorOOXML::ubicaPlantilla(const QString& nombre) const {
    const QString base = sinExtension(nombre);
    const QString dot = base + QStringLiteral(".dot");
    const QString dotx = base + QStringLiteral(".dotx");
    QStringList vistas;
    for (const QString& carpeta : m_plantillas) {
        const QDir dir(carpeta);
        // An office may keep its own template under the .dot name, saved as
        // an Office Open XML package; a binary .dot cannot be filled.
        if (QFileInfo(dir.filePath(dot)).isFile() && PaqueteOOXML::esPaquete(dir.filePath(dot)))
            return dir.filePath(dot);
        if (QFileInfo(dir.filePath(dotx)).isFile())
            return dir.filePath(dotx);
        vistas << QDir::toNativeSeparators(dir.absolutePath());
    }
    throw ErrorDeEjecucion(
        ErrorDeTextos::PlantillaInexistente,
        QStringLiteral("No se encontró la plantilla %1 (ni %2 como paquete Office Open XML) en: %3.")
            .arg(dotx, dot,
                 vistas.isEmpty() ? QStringLiteral("ninguna carpeta") : vistas.join(QStringLiteral("; "))),
        fuente);
}

PaqueteOOXML ProcesadorOOXML::plantilla(const QString& archivo) {
    const QFileInfo info(archivo);
    auto it = m_leidas.find(archivo);
    if (it == m_leidas.end() || it->modificada != info.lastModified() || it->tamano != info.size())
        it = m_leidas.insert(archivo, {info.lastModified(), info.size(), PaqueteOOXML::lee(archivo)});
    return it->paquete;
}

QString ProcesadorOOXML::nombreLibre(const QString& carpeta, const QString& descripcion, int& contador) {
    // Characters no desktop accepts in a file name become hyphens.
    QString base;
    for (const QChar c : descripcion)
        base += (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QLatin1Char('-') : c;
    base = base.simplified();
    if (base.size() > 150)
        base = base.left(150).trimmed();
    while (base.endsWith(QLatin1Char('.')))
        base.chop(1);
    if (base.isEmpty())
        base = QStringLiteral("Documento");
    const QDir dir(carpeta);
    for (;; ++contador) {
        const QString candidato = dir.filePath(QStringLiteral("%1 (%2).docx").arg(base).arg(contador));
        if (!QFileInfo::exists(candidato))
            return candidato;
    }
}

DocumentoMostrado ProcesadorOOXML::guarda(const PaqueteOOXML& paquete, const QString& descripcion) {
    const QDir dir(m_documentos);
    if (!dir.mkpath(QStringLiteral(".")))
        throw ErrorDeEjecucion(ErrorDeTextos::NoSeGuarda,
                               QStringLiteral("No se pudo crear la carpeta de documentos %1.")
                                   .arg(QDir::toNativeSeparators(m_documentos)),
                               fuente);
    // Written whole under a temporary name, then given its own: a failure
    // leaves no half-written document, and a rename never replaces a file.
    QTemporaryFile temporal(dir.filePath(QStringLiteral(".taloren-XXXXXX.docx")));
    if (!temporal.open())
        throw ErrorDeEjecucion(ErrorDeTextos::NoSeGuarda,
                               QStringLiteral("No se pudo guardar el documento en %1: %2.")
                                   .arg(QDir::toNativeSeparators(m_documentos), temporal.errorString()),
                               fuente);
    paquete.escribe(temporal, descripcion, {}, nivelDeCompresion);
    if (!temporal.flush() || temporal.error() != QFileDevice::NoError)
        throw ErrorDeEjecucion(ErrorDeTextos::NoSeGuarda,
                               QStringLiteral("No se pudo guardar el documento en %1: %2.")
                                   .arg(QDir::toNativeSeparators(m_documentos), temporal.errorString()),
                               fuente);
    temporal.close();
    QString archivo;
    for (int contador = 1;; ++contador) {
        archivo = nombreLibre(m_documentos, descripcion, contador);
        if (temporal.rename(archivo))
            break;
        // Another document took the name in between: the next one.
        if (!QFileInfo::exists(archivo))
            throw ErrorDeEjecucion(ErrorDeTextos::NoSeGuarda,
                                   QStringLiteral("No se pudo guardar el documento %1: %2.")
                                       .arg(QDir::toNativeSeparators(archivo), temporal.errorString()),
                                   fuente);
    }
    temporal.setAutoRemove(false);
    return {archivo, m_visor.abre(archivo)};
}

QStringList ProcesadorOOXML::carpetasDeDatosDelPrograma() {
    return CarpetaDeDatos::carpetas();
}

QString ProcesadorOOXML::carpetaDeDocumentosDelUsuario() {
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documentos.isEmpty())
        return {};
    return QDir(documentos).filePath(QStringLiteral("TALOREN"));
}
