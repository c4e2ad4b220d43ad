#include "controls/BotonesDeComando.h"
#include "controls/ModeloDeRecordset.h"
#include "controls/TextoMultilinea.h"
#include "invitations/ApoyoDeInvitaciones.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"

#include <QAbstractItemModelTester>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>

using Caja = CajaDeMensajes;

namespace {

// The staff search and the catalogue lists are one piece of code in both
// windows: every case runs in each.
enum class Cual { Registro, Modificacion };

struct Prueba {
    explicit Prueba(Cual cual, Motor motor = Motor::SQLite) {
        if (cual == Cual::Registro)
            registro = std::make_unique<EnVentana<FrmRegistrarInvitacion>>(motor);
        else
            modificacion = std::make_unique<EnVentana<FrmModificarInvitacion>>(motor);
    }
    VentanaDeInvitacion& v() const {
        return registro ? static_cast<VentanaDeInvitacion&>(*registro->ventana) : *modificacion->ventana;
    }
    EntornoDeVentanas& e() const { return registro ? registro->e : modificacion->e; }
    QString foco() const { return registro ? registro->foco() : modificacion->foco(); }
    // F2 in a name box, as the user presses it.
    void busca(QLineEdit* caja, const QString& texto) const {
        v().TabInvitacion->setCurrentIndex(1);
        caja->setText(texto);
        caja->setFocus();
        QTest::keyClick(caja, Qt::Key_F2);
    }

    std::unique_ptr<EnVentana<FrmRegistrarInvitacion>> registro;
    std::unique_ptr<EnVentana<FrmModificarInvitacion>> modificacion;
};

void agregaVentanas() {
    QTest::addColumn<int>("cual");
    QTest::newRow("registro") << int(Cual::Registro);
    QTest::newRow("modificación") << int(Cual::Modificacion);
}

QStringList entradas(const QComboBox* lista) {
    QStringList r;
    for (int i = 0; i < lista->count(); ++i)
        r << lista->itemText(i);
    return r;
}

const QString largo = QStringLiteral("Juan de Dios Pérez Hernández Ochoa Salgado");

} // namespace

class TstBusquedaYListas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void busqueda_data() { agregaVentanas(); }
    void busqueda() {
        QFETCH(int, cual);
        Prueba p(static_cast<Cual>(cual));
        VentanaDeInvitacion& v = p.v();
        const QAbstractItemModelTester revisor(v.DGRepresentante->model(),
                                               QAbstractItemModelTester::FailureReportingMode::QtTest);
        p.e().base.kelmar().ejecuta(
            QStringLiteral(
                "insert into funcionarios (cvefuncionario, nombre, cvecargo) values ('L', ?, '025')"),
            {largo});

        // An empty box: the message, and no search.
        p.busca(v.TxtRepresentante, QString());
        QCOMPARE(p.e().caja.textos(),
                 QStringList{QStringLiteral(
                     "Para usar el motor de búsqueda, debe proporcionar un nombre u apellido")});
        QVERIFY(v.FraSeleccionarPersona->isHidden());

        // No match: a plain box, the boxes and the panel as they were.
        p.e().caja.olvida();
        v.TxtCargoRepresentante->setText(QStringLiteral("antes"));
        p.busca(v.TxtRepresentante, QStringLiteral("Zzyzx"));
        QCOMPARE(p.e().caja.textos(), QStringList{QStringLiteral("No hay coincidencias para ese valor")});
        QCOMPARE(p.e().caja.ultima().icono, Caja::Icono::Ninguno);
        QCOMPARE(p.e().caja.ultima().titulo, QStringLiteral("TALOREN"));
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtRepresentante->text() + v.TxtCargoRepresentante->text(), QStringLiteral("Zzyzxantes"));

        // Only the first 30 characters are searched.
        p.e().caja.olvida();
        p.busca(v.TxtRepresentante, largo.left(30) + QStringLiteral("ZZZZZ"));
        QVERIFY(p.e().caja.cajas().isEmpty());
        QCOMPARE(v.personalEncontrado().rowCount(), 1);
        v.CmdCancelar->click();

        // From the area head's box: the panel opens with the focus left in place;
        // the chosen row fills the head's name and post, the focus goes on.
        p.busca(v.TxtTitularDelArea, QStringLiteral("MARIA"));
        QVERIFY(!v.FraSeleccionarPersona->isHidden());
        QCOMPARE(p.foco(), QStringLiteral("TxtTitularDelArea"));
        QCOMPARE(v.DGRepresentante->columnWidth(0), 3500 / 15);
        QCOMPARE(v.DGRepresentante->columnWidth(1), 7000 / 15);
        const Recordset& hallados = v.personalEncontrado().recordset();
        QCOMPARE(hallados.filas(), 2);
        QCOMPARE(hallados.texto(0, 0), QStringLiteral("María Elena Ortiz Salgado"));
        QCOMPARE(hallados.texto(1, 0), QStringLiteral("Rosa María Cortés Alarcón"));
        v.DGRepresentante->selectRow(1);
        const QString nombre = hallados.texto(1, 0);
        const QString cargo = hallados.texto(1, 1);
        v.CmdAceptar->click();
        QCOMPARE(v.TxtTitularDelArea->text(), nombre);
        QCOMPARE(v.TxtCargoTitularDelArea->text(), cargo);
        QCOMPARE(v.TxtCargoRepresentante->text(), QStringLiteral("antes"));
        QCOMPARE(p.foco(), QStringLiteral("TxtTelsTitular"));
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.DGRepresentante->model()->rowCount(), 0);

        // A double click on a row does the same, for the representative.
        p.busca(v.TxtRepresentante, QStringLiteral("Tapia"));
        const QPoint celda = v.DGRepresentante->visualRect(v.DGRepresentante->model()->index(0, 1)).center();
        QTest::mouseClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QTest::mouseDClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QCOMPARE(v.TxtRepresentante->text(), QStringLiteral("Rafael Tapia Villaseñor"));
        QCOMPARE(v.TxtCargoRepresentante->text(), QStringLiteral("Secretario de Educación"));
        QCOMPARE(p.foco(), QStringLiteral("TxtTelsRepresentante"));
        // So does a double click in the left margin, as the panel's caption says.
        p.busca(v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QHeaderView* margen = v.DGRepresentante->verticalHeader();
        const QPoint fila(margen->width() / 2, margen->sectionViewportPosition(0) + 5);
        QTest::mouseClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QTest::mouseDClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("Rafael Tapia Villaseñor"));

        // Cancel goes back to the box the search started in; the rows stay.
        p.busca(v.TxtTitularDelArea, QStringLiteral("ez"));
        v.TxtRepresentante->setFocus();
        v.CmdCancelar->click();
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(p.foco(), QStringLiteral("TxtTitularDelArea"));
        QVERIFY(v.DGRepresentante->model()->rowCount() > 0);
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("ez"));
        QCOMPARE(p.e().caja.cajas().size(), 0);
    }

    // A failing server: its error as the search reports it, the boxes as they were.
    void errorDeLaBusqueda_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("cual");
        QTest::newRow("sqlite, registro") << int(Motor::SQLite) << int(Cual::Registro);
        QTest::newRow("postgresql, modificación") << int(Motor::PostgreSQL) << int(Cual::Modificacion);
    }
    void errorDeLaBusqueda() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, cual);
        Prueba p(static_cast<Cual>(cual), motor);
        VentanaDeInvitacion& v = p.v();
        p.e().base.kelmar().ejecuta(QStringLiteral("alter table funcionarios rename to funcionarios_aparte"));
        v.TxtCargoTitularDelArea->setText(QStringLiteral("antes"));
        p.busca(v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QCOMPARE(p.e().caja.cajas().size(), 1);
        const QString texto = p.e().caja.ultima().texto;
        QVERIFY2(texto.startsWith(QStringLiteral("Error: %1\r\nDescp: ").arg(CodigoDeError::Sentencia)),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("\r\nSourc: ")), qPrintable(texto));
        QCOMPARE(p.e().caja.ultima().icono, Caja::Icono::Critico);
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtTitularDelArea->text() + v.TxtCargoTitularDelArea->text(),
                 QStringLiteral("Tapiaantes"));
    }

    // Each prefix column feeds its own list, an empty value none; the
    // indications come in full, empty ones included; nothing is selected.
    void listas_data() { agregaVentanas(); }
    void listas() {
        QFETCH(int, cual);
        RelojFijo reloj(momentoDePrueba());
        const Reloj::Sustituto enUso(reloj);
        EntornoDeVentanas e;
        e.conecta();
        Conexion& k = e.base.kelmar();
        k.ejecuta(QStringLiteral("delete from prefijos"));
        k.ejecuta(QStringLiteral(
            "insert into prefijos (id, Prefijo1, Prefijo2, Prefijo3) values (1, 'al', '', 'el'),"
            " (2, null, 'del', null), (3, 'a la', 'de', 'la')"));
        k.ejecuta(QStringLiteral("delete from indicaciones"));
        k.ejecuta(QStringLiteral("insert into indicaciones (id, descripcion) values (1, 'Asistir'), (2, ''),"
                                 " (3, 'Para su conocimiento')"));
        std::unique_ptr<VentanaDeInvitacion> v;
        if (static_cast<Cual>(cual) == Cual::Registro)
            v = std::make_unique<FrmRegistrarInvitacion>();
        else
            v = std::make_unique<FrmModificarInvitacion>();
        v->show();
        QCOMPARE(entradas(v->CmbPrefijo1), QStringList({QStringLiteral("al"), QStringLiteral("a la")}));
        QCOMPARE(entradas(v->CmbPrefijo2), QStringList({QStringLiteral("del"), QStringLiteral("de")}));
        QCOMPARE(entradas(v->CmbPrefijo3), QStringList({QStringLiteral("el"), QStringLiteral("la")}));
        QCOMPARE(entradas(v->CmbIndicacion),
                 QStringList({QStringLiteral("Asistir"), QString(), QStringLiteral("Para su conocimiento")}));
        QCOMPARE(entradas(v->CmbHoraEvento).size(), 39);
        for (QComboBox* c :
             {v->CmbPrefijo1, v->CmbPrefijo2, v->CmbPrefijo3, v->CmbIndicacion, v->CmbHoraEvento})
            QCOMPARE(c->currentIndex(), -1);
        QVERIFY(v->TxtIndicacion->toPlainText().isEmpty());
        QVERIFY(e.caja.cajas().isEmpty());
    }

    // Lists that cannot load, or load empty: the window opens all the same.
    void listasQueFallan_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("vacias");
        QTest::newRow("sqlite, vacías") << int(Motor::SQLite) << true;
        QTest::newRow("sqlite, sin tabla") << int(Motor::SQLite) << false;
        QTest::newRow("postgresql, sin tabla") << int(Motor::PostgreSQL) << false;
    }
    void listasQueFallan() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(bool, vacias);
        EntornoDeVentanas e(motor);
        e.conecta();
        if (vacias) {
            e.base.kelmar().ejecuta(QStringLiteral("delete from prefijos"));
            e.base.kelmar().ejecuta(QStringLiteral("delete from indicaciones"));
        } else {
            e.base.kelmar().ejecuta(QStringLiteral("alter table prefijos rename to prefijos_aparte"));
        }
        FrmRegistrarInvitacion v;
        v.show();
        QVERIFY(v.isVisible());
        QCOMPARE(v.CmbPrefijo1->count() + v.CmbIndicacion->count(), 0);
        QCOMPARE(v.CmbHoraEvento->count(), 39);
        if (vacias) {
            QVERIFY(e.caja.cajas().isEmpty());
        } else {
            QCOMPARE(e.caja.cajas().size(), 1);
            QVERIFY2(e.caja.ultima().texto.startsWith(
                         QStringLiteral("Error: %1\r\nDescp: ").arg(CodigoDeError::Sentencia)),
                     qPrintable(e.caja.ultima().texto));
        }
    }
};

QTEST_MAIN(TstBusquedaYListas)
#include "tst_busquedaylistas.moc"
