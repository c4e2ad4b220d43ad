#include "outside/CarpetaDeDatos.h"
#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "outside/reportes/Reporte.h"
#include "support/BaseDePrueba.h"
#include "support/InvitacionesDePrueba.h"
#include "support/TextoDePdf.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

namespace {

void selecciona(Conexion& kelmar, const QList<int>& folios) {
    for (int folio : folios) {
        Parametros p{Parametro::entrada(QStringLiteral("@Anio"), TipoDeParametro::SmallInt, 0, 2011),
                     Parametro::entrada(QStringLiteral("@Folio"), TipoDeParametro::SmallInt, 0, folio)};
        kelmar.ejecutaProcedimiento(QStringLiteral("InsertarAnioFolioInvit"), p);
    }
}

// A report of November and December 2011 as the report window makes it.
std::unique_ptr<Reporte> preparado(Conexion& kelmar, const QString& archivo, const QList<int>& seleccion = {},
                                   const QString& tipo = QStringLiteral("Todas"),
                                   const QString& palabra = {}) {
    auto r = Reporte::abre(archivo);
    r->estableceParametro(1, QDate(2011, 11, 1));
    r->estableceParametro(2, QDate(2011, 12, 31));
    r->estableceParametro(3, palabra);
    r->estableceParametro(4, QString());
    r->estableceParametro(5, QString());
    selecciona(kelmar, seleccion);
    r->estableceParametro(6, !seleccion.isEmpty());
    if (r->numeroDeParametros() == 7)
        r->estableceParametro(7, tipo);
    r->iniciaSesion(kelmar);
    return r;
}

QString unaLinea(const QStringList& paginas) {
    return paginas.join(QLatin1Char(' ')).simplified();
}

// The smallest definition the engine takes; rows change one piece of it.
const QByteArray definicionMinima = R"({
  "titulo": "Prueba",
  "hoja": {"papel": "carta", "orientacion": "vertical", "margen": 10},
  "letra": {"familia": "DejaVu Sans", "puntos": 8},
  "parametros": [{"nombre": "@FechaInicial", "tipo": "fecha"}, {"nombre": "@FechaFinal", "tipo": "fecha"}],
  "datos": {"procedimiento": "Lista"},
  "pie": {"derecha": "Página {#pagina} de {#paginas}"},
  "tabla": [{"titulo": "Folio", "ancho": 10, "texto": "{Anio}-{Folio}"}],
  "sinDatos": "Nada"
})";

} // namespace

class TstMotorReportes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); }

    // Each report holds exactly the invitations its criteria and the staged folios give.
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
            const char* tipo;
            const char* palabra;
            QSet<int> esperadas;
            const char* textos;
        } casos[] = {
            {"RPTAcuerdosTodos.rpt",
             {},
             "Todas",
             "",
             {1, 2, 3, 4, 7},
             "Todos los acuerdos|Todas las invitaciones que"},
            {"RPTAcuerdosTodos.rpt", {1, 2, 3}, "Todas", "", {1, 2, 3}, "Solo los folios seleccionados"},
            {"RPTAcuerdosTodos.rpt", {}, "Confirmadas", "", {1, 2, 7}, "Invitaciones: solo las confirmadas"},
            {"RPTAcuerdosTodos.rpt", {}, "Todas", "CAFE", {7}, "contenga: «CAFE»"},
            {"RPTAcuerdosSrio.rpt", {}, "SinConfirmar", "", {3}, "Acuerdos del C. Secretario|Sin confirmar"},
            {"RPTAcuerdosGob.rpt",
             {1, 2, 3},
             "Todas",
             "",
             {2},
             "Acuerdos del C. Gobernador|Asiste: Lic. Óscar Peña"},
            {"RPTInvitacionSecretario.rpt", {}, "", "", {1, 7}, "Invitaciones del C. Secretario|Ángel Muñoz"},
            {"RPTInvitacionGobernador.rpt",
             {1, 2, 3},
             "",
             "",
             {2},
             "sugiere la presencia Lic. Óscar Peña|5 de noviembre de 2011"},
            {"RPTInvitacionGobernador.rpt", {1}, "", "", {}, "No hay invitaciones confirmadas"},
        };
        for (const auto& caso : casos) {
            const QString nombre = QString::fromLatin1(caso.archivo);
            auto reporte = preparado(kelmar, nombre, caso.seleccion, QString::fromLatin1(caso.tipo),
                                     QString::fromLatin1(caso.palabra));
            const QString pdf = m_dir.filePath(QStringLiteral("reporte.pdf"));
            reporte->guardaPdf(pdf);
            const QStringList paginas = paginasDePdf(pdf);
            const QString texto = unaLinea(paginas);
            QVERIFY2(marcasEn(texto) == caso.esperadas, qPrintable(nombre + QStringLiteral(": ") + texto));
            for (const QString& esperado : QString::fromUtf8(caso.textos).split(QLatin1Char('|')))
                QVERIFY2(texto.contains(esperado), qPrintable(nombre + QStringLiteral(" sin «") + esperado +
                                                              QStringLiteral("»: ") + texto));
            QVERIFY(texto.contains(QStringLiteral("Eventos a realizarse del 1 de noviembre de 2011 al 31 de "
                                                  "diciembre de 2011")));
            QVERIFY(texto.contains(QStringLiteral("Impreso el 18/11/2011 09:30")));
            QVERIFY(texto.contains(QStringLiteral("Página 1 de %1").arg(paginas.size())));
        }
        QCOMPARE(
            kelmar.ejecuta(QStringLiteral("select count(*) from folios_por_imprimir")).valor(0, 0).toInt(),
            0);
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
        QList<InvitacionDePrueba> muchas;
        for (int folio = 1; folio <= 150; ++folio) {
            InvitacionDePrueba i;
            i.folio = folio;
            i.fechaEvento = QDate(2011, 11, 1).addDays(folio % 60);
            i.descripcion =
                QStringLiteral("EVT%1 Visita a la escuela número %1 de la zona escolar").arg(folio);
            i.representante = QStringLiteral("Representante %1").arg(folio);
            i.observacion = folio % 7 ? QString() : QStringLiteral("Llevar la documentación\ndel plantel");
            muchas << i;
        }
        insertaInvitaciones(base.kelmar(), muchas);
        auto reporte = preparado(base.kelmar(), archivo);
        QCOMPARE(reporte->datos().filas(), 150);
        const QString pdf = m_dir.filePath(QStringLiteral("largo.pdf"));
        reporte->guardaPdf(pdf);
        const QStringList paginas = paginasDePdf(pdf);
        QVERIFY(paginas.size() > 3);
        const QString todo = paginas.join(QLatin1Char(' '));
        for (int folio = 1; folio <= 150; ++folio)
            QCOMPARE(vecesQueAparece(todo, folio), 1);
        for (int p = 0; p < paginas.size(); ++p) {
            const QString pagina = paginas.at(p).simplified();
            QVERIFY2(pagina.contains(encabezado), qPrintable(pagina));
            QVERIFY(pagina.contains(QStringLiteral("Página %1 de %2").arg(p + 1).arg(paginas.size())));
            QCOMPARE(pagina.contains(QStringLiteral("Eventos a realizarse")), p == 0);
        }
        QVERIFY(paginas.constLast().contains(QStringLiteral("Total de invitaciones en el reporte: 150")));
    }

    void plantillas_data() {
        QTest::addColumn<QString>("plantilla");
        QTest::addColumn<QVariantMap>("valores");
        QTest::addColumn<QString>("esperado");
        const QVariantMap juntos{{"A", "Ana"}, {"B", "Pérez"}, {"P", "Lic."}};
        const QVariantMap sinB{{"A", "Ana"}, {"B", ""}, {"P", ""}};
        QTest::newRow("parte opcional con dato") << "{A}[, {B}]" << juntos << "Ana, Pérez";
        QTest::newRow("parte opcional sin dato") << "{A}[, {B}]" << sinB << "Ana";
        QTest::newRow("grupo anidado") << "[Asiste: [{P} ]{A}]" << sinB << "Asiste: Ana";
        QTest::newRow("grupo sin su dato") << "[Asiste: [{P} ]{B}]" << juntos << "Asiste: Lic. Pérez";
        QTest::newRow("prefijo vacío al inicio") << "{P} {A}" << sinB << "Ana";
        QTest::newRow("fecha larga") << "{F:fechalarga}" << QVariantMap{{"F", "2011-11-05 00:00:00"}}
                                     << "5 de noviembre de 2011";
        QTest::newRow("fecha de un parámetro")
            << "{F}" << QVariantMap{{"F", QDate(2011, 12, 31)}} << "31/12/2011";
        QTest::newRow("tabla de valores")
            << "{E:CONFIRMADA=Sí;*=No}" << QVariantMap{{"E", "SINCONFIRMAR"}} << "No";
        QTest::newRow("lógico falso") << "{L:uno|dos}" << QVariantMap{{"L", false}} << "dos";
        QTest::newRow("mayúsculas") << "{A:mayusculas}" << QVariantMap{{"A", "peña"}} << "PEÑA";
    }
    void plantillas() {
        QFETCH(QString, plantilla);
        QFETCH(QVariantMap, valores);
        QFETCH(QString, esperado);
        const Plantilla p = Plantilla::lee(plantilla, QStringLiteral("prueba"), QStringLiteral("prueba"));
        QCOMPARE(p.evalua([&](const Plantilla::Campo& c) {
            return Reporte::formatea(valores.value(c.nombre), c.formato);
        }),
                 esperado);
    }

    // A faulty definition says which file, where in it and what is wrong.
    void definicionesRechazadas_data() {
        QTest::addColumn<QByteArray>("buscar");
        QTest::addColumn<QByteArray>("reemplazo");
        QTest::addColumn<QStringList>("dichos");
        QTest::newRow("no es JSON") << QByteArray("\"titulo\": \"Prueba\",")
                                    << QByteArray("\"titulo\" \"Prueba\",") << QStringList{"línea 2"};
        QTest::newRow("dato desconocido")
            << QByteArray("\"titulo\"") << QByteArray("\"titlo\": 1, \"titulo\"")
            << QStringList{"titlo", "no se conoce"};
        QTest::newRow("dato que falta")
            << QByteArray("\"sinDatos\": \"Nada\"") << QByteArray("\"resumen\": \"\"")
            << QStringList{"sinDatos", "falta"};
        QTest::newRow("número que no es") << QByteArray("\"puntos\": 8") << QByteArray("\"puntos\": \"ocho\"")
                                          << QStringList{"letra.puntos"};
        QTest::newRow("corchete sin cerrar")
            << QByteArray("\"{Anio}-{Folio}\"") << QByteArray("\"[{Anio}-{Folio}\"")
            << QStringList{"tabla[1].texto", "sin cerrar"};
        QTest::newRow("formato desconocido")
            << QByteArray("{Anio}-") << QByteArray("{Anio:fechota}-") << QStringList{"fechota"};
        QTest::newRow("parámetro que no tiene")
            << QByteArray("{Anio}-") << QByteArray("{3}-") << QStringList{"{3}", "2"};
        QTest::newRow("página fuera del pie")
            << QByteArray("{Anio}-") << QByteArray("{#pagina}-") << QStringList{"#pagina", "pie"};
        QTest::newRow("papel desconocido") << QByteArray("\"carta\"") << QByteArray("\"tabloide\"")
                                           << QStringList{"hoja.papel", "tabloide", "carta"};
        QTest::newRow("tabla y bloque")
            << QByteArray("\"sinDatos\"") << QByteArray("\"bloque\": {\"renglones\": []}, \"sinDatos\"")
            << QStringList{"uno de los dos"};
    }
    void definicionesRechazadas() {
        QFETCH(QByteArray, buscar);
        QFETCH(QByteArray, reemplazo);
        QFETCH(QStringList, dichos);
        QByteArray texto = definicionMinima;
        QVERIFY(texto.contains(buscar));
        texto.replace(buscar, reemplazo);
        const QString ruta = m_dir.filePath(QStringLiteral("RPTPrueba.rpt"));
        QFile archivo(ruta);
        QVERIFY(archivo.open(QIODevice::WriteOnly | QIODevice::Truncate));
        archivo.write(texto);
        archivo.close();
        const ErrorDeEjecucion e = errorDe([&] { Reporte r(ruta); });
        QCOMPARE(e.numero(), CodigoDeError::DefinicionDeReporte);
        QCOMPARE(e.fuente(), QStringLiteral("RPTPrueba.rpt"));
        for (const QString& dicho : dichos)
            QVERIFY2(e.descripcion().contains(dicho), qPrintable(e.descripcion()));
    }

    // The definitions are found in the program's data folder, and an absent one says where it was looked for.
    void carpetaDeDatos() {
        QVERIFY(!CarpetaDeDatos::archivo(QStringLiteral("RPTAcuerdosTodos.rpt")).isEmpty());
        const CarpetaDeDatos::Sustituto vacia(m_dir.path());
        const ErrorDeEjecucion e = errorDe([] { Reporte::abre(QStringLiteral("RPTAcuerdosTodos.rpt")); });
        QCOMPARE(e.numero(), CodigoDeError::ArchivoNoEncontrado);
        QVERIFY(e.descripcion().contains(m_dir.path()));
    }

    // Parameters by position and of their kind; the log-on needs every one and fields the data gives.
    void parametrosYSesion() {
        BaseDePrueba base;
        auto r = Reporte::abre(QStringLiteral("RPTAcuerdosTodos.rpt"));
        const struct {
            int posicion;
            QVariant valor;
        } malos[] = {
            {0, QDate(2011, 1, 1)}, {8, QStringLiteral("x")},           {1, QStringLiteral("01/11/2011")},
            {3, QDate(2011, 1, 1)}, {3, QString(21, QLatin1Char('x'))}, {6, 1}};
        for (const auto& m : malos)
            QCOMPARE(errorDe([&] { r->estableceParametro(m.posicion, m.valor); }).numero(),
                     CodigoDeError::ParametroDeReporte);
        r->estableceParametro(1, QDate(2011, 11, 1));
        const ErrorDeEjecucion falta = errorDe([&] { r->iniciaSesion(base.kelmar()); });
        QCOMPARE(falta.numero(), CodigoDeError::ParametroDeReporte);
        QVERIFY(falta.descripcion().contains(QStringLiteral("parámetro 2 (@FechaFinal)")));
        QPdfWriter pdf(m_dir.filePath(QStringLiteral("nada.pdf")));
        QCOMPARE(errorDe([&] { r->paginas(pdf); }).numero(), CodigoDeError::ParametroDeReporte);

        // A field the procedure does not give is caught at the log-on, by its name.
        QFile real(CarpetaDeDatos::archivo(QStringLiteral("RPTAcuerdosTodos.rpt")));
        QVERIFY(real.open(QIODevice::ReadOnly));
        QByteArray texto = real.readAll();
        QVERIFY(texto.contains("{Anio}-{Folio}"));
        texto.replace("{Anio}-{Folio}", "{Anio}-{Inexistente}");
        const QString ruta = m_dir.filePath(QStringLiteral("RPTCampo.rpt"));
        QFile archivo(ruta);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write(texto);
        archivo.close();
        Reporte sinCampo(ruta);
        const QVariant valores[] = {
            QDate(2011, 11, 1),     QDate(2011, 12, 31), QString(), QString(), QString(), false,
            QStringLiteral("Todas")};
        for (int i = 0; i < 7; ++i)
            sinCampo.estableceParametro(i + 1, valores[i]);
        const ErrorDeEjecucion e = errorDe([&] { sinCampo.iniciaSesion(base.kelmar()); });
        QCOMPARE(e.numero(), CodigoDeError::DefinicionDeReporte);
        QVERIFY(e.descripcion().contains(QStringLiteral("{Inexistente}")));
    }

    // Painting that cannot happen says so, and a PDF that fails leaves the file as it was.
    void dispositivosQueFallan() {
        BaseDePrueba base;
        insertaInvitaciones(base.kelmar(), juegoDeReportes());
        auto r = preparado(base.kelmar(), QStringLiteral("RPTAcuerdosTodos.rpt"));
        const QString noHay = m_dir.filePath(QStringLiteral("no/existe/reporte.pdf"));
        QCOMPARE(errorDe([&] { r->guardaPdf(noHay); }).numero(), CodigoDeError::AccesoAlArchivo);
        QVERIFY(!QFile::exists(noHay));

        QPdfWriter pdf(m_dir.filePath(QStringLiteral("sin pintor.pdf")));
        QPainter pintor;
        QCOMPARE(errorDe([&] { r->pinta(pintor, pdf); }).numero(), CodigoDeError::Impresion);

        const QString previo = m_dir.filePath(QStringLiteral("previo.pdf"));
        QFile archivo(previo);
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write("el reporte de ayer");
        archivo.close();
        auto sinSesion = Reporte::abre(QStringLiteral("RPTAcuerdosTodos.rpt"));
        QVERIFY(errorDe([&] { sinSesion->guardaPdf(previo); }).numero() != 0);
        QVERIFY(archivo.open(QIODevice::ReadOnly));
        QCOMPARE(archivo.readAll(), QByteArray("el reporte de ayer"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TstMotorReportes)
#include "tst_motorreportes.moc"
