#pragma once

#include "fatturapa/CompositoreFatturaPA.h"

#include <QLatin1StringView>
#include <QString>

class DocumentoXml;
class Table;

// The goods and services of a FatturaPA document, after "<DatiBeniServizi>":
// one DettaglioLinee per row of the lines table in the order it delivers them,
// one DatiRiepilogo per summary slot of the header in use, then
// "</DatiBeniServizi>". The lines table is left after its last row.
class BeniServiziXml {
public:
    // The line columns read, looked up once per document.
    enum Colonna {
        Aliquota,
        PrezzoUnitario,
        Quantita,
        PrezzoTotale,
        TipoSconto,
        PercentualeSconto,
        ImportoSconto,
        Descrizione,
        Unita,
        CodiceTipo,
        CodiceValore,
        Ritenuta,
        Natura,
        RiferimentoAmm,
        Categoria,
        Lotto,
        Origine,
        NumeroColonne
    };

    BeniServiziXml(DocumentoXml& doc, FormatoFatturaPA formato, Table& testata, Table& righe);

    void scrivi();
    // The sum of the taxable amounts of the summary blocks written, each in
    // two-decimal form, held in 32 bits.
    float sommaImponibili() const { return m_somma; }

private:
    struct Riga {
        QString aliquota;
        QString prezzoUnitario;
        QString quantita; // empty when left out
        QString prezzoTotale;
    };

    bool fpr() const { return m_formato == FormatoFatturaPA::FPR12; }
    QString riga(Colonna colonna) const;
    void leggiImporti();
    void dettaglio(int numero);
    void codiceArticolo();
    void scontoRiga(const Riga& r);
    void altriDati(QLatin1StringView tipo, Colonna colonna);
    void riepiloghi();
    void riepilogo(int slot);

    DocumentoXml& m_doc;
    FormatoFatturaPA m_formato;
    Table& m_testata;
    Table& m_righe;
    int m_indice[NumeroColonne];
    QString m_imponibile;
    QString m_imposta;
    QString m_spese[3];
    QString m_arrot[3];
    float m_somma = 0;
};
