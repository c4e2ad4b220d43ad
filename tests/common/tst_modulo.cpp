#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "outside/ErrorDeEjecucion.h"
#include "support/EntornoDeVentanas.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>
#include <stdexcept>

using namespace Qt::StringLiterals;
using Caja = CajaDeMensajes;

namespace {
// Presses a key in the next real message box once it stands, after a look at it.
void pulsaEnLaCaja(Qt::Key tecla, std::function<void(QWidget*)> mira = {}) {
    QTimer::singleShot(0, [tecla, mira] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            pulsaEnLaCaja(tecla, mira);
            return;
        }
        if (mira)
            mira(modal);
        QTest::keyClick(modal, tecla);
    });
}

// An object whose events throw what a faulty handler would.
class Lanzador : public QObject {
public:
    explicit Lanzador(std::function<void()> lanza) : m_lanza(std::move(lanza)) {}
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            m_lanza();
        return QObject::event(e);
    }
    std::function<void()> m_lanza;
};

struct ComboConCompletado {
    explicit ComboConCompletado(const QStringList& entradas) {
        combo.setEditable(true);
        combo.setCompleter(nullptr);
        combo.addItems(entradas);
        combo.setCurrentIndex(-1);
        QObject::connect(&combo, &QComboBox::editTextChanged, &combo,
                         [this] { Modulo::AutoCompletaCombo(&combo, borrando); });
    }
    QString seleccionado() const { return combo.lineEdit()->selectedText(); }
    QComboBox combo;
    bool borrando = false;
};
} // namespace

class TstModulo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The report's question begins with the user's nick; its three answers name the three outputs.
    void cajas() {
        CajaGuionada caja;
        Modulo::NickUsuario = u"Lupita"_s;
        for (const auto& [respuesta, salida] :
             {std::pair{Caja::Si, "Impresora"}, std::pair{Caja::No, "Pantalla"},
              std::pair{Caja::Cancelar, "Cancelar"}}) {
            caja.responde(respuesta);
            QCOMPARE(Modulo::EligeSalidaDeReporte(), QString::fromLatin1(salida));
        }
        QCOMPARE(caja.ultima().botones, Caja::Si | Caja::No | Caja::Cancelar);
        QVERIFY(caja.ultima().texto.startsWith(u"Lupita\r\r"_s));
    }

    // The real boxes: Escape answers as the routines promise, and texts are never read as markup.
    void cajasReales() {
        CajaDeMensajesQt real;
        const CajaDeMensajes::Sustituto enUso(real);
        QString mostrado;
        Qt::TextFormat formato = Qt::AutoText;
        pulsaEnLaCaja(Qt::Key_Return, [&](QWidget* caja) {
            for (QLabel* l : caja->findChildren<QLabel*>())
                if (l->text().contains(u"img"_s)) {
                    mostrado = l->text();
                    formato = l->textFormat();
                }
        });
        Modulo::MensajeDeError(u"<b>llave</b> <img src=x>\rduplicada"_s);
        QCOMPARE(formato, Qt::PlainText);
        QCOMPARE(mostrado, u"<b>llave</b> <img src=x>\nduplicada"_s);
        pulsaEnLaCaja(Qt::Key_Escape);
        QCOMPARE(Modulo::EligeSalidaDeReporte(), u"Cancelar"_s);
        pulsaEnLaCaja(Qt::Key_Escape);
        QCOMPARE(Modulo::ConfirmaSiNo(u"¿Continuar?"_s), u"NO"_s);
        pulsaEnLaCaja(Qt::Key_Return);
        QCOMPARE(Modulo::ConfirmaSiNo(u"¿Continuar?"_s), u"SI"_s);
    }

    // Filling appends the hours and selects nothing, in an editable combo too.
    void horas() {
        QComboBox combo, editable;
        editable.setEditable(true);
        for (QComboBox* c : {&combo, &combo, &editable})
            Modulo::LlenaCmbHoras(c);
        QCOMPARE(combo.count(), 78);
        QCOMPARE(QStringList({combo.itemText(0), combo.itemText(1), combo.itemText(2), combo.itemText(10),
                              combo.itemText(38), combo.itemText(39)}),
                 QStringList({u"SinHr"_s, u"05:00"_s, u"05:30"_s, u"09:30"_s, u"23:30"_s, u"SinHr"_s}));
        QCOMPARE(combo.currentIndex(), -1);
        QCOMPARE(editable.currentIndex(), -1);
        QCOMPARE(editable.currentText(), QString());
    }

    // Completion as the controls' tests show it, through the program's routine: what matches nothing, case,
    // the first entry that begins so. In "tecleado", '\b' is Backspace with the flag the caller raises for
    // it: the shorter text stays as it is, even when empty, and the flag falls.
    void autoCompletado_data() {
        QTest::addColumn<QStringList>("entradas");
        QTest::addColumn<QString>("tecleado");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("seleccion");
        const QStringList anios{u"2010"_s, u"2011"_s};
        QTest::newRow("2019") << anios << u"2019"_s << u"2019"_s << QString();
        QTest::newRow("mayúsculas") << QStringList{u"xyz"_s, u"ABCD"_s} << u"abc"_s << u"ABCD"_s << u"D"_s;
        QTest::newRow("la primera que empieza")
            << QStringList{u"Cuautla"_s, u"Cuernavaca"_s} << u"cu"_s << u"Cuautla"_s << u"autla"_s;
        QTest::newRow("borrar hasta vaciar") << anios << u"2\b\b"_s << QString() << QString();
    }
    void autoCompletado() {
        QFETCH(QStringList, entradas);
        QFETCH(QString, tecleado);
        QFETCH(QString, texto);
        QFETCH(QString, seleccion);
        ComboConCompletado c(entradas);
        c.combo.show();
        for (const QChar letra : tecleado) {
            c.borrando = letra == u'\b';
            if (c.borrando)
                QTest::keyClick(c.combo.lineEdit(), Qt::Key_Backspace);
            else
                QTest::keyClicks(c.combo.lineEdit(), letra);
            QVERIFY(!c.borrando);
        }
        QCOMPARE(c.combo.currentText(), texto);
        QCOMPARE(c.seleccionado(), seleccion);
    }

    void ventanaDeErrores() {
        EntornoDeVentanas e;
        QStringList vistos;
        e.alMostrar = [&](QDialog& ventana) {
            auto& f = static_cast<FrmErrores&>(ventana);
            for (QLabel* l : {f.LblDescripDelError, f.LblNumDelError, f.LblDatosAdicDelError}) {
                vistos << l->text();
                QCOMPARE(l->textFormat(), Qt::PlainText);
            }
            f.CmdCerrar->click();
            QVERIFY(!f.isVisible());
        };
        FrmErrores::Reporta(
            ErrorDeEjecucion(CodigoDeError::Integridad, u"llave <b>duplicada</b>"_s, u"PostgreSQL kelmar"_s));
        QCOMPARE(e.mostradas, QStringList{u"FrmErrores"_s});
        QCOMPARE(vistos,
                 QStringList({u"llave <b>duplicada</b>"_s, u"-2147217873"_s, u"PostgreSQL kelmar"_s}));
    }

    // An error of any kind that escapes a handler is reported and the program goes on: one of the program's,
    // one of the library's, running out of memory, or something else altogether.
    void errorQueEscapaDeUnManejador_data() {
        QTest::addColumn<std::function<void()>>("lanza");
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("dice");
        QTest::newRow("del programa")
            << std::function<void()>([] { throw ErrorDeEjecucion(-5, u"llave"_s, {}); }) << -5 << u"llave"_s;
        QTest::newRow("de la biblioteca")
            << std::function<void()>([] { throw std::runtime_error("en manejador"); })
            << int(CodigoDeError::Interno) << u"en manejador"_s;
        QTest::newRow("sin memoria") << std::function<void()>([] { throw std::bad_alloc(); })
                                     << int(CodigoDeError::SinMemoria) << QString();
        QTest::newRow("otra cosa") << std::function<void()>([] { throw 42; }) << int(CodigoDeError::Interno)
                                   << QString();
    }
    void errorQueEscapaDeUnManejador() {
        QFETCH(std::function<void()>, lanza);
        QFETCH(int, numero);
        QFETCH(QString, dice);
        CajaGuionada caja;
        Lanzador lanzador(lanza);
        QCoreApplication::postEvent(&lanzador, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(caja.cajas().size(), 1);
        QVERIFY2(caja.ultima().texto.startsWith(u"Error: %1\r\n"_s.arg(numero)) &&
                     caja.ultima().texto.contains(dice),
                 qPrintable(caja.ultima().texto));
        QCOMPARE(caja.ultima().icono, CajaDeMensajes::Icono::Critico);
    }
};

int main(int argc, char** argv) {
    AplicacionTaloren app(argc, argv);
    TstModulo prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_modulo.moc"
