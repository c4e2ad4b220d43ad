#include "invitations/Piezas.h"

#include "controls/CajaDeFecha.h"
#include "controls/Cajas.h"
#include "controls/TextoMultilinea.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

namespace Piezas {

namespace {
template <typename T> T* nombra(T* control, const char* nombre, const QRect& lugar) {
    if (nombre)
        control->setObjectName(QString::fromUtf8(nombre));
    control->setGeometry(lugar);
    return control;
}
} // namespace

QLabel* rotulo(QWidget* padre, const char* texto, const QRect& lugar, const char* nombre) {
    auto* l = nombra(new QLabel(QString::fromUtf8(texto), padre), nombre, lugar);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QLabel* dato(QWidget* padre, const char* nombre, const QRect& lugar) {
    auto* l = nombra(new QLabel(padre), nombre, lugar);
    // What it shows comes from the server or the data: text, never markup.
    l->setTextFormat(Qt::PlainText);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QGroupBox* marco(QWidget* padre, const char* nombre, const char* titulo, const QRect& lugar) {
    return nombra(new QGroupBox(QString::fromUtf8(titulo), padre), nombre, lugar);
}

QRadioButton* opcion(QWidget* padre, const char* nombre, const char* texto, const QRect& lugar) {
    return nombra(new QRadioButton(QString::fromUtf8(texto), padre), nombre, lugar);
}

QLineEdit* texto(QWidget* padre, const char* nombre, int maximo, const QRect& lugar) {
    auto* t = nombra(new QLineEdit(padre), nombre, lugar);
    Cajas::limita(t, maximo);
    return t;
}

TextoMultilinea* textoLargo(QWidget* padre, const char* nombre, int maximo, const QRect& lugar) {
    return nombra(new TextoMultilinea(maximo, padre), nombre, lugar);
}

QDateEdit* fecha(QWidget* padre, const char* nombre, const QRect& lugar) {
    auto* d = nombra(new CajaDeFecha(padre), nombre, lugar);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return d;
}

QComboBox* lista(QWidget* padre, const char* nombre, const QRect& lugar) {
    auto* c = nombra(new QComboBox(padre), nombre, lugar);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return c;
}

void agregaSinSeleccionar(QComboBox* lista, const QStringList& entradas) {
    const bool sinSeleccion = lista->currentIndex() == -1;
    // Filling is no choice of the user's: the list's Click does not fire.
    const QSignalBlocker bloqueo(lista);
    lista->addItems(entradas);
    if (sinSeleccion)
        lista->setCurrentIndex(-1);
}

} // namespace Piezas
