#pragma once

#include "support/BaseDePrueba.h"

#include <QElapsedTimer>
#include <QTextStream>
#include <functional>
#include <vector>

// The backends a benchmark measures: SQLite always, PostgreSQL when
// TALOREN_TEST_PG names a server.
inline std::vector<Motor> motoresAMedir() {
    std::vector<Motor> m{Motor::SQLite};
    if (BaseDePrueba::hayPostgres())
        m.push_back(Motor::PostgreSQL);
    return m;
}

inline const char* nombreDelMotor(Motor m) {
    return m == Motor::PostgreSQL ? "postgresql" : "sqlite";
}

// Milliseconds that `trabajo` takes.
inline double milisegundos(const std::function<void()>& trabajo) {
    QElapsedTimer reloj;
    reloj.start();
    trabajo();
    return double(reloj.nsecsElapsed()) / 1e6;
}

inline QTextStream& salida() {
    static QTextStream s(stdout);
    return s;
}
