#pragma once

#include <QValidator>

// A text box of one line that takes at most `maximo` characters, counted as a
// reader counts them (a character of two UTF-16 halves is one, and is never
// cut in two), and no control character: what would not fit, or a pasted
// NUL or line break, is refused whole.
class ValidadorDeTexto : public QValidator {
    Q_OBJECT
public:
    ValidadorDeTexto(int maximo, QObject* parent = nullptr);
    State validate(QString& texto, int& posicion) const override;

private:
    int m_maximo;
};
