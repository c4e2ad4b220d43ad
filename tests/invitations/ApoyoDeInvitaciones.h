#pragma once

#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "support/EntornoDeVentanas.h"
#include "support/Invitaciones.h"

#include <QApplication>
#include <QComboBox>
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
