#include "common/FrmErrores.h"
#include "controls/BotonesDeComando.h"
#include "controls/MensajeTemporal.h"
#include "outside/CarpetaDeDatos.h"
#include "outside/Conexion.h"
#include "reports/FrmReportes.h"
#include "reports/FrmVerReporte.h"
#include "reports/Impresora.h"
#include "reports/RejillaDeDatos.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "support/EntornoDeVentanas.h"
#include "support/InvitacionesDePrueba.h"
#include "support/TextoDePdf.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using Caja = CajaDeMensajes;

namespace {

const QString aviso = QStringLiteral("Haga clic en <SI> para continuar o clic en <NO> para cancelar.");
const QString avisoDeInvitaciones =
    QStringLiteral("Tome en cuenta que SOLO SE IMPRIMIRÁN LAS INVITACIONES QUE YA TENGAN CAPTURADO EL "
                   "REPRESENTANTE. ") +
    aviso;

// Every insert into the staging table, in the order it came: a trigger of the test's own.
void registraLaSeleccion(Conexion& kelmar) {
    if (kelmar.motor() == Motor::SQLite) {
        kelmar.ejecuta(
            QStringLiteral("create table bitacora (n integer primary key autoincrement, Anio smallint,"
                           " Folio smallint)"));
        kelmar.ejecuta(
            QStringLiteral("create trigger registra after insert on folios_por_imprimir begin"
                           " insert into bitacora (Anio, Folio) values (new.Anio, new.Folio); end"));
    } else {
        kelmar.ejecuta(
            QStringLiteral("create table bitacora (n serial primary key, Anio smallint, Folio smallint)"));
        kelmar.ejecuta(
            QStringLiteral("create function registra() returns trigger language plpgsql as $$ begin"
                           " insert into bitacora (Anio, Folio) values (new.Anio, new.Folio);"
                           " return new; end $$"));
        kelmar.ejecuta(QStringLiteral("create trigger registra after insert on folios_por_imprimir"
                                      " for each row execute function registra()"));
    }
}

QStringList bitacora(Conexion& kelmar) {
    const Recordset rs = kelmar.ejecuta(QStringLiteral("select Anio, Folio from bitacora order by n"));
    QStringList r;
    for (int i = 0; i < rs.filas(); ++i)
        r << rs.texto(i, 0) + QStringLiteral(" - ") + rs.texto(i, 1);
    return r;
}

int enEspera(Conexion& kelmar) {
    return kelmar.ejecuta(QStringLiteral("select count(*) from folios_por_imprimir")).valor(0, 0).toInt();
}

// The report window loaded on the shared invitations, with the staging recorded.
struct Reportes {
    explicit Reportes(Motor motor = Motor::SQLite) : e(motor) {
        e.conecta(QStringLiteral("admin"), QStringLiteral("Lupita"));
        insertaInvitaciones(e.base.kelmar(), juegoDeReportes());
        registraLaSeleccion(e.base.kelmar());
        e.alMostrar = [this](QDialog& d) {
            if (d.objectName() == QLatin1String("FrmErrores"))
                errores << static_cast<FrmErrores&>(d).LblDescripDelError->text();
            else if (alMostrar)
                alMostrar(d);
        };
        v.show();
    }
    Conexion& kelmar() { return e.base.kelmar(); }
    void busca() { v.CmdBuscar->click(); }
    // Year and folio of each row of the grid.
    QStringList filas() const {
        QStringList r;
        for (int i = 0; i < v.DGInvitaciones->recordset().filas(); ++i)
            r << v.DGInvitaciones->texto(i, 0) + QStringLiteral(" - ") + v.DGInvitaciones->texto(i, 1);
        return r;
    }
    // A double click on the row of that folio, on its record selector or on a cell.
    void dobleClic(int folio, bool enElSelector = false) {
        const int fila = int(filas().indexOf(QStringLiteral("2011 - %1").arg(folio)));
        QVERIFY(fila >= 0);
        QTableView* t = v.DGInvitaciones->vista();
        t->scrollTo(t->model()->index(fila, 1));
        QWidget* donde = enElSelector ? t->verticalHeader()->viewport() : t->viewport();
        const QPoint punto = enElSelector ? QPoint(t->verticalHeader()->width() / 2,
                                                   t->verticalHeader()->sectionViewportPosition(fila) +
                                                       t->verticalHeader()->sectionSize(fila) / 2)
                                          : t->visualRect(t->model()->index(fila, 1)).center();
        // A press and a release, then the double click, as the mouse gives them.
        QTest::mouseClick(donde, Qt::LeftButton, {}, punto);
        QTest::mouseDClick(donde, Qt::LeftButton, {}, punto);
    }
    QStringList lista() const {
        QStringList r;
        for (int i = 0; i < v.LstFolios->count(); ++i)
            r << v.LstFolios->item(i)->text();
        return r;
    }
    void quita(int entrada) {
        QListWidget* l = v.LstFolios;
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(entrada)).center());
    }
    // Nothing of the work is left standing.
    bool enReposo() const { return !v.MensajeTemporal->isVisible() && !QApplication::overrideCursor(); }
    bool enResultados() const {
        return !v.CmdBuscar->isEnabled() && v.CmdCambiarCriterios->isVisible() &&
               !v.FraCriteriosDeBusqueda->isEnabled() && v.CmdImprimir->Enabled() &&
               v.FrImprimir->isVisible() && v.FrmSeleccionDeFolios->isVisible() &&
               v.LblTotalAProcesar->isVisible();
    }
    bool enCriterios() const {
        return v.CmdBuscar->isEnabled() && !v.CmdCambiarCriterios->isVisible() &&
               v.FraCriteriosDeBusqueda->isEnabled() && !v.CmdImprimir->Enabled() &&
               !v.FrImprimir->isVisible() && !v.FrmSeleccionDeFolios->isVisible();
    }

    EntornoDeVentanas e;
    FrmReportes v;
    QStringList errores;
    std::function<void(QDialog&)> alMostrar;
};

// A printer of the test's own: a PDF file, as the station's default printer would receive the pages.
struct ImpresoraDePrueba {
    explicit ImpresoraDePrueba(QString salida)
        : archivo(std::move(salida)), enUso([this] {
              ++pedidas;
              auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
              p->setOutputFormat(QPrinter::PdfFormat);
              p->setOutputFileName(archivo);
              return p;
          }) {}
    QString archivo;
    int pedidas = 0;
    Impresora::Sustituto enUso;
};

} // namespace

class TstFrmReportes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    // The criteria: the date range, an empty result, the two phases and back.
    void criterios() {
        Reportes r;
        QVERIFY(r.enCriterios());
        QCOMPARE(r.v.DTPFechaIni->date(), QDate(2011, 11, 1));
        QCOMPARE(r.v.DTPFechaFin->date(), QDate(2011, 12, 31));

        r.v.DTPFechaIni->setDate(QDate(2011, 11, 6));
        r.v.DTPFechaFin->setDate(QDate(2011, 11, 5));
        r.busca();
        QCOMPARE(r.e.caja.textos(), QStringList{QStringLiteral("Rangos de Fecha NO Válidos. verifique :(")});
        QCOMPARE(r.v.DGInvitaciones->Caption(), QStringLiteral("Total de Registros = 0"));
        QVERIFY(!r.v.DGInvitaciones->estaEnlazada());
        QVERIFY(r.enCriterios() && r.enReposo());

        r.v.DTPFechaIni->setDate(QDate(2011, 11, 5));
        r.busca();
        QCOMPARE(r.filas(), (QStringList{QStringLiteral("2011 - 2"), QStringLiteral("2011 - 1")}));
        QCOMPARE(r.v.DGInvitaciones->Caption(), QStringLiteral("Total de Registros = 2"));
        QVERIFY(r.enResultados() && r.enReposo());
        QAbstractItemModelTester prueba(r.v.DGInvitaciones->vista()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(r.v.DGInvitaciones->vista()->model()->index(0, 2).data().toString(),
                 QStringLiteral("05/11/2011"));

        r.dobleClic(1);
        r.v.CmdCambiarCriterios->click();
        QVERIFY(r.enCriterios());
        QVERIFY(r.lista().isEmpty());
        QCOMPARE(r.v.LblTotalAProcesar->text(), QStringLiteral("0"));
        QVERIFY(r.v.DGInvitaciones->Caption().isEmpty());

        r.e.caja.olvida();
        r.v.TxtTextoEvento->setText(QStringLiteral("no está en ninguna"));
        r.busca();
        QCOMPARE(r.e.caja.textos(), QStringList{QStringLiteral(
                                        "No hay invitaciones con los criterios que proporcionó, verifique")});
        QVERIFY(r.enCriterios() && r.enReposo());
    }

    // Folios chosen by double click, by the rules of the chosen report; removed by a click.
    void seleccion() {
        Reportes r;
        r.busca();
        QCOMPARE(r.filas(), (QStringList{QStringLiteral("2011 - 2"), QStringLiteral("2011 - 1"),
                                         QStringLiteral("2011 - 3"), QStringLiteral("2011 - 7"),
                                         QStringLiteral("2011 - 4")}));
        r.dobleClic(3, true);
        r.dobleClic(3);
        QCOMPARE(r.lista(), QStringList{QStringLiteral("2011 - 3")});
        QCOMPARE(r.v.LblTotalAProcesar->text(), QStringLiteral("1"));
        QCOMPARE(r.e.caja.cajas().size(), 1);
        QCOMPARE(r.e.caja.ultima().texto, QStringLiteral("El folio ya fue seleccionado, verifique. ;)"));
        QCOMPARE(r.e.caja.ultima().titulo, QStringLiteral("TALOREN"));
        QCOMPARE(r.e.caja.ultima().icono, Caja::Icono::Ninguno);

        r.v.OptReporte[2]->click();
        QVERIFY(!r.v.FraAlcanceAcuerdos->isVisible());
        r.dobleClic(4);
        QCOMPARE(r.e.caja.ultima().texto,
                 QStringLiteral(
                     "No es posible seleccionar invitaciones que no esten confirmadas con un representante"));
        // Enter on the current row does what a double click does.
        r.v.DGInvitaciones->estableceFilaActual(0);
        QTest::keyClick(r.v.DGInvitaciones->vista(), Qt::Key_Return);
        QCOMPARE(r.lista(), (QStringList{QStringLiteral("2011 - 3"), QStringLiteral("2011 - 2")}));
        QCOMPARE(r.v.LblTotalAProcesar->text(), QStringLiteral("2"));
        r.v.OptReporte[0]->click();
        QVERIFY(r.v.FraAlcanceAcuerdos->isVisible());

        r.quita(0);
        r.quita(0);
        QVERIFY(r.lista().isEmpty());
        QCOMPARE(r.v.LblTotalAProcesar->text(), QStringLiteral("0"));
    }

    // The whole printing sequence, on both backends.
    void impresion_data() { agregaMotores(); }
    void impresion() {
        MOTOR_DE_LA_FILA(motor);
        Reportes r(motor);
        ImpresoraDePrueba impresora(m_dir.filePath(QStringLiteral("impresora.pdf")));
        QVERIFY(r.v.OptTipoInvit[2]->isChecked());

        // "NO" to the confirmation: nothing at all.
        r.busca();
        r.dobleClic(7);
        r.e.caja.olvida();
        r.e.caja.responde(Caja::No);
        r.v.CmdImprimir->click();
        QCOMPARE(r.e.caja.textos(),
                 QStringList{QStringLiteral("Lupita\r\r") + aviso + QStringLiteral("\r\r¿Desea continuar?")});
        QVERIFY(!r.v.vistaPrevia());
        QVERIFY(bitacora(r.kelmar()).isEmpty());

        // Three folios, staged in list order, shown on screen: the report holds those three.
        r.dobleClic(1);
        r.dobleClic(3);
        Reporte* visto = nullptr;
        int paginas = 0;
        r.alMostrar = [&](QDialog& d) {
            auto& vista = static_cast<FrmVerReporte&>(d);
            visto = vista.reporte();
            paginas = vista.CRViewer1->pageCount();
            vista.CmdCerrar->click();
        };
        r.e.caja.responde(Caja::Si);
        r.e.caja.responde(Caja::No);
        r.v.CmdImprimir->click();
        QCOMPARE(r.errores, QStringList());
        QCOMPARE(bitacora(r.kelmar()), (QStringList{QStringLiteral("2011 - 7"), QStringLiteral("2011 - 1"),
                                                    QStringLiteral("2011 - 3")}));
        QCOMPARE(r.e.mostradas, QStringList{QStringLiteral("FrmVerReporte")});
        QVERIFY(visto && paginas == 1);
        QCOMPARE(visto->definicion().archivo, QStringLiteral("RPTAcuerdosTodos.rpt"));
        QCOMPARE(visto->parametro(6), QVariant(true));
        QCOMPARE(visto->parametro(7), QVariant(QStringLiteral("Todas")));
        QCOMPARE(visto->datos().filas(), 3);
        QCOMPARE(enEspera(r.kelmar()), 0);
        QVERIFY(r.enReposo());

        // "Cancelar": nothing printed, nothing shown, nothing left staged.
        r.e.caja.responde(Caja::Si);
        r.e.caja.responde(Caja::Cancelar);
        r.v.CmdImprimir->click();
        QCOMPARE(bitacora(r.kelmar()).size(), 6);
        QCOMPARE(r.e.mostradas.size(), 1);
        QCOMPARE(impresora.pedidas, 0);
        QCOMPARE(enEspera(r.kelmar()), 0);

        // The Secretary's invitations with no folio chosen, to the printer: every confirmed one.
        // From now on the type word is the clicked button's tag.
        r.v.CmdCambiarCriterios->click();
        r.v.OptTipoInvit[2]->click();
        r.busca();
        r.v.OptReporte[1]->click();
        r.e.caja.olvida();
        r.e.caja.responde(Caja::Si);
        r.e.caja.responde(Caja::Si);
        r.v.CmdImprimir->click();
        QCOMPARE(r.errores, QStringList());
        QCOMPARE(r.e.caja.textos().constFirst(), QStringLiteral("Lupita\r\r") + avisoDeInvitaciones +
                                                     QStringLiteral("\r\r¿Desea continuar?"));
        QCOMPARE(impresora.pedidas, 1);
        QCOMPARE(marcasEn(paginasDePdf(impresora.archivo).join(QLatin1Char(' '))), (QSet<int>{1, 7}));
        QCOMPARE(bitacora(r.kelmar()).size(), 6);
        Reporte* impreso = r.v.vistaPrevia()->reporte();
        QCOMPARE(impreso->definicion().archivo, QStringLiteral("RPTInvitacionSecretario.rpt"));
        QCOMPARE(impreso->parametro(6), QVariant(false));
        QCOMPARE(impreso->numeroDeParametros(), 6);

        r.v.OptReporte[0]->click();
        r.v.OptAlcanceAcuerdos[2]->click();
        r.e.caja.responde(Caja::Si);
        r.e.caja.responde(Caja::Cancelar);
        r.v.CmdImprimir->click();
        QCOMPARE(r.v.vistaPrevia()->reporte()->definicion().archivo, QStringLiteral("RPTAcuerdosGob.rpt"));
        QCOMPARE(r.v.vistaPrevia()->reporte()->parametro(7), QVariant(QStringLiteral("ConfirmYSinConfirm")));
        QVERIFY(r.enReposo());

        // An invitation report of unconfirmed invitations is refused before any question.
        r.v.CmdCambiarCriterios->click();
        r.v.OptTipoInvit[1]->click();
        r.busca();
        r.v.OptReporte[1]->click();
        r.e.caja.olvida();
        r.v.CmdImprimir->click();
        QCOMPARE(r.e.caja.textos(),
                 QStringList{QStringLiteral("No es posible imprimir invitaciones que no tengan "
                                            "capturado el representante. Verifique :(")});
    }

    // Failures after the confirmation and in the search reach the error window; nothing is left staged
    // or half-done, and the window stays as it was.
    void fallas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("dicho");
        for (const Motor motor : {Motor::SQLite, Motor::PostgreSQL}) {
            const QByteArray m = motor == Motor::SQLite ? "sqlite " : "postgresql ";
            const auto fila = [&](const char* caso, const char* dicho) {
                QTest::newRow(QByteArray(m + caso).constData())
                    << int(motor) << QString::fromLatin1(caso) << QString::fromUtf8(dicho);
            };
            fila("busqueda", "invitacion");
            fila("folio borrado", "2011 - 7");
            fila("sin definicion", "RPTAcuerdosTodos.rpt");
            fila("sin impresora", "No hay una impresora predeterminada");
            fila("impresora que no empieza", "No se pudo comenzar a imprimir");
        }
    }
    void fallas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, caso);
        QFETCH(QString, dicho);
        Reportes r(motor);
        if (caso == QLatin1String("busqueda")) {
            r.kelmar().ejecuta(QStringLiteral("alter table invitacion rename to invitacion_perdida"));
            r.busca();
            QCOMPARE(r.errores.size(), 1);
            QVERIFY2(r.errores.constFirst().contains(dicho), qPrintable(r.errores.constFirst()));
            QVERIFY(r.enCriterios() && r.enReposo());
            return;
        }
        r.busca();
        r.dobleClic(1);
        r.dobleClic(7);
        const QTemporaryDir vacia;
        std::optional<CarpetaDeDatos::Sustituto> sinDatos;
        std::optional<Impresora::Sustituto> impresora;
        if (caso == QLatin1String("folio borrado"))
            r.kelmar().ejecuta(QStringLiteral("delete from invitacion where Anio = 2011 and Folio = 7"));
        else if (caso == QLatin1String("sin definicion"))
            sinDatos.emplace(vacia.path());
        else if (caso == QLatin1String("sin impresora"))
            impresora.emplace([] { return nullptr; });
        else
            impresora.emplace([this] {
                auto p = std::make_unique<QPrinter>();
                p->setOutputFormat(QPrinter::PdfFormat);
                p->setOutputFileName(m_dir.filePath(QStringLiteral("no/hay/carpeta.pdf")));
                return p;
            });
        r.e.caja.responde(Caja::Si);
        r.e.caja.responde(Caja::Si);
        r.v.CmdImprimir->click();
        QCOMPARE(r.errores.size(), 1);
        QVERIFY2(r.errores.constFirst().contains(dicho), qPrintable(r.errores.constFirst()));
        QCOMPARE(enEspera(r.kelmar()), 0);
        if (caso == QLatin1String("folio borrado"))
            QVERIFY(bitacora(r.kelmar()).isEmpty());
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("no/hay/carpeta.pdf"))));
        QVERIFY(r.enResultados() && r.enReposo());
        QCOMPARE(r.lista().size(), 2);
    }

    // The preview: its pages, moving through them, zooming, and keeping the report as a PDF file.
    void vistaPrevia() {
        Reportes r;
        QList<InvitacionDePrueba> mas;
        for (int folio = 10; folio < 70; ++folio) {
            InvitacionDePrueba i;
            i.folio = folio;
            i.descripcion = QStringLiteral("EVT%1 Visita a la zona escolar").arg(folio);
            mas << i;
        }
        insertaInvitaciones(r.kelmar(), mas);
        r.busca();
        const QString guardado = m_dir.filePath(QStringLiteral("acuerdos.pdf"));
        int paginas = 0;
        r.alMostrar = [&](QDialog& d) {
            if (d.objectName() == QLatin1String("DlgGuardarPdf")) {
                auto& dialogo = static_cast<QFileDialog&>(d);
                dialogo.selectFile(m_destino);
                static_cast<QDialog&>(dialogo).accept();
                return;
            }
            auto& vista = static_cast<FrmVerReporte&>(d);
            paginas = vista.CRViewer1->pageCount();
            QCOMPARE(vista.LblDePaginas->text(), QStringLiteral("de %1").arg(paginas));
            vista.CmdUltimaPagina->click();
            QCOMPARE(vista.TxtPagina->value(), paginas);
            vista.TxtPagina->setValue(1);
            QCOMPARE(vista.CRViewer1->currentPage(), 1);
            vista.CmdAjustarALaPagina->click();
            QCOMPARE(vista.CRViewer1->zoomMode(), QPrintPreviewWidget::FitInView);

            m_destino = guardado;
            vista.CmdGuardarPdf->click();
            m_destino = m_dir.filePath(QStringLiteral("no/hay/carpeta/acuerdos.pdf"));
            vista.CmdGuardarPdf->click();
            vista.CmdCerrar->click();
            QVERIFY(!vista.isVisible());
        };
        r.e.caja.responde(Caja::Si);
        r.e.caja.responde(Caja::No);
        r.v.CmdImprimir->click();
        QVERIFY(paginas > 1);
        QCOMPARE(
            r.e.caja.ultima().texto,
            QStringLiteral("El reporte se guardó en el archivo %1.").arg(QDir::toNativeSeparators(guardado)));
        const QStringList enPdf = paginasDePdf(guardado);
        QCOMPARE(enPdf.size(), paginas);
        QCOMPARE(marcasEn(enPdf.join(QLatin1Char(' '))).size(), 65);
        QCOMPARE(r.errores.size(), 1);
        QVERIFY(!QFile::exists(m_destino));
        QCOMPARE(r.e.mostradas, (QStringList{QStringLiteral("FrmVerReporte"), QStringLiteral("DlgGuardarPdf"),
                                             QStringLiteral("DlgGuardarPdf"), QStringLiteral("FrmErrores")}));
    }

    // The menu opens the one window modally, and each opening loads it afresh.
    void menu() {
        EntornoDeVentanas e;
        e.conecta();
        QStringList cargadas;
        e.alMostrar = [&](QDialog& d) {
            auto& v = static_cast<FrmReportes&>(d);
            cargadas << QString::number(v.LstFolios->count()) + QLatin1Char('/') + v.TxtTextoEvento->text();
            v.TxtTextoEvento->setText(QStringLiteral("escrito"));
            v.LstFolios->addItem(QStringLiteral("2011 - 1"));
            v.CmdCerrar->click();
        };
        Modulo::mdi().MnuReportesInvit->trigger();
        Modulo::mdi().MnuReportesInvit->trigger();
        QCOMPARE(e.mostradas, (QStringList{QStringLiteral("FrmReportes"), QStringLiteral("FrmReportes")}));
        QCOMPARE(cargadas, (QStringList{QStringLiteral("0/"), QStringLiteral("0/")}));
        Modulo::DestruyeMdi();
    }

private:
    QTemporaryDir m_dir;
    QString m_destino;
};

QTEST_MAIN(TstFrmReportes)
#include "tst_frmreportes.moc"
