#pragma once

#include <QFlags>
#include <QString>

class QWidget;

// Every message box of the program goes through here, so that the person at
// the keyboard can be scripted in tests.
class CajaDeMensajes {
public:
    enum class Icono { Ninguno, Critico, Pregunta, Exclamacion, Informacion };
    enum Boton { Ninguno = 0x0, Aceptar = 0x1, Cancelar = 0x2, Si = 0x4, No = 0x8 };
    Q_DECLARE_FLAGS(Botones, Boton)

    struct Caja {
        Icono icono = Icono::Ninguno;
        QString titulo;
        QString texto;
        Botones botones = Aceptar;
        Boton porDefecto = Ninguno; // Ninguno: the first button
        Boton escape = Ninguno;     // what Escape and the close box answer; Ninguno: the toolkit's rule
    };

    virtual ~CajaDeMensajes() = default;
    // Shows the box modally and returns the button that closed it.
    virtual Boton muestra(const Caja& caja) = 0;

    // The program-wide instance; QMessageBox unless a test put its own.
    static CajaDeMensajes& actual();
    // Takes no ownership; nullptr restores the QMessageBox one.
    static void establece(CajaDeMensajes* caja);
};
Q_DECLARE_OPERATORS_FOR_FLAGS(CajaDeMensajes::Botones)

class CajaDeMensajesQt : public CajaDeMensajes {
public:
    Boton muestra(const Caja& caja) override;
};
