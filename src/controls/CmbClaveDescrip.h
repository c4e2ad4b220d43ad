#pragma once

#include <QStringList>
#include <QVariantList>
#include <QWidget>

class Conexion;
class QComboBox;
class Recordset;

// One editable combo box filled from an SQL statement whose rows hold a key
// and a description. It finds an entry again by its key (a number of
// characters at the left or right end of the entry), completes typed text
// from its list and can be locked. The inner combo is named CmbClaveDescrip;
// the form names the control itself.
//
// The control lives below the program's connections, so the form hands it
// the connection it fills from (estableceConexion); filling without one is
// an error. Fills trap nothing: a failing statement reaches the caller.
class CmbClaveDescrip : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE estableceEnabled NOTIFY PropertyChanged)
public:
    explicit CmbClaveDescrip(QWidget* parent = nullptr);
    ~CmbClaveDescrip() override;

    void estableceConexion(Conexion* conexion) { m_conexion = conexion; }

    // The keys of the last LLenaCmbDescripClave, one per entry and one empty
    // element more; empty until it ran.
    QStringList Claves() const { return m_claves; }
    // The first (last) TotalCarac characters of the text.
    QString Clave(quint8 TotalCarac) const;
    QString ClaveDerecha(quint8 TotalCarac) const;
    int ListIndex() const;
    // Selects that entry; -1 leaves no entry selected and empties the text.
    void estableceListIndex(int indice);
    bool Enabled() const { return isEnabled(); }
    void estableceEnabled(bool habilitado);

    // Appends key + " " + description for each row.
    void LLenaCmbClaveDescrip(const QString& Sentencia, const QVariantList& valores = {});
    // Replaces the list by description + " - " + key for each row and keeps the keys.
    void LLenaCmbDescripClave(const QString& Sentencia, const QVariantList& valores = {});
    // Selects the last entry whose first TotalCarac characters are Clave.
    void EstableceElemento(const QString& Clave, quint8 TotalCarac);
    // Selects the first entry whose last TotalCarac characters are Clave.
    void EstableceElementoDerecha(const QString& Clave, quint8 TotalCarac);
    // Appends the first column of each row; a null there is an error.
    void LlenaCmbConUnDato(const QString& Sentencia, const QVariantList& valores = {});
    void QuitaSeleccion();
    void Clear();
    QString Text() const;
    void estableceText(const QString& texto);
    int ListCount() const;
    void BloqueaCmbClaveDescrip();
    void DesBloqueaCmbClaveDescrip();

    QComboBox* combo() const { return m_combo; }

Q_SIGNALS:
    // A choice from the list, or any change of the selected entry by code.
    void Click();
    // Only for Escape (27).
    void KeyDown(int KeyCode, int Shift);
    void PropertyChanged(const QString& nombre);

protected:
    void resizeEvent(QResizeEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Recordset abreRecordset(const QString& sentencia, const QVariantList& valores) const;

    QComboBox* m_combo;
    Conexion* m_conexion = nullptr;
    QStringList m_claves;
    // Raised by a deletion, so that the change it causes is not completed again.
    bool m_borrando = false;
};
