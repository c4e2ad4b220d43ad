#pragma once

#include <QPlainTextEdit>

// A text box of several lines with a vertical scroll bar and a maximum
// length, as the forms' long texts are, taking what every box takes (Cajas);
// Tab moves on to the next control instead of entering a tab.
class TextoMultilinea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TextoMultilinea(int maximo, QWidget* parent = nullptr);

    int maxLength() const { return m_maximo; }
    QString text() const { return toPlainText(); }
    void setText(const QString& texto);

private:
    int m_maximo;
};
