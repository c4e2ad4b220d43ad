#include "BotonesDeComando.h"
#include "MensajeTemporal.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
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

// The access key is the letter after '&' in the caption.
Qt::Key teclaDeAcceso(const QString& leyenda) {
    return Qt::Key(leyenda.at(leyenda.indexOf(QLatin1Char('&')) + 1).toUpper().unicode());
}

class TstBotones : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aspecto_data() {
        QTest::addColumn<QString>("leyenda");
        QTest::addColumn<QString>("ayuda");
        QTest::addColumn<bool>("comic");
        QTest::newRow("CmdGuardar") << u"&Guardar"_s << u"Almacenar los datos"_s << true;
        QTest::newRow("CmdImprimir") << u"&Imprimir"_s << u"Enviar reporte a pantalla o impresora"_s << true;
        QTest::newRow("CmdAceptar") << u"&Aceptar"_s << u"Confirmar acción"_s << true;
        QTest::newRow("CmdLimpiar") << u"&Limpiar"_s << u"Reestablecer campos"_s << true;
        QTest::newRow("cmdEliminar") << u"&Eliminar"_s << u"Eliminar registro"_s << true;
        QTest::newRow("CmdCerrar") << u"&Cerrar"_s << u"Cerrar el formulario"_s << true;
        QTest::newRow("CmdCancelar") << u"Ca&ncelar"_s << QString() << false;
    }
    // Looks as the forms expect, and clicks by code, mouse and access key. All seven stand on one window,
    // so an access key shared by two of them (which Qt leaves unanswered) or one that reaches the wrong
    // control shows up.
    void aspecto() {
        QFETCH(QString, leyenda);
        QFETCH(QString, ayuda);
        QFETCH(bool, comic);
        const QString clase = QString::fromLatin1(QTest::currentDataTag());

        QWidget ventana;
        std::vector<std::unique_ptr<QSignalSpy>> espias;
        BotonDeComando* control = nullptr;
        for (const QString& otra : Clases) {
            BotonDeComando* c = crea(otra, &ventana);
            c->move(int(espias.size()) * 60, 0);
            espias.push_back(std::make_unique<QSignalSpy>(c, &BotonDeComando::Click));
            if (otra == clase)
                control = c;
        }
        QCOMPARE(control->objectName(), clase);
        QCOMPARE(control->metaObject()->className(), clase);
        control->resize(200, 100); // no resize handling: the square stays as it is
        QCOMPARE(control->size(), QSize(53, 53));
        QToolButton* boton = control->boton();
        QCOMPARE(control->findChildren<QToolButton*>(), QList<QToolButton*>{boton});
        QCOMPARE(boton->objectName(), clase);
        QCOMPARE(boton->geometry(), QRect(0, 0, 53, 53));
        QCOMPARE(boton->text(), leyenda);
        QCOMPARE(boton->toolTip(), ayuda);
        QCOMPARE(boton->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!boton->icon().isNull());
        const bool hayComic = QFontDatabase::hasFamily(u"Comic Sans MS"_s);
        QCOMPARE(boton->font().family(), comic && hayComic ? u"Comic Sans MS"_s : QApplication::font(boton).family());
        // The caption is never elided, whatever font stands in for the office's.
        QVERIFY(QFontMetrics(boton->font()).horizontalAdvance(QString(leyenda).remove(u'&')) < 53);

        ventana.show();
        QVERIFY(QTest::qWaitForWindowActive(&ventana));
        QSignalSpy& clicks = *espias[Clases.indexOf(clase)];
        control->click();
        QCOMPARE(clicks.size(), 1);
        QVERIFY(clicks.first().isEmpty());
        QTest::mouseClick(boton, Qt::LeftButton);
        QTest::keyClick(&ventana, teclaDeAcceso(leyenda), Qt::AltModifier);
        QTRY_COMPARE(clicks.size(), 3);
        int total = 0;
        for (const auto& espia : espias)
            total += int(espia->size());
        QCOMPARE(total, 3);
    }

    void enabled_data() {
        QTest::addColumn<int>("nada");
        QTest::newRow("CmdGuardar") << 0;
        QTest::newRow("CmdImprimir") << 0;
        QTest::newRow("CmdAceptar") << 0;
    }
    void enabled() {
        QWidget ventana;
        auto* control =
            qobject_cast<BotonConEnabled*>(crea(QString::fromLatin1(QTest::currentDataTag()), &ventana));
        QVERIFY(control);
        const Qt::Key tecla = teclaDeAcceso(control->boton()->text());
        ventana.show();
        QVERIFY(QTest::qWaitForWindowActive(&ventana));
        QSignalSpy clicks(control, &BotonDeComando::Click);
        QSignalSpy avisos(control, &BotonConEnabled::PropertyChanged);
        QVERIFY(control->Enabled());

        control->estableceEnabled(false);
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

    void mensajeTemporal() {
        QWidget forma;
        forma.resize(800, 600);
        auto* mensaje = new MensajeTemporal(&forma);
        QCOMPARE(mensaje->size(), QSize(363, 79));
        auto* pic = mensaje->findChild<QFrame*>(u"PicMensaje"_s);
        auto* proceso = mensaje->findChild<QLabel*>(u"LblProceso"_s);
        auto* leyenda2 = mensaje->findChild<QLabel*>(u"LblLeyenda2"_s);
        QVERIFY(pic && proceso && leyenda2);
        QCOMPARE(leyenda2->text(), u"Espere un momento por favor ...."_s);
        QCOMPARE(proceso->text(), u"Leyenda en tiempo de diseño"_s);
        mensaje->estableceLeyendaProceso(u"Buscando invitaciones"_s);
        mensaje->estableceLeyendaProceso(u"Generando reporte"_s);
        QCOMPARE(proceso->text(), u"Generando reporte"_s);

        // The height stays the picture's; the width follows the form's placement.
        forma.show();
        QVERIFY(QTest::qWaitForWindowExposed(&forma));
        mensaje->setGeometry(10, 20, 500, 200);
        QCOMPARE(mensaje->geometry(), QRect(10, 20, 500, 77));
        QCOMPARE(pic->size(), QSize(361, 77));
        // Forms place the panel while it is hidden and show it during the search.
        mensaje->hide();
        mensaje->resize(420, 150);
        mensaje->show();
        QCOMPARE(mensaje->size(), QSize(420, 77));
    }
};

QTEST_MAIN(TstBotones)
#include "tst_botones.moc"
