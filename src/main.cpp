#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/Documentos.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/Emblema.h"
#include "outside/documentos/ProcesadorOOXML.h"
#include "startup/Inicio.h"

int main(int argc, char* argv[]) {
    AplicacionTaloren app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("taloren"));
    QApplication::setWindowIcon(IconoDelPrograma());
    AplicacionTaloren::PreparaIdioma();
    CajaDeMensajesQt cajas;
    const CajaDeMensajes::Sustituto enUso(cajas);
    // Documents are filled from the templates of the data folder and opened
    // with the desktop's word processor.
    VisorDelEscritorio escritorio;
    ProcesadorOOXML word(ProcesadorOOXML::carpetasDeDatosDelPrograma(),
                         ProcesadorOOXML::carpetaDeDocumentosDelUsuario(), escritorio);
    const ProcesadorDeTextos::Sustituto conWord(word);

    // The work windows' sizes, remembered beside the settings (never in them).
    const QString ajustes = AjustesDeConexion::archivoPorDefecto();
    Modulo::EstableceArchivoDeVentanas(Modulo::ArchivoDeVentanasJuntoA(ajustes));
    int resultado = 0;
    if (Modulo::Main(ajustes) && !Modulo::ProgramaTerminado())
        resultado = QApplication::exec();
    Modulo::DestruyeMdi();
    Modulo::CierraConexiones();
    return resultado;
}
