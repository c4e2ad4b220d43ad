#include "capture/frmCaptura.h"

#include "capture/PantallaDeCaptura.h"
#include "common/Avisos.h"
#include "common/FrmConflicto.h"
#include "common/FrmHistorial.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/Cajas.h"
#include "outside/CajaDeMensajes.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "server/Agenda.h"
#include "server/Catalogos.h"
#include "server/Eventos.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

using namespace PantallaDeCaptura;

frmCaptura::frmCaptura(QWidget* parent) : QDialog(parent) {
    Modulo::PreparaVentanaDeTrabajo(*this, QStringLiteral("frmCaptura"),
                                    QStringLiteral("Captura de movimientos"), 11760, 8160);
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
    connect(CmdHistorial, &QToolButton::clicked, this, &frmCaptura::CmdHistorial_Click);
    connect(cmdEliminar, &QToolButton::clicked, this, &frmCaptura::cmdEliminar_Click);
    connect(cmdNuevo, &QToolButton::clicked, this, &frmCaptura::cmdNuevo_Click);
    connect(CmdGuardar, &QToolButton::clicked, this, &frmCaptura::CmdGuardar_Click);
    connect(cmdSalir, &QToolButton::clicked, this, &frmCaptura::cmdSalir_Click);
}

void frmCaptura::preparaCompletado(QComboBox* combo) {
    combo->setEditable(true);
    Cajas::limita(combo);
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

void frmCaptura::showEvent(QShowEvent* evento) {
    if (!m_cargada) {
        Form_Load();
        if (m_porMostrar)
            MuestraEvento(m_porMostrar->first, m_porMostrar->second);
        m_porMostrar.reset();
    }
    QDialog::showEvent(evento);
}

void frmCaptura::MuestraEvento(int folio, int anio) {
    try {
        muestraEvento(folio, anio);
        TxtFolio->setText(QString::number(folio));
        cmdEliminar->setEnabled(true);
        marcaComoGuardado();
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible consultar el folio %1.").arg(folio) + Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
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
    habilitaHistorial();
    marcaComoGuardado();
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

void frmCaptura::cmdNuevo_Click() {
    const auto respuesta = Modulo::Avisa(
        {CajaDeMensajes::Icono::Pregunta,
         {},
         QStringLiteral("Se limiparán los datos de la pantalla. Si no ha guardado los datos, se perderán") +
             Modulo::DobleSalto + QStringLiteral("¿Desea Continuar?"),
         CajaDeMensajes::Si | CajaDeMensajes::No,
         CajaDeMensajes::Si,
         CajaDeMensajes::No});
    if (respuesta == CajaDeMensajes::Si)
        LimpiaDatos();
    TxtFolio->setFocus();
}

void frmCaptura::cmdSalir_Click() {
    accept();
}

QStringList frmCaptura::contenidoEnPantalla() const {
    // The folio box only names what to look up; the rest is the event.
    QStringList contenido;
    for (const QWidget* w : findChildren<QWidget*>()) {
        if (w == TxtFolio)
            continue;
        if (const auto* caja = qobject_cast<const QLineEdit*>(w))
            contenido << caja->text();
        else if (const auto* texto = qobject_cast<const QPlainTextEdit*>(w))
            contenido << texto->toPlainText();
        else if (const auto* lista = qobject_cast<const QComboBox*>(w))
            contenido << lista->currentText();
        else if (const auto* opcion = qobject_cast<const QRadioButton*>(w))
            contenido << QString::number(opcion->isChecked());
    }
    return contenido;
}

void frmCaptura::marcaComoGuardado() {
    m_guardado = contenidoEnPantalla();
}

bool frmCaptura::hayCambiosSinGuardar() const {
    return m_captura.folioSinGuardar() > 0 || contenidoEnPantalla() != m_guardado;
}

bool frmCaptura::confirmaConNo(const QString& texto) {
    return Modulo::Avisa({CajaDeMensajes::Icono::Pregunta,
                          {},
                          texto,
                          CajaDeMensajes::Si | CajaDeMensajes::No,
                          CajaDeMensajes::No,
                          CajaDeMensajes::No}) == CajaDeMensajes::Si;
}

void frmCaptura::done(int resultado) {
    if (m_cargada && hayCambiosSinGuardar()) {
        QString texto = QStringLiteral("¿Desea cerrar sin guardar los cambios?");
        if (const int sinGuardar = m_captura.folioSinGuardar(); sinGuardar > 0)
            texto = QStringLiteral("El evento con el folio %1 aún no está guardado.").arg(sinGuardar) +
                    Modulo::DobleSalto + texto;
        if (!confirmaConNo(texto))
            return;
    }
    QDialog::done(resultado);
}

void frmCaptura::cmdAgrega_Click() {
    // An event chosen in the query window opened from here is shown here, and
    // the query window closes; the main window's way is back afterwards.
    const Modulo::Aperturas anteriores = Modulo::AperturasEnUso();
    Modulo::Aperturas propias = anteriores;
    propias.evento = [this](int folio, int anio) {
        if (hayCambiosSinGuardar() &&
            !confirmaConNo(QStringLiteral("Los datos de la pantalla no están guardados y se perderán.") +
                           Modulo::DobleSalto + QStringLiteral("¿Desea mostrar el evento elegido?")))
            return false;
        MuestraEvento(folio, anio);
        return true;
    };
    struct Restaura {
        Modulo::Aperturas aperturas;
        ~Restaura() { Modulo::EstableceAperturas(std::move(aperturas)); }
    } restaura{anteriores};
    Modulo::EstableceAperturas(std::move(propias));
    Modulo::AbreConsultas();
}

void frmCaptura::habilitaHistorial() {
    CmdHistorial->setEnabled(m_captura.leido().has_value() && m_captura.folioSinGuardar() == 0);
}

void frmCaptura::CmdHistorial_Click() {
    if (const std::optional<Evento>& e = m_captura.leido())
        FrmHistorial::Muestra(Modulo::taloren(), Catalogo::Taloren, e->anio, e->folio, this);
}

void frmCaptura::aviso(const QString& texto, QWidget* campo) {
    Modulo::Avisa({CajaDeMensajes::Icono::Exclamacion,
                   {},
                   texto,
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar});
    if (campo)
        campo->setFocus();
}

QString frmCaptura::UltimoNro() {
    return Eventos::siguienteFolio(Modulo::taloren(), valores.anio);
}

Eventos::Escritura frmCaptura::Elimina(int sobreVersion) {
    return m_captura.elimina(Modulo::taloren(), TxtFolio->text().trimmed().toInt(),
                             Eventos::anioDelEvento(DTPFechaEvento->date()), Modulo::autor(), sobreVersion);
}

void frmCaptura::avisaEliminado(int folio, int anio) {
    aviso(QStringLiteral(
              "Otra estación eliminó el evento con folio %1 del año %2 después de su consulta; no se "
              "guardó nada.")
                  .arg(folio)
                  .arg(anio) +
              Modulo::DobleSalto +
              QStringLiteral(
                  "Lo escrito sigue en pantalla: para registrarlo como evento nuevo, borre el folio y "
                  "presione Grabar."),
          TxtFolio);
}

void frmCaptura::resuelveConflicto(const Evento& enPantalla, bool esBaja) {
    Conexion& taloren = Modulo::taloren();
    const std::optional<Evento> guardado = Eventos::busca(taloren, enPantalla.folio, enPantalla.anio);
    if (!guardado || !m_captura.leido())
        return avisaEliminado(enPantalla.folio, enPantalla.anio);
    const Evento leido = *m_captura.leido();
    FrmConflicto::Datos datos{
        QStringLiteral("el evento con folio %1 del año %2").arg(enPantalla.folio).arg(enPantalla.anio),
        Historial::ultima(taloren, Catalogo::Taloren, enPantalla.anio, enPantalla.folio),
        Historial::comparacion(Evento::camposDelRegistro(), leido, enPantalla, *guardado), guardado->version,
        esBaja};
    const auto decision = FrmConflicto::Resuelve(
        std::move(datos), [&] { MuestraEvento(enPantalla.folio, enPantalla.anio); }, this);
    if (decision != FrmConflicto::Sobrescribir)
        return;
    if (!esBaja)
        return guardaEvento(enPantalla, guardado->version);
    switch (Elimina(guardado->version)) {
    case Eventos::Escritura::Hecha:
        return avisaEliminacion(QString::number(enPantalla.folio));
    case Eventos::Escritura::Eliminado:
        return avisaEliminado(enPantalla.folio, enPantalla.anio);
    case Eventos::Escritura::Cambiado:
        return resuelveConflicto(enPantalla, true);
    }
}

void frmCaptura::guardaEvento(const Evento& evento, int sobreVersion) {
    const Eventos::Captura::Guardado guardado =
        m_captura.guarda(Modulo::taloren(), evento, Modulo::autor(), sobreVersion);
    switch (guardado.resultado) {
    case Eventos::Captura::Resultado::FolioAjeno:
        aviso(QStringLiteral(
                  "Ya existe un evento con el folio %1 del año %2 y no es el que se consultó en esta "
                  "pantalla, así que no se guardó nada.")
                      .arg(evento.folio)
                      .arg(evento.anio) +
                  Modulo::DobleSalto +
                  QStringLiteral(
                      "Para modificarlo, escriba su folio y presione Enter; para registrar un evento "
                      "nuevo, deje el folio vacío y presione Grabar."),
              TxtFolio);
        return;
    case Eventos::Captura::Resultado::Cambiado:
        return resuelveConflicto(evento);
    case Eventos::Captura::Resultado::Eliminado:
        return avisaEliminado(evento.folio, evento.anio);
    case Eventos::Captura::Resultado::Insertado:
    case Eventos::Captura::Resultado::Actualizado:
        break;
    }
    LblMensajeAUsuario->clear();
    QString texto = QStringLiteral("Actualización realizada satisfactoriamente");
    if (guardado.resultado == Eventos::Captura::Resultado::Insertado && guardado.folio != evento.folio) {
        // Another station stored the folio shown first: the event has the next one.
        TxtFolio->setText(QString::number(guardado.folio));
        texto += Modulo::DobleSalto +
                 QStringLiteral(
                     "Otra estación registró antes el folio %1; este evento quedó guardado con el folio "
                     "%2 del año %3.")
                     .arg(evento.folio)
                     .arg(guardado.folio)
                     .arg(evento.anio);
    }
    habilitaHistorial();
    marcaComoGuardado();
    Modulo::Avisa({CajaDeMensajes::Icono::Informacion,
                   {},
                   texto,
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar});
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
        // Nothing is received after today.
        for (const auto& [caja, columna] :
             {std::pair{dtpFechaRecep, "fecha_recepcion"}, std::pair{dtpFechaFisica, "fecha_fisica"}})
            if (caja->date() > Reloj::actual().hoy()) {
                aviso(QStringLiteral("La fecha \"%1\" no puede ser posterior a hoy.")
                          .arg(Evento::campo(QStringLiteral("evento"), QString::fromLatin1(columna))
                                   .textoDelRotulo()),
                      caja);
                return;
            }
        // The second click of a new event stores what the first resolved,
        // unless the screen changed in between.
        if (contenidoEnPantalla() != m_resuelto) {
            m_resuelto.clear();
            resuelveValores();
            m_resuelto = contenidoEnPantalla();
        }

        if (Eventos::Captura::tocaSortear(TxtFolio->text())) {
            TxtFolio->setText(m_captura.sortea(Modulo::taloren(), valores.anio));
            habilitaHistorial();
            LblMensajeAUsuario->setText(
                QStringLiteral(
                    "El evento aún no está guardado: guarde otra vez para guardarlo con el folio %1.")
                    .arg(TxtFolio->text()));
            return;
        }
        if (!Modulo::FechaDelEventoAdmitida(DTPFechaEvento->date())) {
            DTPFechaEvento->setFocus();
            return;
        }
        const Evento evento = eventoEnPantalla(TxtFolio->text().trimmed().toInt());
        if (!Modulo::SinDobleReserva(Modulo::LectorDeAgenda().deEvento(evento)))
            return;
        guardaEvento(evento);
    } catch (...) {
        const ErrorDeEjecucion error = ErrorDeEjecucion::actual();
        Modulo::MensajeDeError(
            QStringLiteral("¡Error! No fué posible almacenar los datos.") + Modulo::DobleSalto +
            QStringLiteral("Error: ") + QString::number(error.numero()) + Modulo::Salto +
            QStringLiteral("Descripción: ") + error.descripcion() +
            // The server's own words, for whoever supports the office.
            (error.detalle().isEmpty() ? QString()
                                       : Modulo::Salto + QStringLiteral("Detalle: ") + error.detalle()));
    }
}

void frmCaptura::avisaEliminacion(const QString& folio) {
    Modulo::Avisa({CajaDeMensajes::Icono::Informacion,
                   {},
                   QStringLiteral("El folio ") + folio + QStringLiteral(" del año ") +
                       QString::number(Eventos::anioDelEvento(DTPFechaEvento->date())) +
                       QStringLiteral(" ha sido eliminado"),
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar,
                   CajaDeMensajes::Aceptar});
    LimpiaDatos();
    TxtFolio->setFocus();
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
        const auto respuesta = Modulo::Avisa({CajaDeMensajes::Icono::Ninguno,
                                              {},
                                              QStringLiteral("Esta seguro de eliminar esta invitación?"),
                                              CajaDeMensajes::Aceptar | CajaDeMensajes::Cancelar,
                                              CajaDeMensajes::Cancelar,
                                              CajaDeMensajes::Cancelar});
        if (respuesta != CajaDeMensajes::Aceptar)
            return;
        switch (Elimina()) {
        case Eventos::Escritura::Eliminado:
            aviso(QStringLiteral(
                      "El folio %1 del año %2 ya no estaba registrado: otra estación lo eliminó antes.")
                      .arg(folio.trimmed())
                      .arg(anio),
                  TxtFolio);
            return;
        case Eventos::Escritura::Cambiado:
            // What the person meant to delete is what the look-up read.
            return resuelveConflicto(*m_captura.leido(), true);
        case Eventos::Escritura::Hecha:
            return avisaEliminacion(folio);
        }
    } catch (...) {
        Modulo::MensajeDeError(
            QStringLiteral("No fue posible eliminar el folio %1 del año %2.").arg(folio.trimmed()).arg(anio) +
            Modulo::DobleSalto +
            Modulo::TextoDeError(ErrorDeEjecucion::actual(), QStringLiteral("Descripción: ")));
    }
}
