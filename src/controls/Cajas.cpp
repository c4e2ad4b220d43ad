#include "controls/Cajas.h"

#include "outside/Texto.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace {
const char* const propiedadDelLimite = "limiteEnCaracteres";
}

ValidadorDeTexto::ValidadorDeTexto(int maximo, QObject* parent) : QValidator(parent), m_maximo(maximo) {}

QValidator::State ValidadorDeTexto::validate(QString& texto, int& posicion) const {
    qsizetype cursor = posicion;
    const QString queda = Texto::sinSobrantes(texto, cursor, m_maximo, false);
    if (queda.size() != texto.size()) {
        texto = queda;
        posicion = int(cursor);
    }
    return Acceptable;
}

namespace Cajas {

void limita(QLineEdit* caja, int maximo) {
    // The box's own limit counts UTF-16 halves: the validator counts and
    // cuts instead, so a long paste reaches it whole enough to keep its beginning.
    caja->setMaxLength(32767);
    caja->setValidator(new ValidadorDeTexto(maximo, caja));
    caja->setProperty(propiedadDelLimite, maximo);
}

void limita(QComboBox* lista, int maximo) {
    if (!lista->lineEdit())
        qFatal("Cajas::limita: la lista %s no es editable", qPrintable(lista->objectName()));
    lista->setValidator(new ValidadorDeTexto(maximo, lista));
    lista->lineEdit()->setMaxLength(32767);
    lista->setProperty(propiedadDelLimite, maximo);
    lista->lineEdit()->setProperty(propiedadDelLimite, maximo);
}

void limita(QPlainTextEdit* caja, int maximo) {
    caja->setProperty(propiedadDelLimite, maximo);
    QObject::connect(caja, &QPlainTextEdit::textChanged, caja, [caja, maximo, recortando = false]() mutable {
        if (recortando)
            return;
        const QString texto = caja->toPlainText();
        QTextCursor cursor = caja->textCursor();
        const QList<Texto::Tramo> tramos = Texto::sobrantes(texto, cursor.position(), maximo, true);
        if (tramos.isEmpty())
            return;
        // Taken out from the end, so that the positions before stay valid;
        // one step for undo.
        recortando = true;
        cursor.beginEditBlock();
        for (auto t = tramos.crbegin(); t != tramos.crend(); ++t) {
            cursor.setPosition(int(t->inicio));
            cursor.setPosition(int(t->inicio + t->largo), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        cursor.endEditBlock();
        recortando = false;
    });
}

int limiteDe(const QObject* caja) {
    const QVariant v = caja->property(propiedadDelLimite);
    return v.isValid() ? v.toInt() : sinLimite;
}

} // namespace Cajas
