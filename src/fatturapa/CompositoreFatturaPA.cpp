#include "fatturapa/CompositoreFatturaPA.h"

#include "db/Table.h"
#include "fatturapa/BeniServiziXml.h"
#include "fatturapa/ErroreXml.h"
#include "fatturapa/FormeXml.h"
#include "platform/Testi.h"

namespace {

using L = QLatin1StringView;

QString testo(Table& t, L colonna) {
    return t.field(colonna).asString();
}

// Recipient code of a private recipient known only by PEC or by nothing.
const QString senzaCodice = QStringLiteral("0000000");

} // namespace

CompositoreFatturaPA::CompositoreFatturaPA(FormatoFatturaPA formato, Table& azienda, Table& testata,
                                           Table& righe)
    : m_formato(formato), m_azienda(azienda), m_testata(testata), m_righe(righe) {
    m_capitale = FormeXml::duePunto(testo(m_azienda, L("capit_soc")));
    m_data = FormeXml::data(testo(m_testata, L("data_doc")));
    m_totale = FormeXml::duePunto(testo(m_testata, L("tot_doc")));
    // Instalments are detailed for payment by bank transfer only.
    if (fpr() && testo(m_testata, L("mod_pag")) == u"MP05") {
        m_rate = m_testata.field(L("n_rate")).asInteger();
        if (m_rate > massimoRate)
            throw ErroreXml(QStringLiteral("Numero di rate %1 della fattura Id. Invio %2 non "
                                           "accettato: al massimo %3 rate.")
                                .arg(m_rate)
                                .arg(m_testata.field(L("id_invio")).asInteger())
                                .arg(massimoRate));
    }
}

QByteArray CompositoreFatturaPA::documento(const QString& progressivo) {
    m_doc = DocumentoXml();
    m_progressivo = progressivo;
    apertura();
    trasmissione();
    cedente();
    cessionario();
    datiGenerali();
    BeniServiziXml beni(m_doc, m_formato, m_testata, m_righe);
    beni.scrivi();
    m_sommaImponibili = beni.sommaImponibili();
    if (fpr())
        pagamentoFpr();
    else
        pagamentoFpa();
    chiusura();
    return m_doc.byte();
}

void CompositoreFatturaPA::apertura() {
    if (fpr()) {
        m_doc.riga(L("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
        m_doc.riga(L("<p:FatturaElettronica xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\" "
                     "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" versione=\"FPR12\" "
                     "xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">"));
    } else {
        m_doc.riga(L("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
        m_doc.riga(
            L("<ns3:FatturaElettronica versione=\"FPA12\" "
              "xmlns:ns2=\"http://www.w3.org/2000/09/xmldsig#\" "
              "xmlns:ns3=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">"));
    }
}

void CompositoreFatturaPA::trasmissione() {
    m_doc.riga(L("<FatturaElettronicaHeader>"));
    m_doc.riga(L("<DatiTrasmissione>"));
    m_doc.riga(L("<IdTrasmittente>"));
    m_doc.riga(L("<IdPaese>IT</IdPaese>"));
    m_doc.elemento(L("IdCodice"), testo(m_azienda, L("cod_fis")));
    m_doc.riga(L("</IdTrasmittente>"));
    m_doc.elemento(L("ProgressivoInvio"), m_progressivo);
    m_doc.riga(fpr() ? L("<FormatoTrasmissione>FPR12</FormatoTrasmissione>")
                     : L("<FormatoTrasmissione>FPA12</FormatoTrasmissione>"));
    const QString destinatario = testo(m_testata, L("cod_dest"));
    m_doc.elemento(L("CodiceDestinatario"),
                   fpr() && destinatario.isEmpty() ? senzaCodice : destinatario);
    contatti();
    if (const QString pec = testo(m_testata, L("pec")); !pec.isEmpty())
        m_doc.elemento(L("PECDestinatario"), pec);
    m_doc.riga(L("</DatiTrasmissione>"));
}

void CompositoreFatturaPA::contatti() {
    const QString telefono = testo(m_azienda, L("telefono"));
    const QString email = testo(m_azienda, L("mail"));
    if (telefono.isEmpty() && email.isEmpty()) return;
    m_doc.riga(L("<ContattiTrasmittente>"));
    if (!telefono.isEmpty()) m_doc.elemento(L("Telefono"), telefono);
    if (!email.isEmpty()) m_doc.elemento(L("Email"), email);
    m_doc.riga(L("</ContattiTrasmittente>"));
}

void CompositoreFatturaPA::cedente() {
    m_doc.riga(L("<CedentePrestatore>"));
    m_doc.riga(L("<DatiAnagrafici>"));
    m_doc.riga(L("<IdFiscaleIVA>"));
    m_doc.riga(L("<IdPaese>IT</IdPaese>"));
    m_doc.elemento(L("IdCodice"), testo(m_azienda, L("p_iva")));
    m_doc.riga(L("</IdFiscaleIVA>"));
    if (const QString cf = testo(m_azienda, L("cod_fis")); !cf.isEmpty())
        m_doc.elemento(L("CodiceFiscale"), cf);
    m_doc.riga(L("<Anagrafica>"));
    m_doc.elementoCodificato(L("Denominazione"), testo(m_azienda, L("rag_soc")));
    m_doc.riga(L("</Anagrafica>"));
    m_doc.riga(L("<RegimeFiscale>RF01</RegimeFiscale>"));
    m_doc.riga(L("</DatiAnagrafici>"));
    sedeCedente();
    m_doc.riga(L("<IscrizioneREA>"));
    m_doc.elemento(L("Ufficio"), testo(m_azienda, L("uff_rea")));
    m_doc.elemento(L("NumeroREA"), testo(m_azienda, L("num_rea")));
    m_doc.elemento(L("CapitaleSociale"), m_capitale);
    m_doc.elemento(L("SocioUnico"), testo(m_azienda, L("soc_uni")));
    m_doc.elemento(L("StatoLiquidazione"), testo(m_azienda, L("stato_liq")));
    m_doc.riga(L("</IscrizioneREA>"));
    m_doc.riga(L("</CedentePrestatore>"));
}

void CompositoreFatturaPA::sedeCedente() {
    m_doc.riga(L("<Sede>"));
    m_doc.elementoCodificato(L("Indirizzo"), testo(m_azienda, L("indirizzo")));
    m_doc.elemento(L("CAP"), testo(m_azienda, L("cap")));
    m_doc.elementoCodificato(L("Comune"), testo(m_azienda, L("comune")));
    if (const QString prov = testo(m_azienda, L("prov")); !prov.isEmpty())
        m_doc.elemento(L("Provincia"), prov);
    m_doc.elemento(L("Nazione"), testo(m_azienda, L("nazione")));
    m_doc.riga(L("</Sede>"));
}

// A consumer has no VAT number and is known by the tax code; a public
// administration is always known by the tax code.
void CompositoreFatturaPA::cessionario() {
    const QString nazione = testo(m_testata, L("nazione"));
    const QString partitaIva = testo(m_testata, L("p_iva"));
    m_doc.riga(L("<CessionarioCommittente>"));
    m_doc.riga(L("<DatiAnagrafici>"));
    if (fpr() && !Testi::trimmed32(partitaIva).isEmpty()) {
        m_doc.riga(L("<IdFiscaleIVA>"));
        m_doc.elemento(L("IdPaese"), nazione);
        m_doc.elemento(L("IdCodice"), partitaIva);
        m_doc.riga(L("</IdFiscaleIVA>"));
    }
    if (const QString cf = testo(m_testata, L("cod_fis")); !cf.isEmpty())
        m_doc.elemento(L("CodiceFiscale"), cf);
    m_doc.riga(L("<Anagrafica>"));
    m_doc.elementoCodificato(L("Denominazione"), testo(m_testata, L("rag_soc")));
    m_doc.riga(L("</Anagrafica>"));
    m_doc.riga(L("</DatiAnagrafici>"));
    m_doc.riga(L("<Sede>"));
    m_doc.elementoCodificato(L("Indirizzo"), testo(m_testata, L("indirizzo")));
    m_doc.elemento(L("CAP"), testo(m_testata, L("cap")));
    m_doc.elementoCodificato(L("Comune"), testo(m_testata, L("comune")));
    if (const QString prov = testo(m_testata, L("prov")); !prov.isEmpty())
        m_doc.elemento(L("Provincia"), prov);
    m_doc.elemento(L("Nazione"), nazione);
    m_doc.riga(L("</Sede>"));
    m_doc.riga(L("</CessionarioCommittente>"));
    m_doc.riga(L("</FatturaElettronicaHeader>"));
}

void CompositoreFatturaPA::datiGenerali() {
    m_doc.riga(L("<FatturaElettronicaBody>"));
    m_doc.riga(L("<DatiGenerali>"));
    m_doc.riga(L("<DatiGeneraliDocumento>"));
    m_doc.elemento(L("TipoDocumento"), testo(m_testata, L("tipo_doc")));
    m_doc.riga(L("<Divisa>EUR</Divisa>"));
    m_doc.elemento(L("Data"), m_data);
    m_doc.elemento(L("Numero"), testo(m_testata, L("num_doc")));
    scontoDocumento();
    m_doc.elemento(L("ImportoTotaleDocumento"), m_totale);
    if (fpr()) {
        const QString consegna = QStringLiteral("Consegna Sede: ") +
                                 Testi::trimmed32(testo(m_testata, L("dest_soc"))) + u' ' +
                                 Testi::trimmed32(testo(m_testata, L("dest_indir"))) + u' ' +
                                 Testi::trimmed32(testo(m_testata, L("dest_comune")));
        m_doc.elementoCodificato(L("Causale"), consegna);
    }
    m_doc.riga(L("</DatiGeneraliDocumento>"));
    m_doc.riga(L("</DatiGenerali>"));
    m_doc.riga(L("<DatiBeniServizi>"));
}

// Kind and percentage only; an unreadable percentage stops the writer.
void CompositoreFatturaPA::scontoDocumento() {
    const QString percentuale = testo(m_testata, L("sc_perc"));
    if (percentuale.isEmpty() || Testi::numero(percentuale) <= 0) return;
    m_doc.riga(L("<ScontoMaggiorazione>"));
    m_doc.elemento(L("Tipo"), testo(m_testata, L("sc_tipo")));
    m_doc.elemento(L("Percentuale"), FormeXml::duePunto(percentuale));
    m_doc.riga(L("</ScontoMaggiorazione>"));
}

// Only for payment by bank transfer; n_rate 0 is one payment of the total,
// n_rate above 0 that many equal instalments, below 0 no detail.
void CompositoreFatturaPA::pagamentoFpr() {
    const QString modalita = testo(m_testata, L("mod_pag"));
    if (modalita != u"MP05") return;
    m_doc.riga(L("<DatiPagamento>"));
    m_doc.riga(L("<CondizioniPagamento>TP02</CondizioniPagamento>"));
    const int rate = m_rate;
    if (rate == 0) dettaglioPagamento(modalita, m_totale);
    if (rate > 0) {
        const QString importo = FormeXml::rata(m_totale, rate);
        for (int i = 0; i < rate; ++i)
            dettaglioPagamento(modalita, importo);
    }
    m_doc.riga(L("</DatiPagamento>"));
}

// A public administration pays the taxable amount only (split payment).
void CompositoreFatturaPA::pagamentoFpa() {
    m_doc.riga(L("<DatiPagamento>"));
    m_doc.riga(L("<CondizioniPagamento>TP02</CondizioniPagamento>"));
    dettaglioPagamento(QStringLiteral("MP05"), FormeXml::duePunto32(m_sommaImponibili));
    m_doc.riga(L("</DatiPagamento>"));
}

void CompositoreFatturaPA::dettaglioPagamento(const QString& modalita, const QString& importo) {
    m_doc.riga(L("<DettaglioPagamento>"));
    m_doc.elemento(L("Beneficiario"), testo(m_azienda, L("rag_soc")));
    m_doc.elemento(L("ModalitaPagamento"), modalita);
    m_doc.elemento(L("ImportoPagamento"), importo);
    m_doc.elemento(L("IBAN"), testo(m_azienda, L("iban")));
    m_doc.riga(L("</DettaglioPagamento>"));
}

void CompositoreFatturaPA::chiusura() {
    m_doc.riga(L("</FatturaElettronicaBody>"));
    m_doc.riga(fpr() ? L("</p:FatturaElettronica>") : L("</ns3:FatturaElettronica>"));
}
