#include "capture/frmCaptura.h"
#include "common/FrmHistorial.h"
#include "controls/BotonesDeComando.h"
#include "controls/CmbClaveDescrip.h"
#include "controls/TextoMultilinea.h"
#include "invitations/FrmModificarInvitacion.h"
#include "outside/Reloj.h"
#include "server/Eventos.h"
#include "server/Invitaciones.h"
#include "support/EntornoDeVentanas.h"
#include "support/InvitacionesDePrueba.h"
#include "support/RegistroDeEventos.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

using Caja = CajaDeMensajes;
using namespace Qt::StringLiterals;

namespace {

const QDateTime hoy(QDate(2011, 11, 18), QTime(9, 15, 30));

// What a history window showed while it stood: its title, whether the grid
// had the keyboard, its rows (the seven columns joined by '|'), the note of
// an empty history, and whether Escape closed it.
struct Vista {
    QString titulo;
    bool focoEnLaRejilla = false;
    QStringList renglones;
    bool sinCambios = false;
    bool escapeCierra = false;
    bool flechasMueven = false;
    // The tool tip of the longest value under "Después".
    QString ayudaMasLarga;
};

Vista observa(QDialog& d) {
    Vista v;
    auto& h = static_cast<FrmHistorial&>(d);
    v.titulo = h.windowTitle();
    v.focoEnLaRejilla = h.focusWidget() == h.GrdHistorial;
    for (int f = 0; f < h.GrdHistorial->rowCount(); ++f) {
        QStringList celdas;
        for (int c = 0; c < h.GrdHistorial->columnCount(); ++c)
            celdas << h.GrdHistorial->item(f, c)->text();
        v.renglones << celdas.join(u'|');
    }
    v.sinCambios = h.LblSinCambios->isVisibleTo(&h);
    for (int f = 0; f < h.GrdHistorial->rowCount(); ++f)
        if (h.GrdHistorial->item(f, 6)->text().size() > v.ayudaMasLarga.size())
            v.ayudaMasLarga = h.GrdHistorial->item(f, 6)->toolTip();
    if (h.GrdHistorial->rowCount() > 1) {
        QTest::keyClick(h.GrdHistorial, Qt::Key_Down);
        v.flechasMueven = h.GrdHistorial->currentRow() == 1;
    }
    QTest::keyClick(h.GrdHistorial, Qt::Key_Escape);
    v.escapeCierra = !h.isVisible() && h.result() == QDialog::Rejected;
    return v;
}

// The windows' seams with the history windows they show recorded.
struct Entorno {
    explicit Entorno(Motor motor) : e(motor) {
        e.conecta(u"lupita"_s, u"Lupita"_s);
        e.alMostrar = [this](QDialog& d) {
            if (d.objectName() == u"FrmHistorial"_s)
                vistas << observa(d);
        };
    }
    RelojFijo reloj{hoy};
    Reloj::Sustituto enUso{reloj};
    EntornoDeVentanas e;
    QList<Vista> vistas;
};

const QString estacion = Autor::estacionLocal();

// The rows without their date and time, each checked to begin with one.
QStringList sinFecha(const QStringList& renglones) {
    QStringList r;
    for (const QString& renglon : renglones)
        r << (QDateTime::fromString(renglon.left(19), u"dd/MM/yyyy HH:mm:ss"_s).isValid()
                  ? renglon.mid(20)
                  : u"sin fecha: "_s + renglon);
    return r;
}

// The history the one window shown showed, without dates; the window checked for its keyboard.
QStringList renglonesDe(Entorno& x) {
    if (x.vistas.size() != 1)
        return {u"ventanas de historial: %1"_s.arg(x.vistas.size())};
    const Vista v = x.vistas.takeFirst();
    if (!v.focoEnLaRejilla || !v.escapeCierra)
        return {u"sin el teclado"_s};
    return sinFecha(v.renglones);
}

} // namespace

class TstHistorial : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The invitation window: the button waits for a look-up that finds the
    // invitation, goes with a look-up that finds nothing or with another
    // folio typed, and stays after a save; it shows that invitation's history.
    void enLaModificacion_data() { agregaMotores(); }
    void enLaModificacion() {
        MOTOR_DE_LA_FILA(motor);
        Entorno x(motor);
        InvitacionDePrueba i;
        i.folio = 1;
        i.representante = u"Ángel Muñoz"_s;
        const int folio = Invitaciones::registra(x.e.base.kelmar(), i.registro(), {u"ana"_s, u"PC-ANA"_s});

        FrmModificarInvitacion w;
        w.show();
        const auto consulta = [&](int f) {
            w.CmbAnio->estableceText(u"2011"_s);
            w.TxtFolio->setText(QString::number(f));
            w.CmdConsultarFolio->click();
        };
        QVERIFY(!w.CmdHistorial->Enabled());
        consulta(folio + 1);
        QVERIFY(!w.CmdHistorial->Enabled());
        consulta(folio);
        QVERIFY(w.CmdHistorial->Enabled());
        w.CmdHistorial->click();
        QCOMPARE(x.vistas.value(0).titulo, u"Historial de la invitación %1 de 2011"_s.arg(folio));
        QCOMPARE(renglonesDe(x), QStringList{u"ana|PC-ANA|alta|||"_s});

        w.TxtFolio->setText(QString::number(folio + 1));
        QVERIFY(!w.CmdHistorial->Enabled());
        consulta(folio);
        w.TxtObservacion->setText(u"Llevar el oficio"_s);
        w.CmdGuardar->click();
        QCOMPARE(w.LblMensajeAUsuario->text(), u"Los datos han sido actualizados."_s);
        QVERIFY(w.CmdHistorial->Enabled());
        w.CmdHistorial->click();
        const QStringList renglones = renglonesDe(x);
        QCOMPARE(renglones, QStringList({u"lupita|%1|cambio|Observación||Llevar el oficio"_s.arg(estacion),
                                         u"ana|PC-ANA|alta|||"_s}));

        // A history that cannot be read is reported, and no window opens half-filled.
        x.e.base.kelmar().ejecuta(u"alter table historial rename to historial_oculto"_s);
        x.e.mostradas.clear();
        w.CmdHistorial->click();
        QCOMPARE(x.e.mostradas, QStringList{u"FrmErrores"_s});
        QVERIFY2(x.e.errores.value(0).contains(u"historial"_s), qPrintable(x.e.errores.value(0)));
        QVERIFY(x.vistas.isEmpty());
    }

    // The capture window: the button waits for a stored event (looked up, or
    // stored by the second click of a new one), goes when the screen is
    // cleared, holds a new event or a folio that is not stored, and shows
    // the history of the event on screen.
    void enLaCaptura_data() { agregaMotores(); }
    void enLaCaptura() {
        MOTOR_DE_LA_FILA(motor);
        Entorno x(motor);
        frmCaptura v;
        v.show();
        QVERIFY(!v.CmdHistorial->isEnabled());
        v.DTPFechaEvento->setDateTime(QDateTime(QDate(2011, 11, 25), QTime(10, 0)));
        v.txtEvento->setPlainText(u"Visita"_s);
        const int i = v.cmbInstruccion->findText(u"1 "_s, Qt::MatchStartsWith);
        QVERIFY(i >= 0);
        v.cmbInstruccion->setCurrentIndex(i);
        Q_EMIT v.cmbInstruccion->activated(i);
        v.CmdGuardar->click();
        QVERIFY(!v.TxtFolio->text().isEmpty());
        QVERIFY(!v.CmdHistorial->isEnabled()); // the folio is only shown
        v.CmdGuardar->click();
        QVERIFY(v.CmdHistorial->isEnabled());
        const QString folio = v.TxtFolio->text();
        v.CmdHistorial->click();
        QCOMPARE(x.vistas.value(0).titulo, u"Historial del evento %1 de 2011"_s.arg(folio));
        QCOMPARE(renglonesDe(x), QStringList{u"lupita|%1|alta|||"_s.arg(estacion)});

        const auto consulta = [&](const QString& f) {
            v.dtpFechaRecep->setDate(QDate(2011, 6, 1));
            v.TxtFolio->setText(f);
            QTest::keyClick(v.TxtFolio, Qt::Key_Return);
        };
        x.e.caja.responde(Caja::Si);
        v.cmdNuevo->click();
        QVERIFY(!v.CmdHistorial->isEnabled());
        consulta(folio);
        QVERIFY(v.CmdHistorial->isEnabled());
        consulta(u"999"_s);
        QVERIFY(!v.CmdHistorial->isEnabled());
        consulta(folio);
        x.e.caja.responde(Caja::Aceptar);
        v.cmdEliminar->click();
        QVERIFY(!v.CmdHistorial->isEnabled());

        // A history that cannot be read is reported, and no window opens half-filled.
        x.e.base.taloren().ejecuta(u"alter table historial rename to historial_oculto"_s);
        RegistroDeEventos::inserta(x.e.base.taloren(),
                                   {.folio = 50, .fecha = QDateTime(QDate(2011, 7, 1), {})});
        consulta(u"50"_s);
        x.e.mostradas.clear();
        v.CmdHistorial->click();
        QCOMPARE(x.e.mostradas, QStringList{u"FrmErrores"_s});
        QVERIFY(x.vistas.isEmpty());
    }

    // One line per changed field, newest first: a deletion keeps every field
    // under "Antes", a change on purpose over a newer version says so, a
    // change lists only what it changed, a new record is one line; a record
    // without history says so.
    void renglones_data() { agregaMotores(); }
    void renglones() {
        MOTOR_DE_LA_FILA(motor);
        Entorno x(motor);
        Conexion& t = x.e.base.taloren();
        const Autor ana{u"ana"_s, u"PC-ANA"_s}, beto{u"beto"_s, u"PC-BETO"_s};
        const QString largo = u"Llevar el oficio firmado y la lista de asistentes "_s.repeated(8);
        Evento e = RegistroDeEventos::comoEvento({.fecha = QDateTime(QDate(2011, 11, 25), QTime(10, 0))});
        e.folio = Eventos::insertaConFolioNuevo(t, e, ana);
        Evento cambiado = e;
        cambiado.hora = u"12:30"_s;
        cambiado.observacion = largo;
        QCOMPARE(Eventos::actualiza(t, cambiado, beto), Eventos::Escritura::Hecha);
        Evento encima = cambiado; // stored over version 2 on purpose
        encima.version = 2;
        encima.descripcion = u"Visita de obra"_s;
        QCOMPARE(Eventos::actualiza(t, encima, ana, true), Eventos::Escritura::Hecha);
        QCOMPARE(Eventos::elimina(t, e.folio, e.anio, 3, beto), Eventos::Escritura::Hecha);

        FrmHistorial::Muestra(t, Catalogo::Taloren, e.anio, e.folio, nullptr);
        QCOMPARE(x.vistas.size(), 1);
        const Vista vista = x.vistas.constFirst();
        QVERIFY(vista.focoEnLaRejilla && vista.flechasMueven && vista.escapeCierra && !vista.sinCambios);
        const QStringList renglones = sinFecha(vista.renglones);
        const int campos = int(renglones.size()) - 4;
        QVERIFY2(campos > 10, qPrintable(renglones.join(u'\n')));
        for (int i = 0; i < campos; ++i)
            QVERIFY2(renglones.at(i).startsWith(u"beto|PC-BETO|baja|"_s) && renglones.at(i).endsWith(u'|'),
                     qPrintable(renglones.at(i)));
        for (const QString& campo :
             QStringList{u"Evento|Visita de obra|"_s, u"Hora|12:30|"_s, u"Observación|"_s + largo + u'|'})
            QVERIFY2(renglones.contains(u"beto|PC-BETO|baja|"_s + campo), qPrintable(campo));
        QCOMPARE(renglones.mid(campos),
                 QStringList({u"ana|PC-ANA|cambio (sobre la versión 2)|Evento|Evento|Visita de obra"_s,
                              u"beto|PC-BETO|cambio|Hora|10:00|12:30"_s,
                              u"beto|PC-BETO|cambio|Observación||"_s + largo, u"ana|PC-ANA|alta|||"_s}));
        // The long value reads whole in its tool tip.
        QCOMPARE(vista.ayudaMasLarga, largo);

        // A record without history, and an invitation's title.
        InvitacionDePrueba sinHistoria;
        sinHistoria.anio = 2026;
        sinHistoria.folio = 12;
        insertaInvitacion(x.e.base.kelmar(), sinHistoria);
        FrmHistorial::Muestra(x.e.base.kelmar(), Catalogo::Kelmar, 2026, 12, nullptr);
        QCOMPARE(x.vistas.size(), 2);
        QCOMPARE(x.vistas.at(1).titulo, u"Historial de la invitación 12 de 2026"_s);
        QVERIFY(x.vistas.at(1).renglones.isEmpty() && x.vistas.at(1).sinCambios &&
                x.vistas.at(1).escapeCierra);
    }
};

QTEST_MAIN(TstHistorial)
#include "tst_historial.moc"
