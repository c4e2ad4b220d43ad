#include "controls/AutoCompletado.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

void Controles::AutoCompletaCombo(QComboBox* combo, bool& borrando) {
    QLineEdit* edicion = combo->lineEdit();
    if (!edicion)
        return;
    const QString escrito = edicion->text();
    if (escrito.isEmpty() || borrando) {
        borrando = false;
        return;
    }
    for (int i = 0; i < combo->count(); ++i) {
        const QString entrada = combo->itemText(i);
        if (!entrada.startsWith(escrito, Qt::CaseInsensitive))
            continue;
        const int posicion = edicion->cursorPosition();
        {
            // The completed text is no new typing: it must not complete again.
            const QSignalBlocker bloqueo(edicion);
            edicion->setText(entrada);
        }
        edicion->setSelection(posicion, int(entrada.size()) - posicion);
        return;
    }
}
