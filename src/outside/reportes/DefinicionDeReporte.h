#pragma once

#include "outside/reportes/Plantilla.h"

#include <QList>
#include <QPageLayout>
#include <QString>

// A report as the office keeps it: a readable text file in the program's
// data folder (JSON; lines that begin with // are remarks) that says which
// parameters the report takes, which stored procedure gives its rows, and how
// its pages look. The office can change a layout without a new program.
struct DefinicionDeReporte {
    enum class TipoDeParametro { Fecha, Texto, Logico };
    // A parameter of the report, by position; it goes to the procedure under its name.
    struct Parametro {
        QString nombre;
        TipoDeParametro tipo = TipoDeParametro::Texto;
        int largo = 0; // texts only
    };
    // A value the report always sends, after its parameters.
    struct Fijo {
        QString nombre;
        QString valor;
        int largo = 0;
    };
    struct Columna {
        QString titulo;
        double ancho = 1; // a share of the page's width
        Plantilla texto;
        Qt::Alignment alineacion = Qt::AlignLeft;
    };
    struct Renglon {
        QString etiqueta;
        Plantilla texto;
        bool negrita = false;
    };

    QString archivo; // the file's name, which errors carry as their source
    QString titulo;
    QString subtitulo;
    QPageLayout pagina;
    QString familia;
    double puntos = 8;
    QList<Parametro> parametros;
    // Where the rows come from: the kelmar procedure of that name, or, where
    // the definition names none, the program itself (rows gathered from both
    // catalogs), with these columns.
    QString procedimiento;
    QStringList columnasDelPrograma;
    QList<Fijo> fijos;
    QList<Plantilla> criterios; // lines under the title on the first page
    Plantilla pieIzquierdo, pieDerecho;
    // The body: a table with a row per record, or a block of lines per record.
    QList<Columna> columnas;
    QList<Renglon> renglones;
    double anchoDeEtiquetas = 0.2; // blocks: the labels' share of the width
    QString sinDatos;
    Plantilla resumen;

    bool esTabla() const { return !columnas.isEmpty(); }
    // Every template of the definition, to check its fields against the data.
    QList<const Plantilla*> plantillas() const;

    // Reads and checks a definition file. Throws ErrorDeEjecucion
    // (CodigoDeError::DefinicionDeReporte) naming the file, the place in it
    // and the fault; an absent file is CodigoDeError::ArchivoNoEncontrado.
    static DefinicionDeReporte lee(const QString& ruta);
};
