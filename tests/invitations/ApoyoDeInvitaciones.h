#pragma once

// The invitation windows and the controls their tests drive.
#include "common/FrmErrores.h"
#include "controls/BotonesDeComando.h"
#include "controls/CmbClaveDescrip.h"
#include "controls/TextoMultilinea.h"
#include "invitations/FrmModificarInvitacion.h"
#include "invitations/FrmRegistrarInvitacion.h"
#include "outside/Conexion.h"
#include "outside/Reloj.h"
#include "support/EntornoDeVentanas.h"
#include "support/InvitacionesDePrueba.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>

// The day every invitation test works on, unless a row says otherwise.
inline QDateTime momentoDePrueba(QTime hora = QTime(10, 0)) {
    return QDateTime(QDate(2011, 11, 18), hora);
}

// One invitation window of the program on the test's catalogs, shown and
// active on a fixed day, with the user "lupita" ("Lupita") logged in; `antes`
// changes the catalogs before the window loads.
template <typename Ventana> struct EnVentana {
    explicit EnVentana(Motor motor = Motor::SQLite, const QDateTime& ahora = momentoDePrueba(),
                       const std::function<void(Conexion&)>& antes = {})
        : reloj(ahora), relojEnUso(reloj), e(motor) {
        e.conecta(QStringLiteral("lupita"), QStringLiteral("Lupita"));
        if (antes)
            antes(e.base.kelmar());
        ventana = std::make_unique<Ventana>();
        ventana->show();
        QApplication::setActiveWindow(ventana.get());
        activa = QTest::qWaitForWindowActive(ventana.get());
    }
    Ventana* operator->() const { return ventana.get(); }
    // Forgets the boxes shown so far, scripts the answers and clicks: the
    // texts of the boxes the click showed.
    template <typename Boton>
    QStringList pulsa(Boton* boton, std::initializer_list<CajaDeMensajes::Boton> respuestas = {}) {
        e.caja.olvida();
        for (CajaDeMensajes::Boton r : respuestas)
            e.caja.responde(r);
        boton->click();
        return e.caja.textos();
    }
    Conexion& kelmar() { return e.base.kelmar(); }
    // The stored texts of an invitation's columns, named "A,B,C".
    QStringList columnas(int folio, const char* nombres) {
        const Recordset fila = filaGuardada(kelmar(), folio);
        QStringList textos;
        for (const QString& nombre : QString::fromLatin1(nombres).split(QLatin1Char(',')))
            textos << fila.texto(0, nombre);
        return textos;
    }

    RelojFijo reloj;
    Reloj::Sustituto relojEnUso;
    EntornoDeVentanas e;
    std::unique_ptr<Ventana> ventana;
    bool activa = false;
};

inline bool tieneElFoco(QWidget* control) {
    QWidget* f = QApplication::focusWidget();
    return f && (f == control || control->isAncestorOf(f));
}

// Types into a one-line or a multi-line box.
inline void escribe(QWidget* caja, const QString& texto) {
    caja->setProperty(caja->inherits("QLineEdit") ? "text" : "plainText", texto);
}

inline void elige(QComboBox* lista, const QString& entrada) {
    const int i = lista->findText(entrada);
    QVERIFY2(i >= 0, qPrintable(entrada));
    lista->setCurrentIndex(i);
}

// Gives a control a value: a date, an entry of its list, or a text.
inline void pon(QWidget* control, const QVariant& valor) {
    if (auto* fecha = qobject_cast<QDateEdit*>(control))
        fecha->setDate(valor.toDate());
    else if (auto* lista = qobject_cast<QComboBox*>(control))
        valor.typeId() == QMetaType::Int ? lista->setCurrentIndex(valor.toInt())
                                         : elige(lista, valor.toString());
    else
        escribe(control, valor.toString());
}

inline const QString preguntaDelRepresentante =
    QStringLiteral("Lupita\r\rNo capturó el nombre del representante, la invitación será marcada como NO "
                   "CONFIRMADA y podrá entrar al módulo de correcciones para confirmarla más tarde.\r\r"
                   "¿Desea continuar?");
