#include "Galeria.h"

#include "common/Modulo.h"
#include "controls/BotonesDeComando.h"
#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "queries/frmConsultas.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

namespace Galeria {

namespace {
// Events of the coming weeks, of every kind the grid shows.
void siembraEventos() {
    struct Ejemplo {
        int dias;
        const char *hora, *descripcion, *direccion, *municipio, *localidad, *clave, *nombre, *cargo,
            *representa, *suscriptor, *cargoSuscriptor, *observacion;
        int instruccion;
    };
    const Ejemplo ejemplos[] = {
        {1, "09:00", "Ceremonia de inicio del ciclo escolar", "Palacio de Gobierno, Cuernavaca", "007",
         "0001", "0004", "", "", "Secretario", "Alberto Sánchez Gallegos",
         "Presidente Municipal de Cuernavaca", "", 1},
        {1, "18:30", "Entrega de reconocimientos a docentes", "Teatro Ocampo, Cuernavaca", "007", "0001",
         "0011", "", "", "Gobernador", "Gustavo Lagunas Trejo",
         "Secretario General de la Sección 19 del SNTE", "Llevar el mensaje del C. Gobernador", 6},
        {3, "10:00", "Inauguración de aulas en la Escuela Primaria \"Emiliano Zapata\"",
         "Ex Hacienda de Chinameca, Ayala", "004", "0005", "", "Arq. Ramón Gil Cordero",
         "Director de Obras del Ayuntamiento", "Secretario", "Juana Ocampo Galindo",
         "Presidenta Municipal de Cuautla", "", 2},
        {4, "12:00", "Foro estatal de educación media superior", "Auditorio Emiliano Zapata de la UAEM",
         "007", "0004", "0005", "", "", "Secretario", "Héctor Luna Velázquez",
         "Rector de la Universidad Autónoma del Estado de Morelos", "", 4},
        {7, "00:00", "Feria del libro infantil", "Jardín Borda, Cuernavaca", "007", "0001", "0024", "", "",
         "Gobernador", "Elena Cervantes Lozano", "Presidenta del Sistema DIF Morelos", "", 7},
        {9, "11:30", "Firma de convenio con el CECyTE",
         "Salón de Usos Múltiples de la Secretaría de Educación", "099", "0001", "X77",
         "Lic. Marta Ibáñez Roldán", "Asesora externa", "Secretario", "Ignacio Zavala Rosales",
         "Director General del CECyTE Morelos", "Confirmar la asistencia un día antes", 3},
    };
    Conexion& t = Modulo::taloren();
    const QDate hoy = Reloj::actual().hoy();
    int folio = 0;
    t.enTransaccion([&] {
        for (const Ejemplo& e : ejemplos) {
            const QDateTime fecha(hoy.addDays(e.dias), QTime(9, 41));
            const int anio = fecha.date().year();
            const auto txt = [](const char* s) { return QString::fromUtf8(s); };
            ++folio;
            t.ejecuta(
                QStringLiteral(
                    "insert into evento (folio, año, fecha, hora, descripcion, direccion, cve_municipio,"
                    " cve_localidad, fecha_recepcion, fecha_fisica) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {folio, anio, fecha, txt(e.hora), txt(e.descripcion), txt(e.direccion), txt(e.municipio),
                 txt(e.localidad), fecha.addDays(-10), fecha.addDays(-9)});
            t.ejecuta(QStringLiteral(
                          "insert into suscriptor (folio, año, nombre, cargo_suscriptor, telefono, celular)"
                          " values (?, ?, ?, ?, ?, ?)"),
                      {folio, anio, txt(e.suscriptor), txt(e.cargoSuscriptor), QStringLiteral("777-3180100"),
                       QStringLiteral("___-_______")});
            t.ejecuta(
                QStringLiteral("insert into representante_del_evento (folio, año, clave_fun, clave_cargo,"
                               " clave_area, telefono, celular, clave_instruccion, representa_a, caracter,"
                               " observacion, fecha_llamada, nombre, cargo, area)"
                               " values (?, ?, ?, '', '', '', '', ?, ?, 'Normal', ?, ?, ?, ?, '')"),
                {folio, anio, txt(e.clave), e.instruccion, txt(e.representa), txt(e.observacion),
                 fecha.addDays(-8), txt(e.nombre), txt(e.cargo)});
        }
    });
}
} // namespace

void galeriaDeConsultas() {
    siembraEventos();
    frmConsultas consultas;
    retrata(consultas, QStringLiteral("frmConsultas"));
    consultas.OptFecha[1]->click();
    retrata(consultas, QStringLiteral("frmConsultas-rango"));
    consultas.OptFecha[2]->click();
    consultas.CmdBuscar->click();
    retrata(consultas, QStringLiteral("frmConsultas-busqueda"));
    retrataAmpliada(consultas, QStringLiteral("frmConsultas-busqueda-ampliada"));
    // The names the search resolved, further right.
    consultas.GridResultados->horizontalScrollBar()->setValue(
        consultas.GridResultados->columnViewportPosition(7) +
        consultas.GridResultados->horizontalScrollBar()->value());
    retrata(consultas, QStringLiteral("frmConsultas-busqueda-nombres"));
}

} // namespace Galeria
