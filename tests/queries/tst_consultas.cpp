#include "common/Modulo.h"
#include "controls/MensajeTemporal.h"
#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "outside/documentos/PaqueteOOXML.h"
#include "queries/HojasDeConsulta.h"
#include "queries/ModeloDeEventos.h"
#include "queries/frmConsultas.h"
#include "support/EntornoDeDocumentos.h"
#include "support/EntornoDeVentanas.h"
#include "support/RegistroDeEventos.h"
#include "support/ResolucionPorRenglon.h"
#include "support/TextoDePdf.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <numeric>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Today, for every test: Sunday the third of March of 2024.
const QDateTime ahora(QDate(2024, 3, 3), QTime(10, 0));

// The window over a test's catalogs, with the clock fixed and the word
// processor of the build in place.
struct Consultas {
    explicit Consultas(Motor motor) : e(motor), reloj(ahora), enHora(reloj) {
        e.conecta();
        v.show();
    }
    void buscaRango(const QDate& del, const QDate& al) {
        v.OptFecha[1]->click();
        v.DTPFechaIni->setDate(del);
        v.DTPFechaFin->setDate(al);
        v.CmdBuscar->click();
    }
    void buscaProximos() {
        v.OptFecha[2]->click();
        v.CmdBuscar->click();
    }
    QStringList columna(int posicion) const {
        QStringList r;
        for (int i = 0; i < v.modelo().rowCount(); ++i)
            r << v.modelo().texto(i, posicion);
        return r;
    }
    // Criteria on and nothing to print; after a search (false), the other way round.
    bool buscable(bool si = true) const {
        return v.OptFecha[1]->isEnabled() == si && v.OptFecha[2]->isEnabled() == si &&
               v.CmdBuscar->isEnabled() == si && v.cmdimprimeconsulta->isEnabled() != si;
    }
    // Wait panel and hourglass gone.
    bool enReposo() const { return !v.MensajeTemporal->isVisible() && !QApplication::overrideCursor(); }
    QString total() const { return v.LblTotal->text(); }
    void registra(const EventoDePrueba& ev) { RegistroDeEventos::inserta(taloren(), ev); }
    Conexion& taloren() { return e.base.taloren(); }
    Conexion& kelmar() { return e.base.kelmar(); }

    EntornoDeVentanas e;
    RelojFijo reloj;
    Reloj::Sustituto enHora;
    EntornoDeDocumentos docs;
    frmConsultas v;
};

} // namespace

class TstConsultas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The date options: a range takes its first day up to the day after its
    // last; upcoming events are today's and later ones. Grid in order of day and hour.
    void busqueda_data() { agregaMotores(); }
    void busqueda() {
        MOTOR_DE_LA_FILA(motor);
        Consultas w(motor);
        const QDate d(2024, 3, 1);
        int folio = 0;
        for (const auto& [dia, hora, escrita] : {std::tuple{d.addDays(-1), QTime(23, 59, 59), "10:00"},
                                                 {d, QTime(0, 0), "10:00"},
                                                 {d.addDays(4), QTime(23, 59, 59), "10:00"},
                                                 {d.addDays(5), QTime(0, 0), "10:00"},
                                                 {d.addDays(1), QTime(8, 0), "18:30"},
                                                 {d.addDays(2), QTime(0, 0), "07:00"},
                                                 {QDate(2025, 1, 10), QTime(12, 0), "10:00"}})
            w.registra(
                {.folio = ++folio, .fecha = QDateTime(dia, hora), .hora = QString::fromLatin1(escrita)});
        w.registra({.folio = 5,
                    .fecha = QDateTime(QDate(2023, 12, 30), QTime(9, 0)),
                    .descripcion = u"Posada"_s,
                    .observacion = u"Del año pasado"_s});
        w.buscaRango(d, d.addDays(4));
        QCOMPARE(w.columna(0), (QStringList{"2", "5", "6", "3"}));
        QVERIFY(w.total() == "4"_L1 && w.buscable(false) && w.enReposo() && w.e.caja.cajas().isEmpty());
        // Clearing returns to the criteria, keeping the option and the dates.
        w.v.CmdLimpiar->click();
        QVERIFY(w.v.modelo().rowCount() == 0 && w.buscable() && w.total().isEmpty());
        QVERIFY(w.v.OptFecha[1]->isChecked() && w.v.DTPFechaIni->date() == d &&
                w.v.DTPFechaFin->date() == d.addDays(4));
        w.buscaProximos();
        QCOMPARE(w.columna(0), (QStringList{"6", "3", "4", "7"}));
        // A search without events says so and leaves the criteria on.
        w.v.CmdLimpiar->click();
        w.buscaRango(QDate(2024, 3, 10), QDate(2024, 3, 12));
        QCOMPARE(w.e.caja.textos(), QStringList{u"No Existen Registros, verifique."_s});
        QVERIFY(w.v.modelo().rowCount() == 0 && w.buscable() && w.enReposo() && w.total().isEmpty());

        // An event of an earlier year found by a range prints whole, and by its own year: the event
        // with its folio this year is not taken for it.
        w.buscaRango(QDate(2023, 12, 1), QDate(2023, 12, 31));
        w.v.cmdimprimeconsulta->click();
        const QString archivo = w.docs.visor.abiertos.value(0);
        QVERIFY2(QFileInfo(archivo).fileName().startsWith(
                     u"Consulta de eventos del 01-12-2023 al 31-12-2023, hoja 1 de 1"_s),
                 qPrintable(archivo));
        const LecturaDeDocx hoja(archivo);
        for (const auto& [campo, valor] : {std::pair{"txtfolio1", "5"}, std::pair{"txtevento1", "Posada"},
                                           std::pair{"txtfecha1", "sábado 30 de diciembre de 2023"},
                                           std::pair{"txtobservaciones1", "Del año pasado"},
                                           std::pair{"txtinst1", "Asistir en representación"}})
            QCOMPARE(hoja.resultados.value(QString::fromLatin1(campo)), QString::fromUtf8(valor));
    }

    // The search procedure refuses an option or a date it does not know, saying which (the same
    // code before any statement whatever the database).
    void procedimientoRechaza() {
        BaseDePrueba base(Motor::SQLite);
        // Option, start, end, and what the refusal names.
        for (const QStringList& a : {QStringList{"3", "03/01/2024", "", "\"3\""},
                                     QStringList{"1", "2024-03-01", "03/06/2024", "@FechaIni"},
                                     QStringList{"1", "03/01/2024", "", "@FechaFin"}}) {
            Parametros p{Parametro::entrada(u"@OptSelAsuntos"_s, TipoDeParametro::Char, 1, a[0]),
                         Parametro::entrada(u"@FechaIni"_s, TipoDeParametro::VarChar, 10, a[1]),
                         Parametro::entrada(u"@FechaFin"_s, TipoDeParametro::VarChar, 10, a[2])};
            const ErrorDeEjecucion e =
                errorDe([&] { base.taloren().ejecutaProcedimiento(u"sp_ZMXObtenerRegsInvitaciones"_s, p); });
            QVERIFY2(e.numero() < 0 && e.descripcion().contains(a[3]), qPrintable(e.descripcion()));
        }
    }

    // On a generated register, with the keys a search meets besides (padded with blanks, unknown,
    // null; staff with no post): every cell as the record-by-record method gives it, and the same
    // few statements for ten events as for hundreds.
    void registroGenerado_data() { agregaMotores(); }
    void registroGenerado() {
        MOTOR_DE_LA_FILA(motor);
        Consultas w(motor);
        RegistroDeEventos::genera(w.kelmar(), w.taloren(), {400, QDate(2024, 1, 1), 300, 120, 25, 4, 7});
        w.kelmar().ejecuta(
            u"insert into funcionarios (cvefuncionario, nombre, cvecargo, cvearea) values (?, ?, ?, ?)"_s,
            {u"0100"_s, u"Funcionaria Sin Cargo"_s, QVariant(), u"SE"_s});
        // Staff key, municipality, locality, and the name and post typed.
        const struct {
            QVariant clave, municipio, localidad;
            const char *nombre, *cargo;
        } casos[] = {
            {u" 0004 "_s, u" 006 "_s, u"0001 "_s, "", ""},
            {u"0100"_s, u"099"_s, u"0001"_s, "Otro", "Cargo anotado"},
            {u"X1"_s, u"007"_s, u"0099"_s, "Invitado Externo", "Regidor"},
            {QString(), QVariant(), QVariant(), "Persona Sin Clave", "Asesor externo"},
            {QVariant(), u"007"_s, QVariant(), "Otra Persona", ""},
        };
        int folio = 1000;
        for (const auto& c : casos)
            w.registra({.folio = ++folio,
                        .fecha = QDateTime(QDate(2024, 12, folio - 990), QTime(9, 0)),
                        .municipio = c.municipio,
                        .localidad = c.localidad,
                        .claveFuncionario = c.clave,
                        .nombre = QString::fromUtf8(c.nombre),
                        .cargo = QString::fromUtf8(c.cargo)});
        QAbstractItemModelTester probador(&w.v.modelo(),
                                          QAbstractItemModelTester::FailureReportingMode::QtTest);

        // The statements a search up to a day sends to the staff and places catalog.
        const auto sentencias = [&](const QDate& al) {
            w.v.CmdLimpiar->click();
            const qint64 antes = Modulo::kelmar().sentenciasEnviadas();
            w.buscaRango(QDate(2024, 1, 1), al);
            return Modulo::kelmar().sentenciasEnviadas() - antes;
        };
        const qint64 pocas = sentencias(QDate(2024, 1, 10));
        const int eventosPocos = w.v.modelo().rowCount();
        const qint64 muchas = sentencias(QDate(2024, 12, 31));
        QVERIFY2(eventosPocos > 3 && w.v.modelo().rowCount() == 405,
                 qPrintable(QString::number(eventosPocos)));
        QCOMPARE(muchas, pocas);
        QVERIFY(muchas <= 4);

        ModeloDeEventos porRenglon;
        porRenglon.asigna(w.v.modelo().registros());
        ResolucionPorRenglon::Resuelve(porRenglon, w.kelmar());
        for (int i = 0; i < porRenglon.rowCount(); ++i)
            for (int p = 0; p < ModeloDeEventos::Columnas; ++p)
                QCOMPARE(w.v.modelo().texto(i, p), porRenglon.texto(i, p));
    }

    // Fifty events to a sheet, record k of sheet d being grid row 50 × (d − 1) + k, fields
    // numbered from 1 in each.
    void hojas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("eventos");
        QTest::addColumn<QList<int>>("porHoja");
        QTest::newRow("sqlite, 120") << int(Motor::SQLite) << 120 << QList<int>{50, 50, 20};
        QTest::newRow("postgresql, 120") << int(Motor::PostgreSQL) << 120 << QList<int>{50, 50, 20};
        QTest::newRow("sqlite, 100") << int(Motor::SQLite) << 100 << QList<int>{50, 50};
    }
    void hojas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, eventos);
        QFETCH(QList<int>, porHoja);
        Consultas w(motor);
        RegistroDeEventos::genera(w.kelmar(), w.taloren(), {eventos, QDate(2024, 4, 1), 60, 30, 5, 2, 3});
        w.buscaProximos();
        QCOMPARE(w.v.modelo().rowCount(), eventos);
        w.v.cmdimprimeconsulta->click();
        QVERIFY(w.e.caja.cajas().isEmpty() && w.enReposo() && w.buscable(false));
        QCOMPARE(w.docs.guardados().size(), porHoja.size());
        QCOMPARE(w.docs.visor.abiertos.size(), porHoja.size());

        const QLocale es(QLocale::Spanish, QLocale::Spain);
        // Each field and the grid column it shows; the date in words.
        const std::pair<QString, int> columnas[] = {
            {u"txtfolio"_s, 0},         {u"txtfecha"_s, -1},
            {u"txthora"_s, 2},          {u"txtsusc"_s, 11},
            {u"txtcargosusc"_s, 12},    {u"txtevento"_s, 3},
            {u"txtdireccion"_s, 4},     {u"txtrepresentante"_s, ModeloDeEventos::Representante},
            {u"txtobservaciones"_s, 9}, {u"txtrep_a"_s, 10},
            {u"txtinst"_s, 13}};
        QStringList operaciones;
        for (int d = 0; d < porHoja.size(); ++d) {
            operaciones << u"inicia"_s << u"nuevo PlantillaConsulta.dot"_s
                        << u"txtcriterios=próximos eventos desde 03/03/2024"_s;
            for (int k = 1; k <= porHoja.at(d); ++k) {
                const int fila = 50 * d + k - 1;
                const QDate fecha = Recordset::fechaHora(w.v.modelo().registros().valor(fila, 1)).date();
                for (const auto& [campo, p] : columnas)
                    operaciones << campo + QString::number(k) + u'=' +
                                       (p < 0 ? es.toString(fecha, u"dddd d 'de' MMMM 'de' yyyy"_s)
                                              : w.v.modelo().texto(fila, p));
            }
            // The template's rows beyond the sheet's records go.
            QStringList sobrantes;
            for (int k = porHoja.at(d) + 1; k <= 50; ++k)
                for (const auto& [campo, p] : columnas)
                    sobrantes << campo + QString::number(k);
            if (!sobrantes.isEmpty())
                operaciones << u"descarta "_s + sobrantes.join(u' ');
            operaciones << "muestra " + w.docs.visor.abiertos.at(d);
        }
        QCOMPARE(w.docs.anotador.operaciones, operaciones);
    }

    // The sheets as LibreOffice lays them out: one row for each event and no other, under a heading
    // that names the criteria; two events make one page, and no page is left without an event. An
    // office's template without the heading's field still prints, and the user is told once.
    void hojasLeidas_data() {
        QTest::addColumn<int>("eventos");
        QTest::addColumn<bool>("rango");
        QTest::addColumn<bool>("sinEncabezado");
        // The pages of each sheet; 0 where the text decides. Fifty-one events make a full sheet of
        // fifty, as fifty would, and one of one.
        QTest::addColumn<QList<int>>("paginas");
        QTest::newRow("2, rango") << 2 << true << false << QList<int>{1};
        QTest::newRow("51, próximos") << 51 << false << false << QList<int>{0, 1};
        QTest::newRow("51, plantilla sin encabezado") << 51 << true << true << QList<int>{0, 1};
    }
    void hojasLeidas() {
        QFETCH(int, eventos);
        QFETCH(bool, rango);
        QFETCH(bool, sinEncabezado);
        QFETCH(QList<int>, paginas);
        if (!hayLibreOffice())
            QSKIP("LibreOffice o pdftotext no están instalados (paquetes libreoffice-writer-nogui y "
                  "poppler-utils): las hojas no se leen aquí");
        Consultas w(Motor::SQLite);
        for (int i = 1; i <= eventos; ++i)
            w.registra(
                {.folio = i,
                 .fecha = QDateTime(QDate(2024, 3, 4).addDays(i / 3), QTime(8 + i % 3 * 4, 0)),
                 .descripcion = u"Inauguración de la biblioteca escolar EVT%1 con la comunidad"_s.arg(i),
                 .observacion = u"Llevar el mensaje del C. Secretario"_s});
        // The office's own template: the program's, its heading's field named otherwise.
        QTemporaryDir propia;
        ProcesadorOOXML deLaOficina({propia.path()}, w.docs.carpetaDeDocumentos(), w.docs.visor);
        std::optional<ProcesadorDeTextos::Sustituto> enUso;
        if (sinEncabezado) {
            PaqueteOOXML p = PaqueteOOXML::lee(
                QDir(EntornoDeDocumentos::carpetaDePlantillas()).filePath(u"PlantillaConsulta.dotx"_s));
            for (const auto& parte : QList<PaqueteOOXML::Parte>(p.partes()))
                if (parte.nombre.startsWith("word/header"_L1))
                    p.pon(parte.nombre, QByteArray(parte.datos).replace("txtcriterios", "txtleyenda"));
            QFile f(propia.filePath(u"PlantillaConsulta.dotx"_s));
            QVERIFY(f.open(QIODevice::WriteOnly));
            p.escribe(f, f.fileName());
            f.close();
            enUso.emplace(deLaOficina);
        }
        if (rango)
            w.buscaRango(QDate(2024, 3, 1), QDate(2024, 12, 31));
        else
            w.buscaProximos();
        QCOMPARE(w.v.modelo().rowCount(), eventos);
        w.v.cmdimprimeconsulta->click();
        const QString encabezado =
            rango ? u"del 01/03/2024 al 31/12/2024"_s : u"próximos eventos desde 03/03/2024"_s;
        QCOMPARE(w.e.caja.textos(),
                 sinEncabezado
                     ? QStringList{u"La plantilla PlantillaConsulta no tiene el campo de formulario "
                                   u"«txtcriterios», que nombra los criterios de la consulta: las hojas "
                                   u"se hicieron sin ese encabezado."_s}
                     : QStringList{});
        const QStringList hojas = w.docs.visor.abiertos;
        QCOMPARE(hojas.size(), paginas.size());

        QTemporaryDir salida;
        const QStringList pdfs = pdfsDeLibreOffice(hojas, salida.path());
        QList<int> todas;
        for (int d = 0; d < hojas.size(); ++d) {
            const int primera = 50 * d + 1, cuantos = std::min(50, eventos - 50 * d);
            // The saved sheet keeps the fields of its records and of no other.
            const LecturaDeDocx docx(hojas.at(d));
            QStringList esperados, campos = docx.resultados.keys();
            for (int k = 1; k <= cuantos; ++k)
                for (const QString& c : HojasDeConsulta::CamposDelRegistro())
                    esperados << c + QString::number(k);
            esperados << (sinEncabezado ? u"txtleyenda"_s : u"txtcriterios"_s);
            esperados.sort();
            campos.sort();
            QCOMPARE(campos, esperados);
            if (!sinEncabezado)
                QCOMPARE(docx.resultados.value(u"txtcriterios"_s), encabezado);

            const QStringList texto = paginasDePdf(pdfs.at(d));
            if (paginas.at(d) > 0)
                QCOMPARE(texto.size(), paginas.at(d));
            QList<int> deLaHoja;
            for (int pagina = 0; pagina < texto.size(); ++pagina) {
                const QList<int> marcas = marcasEn(texto.at(pagina));
                QVERIFY2(!marcas.isEmpty(),
                         qPrintable(u"página %1 de %2 sin eventos"_s.arg(pagina + 1).arg(pdfs.at(d))));
                // The heading on every page, whatever the template.
                QVERIFY(texto.at(pagina).contains(u"Consulta de eventos"_s));
                QCOMPARE(texto.at(pagina).contains(encabezado), !sinEncabezado);
                deLaHoja << marcas;
            }
            QList<int> propios(cuantos);
            std::iota(propios.begin(), propios.end(), primera);
            QCOMPARE(deLaHoja, propios);
            todas << deLaHoja;
        }
        QCOMPARE(todas.size(), eventos);
    }

    // A catalog that fails during the search: the error window names it, the grid stays empty and
    // the window searchable. What stops the sheets: no word processor, no template, a catalog that
    // fails, events gone since the search: the user is told, no sheet is half-made. The user stopping
    // between sheets: those made are kept and listed. Either way the wait panel and the hourglass go.
    void fallas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("falla");
        const struct {
            const char* nombre;
        } todas[] = {{"busca en taloren"}, {"busca en kelmar"}, {"catálogo"}, {"borrado"}, {"cancelada"}},
          // The word processor's failures are the same whatever the database.
            delProcesador[] = {{"procesador"}, {"plantilla"}};
        const auto falla = [](QTestData& fila, const auto& c) { fila << QString::fromUtf8(c.nombre); };
        agregaFilasPorMotor(todas, falla);
        agregaFilasPorMotor(delProcesador, falla, {Motor::SQLite});
    }
    void fallas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, falla);
        Consultas w(motor);
        RegistroDeEventos::genera(w.kelmar(), w.taloren(), {60, QDate(2024, 4, 1), 30, 10, 3, 1, 9});
        if (falla.startsWith("busca"_L1)) {
            const QString catalogo = falla.section(u' ', -1);
            (catalogo == "taloren"_L1 ? Modulo::taloren() : Modulo::kelmar()).cierra();
            w.buscaProximos();
            QVERIFY2(w.e.mostradas == QStringList{u"FrmErrores"_s} && w.e.errores.value(0).contains(catalogo),
                     qPrintable(w.e.errores.value(0)));
            QVERIFY(w.v.modelo().rowCount() == 0 && w.buscable() && w.enReposo() && w.total().isEmpty());
            return;
        }
        w.buscaProximos();
        QTemporaryDir otra;
        QVERIFY(escribeArchivo(otra.filePath(u"TALOREN"_s), {}));
        ProcesadorOOXML roto(
            {falla == "plantilla"_L1 ? otra.path() : EntornoDeDocumentos::carpetaDePlantillas()},
            falla == "procesador"_L1 ? otra.filePath(u"TALOREN/docs"_s) : w.docs.carpetaDeDocumentos(),
            w.docs.visor);
        std::optional<ProcesadorDeTextos::Sustituto> enUso;
        if (falla == "procesador"_L1 || falla == "plantilla"_L1)
            enUso.emplace(roto);
        const QString folio = w.v.modelo().texto(55, 0);
        const int anio = Recordset::fechaHora(w.v.modelo().registros().valor(55, 1)).date().year();
        if (falla == u"catálogo"_s)
            Modulo::taloren().cierra();
        if (falla == "borrado"_L1)
            w.taloren().ejecuta(u"delete from evento where folio = ? and año = ?"_s, {folio.toInt(), anio});

        if (falla == "cancelada"_L1)
            w.docs.visor.alAbrir = [&](const QString&) {
                w.v.findChild<QProgressDialog*>(u"progresoDeHojas"_s)->findChild<QPushButton*>()->click();
            };

        w.v.cmdimprimeconsulta->click();
        QVERIFY(w.enReposo());
        const QString aviso = w.e.caja.textos().join(u'|');
        if (falla == "cancelada"_L1) {
            QVERIFY2(w.docs.guardados().size() == 1 && w.e.caja.cajas().size() == 1 &&
                         aviso.startsWith(u"Se canceló la generación de las hojas de consulta."_s) &&
                         aviso.contains(QDir::toNativeSeparators(w.docs.visor.abiertos.first())),
                     qPrintable(aviso));
            return;
        }
        if (falla == "borrado"_L1) {
            // Both sheets made, the second without the event gone and its row, which the user is told.
            QCOMPARE(w.docs.guardados().size(), 2);
            QVERIFY2(w.e.caja.cajas().size() == 1 && aviso.endsWith(u"%1/%2"_s.arg(folio).arg(anio)),
                     qPrintable(aviso));
            const LecturaDeDocx hoja(w.docs.visor.abiertos.last());
            QVERIFY(!hoja.resultados.contains(u"txtfolio6"_s) && !hoja.resultados.contains(u"txtevento6"_s));
            QCOMPARE(hoja.resultados.value(u"txtfolio5"_s), w.v.modelo().texto(54, 0));
            QCOMPARE(hoja.resultados.value(u"txtfolio7"_s), w.v.modelo().texto(56, 0));
            return;
        }
        if (falla == "procesador"_L1)
            QVERIFY2(w.e.caja.cajas().size() == 1 && w.e.mostradas.isEmpty() &&
                         aviso.startsWith(u"Error en la aplicación de Word"_s),
                     qPrintable(aviso));
        else
            QVERIFY2(w.e.mostradas == QStringList{u"FrmErrores"_s} &&
                         w.e.errores.value(0).contains(falla == "plantilla"_L1 ? u"PlantillaConsulta"_s
                                                                               : u"taloren"_s),
                     qPrintable(w.e.errores.value(0)));
        QVERIFY(w.docs.guardados().isEmpty() && w.docs.visor.abiertos.isEmpty() && w.buscable(false));
    }
};

QTEST_MAIN(TstConsultas)
#include "tst_consultas.moc"
