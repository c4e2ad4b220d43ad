#include "AjustesDeConexion.h"
#include "Emblema.h"
#include "Modulo.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("taloren"));
    QApplication::setWindowIcon(IconoDelPrograma());
    // The office reads dates day/month/year, in Spanish.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));

    int resultado = 0;
    if (Modulo::Main(AjustesDeConexion::lee(AjustesDeConexion::archivoPorDefecto())) &&
        !Modulo::ProgramaTerminado())
        resultado = QApplication::exec();
    Modulo::DestruyeMdi();
    Modulo::CierraConexiones();
    return resultado;
}
