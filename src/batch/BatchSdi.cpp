// The exchange system's answers from gfe-batch: saved messages, the mailbox, the state.
#include "Batch.h"

#include "data/TDiz.h"
#include "platform/Errore.h"
#include "sdi/CasellaPec.h"
#include "sdi/LettoreNotifiche.h"
#include "sdi/StatoFattura.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace {

QString messaggio(const std::exception& e) {
    if (const auto* err = dynamic_cast<const Errore*>(&e)) return err->messaggio();
    return QString::fromUtf8(e.what());
}

ImpostazioniCasella impostazioni(const QString& cartella) {
    return ImpostazioniCasella::leggi(QDir(cartella).filePath(QStringLiteral("gfe-web.ini")),
                                      cartella);
}

} // namespace

int Batch::notifiche(const Richiesta& r) {
    if (r.argomenti.isEmpty()) {
        m_err << "Indicare almeno un messaggio, un file o una cartella da leggere" << Qt::endl;
        return 1;
    }
    TDiz diz;
    QString titolo;
    if (!accedi(diz, r.cartella, titolo)) return 1;
    int esito = 0;
    std::unique_ptr<LettoreNotifiche> lettore;
    try {
        const ImpostazioniCasella i = impostazioni(r.cartella);
        lettore = std::make_unique<LettoreNotifiche>(*diz.xml_conn, i.ricevute, i.certificati);
        for (const QString& p : r.argomenti) {
            lettore->percorso(QDir(r.cartella).absoluteFilePath(p));
            for (const QString& riga : lettore->prendiRighe())
                m_out << riga << Qt::endl;
        }
    } catch (const std::exception& e) {
        m_err << messaggio(e) << Qt::endl;
        esito = 1;
    }
    if (lettore) m_out << lettore->conti().riga() << Qt::endl;
    return esito;
}

int Batch::posta(const Richiesta& r) {
    TDiz diz;
    QString titolo;
    if (!accedi(diz, r.cartella, titolo)) return 1;
    int esito = 0;
    std::unique_ptr<LettoreNotifiche> lettore;
    try {
        const ImpostazioniCasella i = impostazioni(r.cartella);
        lettore = std::make_unique<LettoreNotifiche>(*diz.xml_conn, i.ricevute, i.certificati);
        CasellaPec casella(i);
        casella.leggi(*lettore);
    } catch (const std::exception& e) {
        if (lettore)
            for (const QString& riga : lettore->prendiRighe())
                m_out << riga << Qt::endl;
        m_err << messaggio(e) << Qt::endl;
        esito = 1;
    }
    if (lettore) {
        for (const QString& riga : lettore->prendiRighe())
            m_out << riga << Qt::endl;
        m_out << lettore->conti().riga() << Qt::endl;
    }
    return esito;
}

int Batch::stato(const Richiesta& r) {
    int id = 0;
    if (!idFattura(r, id)) return 1;
    TDiz diz;
    QString titolo;
    if (!accedi(diz, r.cartella, titolo)) return 1;
    StatoFattura s;
    try {
        if (!statoFattura(*diz.xml_conn, id, s)) {
            m_err << "Fattura " << id << " non trovata" << Qt::endl;
            return 1;
        }
    } catch (const std::exception& e) {
        m_err << messaggio(e) << Qt::endl;
        return 1;
    }
    m_out << "stato: " << s.parola << Qt::endl;
    for (const VoceStorico& v : s.storico) {
        m_out << v.riga() << Qt::endl;
        for (const ErroreSdi& e : v.errori)
            m_out << "  " << e.codice << ' ' << e.descrizione << Qt::endl;
    }
    return 0;
}
