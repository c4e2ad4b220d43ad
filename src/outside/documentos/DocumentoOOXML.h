#pragma once

#include "outside/documentos/PaqueteOOXML.h"

#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

// A WordprocessingML document made from a template package, whose legacy
// text form fields (FORMTEXT, named in w:ffData/w:name) are written by name,
// in the body, the headers and the footers. Writing a field keeps the
// formatting of its first result run, puts the value there and drops the
// other result runs; nothing else of the document changes.
class DocumentoOOXML {
public:
    // Throws PlantillaIlegible when the package has no main document part or
    // one that is not XML. `nombre` names the template in messages.
    DocumentoOOXML(PaqueteOOXML plantilla, QString nombre);
    ~DocumentoOOXML();
    DocumentoOOXML(const DocumentoOOXML&) = delete;
    DocumentoOOXML& operator=(const DocumentoOOXML&) = delete;

    // Field names are compared without regard to case: templates written by
    // hand name them either way. Throws CampoInexistente naming the field and
    // the template.
    void escribeCampo(const QString& campo, const QVariant& valor);
    bool tieneCampo(const QString& campo) const;
    // Leaves these fields out of the document, so that a template made for
    // more records than a document holds shows no empty ones: a table row
    // whose fields are all among them goes whole (unless it is its table's
    // last), and so does a paragraph outside tables when a paragraph follows
    // it; a field that cannot go is written empty. Names the template lacks
    // are passed over.
    void descarta(const QStringList& campos);
    // The names of the template's text fields, in the order they appear.
    QStringList campos() const;

    // The package of a document (no longer a template) with the fields as written.
    PaqueteOOXML paquete() const;

    // The text a value becomes in a field: text as it is, dates by `formato`
    // (the field's own date format, the word processor's pictures) or day/month/year.
    static QString textoDelValor(const QVariant& valor, const QString& formato);

private:
    struct Parte;
    struct Campo;

    PaqueteOOXML m_paquete;
    QString m_nombre;
    QString m_partePrincipal;
    std::vector<std::unique_ptr<Parte>> m_partes;
    std::vector<std::unique_ptr<Campo>> m_campos;
    QMultiHash<QString, Campo*> m_porNombre;
};
