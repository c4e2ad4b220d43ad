#include "controls/TextoMultilinea.h"

#include <QTextCursor>
#include <QTextDocument>

TextoMultilinea::TextoMultilinea(int maximo, QWidget* parent) : QPlainTextEdit(parent), m_maximo(maximo) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Where the last change put its characters; the excess is taken from
    // them once the document has finished changing.
    connect(document(), &QTextDocument::contentsChange, this, [this](int posicion, int, int agregados) {
        m_posicion = posicion;
        m_agregados = agregados;
    });
    connect(this, &QPlainTextEdit::textChanged, this, &TextoMultilinea::recorta);
}

void TextoMultilinea::setText(const QString& texto) {
    setPlainText(texto);
}

void TextoMultilinea::recorta() {
    // The document counts one character more than its text: the last paragraph's end.
    const int largo = document()->characterCount() - 1;
    const int sobra = largo - m_maximo;
    if (m_recortando || sobra <= 0)
        return;
    m_recortando = true;
    const int fin = std::clamp(m_posicion + m_agregados, sobra, largo);
    QTextCursor cursor(document());
    cursor.setPosition(fin - sobra);
    cursor.setPosition(fin, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_recortando = false;
}
