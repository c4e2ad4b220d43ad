#include "capture/PantallaDeCaptura.h"
#include "capture/frmCaptura.h"
#include "common/DocumentosDeOficio.h"
#include "outside/Reloj.h"
#include "server/Eventos.h"

#include <QDateTimeEdit>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>

// The capture window's screen mapped to and from an event: what a look-up
// shows, what a save stores, what the checks before it refuse, and the
// screen cleared.

using namespace PantallaDeCaptura;

QString frmCaptura::TextoDeMascara(const QLineEdit* caja) {
    return caja->inputMask().isEmpty() ? caja->text() : caja->displayText();
}

void frmCaptura::vaciaMascaras() {
    for (QLineEdit* c : {mskTelSusc, mskCelularSusc, mskHora, mskTelRep, mskCelularRep})
        ponTexto(c, QString());
}

void frmCaptura::LlenaObjetos() {
    muestraEvento(TxtFolio->text().trimmed().toInt(), Eventos::anioDeLaConsulta(dtpFechaRecep->date()));
}

void frmCaptura::muestraEvento(int folio, int anio) {
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
    m_captura.consultado(e);
    m_resuelto.clear();
    habilitaHistorial();
    LblMensajeAUsuario->clear();
    marcaComoGuardado();
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
    m_resuelto.clear();
    habilitaHistorial();
    LblMensajeAUsuario->clear();
    marcaComoGuardado();
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
