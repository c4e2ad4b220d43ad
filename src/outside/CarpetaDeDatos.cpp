#include "outside/CarpetaDeDatos.h"

#include "outside/ErrorDeEjecucion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString sustituta;
}

QStringList CarpetaDeDatos::carpetas() {
    if (!sustituta.isNull())
        return {sustituta};
    const QDir programa(QCoreApplication::applicationDirPath());
    return {programa.filePath(QStringLiteral("data")),
            QDir::cleanPath(programa.filePath(QStringLiteral("../share/taloren")))};
}

QString CarpetaDeDatos::archivo(const QString& nombre) {
    const QStringList donde = carpetas();
    for (const QString& carpeta : donde) {
        const QFileInfo info(QDir(carpeta).filePath(nombre));
        if (info.isFile())
            return info.absoluteFilePath();
    }
    throw ErrorDeEjecucion(CodigoDeError::ArchivoNoEncontrado,
                           QStringLiteral("No se encontró el archivo %1 en %2.")
                               .arg(nombre, donde.join(QStringLiteral(" ni en "))),
                           QStringLiteral("TALOREN"));
}

CarpetaDeDatos::Sustituto::Sustituto(QString carpeta) : m_anterior(sustituta) {
    sustituta = carpeta.isNull() ? QStringLiteral("") : std::move(carpeta);
}

CarpetaDeDatos::Sustituto::~Sustituto() {
    sustituta = m_anterior;
}
