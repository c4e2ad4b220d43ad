#include "support/TextoDePdf.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

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

bool hayLibreOffice() {
    return !QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QStringList pdfsDeLibreOffice(const QStringList& documentos, const QString& carpeta) {
    QTemporaryDir perfil;
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(
        QStandardPaths::findExecutable(QStringLiteral("soffice")),
        QStringList{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(perfil.path()).toString(),
                    QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                    QStringLiteral("--outdir"), carpeta}
            << documentos);
    if (!lo.waitForFinished(240000) || lo.exitCode() != 0)
        qFatal("LibreOffice no convirtió los documentos: %s", lo.readAll().constData());
    QStringList pdfs;
    for (const QString& d : documentos) {
        pdfs << QDir(carpeta).filePath(QFileInfo(d).completeBaseName() + QStringLiteral(".pdf"));
        if (!QFileInfo::exists(pdfs.constLast()))
            qFatal("LibreOffice no dejó %s: %s", qPrintable(pdfs.constLast()), lo.readAll().constData());
    }
    return pdfs;
}
