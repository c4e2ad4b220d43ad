#include "agenda/FrmAgenda.h"
#include "capture/frmCaptura.h"
#include "common/FrmErrores.h"
#include "controls/BotonesDeComando.h"
#include "controls/Cajas.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "queries/frmConsultas.h"
#include "reports/FrmReportes.h"
#include "reports/FrmVerReporte.h"
#include "server/administracion/Administracion.h"
#include "startup/Inicio.h"
#include "startup/MDITaloren.h"
#include "startup/frmSolicitaPassword.h"
#include "support/EntornoDeVentanas.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Caja = CajaDeMensajes;

namespace {

// The start-up's seams, with the main window gone at the end.
struct EntornoDeInicio : EntornoDeVentanas {
    using EntornoDeVentanas::EntornoDeVentanas;
    ~EntornoDeInicio() { Modulo::DestruyeMdi(); }
    QStringList ingreso(bool mostrado) const {
        return mostrado ? QStringList{u"frmSolicitaPassword"_s} : QStringList();
    }
};

QVariant fecha(int anio, int mes, int dia, int hora = 0, int minuto = 0) {
    return QDateTime(QDate(anio, mes, dia), QTime(hora, minuto));
}

const QString noCoinciden = u"La cuenta de acceso y/o la contraseña no coinciden. Verifique :("_s;

// A login window shown and active, as the start-up leaves it.
struct Ingreso {
    explicit Ingreso(Motor motor = Motor::SQLite) : e(motor) {
        e.conecta(QString(), QString());
        Administracion::agregaUsuario(e.base.kelmar(), u"lupita"_s, u"Lupita"_s, u"clave7"_s);
        ventana.show();
        QApplication::setActiveWindow(&ventana);
        QVERIFY(QTest::qWaitForWindowActive(&ventana));
    }
    void ingresa(const QString& cuenta, const QString& contrasena) {
        ventana.txtUsuario->setText(cuenta);
        ventana.txtPassword->setText(contrasena);
        ventana.CmdIngreso->click();
    }
    QString mensaje() const { return e.caja.ultima().texto; }
    QWidget* foco() const { return QApplication::focusWidget(); }

    EntornoDeInicio e;
    frmSolicitaPassword ventana;
};
} // namespace

class TstInicio : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void ramas_data() {
        QTest::addColumn<QVariant>("acceso");
        QTest::addColumn<QVariant>("ultima");
        QTest::addColumn<QVariant>("criticidad");
        QTest::addColumn<int>("respuesta");   // to the optional-version question, if asked
        QTest::addColumn<QString>("mensaje"); // what the one box shown says, if any
        QTest::addColumn<bool>("ingreso");    // the login window was shown
        const QVariant si(1), nulo, hoy = fecha(2011, 11, 18), otra = fecha(2012, 3, 1);
        const QString negado =
            u"No es posible acceder al sistema en estos momentos.\r\rRespaldo del servidor"_s;
        const QString obligatoria = u"Existe una nueva versión del sistema y debe instalarla"_s;
        const QString opcional = u"se sugiere instalarla lo antes posible"_s;
        QTest::newRow("acceso negado aunque la versión pida algo")
            << QVariant(0) << otra << si << 0 << negado << false;
        QTest::newRow("acceso nulo vale como permitido") << nulo << hoy << si << 0 << QString() << true;
        QTest::newRow("misma fecha con hora")
            << si << fecha(2011, 11, 18, 17, 45) << si << 0 << QString() << true;
        QTest::newRow("obligatoria, fecha posterior") << si << otra << si << 0 << obligatoria << false;
        QTest::newRow("obligatoria, fecha anterior")
            << si << fecha(2010, 5, 20) << si << 0 << obligatoria << false;
        QTest::newRow("opcional, No") << si << otra << QVariant(2) << int(Caja::No) << opcional << false;
        QTest::newRow("opcional, Sí") << si << otra << QVariant(2) << int(Caja::Si) << opcional << true;
        QTest::newRow("criticidad 3") << si << otra << QVariant(3) << 0 << QString() << true;
        QTest::newRow("criticidad nula") << si << otra << nulo << 0 << QString() << true;
        QTest::newRow("fecha nula") << si << nulo << si << 0 << QString() << true;
    }
    void ramas() {
        QFETCH(QVariant, acceso);
        QFETCH(QVariant, ultima);
        QFETCH(QVariant, criticidad);
        QFETCH(int, respuesta);
        QFETCH(QString, mensaje);
        QFETCH(bool, ingreso);
        EntornoDeInicio e;
        e.base.kelmar().ejecuta(u"update configuracion set Acceso = ?, Mensaje1 = ?, FechaUltimaVersion = ?, "
                                u"Criticidad = ? where id = 1"_s,
                                {acceso, u"Respaldo del servidor"_s, ultima, criticidad});
        if (respuesta)
            e.caja.responde(Caja::Boton(respuesta));

        // Nobody logs in here, so the program never goes on past the login.
        QVERIFY(!Modulo::Main(e.base.ajustes()));
        QCOMPARE(e.mostradas, e.ingreso(ingreso));
        QCOMPARE(e.caja.cajas().size(), mensaje.isEmpty() ? 0 : 1);
        if (!mensaje.isEmpty()) {
            QVERIFY2(e.caja.ultima().texto.contains(mensaje), qPrintable(e.caja.ultima().texto));
            QCOMPARE(e.caja.ultima().icono, respuesta ? Caja::Icono::Pregunta : Caja::Icono::Informacion);
        }
        // A refused start closes kelmar and never opens taloren.
        QCOMPARE(Modulo::kelmar().estaAbierta(), ingreso);
        QCOMPARE(Modulo::taloren().estaAbierta(), ingreso);
        // A refusal ends the program; the login stands open until the user acts.
        QCOMPARE(e.terminaciones, ingreso ? 0 : 1);
    }

    void errores_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("cambio"); // to the kelmar catalog; none: a server that does not answer
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("dice"); // besides the number, a description and the fixed sentences
        const int sqlite = int(Motor::SQLite);
        QTest::newRow("sin registro de configuración")
            << sqlite << u"delete from configuracion"_s << CodigoDeError::FinDeRegistros << QString();
        QTest::newRow("el procedimiento falla")
            << sqlite << u"alter table configuracion rename column Acceso to Permitido"_s
            << CodigoDeError::Sentencia << QString();
        QTest::newRow("servidor que no responde")
            << sqlite << QString() << CodigoDeError::Conexion << u"\rDetalle: "_s;
        // A server catalog behind the program's schema is refused, not used half-way.
        QTest::newRow("catálogo del servidor atrasado")
            << int(Motor::PostgreSQL) << u"delete from version_esquema"_s << CodigoDeError::Sentencia
            << u"taloren-admin create"_s;
    }
    void errores() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, cambio);
        QFETCH(int, numero);
        QFETCH(QString, dice);
        EntornoDeInicio e(motor);
        AjustesDeConexion ajustes = e.base.ajustes();
        if (cambio.isEmpty())
            ajustes = AjustesDeConexion::dePostgres(
                u"host=127.0.0.1 port=1 user=kelmarnv password=x connect_timeout=3"_s);
        else
            e.base.kelmar().ejecuta(cambio);
        QVERIFY(!Modulo::Main(ajustes));
        QVERIFY(e.mostradas.isEmpty());
        QCOMPARE(e.caja.cajas().size(), 1);
        const QString texto = e.caja.ultima().texto;
        QVERIFY2(texto.startsWith(u"Error: %1\r"_s.arg(numero)) &&
                     texto.contains(u"la aplicación se cerrará"_s) && texto.contains(dice),
                 qPrintable(texto));
        // The description stands between the number and the fixed sentences.
        QVERIFY(texto.section(u'\r', 1, 1).size() > 5);
        QCOMPARE(e.terminaciones, 0);
    }

    // The whole way in: start-up, login (Enter in the password box), main window; its menu's Salir
    // ends the program. Blanks in the account are sent as they are.
    void entrada_data() { agregaMotores(); }
    void entrada() {
        MOTOR_DE_LA_FILA(motor);
        EntornoDeInicio e(motor);
        Administracion::agregaUsuario(e.base.kelmar(), u"  lupita"_s, u"Lupita"_s, u"clave7"_s);
        e.alMostrar = [](QDialog& ventana) {
            auto& ingreso = static_cast<frmSolicitaPassword&>(ventana);
            ingreso.txtUsuario->setText(u"  lupita"_s);
            QTest::keyClicks(ingreso.txtPassword, u"clave7"_s);
            QTest::keyClick(ingreso.txtPassword, Qt::Key_Return);
        };
        QVERIFY(Modulo::Main(e.base.ajustes()));
        QVERIFY(e.caja.cajas().isEmpty());
        QCOMPARE(Modulo::NickUsuario + u'/' + Modulo::CuentaUsuario, u"Lupita/  lupita"_s);
        QVERIFY(Modulo::ExisteMdi() && Modulo::mdi().isVisible());
        QCOMPARE(e.terminaciones, 0);
        Modulo::mdi().mdiSalir->trigger();
        QCOMPARE(e.terminaciones, 1);
    }

    // Empty boxes are named, and the focus goes to the first one. A pair the catalog does not know, a
    // text it does not admit, or a catalog that fails, logs nobody in and leaves the texts as typed and
    // the focus where it was. Each time alike. The account is compared as typed: another case is another
    // account, and blanks are sent as they are. Closing the window, or Salir, ends the program.
    void ingresoRechazado_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("cuenta");
        QTest::addColumn<QString>("contrasena");
        QTest::addColumn<QStringList>("mensaje"); // how it begins, then what else it says
        QTest::addColumn<QString>("foco");        // none: it stays where it was
        QTest::addColumn<bool>("cerrada");        // the catalog closed before the login
        const auto fila = [](std::initializer_list<Motor> motores, const char* nombre, const QString& cuenta,
                             const QString& contrasena, const QStringList& mensaje, const QString& foco = {},
                             bool cerrada = false) {
            for (const Motor m : motores)
                QTest::addRow("%s: %s", m == Motor::SQLite ? "sqlite" : "postgresql", nombre)
                    << int(m) << cuenta << contrasena << mensaje << foco << cerrada;
        };
        // Empty boxes never reach the catalog.
        const auto sqlite = {Motor::SQLite}, ambos = {Motor::SQLite, Motor::PostgreSQL};
        fila(sqlite, "ambas vacías", {}, {}, {u"Proporcione su cuenta de acceso y su contraseña."_s},
             u"txtUsuario"_s);
        fila(sqlite, "contraseña vacía", u"lupita"_s, {}, {u"Proporcione su contraseña."_s},
             u"txtPassword"_s);
        fila(sqlite, "cuenta vacía", {}, u"clave7"_s, {u"Proporcione su cuenta de acceso."_s},
             u"txtUsuario"_s);
        // A refused password is selected, so that typing replaces it.
        fila(ambos, "contraseña equivocada", u"lupita"_s, u"clave8"_s, {noCoinciden}, u"txtPassword"_s);
        fila(ambos, "la cuenta en mayúsculas", u"LUPITA"_s, u"clave7"_s, {noCoinciden}, u"txtPassword"_s);
        fila(ambos, "cuenta de espacios", u"   "_s, u"clave7"_s, {noCoinciden}, u"txtPassword"_s);
        // A control character that reaches the login all the same.
        fila(ambos, "un NUL", u"lupita"_s, u"clave7"_s + QChar(0),
             {u"Error: %1\r\n"_s.arg(CodigoDeError::Conversion), u"U+0000"_s, u"@Password"_s});
        fila(sqlite, "catálogo cerrado", u"lupita"_s, u"clave7"_s,
             {u"Error: %1\r\nDescripción: "_s.arg(CodigoDeError::Conexion), u"\r\nSourc: SQLite kelmar"_s},
             {}, true);
    }
    void ingresoRechazado() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, cuenta);
        QFETCH(QString, contrasena);
        QFETCH(QStringList, mensaje);
        QFETCH(QString, foco);
        QFETCH(bool, cerrada);
        Ingreso i(motor);
        if (cerrada)
            Modulo::kelmar().cierra();
        // What the box never takes, set past its rule, as if it reached the login all the same.
        if (contrasena.contains(QChar(0)))
            i.ventana.txtPassword->setValidator(nullptr);
        for (int intento = 1; intento <= 2; ++intento) {
            i.ventana.CmdIngreso->setFocus();
            QWidget* antes = i.foco();
            i.ingresa(cuenta, contrasena);
            QCOMPARE(i.e.caja.cajas().size(), intento);
            QCOMPARE(i.e.caja.ultima().icono, Caja::Icono::Critico);
            QVERIFY2(i.mensaje().startsWith(mensaje.constFirst()), qPrintable(i.mensaje()));
            for (const QString& parte : mensaje)
                QVERIFY2(i.mensaje().contains(parte), qPrintable(i.mensaje()));
            QCOMPARE(QStringList({i.ventana.txtUsuario->text(), i.ventana.txtPassword->text()}),
                     QStringList({cuenta, contrasena}));
            QVERIFY(i.foco());
            QCOMPARE(i.foco(), foco.isEmpty() ? antes : i.ventana.findChild<QWidget*>(foco));
            if (mensaje == QStringList{noCoinciden})
                QCOMPARE(i.ventana.txtPassword->selectedText(), contrasena);
        }
        QVERIFY(Modulo::NickUsuario.isEmpty());
        QVERIFY(i.ventana.isVisible());
        QCOMPARE(i.e.terminaciones, 0);
        i.ventana.close();
        QCOMPARE(i.e.terminaciones, 1);
        QCOMPARE(i.ventana.result(), int(QDialog::Rejected));
        i.ventana.show();
        i.ventana.cmdSalir->click();
        QVERIFY(i.e.terminaciones == 2 && !i.ventana.isVisible());
    }

    // Every text box of every work window and of the login takes no control character, typed or
    // pasted (the rest of a paste stays); where it has a limit, an emoji exactly at it enters and a
    // family that does not fit enters not at all. The login's account box keeps the first ten
    // characters of a paste of 100,000.
    void cajasDeLasVentanas_data() {
        QTest::addColumn<int>("ventana");
        QTest::addColumn<int>("cajas");   // boxes walked
        QTest::addColumn<int>("limites"); // of them with a limit
        QTest::newRow("FrmRegistrarInvitacion") << 0 << 13 << 13;
        // The invitation's look-up list and the capture window's boxes take any length here: the capture
        // window checks its fields' lengths, naming them, when the event is stored.
        QTest::newRow("FrmModificarInvitacion") << 1 << 14 << 13;
        QTest::newRow("frmCaptura") << 2 << 12 << 0;
        QTest::newRow("FrmReportes") << 3 << 3 << 3;
        QTest::newRow("frmConsultas") << 4 << 0 << 0;
        QTest::newRow("frmSolicitaPassword") << 5 << 2 << 2;
    }
    void cajasDeLasVentanas() {
        QFETCH(int, ventana);
        QFETCH(int, cajas);
        QFETCH(int, limites);
        EntornoDeVentanas e;
        const std::unique_ptr<QWidget> v([&]() -> QWidget* {
            switch (ventana) {
            case 0:
                return new FrmRegistrarInvitacion;
            case 1:
                return new FrmModificarInvitacion;
            case 2:
                return new frmCaptura;
            case 3:
                return new FrmReportes;
            case 4:
                return new frmConsultas;
            default:
                return new frmSolicitaPassword;
            }
        }());
        const QString controles = u"a"_s + QChar(0) + u"b"_s + QChar(1) + u"c"_s;
        const QString familia = u"👨\u200d👩\u200d👧"_s; // five code points, one character
        QList<QWidget*> recorridas;
        for (QLineEdit* c : v->findChildren<QLineEdit*>())
            // A date picker's and a mask's boxes take only their digits.
            if (!qobject_cast<QAbstractSpinBox*>(c->parentWidget()) && c->inputMask().isEmpty())
                recorridas << c;
        for (QPlainTextEdit* c : v->findChildren<QPlainTextEdit*>())
            recorridas << c;
        int conLimite = 0;
        for (QWidget* caja : recorridas) {
            // Each box as a person finds it where it takes typing.
            for (QWidget* w = caja; w != v.get(); w = w->parentWidget())
                w->setEnabled(true);
            auto* linea = qobject_cast<QLineEdit*>(caja);
            auto* varias = qobject_cast<QPlainTextEdit*>(caja);
            linea ? linea->setReadOnly(false) : varias->setReadOnly(false);
            const auto texto = [&] { return linea ? linea->text() : varias->toPlainText(); };
            const auto pega = [&](const QString& t) {
                linea ? linea->clear() : varias->clear();
                QApplication::clipboard()->setText(t);
                linea ? linea->paste() : varias->paste();
                return texto();
            };
            // A box that takes only digits refuses the letters too.
            const bool propia =
                !linea || !linea->validator() || linea->validator()->inherits("ValidadorDeTexto");
            const QString abc = propia ? u"abc"_s : QString();
            const QString nombre = caja->objectName() + u" de "_s + caja->parentWidget()->objectName();
            linea ? linea->clear() : varias->clear();
            for (const char32_t k : controles.toUcs4())
                QTest::sendKeyEvent(QTest::Click, caja, Qt::Key_unknown, QString::fromUcs4(&k, 1),
                                    Qt::NoModifier);
            QCOMPARE(nombre + u": "_s + texto(), nombre + u": "_s + abc);
            QCOMPARE(nombre + u": "_s + pega(controles), nombre + u": "_s + abc);
            const int maximo = Cajas::limiteDe(caja);
            if (maximo == Cajas::sinLimite)
                continue;
            ++conLimite;
            const QString alLimite = QString(maximo - 1, u'x') + u"😀"_s;
            QCOMPARE(pega(alLimite), alLimite);
            QCOMPARE(pega(QString(maximo - 4, u'x') + familia), QString(maximo - 4, u'x'));
        }
        QCOMPARE(recorridas.size(), cajas);
        QCOMPARE(conLimite, limites);
        if (auto* ingreso = qobject_cast<frmSolicitaPassword*>(v.get())) {
            ingreso->txtUsuario->clear();
            QApplication::clipboard()->setText(u"0123456789"_s + QString(99990, u'x'));
            ingreso->txtUsuario->paste();
            QCOMPARE(ingreso->txtUsuario->text(), u"0123456789"_s);
        }
    }

    // A settings file that cannot be used stops the start-up before any connection, naming the file and
    // what is wrong; a station's never holds the server's administrator. One that holds a password and
    // that others may read is named, with the command that protects it, and the start-up goes on.
    void ajustesDeLaEstacion_data() {
        QTest::addColumn<QByteArray>("agregado"); // after "[database]\nfolder=..."
        QTest::addColumn<bool>("legible");
        QTest::addColumn<QStringList>("nombrados"); // in the one box shown, with the file
        QTest::addColumn<bool>("ingreso");
        const QByteArray contrasena = "[kelmar]\npassword=secreta\n";
        QTest::newRow("motor mal escrito")
            << QByteArray("backend=postgres\n") << false
            << QStringList{u"Error: %1\r"_s.arg(CodigoDeError::Ajustes), u"backend"_s, u"postgres"_s}
            << false;
        QTest::newRow("con la cuenta administradora") << QByteArray("[admin]\nuser=dueno\npassword=secreta\n")
                                                      << false << QStringList{u"[admin]"_s} << false;
        QTest::newRow("contraseña que otros leen")
            << contrasena << true << QStringList{u"chmod 600"_s} << true;
        QTest::newRow("contraseña sólo de su dueño") << contrasena << false << QStringList() << true;
        QTest::newRow("sin contraseñas, legible") << QByteArray() << true << QStringList() << true;
    }
    void ajustesDeLaEstacion() {
        QFETCH(QByteArray, agregado);
        QFETCH(bool, legible);
        QFETCH(QStringList, nombrados);
        QFETCH(bool, ingreso);
        EntornoDeInicio e;
        const QString archivo = e.base.carpeta() + u"/estacion.ini"_s;
        QVERIFY(escribeArchivo(archivo, "[database]\nfolder=" + e.base.carpeta().toUtf8() + "\n" + agregado));
        QVERIFY(QFile::setPermissions(archivo, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   (legible ? QFileDevice::ReadGroup | QFileDevice::ReadOther
                                                            : QFileDevice::Permissions())));
        QVERIFY(!Modulo::Main(archivo));
        QCOMPARE(e.caja.cajas().size(), nombrados.isEmpty() ? 0 : 1);
        if (!nombrados.isEmpty())
            for (const QString& nombrado : nombrados << archivo)
                QVERIFY2(e.caja.ultima().texto.contains(nombrado), qPrintable(e.caja.ultima().texto));
        QCOMPARE(e.mostradas, e.ingreso(ingreso));
        QCOMPARE(Modulo::kelmar().estaAbierta(), ingreso);
    }

    // Every command button of every window has an access key, and no two
    // controls of one window share one.
    void teclasDeAcceso() {
        const auto revisa = [](QWidget& ventana) {
            QStringList faltan;
            QMap<QChar, QStringList> usadas;
            for (const QAbstractButton* b : ventana.findChildren<QAbstractButton*>()) {
                const QString texto = b->text();
                const qsizetype i = texto.indexOf(u'&');
                if (i >= 0 && i + 1 < texto.size())
                    usadas[texto.at(i + 1).toLower()] << texto;
                else if (b->inherits("QPushButton") || b->inherits("QToolButton"))
                    if (std::any_of(texto.begin(), texto.end(), [](QChar c) { return c.isLetter(); }))
                        faltan << texto;
            }
            QStringList repetidas;
            for (auto it = usadas.cbegin(); it != usadas.cend(); ++it)
                if (it.value().size() > 1)
                    repetidas << it.value().join(u" / ");
            return QStringList{ventana.objectName() + u": sin tecla " + faltan.join(u", ") + u"; repetidas " +
                               repetidas.join(u", ")};
        };
        EntornoDeVentanas e;
        std::vector<std::unique_ptr<QWidget>> ventanas;
        ventanas.emplace_back(new FrmRegistrarInvitacion);
        ventanas.emplace_back(new FrmModificarInvitacion);
        ventanas.emplace_back(new FrmReportes);
        ventanas.emplace_back(new FrmVerReporte);
        ventanas.emplace_back(new frmCaptura);
        ventanas.emplace_back(new frmConsultas);
        ventanas.emplace_back(new frmSolicitaPassword);
        ventanas.emplace_back(new FrmErrores);
        ventanas.emplace_back(new FrmAgenda);
        for (const auto& v : ventanas)
            QCOMPARE(revisa(*v), QStringList{v->objectName() + u": sin tecla ; repetidas "});
    }
};

QTEST_MAIN(TstInicio)
#include "tst_inicio.moc"
