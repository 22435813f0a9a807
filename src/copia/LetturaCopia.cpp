#include "copia/Codici.h"
#include "copia/Copia.h"

#include "fatturapa/BustaP7m.h"
#include "fatturapa/Decimale.h"
#include "fatturapa/NodoXml.h"
#include "platform/LetturaFile.h"
#include "platform/Testi.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>

#include <libxml/parser.h>

#include <limits>
#include <memory>

namespace {

const QLatin1StringView kNamespace("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2");

const Codici& codici() {
    return Codici::fatturaPA();
}

// --- Reading the document ------------------------------------------------------

using Documento = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

// A DOCTYPE stops the parser before any entity is declared: a FatturaPA document has
// none, and without it no entity can name a file or an address.
void rifiutaDtd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxt*>(ctx);
    *static_cast<bool*>(ctxt->_private) = true;
    xmlStopParser(ctxt);
}

Documento analizza(const QByteArray& xml, QString& errore) {
    Documento doc(nullptr, xmlFreeDoc);
    if (xml.size() > std::numeric_limits<int>::max()) {
        errore = QStringLiteral("il file è troppo grande");
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
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                                    XML_PARSE_NOCDATA));
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
        errore = QStringLiteral("il file non è un XML ben formato (%1)").arg(testo);
    }
    return doc;
}

QString controllaRadice(xmlNode* radice) {
    const auto testo = [](const xmlChar* s) {
        return QString::fromUtf8(reinterpret_cast<const char*>(s));
    };
    if (!radice || testo(radice->name) != QLatin1String("FatturaElettronica") || !radice->ns ||
        testo(radice->ns->href) != kNamespace)
        return QStringLiteral("il documento non è una fattura elettronica FatturaPA");
    const QString versione = NodoXml(radice).attributo("versione");
    if (versione != QLatin1String("FPR12") && versione != QLatin1String("FPA12"))
        return QStringLiteral("versione «%1» non gestita (FPR12 o FPA12)").arg(versione);
    if (!NodoXml(radice).figlio("FatturaElettronicaBody").esiste())
        return QStringLiteral("il documento non contiene fatture (FatturaElettronicaBody)");
    return {};
}

// --- Values as a person reads them -----------------------------------------------

// "1234.5" -> "1.234,50": grouping points, decimal comma, at least two decimals and
// up to eight as the file has them. A text that is no number is shown as it is.
QString numero(const QString& xml) {
    if (xml.isEmpty()) return xml;
    QString t = xml;
    t.replace(QLatin1Char('.'), QLatin1Char(','));
    long double v = 0;
    if (!Testi::leggiNumero(t, v)) return xml;
    return Testi::formatta(v, QStringLiteral("##,###0.00######"));
}

QString percento(const QString& xml) {
    return xml.isEmpty() ? xml : numero(xml) + QStringLiteral("%");
}

QString data(const QString& xml) {
    const QDate d = QDate::fromString(xml, Qt::ISODate);
    return d.isValid() ? Testi::testoData(d) : xml;
}

QString dataOra(const QString& xml) {
    if (xml.isEmpty()) return xml;
    const QDate d = QDate::fromString(xml.left(10), Qt::ISODate);
    if (!d.isValid()) return xml;
    QString t = Testi::testoData(d);
    if (xml.size() >= 16 && xml[10] == QLatin1Char('T')) t += QLatin1Char(' ') + xml.mid(11, 5);
    return t;
}

QString unisci(const QStringList& parti, const QString& separatore = QStringLiteral(" ")) {
    QStringList piene;
    for (const QString& p : parti)
        if (!p.isEmpty()) piene << p;
    return piene.join(separatore);
}

void voce(QList<Voce>& voci, const QString& etichetta, const QString& valore) {
    if (!valore.isEmpty()) voci.append({etichetta, valore});
}

Sezione sezioneVoci(const QString& titolo, const QList<Voce>& voci, bool affiancata = false) {
    Sezione s;
    s.tipo = Sezione::Tipo::Voci;
    s.titolo = titolo;
    s.voci = voci;
    s.affiancata = affiancata;
    return s;
}

Sezione tabella(const QString& titolo, const QList<Colonna>& colonne) {
    Sezione s;
    s.tipo = Sezione::Tipo::Tabella;
    s.titolo = titolo;
    s.colonne = colonne;
    return s;
}

// --- Parties -----------------------------------------------------------------------

QString idFiscale(const NodoXml& id) {
    return id.testo("IdPaese") + id.testo("IdCodice");
}

QString nome(const NodoXml& anagrafica) {
    const QString denominazione = anagrafica.testo("Denominazione");
    if (!denominazione.isEmpty()) return denominazione;
    return unisci(
        {anagrafica.testo("Titolo"), anagrafica.testo("Nome"), anagrafica.testo("Cognome")});
}

QString indirizzo(const NodoXml& sede) {
    if (!sede.esiste()) return {};
    const QString provincia = sede.testo("Provincia");
    return unisci({unisci({sede.testo("Indirizzo"), sede.testo("NumeroCivico")}),
                   unisci({sede.testo("CAP"), sede.testo("Comune"),
                           provincia.isEmpty() ? QString() : QStringLiteral("(%1)").arg(provincia),
                           sede.testo("Nazione")})},
                  QStringLiteral("\n"));
}

void anagrafici(QList<Voce>& v, const NodoXml& dati) {
    voce(v, QStringLiteral("Denominazione"), nome(dati.figlio("Anagrafica")));
    voce(v, QStringLiteral("Partita IVA"), idFiscale(dati.figlio("IdFiscaleIVA")));
    voce(v, QStringLiteral("Codice fiscale"), dati.testo("CodiceFiscale"));
    voce(v, QStringLiteral("Codice EORI"), dati.testo("Anagrafica/CodEORI"));
}

Sezione cedente(const NodoXml& c) {
    QList<Voce> v;
    const NodoXml dati = c.figlio("DatiAnagrafici");
    anagrafici(v, dati);
    voce(v, QStringLiteral("Regime fiscale"),
         codici().conSignificato(QStringLiteral("RegimeFiscale"), dati.testo("RegimeFiscale")));
    voce(v, QStringLiteral("Albo professionale"),
         unisci({dati.testo("AlboProfessionale"), dati.testo("ProvinciaAlbo"),
                 dati.testo("NumeroIscrizioneAlbo"), data(dati.testo("DataIscrizioneAlbo"))}));
    voce(v, QStringLiteral("Sede"), indirizzo(c.figlio("Sede")));
    voce(v, QStringLiteral("Stabile organizzazione"), indirizzo(c.figlio("StabileOrganizzazione")));
    const NodoXml rea = c.figlio("IscrizioneREA");
    if (rea.esiste()) {
        voce(v, QStringLiteral("Iscrizione REA"),
             unisci({rea.testo("Ufficio"), rea.testo("NumeroREA")}, QStringLiteral(" ")));
        voce(v, QStringLiteral("Capitale sociale"), numero(rea.testo("CapitaleSociale")));
        voce(v, QStringLiteral("Soci"),
             codici().significato(QStringLiteral("SocioUnico"), rea.testo("SocioUnico")));
        voce(v, QStringLiteral("Liquidazione"),
             codici().significato(QStringLiteral("StatoLiquidazione"),
                                  rea.testo("StatoLiquidazione")));
    }
    const NodoXml contatti = c.figlio("Contatti");
    voce(v, QStringLiteral("Telefono"), contatti.testo("Telefono"));
    voce(v, QStringLiteral("Fax"), contatti.testo("Fax"));
    voce(v, QStringLiteral("E-mail"), contatti.testo("Email"));
    voce(v, QStringLiteral("Riferimento amministrazione"), c.testo("RiferimentoAmministrazione"));
    return sezioneVoci(QStringLiteral("Cedente/prestatore (fornitore)"), v, true);
}

Sezione cessionario(const NodoXml& c, const NodoXml& trasmissione) {
    QList<Voce> v;
    anagrafici(v, c.figlio("DatiAnagrafici"));
    voce(v, QStringLiteral("Sede"), indirizzo(c.figlio("Sede")));
    voce(v, QStringLiteral("Stabile organizzazione"), indirizzo(c.figlio("StabileOrganizzazione")));
    const NodoXml rappresentante = c.figlio("RappresentanteFiscale");
    if (rappresentante.esiste())
        voce(v, QStringLiteral("Rappresentante fiscale"),
             unisci({rappresentante.testo("Denominazione"),
                     unisci({rappresentante.testo("Nome"), rappresentante.testo("Cognome")}),
                     idFiscale(rappresentante.figlio("IdFiscaleIVA"))},
                    QStringLiteral("\n")));
    voce(v, QStringLiteral("Codice destinatario"), trasmissione.testo("CodiceDestinatario"));
    voce(v, QStringLiteral("PEC destinatario"), trasmissione.testo("PECDestinatario"));
    return sezioneVoci(QStringLiteral("Cessionario/committente (cliente)"), v, true);
}

Sezione rappresentante(const NodoXml& r, const QString& titolo) {
    QList<Voce> v;
    anagrafici(v, r.figlio("DatiAnagrafici"));
    return sezioneVoci(titolo, v);
}

Sezione trasmissione(const NodoXml& t) {
    QList<Voce> v;
    voce(v, QStringLiteral("Trasmittente"), idFiscale(t.figlio("IdTrasmittente")));
    voce(v, QStringLiteral("Progressivo di invio"), t.testo("ProgressivoInvio"));
    voce(v, QStringLiteral("Formato"),
         codici().conSignificato(QStringLiteral("FormatoTrasmissione"),
                                 t.testo("FormatoTrasmissione")));
    voce(v, QStringLiteral("Codice destinatario"), t.testo("CodiceDestinatario"));
    voce(v, QStringLiteral("PEC destinatario"), t.testo("PECDestinatario"));
    voce(v, QStringLiteral("Contatti del trasmittente"),
         unisci({t.testo("ContattiTrasmittente/Telefono"), t.testo("ContattiTrasmittente/Email")},
                QStringLiteral(", ")));
    return sezioneVoci(QStringLiteral("Dati della trasmissione"), v);
}

// --- The body ----------------------------------------------------------------------

QString scontoMaggiorazione(const NodoXml& s) {
    const QString tipo =
        codici().significato(QStringLiteral("TipoScontoMaggiorazione"), s.testo("Tipo"));
    return unisci({tipo, percento(s.testo("Percentuale")), numero(s.testo("Importo"))});
}

QString scontiDi(const NodoXml& n) {
    QStringList righe;
    for (const NodoXml& s : n.tutti("ScontoMaggiorazione"))
        righe << scontoMaggiorazione(s);
    return righe.join(QLatin1Char('\n'));
}

QString aliquotaONatura(const NodoXml& n) {
    const QString natura = n.testo("Natura");
    const QString aliquota = n.testo("AliquotaIVA");
    if (!natura.isEmpty()) return unisci({percento(aliquota), natura});
    return percento(aliquota);
}

void datiGenerali(DocumentoCopia& doc, const NodoXml& generali) {
    const NodoXml d = generali.figlio("DatiGeneraliDocumento");
    QList<Voce> v;
    voce(v, QStringLiteral("Tipo documento"),
         codici().conSignificato(QStringLiteral("TipoDocumento"), d.testo("TipoDocumento")));
    voce(v, QStringLiteral("Numero"), d.testo("Numero"));
    voce(v, QStringLiteral("Data"), data(d.testo("Data")));
    voce(v, QStringLiteral("Divisa"), d.testo("Divisa"));
    voce(v, QStringLiteral("Sconti e maggiorazioni"), scontiDi(d));
    voce(v, QStringLiteral("Arrotondamento"), numero(d.testo("Arrotondamento")));
    voce(v, QStringLiteral("Importo totale"), numero(d.testo("ImportoTotaleDocumento")));
    if (d.testo("Art73") == QLatin1String("SI"))
        voce(v, QStringLiteral("Art. 73"),
             QStringLiteral("Documento emesso secondo modalità e termini stabiliti con decreto "
                            "ministeriale (art. 73 D.P.R. 633/1972)"));
    const NodoXml bollo = d.figlio("DatiBollo");
    if (bollo.esiste())
        voce(v, QStringLiteral("Bollo"),
             unisci({bollo.testo("BolloVirtuale") == QLatin1String("SI")
                         ? QStringLiteral("Bollo virtuale")
                         : QString(),
                     numero(bollo.testo("ImportoBollo"))},
                    QStringLiteral(", ")));
    doc.sezioni.append(sezioneVoci(QStringLiteral("Dati generali del documento"), v));

    Sezione causale;
    causale.tipo = Sezione::Tipo::Testo;
    causale.titolo = QStringLiteral("Causale");
    for (const NodoXml& c : d.tutti("Causale"))
        causale.paragrafi << c.testo();
    if (!causale.paragrafi.isEmpty()) doc.sezioni.append(causale);

    const QList<NodoXml> ritenute = d.tutti("DatiRitenuta");
    if (!ritenute.isEmpty()) {
        Sezione t = tabella(QStringLiteral("Ritenute"), {{QStringLiteral("Tipo"), 0.4},
                                                         {QStringLiteral("Aliquota"), 0.12, true},
                                                         {QStringLiteral("Importo"), 0.16, true},
                                                         {QStringLiteral("Causale"), 0.32}});
        for (const NodoXml& r : ritenute)
            t.righe.append(
                {codici().conSignificato(QStringLiteral("TipoRitenuta"), r.testo("TipoRitenuta")),
                 percento(r.testo("AliquotaRitenuta")), numero(r.testo("ImportoRitenuta")),
                 codici().conSignificato(QStringLiteral("CausalePagamento"),
                                         r.testo("CausalePagamento"))});
        doc.sezioni.append(t);
    }

    const QList<NodoXml> casse = d.tutti("DatiCassaPrevidenziale");
    if (!casse.isEmpty()) {
        Sezione t = tabella(QStringLiteral("Cassa previdenziale"),
                            {{QStringLiteral("Cassa"), 0.36},
                             {QStringLiteral("Aliquota"), 0.1, true},
                             {QStringLiteral("Imponibile"), 0.14, true},
                             {QStringLiteral("Contributo"), 0.14, true},
                             {QStringLiteral("IVA"), 0.1, true},
                             {QStringLiteral("Ritenuta"), 0.08},
                             {QStringLiteral("Rif. amm."), 0.08}});
        for (const NodoXml& c : casse)
            t.righe.append(
                {codici().conSignificato(QStringLiteral("TipoCassa"), c.testo("TipoCassa")),
                 percento(c.testo("AlCassa")), numero(c.testo("ImponibileCassa")),
                 numero(c.testo("ImportoContributoCassa")), aliquotaONatura(c),
                 c.testo("Ritenuta") == QLatin1String("SI") ? QStringLiteral("Sì") : QString(),
                 c.testo("RiferimentoAmministrazione")});
        doc.sezioni.append(t);
    }

    // Orders, contracts, agreements, receipts and linked invoices in one table.
    Sezione rif = tabella(QStringLiteral("Documenti di riferimento"),
                          {{QStringLiteral("Tipo"), 0.17},
                           {QStringLiteral("Documento"), 0.17},
                           {QStringLiteral("Data"), 0.1},
                           {QStringLiteral("Righe"), 0.1},
                           {QStringLiteral("Item"), 0.08},
                           {QStringLiteral("Commessa/convenzione"), 0.14},
                           {QStringLiteral("CUP"), 0.12},
                           {QStringLiteral("CIG"), 0.12}});
    const struct {
        const char* elemento;
        const char* tipo;
    } tipi[] = {{"DatiOrdineAcquisto", "Ordine di acquisto"},
                {"DatiContratto", "Contratto"},
                {"DatiConvenzione", "Convenzione"},
                {"DatiRicezione", "Ricezione"},
                {"DatiFattureCollegate", "Fattura collegata"}};
    for (const auto& tipo : tipi) {
        for (const NodoXml& r : generali.tutti(tipo.elemento)) {
            QStringList linee;
            for (const NodoXml& l : r.tutti("RiferimentoNumeroLinea"))
                linee << l.testo();
            rif.righe.append({QString::fromUtf8(tipo.tipo), r.testo("IdDocumento"),
                              data(r.testo("Data")), linee.join(QStringLiteral(", ")),
                              r.testo("NumItem"), r.testo("CodiceCommessaConvenzione"),
                              r.testo("CodiceCUP"), r.testo("CodiceCIG")});
        }
    }
    for (const NodoXml& sal : generali.tutti("DatiSAL"))
        rif.righe.append({QStringLiteral("Stato avanzamento lavori"),
                          QStringLiteral("Fase ") + sal.testo("RiferimentoFase"), QString(),
                          QString(), QString(), QString(), QString(), QString()});
    if (!rif.righe.isEmpty()) doc.sezioni.append(rif);

    const QList<NodoXml> ddt = generali.tutti("DatiDDT");
    if (!ddt.isEmpty()) {
        Sezione t = tabella(QStringLiteral("Documenti di trasporto"),
                            {{QStringLiteral("Numero DDT"), 0.3},
                             {QStringLiteral("Data DDT"), 0.2},
                             {QStringLiteral("Righe della fattura"), 0.5}});
        for (const NodoXml& d2 : ddt) {
            QStringList linee;
            for (const NodoXml& l : d2.tutti("RiferimentoNumeroLinea"))
                linee << l.testo();
            t.righe.append({d2.testo("NumeroDDT"), data(d2.testo("DataDDT")),
                            linee.join(QStringLiteral(", "))});
        }
        doc.sezioni.append(t);
    }

    const NodoXml trasporto = generali.figlio("DatiTrasporto");
    if (trasporto.esiste()) {
        QList<Voce> t;
        const NodoXml vettore = trasporto.figlio("DatiAnagraficiVettore");
        if (vettore.esiste())
            voce(t, QStringLiteral("Vettore"),
                 unisci({nome(vettore.figlio("Anagrafica")),
                         idFiscale(vettore.figlio("IdFiscaleIVA")), vettore.testo("CodiceFiscale"),
                         vettore.testo("NumeroLicenzaGuida")},
                        QStringLiteral(", ")));
        voce(t, QStringLiteral("Mezzo di trasporto"), trasporto.testo("MezzoTrasporto"));
        voce(t, QStringLiteral("Causale del trasporto"), trasporto.testo("CausaleTrasporto"));
        voce(t, QStringLiteral("Numero colli"), trasporto.testo("NumeroColli"));
        voce(t, QStringLiteral("Descrizione"), trasporto.testo("Descrizione"));
        const QString um = trasporto.testo("UnitaMisuraPeso");
        voce(t, QStringLiteral("Peso lordo"), unisci({numero(trasporto.testo("PesoLordo")), um}));
        voce(t, QStringLiteral("Peso netto"), unisci({numero(trasporto.testo("PesoNetto")), um}));
        voce(t, QStringLiteral("Ritiro"), dataOra(trasporto.testo("DataOraRitiro")));
        voce(t, QStringLiteral("Inizio trasporto"), data(trasporto.testo("DataInizioTrasporto")));
        voce(t, QStringLiteral("Resa"), trasporto.testo("TipoResa"));
        voce(t, QStringLiteral("Indirizzo di resa"), indirizzo(trasporto.figlio("IndirizzoResa")));
        voce(t, QStringLiteral("Consegna"), dataOra(trasporto.testo("DataOraConsegna")));
        doc.sezioni.append(sezioneVoci(QStringLiteral("Trasporto"), t));
    }

    const NodoXml principale = generali.figlio("FatturaPrincipale");
    if (principale.esiste()) {
        QList<Voce> p;
        voce(p, QStringLiteral("Numero"), principale.testo("NumeroFatturaPrincipale"));
        voce(p, QStringLiteral("Data"), data(principale.testo("DataFatturaPrincipale")));
        doc.sezioni.append(sezioneVoci(QStringLiteral("Fattura principale"), p));
    }
}

// The description cell of a line: the full text, then what else the line says.
QString descrizioneRiga(const NodoXml& l) {
    QStringList parti{l.testo("Descrizione")};
    const QString tipo = l.testo("TipoCessionePrestazione");
    if (!tipo.isEmpty())
        parti << codici().significato(QStringLiteral("TipoCessionePrestazione"), tipo);
    const QString inizio = l.testo("DataInizioPeriodo");
    const QString fine = l.testo("DataFinePeriodo");
    if (!inizio.isEmpty() || !fine.isEmpty())
        parti << unisci({QStringLiteral("Periodo"),
                         inizio.isEmpty() ? QString() : QStringLiteral("dal ") + data(inizio),
                         fine.isEmpty() ? QString() : QStringLiteral("al ") + data(fine)});
    if (l.testo("Ritenuta") == QLatin1String("SI")) parti << QStringLiteral("Soggetta a ritenuta");
    const QString rif = l.testo("RiferimentoAmministrazione");
    if (!rif.isEmpty()) parti << QStringLiteral("Rif. amministrazione: ") + rif;
    for (const NodoXml& a : l.tutti("AltriDatiGestionali"))
        parti << unisci({a.testo("TipoDato") + QLatin1Char(':'), a.testo("RiferimentoTesto"),
                         numero(a.testo("RiferimentoNumero")), data(a.testo("RiferimentoData"))});
    return unisci(parti, QStringLiteral("\n"));
}

void righe(DocumentoCopia& doc, const NodoXml& beni) {
    const QList<NodoXml> linee = beni.tutti("DettaglioLinee");
    Sezione t =
        tabella(QStringLiteral("Dettaglio delle righe"), {{QStringLiteral("N."), 0.045, true},
                                                          {QStringLiteral("Codice"), 0.11},
                                                          {QStringLiteral("Descrizione"), 0.35},
                                                          {QStringLiteral("Quantità"), 0.085, true},
                                                          {QStringLiteral("U.M."), 0.055},
                                                          {QStringLiteral("Prezzo"), 0.1, true},
                                                          {QStringLiteral("Sconti"), 0.09, true},
                                                          {QStringLiteral("Importo"), 0.1, true},
                                                          {QStringLiteral("IVA"), 0.065, true}});
    t.righe.reserve(linee.size());
    for (const NodoXml& l : linee) {
        QStringList codiciArticolo;
        for (const NodoXml& c : l.tutti("CodiceArticolo"))
            codiciArticolo << unisci(
                {c.testo("CodiceTipo") + QLatin1Char(':'), c.testo("CodiceValore")});
        t.righe.append({l.testo("NumeroLinea"), codiciArticolo.join(QLatin1Char('\n')),
                        descrizioneRiga(l), numero(l.testo("Quantita")), l.testo("UnitaMisura"),
                        numero(l.testo("PrezzoUnitario")), scontiDi(l),
                        numero(l.testo("PrezzoTotale")), aliquotaONatura(l)});
    }
    doc.sezioni.append(t);

    Sezione riepilogo =
        tabella(QStringLiteral("Riepilogo IVA"), {{QStringLiteral("Aliquota o natura"), 0.3},
                                                  {QStringLiteral("Imponibile"), 0.13, true},
                                                  {QStringLiteral("Imposta"), 0.12, true},
                                                  {QStringLiteral("Spese acc."), 0.1, true},
                                                  {QStringLiteral("Arrot."), 0.07, true},
                                                  {QStringLiteral("Esigibilità"), 0.28}});
    Sezione note;
    note.tipo = Sezione::Tipo::Testo;
    note.titolo = QStringLiteral("Annotazioni IVA");
    for (const NodoXml& r : beni.tutti("DatiRiepilogo")) {
        const QString natura = r.testo("Natura");
        QString aliquota = percento(r.testo("AliquotaIVA"));
        if (!natura.isEmpty()) {
            const Codici::Codice c = codici().codice(QStringLiteral("Natura"), natura);
            aliquota = unisci({aliquota, natura, c.significato}, QStringLiteral(" "));
            QString frase =
                natura + QStringLiteral(" - ") +
                (c.significato.isEmpty() ? QStringLiteral("natura non prevista") : c.significato);
            if (!c.riferimento.isEmpty()) frase += QStringLiteral(" (") + c.riferimento + u')';
            const QString normativa = r.testo("RiferimentoNormativo");
            if (!normativa.isEmpty())
                frase += QStringLiteral(". Riferimento indicato nel documento: ") + normativa;
            if (!note.paragrafi.contains(frase)) note.paragrafi << frase;
        } else if (!r.testo("RiferimentoNormativo").isEmpty()) {
            note.paragrafi << aliquota + QStringLiteral(": ") + r.testo("RiferimentoNormativo");
        }
        const QString esigibilita = r.testo("EsigibilitaIVA");
        const Codici::Codice e = codici().codice(QStringLiteral("EsigibilitaIVA"), esigibilita);
        if (esigibilita == QLatin1String("S") || esigibilita == QLatin1String("D")) {
            const QString frase =
                e.significato +
                (e.riferimento.isEmpty() ? QString() : QStringLiteral(" (") + e.riferimento + u')');
            if (!note.paragrafi.contains(frase)) note.paragrafi << frase;
        }
        riepilogo.righe.append(
            {aliquota, numero(r.testo("ImponibileImporto")), numero(r.testo("Imposta")),
             numero(r.testo("SpeseAccessorie")), numero(r.testo("Arrotondamento")),
             esigibilita.isEmpty() ? QString()
                                   : esigibilita + QStringLiteral(" - ") + e.significato});
    }
    if (!riepilogo.righe.isEmpty()) doc.sezioni.append(riepilogo);
    if (!note.paragrafi.isEmpty()) doc.sezioni.append(note);
}

void pagamenti(DocumentoCopia& doc, const NodoXml& corpo) {
    for (const NodoXml& p : corpo.tutti("DatiPagamento")) {
        Sezione t = tabella(QStringLiteral("Pagamento: ") +
                                codici().conSignificato(QStringLiteral("CondizioniPagamento"),
                                                        p.testo("CondizioniPagamento")),
                            {{QStringLiteral("Modalità"), 0.2},
                             {QStringLiteral("Scadenza"), 0.1},
                             {QStringLiteral("Importo"), 0.12, true},
                             {QStringLiteral("IBAN"), 0.26},
                             {QStringLiteral("Istituto"), 0.14},
                             {QStringLiteral("Altri dati"), 0.18}});
        for (const NodoXml& d : p.tutti("DettaglioPagamento")) {
            QStringList altro;
            const auto aggiungi = [&altro](const QString& etichetta, const QString& valore) {
                if (!valore.isEmpty()) altro << etichetta + QStringLiteral(": ") + valore;
            };
            aggiungi(QStringLiteral("Beneficiario"), d.testo("Beneficiario"));
            aggiungi(QStringLiteral("Termini dal"),
                     data(d.testo("DataRiferimentoTerminiPagamento")));
            aggiungi(QStringLiteral("Giorni"), d.testo("GiorniTerminiPagamento"));
            aggiungi(QStringLiteral("Ufficio postale"), d.testo("CodUfficioPostale"));
            aggiungi(QStringLiteral("Quietanzante"),
                     unisci({d.testo("TitoloQuietanzante"), d.testo("NomeQuietanzante"),
                             d.testo("CognomeQuietanzante"), d.testo("CFQuietanzante")}));
            aggiungi(QStringLiteral("Sconto per pagamento anticipato"),
                     unisci({numero(d.testo("ScontoPagamentoAnticipato")),
                             d.testo("DataLimitePagamentoAnticipato").isEmpty()
                                 ? QString()
                                 : QStringLiteral("entro il ") +
                                       data(d.testo("DataLimitePagamentoAnticipato"))}));
            aggiungi(
                QStringLiteral("Penale per ritardo"),
                unisci({numero(d.testo("PenalitaPagamentiRitardati")),
                        d.testo("DataDecorrenzaPenale").isEmpty()
                            ? QString()
                            : QStringLiteral("dal ") + data(d.testo("DataDecorrenzaPenale"))}));
            aggiungi(QStringLiteral("Codice pagamento"), d.testo("CodicePagamento"));
            aggiungi(QStringLiteral("ABI"), d.testo("ABI"));
            aggiungi(QStringLiteral("CAB"), d.testo("CAB"));
            aggiungi(QStringLiteral("BIC"), d.testo("BIC"));
            t.righe.append({codici().conSignificato(QStringLiteral("ModalitaPagamento"),
                                                    d.testo("ModalitaPagamento")),
                            data(d.testo("DataScadenzaPagamento")),
                            numero(d.testo("ImportoPagamento")), d.testo("IBAN"),
                            d.testo("IstitutoFinanziario"), altro.join(QLatin1Char('\n'))});
        }
        doc.sezioni.append(t);
    }
}

// The last part of an attachment's name, without folders (of either kind), control
// characters or a leading dot, so that saving it never leaves the chosen folder.
QString nomeSicuro(const QString& nome, int numero) {
    QString n = nome;
    const qsizetype barra =
        std::max(n.lastIndexOf(QLatin1Char('/')), n.lastIndexOf(QLatin1Char('\\')));
    if (barra >= 0) n = n.mid(barra + 1);
    QString pulito;
    for (const QChar c : n)
        if (c.unicode() >= 32 && c != QChar(0x7F) && c != QLatin1Char(':')) pulito += c;
    pulito = pulito.trimmed();
    while (pulito.startsWith(QLatin1Char('.')))
        pulito.remove(0, 1);
    if (pulito.isEmpty()) pulito = QStringLiteral("allegato_%1").arg(numero);
    return pulito;
}

void allegati(DocumentoCopia& doc, const NodoXml& corpo) {
    const QList<NodoXml> lista = corpo.tutti("Allegati");
    if (lista.isEmpty()) return;
    Sezione t = tabella(QStringLiteral("Allegati"), {{QStringLiteral("Nome"), 0.3},
                                                     {QStringLiteral("Formato"), 0.1},
                                                     {QStringLiteral("Descrizione"), 0.45},
                                                     {QStringLiteral("Dimensione"), 0.15, true}});
    for (const NodoXml& a : lista) {
        Allegato al;
        al.nome = a.testo("NomeAttachment");
        al.nomeFile = nomeSicuro(al.nome, int(doc.allegati.size()) + 1);
        al.descrizione = a.testo("DescrizioneAttachment");
        al.formato = a.testo("FormatoAttachment");
        al.compressione = a.testo("AlgoritmoCompressione");
        const auto decodifica = QByteArray::fromBase64Encoding(
            a.testo("Attachment").toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        al.leggibile = bool(decodifica);
        if (decodifica) al.dati = *decodifica;
        t.righe.append({al.nome, unisci({al.formato, al.compressione}, QStringLiteral(", ")),
                        al.descrizione,
                        al.leggibile ? Testi::formatta(al.dati.size(), QStringLiteral("##,###0")) +
                                           QStringLiteral(" byte")
                                     : QStringLiteral("non leggibile")});
        doc.allegati.append(al);
    }
    doc.sezioni.append(t);
}

DocumentoCopia documento(const NodoXml& radice, const NodoXml& corpo) {
    const NodoXml intestazione = radice.figlio("FatturaElettronicaHeader");
    const NodoXml trasm = intestazione.figlio("DatiTrasmissione");
    const NodoXml generali = corpo.figlio("DatiGenerali/DatiGeneraliDocumento");
    DocumentoCopia doc;
    const QString tipo = generali.testo("TipoDocumento");
    doc.tipo =
        codici().contiene(QStringLiteral("TipoDocumento"), tipo)
            ? codici().significato(QStringLiteral("TipoDocumento"), tipo)
            : (tipo.isEmpty() ? QStringLiteral("Documento") : QStringLiteral("Documento ") + tipo);
    doc.titolo = unisci(
        {doc.tipo,
         generali.testo("Numero").isEmpty() ? QString()
                                            : QStringLiteral("n. ") + generali.testo("Numero"),
         generali.testo("Data").isEmpty() ? QString()
                                          : QStringLiteral("del ") + data(generali.testo("Data"))});
    const QString totale = generali.testo("ImportoTotaleDocumento");
    if (!totale.isEmpty()) {
        doc.totale = unisci({generali.testo("Divisa"), numero(totale)});
    } else {
        // Without the document's own total, the VAT summary's taxable amounts and tax,
        // said to be computed.
        Decimale somma;
        bool letto = false;
        for (const NodoXml& r : corpo.tutti("DatiBeniServizi/DatiRiepilogo")) {
            for (const char* campo : {"ImponibileImporto", "Imposta"}) {
                if (const auto v = Decimale::leggi(r.testo(campo))) {
                    somma += *v;
                    letto = true;
                }
            }
        }
        if (letto)
            doc.totale = unisci({generali.testo("Divisa"), numero(somma.testo(2)),
                                 QStringLiteral("(calcolato dal riepilogo IVA)")});
    }

    doc.sezioni.append(cedente(intestazione.figlio("CedentePrestatore")));
    doc.sezioni.append(cessionario(intestazione.figlio("CessionarioCommittente"), trasm));
    const NodoXml rappr = intestazione.figlio("RappresentanteFiscale");
    if (rappr.esiste())
        doc.sezioni.append(rappresentante(rappr, QStringLiteral("Rappresentante fiscale")));
    const NodoXml terzo = intestazione.figlio("TerzoIntermediarioOSoggettoEmittente");
    const QString emittente = intestazione.testo("SoggettoEmittente");
    if (terzo.esiste() || !emittente.isEmpty()) {
        Sezione s =
            rappresentante(terzo, QStringLiteral("Terzo intermediario o soggetto emittente"));
        voce(s.voci, QStringLiteral("Documento emesso da"),
             codici().significato(QStringLiteral("SoggettoEmittente"), emittente));
        doc.sezioni.append(s);
    }
    doc.sezioni.append(trasmissione(trasm));
    datiGenerali(doc, corpo.figlio("DatiGenerali"));
    righe(doc, corpo.figlio("DatiBeniServizi"));
    const NodoXml veicoli = corpo.figlio("DatiVeicoli");
    if (veicoli.esiste())
        doc.sezioni.append(
            sezioneVoci(QStringLiteral("Veicoli"),
                        {{QStringLiteral("Data di immatricolazione"), data(veicoli.testo("Data"))},
                         {QStringLiteral("Percorso totale"), veicoli.testo("TotalePercorso")}}));
    pagamenti(doc, corpo);
    allegati(doc, corpo);
    return doc;
}

} // namespace

EsitoCopia leggiCopia(const QByteArray& dati, const QString& nomeFile) {
    EsitoCopia esito;
    esito.copia.nomeFile = QFileInfo(nomeFile).fileName();
    const QString nome = esito.copia.nomeFile;
    const auto rifiuto = [&esito, &nome](const QString& motivo) {
        esito.copia = Copia();
        esito.errore = QStringLiteral("Il file «%1» non è una fattura elettronica leggibile: %2.")
                           .arg(nome, motivo);
        return esito;
    };
    if (dati.size() > kMassimaDimensioneCopia)
        return rifiuto(QStringLiteral("è più grande di %1 MB").arg(kMassimaDimensioneCopia >> 20));
    QByteArray xml = dati;
    if (BustaP7m::firmato(nomeFile)) {
        const BustaP7m::Contenuto busta = BustaP7m::apri(dati);
        if (!busta.aperta) return rifiuto(busta.errore);
        esito.copia.firma = busta.descrizioneFirma();
        xml = busta.documento;
    }
    QString errore;
    const Documento doc = analizza(xml, errore);
    xmlNode* const radice = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    if (errore.isEmpty()) errore = controllaRadice(radice);
    if (!errore.isEmpty()) return rifiuto(errore);
    const NodoXml r(radice);
    esito.copia.formato =
        codici().conSignificato(QStringLiteral("FormatoTrasmissione"), r.attributo("versione"));
    for (const NodoXml& corpo : r.tutti("FatturaElettronicaBody"))
        esito.copia.documenti.append(documento(r, corpo));
    return esito;
}

EsitoCopia leggiCopiaFile(const QString& percorso) {
    const LetturaFile file = LetturaFile::leggi(percorso, kMassimaDimensioneCopia);
    if (!file.letto()) {
        EsitoCopia esito;
        esito.errore = file.errore;
        return esito;
    }
    return leggiCopia(file.contenuto, QFileInfo(percorso).fileName());
}
