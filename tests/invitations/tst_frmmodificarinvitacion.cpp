#include "common/FrmErrores.h"
#include "controls/BotonesDeComando.h"
#include "controls/CmbClaveDescrip.h"
#include "controls/TextoMultilinea.h"
#include "invitations/ApoyoDeInvitaciones.h"
#include "invitations/FrmModificarInvitacion.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using Caja = CajaDeMensajes;
using Ventana = EnVentana<FrmModificarInvitacion>;

namespace {

const QString preguntaDelRepresentante =
    QStringLiteral("Lupita\r\rNo capturó el nombre del representante, la invitación será marcada como NO "
                   "CONFIRMADA y podrá entrar al módulo de correcciones para confirmarla más tarde.\r\r"
                   "¿Desea continuar?");

void consulta(FrmModificarInvitacion& v, int folio, const QString& anio = QStringLiteral("2011")) {
    v.CmbAnio->estableceText(anio);
    v.TxtFolio->setText(QString::number(folio));
    v.CmdConsultarFolio->click();
}

QString columna(Conexion& kelmar, int folio, const char* nombre) {
    return filaGuardada(kelmar, 2011, folio).texto(0, QString::fromLatin1(nombre));
}

} // namespace

class TstFrmModificarInvitacion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An unconfirmed invitation found, its representative named and saved:
    // confirmed, and the modifier recorded and shown.
    void confirmaUnaInvitacion_data() { agregaMotores(); }
    void confirmaUnaInvitacion() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmModificarInvitacion& w = *v.ventana;
        QVERIFY(v.activa);
        QCOMPARE(v.foco(), QStringLiteral("TxtFolio"));
        QVERIFY(!w.CmdGuardar->Enabled());
        const QString conAcentos = QStringLiteral("Ñandú O'Higgins «Ángel»");
        const int folio = registraInvitacion(v.kelmar(), {{QStringLiteral("@Descripcion"), conAcentos},
                                                          {QStringLiteral("@Observacion"), conAcentos}});
        consulta(w, folio);
        QVERIFY(v.e.caja.cajas().isEmpty());
        QVERIFY(w.CmdGuardar->Enabled());
        QCOMPARE(w.LblEstatus->text(), QStringLiteral("SIN CONFIRMAR, Falta representante."));
        QCOMPARE(w.LblUsrCapturo->text(), QStringLiteral("memo"));
        QCOMPARE(w.LblUsrModifico->text(), QStringLiteral("Sin Modificación"));
        QCOMPARE(w.LblEstatus1->text(), QStringLiteral("Próximo evento"));
        QCOMPARE(w.DTPFechaEvento->date(), QDate(2011, 11, 25));
        QCOMPARE(w.DTPFechaRecepcion->date(), QDate(2011, 11, 17));
        QCOMPARE(w.CmbHoraEvento->currentText(), QStringLiteral("10:30"));
        QCOMPARE(w.CmbPrefijo1->currentText() + w.CmbPrefijo3->currentText(), QStringLiteral("a lael"));
        QCOMPARE(w.CmbPrefijo2->currentIndex(), -1);
        QVERIFY(w.OptSrio->isChecked() && w.OptNormal->isChecked());
        QCOMPARE(w.TxtDescripcion->text(), conAcentos);
        QCOMPARE(w.TxtIndicacion->text(), QStringLiteral("Atender y enviar tarjeta informativa"));
        QCOMPARE(w.TxtTitularDelArea->text(), QStringLiteral("Arturo Flores Pedraza"));

        w.TxtRepresentante->setText(QStringLiteral("Raúl Benítez Zamora"));
        w.TxtCargoRepresentante->setText(QStringLiteral("Jefe de la Unidad de Informática"));
        w.TxtIndicacion->setText(QStringLiteral("Asistir y tomar nota ('acuerdos')"));
        w.CmdGuardar->click();
        QVERIFY2(v.e.caja.cajas().isEmpty(), qPrintable(v.e.caja.textos().join(QLatin1Char('|'))));
        QCOMPARE(w.LblMensajeAUsuario->text(), QStringLiteral("Los datos han sido actualizados."));
        QCOMPARE(w.LblUsrModifico->text(), QStringLiteral("lupita"));
        QVERIFY(!w.CmdGuardar->Enabled());
        // The status shown is the look-up's until the next one.
        QCOMPARE(w.LblEstatus->text(), QStringLiteral("SIN CONFIRMAR, Falta representante."));
        QCOMPARE(columna(v.kelmar(), folio, "Estatus"), QStringLiteral("CONFIRMADA"));
        QCOMPARE(columna(v.kelmar(), folio, "Representante"), QStringLiteral("Raúl Benítez Zamora"));
        QCOMPARE(columna(v.kelmar(), folio, "Indicacion"),
                 QStringLiteral("Asistir y tomar nota ('acuerdos')"));
        QCOMPARE(columna(v.kelmar(), folio, "UsrModif"), QStringLiteral("lupita"));
        QCOMPARE(columna(v.kelmar(), folio, "UsrCaptura"), QStringLiteral("memo"));
        QCOMPARE(columna(v.kelmar(), folio, "Observacion"), conAcentos);

        consulta(w, folio);
        QCOMPARE(w.LblEstatus->text(), QStringLiteral("CONFIRMADA"));
        QCOMPARE(w.LblUsrModifico->text(), QStringLiteral("lupita"));
        QVERIFY(w.CmdGuardar->Enabled());
    }

    // When the event falls, by its calendar day against today's, whatever the time.
    void cuandoEsElEvento_data() {
        QTest::addColumn<QTime>("hora");
        QTest::addColumn<int>("dias");
        QTest::addColumn<QString>("texto");
        for (const QTime& hora : {QTime(0, 0, 30), QTime(23, 59, 30)}) {
            const QByteArray h = hora.toString(QStringLiteral(" HH:mm")).toLatin1();
            QTest::newRow(QByteArray("hoy" + h).constData())
                << hora << 0 << QStringLiteral("Evento para hoy");
            QTest::newRow(QByteArray("ayer" + h).constData())
                << hora << -1 << QStringLiteral("Evento pasado");
            QTest::newRow(QByteArray("mañana" + h).constData())
                << hora << 1 << QStringLiteral("Próximo evento");
        }
    }
    void cuandoEsElEvento() {
        QFETCH(QTime, hora);
        QFETCH(int, dias);
        QFETCH(QString, texto);
        Ventana v(Motor::SQLite, momentoDePrueba(hora));
        const int folio = registraInvitacion(
            v.kelmar(), {{QStringLiteral("@FechaEvento"), QDate(2011, 11, 18).addDays(dias)}});
        consulta(*v.ventana, folio);
        QCOMPARE(v->LblEstatus1->text(), texto);
    }

    // A folio that is not there: the message, the invitation on screen kept
    // but no longer savable; no folio or no year: their message.
    void noEncontrada() {
        Ventana v;
        FrmModificarInvitacion& w = *v.ventana;
        const int folio = registraInvitacion(v.kelmar());
        consulta(w, folio);
        consulta(w, 77);
        QCOMPARE(v.e.caja.textos(),
                 QStringList{QStringLiteral("No existe el folio 77 del año 2011 verifique. :(")});
        QCOMPARE(w.TxtDescripcion->text(), QStringLiteral("Informe de labores"));
        QCOMPARE(w.LblUsrCapturo->text(), QStringLiteral("memo"));
        QVERIFY(!w.CmdGuardar->Enabled());
        // Back to the one that is there: savable again.
        consulta(w, folio);
        QVERIFY(w.CmdGuardar->Enabled());

        const QString falta = QStringLiteral("Debe proporcionar un año y un folio. Verifique :(");
        for (const auto& [anio, folioEscrito] :
             {std::pair{QStringLiteral("2011"), QString()}, std::pair{QString(), QStringLiteral("1")},
              std::pair{QStringLiteral("dos mil"), QStringLiteral("1")}}) {
            v.e.caja.olvida();
            w.CmbAnio->estableceText(anio);
            w.TxtFolio->setText(folioEscrito);
            w.CmdConsultarFolio->click();
            QCOMPARE(v.e.caja.textos(), QStringList{falta});
        }
    }

    // The save always goes to the invitation the last look-up found: a year
    // or folio changed since makes it unavailable until a new look-up.
    void identidad() {
        Ventana v;
        FrmModificarInvitacion& w = *v.ventana;
        registraInvitacion(v.kelmar());
        registraInvitacion(v.kelmar(), {{QStringLiteral("@Descripcion"), QStringLiteral("Segunda")}});
        consulta(w, 1);
        w.TxtFolio->setText(QStringLiteral("2"));
        QVERIFY(!w.CmdGuardar->Enabled());
        w.TxtFolio->setText(QStringLiteral("1"));
        QVERIFY(!w.CmdGuardar->Enabled());
        // Even called directly, the save writes nothing over either invitation.
        w.TxtRepresentante->setText(QStringLiteral("Intruso"));
        w.TxtFolio->setText(QStringLiteral("2"));
        w.CmdGuardar_Click();
        QCOMPARE(columna(v.kelmar(), 1, "Representante") + columna(v.kelmar(), 2, "Representante"),
                 QString());

        consulta(w, 1);
        QVERIFY(w.CmdGuardar->Enabled());
        w.CmbAnio->estableceText(QStringLiteral("2012"));
        QVERIFY(!w.CmdGuardar->Enabled());
        QCOMPARE(columna(v.kelmar(), 2, "Descripcion"), QStringLiteral("Segunda"));
        QVERIFY(v.e.caja.cajas().isEmpty());
    }

    // The update's checks in their order, with their tabs and focus; a past
    // event is asked about first.
    void comprobaciones() {
        Ventana v;
        FrmModificarInvitacion& w = *v.ventana;
        registraInvitacion(v.kelmar(), {{QStringLiteral("@FechaEvento"), QDate(2011, 11, 10)}});
        consulta(w, 1);
        QCOMPARE(w.LblEstatus1->text(), QStringLiteral("Evento pasado"));

        w.TabInvitacion->setCurrentIndex(1);
        v.e.caja.responde(Caja::No);
        w.CmdGuardar->click();
        QCOMPARE(v.e.caja.textos(), QStringList{QStringLiteral("Lupita\r\rLa fecha del evento ya pasó.\r\r"
                                                               "¿Desea continuar con la actualización?")});
        QCOMPARE(w.TabInvitacion->currentIndex(), 0);
        QCOMPARE(v.foco(), QStringLiteral("DTPFechaEvento"));
        QCOMPARE(columna(v.kelmar(), 1, "UsrModif"), QString());

        struct Paso {
            const char* mensaje;
            int pestana;
            QWidget* foco;
            std::function<void()> rompe;
            std::function<void()> corrige;
        };
        const QString indicacion = w.TxtIndicacion->text();
        const QList<Paso> pasos{
            {"Debe proporcionar una descripción del evento. Verifique :(", 0, w.TxtDescripcion,
             [&] { w.TxtDescripcion->clear(); }, [&] { w.TxtDescripcion->setText(QStringLiteral(" ")); }},
            {"Debe proporcionar una la ubicación del Evento. Verifique :(", 0, w.TxtUbicacionEvento,
             [&] { w.TxtUbicacionEvento->clear(); },
             [&] { w.TxtUbicacionEvento->setText(QStringLiteral("x")); }},
            {"Debe proporcionar el nombre de quien invita al evento. Verifique :(", 0, w.TxtQuienInvita,
             [&] { w.TxtQuienInvita->clear(); }, [&] { w.TxtQuienInvita->setText(QStringLiteral("x")); }},
            {"Debe proporcionar la indicación en el apartado del representante. Verifique :(", 1,
             w.TxtIndicacion, [&] { w.TxtIndicacion->clear(); },
             [&] { w.TxtIndicacion->setText(indicacion); }},
            // An indication longer than the record holds is refused, never cut.
            {"La indicación tiene 201 caracteres y no debe pasar de 200. Verifique :(", 1, w.TxtIndicacion,
             [&] { w.TxtIndicacion->setText(QString(201, QLatin1Char('x'))); },
             [&] { w.TxtIndicacion->setText(QString(200, QLatin1Char('x'))); }},
            {"Debe proporcionar el nombre del titular que designará un responsable para el evento. Verifique "
             ":(",
             1, w.TxtTitularDelArea, [&] { w.TxtTitularDelArea->clear(); },
             [&] { w.TxtTitularDelArea->setText(QStringLiteral("x")); }},
            {"Debe proporcionar el cargo del titular que designará un resposable para el evento. Verifique "
             ":(",
             1, w.TxtCargoTitularDelArea, [&] { w.TxtCargoTitularDelArea->clear(); },
             [&] { w.TxtCargoTitularDelArea->setText(QStringLiteral("x")); }},
        };
        w.TxtRepresentante->setText(QStringLiteral("  "));
        for (const Paso& paso : pasos) {
            paso.rompe();
            v.e.caja.olvida();
            v.e.caja.responde(Caja::Si);
            w.TabInvitacion->setCurrentIndex(1 - paso.pestana);
            w.CmdGuardar->click();
            QCOMPARE(v.e.caja.textos().size(), 2);
            QCOMPARE(v.e.caja.textos().constLast(), QString::fromUtf8(paso.mensaje));
            QCOMPARE(w.TabInvitacion->currentIndex(), paso.pestana);
            QVERIFY2(paso.foco->isAncestorOf(QApplication::focusWidget()) ||
                         QApplication::focusWidget() == paso.foco,
                     paso.mensaje);
            QCOMPARE(columna(v.kelmar(), 1, "UsrModif"), QString());
            paso.corrige();
        }
        // A representative of blanks counts as named here.
        v.e.caja.olvida();
        v.e.caja.responde(Caja::Si);
        w.CmdGuardar->click();
        QCOMPARE(v.e.caja.cajas().size(), 1);
        QCOMPARE(columna(v.kelmar(), 1, "Estatus"), QStringLiteral("CONFIRMADA"));
        QCOMPARE(columna(v.kelmar(), 1, "Representante"), QStringLiteral("  "));
        QCOMPARE(columna(v.kelmar(), 1, "Indicacion"), QString(200, QLatin1Char('x')));
    }

    // For the Governor the update sends no indication and no area head; an
    // empty representative asks, and "NO" saves nothing.
    void gobernador() {
        Ventana v;
        FrmModificarInvitacion& w = *v.ventana;
        registraInvitacion(v.kelmar(), {{QStringLiteral("@Representante"), QStringLiteral("Raúl Benítez")},
                                        {QStringLiteral("@Estatus"), QStringLiteral("CONFIRMADA")}});
        consulta(w, 1);
        w.OptGob->setChecked(true);
        QVERIFY(w.FraTitularDelArea->isHidden() && w.TxtIndicacion->isHidden() && !w.CmbPrefijo2->isHidden());
        // Arranging changes no value.
        QCOMPARE(w.TxtTitularDelArea->text(), QStringLiteral("Arturo Flores Pedraza"));
        w.CmdGuardar->click();
        QCOMPARE(v.e.caja.textos(),
                 QStringList{QStringLiteral(
                     "Debe seleccionar seleccionar el prefijo del representante del evento. Verifique. :(")});
        QCOMPARE(v.foco(), QStringLiteral("CmbPrefijo2"));

        w.TxtRepresentante->clear();
        w.TxtCargoRepresentante->setText(QStringLiteral("cargo"));
        v.e.caja.olvida();
        v.e.caja.responde(Caja::No);
        w.CmdGuardar->click();
        QCOMPARE(v.e.caja.textos(), QStringList{preguntaDelRepresentante});
        QCOMPARE(v.foco(), QStringLiteral("TxtRepresentante"));
        QCOMPARE(columna(v.kelmar(), 1, "UsrModif"), QString());

        w.TxtRepresentante->setText(QStringLiteral("Lic. Patricia Ocampo"));
        elige(w.CmbPrefijo2, QStringLiteral("del"));
        w.CmdGuardar->click();
        const Recordset fila = filaGuardada(v.kelmar(), 2011, 1);
        QStringList leido;
        for (const char* c :
             {"RepresentaA", "Prefijo2", "Indicacion", "Titular", "CargoTitular", "TelTitular"})
            leido << fila.texto(0, QString::fromLatin1(c));
        QCOMPARE(leido, QStringList({QStringLiteral("Gob"), QStringLiteral("del"), QString(), QString(),
                                     QString(), QString()}));
        QVERIFY(w.TxtTitularDelArea->text().isEmpty() && w.TxtIndicacion->text().isEmpty());
    }

    // Failing devices: a look-up or an update the server cannot answer shows
    // the error window; the window stays usable and nothing is written.
    void errores_data() { agregaMotores(); }
    void errores() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmModificarInvitacion& w = *v.ventana;
        registraInvitacion(v.kelmar());
        QStringList numeros;
        v.e.alMostrar = [&](QDialog& d) { numeros << static_cast<FrmErrores&>(d).LblNumDelError->text(); };

        v.kelmar().ejecuta(QStringLiteral("alter table invitacion rename to invitacion_aparte"));
        consulta(w, 1);
        QCOMPARE(numeros, QStringList{QString::number(CodigoDeError::Sentencia)});
        QVERIFY(!w.CmdGuardar->Enabled());
        v.kelmar().ejecuta(QStringLiteral("alter table invitacion_aparte rename to invitacion"));
        consulta(w, 1);
        QVERIFY(w.CmdGuardar->Enabled());

        w.TxtRepresentante->setText(QStringLiteral("Raúl Benítez"));
        Modulo::kelmar().cierra();
        w.CmdGuardar->click();
        QCOMPARE(numeros.size(), 2);
        QCOMPARE(numeros.constLast(), QString::number(CodigoDeError::Conexion));
        QVERIFY(w.CmdGuardar->Enabled());
        QCOMPARE(w.LblMensajeAUsuario->text(), QString());
        QCOMPARE(columna(v.kelmar(), 1, "Representante"), QString());

        Modulo::AbreConexion(Catalogo::Kelmar, v.e.base.ajustes());
        w.CmdGuardar->click();
        QCOMPARE(numeros.size(), 2);
        QCOMPARE(columna(v.kelmar(), 1, "Representante"), QStringLiteral("Raúl Benítez"));
    }

    // Nulls read as empty texts; an hour or prefix its list lacks is shown
    // all the same, and goes when the next invitation is shown; data shown in
    // labels is never read as markup.
    void valoresRaros_data() { agregaMotores(); }
    void valoresRaros() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmModificarInvitacion& w = *v.ventana;
        registraInvitacion(v.kelmar(), {{QStringLiteral("@UsrCaptura"), QStringLiteral("<b>x</b>")},
                                        {QStringLiteral("@Hora"), QStringLiteral("07:15")},
                                        {QStringLiteral("@Prefijo1"), QStringLiteral("unos")}});
        registraInvitacion(v.kelmar());
        consulta(w, 1);
        QCOMPARE(w.CmbHoraEvento->currentText(), QStringLiteral("07:15"));
        QCOMPARE(w.CmbPrefijo1->currentText(), QStringLiteral("unos"));
        QCOMPARE(w.LblUsrCapturo->text(), QStringLiteral("<b>x</b>"));
        QCOMPARE(w.LblUsrCapturo->textFormat(), Qt::PlainText);
        consulta(w, 2);
        QCOMPARE(w.CmbHoraEvento->count(), 39);
        QCOMPARE(w.CmbHoraEvento->currentText(), QStringLiteral("10:30"));

        // An answer with nulls, as another server might give it.
        Conexion& k = v.kelmar();
        k.ejecuta(QStringLiteral("alter table invitacion rename to invitacion_real"));
        k.ejecuta(QStringLiteral(
            "create view invitacion as select Anio, Folio, FechaRecepcion, FechaEvento, null as Hora, "
            "Descripcion,"
            " Ubicacion, null as Suscriptor, null as CargoSuscriptor, TelSuscriptor, null as Representante,"
            " CargoRepresentante, TelRepresentante, Titular, CargoTitular, TelTitular, Caracter, null as "
            "Indicacion,"
            " RepresentaA, null as Observacion, Estatus, null as Prefijo1, Prefijo2, Prefijo3, UsrCaptura,"
            " null as UsrModif from invitacion_real"));
        w.TxtRepresentante->setText(QStringLiteral("antes"));
        consulta(w, 1);
        QCOMPARE(w.CmbHoraEvento->currentIndex(), -1);
        QCOMPARE(w.CmbPrefijo1->currentIndex(), -1);
        QCOMPARE(w.TxtQuienInvita->text() + w.TxtRepresentante->text() + w.TxtIndicacion->text() +
                     w.TxtObservacion->text(),
                 QString());
        QCOMPARE(w.LblUsrModifico->text(), QStringLiteral("Sin Modificación"));
        QVERIFY(w.CmdGuardar->Enabled());
    }

    // The years offered: the table's, every year with invitations and the
    // current one, whatever the table ends with.
    void anios() {
        RelojFijo reloj(momentoDePrueba());
        const Reloj::Sustituto enUso(reloj);
        EntornoDeVentanas e;
        e.conecta();
        e.base.kelmar().ejecuta(QStringLiteral("delete from Anio where Anio > 2009"));
        registraInvitacion(e.base.kelmar(), {{QStringLiteral("@Anio"), 2034}});
        FrmModificarInvitacion v;
        v.show();
        QStringList anios;
        for (int i = 0; i < v.CmbAnio->ListCount(); ++i)
            anios << v.CmbAnio->combo()->itemText(i);
        QCOMPARE(anios, QStringList({QStringLiteral("2008"), QStringLiteral("2009"), QStringLiteral("2011"),
                                     QStringLiteral("2034")}));
        QCOMPARE(v.CmbAnio->Text(), QStringLiteral("2011"));
        v.TxtFolio->setText(QStringLiteral("1"));
        v.CmbAnio->estableceText(QStringLiteral("2034"));
        v.CmdConsultarFolio->click();
        QVERIFY(e.caja.cajas().isEmpty());
        QVERIFY(v.CmdGuardar->Enabled());
    }
};

QTEST_MAIN(TstFrmModificarInvitacion)
#include "tst_frmmodificarinvitacion.moc"
