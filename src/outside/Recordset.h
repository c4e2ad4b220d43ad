#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The answer of a statement or procedure, materialised in memory.
// Columns are found by position or by name (compared without regard to case);
// nulls stay nulls. Dates come back as text "yyyy-MM-dd HH:mm:ss" on every
// backend; fechaHora() reads them.
class Recordset {
public:
    Recordset() = default;
    Recordset(QStringList columnas, QList<QVariantList> filas, QString fuente = {});

    int columnas() const { return int(m_columnas.size()); }
    int filas() const { return int(m_filas.size()); }
    bool estaVacio() const { return m_filas.isEmpty(); }
    const QStringList& nombresDeColumnas() const { return m_columnas; }
    QString nombreDeColumna(int columna) const;

    // -1 when the recordset has no such column.
    int indiceDeColumna(const QString& nombre) const;

    // Throw ErrorDeEjecucion for a row past the end or an unknown column.
    QVariant valor(int fila, int columna) const;
    QVariant valor(int fila, const QString& columna) const;
    bool esNulo(int fila, int columna) const { return valor(fila, columna).isNull(); }
    bool esNulo(int fila, const QString& columna) const { return valor(fila, columna).isNull(); }

    // Null reads as empty text.
    QString texto(int fila, int columna) const { return valor(fila, columna).toString(); }
    QString texto(int fila, const QString& columna) const { return valor(fila, columna).toString(); }

    // Rows a statement changed (inserts, updates, deletes); -1 when unknown.
    int filasAfectadas() const { return m_afectadas; }
    void estableceFilasAfectadas(int n) { m_afectadas = n; }

    void agregaFila(QVariantList fila);
    // Puts the rows in another order: row i becomes the former row orden[i].
    void reordena(const QList<int>& orden);

    // Reads a date or date-and-time value in any of the forms a backend gives.
    static QDateTime fechaHora(const QVariant& valor);
    // The catalogs' own form "yyyy-MM-dd HH:mm:ss", read by hand: lists and
    // imports of thousands of rows would otherwise spend most of their time in
    // the general parser. False for any other text or an impossible date.
    static bool formaDelCatalogo(QStringView texto, QDate& dia, QTime& hora);

private:
    QStringList m_columnas;
    QList<QVariantList> m_filas;
    QString m_fuente;
    int m_afectadas = -1;
};
