#include "controls/BotonesDeComando.h"
#include "controls/MensajeTemporal.h"
#include "outside/CarpetaDeDatos.h"
#include "outside/Reloj.h"
#include "reports/FrmReportes.h"
#include "reports/FrmVerReporte.h"
#include "reports/Impresora.h"
#include "reports/RejillaDeDatos.h"
#include "support/EntornoDeVentanas.h"
#include "support/InvitacionesDePrueba.h"
#include "support/TextoDePdf.h"

#include <QApplication>
#include <QClipboard>
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
#include <QTableView>
#include <QTest>
#include <QToolButton>

using Caja = CajaDeMensajes;

namespace {

const QString aviso = QStringLiteral("Haga clic en <SI> para continuar o clic en <NO> para cancelar.");

QString pregunta(const QString& texto) {
    return QStringLiteral("Lupita\r\r") + texto + QStringLiteral("\r\r¿Desea continuar?");
}

// Every insert into the staging table, in the order it came: a trigger of the test's own.
void registraLaSeleccion(Conexion& kelmar) {
    const bool pg = kelmar.motor() == Motor::PostgreSQL;
    const QString inserta = QStringLiteral("insert into bitacora (Folio) values (new.Folio);");
    kelmar.ejecuta(QStringLiteral("create table bitacora (n %1 primary key, Folio smallint)")
                       .arg(QLatin1String(pg ? "serial" : "integer")));
    if (pg)
        kelmar.ejecuta(
            QStringLiteral("create function registra() returns trigger language plpgsql as $$ begin ") +
            inserta + QStringLiteral(" return new; end $$"));
    kelmar.ejecuta(QStringLiteral("create trigger registra after insert on folios_por_imprimir ") +
                   (pg ? QStringLiteral("for each row execute function registra()")
                       : QStringLiteral("begin ") + inserta + QStringLiteral(" end")));
}

QList<int> bitacora(Conexion& kelmar) {
    return numeros(kelmar.ejecuta(QStringLiteral("select Folio from bitacora order by n")));
}

// The report window loaded on the shared invitations, with the staging recorded.
struct Reportes {
    explicit Reportes(Motor motor = Motor::SQLite) : e(motor) {
        e.conecta(QStringLiteral("admin"), QStringLiteral("Lupita"));
        insertaInvitaciones(e.base.kelmar(), juegoDeReportes());
        registraLaSeleccion(e.base.kelmar());
        v.show();
        v.DTPFechaIni->setDate(QDate(2011, 11, 1));
        v.DTPFechaFin->setDate(QDate(2011, 12, 31));
    }
    Conexion& kelmar() { return e.base.kelmar(); }
    void busca() { v.CmdBuscar->click(); }
    // Prints with those answers scripted (to the confirmation, then to the
    // output: "SI" the printer, "NO" the screen): the boxes it showed.
    QStringList imprime(std::initializer_list<Caja::Boton> respuestas) {
        e.caja.olvida();
        for (Caja::Boton r : respuestas)
            e.caja.responde(r);
        v.CmdImprimir->click();
        return e.caja.textos();
    }
    // The report the window made last: its file, how many parameters, 6 and 7, and its rows.
    QString reporte() const {
        const Reporte* r = v.vistaPrevia()->reporte();
        return QStringLiteral("%1 %2 %3 %4 %5")
            .arg(r->definicion().archivo)
            .arg(r->numeroDeParametros())
            .arg(r->parametro(6).toString(), r->parametro(7).toString())
            .arg(r->datos().filas());
    }
    // The folio of each row of the grid (all of 2011).
    QList<int> filas() const { return numeros(v.DGInvitaciones->recordset(), 1); }
    // A double click on the row of that folio, on its record selector or on a cell.
    void dobleClic(int folio, bool enElSelector = false) {
        const int fila = int(filas().indexOf(folio));
        QVERIFY(fila >= 0);
        QTableView* t = v.DGInvitaciones->vista();
        QHeaderView* selector = t->verticalHeader();
        t->scrollTo(t->model()->index(fila, 1));
        QWidget* donde = enElSelector ? selector->viewport() : t->viewport();
        const QPoint punto = enElSelector
                                 ? QPoint(selector->width() / 2, selector->sectionViewportPosition(fila) + 5)
                                 : t->visualRect(t->model()->index(fila, 1)).center();
        // A press and a release, then the double click, as the mouse gives them.
        QTest::mouseClick(donde, Qt::LeftButton, {}, punto);
        QTest::mouseDClick(donde, Qt::LeftButton, {}, punto);
    }
    // The chosen folios, then the count the window shows of them.
    QStringList lista() const {
        QStringList r;
        for (int i = 0; i < v.LstFolios->count(); ++i)
            r << v.LstFolios->item(i)->text();
        return r << v.LblTotalAProcesar->text();
    }
    // Nothing of the work is left standing.
    bool enReposo() const { return !v.MensajeTemporal->isVisible() && !QApplication::overrideCursor(); }
    // The criteria phase (true) or the result phase (false), with the controls of each.
    std::optional<bool> fase() const {
        const QList<bool> criterios{v.CmdBuscar->isEnabled(), v.FraCriteriosDeBusqueda->isEnabled(),
                                    !v.CmdImprimir->Enabled(), !v.FrmSeleccionDeFolios->isVisible()};
        if (criterios.contains(!criterios.constFirst()))
            return {};
        return criterios.constFirst();
    }

    EntornoDeVentanas e;
    FrmReportes v;
};

} // namespace

class TstFrmReportes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    // The criteria: the date range, an empty result, the two phases and back;
    // then the selection.
    void criteriosYSeleccion() {
        Reportes r;
        QCOMPARE(r.fase(), true);
        r.v.DTPFechaIni->setDate(QDate(2011, 11, 6));
        r.v.DTPFechaFin->setDate(QDate(2011, 11, 5));
        r.busca();
        QCOMPARE(r.e.caja.textos(), QStringList{"Rangos de Fecha NO Válidos. verifique :("});
        QCOMPARE(r.v.DGInvitaciones->Caption(), QStringLiteral("Total de Registros = 0"));
        QVERIFY(!r.v.DGInvitaciones->estaEnlazada());
        QVERIFY(r.fase() == true && r.enReposo());

        r.v.DTPFechaIni->setDate(QDate(2011, 11, 5));
        r.busca();
        QCOMPARE(r.filas(), QList<int>({2, 1}));
        QCOMPARE(r.v.DGInvitaciones->Caption(), QStringLiteral("Total de Registros = 2"));
        QVERIFY(r.fase() == false && r.enReposo());

        r.dobleClic(1);
        r.v.CmdCambiarCriterios->click();
        QCOMPARE(r.fase(), true);
        QVERIFY(r.lista() == QStringList{"0"} && r.v.DGInvitaciones->Caption().isEmpty());

        r.e.caja.olvida();
        r.v.TxtTextoEvento->setText(QStringLiteral("no está en ninguna"));
        r.busca();
        QCOMPARE(r.e.caja.textos(),
                 QStringList{"No hay invitaciones con los criterios que proporcionó, verifique"});
        QVERIFY(r.fase() == true && r.enReposo());

        // Folios chosen by double click, by the rules of the chosen report; removed by a click.
        r.e.caja.olvida();
        r.v.TxtTextoEvento->clear();
        r.v.DTPFechaFin->setDate(QDate(2011, 12, 31));
        r.busca();
        QCOMPARE(r.filas(), QList<int>({2, 1, 3, 7, 4}));
        r.dobleClic(3, true);
        r.dobleClic(3);
        QCOMPARE(r.lista(), QStringList({"2011 - 3", "1"}));
        QCOMPARE(r.e.caja.textos(), QStringList{"El folio ya fue seleccionado, verifique. ;)"});

        // An invitation report takes only confirmed invitations.
        r.v.OptReporte[2]->click();
        QVERIFY(!r.v.FraAlcanceAcuerdos->isVisible());
        r.dobleClic(4);
        QCOMPARE(r.e.caja.ultima().texto,
                 QStringLiteral(
                     "No es posible seleccionar invitaciones que no esten confirmadas con un representante"));
        // Enter on the current row does what a double click does.
        r.v.DGInvitaciones->estableceFilaActual(0);
        QTest::keyClick(r.v.DGInvitaciones->vista(), Qt::Key_Return);
        QCOMPARE(r.lista(), QStringList({"2011 - 3", "2011 - 2", "2"}));
        QCOMPARE(r.fase(), false);

        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(r.v.LstFolios->viewport(), Qt::LeftButton, {},
                              r.v.LstFolios->visualItemRect(r.v.LstFolios->item(0)).center());
        QCOMPARE(r.lista(), QStringList{"0"});
    }

    // The window opens on the current month. Escape and the close box ask
    // before dropping chosen folios, with "NO" first; the close button and a
    // window with none chosen close at once.
    void primerasFechasYCierre() {
        RelojFijo reloj(QDateTime(QDate(2024, 2, 10), QTime(9, 0)));
        const Reloj::Sustituto enUso(reloj);
        {
            FrmReportes sinDatos;
            sinDatos.show();
            QCOMPARE(sinDatos.DTPFechaIni->date(), QDate(2024, 2, 1));
            QCOMPARE(sinDatos.DTPFechaFin->date(), QDate(2024, 2, 29));
        }
        Reportes r;
        const QString pregunta = QStringLiteral("Lupita\r\r¿Desea cerrar sin guardar los cambios?");
        QTest::keyClick(&r.v, Qt::Key_Escape);
        QVERIFY(!r.v.isVisible() && r.e.caja.textos().isEmpty());

        r.v.show();
        r.busca();
        r.dobleClic(3);
        for (auto [respuesta, abierta] : {std::pair{Caja::No, true}, std::pair{Caja::Si, false}}) {
            r.e.caja.olvida();
            r.e.caja.responde(respuesta);
            QTest::keyClick(&r.v, Qt::Key_Escape);
            QCOMPARE(r.e.caja.textos(), QStringList{pregunta});
            QCOMPARE(r.e.caja.ultima().porDefecto, Caja::No);
            QCOMPARE(r.v.isVisible(), abierta);
            QCOMPARE(r.lista(), QStringList({"2011 - 3", "1"}));
        }
        r.v.show();
        r.e.caja.olvida();
        r.v.CmdCerrar->click();
        QVERIFY(!r.v.isVisible() && r.e.caja.textos().isEmpty());
    }

    // The whole printing sequence, on both backends.
    void impresion_data() { agregaMotores(); }
    void impresion() {
        MOTOR_DE_LA_FILA(motor);
        Reportes r(motor);
        const QString pdf = m_dir.filePath(QStringLiteral("impresora.pdf"));
        int impresoras = 0;
        // The station's default printer: a PDF file, as it would receive the pages.
        const Impresora::Sustituto impresora([&] {
            ++impresoras;
            auto p = std::make_unique<QPrinter>(QPrinter::HighResolution);
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
            return p;
        });

        // "NO" to the confirmation: nothing at all.
        r.busca();
        r.dobleClic(7);
        QCOMPARE(r.imprime({Caja::No}), QStringList{pregunta(aviso)});
        QVERIFY(!r.v.vistaPrevia() && bitacora(r.kelmar()).isEmpty());

        // Three folios, staged in list order, shown on screen: the report holds
        // those three. The preview keeps it as a PDF file; a folder that is not
        // there is reported and leaves nothing behind.
        r.dobleClic(1);
        r.dobleClic(3);
        const QString guardado = m_dir.filePath(QStringLiteral("acuerdos %1.pdf").arg(int(motor)));
        const QString noHay = m_dir.filePath(QStringLiteral("no/hay/carpeta/acuerdos.pdf"));
        QString destino;
        r.e.alMostrar = [&](QDialog& d) {
            if (d.objectName() == QLatin1String("FrmErrores"))
                return;
            if (d.objectName() == QLatin1String("DlgGuardarPdf")) {
                static_cast<QFileDialog&>(d).selectFile(destino);
                return d.accept();
            }
            auto& vista = static_cast<FrmVerReporte&>(d);
            QCOMPARE(vista.CRViewer1->pageCount(), 1);
            for (const QString& archivo : {guardado, noHay}) {
                destino = archivo;
                vista.CmdGuardarPdf->click();
            }
            vista.CmdCerrar->click();
        };
        r.imprime({Caja::Si, Caja::No});
        QCOMPARE(
            r.e.caja.ultima().texto,
            QStringLiteral("El reporte se guardó en el archivo %1.").arg(QDir::toNativeSeparators(guardado)));
        QCOMPARE(marcasEn(paginasDePdf(guardado).join(u' ')), QList<int>({1, 3, 7}));
        QVERIFY(r.e.errores.size() == 1 && !QFile::exists(noHay));
        QCOMPARE(bitacora(r.kelmar()), QList<int>({7, 1, 3}));
        QCOMPARE(r.e.mostradas,
                 QStringList({"FrmVerReporte", "DlgGuardarPdf", "DlgGuardarPdf", "FrmErrores"}));
        // The type word is "Todas" until a type is clicked.
        QCOMPARE(r.reporte(), QStringLiteral("RPTAcuerdosTodos.rpt 7 true Todas 3"));
        QVERIFY(foliosEnEspera(r.kelmar()) == 0 && r.enReposo());

        // "Cancelar": nothing printed, nothing shown, nothing left staged.
        r.imprime({Caja::Si, Caja::Cancelar});
        QCOMPARE(bitacora(r.kelmar()).size(), 6);
        QCOMPARE(r.e.mostradas.size(), 4);
        QVERIFY(impresoras == 0 && foliosEnEspera(r.kelmar()) == 0);

        // The Secretary's invitations with no folio chosen, to the printer: every confirmed one.
        r.v.CmdCambiarCriterios->click();
        r.v.OptTipoInvit[2]->click();
        r.busca();
        r.v.OptReporte[1]->click();
        QCOMPARE(
            r.imprime({Caja::Si, Caja::Si}).constFirst(),
            pregunta(QStringLiteral("Tome en cuenta que SOLO SE IMPRIMIRÁN LAS INVITACIONES QUE YA TENGAN "
                                    "CAPTURADO EL REPRESENTANTE. ") +
                     aviso));
        QVERIFY(r.e.errores.size() == 1 && impresoras == 1);
        QCOMPARE(marcasEn(paginasDePdf(pdf).join(u' ')), QList<int>({1, 7}));
        QCOMPARE(bitacora(r.kelmar()).size(), 6);
        QCOMPARE(r.reporte(), QStringLiteral("RPTInvitacionSecretario.rpt 6 false  2"));

        // Agreements of the Governor; the type word is now the clicked button's tag.
        r.v.OptReporte[0]->click();
        r.v.OptAlcanceAcuerdos[2]->click();
        r.imprime({Caja::Si, Caja::Cancelar});
        QVERIFY2(r.reporte().startsWith(QStringLiteral("RPTAcuerdosGob.rpt 7 false ConfirmYSinConfirm")),
                 qPrintable(r.reporte()));
        QVERIFY(r.enReposo());

        // An invitation report of unconfirmed invitations is refused before any question.
        r.v.CmdCambiarCriterios->click();
        r.v.OptTipoInvit[1]->click();
        r.busca();
        r.v.OptReporte[1]->click();
        QCOMPARE(r.imprime({}), QStringList{"No es posible imprimir invitaciones que no tengan capturado el "
                                            "representante. Verifique :("});
    }

    // Failures after the confirmation and in the search reach the error window,
    // one after another in the same window: nothing is left staged or
    // half-done, and the window stays as it was, ready for the next try.
    // A word pasted past the twenty characters the box takes keeps an emoji at its end whole, and
    // the search finds the invitation that holds it.
    void palabraConEmoji_data() { agregaMotores(); }
    void palabraConEmoji() {
        MOTOR_DE_LA_FILA(motor);
        Reportes r(motor);
        r.kelmar().ejecuta(
            QStringLiteral("update invitacion set Descripcion = ? where Anio = 2011 and Folio = 7"),
            {QStringLiteral("EVT07 Reunión de Café con🎉 directores")});
        QApplication::clipboard()->setText(QStringLiteral("Reunión de Café con🎉 directores"));
        r.v.TxtTextoEvento->paste();
        QCOMPARE(r.v.TxtTextoEvento->text(), QStringLiteral("Reunión de Café con🎉"));
        r.busca();
        QCOMPARE(r.e.errores, QStringList());
        QCOMPARE(r.filas(), QList<int>{7});
    }

    void fallas_data() { agregaMotores(); }
    void fallas() {
        MOTOR_DE_LA_FILA(motor);
        Reportes r(motor);
        r.busca();
        r.dobleClic(1);
        r.dobleClic(7);
        const QString noHay = m_dir.filePath(QStringLiteral("no/hay/carpeta.pdf"));
        const auto falla = [&](const char* dicho) {
            r.e.errores.clear();
            // "SI" to the confirmation and to the printer, whichever the failure comes after.
            while (r.e.caja.pendientes() < 2)
                r.e.caja.responde(Caja::Si);
            r.v.CmdImprimir->click();
            QCOMPARE(r.e.errores.size(), 1);
            QVERIFY2(r.e.errores.constFirst().contains(QString::fromUtf8(dicho)),
                     qPrintable(r.e.errores.constFirst()));
            QVERIFY(r.enReposo() && r.fase() == false && r.lista().size() == 3);
            QVERIFY(foliosEnEspera(r.kelmar()) == 0 && !QFile::exists(noHay));
        };
        {
            const QTemporaryDir vacia;
            const CarpetaDeDatos::Sustituto sinDatos(vacia.path());
            falla("RPTAcuerdosTodos.rpt");
        }
        {
            const Impresora::Sustituto sinImpresora([] { return nullptr; });
            falla("No hay una impresora predeterminada");
        }
        {
            const Impresora::Sustituto queNoEmpieza([&] {
                auto p = std::make_unique<QPrinter>();
                p->setOutputFormat(QPrinter::PdfFormat);
                p->setOutputFileName(noHay);
                return p;
            });
            falla("No se pudo comenzar a imprimir");
        }
        // A folio taken away after it was chosen: none of the staging stays.
        const QList<int> antes = bitacora(r.kelmar());
        r.kelmar().ejecuta(QStringLiteral("delete from invitacion where Anio = 2011 and Folio = 7"));
        falla("2011 - 7");
        QCOMPARE(bitacora(r.kelmar()), antes);

        r.e.errores.clear();
        r.v.CmdCambiarCriterios->click();
        r.kelmar().ejecuta(QStringLiteral("alter table invitacion rename to invitacion_perdida"));
        r.busca();
        QCOMPARE(r.e.errores.size(), 1);
        QVERIFY2(r.e.errores.constFirst().contains(u"invitacion"), qPrintable(r.e.errores.constFirst()));
        QVERIFY(r.enReposo() && r.fase() == true);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TstFrmReportes)
#include "tst_frmreportes.moc"
