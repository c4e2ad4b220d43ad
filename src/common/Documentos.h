#pragma once

#include "outside/documentos/ProcesadorDeTextos.h"

#include <QStringList>
#include <memory>

class ErrorDeEjecucion;

// The windows' side of the word processor: opening a saved document with the
// desktop, and the messages every printing window gives about documents.
class VisorDelEscritorio : public VisorDeDocumentos {
public:
    // Hands the file to the desktop's program for its type.
    bool abre(const QString& archivo) override;
};

namespace Documentos {

// Starts the word processor in place. When it cannot start, tells the user
// "Error en la aplicación de Word" with the reason and returns null: no
// document is to be made.
std::unique_ptr<AplicacionDeTexto> IniciaProcesador();
// That message, for a start that failed with `error`.
void AvisaQueNoSeInicia(const ErrorDeEjecucion& error);

// Tells the user where the documents went that nothing on the desktop could open.
void AvisaSinAbrir(const QStringList& archivos);

} // namespace Documentos
