#include "outside/Recordset.h"

#include "outside/ErrorDeEjecucion.h"

Recordset::Recordset(QStringList columnas, QList<QVariantList> filas, QString fuente)
    : m_columnas(std::move(columnas)), m_filas(std::move(filas)), m_fuente(std::move(fuente)) {}

QString Recordset::nombreDeColumna(int columna) const {
    if (columna < 0 || columna >= m_columnas.size())
        throw ErrorDeEjecucion(
            CodigoDeError::ColumnaInexistente,
            QStringLiteral("No se encontró la columna %1 en el conjunto de registros.").arg(columna),
            m_fuente);
    return m_columnas.at(columna);
}

int Recordset::indiceDeColumna(const QString& nombre) const {
    for (int i = 0; i < m_columnas.size(); ++i)
        if (m_columnas.at(i).compare(nombre, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Recordset::valor(int fila, int columna) const {
    if (fila < 0 || fila >= m_filas.size())
        throw ErrorDeEjecucion(CodigoDeError::FinDeRegistros,
                               QStringLiteral("No hay registro en la posición %1: el conjunto tiene %2.")
                                   .arg(fila)
                                   .arg(m_filas.size()),
                               m_fuente);
    if (columna < 0 || columna >= m_columnas.size())
        throw ErrorDeEjecucion(
            CodigoDeError::ColumnaInexistente,
            QStringLiteral("No se encontró la columna %1 en el conjunto de registros.").arg(columna),
            m_fuente);
    return m_filas.at(fila).at(columna);
}

QVariant Recordset::valor(int fila, const QString& columna) const {
    const int i = indiceDeColumna(columna);
    if (i < 0)
        throw ErrorDeEjecucion(
            CodigoDeError::ColumnaInexistente,
            QStringLiteral("No se encontró la columna '%1' en el conjunto de registros.").arg(columna),
            m_fuente);
    return valor(fila, i);
}

void Recordset::agregaFila(QVariantList fila) {
    while (fila.size() < m_columnas.size())
        fila.append(QVariant());
    m_filas.append(std::move(fila));
}

bool Recordset::formaDelCatalogo(QStringView t, QDate& dia, QTime& hora) {
    if (t.size() != 19 || t.at(4) != u'-' || t.at(7) != u'-' || t.at(10) != u' ' || t.at(13) != u':' ||
        t.at(16) != u':')
        return false;
    const auto numero = [&](int desde, int largo) {
        int n = 0;
        for (int i = desde; i < desde + largo; ++i) {
            const char16_t c = t.at(i).unicode();
            if (c < u'0' || c > u'9')
                return -1;
            n = n * 10 + (c - u'0');
        }
        return n;
    };
    dia = QDate(numero(0, 4), numero(5, 2), numero(8, 2));
    hora = QTime(numero(11, 2), numero(14, 2), numero(17, 2));
    return dia.isValid() && hora.isValid();
}

QDateTime Recordset::fechaHora(const QVariant& valor) {
    if (valor.isNull())
        return {};
    switch (valor.metaType().id()) {
    case QMetaType::QDateTime:
        return valor.toDateTime();
    case QMetaType::QDate:
        return valor.toDate().startOfDay();
    default:
        break;
    }
    const QString texto = valor.toString().trimmed();
    QDate dia;
    QTime hora;
    if (formaDelCatalogo(texto, dia, hora))
        return QDateTime(dia, hora);
    for (const auto* formato : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-ddTHH:mm:ss",
                                "yyyy-MM-dd HH:mm", "yyyy/MM/dd HH:mm:ss", "dd/MM/yyyy HH:mm:ss"}) {
        const QDateTime fh = QDateTime::fromString(texto, QLatin1String(formato));
        if (fh.isValid())
            return fh;
    }
    for (const auto* formato : {"yyyy-MM-dd", "dd/MM/yyyy", "yyyy/MM/dd"}) {
        const QDate f = QDate::fromString(texto, QLatin1String(formato));
        if (f.isValid())
            return f.startOfDay();
    }
    return {};
}

void Recordset::reordena(const QList<int>& orden) {
    Q_ASSERT(orden.size() == m_filas.size());
    QList<QVariantList> filas;
    filas.reserve(orden.size());
    for (int i : orden)
        filas << m_filas.at(i);
    m_filas = std::move(filas);
}
