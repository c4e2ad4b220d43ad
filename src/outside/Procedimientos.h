#pragma once

#include "Parametro.h"
#include "Recordset.h"

#include <QHash>
#include <QString>
#include <functional>

class Conexion;

// A stored procedure as the embedded and PostgreSQL backends run it: its
// signature and a body written over portable SQL. The body receives the
// normalised values by position (ADO passes parameters by position) and writes
// output parameters into their slots.
struct Procedimiento {
    struct Firma {
        QString nombre;
        TipoDeParametro tipo;
        Direccion direccion;
        int tamano;
    };
    using Cuerpo = std::function<Recordset(Conexion&, QVariantList& valores)>;

    QString nombre;
    QList<Firma> firma;
    Cuerpo cuerpo;
};

class CatalogoDeProcedimientos {
public:
    void registra(Procedimiento procedimiento);
    // Names are compared without regard to case, as the server does.
    const Procedimiento* busca(const QString& nombre) const;

private:
    QHash<QString, Procedimiento> m_procedimientos;
};
