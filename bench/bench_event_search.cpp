// The event search over a register of 20,000 events, three ways in one run:
// (a) record by record, three or four single-row statements per event with
//     the grid refreshed after each (offscreen);
// (b) the same statements without the refreshes;
// (c) the query window's own search, which reads each catalogue once and
//     fills its grid once.
// The three grids must be equal cell for cell. Prints times, statements and
// ratios for SQLite, and PostgreSQL over loopback when TALOREN_TEST_PG names a
// server; the last line is (a)/(c) on SQLite.
#include "Medicion.h"

#include "common/Modulo.h"
#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "queries/ModeloDeEventos.h"
#include "queries/frmConsultas.h"
#include "support/EntornoDeVentanas.h"
#include "support/RegistroDeEventos.h"
#include "support/ResolucionPorRenglon.h"

#include <QApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int eventos = 20000;
const QDate desde(2024, 1, 1);
constexpr int dias = 730;

struct Medida {
    double ms = 0;
    qint64 sentencias = 0;
};

qint64 sentencias() {
    return Modulo::kelmar().sentenciasEnviadas() + Modulo::taloren().sentenciasEnviadas();
}

Recordset buscaEventos(const QDate& del, const QDate& al) {
    const QString f = QString::fromLatin1("MM/dd/yyyy");
    Parametros p{
        Parametro::entrada(QStringLiteral("@OptSelAsuntos"), TipoDeParametro::Char, 1, QStringLiteral("1")),
        Parametro::entrada(QStringLiteral("@FechaIni"), TipoDeParametro::VarChar, 10, del.toString(f)),
        Parametro::entrada(QStringLiteral("@FechaFin"), TipoDeParametro::VarChar, 10,
                           al.addDays(1).toString(f))};
    return Modulo::taloren().ejecutaProcedimiento(QStringLiteral("sp_ZMXObtenerRegsInvitaciones"), p);
}

// (a) and (b): the answer bound to a grid, then its names record by record.
Medida porRenglon(ModeloDeEventos& modelo, QTableView* vista) {
    Medida m;
    const qint64 antes = sentencias();
    m.ms = milisegundos([&] {
        modelo.asigna(buscaEventos(desde, desde.addDays(dias)));
        ResolucionPorRenglon::Resuelve(modelo, Modulo::kelmar(), vista);
    });
    m.sentencias = sentencias() - antes;
    return m;
}

// (c): the window's search button.
Medida delPrograma(frmConsultas& v, const QDate& al) {
    v.CmdLimpiar->click();
    v.OptFecha[1]->click();
    v.DTPFechaIni->setDate(desde);
    v.DTPFechaFin->setDate(al);
    Medida m;
    const qint64 antes = sentencias();
    m.ms = milisegundos([&] { v.CmdBuscar->click(); });
    m.sentencias = sentencias() - antes;
    return m;
}

bool mismasCeldas(const ModeloDeEventos& a, const ModeloDeEventos& b) {
    if (a.rowCount() != b.rowCount())
        return false;
    for (int i = 0; i < a.rowCount(); ++i)
        for (int p = 0; p < ModeloDeEventos::Columnas; ++p)
            if (a.texto(i, p) != b.texto(i, p))
                return false;
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RelojFijo reloj(QDateTime(desde, QTime(9, 0)));
    const Reloj::Sustituto enHora(reloj);
    double ratioEnSQLite = 0;
    try {
        for (Motor motor : motoresAMedir()) {
            EntornoDeVentanas e(motor);
            e.conecta();
            // A state's staff and places: 2,000 staff on 300 posts, some 1,500 localities.
            RegistroDeEventos::genera(e.base.kelmar(), e.base.taloren(),
                                      {eventos, desde, dias, 2000, 300, 40, 11});
            const char* nombre = nombreDelMotor(motor);

            frmConsultas ventana;
            ventana.show();
            if (!QTest::qWaitForWindowExposed(&ventana))
                throw ErrorDeEjecucion(0, QStringLiteral("la ventana no se mostró"), {});
            const Medida semana = delPrograma(ventana, desde.addDays(6));
            const int eventosDeLaSemana = ventana.modelo().rowCount();
            // The best of three: the first also warms the catalogs' caches.
            Medida c = delPrograma(ventana, desde.addDays(dias));
            for (int i = 0; i < 2; ++i) {
                const Medida otra = delPrograma(ventana, desde.addDays(dias));
                if (otra.ms < c.ms)
                    c = otra;
            }

            ModeloDeEventos sinRefresco;
            const Medida b = porRenglon(sinRefresco, nullptr);

            ModeloDeEventos conRefresco;
            QTableView vista;
            vista.setModel(&conRefresco);
            vista.resize(760, 360);
            vista.show();
            if (!QTest::qWaitForWindowExposed(&vista))
                throw ErrorDeEjecucion(0, QStringLiteral("la cuadrícula no se mostró"), {});
            const Medida a = porRenglon(conRefresco, &vista);

            double lectura = 1e9;
            for (int i = 0; i < 3; ++i)
                lectura = std::min(lectura, milisegundos([&] { buscaEventos(desde, desde.addDays(dias)); }));

            if (ventana.modelo().rowCount() != eventos || !mismasCeldas(ventana.modelo(), sinRefresco) ||
                !mismasCeldas(ventana.modelo(), conRefresco)) {
                QTextStream(stderr) << nombre << ": los tres métodos no dan la misma cuadrícula\n";
                return 1;
            }
            salida() << nombre << ": " << eventos << " eventos\n"
                     << "  (a) renglón por renglón, refrescando: " << qRound(a.ms) << " ms, " << a.sentencias
                     << " sentencias\n"
                     << "  (b) renglón por renglón, sin refrescar: " << qRound(b.ms) << " ms, "
                     << b.sentencias << " sentencias\n"
                     << "  (c) la búsqueda del programa: " << qRound(c.ms) << " ms, " << c.sentencias
                     << " sentencias (" << semana.sentencias << " para los " << eventosDeLaSemana
                     << " eventos de una semana)\n"
                     << "  leer los eventos una vez: " << qRound(lectura) << " ms\n"
                     << "  (a)/(c) = " << QString::number(a.ms / c.ms, 'f', 1)
                     << ", (b)/(c) = " << QString::number(b.ms / c.ms, 'f', 1) << '\n'
                     << "  ms_per_1000_events (c): " << QString::number(c.ms * 1000.0 / eventos, 'f', 1)
                     << Qt::endl;
            if (motor == Motor::SQLite)
                ratioEnSQLite = a.ms / c.ms;
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
    salida() << "ratio: " << QString::number(ratioEnSQLite, 'f', 1) << Qt::endl;
    return 0;
}
