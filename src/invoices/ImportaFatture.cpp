#include "invoices/ImportaFatture.h"

#include "data/TDiz.h"
#include "db/Transaction.h"
#include "fatturapa/ScrittoreFatturaPA.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/CalcolaTotali.h"
#include "platform/Errore.h"
#include "platform/Testi.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>
#include <utility>
#include <vector>

namespace {

using L = QLatin1StringView;

const QString kTitoloPrincipale = QStringLiteral("A");

const QString kIstruzioneDocumenti = QStringLiteral(
    "SELECT * from quirn19.testata where anno=2023 and (reg_doc=\"FV\" or reg_doc=\"NC\" or "
    "reg_doc=\"NI\" or reg_doc=\"FD\" or reg_doc=\"FI\")");

// Every delivery note of the year billed by a deferred invoice, read once: one
// statement per deferred invoice would scan the year's documents each time.
const QString kIstruzioneBolle =
    QStringLiteral("SELECT * from quirn19.testata where anno=2023 and prot_f_diff is not null");

// Empty text, never null: a null text would be written as NULL.
QString vuoto() {
    return QStringLiteral("");
}

QString nonNullo(const QString& s) {
    return s.isNull() ? vuoto() : s;
}

QString testo(Table& t, const char* colonna) {
    return nonNullo(t.field(QString::fromLatin1(colonna)).asString());
}

// A text that cannot be read counts as empty.
QString testoOVuoto(Table& t, const char* colonna) {
    try {
        return testo(t, colonna);
    } catch (const Errore&) {
        return vuoto();
    }
}

double numero(Table& t, const char* colonna) {
    return t.field(QString::fromLatin1(colonna)).asFloat();
}

void scrivi(Table& t, const char* colonna, const QString& valore) {
    t.field(QString::fromLatin1(colonna)).setAsString(valore);
}

QString importo(double v) {
    return Testi::importo(v);
}
QString importo3(double v) {
    return Testi::formatta(v, QStringLiteral("######0.000"));
}

// Type and number of the invoice of a document, from its register.
struct Registro {
    QString tipo;
    QString numero;
    bool estero = false;    // the foreign customer overrides apply
    bool differita = false; // the lines come from its delivery notes
};

Registro registro(const QString& reg, int numDoc, const QString& titolo) {
    QString n = QString::number(numDoc);
    if (titolo != kTitoloPrincipale) n += QStringLiteral(" /") + titolo;
    if (reg == u"FV") return {QStringLiteral("TD01"), n + u'I'};
    if (reg == u"NC") return {QStringLiteral("TD04"), n};
    if (reg == u"NI") return {QStringLiteral("TD04"), QStringLiteral("NI ") + n, true};
    if (reg == u"FD") return {QStringLiteral("TD24"), n + u'D', false, true};
    if (reg == u"FI") return {QStringLiteral("TD01"), QStringLiteral("FI ") + n, true};
    return {QStringLiteral("TD01"), n};
}

// One VAT summary slot, in single precision.
struct Slot {
    float imponibile = 0;
    float iva = 0;
    float aliquota = 0;
};

// Slot j takes the first source slot from j on with VAT whose rate differs from
// the slots taken before it.
void scegliSlot(Table& doc, Slot (&slot)[4]) {
    static const char* const imponibile[] = {"imponibile1", "imponibile2", "imponibile3",
                                             "imponibile4", "imponibile5"};
    static const char* const iva[] = {"iva1", "iva2", "iva3", "iva4", "iva5"};
    static const char* const aliquota[] = {"aliquota1", "aliquota2", "aliquota3", "aliquota4",
                                           "aliquota5"};
    for (int j = 0; j < 4; ++j) {
        for (int k = j; k < 5; ++k) {
            if (!(numero(doc, iva[k]) > 0)) continue;
            const double r = numero(doc, aliquota[k]);
            bool nuova = true;
            for (int i = 0; i < j; ++i)
                nuova = nuova && r != double(slot[i].aliquota);
            if (!nuova) continue;
            slot[j] = {float(numero(doc, imponibile[k])), float(numero(doc, iva[k])), float(r)};
            break;
        }
    }
}

// VAT nature of a foreign customer, from the province of the document.
QString natura(Table& doc) {
    const QString prov = Testi::trimmed32(testo(doc, "prov"));
    if (prov == u"IN") return QStringLiteral("N3.2");
    if (prov == u"EX") return QStringLiteral("N3.1");
    return QString();
}

// While it lives: the invoice tables' automatic refresh is off, and the details
// of the headers other than the lines (which the import does not touch) stop
// following Testata, which every invoice posts several times; they are read
// again once at the end.
class TabelleFerme {
public:
    explicit TabelleFerme(TDiz& d) : m_testata(d.TestataS) {
        for (Table* t : d.tabelleFatture()) {
            if (t->autoRefreshActive()) {
                m_refresh.emplace_back(t, t->autoRefreshInterval());
                t->setAutoRefresh(0);
            }
            if (t != d.Detta && t->masterSource() == d.TestataS) {
                m_dettagli.push_back(t);
                t->setMasterSource(nullptr);
            }
        }
    }
    ~TabelleFerme() {
        for (const auto& [t, ms] : m_refresh)
            t->setAutoRefresh(ms);
        for (Table* t : m_dettagli) {
            t->setMasterSource(m_testata);
            try {
                if (t->isOpen()) t->refresh();
            } catch (const Errore&) {
                // Read again at the next move of the headers.
            }
        }
    }
    TabelleFerme(const TabelleFerme&) = delete;
    TabelleFerme& operator=(const TabelleFerme&) = delete;

private:
    DataSource* m_testata;
    std::vector<std::pair<Table*, int>> m_refresh;
    std::vector<Table*> m_dettagli;
};

// Keeps a detail table from following its master while it lives.
class LineeFerme {
public:
    explicit LineeFerme(Table& t) : m_tabella(t), m_master(t.masterSource()) {
        t.setMasterSource(nullptr);
    }
    ~LineeFerme() { m_tabella.setMasterSource(m_master); }
    LineeFerme(const LineeFerme&) = delete;
    LineeFerme& operator=(const LineeFerme&) = delete;

private:
    Table& m_tabella;
    DataSource* m_master;
};

using Chiave = std::pair<QString, QString>; // num_doc, tipo_doc

class Importazione {
public:
    Importazione(TDiz& diz, const QString& titolo, const QString& dataLimite,
                 const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                 EsitoImportazione& esito)
        : d(diz), m_titolo(titolo), m_testoData(dataLimite), m_avanzamento(avanzamento),
          m_esito(esito) {}

    void esegui();
    void concludi();
    void ripristina();

private:
    void leggiEsistenti();
    void documento();
    void creaFattura(const Registro& reg, const QString& codice);
    void scriviTestata(const Registro& reg, const QString& codice, const Slot (&slot)[4]);
    void copiaRighe(const QString& naturaRighe);
    void copiaRiga(const QString& naturaRighe);
    void rigaBolla(Table& bolla, const Slot& primo);
    QString totaliEFile();
    QList<int> bolleDi(int protocollo);
    QString descrizioneDocumento();
    void avanza();

    TDiz& d;
    QString m_titolo;
    QString m_testoData;
    const std::function<void(const AvanzamentoImportazione&)>& m_avanzamento;
    EsitoImportazione& m_esito;
    QDate m_limite;
    QHash<Chiave, int> m_esistenti; // the first id_invio of each number and type
    QHash<int, QList<int>> m_bolle; // BolleT's rows by the deferred invoice billing them
    bool m_bolleLette = false;
    int m_lunghezzaNumero = 0;
    int m_ultima = -1; // last invoice created or found
    int m_idInvio = 0; // the invoice being created
    int m_prog = 1;
    AvanzamentoImportazione m_stato;
    ValidatoreFatturaPA m_validatore;
};

// Every number and type of testata, read once: the lookup of a document then
// costs no pass over the headers. Exact comparison, case and blanks counting.
void Importazione::leggiEsistenti() {
    QSqlQuery q = d.xml_conn->exec(
        QStringLiteral("SELECT id_invio, num_doc, tipo_doc FROM testata ORDER BY id_invio"));
    while (q.next()) {
        if (q.value(1).isNull() || q.value(2).isNull()) continue;
        const Chiave chiave{q.value(1).toString(), q.value(2).toString()};
        if (!m_esistenti.contains(chiave)) // the first row in Testata's order
            m_esistenti.insert(chiave, q.value(0).toInt());
    }
    m_lunghezzaNumero = d.Testata->field(QStringLiteral("num_doc")).size();
}

void Importazione::avanza() {
    m_stato.importate = m_esito.importate;
    m_stato.presenti = m_esito.presenti;
    if (m_avanzamento) m_avanzamento(m_stato);
}

void Importazione::esegui() {
    Table& fatt = *d.Test_Fatt;
    fatt.close();
    fatt.setSql(kIstruzioneDocumenti);
    fatt.open();
    fatt.first();
    d.Dett_Fatt->open();
    leggiEsistenti();
    m_stato.totale = fatt.recordCount();
    for (; !fatt.eof(); fatt.next()) {
        avanza();
        ++m_stato.letti;
        documento();
    }
    avanza();
}

QString Importazione::descrizioneDocumento() {
    Table& f = *d.Test_Fatt;
    const QString testoDoc =
        testo(f, "reg_doc") + u' ' + QString::number(f.field(L("num_doc")).asInteger());
    const QDate data = f.field(L("data")).asDate();
    return data.isValid() ? testoDoc + QStringLiteral(" del ") + Testi::testoData(data) : testoDoc;
}

void Importazione::documento() {
    Table& f = *d.Test_Fatt;
    if (!m_limite.isValid()) m_limite = Testi::data(m_testoData);
    const QDate data = f.field(L("data")).asDate();
    if (data > m_limite) return;
    const Registro reg = registro(testo(f, "reg_doc"), f.field(L("num_doc")).asInteger(), m_titolo);
    if (!data.isValid()) {
        m_esito.rifiutati << descrizioneDocumento() + QStringLiteral(": documento senza data");
        return;
    }
    // Stored cut, the number would never be found again: the document would be
    // imported anew at every run.
    if (m_lunghezzaNumero > 0 && reg.numero.size() > m_lunghezzaNumero) {
        m_esito.rifiutati << descrizioneDocumento() +
                                 QStringLiteral(": il numero \"%1\" supera i %2 caratteri del "
                                                "numero fattura")
                                     .arg(reg.numero)
                                     .arg(m_lunghezzaNumero);
        return;
    }
    const auto trovata = m_esistenti.constFind({reg.numero, reg.tipo});
    if (trovata != m_esistenti.constEnd()) {
        ++m_esito.presenti;
        m_ultima = trovata.value();
        return;
    }
    QString codice;
    try {
        codice = nonNullo(f.field(L("cod_destinatario")).asString());
    } catch (const Errore&) {
        codice = vuoto();
    }
    creaFattura(reg, codice);
}

// The invoice with its lines, totals and file name in one transaction; its file
// is written before the commit and removed when the commit fails.
void Importazione::creaFattura(const Registro& reg, const QString& codice) {
    Table& f = *d.Test_Fatt;
    Slot slot[4];
    scegliSlot(f, slot);
    QString percorso;
    {
        Transaction transazione(*d.xml_conn);
        scriviTestata(reg, codice, slot);
        m_idInvio = d.Testata->field(L("id_invio")).asInteger();
        m_prog = 1;
        const QString naturaRighe = natura(f);
        if (!reg.differita) {
            d.Dett_Fatt->setMasterSource(d.Test_FattS);
            d.Dett_Fatt->refresh();
            copiaRighe(naturaRighe);
            d.Dett_Fatt->setMasterSource(d.BolleS);
        } else {
            // The lines of the delivery notes follow BolleT, note by note.
            Table& bolle = *d.BolleT;
            for (const int nota : bolleDi(f.field(L("protocollo")).asInteger())) {
                const int prima = bolle.recNo();
                bolle.moveTo(nota);
                if (bolle.recNo() == prima) d.Dett_Fatt->refresh();
                rigaBolla(bolle, slot[0]);
                copiaRighe(naturaRighe);
            }
        }
        // The lines just written are all of the invoice: the posts of the header
        // by the totals and the writer need not read them again.
        const LineeFerme ferme(*d.Detta);
        percorso = totaliEFile();
        try {
            transazione.commit();
        } catch (...) {
            QFile::remove(percorso);
            throw;
        }
    }
    ++m_esito.importate;
    m_ultima = m_idInvio;
    m_esistenti.insert({reg.numero, reg.tipo}, m_idInvio);
    for (const Problema& p : m_validatore.valida(percorso))
        m_esito.problemiFile << QFileInfo(percorso).fileName() + QStringLiteral(": ") +
                                    p.descrizione();
}

// The rows of BolleT, in the server's order, of the notes billed by a deferred
// invoice.
QList<int> Importazione::bolleDi(int protocollo) {
    Table& bolle = *d.BolleT;
    if (!m_bolleLette) {
        bolle.close();
        bolle.setSql(kIstruzioneBolle);
        bolle.open();
        const int colonna = bolle.field(QStringLiteral("prot_f_diff")).index();
        for (int r = 0; r < bolle.recordCount(); ++r)
            m_bolle[bolle.value(r, colonna).toInt()].append(r);
        m_bolleLette = true;
    }
    return m_bolle.value(protocollo);
}

// The totals and the FPR12 file of the new invoice, current in Testata with its
// lines in Detta. Returns the file's path.
QString Importazione::totaliEFile() {
    CalcolaTotali(*d.Testata, *d.Detta);
    return ScrittoreFatturaPA(FormatoFatturaPA::FPR12, m_titolo, d.fattura()).scrivi();
}

void Importazione::scriviTestata(const Registro& reg, const QString& codice,
                                 const Slot (&slot)[4]) {
    Table& f = *d.Test_Fatt;
    Table& t = *d.Testata;
    const bool pa = codice.size() == 6;
    const QString esig = pa ? QStringLiteral("S") : QStringLiteral("I");
    t.append();
    scrivi(t, "rag_soc", testo(f, "rag_soc"));
    scrivi(t, "indirizzo", testo(f, "indirizzo"));
    scrivi(t, "comune", testo(f, "citta"));
    scrivi(t, "cap", testo(f, "cap"));
    scrivi(t, "prov", testo(f, "prov"));
    scrivi(t, "num_doc", reg.numero);
    scrivi(t, "esig_iva", esig);
    static const char* const esigSlot[] = {"esig_iva2", "esig_iva3", "esig_iva4"};
    for (int j = 1; j < 4; ++j)
        if (slot[j].iva > 0) scrivi(t, esigSlot[j - 1], esig);
    scrivi(t, "pec", testo(f, "pec"));
    scrivi(t, "cod_dest", codice);
    scrivi(t, "nazione", QStringLiteral("IT"));
    static const char* const colonne[4][3] = {{"imponibile", "imposta", "aliquota"},
                                              {"imponibile2", "imposta2", "aliquota2"},
                                              {"imponibile3", "imposta3", "aliquota3"},
                                              {"imponibile4", "imposta4", "aliquota4"}};
    for (int j = 0; j < 4; ++j) {
        scrivi(t, colonne[j][0], importo(slot[j].imponibile));
        scrivi(t, colonne[j][1], importo(slot[j].iva));
        scrivi(t, colonne[j][2], Testi::generale(slot[j].aliquota));
    }
    scrivi(t, "cod_fis", testo(f, "cod_fis"));
    scrivi(t, "p_iva", testo(f, "partiva"));
    scrivi(t, "dest_soc", testo(f, "dest_soc"));
    scrivi(t, "dest_indir", testo(f, "dest_indirizzo"));
    scrivi(t, "dest_cap", testo(f, "dest_cap"));
    scrivi(t, "dest_comune", testo(f, "dest_citta"));
    if (reg.estero) {
        scrivi(t, "nazione", QStringLiteral("ES"));
        scrivi(t, "cod_fis", vuoto());
        scrivi(t, "cod_dest", QStringLiteral("XXXXXXX"));
        for (const char* c : {"esig_iva", "esig_iva2", "esig_iva3", "esig_iva4", "pec", "prov"})
            scrivi(t, c, vuoto());
        if (const QString n = natura(f); !n.isEmpty()) scrivi(t, "natura", n);
        scrivi(t, "normativa", QStringLiteral("Non Soggetta"));
        scrivi(t, "imponibile", importo(numero(f, "imponibile3")));
        scrivi(t, "imposta", QStringLiteral("0,00"));
        scrivi(t, "aliquota", QStringLiteral("0,00"));
        for (const char* c :
             {"imponibile2", "imposta2", "aliquota2", "imponibile3", "imposta3", "aliquota3"})
            scrivi(t, c, vuoto());
    }
    scrivi(t, "data_doc", Testi::testoData(f.field(L("data")).asDate()));
    scrivi(t, "tipo_doc", reg.tipo);
    scrivi(t, "tipo_pag", QStringLiteral("TP02"));
    scrivi(t, "mod_pag", pa ? QStringLiteral("MP05") : vuoto());
    scrivi(t, "spese", QStringLiteral("0,00"));
    scrivi(t, "arrot", QStringLiteral("0"));
    scrivi(t, "spese2", QStringLiteral("0,00"));
    scrivi(t, "arrot2", QStringLiteral("0"));
    scrivi(t, "sc_importo", importo(numero(f, "sconto")));
    scrivi(t, "tot_doc", importo(numero(f, "totale")));
    t.post();
}

void Importazione::copiaRighe(const QString& naturaRighe) {
    Table& r = *d.Dett_Fatt;
    for (r.first(); !r.eof(); r.next())
        copiaRiga(naturaRighe);
}

void Importazione::copiaRiga(const QString& naturaRighe) {
    Table& r = *d.Dett_Fatt;
    Table& detta = *d.Detta;
    const QString origine = testoOVuoto(r, "origine");
    const QString categoria = testoOVuoto(r, "categoria");
    const QString lotto = testoOVuoto(r, "lotto");
    const QString um = testoOVuoto(r, "um");
    const double quantita = um == u"CL" ? numero(r, "colli") : numero(r, "quantita");
    const double impNetto = numero(r, "Imp_Netto");
    detta.append();
    detta.field(L("id_invio")).setAsInteger(m_idInvio);
    detta.field(L("prog")).setAsInteger(m_prog);
    scrivi(detta, "codice_val", testo(r, "cod_art"));
    scrivi(detta, "descrizione", testo(r, "descrizione"));
    scrivi(detta, "quantita", importo(quantita));
    scrivi(detta, "um", um);
    scrivi(detta, "prezzo_unit", importo3(numero(r, "Netto")));
    if (const double sconto = numero(r, "sc_1"); sconto > 0) {
        scrivi(detta, "sc_perc", importo(sconto));
        scrivi(detta, "sc_tipo", QStringLiteral("SC"));
        scrivi(detta, "sc_importo", Testi::generale(numero(r, "pr_lordo") * quantita - impNetto));
    }
    scrivi(detta, "prezzo_tot", importo3(impNetto));
    scrivi(detta, "aliquota",
           QString::number(qint64(Testi::arrotondaPari(numero(r, "aliquota"), 0))));
    if (!naturaRighe.isEmpty()) scrivi(detta, "natura", naturaRighe);
    scrivi(detta, "categoria", categoria);
    scrivi(detta, "lotto", lotto);
    scrivi(detta, "origine", origine);
    detta.post();
    ++m_prog;
}

// The line that names a delivery note before its lines.
void Importazione::rigaBolla(Table& bolla, const Slot& primo) {
    Table& detta = *d.Detta;
    const QString destinatario = testoOVuoto(bolla, "dest_soc").left(35);
    const QString indirizzo = testoOVuoto(bolla, "dest_indirizzo").left(30);
    detta.append();
    detta.field(L("id_invio")).setAsInteger(m_idInvio);
    detta.field(L("prog")).setAsInteger(m_prog);
    scrivi(detta, "codice_val", vuoto());
    scrivi(detta, "descrizione",
           QStringLiteral("Rif. Bolla ") + testo(bolla, "reg_doc") + QStringLiteral(" n. ") +
               QString::number(bolla.field(L("num_doc")).asInteger()) + QStringLiteral(" del ") +
               Testi::testoData(bolla.field(L("data")).asDate()) + u' ' + destinatario + u' ' +
               indirizzo);
    scrivi(detta, "quantita", QStringLiteral("0,00"));
    scrivi(detta, "um", vuoto());
    scrivi(detta, "prezzo_unit", QStringLiteral("0,00"));
    scrivi(detta, "prezzo_tot", QStringLiteral("0,00"));
    scrivi(detta, "aliquota", Testi::generale(primo.aliquota));
    for (const char* c : {"categoria", "lotto", "origine"})
        scrivi(detta, c, vuoto());
    detta.post();
    ++m_prog;
}

// Testata re-read once, on the last invoice created or found.
void Importazione::concludi() {
    if (m_ultima < 0 && m_esito.importate == 0) return;
    d.Testata->refresh();
    if (m_ultima >= 0) d.Testata->locate(QStringLiteral("id_invio"), m_ultima);
}

// After an error: the rows of the invoice rolled back leave the tables too.
void Importazione::ripristina() {
    try {
        d.Detta->cancel();
        d.Testata->cancel();
        d.Testata->refresh();
        if (m_ultima >= 0) d.Testata->locate(QStringLiteral("id_invio"), m_ultima);
    } catch (const Errore&) {
        // The error that stopped the run is the one reported.
    }
}

} // namespace

QString EsitoImportazione::messaggio() const {
    QStringList righe;
    if (!rifiutati.isEmpty()) {
        righe << QStringLiteral("Documenti non importati:");
        for (const QString& r : rifiutati)
            righe << QStringLiteral("- ") + r;
    }
    if (!problemiFile.isEmpty()) {
        righe << QStringLiteral("File che non superano i controlli dello SDI:");
        for (const QString& p : problemiFile)
            righe << QStringLiteral("- ") + p;
    }
    return righe.join(u'\n');
}

void ImportaFatture(TDiz& diz, const QString& titolo, const QString& dataLimite,
                    const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                    EsitoImportazione& esito) {
    const TabelleFerme ferme(diz);
    Importazione importazione(diz, titolo, dataLimite, avanzamento, esito);
    try {
        importazione.esegui();
    } catch (...) {
        importazione.ripristina();
        throw;
    }
    importazione.concludi();
}
