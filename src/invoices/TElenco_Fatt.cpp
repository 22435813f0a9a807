#include "TElenco_Fatt.h"

#include "InvioSdi.h"
#include "TAreaFatture.h"
#include "TAttesaImport.h"
#include "TEditorRiga.h"
#include "TLegenda.h"
#include "TPannelloTestata.h"
#include "copia/AnteprimaCopia.h"
#include "data/TDiz.h"
#include "db/Transaction.h"
#include "fatturapa/CreaXml.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/ImportaFatture.h"
#include "invoices/SceltaArticolo.h"
#include "platform/Desktop.h"
#include "platform/Errore.h"
#include "platform/Testi.h"
#include "print/StampaFattura.h"
#include "registries/TAnag_Cl.h"
#include "registries/TArticoli.h"
#include "widgets/DBGrid.h"
#include "widgets/DataSourceModel.h"
#include "widgets/EnterAsTab.h"
#include "widgets/MaskEdit.h"
#include "widgets/Modulo.h"
#include "widgets/TAzione.h"

#include <QDate>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QShowEvent>

namespace {

// The first line of the import's end message: how many documents were refused or
// failed and how many files have findings ("3 documenti rifiutati, 12 file con segnalazioni").
QString riepilogoImportazione(const EsitoImportazione& esito) {
    QStringList parti;
    if (const qsizetype n = esito.rifiutati.size(); n > 0)
        parti << (n == 1 ? QStringLiteral("1 documento rifiutato")
                         : QStringLiteral("%1 documenti rifiutati").arg(n));
    if (const qsizetype n = esito.errori.size(); n > 0)
        parti << (n == 1 ? QStringLiteral("1 documento in errore")
                         : QStringLiteral("%1 documenti in errore").arg(n));
    QSet<QString> file;
    for (const QString& p : esito.problemiFile)
        file.insert(p.section(QStringLiteral(": "), 0, 0));
    if (!file.isEmpty()) parti << QStringLiteral("%1 file con segnalazioni").arg(file.size());
    return parti.join(QStringLiteral(", "));
}

} // namespace

TElenco_Fatt::TElenco_Fatt(TDiz& diz, QWidget* parent) : FinestraModale(parent), m_diz(diz) {
    setObjectName(QStringLiteral("Elenco_Fatt"));
    Modulo::dimensioni(this, 1220, 703);
    // Later panels lie above earlier ones.
    Panel1 = new TAreaFatture(diz, this);
    Panel1->setGeometry(7, 7, 1175, 642);
    P2 = new TLegenda(this);
    P2->setGeometry(843, 8, 354, 590);
    P3 = new TEditorRiga(diz, this);
    P3->setGeometry(6, 28, 1168, 293);
    P4 = new TPannelloTestata(diz, this);
    P4->setGeometry(8, 7, 1186, 645);
    P2->hide();
    P3->hide();
    P4->hide();
    // Enlarged, the main area and the header editor over it grow with the window; the
    // legend keeps to the right edge, the line editor spans the width.
    Modulo::ancora(Panel1, Modulo::kTutte);
    Modulo::ancora(P2, Modulo::Alto | Modulo::Destra);
    Modulo::ancora(P3, Modulo::Sinistra | Modulo::Alto | Modulo::Destra);
    Modulo::ancora(P4, Modulo::kTutte);
    M1 = Panel1->M1;
    DBGrid1 = Panel1->DBGrid1;
    DBGrid2 = Panel1->DBGrid2;
    collegaPulsanti();
    EnterAsTab::install(this);
}

void TElenco_Fatt::impostaScelte(TAnag_Cl* clienti, TArticoli* articoli) {
    m_clienti = clienti;
    m_articoli = articoli;
}

void TElenco_Fatt::collegaPulsanti() {
    auto collega = [this](QPushButton* b, void (TElenco_Fatt::*gestore)()) {
        connect(b, &QPushButton::clicked, this, gestore);
    };
    collega(Panel1->BitBtn1, &TElenco_Fatt::BitBtn1Click);
    collega(P2->BitBtn2, &TElenco_Fatt::BitBtn2Click);
    collega(Panel1->BitBtn3, &TElenco_Fatt::BitBtn3Click);
    collega(Panel1->BitBtn6, &TElenco_Fatt::BitBtn6Click);
    collega(Panel1->BitBtn11, &TElenco_Fatt::BitBtn11Click);
    collega(Panel1->BitBtn15, &TElenco_Fatt::BitBtn15Click);
    collega(Panel1->BitBtn16, &TElenco_Fatt::BitBtn16Click);
    collega(Panel1->BitBtn17, &TElenco_Fatt::BitBtn17Click);
    collega(Panel1->BitBtn22, &TElenco_Fatt::BitBtn22Click);
    collega(Panel1->BitBtn4, &TElenco_Fatt::BitBtn4Click);
    collega(Panel1->BitBtn20, &TElenco_Fatt::BitBtn20Click);
    collega(Panel1->BitBtn5, &TElenco_Fatt::BitBtn5Click);
    collega(Panel1->BitBtn21, &TElenco_Fatt::BitBtn21Click);
    collega(Panel1->BitBtn19, &TElenco_Fatt::BitBtn19Click);
    connect(Panel1->BitBtn7, &QPushButton::clicked, P3, &TEditorRiga::BitBtn7Click);
    connect(Panel1->BitBtn10, &QPushButton::clicked, P3, &TEditorRiga::BitBtn10Click);
    connect(Panel1->BitBtn12, &QPushButton::clicked, P3, &TEditorRiga::BitBtn12Click);
    collega(Panel1->BitBtn18, &TElenco_Fatt::BitBtn18Click);
    collega(Panel1->Pulisci, &TElenco_Fatt::PulisciClick);
    // The list follows the typing once the user pauses, not at every key.
    m_ricerca.setSingleShot(true);
    m_ricerca.setInterval(250);
    connect(&m_ricerca, &QTimer::timeout, this, &TElenco_Fatt::applicaRicerca);
    for (QLineEdit* campo :
         {Panel1->Cerca, static_cast<QLineEdit*>(Panel1->Dal), static_cast<QLineEdit*>(Panel1->Al)})
        connect(campo, &QLineEdit::textEdited, &m_ricerca, qOverload<>(&QTimer::start));
}

Table* TElenco_Fatt::testata() const {
    return DBGrid1->dataModel()->table();
}

CriteriFatture TElenco_Fatt::criteri() const {
    return {Panel1->Cerca->text(), Panel1->Dal->value(), Panel1->Al->value()};
}

void TElenco_Fatt::applicaRicerca() {
    m_ricerca.stop();
    Table* t = testata();
    if (!t || !t->isOpen()) return;
    TAzione::esegui([&] { cercaFatture(*t, criteri()); });
}

void TElenco_Fatt::PulisciClick() {
    Panel1->Cerca->clear();
    Panel1->Dal->clear();
    Panel1->Al->clear();
    applicaRicerca();
}

void TElenco_Fatt::showEvent(QShowEvent* event) {
    FinestraModale::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

// Each showing starts with every overlay panel closed and today's date in M1.
void TElenco_Fatt::FormShow() {
    P2->hide();
    P3->hide();
    P4->hide();
    M1->setText(Testi::testoDataBreve(QDate::currentDate()));
}

void TElenco_Fatt::BitBtn1Click() {
    P2->show();
}

void TElenco_Fatt::BitBtn2Click() {
    P2->hide();
}

// "Sel. Cliente": the customer registry, whose double click fills the header.
void TElenco_Fatt::BitBtn3Click() {
    if (m_clienti) m_clienti->scegliPer(this);
}

// "Articoli Magazzino": the articles window, whose double click adds a line.
void TElenco_Fatt::BitBtn6Click() {
    if (!m_articoli) return;
    m_articoli->scegliPer(
        this, [this] { return scegliArticolo(*m_diz.Articoli, *m_diz.Testata, *m_diz.Detta); });
}

void TElenco_Fatt::BitBtn11Click() {
    P4->show();
}

// "Nuova": a new invoice with the defaults of a new header, written at once.
void TElenco_Fatt::BitBtn15Click() {
    // The new invoice must stay in sight: it answers no search.
    if (!criteri().vuoti()) PulisciClick();
    TAzione::esegui([this] {
        m_diz.Testata->append();
        m_diz.Testata->post();
    });
}

// "Elimina Fattura": an invoice not yet sent is deleted with its lines, after
// confirmation.
void TElenco_Fatt::BitBtn16Click() {
    Table* testata = m_diz.Testata;
    if (!testata->isOpen() || testata->isEmpty()) return;
    if (testata->field(QStringLiteral("inviata")).asBoolean()) {
        Desktop::corrente().messaggio(
            QStringLiteral("Operazione non possibile... Fattura Inviata"));
        return;
    }
    if (!Desktop::corrente().conferma(QStringLiteral("Confermi Eliminazione Fattura: ?"))) return;
    TAzione::esegui([this] { EliminaFattura(); });
}

// The lines and the header go together or not at all: a failure of either
// delete leaves both in the database.
void TElenco_Fatt::EliminaFattura() {
    const int id = m_diz.Testata->field(QStringLiteral("id_invio")).asInteger();
    {
        Transaction transazione(*m_diz.xml_conn);
        m_diz.Query->setSql(QStringLiteral("delete from dettaglio where id_invio = ?"));
        m_diz.Query->execSql({id});
        m_diz.Testata->remove();
        transazione.commit();
    }
    m_diz.Detta->refresh();
}

// "Stampa": the printed copy of the current invoice in the modal preview, or
// "Mancanza Dati" when it cannot be produced.
void TElenco_Fatt::BitBtn17Click() {
    AnteprimaFattura(m_diz.fattura(), this);
}

// "Copia Fattura": the readable copy of the current invoice's file as it was written
// into the company's folder, the courtesy copy a customer can be sent.
void TElenco_Fatt::BitBtn22Click() {
    Table* testata = m_diz.Testata;
    const QString nome =
        testata->isOpen() && !testata->isEmpty()
            ? Testi::trimmed32(testata->field(QStringLiteral("nome_file")).asString())
            : QString();
    if (nome.isEmpty()) {
        Desktop::corrente().messaggio(QStringLiteral(
            "Nessun file da mostrare: il file XML della fattura non è ancora stato creato."));
        return;
    }
    const QString cartella =
        Testi::trimmed32(m_diz.AziendaT->field(QStringLiteral("path")).asString());
    const QString errore = anteprimaCopia(cartella + QFileInfo(nome).fileName(), this);
    if (!errore.isEmpty()) Desktop::corrente().messaggio(errore);
}

void TElenco_Fatt::BitBtn4Click() {
    scriviXml(&CreaXmlFPR12);
}

void TElenco_Fatt::BitBtn20Click() {
    scriviXml(&CreaXmlFPA12);
}

// Writes the current invoice's file with the window's caption as series switch,
// then checks it as the exchange system will: the problems found are shown in
// one warning, and the file stays as written.
void TElenco_Fatt::scriviXml(QString (*scrittore)(const TabelleFattura&, const QString&)) {
    QString percorso;
    if (!TAzione::esegui([&] { percorso = scrittore(m_diz.fattura(), windowTitle()); })) return;
    const QList<Problema> problemi = ValidatoreFatturaPA().valida(percorso);
    if (problemi.isEmpty()) return;
    QStringList righe{QStringLiteral("Attenzione: il file %1 non supera i controlli dello SDI:")
                          .arg(QFileInfo(percorso).fileName())};
    for (const Problema& p : problemi)
        righe << QStringLiteral("- ") + p.descrizione();
    Desktop::corrente().messaggio(righe.join(QLatin1Char('\n')));
}

void TElenco_Fatt::BitBtn5Click() {
    inviaCorrente(false);
}

void TElenco_Fatt::BitBtn21Click() {
    inviaCorrente(true);
}

// Opens the sending page of the current invoice after confirmation; the web
// application sends the file and marks the invoice as sent, nothing is written here.
void TElenco_Fatt::inviaCorrente(bool pubblicaAmministrazione) {
    Table* testata = m_diz.Testata;
    if (!testata->isOpen() || testata->isEmpty()) return;
    if (testata->field(QStringLiteral("inviata")).asBoolean()) {
        Desktop::corrente().messaggio(QStringLiteral("Fattura gia inviata"));
        return;
    }
    if (!Desktop::corrente().conferma(QStringLiteral("Confermi invio a SDI ?"))) return;
    TAzione::esegui([&] {
        const auto pagina = pubblicaAmministrazione ? InvioSdi::Pagina::PubblicaAmministrazione
                                                    : InvioSdi::Pagina::Ordinaria;
        Desktop::corrente().apriIndirizzo(
            InvioSdi::indirizzo(pagina, testata->field(QStringLiteral("nome_file")).asString(),
                                testata->field(QStringLiteral("id_invio")).asInteger()));
    });
}

// "Invio Fatture al SDI": one page of the web application sends every unsent
// invoice that has a file and lists what it sent and refused. The header table
// keeps its own statement, order and refresh.
void TElenco_Fatt::BitBtn19Click() {
    if (!Desktop::corrente().conferma(QStringLiteral("Confermi invio Fatture al SDI: ?"))) return;
    TAzione::esegui([] { Desktop::corrente().apriIndirizzo(InvioSdi::indirizzoLotto()); });
}

// "Importa Fatture": the year's documents of the accounting database dated up
// to M1 become invoices. An error stops the run with its message; then one
// message lists the documents refused and the files with problems.
void TElenco_Fatt::BitBtn18Click() {
    if (!Desktop::corrente().conferma(QStringLiteral("Confermi importazione Fatture: ?"))) return;
    EsitoImportazione esito;
    TAzione::esegui([&] {
        TAttesaImport attesa(this);
        ImportaFatture(
            m_diz, windowTitle(), M1->text(),
            [&attesa](const AvanzamentoImportazione& a) { attesa.aggiorna(a); }, esito);
    });
    if (const QString messaggio = esito.messaggio(); !messaggio.isEmpty())
        Desktop::corrente().messaggio(riepilogoImportazione(esito) + QStringLiteral("\n\n") +
                                      messaggio);
}
