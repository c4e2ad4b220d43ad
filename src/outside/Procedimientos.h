#pragma once

#include "outside/Parametro.h"
#include "outside/Recordset.h"

#include <QHash>
#include <QString>
#include <functional>

class Conexion;
struct Procedimiento;

// The arguments of one call as a procedure's body reads them: by the names of
// its signature (compared without regard to case or surrounding blanks), with
// the values already checked against the signature's types and sizes.
class Argumentos {
public:
    Argumentos(const Procedimiento& procedimiento, QVariantList valores, QString fuente);

    QVariant valor(QStringView nombre) const;
    bool esNulo(QStringView nombre) const { return valor(nombre).isNull(); }
    // Null reads as empty text.
    QString texto(QStringView nombre) const { return valor(nombre).toString(); }
    // Throws for a null: a body that reads a number needs one.
    int entero(QStringView nombre) const;
    // Invalid for a null.
    QDateTime fecha(QStringView nombre) const;
    void estableceSalida(QStringView nombre, const QVariant& valor);

    const QVariantList& valores() const { return m_valores; }

private:
    int indice(QStringView nombre) const;

    const Procedimiento& m_procedimiento;
    QVariantList m_valores;
    QString m_fuente;
};

// A stored procedure as the embedded and PostgreSQL backends run it: its
// signature and a body written over portable SQL.
struct Procedimiento {
    struct Firma {
        QString nombre;
        TipoDeParametro tipo;
        Direccion direccion;
        int tamano;
    };
    using Cuerpo = std::function<Recordset(Conexion&, Argumentos&)>;

    QString nombre;
    QList<Firma> firma;
    Cuerpo cuerpo;
};

// Parameter names are compared without regard to case or surrounding blanks.
bool mismoNombreDeParametro(QStringView a, QStringView b);

class CatalogoDeProcedimientos {
public:
    void registra(Procedimiento procedimiento);
    // Names are compared without regard to case, as the server does.
    const Procedimiento* busca(const QString& nombre) const;

private:
    QHash<QString, Procedimiento> m_procedimientos;
};
