#include "support/EntornoDeVentanas.h"

#include <QLabel>

EntornoDeVentanas::EntornoDeVentanas(Motor motor)
    : base(motor), m_terminador([this] { ++terminaciones; }), m_modal([this](QDialog& ventana) {
          mostradas << ventana.objectName();
          ventana.show();
          if (ventana.objectName() == QLatin1String("FrmErrores")) {
              const auto* descripcion = ventana.findChild<QLabel*>(QStringLiteral("LblDescripDelError"));
              if (!descripcion)
                  qFatal("La ventana de errores no tiene LblDescripDelError");
              errores << descripcion->text();
          }
          if (alMostrar)
              alMostrar(ventana);
          const int resultado = ventana.result();
          ventana.hide();
          return resultado;
      }) {}

EntornoDeVentanas::~EntornoDeVentanas() {
    Modulo::CierraConexiones();
    Modulo::NickUsuario.clear();
    Modulo::CuentaUsuario.clear();
}

void EntornoDeVentanas::conecta(const QString& cuenta, const QString& nick) {
    Modulo::EstableceConexion(Catalogo::Kelmar, base.abre(Catalogo::Kelmar));
    Modulo::EstableceConexion(Catalogo::Taloren, base.abre(Catalogo::Taloren));
    Modulo::CuentaUsuario = cuenta;
    Modulo::NickUsuario = nick;
}
