#pragma once

#include "fatturapa/DocumentoXml.h"

#include <QString>

class Table;

enum class FormatoFatturaPA { FPR12, FPA12 };

// Writes the current invoice of the data module (header Diz->Testata, its lines
// Diz->Detta, the company Diz->AziendaT) as a FatturaPA file into the company's
// output folder, under the name "IT" + company VAT number + "_" + progressive
// + ".xml", which it first stores in the invoice's nome_file.
//
// Throws, with the message for the user:
// - ErroreConversione for a company share capital, invoice date or total that
//   cannot be read: nothing changed;
// - ErroreXml when another invoice's nome_file holds the file name (the
//   progressives repeat above 9999): nothing changed;
// - ErroreConversione for an unreadable discount percentage of the invoice,
//   summary amount or line rate, price, quantity or total, and ErroreXml when
//   the file cannot be written: nome_file holds the new name, the earlier file
//   of that name is intact;
// - DbError from the database.
class ScrittoreFatturaPA {
public:
    // titoloFatture is the caption of the invoice window (line 3 of ip.ini),
    // which selects the series of the progressives.
    ScrittoreFatturaPA(FormatoFatturaPA formato, const QString& titoloFatture);

    // Returns the full path of the file written.
    QString scrivi();

    // Five characters while below 10000: "A" (or "0" when the caption is
    // exactly "A") and id_invio with at least four digits; above 9999 the
    // number is id_invio - 9999 (42 -> A0042, 10041 -> A0042, 20000 -> A10001).
    static QString progressivo(int idInvio, const QString& titoloFatture);

private:
    bool fpr() const { return m_formato == FormatoFatturaPA::FPR12; }
    void leggiValori();
    void controllaNome(int idInvio) const;
    void registraNome();
    void componi();
    void apertura();
    void trasmissione();
    void contatti();
    void cedente();
    void sedeCedente();
    void cessionario();
    void datiGenerali();
    void scontoDocumento();
    void pagamentoFpr();
    void pagamentoFpa();
    void dettaglioPagamento(const QString& modalita, const QString& importo);
    void chiusura();

    FormatoFatturaPA m_formato;
    QString m_titolo;
    Table* m_azienda;
    Table* m_testata;
    QString m_progressivo;
    QString m_nome;
    QString m_percorso;
    QString m_capitale;
    QString m_data;
    QString m_totale;
    float m_sommaImponibili = 0;
    DocumentoXml m_doc;
};
