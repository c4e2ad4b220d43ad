#include "AjustesDeConexion.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

namespace {
void leeCatalogo(QSettings& s, const QString& grupo, AjustesDeCatalogo& c) {
    s.beginGroup(grupo);
    c.baseDeDatos = s.value(QStringLiteral("database"), c.baseDeDatos).toString();
    c.usuario = s.value(QStringLiteral("user"), c.usuario).toString();
    c.contrasena = s.value(QStringLiteral("password"), c.contrasena).toString();
    s.endGroup();
}

void escribeCatalogo(QSettings& s, const QString& grupo, const AjustesDeCatalogo& c) {
    s.beginGroup(grupo);
    s.setValue(QStringLiteral("database"), c.baseDeDatos);
    s.setValue(QStringLiteral("user"), c.usuario);
    s.setValue(QStringLiteral("password"), c.contrasena);
    s.endGroup();
}
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
    if (archivo.isEmpty() || !QFile::exists(archivo))
        return a;
    QSettings s(archivo, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("database"));
    const QString motor = s.value(QStringLiteral("backend"), QStringLiteral("sqlite")).toString().trimmed();
    a.motor = motor.compare(QStringLiteral("postgresql"), Qt::CaseInsensitive) == 0 ? Motor::PostgreSQL
                                                                                    : Motor::SQLite;
    a.carpeta = s.value(QStringLiteral("folder"), a.carpeta).toString();
    a.host = s.value(QStringLiteral("host")).toString();
    a.puerto = s.value(QStringLiteral("port"), a.puerto).toInt();
    a.opciones = s.value(QStringLiteral("options")).toString();
    s.endGroup();
    leeCatalogo(s, QStringLiteral("kelmar"), a.kelmar);
    leeCatalogo(s, QStringLiteral("taloren"), a.taloren);
    return a;
}

void AjustesDeConexion::escribe(const QString& archivo) const {
    QSettings s(archivo, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("database"));
    s.setValue(QStringLiteral("backend"),
               motor == Motor::PostgreSQL ? QStringLiteral("postgresql") : QStringLiteral("sqlite"));
    s.setValue(QStringLiteral("folder"), carpeta);
    s.setValue(QStringLiteral("host"), host);
    s.setValue(QStringLiteral("port"), puerto);
    s.setValue(QStringLiteral("options"), opciones);
    s.endGroup();
    escribeCatalogo(s, QStringLiteral("kelmar"), kelmar);
    escribeCatalogo(s, QStringLiteral("taloren"), taloren);
    s.sync();
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
