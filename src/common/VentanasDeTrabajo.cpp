#include "common/VentanasDeTrabajo.h"

#include "common/Avisos.h"
#include "common/Modulo.h"
#include "controls/TextoEntero.h"
#include "outside/CajaDeMensajes.h"
#include "outside/ErrorDeEjecucion.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QMainWindow>
#include <QMap>
#include <QPointer>
#include <QSaveFile>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <functional>

namespace Modulo {

namespace {

// A window's remembered size, and whether it was maximized (the main window).
struct Tamano {
    QSize tamano;
    bool maximizada = false;
    bool operator==(const Tamano&) const = default;
};

// The remembered sizes: read once from the file, at the first window that
// opens, and written whole at each window that closes with a new size.
struct Memoria {
    QString archivo;
    bool leida = false;
    // A failed write is told once; the sizes are then kept for this session only.
    bool sinEscritura = false;
    QMap<QString, Tamano> tamanos;
} memoria;

void avisa(const QString& texto) {
    Avisa({CajaDeMensajes::Icono::Exclamacion,
           {},
           texto,
           CajaDeMensajes::Aceptar,
           CajaDeMensajes::Aceptar,
           CajaDeMensajes::Aceptar});
}

// The file's lines: "[window]", "ancho=<pixels>", "alto=<pixels>",
// "maximizada=1"; blank lines and those beginning with ';' aside. Empty when
// it reads; otherwise what is wrong.
QString lee(const QString& archivo, QMap<QString, Tamano>& tamanos) {
    QFile f(archivo);
    if (!f.exists())
        return {};
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return f.errorString();
    QString ventana;
    int numero = 0;
    while (!f.atEnd()) {
        ++numero;
        const QString linea = QString::fromUtf8(f.readLine()).trimmed();
        const auto error = [&](const QString& que) {
            return QStringLiteral("la línea %1 (\"%2\") %3").arg(numero).arg(linea.left(60), que);
        };
        if (linea.isEmpty() || linea.startsWith(QLatin1Char(';')))
            continue;
        if (linea.startsWith(QLatin1Char('[')) && linea.endsWith(QLatin1Char(']'))) {
            ventana = linea.mid(1, linea.size() - 2).trimmed();
            if (ventana.isEmpty())
                return error(QStringLiteral("no nombra una ventana"));
            continue;
        }
        const qsizetype igual = linea.indexOf(QLatin1Char('='));
        if (igual < 0 || ventana.isEmpty())
            return error(QStringLiteral("no es un tamaño de una ventana"));
        const QString clave = linea.left(igual).trimmed();
        const QString valor = linea.mid(igual + 1).trimmed();
        Tamano& tamano = tamanos[ventana];
        if (clave == QLatin1String("maximizada")) {
            if (valor != QLatin1String("0") && valor != QLatin1String("1"))
                return error(QStringLiteral("no trae 0 ni 1"));
            tamano.maximizada = valor == QLatin1String("1");
            continue;
        }
        bool esNumero = false;
        const int pixeles = valor.toInt(&esNumero);
        if (!esNumero || pixeles <= 0 || pixeles > 100000)
            return error(QStringLiteral("no trae un número de píxeles"));
        if (clave == QLatin1String("ancho"))
            tamano.tamano.setWidth(pixeles);
        else if (clave == QLatin1String("alto"))
            tamano.tamano.setHeight(pixeles);
        else
            return error(QStringLiteral("no es \"ancho\", \"alto\" ni \"maximizada\""));
    }
    if (f.error() != QFileDevice::NoError)
        return f.errorString();
    for (auto i = tamanos.cbegin(); i != tamanos.cend(); ++i)
        if (!i.value().tamano.isValid())
            return QStringLiteral("a la ventana %1 le falta el ancho o el alto").arg(i.key());
    return {};
}

QString escribe(const QString& archivo, const QMap<QString, Tamano>& tamanos) {
    const QFileInfo info(archivo);
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("no se pudo crear la carpeta %1").arg(info.absolutePath());
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Text))
        return f.errorString();
    QByteArray texto = "; Tamaño en píxeles de cada ventana de trabajo de esta estación, al cerrarla por "
                       "última vez.\n";
    for (auto i = tamanos.cbegin(); i != tamanos.cend(); ++i) {
        if (!i.value().tamano.isValid())
            continue;
        texto += QStringLiteral("[%1]\nancho=%2\nalto=%3\n")
                     .arg(i.key())
                     .arg(i.value().tamano.width())
                     .arg(i.value().tamano.height())
                     .toUtf8();
        if (i.value().maximizada)
            texto += "maximizada=1\n";
    }
    if (f.write(texto) != texto.size() || !f.commit())
        return f.errorString();
    return {};
}

// The size the window last closed with; an invalid size when none (or no file).
Tamano recordado(const QString& ventana) {
    if (memoria.archivo.isEmpty())
        return {};
    if (!memoria.leida) {
        memoria.leida = true;
        QMap<QString, Tamano> leidos;
        if (const QString error = lee(memoria.archivo, leidos); !error.isEmpty())
            avisa(QStringLiteral("No se pudo leer el archivo de tamaños de las ventanas %1: %2.")
                      .arg(QDir::toNativeSeparators(memoria.archivo), error) +
                  DobleSalto +
                  QStringLiteral("Las ventanas se abrirán en su tamaño normal; el archivo se reescribirá al "
                                 "cerrar una ventana que cambió de tamaño."));
        else
            memoria.tamanos = leidos;
    }
    return memoria.tamanos.value(ventana);
}

void recuerda(const QString& ventana, const Tamano& tamano) {
    if (memoria.archivo.isEmpty() || memoria.tamanos.value(ventana) == tamano)
        return;
    memoria.tamanos[ventana] = tamano;
    if (memoria.sinEscritura)
        return;
    if (const QString error = escribe(memoria.archivo, memoria.tamanos); !error.isEmpty()) {
        memoria.sinEscritura = true;
        avisa(QStringLiteral("No se pudo guardar el tamaño de la ventana en el archivo %1: %2.")
                  .arg(QDir::toNativeSeparators(memoria.archivo), error) +
              DobleSalto +
              QStringLiteral("Los tamaños de las ventanas no se recordarán después de cerrar el sistema."));
    }
}

QSize pantalla() {
    if (const QScreen* pantalla = QGuiApplication::primaryScreen())
        return pantalla->availableGeometry().size();
    return {};
}

// Where a work window may grow when it opens: the main window's work area
// (below its menu), or the screen's when there is no main window on screen.
QSize areaDeTrabajo() {
    if (const QWidget* principal = VentanaPrincipal(); principal && principal->isVisible()) {
        const auto* marco = qobject_cast<const QMainWindow*>(principal);
        return marco && marco->centralWidget() ? marco->centralWidget()->size() : principal->size();
    }
    return pantalla();
}

// A window's size kept from one session to the next: taken when it first
// shows, within `limite`, and remembered when it hides with another size;
// with `conMaximizada`, also whether it was maximized (a maximized work
// window would be larger than the main window's work area: it keeps only the
// size it returns to).
class Recordada : public QObject {
public:
    Recordada(QWidget& ventana, std::function<QSize()> limite, bool conMaximizada)
        : QObject(&ventana), m_ventana(ventana), m_limite(std::move(limite)), m_conMaximizada(conMaximizada) {
        ventana.installEventFilter(this);
    }

    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (objeto != &m_ventana || evento->spontaneous())
            return QObject::eventFilter(objeto, evento);
        if (evento->type() == QEvent::Show && !m_abierta) {
            m_abierta = true;
            alAbrir();
            toma(recordado(m_ventana.objectName()));
            m_alAbrir = tamano();
        } else if (evento->type() == QEvent::Resize && m_abierta) {
            alCambiar();
        } else if (evento->type() == QEvent::Hide && m_abierta && tamano() != m_alAbrir) {
            // Only a size the person chose: a window closed as it opened writes nothing.
            recuerda(m_ventana.objectName(), tamano());
        }
        return QObject::eventFilter(objeto, evento);
    }

protected:
    virtual void alAbrir() {}
    virtual void alCambiar() {}

    QWidget& m_ventana;

private:
    void toma(const Tamano& t) {
        if (!t.tamano.isValid())
            return;
        QSize nuevo = t.tamano;
        if (const QSize limite = m_limite(); limite.isValid())
            nuevo = nuevo.boundedTo(limite);
        nuevo = nuevo.expandedTo(m_ventana.minimumSize());
        if (nuevo != m_ventana.size()) {
            m_ventana.resize(nuevo);
            alCambiar();
            // A window of its own (the main one) stays centred on the screen; a work window centres
            // itself on the main window when it loads.
            if (const QScreen* pantalla = QGuiApplication::primaryScreen();
                pantalla && !m_ventana.parentWidget()) {
                const QRect libre = pantalla->availableGeometry();
                m_ventana.move(libre.left() + std::max(0, (libre.width() - m_ventana.width()) / 2),
                               libre.top() + std::max(0, (libre.height() - m_ventana.height()) / 2));
            }
        }
        if (t.maximizada)
            m_ventana.setWindowState(m_ventana.windowState() | Qt::WindowMaximized);
    }

    Tamano tamano() const {
        const bool maximizada = m_ventana.isMaximized();
        return {maximizada && m_ventana.normalGeometry().isValid() ? m_ventana.normalGeometry().size()
                                                                   : m_ventana.size(),
                maximizada && m_conMaximizada};
    }

    std::function<QSize()> m_limite;
    bool m_conMaximizada;
    Tamano m_alAbrir;
    bool m_abierta = false;
};

// Lays a work window's named controls out for its size and keeps its memory.
class VentanaDeTrabajo : public Recordada {
public:
    explicit VentanaDeTrabajo(QDialog& ventana) : Recordada(ventana, areaDeTrabajo, false) {
        setObjectName(QStringLiteral("VentanaDeTrabajo"));
    }

    void agrega(std::initializer_list<Crece> controles) {
        for (const Crece& c : controles) {
            if (!c.control || !m_ventana.isAncestorOf(c.control))
                throw ErrorDeEjecucion(CodigoDeError::Interno,
                                       QStringLiteral("Se nombró para crecer un control que no es de la "
                                                      "ventana %1.")
                                           .arg(m_ventana.objectName()),
                                       QStringLiteral("Crecen"));
            m_controles.append({c, {}, profundidad(c.control)});
        }
        std::stable_sort(m_controles.begin(), m_controles.end(),
                         [](const Control& a, const Control& b) { return a.profundidad < b.profundidad; });
    }

private:
    struct Control {
        Crece crece;
        QRect natural;
        int profundidad;
    };

    int profundidad(const QWidget* control) const {
        int n = 0;
        for (; control && control != &m_ventana; control = control->parentWidget())
            ++n;
        return n;
    }

    // Everything stands where the window's code put it: that is the natural place.
    void alAbrir() override {
        m_natural = m_ventana.size();
        for (Control& c : m_controles)
            c.natural = c.crece.control->geometry();
        for (QComboBox* lista : m_ventana.findChildren<QComboBox*>())
            Controles::MuestraEntradasEnteras(lista);
    }

    // Each control from its natural place, by the room its container gained; containers first.
    void alCambiar() override {
        QHash<const QWidget*, QSize> ganancias;
        ganancias.insert(&m_ventana, (m_ventana.size() - m_natural).expandedTo({0, 0}));
        const auto gananciaDe = [&](const QWidget* w) {
            for (; w; w = w->parentWidget())
                if (const auto i = ganancias.constFind(w); i != ganancias.cend())
                    return i.value();
            return QSize();
        };
        // Fractions of a gain in whole pixels, so that neighbours meet: an edge at a fraction f of the
        // gain g lies at floor(f * g) for whoever it bounds.
        const auto parte = [](double f, int g) { return int(std::floor(f * g + 1e-9)); };
        for (const Control& c : std::as_const(m_controles)) {
            QWidget* control = c.crece.control;
            const QSize g = gananciaDe(control->parentWidget());
            const int dx = parte(c.crece.x, g.width());
            const int dy = parte(c.crece.y, g.height());
            const int dw = parte(c.crece.x + c.crece.ancho, g.width()) - dx;
            const int dh = parte(c.crece.y + c.crece.alto, g.height()) - dy;
            control->setGeometry(c.natural.adjusted(dx, dy, dx + dw, dy + dh));
            ganancias.insert(control, {dw, dh});
        }
    }

    QList<Control> m_controles;
    QSize m_natural;
};

VentanaDeTrabajo& deLaVentana(QDialog& ventana) {
    // Found by its name: the class has no meta-object of its own to tell it by.
    auto* v = static_cast<VentanaDeTrabajo*>(
        ventana.findChild<QObject*>(QStringLiteral("VentanaDeTrabajo"), Qt::FindDirectChildrenOnly));
    if (!v)
        throw ErrorDeEjecucion(
            CodigoDeError::Interno,
            QStringLiteral("La ventana %1 no se preparó como ventana de trabajo.").arg(ventana.objectName()),
            QStringLiteral("Crecen"));
    return *v;
}

} // namespace

void PreparaVentanaDeTrabajo(QDialog& ventana, const QString& nombre, const QString& titulo, int anchoEnTwips,
                             int altoEnTwips) {
    ventana.setObjectName(nombre);
    ventana.setWindowTitle(titulo);
    const QSize natural(Pixeles(anchoEnTwips), Pixeles(altoEnTwips));
    ventana.setMinimumSize(natural);
    ventana.resize(natural);
    ventana.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowMaximizeButtonHint);
    new VentanaDeTrabajo(ventana);
}

void Crecen(QDialog& ventana, std::initializer_list<Crece> controles) {
    deLaVentana(ventana).agrega(controles);
}

void RecuerdaTamano(QWidget& ventana) {
    new Recordada(ventana, pantalla, true);
}

void EstableceArchivoDeVentanas(const QString& archivo) {
    memoria = Memoria{};
    memoria.archivo = archivo;
}

QString ArchivoDeVentanas() {
    return memoria.archivo;
}

QString ArchivoDeVentanasJuntoA(const QString& archivoDeAjustes) {
    return QFileInfo(archivoDeAjustes).dir().filePath(QStringLiteral("ventanas.ini"));
}

} // namespace Modulo
