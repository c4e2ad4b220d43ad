#include "controls/ModeloDeRecordset.h"
#include "invitations/ApoyoDeInvitaciones.h"
#include "server/Invitaciones.h"
#include "support/ConflictoGuionado.h"
#include "support/EntornoDeDocumentos.h"

#include <QHeaderView>
#include <QTableView>
#include <QTableWidget>

using Caja = CajaDeMensajes;
using Ventana = EnVentana<FrmModificarInvitacion>;

namespace {

// An invitation of a week after the test's day, with the test's changes.
void guarda(Conexion& kelmar, int folio, const std::function<void(InvitacionDePrueba&)>& cambia = {}) {
    InvitacionDePrueba i;
    i.folio = folio;
    if (cambia)
        cambia(i);
    insertaInvitacion(kelmar, i);
}

void consulta(FrmModificarInvitacion& v, const QVariant& folio,
              const QString& anio = QStringLiteral("2011")) {
    v.CmbAnio->estableceText(anio);
    v.TxtFolio->setText(folio.toString());
    v.CmdConsultarFolio->click();
}

// The staff search and the catalogue lists are one piece of code in both
// windows: every case runs in each, the window named by the row.
void agregaVentanas() {
    QTest::addColumn<int>("backend");
    QTest::addColumn<bool>("registro");
    QTest::newRow("sqlite, registro") << int(Motor::SQLite) << true;
    QTest::newRow("postgresql, modificación") << int(Motor::PostgreSQL) << false;
}

#define EN_CADA_VENTANA(prueba, ...)                                                                         \
    QFETCH(bool, registro);                                                                                  \
    registro ? prueba<FrmRegistrarInvitacion>(__VA_ARGS__) : prueba<FrmModificarInvitacion>(__VA_ARGS__)

// F2 in a name box, as the user presses it.
void busca(VentanaDeInvitacion& v, QLineEdit* nombre, const QString& texto) {
    v.TabInvitacion->setCurrentIndex(1);
    nombre->setText(texto);
    nombre->setFocus();
    QTest::keyClick(nombre, Qt::Key_F2);
}

QStringList entradas(const QComboBox* lista) {
    QStringList r;
    for (int i = 0; i < lista->count(); ++i)
        r << lista->itemText(i);
    return r;
}

} // namespace

class TstFrmModificarInvitacion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An unconfirmed invitation found, its representative named and saved:
    // confirmed, the modifier recorded and shown, and every other field
    // written back as it was read. When the event falls, by its calendar day
    // against today's, whatever the time.
    void confirmaUnaInvitacion_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QTime>("hora");
        QTest::newRow("sqlite, 00:00:30") << int(Motor::SQLite) << QTime(0, 0, 30);
        QTest::newRow("postgresql, 23:59:30") << int(Motor::PostgreSQL) << QTime(23, 59, 30);
    }
    void confirmaUnaInvitacion() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QTime, hora);
        Ventana v(motor, momentoDePrueba(hora));
        FrmModificarInvitacion& w = *v.ventana;
        QVERIFY(v.activa);
        QVERIFY(tieneElFoco(w.TxtFolio));
        QVERIFY(!w.CmdGuardar->Enabled());
        guarda(v.kelmar(), 1, [&](InvitacionDePrueba& i) {
            i.descripcion = i.suscriptor = i.cargoRepresentante = i.observacion =
                QStringLiteral("Ñandú O'Higgins «Ángel»");
            i.usrCaptura = QStringLiteral("memo");
        });
        const Recordset antes = filaGuardada(v.kelmar(), 1);
        consulta(w, 1);
        QVERIFY(v.e.caja.cajas().isEmpty() && w.CmdGuardar->Enabled());
        QCOMPARE(QStringList({w.LblEstatus->text(), w.LblUsrCapturo->text(), w.LblUsrModifico->text()}),
                 QStringList({"SIN CONFIRMAR, Falta representante.", "memo", "Sin Modificación"}));

        w.TxtRepresentante->setText(QStringLiteral("Raúl Benítez Zamora"));
        QCOMPARE(v.pulsa(w.CmdGuardar), QStringList());
        QCOMPARE(w.LblMensajeAUsuario->text(), QStringLiteral("Los datos han sido actualizados."));
        QCOMPARE(w.LblUsrModifico->text(), QStringLiteral("lupita"));
        QVERIFY(!w.CmdGuardar->Enabled());
        const Recordset despues = filaGuardada(v.kelmar(), 1);
        QStringList cambiadas;
        for (const QString& columna : antes.nombresDeColumnas())
            if (despues.texto(0, columna) != antes.texto(0, columna))
                cambiadas << columna.toLower() + u'=' + despues.texto(0, columna);
        QCOMPARE(cambiadas,
                 QStringList({"representante=Raúl Benítez Zamora", "estatus=CONFIRMADA", "usrmodif=lupita",
                              "fechamodif=2011-11-18 " + hora.toString(u"HH:mm:ss"), "version=2"}));

        consulta(w, 1);
        QCOMPARE(w.LblEstatus->text() + w.LblUsrModifico->text(), QStringLiteral("CONFIRMADAlupita"));
        QVERIFY(w.CmdGuardar->Enabled());

        QStringList cuando;
        for (int dia : {17, 18, 19}) {
            guarda(v.kelmar(), dia, [&](InvitacionDePrueba& i) { i.fechaEvento = QDate(2011, 11, dia); });
            consulta(w, dia);
            cuando << w.LblEstatus1->text();
        }
        QCOMPARE(cuando, QStringList({"Evento pasado", "Evento para hoy", "Próximo evento"}));
    }

    // Closing asks only while a change is not stored: not after a look-up,
    // nor after a save, nor after a look-up that found nothing.
    void cierre_data() { agregaMotores(); }
    void cierre() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor);
        FrmModificarInvitacion& w = *v.ventana;
        const QStringList pregunta{QStringLiteral("Lupita\r\r¿Desea cerrar sin guardar los cambios?")};
        guarda(v.kelmar(), 1, [](InvitacionDePrueba& i) { i.representante = QStringLiteral("Ana"); });
        consulta(w, 1);
        QCOMPARE(v.pulsa(w.CmdCerrar), QStringList());
        QVERIFY(!w.isVisible());

        w.show();
        consulta(w, 1);
        escribe(w.TxtRepresentante, QStringLiteral("Beatriz"));
        QCOMPARE(v.pulsa(w.CmdCerrar, {Caja::No}), pregunta);
        QVERIFY(w.isVisible());
        QCOMPARE(w.TxtRepresentante->text(), QStringLiteral("Beatriz"));
        v.e.caja.olvida();
        w.CmdGuardar->click();
        QCOMPARE(v.columnas(1, "Representante"), QStringList{"Beatriz"});
        QCOMPARE(v.pulsa(w.CmdCerrar), QStringList());
        QVERIFY(!w.isVisible());

        w.show();
        escribe(w.TxtObservacion, QStringLiteral("a medias"));
        v.e.caja.olvida();
        consulta(w, 77);
        QCOMPARE(v.pulsa(w.CmdCerrar), QStringList());
        QVERIFY(!w.isVisible());
    }

    // A folio that is not there: the message, the invitation on screen kept
    // but no longer savable; no folio or no year: their message. The save
    // always goes to the invitation the last look-up found: a year or folio
    // changed since makes it unavailable until a new look-up.
    void queInvitacionSeGuardaYComprobaciones() {
        Ventana v;
        FrmModificarInvitacion& w = *v.ventana;
        guarda(v.kelmar(), 1);
        guarda(v.kelmar(), 2, [](InvitacionDePrueba& i) { i.descripcion = QStringLiteral("Segunda"); });
        consulta(w, 1);
        consulta(w, 77);
        QCOMPARE(v.e.caja.textos(), QStringList{"No existe el folio 77 del año 2011 verifique. :("});
        // Nothing of the invitation found before stays to be taken for folio 77.
        QCOMPARE(w.TxtDescripcion->text() + w.TxtQuienInvita->text() + w.TxtIndicacion->text() +
                     w.LblEstatus->text() + w.LblUsrCapturo->text(),
                 QString());
        QVERIFY(!w.CmdGuardar->Enabled());
        for (const auto& [anio, folio] :
             {std::pair{"2011", ""}, std::pair{"", "1"}, std::pair{"dos mil", "1"}}) {
            v.e.caja.olvida();
            consulta(w, QString::fromUtf8(folio), QString::fromUtf8(anio));
            QCOMPARE(v.e.caja.textos(), QStringList{"Debe proporcionar un año y un folio. Verifique :("});
        }

        v.e.caja.olvida();
        consulta(w, 1);
        QVERIFY(w.CmdGuardar->Enabled());
        w.TxtFolio->setText(QStringLiteral("2"));
        QVERIFY(!w.CmdGuardar->Enabled());
        w.TxtFolio->setText(QStringLiteral("1"));
        QVERIFY(!w.CmdGuardar->Enabled());
        // Even called directly, the save writes nothing over either invitation.
        w.TxtRepresentante->setText(QStringLiteral("Intruso"));
        w.TxtFolio->setText(QStringLiteral("2"));
        w.CmdGuardar_Click();
        QCOMPARE(v.columnas(1, "Representante") + v.columnas(2, "Representante,Descripcion"),
                 QStringList({"", "", "Segunda"}));
        consulta(w, 1);
        w.CmbAnio->estableceText(QStringLiteral("2012"));
        QVERIFY(!w.CmdGuardar->Enabled());
        QVERIFY(v.e.caja.cajas().isEmpty());

        // The update's checks in their order, with their tabs and focus; a past
        // event is asked about first, at every save.
        guarda(v.kelmar(), 3, [](InvitacionDePrueba& i) { i.fechaEvento = QDate(2011, 11, 10); });
        consulta(w, 3);
        w.TabInvitacion->setCurrentIndex(1);
        const QString pasada = QStringLiteral(
            "Lupita\r\rLa fecha del evento ya pasó.\r\r¿Desea continuar con la actualización?");
        QCOMPARE(v.pulsa(w.CmdGuardar, {Caja::No}), QStringList{pasada});
        QCOMPARE(w.TabInvitacion->currentIndex(), 0);
        QVERIFY(tieneElFoco(w.DTPFechaEvento));
        QCOMPARE(v.columnas(3, "UsrModif"), QStringList{""});

        // Each box emptied (or overfilled) in turn: its message, tab and focus; a blank passes.
        const struct {
            const char* mensaje;
            int pestana;
            QWidget* caja;
            QString mal = {}, bien = QStringLiteral(" ");
        } pasos[] = {
            // clang-format off
            {"Debe proporcionar una descripción del evento. Verifique :(", 0, w.TxtDescripcion},
            {"Debe proporcionar una la ubicación del Evento. Verifique :(", 0, w.TxtUbicacionEvento},
            {"Debe proporcionar el nombre de quien invita al evento. Verifique :(", 0, w.TxtQuienInvita},
            // The box takes no more than the record holds.
            {"Debe proporcionar la indicación en el apartado del representante. Verifique :(", 1, w.TxtIndicacion, {}, QString(201, u'x')},
            {"Debe proporcionar el nombre del titular que designará un responsable para el evento. Verifique :(", 1, w.TxtTitularDelArea},
            {"Debe proporcionar el cargo del titular que designará un resposable para el evento. Verifique :(", 1, w.TxtCargoTitularDelArea},
            // clang-format on
        };
        w.TxtRepresentante->setText(QStringLiteral("  "));
        for (const auto& paso : pasos) {
            escribe(paso.caja, paso.mal);
            w.TabInvitacion->setCurrentIndex(1 - paso.pestana);
            QCOMPARE(v.pulsa(w.CmdGuardar, {Caja::Si}),
                     QStringList({pasada, QString::fromUtf8(paso.mensaje)}));
            QCOMPARE(w.TabInvitacion->currentIndex(), paso.pestana);
            QVERIFY2(tieneElFoco(paso.caja), paso.mensaje);
            QCOMPARE(v.columnas(3, "UsrModif"), QStringList{""});
            escribe(paso.caja, paso.bien);
        }
        // A representative of blanks counts as named here.
        QCOMPARE(v.pulsa(w.CmdGuardar, {Caja::Si}), QStringList{pasada});
        QCOMPARE(v.columnas(3, "Estatus,Representante,Indicacion"),
                 QStringList({"CONFIRMADA", "  ", QString(200, u'x')}));

        // For the Governor the update sends no indication and no area head; a
        // named representative needs the wording's prefix, an empty one asks
        // and "NO" saves nothing. Arranging the window changes no value.
        consulta(w, 3);
        w.OptGob->setChecked(true);
        QVERIFY(w.FraTitularDelArea->isHidden() && w.TxtIndicacion->isHidden() && !w.CmbPrefijo2->isHidden());
        QCOMPARE(w.TxtTitularDelArea->text(), QStringLiteral(" "));
        QCOMPARE(
            v.pulsa(w.CmdGuardar, {Caja::Si}),
            QStringList(
                {pasada,
                 "Debe seleccionar seleccionar el prefijo del representante del evento. Verifique. :("}));
        QVERIFY(tieneElFoco(w.CmbPrefijo2));
        w.TxtRepresentante->clear();
        QCOMPARE(v.pulsa(w.CmdGuardar, {Caja::Si, Caja::No}),
                 QStringList({pasada, preguntaDelRepresentante}));
        QVERIFY(tieneElFoco(w.TxtRepresentante));
        QCOMPARE(v.columnas(3, "RepresentaA"), QStringList{"Srio"});
        w.TxtRepresentante->setText(QStringLiteral("Lic. Patricia Ocampo"));
        elige(w.CmbPrefijo2, QStringLiteral("del"));
        v.pulsa(w.CmdGuardar, {Caja::Si});
        QCOMPARE(
            v.columnas(3, "Representante,RepresentaA,Prefijo2,Indicacion,Titular,CargoTitular,TelTitular"),
            QStringList({"Lic. Patricia Ocampo", "Gob", "del", "", "", "", ""}));
        QVERIFY(w.TxtTitularDelArea->text().isEmpty() && w.TxtIndicacion->text().isEmpty());
    }

    // Failing devices: a look-up or an update the server cannot answer shows
    // the error window; the window stays usable and nothing is written. Then:
    // nulls read as empty texts; an hour or prefix its list lacks is shown
    // all the same, and goes when the next invitation is shown; data shown in
    // labels is never read as markup. The years offered: the table's, every
    // year with invitations and the current one.
    // Two stations correct the same invitation. This window's save, based on the version it
    // looked up, stores nothing and shows who changed it and, field by field, what the screen
    // holds and what is stored now, marking who changed each. Loading what is stored shows the
    // other station's data; storing the screen over it, confirmed, writes the history as such.
    // "Oficio" writes the letter of the invitation looked up, as it is stored: with typed
    // changes not saved it asks first, "No" first, and "No" writes nothing.
    void oficio() {
        Ventana v(Motor::SQLite, momentoDePrueba(QTime(10, 0)));
        FrmModificarInvitacion& w = *v.ventana;
        EntornoDeDocumentos docs;
        guarda(v.kelmar(), 3,
               [](InvitacionDePrueba& i) { i.representante = QStringLiteral("Raúl Benítez"); });
        QVERIFY(!w.CmdOficio->Enabled());
        consulta(w, 3);
        QVERIFY(w.CmdOficio->Enabled());
        w.TxtRepresentante->setText(QStringLiteral("Otro nombre"));
        QCOMPARE(
            v.pulsa(w.CmdOficio, {Caja::No}),
            QStringList{QStringLiteral("Hay cambios sin guardar: el oficio saldrá con los datos guardados de "
                                       "la invitación.\r\r¿Desea continuar?")});
        QVERIFY(docs.anotador.operaciones.isEmpty());
        QCOMPARE(v.pulsa(w.CmdOficio, {Caja::Si}).size(), 1);
        QVERIFY2(docs.anotador.operaciones.contains(QStringLiteral("txtfolio=KD/MOR/I3/2011/VLT")),
                 qPrintable(docs.anotador.operaciones.join(u'|')));
        QVERIFY(docs.anotador.operaciones.contains(QStringLiteral("txtrepres=Raúl Benítez")));
    }

    void dosEstaciones_data() { agregaMotores(); }
    void dosEstaciones() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor, momentoDePrueba(QTime(10, 0)));
        FrmModificarInvitacion& w = *v.ventana;
        guarda(v.kelmar(), 1,
               [](InvitacionDePrueba& i) { i.representante = QStringLiteral("Raúl Benítez"); });
        const auto otra = v.e.base.abre(Catalogo::Kelmar);
        const auto cambiaAlla = [&](const QString& representante) {
            Invitacion i = *Invitaciones::busca(*otra, 2011, 1);
            i.representante = representante;
            return Invitaciones::corrige(*otra, i, {QStringLiteral("ana"), QStringLiteral("ventanilla-2")})
                .version;
        };
        ConflictoVisto visto;

        consulta(w, 1);
        QCOMPARE(cambiaAlla(QStringLiteral("Ana Pérez")), 2);
        w.TxtDescripcion->setText(QStringLiteral("Reunión aplazada"));
        decideConflicto(v.e, &FrmConflicto::CmdRecargar, visto);
        w.CmdGuardar->click();
        QVERIFY2(visto.quien.startsWith(
                     QStringLiteral("Otra estación modificó la invitación con folio 1 del año 2011 "
                                    "después de su consulta: ana, desde la estación ventanilla-2, el ")),
                 qPrintable(visto.quien));
        QCOMPARE(visto.filas,
                 QStringList({QStringLiteral("En relación|Reunión aplazada|Reunión de trabajo|Solo usted"),
                              QStringLiteral("Nombre del representante|Raúl Benítez|Ana Pérez|Solo la otra "
                                             "estación")}));
        QCOMPARE(v.columnas(1, "Descripcion") + v.columnas(1, "Representante"),
                 QStringList({QStringLiteral("Reunión de trabajo"), QStringLiteral("Ana Pérez")}));
        QCOMPARE(w.TxtDescripcion->text() + u'|' + w.TxtRepresentante->text(),
                 QStringLiteral("Reunión de trabajo|Ana Pérez"));

        // Again, and this time the screen goes over the other station's newer version.
        QCOMPARE(cambiaAlla(QStringLiteral("Luis Gómez")), 3);
        w.TxtDescripcion->setText(QStringLiteral("Reunión aplazada"));
        decideConflicto(v.e, &FrmConflicto::CmdSobrescribir, visto);
        w.CmdGuardar->click();
        QCOMPARE(visto.filas.size(), 2);
        QCOMPARE(v.columnas(1, "Descripcion") + v.columnas(1, "Representante"),
                 QStringList({QStringLiteral("Reunión aplazada"), QStringLiteral("Ana Pérez")}));
        const Historial::Entrada ultima = *Historial::ultima(v.kelmar(), Catalogo::Kelmar, 2011, 1);
        QCOMPARE(QList<int>({ultima.sobrescribe, ultima.version}), QList<int>({3, 4}));
    }

    void erroresYValoresRaros_data() { agregaMotores(); }
    void erroresYValoresRaros() {
        MOTOR_DE_LA_FILA(motor);
        Ventana v(motor, momentoDePrueba(), [](Conexion& k) {
            k.ejecuta(QStringLiteral("delete from Anio where Anio > 2009"));
            guarda(k, 1, [](InvitacionDePrueba& i) { i.anio = 2034; });
        });
        FrmModificarInvitacion& w = *v.ventana;
        QCOMPARE(entradas(w.CmbAnio->combo()) << w.CmbAnio->Text(),
                 QStringList({"2008", "2009", "2011", "2034", "2011"}));
        guarda(v.kelmar(), 1);
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
        QCOMPARE(v.columnas(1, "Representante"), QStringList{""});

        Modulo::EstableceConexion(Catalogo::Kelmar, v.e.base.abre(Catalogo::Kelmar));
        w.CmdGuardar->click();
        QCOMPARE(numeros.size(), 2);
        QCOMPARE(v.columnas(1, "Representante"), QStringList{"Raúl Benítez"});

        // Taken away by another station after the look-up: said so, never a silent success.
        consulta(w, 1);
        v.kelmar().ejecuta(QStringLiteral("delete from invitacion"));
        QCOMPARE(v.pulsa(w.CmdGuardar),
                 QStringList{
                     QStringLiteral("Otra estación eliminó la invitación con folio 1 del año 2011 después de "
                                    "su consulta; no se guardó nada.")});
        QCOMPARE(invitacionesGuardadas(v.kelmar()), 0);

        guarda(v.kelmar(), 1, [](InvitacionDePrueba& i) {
            i.usrCaptura = QStringLiteral("<b>x</b>");
            i.hora = QStringLiteral("07:15");
            i.prefijo1 = QStringLiteral("unos");
        });
        guarda(v.kelmar(), 2);
        consulta(w, 1);
        QCOMPARE(w.CmbHoraEvento->currentText() + w.CmbPrefijo1->currentText(), QStringLiteral("07:15unos"));
        QCOMPARE(w.LblUsrCapturo->text(), QStringLiteral("<b>x</b>"));
        QCOMPARE(w.LblUsrCapturo->textFormat(), Qt::PlainText);
        consulta(w, 2);
        QCOMPARE(w.CmbHoraEvento->findText(QStringLiteral("07:15")), -1);
        QCOMPARE(w.CmbPrefijo1->findText(QStringLiteral("unos")), -1);

        // An answer with nulls, as another server might give it (made through the window's own
        // connection, which prepares its statements again after a change of the schema).
        Conexion& k = Modulo::kelmar();
        k.ejecuta(QStringLiteral("alter table invitacion rename to invitacion_real"));
        k.ejecuta(QStringLiteral(
            "create view invitacion as select Anio, Folio, FechaRecepcion, FechaEvento, null as Hora, "
            "Descripcion,"
            " Ubicacion, null as Suscriptor, null as CargoSuscriptor, TelSuscriptor, null as Representante,"
            " CargoRepresentante, TelRepresentante, Titular, CargoTitular, TelTitular, Caracter,"
            " null as Indicacion, RepresentaA, null as Observacion, Estatus, null as Prefijo1, Prefijo2,"
            " Prefijo3, UsrCaptura, null as UsrModif, version from invitacion_real"));
        w.TxtRepresentante->setText(QStringLiteral("antes"));
        consulta(w, 1);
        QCOMPARE(w.CmbHoraEvento->currentIndex() + w.CmbPrefijo1->currentIndex(), -2);
        QCOMPARE(w.TxtQuienInvita->text() + w.TxtRepresentante->text() + w.TxtIndicacion->text() +
                     w.TxtObservacion->text(),
                 QString());
        QCOMPARE(w.LblUsrModifico->text(), QStringLiteral("Sin Modificación"));
        QVERIFY(w.CmdGuardar->Enabled());
    }

    void busqueda_data() { agregaVentanas(); }
    void busqueda() {
        MOTOR_DE_LA_FILA(motor);
        EN_CADA_VENTANA(busquedaEn, motor);
    }

    // Each prefix column feeds its own list, an empty value none; the
    // indications come in full, empty ones included; nothing is selected.
    // Lists that load empty or cannot load: the window opens all the same.
    // A failing server: its error as the lists and the search report it, the
    // boxes as they were.
    void listas_data() {
        QTest::addColumn<int>("backend");
        QTest::addColumn<bool>("registro");
        QTest::addColumn<QString>("caso");
        QTest::newRow("registro") << int(Motor::SQLite) << true << "propias";
        QTest::newRow("vacías, modificación") << int(Motor::SQLite) << false << "vacías";
        QTest::newRow("sqlite, sin tabla") << int(Motor::SQLite) << false << "sin tabla";
        QTest::newRow("postgresql, sin tabla") << int(Motor::PostgreSQL) << true << "sin tabla";
    }
    void listas() {
        MOTOR_DE_LA_FILA(motor);
        QFETCH(QString, caso);
        EN_CADA_VENTANA(listasEn, motor, caso);
    }

private:
    template <typename V> void busquedaEn(Motor motor) {
        const QString largo = QStringLiteral("Juan de Dios Pérez Hernández Ochoa Salgado");
        EnVentana<V> p(motor, momentoDePrueba(), [&](Conexion& k) {
            k.ejecuta(QStringLiteral("insert into funcionarios (cvefuncionario, nombre) values ('L', ?)"),
                      {largo});
        });
        VentanaDeInvitacion& v = *p.ventana;
        CajaGuionada& caja = p.e.caja;

        // An empty box: the message, and no search.
        busca(v, v.TxtRepresentante, QString());
        QCOMPARE(caja.textos(),
                 QStringList{"Para usar el motor de búsqueda, debe proporcionar un nombre u apellido"});
        QVERIFY(v.FraSeleccionarPersona->isHidden());

        // No match, a wildcard taken as a letter: the boxes and the panel as they were.
        caja.olvida();
        v.TxtCargoRepresentante->setText(QStringLiteral("antes"));
        busca(v, v.TxtRepresentante, QStringLiteral("%"));
        busca(v, v.TxtRepresentante, QStringLiteral("Zzyzx"));
        QCOMPARE(caja.textos(), QStringList(2, QStringLiteral("No hay coincidencias para ese valor")));
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtRepresentante->text() + v.TxtCargoRepresentante->text(), QStringLiteral("Zzyzxantes"));

        // Only the first 30 characters are searched.
        caja.olvida();
        busca(v, v.TxtRepresentante, largo.left(30) + QStringLiteral("ZZZZZ"));
        QCOMPARE(v.personalEncontrado().rowCount(), 1);
        v.CmdCancelar->click();

        // From the area head's box: the panel opens with the focus left in place;
        // the chosen row fills the head's name and post, the focus goes on.
        busca(v, v.TxtTitularDelArea, QStringLiteral("MARIA"));
        QVERIFY(!v.FraSeleccionarPersona->isHidden());
        QVERIFY(tieneElFoco(v.TxtTitularDelArea));
        const Recordset& hallados = v.personalEncontrado().recordset();
        QCOMPARE(QStringList({hallados.texto(0, 0), hallados.texto(1, 0)}),
                 QStringList({"María Elena Ortiz Salgado", "Rosa María Cortés Alarcón"}));
        v.DGRepresentante->selectRow(1);
        const QString elegido = hallados.texto(1, 0) + hallados.texto(1, 1);
        v.CmdAceptar->click();
        QCOMPARE(v.TxtTitularDelArea->text() + v.TxtCargoTitularDelArea->text(), elegido);
        QCOMPARE(v.TxtCargoRepresentante->text(), QStringLiteral("antes"));
        QVERIFY(tieneElFoco(v.TxtTelsTitular));
        QVERIFY(v.FraSeleccionarPersona->isHidden());

        // A double click on a row does the same, for the representative.
        busca(v, v.TxtRepresentante, QStringLiteral("VILLASENOR"));
        const QPoint celda = v.DGRepresentante->visualRect(v.DGRepresentante->model()->index(0, 1)).center();
        QTest::mouseClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QTest::mouseDClick(v.DGRepresentante->viewport(), Qt::LeftButton, {}, celda);
        QCOMPARE(v.TxtRepresentante->text() + v.TxtCargoRepresentante->text(),
                 QStringLiteral("Rafael Tapia VillaseñorSecretario de Educación"));
        QVERIFY(tieneElFoco(v.TxtTelsRepresentante));
        // So does a double click in the left margin, as the panel's caption says.
        busca(v, v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QHeaderView* margen = v.DGRepresentante->verticalHeader();
        const QPoint fila(margen->width() / 2, margen->sectionViewportPosition(0) + 5);
        QTest::mouseClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QTest::mouseDClick(margen->viewport(), Qt::LeftButton, {}, fila);
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("Rafael Tapia Villaseñor"));

        // From the keyboard: Down into the list, Enter accepts the row; Escape
        // closes it and returns to the name box.
        busca(v, v.TxtRepresentante, QStringLiteral("MARIA"));
        QTest::keyClick(v.TxtRepresentante, Qt::Key_Down);
        QVERIFY(tieneElFoco(v.DGRepresentante));
        QTest::keyClick(v.DGRepresentante, Qt::Key_Down);
        QTest::keyClick(v.DGRepresentante, Qt::Key_Return);
        QCOMPARE(v.TxtRepresentante->text(), QStringLiteral("Rosa María Cortés Alarcón"));
        QVERIFY(v.FraSeleccionarPersona->isHidden() && tieneElFoco(v.TxtTelsRepresentante));
        busca(v, v.TxtRepresentante, QStringLiteral("MARIA"));
        QTest::keyClick(v.TxtRepresentante, Qt::Key_Down);
        QTest::keyClick(v.DGRepresentante, Qt::Key_Escape);
        QVERIFY(v.FraSeleccionarPersona->isHidden() && v.isVisible() && tieneElFoco(v.TxtRepresentante));
        QCOMPARE(v.TxtRepresentante->text(), QStringLiteral("MARIA"));

        // Cancel goes back to the box the search started in.
        busca(v, v.TxtTitularDelArea, QStringLiteral("ez"));
        v.TxtRepresentante->setFocus();
        v.CmdCancelar->click();
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QVERIFY(tieneElFoco(v.TxtTitularDelArea));
        QCOMPARE(v.TxtTitularDelArea->text(), QStringLiteral("ez"));
        QVERIFY(caja.cajas().isEmpty());
    }

    template <typename V> void listasEn(Motor motor, const QString& caso) {
        const bool propias = caso == QLatin1String("propias");
        const bool sinTabla = caso == QLatin1String("sin tabla");
        EnVentana<V> p(motor, momentoDePrueba(), [&](Conexion& k) {
            if (sinTabla) {
                k.ejecuta(QStringLiteral("alter table prefijos rename to prefijos_aparte"));
                k.ejecuta(QStringLiteral("alter table funcionarios rename to funcionarios_aparte"));
                return;
            }
            k.ejecuta(QStringLiteral("delete from prefijos"));
            k.ejecuta(QStringLiteral("delete from indicaciones"));
            if (propias) {
                k.ejecuta(
                    QStringLiteral("insert into prefijos (id, Prefijo1, Prefijo2, Prefijo3) values"
                                   " (1, 'al', '', 'el'), (2, null, 'del', null), (3, 'a la', 'de', 'la')"));
                k.ejecuta(QStringLiteral("insert into indicaciones (id, descripcion) values (1, 'Asistir'),"
                                         " (2, ''), (3, 'Para su conocimiento')"));
            }
        });
        VentanaDeInvitacion& v = *p.ventana;
        QVERIFY(v.isVisible());
        QStringList listas;
        for (QComboBox* c : {v.CmbPrefijo1, v.CmbPrefijo2, v.CmbPrefijo3, v.CmbIndicacion, v.CmbHoraEvento}) {
            listas << entradas(c).join(u'|');
            QCOMPARE(c->currentIndex(), -1);
        }
        listas.removeLast();
        QCOMPARE(listas, propias
                             ? QStringList({"al|a la", "del|de", "el|la", "Asistir||Para su conocimiento"})
                             : QStringList(4));
        QVERIFY(v.TxtIndicacion->toPlainText().isEmpty());
        QCOMPARE(p.e.caja.cajas().size(), sinTabla ? 1 : 0);
        if (!sinTabla)
            return;
        v.TxtCargoTitularDelArea->setText(QStringLiteral("antes"));
        busca(v, v.TxtTitularDelArea, QStringLiteral("Tapia"));
        QCOMPARE(p.e.caja.cajas().size(), 2);
        for (const auto& caja : p.e.caja.cajas()) {
            QVERIFY2(
                caja.texto.startsWith(QStringLiteral("Error: %1\r\nDescp: ").arg(CodigoDeError::Sentencia)) &&
                    caja.texto.contains(QStringLiteral("\r\nSourc: ")),
                qPrintable(caja.texto));
            QCOMPARE(caja.icono, CajaDeMensajes::Icono::Critico);
        }
        QVERIFY(v.FraSeleccionarPersona->isHidden());
        QCOMPARE(v.TxtTitularDelArea->text() + v.TxtCargoTitularDelArea->text(),
                 QStringLiteral("Tapiaantes"));
    }
};

QTEST_MAIN(TstFrmModificarInvitacion)
#include "tst_frmmodificarinvitacion.moc"
