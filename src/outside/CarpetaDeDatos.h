#pragma once

#include <QString>
#include <QStringList>

// The files the program reads from its own folder (report definitions,
// templates): data/ next to the executable in a build tree, where the build
// puts them, and share/taloren of an installation.
namespace CarpetaDeDatos {

// The folders looked in, in order.
QStringList carpetas();
// The full path of a data file. Throws ErrorDeEjecucion (ArchivoNoEncontrado)
// naming the folders it looked in, so a missing file is never mistaken for
// another.
QString archivo(const QString& nombre);

// Tests put a folder of their own in place of the program's while one lives.
class Sustituto {
public:
    explicit Sustituto(QString carpeta);
    ~Sustituto();
    Sustituto(const Sustituto&) = delete;
    Sustituto& operator=(const Sustituto&) = delete;

private:
    QString m_anterior;
};

} // namespace CarpetaDeDatos

namespace CodigoDeError {
// A file the program needs is not where it looks for it.
inline constexpr int ArchivoNoEncontrado = 53;
// A file that cannot be written.
inline constexpr int AccesoAlArchivo = 75;
} // namespace CodigoDeError
