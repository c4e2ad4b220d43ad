#include "controls/BotonesDeComando.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QToolButton>

namespace {
constexpr int Lado = 53;      // 795 twips
constexpr int LadoIcono = 24; // leaves room for one line of caption under the icon
} // namespace

BotonDeComando::BotonDeComando(const QString& nombre, const QString& leyenda, const QString& ayuda,
                               bool comicSans, QStyle::StandardPixmap icono, QWidget* parent)
    : QWidget(parent), m_boton(new QToolButton(this)) {
    setObjectName(nombre);
    setFixedSize(Lado, Lado);

    m_boton->setObjectName(nombre);
    m_boton->setFixedSize(Lado, Lado);
    m_boton->move(0, 0);
    m_boton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_boton->setAutoRaise(false);
    m_boton->setIconSize(QSize(LadoIcono, LadoIcono));
    m_boton->setIcon(style()->standardIcon(icono, nullptr, this));
    // setText also registers the '&' letter as the button's Alt shortcut.
    m_boton->setText(leyenda);
    if (!ayuda.isEmpty())
        m_boton->setToolTip(ayuda);
    QFont letra = m_boton->font();
    // Where the office's font is missing, the station's own stands in for it
    // rather than whatever "cursive" face the font matcher would substitute.
    if (comicSans && QFontDatabase::hasFamily(QStringLiteral("Comic Sans MS")))
        letra.setFamily(QStringLiteral("Comic Sans MS"));
    // The square is fixed, so the caption shrinks to fit rather than being elided
    // (where the office's font is replaced by a wider one); all of them alike,
    // by the widest caption of the family.
    const QString visible = QString(leyenda).remove(QLatin1Char('&'));
    const auto ancho = [&] {
        const QFontMetrics m(letra);
        return std::max(m.horizontalAdvance(visible), m.horizontalAdvance(QStringLiteral("Imprimir")));
    };
    while (letra.pointSizeF() > 6.0 && ancho() > Lado - 10)
        letra.setPointSizeF(letra.pointSizeF() - 0.5);
    m_boton->setFont(letra);

    connect(m_boton, &QToolButton::clicked, this, &BotonDeComando::Click);
}

void BotonDeComando::click() {
    m_boton->click();
}

bool BotonConEnabled::Enabled() const {
    return boton()->isEnabled();
}

void BotonConEnabled::estableceEnabled(bool habilitado) {
    boton()->setEnabled(habilitado);
    Q_EMIT PropertyChanged(QStringLiteral("Enabled"));
}

CmdGuardar::CmdGuardar(QWidget* parent)
    : BotonConEnabled(QStringLiteral("CmdGuardar"), QStringLiteral("&Guardar"),
                      QStringLiteral("Almacenar los datos"), true, QStyle::SP_DialogSaveButton, parent) {}

CmdImprimir::CmdImprimir(QWidget* parent)
    : BotonConEnabled(QStringLiteral("CmdImprimir"), QStringLiteral("&Imprimir"),
                      QStringLiteral("Enviar reporte a pantalla o impresora"), true,
                      QStyle::SP_FileDialogContentsView, parent) {}

CmdAceptar::CmdAceptar(QWidget* parent)
    : BotonConEnabled(QStringLiteral("CmdAceptar"), QStringLiteral("&Aceptar"),
                      QStringLiteral("Confirmar acción"), true, QStyle::SP_DialogOkButton, parent) {}

CmdLimpiar::CmdLimpiar(QWidget* parent)
    : BotonDeComando(QStringLiteral("CmdLimpiar"), QStringLiteral("&Limpiar"),
                     QStringLiteral("Reestablecer campos"), true, QStyle::SP_DialogResetButton, parent) {}

cmdEliminar::cmdEliminar(QWidget* parent)
    : BotonDeComando(QStringLiteral("cmdEliminar"), QStringLiteral("&Eliminar"),
                     QStringLiteral("Eliminar registro"), true, QStyle::SP_TrashIcon, parent) {}

CmdCerrar::CmdCerrar(QWidget* parent)
    : BotonDeComando(QStringLiteral("CmdCerrar"), QStringLiteral("&Cerrar"),
                     QStringLiteral("Cerrar el formulario"), true, QStyle::SP_DialogCloseButton, parent) {}

CmdCancelar::CmdCancelar(QWidget* parent)
    : BotonDeComando(QStringLiteral("CmdCancelar"), QStringLiteral("Ca&ncelar"), QString(), false,
                     QStyle::SP_DialogCancelButton, parent) {}
