#include "Modulo.h"

#include "CajaDeMensajes.h"
#include "Conexion.h"
#include "ErrorDeEjecucion.h"
#include "MDITaloren.h"
#include "Servidor.h"
#include "frmSolicitaPassword.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QSignalBlocker>
#include <memory>

namespace Modulo {

QString NickUsuario;
QString CuentaUsuario;
QString UsuarioKelmar;
QString ClaveKelmar;
const QString DobleSalto = QStringLiteral("\r\r");
const QString Salto = QStringLiteral("\r");
const QDate FechaDeEstaVersion(2011, 11, 18);
const QString TituloDelPrograma = QStringLiteral("TALOREN");

namespace {

const QString tituloDeMensajes = QStringLiteral("TaLoREN");

std::unique_ptr<Conexion> conexionKelmar;
std::unique_ptr<Conexion> conexionTaloren;
QPointer<MDITaloren> ventanaPrincipal;
bool terminado = false;
std::function<void()> terminador;
std::function<int(QDialog&)> mostrador;

std::unique_ptr<Conexion>& ranura(Catalogo catalogo) {
    return catalogo == Catalogo::Kelmar ? conexionKelmar : conexionTaloren;
}

Conexion& conexion(Catalogo catalogo) {
    auto& c = ranura(catalogo);
    // Never opened yet: a closed connection, so callers get its clear error.
    if (!c)
        c = std::make_unique<Conexion>(Servidor::nombre(catalogo), &Servidor::procedimientos(catalogo));
    return *c;
}

QString fechaCorta(const QDate& fecha) {
    return fecha.toString(QStringLiteral("dd/MM/yyyy"));
}

// The configuration answer is read column by column, only where a path needs it.
QVariant columna(const Recordset& rs, const char* nombre) {
    if (rs.estaVacio())
        throw ErrorDeEjecucion(
            CodigoDeError::FinDeRegistros,
            QStringLiteral("La configuración del sistema no tiene registro: BOF o EOF es True."),
            QStringLiteral("sp_ZMXConfiguracion"));
    return rs.valor(0, QString::fromLatin1(nombre));
}

void muestraCaja(CajaDeMensajes::Icono icono, const QString& titulo, const QString& texto) {
    CajaDeMensajes::actual().muestra(
        {icono, titulo, texto, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar, CajaDeMensajes::Aceptar});
}

} // namespace

Conexion& kelmar() {
    return conexion(Catalogo::Kelmar);
}

Conexion& taloren() {
    return conexion(Catalogo::Taloren);
}

void AbreConexion(Catalogo catalogo, const AjustesDeConexion& ajustes) {
    auto nueva = Servidor::abre(catalogo, ajustes);
    ranura(catalogo) = std::move(nueva);
}

void CierraConexiones() {
    conexionKelmar.reset();
    conexionTaloren.reset();
}

bool Main(const AjustesDeConexion& ajustes) {
    terminado = false;
    try {
        UsuarioKelmar = ajustes.kelmar.usuario;
        ClaveKelmar = ajustes.kelmar.contrasena;
        AbreConexion(Catalogo::Kelmar, ajustes);

        Parametros ninguno;
        const Recordset config =
            kelmar().ejecutaProcedimiento(QStringLiteral("sp_ZMXConfiguracion"), ninguno);

        const QVariant acceso = columna(config, "Acceso");
        if (!acceso.isNull() && !acceso.toBool()) {
            MensajeInformativo(QStringLiteral("No es posible acceder al sistema en estos momentos.") +
                               DobleSalto + columna(config, "Mensaje1").toString() + DobleSalto +
                               QStringLiteral("Para saber más detalle, póngase en contacto con la persona "
                                              "responsable del sistema."));
            kelmar().cierra();
            TerminaPrograma();
            return false;
        }

        const QVariant ultima = columna(config, "FechaUltimaVersion");
        if (!ultima.isNull() &&
            fechaCorta(Recordset::fechaHora(ultima).date()) != fechaCorta(FechaDeEstaVersion)) {
            const QVariant criticidad = columna(config, "Criticidad");
            const int nivel = criticidad.isNull() ? 0 : criticidad.toInt();
            if (nivel == 1) {
                MensajeInformativo(
                    QStringLiteral(
                        "Existe una nueva versión del sistema y debe instalarla antes de continuar.") +
                    DobleSalto +
                    QStringLiteral(
                        "1. Siga el procedimiento que se le indicó para instalar la nueva versión.") +
                    Salto +
                    QStringLiteral(
                        "2. Una vez que haya instalado la últma versión, consulte y verifique el último "
                        "movimiento que realizó para continuar normalmente."));
                kelmar().cierra();
                TerminaPrograma();
                return false;
            }
            if (nivel == 2) {
                const QString respuesta = ConfirmaSiNo(
                    QStringLiteral(
                        "!Advertencia:! Existe una nueva versión del sistema con cambios menores y aunque "
                        "puede continuar sin problemas se sugiere instalarla lo antes posible.") +
                    DobleSalto + QStringLiteral("Para instalarla: ") + DobleSalto +
                    QStringLiteral("1. Siga el procedimiento que se le indicó.") + Salto +
                    QStringLiteral(
                        "2. Una vez que haya instalado la últma versión, consulte y verifique el último "
                        "asunto o modificación que realizó para continuar normalmente.") +
                    DobleSalto + QStringLiteral("¿Desea continuar?"));
                if (respuesta == QLatin1String("NO")) {
                    kelmar().cierra();
                    TerminaPrograma();
                    return false;
                }
            }
        }

        AbreConexion(Catalogo::Taloren, ajustes);

        frmSolicitaPassword ingreso;
        MuestraModal(ingreso);
        return ingreso.result() == QDialog::Accepted && !terminado;
    } catch (const ErrorDeEjecucion& e) {
        muestraCaja(
            CajaDeMensajes::Icono::Ninguno, TituloDelPrograma,
            QStringLiteral("Error: ") + QString::number(e.numero()) + Salto + e.descripcion() + Salto +
                Salto + QStringLiteral("Error de conexión a la Base de datos, la aplicación se cerrará.") +
                DobleSalto +
                QStringLiteral("Comuníquelo al responsable del sistema en la Subdirección de Tecnologías "
                               "de la Información."));
        return false;
    }
}

MDITaloren& mdi() {
    if (!ventanaPrincipal)
        ventanaPrincipal = new MDITaloren;
    return *ventanaPrincipal;
}

bool ExisteMdi() {
    return !ventanaPrincipal.isNull();
}

void DestruyeMdi() {
    delete ventanaPrincipal.data();
}

void TerminaPrograma() {
    terminado = true;
    if (terminador) {
        terminador();
        return;
    }
    // Every event loop ends, the login's and the main one alike.
    QCoreApplication::exit(0);
}

bool ProgramaTerminado() {
    return terminado;
}

void EstableceTerminador(std::function<void()> f) {
    terminador = std::move(f);
}

int MuestraModal(QDialog& ventana) {
    if (mostrador)
        return mostrador(ventana);
    return ventana.exec();
}

void EstableceMostradorModal(std::function<int(QDialog&)> f) {
    mostrador = std::move(f);
}

void MensajeDeError(const QString& texto) {
    muestraCaja(CajaDeMensajes::Icono::Critico, tituloDeMensajes, texto);
}

void MensajeInformativo(const QString& texto) {
    muestraCaja(CajaDeMensajes::Icono::Informacion, tituloDeMensajes, texto);
}

QString ConfirmaSiNo(const QString& texto) {
    const auto r = CajaDeMensajes::actual().muestra({CajaDeMensajes::Icono::Pregunta, tituloDeMensajes, texto,
                                                     CajaDeMensajes::Si | CajaDeMensajes::No,
                                                     CajaDeMensajes::Si, CajaDeMensajes::No});
    return r == CajaDeMensajes::Si ? QStringLiteral("SI") : QStringLiteral("NO");
}

QString EligeSalidaDeReporte() {
    const auto r = CajaDeMensajes::actual().muestra(
        {CajaDeMensajes::Icono::Informacion, tituloDeMensajes,
         NickUsuario + DobleSalto +
             QStringLiteral(
                 "Elige SI para enviar el reporte a la impresora, elige NO para verlo previamente en "
                 "pantalla o eliga Cancelar para continuar sin hacer nada."),
         CajaDeMensajes::Si | CajaDeMensajes::No | CajaDeMensajes::Cancelar, CajaDeMensajes::Si,
         CajaDeMensajes::Cancelar});
    if (r == CajaDeMensajes::Si)
        return QStringLiteral("Impresora");
    if (r == CajaDeMensajes::No)
        return QStringLiteral("Pantalla");
    return QStringLiteral("Cancelar");
}

void LlenaCmbHoras(QComboBox* combo) {
    QStringList horas{QStringLiteral("SinHr")};
    for (int hora = 5; hora <= 23; ++hora)
        for (int minuto : {0, 30})
            horas << QStringLiteral("%1:%2")
                         .arg(hora, 2, 10, QLatin1Char('0'))
                         .arg(minuto, 2, 10, QLatin1Char('0'));
    // Filling selects nothing: a combo that had no choice keeps none (Qt picks
    // the first entry of a list that was empty).
    const int antes = combo->currentIndex();
    const QString texto = combo->currentText();
    const QSignalBlocker bloqueo(combo);
    combo->addItems(horas);
    if (antes == -1) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable())
            combo->setEditText(texto);
    }
}

void AutoCompletaCombo(QComboBox* combo, bool& borrando) {
    QLineEdit* edicion = combo->lineEdit();
    if (!edicion)
        return;
    const QString escrito = edicion->text();
    if (escrito.isEmpty() || borrando) {
        borrando = false;
        return;
    }
    for (int i = 0; i < combo->count(); ++i) {
        const QString entrada = combo->itemText(i);
        if (!entrada.startsWith(escrito, Qt::CaseInsensitive))
            continue;
        const int posicion = edicion->cursorPosition();
        {
            // The completed text is no new typing: it must not complete again.
            const QSignalBlocker bloqueo(edicion);
            edicion->setText(entrada);
        }
        edicion->setSelection(posicion, int(entrada.size()) - posicion);
        return;
    }
}

void PreparaVentanaFija(QDialog& ventana, const QString& nombre, const QString& titulo, int anchoEnTwips,
                        int altoEnTwips) {
    ventana.setObjectName(nombre);
    ventana.setWindowTitle(titulo);
    ventana.setFixedSize(Pixeles(anchoEnTwips), Pixeles(altoEnTwips));
    ventana.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
}

void CentraEnMdi(QWidget& ventana) {
    const QRect principal = mdi().frameGeometry();
    ventana.move(principal.left() + (principal.width() - ventana.width()) / 2,
                 principal.top() + (principal.height() - ventana.height()) / 2);
}

} // namespace Modulo
