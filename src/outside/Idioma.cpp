#include "outside/Idioma.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <cstdio>

namespace Idioma {

void PreparaEspanol(const char* programa) {
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));

    static QTranslator qtbase;
    const QString carpeta = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtbase.load(QStringLiteral("qtbase_es"), carpeta))
        QCoreApplication::installTranslator(&qtbase);
    else
        std::fprintf(stderr,
                     "%s: no se encontraron las traducciones de Qt al español en %s "
                     "(paquete qt6-translations-l10n); los textos propios de Qt se verán en inglés.\n",
                     programa, qPrintable(carpeta));

    // The driver's own messages (a server that cannot be reached, say) come in
    // the language of LC_MESSAGES.
    for (const char* local : {"es_MX.UTF-8", "es_ES.UTF-8", "es_MX.utf8", "es_ES.utf8"})
        if (std::setlocale(LC_MESSAGES, local))
            return;
}

} // namespace Idioma
