#include "outside/CarpetaDeDatos.h"
#include "outside/Reloj.h"
#include "outside/reportes/Reporte.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"
#include "support/TextoDePdf.h"

#include <QPainter>
#include <QPdfWriter>

namespace {

// The parameters of a report of November and December 2011, as the report
// window sets them; the folios are staged first.
void preparado(Reporte& r, Conexion& kelmar, const QList<int>& seleccion = {},
               const QString& tipo = QStringLiteral("Todas"), const QString& palabra = {}) {
    for (int folio : seleccion)
        seleccionaFolio(kelmar, folio);
    const QVariant valores[] = {QDate(2011, 11, 1), QDate(2011, 12, 31),  palabra, QString(),
                                QString(),          !seleccion.isEmpty(), tipo};
    for (int i = 1; i <= r.numeroDeParametros(); ++i)
        r.estableceParametro(i, valores[i - 1]);
}

} // namespace

class TstMotorReportes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    // Each report holds exactly the invitations its criteria and the staged
    // folios give, each once, with its criteria, the date printed and the
    // page numbers.
    void cadaReporte_data() { agregaMotores(); }
    void cadaReporte() {
        MOTOR_DE_LA_FILA(motor);
        BaseDePrueba base(motor);
        Conexion& kelmar = base.kelmar();
        insertaInvitaciones(kelmar, juegoDeReportes());
        const RelojFijo reloj(QDateTime(QDate(2011, 11, 18), QTime(9, 30)));
        const Reloj::Sustituto fijo(reloj);
        const struct {
            const char* archivo;
            QList<int> seleccion;
            const char *tipo, *palabra;
            QList<int> esperadas;
            const char* textos;
        } casos[] = {
            // clang-format off
            {"AcuerdosTodos", {}, "Todas", "", {1, 2, 3, 4, 7}, "Todos los acuerdos|Todas las invitaciones que"},
            {"AcuerdosTodos", {1, 2, 3}, "Todas", "", {1, 2, 3}, "Solo los folios seleccionados"},
            {"AcuerdosTodos", {}, "Confirmadas", "", {1, 2, 7}, "Invitaciones: solo las confirmadas"},
            {"AcuerdosTodos", {}, "Todas", "CAFE", {7}, "contenga: «CAFE»"},
            {"AcuerdosSrio", {}, "SinConfirmar", "", {3}, "Acuerdos del C. Secretario|Sin confirmar"},
            {"AcuerdosGob", {1, 2, 3}, "Todas", "", {2}, "Acuerdos del C. Gobernador|Asiste: Lic. Óscar Peña"},
            {"InvitacionSecretario", {}, "", "", {1, 7}, "Invitaciones del C. Secretario|Ángel Muñoz"},
            {"InvitacionGobernador", {1, 2, 3}, "", "", {2}, "sugiere la presencia Lic. Óscar Peña|5 de noviembre de 2011"},
            {"InvitacionGobernador", {1}, "", "", {}, "No hay invitaciones confirmadas"},
            // clang-format on
        };
        for (const auto& caso : casos) {
            const QString nombre = QStringLiteral("RPT%1.rpt").arg(QLatin1String(caso.archivo));
            auto reporte = Reporte::abre(nombre);
            preparado(*reporte, kelmar, caso.seleccion, QString::fromLatin1(caso.tipo),
                      QString::fromLatin1(caso.palabra));
            reporte->iniciaSesion(kelmar);
            const QString pdf = m_dir.filePath(QStringLiteral("reporte.pdf"));
            reporte->guardaPdf(pdf);
            const QStringList paginas = paginasDePdf(pdf);
            const QString texto = paginas.join(u' ').simplified();
            QVERIFY2(marcasEn(texto) == caso.esperadas, qPrintable(nombre + QStringLiteral(": ") + texto));
            QStringList esperados = QString::fromUtf8(caso.textos).split(u'|');
            esperados << QStringLiteral(
                             "Eventos a realizarse del 1 de noviembre de 2011 al 31 de diciembre de 2011")
                      << QStringLiteral("Impreso el 18/11/2011 09:30")
                      << QStringLiteral("Página 1 de %1").arg(paginas.size());
            for (const QString& esperado : esperados)
                QVERIFY2(texto.contains(esperado),
                         qPrintable(nombre + u' ' + esperado + QStringLiteral(": ") + texto));
        }
        QCOMPARE(foliosEnEspera(kelmar), 0);
    }

    // Many records: each on exactly one page, the headings and the page numbers on every page,
    // the criteria on the first only; a block is never split across pages.
    void paginacion_data() {
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("encabezado");
        QTest::newRow("tabla") << "RPTAcuerdosTodos.rpt"
                               << "Fecha y hora";
        QTest::newRow("bloques") << "RPTInvitacionSecretario.rpt"
                                 << "Invitaciones del C. Secretario";
    }
    void paginacion() {
        QFETCH(QString, archivo);
        QFETCH(QString, encabezado);
        BaseDePrueba base;
        QList<InvitacionDePrueba> muchas(150);
        for (int folio = 1; folio <= 150; ++folio) {
            InvitacionDePrueba& i = muchas[folio - 1];
            i.folio = folio;
            i.fechaEvento = QDate(2011, 11, 1).addDays(folio % 60);
            i.descripcion =
                QStringLiteral("EVT%1 Visita a la escuela número %1 de la zona escolar").arg(folio);
            i.representante = QStringLiteral("Representante %1").arg(folio);
            i.observacion = folio % 7 ? QString() : QStringLiteral("Llevar la documentación\ndel plantel");
        }
        insertaInvitaciones(base.kelmar(), muchas);
        auto reporte = Reporte::abre(archivo);
        preparado(*reporte, base.kelmar());
        reporte->iniciaSesion(base.kelmar());
        const QString pdf = m_dir.filePath(QStringLiteral("largo.pdf"));
        reporte->guardaPdf(pdf);
        const QStringList paginas = paginasDePdf(pdf);
        QVERIFY(paginas.size() > 3);
        for (int p = 0; p < paginas.size(); ++p) {
            const QString pagina = paginas.at(p).simplified();
            QVERIFY2(pagina.contains(encabezado), qPrintable(pagina));
            QVERIFY(pagina.contains(QStringLiteral("Página %1 de %2").arg(p + 1).arg(paginas.size())));
            QCOMPARE(pagina.contains(QStringLiteral("Eventos a realizarse")), p == 0);
        }
        QList<int> unaVezCada(150);
        std::iota(unaVezCada.begin(), unaVezCada.end(), 1);
        QCOMPARE(marcasEn(paginas.join(u' ')), unaVezCada);
        QVERIFY(paginas.constLast().contains(QStringLiteral("Total de invitaciones en el reporte: 150")));
    }

    // A parameter of the wrong kind is refused, and so is a log-on short of one; a
    // definition naming what the engine does not know fails loudly, saying what.
    void parametrosYDefinicion() {
        BaseDePrueba base;
        auto r = Reporte::abre(QStringLiteral("RPTAcuerdosTodos.rpt"));
        for (const auto& [posicion, valor] : {std::pair<int, QVariant>{8, "x"}, {1, "01/11/2011"}})
            QCOMPARE(errorDe([&] { r->estableceParametro(posicion, valor); }).numero(),
                     CodigoDeError::ParametroDeReporte);
        r->estableceParametro(1, QDate(2011, 11, 1));
        const ErrorDeEjecucion falta = errorDe([&] { r->iniciaSesion(base.kelmar()); });
        QCOMPARE(falta.numero(), CodigoDeError::ParametroDeReporte);
        QVERIFY(falta.descripcion().contains(QStringLiteral("parámetro 2 (@FechaFinal)")));

        const ErrorDeEjecucion mal =
            errorDe([&] { Reporte rechazado(cambiada("\"titulo\"", "\"titlo\": 1, \"titulo\"")); });
        QCOMPARE(mal.fuente(), QStringLiteral("RPTPrueba.rpt"));
        QVERIFY2(mal.descripcion().contains(QStringLiteral("titlo")), qPrintable(mal.descripcion()));
        Reporte sinCampo(cambiada("{Anio}-{Folio}", "{Anio}-{Inexistente}"));
        preparado(sinCampo, base.kelmar());
        const ErrorDeEjecucion e = errorDe([&] { sinCampo.iniciaSesion(base.kelmar()); });
        QCOMPARE(QList<int>({e.numero(), mal.numero()}), QList<int>(2, CodigoDeError::DefinicionDeReporte));
        QVERIFY(e.descripcion().contains(QStringLiteral("{Inexistente}")));

        // Rows the program gives: only to a definition that names their columns, each of them there.
        for (const QByteArray& datos :
             {QByteArray("\"datos\": {\"procedimiento\": \"X\", \"columnas\": [\"A\"]"),
              QByteArray("\"datos\": {\"columnas\": []")})
            QVERIFY(
                errorDe([&] {
                    Reporte r(cambiada(
                        "\"datos\": {\n    \"procedimiento\": \"ObtenerInvitacionesParaReporte\"", datos));
                })
                    .descripcion()
                    .contains(QStringLiteral("uno de los dos")));
        auto agenda = Reporte::abre(QStringLiteral("RPTAgendaSemana.rpt"));
        QCOMPARE(errorDe([&] { agenda->iniciaSesion(base.kelmar()); }).numero(),
                 CodigoDeError::DefinicionDeReporte);
        QVERIFY(errorDe([&] { agenda->estableceDatos(Recordset({QStringLiteral("Dia")}, {})); })
                    .descripcion()
                    .contains(QStringLiteral("la columna Hora")));
        QVERIFY(errorDe([&] { r->estableceDatos(Recordset({QStringLiteral("Anio")}, {})); })
                    .descripcion()
                    .contains(QStringLiteral("ObtenerInvitacionesParaReporte")));
    }

    // Painting that cannot happen says so, and a PDF that fails leaves the file as it was.
    void dispositivosQueFallan() {
        BaseDePrueba base;
        auto r = Reporte::abre(QStringLiteral("RPTAcuerdosTodos.rpt"));
        preparado(*r, base.kelmar());
        r->iniciaSesion(base.kelmar());
        const QString noHay = m_dir.filePath(QStringLiteral("no/existe/reporte.pdf"));
        QCOMPARE(errorDe([&] { r->guardaPdf(noHay); }).numero(), CodigoDeError::AccesoAlArchivo);
        QVERIFY(!QFile::exists(noHay));

        QPdfWriter pdf(m_dir.filePath(QStringLiteral("sin pintor.pdf")));
        QPainter pintor;
        QCOMPARE(errorDe([&] { r->pinta(pintor, pdf); }).numero(), CodigoDeError::Impresion);

        const QString previo = m_dir.filePath(QStringLiteral("previo.pdf"));
        QVERIFY(escribeArchivo(previo, "el reporte de ayer"));
        auto sinSesion = Reporte::abre(QStringLiteral("RPTAcuerdosTodos.rpt"));
        QVERIFY(errorDe([&] { sinSesion->guardaPdf(previo); }).numero() != 0);
        QFile archivo(previo);
        QVERIFY(archivo.open(QIODevice::ReadOnly));
        QCOMPARE(archivo.readAll(), QByteArray("el reporte de ayer"));
    }

private:
    // RPTAcuerdosTodos.rpt with a piece of it replaced, as a file of the test's own (RPTPrueba.rpt).
    QString cambiada(const QByteArray& buscar, const QByteArray& reemplazo) {
        QFile real(CarpetaDeDatos::archivo(QStringLiteral("RPTAcuerdosTodos.rpt")));
        QByteArray texto = real.open(QIODevice::ReadOnly) ? real.readAll() : QByteArray();
        const QString ruta = m_dir.filePath(QStringLiteral("RPTPrueba.rpt"));
        if (!texto.contains(buscar) || !escribeArchivo(ruta, texto.replace(buscar, reemplazo)))
            qFatal("no se pudo cambiar %s en %s", buscar.constData(), qPrintable(ruta));
        return ruta;
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TstMotorReportes)
#include "tst_motorreportes.moc"
