#pragma once

#include <QList>
#include <QString>
#include <QVariant>

enum class TipoDeParametro { VarChar, Char, SmallInt, Date };
enum class Direccion { Entrada, Salida };

// One parameter of a stored-procedure call: name, type, direction, size and value.
// Output values come back into `valor` when the call returns.
struct Parametro {
    QString nombre;
    TipoDeParametro tipo = TipoDeParametro::VarChar;
    Direccion direccion = Direccion::Entrada;
    int tamano = 0;
    QVariant valor;

    static Parametro entrada(QString nombre, TipoDeParametro tipo, int tamano, QVariant valor);
    static Parametro salida(QString nombre, TipoDeParametro tipo, int tamano = 0);
};

using Parametros = QList<Parametro>;

// The canonical value of `valor` for a parameter of this type and size, as the
// procedures' bodies receive it: text for VarChar and Char (Char padded with
// blanks to its size), int for SmallInt, a local QDateTime for Date (which
// takes only QDate and QDateTime values).
// Throws ErrorDeEjecucion when the value does not fit: it is never cut.
QVariant normalizaValor(const QVariant& valor, TipoDeParametro tipo, int tamano, const QString& nombre,
                        const QString& fuente);

QString nombreDeTipo(TipoDeParametro tipo);
