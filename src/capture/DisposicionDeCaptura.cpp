#include "capture/frmCaptura.h"

#include "common/VentanasDeTrabajo.h"
#include "controls/CajaDeFecha.h"
#include "controls/Cajas.h"
#include "controls/TextoEntero.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QToolButton>

// The capture window's form: its widgets, their names, captions and places,
// and the order Tab follows. What they do is in frmCaptura.cpp.

namespace {

// Digit places that may stay blank, so a number can be stored unfinished.
const QString mascaraDeTelefono = QStringLiteral("000-0000000;_");
const QString mascaraDeHora = QStringLiteral("00:00;_");

QLabel* etiqueta(const QString& texto, QWidget* padre) {
    auto* l = new QLabel(texto, padre);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// An editable list whose drop-down opens on the entry the typed text names,
// so that Enter there chooses what the completion showed, not the first entry.
class ListaEditable : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        const int i = findText(currentText(), Qt::MatchFixedString);
        if (i >= 0 && i != currentIndex())
            setCurrentIndex(i);
        QComboBox::showPopup();
    }
};

QComboBox* lista(const char* nombre, QWidget* padre) {
    auto* c = new ListaEditable(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    return c;
}

// A date picker that Tab leaves for the next field, as every other field;
// the arrow keys and "/" move between day, month and year.
QDateTimeEdit* selectorDeFecha(const char* nombre, QWidget* padre) {
    auto* d = new CajaDeFechaYHora(padre);
    d->setObjectName(QString::fromLatin1(nombre));
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setCalendarPopup(true);
    return d;
}

QLineEdit* caja(const char* nombre, QWidget* padre) {
    auto* c = new QLineEdit(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    // The field's length is checked, with its caption, when the event is stored.
    Cajas::limita(c);
    return c;
}

QLineEdit* cajaConMascara(const char* nombre, const QString& mascara, QWidget* padre) {
    QLineEdit* c = caja(nombre, padre);
    // The mask takes only its digits.
    c->setValidator(nullptr);
    c->setInputMask(mascara);
    c->setProperty("conMascara", true);
    return c;
}

QPlainTextEdit* texto(const char* nombre, QWidget* padre) {
    auto* t = new QPlainTextEdit(padre);
    t->setObjectName(QString::fromLatin1(nombre));
    t->setTabChangesFocus(true);
    Cajas::limita(t);
    return t;
}

QRadioButton* opcion(const char* nombre, const QString& leyenda, QWidget* padre) {
    auto* o = new QRadioButton(leyenda, padre);
    o->setObjectName(QString::fromLatin1(nombre));
    return o;
}

QGroupBox* marco(const char* nombre, const QString& titulo, QWidget* padre) {
    auto* m = new QGroupBox(titulo, padre);
    m->setObjectName(QString::fromLatin1(nombre));
    return m;
}

QToolButton* botonConDibujo(const char* nombre, const QString& leyenda, const QString& ayuda,
                            QStyle::StandardPixmap dibujo, QWidget* padre) {
    auto* b = new QToolButton(padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setFixedSize(68, 54);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setIconSize(QSize(24, 24));
    b->setIcon(padre->style()->standardIcon(dibujo, nullptr, padre));
    b->setText(leyenda);
    if (!ayuda.isEmpty())
        b->setToolTip(ayuda);
    return b;
}

} // namespace

void frmCaptura::disponControles() {
    LblFolio = etiqueta(QStringLiteral("Folio"), this);
    LblFolio->setGeometry(12, 26, 40, 20);
    TxtFolio = caja("TxtFolio", this);
    // A folio is a whole number: only digits can be typed.
    TxtFolio->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), TxtFolio));
    TxtFolio->setGeometry(52, 24, 92, 24);
    LblFolio->setBuddy(TxtFolio);

    Frame1 = marco("Frame1", QString(), this);
    Frame1->setGeometry(156, 4, 620, 58);
    {
        auto* g = new QGridLayout(Frame1);
        g->setContentsMargins(10, 4, 10, 6);
        g->setVerticalSpacing(2);
        dtpFechaRecep = selectorDeFecha("dtpFechaRecep", Frame1);
        dtpFechaFisica = selectorDeFecha("dtpFechaFisica", Frame1);
        dtpFechaAviso = selectorDeFecha("dtpFechaAviso", Frame1);
        g->addWidget(etiqueta(QStringLiteral("Fecha de recepción"), Frame1), 0, 0);
        g->addWidget(etiqueta(QStringLiteral("Fecha de recepción Física"), Frame1), 0, 1);
        g->addWidget(etiqueta(QStringLiteral("Fecha del aviso telefónico"), Frame1), 0, 2);
        g->addWidget(dtpFechaRecep, 1, 0);
        g->addWidget(dtpFechaFisica, 1, 1);
        g->addWidget(dtpFechaAviso, 1, 2);
    }

    Frame2 = marco("Frame2", QStringLiteral("Datos del Suscriptor"), this);
    Frame2->setGeometry(8, 68, 380, 130);
    {
        auto* g = new QGridLayout(Frame2);
        CmbSuscriptor = lista("CmbSuscriptor", Frame2);
        TxtCargoSuscrip = caja("TxtCargoSuscrip", Frame2);
        mskTelSusc = cajaConMascara("mskTelSusc", mascaraDeTelefono, Frame2);
        mskCelularSusc = cajaConMascara("mskCelularSusc", mascaraDeTelefono, Frame2);
        g->addWidget(etiqueta(QStringLiteral("Nombre:"), Frame2), 0, 0);
        g->addWidget(CmbSuscriptor, 0, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Cargo :"), Frame2), 1, 0);
        g->addWidget(TxtCargoSuscrip, 1, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Teléfono :"), Frame2), 2, 0);
        g->addWidget(mskTelSusc, 2, 1);
        g->addWidget(etiqueta(QStringLiteral("Celular :"), Frame2), 2, 2);
        g->addWidget(mskCelularSusc, 2, 3);
    }

    Frame3 = marco("Frame3", QStringLiteral("Datos del Evento"), this);
    Frame3->setGeometry(8, 204, 380, 270);
    {
        auto* g = new QGridLayout(Frame3);
        DTPFechaEvento = selectorDeFecha("DTPFechaEvento", Frame3);
        mskHora = cajaConMascara("mskHora", mascaraDeHora, Frame3);
        mskHora->setToolTip(QStringLiteral("Hora del evento "));
        cmbMunicipio = lista("cmbMunicipio", Frame3);
        cmbLocalidad = lista("cmbLocalidad", Frame3);
        txtEvento = texto("txtEvento", Frame3);
        CmbDirecciones = lista("CmbDirecciones", Frame3);
        g->addWidget(etiqueta(QStringLiteral("Fecha:"), Frame3), 0, 0);
        g->addWidget(DTPFechaEvento, 0, 1);
        g->addWidget(etiqueta(QStringLiteral("Hora : (24 Hrs.)"), Frame3), 0, 2);
        g->addWidget(mskHora, 0, 3);
        g->addWidget(etiqueta(QStringLiteral("Municipio :"), Frame3), 1, 0);
        g->addWidget(cmbMunicipio, 1, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Localidad :"), Frame3), 2, 0);
        g->addWidget(cmbLocalidad, 2, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Evento :"), Frame3), 3, 0, Qt::AlignTop);
        g->addWidget(txtEvento, 3, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Ubicación del Evento :"), Frame3), 4, 0, 1, 4);
        g->addWidget(CmbDirecciones, 5, 0, 1, 4);
        g->setRowStretch(3, 1);
    }

    Frame4 = marco("Frame4", QStringLiteral("Datos del Representante e Instrucción"), this);
    Frame4->setGeometry(396, 68, 380, 236);
    {
        auto* g = new QGridLayout(Frame4);
        Frame5 = marco("Frame5", QStringLiteral("Representa a:"), Frame4);
        auto* f5 = new QHBoxLayout(Frame5);
        f5->setContentsMargins(8, 2, 8, 4);
        optRepSrio = opcion("optRepSrio", QStringLiteral("C. Srio. de Educación"), Frame5);
        optRepGob = opcion("optRepGob", QStringLiteral("C.  Dr. Gobernador"), Frame5);
        f5->addWidget(optRepSrio);
        f5->addWidget(optRepGob);
        Frame5->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        cmbNombreRep = lista("cmbNombreRep", Frame4);
        txtCargoFun = caja("txtCargoFun", Frame4);
        txtAreaFun = caja("txtAreaFun", Frame4);
        mskTelRep = cajaConMascara("mskTelRep", mascaraDeTelefono, Frame4);
        mskCelularRep = cajaConMascara("mskCelularRep", mascaraDeTelefono, Frame4);
        cmbInstruccion = lista("cmbInstruccion", Frame4);
        g->addWidget(Frame5, 0, 0, 1, 4);
        g->addWidget(etiqueta(QStringLiteral("Nombre :"), Frame4), 1, 0);
        g->addWidget(cmbNombreRep, 1, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Cargo :"), Frame4), 2, 0);
        g->addWidget(txtCargoFun, 2, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Area :"), Frame4), 3, 0);
        g->addWidget(txtAreaFun, 3, 1, 1, 3);
        g->addWidget(etiqueta(QStringLiteral("Teléfono :"), Frame4), 4, 0);
        g->addWidget(mskTelRep, 4, 1);
        g->addWidget(etiqueta(QStringLiteral("Celular :"), Frame4), 4, 2);
        g->addWidget(mskCelularRep, 4, 3);
        g->addWidget(etiqueta(QStringLiteral("Instrucción :"), Frame4), 5, 0);
        g->addWidget(cmbInstruccion, 5, 1, 1, 3);
        g->setRowStretch(6, 1);
    }

    Frame6 = marco("Frame6", QStringLiteral("Carácter :"), this);
    Frame6->setGeometry(396, 308, 380, 50);
    {
        auto* f6 = new QHBoxLayout(Frame6);
        f6->setContentsMargins(8, 2, 8, 4);
        OptNormal = opcion("OptNormal", QStringLiteral("Normal"), Frame6);
        optPrioritario = opcion("optPrioritario", QStringLiteral("Prioritario"), Frame6);
        OptUrgente = opcion("OptUrgente", QStringLiteral("Urgente"), Frame6);
        f6->addWidget(OptNormal);
        f6->addWidget(optPrioritario);
        f6->addWidget(OptUrgente);
    }

    QLabel* lblObservacion = etiqueta(QStringLiteral("Observación :"), this);
    lblObservacion->setGeometry(398, 362, 200, 18);
    TxtObservacion = texto("TxtObservacion", this);
    TxtObservacion->setGeometry(396, 380, 380, 94);

    LblMensajeAUsuario = etiqueta(QString(), this);
    LblMensajeAUsuario->setObjectName(QStringLiteral("LblMensajeAUsuario"));
    // Beside the row of commands, in up to three lines.
    LblMensajeAUsuario->setGeometry(8, 480, 270, 54);
    LblMensajeAUsuario->setWordWrap(true);

    const int fila = 480;
    int x = width() - 8 - 7 * 70;
    const auto coloca = [&](QToolButton* b) {
        b->move(x, fila);
        x += 70;
        return b;
    };
    CmdImprimir = coloca(botonConDibujo("CmdImprimir", QStringLiteral("&Imprimir"), QString(),
                                        QStyle::SP_FileDialogContentsView, this));
    cmdAgrega =
        coloca(botonConDibujo("cmdAgrega", QStringLiteral("&Consultas"), QStringLiteral("Ir a Consultas"),
                              QStyle::SP_FileDialogDetailedView, this));
    CmdHistorial = coloca(botonConDibujo("CmdHistorial", QStringLiteral("&Historial"),
                                         QStringLiteral("Ver los cambios del evento"),
                                         QStyle::SP_FileDialogInfoView, this));
    CmdHistorial->setEnabled(false);
    cmdEliminar = coloca(botonConDibujo("cmdEliminar", QStringLiteral("&Eliminar"),
                                        QStringLiteral("Eliminar"), QStyle::SP_TrashIcon, this));
    cmdNuevo = coloca(botonConDibujo("cmdNuevo", QStringLiteral("&Nuevo"), QStringLiteral("Nuevo"),
                                     QStyle::SP_DialogResetButton, this));
    CmdGuardar = coloca(botonConDibujo("CmdGuardar", QStringLiteral("&Grabar"), QStringLiteral("Grabar"),
                                       QStyle::SP_DialogSaveButton, this));
    cmdSalir = coloca(botonConDibujo("cmdSalir", QStringLiteral("&Salir"), QStringLiteral("Salir"),
                                     QStyle::SP_DialogCloseButton, this));

    // An enlarged window gives its width to both columns of frames, and its height to the event's
    // description and the observation; the commands keep to the bottom right corner.
    Modulo::Crecen(*this, {{.control = Frame2, .ancho = 0.5},
                           {.control = Frame3, .ancho = 0.5, .alto = 1},
                           {.control = Frame4, .x = 0.5, .ancho = 0.5},
                           {.control = Frame6, .x = 0.5, .ancho = 0.5},
                           {.control = lblObservacion, .x = 0.5},
                           {.control = TxtObservacion, .x = 0.5, .ancho = 0.5, .alto = 1},
                           {.control = LblMensajeAUsuario, .y = 1}});
    for (QToolButton* b : {CmdImprimir, cmdAgrega, CmdHistorial, cmdEliminar, cmdNuevo, CmdGuardar, cmdSalir})
        Modulo::Crecen(*this, {{.control = b, .x = 1, .y = 1}});
    // Posts and areas are often longer than their boxes.
    for (QLineEdit* c : {TxtCargoSuscrip, txtCargoFun, txtAreaFun})
        Controles::MuestraTextoEntero(c);

    QWidget* orden[] = {TxtFolio,        dtpFechaRecep,  dtpFechaFisica, dtpFechaAviso,  CmbSuscriptor,
                        TxtCargoSuscrip, mskTelSusc,     mskCelularSusc, DTPFechaEvento, mskHora,
                        cmbMunicipio,    cmbLocalidad,   txtEvento,      CmbDirecciones, optRepSrio,
                        optRepGob,       cmbNombreRep,   txtCargoFun,    txtAreaFun,     mskTelRep,
                        mskCelularRep,   cmbInstruccion, OptNormal,      optPrioritario, OptUrgente,
                        TxtObservacion,  CmdImprimir,    cmdAgrega,      CmdHistorial,   cmdEliminar,
                        cmdNuevo,        CmdGuardar,     cmdSalir};
    for (size_t i = 1; i < std::size(orden); ++i)
        setTabOrder(orden[i - 1], orden[i]);
}
