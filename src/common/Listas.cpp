#include "common/Listas.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "outside/documentos/ProcesadorOOXML.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>

namespace Listas {

namespace {

std::optional<QString> sustituta;

bool esNumero(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

Hojas::Celda celda(const QAbstractItemModel& modelo, const QModelIndex& i) {
    const QVariant valor = modelo.data(i, Qt::EditRole);
    // A date the model shows as such reads as the program's grids write dates.
    const QVariant mostrado = modelo.data(i, Qt::DisplayRole);
    const QString texto = mostrado.typeId() == QMetaType::QDate
                              ? mostrado.toDate().toString(QStringLiteral("dd/MM/yyyy"))
                          : mostrado.typeId() == QMetaType::QDateTime
                              ? mostrado.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))
                              : mostrado.toString();
    if (valor.typeId() == QMetaType::QDate && valor.toDate().isValid())
        return Hojas::Celda::deFecha(valor.toDate(), texto);
    if (valor.typeId() == QMetaType::QDateTime && valor.toDateTime().isValid())
        return Hojas::Celda::deFechaHora(valor.toDateTime(), texto);
    if (esNumero(valor))
        return Hojas::Celda::deNumero(valor.toDouble(), texto);
    return Hojas::Celda::deTexto(texto);
}

// The sections a header shows, in its order; all of them without one.
QList<int> enOrden(const QHeaderView* encabezado, int total) {
    QList<int> r;
    for (int v = 0; v < total; ++v) {
        const int logica = encabezado ? encabezado->logicalIndex(v) : v;
        if (logica >= 0 && !(encabezado && encabezado->isSectionHidden(logica)))
            r << logica;
    }
    return r;
}

// Characters no desktop accepts in a file name become hyphens.
QString paraArchivo(const QString& texto) {
    QString r;
    for (const QChar c : texto)
        r += (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QLatin1Char('-') : c;
    r = r.simplified().left(150).trimmed();
    while (r.endsWith(QLatin1Char('.')))
        r.chop(1);
    return r.isEmpty() ? QStringLiteral("Lista") : r;
}

// The hourglass while the file is written.
struct RelojDeArena {
    RelojDeArena() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~RelojDeArena() { QApplication::restoreOverrideCursor(); }
};

} // namespace

Hojas::Tabla TablaDe(const QAbstractItemModel& modelo, const QHeaderView* columnas,
                     const QHeaderView* filas) {
    Hojas::Tabla t;
    const QList<int> cs = enOrden(columnas, modelo.columnCount());
    for (const int c : cs)
        t.encabezados << modelo.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    for (const int f : enOrden(filas, modelo.rowCount())) {
        QList<Hojas::Celda> fila;
        fila.reserve(cs.size());
        for (const int c : cs)
            fila << celda(modelo, modelo.index(f, c));
        t.filas << fila;
    }
    return t;
}

Hojas::Tabla TablaDe(const QTableView& rejilla) {
    Q_ASSERT(rejilla.model());
    return TablaDe(*rejilla.model(), rejilla.horizontalHeader(), rejilla.verticalHeader());
}

QString Carpeta() {
    return sustituta ? *sustituta : ProcesadorOOXML::carpetaDeDocumentosDelUsuario();
}

SustitutoDeCarpeta::SustitutoDeCarpeta(QString carpeta) : m_anterior(sustituta) {
    sustituta = std::move(carpeta);
}

SustitutoDeCarpeta::~SustitutoDeCarpeta() {
    sustituta = m_anterior;
}

QString NombreLibre(const QString& carpeta, const QString& base) {
    const QDir dir(carpeta);
    QString candidato = dir.filePath(base + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(candidato); ++n)
        candidato = dir.filePath(QStringLiteral("%1 (%2).xlsx").arg(base).arg(n));
    return candidato;
}

void Exporta(QWidget& ventana, Hojas::Tabla tabla, const QString& descripcion) {
    if (tabla.filas.isEmpty()) {
        Modulo::MensajeInformativo(QStringLiteral("La lista está vacía: no hay renglones que exportar."));
        return;
    }
    const QString carpeta = Carpeta();
    try {
        if (carpeta.isEmpty())
            throw ErrorDeEjecucion(
                Hojas::ErrorDeHoja::NoSeEscribe,
                QStringLiteral("El sistema no encontró la carpeta de documentos del usuario."),
                QStringLiteral("Exportar"));
        if (!QDir().mkpath(carpeta))
            throw ErrorDeEjecucion(Hojas::ErrorDeHoja::NoSeEscribe,
                                   QStringLiteral("No se pudo crear la carpeta de documentos %1.")
                                       .arg(QDir::toNativeSeparators(carpeta)),
                                   QStringLiteral("Exportar"));
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
        return;
    }
    const QString xlsx = QStringLiteral("Libro de Excel (*.xlsx)");
    const QString csv = QStringLiteral("Texto separado por comas, CSV (*.csv)");
    const QString base = paraArchivo(descripcion + QLatin1Char(' ') +
                                     Reloj::actual().ahora().toString(QStringLiteral("yyyy-MM-dd HHmm")));
    QFileDialog dialogo(&ventana, QStringLiteral("Exportar la lista"), NombreLibre(carpeta, base),
                        xlsx + QStringLiteral(";;") + csv);
    dialogo.setObjectName(QStringLiteral("DlgExportarLista"));
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setDefaultSuffix(QStringLiteral("xlsx"));
    // Its questions go through the program's own message boxes, like every other.
    dialogo.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    if (Modulo::MuestraModal(dialogo) != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return;
    QString archivo = dialogo.selectedFiles().constFirst();
    std::optional<Hojas::Formato> formato = Hojas::formatoDe(archivo);
    if (!formato) {
        const bool esCsv = dialogo.selectedNameFilter() == csv;
        archivo += esCsv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
        formato = esCsv ? Hojas::Formato::Csv : Hojas::Formato::Xlsx;
    }
    const bool existe = QFileInfo::exists(archivo);
    if (existe && Modulo::ConfirmaConNoPredeterminado(
                      Modulo::NickUsuario + Modulo::DobleSalto +
                      QStringLiteral("El archivo %1 ya existe. ¿Desea reemplazarlo?")
                          .arg(QDir::toNativeSeparators(archivo))) != QLatin1String("SI"))
        return;
    if (tabla.nombre.isEmpty())
        tabla.nombre = descripcion;
    try {
        const RelojDeArena espera;
        Hojas::escribe(tabla, archivo, *formato, existe);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
        return;
    }
    Modulo::MensajeInformativo(QStringLiteral("La lista se guardó en el archivo %1 (%2 renglones).")
                                   .arg(QDir::toNativeSeparators(archivo))
                                   .arg(tabla.filas.size()));
}

} // namespace Listas
