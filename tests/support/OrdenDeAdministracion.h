#pragma once

#include "support/BaseDePrueba.h"

#include <QProcess>
#include <QString>

#include <memory>

// The administration command, run as the office runs it.
struct Corrida {
    int salida = -1;
    QString texto; // standard output, then standard error
};

// Started on a settings file; `orden` is split as a shell would split it.
inline QProcess* lanza(const QString& archivo, const QString& orden, const QByteArray& entrada = {}) {
    auto* p = new QProcess;
    p->start(QStringLiteral(TALOREN_ADMIN),
             QStringList{QStringLiteral("--config"), archivo} + QProcess::splitCommand(orden));
    p->write(entrada);
    p->closeWriteChannel();
    return p;
}

inline Corrida termina(QProcess* p) {
    std::unique_ptr<QProcess> proceso(p);
    const bool terminado = p->waitForFinished(120000);
    return {terminado ? p->exitCode() : -1,
            QString::fromUtf8(p->readAllStandardOutput() + p->readAllStandardError())};
}

inline Corrida admin(const QString& archivo, const QString& orden, const QByteArray& entrada = {}) {
    return termina(lanza(archivo, orden, entrada));
}
// With the administrator's settings of a test's catalogs.
inline Corrida admin(const BaseDePrueba& base, const QString& orden, const QByteArray& entrada = {}) {
    return admin(base.archivoDeAdministracion(), orden, entrada);
}
