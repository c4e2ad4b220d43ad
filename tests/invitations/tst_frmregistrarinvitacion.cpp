#include "invitations/ApoyoDeInvitaciones.h"
#include "server/administracion/Apertura.h"
#include "startup/MDITaloren.h"
#include "support/RegistroDeEventos.h"

#include <QAction>

using Caja = CajaDeMensajes;
using namespace Qt::StringLiterals;
using Ventana = EnVentana<FrmRegistrarInvitacion>;

namespace {

const QString conAcentos = QStringLiteral("O'Higgins «ñandú» Ángel; -- ' or '1'='1 <b>x</b>");

// Each box of typed text, with the column it is saved to.
const QStringList cajas =
    QStringLiteral("TxtDescripcion=Descripcion TxtUbicacionEvento=Ubicacion TxtObservacion=Observacion "
                   "TxtQuienInvita=Suscriptor TxtCargoSuscrip=CargoSuscriptor TxtTelsSuscrip=TelSuscriptor "
                   "TxtTitularDelArea=Titular TxtCargoTitularDelArea=CargoTitular TxtTelsTitular=TelTitular "
                   "TxtRepresentante=Representante TxtCargoRepresentante=CargoRepresentante "
                   "TxtTelsRepresentante=TelRepresentante")
        .split(u' ');

// A whole invitation for the Secretary, its representative named; each box
// holds its name and the text.
void llenaValida(FrmRegistrarInvitacion& v) {
    v.DTPFechaRecepcion->setDate(QDate(2011, 11, 16));
    v.DTPFechaEvento->setDate(QDate(2011, 11, 25));
    elige(v.CmbHoraEvento, QStringLiteral("17:30"));
    v.OptUrgente->setChecked(true);
    elige(v.CmbPrefijo1, QStringLiteral("a la"));
    elige(v.CmbPrefijo3, QStringLiteral("el"));
    v.CmbIndicacion->setCurrentIndex(0);
    for (const QString& caja : cajas)
        escribe(v.findChild<QWidget*>(caja.section(u'=', 0, 0)),
                caja.section(u'=', 0, 0) + u' ' + conAcentos);
}

// Everything the user can see and change, to tell whether anything changed.
QStringList estado(const QWidget& v) {
    QStringList s;
    for (const QWidget* w : v.findChildren<QWidget*>())
        for (const char* p : {"text", "plainText", "date", "currentIndex", "currentText", "count", "checked"})
            s << w->property(p).toString();
    for (const QWidget* w : v.findChildren<QWidget*>())
        s << QString::number(w->isHidden());
    return s;
}

} // namespace

class TstFrmRegistrarInvitacion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The checks run in their order, each with its message, tab and focus;
    // blanks pass, and nothing reaches the server until all are met. Only
    // the calendar day of the event counts, whatever the time of day.
    void ordenDeLasComprobaciones_data() {
        QTest::addColumn<QTime>("hora");
        QTest::newRow("00:00:30") << QTime(0, 0, 30);
        QTest::newRow("23:59:30") << QTime(23, 59, 30);
    }
    void ordenDeLasComprobaciones() {
        QFETCH(QTime, hora);
        Ventana v(Motor::SQLite, momentoDePrueba(hora));
        FrmRegistrarInvitacion& w = *v.ventana;
        QVERIFY(v.activa);
        // Ctrl+Tab turns the page from any control, the date picker included.
        QVERIFY(tieneElFoco(w.DTPFechaRecepcion));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY(w.TabInvitacion->currentIndex() == 1 && tieneElFoco(w.CmbIndicacion));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
        QVERIFY(w.TabInvitacion->currentIndex() == 0 && tieneElFoco(w.DTPFechaRecepcion));
        w.DTPFechaEvento->setDate(QDate(2011, 11, 17));
        const struct {
            const char* mensaje;
            int pestana;
            QWidget* control;
            QVariant bien = QStringLiteral(" ");
        } pasos[] = {
            // clang-format off
            {"Debe proporcionar una fecha de hoy en adelante. Verifique :(", 0, w.DTPFechaEvento, QDate(2011, 11, 18)},
            {"Debe seleccionar la hora del evento. Verifique :(", 0, w.CmbHoraEvento, "SinHr"},
            {"Debe seleccionar el prefijo que describe el evento. Verifique :(", 0, w.CmbPrefijo1, "al"},
            {"Debe proporcionar una descripción del evento. Verifique :(", 0, w.TxtDescripcion},
            {"Debe seleccionar el prefijo de la ubicación del evento. Verifique :(", 0, w.CmbPrefijo3, "la"},
            {"Debe proporcionar una la ubicación del Evento. Verifique :(", 0, w.TxtUbicacionEvento},
            {"Debe proporcionar el nombre de quien invita al evento. Verifique :(", 0, w.TxtQuienInvita},
            {"Debe seleccionar la indicación en el apartado del representante. Verifique :(", 1, w.CmbIndicacion, 2},
            {"Debe proporcionar el nombre del titular que designará un resposable para el evento. Verifique :(", 1, w.TxtTitularDelArea},
            {"Debe proporcionar el cargo del titular que designará un resposable para el evento. Verifique :(", 1, w.TxtCargoTitularDelArea},
            // clang-format on
        };
        for (const auto& paso : pasos) {
            w.TabInvitacion->setCurrentIndex(1 - paso.pestana);
            QCOMPARE(v.pulsa(w.CmdGuardar), QStringList{QString::fromUtf8(paso.mensaje)});
            QCOMPARE(v.e.caja.ultima().icono, Caja::Icono::Critico);
            QCOMPARE(w.TabInvitacion->currentIndex(), paso.pestana);
            QVERIFY2(tieneElFoco(paso.control), paso.mensaje);
            QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
            pon(paso.control, paso.bien);
        }

        // After the window's own checks, a reception after today is refused
        // (the date named by its caption); today passes.
        w.TxtRepresentante->setText(QStringLiteral("   "));
        w.DTPFechaRecepcion->setDate(QDate(2011, 11, 19));
        w.TabInvitacion->setCurrentIndex(1);
        QCOMPARE(
            v.pulsa(w.CmdGuardar, {Caja::Si}),
            QStringList({preguntaDelRepresentante,
                         u"La fecha \"Se recibió el día\" no puede ser posterior a hoy. Verifique :("_s}));
        QCOMPARE(w.TabInvitacion->currentIndex(), 0);
        QVERIFY(tieneElFoco(w.DTPFechaRecepcion));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
        w.DTPFechaRecepcion->setDate(QDate(2011, 11, 18));

        // Then an event date beyond the years the office sets asks, "No" first; "NO" goes back to it.
        w.DTPFechaEvento->setDate(QDate(2022, 1, 10));
        w.TxtRepresentante->setText(QStringLiteral("   "));
        const QStringList preguntas = v.pulsa(w.CmdGuardar, {Caja::Si, Caja::No});
        QCOMPARE(preguntas.size(), 2);
        QVERIFY2(
            preguntas.at(1).endsWith(u"La fecha del evento, 10/01/2022, está fuera de los años en que la "
                                     u"oficina registra eventos sin preguntar (de 2001 a 2021).\r\r¿Desea "
                                     u"continuar?"_s),
            qPrintable(preguntas.at(1)));
        QCOMPARE(v.e.caja.ultima().porDefecto, Caja::No);
        QVERIFY(tieneElFoco(w.DTPFechaEvento));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
        w.DTPFechaEvento->setDate(QDate(2011, 11, 18));

        // A representative of blanks: "NO" goes back to the name, "SI" saves it unconfirmed.
        w.TxtRepresentante->setText(QStringLiteral("   "));
        w.TabInvitacion->setCurrentIndex(0);
        QCOMPARE(v.pulsa(w.CmdGuardar, {Caja::No}), QStringList{preguntaDelRepresentante});
        QCOMPARE(w.TabInvitacion->currentIndex(), 1);
        QVERIFY(tieneElFoco(w.TxtRepresentante));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
        v.pulsa(w.CmdGuardar, {Caja::Si});
        QCOMPARE(
            v.columnas(1, "Estatus,Representante,Hora,Descripcion,Ubicacion,Suscriptor,Titular,Caracter"),
            QStringList({"SINCONFIRMAR", "   ", "SinHr", " ", " ", " ", " ", "Normal"}));
    }

    // What the server holds afterwards, field by field; the window is ready for the next.
    void guardaYLee_data() { agregaMotores(); }
    void guardaYLee() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmRegistrarInvitacion& w = *v.ventana;
        llenaValida(w);
        elige(w.CmbPrefijo2, QStringLiteral("del"));
        QCOMPARE(w.TxtIndicacion->text(), w.CmbIndicacion->currentText());
        const QString indicacion = w.CmbIndicacion->currentText();
        // The representative has an event of the register half an hour before, typed in other case.
        EventoDePrueba antes;
        antes.fecha = QDateTime(QDate(2011, 11, 25), QTime(17, 0));
        antes.hora = QStringLiteral("17:00");
        antes.nombre = (QStringLiteral("TxtRepresentante ") + conAcentos).toUpper();
        RegistroDeEventos::inserta(v.e.base.taloren(), antes);
        const QStringList pregunta = v.pulsa(w.CmdGuardar, {Caja::No});
        QVERIFY2(pregunta.size() == 1 &&
                     pregunta.constFirst().contains(
                         QStringLiteral("ya tiene otro compromiso el 25/11/2011 a menos de 90 minutos de "
                                        "éste:\r\rEvento 1/2011, 17:00, Evento, Palacio de Gobierno")),
                 qPrintable(pregunta.join(QLatin1Char('|'))));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
        QCOMPARE(v.pulsa(w.CmdGuardar, {Caja::Si}), pregunta);
        const Recordset fila = filaGuardada(v.kelmar(), 1);
        for (const QString& caja : cajas)
            QCOMPARE(fila.texto(0, caja.section(u'=', 1)), caja.section(u'=', 0, 0) + u' ' + conAcentos);
        // The Secretary's invitations keep no representative's prefix.
        QCOMPARE(v.columnas(1, "Hora,Caracter,Indicacion,RepresentaA,Estatus,Prefijo1,Prefijo2,Prefijo3,"
                               "UsrCaptura,UsrModif"),
                 QStringList(
                     {"17:30", "Urgente", indicacion, "Srio", "CONFIRMADA", "a la", "", "el", "lupita", ""}));
        QCOMPARE(v.columnas(1, "FechaRecepcion,FechaEvento,FechaCaptura"),
                 QStringList({"2011-11-16 00:00:00", "2011-11-25 00:00:00", "2011-11-18 10:00:00"}));

        QCOMPARE(w.LblMensajeAUsuario->text(),
                 QStringLiteral("Los datos han sido almacenados. Folio de la última invitación: 1"));
        // Cleared for the next one.
        QCOMPARE(w.CmbHoraEvento->currentIndex() + w.CmbIndicacion->currentIndex(), -2);
        QVERIFY(w.TxtDescripcion->text().isEmpty() && w.TxtRepresentante->text().isEmpty());
        QVERIFY(w.OptNormal->isChecked() && tieneElFoco(w.DTPFechaRecepcion));
    }

    // For the Governor the indication and the area head are not kept; a
    // named representative needs the wording's prefix, an empty one asks.
    // Two registrations in a row get consecutive folios.
    void gobernador() {
        Ventana v;
        FrmRegistrarInvitacion& w = *v.ventana;
        const auto llena = [&](const QString& representante) {
            llenaValida(w);
            w.OptGob->setChecked(true);
            w.TxtRepresentante->setText(representante);
        };
        llena({});
        // The wording and its prefix instead of the indication and the head.
        QVERIFY(!w.CmbPrefijo2->isHidden() && w.FraTitularDelArea->isHidden() && w.CmbIndicacion->isHidden());
        QCOMPARE(v.pulsa(w.CmdGuardar, {Caja::Si}), QStringList{preguntaDelRepresentante});
        llena(QStringLiteral("Raúl Benítez"));
        QCOMPARE(v.pulsa(w.CmdGuardar),
                 QStringList{
                     "Debe seleccionar seleccionar el prefijo del representante del evento. Verifique :("});
        QVERIFY(tieneElFoco(w.CmbPrefijo2));
        elige(w.CmbPrefijo2, QStringLiteral("de"));
        w.CmdGuardar->click();
        QVERIFY(w.LblMensajeAUsuario->text().endsWith(QStringLiteral("invitación: 2")));
        const char* columnas = "RepresentaA,Estatus,Prefijo2,Indicacion,Titular,CargoTitular,TelTitular";
        QCOMPARE(v.columnas(1, columnas) + v.columnas(2, columnas),
                 QStringList(
                     {"Gob", "SINCONFIRMAR", "", "", "", "", "", "Gob", "CONFIRMADA", "de", "", "", "", ""}));
    }

    // "NO" to the clearing changes nothing; "SI" clears all but the
    // representative's prefix and the last save's message.
    void limpiar() {
        Ventana v;
        FrmRegistrarInvitacion& w = *v.ventana;
        llenaValida(w);
        w.OptGob->setChecked(true);
        elige(w.CmbPrefijo2, QStringLiteral("de"));
        w.LblMensajeAUsuario->setText(QStringLiteral("Folio de la última invitación: 7"));
        w.TabInvitacion->setCurrentIndex(1);
        const QStringList antes = estado(w);
        QCOMPARE(v.pulsa(w.CmdLimpiar, {Caja::No}),
                 QStringList{
                     QStringLiteral("Lupita\r\rLos datos que ha capturado no se almacenarán y los perderá, "
                                    "¿Desea continuar?\r\r¿Desea continuar?")});
        QCOMPARE(estado(w), antes);

        v.pulsa(w.CmdLimpiar, {Caja::Si});
        QVERIFY(w.OptSrio->isChecked() && w.OptNormal->isChecked() && w.CmbPrefijo2->isHidden());
        QCOMPARE(w.CmbPrefijo2->currentText() + w.LblMensajeAUsuario->text(),
                 QStringLiteral("deFolio de la última invitación: 7"));
        QCOMPARE(w.TxtDescripcion->text() + w.TxtRepresentante->text() + w.CmbHoraEvento->currentText(),
                 QString());
        QVERIFY(tieneElFoco(w.DTPFechaRecepcion));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
    }

    // A failing server, a table gone then the connection lost: its error in
    // the error window, the typed data kept, nothing written; once it is
    // back, the same data saves with folio 1.
    void errorDelServidor_data() { agregaMotores(); }
    void errorDelServidor() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmRegistrarInvitacion& w = *v.ventana;
        llenaValida(w);
        const QStringList antes = estado(w);
        QStringList numeros;
        v.e.alMostrar = [&](QDialog& d) {
            auto& errores = static_cast<FrmErrores&>(d);
            QVERIFY(!errores.LblDescripDelError->text().isEmpty());
            numeros << errores.LblNumDelError->text();
        };
        v.kelmar().ejecuta(QStringLiteral("alter table invitacion rename to invitacion_aparte"));
        w.CmdGuardar->click();
        QCOMPARE(estado(w), antes);
        v.kelmar().ejecuta(QStringLiteral("alter table invitacion_aparte rename to invitacion"));
        Modulo::kelmar().cierra();
        w.CmdGuardar->click();
        QCOMPARE(numeros, QStringList({QString::number(CodigoDeError::Sentencia),
                                       QString::number(CodigoDeError::Conexion)}));
        QCOMPARE(estado(w), antes);

        Modulo::EstableceConexion(Catalogo::Kelmar, v.e.base.abre(Catalogo::Kelmar));
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);
        QVERIFY(v.kelmar().ejecuta(QStringLiteral("select * from folio_invitacion")).estaVacio());
        w.CmdGuardar->click();
        QCOMPARE(numeros.size(), 2);
        QCOMPARE(filaGuardada(v.kelmar(), 1).filas(), 1);
    }

    // Another station holds the folio counter: the save gives up after the lock time-out and says so in
    // the error window, every box as typed, nothing stored; once it is released, saving again stores it.
    void bloqueadoPorOtraEstacion() {
        EXIGE_POSTGRES();
        Ventana v(Motor::PostgreSQL);
        FrmRegistrarInvitacion& w = *v.ventana;
        AjustesDeConexion breves = v.e.base.ajustes();
        breves.segundosDeBloqueo = 1;
        Modulo::EstableceConexion(Catalogo::Kelmar, Servidor::abre(Catalogo::Kelmar, breves));
        llenaValida(w);
        const QStringList antes = estado(w);
        QStringList reportados;
        v.e.alMostrar = [&](QDialog& d) {
            for (const char* nombre : {"LblNumDelError", "LblDescripDelError", "LblDatosAdicDelError"})
                reportados << d.findChild<QLabel*>(QLatin1String(nombre))->text();
        };
        auto otra = v.e.base.abre(Catalogo::Kelmar);
        otra->enTransaccion([&] {
            otra->ejecuta(u"lock table folio_invitacion in access exclusive mode"_s);
            w.CmdGuardar->click();
        });
        QCOMPARE(reportados.size(), 3);
        QCOMPARE(reportados[0], QString::number(CodigoDeError::TiempoAgotado));
        QVERIFY2(reportados[1].startsWith(u"El servidor no respondió en 1 segundo: "_s) &&
                     reportados[1].contains(u"Lo que escribió se conserva"_s),
                 qPrintable(reportados[1]));
        QVERIFY2(reportados[2].contains(u"\nDetalle: "_s), qPrintable(reportados[2]));
        QCOMPARE(estado(w), antes);
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);

        w.CmdGuardar->click();
        QCOMPARE(reportados.size(), 3);
        QCOMPARE(filaGuardada(v.kelmar(), 1).filas(), 1);
    }

    // Closing asks only while something typed is not stored, "NO" first and
    // keeping everything; the close button, the close box and Alt+F4 alike.
    void cierre_data() { agregaMotores(); }
    void cierre() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmRegistrarInvitacion& w = *v.ventana;
        const QStringList pregunta{QStringLiteral("Lupita\r\r¿Desea cerrar sin guardar los cambios?")};
        QCOMPARE(v.pulsa(w.CmdCerrar), QStringList());
        QVERIFY(!w.isVisible());

        w.show();
        llenaValida(w);
        const QStringList tecleado = estado(w);
        QCOMPARE(v.pulsa(w.CmdCerrar, {Caja::No}), pregunta);
        QCOMPARE(v.e.caja.ultima().porDefecto, Caja::No);
        v.e.caja.responde(Caja::No);
        QTest::keyClick(&w, Qt::Key_F4, Qt::AltModifier);
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(estado(w), tecleado);

        v.e.caja.olvida();
        w.CmdGuardar->click();
        QCOMPARE(filaGuardada(v.kelmar(), 1).filas(), 1);
        QCOMPARE(v.pulsa(w.CmdCerrar), QStringList());
        QVERIFY(!w.isVisible());

        w.show();
        escribe(w.TxtObservacion, QStringLiteral("a medias"));
        QCOMPARE(v.pulsa(w.CmdCerrar, {Caja::Si}), pregunta);
        QVERIFY(!w.isVisible());
    }

    // Each menu item of the invitations and their reports opens its window
    // modally, loaded afresh at every opening; in the invitation windows
    // Escape keeps the typed data; the close button closes (once the typed
    // data is given up).
    void menu() {
        EntornoDeVentanas e;
        e.conecta();
        MDITaloren mdi;
        QStringList vistos;
        e.alMostrar = [&](QDialog& d) {
            const bool reportes = d.objectName() == QLatin1String("FrmReportes");
            auto* caja = d.findChild<QWidget*>(QLatin1String(reportes ? "TxtTextoEvento" : "TxtDescripcion"));
            const char* texto = caja->inherits("QLineEdit") ? "text" : "plainText";
            vistos << caja->property(texto).toString();
            caja->setProperty(texto, QStringLiteral("tecleado"));
            QTest::keyClick(&d, Qt::Key_Escape);
            QCOMPARE(d.isVisible(), !reportes);
            if (!reportes)
                e.caja.responde(CajaDeMensajes::Si);
            d.findChild<BotonDeComando*>(QStringLiteral("CmdCerrar"))->click();
            QVERIFY(!d.isVisible());
        };
        for (QAction* menu :
             {mdi.MnuRegistrarInvitaciones, mdi.MnuRegistrarInvitaciones, mdi.MnuModificarInvit,
              mdi.MnuModificarInvit, mdi.MnuReportesInvit, mdi.MnuReportesInvit})
            menu->trigger();
        QCOMPARE(e.mostradas,
                 QStringList({"FrmRegistrarInvitacion", "FrmRegistrarInvitacion", "FrmModificarInvitacion",
                              "FrmModificarInvitacion", "FrmReportes", "FrmReportes"}));
        QCOMPARE(vistos, QStringList(6));
    }
};

QTEST_MAIN(TstFrmRegistrarInvitacion)
#include "tst_frmregistrarinvitacion.moc"
