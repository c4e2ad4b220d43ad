// Ten thousand calls of the configuration procedure, each one a whole round
// trip through the call layer: parameters checked, body run in its unit of
// work, answer materialised.
#include "Medicion.h"

#include "outside/Conexion.h"
#include "outside/ErrorDeEjecucion.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    constexpr int llamadas = 10000;
    double porSegundoEnSQLite = 0;
    try {
        for (Motor motor : motoresAMedir()) {
            BaseDePrueba base(motor);
            Conexion& kelmar = base.kelmar();
            const double ms = milisegundos([&] {
                for (int i = 0; i < llamadas; ++i) {
                    Parametros ninguno;
                    if (kelmar.ejecutaProcedimiento(QStringLiteral("sp_ZMXConfiguracion"), ninguno).filas() !=
                        1)
                        throw ErrorDeEjecucion(0, QStringLiteral("respuesta inesperada"), {});
                }
            });
            const double porSegundo = llamadas / (ms / 1000.0);
            salida() << nombreDelMotor(motor) << ": " << llamadas << " llamadas en " << qRound(ms) << " ms, "
                     << qRound(porSegundo) << " por segundo" << Qt::endl;
            if (motor == Motor::SQLite)
                porSegundoEnSQLite = porSegundo;
        }
    } catch (const ErrorDeEjecucion& e) {
        QTextStream(stderr) << e.what() << Qt::endl;
        return 1;
    }
    salida() << "calls_per_second: " << qRound(porSegundoEnSQLite) << Qt::endl;
    return 0;
}
