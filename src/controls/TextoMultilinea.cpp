#include "controls/TextoMultilinea.h"

#include "controls/Cajas.h"

TextoMultilinea::TextoMultilinea(int maximo, QWidget* parent) : QPlainTextEdit(parent), m_maximo(maximo) {
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Cajas::limita(this, maximo);
}

void TextoMultilinea::setText(const QString& texto) {
    setPlainText(texto);
}
