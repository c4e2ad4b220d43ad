#include "controls/BotonesDeComando.h"
#include "controls/ModeloDeRecordset.h"
#include "controls/TextoMultilinea.h"
#include "invitations/ApoyoDeInvitaciones.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>

namespace {

// The staff search and the catalogue lists are one piece of code in both
// windows: every case runs in each.
enum Cual { Registro, Modificacion };

struct Prueba {
    explicit Prueba(int cual, Motor motor = Motor::SQLite, const std::function<void(Conexion&)>& antes = {}) {
        if (cual == Registro)
            registro = std::make_unique<EnVentana<FrmRegistrarInvitacion>>(motor, momentoDePrueba(), antes);
        else
            modificacion =
                std::make_unique<EnVentana<FrmModificarInvitacion>>(motor, momentoDePrueba(), antes);
        v = registro ? static_cast<VentanaDeInvitacion*>(registro->ventana.get())
                     : modificacion->ventana.get();
        caja = registro ? &registro->e.caja : &modificacion->e.caja;
    }
    // F2 in a name box, as the user presses it.
    void busca(QLineEdit* nombre, const QString& texto) const {
        v->TabInvitacion->setCurrentIndex(1);
        nombre->setText(texto);
        nombre->setFocus();
        QTest::keyClick(nombre, Qt::Key_F2);
    }

    std::unique_ptr<EnVentana<FrmRegistrarInvitacion>> registro;
    std::unique_ptr<EnVentana<FrmModificarInvitacion>> modificacion;
    VentanaDeInvitacion* v;
    CajaGuionada* caja;
};

void agregaVentanas() {
    QTest::addColumn<int>("cual");
    QTest::newRow("registro") << int(Registro);
    QTest::newRow("modificación") << int(Modificacion);
}

QStringList entradas(const QComboBox* lista) {
    QStringList r;
    for (int i = 0; i < lista->count(); ++i)
        r << lista->itemText(i);
    return r;
}

} // namespace

class TstBusquedaYListas : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void busqueda_data() { agregaVentanas(); }
    void busqueda() {
        QFETCH(int, cual);
        const QString largo = QStringLiteral("Juan de Dios Pérez Hernández Ochoa Salgado");
        Prueba p(cual, Motor::SQLite, [&](Conexion& k) {
            k.ejecuta(QStringLiteral("insert into funcionarios (cvefuncionario, nombre) values ('L', ?)"),
                      {largo});
        });
        VentanaDeInvitacion& v = *p.v;

        // An empty box: the message, and no search.
        p.busca(v.TxtRepresentante, QString());
        QCOMPARE(p.caja->textos(),
                 QStringList{"Para usar el motor de búsqueda, debe proporcionar un nombre u apellido"});
        QVERIFY(v.FraSeleccionarPersona->isHidden());

        // No match: the boxes and the panel as they were.
        p.caja->olvida();
        v.TxtCargoRepresentante->setText(QStringLiteral("antes"));
        p.busca(v.TxtRepresentante, QStringLiteral("Zzyzx"));
        QCOMPARE(p.caja->textos(), QStringList{"No hay coincidencias para ese valor"});
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtRepresentante->text() + v.TxtCargoRepresentante->text(), QStringLiteral("Zzyzxantes"));

        // Only the first 30 characters are searched.
        p.caja->olvida();
        p.busca(v.TxtRepresentante, largo.left(30) + QStringLiteral("ZZZZZ"));
        QCOMPARE(v.personalEncontrado().rowCount(), 1);
        v.CmdCancelar->click();

        // From the area head's box: the panel opens with the focus left in place;
        // the chosen row fills the head's name and post, the focus goes on.
        p.busca(v.TxtTitularDelArea, QStringLiteral("MARIA"));
        QVERIFY(!v.FraSeleccionarPersona->isHidden());
        QVERIFY(tieneElFoco(v.TxtTitularDelArea));
        const Recordset& hallados = v.personalEncontrado().recordset();
        QCOMPARE(QStringList({hallados.texto(0, 0), hallados.texto(1, 0)}),
                 QStringList({"María Elena Ortiz Salgado", "Rosa María Cortés Alarcón"}));
        v.DGRepresentante->selectRow(1);
        const QString elegido = hallados.texto(1, 0) + hallados.texto(1, 1);
        v.CmdAceptar->click();
        QCOMPARE(v.TxtTitularDelArea->text() + v.TxtCargoTitularDelArea->text(), elegido);
        QCOMPARE(v.TxtCargoRepresentante->text(), QStringLiteral("antes"));
        QVERIFY(tieneElFoco(v.TxtTelsTitular));
        QVERIFY(v.FraSeleccionarPersona->isHidden());

        // A double click on a row does the same, for the representative.
        p.busca(v.TxtRepresentante, QStringLiteral("Tapia"));
        const QPoint celda = v.DGRepresentante->visualRect(v.DGRepresentante->model()->index(0, 1)).center();
        QTest::mouseClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QTest::mouseDClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QCOMPARE(v.TxtRepresentante->text() + v.TxtCargoRepresentante->text(),
                 QStringLiteral("Rafael Tapia VillaseñorSecretario de Educación"));
        QVERIFY(tieneElFoco(v.TxtTelsRepresentante));
        // So does a double click in the left margin, as the panel's caption says.
        p.busca(v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QHeaderView* margen = v.DGRepresentante->verticalHeader();
        const QPoint fila(margen->width() / 2, margen->sectionViewportPosition(0) + 5);
        QTest::mouseClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QTest::mouseDClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("Rafael Tapia Villaseñor"));

        // Cancel goes back to the box the search started in.
        p.busca(v.TxtTitularDelArea, QStringLiteral("ez"));
        v.TxtRepresentante->setFocus();
        v.CmdCancelar->click();
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QVERIFY(tieneElFoco(v.TxtTitularDelArea));
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("ez"));
        QVERIFY(p.caja->cajas().isEmpty());
    }

    // A failing server: its error as the search reports it, the boxes as they were.
    void errorDeLaBusqueda_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("cual");
        QTest::newRow("sqlite, registro") << int(Motor::SQLite) << int(Registro);
        QTest::newRow("postgresql, modificación") << int(Motor::PostgreSQL) << int(Modificacion);
    }
    void errorDeLaBusqueda() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, cual);
        Prueba p(cual, motor);
        VentanaDeInvitacion& v = *p.v;
        Modulo::kelmar().ejecuta(QStringLiteral("alter table funcionarios rename to funcionarios_aparte"));
        v.TxtCargoTitularDelArea->setText(QStringLiteral("antes"));
        p.busca(v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QCOMPARE(p.caja->cajas().size(), 1);
        const QString texto = p.caja->ultima().texto;
        QVERIFY2(texto.startsWith(QStringLiteral("Error: %1\r\nDescp: ").arg(CodigoDeError::Sentencia)) &&
                     texto.contains(QStringLiteral("\r\nSourc: ")),
                 qPrintable(texto));
        QCOMPARE(p.caja->ultima().icono, CajaDeMensajes::Icono::Critico);
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtTitularDelArea->text() + v.TxtCargoTitularDelArea->text(),
                 QStringLiteral("Tapiaantes"));
    }

    // Each prefix column feeds its own list, an empty value none; the
    // indications come in full, empty ones included; nothing is selected.
    // Lists that load empty or cannot load: the window opens all the same.
    void listas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<int>("cual");
        QTest::addColumn<QString>("caso");
        QTest::newRow("registro") << int(Motor::SQLite) << int(Registro) << "propias";
        QTest::newRow("modificación") << int(Motor::SQLite) << int(Modificacion) << "propias";
        QTest::newRow("vacías") << int(Motor::SQLite) << int(Registro) << "vacías";
        QTest::newRow("sqlite, sin tabla") << int(Motor::SQLite) << int(Modificacion) << "sin tabla";
        QTest::newRow("postgresql, sin tabla") << int(Motor::PostgreSQL) << int(Registro) << "sin tabla";
    }
    void listas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(int, cual);
        QFETCH(QString, caso);
        const bool propias = caso == QLatin1String("propias");
        const bool sinTabla = caso == QLatin1String("sin tabla");
        Prueba p(cual, motor, [&](Conexion& k) {
            if (sinTabla) {
                k.ejecuta(QStringLiteral("alter table prefijos rename to prefijos_aparte"));
                return;
            }
            k.ejecuta(QStringLiteral("delete from prefijos"));
            k.ejecuta(QStringLiteral("delete from indicaciones"));
            if (propias) {
                k.ejecuta(
                    QStringLiteral("insert into prefijos (id, Prefijo1, Prefijo2, Prefijo3) values"
                                   " (1, 'al', '', 'el'), (2, null, 'del', null), (3, 'a la', 'de', 'la')"));
                k.ejecuta(QStringLiteral("insert into indicaciones (id, descripcion) values (1, 'Asistir'),"
                                         " (2, ''), (3, 'Para su conocimiento')"));
            }
        });
        VentanaDeInvitacion& v = *p.v;
        QVERIFY(v.isVisible());
        const auto si = [&](const QStringList& lista) { return propias ? lista : QStringList(); };
        QCOMPARE(entradas(v.CmbPrefijo1), si({"al", "a la"}));
        QCOMPARE(entradas(v.CmbPrefijo2), si({"del", "de"}));
        QCOMPARE(entradas(v.CmbPrefijo3), si({"el", "la"}));
        QCOMPARE(entradas(v.CmbIndicacion), si({"Asistir", "", "Para su conocimiento"}));
        for (QComboBox* c : {v.CmbPrefijo1, v.CmbPrefijo2, v.CmbPrefijo3, v.CmbIndicacion, v.CmbHoraEvento})
            QCOMPARE(c->currentIndex(), -1);
        QVERIFY(v.TxtIndicacion->toPlainText().isEmpty());
        QCOMPARE(p.caja->cajas().size(), sinTabla ? 1 : 0);
        if (sinTabla)
            QVERIFY2(p.caja->ultima().texto.startsWith(
                         QStringLiteral("Error: %1\r\nDescp: ").arg(CodigoDeError::Sentencia)),
                     qPrintable(p.caja->ultima().texto));
    }
};

QTEST_MAIN(TstBusquedaYListas)
#include "tst_busquedaylistas.moc"
