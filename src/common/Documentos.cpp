#include "common/Documentos.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "outside/CajaDeMensajes.h"
#include "outside/ErrorDeEjecucion.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

bool VisorDelEscritorio::abre(const QString& archivo) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(archivo));
}

namespace Documentos {

std::unique_ptr<AplicacionDeTexto> IniciaProcesador() {
    try {
        return ProcesadorDeTextos::actual().inicia();
    } catch (...) {
        AvisaQueNoSeInicia(ErrorDeEjecucion::actual());
        return nullptr;
    }
}

void AvisaQueNoSeInicia(const ErrorDeEjecucion& error) {
    // The office's words first; then why, so that it can be mended.
    Modulo::Avisa(
        {CajaDeMensajes::Icono::Ninguno,
         {},
         QStringLiteral("Error en la aplicación de Word") + Modulo::DobleSalto + error.descripcion(),
         CajaDeMensajes::Aceptar,
         CajaDeMensajes::Aceptar,
         CajaDeMensajes::Aceptar});
}

void AvisaSinAbrir(const QStringList& archivos) {
    if (archivos.isEmpty())
        return;
    QStringList nativos;
    for (const QString& a : archivos)
        nativos << QDir::toNativeSeparators(a);
    const QString texto =
        (archivos.size() == 1
             ? QStringLiteral("No se encontró un programa que abra el documento. Quedó guardado en:")
             : QStringLiteral("No se encontró un programa que abra los documentos. Quedaron guardados en:")) +
        Modulo::DobleSalto + nativos.join(Modulo::Salto);
    Modulo::Avisa({CajaDeMensajes::Icono::Informacion,
                   {},
                   texto,
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar});
}

} // namespace Documentos
