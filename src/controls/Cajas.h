#pragma once

#include <QValidator>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// Every text box takes only what a catalog can store: no control character
// (a multi-line box keeps its line breaks and tabs) and no half character,
// and at most its limit of characters counted as the server counts them
// (code points). What is typed or pasted past the limit is cut at the last
// whole character a reader sees (an accented letter, an emoji with its
// modifiers), keeping the beginning of a paste; the rest of a paste stays.
namespace Cajas {
constexpr int sinLimite = -1;

void limita(QLineEdit* caja, int maximo = sinLimite);
// An editable list's box.
void limita(QComboBox* lista, int maximo = sinLimite);
void limita(QPlainTextEdit* caja, int maximo = sinLimite);
// The limit a box was given; sinLimite for none.
int limiteDe(const QObject* caja);
} // namespace Cajas

// The rule for one-line boxes, which QLineEdit applies to every change.
class ValidadorDeTexto : public QValidator {
    Q_OBJECT
public:
    explicit ValidadorDeTexto(int maximo, QObject* parent = nullptr);
    State validate(QString& texto, int& posicion) const override;
    int maximo() const { return m_maximo; }

private:
    int m_maximo;
};
