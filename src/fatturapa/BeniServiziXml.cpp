#include "fatturapa/BeniServiziXml.h"

#include "db/Table.h"
#include "fatturapa/DocumentoXml.h"
#include "fatturapa/FormeXml.h"
#include "fatturapa/ScontoRiga.h"
#include "platform/Testi.h"

namespace {

using L = QLatin1StringView;

struct Slot {
    L aliquota, natura, spese, arrot, imponibile, imposta, esigibilita;
};

// Slot 4 has no expenses and no rounding.
const Slot posti[4] = {
    {L("aliquota"), L("natura"), L("spese"), L("arrot"), L("imponibile"), L("imposta"),
     L("esig_iva")},
    {L("aliquota2"), L("natura2"), L("spese2"), L("arrot2"), L("imponibile2"), L("imposta2"),
     L("esig_iva2")},
    {L("aliquota3"), L("natura3"), L("spese3"), L("arrot3"), L("imponibile3"), L("imposta3"),
     L("esig_iva3")},
    {L("aliquota4"), L("natura4"), L(), L(), L("imponibile4"), L("imposta4"), L("esig_iva4")}};

// Line values written, as stored, only when not empty.
struct Opzionale {
    BeniServiziXml::Colonna colonna;
    L elemento;
};

const Opzionale opzionali[] = {{BeniServiziXml::Ritenuta, L("Ritenuta")},
                               {BeniServiziXml::Natura, L("Natura")},
                               {BeniServiziXml::RiferimentoAmm, L("RiferimentoAmministrazione")}};

// The line columns in the order of BeniServiziXml::Colonna.
const L nomiColonne[BeniServiziXml::NumeroColonne] = {
    L("aliquota"),   L("prezzo_unit"), L("quantita"),    L("prezzo_tot"), L("sc_tipo"),
    L("sc_perc"),    L("sc_importo"),  L("descrizione"), L("um"),         L("codice_tipo"),
    L("codice_val"), L("ritenuta"),    L("natura"),      L("rif_amm"),    L("categoria"),
    L("lotto"),      L("origine")};

QString testo(Table& t, L colonna) {
    return t.field(colonna).asString();
}

bool blank(const QString& s) {
    return Testi::trimmed32(s).isEmpty();
}

} // namespace

BeniServiziXml::BeniServiziXml(DocumentoXml& doc, FormatoFatturaPA formato, Table& testata,
                               Table& righe)
    : m_doc(doc), m_formato(formato), m_testata(testata), m_righe(righe) {
    for (int c = 0; c < NumeroColonne; ++c)
        m_indice[c] = righe.field(nomiColonne[c]).index();
}

void BeniServiziXml::scrivi() {
    leggiImporti();
    int numero = 0;
    for (m_righe.first(); !m_righe.eof(); m_righe.next())
        dettaglio(++numero);
    riepiloghi();
    m_doc.riga(L("</DatiBeniServizi>"));
}

QString BeniServiziXml::riga(Colonna colonna) const {
    return m_righe.field(m_indice[colonna]).asString();
}

void BeniServiziXml::leggiImporti() {
    m_imponibile = FormeXml::duePunto(testo(m_testata, L("imponibile")));
    m_imposta = FormeXml::duePunto(testo(m_testata, L("imposta")));
    for (int s = 0; s < 3; ++s) {
        m_spese[s] = FormeXml::duePunto(testo(m_testata, posti[s].spese));
        m_arrot[s] = FormeXml::duePunto(testo(m_testata, posti[s].arrot));
    }
}

void BeniServiziXml::dettaglio(int numero) {
    Riga r;
    r.aliquota = FormeXml::duePunto(riga(Aliquota));
    r.prezzoUnitario = FormeXml::quattroPunto(riga(PrezzoUnitario));
    const QString quantita = riga(Quantita);
    if (Testi::numero(quantita) > 0) r.quantita = FormeXml::duePunto(quantita);
    r.prezzoTotale = FormeXml::quattroPunto(riga(PrezzoTotale));

    const QString tipoSconto = riga(TipoSconto);
    m_doc.riga(L("<DettaglioLinee>"));
    m_doc.elemento(L("NumeroLinea"), QString::number(numero));
    if (!tipoSconto.isEmpty())
        m_doc.riga(L("<TipoCessionePrestazione>SC</TipoCessionePrestazione>"));
    codiceArticolo();
    if (fpr())
        m_doc.elementoCodificato(L("Descrizione"), riga(Descrizione));
    else
        m_doc.elemento(L("Descrizione"), riga(Descrizione));
    if (!r.quantita.isEmpty()) m_doc.elemento(L("Quantita"), r.quantita);
    if (const QString um = riga(Unita); !um.isEmpty()) m_doc.elemento(L("UnitaMisura"), um);
    m_doc.elemento(L("PrezzoUnitario"), r.prezzoUnitario);
    if (!tipoSconto.isEmpty()) scontoRiga(r);
    m_doc.elemento(L("PrezzoTotale"), r.prezzoTotale);
    m_doc.elemento(L("AliquotaIVA"), r.aliquota);
    for (const Opzionale& o : opzionali) {
        if (const QString v = riga(o.colonna); !v.isEmpty()) m_doc.elemento(o.elemento, v);
    }
    altriDati(L("Categoria"), Categoria);
    altriDati(L("Lotto"), Lotto);
    altriDati(L("Origine"), Origine);
    m_doc.riga(L("</DettaglioLinee>"));
}

void BeniServiziXml::codiceArticolo() {
    const QString tipo = riga(CodiceTipo);
    if (tipo.isEmpty()) return;
    m_doc.riga(L("<CodiceArticolo>"));
    m_doc.elemento(L("CodiceTipo"), tipo);
    m_doc.elemento(L("CodiceValore"), riga(CodiceValore));
    m_doc.riga(L("</CodiceArticolo>"));
}

// A unit price that is already net needs no block; otherwise the Importo is
// the discount per unit, as the exchange system applies it.
void BeniServiziXml::scontoRiga(const Riga& r) {
    if (ScontoRiga::prezzoNetto(r.prezzoUnitario, r.quantita, r.prezzoTotale)) return;
    m_doc.riga(L("<ScontoMaggiorazione>"));
    m_doc.elemento(L("Tipo"), riga(TipoSconto));
    const QString percentuale = riga(PercentualeSconto);
    long double p = 0;
    if (Testi::leggiNumero(percentuale, p))
        m_doc.elemento(L("Percentuale"), FormeXml::duePunto(percentuale));
    const QString importo = ScontoRiga::importoUnitario(riga(ImportoSconto), r.quantita);
    if (!importo.isEmpty()) m_doc.elemento(L("Importo"), importo);
    m_doc.riga(L("</ScontoMaggiorazione>"));
}

// A null column reads as empty text, so it counts as blank.
void BeniServiziXml::altriDati(L tipo, Colonna colonna) {
    const QString valore = riga(colonna);
    if (blank(valore)) return;
    m_doc.riga(L("<AltriDatiGestionali>"));
    m_doc.elemento(L("TipoDato"), tipo);
    m_doc.elemento(L("RiferimentoTesto"), valore);
    m_doc.riga(L("</AltriDatiGestionali>"));
}

void BeniServiziXml::riepiloghi() {
    riepilogo(0);
    for (int s = 1; s < 4; ++s) {
        if (!testo(m_testata, posti[s].imponibile).isEmpty()) riepilogo(s);
    }
}

void BeniServiziXml::riepilogo(int s) {
    const Slot& slot = posti[s];
    m_doc.riga(L("<DatiRiepilogo>"));
    m_doc.elemento(L("AliquotaIVA"), FormeXml::duePunto(testo(m_testata, slot.aliquota)));
    const QString natura = testo(m_testata, slot.natura);
    if (!natura.isEmpty()) m_doc.elemento(L("Natura"), natura);
    if (s < 3 && FormeXml::positivo(m_spese[s])) m_doc.elemento(L("SpeseAccessorie"), m_spese[s]);
    if (s < 3 && FormeXml::positivo(m_arrot[s])) m_doc.elemento(L("Arrotondamento"), m_arrot[s]);
    const QString imponibile =
        s == 0 ? m_imponibile : FormeXml::duePunto(testo(m_testata, slot.imponibile));
    m_doc.elemento(L("ImponibileImporto"), imponibile);
    m_doc.elemento(L("Imposta"),
                   s == 0 ? m_imposta : FormeXml::duePunto(testo(m_testata, slot.imposta)));
    if (blank(natura))
        m_doc.elemento(L("EsigibilitaIVA"),
                       fpr() ? testo(m_testata, slot.esigibilita) : QStringLiteral("S"));
    m_doc.riga(L("</DatiRiepilogo>"));
    m_somma = s == 0 ? float(FormeXml::valore(imponibile)) : FormeXml::somma32(m_somma, imponibile);
}
