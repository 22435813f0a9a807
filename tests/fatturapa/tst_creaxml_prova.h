#pragma once

// Invoices in a database of the test server and the writers run over them:
// a company whose output folder is a temporary folder, invoices and lines
// given as a valid base with the columns a case changes.

#include "TestDb.h"
#include "data/TDiz.h"
#include "fatturapa/ScrittoreFatturaPA.h"
#include "fatturapa/ValidatoreFatturaPA.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Column values of a row; a null QString is SQL NULL.
using Valori = QMap<QString, QString>;
using Righe = QList<Valori>;

// The values of a with those of b added or replacing them.
inline Valori operator|(Valori a, const Valori& b) {
    a.insert(b);
    return a;
}

inline const QString nessuno = QString();

class ProvaXml {
public:
    explicit ProvaXml(const QString& database) : m_db(database) {}

    QString database() const { return m_db; }
    // The output folder with its closing separator, as company path holds it.
    QString cartella() const { return m_dir->path() + u'/'; }
    QString file(const QString& nome) const { return cartella() + nome; }

    // Fresh database and output folder, with the company.
    void ricrea() {
        TestDb::ricrea(m_db, {"xml_quirn.sql"});
        azzera();
    }

    // Empty tables, a new output folder and the company.
    void azzera() {
        chiudi();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        TestDb::esegui(m_db,
                       {"DELETE FROM testata", "DELETE FROM dettaglio", "DELETE FROM azienda"});
        Valori azienda{{"rag_soc", "Rossi - Forniture S.r.l."},
                       {"p_iva", "01234567897"},
                       {"cod_fis", "01234567897"},
                       {"reg_fisc", "RF02"},
                       {"indirizzo", "Via Garibaldi 12/A"},
                       {"cap", "37100"},
                       {"comune", "Verona"},
                       {"prov", "VR"},
                       {"nazione", "IT"},
                       {"uff_rea", "VR"},
                       {"num_rea", "123456"},
                       {"capit_soc", "10000"},
                       {"soc_uni", "SU"},
                       {"stato_liq", "LN"},
                       {"mail", "info@rossi.it"},
                       {"telefono", "045123456"},
                       {"path", cartella()},
                       {"iban", "IT60X0542811101000000123456"}};
        TestDb::esegui(m_db, {inserisci("azienda", azienda)});
    }

    // A complete invoice to a company: one 22% line of 100,00, paid MP01.
    void fattura(int id, const Valori& modifiche = {}) {
        Valori v{{"id_invio", QString::number(id)},
                 {"rag_soc", "Bianchi S.p.A."},
                 {"indirizzo", "Corso Italia 5"},
                 {"comune", "Milano"},
                 {"cap", "20100"},
                 {"prov", "MI"},
                 {"nazione", "IT"},
                 {"p_iva", "09876543217"},
                 {"cod_fis", "09876543217"},
                 {"cod_dest", "ABC1234"},
                 {"pec", ""},
                 {"data_doc", "05/03/2023"},
                 {"num_doc", QString::number(id)},
                 {"tot_doc", "122,00"},
                 {"tipo_doc", "TD01"},
                 {"tipo_pag", "TP02"},
                 {"mod_pag", "MP01"},
                 {"n_rate", "0"},
                 {"spese", "0,00"},
                 {"arrot", "0,00"},
                 {"imponibile", "100,00"},
                 {"imposta", "22,00"},
                 {"aliquota", "22"},
                 {"esig_iva", "I"},
                 {"esig_iva2", "I"},
                 {"esig_iva3", "I"},
                 {"sc_tipo", ""},
                 {"sc_perc", ""},
                 {"spese2", "0,00"},
                 {"arrot2", "0,00"},
                 {"spese3", "0,00"},
                 {"arrot3", "0,00"},
                 {"natura", ""},
                 {"dest_soc", "Magazzino"},
                 {"dest_indir", "Via Po 1"},
                 {"dest_comune", "Torino"}};
        v.insert(modifiche);
        TestDb::esegui(m_db, {inserisci("testata", v)});
    }

    void riga(int id, int prog, const Valori& modifiche = {}) {
        Valori v{{"id_invio", QString::number(id)},
                 {"prog", QString::number(prog)},
                 {"codice_tipo", ""},
                 {"codice_val", ""},
                 {"descrizione", "Articolo"},
                 {"quantita", "1"},
                 {"um", "PZ"},
                 {"prezzo_unit", "100"},
                 {"sc_tipo", ""},
                 {"sc_perc", ""},
                 {"sc_importo", ""},
                 {"prezzo_tot", "100"},
                 {"aliquota", "22"},
                 {"tipo_cessione", ""},
                 {"ritenuta", ""},
                 {"natura", ""},
                 {"rif_amm", ""}};
        v.insert(modifiche);
        TestDb::esegui(m_db, {inserisci("dettaglio", v)});
    }

    void aggiorna(const QString& tabella, const Valori& valori, const QString& dove = "1") {
        QStringList set;
        for (auto it = valori.begin(); it != valori.end(); ++it)
            set << it.key() + " = " + letterale(it.value());
        TestDb::esegui(m_db, {"UPDATE " + tabella + " SET " + set.join(", ") + " WHERE " + dove});
    }

    QString valore(const QString& select) const { return TestDb::valore(m_db, select); }

    // The data module on this database with the tables the writers use.
    void apri() {
        if (m_diz) return;
        m_diz = std::make_unique<TDiz>();
        TestDb::punta(*m_diz->xml_conn, m_db);
        m_diz->xml_conn->connect();
        for (Table* t : {m_diz->AziendaT, m_diz->Testata, m_diz->Detta})
            t->open();
    }
    void chiudi() { m_diz.reset(); }
    TDiz& diz() { return *m_diz; }

    // Positions the header on invoice id and runs the writer.
    QString scrivi(int id, FormatoFatturaPA formato, const QString& titolo = "FATTURE") {
        apri();
        m_diz->Testata->refresh();
        m_diz->AziendaT->refresh();
        if (!m_diz->Testata->locate("id_invio", id))
            throw std::runtime_error("fattura di prova mancante");
        return ScrittoreFatturaPA(formato, titolo, m_diz->fattura()).scrivi();
    }

    // Names in the output folder, temporary files included.
    QStringList contenuto() const {
        return QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    static QByteArray leggi(const QString& percorso) {
        QFile f(percorso);
        if (!f.open(QIODevice::ReadOnly)) return "<file mancante>";
        return f.readAll();
    }

    // Codes of what the exchange system would reject; empty for a valid file.
    static QStringList problemi(const QString& percorso) {
        static const ValidatoreFatturaPA validatore;
        QStringList codici;
        for (const Problema& p : validatore.valida(percorso))
            codici << (p.codice.isEmpty() ? p.testo : p.codice);
        return codici;
    }

    static QString descrizioneProblemi(const QString& percorso) {
        static const ValidatoreFatturaPA validatore;
        QStringList testi;
        for (const Problema& p : validatore.valida(percorso))
            testi << p.descrizione();
        return testi.join('\n');
    }

private:
    static QString letterale(const QString& v) {
        if (v.isNull()) return "NULL";
        QString s = v;
        s.replace('\\', "\\\\").replace('\'', "''");
        return '\'' + s + '\'';
    }

    static QString inserisci(const QString& tabella, const Valori& v) {
        QStringList valori;
        for (const QString& x : v)
            valori << letterale(x);
        return "INSERT INTO " + tabella + " (" + v.keys().join(", ") + ") VALUES (" +
               valori.join(", ") + ")";
    }

    QString m_db;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TDiz> m_diz;
};
