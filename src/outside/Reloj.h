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

    // Puts another clock in place while it lives and the previous one back
    // after, also when a test fails half-way.
    class Sustituto {
    public:
        explicit Sustituto(const Reloj& reloj);
        ~Sustituto();
        Sustituto(const Sustituto&) = delete;
        Sustituto& operator=(const Sustituto&) = delete;

    private:
        const Reloj* m_anterior;
    };
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
