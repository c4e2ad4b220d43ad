#include "outside/AjustesDeConexion.h"

#include "outside/ErrorDeEjecucion.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <utility>

namespace {

const QString fuenteDeAjustes = QStringLiteral("Ajustes de TALOREN");

[[noreturn]] void falla(const QString& archivo, int linea, const QString& detalle) {
    const QString donde = linea > 0 ? QStringLiteral("%1, línea %2").arg(archivo).arg(linea) : archivo;
    throw ErrorDeEjecucion(CodigoDeError::Ajustes,
                           QStringLiteral("El archivo de ajustes %1: %2").arg(donde, detalle),
                           fuenteDeAjustes);
}

// The value after '=': blanks around it removed; in double quotes, exactly
// what stands between them.
QString valorEscrito(QString crudo, bool& bienFormado) {
    bienFormado = true;
    crudo = crudo.trimmed();
    if (!crudo.startsWith(QLatin1Char('"')))
        return crudo;
    QString valor;
    for (qsizetype i = 1; i < crudo.size(); ++i) {
        const QChar c = crudo.at(i);
        if (c == QLatin1Char('\\') && i + 1 < crudo.size()) {
            valor += crudo.at(++i);
        } else if (c == QLatin1Char('"')) {
            bienFormado = i == crudo.size() - 1;
            return valor;
        } else {
            valor += c;
        }
    }
    bienFormado = false;
    return valor;
}

QString escribeValor(const QString& valor) {
    const bool comillas = valor != valor.trimmed() || valor.startsWith(QLatin1Char('"'));
    if (!comillas)
        return valor;
    QString v = valor;
    v.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

struct Clave {
    const char* grupo;
    const char* nombre;
};
constexpr Clave clavesConocidas[] = {
    {"database", "backend"},      {"database", "folder"},  {"database", "host"},
    {"database", "port"},         {"database", "options"}, {"database", "statement_timeout"},
    {"database", "lock_timeout"}, {"kelmar", "database"},  {"kelmar", "user"},
    {"kelmar", "password"},       {"taloren", "database"}, {"taloren", "user"},
    {"taloren", "password"},      {"admin", "user"},       {"admin", "password"},
};

bool esConocida(const QString& grupo, const QString& clave) {
    for (const Clave& c : clavesConocidas)
        if (grupo == QLatin1String(c.grupo) && clave == QLatin1String(c.nombre))
            return true;
    return false;
}

bool esGrupoConocido(const QString& grupo) {
    for (const Clave& c : clavesConocidas)
        if (grupo == QLatin1String(c.grupo))
            return true;
    return false;
}

struct Valor {
    QString texto;
    int linea = 0;
};

} // namespace

QString AjustesDeConexion::archivoPorDefecto() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("taloren/taloren.ini"));
}

QString AjustesDeConexion::carpetaPorDefecto() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("taloren"));
}

AjustesDeConexion AjustesDeConexion::lee(const QString& archivo) {
    AjustesDeConexion a;
    a.carpeta = carpetaPorDefecto();
    if (archivo.isEmpty() || !QFileInfo::exists(archivo))
        return a;
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly))
        falla(archivo, 0, QStringLiteral("no se pudo leer (%1).").arg(f.errorString()));
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        falla(archivo, 0, QStringLiteral("no se pudo leer (%1).").arg(f.errorString()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString texto = utf8(bytes);
    if (utf8.hasError())
        falla(archivo, 0, QStringLiteral("no está escrito en UTF-8."));

    QHash<QString, Valor> valores; // "grupo/clave"
    QString grupo;
    int numero = 0;
    for (QString linea : texto.split(QLatin1Char('\n'))) {
        ++numero;
        if (linea.endsWith(QLatin1Char('\r')))
            linea.chop(1);
        const QString limpia = linea.trimmed();
        if (limpia.isEmpty() || limpia.startsWith(QLatin1Char(';')) || limpia.startsWith(QLatin1Char('#')))
            continue;
        if (limpia.startsWith(QLatin1Char('['))) {
            if (!limpia.endsWith(QLatin1Char(']')))
                falla(archivo, numero,
                      QStringLiteral("la línea \"%1\" no es un grupo bien escrito.").arg(limpia));
            grupo = limpia.mid(1, limpia.size() - 2).trimmed();
            if (!esGrupoConocido(grupo))
                falla(archivo, numero,
                      QStringLiteral("el grupo [%1] no se reconoce; los grupos son [database], [kelmar], "
                                     "[taloren] y [admin].")
                          .arg(grupo));
            continue;
        }
        const qsizetype igual = linea.indexOf(QLatin1Char('='));
        if (igual < 0)
            falla(archivo, numero,
                  QStringLiteral("la línea \"%1\" no tiene la forma clave=valor.").arg(limpia));
        const QString clave = linea.left(igual).trimmed();
        if (grupo.isEmpty())
            falla(archivo, numero, QStringLiteral("la clave %1 está fuera de todo grupo.").arg(clave));
        if (!esConocida(grupo, clave))
            falla(archivo, numero,
                  QStringLiteral("la clave %1 del grupo [%2] no se reconoce.").arg(clave, grupo));
        bool bien = true;
        const QString valor = valorEscrito(linea.mid(igual + 1), bien);
        if (!bien)
            falla(archivo, numero,
                  QStringLiteral("el valor de [%1] %2 abre comillas que no cierra al final.")
                      .arg(grupo, clave));
        const QString llave = grupo + QLatin1Char('/') + clave;
        if (valores.contains(llave))
            falla(archivo, numero,
                  QStringLiteral("la clave [%1] %2 ya se dio en la línea %3.")
                      .arg(grupo, clave)
                      .arg(valores.value(llave).linea));
        valores.insert(llave, {valor, numero});
    }

    const auto toma = [&](const char* llave, QString& destino) {
        const auto it = valores.constFind(QString::fromLatin1(llave));
        if (it != valores.constEnd())
            destino = it->texto;
    };
    if (const auto it = valores.constFind(QStringLiteral("database/backend")); it != valores.constEnd()) {
        const QString motor = it->texto.toLower();
        if (motor == QLatin1String("sqlite"))
            a.motor = Motor::SQLite;
        else if (motor == QLatin1String("postgresql"))
            a.motor = Motor::PostgreSQL;
        else
            falla(archivo, it->linea,
                  QStringLiteral("la clave [database] backend tiene el valor \"%1\", que no se reconoce; "
                                 "escriba sqlite o postgresql.")
                      .arg(it->texto));
    }
    if (const auto it = valores.constFind(QStringLiteral("database/port")); it != valores.constEnd()) {
        bool ok = false;
        const int puerto = it->texto.toInt(&ok);
        if (!ok || puerto < 1 || puerto > 65535)
            falla(archivo, it->linea,
                  QStringLiteral("la clave [database] port tiene el valor \"%1\"; debe ser un número de 1 a "
                                 "65535.")
                      .arg(it->texto));
        a.puerto = puerto;
    }
    for (const auto& [clave, destino] : {std::pair{"statement_timeout", &a.segundosDeSentencia},
                                         std::pair{"lock_timeout", &a.segundosDeBloqueo}}) {
        const auto it = valores.constFind(QStringLiteral("database/") + QLatin1String(clave));
        if (it == valores.constEnd())
            continue;
        static const QRegularExpression cifras(QStringLiteral("^[0-9]{1,5}$"));
        const int segundos = cifras.match(it->texto).hasMatch() ? it->texto.toInt() : 0;
        if (segundos < 1 || segundos > 86400)
            falla(archivo, it->linea,
                  QStringLiteral("la clave [database] %1 tiene el valor \"%2\"; debe ser un número entero "
                                 "de segundos, de 1 a 86400.")
                      .arg(QLatin1String(clave), it->texto));
        *destino = segundos;
    }
    toma("database/folder", a.carpeta);
    if (a.carpeta.isEmpty() && a.motor == Motor::SQLite)
        falla(archivo, valores.value(QStringLiteral("database/folder")).linea,
              QStringLiteral("la clave [database] folder está vacía."));
    toma("database/host", a.host);
    toma("database/options", a.opciones);
    toma("kelmar/database", a.kelmar.baseDeDatos);
    toma("kelmar/user", a.kelmar.usuario);
    toma("kelmar/password", a.kelmar.contrasena);
    toma("taloren/database", a.taloren.baseDeDatos);
    toma("taloren/user", a.taloren.usuario);
    toma("taloren/password", a.taloren.contrasena);
    toma("admin/user", a.administrador.usuario);
    toma("admin/password", a.administrador.contrasena);
    for (const char* llave : {"kelmar/database", "taloren/database"})
        if (valores.contains(QString::fromLatin1(llave)) &&
            valores.value(QString::fromLatin1(llave)).texto.isEmpty())
            falla(archivo, valores.value(QString::fromLatin1(llave)).linea,
                  QStringLiteral("la clave %1 está vacía.").arg(QString::fromLatin1(llave)));
    return a;
}

void AjustesDeConexion::escribe(const QString& archivo) const {
    QString texto;
    const auto linea = [&](const char* clave, const QString& valor) {
        if (valor.contains(QLatin1Char('\n')) || valor.contains(QLatin1Char('\r')))
            falla(archivo, 0,
                  QStringLiteral("el valor de %1 tiene un salto de línea.").arg(QString::fromLatin1(clave)));
        texto += QString::fromLatin1(clave) + QLatin1Char('=') + escribeValor(valor) + QLatin1Char('\n');
    };
    texto += QStringLiteral("[database]\n");
    linea("backend", motor == Motor::PostgreSQL ? QStringLiteral("postgresql") : QStringLiteral("sqlite"));
    linea("folder", carpeta);
    linea("host", host);
    linea("port", QString::number(puerto));
    linea("options", opciones);
    linea("statement_timeout", QString::number(segundosDeSentencia));
    linea("lock_timeout", QString::number(segundosDeBloqueo));
    for (const auto& [grupo, c] : {std::pair{"kelmar", &kelmar}, std::pair{"taloren", &taloren}}) {
        texto += QStringLiteral("\n[%1]\n").arg(QString::fromLatin1(grupo));
        linea("database", c->baseDeDatos);
        linea("user", c->usuario);
        linea("password", c->contrasena);
    }
    if (nombraAdministrador()) {
        texto += QStringLiteral("\n[admin]\n");
        linea("user", administrador.usuario);
        linea("password", administrador.contrasena);
    }
    const QFileInfo info(archivo);
    if (!QDir().mkpath(info.absolutePath()))
        falla(archivo, 0, QStringLiteral("no se pudo crear su carpeta."));
    QSaveFile f(archivo);
    // It may hold passwords: only its owner reads it.
    if (!f.open(QIODevice::WriteOnly) ||
        !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || f.write(texto.toUtf8()) < 0 ||
        !f.commit())
        falla(archivo, 0, QStringLiteral("no se pudo escribir (%1).").arg(f.errorString()));
}

QString AjustesDeConexion::avisoDePermisos(const QString& archivo) const {
    if (kelmar.contrasena.isEmpty() && taloren.contrasena.isEmpty() && administrador.contrasena.isEmpty())
        return {};
    if (!(QFile::permissions(archivo) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)))
        return {};
    return QStringLiteral("El archivo de ajustes %1 guarda contraseñas y otras cuentas de este equipo pueden "
                          "leerlo. Para que sólo su dueño lo lea, ejecute: chmod 600 \"%1\"")
        .arg(archivo);
}

AjustesDeConexion AjustesDeConexion::dePostgres(const QString& cadena) {
    AjustesDeConexion a;
    a.motor = Motor::PostgreSQL;
    QStringList otras;
    static const QRegularExpression par(QStringLiteral(R"((\w+)\s*=\s*('(?:[^'\\]|\\.)*'|\S*))"));
    auto it = par.globalMatch(cadena);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString clave = m.captured(1);
        QString valor = m.captured(2);
        if (valor.startsWith(QLatin1Char('\'')) && valor.endsWith(QLatin1Char('\'')) && valor.size() >= 2) {
            valor = valor.mid(1, valor.size() - 2);
            valor.replace(QStringLiteral("\\'"), QStringLiteral("'"));
            valor.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        }
        if (clave == QLatin1String("host") || clave == QLatin1String("hostaddr"))
            a.host = valor;
        else if (clave == QLatin1String("port"))
            a.puerto = valor.toInt();
        else if (clave == QLatin1String("user"))
            a.kelmar.usuario = a.taloren.usuario = valor;
        else if (clave == QLatin1String("password"))
            a.kelmar.contrasena = a.taloren.contrasena = valor;
        else if (clave != QLatin1String("dbname"))
            otras << clave + QLatin1Char('=') + valor;
    }
    a.opciones = otras.join(QLatin1Char(' '));
    return a;
}
