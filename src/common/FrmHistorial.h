#pragma once

#include "server/Historial.h"

#include <QDialog>

class Conexion;
class QLabel;
class QPushButton;
class QTableWidget;

// A record's history, read-only: one line per changed field, newest first
// (when, who, from which station, what kind of change, the field's caption,
// before and after). The grid holds the keyboard; Escape closes.
class FrmHistorial : public QDialog {
    Q_OBJECT
public:
    FrmHistorial(const QString& titulo, const QList<Historial::Entrada>& entradas, QWidget* parent = nullptr);

    // Reads the history of an invitation (kelmar) or an event (taloren) and
    // shows it modally. A history that cannot be read is reported as every
    // error of the program is, and no window opens.
    static void Muestra(Conexion& conexion, Catalogo catalogo, int anio, int folio, QWidget* parent);
    // "Historial de la invitación 12 de 2026", "Historial del evento 7 de 2026".
    static QString TituloDe(Catalogo catalogo, int anio, int folio);

    QLabel* LblRegistro;
    QTableWidget* GrdHistorial;
    QLabel* LblSinCambios;
    QPushButton* CmdCerrar;
};
