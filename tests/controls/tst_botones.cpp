#include "controls/BotonesDeComando.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {
std::vector<BotonDeComando*> losSiete(QWidget* padre) {
    std::vector<BotonDeComando*> b{new CmdGuardar(padre), new CmdImprimir(padre), new CmdAceptar(padre),
                                   new CmdLimpiar(padre), new cmdEliminar(padre), new CmdCerrar(padre),
                                   new CmdCancelar(padre)};
    for (size_t i = 0; i < b.size(); ++i)
        b[i]->move(int(i) * 60, 0);
    return b;
}

// The access key is the letter after '&' in the caption.
Qt::Key teclaDeAcceso(const BotonDeComando* b) {
    const QString t = b->boton()->text();
    return Qt::Key(t.at(t.indexOf(QLatin1Char('&')) + 1).toUpper().unicode());
}
} // namespace

class TstBotones : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // All seven stand on one window: each answers its own click, mouse and access key, and no key is
    // shared (Qt leaves a shared one unanswered). CmdGuardar, CmdImprimir and CmdAceptar, disabled, answer
    // nothing; every write of Enabled is announced, also one that changes nothing, and the property
    // system reaches it too.
    void clicsYTeclasDeAcceso() {
        QWidget ventana;
        const auto botones = losSiete(&ventana);
        std::vector<std::unique_ptr<QSignalSpy>> espias;
        for (BotonDeComando* b : botones)
            espias.push_back(std::make_unique<QSignalSpy>(b, &BotonDeComando::Click));
        ventana.show();
        QVERIFY(QTest::qWaitForWindowActive(&ventana));
        const auto pulsa = [&](BotonDeComando* b) {
            b->click();
            QTest::mouseClick(b->boton(), Qt::LeftButton);
            QTest::keyClick(&ventana, teclaDeAcceso(b), Qt::AltModifier);
        };
        for (size_t i = 0; i < botones.size(); ++i) {
            pulsa(botones[i]);
            QTRY_COMPARE(espias[i]->size(), 3);
            for (size_t j = 0; j < botones.size(); ++j)
                QCOMPARE(espias[j]->size(), j <= i ? 3 : 0);
        }
        for (size_t i = 0; i < 3; ++i) {
            auto* control = qobject_cast<BotonConEnabled*>(botones[i]);
            QVERIFY(control);
            QSignalSpy avisos(control, &BotonConEnabled::PropertyChanged);
            control->estableceEnabled(false);
            pulsa(control);
            QTest::qWait(300); // longer than the access key's animated click
            QVERIFY(control->setProperty("Enabled", false));
            control->estableceEnabled(true);
            control->click();
            QCOMPARE(espias[i]->size(), 4);
            QCOMPARE(avisos.size(), 3);
            QCOMPARE(avisos.last().at(0).toString(), u"Enabled"_s);
            QVERIFY(control->property("Enabled").toBool());
        }
    }
};

QTEST_MAIN(TstBotones)
#include "tst_botones.moc"
