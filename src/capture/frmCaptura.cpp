#include "capture/frmCaptura.h"

#include "capture/DocumentosDeOficio.h"
#include "capture/RegistroDeEventos.h"
#include "common/Modulo.h"
#include "outside/CajaDeMensajes.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/ReglaDeNombres.h"
#include "outside/Reloj.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

const QString fuente = QStringLiteral("frmCaptura");
const QString sinMunicipio = QStringLiteral("Sin Municipio");
const QString sinLocalidad = QStringLiteral("Sin Localidad");
// Digit places that may stay blank, so a number can be stored unfinished.
const QString mascaraDeTelefono = QStringLiteral("000-0000000;_");
const QString mascaraDeHora = QStringLiteral("00:00;_");
const QString horaVacia = QStringLiteral("__:__");

ErrorDeEjecucion noEncontrado(const QString& texto) {
    return ErrorDeEjecucion(CodigoDeError::FinDeRegistros, texto, fuente);
}

// The rows of a catalogue whose name is `nombre` under the name rule (case
// and accents aside), the one spelt exactly so first. `consulta` ends where
// the name condition goes; `previos` are the values it binds before it.
Recordset porNombre(Conexion& c, const QString& consulta, const QString& columna, const QString& nombre,
                    QVariantList previos = {}) {
    previos << ReglaDeNombres::paraBuscar(nombre) << nombre;
    return c.ejecuta(consulta + QStringLiteral("taloren_busqueda(%1) = ? order by case when %1 = ? then 0 "
                                               "else 1 end, %2")
                                    .arg(columna, ReglaDeNombres::ordenPor(columna)),
                     previos);
}

QStringList columna(const Recordset& rs, int n) {
    QStringList valores;
    valores.reserve(rs.filas());
    for (int i = 0; i < rs.filas(); ++i)
        valores << rs.texto(i, n);
    return valores;
}

// Fills a list and leaves its text as it was, with no entry chosen.
void llenaLista(QComboBox* combo, const QStringList& entradas) {
    const QString texto = combo->currentText();
    combo->clear();
    combo->addItems(entradas);
    combo->setCurrentIndex(-1);
    combo->setEditText(texto);
}

// A text set by the window shows from its beginning, not its tail.
void ponTexto(QLineEdit* caja, const QString& texto) {
    caja->setText(texto);
    caja->setCursorPosition(0);
}
void ponTexto(QComboBox* combo, const QString& texto) {
    combo->setEditText(texto);
    combo->lineEdit()->setCursorPosition(0);
}

void vaciaLista(QComboBox* combo) {
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

// Selects one option of a group and clears the others; none when `elegida` is null.
void marca(std::initializer_list<QRadioButton*> opciones, QRadioButton* elegida) {
    for (QRadioButton* o : opciones)
        o->setAutoExclusive(false);
    for (QRadioButton* o : opciones)
        o->setChecked(o == elegida);
    for (QRadioButton* o : opciones)
        o->setAutoExclusive(true);
}

QDateTime fechaDe(const Recordset& rs, int columnaEnLaFila, const QString& tabla) {
    const QDateTime fecha = Recordset::fechaHora(rs.valor(0, columnaEnLaFila));
    if (!fecha.isValid())
        throw ErrorDeEjecucion(94,
                               QStringLiteral("Uso no válido de Null (columna %1 de la tabla %2).")
                                   .arg(rs.nombreDeColumna(columnaEnLaFila), tabla),
                               fuente);
    return fecha;
}

// Characters as the database counts them.
int largo(const QString& texto) {
    return int(texto.toUcs4().size());
}

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
class SelectorDeFecha : public QDateTimeEdit {
public:
    using QDateTimeEdit::QDateTimeEdit;

protected:
    bool focusNextPrevChild(bool siguiente) override { return QWidget::focusNextPrevChild(siguiente); }
};

QDateTimeEdit* selectorDeFecha(const char* nombre, QWidget* padre) {
    auto* d = new SelectorDeFecha(padre);
    d->setObjectName(QString::fromLatin1(nombre));
    d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    d->setCalendarPopup(true);
    return d;
}

QLineEdit* caja(const char* nombre, QWidget* padre) {
    auto* c = new QLineEdit(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    return c;
}

QLineEdit* cajaConMascara(const char* nombre, const QString& mascara, QWidget* padre) {
    QLineEdit* c = caja(nombre, padre);
    c->setInputMask(mascara);
    c->setProperty("conMascara", true);
    return c;
}

QPlainTextEdit* texto(const char* nombre, QWidget* padre) {
    auto* t = new QPlainTextEdit(padre);
    t->setObjectName(QString::fromLatin1(nombre));
    t->setTabChangesFocus(true);
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

frmCaptura::frmCaptura(QWidget* parent) : QDialog(parent) {
    Modulo::PreparaVentanaFija(*this, QStringLiteral("frmCaptura"), QStringLiteral("Captura de movimientos"),
                               11760, 8160);
    creaControles();
}

frmCaptura::~frmCaptura() = default;

void frmCaptura::creaControles() {
    LblFolio = etiqueta(QStringLiteral("Folio"), this);
    LblFolio->setGeometry(12, 26, 40, 20);
    TxtFolio = caja("TxtFolio", this);
    // A folio is a whole number: only digits can be typed.
    TxtFolio->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), TxtFolio));
    TxtFolio->setGeometry(52, 24, 92, 24);
    LblFolio->setBuddy(TxtFolio);
    TxtFolio->installEventFilter(this);

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

    etiqueta(QStringLiteral("Observación :"), this)->setGeometry(398, 362, 200, 18);
    TxtObservacion = texto("TxtObservacion", this);
    TxtObservacion->setGeometry(396, 380, 380, 94);

    LblMensajeAUsuario = etiqueta(QString(), this);
    LblMensajeAUsuario->setObjectName(QStringLiteral("LblMensajeAUsuario"));
    LblMensajeAUsuario->setGeometry(8, 500, 380, 20);

    const int fila = 480;
    int x = width() - 8 - 6 * 70;
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
    cmdEliminar = coloca(botonConDibujo("cmdEliminar", QStringLiteral("&Eliminar"),
                                        QStringLiteral("Eliminar"), QStyle::SP_TrashIcon, this));
    cmdNuevo = coloca(botonConDibujo("cmdNuevo", QStringLiteral("&Nuevo"), QStringLiteral("Nuevo"),
                                     QStyle::SP_DialogResetButton, this));
    CmdGuardar = coloca(botonConDibujo("CmdGuardar", QStringLiteral("&Grabar"), QStringLiteral("Grabar"),
                                       QStyle::SP_DialogSaveButton, this));
    cmdSalir = coloca(botonConDibujo("cmdSalir", QStringLiteral("&Salir"), QStringLiteral("Salir"),
                                     QStyle::SP_DialogCloseButton, this));

    for (QComboBox* c :
         {CmbSuscriptor, cmbMunicipio, cmbLocalidad, CmbDirecciones, cmbNombreRep, cmbInstruccion})
        preparaCompletado(c);
    for (QLineEdit* c : {mskTelSusc, mskCelularSusc, mskHora, mskTelRep, mskCelularRep})
        c->installEventFilter(this);

    connect(cmbMunicipio, &QComboBox::activated, this, &frmCaptura::cmbMunicipio_Click);
    connect(cmbNombreRep, &QComboBox::activated, this, &frmCaptura::cmbNombreRep_Click);
    connect(CmbSuscriptor, &QComboBox::activated, this, &frmCaptura::CmbSuscriptor_Click);
    connect(CmdImprimir, &QToolButton::clicked, this, &frmCaptura::CmdImprimir_Click);
    connect(cmdAgrega, &QToolButton::clicked, this, &frmCaptura::cmdAgrega_Click);
    connect(cmdEliminar, &QToolButton::clicked, this, &frmCaptura::cmdEliminar_Click);
    connect(cmdNuevo, &QToolButton::clicked, this, &frmCaptura::cmdNuevo_Click);
    connect(CmdGuardar, &QToolButton::clicked, this, &frmCaptura::CmdGuardar_Click);
    connect(cmdSalir, &QToolButton::clicked, this, &frmCaptura::cmdSalir_Click);

    QWidget* orden[] = {TxtFolio,        dtpFechaRecep,  dtpFechaFisica, dtpFechaAviso,  CmbSuscriptor,
                        TxtCargoSuscrip, mskTelSusc,     mskCelularSusc, DTPFechaEvento, mskHora,
                        cmbMunicipio,    cmbLocalidad,   txtEvento,      CmbDirecciones, optRepSrio,
                        optRepGob,       cmbNombreRep,   txtCargoFun,    txtAreaFun,     mskTelRep,
                        mskCelularRep,   cmbInstruccion, OptNormal,      optPrioritario, OptUrgente,
                        TxtObservacion,  CmdImprimir,    cmdAgrega,      cmdEliminar,    cmdNuevo,
                        CmdGuardar,      cmdSalir};
    for (size_t i = 1; i < std::size(orden); ++i)
        setTabOrder(orden[i - 1], orden[i]);
}

void frmCaptura::preparaCompletado(QComboBox* combo) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setMaxVisibleItems(16);
    // Long entries (places) must not widen the window.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(8);
    m_borrando.insert(combo, false);
    // A chosen entry shows from its beginning.
    connect(combo, &QComboBox::activated, combo, [combo] { combo->lineEdit()->setCursorPosition(0); });
    combo->lineEdit()->installEventFilter(this);
    // Only what the user types completes; texts the window sets stay as set.
    connect(combo->lineEdit(), &QLineEdit::textEdited, this,
            [this, combo] { Modulo::AutoCompletaCombo(combo, m_borrando[combo]); });
}

QString frmCaptura::TextoDeMascara(const QLineEdit* caja) {
    return caja->inputMask().isEmpty() ? caja->text() : caja->displayText();
}

void frmCaptura::vaciaMascaras() {
    for (QLineEdit* c : {mskTelSusc, mskCelularSusc, mskHora, mskTelRep, mskCelularRep})
        ponTexto(c, QString());
}

void frmCaptura::showEvent(QShowEvent* evento) {
    if (!m_cargada)
        Form_Load();
    QDialog::showEvent(evento);
}

void frmCaptura::keyPressEvent(QKeyEvent* evento) {
    // Escape would close the window and lose what was typed: only cmdSalir closes it.
    if (evento->key() == Qt::Key_Escape) {
        evento->accept();
        return;
    }
    QDialog::keyPressEvent(evento);
}

bool frmCaptura::eventFilter(QObject* objeto, QEvent* evento) {
    if (objeto == TxtFolio) {
        if (evento->type() == QEvent::KeyPress) {
            const int tecla = static_cast<QKeyEvent*>(evento)->key();
            if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
                TxtFolio_KeyPress(13);
                return true;
            }
        } else if (evento->type() == QEvent::FocusIn) {
            // After the click that gave the focus, or the selection would be lost again.
            QTimer::singleShot(0, TxtFolio, &QLineEdit::selectAll);
        }
    } else if (evento->type() == QEvent::FocusIn && objeto->property("conMascara").toBool()) {
        // An empty masked box is typed from its first place, wherever the click fell.
        auto* caja = static_cast<QLineEdit*>(objeto);
        if (caja->text().remove(QLatin1Char('-')).remove(QLatin1Char(':')).isEmpty())
            QTimer::singleShot(0, caja, [caja] { caja->setCursorPosition(0); });
    } else if (evento->type() == QEvent::KeyPress) {
        auto* combo = qobject_cast<QComboBox*>(objeto->parent());
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (combo && m_borrando.contains(combo) && (tecla == Qt::Key_Backspace || tecla == Qt::Key_Delete))
            m_borrando[combo] = true;
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmCaptura::Form_Load() {
    m_cargada = true;
    Modulo::CentraEnMdi(*this);
    TxtFolio->clear();
    const QDateTime ahora = Reloj::actual().ahora();
    for (QDateTimeEdit* d : {dtpFechaRecep, dtpFechaFisica, dtpFechaAviso, DTPFechaEvento})
        d->setDateTime(ahora);
    TxtCargoSuscrip->clear();
    txtEvento->clear();
    CmbDirecciones->setEditText(QString());
    txtCargoFun->clear();
    txtAreaFun->clear();
    TxtObservacion->clear();
    vaciaMascaras();
    marca({optRepSrio, optRepGob}, optRepSrio);
    marca({OptNormal, optPrioritario, OptUrgente}, OptNormal);

    try {
        // All five are read before any is filled: a failure leaves them all as they were.
        Conexion& kelmar = Modulo::kelmar();
        Conexion& taloren = Modulo::taloren();
        const QStringList suscriptores =
            columna(taloren.ejecuta(
                        QStringLiteral("select nombre from suscriptor_frecuente group by nombre order by ") +
                        ReglaDeNombres::ordenPor(QStringLiteral("nombre"))),
                    0);
        const QStringList municipios =
            columna(kelmar.ejecuta(QStringLiteral("select nombre from municipios_tmp order by ") +
                                   ReglaDeNombres::ordenPor(QStringLiteral("nombre"))),
                    0);
        const QStringList funcionarios =
            columna(kelmar.ejecuta(QStringLiteral("select nombre from funcionarios order by ") +
                                   ReglaDeNombres::ordenPor(QStringLiteral("nombre"))),
                    0);
        const Recordset lugares =
            taloren.ejecuta(QStringLiteral("select direccion, lugar from direcciones_eventos order by ") +
                            ReglaDeNombres::ordenPor(QStringLiteral("lugar")));
        QStringList direcciones;
        for (int i = 0; i < lugares.filas(); ++i)
            direcciones << lugares.texto(i, 1).trimmed() + QStringLiteral(", ") + lugares.texto(i, 0);
        const Recordset catalogo =
            taloren.ejecuta(QStringLiteral("select clave_instruccion, descripcion from cat_instrucciones "
                                           "order by ") +
                            ReglaDeNombres::ordenPor(QStringLiteral("descripcion")));
        QStringList instrucciones;
        for (int i = 0; i < catalogo.filas(); ++i)
            instrucciones << catalogo.texto(i, 0) + QLatin1Char(' ') + catalogo.texto(i, 1);

        llenaLista(CmbSuscriptor, suscriptores);
        llenaLista(cmbMunicipio, municipios);
        llenaLista(cmbNombreRep, funcionarios);
        llenaLista(CmbDirecciones, direcciones);
        llenaLista(cmbInstruccion, instrucciones);
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible leer las listas de la captura de movimientos.") +
            Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
    cmdEliminar->setEnabled(false);
    TxtFolio->setFocus();
}

void frmCaptura::cmbMunicipio_Click() {
    const QString nombre = cmbMunicipio->currentText().trimmed();
    try {
        Conexion& kelmar = Modulo::kelmar();
        const Recordset municipio =
            porNombre(kelmar, QStringLiteral("select cvemunicipio, nombre from municipios_tmp where "),
                      QStringLiteral("nombre"), nombre);
        if (municipio.estaVacio())
            throw noEncontrado(
                QStringLiteral("El municipio \"%1\" no está en el catálogo de municipios.").arg(nombre));
        const QString clave = municipio.texto(0, 0);
        const QStringList localidades = columna(
            kelmar.ejecuta(QStringLiteral("select nombre from localidad where municipio = ? order by ") +
                               ReglaDeNombres::ordenPor(QStringLiteral("nombre")),
                           {clave}),
            0);
        valores.cveMunicipio = clave;
        cmbLocalidad->clear();
        llenaLista(cmbLocalidad, localidades);
        vaciaLista(cmbLocalidad);
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible leer las localidades del municipio \"%1\".").arg(nombre) +
            Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
}

void frmCaptura::cmbNombreRep_Click() {
    const QString nombre = cmbNombreRep->currentText().trimmed();
    try {
        Conexion& kelmar = Modulo::kelmar();
        const Recordset funcionario =
            porNombre(kelmar, QStringLiteral("select cvecargo, cvearea, nombre from funcionarios where "),
                      QStringLiteral("nombre"), nombre);
        if (funcionario.estaVacio())
            throw noEncontrado(QStringLiteral("\"%1\" no está en el catálogo de funcionarios.").arg(nombre));
        const QString cargo = funcionario.texto(0, 0);
        const QString area = funcionario.texto(0, 1);
        // A staff member without a post or an area in the catalogues shows none.
        const Recordset descripcion = kelmar.ejecuta(
            QStringLiteral("select descripcion from cargos where cvecargo = ?"), {funcionario.valor(0, 0)});
        const Recordset nombreDelArea = kelmar.ejecuta(
            QStringLiteral("select nombre from areas where cvearea = ?"), {funcionario.valor(0, 1)});
        valores.cveCargo = cargo;
        valores.cveArea = area;
        ponTexto(txtCargoFun, descripcion.estaVacio() ? QString() : descripcion.texto(0, 0));
        ponTexto(txtAreaFun, nombreDelArea.estaVacio() ? QString() : nombreDelArea.texto(0, 0));
        cmbNombreRep->lineEdit()->setCursorPosition(0);
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible leer el cargo y el área de \"%1\".").arg(nombre) +
            Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
}

void frmCaptura::CmbSuscriptor_Click() {
    const QString nombre = CmbSuscriptor->currentText().trimmed();
    try {
        const Recordset cargo = porNombre(
            Modulo::taloren(), QStringLiteral("select cargo, nombre from suscriptor_frecuente where "),
            QStringLiteral("nombre"), nombre);
        if (cargo.estaVacio())
            throw noEncontrado(
                QStringLiteral("\"%1\" no está en el catálogo de suscriptores frecuentes.").arg(nombre));
        ponTexto(TxtCargoSuscrip, cargo.texto(0, 0));
        CmbSuscriptor->lineEdit()->setCursorPosition(0);
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible leer el cargo de \"%1\".").arg(nombre) + Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
}

void frmCaptura::TxtFolio_KeyPress(int tecla) {
    if (tecla != 13 || TxtFolio->text().isEmpty())
        return;
    const QString folio = TxtFolio->text();
    try {
        if (BuscaFolio(folio)) {
            // The screen changes only once the whole event has been read.
            LlenaObjetos();
            cmdEliminar->setEnabled(true);
        } else {
            LimpiaDatos();
            TxtFolio->setText(folio);
            dtpFechaRecep->setFocus();
        }
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible consultar el folio %1.").arg(folio) + Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
}

bool frmCaptura::BuscaFolio(const QString& folio) {
    bool esNumero = false;
    const int numero = folio.trimmed().toInt(&esNumero);
    return esNumero && RegistroDeEventos::existe(Modulo::taloren(), numero, dtpFechaRecep->date().year());
}

void frmCaptura::LlenaObjetos() {
    Conexion& taloren = Modulo::taloren();
    Conexion& kelmar = Modulo::kelmar();
    const int folio = TxtFolio->text().trimmed().toInt();
    const int anio = dtpFechaRecep->date().year();
    const QVariantList llave{folio, anio};
    const auto exigeFila = [&](const Recordset& rs, const QString& tabla) {
        if (rs.estaVacio())
            throw noEncontrado(
                QStringLiteral("El evento con folio %1 del año %2 no tiene registro en la tabla %3.")
                    .arg(folio)
                    .arg(anio)
                    .arg(tabla));
    };

    const Recordset suscriptor =
        taloren.ejecuta(QStringLiteral("select * from suscriptor where folio = ? and año = ?"), llave);
    exigeFila(suscriptor, QStringLiteral("suscriptor"));
    const Recordset evento =
        taloren.ejecuta(QStringLiteral("select * from evento where folio = ? and año = ?"), llave);
    exigeFila(evento, QStringLiteral("evento"));
    const Recordset municipio = kelmar.ejecuta(
        QStringLiteral("select nombre from municipios_tmp where cvemunicipio = ?"), {evento.valor(0, 6)});
    if (municipio.estaVacio())
        throw noEncontrado(QStringLiteral("La clave de municipio \"%1\" del evento no está en el catálogo.")
                               .arg(evento.texto(0, 6)));
    const Recordset localidad =
        kelmar.ejecuta(QStringLiteral("select nombre from localidad where localidad = ? and municipio = ?"),
                       {evento.texto(0, 7).trimmed(), evento.valor(0, 6)});
    if (localidad.estaVacio())
        throw noEncontrado(
            QStringLiteral(
                "La clave de localidad \"%1\" del evento no está en el catálogo del municipio \"%2\".")
                .arg(evento.texto(0, 7), municipio.texto(0, 0)));
    const Recordset representante = taloren.ejecuta(
        QStringLiteral("select * from representante_del_evento where folio = ? and año = ?"), llave);
    exigeFila(representante, QStringLiteral("representante_del_evento"));

    // A staff member is shown as the catalogues have them; anyone else as stored.
    const Recordset funcionario = kelmar.ejecuta(
        QStringLiteral("select nombre, cvearea, cvecargo from funcionarios where cvefuncionario = ?"),
        {representante.valor(0, 2)});
    QString nombreRep, cargoRep, areaRep, cveCargo = valores.cveCargo, cveArea = valores.cveArea;
    if (funcionario.estaVacio()) {
        nombreRep = representante.texto(0, 12);
        cargoRep = representante.texto(0, 13);
        areaRep = representante.texto(0, 14);
    } else {
        nombreRep = funcionario.texto(0, 0);
        cveArea = funcionario.texto(0, 1);
        cveCargo = funcionario.texto(0, 2);
        const Recordset cargo =
            kelmar.ejecuta(QStringLiteral("select descripcion from cargos where cvecargo = ?"), {cveCargo});
        const Recordset area =
            kelmar.ejecuta(QStringLiteral("select nombre from areas where cvearea = ?"), {cveArea});
        cargoRep = cargo.estaVacio() ? QString() : cargo.texto(0, 0);
        areaRep = area.estaVacio() ? QString() : area.texto(0, 0);
    }
    const Recordset instruccion = taloren.ejecuta(
        QStringLiteral("select descripcion from cat_instrucciones where clave_instruccion = ?"),
        {representante.valor(0, 7)});
    if (instruccion.estaVacio())
        throw noEncontrado(
            QStringLiteral("La instrucción \"%1\" del evento no está en el catálogo de instrucciones.")
                .arg(representante.texto(0, 7)));
    const QDateTime recepcion = fechaDe(evento, 8, QStringLiteral("evento"));
    const QDateTime fisica = fechaDe(evento, 9, QStringLiteral("evento"));
    const QDateTime fecha = fechaDe(evento, 2, QStringLiteral("evento"));
    const QDateTime aviso = fechaDe(representante, 11, QStringLiteral("representante_del_evento"));

    ponTexto(CmbSuscriptor, suscriptor.texto(0, 2));
    ponTexto(TxtCargoSuscrip, suscriptor.texto(0, 3));
    ponTexto(mskTelSusc, suscriptor.texto(0, 4));
    ponTexto(mskCelularSusc, suscriptor.texto(0, 5));
    dtpFechaRecep->setDateTime(recepcion);
    dtpFechaFisica->setDateTime(fisica);
    DTPFechaEvento->setDateTime(fecha);
    ponTexto(mskHora, evento.texto(0, 3));
    txtEvento->setPlainText(evento.texto(0, 4));
    ponTexto(CmbDirecciones, evento.texto(0, 5));
    ponTexto(cmbMunicipio, municipio.texto(0, 0));
    ponTexto(cmbLocalidad, localidad.texto(0, 0).trimmed());
    dtpFechaAviso->setDateTime(aviso);

    const QString representa = representante.texto(0, 8).trimmed();
    marca({optRepSrio, optRepGob}, representa == QLatin1String("Gobernador")   ? optRepGob
                                   : representa == QLatin1String("Secretario") ? optRepSrio
                                                                               : nullptr);
    const QString caracter = representante.texto(0, 9).trimmed();
    marca({OptNormal, optPrioritario, OptUrgente}, caracter == QLatin1String("Normal")        ? OptNormal
                                                   : caracter == QLatin1String("Prioritario") ? optPrioritario
                                                   : caracter == QLatin1String("Urgente")     ? OptUrgente
                                                                                              : nullptr);
    ponTexto(cmbNombreRep, nombreRep);
    ponTexto(txtCargoFun, cargoRep);
    ponTexto(txtAreaFun, areaRep);
    valores.cveCargo = cveCargo;
    valores.cveArea = cveArea;
    ponTexto(mskTelRep, representante.texto(0, 5));
    ponTexto(mskCelularRep, representante.texto(0, 6));
    ponTexto(cmbInstruccion,
             representante.texto(0, 7).trimmed() + QLatin1Char(' ') + instruccion.texto(0, 0).trimmed());
    TxtObservacion->setPlainText(representante.texto(0, 10));
    m_consultado = Identidad{folio, anio};
    m_sorteado.reset();
}

void frmCaptura::LimpiaDatos() {
    TxtFolio->clear();
    TxtCargoSuscrip->clear();
    txtEvento->clear();
    txtCargoFun->clear();
    txtAreaFun->clear();
    TxtObservacion->clear();
    const QDateTime ahora = Reloj::actual().ahora();
    for (QDateTimeEdit* d : {dtpFechaRecep, dtpFechaFisica, dtpFechaAviso, DTPFechaEvento})
        d->setDateTime(ahora);
    vaciaMascaras();
    marca({optRepSrio, optRepGob}, optRepSrio);
    marca({OptNormal, optPrioritario, OptUrgente}, OptNormal);
    for (QComboBox* c :
         {CmbSuscriptor, cmbMunicipio, cmbLocalidad, cmbNombreRep, CmbDirecciones, cmbInstruccion})
        vaciaLista(c);
    // The screen no longer shows a stored event nor a drawn folio.
    m_consultado.reset();
    m_sorteado.reset();
}

void frmCaptura::cmdNuevo_Click() {
    const auto respuesta = CajaDeMensajes::actual().muestra(
        {CajaDeMensajes::Icono::Pregunta, Modulo::TituloDelPrograma,
         QStringLiteral("Se limiparán los datos de la pantalla. Si no ha guardado los datos, se perderán") +
             Modulo::DobleSalto + QStringLiteral("¿Desea Continuar?"),
         CajaDeMensajes::Si | CajaDeMensajes::No, CajaDeMensajes::Si, CajaDeMensajes::No});
    if (respuesta == CajaDeMensajes::Si)
        LimpiaDatos();
    TxtFolio->setFocus();
}

void frmCaptura::cmdSalir_Click() {
    accept();
}

void frmCaptura::CmdImprimir_Click() {
    // The document is made from the screen as it stands, saved or not.
    DatosDelOficio d;
    d.folio = TxtFolio->text();
    d.fechaFisica = dtpFechaFisica->dateTime();
    d.representa = optRepSrio->isChecked()  ? DatosDelOficio::Representa::Secretario
                   : optRepGob->isChecked() ? DatosDelOficio::Representa::Gobernador
                                            : DatosDelOficio::Representa::Ninguno;
    d.caracter = OptNormal->isChecked()        ? DatosDelOficio::Caracter::Normal
                 : optPrioritario->isChecked() ? DatosDelOficio::Caracter::Prioritario
                 : OptUrgente->isChecked()     ? DatosDelOficio::Caracter::Urgente
                                               : DatosDelOficio::Caracter::Ninguno;
    d.representante = cmbNombreRep->currentText();
    d.cargoRepresentante = txtCargoFun->text();
    d.suscriptor = CmbSuscriptor->currentText();
    d.cargoSuscriptor = TxtCargoSuscrip->text();
    d.evento = txtEvento->toPlainText();
    d.direccion = CmbDirecciones->currentText();
    d.fechaEvento = DTPFechaEvento->dateTime();
    d.hora = TextoDeMascara(mskHora);
    d.instruccion = cmbInstruccion->currentText();
    d.observacion = TxtObservacion->toPlainText();
    if (const auto caracter = DocumentosDeOficio::CmdImprimir(d))
        valores.caracter = *caracter;
}

void frmCaptura::cmdAgrega_Click() {
    Modulo::AbreConsultas();
}

void frmCaptura::aviso(const QString& texto, QWidget* campo) {
    CajaDeMensajes::actual().muestra({CajaDeMensajes::Icono::Exclamacion, Modulo::TituloDelPrograma, texto,
                                      CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar,
                                      CajaDeMensajes::Aceptar});
    if (campo)
        campo->setFocus();
}

// The checks that need no database, after the two required fields: a folio
// that is a number, an hour of the day, and texts that fit their columns, so
// both catalogs refuse the same input with the same message.
bool frmCaptura::validaAntesDeLeer() {
    const QString folio = TxtFolio->text().trimmed();
    if (!folio.isEmpty() && folio.toInt() <= 0) {
        aviso(QStringLiteral("El folio debe ser un número mayor que cero. Verifique :("), TxtFolio);
        return false;
    }
    static const QRegularExpression hora(QStringLiteral("^([01][0-9]|2[0-3]):[0-5][0-9]$"));
    if (!hora.match(TextoDeMascara(mskHora).trimmed()).hasMatch()) {
        aviso(QStringLiteral("La hora del evento debe estar entre 00:00 y 23:59. Verifique :("), mskHora);
        return false;
    }
    const struct {
        const char* campo;
        QString valor;
        int maximo;
        QWidget* control;
    } largos[] = {
        {"Nombre del suscriptor", CmbSuscriptor->currentText().trimmed(), 100, CmbSuscriptor},
        {"Cargo del suscriptor", TxtCargoSuscrip->text().trimmed(), 150, TxtCargoSuscrip},
        {"Evento", txtEvento->toPlainText().trimmed(), 1000, txtEvento},
        {"Ubicación del Evento", CmbDirecciones->currentText().trimmed(), 500, CmbDirecciones},
        {"Nombre del representante", cmbNombreRep->currentText(), 100, cmbNombreRep},
        {"Cargo del representante", txtCargoFun->text(), 150, txtCargoFun},
        {"Area del representante", txtAreaFun->text(), 150, txtAreaFun},
        {"Observación", TxtObservacion->toPlainText().trimmed(), 2000, TxtObservacion},
    };
    for (const auto& l : largos) {
        const int n = largo(l.valor);
        if (n <= l.maximo)
            continue;
        aviso(QStringLiteral("El campo \"%1\" admite hasta %2 caracteres y tiene %3. Verifique :(")
                  .arg(QString::fromUtf8(l.campo))
                  .arg(l.maximo)
                  .arg(n),
              l.control);
        return false;
    }
    return true;
}

// Turns the names on the screen into catalogue keys and the options into
// their words. The working values change only when all of it succeeds.
void frmCaptura::resuelveValores() {
    Conexion& kelmar = Modulo::kelmar();
    ValoresDeTrabajo v = valores;

    // A staff member is stored by keys, all three from the staff catalogue.
    const Recordset funcionario = porNombre(
        kelmar, QStringLiteral("select cvefuncionario, cvecargo, cvearea, nombre from funcionarios where "),
        QStringLiteral("nombre"), cmbNombreRep->currentText().trimmed());
    if (funcionario.estaVacio()) {
        v.cveFuncionario.clear();
        v.cveCargo.clear();
        v.cveArea.clear();
        v.nombreRepresentante = cmbNombreRep->currentText();
        v.cargoRepresentante = txtCargoFun->text();
        v.areaRepresentante = txtAreaFun->text();
    } else {
        v.cveFuncionario = funcionario.texto(0, 0);
        v.cveCargo = funcionario.texto(0, 1);
        v.cveArea = funcionario.texto(0, 2);
        v.nombreRepresentante.clear();
        v.cargoRepresentante.clear();
        v.areaRepresentante.clear();
    }

    // The locality is sought within the municipality: names repeat across municipalities.
    const QString nombreDelMunicipio = cmbMunicipio->currentText().trimmed();
    const Recordset municipio =
        porNombre(kelmar, QStringLiteral("select cvemunicipio, nombre from municipios_tmp where "),
                  QStringLiteral("nombre"), nombreDelMunicipio);
    if (municipio.estaVacio())
        throw noEncontrado(QStringLiteral("El municipio \"%1\" no está en el catálogo de municipios.")
                               .arg(nombreDelMunicipio));
    v.cveMunicipio = municipio.texto(0, 0);
    const QString nombreDeLaLocalidad = cmbLocalidad->currentText().trimmed();
    const Recordset localidad =
        porNombre(kelmar, QStringLiteral("select localidad, nombre from localidad where municipio = ? and "),
                  QStringLiteral("nombre"), nombreDeLaLocalidad, {v.cveMunicipio});
    if (localidad.estaVacio())
        throw noEncontrado(QStringLiteral("La localidad \"%1\" no pertenece al municipio \"%2\".")
                               .arg(nombreDeLaLocalidad, municipio.texto(0, 1)));
    v.cveLocalidad = localidad.texto(0, 0);

    // The key is the number before the first blank of the list entry.
    const QString instruccion = cmbInstruccion->currentText();
    const int blanco = int(instruccion.indexOf(QLatin1Char(' ')));
    bool esNumero = false;
    const int clave = blanco < 0 ? 0 : instruccion.left(blanco).trimmed().toInt(&esNumero);
    if (!esNumero)
        throw ErrorDeEjecucion(
            CodigoDeError::Conversion,
            QStringLiteral("La instrucción \"%1\" no comienza con su número.").arg(instruccion), fuente);
    if (Modulo::taloren()
            .ejecuta(QStringLiteral("select descripcion from cat_instrucciones where clave_instruccion = ?"),
                     {clave})
            .estaVacio())
        throw noEncontrado(
            QStringLiteral("La instrucción %1 no está en el catálogo de instrucciones.").arg(clave));
    v.cveInstruccion = clave;

    v.representaA = optRepGob->isChecked() ? QStringLiteral("Gobernador") : QStringLiteral("Secretario");
    v.caracter = OptNormal->isChecked()        ? QStringLiteral("Normal")
                 : optPrioritario->isChecked() ? QStringLiteral("Prioritario")
                                               : QStringLiteral("Urgente");
    v.anio = DTPFechaEvento->date().year();
    valores = v;
}

Evento frmCaptura::eventoEnPantalla(int folio) const {
    Evento e;
    e.folio = folio;
    e.anio = valores.anio;
    e.fecha = DTPFechaEvento->dateTime();
    e.hora = TextoDeMascara(mskHora).trimmed();
    e.descripcion = txtEvento->toPlainText().trimmed();
    e.direccion = CmbDirecciones->currentText().trimmed();
    e.cveMunicipio = valores.cveMunicipio;
    e.cveLocalidad = valores.cveLocalidad;
    e.fechaRecepcion = dtpFechaRecep->dateTime();
    e.fechaFisica = dtpFechaFisica->dateTime();
    e.nombreSuscriptor = CmbSuscriptor->currentText().trimmed();
    e.cargoSuscriptor = TxtCargoSuscrip->text().trimmed();
    e.telefonoSuscriptor = TextoDeMascara(mskTelSusc).trimmed();
    e.celularSuscriptor = TextoDeMascara(mskCelularSusc);
    e.claveFun = valores.cveFuncionario.trimmed();
    e.claveCargo = valores.cveCargo.trimmed();
    e.claveArea = valores.cveArea;
    e.telefonoRepresentante = TextoDeMascara(mskTelRep).trimmed();
    e.celularRepresentante = TextoDeMascara(mskCelularRep);
    e.claveInstruccion = valores.cveInstruccion;
    e.representaA = valores.representaA;
    e.caracter = valores.caracter;
    e.observacion = TxtObservacion->toPlainText().trimmed();
    e.fechaLlamada = dtpFechaAviso->dateTime();
    e.nombreRepresentante = valores.nombreRepresentante;
    e.cargoRepresentante = valores.cargoRepresentante;
    e.areaRepresentante = valores.areaRepresentante;
    return e;
}

QString frmCaptura::UltimoNro() {
    return RegistroDeEventos::siguienteFolio(Modulo::taloren(), valores.anio);
}

void frmCaptura::actualiza() {
    RegistroDeEventos::actualiza(Modulo::taloren(), eventoEnPantalla(TxtFolio->text().trimmed().toInt()));
}

int frmCaptura::Elimina() {
    return RegistroDeEventos::elimina(Modulo::taloren(), TxtFolio->text().trimmed().toInt(),
                                      DTPFechaEvento->date().year());
}

// The existence check and the writing are one unit: an event stored by
// another station is never taken for this screen's own.
frmCaptura::Resultado frmCaptura::guardaEnElRegistro(const Evento& evento) {
    Conexion& taloren = Modulo::taloren();
    const Identidad id{evento.folio, evento.anio};
    bool insertando = false;
    try {
        return taloren.enTransaccion([&] {
            if (RegistroDeEventos::existe(taloren, id.folio, id.anio)) {
                if (m_consultado != id)
                    return Resultado::Ocupado;
                actualiza();
                return Resultado::Actualizado;
            }
            insertando = true;
            RegistroDeEventos::inserta(taloren, evento);
            return Resultado::Insertado;
        });
    } catch (const ErrorDeEjecucion& error) {
        // A server lets another station's insert of the same new folio through
        // the check; its key then refuses this one, and nothing of it stays.
        if (insertando && error.numero() == CodigoDeError::Integridad &&
            RegistroDeEventos::existe(taloren, id.folio, id.anio))
            return Resultado::Ocupado;
        throw;
    }
}

void frmCaptura::avisaFolioOcupado(const Identidad& ocupado) {
    if (m_sorteado == ocupado) {
        const QString nuevo = UltimoNro();
        TxtFolio->setText(nuevo);
        m_sorteado = Identidad{nuevo.toInt(), ocupado.anio};
        aviso(QStringLiteral(
                  "El folio %1 del año %2 acaba de registrarse desde otra estación. A este evento le "
                  "corresponde ahora el folio %3: presione Grabar de nuevo para almacenarlo.")
                  .arg(ocupado.folio)
                  .arg(ocupado.anio)
                  .arg(nuevo),
              CmdGuardar);
        return;
    }
    aviso(QStringLiteral("Ya existe un evento con el folio %1 del año %2 y no es el que se consultó en esta "
                         "pantalla, así que no se guardó nada.")
                  .arg(ocupado.folio)
                  .arg(ocupado.anio) +
              Modulo::DobleSalto +
              QStringLiteral("Para modificarlo, escriba su folio y presione Enter; para registrar un evento "
                             "nuevo, deje el folio vacío y presione Grabar."),
          TxtFolio);
}

void frmCaptura::CmdGuardar_Click() {
    try {
        if (TextoDeMascara(mskHora) == horaVacia)
            mskHora->setText(QStringLiteral("00:00"));
        if (cmbMunicipio->currentText().trimmed().isEmpty())
            cmbMunicipio->setEditText(sinMunicipio);
        if (cmbLocalidad->currentText().trimmed().isEmpty())
            cmbLocalidad->setEditText(sinLocalidad);
        if (txtEvento->toPlainText().trimmed().isEmpty()) {
            aviso(QStringLiteral("Por favor describa el Evento"), txtEvento);
            return;
        }
        if (cmbInstruccion->currentText().trimmed().isEmpty()) {
            aviso(QStringLiteral("Por favor seleccione una Instrucción"), cmbInstruccion);
            return;
        }
        if (!validaAntesDeLeer())
            return;
        resuelveValores();

        // The first click on a new event only draws its folio; the next one stores it.
        if (TxtFolio->text().trimmed().isEmpty()) {
            const QString folio = UltimoNro();
            TxtFolio->setText(folio);
            m_sorteado = Identidad{folio.toInt(), valores.anio};
            return;
        }
        const Evento evento = eventoEnPantalla(TxtFolio->text().trimmed().toInt());
        if (guardaEnElRegistro(evento) == Resultado::Ocupado) {
            avisaFolioOcupado({evento.folio, evento.anio});
            return;
        }
        // From now on this screen holds that stored event: saving again updates it.
        m_consultado = Identidad{evento.folio, evento.anio};
        m_sorteado.reset();
        CajaDeMensajes::actual().muestra({CajaDeMensajes::Icono::Informacion, Modulo::TituloDelPrograma,
                                          QStringLiteral("Actualización realizada satisfactoriamente"),
                                          CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar,
                                          CajaDeMensajes::Aceptar});
    } catch (...) {
        const ErrorDeEjecucion error = ErrorDeEjecucion::actual();
        Modulo::MensajeDeError(QStringLiteral("¡Error! No fué posible almacenar los datos.") +
                               Modulo::DobleSalto + QStringLiteral("Error: ") +
                               QString::number(error.numero()) + Modulo::Salto +
                               QStringLiteral("Descripción: ") + error.descripcion());
    }
}

void frmCaptura::cmdEliminar_Click() {
    const QString folio = TxtFolio->text();
    const int anio = DTPFechaEvento->date().year();
    try {
        bool esNumero = false;
        const int numero = folio.trimmed().toInt(&esNumero);
        // Only the event this screen shows as stored may go: never one nobody looked at.
        if (!esNumero || m_consultado != Identidad{numero, anio}) {
            aviso(
                QStringLiteral("El folio %1 del año %2 no es el evento consultado en esta pantalla: escriba "
                               "su folio y presione Enter para consultarlo antes de eliminarlo.")
                    .arg(folio.trimmed())
                    .arg(anio),
                TxtFolio);
            return;
        }
        const auto respuesta =
            CajaDeMensajes::actual().muestra({CajaDeMensajes::Icono::Ninguno, Modulo::TituloDelPrograma,
                                              QStringLiteral("Esta seguro de eliminar esta invitación?"),
                                              CajaDeMensajes::Aceptar | CajaDeMensajes::Cancelar,
                                              CajaDeMensajes::Cancelar, CajaDeMensajes::Cancelar});
        if (respuesta != CajaDeMensajes::Aceptar)
            return;
        if (Elimina() == 0) {
            m_consultado.reset();
            aviso(QStringLiteral(
                      "El folio %1 del año %2 ya no estaba registrado: otra estación lo eliminó antes.")
                      .arg(folio.trimmed())
                      .arg(anio),
                  TxtFolio);
            return;
        }
        CajaDeMensajes::actual().muestra({CajaDeMensajes::Icono::Informacion, Modulo::TituloDelPrograma,
                                          QStringLiteral("El folio ") + folio + QStringLiteral(" del año ") +
                                              QString::number(anio) + QStringLiteral(" ha sido eliminado"),
                                          CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar,
                                          CajaDeMensajes::Aceptar});
        LimpiaDatos();
        TxtFolio->setFocus();
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible eliminar el folio %1 del año %2.").arg(folio.trimmed()).arg(anio) +
            Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
}
