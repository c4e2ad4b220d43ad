#include "support/TextoDePdf.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

QStringList paginasDePdf(const QString& archivo) {
    const QString programa = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (programa.isEmpty())
        qFatal("pdftotext no está instalado (paquete poppler-utils): las pruebas de reportes lo necesitan");
    QProcess p;
    p.start(programa, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), archivo, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QStringList paginas = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    // pdftotext ends the last page with a form feed too.
    if (!paginas.isEmpty() && paginas.constLast().trimmed().isEmpty())
        paginas.removeLast();
    return paginas;
}

QList<int> marcasEn(const QString& texto) {
    static const QRegularExpression marca(QStringLiteral("EVT(\\d+)"));
    QList<int> marcas;
    for (auto it = marca.globalMatch(texto); it.hasNext();)
        marcas << it.next().captured(1).toInt();
    std::sort(marcas.begin(), marcas.end());
    return marcas;
}
