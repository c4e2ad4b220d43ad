#pragma once

#include <QApplication>

// The program's application object. Every event handler traps its own
// errors; should one escape all the same, it is reported here and the window
// stays usable, instead of reaching Qt's event loop and ending the program.
class AplicacionTaloren : public QApplication {
    Q_OBJECT
public:
    AplicacionTaloren(int& argc, char** argv);
    bool notify(QObject* receptor, QEvent* evento) override;

    // Spanish everywhere: the office's locale for dates, Qt's own texts
    // (standard buttons, context menus, print dialogs) and, where the system
    // has them, the database driver's messages. Says on standard error what
    // it could not find.
    static void PreparaIdioma();
};
