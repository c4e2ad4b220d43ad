#pragma once

#include <QPlainTextEdit>

// A text box of several lines with a vertical scroll bar and a maximum
// length, as the forms' long texts are. Typing or pasting past the maximum
// keeps only what fits, as a one-line box does; Tab moves on to the next
// control instead of entering a tab.
class TextoMultilinea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextoMultilinea(int maximo, QWidget* parent = nullptr);

    int maxLength() const { return m_maximo; }
    QString text() const { return toPlainText(); }
    void setText(const QString& texto);

private:
    void recorta();

    int m_maximo;
    bool m_recortando = false;
};
