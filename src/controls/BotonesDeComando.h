#pragma once

#include <QStyle>
#include <QWidget>

class QToolButton;

// One look for the forms' recurring commands: a 53 x 53 px square holding a picture button of the same
// size, icon above the caption. The inner button's objectName is the control's class name; the outer
// widget starts with that name too, and a form renames it to its instance name (a login window places a
// CmdAceptar called "CmdIngreso"). Forms react to Click, never to the inner button's signals, so they
// don't depend on how the button is drawn.
class BotonDeComando : public QWidget {
    Q_OBJECT
public:
    // The caption carries its access key with '&'; Alt plus that letter clicks the button.
    BotonDeComando(const QString& nombre, const QString& leyenda, const QString& ayuda, bool comicSans,
                   QStyle::StandardPixmap icono, QWidget* parent = nullptr);

    QToolButton* boton() const { return m_boton; }
    // Clicks the inner button, as the user would: nothing happens while it is disabled.
    void click();

Q_SIGNALS:
    void Click();

private:
    QToolButton* m_boton;
};

// The commands a form greys out while they make no sense (nothing to save, nothing to print).
// Enabled reads and writes the inner button's state; every write raises PropertyChanged("Enabled").
class BotonConEnabled : public BotonDeComando {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE estableceEnabled NOTIFY PropertyChanged)
public:
    using BotonDeComando::BotonDeComando;

    bool Enabled() const;
    void estableceEnabled(bool habilitado);

Q_SIGNALS:
    void PropertyChanged(const QString& nombre);
};

class CmdGuardar : public BotonConEnabled {
    Q_OBJECT
public:
    explicit CmdGuardar(QWidget* parent = nullptr);
};

class CmdImprimir : public BotonConEnabled {
    Q_OBJECT
public:
    explicit CmdImprimir(QWidget* parent = nullptr);
};

class CmdAceptar : public BotonConEnabled {
    Q_OBJECT
public:
    explicit CmdAceptar(QWidget* parent = nullptr);
};

class CmdLimpiar : public BotonDeComando {
    Q_OBJECT
public:
    explicit CmdLimpiar(QWidget* parent = nullptr);
};

// Lower-case initial as the forms have always named it.
class cmdEliminar : public BotonDeComando {
    Q_OBJECT
public:
    explicit cmdEliminar(QWidget* parent = nullptr);
};

class CmdCerrar : public BotonDeComando {
    Q_OBJECT
public:
    explicit CmdCerrar(QWidget* parent = nullptr);
};

class CmdCancelar : public BotonDeComando {
    Q_OBJECT
public:
    explicit CmdCancelar(QWidget* parent = nullptr);
};
