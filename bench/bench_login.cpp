// The login's check: what a valid pair, a wrong password and an unknown
// account each cost, on each backend. An unknown account must cost what a
// known one does, or the delay would tell which accounts exist; the headline
// is the farthest from 1 of the ratios unknown / known.
#include "Medicion.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"
#include "server/administracion/Administracion.h"

#include <QCoreApplication>
#include <cmath>

namespace {
bool valida(Conexion& kelmar, const QString& cuenta, const QString& contrasena) {
    Parametros ps{Parametro::entrada(QStringLiteral("@CveUsuario"), TipoDeParametro::VarChar, 10, cuenta),
                  Parametro::entrada(QStringLiteral("@Password"), TipoDeParametro::VarChar, 10, contrasena)};
    return !kelmar.ejecutaProcedimiento(QStringLiteral("ValidarUsuarioEnTaLoREN"), ps).estaVacio();
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    constexpr int intentos = 40;
    double peor = 1.0;
    try {
        for (Motor motor : motoresAMedir()) {
            BaseDePrueba base(motor);
            Conexion& kelmar = base.kelmar();
            Administracion::agregaUsuario(kelmar, QStringLiteral("lupita"), QStringLiteral("Lupita"),
                                          QStringLiteral("clave7"));
            valida(kelmar, QStringLiteral("nadie"), QStringLiteral("clave7"));
            // The three kinds take turns, so that a busy machine weighs on each alike.
            double correcta = 0, erronea = 0, desconocida = 0;
            const auto mide = [&](double& total, const QString& cuenta, const QString& contrasena,
                                  bool esperado) {
                total += milisegundos([&] {
                    if (valida(kelmar, cuenta, contrasena) != esperado)
                        throw ErrorDeEjecucion(0, QStringLiteral("respuesta inesperada"), {});
                });
            };
            for (int i = 0; i < intentos; ++i) {
                mide(correcta, QStringLiteral("lupita"), QStringLiteral("clave7"), true);
                mide(erronea, QStringLiteral("lupita"), QStringLiteral("clave8"), false);
                mide(desconocida, QStringLiteral("nadie"), QStringLiteral("clave7"), false);
            }
            correcta /= intentos;
            erronea /= intentos;
            desconocida /= intentos;
            salida() << nombreDelMotor(motor) << ": " << QString::number(correcta, 'f', 1)
                     << " ms por ingreso válido, " << QString::number(erronea, 'f', 1)
                     << " ms con contraseña errónea, " << QString::number(desconocida, 'f', 1)
                     << " ms con una cuenta que no existe" << Qt::endl;
            const double razon = desconocida / erronea;
            if (std::abs(std::log(razon)) > std::abs(std::log(peor)))
                peor = razon;
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
    salida() << "unknown_vs_known_ratio: " << QString::number(peor, 'f', 2) << Qt::endl;
    return 0;
}
