#include "common/Aplicacion.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "outside/ErrorDeEjecucion.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstdio>

AplicacionTaloren::AplicacionTaloren(int& argc, char** argv) : QApplication(argc, argv) {}

bool AplicacionTaloren::notify(QObject* receptor, QEvent* evento) {
    try {
        return QApplication::notify(receptor, evento);
    } catch (...) {
        const ErrorDeEjecucion error = ErrorDeEjecucion::actual();
        try {
            Modulo::ReportaError(error, Modulo::FormaDeReporte::CajaConDescripcion);
        } catch (...) {
            std::fprintf(stderr, "TALOREN: %s\n", error.what());
        }
        return false;
    }
}

void AplicacionTaloren::PreparaIdioma() {
    // The office reads dates day/month/year, in Spanish.
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));

    static QTranslator qtbase;
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtbase.load(QStringLiteral("qtbase_es"), carpeta))
        QCoreApplication::installTranslator(&qtbase);
    else
        std::fprintf(stderr,
                     "TALOREN: no se encontraron las traducciones de Qt al español en %s "
                     "(paquete qt6-translations-l10n); los textos propios de Qt se verán en inglés.\n",
                     qPrintable(carpeta));

    // The driver's own messages (a server that cannot be reached, say) come in
    // the language of LC_MESSAGES.
    for (const char* local : {"es_MX.UTF-8", "es_ES.UTF-8", "es_MX.utf8", "es_ES.utf8"})
        if (std::setlocale(LC_MESSAGES, local))
            return;
}
