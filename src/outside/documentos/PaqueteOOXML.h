#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class QIODevice;

// An Office Open XML package held in memory: its parts in the order the zip
// file keeps them. Reading and writing throw ErrorDeEjecucion with the file's
// name; the parts themselves are whatever bytes the package holds.
class PaqueteOOXML {
public:
    struct Parte {
        QString nombre; // as the zip names it, without a leading '/'
        QByteArray datos;
    };

    // Throws PlantillaIlegible for a file that is not a zip package.
    static PaqueteOOXML lee(const QString& archivo);
    // Whether the file is a zip package with content types, as a template must be.
    static bool esPaquete(const QString& archivo);

    // Writes the package; `fecha` stamps every entry (fixed for reproducible templates).
    // `nivel` is the deflate level, 1 (fast) to 9 (small). Throws NoSeGuarda.
    void escribe(QIODevice& destino, const QString& nombreDelDestino, const QDateTime& fecha = {},
                 int nivel = 6) const;

    const QList<Parte>& partes() const { return m_partes; }
    bool tiene(const QString& nombre) const { return indice(nombre) >= 0; }
    // Throws PlantillaIlegible naming the part when it is missing.
    const QByteArray& parte(const QString& nombre) const;
    // Replaces a part, or adds it at the end.
    void pon(const QString& nombre, QByteArray datos);

    QString origen() const { return m_origen; }

private:
    int indice(const QString& nombre) const;

    QList<Parte> m_partes;
    QString m_origen;
};
