#include "common/CajaDeMensajesQt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
QMessageBox::StandardButton estandar(CajaDeMensajes::Boton b) {
    switch (b) {
    case CajaDeMensajes::Aceptar:
        return QMessageBox::Ok;
    case CajaDeMensajes::Cancelar:
        return QMessageBox::Cancel;
    case CajaDeMensajes::Si:
        return QMessageBox::Yes;
    case CajaDeMensajes::No:
        return QMessageBox::No;
    case CajaDeMensajes::Ninguno:
        break;
    }
    return QMessageBox::NoButton;
}
} // namespace

CajaDeMensajes::Boton CajaDeMensajesQt::muestra(const Caja& caja) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caja.titulo);
    box.setTextFormat(Qt::PlainText);
    // Messages break lines with carriage returns alone.
    QString texto = caja.texto;
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(texto);
    switch (caja.icono) {
    case Icono::Ninguno:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icono::Critico:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icono::Pregunta:
        box.setIcon(QMessageBox::Question);
        break;
    case Icono::Exclamacion:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icono::Informacion:
        box.setIcon(QMessageBox::Information);
        break;
    }
    const struct {
        Boton boton;
        const char* texto;
    } orden[] = {{Si, "&Sí"}, {No, "&No"}, {Aceptar, "Aceptar"}, {Cancelar, "Cancelar"}};
    for (const auto& b : orden) {
        if (!(caja.botones & b.boton))
            continue;
        QPushButton* boton = box.addButton(estandar(b.boton));
        boton->setText(QString::fromUtf8(b.texto));
    }
    if (caja.porDefecto != Ninguno)
        box.setDefaultButton(estandar(caja.porDefecto));
    if (caja.escape != Ninguno)
        box.setEscapeButton(estandar(caja.escape));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return Aceptar;
    case QMessageBox::Cancel:
        return Cancelar;
    case QMessageBox::Yes:
        return Si;
    case QMessageBox::No:
        return No;
    default:
        return caja.escape;
    }
}
