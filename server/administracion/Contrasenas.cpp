#include "server/administracion/Contrasenas.h"

#include "outside/ErrorDeEjecucion.h"
#include "outside/Texto.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

#include <crypt.h>
#include <memory>

namespace {
// PostgreSQL's pgcrypto knows bcrypt by this prefix only; "$2b$" would fall
// through to another algorithm there. Both compute the same digest for
// passwords as short as the login's.
const QString prefijo = QStringLiteral("$2a$");
const QString prefijoAnterior = QStringLiteral("pbkdf2-sha256");
constexpr int largoDeHuellaAnterior = 32;

bool igualesEnTiempoConstante(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diferencia = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diferencia |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diferencia == 0;
}

[[noreturn]] void falla(const QString& detalle) {
    throw ErrorDeEjecucion(CodigoDeError::Interno, detalle, QStringLiteral("Contraseñas"));
}

// The digest of `contrasena` with the settings of `ajuste` ("$2a$NN$salt..."),
// empty when libcrypt refuses them.
QByteArray cifra(const QByteArray& contrasena, const QByteArray& ajuste) {
    auto datos = std::make_unique<crypt_data>();
    const char* resultado = crypt_r(contrasena.constData(), ajuste.constData(), datos.get());
    // Failures come back as "*0"/"*1" (or null on some systems).
    if (!resultado || resultado[0] == '*')
        return {};
    return QByteArray(resultado);
}

bool verificaAnterior(const QString& contrasena, const QStringList& partes) {
    bool ok = false;
    const int iteraciones = partes.at(1).toInt(&ok);
    if (!ok || iteraciones < 1)
        return false;
    const QByteArray sal = QByteArray::fromBase64(partes.at(2).toLatin1());
    const QByteArray esperada = QByteArray::fromBase64(partes.at(3).toLatin1());
    if (sal.isEmpty() || esperada.size() != largoDeHuellaAnterior)
        return false;
    return igualesEnTiempoConstante(QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256,
                                                                       contrasena.toUtf8(), sal, iteraciones,
                                                                       largoDeHuellaAnterior),
                                    esperada);
}
} // namespace

QString Contrasenas::codifica(const QString& contrasena, int coste) {
    // C strings end at a NUL: a password must not hold one, nor any other
    // control character.
    if (const auto malo = Texto::primerNoAdmitidoEnUnaLinea(contrasena))
        throw ErrorDeEjecucion(
            CodigoDeError::Conversion,
            QStringLiteral("La contraseña tiene %1, que no se admite.").arg(Texto::describe(*malo)),
            QStringLiteral("Contraseñas"));
    char aleatorio[16];
    QRandomGenerator::system()->generate(std::begin(aleatorio), std::end(aleatorio));
    char ajuste[CRYPT_GENSALT_OUTPUT_SIZE];
    if (!crypt_gensalt_rn(prefijo.toLatin1().constData(), static_cast<unsigned long>(coste), aleatorio,
                          int(sizeof aleatorio), ajuste, int(sizeof ajuste)))
        falla(QStringLiteral("El sistema no pudo preparar la sal de una contraseña (coste %1).").arg(coste));
    const QByteArray digesto = cifra(contrasena.toUtf8(), QByteArray(ajuste));
    if (!digesto.startsWith(prefijo.toLatin1()))
        falla(QStringLiteral("El sistema no pudo cifrar una contraseña con bcrypt."));
    return QString::fromLatin1(digesto);
}

bool Contrasenas::verifica(const QString& contrasena, const QString& codificada) {
    if (Texto::primerNoAdmitidoEnUnaLinea(contrasena))
        return false;
    if (esDelFormatoActual(codificada)) {
        const QByteArray esperada = codificada.toLatin1();
        return igualesEnTiempoConstante(cifra(contrasena.toUtf8(), esperada), esperada);
    }
    const QStringList partes = codificada.split(QLatin1Char('$'));
    if (partes.size() == 4 && partes.at(0) == prefijoAnterior)
        return verificaAnterior(contrasena, partes);
    return false;
}

bool Contrasenas::esDelFormatoActual(const QString& codificada) {
    // "$2a$" + two digits of cost + "$" + 53 characters of salt and digest.
    return codificada.size() == 60 && codificada.startsWith(prefijo) && codificada.at(6) == QLatin1Char('$');
}
