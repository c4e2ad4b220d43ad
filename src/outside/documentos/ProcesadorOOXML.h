#pragma once

#include "outside/documentos/PaqueteOOXML.h"
#include "outside/documentos/ProcesadorDeTextos.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

// The program's word processor: fills an Office Open XML template of the
// data folder, saves the result as a .docx in the user's documents folder
// and hands it to the viewer. Word and LibreOffice both open it.
class ProcesadorOOXML : public ProcesadorDeTextos {
public:
    // `carpetasDePlantillas` are looked in, in order; `carpetaDeDocumentos` is
    // created when missing.
    ProcesadorOOXML(QStringList carpetasDePlantillas, QString carpetaDeDocumentos, VisorDeDocumentos& visor);

    std::unique_ptr<AplicacionDeTexto> inicia() override;

    // The file a template name stands for: the name with the Office Open XML
    // template extension ("plantilla.dotx" for "plantilla.dot"), or the name
    // given when that file is itself such a package. Throws PlantillaInexistente
    // naming the template and the folders looked in.
    QString ubicaPlantilla(const QString& nombre) const;

    // Where the program looks for its data: data/ next to the executable (a
    // build tree), then share/taloren of the installation.
    static QStringList carpetasDeDatosDelPrograma();
    // The TALOREN folder in the user's documents folder.
    static QString carpetaDeDocumentosDelUsuario();
    // A name for a saved document that no file of `carpeta` has yet:
    // "<descripción> (n).docx", the description made safe for a file name and
    // n the first free number from `contador` on (left in `contador`).
    static QString nombreLibre(const QString& carpeta, const QString& descripcion, int& contador);

    const QString& carpetaDeDocumentos() const { return m_documentos; }

private:
    friend class AplicacionOOXML;
    friend class DocumentoDeTextoOOXML;

    // The template's package, read once while the file stays the same.
    PaqueteOOXML plantilla(const QString& archivo);
    DocumentoMostrado guarda(const PaqueteOOXML& paquete, const QString& descripcion);

    struct EnMemoria {
        QDateTime modificada;
        qint64 tamano = -1;
        PaqueteOOXML paquete;
    };

    QStringList m_plantillas;
    QString m_documentos;
    VisorDeDocumentos& m_visor;
    QHash<QString, EnMemoria> m_leidas;
};
