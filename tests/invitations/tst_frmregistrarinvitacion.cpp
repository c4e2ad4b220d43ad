#include "common/FrmErrores.h"
#include "controls/BotonesDeComando.h"
#include "controls/TextoMultilinea.h"
#include "invitations/ApoyoDeInvitaciones.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "startup/MDITaloren.h"

#include <QAction>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

using Caja = CajaDeMensajes;
using Ventana = EnVentana<FrmRegistrarInvitacion>;

namespace {

const QString conAcentos = QStringLiteral("O'Higgins «ñandú» Ángel; -- ' or '1'='1 <b>x</b>");
const QString preguntaDelRepresentante =
    QStringLiteral("Lupita\r\rNo capturó el nombre del representante, la invitación será marcada como NO "
                   "CONFIRMADA y podrá entrar al módulo de correcciones para confirmarla más tarde.\r\r"
                   "¿Desea continuar?");

// A whole invitation for the Secretary, with its representative named.
void llenaValida(FrmRegistrarInvitacion& v, const QString& texto = conAcentos) {
    v.DTPFechaRecepcion->setDate(QDate(2011, 11, 16));
    v.DTPFechaEvento->setDate(QDate(2011, 11, 25));
    elige(v.CmbHoraEvento, QStringLiteral("17:30"));
    v.OptUrgente->setChecked(true);
    elige(v.CmbPrefijo1, QStringLiteral("a la"));
    v.TxtDescripcion->setText(QStringLiteral("Descripción ") + texto);
    elige(v.CmbPrefijo3, QStringLiteral("el"));
    v.TxtUbicacionEvento->setText(QStringLiteral("Ubicación ") + texto);
    v.TxtObservacion->setText(QStringLiteral("Observación ") + texto);
    v.TxtQuienInvita->setText(QStringLiteral("Quién ") + texto);
    v.TxtCargoSuscrip->setText(QStringLiteral("Cargo ") + texto);
    v.TxtTelsSuscrip->setText(QStringLiteral("777-1 ") + texto);
    v.CmbIndicacion->setCurrentIndex(0);
    v.TxtTitularDelArea->setText(QStringLiteral("Titular ") + texto);
    v.TxtCargoTitularDelArea->setText(QStringLiteral("Cargo titular ") + texto);
    v.TxtTelsTitular->setText(QStringLiteral("777-3 ") + texto);
    v.TxtRepresentante->setText(QStringLiteral("Representante ") + texto);
    v.TxtCargoRepresentante->setText(QStringLiteral("Cargo rep. ") + texto);
    v.TxtTelsRepresentante->setText(QStringLiteral("777-2 ") + texto);
}

bool tieneElFoco(QWidget* control) {
    QWidget* f = QApplication::focusWidget();
    return f && (f == control || control->isAncestorOf(f));
}

// Everything the user can see and change, to tell whether anything changed.
QStringList estado(const FrmRegistrarInvitacion& v) {
    QStringList s{QString::number(v.TabInvitacion->currentIndex()), v.LblAnio->text(), v.LblFolio->text(),
                  v.LblMensajeAUsuario->text()};
    for (const QDateEdit* d : v.findChildren<QDateEdit*>())
        s << d->date().toString(Qt::ISODate);
    for (const QComboBox* c : v.findChildren<QComboBox*>())
        s << QString::number(c->currentIndex()) + c->currentText() + QString::number(c->count());
    for (const QLineEdit* t : v.findChildren<QLineEdit*>())
        s << t->text();
    for (const TextoMultilinea* t : v.findChildren<TextoMultilinea*>())
        s << t->text();
    for (const QRadioButton* o : v.findChildren<QRadioButton*>())
        s << QString::number(o->isChecked());
    for (const QWidget* w : v.findChildren<QWidget*>())
        s << QString::number(w->isHidden());
    return s;
}

} // namespace

class TstFrmRegistrarInvitacion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The checks run in their order, each with its message, tab and focus;
    // blanks pass, and nothing reaches the server until all are met.
    void ordenDeLasComprobaciones() {
        Ventana v;
        FrmRegistrarInvitacion& w = *v.ventana;
        QVERIFY(v.activa);
        QVERIFY(tieneElFoco(w.DTPFechaRecepcion));
        w.DTPFechaEvento->setDate(QDate(2011, 11, 17));
        struct Paso {
            const char* mensaje;
            int pestana;
            QWidget* foco;
            std::function<void()> corrige;
        };
        const QList<Paso> pasos{
            {"Debe proporcionar una fecha de hoy en adelante. Verifique :(", 0, w.DTPFechaEvento,
             [&] { w.DTPFechaEvento->setDate(QDate(2011, 11, 18)); }},
            {"Debe seleccionar la hora del evento. Verifique :(", 0, w.CmbHoraEvento,
             [&] { elige(w.CmbHoraEvento, QStringLiteral("SinHr")); }},
            {"Debe seleccionar el prefijo que describe el evento. Verifique :(", 0, w.CmbPrefijo1,
             [&] { elige(w.CmbPrefijo1, QStringLiteral("al")); }},
            {"Debe proporcionar una descripción del evento. Verifique :(", 0, w.TxtDescripcion,
             [&] { w.TxtDescripcion->setText(QStringLiteral(" ")); }},
            {"Debe seleccionar el prefijo de la ubicación del evento. Verifique :(", 0, w.CmbPrefijo3,
             [&] { elige(w.CmbPrefijo3, QStringLiteral("la")); }},
            {"Debe proporcionar una la ubicación del Evento. Verifique :(", 0, w.TxtUbicacionEvento,
             [&] { w.TxtUbicacionEvento->setText(QStringLiteral(" ")); }},
            {"Debe proporcionar el nombre de quien invita al evento. Verifique :(", 0, w.TxtQuienInvita,
             [&] { w.TxtQuienInvita->setText(QStringLiteral(" ")); }},
            {"Debe seleccionar la indicación en el apartado del representante. Verifique :(", 1,
             w.CmbIndicacion, [&] { w.CmbIndicacion->setCurrentIndex(2); }},
            {"Debe proporcionar el nombre del titular que designará un resposable para el evento. Verifique "
             ":(",
             1, w.TxtTitularDelArea, [&] { w.TxtTitularDelArea->setText(QStringLiteral(" ")); }},
            {"Debe proporcionar el cargo del titular que designará un resposable para el evento. Verifique "
             ":(",
             1, w.TxtCargoTitularDelArea, [&] { w.TxtCargoTitularDelArea->setText(QStringLiteral(" ")); }},
        };
        for (const Paso& paso : pasos) {
            v.e.caja.olvida();
            w.TabInvitacion->setCurrentIndex(1 - paso.pestana);
            w.CmdGuardar->click();
            QCOMPARE(v.e.caja.textos(), QStringList{QString::fromUtf8(paso.mensaje)});
            QCOMPARE(v.e.caja.ultima().icono, Caja::Icono::Critico);
            QCOMPARE(v.e.caja.ultima().titulo, QStringLiteral("TaLoREN"));
            QCOMPARE(w.TabInvitacion->currentIndex(), paso.pestana);
            QVERIFY2(tieneElFoco(paso.foco), paso.mensaje);
            QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
            paso.corrige();
        }

        // No representative: "NO" goes back to the name, "SI" saves it unconfirmed.
        w.TxtRepresentante->setText(QStringLiteral("   "));
        w.TxtCargoRepresentante->setText(QStringLiteral("Cargo"));
        w.TxtTelsRepresentante->setText(QStringLiteral("777"));
        w.TabInvitacion->setCurrentIndex(0);
        v.e.caja.olvida();
        v.e.caja.responde(Caja::No);
        w.CmdGuardar->click();
        QCOMPARE(v.e.caja.textos(), QStringList{preguntaDelRepresentante});
        QCOMPARE(v.e.caja.ultima().icono, Caja::Icono::Pregunta);
        QCOMPARE(w.TabInvitacion->currentIndex(), 1);
        QVERIFY(tieneElFoco(w.TxtRepresentante));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
        v.e.caja.responde(Caja::Si);
        w.CmdGuardar->click();
        const Recordset fila = filaGuardada(v.kelmar(), 2011, 1);
        QCOMPARE(fila.filas(), 1);
        const QStringList columnas{QStringLiteral("Estatus"),
                                   QStringLiteral("Representante"),
                                   QStringLiteral("CargoRepresentante"),
                                   QStringLiteral("TelRepresentante"),
                                   QStringLiteral("Hora"),
                                   QStringLiteral("Descripcion"),
                                   QStringLiteral("Ubicacion"),
                                   QStringLiteral("Suscriptor"),
                                   QStringLiteral("Titular"),
                                   QStringLiteral("Caracter")};
        QStringList guardado;
        for (const QString& c : columnas)
            guardado << fila.texto(0, c);
        QCOMPARE(guardado,
                 QStringList({QStringLiteral("SINCONFIRMAR"), QStringLiteral("   "), QString(), QString(),
                              QStringLiteral("SinHr"), QStringLiteral(" "), QStringLiteral(" "),
                              QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("Normal")}));
    }

    // Only the calendar day of the event counts, whatever the time of day.
    void fechaDelEvento_data() {
        QTest::addColumn<QTime>("hora");
        QTest::addColumn<int>("dias");
        QTest::addColumn<bool>("guardada");
        for (const QTime& hora : {QTime(0, 0, 30), QTime(23, 59, 30)}) {
            const QByteArray h = hora.toString(QStringLiteral("HH:mm")).toLatin1();
            QTest::newRow(QByteArray("hoy a las " + h).constData()) << hora << 0 << true;
            QTest::newRow(QByteArray("ayer a las " + h).constData()) << hora << -1 << false;
        }
    }
    void fechaDelEvento() {
        QFETCH(QTime, hora);
        QFETCH(int, dias);
        QFETCH(bool, guardada);
        Ventana v(Motor::SQLite, momentoDePrueba(hora));
        llenaValida(*v.ventana);
        v->DTPFechaEvento->setDate(QDate(2011, 11, 18).addDays(dias));
        v->CmdGuardar->click();
        QCOMPARE(invitacionesGuardadas(v.kelmar()), guardada ? 1 : 0);
        QCOMPARE(v.e.caja.cajas().size(), guardada ? 0 : 1);
    }

    // What the server holds afterwards, field by field; the next
    // registration gets the next folio, and the window is ready for it.
    void guardaYLee_data() { agregaMotores(); }
    void guardaYLee() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmRegistrarInvitacion& w = *v.ventana;
        llenaValida(w);
        elige(w.CmbPrefijo2, QStringLiteral("del"));
        const QHash<QString, QString> esperado{
            {QStringLiteral("Hora"), QStringLiteral("17:30")},
            {QStringLiteral("Descripcion"), w.TxtDescripcion->text()},
            {QStringLiteral("Ubicacion"), w.TxtUbicacionEvento->text()},
            {QStringLiteral("Suscriptor"), w.TxtQuienInvita->text()},
            {QStringLiteral("CargoSuscriptor"), w.TxtCargoSuscrip->text()},
            {QStringLiteral("TelSuscriptor"), w.TxtTelsSuscrip->text()},
            {QStringLiteral("Representante"), w.TxtRepresentante->text()},
            {QStringLiteral("CargoRepresentante"), w.TxtCargoRepresentante->text()},
            {QStringLiteral("TelRepresentante"), w.TxtTelsRepresentante->text()},
            {QStringLiteral("Titular"), w.TxtTitularDelArea->text()},
            {QStringLiteral("CargoTitular"), w.TxtCargoTitularDelArea->text()},
            {QStringLiteral("TelTitular"), w.TxtTelsTitular->text()},
            {QStringLiteral("Caracter"), QStringLiteral("Urgente")},
            {QStringLiteral("Indicacion"), w.CmbIndicacion->currentText()},
            {QStringLiteral("RepresentaA"), QStringLiteral("Srio")},
            {QStringLiteral("Observacion"), w.TxtObservacion->text()},
            {QStringLiteral("Estatus"), QStringLiteral("CONFIRMADA")},
            {QStringLiteral("Prefijo1"), QStringLiteral("a la")},
            // The Secretary's invitations keep no representative's prefix.
            {QStringLiteral("Prefijo2"), QString()},
            {QStringLiteral("Prefijo3"), QStringLiteral("el")},
            {QStringLiteral("UsrCaptura"), QStringLiteral("lupita")},
            {QStringLiteral("UsrModif"), QString()},
        };
        QVERIFY(!w.TxtIndicacion->text().isEmpty());
        QCOMPARE(w.TxtIndicacion->text(), w.CmbIndicacion->currentText());
        w.CmdGuardar->click();
        QVERIFY2(v.e.caja.cajas().isEmpty(), qPrintable(v.e.caja.textos().join(QLatin1Char('|'))));
        const Recordset fila = filaGuardada(v.kelmar(), 2011, 1);
        QCOMPARE(fila.filas(), 1);
        for (auto c = esperado.cbegin(); c != esperado.cend(); ++c)
            QCOMPARE(fila.texto(0, c.key()), c.value());
        QCOMPARE(Recordset::fechaHora(fila.valor(0, QStringLiteral("FechaRecepcion"))),
                 QDate(2011, 11, 16).startOfDay());
        QCOMPARE(Recordset::fechaHora(fila.valor(0, QStringLiteral("FechaEvento"))),
                 QDate(2011, 11, 25).startOfDay());
        QCOMPARE(Recordset::fechaHora(fila.valor(0, QStringLiteral("FechaCaptura"))), momentoDePrueba());

        QCOMPARE(w.LblMensajeAUsuario->text(),
                 QStringLiteral("Los datos han sido almacenados. Folio de la última invitación: 1"));
        // Cleared for the next one, but for the representative's prefix.
        QCOMPARE(w.LblFolio->text(), QString());
        QCOMPARE(w.LblAnio->text(), QStringLiteral("2011"));
        QCOMPARE(w.DTPFechaEvento->date(), QDate(2011, 11, 18));
        for (QComboBox* c : {w.CmbHoraEvento, w.CmbPrefijo1, w.CmbPrefijo3, w.CmbIndicacion, w.CmbPrefijo2})
            QCOMPARE(c->currentIndex(), -1);
        for (QLineEdit* t : {w.TxtQuienInvita, w.TxtRepresentante, w.TxtTitularDelArea, w.TxtTelsTitular})
            QVERIFY(t->text().isEmpty());
        QVERIFY(w.TxtDescripcion->text().isEmpty() && w.TxtIndicacion->text().isEmpty());
        QVERIFY(w.OptNormal->isChecked() && w.OptSrio->isChecked());
        QCOMPARE(w.TabInvitacion->currentIndex(), 0);
        QVERIFY(tieneElFoco(w.DTPFechaRecepcion));

        llenaValida(w, QStringLiteral("segunda"));
        w.CmdGuardar->click();
        QCOMPARE(w.LblMensajeAUsuario->text(),
                 QStringLiteral("Los datos han sido almacenados. Folio de la última invitación: 2"));
        QCOMPARE(filaGuardada(v.kelmar(), 2011, 2).texto(0, QStringLiteral("Descripcion")),
                 QStringLiteral("Descripción segunda"));
    }

    // Whom it is addressed to decides what is kept of the indication, the
    // area head and the representative's prefix.
    void destinatarios_data() {
        QTest::addColumn<bool>("gobernador");
        QTest::addColumn<QString>("representante");
        QTest::addColumn<QString>("prefijo2");
        QTest::addColumn<QString>("mensaje");
        QTest::addColumn<QStringList>("guardado"); // RepresentaA, Estatus, Prefijo2, Indicacion, Titular
        QTest::newRow("Srio con prefijo del representante")
            << false << QStringLiteral("Raúl Benítez") << QStringLiteral("del") << QString()
            << QStringList{QStringLiteral("Srio"), QStringLiteral("CONFIRMADA"), QString(),
                           QStringLiteral("Asistir en representación del C. Secretario"),
                           QStringLiteral("Titular")};
        QTest::newRow("Gob con representante y prefijo")
            << true << QStringLiteral("Raúl Benítez") << QStringLiteral("de") << QString()
            << QStringList{QStringLiteral("Gob"), QStringLiteral("CONFIRMADA"), QStringLiteral("de"),
                           QString(), QString()};
        QTest::newRow("Gob sin representante no pide prefijo")
            << true << QString() << QString() << preguntaDelRepresentante
            << QStringList{QStringLiteral("Gob"), QStringLiteral("SINCONFIRMAR"), QString(), QString(),
                           QString()};
        QTest::newRow("Gob con representante sin prefijo")
            << true << QStringLiteral("Raúl Benítez") << QString()
            << QStringLiteral(
                   "Debe seleccionar seleccionar el prefijo del representante del evento. Verifique :(")
            << QStringList();
    }
    void destinatarios() {
        QFETCH(bool, gobernador);
        QFETCH(QString, representante);
        QFETCH(QString, prefijo2);
        QFETCH(QString, mensaje);
        QFETCH(QStringList, guardado);
        Ventana v;
        FrmRegistrarInvitacion& w = *v.ventana;
        llenaValida(w, QString());
        w.TxtTitularDelArea->setText(QStringLiteral("Titular"));
        elige(w.CmbIndicacion, QStringLiteral("Asistir en representación del C. Secretario"));
        w.OptGob->setChecked(gobernador);
        // The Governor's arrangement: the wording and its prefix instead of the indication and the head.
        QCOMPARE(w.CmbPrefijo2->isHidden(), !gobernador);
        QCOMPARE(w.LblRedaccion->isHidden(), !gobernador);
        QCOMPARE(w.FraTitularDelArea->isHidden(), gobernador);
        QCOMPARE(w.CmbIndicacion->isHidden(), gobernador);
        QCOMPARE(w.TxtIndicacion->text().isEmpty(), gobernador);
        w.TxtRepresentante->setText(representante);
        if (!prefijo2.isEmpty())
            elige(w.CmbPrefijo2, prefijo2);
        if (mensaje == preguntaDelRepresentante)
            v.e.caja.responde(Caja::Si);
        w.CmdGuardar->click();
        QCOMPARE(v.e.caja.textos(), mensaje.isEmpty() ? QStringList() : QStringList{mensaje});
        if (guardado.isEmpty()) {
            QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
            QVERIFY(tieneElFoco(w.CmbPrefijo2));
            return;
        }
        const Recordset fila = filaGuardada(v.kelmar(), 2011, 1);
        QStringList leido;
        for (const char* c : {"RepresentaA", "Estatus", "Prefijo2", "Indicacion", "Titular"})
            leido << fila.texto(0, QString::fromLatin1(c));
        QCOMPARE(leido, guardado);
        if (gobernador)
            QCOMPARE(fila.texto(0, QStringLiteral("CargoTitular")) +
                         fila.texto(0, QStringLiteral("TelTitular")),
                     QString());
    }

    // "NO" to the clearing changes nothing; "SI" clears all but the
    // representative's prefix and the last save's message.
    void limpiar() {
        Ventana v;
        FrmRegistrarInvitacion& w = *v.ventana;
        llenaValida(w);
        w.OptGob->setChecked(true);
        elige(w.CmbPrefijo2, QStringLiteral("de"));
        w.LblMensajeAUsuario->setText(
            QStringLiteral("Los datos han sido almacenados. Folio de la última invitación: 7"));
        w.TabInvitacion->setCurrentIndex(1);
        const QStringList antes = estado(w);
        v.e.caja.responde(Caja::No);
        w.CmdLimpiar->click();
        QCOMPARE(v.e.caja.textos(),
                 QStringList{
                     QStringLiteral("Lupita\r\rLos datos que ha capturado no se almacenarán y los perderá, "
                                    "¿Desea continuar?\r\r¿Desea continuar?")});
        QCOMPARE(estado(w), antes);

        v.e.caja.responde(Caja::Si);
        w.CmdLimpiar->click();
        QVERIFY(w.OptSrio->isChecked() && w.OptNormal->isChecked());
        QVERIFY(w.CmbPrefijo2->isHidden() && !w.FraTitularDelArea->isHidden());
        QCOMPARE(w.CmbPrefijo2->currentText(), QStringLiteral("de"));
        QCOMPARE(w.LblMensajeAUsuario->text(), antes.at(3));
        QVERIFY(w.TxtDescripcion->text().isEmpty() && w.TxtRepresentante->text().isEmpty());
        QCOMPARE(w.CmbHoraEvento->currentIndex(), -1);
        QCOMPARE(w.TabInvitacion->currentIndex(), 0);
        QVERIFY(tieneElFoco(w.DTPFechaRecepcion));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
    }

    // A failing server: its error in the error window, the typed data kept,
    // nothing written; once it is back, the same data saves with folio 1.
    void errorDelServidor_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("cerrada");
        for (Motor m : {Motor::SQLite, Motor::PostgreSQL})
            for (bool cerrada : {false, true}) {
                const QByteArray nombre = QByteArray(m == Motor::SQLite ? "sqlite" : "postgresql") +
                                          (cerrada ? ", conexión cerrada" : ", tabla ausente");
                QTest::newRow(nombre.constData()) << int(m) << cerrada;
            }
    }
    void errorDelServidor() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(bool, cerrada);
        Ventana v(motor);
        FrmRegistrarInvitacion& w = *v.ventana;
        llenaValida(w);
        const QStringList antes = estado(w);
        QStringList mostrado;
        v.e.alMostrar = [&](QDialog& d) {
            auto& errores = static_cast<FrmErrores&>(d);
            mostrado << errores.LblNumDelError->text() << errores.LblDescripDelError->text();
        };
        if (cerrada)
            Modulo::kelmar().cierra();
        else
            v.kelmar().ejecuta(QStringLiteral("alter table invitacion rename to invitacion_aparte"));
        w.CmdGuardar->click();
        QCOMPARE(v.e.mostradas, QStringList{QStringLiteral("FrmErrores")});
        QCOMPARE(mostrado.value(0).toInt(), cerrada ? CodigoDeError::Conexion : CodigoDeError::Sentencia);
        QVERIFY(!mostrado.value(1).isEmpty());
        QCOMPARE(estado(w), antes);

        if (cerrada)
            Modulo::AbreConexion(Catalogo::Kelmar, v.e.base.ajustes());
        else
            v.kelmar().ejecuta(QStringLiteral("alter table invitacion_aparte rename to invitacion"));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
        QVERIFY(v.kelmar().ejecuta(QStringLiteral("select * from folio_invitacion")).estaVacio());
        w.CmdGuardar->click();
        QCOMPARE(v.e.mostradas.size(), 1);
        QCOMPARE(filaGuardada(v.kelmar(), 2011, 1).filas(), 1);
    }

    // Ctrl+Tab turns the page from any control, the date picker included.
    void pestanasConElTeclado() {
        Ventana v;
        QVERIFY(tieneElFoco(v->DTPFechaRecepcion));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(v->TabInvitacion->currentIndex(), 1);
        QVERIFY(tieneElFoco(v->CmbIndicacion));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(v->TabInvitacion->currentIndex(), 0);
        QVERIFY(tieneElFoco(v->DTPFechaRecepcion));
    }

    // Each menu item opens its window modally, loaded afresh at every opening.
    void menu() {
        RelojFijo reloj(momentoDePrueba());
        const Reloj::Sustituto enUso(reloj);
        EntornoDeVentanas e;
        e.conecta();
        MDITaloren mdi;
        QStringList vistos;
        e.alMostrar = [&](QDialog& d) {
            auto& v = static_cast<VentanaDeInvitacion&>(d);
            vistos << QStringLiteral("%1 %2 %3")
                          .arg(v.CmbPrefijo1->count())
                          .arg(v.CmbIndicacion->count())
                          .arg(v.TxtDescripcion->text());
            v.TxtDescripcion->setText(QStringLiteral("tecleado"));
            // Escape keeps the typed data; the close button closes.
            QTest::keyClick(&v, Qt::Key_Escape);
            QVERIFY(v.isVisible());
            v.CmdCerrar->click();
            QVERIFY(!v.isVisible());
        };
        mdi.MnuRegistrarInvitaciones->trigger();
        mdi.MnuRegistrarInvitaciones->trigger();
        mdi.MnuModificarInvit->trigger();
        mdi.MnuModificarInvit->trigger();
        QCOMPARE(e.mostradas,
                 QStringList(
                     {QStringLiteral("FrmRegistrarInvitacion"), QStringLiteral("FrmRegistrarInvitacion"),
                      QStringLiteral("FrmModificarInvitacion"), QStringLiteral("FrmModificarInvitacion")}));
        const int prefijos = e.base.kelmar()
                                 .ejecuta(QStringLiteral("select count(Prefijo1) from prefijos"))
                                 .valor(0, 0)
                                 .toInt();
        const int indicaciones =
            e.base.kelmar().ejecuta(QStringLiteral("select count(*) from indicaciones")).valor(0, 0).toInt();
        const QString cargada = QStringLiteral("%1 %2 ").arg(prefijos).arg(indicaciones);
        QCOMPARE(vistos, QStringList({cargada, cargada, cargada, cargada}));
        QVERIFY(e.caja.cajas().isEmpty());
    }
};

QTEST_MAIN(TstFrmRegistrarInvitacion)
#include "tst_frmregistrarinvitacion.moc"
