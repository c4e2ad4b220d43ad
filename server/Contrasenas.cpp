#include "server/Contrasenas.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace {
const QString prefijo = QStringLiteral("pbkdf2-sha256");
constexpr int largoDeSal = 16;
constexpr int largoDeHuella = 32;

QByteArray deriva(const QString& contrasena, const QByteArray& sal, int iteraciones) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, contrasena.toUtf8(), sal,
                                              iteraciones, largoDeHuella);
}

bool igualesEnTiempoConstante(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    unsigned char diferencia = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diferencia |= static_cast<unsigned char>(a.at(i) ^ b.at(i));
    return diferencia == 0;
}
} // namespace

QString Contrasenas::codifica(const QString& contrasena, int iteraciones) {
    QByteArray sal(largoDeSal, Qt::Uninitialized);
    QRandomGenerator::system()->generate(sal.begin(), sal.end());
    return QStringList{prefijo, QString::number(iteraciones), QString::fromLatin1(sal.toBase64()),
                       QString::fromLatin1(deriva(contrasena, sal, iteraciones).toBase64())}
        .join(QLatin1Char('$'));
}

bool Contrasenas::verifica(const QString& contrasena, const QString& codificada) {
    const QStringList partes = codificada.split(QLatin1Char('$'));
    if (partes.size() != 4 || partes.at(0) != prefijo)
        return false;
    bool ok = false;
    const int iteraciones = partes.at(1).toInt(&ok);
    if (!ok || iteraciones < 1)
        return false;
    const QByteArray sal = QByteArray::fromBase64(partes.at(2).toLatin1());
    const QByteArray esperada = QByteArray::fromBase64(partes.at(3).toLatin1());
    if (sal.isEmpty() || esperada.size() != largoDeHuella)
        return false;
    return igualesEnTiempoConstante(deriva(contrasena, sal, iteraciones), esperada);
}
