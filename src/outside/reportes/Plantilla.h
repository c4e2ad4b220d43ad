#pragma once

#include <QList>
#include <QString>
#include <functional>

// A text of a report definition with fields in braces, which the report fills
// for each row, page or print:
//   {Descripcion}          a column of the report's data, by name
//   {FechaEvento:fecha}    the same with a format: fecha, fechalarga, fechahora,
//                          mayusculas; "sí|no" (the first text for a true or
//                          non-empty value, the second otherwise); or a table
//                          "Urgente=URGENTE;*=" (the text for each value, * for
//                          any other)
//   {3}                    the report's parameter in that position
//   {#pagina} {#paginas} {#total} {#impreso}
//                          the page, the page count, the rows of the report and
//                          the moment it was made
//   [, {CargoSuscriptor}]  a part left out when a field inside it is empty
// The characters { } [ ] are reserved for this; the result is trimmed of blanks.
class Plantilla {
public:
    struct Campo {
        enum class Clase { Dato, Parametro, Especial };
        Clase clase = Clase::Dato;
        QString nombre;   // a data column or an special's name (without '#')
        int posicion = 0; // a parameter's position, from 1
        QString formato;
    };

    Plantilla() = default;
    // Throws ErrorDeEjecucion(CodigoDeError::DefinicionDeReporte) with `donde`
    // (the place in the definition) and the fault.
    static Plantilla lee(const QString& texto, const QString& donde, const QString& fuente);

    const QList<Campo>& campos() const { return m_campos; }
    bool vacia() const { return m_nodos.isEmpty(); }
    // The text with every field's value; `valor` turns a field into text.
    QString evalua(const std::function<QString(const Campo&)>& valor) const;

    // The formats a field may carry.
    static bool formatoValido(const QString& formato);

private:
    struct Nodo {
        QString literal;
        int campo = -1;    // index into m_campos
        QList<Nodo> grupo; // an optional part
        bool esGrupo = false;
    };
    static bool evaluaNodos(const QList<Nodo>& nodos, const QList<Campo>& campos,
                            const std::function<QString(const Campo&)>& valor, QString& salida);

    QList<Nodo> m_nodos;
    QList<Campo> m_campos;
};
