#pragma once

#include <QDate>
#include <QDateTime>

// "Today" and "now" for the whole program, so tests can fix the date.
class Reloj {
public:
    virtual ~Reloj() = default;
    virtual QDateTime ahora() const = 0;
    QDate hoy() const { return ahora().date(); }

    static const Reloj& actual();
    // Takes no ownership; nullptr restores the system clock.
    static void establece(const Reloj* reloj);
};

class RelojDelSistema : public Reloj {
public:
    QDateTime ahora() const override { return QDateTime::currentDateTime(); }
};

class RelojFijo : public Reloj {
public:
    explicit RelojFijo(QDateTime momento) : m_momento(std::move(momento)) {}
    QDateTime ahora() const override { return m_momento; }
    void fija(QDateTime momento) { m_momento = std::move(momento); }

private:
    QDateTime m_momento;
};
