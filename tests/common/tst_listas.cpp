#include "agenda/FrmAgenda.h"
#include "common/Listas.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "queries/frmConsultas.h"
#include "reports/FrmReportes.h"
#include "reports/RejillaDeDatos.h"
#include "support/EntornoDeVentanas.h"
#include "support/InvitacionesDePrueba.h"
#include "support/RegistroDeEventos.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;
using Caja = CajaDeMensajes;

namespace {

const QDateTime ahora(QDate(2026, 3, 4), QTime(18, 30));
const QDate lunes(2026, 3, 2);

// The rows of a CSV text (RFC 4180), each a list of its fields.
QList<QStringList> filasDeCsv(const QString& texto) {
    QList<QStringList> filas;
    QStringList fila;
    QString campo;
    bool comillas = false;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto.at(i);
        if (comillas) {
            if (c == u'"' && i + 1 < texto.size() && texto.at(i + 1) == u'"')
                campo += c, ++i;
            else if (c == u'"')
                comillas = false;
            else
                campo += c;
        } else if (c == u'"') {
            comillas = true;
        } else if (c == u',') {
            fila << campo, campo.clear();
        } else if (c == u'\n') {
            fila << campo, campo.clear();
            filas << fila, fila.clear();
        } else if (c != u'\r') {
            campo += c;
        }
    }
    if (!campo.isEmpty() || !fila.isEmpty())
        filas << (fila << campo);
    return filas;
}

// A workbook as LibreOffice Calc reads it, converted to CSV (UTF-8, cells as shown).
QList<QStringList> leidoPorLibreOffice(const QString& libro, const QString& carpeta) {
    QTemporaryDir perfil;
    QProcess lo;
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(QStandardPaths::findExecutable(u"soffice"_s),
             {u"-env:UserInstallation="_s + QUrl::fromLocalFile(perfil.path()).toString(), u"--headless"_s,
              u"--convert-to"_s, u"csv:Text - txt - csv (StarCalc):44,34,76,1"_s, u"--outdir"_s, carpeta,
              libro});
    if (!lo.waitForFinished(240000) || lo.exitCode() != 0)
        qFatal("LibreOffice no convirtió el libro: %s", lo.readAll().constData());
    QFile csv(QDir(carpeta).filePath(QFileInfo(libro).completeBaseName() + u".csv"_s));
    if (!csv.open(QIODevice::ReadOnly))
        qFatal("LibreOffice no dejó %s: %s", qPrintable(csv.fileName()), lo.readAll().constData());
    return filasDeCsv(QString::fromUtf8(csv.readAll()));
}

// The files of a folder, hidden ones too.
QStringList archivos(const QString& carpeta) {
    return QDir(carpeta).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// What a table view shows: the headings of its visible columns, in the header's order, then each row.
QList<QStringList> loQueMuestra(const QTableView& t) {
    QList<int> columnas;
    for (int v = 0; v < t.model()->columnCount(); ++v)
        if (!t.isColumnHidden(t.horizontalHeader()->logicalIndex(v)))
            columnas << t.horizontalHeader()->logicalIndex(v);
    QList<QStringList> r{{}};
    for (int c : columnas)
        r[0] << t.model()->headerData(c, Qt::Horizontal).toString().trimmed();
    for (int f = 0; f < t.model()->rowCount(); ++f) {
        QStringList fila;
        for (int c : columnas)
            fila << t.model()->index(f, c).data().toString();
        r << fila;
    }
    return r;
}

// Files may not grow past `bytes` while it lives: a disk that fills up.
struct DiscoLleno {
    explicit DiscoLleno(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &antes);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limite = antes;
        limite.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~DiscoLleno() {
        setrlimit(RLIMIT_FSIZE, &antes);
        std::signal(SIGXFSZ, SIG_DFL);
    }
    rlimit antes{};
};

// One of the three windows whose list is exported, loaded with rows that carry accents.
struct Ventana {
    std::unique_ptr<QDialog> v;
    QPushButton* exportar = nullptr;
    QString descripcion;
    QList<QStringList> muestra; // headings, then the rows
};

Ventana abre(const QString& cual, EntornoDeVentanas& e) {
    Ventana w;
    if (cual == u"reportes") {
        insertaInvitaciones(e.base.kelmar(), juegoDeReportes());
        auto* r = new FrmReportes;
        w.v.reset(r);
        r->show();
        r->DTPFechaIni->setDate(QDate(2011, 11, 1));
        r->DTPFechaFin->setDate(QDate(2011, 12, 31));
        r->CmdBuscar->click();
        w.exportar = r->CmdExportar;
        w.descripcion = u"Reporte de invitaciones"_s;
        w.muestra = loQueMuestra(*r->DGInvitaciones->vista());
    } else if (cual == u"consultas") {
        int folio = 0;
        for (const auto& [hora, suscriptor] : {std::pair{"10:00", "Martín Peña, \"el Güero\""},
                                               {"18:30", "Sofía Núñez"},
                                               {"09:15", "Íñigo Ávila"}})
            RegistroDeEventos::inserta(e.base.taloren(),
                                       {.folio = ++folio,
                                        .fecha = QDateTime(lunes.addDays(folio), QTime(8, 0)),
                                        .hora = QString::fromLatin1(hora),
                                        .descripcion = u"Inauguración del año"_s,
                                        .suscriptor = QString::fromUtf8(suscriptor)});
        auto* c = new frmConsultas;
        w.v.reset(c);
        c->show();
        c->OptFecha[1]->click();
        c->DTPFechaIni->setDate(lunes);
        c->DTPFechaFin->setDate(lunes.addDays(6));
        c->CmdBuscar->click();
        w.exportar = c->CmdExportar;
        w.descripcion = u"Consulta de eventos del 02-03-2026 al 08-03-2026"_s;
        w.muestra = loQueMuestra(*c->GridResultados);
    } else {
        const auto inv = [](int folio, QDate dia, const char* hora, const char* rep) {
            InvitacionDePrueba i =
                invitacionDelDia(folio, dia, QString::fromLatin1(hora), QString::fromUtf8(rep));
            i.descripcion = u"Reunión %1"_s.arg(folio);
            return i;
        };
        insertaInvitaciones(e.base.kelmar(), {inv(1, lunes, "10:00", "Ana Pérez"), inv(2, lunes, "SinHr", ""),
                                              inv(3, lunes.addDays(2), "23:45", "Luis Gómez")});
        auto* a = new FrmAgenda;
        w.v.reset(a);
        a->show();
        w.exportar = a->CmdExportarLista;
        w.descripcion = u"Agenda del 02-03-2026 al 08-03-2026"_s;
        w.muestra = {{u"Día"_s, u"Hora"_s, u"Tipo"_s, u"Año"_s, u"Folio"_s, u"Titular"_s, u"Representante"_s,
                      u"Descripción"_s, u"Lugar"_s, u"Invita"_s, u"Indicación"_s, u"Observación"_s,
                      u"Confirmada"_s}};
        for (const ::Agenda::Entrada& x : a->Entradas())
            w.muestra << QStringList{x.dia.toString(u"dd/MM/yyyy"_s),
                                     x.hora ? x.hora->toString(u"HH:mm"_s) : u"Sin hora"_s,
                                     x.tipo == ::Agenda::Tipo::Invitacion ? u"Invitación"_s : u"Evento"_s,
                                     QString::number(x.anio),
                                     QString::number(x.folio),
                                     x.titular == ::Agenda::Titular::Secretario ? u"Secretario"_s
                                                                                : u"Gobernador"_s,
                                     x.representante,
                                     x.descripcion,
                                     x.lugar,
                                     x.invita,
                                     x.indicacion,
                                     x.observacion,
                                     x.confirmada ? u"Sí"_s : u"No"_s};
    }
    return w;
}

} // namespace

class TstListas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A workbook holds dates as dates, numbers as numbers and texts as texts,
    // its columns as wide as their contents and its heading row frozen; the
    // CSV starts with the byte-order mark and quotes what needs quoting.
    void libro() {
        QTemporaryDir dir;
        Hojas::Tabla t{u"Lista: [prueba]"_s, {u"Fecha"_s, u"Número"_s, u"Texto largo"_s, u"Momento"_s}, {}};
        t.filas << QList<Hojas::Celda>{
            Hojas::Celda::deFecha(QDate(2026, 3, 4), u"04/03/2026"_s),
            Hojas::Celda::deNumero(12.5, u"12.5"_s),
            Hojas::Celda::deTexto(u"Señora Peña, \"la jefa\"\nsegunda línea"_s),
            Hojas::Celda::deFechaHora(QDateTime(QDate(2026, 3, 4), QTime(18, 30)), u"04/03/2026 18:30"_s)};
        const QString xlsx = dir.filePath(u"l.xlsx"_s);
        Hojas::escribe(t, xlsx, Hojas::Formato::Xlsx);
        QuaZipFile hoja(xlsx, u"xl/worksheets/sheet1.xml"_s);
        QVERIFY(hoja.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(hoja.readAll());
        const int serie = int(QDate(1899, 12, 30).daysTo(QDate(2026, 3, 4)));
        QVERIFY2(QRegularExpression(uR"(<c r="A2" s="\d+"><v>%1</v></c>)"_s.arg(serie)).match(xml).hasMatch(),
                 qPrintable(xml));
        QVERIFY(xml.contains(u"<c r=\"B2\"><v>12.5</v></c>"_s));
        QVERIFY(xml.contains(u"<c r=\"C2\" t=\"s\">"_s));
        QVERIFY(QRegularExpression(uR"(<c r="D2" s="\d+"><v>%1\.77083)"_s.arg(serie)).match(xml).hasMatch());
        QVERIFY(xml.contains(
            u"<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"_s));
        // Widths by the longest line of each column: "04/03/2026", "Número", "Señora Peña, ..." and the
        // moment.
        for (const auto& [c, ancho] : {std::pair{1, 12}, {2, 8}, {3, 24}, {4, 18}})
            QVERIFY2(xml.contains(u"<col min=\"%1\" max=\"%1\" width=\"%2.7109375\""_s.arg(c).arg(ancho)),
                     qPrintable(xml));
        QVERIFY(Hojas::csv(t).startsWith("\xEF\xBB\xBF"
                                         "Fecha,Número,Texto largo,Momento\r\n04/03/2026,12.5,\"Señora Peña, "
                                         "\"\"la jefa\"\"\nsegunda línea\",04/03/2026 18:30\r\n"));
        // Never over another file unless told.
        QCOMPARE(errorDe([&] { Hojas::escribe(t, xlsx, Hojas::Formato::Csv); }).descripcion(),
                 u"No se pudo escribir el archivo %1: ya existe un archivo con ese nombre."_s.arg(xlsx));
        QCOMPARE(archivos(dir.path()), QStringList{u"l.xlsx"_s});
    }

    // "Exportar..." of each window: the list as its grid shows it, headings and
    // order, into a workbook that LibreOffice reads back cell by cell, or a
    // CSV; never over another file without asking; a disk that fills up or a
    // folder that cannot be made reported, leaving nothing behind.
    void exporta_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("ventana");
        struct Caso {
            const char* nombre;
        };
        agregaFilasPorMotor(std::initializer_list<Caso>{{"reportes"}, {"consultas"}, {"agenda"}},
                            [](QTestData& fila, const Caso& c) { fila << QString::fromLatin1(c.nombre); });
    }
    void exporta() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, ventana);
        if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
            QSKIP("LibreOffice (libreoffice-calc-nogui) no está instalado");
        QTemporaryDir dir;
        const QString carpeta = dir.filePath(u"Documentos/TALOREN"_s);
        const Listas::SustitutoDeCarpeta enCarpeta(carpeta);
        RelojFijo reloj(ahora);
        const Reloj::Sustituto enHora(reloj);
        EntornoDeVentanas e(motor);
        e.conecta(u"admin"_s, u"Lupita"_s);
        Ventana w = abre(ventana, e);
        QVERIFY(w.muestra.size() >= 4 && w.exportar->isEnabled());
        QString todo;
        for (const QStringList& fila : std::as_const(w.muestra))
            todo += fila.join(u'|');
        QVERIFY(todo.contains(QRegularExpression(u"[áéíóúñÁÉÍÓÚÑ]"_s)));

        QStringList sugeridos;
        QString destino;
        e.alMostrar = [&](QDialog& d) {
            if (d.objectName() != u"DlgExportarLista")
                return;
            auto& dialogo = static_cast<QFileDialog&>(d);
            sugeridos << dialogo.selectedFiles().value(0);
            if (!destino.isEmpty())
                dialogo.selectFile(destino);
            d.accept();
        };
        const auto exporta = [&](const QString& a) {
            destino = a;
            e.caja.olvida();
            w.exportar->click();
        };
        const QString filas = QString::number(w.muestra.size() - 1);

        // The suggested name, in the documents folder made for it; then the same with " (2)".
        exporta({});
        const QString primero = QDir(carpeta).filePath(w.descripcion + u" 2026-03-04 1830.xlsx"_s);
        QCOMPARE(sugeridos, QStringList{primero});
        QCOMPARE(e.caja.textos(),
                 QStringList{u"La lista se guardó en el archivo %1 (%2 renglones)."_s.arg(primero, filas)});
        const QString csv = QDir(carpeta).filePath(u"lista.csv"_s);
        exporta(csv);
        QCOMPARE(sugeridos.constLast(),
                 QDir(carpeta).filePath(w.descripcion + u" 2026-03-04 1830 (2).xlsx"_s));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        f.close();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(filasDeCsv(QString::fromUtf8(bytes.mid(3))), w.muestra);

        // A chosen file that exists: asked first, "No" the default; "No" leaves it, "Sí" replaces it.
        QVERIFY(escribeArchivo(csv, "otro"));
        e.caja.responde(Caja::No);
        exporta(csv);
        QCOMPARE(e.caja.ultima().porDefecto, Caja::No);
        QVERIFY(e.caja.ultima().texto.endsWith(u"El archivo %1 ya existe. ¿Desea reemplazarlo?"_s.arg(csv)));
        QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll() == "otro");
        f.close();
        e.caja.responde(Caja::Si);
        exporta(csv);
        QVERIFY(f.open(QIODevice::ReadOnly) && f.readAll() == bytes);
        f.close();

        // A disk that fills up half-way, for either kind: reported, and nothing left behind.
        const QStringList antes = archivos(carpeta);
        QCOMPARE(antes, (QStringList{QFileInfo(primero).fileName(), u"lista.csv"_s}));
        {
            const DiscoLleno lleno(64);
            exporta(QDir(carpeta).filePath(u"grande.xlsx"_s));
            exporta(QDir(carpeta).filePath(u"grande.csv"_s));
        }
        QCOMPARE(e.errores.size(), 2);
        QVERIFY2(e.errores.at(0).startsWith(
                     u"No se pudo escribir el archivo %1"_s.arg(QDir(carpeta).filePath(u"grande.xlsx"_s))),
                 qPrintable(e.errores.at(0)));
        QVERIFY2(e.errores.at(1).startsWith(
                     u"No se pudo escribir el archivo %1: falló la escritura en el disco"_s.arg(
                         QDir(carpeta).filePath(u"grande.csv"_s))),
                 qPrintable(e.errores.at(1)));
        QCOMPARE(archivos(carpeta), antes);
        // A documents folder that cannot be made: reported before anything is asked.
        QVERIFY(escribeArchivo(dir.filePath(u"archivo"_s), "x"));
        {
            const Listas::SustitutoDeCarpeta imposible(dir.filePath(u"archivo/TALOREN"_s));
            const int dialogos = int(sugeridos.size());
            exporta({});
            QCOMPARE(sugeridos.size(), dialogos);
        }
        QCOMPARE(e.errores.constLast(),
                 u"No se pudo crear la carpeta de documentos %1."_s.arg(dir.filePath(u"archivo/TALOREN"_s)));

        // The workbook as LibreOffice Calc reads it: the grid's cells, accents included.
        QCOMPARE(leidoPorLibreOffice(primero, dir.path()), w.muestra);
    }
};

QTEST_MAIN(TstListas)
#include "tst_listas.moc"
