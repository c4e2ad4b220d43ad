#pragma once

// What the capture window's two files share: the values it fills in, and
// the small routines that set its controls as the window does.

#include "common/Modulo.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/Catalogos.h"
#include "server/Evento.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

namespace PantallaDeCaptura {

inline const QString fuente = QStringLiteral("frmCaptura");
inline const QString sinMunicipio = QStringLiteral("Sin Municipio");
inline const QString sinLocalidad = QStringLiteral("Sin Localidad");
inline const QString horaVacia = QStringLiteral("__:__");

inline ErrorDeEjecucion noEncontrado(const QString& texto) {
    return ErrorDeEjecucion(CodigoDeError::FinDeRegistros, texto, fuente);
}

// Fills a list and leaves its text as it was, with no entry chosen.
inline void llenaLista(QComboBox* combo, const QStringList& entradas) {
    const QString texto = combo->currentText();
    combo->clear();
    combo->addItems(entradas);
    combo->setCurrentIndex(-1);
    combo->setEditText(texto);
}

// A text set by the window shows from its beginning, not its tail.
inline void ponTexto(QLineEdit* caja, const QString& texto) {
    caja->setText(texto);
    caja->setCursorPosition(0);
}
inline void ponTexto(QComboBox* combo, const QString& texto) {
    combo->setEditText(texto);
    combo->lineEdit()->setCursorPosition(0);
}

inline void vaciaLista(QComboBox* combo) {
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

// Selects one option of a group and clears the others; none when `elegida` is null.
inline void marca(std::initializer_list<QRadioButton*> opciones, QRadioButton* elegida) {
    for (QRadioButton* o : opciones)
        o->setAutoExclusive(false);
    for (QRadioButton* o : opciones)
        o->setChecked(o == elegida);
    for (QRadioButton* o : opciones)
        o->setAutoExclusive(true);
}

// A date the screen cannot show empty: a stored null is an error that names its column.
inline QDateTime fechaDe(const QDateTime& fecha, const char* tabla, const char* columna) {
    if (!fecha.isValid())
        throw ErrorDeEjecucion(
            94,
            QStringLiteral("Uso no válido de Null (columna %1 de la tabla %2).")
                .arg(Evento::campo(QString::fromUtf8(tabla), QString::fromUtf8(columna)).nombreDeColumna(),
                     QString::fromUtf8(tabla)),
            fuente);
    return fecha;
}

inline Catalogos catalogos() {
    return Catalogos(Modulo::kelmar(), Modulo::taloren());
}

// Characters as the database counts them.
inline int largo(const QString& texto) {
    return int(texto.toUcs4().size());
}

} // namespace PantallaDeCaptura
