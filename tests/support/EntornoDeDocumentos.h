#pragma once

#include "outside/documentos/ProcesadorDeTextos.h"
#include "outside/documentos/ProcesadorOOXML.h"

#include <QHash>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

// The desktop, scripted: records every document it is asked to open and
// answers as the test says.
class VisorGuionado : public VisorDeDocumentos {
public:
    bool abre(const QString& archivo) override {
        abiertos << archivo;
        if (alAbrir)
            alAbrir(archivo);
        return puedeAbrir;
    }

    QStringList abiertos;
    bool puedeAbrir = true;
    std::function<void(const QString&)> alAbrir;
};

// Every call to the word processor, in order, passed on to the real one:
// "inicia", "nuevo <template>", "<field>=<value>", "descarta <fields>", "muestra <file saved>".
class ProcesadorQueAnota : public ProcesadorDeTextos {
public:
    explicit ProcesadorQueAnota(ProcesadorDeTextos& real) : m_real(real) {}
    std::unique_ptr<AplicacionDeTexto> inicia() override;

    QStringList operaciones;

private:
    ProcesadorDeTextos& m_real;
};

// The program's word processor over the templates of the build, saving into
// a temporary documents folder, with the desktop scripted; in place while it lives.
class EntornoDeDocumentos {
    // First: the processor below saves into it.
    QTemporaryDir m_documentos;

public:
    EntornoDeDocumentos();

    // The templates the build made.
    static QString carpetaDePlantillas();
    QString carpetaDeDocumentos() const {
        return m_documentos.filePath(QStringLiteral("Documentos/TALOREN"));
    }
    // The documents saved so far, by name.
    QStringList guardados() const;

    VisorGuionado visor;
    ProcesadorOOXML real;
    ProcesadorQueAnota anotador;

private:
    ProcesadorDeTextos::Sustituto m_enUso;
};

// A saved .docx read back with its own parser: each form field's result and
// the text outside the fields, as Word would show them.
struct LecturaDeDocx {
    explicit LecturaDeDocx(const QString& archivo);

    QHash<QString, QString> resultados; // by field name
    QString fuera;                      // text outside form-field results, paragraphs joined by '\n'
    bool valido = false;                // a zip whose every story is well-formed XML
};

// The same reading of a template's package, before filling.
LecturaDeDocx leePlantilla(const QString& nombre);
