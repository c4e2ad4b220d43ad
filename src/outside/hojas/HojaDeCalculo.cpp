#include "outside/hojas/HojaDeCalculo.h"

#include "outside/ErrorDeEjecucion.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <memory>

namespace Hojas {

namespace {

const QString fuente = QStringLiteral("Hoja de cálculo");

QString nativo(const QString& archivo) {
    return QDir::toNativeSeparators(archivo);
}

ErrorDeEjecucion noSeEscribe(const QString& archivo, const QString& motivo, const QString& detalle = {}) {
    return ErrorDeEjecucion(
        ErrorDeHoja::NoSeEscribe,
        QStringLiteral("No se pudo escribir el archivo %1: %2.").arg(nativo(archivo), motivo), fuente,
        detalle);
}

QString columnaDe(const Tabla& tabla, int columna) {
    return columna < tabla.encabezados.size() ? tabla.encabezados.at(columna).trimmed()
                                              : QString::number(columna + 1);
}

// A sheet's name holds at most 31 characters, none of []:*?/\ and no
// apostrophe at either end.
QString nombreDeHoja(const QString& nombre) {
    QString r;
    for (const QChar c : nombre)
        r += QStringLiteral("[]:*?/\\").contains(c) ? QLatin1Char('-') : c;
    r = r.simplified().left(31);
    while (r.startsWith(QLatin1Char('\'')))
        r.remove(0, 1);
    while (r.endsWith(QLatin1Char('\'')))
        r.chop(1);
    return r.isEmpty() ? QStringLiteral("Lista") : r;
}

// libxlsxwriter zips its workbook with the system's minizip, whose function
// names QuaZip (the word processor's zip) exports as well, with other
// arguments: linked into one program, the writer would call QuaZip's. So it
// is loaded into a link namespace of its own, where its names reach only its
// own libraries.
struct Xlsxwriter {
    decltype(&::workbook_new) workbook_new = nullptr;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet = nullptr;
    decltype(&::workbook_add_format) workbook_add_format = nullptr;
    decltype(&::workbook_close) workbook_close = nullptr;
    decltype(&::format_set_bold) format_set_bold = nullptr;
    decltype(&::format_set_num_format) format_set_num_format = nullptr;
    decltype(&::format_set_align) format_set_align = nullptr;
    decltype(&::worksheet_write_string) worksheet_write_string = nullptr;
    decltype(&::worksheet_write_number) worksheet_write_number = nullptr;
    decltype(&::worksheet_write_datetime) worksheet_write_datetime = nullptr;
    decltype(&::worksheet_set_column) worksheet_set_column = nullptr;
    decltype(&::worksheet_freeze_panes) worksheet_freeze_panes = nullptr;
    decltype(&::lxw_strerror) lxw_strerror = nullptr;
    QString falta; // why it could not be loaded; empty when it was

    Xlsxwriter() {
        void* b = dlmopen(LM_ID_NEWLM, TALOREN_XLSXWRITER, RTLD_NOW | RTLD_LOCAL);
        if (!b) {
            falta = QString::fromLocal8Bit(dlerror());
            return;
        }
        const auto carga = [&](auto& f, const char* nombre) {
            f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(dlsym(b, nombre));
            if (!f && falta.isEmpty())
                falta = QStringLiteral("falta la función %1").arg(QLatin1String(nombre));
        };
        carga(workbook_new, "workbook_new");
        carga(workbook_add_worksheet, "workbook_add_worksheet");
        carga(workbook_add_format, "workbook_add_format");
        carga(workbook_close, "workbook_close");
        carga(format_set_bold, "format_set_bold");
        carga(format_set_num_format, "format_set_num_format");
        carga(format_set_align, "format_set_align");
        carga(worksheet_write_string, "worksheet_write_string");
        carga(worksheet_write_number, "worksheet_write_number");
        carga(worksheet_write_datetime, "worksheet_write_datetime");
        carga(worksheet_set_column, "worksheet_set_column");
        carga(worksheet_freeze_panes, "worksheet_freeze_panes");
        carga(lxw_strerror, "lxw_strerror");
    }
};

const Xlsxwriter& xlsxwriter() {
    static const Xlsxwriter x;
    if (!x.falta.isEmpty())
        throw ErrorDeEjecucion(
            ErrorDeHoja::NoSeEscribe,
            QStringLiteral("No se pudo cargar la biblioteca de hojas de cálculo %1 (paquete "
                           "libxlsxwriter4): %2.")
                .arg(QLatin1String(TALOREN_XLSXWRITER), x.falta),
            fuente);
    return x;
}

struct Libro {
    const Xlsxwriter& x = xlsxwriter();
    lxw_workbook* libro = nullptr;
    ~Libro() {
        // A workbook given up half-way is still closed, which writes it; the
        // temporary file it goes to is removed after.
        if (libro)
            x.workbook_close(libro);
    }
};

// The workbook into `destino`, a temporary file of the final folder.
void escribeXlsx(const Tabla& tabla, const QString& destino, const QString& archivo) {
    const QByteArray nombre = QFile::encodeName(destino);
    Libro l;
    l.libro = l.x.workbook_new(nombre.constData());
    if (!l.libro)
        throw noSeEscribe(archivo, QStringLiteral("no hubo memoria para el libro"));
    const QByteArray hoja = nombreDeHoja(tabla.nombre).toUtf8();
    lxw_worksheet* ws = l.x.workbook_add_worksheet(l.libro, hoja.constData());
    if (!ws)
        throw ErrorDeEjecucion(ErrorDeHoja::Contenido,
                               QStringLiteral("La hoja de cálculo no aceptó el nombre de hoja «%1».")
                                   .arg(QString::fromUtf8(hoja)),
                               fuente);
    lxw_format* encabezado = l.x.workbook_add_format(l.libro);
    l.x.format_set_bold(encabezado);
    lxw_format* fecha = l.x.workbook_add_format(l.libro);
    l.x.format_set_num_format(fecha, "dd/mm/yyyy");
    l.x.format_set_align(fecha, LXW_ALIGN_LEFT);
    lxw_format* fechaHora = l.x.workbook_add_format(l.libro);
    l.x.format_set_num_format(fechaHora, "dd/mm/yyyy hh:mm");
    l.x.format_set_align(fechaHora, LXW_ALIGN_LEFT);

    const auto revisa = [&](lxw_error e, int fila, int columna) {
        if (e == LXW_NO_ERROR)
            return;
        const QString detalle = QString::fromUtf8(l.x.lxw_strerror(e));
        if (e == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
            throw ErrorDeEjecucion(
                ErrorDeHoja::Contenido,
                QStringLiteral(
                    "El texto del renglón %1, columna «%2», es más largo de lo que cabe en una celda "
                    "de hoja de cálculo (32 767 caracteres): guarde la lista como CSV.")
                    .arg(fila)
                    .arg(columnaDe(tabla, columna)),
                fuente, detalle);
        throw ErrorDeEjecucion(
            ErrorDeHoja::Contenido,
            QStringLiteral("La hoja de cálculo no aceptó el valor del renglón %1, columna «%2».")
                .arg(fila)
                .arg(columnaDe(tabla, columna)),
            fuente, detalle);
    };

    for (int c = 0; c < tabla.encabezados.size(); ++c)
        revisa(l.x.worksheet_write_string(ws, 0, lxw_col_t(c),
                                          tabla.encabezados.at(c).trimmed().toUtf8().constData(), encabezado),
               0, c);
    for (int f = 0; f < tabla.filas.size(); ++f) {
        const QList<Celda>& fila = tabla.filas.at(f);
        const auto r = lxw_row_t(f + 1);
        for (int c = 0; c < fila.size(); ++c) {
            const Celda& celda = fila.at(c);
            const auto col = lxw_col_t(c);
            switch (celda.tipo) {
            case Celda::Tipo::Numero:
                revisa(l.x.worksheet_write_number(ws, r, col, celda.numero, nullptr), f + 1, c);
                continue;
            case Celda::Tipo::Fecha:
            case Celda::Tipo::FechaHora:
                // A spreadsheet counts its days from 1900: an earlier date stays text.
                if (celda.fecha.isValid() && celda.fecha.date().year() >= 1900) {
                    const QDate d = celda.fecha.date();
                    const QTime t = celda.fecha.time();
                    lxw_datetime dt{d.year(), d.month(), d.day(), t.hour(), t.minute(), double(t.second())};
                    revisa(l.x.worksheet_write_datetime(ws, r, col, &dt,
                                                        celda.tipo == Celda::Tipo::Fecha ? fecha : fechaHora),
                           f + 1, c);
                    continue;
                }
                break;
            case Celda::Tipo::Texto:
                break;
            }
            if (!celda.texto.isEmpty())
                revisa(l.x.worksheet_write_string(ws, r, col, celda.texto.toUtf8().constData(), nullptr),
                       f + 1, c);
        }
    }
    const QList<double> w = anchos(tabla);
    for (int c = 0; c < w.size(); ++c)
        l.x.worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), w.at(c), nullptr);
    // The headings stay in sight while the rows scroll.
    l.x.worksheet_freeze_panes(ws, 1, 0);

    lxw_workbook* libro = l.libro;
    l.libro = nullptr;
    const lxw_error e = l.x.workbook_close(libro);
    if (e != LXW_NO_ERROR)
        throw noSeEscribe(
            archivo,
            QStringLiteral("falló la escritura del libro en el disco (¿disco lleno, o una carpeta "
                           "en la que no se puede escribir?)"),
            QString::fromUtf8(l.x.lxw_strerror(e)));
}

QString campoCsv(const QString& texto) {
    if (!texto.contains(QLatin1Char(',')) && !texto.contains(QLatin1Char('"')) &&
        !texto.contains(QLatin1Char('\n')) && !texto.contains(QLatin1Char('\r')))
        return texto;
    QString r = texto;
    r.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + r + QLatin1Char('"');
}

} // namespace

std::optional<Formato> formatoDe(const QString& archivo) {
    const QString sufijo = QFileInfo(archivo).suffix().toLower();
    if (sufijo == QLatin1String("xlsx"))
        return Formato::Xlsx;
    if (sufijo == QLatin1String("csv"))
        return Formato::Csv;
    return std::nullopt;
}

QByteArray csv(const Tabla& tabla) {
    QByteArray r("\xEF\xBB\xBF");
    const auto linea = [&r](const QStringList& campos) {
        QStringList c;
        for (const QString& t : campos)
            c << campoCsv(t);
        r += c.join(QLatin1Char(',')).toUtf8() + "\r\n";
    };
    QStringList encabezados;
    for (const QString& e : tabla.encabezados)
        encabezados << e.trimmed();
    linea(encabezados);
    for (const QList<Celda>& fila : tabla.filas) {
        QStringList campos;
        for (const Celda& c : fila)
            campos << c.texto;
        linea(campos);
    }
    return r;
}

QList<double> anchos(const Tabla& tabla) {
    QList<qsizetype> largo(tabla.encabezados.size(), 0);
    const auto mide = [&largo](int c, const QString& texto) {
        if (c >= largo.size())
            largo.resize(c + 1, 0);
        for (const QStringView renglon : QStringView(texto).split(QLatin1Char('\n')))
            largo[c] = std::max(largo[c], renglon.size());
    };
    for (int c = 0; c < tabla.encabezados.size(); ++c)
        mide(c, tabla.encabezados.at(c).trimmed());
    for (const QList<Celda>& fila : tabla.filas)
        for (int c = 0; c < fila.size(); ++c)
            mide(c, fila.at(c).texto);
    // A little room for the cell's margins; a long text wraps no wider than a page.
    QList<double> r;
    for (const qsizetype l : largo)
        r << double(std::clamp<qsizetype>(l + 2, 6, 80));
    return r;
}

void escribe(const Tabla& tabla, const QString& archivo, Formato formato, bool reemplaza) {
    const QFileInfo info(archivo);
    const QString carpeta = info.absolutePath();
    if (!QFileInfo(carpeta).isDir())
        throw noSeEscribe(archivo, QStringLiteral("la carpeta %1 no existe").arg(nativo(carpeta)));
    if (!reemplaza && info.exists())
        throw noSeEscribe(archivo, QStringLiteral("ya existe un archivo con ese nombre"));
    // Written whole under a temporary name, then given its own: a failure
    // leaves nothing half-written behind.
    QTemporaryFile temporal(QDir(carpeta).filePath(QStringLiteral(".taloren-XXXXXX.") + info.suffix()));
    if (!temporal.open())
        throw noSeEscribe(archivo, QStringLiteral("no se puede escribir en la carpeta %1 (%2)")
                                       .arg(nativo(carpeta), temporal.errorString()));
    if (formato == Formato::Csv) {
        const QByteArray datos = csv(tabla);
        if (temporal.write(datos) != datos.size() || !temporal.flush())
            throw noSeEscribe(
                archivo, QStringLiteral("falló la escritura en el disco (%1)").arg(temporal.errorString()));
        temporal.close();
    } else {
        temporal.close();
        escribeXlsx(tabla, temporal.fileName(), archivo);
    }
    if (reemplaza) {
        if (std::rename(QFile::encodeName(temporal.fileName()).constData(),
                        QFile::encodeName(archivo).constData()) != 0)
            throw noSeEscribe(archivo, QStringLiteral("no se pudo reemplazar el archivo anterior (%1)")
                                           .arg(QString::fromLocal8Bit(std::strerror(errno))));
    } else if (!temporal.rename(archivo)) {
        throw noSeEscribe(archivo, QFileInfo::exists(archivo)
                                       ? QStringLiteral("ya existe un archivo con ese nombre")
                                       : temporal.errorString());
    }
    temporal.setAutoRemove(false);
}

} // namespace Hojas
