#include "agenda/FrmAgenda.h"

#include "agenda/PintorDeAgenda.h"
#include "common/Avisos.h"
#include "common/Listas.h"
#include "common/Modulo.h"
#include "common/VentanasDeTrabajo.h"
#include "outside/ErrorDeEjecucion.h"
#include "outside/Reloj.h"
#include "outside/reportes/Reporte.h"
#include "server/Calendario.h"
#include "server/Catalogos.h"

#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int filasDelMes = 6;

QPushButton* boton(QWidget* padre, const char* nombre, const QString& titulo) {
    auto* b = new QPushButton(titulo, padre);
    b->setObjectName(QString::fromLatin1(nombre));
    b->setAutoDefault(false);
    return b;
}

QComboBox* lista(QWidget* padre, const char* nombre, const QStringList& entradas) {
    auto* c = new QComboBox(padre);
    c->setObjectName(QString::fromLatin1(nombre));
    c->addItems(entradas);
    return c;
}

QTableWidget* rejilla(QWidget* padre, const char* nombre, int filas, int columnas) {
    auto* g = new QTableWidget(filas, columnas, padre);
    g->setObjectName(QString::fromLatin1(nombre));
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setTabKeyNavigation(false);
    g->setWordWrap(true);
    g->setItemDelegate(new PintorDeAgenda(g));
    g->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    return g;
}

QDate lunesDe(const QDate& dia) {
    return dia.addDays(1 - dia.dayOfWeek());
}

// "Invitación 5/2026: 23:00 Cena — Luis Gómez (Srio.)"
QString conRegistro(const Agenda::Entrada& e) {
    return QStringLiteral("%1 %2/%3: ")
               .arg(e.tipo == Agenda::Tipo::Invitacion ? QStringLiteral("Invitación")
                                                       : QStringLiteral("Evento"))
               .arg(e.folio)
               .arg(e.anio) +
           PintorDeAgenda::Texto(e, true);
}

QString nombreDelDia(const QDate& dia) {
    const QLocale es(QLocale::Spanish, QLocale::Mexico);
    return es.toString(dia, QStringLiteral("ddd d MMM"));
}

} // namespace

const QStringList& FrmAgenda::HorasDeLaSemana() {
    static const QStringList horas = [] {
        QStringList r{QStringLiteral("Sin hora")};
        for (int hora = 5; hora <= 23; ++hora)
            for (int minuto : {0, 30})
                r << QStringLiteral("%1:%2")
                         .arg(hora, 2, 10, QLatin1Char('0'))
                         .arg(minuto, 2, 10, QLatin1Char('0'));
        return r;
    }();
    return horas;
}

FrmAgenda::FrmAgenda(QWidget* parent) : QDialog(parent) {
    Modulo::PreparaVentanaDeTrabajo(*this, QStringLiteral("FrmAgenda"),
                                    QStringLiteral("Agenda de los titulares"), 12000, 7800);
    auto* disposicion = new QVBoxLayout(this);

    auto* filtros = new QHBoxLayout;
    CmbTitular = lista(this, "CmbTitular",
                       {QStringLiteral("Ambos"), QStringLiteral("Secretario"), QStringLiteral("Gobernador")});
    TxtRepresentante = new QLineEdit(this);
    TxtRepresentante->setObjectName(QStringLiteral("TxtRepresentante"));
    TxtRepresentante->setMaxLength(100);
    TxtRepresentante->setPlaceholderText(QStringLiteral("cualquiera"));
    CmbTipo = lista(this, "CmbTipo",
                    {QStringLiteral("Invitaciones y eventos"), QStringLiteral("Invitaciones"),
                     QStringLiteral("Eventos")});
    const auto rotulo = [&](const QString& texto, QWidget* de) {
        auto* l = new QLabel(texto, this);
        l->setBuddy(de);
        filtros->addWidget(l);
        filtros->addWidget(de);
    };
    rotulo(QStringLiteral("&Titular:"), CmbTitular);
    rotulo(QStringLiteral("&Representante:"), TxtRepresentante);
    rotulo(QStringLiteral("&Mostrar:"), CmbTipo);
    filtros->addStretch(1);
    disposicion->addLayout(filtros);

    auto* periodo = new QHBoxLayout;
    CmdAnterior = boton(this, "CmdAnterior", QStringLiteral("&Anterior"));
    CmdHoy = boton(this, "CmdHoy", QStringLiteral("&Hoy"));
    CmdSiguiente = boton(this, "CmdSiguiente", QStringLiteral("&Siguiente"));
    LblPeriodo = new QLabel(this);
    LblPeriodo->setObjectName(QStringLiteral("LblPeriodo"));
    QFont grande = LblPeriodo->font();
    grande.setBold(true);
    LblPeriodo->setFont(grande);
    periodo->addWidget(CmdAnterior);
    periodo->addWidget(CmdHoy);
    periodo->addWidget(CmdSiguiente);
    periodo->addWidget(LblPeriodo, 1);
    disposicion->addLayout(periodo);

    TabVistas = new QTabWidget(this);
    TabVistas->setObjectName(QStringLiteral("TabVistas"));
    GrdSemana = rejilla(this, "GrdSemana", int(HorasDeLaSemana().size()), 7);
    GrdSemana->setVerticalHeaderLabels(HorasDeLaSemana());
    GrdMes = rejilla(this, "GrdMes", filasDelMes, 7);
    GrdMes->verticalHeader()->hide();
    GrdMes->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    QStringList dias;
    for (int d = 1; d <= 7; ++d)
        dias << QLocale(QLocale::Spanish, QLocale::Mexico).dayName(d, QLocale::LongFormat);
    GrdMes->setHorizontalHeaderLabels(dias);
    TabVistas->addTab(GrdSemana, QStringLiteral("Sema&na"));
    TabVistas->addTab(GrdMes, QStringLiteral("M&es"));
    disposicion->addWidget(TabVistas, 1);

    LblLeyenda = new QLabel(PintorDeAgenda::Leyenda(), this);
    LblLeyenda->setObjectName(QStringLiteral("LblLeyenda"));
    LblLeyenda->setTextFormat(Qt::RichText);
    LblLeyenda->setWordWrap(true);
    disposicion->addWidget(LblLeyenda);

    auto* botones = new QHBoxLayout;
    CmdImprimir = boton(this, "CmdImprimir", QStringLiteral("&Imprimir..."));
    CmdConflictos = boton(this, "CmdConflictos", QStringLiteral("Con&flictos..."));
    CmdExportar = boton(this, "CmdExportar", QStringLiteral("E&xportar calendario..."));
    CmdExportarLista = boton(this, "CmdExportarLista", QStringLiteral("Exportar &lista..."));
    CmdCerrar = boton(this, "CmdCerrar", QStringLiteral("&Cerrar"));
    botones->addWidget(CmdImprimir);
    botones->addWidget(CmdConflictos);
    botones->addWidget(CmdExportar);
    botones->addWidget(CmdExportarLista);
    botones->addStretch(1);
    botones->addWidget(CmdCerrar);
    disposicion->addLayout(botones);

    connect(CmdAnterior, &QPushButton::clicked, this, &FrmAgenda::CmdAnterior_Click);
    connect(CmdHoy, &QPushButton::clicked, this, &FrmAgenda::CmdHoy_Click);
    connect(CmdSiguiente, &QPushButton::clicked, this, &FrmAgenda::CmdSiguiente_Click);
    connect(CmdImprimir, &QPushButton::clicked, this, &FrmAgenda::CmdImprimir_Click);
    connect(CmdConflictos, &QPushButton::clicked, this, &FrmAgenda::CmdConflictos_Click);
    connect(CmdExportar, &QPushButton::clicked, this, &FrmAgenda::CmdExportar_Click);
    connect(CmdExportarLista, &QPushButton::clicked, this, &FrmAgenda::CmdExportarLista_Click);
    connect(CmdCerrar, &QPushButton::clicked, this, &QDialog::reject);
    connect(CmbTitular, &QComboBox::currentIndexChanged, this, [this] { Refresca(); });
    connect(CmbTipo, &QComboBox::currentIndexChanged, this, [this] { Refresca(); });
    connect(TxtRepresentante, &QLineEdit::textChanged, this, [this] { Refresca(); });
    connect(TabVistas, &QTabWidget::currentChanged, this, [this] {
        Refresca();
        (VistaDeMes() ? GrdMes : GrdSemana)->setFocus();
    });
    for (QTableWidget* g : {GrdSemana, GrdMes}) {
        g->installEventFilter(this);
        connect(g, &QTableWidget::cellDoubleClicked, this, [this, g](int fila, int columna) {
            if (g == GrdMes) {
                VeAlDia(m_desde.addDays(fila * 7 + columna));
                TabVistas->setCurrentIndex(0);
                return;
            }
            const QVariantList aqui = g->item(fila, columna)
                                          ? g->item(fila, columna)->data(PintorDeAgenda::RolEntradas).toList()
                                          : QVariantList();
            if (!aqui.isEmpty()) {
                m_elegida = aqui.constFirst().toInt();
                m_dia = m_entradas.at(m_elegida).dia;
                AbreEntrada();
            }
        });
    }
}

void FrmAgenda::showEvent(QShowEvent* evento) {
    if (!m_cargada)
        Form_Load();
    QDialog::showEvent(evento);
}

void FrmAgenda::Form_Load() {
    m_cargada = true;
    Modulo::CentraEnMdi(*this);
    // The staff's names are offered as the representative is typed (any part of the name).
    try {
        auto* nombres =
            new QCompleter(Catalogos(Modulo::kelmar(), Modulo::taloren()).funcionarios(), TxtRepresentante);
        nombres->setCaseSensitivity(Qt::CaseInsensitive);
        nombres->setFilterMode(Qt::MatchContains);
        TxtRepresentante->setCompleter(nombres);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
    m_dia = Reloj::actual().hoy();
    Refresca();
    GrdSemana->setFocus();
}

bool FrmAgenda::VistaDeMes() const {
    return TabVistas->currentIndex() == 1;
}

Agenda::Filtro FrmAgenda::filtro() const {
    Agenda::Filtro f{.desde = m_desde, .hasta = m_hasta, .representante = TxtRepresentante->text()};
    if (CmbTitular->currentIndex() == 1)
        f.titular = Agenda::Titular::Secretario;
    else if (CmbTitular->currentIndex() == 2)
        f.titular = Agenda::Titular::Gobernador;
    if (CmbTipo->currentIndex() == 1)
        f.tipo = Agenda::Tipo::Invitacion;
    else if (CmbTipo->currentIndex() == 2)
        f.tipo = Agenda::Tipo::Evento;
    return f;
}

const Agenda::Entrada* FrmAgenda::EntradaElegida() const {
    return m_elegida >= 0 && m_elegida < m_entradas.size() ? &m_entradas.at(m_elegida) : nullptr;
}

void FrmAgenda::Refresca() {
    if (!m_cargada)
        return;
    const QString antes = EntradaElegida() ? EntradaElegida()->clave() : QString();
    if (VistaDeMes()) {
        const QDate primero(m_dia.year(), m_dia.month(), 1);
        m_desde = lunesDe(primero);
        m_hasta = m_desde.addDays(filasDelMes * 7 - 1);
        LblPeriodo->setText(
            QLocale(QLocale::Spanish, QLocale::Mexico).toString(primero, QStringLiteral("MMMM 'de' yyyy")));
    } else {
        m_desde = lunesDe(m_dia);
        m_hasta = m_desde.addDays(6);
        LblPeriodo->setText(QStringLiteral("Semana del %1 al %2")
                                .arg(m_desde.toString(QStringLiteral("dd/MM/yyyy")),
                                     m_hasta.toString(QStringLiteral("dd/MM/yyyy"))));
    }
    m_entradas.clear();
    m_elegida = -1;
    try {
        Agenda::Lector& lector = Modulo::LectorDeAgenda();
        m_entradas = lector.lee(filtro());
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
    for (int i = 0; i < m_entradas.size(); ++i)
        if (m_entradas.at(i).clave() == antes && m_entradas.at(i).dia == m_dia)
            m_elegida = i;
    if (m_elegida < 0)
        for (int i = 0; i < m_entradas.size(); ++i)
            if (m_entradas.at(i).dia == m_dia) {
                m_elegida = i;
                break;
            }
    if (VistaDeMes())
        llenaMes();
    else
        llenaSemana();
    marcaElegida();
}

int FrmAgenda::filaDe(const Agenda::Entrada& e) const {
    if (!e.hora || *e.hora < QTime(5, 0))
        return 0;
    return 1 + (e.hora->hour() - 5) * 2 + (e.hora->minute() >= 30 ? 1 : 0);
}

void FrmAgenda::llenaSemana() {
    GrdSemana->clearContents();
    QStringList titulos;
    for (int d = 0; d < 7; ++d)
        titulos << nombreDelDia(m_desde.addDays(d));
    GrdSemana->setHorizontalHeaderLabels(titulos);
    QHash<std::pair<int, int>, QVariantList> celdas;
    for (int i = 0; i < m_entradas.size(); ++i)
        celdas[{filaDe(m_entradas.at(i)), int(m_desde.daysTo(m_entradas.at(i).dia))}] << i;
    for (auto c = celdas.cbegin(); c != celdas.cend(); ++c) {
        auto* celda = new QTableWidgetItem;
        celda->setData(PintorDeAgenda::RolEntradas, c.value());
        QStringList textos;
        for (const QVariant& i : c.value())
            textos << PintorDeAgenda::Texto(m_entradas.at(i.toInt()), true);
        celda->setToolTip(textos.join(QLatin1Char('\n')));
        GrdSemana->setItem(c.key().first, c.key().second, celda);
    }
    static_cast<PintorDeAgenda*>(GrdSemana->itemDelegate())->estableceEntradas(&m_entradas);
    GrdSemana->resizeRowsToContents();
}

void FrmAgenda::llenaMes() {
    GrdMes->clearContents();
    static_cast<PintorDeAgenda*>(GrdMes->itemDelegate())->estableceEntradas(&m_entradas);
    QHash<int, QVariantList> porDia;
    for (int i = 0; i < m_entradas.size(); ++i)
        porDia[int(m_desde.daysTo(m_entradas.at(i).dia))] << i;
    for (int d = 0; d < filasDelMes * 7; ++d) {
        const QDate dia = m_desde.addDays(d);
        auto* celda = new QTableWidgetItem;
        celda->setData(PintorDeAgenda::RolDia, dia);
        celda->setData(PintorDeAgenda::RolEntradas, porDia.value(d));
        celda->setData(PintorDeAgenda::RolDelMes, dia.month() == m_dia.month());
        QStringList textos;
        for (const QVariant& i : porDia.value(d))
            textos << PintorDeAgenda::Texto(m_entradas.at(i.toInt()), false);
        celda->setToolTip(textos.join(QLatin1Char('\n')));
        GrdMes->setItem(d / 7, d % 7, celda);
    }
}

void FrmAgenda::marcaElegida() {
    for (QTableWidget* g : {GrdSemana, GrdMes})
        static_cast<PintorDeAgenda*>(g->itemDelegate())->estableceElegida(m_elegida);
    const int columna = int(m_desde.daysTo(m_dia));
    if (VistaDeMes()) {
        GrdMes->setCurrentCell(columna / 7, columna % 7);
    } else {
        const int fila = EntradaElegida() ? filaDe(*EntradaElegida()) : std::max(0, GrdSemana->currentRow());
        GrdSemana->setCurrentCell(fila, columna);
    }
    GrdSemana->viewport()->update();
    GrdMes->viewport()->update();
}

void FrmAgenda::VeAlDia(const QDate& dia) {
    if (!dia.isValid())
        return;
    const int filaAntes = EntradaElegida() ? filaDe(*EntradaElegida()) : GrdSemana->currentRow();
    m_dia = dia;
    // The month on view is the one of its grid's second week.
    const QDate mostrado = m_desde.addDays(7);
    const bool fuera = VistaDeMes() ? (dia.month() != mostrado.month() || dia.year() != mostrado.year())
                                    : (dia < m_desde || dia > m_hasta);
    if (fuera) {
        m_elegida = -1;
        Refresca();
        return;
    }
    // The entry of the new day nearest below the hour left behind, or its last.
    m_elegida = -1;
    for (int i = 0; i < m_entradas.size(); ++i)
        if (m_entradas.at(i).dia == dia) {
            m_elegida = i;
            if (filaDe(m_entradas.at(i)) >= filaAntes)
                break;
        }
    marcaElegida();
}

void FrmAgenda::mueveEnElDia(int paso) {
    for (int i = m_elegida + paso; i >= 0 && i < m_entradas.size(); i += paso)
        if (m_entradas.at(i).dia == m_dia) {
            m_elegida = i;
            marcaElegida();
            return;
        }
}

void FrmAgenda::mueveDeDia(int dias) {
    VeAlDia(m_dia.addDays(dias));
}

bool FrmAgenda::teclaDeVista(int tecla) {
    const bool mes = VistaDeMes();
    switch (tecla) {
    case Qt::Key_Up:
        mes ? mueveDeDia(-7) : mueveEnElDia(-1);
        return true;
    case Qt::Key_Down:
        mes ? mueveDeDia(7) : mueveEnElDia(1);
        return true;
    case Qt::Key_Left:
        mueveDeDia(-1);
        return true;
    case Qt::Key_Right:
        mueveDeDia(1);
        return true;
    case Qt::Key_PageUp:
        VeAlDia(mes ? m_dia.addMonths(-1) : m_dia.addDays(-7));
        return true;
    case Qt::Key_PageDown:
        VeAlDia(mes ? m_dia.addMonths(1) : m_dia.addDays(7));
        return true;
    case Qt::Key_Home:
        CmdHoy_Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (mes) {
            TabVistas->setCurrentIndex(0);
        } else {
            AbreEntrada();
        }
        return true;
    default:
        return false;
    }
}

bool FrmAgenda::eventFilter(QObject* objeto, QEvent* evento) {
    if ((objeto == GrdSemana || objeto == GrdMes) && evento->type() == QEvent::KeyPress) {
        const auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->modifiers() == Qt::NoModifier || tecla->modifiers() == Qt::KeypadModifier)
            return teclaDeVista(tecla->key());
    }
    return QDialog::eventFilter(objeto, evento);
}

void FrmAgenda::CmdAnterior_Click() {
    VeAlDia(VistaDeMes() ? m_dia.addMonths(-1) : m_dia.addDays(-7));
}

void FrmAgenda::CmdHoy_Click() {
    VeAlDia(Reloj::actual().hoy());
}

void FrmAgenda::CmdSiguiente_Click() {
    VeAlDia(VistaDeMes() ? m_dia.addMonths(1) : m_dia.addDays(7));
}

void FrmAgenda::AbreEntrada() {
    const Agenda::Entrada* e = EntradaElegida();
    if (!e)
        return;
    if (e->tipo == Agenda::Tipo::Invitacion)
        Modulo::AbreInvitacion(e->anio, e->folio);
    else
        Modulo::AbreEvento(e->folio, e->anio);
    Refresca();
    (VistaDeMes() ? GrdMes : GrdSemana)->setFocus();
}

void FrmAgenda::CmdImprimir_Click() {
    QList<QVariantList> filas;
    for (const Agenda::Entrada& e : std::as_const(m_entradas))
        filas << QVariantList{e.dia,
                              e.hora ? e.hora->toString(QStringLiteral("HH:mm")) : QStringLiteral("Sin hora"),
                              e.titularAbreviado(),
                              e.tipo == Agenda::Tipo::Invitacion ? QStringLiteral("Invitación")
                                                                 : QStringLiteral("Evento"),
                              QStringLiteral("%1/%2").arg(e.folio).arg(e.anio),
                              e.descripcion.simplified(),
                              e.lugar.simplified(),
                              e.invita,
                              e.representante,
                              e.confirmada ? QStringLiteral("Confirmado") : QStringLiteral("Sin confirmar")};
    QStringList filtros;
    if (CmbTitular->currentIndex() > 0)
        filtros << QStringLiteral("Solo del %1").arg(CmbTitular->currentText());
    if (!TxtRepresentante->text().trimmed().isEmpty())
        filtros << QStringLiteral("Representante que contiene «%1»").arg(TxtRepresentante->text().trimmed());
    if (CmbTipo->currentIndex() > 0)
        filtros << QStringLiteral("Solo %1").arg(CmbTipo->currentText().toLower());
    try {
        std::shared_ptr<Reporte> reporte = Reporte::abre(QStringLiteral("RPTAgendaSemana.rpt"));
        reporte->estableceParametro(1, m_desde);
        reporte->estableceParametro(2, m_hasta);
        reporte->estableceParametro(3, filtros.join(QStringLiteral(" · ")));
        reporte->estableceDatos(Recordset(
            {QStringLiteral("Dia"), QStringLiteral("Hora"), QStringLiteral("Para"), QStringLiteral("Tipo"),
             QStringLiteral("Folio"), QStringLiteral("Evento"), QStringLiteral("Lugar"),
             QStringLiteral("Invita"), QStringLiteral("Representante"), QStringLiteral("Estado")},
            filas, QStringLiteral("Agenda")));
        Modulo::EntregaReporte(reporte);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmAgenda::CmdConflictos_Click() {
    const QDate hoy = Reloj::actual().hoy();
    try {
        Agenda::Lector& lector = Modulo::LectorDeAgenda();
        Agenda::Filtro cuatroSemanas = filtro();
        cuatroSemanas.desde = hoy;
        cuatroSemanas.hasta = hoy.addDays(27);
        QList<QVariantList> filas;
        for (const auto& [a, b] : Agenda::dobleReservas(lector.lee(cuatroSemanas), lector.margen()))
            filas << QVariantList{a.dia, a.persona(), conRegistro(a), conRegistro(b)};
        std::shared_ptr<Reporte> reporte = Reporte::abre(QStringLiteral("RPTConflictos.rpt"));
        reporte->estableceParametro(1, cuatroSemanas.desde);
        reporte->estableceParametro(2, cuatroSemanas.hasta);
        reporte->estableceParametro(3, QString::number(lector.margen()));
        reporte->estableceDatos(Recordset({QStringLiteral("Dia"), QStringLiteral("Persona"),
                                           QStringLiteral("Primero"), QStringLiteral("Segundo")},
                                          filas, QStringLiteral("Agenda")));
        Modulo::EntregaReporte(reporte);
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
    }
}

void FrmAgenda::CmdExportar_Click() {
    const QString carpeta = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                .filePath(QStringLiteral("TALOREN"));
    const QString sugerido = QStringLiteral("Agenda del %1 al %2.ics")
                                 .arg(m_desde.toString(QStringLiteral("yyyy-MM-dd")),
                                      m_hasta.toString(QStringLiteral("yyyy-MM-dd")));
    const QString archivo = Modulo::EligeArchivoParaGuardar(
        this, QStringLiteral("DlgExportarCalendario"), QStringLiteral("Exportar calendario"),
        QDir(carpeta).filePath(sugerido), QStringLiteral("Calendarios (*.ics)"), QStringLiteral("ics"));
    if (archivo.isEmpty())
        return;
    try {
        Agenda::Lector& lector = Modulo::LectorDeAgenda();
        const Calendario::Oficina oficina = Calendario::oficina(Modulo::kelmar());
        QList<Agenda::Entrada> canceladas;
        QSet<QString> vivas;
        for (const Agenda::Entrada& e : m_entradas)
            vivas.insert(e.clave());
        for (const Agenda::Entrada& e :
             Calendario::eliminadas(Modulo::kelmar(), Modulo::taloren(), lector, filtro()))
            if (!vivas.contains(e.clave()))
                canceladas << e;
        const QByteArray ics =
            Calendario::ics(m_entradas, canceladas, oficina, QDateTime::currentDateTimeUtc());
        QSaveFile f(archivo);
        if (!f.open(QIODevice::WriteOnly) || f.write(ics) != ics.size() || !f.commit())
            throw ErrorDeEjecucion(CodigoDeError::Ajustes,
                                   QStringLiteral("No se pudo escribir el archivo %1 (%2).")
                                       .arg(QDir::toNativeSeparators(archivo), f.errorString()),
                                   QStringLiteral("Agenda"));
    } catch (...) {
        Modulo::ReportaErrorActual(Modulo::FormaDeReporte::Ventana);
        return;
    }
    Modulo::MensajeInformativo(QStringLiteral("La agenda se guardó en el archivo %1 (%2 entradas).")
                                   .arg(QDir::toNativeSeparators(archivo))
                                   .arg(m_entradas.size()));
}

void FrmAgenda::CmdExportarLista_Click() {
    // The entries of the period on view, one a row, as the shared export reads a grid.
    QStandardItemModel lista(0, 13);
    lista.setHorizontalHeaderLabels(
        {QStringLiteral("Día"), QStringLiteral("Hora"), QStringLiteral("Tipo"), QStringLiteral("Año"),
         QStringLiteral("Folio"), QStringLiteral("Titular"), QStringLiteral("Representante"),
         QStringLiteral("Descripción"), QStringLiteral("Lugar"), QStringLiteral("Invita"),
         QStringLiteral("Indicación"), QStringLiteral("Observación"), QStringLiteral("Confirmada")});
    const auto celda = [](const QVariant& valor) {
        auto* c = new QStandardItem;
        c->setData(valor, Qt::DisplayRole);
        return c;
    };
    for (const Agenda::Entrada& e : std::as_const(m_entradas)) {
        const bool invitacion = e.tipo == Agenda::Tipo::Invitacion;
        lista.appendRow(
            {celda(e.dia),
             celda(e.hora ? e.hora->toString(QStringLiteral("HH:mm")) : QStringLiteral("Sin hora")),
             celda(invitacion ? QStringLiteral("Invitación") : QStringLiteral("Evento")), celda(e.anio),
             celda(e.folio),
             celda(e.titular == Agenda::Titular::Secretario ? QStringLiteral("Secretario")
                                                            : QStringLiteral("Gobernador")),
             celda(e.representante), celda(e.descripcion), celda(e.lugar), celda(e.invita),
             celda(e.indicacion), celda(e.observacion),
             celda(e.confirmada ? QStringLiteral("Sí") : QStringLiteral("No"))});
    }
    Listas::Exporta(*this, Listas::TablaDe(lista),
                    QStringLiteral("Agenda del %1 al %2")
                        .arg(m_desde.toString(QStringLiteral("dd-MM-yyyy")),
                             m_hasta.toString(QStringLiteral("dd-MM-yyyy"))));
}
