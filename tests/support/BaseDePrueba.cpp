#include "support/BaseDePrueba.h"

#include "server/administracion/Administracion.h"
#include "server/administracion/Apertura.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
QAtomicInt contador;
}

bool BaseDePrueba::faltaPostgres(const char* archivo, int linea) {
    if (hayPostgres())
        return false;
    if (exigePostgres())
        QTest::qFail("TALOREN_REQUIRE_PG=1 y TALOREN_TEST_PG no nombra un servidor PostgreSQL", archivo,
                     linea);
    else
        QTest::qSkip("PostgreSQL no probado: TALOREN_TEST_PG no nombra un servidor "
                     "(p. ej. \"host=127.0.0.1 port=5432 user=postgres password=x\")",
                     archivo, linea);
    return true;
}

BaseDePrueba::BaseDePrueba(Motor motor) {
    if (motor == Motor::PostgreSQL) {
        m_ajustes = AjustesDeConexion::dePostgres(cadenaPostgres());
        const QString prefijo =
            u"tlr_%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(contador.fetchAndAddRelaxed(1));
        m_ajustes.kelmar.baseDeDatos = prefijo + u"_kelmar"_s;
        m_ajustes.taloren.baseDeDatos = prefijo + u"_taloren"_s;
        m_administracion = m_ajustes;
        m_administracion.administrador = {u"postgres"_s, m_ajustes.kelmar.usuario,
                                          m_ajustes.kelmar.contrasena};
        // The same first account as an embedded catalog's, so that a test
        // logs in alike on both backends.
        Administracion::creaCatalogos(m_administracion, [] { return u"taloren"_s; });
    } else {
        m_ajustes.carpeta = m_dir.path();
        m_administracion = m_ajustes;
        kelmar();
        taloren();
    }
    m_archivo = m_dir.filePath(u"taloren.ini"_s);
    m_ajustes.escribe(m_archivo);
    m_archivoDeAdministracion = m_dir.filePath(u"administracion.ini"_s);
    m_administracion.escribe(m_archivoDeAdministracion);
}

BaseDePrueba::~BaseDePrueba() {
    m_kelmar.reset();
    m_taloren.reset();
    if (m_ajustes.motor == Motor::PostgreSQL) {
        try {
            Administracion::borraCatalogos(m_administracion);
        } catch (const std::exception& e) {
            qWarning("no se borraron las bases de prueba: %s", e.what());
        }
    }
}

std::unique_ptr<Conexion> BaseDePrueba::abre(Catalogo catalogo) const {
    return Servidor::abre(catalogo, m_ajustes);
}

Conexion& BaseDePrueba::kelmar() {
    if (!m_kelmar)
        m_kelmar = abre(Catalogo::Kelmar);
    return *m_kelmar;
}

Conexion& BaseDePrueba::taloren() {
    if (!m_taloren)
        m_taloren = abre(Catalogo::Taloren);
    return *m_taloren;
}

bool escribeArchivo(const QString& ruta, const QByteArray& contenido) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(contenido) == contenido.size();
}

void agregaMotores() {
    QTest::addColumn<int>("backend");
    QTest::newRow("sqlite") << int(Motor::SQLite);
    QTest::newRow("postgresql") << int(Motor::PostgreSQL);
}
