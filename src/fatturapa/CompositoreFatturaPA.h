#pragma once

#include "fatturapa/DocumentoXml.h"

#include <QByteArray>
#include <QString>

class Table;

enum class FormatoFatturaPA { FPR12, FPA12 };

// Composes the FatturaPA document of an invoice from the rows its tables are
// positioned on: the company (azienda), the invoice header (testata) and the
// header's lines (righe, every row it shows). It writes nothing: the bytes go
// to the writer, to the validator or to whoever sends them.
class CompositoreFatturaPA {
public:
    // The most instalments a document details: thirty years of monthly
    // payments, far beyond any real plan, and a file of about 100 KB.
    static constexpr int massimoRate = 360;

    // Reads the values that can stop the composition before anything is
    // written: ErroreConversione for a company share capital, invoice date or
    // total that cannot be read, ErroreXml for more instalments than
    // massimoRate.
    CompositoreFatturaPA(FormatoFatturaPA formato, Table& azienda, Table& testata, Table& righe);

    // The whole document with the given progressive (ProgressivoInvio).
    // Throws ErroreConversione for an unreadable discount percentage of the
    // invoice, summary amount or line rate, price, quantity or total. The
    // lines table is left after its last row.
    QByteArray documento(const QString& progressivo);

private:
    bool fpr() const { return m_formato == FormatoFatturaPA::FPR12; }
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
    Table& m_azienda;
    Table& m_testata;
    Table& m_righe;
    QString m_progressivo;
    QString m_capitale;
    QString m_data;
    QString m_totale;
    int m_rate = 0;
    float m_sommaImponibili = 0;
    DocumentoXml m_doc;
};
