#include "outside/documentos/PaqueteOOXML.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/documentos/ProcesadorDeTextos.h"

#include <QFile>
#include <QFileInfo>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

namespace {

const QString fuente = QStringLiteral("Procesador de textos");

ErrorDeEjecucion ilegible(const QString& archivo, const QString& motivo) {
    return ErrorDeEjecucion(
        ErrorDeTextos::PlantillaIlegible,
        QStringLiteral("La plantilla %1 no es un documento que se pueda llenar: %2.").arg(archivo, motivo),
        fuente);
}

ErrorDeEjecucion noSeGuarda(const QString& archivo, const QString& motivo) {
    return ErrorDeEjecucion(ErrorDeTextos::NoSeGuarda,
                            QStringLiteral("No se pudo guardar el documento %1: %2.").arg(archivo, motivo),
                            fuente);
}

} // namespace

PaqueteOOXML PaqueteOOXML::lee(const QString& archivo) {
    const QString nombre = QFileInfo(archivo).fileName();
    QuaZip zip(archivo);
    zip.setUtf8Enabled(true);
    if (!zip.open(QuaZip::mdUnzip))
        throw ilegible(nombre, QStringLiteral("no es un paquete zip (código %1)").arg(zip.getZipError()));
    PaqueteOOXML paquete;
    paquete.m_origen = archivo;
    for (bool hay = zip.goToFirstFile(); hay; hay = zip.goToNextFile()) {
        const QString parte = zip.getCurrentFileName();
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::ReadOnly))
            throw ilegible(nombre, QStringLiteral("no se pudo leer la parte %1").arg(parte));
        QByteArray datos = f.readAll();
        f.close();
        if (f.getZipError() != UNZ_OK)
            throw ilegible(nombre, QStringLiteral("la parte %1 está dañada").arg(parte));
        paquete.m_partes.append({parte, std::move(datos)});
    }
    if (zip.getZipError() != UNZ_OK)
        throw ilegible(nombre, QStringLiteral("el índice del paquete está dañado"));
    if (!paquete.tiene(QStringLiteral("[Content_Types].xml")))
        throw ilegible(nombre, QStringLiteral("le falta la parte [Content_Types].xml"));
    return paquete;
}

bool PaqueteOOXML::esPaquete(const QString& archivo) {
    QuaZip zip(archivo);
    if (!zip.open(QuaZip::mdUnzip))
        return false;
    return zip.setCurrentFile(QStringLiteral("[Content_Types].xml"));
}

void PaqueteOOXML::escribe(QIODevice& destino, const QString& nombreDelDestino, const QDateTime& fecha,
                           int nivel) const {
    QuaZip zip(&destino);
    zip.setUtf8Enabled(true);
    // The caller owns the device and closes it (a QSaveFile must be committed instead).
    zip.setAutoClose(false);
    if (!zip.open(QuaZip::mdCreate))
        throw noSeGuarda(nombreDelDestino, destino.errorString());
    const QDateTime sello = fecha.isValid() ? fecha : QDateTime::currentDateTime();
    for (const Parte& p : m_partes) {
        QuaZipNewInfo info(p.nombre);
        info.dateTime = sello;
        // Read and write for everyone the umask lets: a plain file, not executable.
        info.externalAttr = quint32(0100644) << 16;
        QuaZipFile f(&zip);
        if (!f.open(QIODevice::WriteOnly, info, nullptr, 0, Z_DEFLATED, nivel))
            throw noSeGuarda(nombreDelDestino,
                             QStringLiteral("no se pudo agregar la parte %1").arg(p.nombre));
        const bool escrito = f.write(p.datos) == p.datos.size();
        f.close();
        if (!escrito || f.getZipError() != ZIP_OK)
            throw noSeGuarda(
                nombreDelDestino,
                QStringLiteral("no se pudo escribir la parte %1 (%2)").arg(p.nombre, destino.errorString()));
    }
    zip.close();
    if (zip.getZipError() != ZIP_OK)
        throw noSeGuarda(nombreDelDestino, destino.errorString());
}

int PaqueteOOXML::indice(const QString& nombre) const {
    for (int i = 0; i < m_partes.size(); ++i)
        if (m_partes.at(i).nombre == nombre)
            return i;
    return -1;
}

const QByteArray& PaqueteOOXML::parte(const QString& nombre) const {
    const int i = indice(nombre);
    if (i < 0)
        throw ilegible(QFileInfo(m_origen).fileName(), QStringLiteral("le falta la parte %1").arg(nombre));
    return m_partes.at(i).datos;
}

void PaqueteOOXML::pon(const QString& nombre, QByteArray datos) {
    const int i = indice(nombre);
    if (i >= 0)
        m_partes[i].datos = std::move(datos);
    else
        m_partes.append({nombre, std::move(datos)});
}
