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
// windows: every case runs in each, the window named by the row.
void agregaVentanas() {
    QTest::addColumn<int>("backend");
    QTest::addColumn<bool>("registro");
    QTest::newRow("sqlite, registro") << int(Motor::SQLite) << true;
    QTest::newRow("postgresql, modificación") << int(Motor::PostgreSQL) << false;
}

#define EN_CADA_VENTANA(prueba, ...)                                                                         \
    QFETCH(bool, registro);                                                                                  \
    registro ? prueba<FrmRegistrarInvitacion>(__VA_ARGS__) : prueba<FrmModificarInvitacion>(__VA_ARGS__)

// F2 in a name box, as the user presses it.
void busca(VentanaDeInvitacion& v, QLineEdit* nombre, const QString& texto) {
    v.TabInvitacion->setCurrentIndex(1);
    nombre->setText(texto);
    nombre->setFocus();
    QTest::keyClick(nombre, Qt::Key_F2);
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
        MOTOR_DE_LA_FILA(motor);
        EN_CADA_VENTANA(busquedaEn, motor);
    }

    // Each prefix column feeds its own list, an empty value none; the
    // indications come in full, empty ones included; nothing is selected.
    // Lists that load empty or cannot load: the window opens all the same.
    // A failing server: its error as the lists and the search report it, the
    // boxes as they were.
    void listas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("registro");
        QTest::addColumn<QString>("caso");
        QTest::newRow("registro") << int(Motor::SQLite) << true << "propias";
        QTest::newRow("modificación") << int(Motor::SQLite) << false << "propias";
        QTest::newRow("vacías") << int(Motor::SQLite) << true << "vacías";
        QTest::newRow("sqlite, sin tabla") << int(Motor::SQLite) << false << "sin tabla";
        QTest::newRow("postgresql, sin tabla") << int(Motor::PostgreSQL) << true << "sin tabla";
    }
    void listas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, caso);
        EN_CADA_VENTANA(listasEn, motor, caso);
    }

private:
    template <typename Ventana> void busquedaEn(Motor motor) {
        const QString largo = QStringLiteral("Juan de Dios Pérez Hernández Ochoa Salgado");
        EnVentana<Ventana> p(motor, momentoDePrueba(), [&](Conexion& k) {
            k.ejecuta(QStringLiteral("insert into funcionarios (cvefuncionario, nombre) values ('L', ?)"),
                      {largo});
        });
        VentanaDeInvitacion& v = *p.ventana;
        CajaGuionada& caja = p.e.caja;

        // An empty box: the message, and no search.
        busca(v, v.TxtRepresentante, QString());
        QCOMPARE(caja.textos(),
                 QStringList{"Para usar el motor de búsqueda, debe proporcionar un nombre u apellido"});
        QVERIFY(v.FraSeleccionarPersona->isHidden());

        // No match, a wildcard taken as a letter: the boxes and the panel as they were.
        caja.olvida();
        v.TxtCargoRepresentante->setText(QStringLiteral("antes"));
        busca(v, v.TxtRepresentante, QStringLiteral("%"));
        busca(v, v.TxtRepresentante, QStringLiteral("Zzyzx"));
        QCOMPARE(caja.textos(), QStringList(2, QStringLiteral("No hay coincidencias para ese valor")));
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtRepresentante->text() + v.TxtCargoRepresentante->text(), QStringLiteral("Zzyzxantes"));

        // Only the first 30 characters are searched.
        caja.olvida();
        busca(v, v.TxtRepresentante, largo.left(30) + QStringLiteral("ZZZZZ"));
        QCOMPARE(v.personalEncontrado().rowCount(), 1);
        v.CmdCancelar->click();

        // From the area head's box: the panel opens with the focus left in place;
        // the chosen row fills the head's name and post, the focus goes on.
        busca(v, v.TxtTitularDelArea, QStringLiteral("MARIA"));
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
        busca(v, v.TxtRepresentante, QStringLiteral("VILLASENOR"));
        const QPoint celda = v.DGRepresentante->visualRect(v.DGRepresentante->model()->index(0, 1)).center();
        QTest::mouseClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QTest::mouseDClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QCOMPARE(v.TxtRepresentante->text() + v.TxtCargoRepresentante->text(),
                 QStringLiteral("Rafael Tapia VillaseñorSecretario de Educación"));
        QVERIFY(tieneElFoco(v.TxtTelsRepresentante));
        // So does a double click in the left margin, as the panel's caption says.
        busca(v, v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QHeaderView* margen = v.DGRepresentante->verticalHeader();
        const QPoint fila(margen->width() / 2, margen->sectionViewportPosition(0) + 5);
        QTest::mouseClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QTest::mouseDClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("Rafael Tapia Villaseñor"));

        // Cancel goes back to the box the search started in.
        busca(v, v.TxtTitularDelArea, QStringLiteral("ez"));
        v.TxtRepresentante->setFocus();
        v.CmdCancelar->click();
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QVERIFY(tieneElFoco(v.TxtTitularDelArea));
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("ez"));
        QVERIFY(caja.cajas().isEmpty());
    }

    template <typename Ventana> void listasEn(Motor motor, const QString& caso) {
        const bool propias = caso == QLatin1String("propias");
        const bool sinTabla = caso == QLatin1String("sin tabla");
        EnVentana<Ventana> p(motor, momentoDePrueba(), [&](Conexion& k) {
            if (sinTabla) {
                k.ejecuta(QStringLiteral("alter table prefijos rename to prefijos_aparte"));
                k.ejecuta(QStringLiteral("alter table funcionarios rename to funcionarios_aparte"));
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
        VentanaDeInvitacion& v = *p.ventana;
        QVERIFY(v.isVisible());
        QStringList listas;
        for (QComboBox* c : {v.CmbPrefijo1, v.CmbPrefijo2, v.CmbPrefijo3, v.CmbIndicacion, v.CmbHoraEvento}) {
            listas << entradas(c).join(u'|');
            QCOMPARE(c->currentIndex(), -1);
        }
        listas.removeLast();
        QCOMPARE(listas, propias
                             ? QStringList({"al|a la", "del|de", "el|la", "Asistir||Para su conocimiento"})
                             : QStringList(4));
        QVERIFY(v.TxtIndicacion->toPlainText().isEmpty());
        QCOMPARE(p.e.caja.cajas().size(), sinTabla ? 1 : 0);
        if (!sinTabla)
            return;
        v.TxtCargoTitularDelArea->setText(QStringLiteral("antes"));
        busca(v, v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QCOMPARE(p.e.caja.cajas().size(), 2);
        for (const auto& caja : p.e.caja.cajas()) {
            QVERIFY2(
                caja.texto.startsWith(QStringLiteral("Error: %1\r\nDescp: ").arg(CodigoDeError::Sentencia)) &&
                    caja.texto.contains(QStringLiteral("\r\nSourc: ")),
                qPrintable(caja.texto));
            QCOMPARE(caja.icono, CajaDeMensajes::Icono::Critico);
        }
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtTitularDelArea->text() + v.TxtCargoTitularDelArea->text(),
                 QStringLiteral("Tapiaantes"));
    }
};

QTEST_MAIN(TstBusquedaYListas)
#include "tst_busquedaylistas.moc"
