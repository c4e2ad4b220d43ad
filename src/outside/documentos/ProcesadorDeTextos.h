#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

// The word processor as the office documents and the query sheets use it:
// start, a new document from a template, a named form field written at a
// time, and the finished document put before the user, who prints or keeps
// it from there. The program never prints or closes a document itself.

// Error numbers of the word processor, positive like every error of the
// program's own, as the office's error reports know them.
namespace ErrorDeTextos {
// The word processor cannot be started (the documents folder cannot be written, say).
inline constexpr int NoSeInicia = 429;
// The template is not in the program's data folder.
inline constexpr int PlantillaInexistente = 5174;
// The template is not a word-processing package the program can fill.
inline constexpr int PlantillaIlegible = 5151;
// The template has no form field of that name, or it is not a text field.
inline constexpr int CampoInexistente = 5941;
// The finished document could not be saved.
inline constexpr int NoSeGuarda = 75;
} // namespace ErrorDeTextos

// Where a finished document went: the file it was saved to, and whether a
// program of the desktop took it to show.
struct DocumentoMostrado {
    QString archivo;
    bool abierto = false;
};

// One document being filled. Nothing is written to disk until it is shown,
// so a document given up half-way leaves nothing behind.
class DocumentoDeTexto {
public:
    virtual ~DocumentoDeTexto() = default;
    // FormFields(nombre).Result = valor. Text goes as it is; a QDate or
    // QDateTime as the field's own date format says, or day/month/year.
    // Throws ErrorDeEjecucion (CampoInexistente) naming the field.
    virtual void escribeCampo(const QString& nombre, const QVariant& valor) = 0;
    // Whether the template has a form field of that name: an office's own
    // template may lack one the program's has.
    virtual bool tieneCampo(const QString& nombre) const = 0;
    // Leaves these fields out, with the table rows or paragraphs that hold
    // nothing else, so that unused records leave no empty rows.
    virtual void descarta(const QStringList& nombres) = 0;
    // Saves the document under a lasting name of its own and opens it with
    // the desktop's word processor.
    virtual DocumentoMostrado muestra() = 0;
};

// The started word processor: one for each document.
class AplicacionDeTexto {
public:
    virtual ~AplicacionDeTexto() = default;
    // Documents.Add(plantilla): `plantilla` is a file name of the program's
    // data folder; `descripcion` says what the document is ("Oficio del
    // Secretario, folio 12 de 2008") and names the saved file.
    // Throws ErrorDeEjecucion (PlantillaInexistente, PlantillaIlegible).
    virtual std::unique_ptr<DocumentoDeTexto> nuevoDocumento(const QString& plantilla,
                                                             const QString& descripcion) = 0;
};

class ProcesadorDeTextos {
public:
    virtual ~ProcesadorDeTextos() = default;
    // Throws ErrorDeEjecucion (NoSeInicia) with the reason.
    virtual std::unique_ptr<AplicacionDeTexto> inicia() = 0;

    // The instance in place; throws when none was put.
    static ProcesadorDeTextos& actual();

    // Puts a word processor in place while it lives and the previous one back after.
    class Sustituto {
    public:
        explicit Sustituto(ProcesadorDeTextos& procesador);
        ~Sustituto();
        Sustituto(const Sustituto&) = delete;
        Sustituto& operator=(const Sustituto&) = delete;

    private:
        ProcesadorDeTextos* m_anterior;
    };
};

// Opens a saved document with whatever the desktop offers for it. The
// program's one lives with the windows (it needs Qt Gui); tests put their own.
class VisorDeDocumentos {
public:
    virtual ~VisorDeDocumentos() = default;
    // False when nothing could open it.
    virtual bool abre(const QString& archivo) = 0;
};
