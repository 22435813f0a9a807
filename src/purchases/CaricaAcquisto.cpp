#include "purchases/CaricaAcquisto.h"

#include "db/Connection.h"
#include "db/Transaction.h"
#include "fatturapa/BustaP7m.h"
#include "fatturapa/Decimale.h"
#include "fatturapa/NodoXml.h"
#include "platform/Errore.h"
#include "platform/Testi.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlQuery>

#include <libxml/parser.h>

#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

const QLatin1StringView
    nsFatturaPA("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2");
constexpr qint64 massimaDimensione = 64 * 1024 * 1024;
constexpr int rateMemorizzate = 4;
constexpr int riepiloghiMemorizzati = 2;
constexpr int attesaBlocco = 30; // seconds a second load of the same name waits

// A refusal: the status and the sentence of the page.
struct Rifiuto {
    int stato;
    QString motivo;
};

EsitoCarico esito(int stato, const QString& messaggio) {
    EsitoCarico e;
    e.stato = stato;
    e.messaggio = messaggio;
    return e;
}

// --- Reading the document ------------------------------------------------------

using Documento = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

// A DOCTYPE stops the parser before any entity is declared: a FatturaPA document
// has none, and without it no entity can name a file or an address.
void rifiutaDtd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    *static_cast<bool*>(ctxt->_private) = true;
    xmlStopParser(ctxt);
}

Documento leggiXml(const QByteArray& xml, QString& errore) {
    Documento doc(nullptr, xmlFreeDoc);
    if (xml.size() > std::numeric_limits<int>::max()) {
        errore = QStringLiteral("file troppo grande");
        return doc;
    }
    xmlInitParser();
    const std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(xmlNewParserCtxt(),
                                                                            xmlFreeParserCtxt);
    if (!ctxt) {
        errore = QStringLiteral("memoria insufficiente per leggere il file");
        return doc;
    }
    bool conDtd = false;
    ctxt->_private = &conDtd;
    ctxt->sax->internalSubset = rifiutaDtd;
    doc.reset(xmlCtxtReadMemory(ctxt.get(), xml.constData(), int(xml.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (conDtd) {
        doc.reset();
        errore = QStringLiteral("il documento contiene una dichiarazione DOCTYPE, che una fattura "
                                "elettronica non ha");
    } else if (!doc || !ctxt->wellFormed) {
        const xmlError* e = xmlCtxtGetLastError(ctxt.get());
        QString testo = e && e->message ? QString::fromUtf8(e->message).trimmed()
                                        : QStringLiteral("documento illeggibile");
        if (e && e->line > 0) testo = QStringLiteral("riga %1: %2").arg(e->line).arg(testo);
        doc.reset();
        errore = QStringLiteral("XML non ben formato (%1)").arg(testo);
    }
    return doc;
}

// The root must be FatturaElettronica of the FatturaPA namespace, whatever its prefix,
// in one of the two formats handled, with at least one body.
QString controllaRadice(xmlNode* radice) {
    const auto nome = [](const xmlChar* s) {
        return QString::fromUtf8(reinterpret_cast<const char*>(s));
    };
    if (!radice || nome(radice->name) != QLatin1String("FatturaElettronica") || !radice->ns ||
        nome(radice->ns->href) != nsFatturaPA)
        return QStringLiteral("il documento non è una fattura elettronica FatturaPA");
    const QString versione = NodoXml(radice).attributo("versione");
    if (versione != QLatin1String("FPR12") && versione != QLatin1String("FPA12"))
        return QStringLiteral("versione «%1» non gestita (FPR12 o FPA12)").arg(versione);
    if (!NodoXml(radice).figlio("FatturaElettronicaHeader/CedentePrestatore").esiste())
        return QStringLiteral("manca il cedente/prestatore (CedentePrestatore)");
    if (!NodoXml(radice).figlio("FatturaElettronicaBody").esiste())
        return QStringLiteral("il documento non contiene fatture (FatturaElettronicaBody)");
    return {};
}

// --- Values as the tables keep them --------------------------------------------

// An XML decimal ("1234.50") as amount text with the decimal comma, at least two
// decimals and no trailing zeros beyond them ("1234,50", "0,12345678"). Text that is
// no number is kept as it is.
QString importo(const QString& xml, const char* maschera = "0.00######") {
    if (xml.isEmpty()) return xml;
    QString testo = xml;
    testo.replace(QLatin1Char('.'), QLatin1Char(','));
    long double v = 0;
    if (!Testi::leggiNumero(testo, v)) return xml;
    return Testi::formatta(v, QString::fromLatin1(maschera));
}

// A percentage as short as it can be written ("10", "12,5"): sc_perc holds four
// characters.
QString percentuale(const QString& xml) {
    return importo(xml, "0.########");
}

QString data(const QString& xml) {
    const QDate d = QDate::fromString(xml, Qt::ISODate);
    return d.isValid() ? Testi::testoData(d) : xml;
}

int caratteri(const QString& s) {
    return int(s.toUcs4().size());
}

// A value longer than its column: the file is refused, since a value is never cut.
struct ValoreTroppoLungo {
    QString motivo;
};

// The columns of one row to insert, in order, with the sizes of the text columns.
class Riga {
public:
    Riga(const QHash<QString, int>& dimensioni, QString dove)
        : m_dimensioni(dimensioni), m_dove(std::move(dove)) {}

    void testo(const char* colonna, const QString& valore) {
        const QString nome = QString::fromLatin1(colonna);
        const int massimo = m_dimensioni.value(nome, -1);
        if (massimo >= 0 && caratteri(valore) > massimo)
            throw ValoreTroppoLungo{QStringLiteral("%1: il valore di %2 «%3» ha %4 caratteri, la "
                                                   "colonna ne tiene %5")
                                        .arg(m_dove, nome, valore)
                                        .arg(caratteri(valore))
                                        .arg(massimo)};
        // An absent value is stored as empty text, not as null.
        m_valori.append({nome, valore.isNull() ? QString(QLatin1String("")) : valore});
    }
    void intero(const char* colonna, int valore) {
        m_valori.append({QString::fromLatin1(colonna), valore});
    }

    // INSERT INTO tabella (...) VALUES (?, ...), and its bindings.
    int inserisci(Connection& c, const QString& tabella) const {
        QStringList colonne, segnaposto;
        QVariantList valori;
        for (const auto& [nome, valore] : m_valori) {
            colonne << nome;
            segnaposto << QStringLiteral("?");
            valori << valore;
        }
        const Statement q = c.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(tabella, colonne.join(QStringLiteral(", ")),
                                            segnaposto.join(QStringLiteral(", "))),
                                   valori);
        return q->lastInsertId().toInt();
    }

private:
    const QHash<QString, int>& m_dimensioni;
    QString m_dove;
    QList<std::pair<QString, QVariant>> m_valori;
};

// --- The rows of one body ---------------------------------------------------------

struct Fornitore {
    QString ragSoc, indirizzo, comune, cap, prov, nazione, pIva, codFis;
};

Fornitore fornitore(const NodoXml& radice) {
    const NodoXml cedente = radice.figlio("FatturaElettronicaHeader/CedentePrestatore");
    const NodoXml anagrafici = cedente.figlio("DatiAnagrafici");
    const NodoXml sede = cedente.figlio("Sede");
    Fornitore f;
    f.ragSoc = anagrafici.testo("Anagrafica/Denominazione");
    if (f.ragSoc.isEmpty())
        f.ragSoc = (anagrafici.testo("Anagrafica/Nome") + QLatin1Char(' ') +
                    anagrafici.testo("Anagrafica/Cognome"))
                       .trimmed();
    f.indirizzo = sede.testo("Indirizzo");
    const QString civico = sede.testo("NumeroCivico");
    if (!civico.isEmpty()) f.indirizzo += QStringLiteral(", ") + civico;
    f.comune = sede.testo("Comune");
    f.cap = sede.testo("CAP");
    f.prov = sede.testo("Provincia");
    f.nazione = sede.testo("Nazione");
    f.pIva = anagrafici.testo("IdFiscaleIVA/IdCodice");
    f.codFis = anagrafici.testo("CodiceFiscale");
    return f;
}

// The document total; when the document gives none, the sum of its VAT summaries.
QString totaleDocumento(const NodoXml& generali, const QList<NodoXml>& riepiloghi,
                        QStringList& note, const QString& dove) {
    const QString totale = generali.testo("ImportoTotaleDocumento");
    if (!totale.isEmpty()) return importo(totale);
    Decimale somma;
    for (const NodoXml& r : riepiloghi) {
        somma += Decimale::leggi(r.testo("ImponibileImporto")).value_or(Decimale());
        somma += Decimale::leggi(r.testo("Imposta")).value_or(Decimale());
    }
    note << QStringLiteral("%1: ImportoTotaleDocumento assente, totale calcolato dai riepiloghi "
                           "IVA")
                .arg(dove);
    return importo(somma.testo(2));
}

class Scrittore {
public:
    Scrittore(Connection& c, const QString& nomeFile, EsitoCarico& esito)
        : m_c(c), m_nomeFile(nomeFile), m_esito(esito) {
        const QString sql = QStringLiteral(
            "SELECT TABLE_NAME, COLUMN_NAME, CHARACTER_MAXIMUM_LENGTH FROM "
            "information_schema.COLUMNS "
            "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME IN ('test_car', 'dett_car') "
            "AND CHARACTER_MAXIMUM_LENGTH IS NOT NULL");
        QSqlQuery q = c.exec(sql);
        while (q.next()) {
            auto& d = q.value(0).toString() == QLatin1String("test_car") ? m_testa : m_righe;
            d.insert(q.value(1).toString().toLower(), q.value(2).toInt());
        }
    }

    int dimensioneNomeFile() const { return m_testa.value(QStringLiteral("nome_file"), 0); }

    void corpo(const NodoXml& radice, const NodoXml& corpo, const Fornitore& f, int numero,
               int corpi) {
        const NodoXml generali = corpo.figlio("DatiGenerali/DatiGeneraliDocumento");
        const QString dove = corpi > 1 ? QStringLiteral("fattura %1 di %2").arg(numero).arg(corpi)
                                       : QStringLiteral("fattura");
        const QList<NodoXml> riepiloghi = corpo.tutti("DatiBeniServizi/DatiRiepilogo");
        const QList<NodoXml> rate = corpo.tutti("DatiPagamento/DettaglioPagamento");
        const NodoXml trasmissione = radice.figlio("FatturaElettronicaHeader/DatiTrasmissione");

        const QString totale = totaleDocumento(generali, riepiloghi, m_esito.dettagli, dove);

        Riga t(m_testa, dove);
        t.testo("rag_soc", f.ragSoc);
        t.testo("indirizzo", f.indirizzo);
        t.testo("comune", f.comune);
        t.testo("cap", f.cap);
        t.testo("prov", f.prov);
        t.testo("nazione", f.nazione);
        t.testo("p_iva", f.pIva);
        t.testo("cod_fis", f.codFis);
        t.testo("cod_destinatario", trasmissione.testo("CodiceDestinatario"));
        t.testo("pec", trasmissione.testo("PECDestinatario"));
        t.testo("data_doc", data(generali.testo("Data")));
        t.testo("num_doc", generali.testo("Numero"));
        t.testo("tot_doc", totale);
        t.testo("tipo_doc", generali.testo("TipoDocumento"));
        t.testo("tipo_pag", corpo.testo("DatiPagamento/CondizioniPagamento"));
        t.testo("mod_pag", rate.isEmpty() ? QString() : rate.first().testo("ModalitaPagamento"));
        t.intero("n_rate", int(rate.size()));
        riepilogo(t, riepiloghi.value(0), "");
        riepilogo(t, riepiloghi.value(1), "2");
        t.testo("nome_file", m_nomeFile);
        const NodoXml sconto = generali.figlio("ScontoMaggiorazione");
        t.testo("sc_tipo", sconto.testo("Tipo"));
        t.testo("sc_perc", percentuale(sconto.testo("Percentuale")));
        t.testo("sc_importo", importo(sconto.testo("Importo")));
        const char* const scadenze[] = {"scad1", "scad2", "scad3", "scad4"};
        const char* const importi[] = {"imp_scad1", "imp_scad2", "imp_scad3", "imp_scad4"};
        for (int i = 0; i < rateMemorizzate; ++i) {
            const NodoXml r = rate.value(i);
            t.testo(scadenze[i], data(r.testo("DataScadenzaPagamento")));
            t.testo(importi[i], importo(r.testo("ImportoPagamento")));
        }
        const int prot = t.inserisci(m_c, QStringLiteral("test_car"));
        m_esito.protocolli << prot;

        const QList<NodoXml> linee = corpo.tutti("DatiBeniServizi/DettaglioLinee");
        for (qsizetype i = 0; i < linee.size(); ++i)
            riga(linee[i], prot, int(i) + 1, dove);

        m_esito.dettagli << QStringLiteral("Fattura %1 n. %2 del %3 di %4, totale %5: prot %6, "
                                           "%7 righe, %8 rate.")
                                .arg(generali.testo("TipoDocumento"), generali.testo("Numero"),
                                     data(generali.testo("Data")), f.ragSoc, totale,
                                     QString::number(prot), QString::number(linee.size()),
                                     QString::number(rate.size()));
        for (qsizetype i = riepiloghiMemorizzati; i < riepiloghi.size(); ++i) {
            const NodoXml& r = riepiloghi[i];
            m_esito.dettagli << QStringLiteral("%1: riepilogo IVA %2 (aliquota %3, imponibile %4, "
                                               "imposta %5) non memorizzato: se ne tengono due.")
                                    .arg(dove)
                                    .arg(i + 1)
                                    .arg(importo(r.testo("AliquotaIVA"), "0.00"),
                                         importo(r.testo("ImponibileImporto")),
                                         importo(r.testo("Imposta")));
        }
        for (qsizetype i = rateMemorizzate; i < rate.size(); ++i) {
            const NodoXml& r = rate[i];
            m_esito.dettagli << QStringLiteral("%1: rata %2 (scadenza %3, importo %4) non "
                                               "memorizzata: se ne tengono quattro.")
                                    .arg(dove)
                                    .arg(i + 1)
                                    .arg(data(r.testo("DataScadenzaPagamento")),
                                         importo(r.testo("ImportoPagamento")));
        }
    }

private:
    void riepilogo(Riga& t, const NodoXml& r, const char* n) {
        const auto col = [n](const char* base) { return QByteArray(base) + n; };
        t.testo(col("spese").constData(), importo(r.testo("SpeseAccessorie")));
        t.testo(col("arrot").constData(), importo(r.testo("Arrotondamento")));
        t.testo(col("imponibile").constData(), importo(r.testo("ImponibileImporto")));
        t.testo(col("imposta").constData(), importo(r.testo("Imposta")));
        t.testo(col("aliquota").constData(), importo(r.testo("AliquotaIVA"), "0.00"));
        t.testo(col("esig_iva").constData(), r.testo("EsigibilitaIVA"));
        t.testo(col("natura").constData(), r.testo("Natura"));
        t.testo(col("normativa").constData(), r.testo("RiferimentoNormativo"));
    }

    void riga(const NodoXml& l, int prot, int posizione, const QString& dove) {
        bool ok = false;
        const int numero = l.testo("NumeroLinea").toInt(&ok);
        Riga d(m_righe, QStringLiteral("%1, riga %2").arg(dove).arg(ok ? numero : posizione));
        d.intero("prot_car", prot);
        d.intero("prog", ok ? numero : posizione);
        const NodoXml codice = l.figlio("CodiceArticolo");
        d.testo("codice_tipo", codice.testo("CodiceTipo"));
        d.testo("codice_val", codice.testo("CodiceValore"));
        d.testo("descrizione", l.testo("Descrizione"));
        d.testo("quantita", importo(l.testo("Quantita")));
        d.testo("um", l.testo("UnitaMisura"));
        d.testo("prezzo_unit", importo(l.testo("PrezzoUnitario")));
        const NodoXml sconto = l.figlio("ScontoMaggiorazione");
        d.testo("sc_tipo", sconto.testo("Tipo"));
        d.testo("sc_perc", percentuale(sconto.testo("Percentuale")));
        d.testo("sc_importo", importo(sconto.testo("Importo")));
        d.testo("prezzo_tot", importo(l.testo("PrezzoTotale")));
        d.testo("aliquota", importo(l.testo("AliquotaIVA"), "0.00"));
        d.testo("tipo_cessione", l.testo("TipoCessionePrestazione"));
        d.testo("ritenuta", l.testo("Ritenuta"));
        d.testo("natura", l.testo("Natura"));
        d.testo("rif_amm", l.testo("RiferimentoAmministrazione"));
        d.inserisci(m_c, QStringLiteral("dett_car"));
    }

    Connection& m_c;
    const QString& m_nomeFile;
    EsitoCarico& m_esito;
    QHash<QString, int> m_testa;
    QHash<QString, int> m_righe;
};

// --- Locking and checks --------------------------------------------------------------

// A server lock on the file name within this database: a second load of the same name
// waits until the first has committed, then finds it loaded.
class BloccoNome {
public:
    BloccoNome(Connection& c, const QString& nome) : m_c(c), m_nome(nome) {
        const Statement st =
            c.exec(QStringLiteral("SELECT GET_LOCK(MD5(CONCAT(DATABASE(), '/', ?)), %1)")
                       .arg(attesaBlocco),
                   {nome});
        QSqlQuery& q = *st;
        m_preso = q.next() && q.value(0).toInt() == 1;
    }
    ~BloccoNome() {
        if (!m_preso) return;
        try {
            m_c.exec(QStringLiteral("SELECT RELEASE_LOCK(MD5(CONCAT(DATABASE(), '/', ?)))"),
                     {m_nome});
        } catch (const Errore&) {
            // The server frees the lock with the connection anyway.
        }
    }
    BloccoNome(const BloccoNome&) = delete;
    BloccoNome& operator=(const BloccoNome&) = delete;
    bool preso() const { return m_preso; }

private:
    Connection& m_c;
    QString m_nome;
    bool m_preso = false;
};

// The prot of the header already loaded from exactly this name (letter case and
// trailing blanks included); 0 when there is none. The column is converted first, since an
// existing installation's is latin1.
int giaCaricato(Connection& c, const QString& nome) {
    const Statement st = c.exec(
        QStringLiteral("SELECT prot FROM test_car WHERE CONVERT(nome_file USING utf8mb4) COLLATE "
                       "utf8mb4_nopad_bin = ? ORDER BY prot LIMIT 1"),
        {nome});
    QSqlQuery& q = *st;
    return q.next() ? q.value(0).toInt() : 0;
}

std::optional<Rifiuto> controllaNome(const QString& nome, int massimo) {
    if (nome.isEmpty()) return Rifiuto{400, QStringLiteral("Nome del file mancante.")};
    if (nome.contains(QLatin1Char('/')) || nome.contains(QLatin1Char('\\')) ||
        nome == QLatin1String(".") || nome == QLatin1String(".."))
        return Rifiuto{400, QStringLiteral("Nome del file non valido: «%1» indica una cartella, "
                                           "ne va indicato solo il nome.")
                                .arg(nome)};
    for (const QChar ch : nome)
        if (ch.unicode() < 32 || ch == QChar(0x7F))
            return Rifiuto{400, QStringLiteral("Nome del file non valido: contiene caratteri di "
                                               "controllo.")};
    if (massimo > 0 && caratteri(nome) > massimo)
        return Rifiuto{400, QStringLiteral("Nome del file troppo lungo: %1 caratteri, ne sono "
                                           "ammessi %2.")
                                .arg(caratteri(nome))
                                .arg(massimo)};
    return std::nullopt;
}

Rifiuto duplicato(const QString& nome, int prot) {
    return {409, QStringLiteral("Attenzione... File gia Caricato: «%1» (prot %2).")
                     .arg(nome, QString::number(prot))};
}

// The bytes of the document: the file itself, or the XML inside a signed file.
std::optional<Rifiuto> leggiFile(const QString& percorso, const QString& nome, QByteArray& xml,
                                 QStringList& dettagli) {
    QFile file(percorso);
    if (file.size() > massimaDimensione)
        return Rifiuto{422, QStringLiteral("File «%1» non caricato: è troppo grande.").arg(nome)};
    if (!file.open(QIODevice::ReadOnly))
        return Rifiuto{422, QStringLiteral("File «%1» non caricato: non si può leggere (%2).")
                                .arg(nome, file.errorString())};
    xml = file.readAll();
    if (!BustaP7m::firmato(nome)) return std::nullopt;
    const BustaP7m::Contenuto busta = BustaP7m::apri(xml);
    if (!busta.aperta)
        return Rifiuto{422, QStringLiteral("File «%1» non caricato: %2.").arg(nome, busta.errore)};
    // A signature that no longer matches its content: the file was altered after signing.
    if (busta.firma == BustaP7m::Firma::NonValida)
        return Rifiuto{422, QStringLiteral("File «%1» non caricato: la firma non è valida, il "
                                           "documento è stato alterato dopo la firma.")
                                .arg(nome)};
    dettagli << busta.descrizioneFirma();
    xml = busta.documento;
    return std::nullopt;
}

} // namespace

EsitoCarico CaricaAcquisto(Connection& connessione, const QString& cartella,
                           const QString& nomeFile) {
    EsitoCarico risultato;
    try {
        Scrittore scrittore(connessione, nomeFile, risultato);
        if (const auto r = controllaNome(nomeFile, scrittore.dimensioneNomeFile()))
            return esito(r->stato, r->motivo);
        const QFileInfo info(QDir(cartella), nomeFile);
        if (!info.isFile())
            return esito(404, QStringLiteral("File «%1» non trovato nella cartella delle fatture "
                                             "ricevute.")
                                  .arg(nomeFile));
        if (const int prot = giaCaricato(connessione, nomeFile)) {
            const Rifiuto r = duplicato(nomeFile, prot);
            return esito(r.stato, r.motivo);
        }
        QByteArray xml;
        QStringList firma;
        if (const auto r = leggiFile(info.filePath(), nomeFile, xml, firma))
            return esito(r->stato, r->motivo);
        QString errore;
        const Documento doc = leggiXml(xml, errore);
        xmlNode* const radice = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
        if (errore.isEmpty()) errore = controllaRadice(radice);
        if (!errore.isEmpty())
            return esito(422, QStringLiteral("File «%1» non caricato: %2.").arg(nomeFile, errore));

        const BloccoNome blocco(connessione, nomeFile);
        if (!blocco.preso())
            return esito(409, QStringLiteral("File «%1» non caricato: un altro caricamento dello "
                                             "stesso file è in corso.")
                                  .arg(nomeFile));
        Transaction transazione(connessione);
        if (const int prot = giaCaricato(connessione, nomeFile)) {
            const Rifiuto r = duplicato(nomeFile, prot);
            return esito(r.stato, r.motivo);
        }
        const NodoXml documento(radice);
        const Fornitore f = fornitore(documento);
        const QList<NodoXml> corpi = documento.tutti("FatturaElettronicaBody");
        for (qsizetype i = 0; i < corpi.size(); ++i)
            scrittore.corpo(documento, corpi[i], f, int(i) + 1, int(corpi.size()));
        transazione.commit();
        risultato.dettagli += firma;
    } catch (const ValoreTroppoLungo& v) {
        return esito(422, QStringLiteral("File «%1» non caricato: %2.").arg(nomeFile, v.motivo));
    } catch (const Errore& e) {
        return esito(500, QStringLiteral("File «%1» non caricato: errore del database (%2).")
                              .arg(nomeFile, e.messaggio()));
    }
    QStringList prot;
    for (int p : risultato.protocolli)
        prot << QString::number(p);
    risultato.messaggio = risultato.protocolli.size() == 1
                              ? QStringLiteral("Fattura caricata dal file «%1» con prot %2.")
                                    .arg(nomeFile, prot.first())
                              : QStringLiteral("%1 fatture caricate dal file «%2» con prot %3.")
                                    .arg(risultato.protocolli.size())
                                    .arg(nomeFile, prot.join(QStringLiteral(", ")));
    return risultato;
}
