// The administration command: creates the catalogs on a server, manages the
// accounts of the login and the configuration row that the start-up reads,
// and exports and imports the catalogs' data. It parses and prints; the work
// is the libraries'.
#include "outside/AjustesDeConexion.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Agenda.h"
#include "server/Calendario.h"
#include "server/administracion/Administracion.h"
#include "server/administracion/Apertura.h"
#include "server/administracion/ListadoDelHistorial.h"
#include "server/administracion/Semilla.h"
#include "server/intercambio/Intercambio.h"

#include "outside/Idioma.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <QTimeZone>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

QTextStream salida(stdout);
QTextStream errores(stderr);

QTextStream& entrada() {
    static QTextStream flujo(stdin);
    return flujo;
}

QString pideContrasena(const QString& cuenta,
                       const QString& pregunta = QStringLiteral("Contraseña para %1: ")) {
    const bool terminal = isatty(STDIN_FILENO);
    termios antes{};
    if (terminal) {
        errores << pregunta.arg(cuenta) << Qt::flush;
        tcgetattr(STDIN_FILENO, &antes);
        termios sinEco = antes;
        sinEco.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &sinEco);
    }
    const QString contrasena = entrada().readLine();
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSANOW, &antes);
        errores << Qt::endl;
    }
    return contrasena;
}

bool siONo(const QString& texto, bool& valor) {
    const QString t = texto.trimmed().toLower();
    if (t == QLatin1String("si") || t == QLatin1String("sí") || t == QLatin1String("yes") ||
        t == QLatin1String("1") || t == QLatin1String("true")) {
        valor = true;
        return true;
    }
    if (t == QLatin1String("no") || t == QLatin1String("0") || t == QLatin1String("false")) {
        valor = false;
        return true;
    }
    return false;
}

// The first password of a server's "admin": from --admin-password-file, or
// typed twice on a terminal, or one line of standard input. Empty when none
// was given, which makes create refuse.
QString primeraContrasena(const QCommandLineParser& opciones) {
    if (opciones.isSet(QStringLiteral("admin-password-file"))) {
        const QString archivo = opciones.value(QStringLiteral("admin-password-file"));
        QFile f(archivo);
        if (!f.open(QIODevice::ReadOnly))
            throw ErrorDeEjecucion(CodigoDeError::Ajustes,
                                   QStringLiteral("No se pudo leer el archivo de la contraseña %1 (%2).")
                                       .arg(archivo, f.errorString()),
                                   QStringLiteral("taloren-admin"));
        QString linea = QString::fromUtf8(f.readLine());
        if (linea.endsWith(QLatin1Char('\n')))
            linea.chop(1);
        if (linea.endsWith(QLatin1Char('\r')))
            linea.chop(1);
        return linea;
    }
    const QString cuenta = QString::fromLatin1(Semilla::cuentaInicial);
    const QString contrasena = pideContrasena(cuenta, QStringLiteral("Primera contraseña de %1: "));
    if (isatty(STDIN_FILENO) && !contrasena.isEmpty() &&
        pideContrasena(cuenta, QStringLiteral("Escríbala otra vez: ")) != contrasena)
        throw ErrorDeEjecucion(CodigoDeError::Ajustes, QStringLiteral("Las dos contraseñas no coinciden."),
                               QStringLiteral("taloren-admin"));
    return contrasena;
}

// A positive whole number up to `maximo`, or 0.
int numeroPositivo(const QString& texto, int maximo) {
    bool ok = false;
    const int n = texto.trimmed().toInt(&ok);
    return ok && n > 0 && n <= maximo ? n : 0;
}

// "history AÑO FOLIO" or "history --borrados [--desde aaaa-mm-dd]", on
// --eventos the event register's. It only reads: a station's settings do.
int historial(const QCommandLineParser& opciones, const AjustesDeConexion& ajustes) {
    const QStringList args = opciones.positionalArguments();
    const bool borrados = opciones.isSet(QStringLiteral("borrados"));
    const Catalogo catalogo =
        opciones.isSet(QStringLiteral("eventos")) ? Catalogo::Taloren : Catalogo::Kelmar;
    int anio = 0, folio = 0;
    QDate desde;
    if (borrados) {
        if (args.size() != 1) {
            errores << QStringLiteral("history --borrados no lleva año ni folio: taloren-admin history "
                                      "--borrados [--desde aaaa-mm-dd] [--eventos]")
                    << Qt::endl;
            return 2;
        }
        if (opciones.isSet(QStringLiteral("desde"))) {
            const QString texto = opciones.value(QStringLiteral("desde"));
            desde = QDate::fromString(texto, QStringLiteral("yyyy-MM-dd"));
            if (!desde.isValid()) {
                errores << QStringLiteral("--desde admite una fecha aaaa-mm-dd; \"%1\" no lo es.").arg(texto)
                        << Qt::endl;
                return 2;
            }
        }
    } else {
        if (opciones.isSet(QStringLiteral("desde"))) {
            errores << QStringLiteral("--desde sólo sirve con --borrados.") << Qt::endl;
            return 2;
        }
        if (args.size() != 3) {
            errores << QStringLiteral(
                           "Indique el año y el folio: taloren-admin history AÑO FOLIO [--eventos]")
                    << Qt::endl;
            return 2;
        }
        anio = numeroPositivo(args.at(1), 9999);
        folio = numeroPositivo(args.at(2), 2147483647);
        if (anio == 0 || folio == 0) {
            errores << QStringLiteral("El año (de 1 a 9999) y el folio deben ser números enteros positivos; "
                                      "se dio año \"%1\" y folio \"%2\".")
                           .arg(args.at(1), args.at(2))
                    << Qt::endl;
            return 2;
        }
    }
    auto conexion = Servidor::abre(
        catalogo, ajustes.nombraAdministrador() ? Administracion::comoAdministrador(ajustes) : ajustes);
    const QStringList lineas = borrados ? ListadoDelHistorial::borrados(*conexion, catalogo, desde)
                                        : ListadoDelHistorial::delRegistro(*conexion, catalogo, anio, folio);
    for (const QString& linea : lineas)
        salida << linea << Qt::endl;
    return 0;
}

// --catalogo kelmar|taloren|ambos; empty when the value is none of them.
QList<Catalogo> catalogosElegidos(const QCommandLineParser& opciones) {
    const QString v = opciones.isSet(QStringLiteral("catalogo")) ? opciones.value(QStringLiteral("catalogo"))
                                                                 : QStringLiteral("ambos");
    if (v == QLatin1String("kelmar"))
        return {Catalogo::Kelmar};
    if (v == QLatin1String("taloren"))
        return {Catalogo::Taloren};
    if (v == QLatin1String("ambos"))
        return {Catalogo::Kelmar, Catalogo::Taloren};
    return {};
}

// Where a long export or import is, on the error output, over one line.
Intercambio::Progreso progresoEnTerminal() {
    if (!isatty(STDERR_FILENO))
        return {};
    return [](const QString& catalogo, const QString& tabla, qint64 hechas, qint64 total) {
        errores << QStringLiteral("\r\033[K%1.%2: %3 de %4").arg(catalogo, tabla).arg(hechas).arg(total)
                << (hechas == total ? QStringLiteral("\n") : QString()) << Qt::flush;
    };
}

int exporta(const QCommandLineParser& opciones, const AjustesDeConexion& ajustes) {
    const QStringList args = opciones.positionalArguments();
    const QList<Catalogo> catalogos = catalogosElegidos(opciones);
    if (args.size() != 2 || catalogos.isEmpty()) {
        errores << QStringLiteral("Uso: taloren-admin export CARPETA [--catalogo kelmar|taloren|ambos]")
                << Qt::endl;
        return 2;
    }
    for (const QString& linea : Intercambio::exporta(ajustes, args.at(1), catalogos, progresoEnTerminal()))
        salida << linea << Qt::endl;
    return 0;
}

int importa(const QCommandLineParser& opciones, const AjustesDeConexion& ajustes) {
    const QStringList args = opciones.positionalArguments();
    Intercambio::Opciones o;
    o.catalogos = catalogosElegidos(opciones);
    if (args.size() != 2 || o.catalogos.isEmpty() ||
        (opciones.isSet(QStringLiteral("si")) && !opciones.isSet(QStringLiteral("reemplazar")))) {
        errores << QStringLiteral(
                       "Uso: taloren-admin import csv:CARPETA|odbc:\"CADENA\" [--catalogo "
                       "kelmar|taloren|ambos] [--prueba] [--omitir-rechazados] [--reemplazar [--si]] "
                       "[--invitaciones NOMBRE] [--fechas dma|amd|mda] [--informe CARPETA]")
                << Qt::endl;
        return 2;
    }
    o.origen = args.at(1);
    o.prueba = opciones.isSet(QStringLiteral("prueba"));
    o.omitirRechazados = opciones.isSet(QStringLiteral("omitir-rechazados"));
    o.reemplazar = opciones.isSet(QStringLiteral("reemplazar"));
    if (opciones.isSet(QStringLiteral("invitaciones")))
        o.invitaciones = opciones.value(QStringLiteral("invitaciones"));
    o.carpetaDelInforme = opciones.value(QStringLiteral("informe"));
    if (opciones.isSet(QStringLiteral("fechas"))) {
        const QString f = opciones.value(QStringLiteral("fechas"));
        if (f == QLatin1String("dma"))
            o.fechas = Intercambio::OrdenDeFecha::DiaMesAnio;
        else if (f == QLatin1String("amd"))
            o.fechas = Intercambio::OrdenDeFecha::AnioMesDia;
        else if (f == QLatin1String("mda"))
            o.fechas = Intercambio::OrdenDeFecha::MesDiaAnio;
        else {
            errores << QStringLiteral(
                           "--fechas admite dma (día/mes/año), amd (año-mes-día) o mda (mes/día/año).")
                    << Qt::endl;
            return 2;
        }
    }
    const bool si = opciones.isSet(QStringLiteral("si"));
    o.confirma = [si](const QString& pregunta) {
        if (si)
            return true;
        if (!isatty(STDIN_FILENO)) {
            errores << pregunta << QStringLiteral(" (sin terminal para preguntar: use --si)") << Qt::endl;
            return false;
        }
        errores << pregunta << QStringLiteral(" [s/N] ") << Qt::flush;
        const QString r = entrada().readLine().trimmed().toLower();
        return r == QLatin1String("s") || r == QLatin1String("si") || r == QLatin1String("sí");
    };
    o.progreso = progresoEnTerminal();
    const Intercambio::Resultado r = Intercambio::importa(ajustes, o);
    for (const QString& linea : r.lineas)
        salida << linea << Qt::endl;
    return r.rechazados > 0 && !o.omitirRechazados ? 1 : 0;
}

// A day given as aaaa-mm-dd, or `porOmision` when the option is absent; an
// invalid one is said and answers an invalid date.
QDate fechaDeOpcion(const QCommandLineParser& opciones, const QString& opcion, const QDate& porOmision) {
    if (!opciones.isSet(opcion))
        return porOmision;
    const QString texto = opciones.value(opcion);
    const QDate d = QDate::fromString(texto, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        errores << QStringLiteral("--%1 admite una fecha aaaa-mm-dd; \"%2\" no lo es.").arg(opcion, texto)
                << Qt::endl;
    return d;
}

// "agenda --ics ARCHIVO" or "agenda --publica --csv|--ics ARCHIVO": the
// officials' agenda as a calendar file, or the public agenda as open data.
// It only reads: a station's settings do.
int agenda(const QCommandLineParser& opciones, const AjustesDeConexion& ajustes) {
    const bool publica = opciones.isSet(QStringLiteral("publica"));
    const bool ics = opciones.isSet(QStringLiteral("ics")), csv = opciones.isSet(QStringLiteral("csv"));
    if (opciones.positionalArguments().size() != 1 || ics == csv || (csv && !publica)) {
        errores << QStringLiteral("Uso: taloren-admin agenda --ics ARCHIVO | --publica --csv ARCHIVO | "
                                  "--publica --ics ARCHIVO [--desde aaaa-mm-dd] [--hasta aaaa-mm-dd] "
                                  "[--titular Srio|Gob] [--representante NOMBRE]")
                << Qt::endl;
        return 2;
    }
    const QDate hoy = QDate::currentDate();
    Agenda::Filtro filtro{.desde = fechaDeOpcion(opciones, QStringLiteral("desde"), hoy),
                          .hasta = fechaDeOpcion(opciones, QStringLiteral("hasta"), hoy.addDays(90))};
    if (!filtro.desde.isValid() || !filtro.hasta.isValid())
        return 2;
    if (filtro.hasta < filtro.desde) {
        errores << QStringLiteral("--hasta (%1) es anterior a --desde (%2).")
                       .arg(filtro.hasta.toString(Qt::ISODate), filtro.desde.toString(Qt::ISODate))
                << Qt::endl;
        return 2;
    }
    if (opciones.isSet(QStringLiteral("titular"))) {
        const QString t = opciones.value(QStringLiteral("titular")).trimmed();
        if (t.compare(QLatin1String("Srio"), Qt::CaseInsensitive) == 0)
            filtro.titular = Agenda::Titular::Secretario;
        else if (t.compare(QLatin1String("Gob"), Qt::CaseInsensitive) == 0)
            filtro.titular = Agenda::Titular::Gobernador;
        else {
            errores << QStringLiteral("--titular admite Srio o Gob; \"%1\" no es ninguno.").arg(t)
                    << Qt::endl;
            return 2;
        }
    }
    filtro.representante = opciones.value(QStringLiteral("representante"));
    const QString archivo = opciones.value(ics ? QStringLiteral("ics") : QStringLiteral("csv"));

    auto kelmar = Servidor::abre(Catalogo::Kelmar, ajustes);
    auto taloren = Servidor::abre(Catalogo::Taloren, ajustes);
    Agenda::Lector lector(*kelmar, *taloren);
    QList<Agenda::Entrada> entradas = lector.lee(filtro);
    QList<Agenda::Entrada> canceladas;
    if (publica) {
        // Only what the office has confirmed, and nothing of its internal instructions.
        entradas.removeIf([](const Agenda::Entrada& e) { return !e.confirmada; });
        for (Agenda::Entrada& e : entradas)
            e.indicacion.clear();
    }
    QByteArray contenido;
    if (csv) {
        contenido = Calendario::csvPublico(entradas);
    } else {
        const Calendario::Oficina oficina = Calendario::oficina(*kelmar);
        QSet<QString> vivas;
        for (const Agenda::Entrada& e : std::as_const(entradas))
            vivas.insert(e.clave());
        for (Agenda::Entrada& e : Calendario::eliminadas(*kelmar, *taloren, lector, filtro))
            if (!vivas.contains(e.clave())) {
                e.indicacion.clear();
                canceladas << e;
            }
        contenido = Calendario::ics(entradas, canceladas, oficina, QDateTime::currentDateTimeUtc());
    }
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(contenido) != contenido.size() || !f.commit())
        throw ErrorDeEjecucion(CodigoDeError::Ajustes,
                               QStringLiteral("No se pudo escribir %1 (%2).").arg(archivo, f.errorString()),
                               QStringLiteral("taloren-admin"));
    salida << QStringLiteral("%1: %2 entradas del %3 al %4%5.")
                  .arg(archivo)
                  .arg(entradas.size())
                  .arg(filtro.desde.toString(QStringLiteral("dd/MM/yyyy")),
                       filtro.hasta.toString(QStringLiteral("dd/MM/yyyy")),
                       canceladas.isEmpty() ? QString()
                                            : QStringLiteral(", y %1 canceladas").arg(canceladas.size()))
           << Qt::endl;
    return 0;
}

int ejecuta(const QCommandLineParser& opciones, const AjustesDeConexion& ajustes) {
    const QStringList args = opciones.positionalArguments();
    const QString orden = args.value(0);

    if (orden == QLatin1String("create")) {
        const auto pide = [&] {
            const QString contrasena = primeraContrasena(opciones);
            // Everyone who read the quick start knows that one.
            if (contrasena == QLatin1String(Semilla::contrasenaInicialDeAdmin))
                throw ErrorDeEjecucion(
                    CodigoDeError::Ajustes,
                    QStringLiteral("La primera contraseña de un servidor no puede ser la que "
                                   "trae documentada el catálogo embebido; elija otra."),
                    QStringLiteral("taloren-admin"));
            return contrasena;
        };
        if (ajustes.motor == Motor::SQLite && opciones.isSet(QStringLiteral("admin-password-file")))
            errores << QStringLiteral("Aviso: --admin-password-file sólo sirve en un servidor; un catálogo "
                                      "embebido nuevo trae la cuenta admin con su contraseña documentada: "
                                      "cámbiela con taloren-admin set-password admin.")
                    << Qt::endl;
        for (const QString& linea : Administracion::creaCatalogos(ajustes, pide))
            salida << linea << Qt::endl;
        return 0;
    }
    if (orden == QLatin1String("add-user") || orden == QLatin1String("set-password")) {
        if (args.size() != 2) {
            errores << QStringLiteral("Indique la cuenta: taloren-admin %1 CUENTA").arg(orden) << Qt::endl;
            return 2;
        }
        const QString cuenta = args.at(1);
        const QString contrasena = opciones.isSet(QStringLiteral("password"))
                                       ? opciones.value(QStringLiteral("password"))
                                       : pideContrasena(cuenta);
        auto kelmar = Servidor::abre(Catalogo::Kelmar, Administracion::comoAdministrador(ajustes));
        if (orden == QLatin1String("add-user")) {
            Administracion::agregaUsuario(*kelmar, cuenta, opciones.value(QStringLiteral("nick")),
                                          contrasena);
            salida << QStringLiteral("Cuenta %1 agregada.").arg(cuenta) << Qt::endl;
        } else {
            Administracion::cambiaContrasena(*kelmar, cuenta, contrasena);
            salida << QStringLiteral("Contraseña de %1 cambiada.").arg(cuenta) << Qt::endl;
        }
        return 0;
    }
    if (orden == QLatin1String("set-config")) {
        Administracion::Configuracion cambios;
        if (opciones.isSet(QStringLiteral("access"))) {
            bool acceso = true;
            if (!siONo(opciones.value(QStringLiteral("access")), acceso)) {
                errores << QStringLiteral("--access admite yes o no.") << Qt::endl;
                return 2;
            }
            cambios.acceso = acceso;
        }
        if (opciones.isSet(QStringLiteral("message")))
            cambios.mensaje = opciones.value(QStringLiteral("message"));
        if (opciones.isSet(QStringLiteral("version-date"))) {
            const QString texto = opciones.value(QStringLiteral("version-date"));
            const QDate fecha = QDate::fromString(texto, QStringLiteral("yyyy-MM-dd"));
            if (!fecha.isValid() && texto != QLatin1String("none")) {
                errores << QStringLiteral("--version-date admite una fecha aaaa-mm-dd o none.") << Qt::endl;
                return 2;
            }
            cambios.fechaUltimaVersion = fecha.isValid() ? fecha.startOfDay() : QDateTime();
        }
        if (opciones.isSet(QStringLiteral("criticality"))) {
            bool ok = false;
            const int n = opciones.value(QStringLiteral("criticality")).toInt(&ok);
            if (!ok) {
                errores << QStringLiteral("--criticality admite un número (1 obligatoria, 2 opcional).")
                        << Qt::endl;
                return 2;
            }
            cambios.criticidad = n;
        }
        for (const auto& [opcion, destino] :
             {std::pair{QStringLiteral("event-years-back"), &cambios.aniosAtras},
              std::pair{QStringLiteral("event-years-ahead"), &cambios.aniosAdelante}}) {
            if (!opciones.isSet(opcion))
                continue;
            bool ok = false;
            const int n = opciones.value(opcion).toInt(&ok);
            if (!ok || n < 0 || n > 200) {
                errores << QStringLiteral("--%1 admite un número de años de 0 a 200.").arg(opcion)
                        << Qt::endl;
                return 2;
            }
            *destino = n;
        }
        if (opciones.isSet(QStringLiteral("margen-conflictos"))) {
            bool ok = false;
            const int n = opciones.value(QStringLiteral("margen-conflictos")).toInt(&ok);
            if (!ok || n < 1 || n > 1440) {
                errores << QStringLiteral("--margen-conflictos admite un número de minutos de 1 a 1440.")
                        << Qt::endl;
                return 2;
            }
            cambios.margenConflictos = n;
        }
        if (opciones.isSet(QStringLiteral("zona-horaria"))) {
            const QString zona = opciones.value(QStringLiteral("zona-horaria")).trimmed();
            if (!QTimeZone(zona.toUtf8()).isValid()) {
                errores << QStringLiteral("--zona-horaria admite un nombre de zona del sistema, como "
                                          "America/Mexico_City; \"%1\" no lo es.")
                               .arg(zona)
                        << Qt::endl;
                return 2;
            }
            cambios.zonaHoraria = zona;
        }
        auto kelmar = Servidor::abre(Catalogo::Kelmar, Administracion::comoAdministrador(ajustes));
        Administracion::estableceConfiguracion(*kelmar, cambios);
        salida << QStringLiteral("Configuración actualizada.") << Qt::endl;
        return 0;
    }
    if (orden == QLatin1String("show-config")) {
        // A station's account may read the configuration too.
        auto kelmar = Servidor::abre(Catalogo::Kelmar, ajustes.nombraAdministrador()
                                                           ? Administracion::comoAdministrador(ajustes)
                                                           : ajustes);
        const Recordset rs = kelmar->ejecuta(QStringLiteral(
            "select Acceso, Mensaje1, FechaUltimaVersion, Criticidad, AniosAtras, AniosAdelante,"
            " MargenConflictos, ZonaHoraria, Identidad from configuracion"));
        if (rs.estaVacio()) {
            salida << QStringLiteral("Sin registro de configuración.") << Qt::endl;
            return 0;
        }
        for (int i = 0; i < rs.columnas(); ++i)
            salida << rs.nombreDeColumna(i) << QStringLiteral(": ")
                   << (rs.esNulo(0, i) ? QStringLiteral("(nulo)") : rs.texto(0, i)) << Qt::endl;
        return 0;
    }
    if (orden == QLatin1String("history"))
        return historial(opciones, ajustes);
    if (orden == QLatin1String("export"))
        return exporta(opciones, ajustes);
    if (orden == QLatin1String("import"))
        return importa(opciones, ajustes);
    if (orden == QLatin1String("agenda"))
        return agenda(opciones, ajustes);
    errores << QStringLiteral("Orden desconocida: %1").arg(orden) << Qt::endl;
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("taloren-admin"));
    Idioma::PreparaEspanol("taloren-admin");

    QCommandLineParser opciones;
    opciones.setApplicationDescription(QStringLiteral(
        "Administración de TALOREN.\n\n"
        "Órdenes:\n"
        "  create                  crea o actualiza los catálogos kelmar y taloren (servidor o embebidos);\n"
        "                          en un servidor nuevo pide la primera contraseña de admin\n"
        "                          (--admin-password-file)\n"
        "  add-user CUENTA         agrega una cuenta de acceso (--nick, --password)\n"
        "  set-password CUENTA     cambia la contraseña de una cuenta (--password)\n"
        "  set-config              cambia la configuración (--access, --message, --version-date,\n"
        "                          --criticality, --event-years-back, --event-years-ahead,\n"
        "                          --margen-conflictos, --zona-horaria)\n"
        "  show-config             muestra la configuración\n"
        "  history AÑO FOLIO       los cambios de una invitación (con --eventos, de un evento del\n"
        "                          registro), del más reciente al más antiguo: una línea por campo\n"
        "                          cambiado con fecha y hora, cuenta, estación, tipo, campo, antes y\n"
        "                          después, separados por tabuladores (un salto de línea, un tabulador\n"
        "                          o una diagonal invertida dentro de un valor se escriben \\n, \\t y\n"
        "                          \\\\)\n"
        "  history --borrados      las invitaciones (o con --eventos los eventos) eliminadas, con todo\n"
        "                          su contenido: un encabezado y una línea por campo (--desde)\n"
        "                          history sólo lee: basta el archivo de ajustes de una estación\n"
        "  export CARPETA          escribe los catálogos en una carpeta nueva: un CSV por tabla y\n"
        "                          manifiesto.json (--catalogo)\n"
        "  import ORIGEN           importa csv:CARPETA (una exportación, o la carpeta de un servidor\n"
        "                          anterior) u odbc:\"CADENA\" (un servidor anterior) en los catálogos\n"
        "                          de los ajustes; sin catálogos, los crea (restauración) (--catalogo,\n"
        "                          --prueba, --omitir-rechazados, --reemplazar, --si, --invitaciones,\n"
        "                          --fechas, --informe)\n"
        "  agenda --ics ARCHIVO    la agenda de los titulares como archivo de calendario (RFC 5545),\n"
        "                          de hoy a noventa días (--desde, --hasta, --titular,\n"
        "                          --representante); con --publica sólo lo confirmado, y con\n"
        "                          --publica --csv ARCHIVO la agenda pública como datos abiertos"));
    // Qt's own help option words itself in English whatever the translation.
    const QCommandLineOption ayuda({QStringLiteral("h"), QStringLiteral("help")},
                                   QStringLiteral("Muestra esta ayuda y termina."));
    opciones.addOption(ayuda);
    opciones.addOptions({
        {QStringLiteral("config"),
         QStringLiteral("Archivo de ajustes (por omisión %1).").arg(AjustesDeConexion::archivoPorDefecto()),
         QStringLiteral("archivo")},
        {QStringLiteral("nick"), QStringLiteral("Nombre con el que el sistema saluda a la cuenta."),
         QStringLiteral("nick")},
        {QStringLiteral("password"), QStringLiteral("Contraseña (sin ella se pide por la entrada estándar)."),
         QStringLiteral("contraseña")},
        {QStringLiteral("admin-password-file"),
         QStringLiteral("create en un servidor: archivo con la primera contraseña de la cuenta admin (sin "
                        "él se pide por la entrada estándar)."),
         QStringLiteral("archivo")},
        {QStringLiteral("access"),
         QStringLiteral("yes: las estaciones pueden trabajar; no: se les niega el acceso."),
         QStringLiteral("yes|no")},
        {QStringLiteral("message"), QStringLiteral("Motivo que se muestra cuando se niega el acceso."),
         QStringLiteral("texto")},
        {QStringLiteral("version-date"),
         QStringLiteral("Fecha de la versión vigente del cliente, aaaa-mm-dd, o none."),
         QStringLiteral("fecha")},
        {QStringLiteral("eventos"),
         QStringLiteral("history: el registro de eventos en lugar de las invitaciones.")},
        {QStringLiteral("borrados"), QStringLiteral("history: los registros eliminados, con su contenido.")},
        {QStringLiteral("desde"),
         QStringLiteral("history --borrados: sólo los eliminados desde ese día; agenda: el primer día. "
                        "aaaa-mm-dd."),
         QStringLiteral("fecha")},
        {QStringLiteral("hasta"), QStringLiteral("agenda: el último día, aaaa-mm-dd (incluido)."),
         QStringLiteral("fecha")},
        {QStringLiteral("ics"), QStringLiteral("agenda: el archivo de calendario que se escribe."),
         QStringLiteral("archivo")},
        {QStringLiteral("csv"), QStringLiteral("agenda --publica: el archivo CSV que se escribe."),
         QStringLiteral("archivo")},
        {QStringLiteral("publica"),
         QStringLiteral("agenda: sólo lo confirmado, con los datos que se publican.")},
        {QStringLiteral("titular"),
         QStringLiteral("agenda: sólo el Secretario (Srio) o el Gobernador (Gob)."),
         QStringLiteral("Srio|Gob")},
        {QStringLiteral("representante"),
         QStringLiteral("agenda: sólo las entradas cuyo representante contiene ese nombre."),
         QStringLiteral("nombre")},
        {QStringLiteral("margen-conflictos"),
         QStringLiteral("Minutos dentro de los cuales dos compromisos de una persona chocan (90)."),
         QStringLiteral("minutos")},
        {QStringLiteral("zona-horaria"),
         QStringLiteral("Zona horaria de la oficina para los archivos de calendario (America/Mexico_City)."),
         QStringLiteral("zona")},
        {QStringLiteral("criticality"),
         QStringLiteral("1: la nueva versión es obligatoria; 2: opcional; otro: nada."), QStringLiteral("n")},
        {QStringLiteral("event-years-back"),
         QStringLiteral("Años antes del actual en que una fecha de evento se guarda sin preguntar (10)."),
         QStringLiteral("n")},
        {QStringLiteral("event-years-ahead"),
         QStringLiteral("Años después del actual en que una fecha de evento se guarda sin preguntar (10)."),
         QStringLiteral("n")},
        {QStringLiteral("catalogo"), QStringLiteral("export, import: kelmar, taloren o ambos (por omisión)."),
         QStringLiteral("catálogo")},
        {QStringLiteral("prueba"), QStringLiteral("import: revisa todo sin escribir nada.")},
        {QStringLiteral("omitir-rechazados"),
         QStringLiteral("import: escribe lo demás y deja los registros rechazados en CSV junto al informe.")},
        {QStringLiteral("reemplazar"),
         QStringLiteral("import: vacía los catálogos antes (pregunta primero).")},
        {QStringLiteral("si"), QStringLiteral("import --reemplazar: no pregunta.")},
        {QStringLiteral("invitaciones"),
         QStringLiteral(
             "import odbc: la tabla o vista de las invitaciones del servidor anterior (invitacion)."),
         QStringLiteral("nombre")},
        {QStringLiteral("fechas"),
         QStringLiteral(
             "import de un servidor anterior: el orden de las fechas que no lo dicen (dma, amd, mda)."),
         QStringLiteral("orden")},
        {QStringLiteral("informe"), QStringLiteral("import: carpeta del informe (por omisión, la actual)."),
         QStringLiteral("carpeta")},
    });
    opciones.addPositionalArgument(
        QStringLiteral("orden"),
        QStringLiteral("create, add-user, set-password, set-config, show-config, history, export, import o agenda"));
    opciones.process(app);
    if (opciones.isSet(ayuda)) {
        salida << opciones.helpText();
        return 0;
    }
    if (opciones.positionalArguments().isEmpty()) {
        errores << opciones.helpText();
        return 2;
    }

    const QString archivo = opciones.isSet(QStringLiteral("config"))
                                ? opciones.value(QStringLiteral("config"))
                                : AjustesDeConexion::archivoPorDefecto();
    try {
        const AjustesDeConexion ajustes = AjustesDeConexion::lee(archivo);
        if (const QString aviso = ajustes.avisoDePermisos(archivo); !aviso.isEmpty())
            errores << QStringLiteral("Aviso: ") << aviso << Qt::endl;
        return ejecuta(opciones, ajustes);
    } catch (...) {
        const ErrorDeEjecucion e = ErrorDeEjecucion::actual();
        errores << QStringLiteral("Error %1: %2 (%3)").arg(e.numero()).arg(e.descripcion(), e.fuente())
                << Qt::endl;
        if (!e.detalle().isEmpty())
            errores << QStringLiteral("Detalle: ") << e.detalle() << Qt::endl;
        return 1;
    }
}
