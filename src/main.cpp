#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/Modulo.h"
#include "controls/Emblema.h"
#include "startup/Inicio.h"

int main(int argc, char* argv[]) {
    AplicacionTaloren app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("taloren"));
    QApplication::setWindowIcon(IconoDelPrograma());
    AplicacionTaloren::PreparaIdioma();
    CajaDeMensajesQt cajas;
    const CajaDeMensajes::Sustituto enUso(cajas);

    int resultado = 0;
    if (Modulo::Main(AjustesDeConexion::archivoPorDefecto()) && !Modulo::ProgramaTerminado())
        resultado = QApplication::exec();
    Modulo::DestruyeMdi();
    Modulo::CierraConexiones();
    return resultado;
}
