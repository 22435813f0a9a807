#pragma once

#include <QHash>
#include <QString>
#include <memory>

class Canale;
class Connection;
struct Collegamento;
struct Impostazioni;

// One request to a page: its parameters (decoded) and what the page may use. For the
// POST of a page that changes something, the parameters are those its GET showed.
class Richiesta {
public:
    Richiesta(QHash<QString, QString> parametri, const Impostazioni& impostazioni,
              const Collegamento& collegamento, const Canale& canale);
    ~Richiesta();

    bool ha(const QString& nome) const { return m_parametri.contains(nome); }
    QString parametro(const QString& nome) const { return m_parametri.value(nome); }
    const QHash<QString, QString>& parametri() const { return m_parametri; }
    const Impostazioni& impostazioni() const { return m_impostazioni; }
    const Canale& canale() const { return m_canale; }
    // The request's own database connection, opened on first use. Throws DbError.
    Connection& connessione();

private:
    QHash<QString, QString> m_parametri;
    const Impostazioni& m_impostazioni;
    const Collegamento& m_collegamento;
    const Canale& m_canale;
    std::unique_ptr<Connection> m_connessione;
};
