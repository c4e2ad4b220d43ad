#include "outside/reportes/Plantilla.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/reportes/Reporte.h"

#include <QRegularExpression>

namespace {
const QStringList especiales = {QStringLiteral("pagina"), QStringLiteral("paginas"), QStringLiteral("total"),
                                QStringLiteral("impreso")};
}

bool Plantilla::formatoValido(const QString& formato) {
    static const QStringList conocidos = {QString(), QStringLiteral("fecha"), QStringLiteral("fechalarga"),
                                          QStringLiteral("fechahora"), QStringLiteral("mayusculas")};
    if (formato.contains(QLatin1Char('='))) {
        for (const QString& entrada : formato.split(QLatin1Char(';')))
            if (!entrada.contains(QLatin1Char('=')))
                return false;
        return true;
    }
    return conocidos.contains(formato) || formato.contains(QLatin1Char('|'));
}

Plantilla Plantilla::lee(const QString& texto, const QString& donde, const QString& fuente) {
    const auto falla = [&](const QString& motivo) {
        return ErrorDeEjecucion(CodigoDeError::DefinicionDeReporte,
                                QStringLiteral("%1: %2 en \"%3\".").arg(donde, motivo, texto), fuente);
    };
    static const QRegularExpression nombreDeDato(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));

    Plantilla p;
    // The open optional parts, innermost last; the outermost list is the template itself.
    QList<QList<Nodo>> pila{{}};
    QString literal;
    const auto cierraLiteral = [&] {
        if (!literal.isEmpty()) {
            Nodo n;
            n.literal = literal;
            pila.last().append(n);
            literal.clear();
        }
    };
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (c == QLatin1Char('{')) {
            const qsizetype fin = texto.indexOf(QLatin1Char('}'), i);
            if (fin < 0)
                throw falla(QStringLiteral("una llave { sin cerrar"));
            const QString dentro = texto.mid(i + 1, fin - i - 1).trimmed();
            if (dentro.contains(QLatin1Char('{')) || dentro.contains(QLatin1Char('[')) ||
                dentro.contains(QLatin1Char(']')))
                throw falla(QStringLiteral("un campo mal escrito ({%1})").arg(dentro));
            const qsizetype dosPuntos = dentro.indexOf(QLatin1Char(':'));
            Campo campo;
            const QString nombre = (dosPuntos < 0 ? dentro : dentro.left(dosPuntos)).trimmed();
            campo.formato = dosPuntos < 0 ? QString() : dentro.mid(dosPuntos + 1).trimmed();
            bool numero = false;
            const int posicion = nombre.toInt(&numero);
            if (numero) {
                if (posicion < 1)
                    throw falla(
                        QStringLiteral("el parámetro {%1} no existe: se cuentan desde 1").arg(nombre));
                campo.clase = Campo::Clase::Parametro;
                campo.posicion = posicion;
            } else if (nombre.startsWith(QLatin1Char('#'))) {
                campo.clase = Campo::Clase::Especial;
                campo.nombre = nombre.mid(1);
                if (!especiales.contains(campo.nombre))
                    throw falla(QStringLiteral("{%1} no es un campo del reporte (se conocen #%2)")
                                    .arg(nombre, especiales.join(QStringLiteral(", #"))));
            } else {
                if (!nombreDeDato.match(nombre).hasMatch())
                    throw falla(QStringLiteral("un campo sin nombre válido ({%1})").arg(dentro));
                campo.nombre = nombre;
            }
            if (!formatoValido(campo.formato))
                throw falla(QStringLiteral("el formato '%1' no se conoce (fecha, fechalarga, fechahora, "
                                           "mayusculas, \"sí|no\" o \"valor=texto;*=texto\")")
                                .arg(campo.formato));
            cierraLiteral();
            Nodo n;
            n.campo = int(p.m_campos.size());
            p.m_campos.append(campo);
            pila.last().append(n);
            i = fin;
        } else if (c == QLatin1Char('}')) {
            throw falla(QStringLiteral("una llave } sin abrir"));
        } else if (c == QLatin1Char('[')) {
            cierraLiteral();
            pila.append(QList<Nodo>());
        } else if (c == QLatin1Char(']')) {
            if (pila.size() < 2)
                throw falla(QStringLiteral("un corchete ] sin abrir"));
            cierraLiteral();
            Nodo n;
            n.esGrupo = true;
            n.grupo = pila.takeLast();
            pila.last().append(n);
        } else {
            literal += c;
        }
    }
    if (pila.size() != 1)
        throw falla(QStringLiteral("un corchete [ sin cerrar"));
    cierraLiteral();
    p.m_nodos = pila.takeFirst();
    return p;
}

// False when a field of these nodes came out empty (the enclosing optional part is then left out).
bool Plantilla::evaluaNodos(const QList<Nodo>& nodos, const QList<Campo>& campos,
                            const std::function<QString(const Campo&)>& valor, QString& salida) {
    bool completos = true;
    for (const Nodo& n : nodos) {
        if (n.esGrupo) {
            QString parte;
            if (evaluaNodos(n.grupo, campos, valor, parte))
                salida += parte;
        } else if (n.campo >= 0) {
            const QString v = valor(campos.at(n.campo));
            if (v.trimmed().isEmpty())
                completos = false;
            salida += v;
        } else {
            salida += n.literal;
        }
    }
    return completos;
}

QString Plantilla::evalua(const std::function<QString(const Campo&)>& valor) const {
    QString salida;
    evaluaNodos(m_nodos, m_campos, valor, salida);
    return salida.trimmed();
}
