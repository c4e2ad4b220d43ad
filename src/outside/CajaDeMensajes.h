#pragma once

#include <QFlags>
#include <QString>

// Every message box of the program goes through here, so that the person at
// the keyboard can be scripted in tests. The program puts its QMessageBox
// implementation in place at start; texts are always shown as plain text.
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

    // The instance in place; throws when none was put (a program that would
    // otherwise answer its questions silently).
    static CajaDeMensajes& actual();

    // Puts a box in place while it lives and the previous one back after.
    class Sustituto {
    public:
        explicit Sustituto(CajaDeMensajes& caja);
        ~Sustituto();
        Sustituto(const Sustituto&) = delete;
        Sustituto& operator=(const Sustituto&) = delete;

    private:
        CajaDeMensajes* m_anterior;
    };
};
Q_DECLARE_OPERATORS_FOR_FLAGS(CajaDeMensajes::Botones)
