#pragma once

#include "outside/reportes/Reporte.h"

#include <QDialog>
#include <memory>

class CmdCerrar;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QSpinBox;
class QToolButton;

// "Vista previa del reporte": a report on screen, page by page, with the
// means to move through it, zoom and keep it as a PDF file.
class FrmVerReporte : public QDialog {
    Q_OBJECT
public:
    explicit FrmVerReporte(QWidget* parent = nullptr);
    ~FrmVerReporte() override;

    // The viewer takes the report as its source and lays it out for its
    // pages, telling the progress; the report must have read its data.
    void estableceReporte(std::shared_ptr<Reporte> reporte, const Reporte::Progreso& progreso = {});
    Reporte* reporte() const { return m_reporte.get(); }

    QPrintPreviewWidget* CRViewer1;
    QToolButton* CmdPrimeraPagina;
    QToolButton* CmdPaginaAnterior;
    QSpinBox* TxtPagina;
    QLabel* LblDePaginas;
    QToolButton* CmdPaginaSiguiente;
    QToolButton* CmdUltimaPagina;
    QToolButton* CmdAjustarAlAncho;
    QToolButton* CmdAjustarALaPagina;
    QToolButton* CmdAlejar;
    QToolButton* CmdAcercar;
    QToolButton* CmdGuardarPdf;
    class CmdCerrar* CmdCerrar;

    void Form_Activate();
    void CmdCerrar_Click();
    void CmdGuardarPdf_Click();
    void TxtPagina_Change();

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void CRViewer1_PaintRequested(QPrinter* impresora);
    void CRViewer1_PreviewChanged();
    void vaALaPagina(int pagina);

    std::unique_ptr<QPrinter> m_impresora;
    std::shared_ptr<Reporte> m_reporte;
};
