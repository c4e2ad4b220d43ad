#include "capture/frmCaptura.h"

#include "capture/DocumentosDeOficio.h"
#include "common/Modulo.h"
#include "outside/CajaDeMensajes.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "server/Catalogos.h"
#include "server/Eventos.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

namespace {

const QString fuente = QStringLiteral("frmCaptura");
const QString sinMunicipio = QStringLiteral("Sin Municipio");
const QString sinLocalidad = QStringLiteral("Sin Localidad");
const QString horaVacia = QStringLiteral("__:__");

ErrorDeEjecucion noEncontrado(const QString& texto) {
    return ErrorDeEjecucion(CodigoDeError::FinDeRegistros, texto, fuente);
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

// A date the screen cannot show empty: a stored null is an error that names its column.
QDateTime fechaDe(const QDateTime& fecha, const char* tabla, const char* columna) {
    if (!fecha.isValid())
        throw ErrorDeEjecucion(
            94,
            QStringLiteral("Uso no válido de Null (columna %1 de la tabla %2).")
                .arg(Evento::campo(QString::fromUtf8(tabla), QString::fromUtf8(columna)).nombreDeColumna(),
                     QString::fromUtf8(tabla)),
            fuente);
    return fecha;
}

Catalogos catalogos() {
    return Catalogos(Modulo::kelmar(), Modulo::taloren());
}

// Characters as the database counts them.
int largo(const QString& texto) {
    return int(texto.toUcs4().size());
}

} // namespace

frmCaptura::frmCaptura(QWidget* parent) : QDialog(parent) {
    Modulo::PreparaVentanaFija(*this, QStringLiteral("frmCaptura"), QStringLiteral("Captura de movimientos"),
                               11760, 8160);
    disponControles();
    conectaControles();
}

frmCaptura::~frmCaptura() = default;

void frmCaptura::conectaControles() {
    TxtFolio->installEventFilter(this);
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
        Catalogos c = catalogos();
        const QStringList suscriptores = c.suscriptoresFrecuentes();
        const QStringList municipios = c.municipios();
        const QStringList funcionarios = c.funcionarios();
        const QStringList direcciones = c.lugares();
        const QStringList instrucciones = c.instrucciones();

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
        Catalogos c = catalogos();
        const auto municipio = c.municipioPorNombre(nombre);
        if (!municipio)
            throw noEncontrado(
                QStringLiteral("El municipio \"%1\" no está en el catálogo de municipios.").arg(nombre));
        const QStringList localidades = c.localidades(municipio->clave);
        valores.cveMunicipio = municipio->clave;
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
        Catalogos c = catalogos();
        const auto funcionario = c.funcionarioPorNombre(nombre);
        if (!funcionario)
            throw noEncontrado(QStringLiteral("\"%1\" no está en el catálogo de funcionarios.").arg(nombre));
        // A staff member without a post or an area in the catalogues shows none.
        const auto descripcion = c.cargo(funcionario->cveCargo);
        const auto nombreDelArea = c.area(funcionario->cveArea);
        valores.cveCargo = funcionario->cveCargo;
        valores.cveArea = funcionario->cveArea;
        ponTexto(txtCargoFun, descripcion.value_or(QString()));
        ponTexto(txtAreaFun, nombreDelArea.value_or(QString()));
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
        const auto cargo = catalogos().cargoDeSuscriptor(nombre);
        if (!cargo)
            throw noEncontrado(
                QStringLiteral("\"%1\" no está en el catálogo de suscriptores frecuentes.").arg(nombre));
        ponTexto(TxtCargoSuscrip, *cargo);
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
    return esNumero &&
           Eventos::existe(Modulo::taloren(), numero, Eventos::anioDeLaConsulta(dtpFechaRecep->date()));
}

void frmCaptura::LlenaObjetos() {
    const int folio = TxtFolio->text().trimmed().toInt();
    const int anio = Eventos::anioDeLaConsulta(dtpFechaRecep->date());
    const Evento e = Eventos::lee(Modulo::taloren(), folio, anio);
    Catalogos c = catalogos();
    const auto municipio = c.municipio(e.cveMunicipio);
    if (!municipio)
        throw noEncontrado(QStringLiteral("La clave de municipio \"%1\" del evento no está en el catálogo.")
                               .arg(e.cveMunicipio));
    const auto localidad = c.localidad(e.cveMunicipio, e.cveLocalidad.trimmed());
    if (!localidad)
        throw noEncontrado(
            QStringLiteral(
                "La clave de localidad \"%1\" del evento no está en el catálogo del municipio \"%2\".")
                .arg(e.cveLocalidad, *municipio));

    // A staff member is shown as the catalogues have them; anyone else as stored.
    const auto funcionario = c.funcionario(e.claveFun);
    QString nombreRep, cargoRep, areaRep, cveCargo = valores.cveCargo, cveArea = valores.cveArea;
    if (!funcionario) {
        nombreRep = e.nombreRepresentante;
        cargoRep = e.cargoRepresentante;
        areaRep = e.areaRepresentante;
    } else {
        nombreRep = funcionario->nombre;
        cveArea = funcionario->cveArea;
        cveCargo = funcionario->cveCargo;
        cargoRep = c.cargo(cveCargo).value_or(QString());
        areaRep = c.area(cveArea).value_or(QString());
    }
    const auto instruccion = c.instruccion(e.claveInstruccion);
    if (!instruccion)
        throw noEncontrado(
            QStringLiteral("La instrucción \"%1\" del evento no está en el catálogo de instrucciones.")
                .arg(e.claveInstruccion));
    const QDateTime recepcion = fechaDe(e.fechaRecepcion, "evento", "fecha_recepcion");
    const QDateTime fisica = fechaDe(e.fechaFisica, "evento", "fecha_fisica");
    const QDateTime fecha = fechaDe(e.fecha, "evento", "fecha");
    const QDateTime aviso = fechaDe(e.fechaLlamada, "representante_del_evento", "fecha_llamada");

    ponTexto(CmbSuscriptor, e.nombreSuscriptor);
    ponTexto(TxtCargoSuscrip, e.cargoSuscriptor);
    ponTexto(mskTelSusc, e.telefonoSuscriptor);
    ponTexto(mskCelularSusc, e.celularSuscriptor);
    dtpFechaRecep->setDateTime(recepcion);
    dtpFechaFisica->setDateTime(fisica);
    DTPFechaEvento->setDateTime(fecha);
    ponTexto(mskHora, e.hora);
    txtEvento->setPlainText(e.descripcion);
    ponTexto(CmbDirecciones, e.direccion);
    ponTexto(cmbMunicipio, *municipio);
    ponTexto(cmbLocalidad, localidad->trimmed());
    dtpFechaAviso->setDateTime(aviso);

    const QString representa = e.representaA.trimmed();
    marca({optRepSrio, optRepGob}, representa == QLatin1String("Gobernador")   ? optRepGob
                                   : representa == QLatin1String("Secretario") ? optRepSrio
                                                                               : nullptr);
    const QString caracter = e.caracter.trimmed();
    marca({OptNormal, optPrioritario, OptUrgente}, caracter == QLatin1String("Normal")        ? OptNormal
                                                   : caracter == QLatin1String("Prioritario") ? optPrioritario
                                                   : caracter == QLatin1String("Urgente")     ? OptUrgente
                                                                                              : nullptr);
    ponTexto(cmbNombreRep, nombreRep);
    ponTexto(txtCargoFun, cargoRep);
    ponTexto(txtAreaFun, areaRep);
    valores.cveCargo = cveCargo;
    valores.cveArea = cveArea;
    ponTexto(mskTelRep, e.telefonoRepresentante);
    ponTexto(mskCelularRep, e.celularRepresentante);
    ponTexto(cmbInstruccion, QString::number(e.claveInstruccion) + QLatin1Char(' ') + instruccion->trimmed());
    TxtObservacion->setPlainText(e.observacion);
    m_captura.consultado(folio, anio);
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
    m_captura.olvida();
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
        const char *tabla, *columna;
        QString valor;
        QWidget* control;
    } largos[] = {
        {"suscriptor", "nombre", CmbSuscriptor->currentText().trimmed(), CmbSuscriptor},
        {"suscriptor", "cargo_suscriptor", TxtCargoSuscrip->text().trimmed(), TxtCargoSuscrip},
        {"evento", "descripcion", txtEvento->toPlainText().trimmed(), txtEvento},
        {"evento", "direccion", CmbDirecciones->currentText().trimmed(), CmbDirecciones},
        {"representante_del_evento", "nombre", cmbNombreRep->currentText(), cmbNombreRep},
        {"representante_del_evento", "cargo", txtCargoFun->text(), txtCargoFun},
        {"representante_del_evento", "area", txtAreaFun->text(), txtAreaFun},
        {"representante_del_evento", "observacion", TxtObservacion->toPlainText().trimmed(), TxtObservacion},
    };
    for (const auto& l : largos) {
        const Campo& campo = Evento::campo(QString::fromUtf8(l.tabla), QString::fromUtf8(l.columna));
        const int n = largo(l.valor);
        if (n <= campo.limiteEnPantalla())
            continue;
        aviso(QStringLiteral("El campo \"%1\" admite hasta %2 caracteres y tiene %3. Verifique :(")
                  .arg(campo.textoDelRotulo())
                  .arg(campo.limiteEnPantalla())
                  .arg(n),
              l.control);
        return false;
    }
    return true;
}

// Turns the names on the screen into catalogue keys and the options into
// their words. The working values change only when all of it succeeds.
void frmCaptura::resuelveValores() {
    Catalogos c = catalogos();
    ValoresDeTrabajo v = valores;

    // A staff member is stored by keys, all three from the staff catalogue.
    const auto funcionario = c.funcionarioPorNombre(cmbNombreRep->currentText().trimmed());
    if (!funcionario) {
        v.cveFuncionario.clear();
        v.cveCargo.clear();
        v.cveArea.clear();
        v.nombreRepresentante = cmbNombreRep->currentText();
        v.cargoRepresentante = txtCargoFun->text();
        v.areaRepresentante = txtAreaFun->text();
    } else {
        v.cveFuncionario = funcionario->clave;
        v.cveCargo = funcionario->cveCargo;
        v.cveArea = funcionario->cveArea;
        v.nombreRepresentante.clear();
        v.cargoRepresentante.clear();
        v.areaRepresentante.clear();
    }

    // The locality is sought within the municipality: names repeat across municipalities.
    const QString nombreDelMunicipio = cmbMunicipio->currentText().trimmed();
    const auto municipio = c.municipioPorNombre(nombreDelMunicipio);
    if (!municipio)
        throw noEncontrado(QStringLiteral("El municipio \"%1\" no está en el catálogo de municipios.")
                               .arg(nombreDelMunicipio));
    v.cveMunicipio = municipio->clave;
    const QString nombreDeLaLocalidad = cmbLocalidad->currentText().trimmed();
    const auto localidad = c.localidadPorNombre(v.cveMunicipio, nombreDeLaLocalidad);
    if (!localidad)
        throw noEncontrado(QStringLiteral("La localidad \"%1\" no pertenece al municipio \"%2\".")
                               .arg(nombreDeLaLocalidad, municipio->nombre));
    v.cveLocalidad = localidad->clave;

    // The key is the number before the first blank of the list entry.
    const QString instruccion = cmbInstruccion->currentText();
    const int blanco = int(instruccion.indexOf(QLatin1Char(' ')));
    bool esNumero = false;
    const int clave = blanco < 0 ? 0 : instruccion.left(blanco).trimmed().toInt(&esNumero);
    if (!esNumero)
        throw ErrorDeEjecucion(
            CodigoDeError::Conversion,
            QStringLiteral("La instrucción \"%1\" no comienza con su número.").arg(instruccion), fuente);
    if (!c.instruccion(clave))
        throw noEncontrado(
            QStringLiteral("La instrucción %1 no está en el catálogo de instrucciones.").arg(clave));
    v.cveInstruccion = clave;

    v.representaA = optRepGob->isChecked() ? QStringLiteral("Gobernador") : QStringLiteral("Secretario");
    v.caracter = OptNormal->isChecked()        ? QStringLiteral("Normal")
                 : optPrioritario->isChecked() ? QStringLiteral("Prioritario")
                                               : QStringLiteral("Urgente");
    v.anio = Eventos::anioDelEvento(DTPFechaEvento->date());
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
    return Eventos::siguienteFolio(Modulo::taloren(), valores.anio);
}

void frmCaptura::actualiza() {
    Eventos::actualiza(Modulo::taloren(), eventoEnPantalla(TxtFolio->text().trimmed().toInt()));
}

int frmCaptura::Elimina() {
    return m_captura.elimina(Modulo::taloren(), TxtFolio->text().trimmed().toInt(),
                             Eventos::anioDelEvento(DTPFechaEvento->date()));
}

// Another station stored the folio this screen drew (a new one is on screen
// now), or this screen's folio names a stored event it did not look up.
void frmCaptura::avisaFolioOcupado(const Evento& evento, const Eventos::Captura::Guardado& guardado) {
    if (guardado.resultado == Eventos::Captura::Resultado::FolioTomado) {
        const QString nuevo = QString::number(guardado.nuevoFolio);
        TxtFolio->setText(nuevo);
        aviso(QStringLiteral(
                  "El folio %1 del año %2 acaba de registrarse desde otra estación. A este evento le "
                  "corresponde ahora el folio %3: presione Grabar de nuevo para almacenarlo.")
                  .arg(evento.folio)
                  .arg(evento.anio)
                  .arg(nuevo),
              CmdGuardar);
        return;
    }
    aviso(QStringLiteral("Ya existe un evento con el folio %1 del año %2 y no es el que se consultó en esta "
                         "pantalla, así que no se guardó nada.")
                  .arg(evento.folio)
                  .arg(evento.anio) +
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

        if (Eventos::Captura::tocaSortear(TxtFolio->text())) {
            TxtFolio->setText(m_captura.sortea(Modulo::taloren(), valores.anio));
            return;
        }
        const Evento evento = eventoEnPantalla(TxtFolio->text().trimmed().toInt());
        const Eventos::Captura::Guardado guardado = m_captura.guarda(Modulo::taloren(), evento);
        if (guardado.resultado == Eventos::Captura::Resultado::FolioTomado ||
            guardado.resultado == Eventos::Captura::Resultado::FolioAjeno) {
            avisaFolioOcupado(evento, guardado);
            return;
        }
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
    const int anio = Eventos::anioDelEvento(DTPFechaEvento->date());
    try {
        bool esNumero = false;
        const int numero = folio.trimmed().toInt(&esNumero);
        // Only the event this screen shows as stored may go: never one nobody looked at.
        if (!esNumero || !m_captura.esElConsultado(numero, anio)) {
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
