#include "TDiz.h"

#include "db/ConnectionSettings.h"
#include "platform/ErroreConversione.h"
#include "platform/Testi.h"

#include <cmath>

TDiz::TDiz(QObject* parent)
    : QObject(parent), m_xml(std::make_unique<Connection>(QStringLiteral("xml_conn"))),
      m_dati(std::make_unique<Connection>(QStringLiteral("Dati"))) {
    xml_conn = m_xml.get();
    Dati = m_dati.get();
    // Until the log-in names the server and the invoice database.
    const QString locale = QStringLiteral("localhost");
    ConnectionSettings::fromEnvironment(locale, QStringLiteral("xml_quirn")).applyTo(*xml_conn);
    ConnectionSettings::fromEnvironment(locale, QStringLiteral("quirn19")).applyTo(*Dati);
    creaFatture();
    creaContabilita();
}

TDiz::~TDiz() = default;

Table* TDiz::tabella(Connection* c, const QString& name, DataSource*& source) {
    auto* t = new Table(c, name, this);
    source = new DataSource(t, this);
    connect(t, &Table::autoRefreshFailed, this,
            [this, name](const QString& message) { emit autoRefreshFailed(name, message); });
    return t;
}

void TDiz::creaFatture() {
    AziendaT = tabella(xml_conn, QStringLiteral("azienda"), AziendaS);
    Testata = tabella(xml_conn, QStringLiteral("testata"), TestataS);
    Testata->setOrderBy({QStringLiteral("id_invio")});
    Testata->addCalculatedField(QStringLiteral("prot"));
    Testata->setOnNewRecord(&TDiz::TestataNewRecord);
    Testata->setOnCalcFields(&TDiz::TestataCalcFields);
    Testata->setAutoRefresh(10000);
    Detta = tabella(xml_conn, QStringLiteral("dettaglio"), DettaS);
    Detta->setMaster(TestataS, {QStringLiteral("id_invio")}, {QStringLiteral("id_invio")});
    ContrattoT = tabella(xml_conn, QStringLiteral("test_dati"), ContrattoS);
    ContrattoT->setMaster(TestataS, {QStringLiteral("id_invio")}, {QStringLiteral("id_invio")});
    ContrattoD = tabella(xml_conn, QStringLiteral("dati_acquisto"), ContrattoDS);
    ContrattoD->setMaster(ContrattoS, {QStringLiteral("id_invio"), QStringLiteral("tipo")},
                          {QStringLiteral("id_invio"), QStringLiteral("tipo")});
    Clienti = tabella(xml_conn, QStringLiteral("clienti"), ClientiS);
    Clienti->setOrderBy({QStringLiteral("rag_soc")});
    Fornitori = tabella(xml_conn, QStringLiteral("fornitori"), FornitoriS);
    Fornitori->setOrderBy({QStringLiteral("rag_soc")});
    Testa_Car = tabella(xml_conn, QStringLiteral("test_car"), Testa_CarS);
    Testa_Car->setAutoRefresh(5000);
    Detta_Car = tabella(xml_conn, QStringLiteral("dett_car"), Detta_CarS);
    // The lines of the current purchase invoice only, in the window and in print.
    Detta_Car->setMaster(Testa_CarS, {QStringLiteral("prot_car")}, {QStringLiteral("prot")});
    Detta_Car->setAutoRefresh(5000);
    Articoli = tabella(xml_conn, QStringLiteral("magazzino"), ArticoliS);
    Articoli->setOrderBy({QStringLiteral("codice_val")});
    m_query = std::make_unique<::Query>(xml_conn);
    Query = m_query.get();
    QueryS = new DataSource(nullptr, this);
}

void TDiz::creaContabilita() {
    Test_Fatt = tabella(Dati, QStringLiteral("testata"), Test_FattS);
    dichiaraTestFatt(*Test_Fatt);
    Test_Fatt->setOnCalcFields(&TDiz::Test_FattCalcFields);
    BolleT = tabella(Dati, QStringLiteral("testata"), BolleS);
    Dett_Fatt = tabella(Dati, QStringLiteral("dettag"), Dett_FattS);
    dichiaraDettFatt(*Dett_Fatt);
    Dett_Fatt->setOnCalcFields(&TDiz::Dett_FattCalcFields);
    Dett_Fatt->setMaster(BolleS, {QStringLiteral("prot_testa")}, {QStringLiteral("protocollo")});
}

QList<Table*> TDiz::tabelleFatture() const {
    return {AziendaT,  Testata,   Detta,    Clienti,    Fornitori,
            Testa_Car, Detta_Car, Articoli, ContrattoT, ContrattoD};
}

namespace {

struct Dichiarato {
    const char* nome;
    FieldKind tipo;
};

constexpr FieldKind I = FieldKind::Integer, T = FieldKind::Text, N = FieldKind::Number,
                    D = FieldKind::Date, B = FieldKind::Boolean;

// The accounting documents' columns the system declares; opening fails when one
// is missing or of another kind.
const Dichiarato kTestata[] = {
    {"protocollo", I},  {"anno", I},        {"cl_fo", T},          {"reg_doc", T},
    {"tipo_doc", T},    {"num_doc", I},     {"data", D},           {"movimento", I},
    {"codice_soc", I},  {"rag_soc", T},     {"indirizzo", T},      {"cap", T},
    {"citta", T},       {"dest_soc", T},    {"dest_indirizzo", T}, {"dest_cap", T},
    {"dest_citta", T},  {"partiva", T},     {"cod_fis", T},        {"cod_pag", I},
    {"desc_pag", T},    {"cod_sped", I},    {"spedizione", T},     {"cod_cons", I},
    {"consegna", T},    {"esente", B},      {"esenzione1", T},     {"esenzione2", T},
    {"colli", T},       {"aspetto", T},     {"causale", T},        {"data_tr", D},
    {"sc_cassa", N},    {"imponibile1", N}, {"val_sconto1", N},    {"imponibile2", N},
    {"val_sconto2", N}, {"imponibile3", N}, {"val_sconto3", N},    {"iva1", N},
    {"iva2", N},        {"iva3", N},        {"abbuono", N},        {"spese_inc", N},
    {"spese_tr", N},    {"bolli", N},       {"aliq_spese", N},     {"imponibile4", N},
    {"iva4", N},        {"val_sconto4", N}, {"val_provv", N},      {"note1", T},
    {"note2", T},       {"rif_doc", T},     {"ora_trasp", T},      {"pagato", N},
    {"cod_age", I},     {"in_contab", I},   {"prot_contab", I},    {"prot_f_diff", I},
    {"rettifica", T},   {"selezione", B},   {"rate", I},           {"ora", T},
    {"utente", T},      {"acconto", N},     {"imponibile5", N},    {"iva5", N},
    {"val_sconto5", N}, {"aliquota5", N},   {"aliquota1", N},      {"aliquota2", N},
    {"aliquota3", N},   {"aliquota4", N},   {"prov", T},           {"cod_destinatario", T},
    {"pec", T}};

const Dichiarato kDettag[] = {
    {"prot_testa", I},  {"protocollo", I}, {"codice_art", I}, {"descrizione", T}, {"colli", I},
    {"quantita", N},    {"pr_lordo", N},   {"sc_1", N},       {"sc_2", N},        {"sc_3", N},
    {"um", T},          {"aliquota", N},   {"data_doc", D},   {"omaggio", N},     {"cod_art", T},
    {"provvigione", N}, {"costo", N},      {"testo", T},      {"iva2", N},        {"qt_fatt", N},
    {"cod_fo", I},      {"categoria", T},  {"origine", T},    {"lotto", T},       {"scadenza", D},
    {"qt_testo", T},    {"pr_testo", T},   {"art_omaggio", T}};

const char* const kCalcTestata[] = {"Imp_Merce",  "Iva_Merce",  "sconto",
                                    "Imp_Totale", "Iva_Totale", "totale"};
const char* const kCalcDettag[] = {"Netto", "Imp_Netto", "pr_ivato", "imp_ivato"};

// A null amount of the accounting database counts as 0.
double num(Table& t, const char* name) {
    return t.field(QString::fromLatin1(name)).asFloat();
}

void set(Table& t, const char* name, double v) {
    t.field(QString::fromLatin1(name)).setValue(v);
}

} // namespace

void TDiz::dichiaraTestFatt(Table& t) {
    for (const Dichiarato& d : kTestata)
        t.declareField(QString::fromLatin1(d.nome), d.tipo);
    for (const char* c : kCalcTestata)
        t.addCalculatedField(QString::fromLatin1(c), QMetaType::Double);
}

void TDiz::dichiaraDettFatt(Table& t) {
    for (const Dichiarato& d : kDettag)
        t.declareField(QString::fromLatin1(d.nome), d.tipo);
    for (const char* c : kCalcDettag)
        t.addCalculatedField(QString::fromLatin1(c), QMetaType::Double);
}

void TDiz::TestataNewRecord(Table& t) {
    const QString i = QStringLiteral("I"), zero = QStringLiteral("0,00");
    const std::pair<const char*, QString> defaults[] = {
        {"tipo_doc", QStringLiteral("TD01")},
        {"tipo_pag", QStringLiteral("TP02")},
        {"mod_pag", QStringLiteral("MP01")},
        {"esig_iva", i},
        {"esig_iva2", i},
        {"esig_iva3", i},
        {"causale", QStringLiteral("Vendita")},
        {"trasporto", QStringLiteral("Vettore")},
        {"porto", QStringLiteral("Franco")},
        {"aspetto", QStringLiteral("Cartoni, Imballi")},
        {"colli", QString(QLatin1String(""))},
        {"spese", zero},
        {"spese2", zero},
        {"spese3", zero},
        {"arrot", zero},
        {"arrot2", zero},
        {"arrot3", zero}};
    for (const auto& [name, value] : defaults)
        t.field(QString::fromLatin1(name)).setAsString(value);
    t.field(QStringLiteral("inviata")).setAsBoolean(false);
}

void TDiz::TestataCalcFields(Table& t) {
    try {
        Field prot = t.field(QStringLiteral("prot"));
        const Field id = t.field(QStringLiteral("id_invio"));
        if (id.isNull())
            prot.setAsString(QString());
        else if (id.asInteger() <= 9999)
            prot.setAsString(QString::number(id.asInteger()));
        else
            prot.setAsString(t.field(QStringLiteral("nome_file")).asString().mid(14, 5));
    } catch (...) {
        // The protocol number is only shown; a failure leaves it empty.
    }
}

void TDiz::Test_FattCalcFields(Table& t) {
    try {
        const double impMerce = num(t, "imponibile1") + num(t, "imponibile2") +
                                num(t, "imponibile3") + num(t, "imponibile4") +
                                num(t, "imponibile5");
        const double ivaMerce =
            num(t, "iva1") + num(t, "iva2") + num(t, "iva3") + num(t, "iva4") + num(t, "iva5");
        const double sconto = num(t, "val_sconto1") + num(t, "val_sconto2") +
                              num(t, "val_sconto3") + num(t, "val_sconto4") + num(t, "val_sconto5");
        const double impTotale = impMerce + num(t, "spese_tr") + num(t, "spese_inc") - sconto;
        // VAT on the expenses, to the cent: halves go to the even cent.
        const double e =
            std::nearbyint((num(t, "spese_tr") + num(t, "spese_inc")) * num(t, "aliq_spese"));
        const double ivaTotale = ivaMerce + e / 100;
        set(t, "Imp_Merce", impMerce);
        set(t, "Iva_Merce", ivaMerce);
        set(t, "sconto", sconto);
        set(t, "Imp_Totale", impTotale);
        set(t, "Iva_Totale", ivaTotale);
        set(t, "totale", impTotale + ivaTotale + num(t, "bolli") - num(t, "abbuono"));
    } catch (const ErroreConversione&) {
        for (const char* c : kCalcTestata)
            set(t, c, 0.0);
    }
}

void TDiz::Dett_FattCalcFields(Table& t) {
    try {
        const bool colli = t.field(QStringLiteral("um")).asString() == QLatin1String("CL");
        const float q = float(colli ? num(t, "colli") : num(t, "quantita"));
        const double prodotto = num(t, "pr_lordo") * ((100 - num(t, "sc_1")) / 100) *
                                ((100 - num(t, "sc_2")) / 100) * ((100 - num(t, "sc_3")) / 100);
        const double netto = Testi::arrotondaPari(prodotto, 4);
        const double prIvato = Testi::arrotondaPari(netto * (1 + num(t, "aliquota") / 100), 2);
        set(t, "Netto", netto);
        set(t, "Imp_Netto", netto * double(q));
        set(t, "pr_ivato", prIvato);
        set(t, "imp_ivato", prIvato * double(q));
    } catch (const ErroreConversione&) {
        for (const char* c : kCalcDettag)
            set(t, c, 0.0);
    }
}
