#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// A run-time error as the windows report it: number, description and source.
// Database errors carry negative numbers and the program's own positive ones,
// in the form that the office's error reports already record. The
// description is the program's own, in Spanish; the detail keeps what the
// server or the driver said, word for word, for whoever looks into it.
class ErrorDeEjecucion : public std::exception {
public:
    ErrorDeEjecucion(int numero, QString descripcion, QString fuente, QString detalle = {});

    int numero() const { return m_numero; }
    const QString& descripcion() const { return m_descripcion; }
    const QString& fuente() const { return m_fuente; }
    const QString& detalle() const { return m_detalle; }
    const char* what() const noexcept override { return m_what.constData(); }

    // Inside a catch block: the exception being handled, whatever its type,
    // as an error the windows can report.
    static ErrorDeEjecucion actual();

private:
    int m_numero;
    QString m_descripcion;
    QString m_fuente;
    QString m_detalle;
    QByteArray m_what;
};

namespace CodigoDeError {
// The server cannot be reached or refuses the log-in.
inline constexpr int Conexion = -2147467259;
// A statement or procedure the server refuses.
inline constexpr int Sentencia = -2147217900;
// A key or constraint the data would break.
inline constexpr int Integridad = -2147217873;
// A value longer than its column or parameter, or a number out of its type's range.
inline constexpr int Desbordamiento = -2147217833;
// A value that does not convert to its column's or parameter's type.
inline constexpr int Conversion = -2147217913;
// Another station changed or removed the record since this one read it:
// nothing was written.
inline constexpr int RegistroCambiado = -2147217864;
// A statement the server cancelled after its statement or lock time-out, or
// an embedded catalog that stayed busy past its lock time-out.
inline constexpr int TiempoAgotado = -2147217871;
// A column that the recordset does not hold.
inline constexpr int ColumnaInexistente = 3265;
// Reading past the last row.
inline constexpr int FinDeRegistros = 3021;
// The program ran out of memory.
inline constexpr int SinMemoria = 7;
// A fault of the program itself, not of the data or the server.
inline constexpr int Interno = 51;
// A settings file that cannot be read, or a setting it does not understand.
inline constexpr int Ajustes = 380;
} // namespace CodigoDeError
