#include "common/DocumentosDeOficio.h"

#include "common/Avisos.h"
#include "common/Documentos.h"
#include "common/Modulo.h"
#include "outside/CajaDeMensajes.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "server/Invitacion.h"

#include <QLocale>

namespace DocumentosDeOficio {

namespace {

// The office writes Spanish whatever the station's own language.
const QLocale& espanol() {
    static const QLocale l(QLocale::Spanish, QLocale::Spain);
    return l;
}

QString dosDigitos(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

QString palabraDeCaracter(DatosDelOficio::Caracter c) {
    switch (c) {
    case DatosDelOficio::Caracter::Normal:
        return QStringLiteral("Normal");
    case DatosDelOficio::Caracter::Prioritario:
        return QStringLiteral("Prioritario");
    case DatosDelOficio::Caracter::Urgente:
        return QStringLiteral("Urgente");
    case DatosDelOficio::Caracter::Ninguno:
        break;
    }
    return {};
}

// The instruction's description: what follows the key and its blank.
QString descripcionDeInstruccion(const QString& entrada) {
    const qsizetype blanco = entrada.indexOf(QLatin1Char(' '));
    return blanco < 0 ? entrada : entrada.mid(blanco + 1);
}

void avisa(CajaDeMensajes::Icono icono, const QString& texto, CajaDeMensajes::Botones botones) {
    Modulo::Avisa(
        {icono,
         {},
         texto,
         botones,
         CajaDeMensajes::Aceptar,
         botones.testFlag(CajaDeMensajes::Cancelar) ? CajaDeMensajes::Cancelar : CajaDeMensajes::Aceptar});
}

void oficioDelSecretario(const DatosDelOficio& d, std::optional<QString>& caracter) {
    const auto word = Documentos::IniciaProcesador();
    if (!word)
        return;
    const QString referencia = NumeroDeOficio(d.folio, d.fechaFisica);
    auto doc = word->nuevoDocumento(QStringLiteral("plantilla.dot"),
                                    QStringLiteral("Oficio del Secretario, folio %1 de %2")
                                        .arg(d.folio)
                                        .arg(d.fechaFisica.date().year()));
    doc->escribeCampo(QStringLiteral("txtfolio"), referencia);
    // A date, not text: the template's field says how it reads.
    doc->escribeCampo(QStringLiteral("txtfecha"), Reloj::actual().ahora());
    caracter = palabraDeCaracter(d.caracter);
    doc->escribeCampo(QStringLiteral("txtcaracter"), caracter->isEmpty()
                                                         ? QStringLiteral(" ")
                                                         : QString(QStringLiteral("Carácter: ") + *caracter));
    doc->escribeCampo(QStringLiteral("txtrepres"), d.representante);
    doc->escribeCampo(QStringLiteral("txtcargorep"), d.cargoRepresentante);
    doc->escribeCampo(QStringLiteral("txtsuscriptor"), d.suscriptor);
    doc->escribeCampo(QStringLiteral("txtcargosuscriptor"), d.cargoSuscriptor);
    doc->escribeCampo(QStringLiteral("txtevento"), d.evento);
    doc->escribeCampo(QStringLiteral("txtDireccion"), d.direccion);
    doc->escribeCampo(QStringLiteral("txtfechavento"), FechaEnLetras(d.fechaEvento.date()));
    doc->escribeCampo(QStringLiteral("txthora"), d.hora == QLatin1String("00:00") || d.hora.isEmpty()
                                                     ? QString()
                                                     : QString(QStringLiteral("Hora ") + d.hora));
    doc->escribeCampo(QStringLiteral("txtinstruccion"),
                      d.indicacion.isEmpty() ? descripcionDeInstruccion(d.instruccion) : d.indicacion);
    // An empty observation leaves the template's field as it is.
    if (!d.observacion.isEmpty())
        doc->escribeCampo(QStringLiteral("txtobservacion"),
                          QString(QStringLiteral("Nota: ") + d.observacion));
    const DocumentoMostrado hecho = doc->muestra();
    if (!hecho.abierto)
        Documentos::AvisaSinAbrir({hecho.archivo});
}

void oficioDelGobernador(const DatosDelOficio& d) {
    const auto word = Documentos::IniciaProcesador();
    if (!word)
        return;
    const QDate hoy = Reloj::actual().hoy();
    const QDate evento = d.fechaEvento.date();
    auto doc = word->nuevoDocumento(QStringLiteral("PlantillaRepGob1.dot"),
                                    QStringLiteral("Oficio del Gobernador, folio %1 de %2")
                                        .arg(d.folio)
                                        .arg(d.fechaFisica.date().year()));
    doc->escribeCampo(QStringLiteral("txtfolio"), NumeroDeOficio(d.folio, d.fechaFisica));
    doc->escribeCampo(QStringLiteral("txtdia"), dosDigitos(hoy.day()));
    doc->escribeCampo(QStringLiteral("txtmes"), NombreMes(hoy.month()));
    doc->escribeCampo(QStringLiteral("txtaño"),
                      QStringLiteral("%1").arg(hoy.year(), 4, 10, QLatin1Char('0')));
    doc->escribeCampo(QStringLiteral("txtreprese"), d.representante);
    doc->escribeCampo(QStringLiteral("txtcargorep1"), d.cargoRepresentante);
    doc->escribeCampo(QStringLiteral("txtevento"), d.evento);
    doc->escribeCampo(QStringLiteral("txtdireccion"), d.direccion);
    doc->escribeCampo(QStringLiteral("Txtdiaevento"), dosDigitos(evento.day()));
    doc->escribeCampo(QStringLiteral("Txtmesevento"), NombreMes(evento.month()));
    doc->escribeCampo(QStringLiteral("txthora"), d.hora);
    doc->escribeCampo(QStringLiteral("txtrepres"), d.representante);
    doc->escribeCampo(QStringLiteral("txtcargorep"), d.cargoRepresentante);
    const DocumentoMostrado hecho = doc->muestra();
    if (!hecho.abierto)
        Documentos::AvisaSinAbrir({hecho.archivo});
}

} // namespace

DatosDelOficio DeInvitacion(const Invitacion& i) {
    const auto conPrefijo = [](const QString& prefijo, const QString& texto) {
        return prefijo.trimmed().isEmpty() ? texto : prefijo.trimmed() + QLatin1Char(' ') + texto;
    };
    DatosDelOficio d;
    d.folio = QStringLiteral("I") + QString::number(i.folio);
    d.fechaFisica = i.fechaRecepcion;
    d.representa = i.representaA == QLatin1String("Srio")  ? DatosDelOficio::Representa::Secretario
                   : i.representaA == QLatin1String("Gob") ? DatosDelOficio::Representa::Gobernador
                                                           : DatosDelOficio::Representa::Ninguno;
    d.caracter = i.caracter == QLatin1String("Normal")    ? DatosDelOficio::Caracter::Normal
                 : i.caracter == QLatin1String("Urgente") ? DatosDelOficio::Caracter::Urgente
                                                          : DatosDelOficio::Caracter::Ninguno;
    d.representante =
        i.representante.trimmed().isEmpty() ? QString() : conPrefijo(i.prefijo2, i.representante);
    d.cargoRepresentante = i.cargoRepresentante;
    d.suscriptor = i.suscriptor;
    d.cargoSuscriptor = i.cargoSuscriptor;
    d.evento = conPrefijo(i.prefijo1, i.descripcion);
    d.direccion = i.ubicacion.trimmed().isEmpty() ? QString() : conPrefijo(i.prefijo3, i.ubicacion);
    d.fechaEvento = i.fechaEvento;
    d.hora = i.hora == QLatin1String("SinHr") ? QString() : i.hora;
    d.indicacion = i.indicacion;
    d.observacion = i.observacion;
    return d;
}

QString NombreMes(int mes) {
    static const char* const nombres[] = {"enero",      "febrero", "marzo",     "abril",
                                          "mayo",       "junio",   "julio",     "agosto",
                                          "septiembre", "octubre", "noviembre", "diciembre"};
    return mes >= 1 && mes <= 12 ? QString::fromLatin1(nombres[mes - 1]) : QString();
}

QString FechaEnLetras(const QDate& fecha) {
    QString mes = espanol().monthName(fecha.month(), QLocale::LongFormat);
    if (!mes.isEmpty())
        mes[0] = mes.at(0).toUpper();
    return espanol().dayName(fecha.dayOfWeek(), QLocale::LongFormat) + QLatin1Char(' ') +
           dosDigitos(fecha.day()) + QStringLiteral(" de ") + mes + QStringLiteral(" de ") +
           QStringLiteral("%1").arg(fecha.year(), 4, 10, QLatin1Char('0'));
}

QString NumeroDeOficio(const QString& folio, const QDateTime& fechaFisica) {
    return QStringLiteral("KD/MOR/") + folio + QLatin1Char('/') + QString::number(fechaFisica.date().year()) +
           QStringLiteral("/VLT");
}

QStringList FaltasDelOficio(const DatosDelOficio& d) {
    QStringList faltan;
    // Only the Secretary's letter names who invites.
    if (d.representa == DatosDelOficio::Representa::Secretario && d.suscriptor.trimmed().isEmpty())
        faltan << QStringLiteral("el nombre de quien invita");
    if (d.representante.trimmed().isEmpty())
        faltan << QStringLiteral("el representante");
    if (d.direccion.trimmed().isEmpty())
        faltan << QStringLiteral("la ubicación del evento");
    return faltan;
}

std::optional<QString> CmdImprimir(const DatosDelOficio& datos) {
    std::optional<QString> caracter;
    try {
        if (datos.folio.isEmpty()) {
            avisa(CajaDeMensajes::Icono::Critico, QStringLiteral("Debe Seleccionar un folio para imprimir"),
                  CajaDeMensajes::Aceptar | CajaDeMensajes::Cancelar);
            return caracter;
        }
        // A letter addressed to nobody, or naming no place, is said before it is written.
        if (const QStringList faltan = FaltasDelOficio(datos);
            datos.representa != DatosDelOficio::Representa::Ninguno && !faltan.isEmpty()) {
            const auto respuesta = Modulo::Avisa(
                {CajaDeMensajes::Icono::Exclamacion,
                 {},
                 QStringLiteral("El oficio saldrá sin ") + faltan.join(QStringLiteral(", ")) +
                     QLatin1Char('.') + Modulo::DobleSalto + QStringLiteral("¿Desea hacerlo de todos modos?"),
                 CajaDeMensajes::Si | CajaDeMensajes::No,
                 CajaDeMensajes::No,
                 CajaDeMensajes::No});
            if (respuesta != CajaDeMensajes::Si)
                return caracter;
        }
        switch (datos.representa) {
        case DatosDelOficio::Representa::Secretario:
            oficioDelSecretario(datos, caracter);
            break;
        case DatosDelOficio::Representa::Gobernador:
            oficioDelGobernador(datos);
            break;
        case DatosDelOficio::Representa::Ninguno:
            avisa(CajaDeMensajes::Icono::Informacion,
                  QStringLiteral("No Existe Representante del Evento, Actualice Informacion"),
                  CajaDeMensajes::Aceptar);
            break;
        }
    } catch (...) {
        // A template or field that is not there: nothing was saved, the
        // half-made document is dropped.
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
    return caracter;
}

} // namespace DocumentosDeOficio
