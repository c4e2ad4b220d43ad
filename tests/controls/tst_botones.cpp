#include "BotonesDeComando.h"
#include "MensajeTemporal.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
BotonDeComando* crea(const QString& clase, QWidget* padre = nullptr) {
    if (clase == u"CmdGuardar")
        return new CmdGuardar(padre);
    if (clase == u"CmdImprimir")
        return new CmdImprimir(padre);
    if (clase == u"CmdAceptar")
        return new CmdAceptar(padre);
    if (clase == u"CmdLimpiar")
        return new CmdLimpiar(padre);
    if (clase == u"cmdEliminar")
        return new cmdEliminar(padre);
    if (clase == u"CmdCerrar")
        return new CmdCerrar(padre);
    return new CmdCancelar(padre);
}

const QStringList Clases{u"CmdGuardar"_s,  u"CmdImprimir"_s, u"CmdAceptar"_s, u"CmdLimpiar"_s,
                         u"cmdEliminar"_s, u"CmdCerrar"_s,   u"CmdCancelar"_s};
} // namespace

class TstBotones : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aspecto_data();
    void aspecto();
    void click_data();
    void click();
    void enabled_data();
    void enabled();
    void mensajeTemporal();
    void mensajeTemporalRedimensionado();
};

void TstBotones::aspecto_data() {
    QTest::addColumn<QString>("leyenda");
    QTest::addColumn<QString>("ayuda");
    QTest::addColumn<bool>("comic");
    QTest::addColumn<bool>("conEnabled");
    QTest::newRow("CmdGuardar") << "&Guardar"
                                << "Almacenar los datos" << true << true;
    QTest::newRow("CmdImprimir") << "&Imprimir"
                                 << "Enviar reporte a pantalla o impresora" << true << true;
    QTest::newRow("CmdAceptar") << "&Aceptar"
                                << "Confirmar acción" << true << true;
    QTest::newRow("CmdLimpiar") << "&Limpiar"
                                << "Reestablecer campos" << true << false;
    QTest::newRow("cmdEliminar") << "&Eliminar"
                                 << "Eliminar registro" << true << false;
    QTest::newRow("CmdCerrar") << "&Cerrar"
                               << "Cerrar el formulario" << true << false;
    QTest::newRow("CmdCancelar") << "Ca&ncelar"
                                 << "" << false << false;
}

void TstBotones::aspecto() {
    QFETCH(QString, leyenda);
    QFETCH(QString, ayuda);
    QFETCH(bool, comic);
    QFETCH(bool, conEnabled);
    const QString clase = QString::fromLatin1(QTest::currentDataTag());

    std::unique_ptr<BotonDeComando> control(crea(clase));
    QCOMPARE(control->objectName(), clase);
    QCOMPARE(control->metaObject()->className(), clase);
    QCOMPARE(qobject_cast<BotonConEnabled*>(control.get()) != nullptr, conEnabled);
    control->resize(200, 100); // no resize handling: the square stays as it is
    QCOMPARE(control->size(), QSize(53, 53));

    const auto botones = control->findChildren<QToolButton*>();
    QCOMPARE(botones.size(), 1);
    QToolButton* boton = botones.first();
    QCOMPARE(boton->objectName(), clase);
    QCOMPARE(boton->geometry(), QRect(0, 0, 53, 53));
    QCOMPARE(boton->text(), leyenda);
    QCOMPARE(boton->toolTip(), ayuda);
    QCOMPARE(boton->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    QVERIFY(!boton->autoRaise());
    QVERIFY(!boton->icon().isNull());
    if (comic)
        QCOMPARE(boton->font().family(), u"Comic Sans MS"_s);
    else
        QCOMPARE(boton->font().family(), QApplication::font(boton).family());
}

void TstBotones::click_data() {
    QTest::addColumn<Qt::Key>("tecla");
    QTest::newRow("CmdGuardar") << Qt::Key_G;
    QTest::newRow("CmdImprimir") << Qt::Key_I;
    QTest::newRow("CmdAceptar") << Qt::Key_A;
    QTest::newRow("CmdLimpiar") << Qt::Key_L;
    QTest::newRow("cmdEliminar") << Qt::Key_E;
    QTest::newRow("CmdCerrar") << Qt::Key_C;
    QTest::newRow("CmdCancelar") << Qt::Key_N;
}

// All seven on one window, so an access key shared by two of them (which Qt would leave unanswered)
// or one that reaches the wrong control shows up.
void TstBotones::click() {
    QFETCH(Qt::Key, tecla);
    const QString clase = QString::fromLatin1(QTest::currentDataTag());

    QWidget ventana;
    ventana.resize(7 * 60, 60);
    std::vector<std::unique_ptr<QSignalSpy>> espias;
    BotonDeComando* probado = nullptr;
    for (const QString& otra : Clases) {
        BotonDeComando* control = crea(otra, &ventana);
        control->move(int(espias.size()) * 60, 0);
        espias.push_back(std::make_unique<QSignalSpy>(control, &BotonDeComando::Click));
        if (otra == clase)
            probado = control;
    }
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    QSignalSpy& clicks = *espias[Clases.indexOf(clase)];

    probado->click();
    QCOMPARE(clicks.size(), 1);
    QVERIFY(clicks.first().isEmpty());
    QTest::mouseClick(probado->boton(), Qt::LeftButton);
    QCOMPARE(clicks.size(), 2);
    QTest::keyClick(&ventana, tecla, Qt::AltModifier);
    QTRY_COMPARE(clicks.size(), 3);

    int total = 0;
    for (const auto& espia : espias)
        total += int(espia->size());
    QCOMPARE(total, 3);
}

void TstBotones::enabled_data() {
    QTest::addColumn<Qt::Key>("tecla");
    QTest::newRow("CmdGuardar") << Qt::Key_G;
    QTest::newRow("CmdImprimir") << Qt::Key_I;
    QTest::newRow("CmdAceptar") << Qt::Key_A;
}

void TstBotones::enabled() {
    QFETCH(Qt::Key, tecla);
    QWidget ventana;
    auto* control =
        qobject_cast<BotonConEnabled*>(crea(QString::fromLatin1(QTest::currentDataTag()), &ventana));
    QVERIFY(control);
    ventana.show();
    QVERIFY(QTest::qWaitForWindowActive(&ventana));
    QSignalSpy clicks(control, &BotonDeComando::Click);
    QSignalSpy avisos(control, &BotonConEnabled::PropertyChanged);
    QVERIFY(control->Enabled());

    control->estableceEnabled(false);
    QVERIFY(!control->Enabled());
    QVERIFY(!control->boton()->isEnabled());
    control->click();
    QTest::mouseClick(control->boton(), Qt::LeftButton);
    QTest::keyClick(&ventana, tecla, Qt::AltModifier);
    QTest::qWait(300); // longer than the access key's animated click
    QCOMPARE(clicks.size(), 0);

    // Every write is announced, also one that changes nothing, and the property system reaches it too.
    QVERIFY(control->setProperty("Enabled", false));
    control->estableceEnabled(true);
    QCOMPARE(avisos.size(), 3);
    for (const auto& aviso : avisos)
        QCOMPARE(aviso.at(0).toString(), u"Enabled"_s);
    QCOMPARE(control->property("Enabled").toBool(), true);

    control->click();
    QTest::keyClick(&ventana, tecla, Qt::AltModifier);
    QTRY_COMPARE(clicks.size(), 2);
}

void TstBotones::mensajeTemporal() {
    MensajeTemporal mensaje;
    QCOMPARE(mensaje.objectName(), u"MensajeTemporal"_s);
    QCOMPARE(mensaje.size(), QSize(363, 79));
    auto* pic = mensaje.findChild<QFrame*>(u"PicMensaje"_s);
    QVERIFY(pic);
    QCOMPARE(pic->geometry(), QRect(0, 0, 361, 77));
    QVERIFY(pic->autoFillBackground());

    auto* proceso = pic->findChild<QLabel*>(u"LblProceso"_s);
    auto* leyenda2 = pic->findChild<QLabel*>(u"LblLeyenda2"_s);
    QVERIFY(proceso && leyenda2);
    QCOMPARE(proceso->geometry(), QRect(20, 12, 313, 21));
    QCOMPARE(leyenda2->geometry(), QRect(4, 40, 345, 21));
    QCOMPARE(leyenda2->text(), u"Espere un momento por favor ...."_s);
    for (QLabel* lbl : {proceso, leyenda2}) {
        QCOMPARE(lbl->font().family(), u"Arial"_s);
        QVERIFY(lbl->font().bold());
    }

    QCOMPARE(proceso->text(), u"Leyenda en tiempo de diseño"_s);
    mensaje.estableceLeyendaProceso(u"Buscando invitaciones"_s);
    mensaje.estableceLeyendaProceso(u"Generando reporte"_s);
    QCOMPARE(proceso->text(), u"Generando reporte"_s);
    QCOMPARE(leyenda2->text(), u"Espere un momento por favor ...."_s);
}

void TstBotones::mensajeTemporalRedimensionado() {
    QWidget forma;
    forma.resize(800, 600);
    auto* mensaje = new MensajeTemporal(&forma);
    forma.show();
    QVERIFY(QTest::qWaitForWindowExposed(&forma));
    auto* pic = mensaje->findChild<QFrame*>(u"PicMensaje"_s);

    mensaje->setGeometry(10, 20, 500, 200);
    QCOMPARE(mensaje->geometry(), QRect(10, 20, 500, 77));
    mensaje->resize(200, 30);
    QCOMPARE(mensaje->size(), QSize(200, 77));
    QCOMPARE(pic->size(), QSize(361, 77));

    // Forms place the panel while it is hidden and show it during the search.
    mensaje->hide();
    mensaje->resize(420, 150);
    mensaje->show();
    QCOMPARE(mensaje->size(), QSize(420, 77));
}

QTEST_MAIN(TstBotones)
#include "tst_botones.moc"
