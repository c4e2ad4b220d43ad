#pragma once

#include "common/FrmConflicto.h"
#include "support/EntornoDeVentanas.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

// What the comparison of a refused save showed: who changed the record, and
// each row's cells joined by '|'.
struct ConflictoVisto {
    QString quien;
    QStringList filas;
};

// The comparison's next showing answered as a person would: `boton` clicked
// and its confirmation answered Yes. Another window in its place is recorded
// in `quien`, so the test's comparison of it fails.
inline void decideConflicto(EntornoDeVentanas& e, QPushButton* FrmConflicto::*boton, ConflictoVisto& visto) {
    e.alMostrar = [&e, boton, &visto](QDialog& d) {
        auto* c = qobject_cast<FrmConflicto*>(&d);
        visto.filas.clear();
        if (!c) {
            visto.quien = QStringLiteral("(otra ventana: %1)").arg(d.objectName());
            return;
        }
        visto.quien = c->LblQuien->text();
        for (int f = 0; f < c->GrdDiferencias->rowCount(); ++f) {
            QStringList celdas;
            for (int k = 0; k < c->GrdDiferencias->columnCount(); ++k)
                celdas << c->GrdDiferencias->item(f, k)->text();
            visto.filas << celdas.join(u'|');
        }
        e.caja.responde(CajaDeMensajes::Si);
        (c->*boton)->click();
    };
}
