#include "controls/TextoMultilinea.h"

#include <QTextCursor>
#include <QTextDocument>

TextoMultilinea::TextoMultilinea(int maximo, QWidget* parent) : QPlainTextEdit(parent), m_maximo(maximo) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(this, &QPlainTextEdit::textChanged, this, &TextoMultilinea::recorta);
}

void TextoMultilinea::setText(const QString& texto) {
    setPlainText(texto.left(m_maximo));
}

void TextoMultilinea::recorta() {
    // The document counts one character more than its text: the last paragraph's end.
    const int largo = document()->characterCount() - 1;
    const int sobra = largo - m_maximo;
    if (m_recortando || sobra <= 0)
        return;
    // What was typed or pasted ends where the cursor stands: its last
    // characters are the ones that do not fit.
    m_recortando = true;
    QTextCursor cursor = textCursor();
    const int fin = std::max(int(cursor.position()), sobra);
    cursor.setPosition(fin - sobra);
    cursor.setPosition(fin, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_recortando = false;
}
