#include "invoices/ImportaFatture.h"

#include "data/TDiz.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Table.h"
#include "db/Transaction.h"
#include "fatturapa/ScrittoreFatturaPA.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/CalcolaTotali.h"
#include "platform/Errore.h"
#include "platform/Testi.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>
#include <utility>
#include <vector>

namespace {

using L = QLatin1StringView;

// The bookkeeping program keeps its documents in the database quirn19, and 2023
// is the year whose sales documents this program turns into electronic
// invoices. Both are fixed here, the one place that names them: the documents
// of other years or of another accounting database are never read. When the
// year changes, change them together.
const QString kContabilita = QStringLiteral("quirn19");
constexpr int kAnno = 2023;

const QString kTitoloPrincipale = QStringLiteral("A");

QString istruzioneDocumenti() {
    return QStringLiteral("SELECT * from %1.testata where anno=%2 and (reg_doc=\"FV\" or "
                          "reg_doc=\"NC\" or reg_doc=\"NI\" or reg_doc=\"FD\" or reg_doc=\"FI\")")
        .arg(kContabilita)
        .arg(kAnno);
}

// Every delivery note of the year billed by a deferred invoice, read once: one
// statement per deferred invoice would scan the year's documents each time.
QString istruzioneBolle() {
    return QStringLiteral("SELECT * from %1.testata where anno=%2 and prot_f_diff is not null")
        .arg(kContabilita)
        .arg(kAnno);
}

QString istruzioneRighe() {
    return QStringLiteral("SELECT * from %1.dettag where prot_testa = ?").arg(kContabilita);
}

// Seconds a run waits for another import of the same invoice database.
constexpr int kAttesaMassima = 600;

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

// A line of the invoice to be written: its columns with their texts, in order.
struct Riga {
    QList<std::pair<const char*, QString>> colonne;
    bool riferimento = false; // the line naming a delivery note
};

// A document refused by rule: nothing was written for it.
GFE_ERRORE(Rifiuto);

// The run's turn on the invoice database: runs of any program importing into
// it take the same lock of the server, so that looking a document up and
// creating its invoice is one step that no other import interleaves with.
class TurnoImportazione {
public:
    TurnoImportazione(Connection& c, const std::function<void()>& inAttesa)
        : m_connessione(c), m_nome((QStringLiteral("gfe_importa/") + c.database()).left(64)) {
        QElapsedTimer attesa;
        attesa.start();
        for (;;) {
            const Statement st =
                c.exec(QStringLiteral("SELECT GET_LOCK(?, ?)"), {m_nome, m_primaAttesa ? 0 : 1});
            if (st->next() && st->value(0).toInt() == 1) return;
            m_primaAttesa = false;
            if (attesa.elapsed() > kAttesaMassima * 1000LL)
                throw Errore(
                    QStringLiteral(
                        "Un'altra importazione delle fatture nel database %1 è in corso da oltre "
                        "%2 "
                        "minuti: nessun documento è stato importato, riprovare al suo termine.")
                        .arg(c.database())
                        .arg(kAttesaMassima / 60));
            if (inAttesa) inAttesa();
        }
    }
    ~TurnoImportazione() {
        try {
            m_connessione.exec(QStringLiteral("SELECT RELEASE_LOCK(?)"), {m_nome});
        } catch (...) {
            // A lost connection has released the lock on the server already.
        }
    }
    TurnoImportazione(const TurnoImportazione&) = delete;
    TurnoImportazione& operator=(const TurnoImportazione&) = delete;

private:
    Connection& m_connessione;
    QString m_nome;
    bool m_primaAttesa = true;
};

using Chiave = std::pair<QString, QString>; // num_doc, tipo_doc

class Importazione {
public:
    Importazione(Connection& fatture, Connection& contabilita, const QString& titolo,
                 const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                 EsitoImportazione& esito);

    void esegui(const QDate& limite);

private:
    void apri();
    void leggiEsistenti();
    void documento(const QDate& limite);
    std::vector<Riga> righeDocumento(const Registro& reg, const Slot& primo);
    void righeOrigine(std::vector<Riga>& righe, const QString& naturaRighe);
    Riga rigaBolla(Table& bolla, const Slot& primo);
    QList<int> bolleDi(int protocollo);
    void creaFattura(const Registro& reg, const QString& codice, const Slot (&slot)[4],
                     const std::vector<Riga>& righe);
    void scriviTestata(const Registro& reg, const QString& codice, const Slot (&slot)[4]);
    void scriviRiga(const Riga& riga);
    void ripristina();
    bool risponde();
    QString descrizioneDocumento();
    void avanza(bool inAttesa = false);

    Connection& m_fatture;
    Connection& m_contabilita;
    QString m_titolo;
    const std::function<void(const AvanzamentoImportazione&)>& m_avanzamento;
    EsitoImportazione& m_esito;

    // Accounting database: the documents, the lines of one document or note,
    // the delivery notes.
    Table m_documenti;
    Table m_righeDoc;
    Table m_bolle;
    // Invoice database: the company, and the invoice being created with its
    // lines; the header table holds only the rows this run wrote.
    Table m_azienda;
    Table m_testata;
    DataSource m_testataS;
    Table m_righe;

    QHash<Chiave, int> m_esistenti;      // the first id_invio of each number and type
    QHash<int, QList<int>> m_perFattura; // m_bolle's rows by the deferred invoice billing them
    bool m_bolleLette = false;
    int m_lunghezzaNumero = 0;
    int m_idInvio = 0; // the invoice being created
    int m_prog = 1;
    int m_scritte = 0; // headers held by m_testata
    AvanzamentoImportazione m_stato;
    ValidatoreFatturaPA m_validatore;
};

Importazione::Importazione(Connection& fatture, Connection& contabilita, const QString& titolo,
                           const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                           EsitoImportazione& esito)
    : m_fatture(fatture), m_contabilita(contabilita), m_titolo(titolo), m_avanzamento(avanzamento),
      m_esito(esito), m_documenti(&contabilita, QStringLiteral("testata")),
      m_righeDoc(&contabilita, QStringLiteral("dettag")),
      m_bolle(&contabilita, QStringLiteral("testata")),
      m_azienda(&fatture, QStringLiteral("azienda")),
      m_testata(&fatture, QStringLiteral("testata")), m_testataS(&m_testata),
      m_righe(&fatture, QStringLiteral("dettaglio")) {
    TDiz::dichiaraTestFatt(m_documenti);
    m_documenti.setOnCalcFields(&TDiz::Test_FattCalcFields);
    m_documenti.setSql(istruzioneDocumenti());
    TDiz::dichiaraDettFatt(m_righeDoc);
    m_righeDoc.setOnCalcFields(&TDiz::Dett_FattCalcFields);
    m_righeDoc.setSql(istruzioneRighe(), {0});
    m_bolle.setSql(istruzioneBolle());
    // The header table reads nothing: what it holds it wrote itself, and its
    // statement keeps the posts from reading the row back.
    m_testata.setSql(QStringLiteral("SELECT * FROM testata WHERE FALSE"));
    m_testata.setOnNewRecord(&TDiz::TestataNewRecord);
    m_righe.setMaster(&m_testataS, {QStringLiteral("id_invio")}, {QStringLiteral("id_invio")});
}

void Importazione::apri() {
    m_documenti.open();
    m_righeDoc.open();
    m_azienda.open();
    m_testata.open();
    m_righe.open();
    m_lunghezzaNumero = m_testata.field(QStringLiteral("num_doc")).size();
}

// Every number and type of testata, read once the run has its turn: the lookup
// of a document then costs no pass over the headers. Exact comparison, case
// and blanks counting.
void Importazione::leggiEsistenti() {
    QSqlQuery q = m_fatture.exec(
        QStringLiteral("SELECT id_invio, num_doc, tipo_doc FROM testata ORDER BY id_invio"));
    while (q.next()) {
        if (q.value(1).isNull() || q.value(2).isNull()) continue;
        const Chiave chiave{q.value(1).toString(), q.value(2).toString()};
        if (!m_esistenti.contains(chiave)) // the first row in Testata's order
            m_esistenti.insert(chiave, q.value(0).toInt());
    }
}

void Importazione::avanza(bool inAttesa) {
    m_stato.importate = m_esito.importate;
    m_stato.presenti = m_esito.presenti;
    m_stato.inAttesa = inAttesa;
    if (m_avanzamento) m_avanzamento(m_stato);
}

void Importazione::esegui(const QDate& limite) {
    if (!m_fatture.isConnected()) m_fatture.connect();
    const TurnoImportazione turno(m_fatture, [this] { avanza(true); });
    apri();
    leggiEsistenti();
    Table& documenti = m_documenti;
    m_stato.totale = documenti.recordCount();
    for (documenti.first(); !documenti.eof(); documenti.next()) {
        avanza();
        ++m_stato.letti;
        documento(limite);
    }
    avanza();
}

QString Importazione::descrizioneDocumento() {
    Table& f = m_documenti;
    const QString testoDoc =
        testo(f, "reg_doc") + u' ' + QString::number(f.field(L("num_doc")).asInteger());
    const QDate data = f.field(L("data")).asDate();
    return data.isValid() ? testoDoc + QStringLiteral(" del ") + Testi::testoData(data) : testoDoc;
}

void Importazione::documento(const QDate& limite) {
    Table& f = m_documenti;
    const QDate data = f.field(L("data")).asDate();
    if (data > limite) return;
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
        m_esito.ultima = trovata.value();
        return;
    }
    try {
        QString codice;
        try {
            codice = nonNullo(f.field(L("cod_destinatario")).asString());
        } catch (const Errore&) {
            codice = vuoto();
        }
        Slot slot[4];
        scegliSlot(f, slot);
        const std::vector<Riga> righe = righeDocumento(reg, slot[0]);
        creaFattura(reg, codice, slot, righe);
    } catch (const Rifiuto& r) {
        m_esito.rifiutati << descrizioneDocumento() + QStringLiteral(": ") + r.messaggio();
    } catch (const Errore& e) {
        ripristina();
        // Without the server every later document would fail the same way.
        if (!risponde()) throw;
        m_esito.errori << descrizioneDocumento() + QStringLiteral(": ") + e.messaggio();
    }
}

// The lines of the invoice of the current document, read before anything is
// written: a document without them is refused.
std::vector<Riga> Importazione::righeDocumento(const Registro& reg, const Slot& primo) {
    Table& f = m_documenti;
    const QString naturaRighe = natura(f);
    std::vector<Riga> righe;
    if (!reg.differita) {
        m_righeDoc.setSql(istruzioneRighe(), {f.field(L("protocollo")).asInteger()});
        m_righeDoc.refresh();
        righeOrigine(righe, naturaRighe);
        if (righe.empty()) throw Rifiuto(QStringLiteral("documento senza righe"));
        return righe;
    }
    // The lines of the delivery notes, each note's after the line naming it.
    const QList<int> note = bolleDi(f.field(L("protocollo")).asInteger());
    if (note.isEmpty())
        throw Rifiuto(
            QStringLiteral("fattura differita senza bolle di consegna del %1").arg(kAnno));
    bool conRighe = false;
    for (const int nota : note) {
        m_bolle.moveTo(nota);
        righe.push_back(rigaBolla(m_bolle, primo));
        m_righeDoc.setSql(istruzioneRighe(), {m_bolle.field(L("protocollo")).asInteger()});
        m_righeDoc.refresh();
        conRighe = conRighe || !m_righeDoc.isEmpty();
        righeOrigine(righe, naturaRighe);
    }
    if (!conRighe)
        throw Rifiuto(
            QStringLiteral("le bolle di consegna della fattura differita non hanno righe"));
    return righe;
}

// Every row of m_righeDoc as an ordinary line.
void Importazione::righeOrigine(std::vector<Riga>& righe, const QString& naturaRighe) {
    Table& r = m_righeDoc;
    for (r.first(); !r.eof(); r.next()) {
        const QString origine = testoOVuoto(r, "origine");
        const QString categoria = testoOVuoto(r, "categoria");
        const QString lotto = testoOVuoto(r, "lotto");
        const QString um = testoOVuoto(r, "um");
        const double quantita = um == u"CL" ? numero(r, "colli") : numero(r, "quantita");
        const double impNetto = numero(r, "Imp_Netto");
        Riga riga;
        auto& c = riga.colonne;
        c.append({"codice_val", testo(r, "cod_art")});
        c.append({"descrizione", testo(r, "descrizione")});
        c.append({"quantita", importo(quantita)});
        c.append({"um", um});
        c.append({"prezzo_unit", importo3(numero(r, "Netto"))});
        if (const double sconto = numero(r, "sc_1"); sconto > 0) {
            c.append({"sc_perc", importo(sconto)});
            c.append({"sc_tipo", QStringLiteral("SC")});
            c.append({"sc_importo", Testi::generale(numero(r, "pr_lordo") * quantita - impNetto)});
        }
        c.append({"prezzo_tot", importo3(impNetto)});
        c.append(
            {"aliquota", QString::number(qint64(Testi::arrotondaPari(numero(r, "aliquota"), 0)))});
        if (!naturaRighe.isEmpty()) c.append({"natura", naturaRighe});
        c.append({"categoria", categoria});
        c.append({"lotto", lotto});
        c.append({"origine", origine});
        righe.push_back(std::move(riga));
    }
}

// The line that names a delivery note before its lines.
Riga Importazione::rigaBolla(Table& bolla, const Slot& primo) {
    const QString destinatario = testoOVuoto(bolla, "dest_soc").left(35);
    const QString indirizzo = testoOVuoto(bolla, "dest_indirizzo").left(30);
    Riga riga;
    riga.riferimento = true;
    auto& c = riga.colonne;
    c.append({"codice_val", vuoto()});
    c.append({"descrizione",
              QStringLiteral("Rif. Bolla ") + testo(bolla, "reg_doc") + QStringLiteral(" n. ") +
                  QString::number(bolla.field(L("num_doc")).asInteger()) + QStringLiteral(" del ") +
                  Testi::testoData(bolla.field(L("data")).asDate()) + u' ' + destinatario + u' ' +
                  indirizzo});
    c.append({"quantita", QStringLiteral("0,00")});
    c.append({"um", vuoto()});
    c.append({"prezzo_unit", QStringLiteral("0,00")});
    c.append({"prezzo_tot", QStringLiteral("0,00")});
    c.append({"aliquota", Testi::generale(primo.aliquota)});
    for (const char* col : {"categoria", "lotto", "origine"})
        c.append({col, vuoto()});
    return riga;
}

// The rows of m_bolle, in the server's order, of the notes billed by a
// deferred invoice.
QList<int> Importazione::bolleDi(int protocollo) {
    if (!m_bolleLette) {
        m_bolle.open();
        const int colonna = m_bolle.field(QStringLiteral("prot_f_diff")).index();
        for (int r = 0; r < m_bolle.recordCount(); ++r)
            m_perFattura[m_bolle.value(r, colonna).toInt()].append(r);
        m_bolleLette = true;
    }
    return m_perFattura.value(protocollo);
}

// The invoice with its lines, totals and file name in one transaction; its file
// is written before the commit and removed when the commit fails.
void Importazione::creaFattura(const Registro& reg, const QString& codice, const Slot (&slot)[4],
                               const std::vector<Riga>& righe) {
    // The header table is emptied now and then: it holds only what the run
    // wrote, and the memory stays the same however many documents there are.
    if (++m_scritte > 100) {
        m_testata.refresh();
        m_scritte = 1;
    }
    QString percorso;
    {
        Transaction transazione(m_fatture);
        scriviTestata(reg, codice, slot);
        m_idInvio = m_testata.field(L("id_invio")).asInteger();
        m_prog = 1;
        for (const Riga& r : righe)
            scriviRiga(r);
        CalcolaTotali(m_testata, m_righe);
        // A public administration office (a six-character code) gets its own format.
        const bool pa = m_testata.field(L("cod_dest")).asString().size() == 6;
        percorso = ScrittoreFatturaPA(pa ? FormatoFatturaPA::FPA12 : FormatoFatturaPA::FPR12,
                                      m_titolo, {m_azienda, m_testata, m_righe})
                       .scrivi();
        try {
            transazione.commit();
        } catch (...) {
            QFile::remove(percorso);
            throw;
        }
    }
    ++m_esito.importate;
    m_esito.ultima = m_idInvio;
    m_esistenti.insert({reg.numero, reg.tipo}, m_idInvio);
    for (const Problema& p : m_validatore.valida(percorso))
        m_esito.problemiFile << QFileInfo(percorso).fileName() + QStringLiteral(": ") +
                                    p.descrizione();
}

void Importazione::scriviTestata(const Registro& reg, const QString& codice,
                                 const Slot (&slot)[4]) {
    Table& f = m_documenti;
    Table& t = m_testata;
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

void Importazione::scriviRiga(const Riga& riga) {
    Table& detta = m_righe;
    detta.append();
    detta.field(L("id_invio")).setAsInteger(m_idInvio);
    detta.field(L("prog")).setAsInteger(m_prog);
    for (const auto& [colonna, valore] : riga.colonne)
        scrivi(detta, colonna, valore);
    detta.post();
    ++m_prog;
}

// After a failed invoice, rolled back: its rows leave the tables too.
void Importazione::ripristina() {
    try {
        m_righe.cancel();
        m_testata.cancel();
        m_testata.refresh();
        m_scritte = 0;
    } catch (const Errore&) {
        // The error of the invoice is the one reported; the connection is tried next.
    }
}

bool Importazione::risponde() {
    try {
        m_fatture.exec(QStringLiteral("SELECT 1"));
        return true;
    } catch (const Errore&) {
        return false;
    }
}

} // namespace

QString EsitoImportazione::messaggio() const {
    QStringList righe;
    if (!errori.isEmpty()) {
        righe << QStringLiteral("Documenti non importati per un errore (riprovati alla prossima "
                                "importazione):");
        for (const QString& e : errori)
            righe << QStringLiteral("- ") + e;
    }
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

void ImportaFatture(Connection& fatture, Connection& contabilita, const QString& titolo,
                    const QString& dataLimite,
                    const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                    EsitoImportazione& esito) {
    const QDate limite = Testi::data(dataLimite);
    Importazione(fatture, contabilita, titolo, avanzamento, esito).esegui(limite);
}

namespace {

// The window's headers read once, standing on the run's last invoice.
void rileggi(TDiz& diz, const EsitoImportazione& esito) {
    Table& testata = *diz.Testata;
    if (!testata.isOpen() || (esito.importate == 0 && esito.ultima < 0)) return;
    testata.refresh();
    if (esito.ultima >= 0) testata.locate(QStringLiteral("id_invio"), esito.ultima);
}

} // namespace

void ImportaFatture(TDiz& diz, const QString& titolo, const QString& dataLimite,
                    const std::function<void(const AvanzamentoImportazione&)>& avanzamento,
                    EsitoImportazione& esito) {
    try {
        ImportaFatture(*diz.xml_conn, *diz.Dati, titolo, dataLimite, avanzamento, esito);
    } catch (...) {
        try {
            rileggi(diz, esito);
        } catch (const Errore&) {
            // The error that stopped the run is the one reported.
        }
        throw;
    }
    rileggi(diz, esito);
}
