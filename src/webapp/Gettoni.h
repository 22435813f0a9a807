#pragma once

#include <QHash>
#include <QString>
#include <deque>
#include <mutex>
#include <optional>

// One-time tokens of the forms of the pages that change something. Each one is issued
// with the GET that shows a page and names that page and the parameters shown; it is
// good for one POST to that page only, within its lifetime. Safe from any thread.
class Gettoni {
public:
    using Parametri = QHash<QString, QString>;

    explicit Gettoni(qint64 durataMs = 60 * 60 * 1000, int massimo = 10000);

    // A new unguessable token for the page and its parameters.
    QString emetti(const QString& percorso, const Parametri& parametri);
    // The parameters the token was issued with, when it is valid for this page; the
    // token is used up either way.
    std::optional<Parametri> consuma(const QString& gettone, const QString& percorso);

private:
    struct Voce {
        QString percorso;
        Parametri parametri;
        qint64 scadenza;
    };
    void sfoltisci(qint64 adesso);

    const qint64 m_durata;
    const int m_massimo;
    std::mutex m_mutex;
    QHash<QString, Voce> m_voci;
    std::deque<QString> m_ordine; // issue order, for dropping the oldest
};
