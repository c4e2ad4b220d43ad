#pragma once

#include <QWidget>

class QFrame;
class QLabel;

// The "please wait" panel a form shows while it runs a long query or prepares a report. The form sets
// the legend with estableceLeyendaProceso and shows or hides the whole panel.
// Whatever geometry the form gives it, the panel keeps the height of its orange box (77 px) and takes
// the width it is given; the box itself keeps its size.
class MensajeTemporal : public QWidget {
    Q_OBJECT
public:
    explicit MensajeTemporal(QWidget* parent = nullptr);

    // The legend is write-only: forms set it before showing the panel and never read it back.
    void estableceLeyendaProceso(const QString& leyenda);

protected:
    void resizeEvent(QResizeEvent* evento) override;

private:
    QFrame* PicMensaje;
    QLabel* LblProceso;
    QLabel* LblLeyenda2;
};
