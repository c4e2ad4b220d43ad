#include "agenda/FrmAgenda.h"
#include "agenda/ListaDeLaSemana.h"
#include "agenda/PintorDeAgenda.h"
#include "capture/frmCaptura.h"
#include "controls/BotonesDeComando.h"
#include "controls/TextoMultilinea.h"
#include "invitations/FrmModificarInvitacion.h"
#include "outside/Reloj.h"
#include "outside/reportes/Reporte.h"
#include "reports/FrmVerReporte.h"
#include "startup/MDITaloren.h"
#include "support/EntornoDeVentanas.h"
#include "support/InvitacionesDePrueba.h"
#include "support/RegistroDeEventos.h"
#include "support/TextoDePdf.h"

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QDateTimeEdit>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QDate lunes(2026, 3, 2);

// A week of both catalogs, seen on Wednesday 4 March 2026:
//   Mon 2   I-2026-2 Gob, without hour; I-2026-1 10:00 Ana Pérez; E-2026-2 10:30 Ana Pérez (Gob)
//   Tue 3   E-2026-1 without hour, staff member 0004
//   Wed 4   I-2026-3 23:45 Luis Gómez
//   Mon 9   I-2026-4 10:00, the next week
struct Semana {
    explicit Semana(Motor motor = Motor::SQLite) : e(motor) {
        e.conecta();
        const auto inv = [](int folio, QDate dia, const char* hora, const char* rep, const char* para) {
            return invitacionDelDia(folio, dia, QString::fromLatin1(hora), QString::fromUtf8(rep),
                                    QString::fromLatin1(para));
        };
        insertaInvitaciones(e.base.kelmar(),
                            {inv(1, lunes, "10:00", "Ana Pérez", "Srio"), inv(2, lunes, "SinHr", "", "Gob"),
                             inv(3, lunes.addDays(2), "23:45", "Luis Gómez", "Srio"),
                             inv(4, lunes.addDays(7), "10:00", "", "Srio")});
        EventoDePrueba conClave;
        conClave.folio = 1;
        conClave.fecha = QDateTime(lunes.addDays(1), QTime(0, 0));
        conClave.hora = u"00:00"_s;
        conClave.claveFuncionario = u"0004"_s;
        RegistroDeEventos::inserta(e.base.taloren(), conClave);
        EventoDePrueba ana;
        ana.folio = 2;
        ana.fecha = QDateTime(lunes, QTime(10, 30));
        ana.hora = u"10:30"_s;
        ana.nombre = u"Ana Pérez"_s;
        ana.representaA = u"Gobernador"_s;
        RegistroDeEventos::inserta(e.base.taloren(), ana);
    }
    QString elegida() const { return v.EntradaElegida() ? v.EntradaElegida()->clave() : QString(); }
    QStringList claves() const {
        QStringList r;
        for (const ::Agenda::Entrada& x : v.Entradas())
            r << x.clave();
        return r;
    }
    // The keys of the entries a cell of a grid shows.
    QStringList celda(QTableWidget* g, int fila, int columna) const {
        QStringList r;
        if (const QTableWidgetItem* c = g->item(fila, columna))
            for (const QVariant& i : c->data(PintorDeAgenda::RolEntradas).toList())
                r << v.Entradas().at(i.toInt()).clave();
        return r;
    }
    void tecla(Qt::Key k) { QTest::keyClick(v.VistaDeMes() ? v.GrdMes : v.GrdSemana, k); }

    EntornoDeVentanas e;
    RelojFijo reloj{QDateTime(lunes.addDays(2), QTime(9, 0))};
    Reloj::Sustituto enUso{reloj};
    FrmAgenda v;
};

} // namespace

class TstFrmAgenda : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The week and the month hold exactly their days' entries, each in its
    // cell (the strip for those without hour), filtered as asked; a catalog
    // that cannot be read is reported and shows nothing.
    void semanaYMes_data() { agregaMotores(); }
    void semanaYMes() {
        MOTOR_DE_LA_FILA(motor);
        Semana a(motor);
        a.v.show();
        QCOMPARE(a.claves(),
                 QStringList({u"I-2026-2"_s, u"I-2026-1"_s, u"E-2026-2"_s, u"E-2026-1"_s, u"I-2026-3"_s}));
        QCOMPARE(a.v.LblPeriodo->text(), u"Semana del 02/03/2026 al 08/03/2026"_s);
        const int diez = int(FrmAgenda::HorasDeLaSemana().indexOf(u"10:00"_s));
        QCOMPARE(a.celda(a.v.GrdSemana, 0, 0), QStringList{u"I-2026-2"_s});
        QCOMPARE(a.celda(a.v.GrdSemana, diez, 0), QStringList{u"I-2026-1"_s});
        QCOMPARE(a.celda(a.v.GrdSemana, diez + 1, 0), QStringList{u"E-2026-2"_s});
        QCOMPARE(a.celda(a.v.GrdSemana, 0, 1), QStringList{u"E-2026-1"_s});
        QCOMPARE(a.celda(a.v.GrdSemana, int(FrmAgenda::HorasDeLaSemana().size()) - 1, 2),
                 QStringList{u"I-2026-3"_s});
        QCOMPARE(a.v.Entradas().at(3).representante, u"Patricia Ocampo Bahena"_s);

        // The staff are offered as a representative is typed.
        QCompleter* nombres = a.v.TxtRepresentante->completer();
        QVERIFY(nombres);
        nombres->setCompletionPrefix(u"ocampo"_s);
        QCOMPARE(nombres->currentCompletion(), u"Patricia Ocampo Bahena"_s);

        a.v.CmbTitular->setCurrentIndex(2);
        QCOMPARE(a.claves(), QStringList({u"I-2026-2"_s, u"E-2026-2"_s}));
        a.v.CmbTitular->setCurrentIndex(0);
        a.v.TxtRepresentante->setText(u"PEREZ"_s);
        QCOMPARE(a.claves(), QStringList({u"I-2026-1"_s, u"E-2026-2"_s}));
        a.v.CmbTipo->setCurrentIndex(2);
        QCOMPARE(a.claves(), QStringList({u"E-2026-2"_s}));
        a.v.TxtRepresentante->clear();
        a.v.CmbTipo->setCurrentIndex(0);

        // The month: six weeks from the Monday before the 1st, each day with its entries.
        a.v.TabVistas->setCurrentIndex(1);
        QCOMPARE(a.v.Entradas().size(), 6);
        QCOMPARE(a.v.GrdMes->item(0, 0)->data(PintorDeAgenda::RolDia).toDate(), QDate(2026, 2, 23));
        QCOMPARE(a.celda(a.v.GrdMes, 1, 0), QStringList({u"I-2026-2"_s, u"I-2026-1"_s, u"E-2026-2"_s}));
        QCOMPARE(a.celda(a.v.GrdMes, 2, 0), QStringList{u"I-2026-4"_s});

        a.e.base.kelmar().ejecuta(u"alter table invitacion rename to roto"_s);
        a.v.Refresca();
        QCOMPARE(a.e.mostradas.count(u"FrmErrores"_s), 1);
        QVERIFY(a.v.Entradas().isEmpty());
    }

    // The keys: arrows between the day's entries and between days (to the
    // entry nearest the hour left), Page Down a week or a month, Home today,
    // Enter opens the entry in its own window, already looked up, and the
    // agenda reads its days again on return.
    void teclado() {
        Semana a;
        MDITaloren mdi; // wires the openings of the correction and capture windows
        a.v.show();
        QCOMPARE(a.elegida(), u"I-2026-3"_s);
        a.tecla(Qt::Key_Left);
        QCOMPARE(a.elegida(), u"E-2026-1"_s);
        a.tecla(Qt::Key_Left);
        QCOMPARE(a.elegida(), u"I-2026-2"_s);
        a.tecla(Qt::Key_Down);
        a.tecla(Qt::Key_Down);
        QCOMPARE(a.elegida(), u"E-2026-2"_s);
        a.tecla(Qt::Key_Down);
        QCOMPARE(a.elegida(), u"E-2026-2"_s);
        a.tecla(Qt::Key_Up);
        QCOMPARE(a.elegida(), u"I-2026-1"_s);

        QStringList abiertas;
        a.e.alMostrar = [&](QDialog& d) {
            if (auto* m = qobject_cast<FrmModificarInvitacion*>(&d))
                abiertas << u"invitación %1 %2"_s.arg(m->TxtFolio->text(), m->TxtDescripcion->text());
            else if (auto* c = qobject_cast<frmCaptura*>(&d))
                abiertas << u"evento %1 %2"_s.arg(c->TxtFolio->text(), c->txtEvento->toPlainText());
        };
        a.tecla(Qt::Key_Return);
        a.tecla(Qt::Key_Down);
        a.e.base.taloren().ejecuta(u"update evento set descripcion = ? where folio = 2"_s, {u"Cambiado"_s});
        a.tecla(Qt::Key_Enter);
        QCOMPARE(abiertas, QStringList({u"invitación 1 Invitación 1"_s, u"evento 2 Cambiado"_s}));
        QCOMPARE(a.v.EntradaElegida()->descripcion, u"Cambiado"_s);
        QCOMPARE(a.elegida(), u"E-2026-2"_s);

        a.tecla(Qt::Key_PageDown);
        QCOMPARE(a.v.DiaElegido(), lunes.addDays(7));
        QCOMPARE(a.elegida(), u"I-2026-4"_s);
        a.tecla(Qt::Key_Home);
        QCOMPARE(a.v.DiaElegido(), lunes.addDays(2));
        a.v.TabVistas->setCurrentIndex(1);
        a.tecla(Qt::Key_Up);
        QCOMPARE(a.v.DiaElegido(), lunes.addDays(-5));
        a.tecla(Qt::Key_PageDown);
        QCOMPARE(a.v.DiaElegido(), QDate(2026, 3, 25));
        QCOMPARE(a.v.LblPeriodo->text(), u"marzo de 2026"_s);
        a.tecla(Qt::Key_Right);
        a.tecla(Qt::Key_Return);
        QCOMPARE(a.v.TabVistas->currentIndex(), 0);
        QCOMPARE(a.v.LblPeriodo->text(), u"Semana del 23/03/2026 al 29/03/2026"_s);
    }

    // The main window's work area lists the coming seven days, today first,
    // the unconfirmed marked; Enter opens the entry; a work window closed
    // refreshes it; the agenda is a menu item.
    void ventanaPrincipal() {
        Semana a;
        MDITaloren mdi;
        mdi.show();
        QStringList vistas;
        for (const ::Agenda::Entrada& x : mdi.LstProximos->Entradas())
            vistas << x.clave();
        QCOMPARE(vistas, QStringList({u"I-2026-3"_s, u"I-2026-4"_s}));
        QCOMPARE(mdi.LstProximos->GrdProximos->item(1, 6)->text(), u"Invitación, SIN CONFIRMAR"_s);
        QStringList abiertas;
        a.e.alMostrar = [&](QDialog& d) {
            abiertas << d.objectName();
            if (auto* m = qobject_cast<FrmModificarInvitacion*>(&d))
                abiertas << m->TxtFolio->text();
        };
        mdi.LstProximos->GrdProximos->setCurrentCell(1, 0);
        QTest::keyClick(mdi.LstProximos->GrdProximos, Qt::Key_Return);
        QCOMPARE(abiertas, QStringList({u"FrmModificarInvitacion"_s, u"4"_s}));
        insertaInvitacion(a.e.base.kelmar(), invitacionDelDia(9, QDate(2026, 3, 5), u"10:00"_s));
        mdi.mdiAgenda->trigger();
        QCOMPARE(abiertas.constLast(), u"FrmAgenda"_s);
        QCOMPARE(mdi.LstProximos->Entradas().size(), 3);
    }

    // At save time, correcting an invitation and storing an event: the
    // person's other commitments within the margin are listed and "No" (the
    // default) returns to the window with everything kept; a check that
    // cannot be made is reported and nothing is saved.
    void dobleReservaAlGuardar_data() { agregaMotores(); }
    void dobleReservaAlGuardar() {
        MOTOR_DE_LA_FILA(motor);
        Semana a(motor);
        const QString choque = u"ya tiene otro compromiso el 04/03/2026 a menos de 90 minutos de éste:"_s;
        const QString tercera = u"Invitación 3/2026, 23:45, Invitación 3, Palacio de Gobierno, confirmado"_s;
        const auto fila = [&] {
            return a.e.base.kelmar()
                .ejecuta(
                    u"select FechaEvento, Hora, Representante from invitacion where Anio = 2026 and Folio = 4"_s)
                .texto(0, 2);
        };
        {
            FrmModificarInvitacion m;
            m.MuestraAlAbrir(2026, 4);
            m.show();
            m.DTPFechaEvento->setDate(QDate(2026, 3, 4));
            m.CmbHoraEvento->setCurrentIndex(m.CmbHoraEvento->findText(u"23:30"_s));
            m.TxtRepresentante->setText(u" LUIS gomez"_s);
            a.e.caja.olvida();
            a.e.caja.responde(CajaDeMensajes::No);
            m.CmdGuardar->click();
            QVERIFY2(a.e.caja.textos().size() == 1 && a.e.caja.textos().constFirst().contains(
                                                          u"LUIS gomez "_s + choque + u"\r\r"_s + tercera),
                     qPrintable(a.e.caja.textos().join(u'|')));
            QCOMPARE(a.e.caja.ultima().porDefecto, CajaDeMensajes::No);
            QCOMPARE(fila(), QString());
            QCOMPARE(m.TxtRepresentante->text(), u" LUIS gomez"_s);
            // The check itself fails: reported, and nothing stored.
            a.e.base.taloren().ejecuta(u"alter table evento rename to roto"_s);
            m.CmdGuardar->click();
            QCOMPARE(a.e.mostradas.count(u"FrmErrores"_s), 1);
            QCOMPARE(fila(), QString());
            a.e.base.taloren().ejecuta(u"alter table roto rename to evento"_s);
            a.e.caja.responde(CajaDeMensajes::Si);
            m.CmdGuardar->click();
            QCOMPARE(fila(), u" LUIS gomez"_s);
        }
        frmCaptura c;
        c.show();
        c.txtEvento->setPlainText(u"Cena de gala"_s);
        c.cmbInstruccion->setCurrentIndex(0);
        c.DTPFechaEvento->setDateTime(QDateTime(QDate(2026, 3, 4), QTime(0, 0)));
        c.mskHora->setText(u"23:00"_s);
        c.cmbNombreRep->setEditText(u"Luis Gómez"_s);
        c.CmdGuardar->click();
        a.e.caja.olvida();
        a.e.caja.responde(CajaDeMensajes::No);
        c.CmdGuardar->click();
        QVERIFY2(a.e.caja.textos().size() == 1 &&
                     a.e.caja.textos().constFirst().contains(
                         u"Luis Gómez "_s + choque +
                         u"\r\rInvitación 4/2026, 23:30, Invitación 4, Palacio de Gobierno, "
                         u"confirmado\r"_s +
                         tercera),
                 qPrintable(a.e.caja.textos().join(u'|')));
        QCOMPARE(a.e.base.taloren().ejecuta(u"select count(*) from evento"_s).valor(0, 0).toInt(), 2);
        QCOMPARE(c.txtEvento->toPlainText(), u"Cena de gala"_s);
    }

    // The period on view and the coming four weeks' double bookings go to the
    // report engine's preview (or the printer); a catalog that cannot be read
    // is reported and nothing is shown.
    void impresiones() {
        Semana a;
        MDITaloren mdi;
        insertaInvitacion(a.e.base.kelmar(),
                          invitacionDelDia(5, lunes.addDays(2), u"23:00"_s, u"luis gomez"_s));
        a.v.show();
        QTemporaryDir dir;
        QStringList textos;
        a.e.alMostrar = [&](QDialog& d) {
            if (auto* vista = qobject_cast<FrmVerReporte*>(&d)) {
                const QString pdf = dir.filePath(u"r.pdf"_s);
                vista->reporte()->guardaPdf(pdf);
                textos << paginasDePdf(pdf).join(u' ').simplified();
            }
        };
        for (QPushButton* b : {a.v.CmdImprimir, a.v.CmdConflictos}) {
            a.e.caja.responde(CajaDeMensajes::No);
            b->click();
        }
        QCOMPARE(textos.size(), 2);
        for (const char* t : {"Agenda de los titulares", "Del 2 de marzo de 2026 al 8 de marzo de 2026",
                              "Patricia Ocampo Bahena", "Sin confirmar", "Total de compromisos: 6"})
            QVERIFY2(textos.at(0).contains(QString::fromUtf8(t)), qPrintable(textos.at(0)));
        for (const char* t : {"Compromisos que chocan", "menos de 90 minutos", "Luis Gómez", "Invitación 5",
                              "Pares de compromisos que chocan: 1"})
            QVERIFY2(textos.at(1).contains(QString::fromUtf8(t)), qPrintable(textos.at(1)));
        a.e.base.kelmar().ejecuta(u"alter table invitacion rename to roto"_s);
        a.v.CmdConflictos->click();
        QCOMPARE(textos.size(), 2);
        QCOMPARE(a.e.mostradas.count(u"FrmErrores"_s), 1);
    }

    // "Exportar calendario..." writes the period on view, filtered, where the
    // person chooses; a file that cannot be written is reported.
    void exportaCalendario() {
        Semana a;
        a.v.show();
        QTemporaryDir dir;
        QString destino = dir.filePath(u"agenda.ics"_s);
        a.e.alMostrar = [&](QDialog& d) {
            if (auto* f = qobject_cast<QFileDialog*>(&d)) {
                f->selectFile(destino);
                d.accept();
            }
        };
        a.v.CmdExportar->click();
        QFile f(destino);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("BEGIN:VEVENT"), 5);
        QCOMPARE(a.e.caja.textos().constLast(), u"La agenda se guardó en el archivo %1 (5 entradas)."_s.arg(
                                                    QDir::toNativeSeparators(destino)));
        destino = dir.filePath(u"no/existe/agenda.ics"_s);
        a.v.CmdExportar->click();
        QVERIFY2(a.e.errores.constLast().startsWith(u"No se pudo escribir el archivo"_s),
                 qPrintable(a.e.errores.join(u'|')));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TstFrmAgenda prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "tst_frmagenda.moc"
