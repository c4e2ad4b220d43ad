#include "capture/frmCaptura.h"
#include "common/Aplicacion.h"
#include "common/CajaDeMensajesQt.h"
#include "common/FrmErrores.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "controls/BotonesDeComando.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "outside/ErrorDeEjecucion.h"
#include "queries/frmConsultas.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "support/EntornoDeVentanas.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

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

// The windows' sizes remembered in a file of the test's own while it lives; none after.
struct ArchivoDeVentanas {
    explicit ArchivoDeVentanas(const QString& nombre = u"ventanas.ini"_s) : ruta(carpeta.filePath(nombre)) {
        Modulo::EstableceArchivoDeVentanas(ruta);
    }
    ~ArchivoDeVentanas() { Modulo::EstableceArchivoDeVentanas({}); }
    // Reads the file afresh at the next window, as a new session does.
    void nuevaSesion() const { Modulo::EstableceArchivoDeVentanas(ruta); }
    QTemporaryDir carpeta;
    QString ruta;
};

// Opens a fresh work window as the main window does, runs `mientras` while it stands, and closes it;
// answers the size it opened at.
template <typename Ventana> QSize abre(EntornoDeVentanas& e, std::function<void(Ventana&)> mientras = {}) {
    Ventana v;
    QSize alAbrir;
    e.alMostrar = [&](QDialog&) {
        alAbrir = v.size();
        if (mientras)
            mientras(v);
    };
    Modulo::MuestraModal(v);
    e.alMostrar = {};
    return alAbrir;
}

const QSize naturalDeCaptura(784, 544);

} // namespace

class TstModulo : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The report's question begins with the user's nick and offers three answers (which output each
    // names, the report window's test shows).
    void cajas() {
        CajaGuionada caja;
        Modulo::NickUsuario = u"Lupita"_s;
        caja.responde(Caja::No);
        QCOMPARE(Modulo::EligeSalidaDeReporte(), u"Pantalla"_s);
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
        // What the server said goes after the source.
        FrmErrores::Reporta(ErrorDeEjecucion(CodigoDeError::Integridad, u"Ya existe"_s,
                                             u"PostgreSQL kelmar"_s, u"duplicate <i>key</i> (23505)"_s));
        QCOMPARE(e.mostradas, QStringList({u"FrmErrores"_s, u"FrmErrores"_s}));
        QCOMPARE(vistos, QStringList({u"llave <b>duplicada</b>"_s, u"-2147217873"_s, u"PostgreSQL kelmar"_s,
                                      u"Ya existe"_s, u"-2147217873"_s,
                                      u"PostgreSQL kelmar\nDetalle: duplicate <i>key</i> (23505)"_s}));
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

    // A work window enlarged gives its room to its grid and long texts, and reopens at the size it closed
    // with, each window its own; never larger than the main window's work area, whose size is kept too. The
    // sizes go to their own file (the settings file is not written), and nothing is asked.
    void tamanoRecordado_data() { agregaMotores(); }
    void tamanoRecordado() {
        MOTOR_DE_LA_FILA(motor);
        EntornoDeVentanas e(motor);
        e.conecta();
        const ArchivoDeVentanas archivo;

        // A station with room: the main window larger than the work windows will grow.
        MDITaloren& principal = Modulo::mdi();
        principal.resize(1400, 1000);
        principal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&principal));

        const QSize grande = naturalDeCaptura + QSize(200, 100);
        QCOMPARE(abre<frmCaptura>(e,
                                  [&](frmCaptura& v) {
                                      const QRect observacion = v.TxtObservacion->geometry();
                                      const QRect evento = v.txtEvento->geometry();
                                      const QRect salir = v.cmdSalir->geometry();
                                      v.resize(grande);
                                      // The two columns share the width; the long texts take the height.
                                      QCOMPARE(v.TxtObservacion->geometry(),
                                               observacion.adjusted(100, 0, 200, 100));
                                      QCOMPARE(v.txtEvento->size(), evento.size() + QSize(100, 100));
                                      QCOMPARE(v.cmdSalir->geometry(), salir.translated(200, 100));
                                  }),
                 naturalDeCaptura);
        QSize registro;
        abre<FrmRegistrarInvitacion>(e, [&](FrmRegistrarInvitacion& v) {
            registro = v.size() + QSize(120, 90);
            const QRect rejilla = v.DGRepresentante->geometry();
            v.resize(registro);
            QCOMPARE(v.DGRepresentante->size(), rejilla.size() + QSize(120, 90));
        });
        QCOMPARE(abre<frmCaptura>(e), grande);
        QCOMPARE(abre<FrmRegistrarInvitacion>(e), registro);
        archivo.nuevaSesion();
        QCOMPARE(abre<frmCaptura>(e), grande);
        QCOMPARE(QDir(archivo.carpeta.path()).entryList(QDir::Files), QStringList{u"ventanas.ini"_s});
        QCOMPARE(Modulo::ArchivoDeVentanasJuntoA(archivo.carpeta.filePath(u"taloren.conf"_s)), archivo.ruta);

        // A smaller main window bounds it; never below the size the window was drawn for.
        principal.resize(900, 620);
        QTRY_COMPARE(principal.centralWidget()->width(), 900);
        const QSize area = principal.centralWidget()->size();
        QCOMPARE(abre<frmCaptura>(e), grande.boundedTo(area));
        principal.resize(500, 400);
        QTRY_COMPARE(principal.centralWidget()->width(), 500);
        QCOMPARE(abre<frmCaptura>(e), naturalDeCaptura);

        // The main window keeps its own size, and whether it was maximized, for the next session.
        Modulo::DestruyeMdi();
        archivo.nuevaSesion();
        const auto abrePrincipal = [] {
            Modulo::mdi().show();
            return QTest::qWaitForWindowExposed(&Modulo::mdi());
        };
        QVERIFY(abrePrincipal());
        QCOMPARE(Modulo::mdi().size(), QSize(500, 400));
        Modulo::mdi().showMaximized();
        QTRY_VERIFY(Modulo::mdi().isMaximized());
        Modulo::DestruyeMdi();
        archivo.nuevaSesion();
        QVERIFY(abrePrincipal());
        QVERIFY(Modulo::mdi().isMaximized());
        Modulo::DestruyeMdi();
        QVERIFY(e.caja.cajas().isEmpty());
    }

    // A sizes file that cannot be read is named in a warning and the windows open at their natural size;
    // a write that fails is told once, naming the file; a corrupt file is written anew.
    void archivoDeVentanasQueFalla_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("falla");
        QTest::addColumn<QStringList>("avisos");
        const struct {
            const char* nombre;
            QStringList avisos;
        } casos[] = {{"ilegible", {u"No se pudo leer"_s, u"No se pudo guardar"_s}},
                     {"corrupto", {u"No se pudo leer"_s}},
                     {"no se escribe", {u"No se pudo guardar"_s}}};
        agregaFilasPorMotor(casos, [](QTestData& fila, const auto& caso) {
            fila << QString::fromLatin1(caso.nombre) << caso.avisos;
        });
    }
    void archivoDeVentanasQueFalla() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, falla);
        QFETCH(QStringList, avisos);
        EntornoDeVentanas e(motor);
        e.conecta();
        const ArchivoDeVentanas archivo(falla == "no se escribe"_L1 ? u"un-archivo/ventanas.ini"_s
                                                                    : u"ventanas.ini"_s);
        if (falla == "ilegible"_L1)
            QVERIFY(QDir().mkpath(archivo.ruta));
        else if (falla == "corrupto"_L1)
            QVERIFY(escribeArchivo(archivo.ruta, "[frmCaptura]\nancho=900\n\0\x01"
                                                 "basura sin igual\n"_ba));
        else
            QVERIFY(escribeArchivo(archivo.carpeta.filePath(u"un-archivo"_s), "no es una carpeta"));

        // Within the screen, which bounds a window when no main window stands.
        const QSize grande = naturalDeCaptura + QSize(0, 40);
        QCOMPARE(abre<frmCaptura>(e, [&](frmCaptura& v) { v.resize(grande); }), naturalDeCaptura);
        // Told once: another window closed with a new size says nothing more.
        abre<frmCaptura>(e, [&](frmCaptura& v) { v.resize(grande + QSize(0, 10)); });
        QCOMPARE(e.caja.cajas().size(), avisos.size());
        for (qsizetype i = 0; i < avisos.size(); ++i) {
            const CajaDeMensajes::Caja& caja = e.caja.cajas().at(i);
            QVERIFY2(caja.texto.startsWith(avisos.at(i)) &&
                         caja.texto.contains(QDir::toNativeSeparators(archivo.ruta)),
                     qPrintable(caja.texto));
            QCOMPARE(caja.icono, CajaDeMensajes::Icono::Exclamacion);
        }
        archivo.nuevaSesion();
        e.caja.olvida();
        const bool escrito = falla == "corrupto"_L1;
        QCOMPARE(abre<frmCaptura>(e), escrito ? grande + QSize(0, 10) : naturalDeCaptura);
        QCOMPARE(e.caja.cajas().size(), falla == "ilegible"_L1 ? 1 : 0);
    }

    // Every list of the work windows opens as wide as its longest entry; an entry its box cuts shows
    // whole as its tool tip, in the list and on the box; a post or area its box cuts, too.
    void textosEnteros() {
        EntornoDeVentanas e;
        e.conecta();
        const auto listas = [](QDialog& v) {
            int llenas = 0;
            for (QComboBox* lista : v.findChildren<QComboBox*>()) {
                if (lista->count() == 0)
                    continue;
                ++llenas;
                int masAncha = 0;
                for (int i = 0; i < lista->count(); ++i)
                    masAncha = std::max(masAncha,
                                        lista->view()->fontMetrics().horizontalAdvance(lista->itemText(i)));
                lista->showPopup();
                const int visible = lista->view()->viewport()->width();
                lista->hidePopup();
                QVERIFY2(visible >= masAncha,
                         qPrintable(u"%1.%2: %3 < %4"_s.arg(v.objectName(), lista->objectName())
                                        .arg(visible)
                                        .arg(masAncha)));
            }
            QVERIFY2(llenas > 0, qPrintable(v.objectName()));
        };
        abre<FrmRegistrarInvitacion>(e, listas);
        abre<frmCaptura>(e, [&](frmCaptura& v) {
            listas(v);
            QComboBox* lugar = v.CmbDirecciones;
            const int larga =
                lugar->findText(u"Explanada del Ayuntamiento de Jiutepec"_s, Qt::MatchStartsWith);
            QVERIFY(larga >= 0);
            const QString texto = lugar->itemText(larga);
            QCOMPARE(lugar->itemData(larga, Qt::ToolTipRole).toString(), texto);
            lugar->setCurrentIndex(larga);
            QCOMPARE(lugar->toolTip(), texto);
            lugar->setEditText(u"Jardín"_s);
            QCOMPARE(lugar->toolTip(), QString());
            const int corta = v.cmbInstruccion->findText(u"1 Asistir"_s, Qt::MatchStartsWith);
            QVERIFY(corta >= 0);
            QCOMPARE(v.cmbInstruccion->itemData(corta, Qt::ToolTipRole), QVariant());
            // Wide enough, the box shows it whole and needs no tool tip.
            lugar->setCurrentIndex(larga);
            v.resize(v.width() + 2 * lugar->fontMetrics().horizontalAdvance(texto), v.height());
            QTRY_COMPARE(lugar->itemData(larga, Qt::ToolTipRole), QVariant());
            QCOMPARE(lugar->toolTip(), QString());
            v.resize(naturalDeCaptura);

            const QString area = u"Dirección General de Formación y Actualización Docente del Estado"_s;
            v.txtAreaFun->setText(area);
            QCOMPARE(v.txtAreaFun->toolTip(), area);
            v.txtAreaFun->setText(u"Delegación"_s);
            QCOMPARE(v.txtAreaFun->toolTip(), QString());
        });
        abre<frmConsultas>(e, [](frmConsultas& v) { QVERIFY(v.findChildren<QComboBox*>().isEmpty()); });
        QVERIFY(e.caja.cajas().isEmpty());
    }
};

int main(int argc, char** argv) {
    AplicacionTaloren app(argc, argv);
    TstModulo prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_modulo.moc"
