#pragma once

#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "support/EntornoDeVentanas.h"

#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QTest>
#include <memory>

// The day every invitation test works on, unless a row says otherwise.
inline QDateTime momentoDePrueba(QTime hora = QTime(10, 0)) {
    return QDateTime(QDate(2011, 11, 18), hora);
}

// One invitation window of the program on the test's catalogs, shown and
// active on a fixed day, with the user "lupita" ("Lupita") logged in.
template <typename Ventana> struct EnVentana {
    explicit EnVentana(Motor motor = Motor::SQLite, const QDateTime& ahora = momentoDePrueba())
        : reloj(ahora), relojEnUso(reloj), e(motor) {
        e.conecta(QStringLiteral("lupita"), QStringLiteral("Lupita"));
        ventana = std::make_unique<Ventana>();
        ventana->show();
        QApplication::setActiveWindow(ventana.get());
        activa = QTest::qWaitForWindowActive(ventana.get());
    }
    Ventana* operator->() const { return ventana.get(); }
    Conexion& kelmar() { return e.base.kelmar(); }
    QString foco() const {
        const QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    RelojFijo reloj;
    Reloj::Sustituto relojEnUso;
    EntornoDeVentanas e;
    std::unique_ptr<Ventana> ventana;
    bool activa = false;
};

inline void elige(QComboBox* lista, const QString& entrada) {
    const int i = lista->findText(entrada);
    QVERIFY2(i >= 0, qPrintable(entrada));
    lista->setCurrentIndex(i);
}

// The stored row of an invitation, every column by its name.
inline Recordset filaGuardada(Conexion& kelmar, int anio, int folio) {
    return kelmar.ejecuta(QStringLiteral("select * from invitacion where Anio = ? and Folio = ?"),
                          {anio, folio});
}

inline int invitacionesGuardadas(Conexion& kelmar) {
    return kelmar.ejecuta(QStringLiteral("select count(*) from invitacion")).valor(0, 0).toInt();
}

// Registers an invitation through the procedure, as another station would;
// `cambios` replaces fields by parameter name. Returns its folio.
inline int registraInvitacion(Conexion& kelmar, const QHash<QString, QVariant>& cambios = {}) {
    QList<std::pair<QString, QVariant>> campos{
        {QStringLiteral("@Anio"), 2011},
        {QStringLiteral("@FechaRecepcion"), QDate(2011, 11, 17)},
        {QStringLiteral("@FechaEvento"), QDate(2011, 11, 25)},
        {QStringLiteral("@Hora"), QStringLiteral("10:30")},
        {QStringLiteral("@Descripcion"), QStringLiteral("Informe de labores")},
        {QStringLiteral("@Ubicacion"), QStringLiteral("Teatro Ocampo")},
        {QStringLiteral("@Suscriptor "), QStringLiteral("Juana Ocampo Galindo")},
        {QStringLiteral("@CargoSuscriptor"), QStringLiteral("Presidenta Municipal")},
        {QStringLiteral("@TelSuscriptor"), QStringLiteral("735-1")},
        {QStringLiteral("@Representante"), QString()},
        {QStringLiteral("@CargoRepresentante"), QString()},
        {QStringLiteral("@TelRepresentante"), QString()},
        {QStringLiteral("@Titular"), QStringLiteral("Arturo Flores Pedraza")},
        {QStringLiteral("@CargoTitular"), QStringLiteral("Director General de Educación Básica")},
        {QStringLiteral("@TelTitular"), QStringLiteral("777-3180180")},
        {QStringLiteral("@Caracter"), QStringLiteral("Normal")},
        {QStringLiteral("@Indicacion"), QStringLiteral("Atender y enviar tarjeta informativa")},
        {QStringLiteral("@RepresentaA"), QStringLiteral("Srio")},
        {QStringLiteral("@Observacion"), QString()},
        {QStringLiteral("@Estatus"), QStringLiteral("SINCONFIRMAR")},
        {QStringLiteral("@Prefijo1"), QStringLiteral("a la")},
        {QStringLiteral("@Prefijo2"), QString()},
        {QStringLiteral("@Prefijo3"), QStringLiteral("el")},
        {QStringLiteral("@UsrCaptura"), QStringLiteral("memo")},
    };
    Parametros p;
    for (const auto& [nombre, porOmision] : campos) {
        const QVariant valor = cambios.value(nombre, porOmision);
        const auto tipo = nombre == QLatin1String("@Anio")            ? TipoDeParametro::SmallInt
                          : valor.metaType().id() == QMetaType::QDate ? TipoDeParametro::Date
                                                                      : TipoDeParametro::VarChar;
        p << Parametro::entrada(nombre, tipo, tipo == TipoDeParametro::VarChar ? 2000 : 0, valor);
    }
    p << Parametro::salida(QStringLiteral("@Folio"), TipoDeParametro::SmallInt);
    kelmar.ejecutaProcedimiento(QStringLiteral("InsertarUnRegEnInvitacion"), p);
    return p.constLast().valor.toInt();
}
