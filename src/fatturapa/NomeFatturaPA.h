#pragma once

#include <QString>

class Table;

// The file name of an invoice's FatturaPA document, "IT" + company VAT number
// + "_" + progressive + ".xml", and its reservation in the invoice's
// nome_file.
class NomeFatturaPA {
public:
    // The progressive of the invoice's first file. Five characters while below 10000: "A" (or "0"
    // when the caption is exactly "A") and id_invio with at least four digits; above 9999 the
    // number is id_invio - 9999 (42 -> A0042, 10041 -> A0042, 20000 -> A10001).
    static QString progressivo(int idInvio, const QString& titoloFatture);

    // The name of the invoice testata is positioned on (skipping the names the exchange
    // system has refused: the next series letter or digit takes their place), in the output folder
    // of the company azienda. titoloFatture is the caption of the invoice
    // window (line 3 of ip.ini), which selects the series of the progressives.
    // Throws ErroreXml, before anything changes, for a part of the name that
    // is not letters and digits only (it could reach outside the folder) and
    // for a name longer than nome_file holds.
    NomeFatturaPA(const QString& titoloFatture, Table& azienda, Table& testata);
    // Releases the reservation lock.
    ~NomeFatturaPA();
    NomeFatturaPA(const NomeFatturaPA&) = delete;
    NomeFatturaPA& operator=(const NomeFatturaPA&) = delete;

    QString progressivo() const { return m_progressivo; }
    QString nome() const { return m_nome; }
    // The company folder, trimmed, immediately followed by the name.
    QString percorso() const { return m_percorso; }

    // Stores the name in the invoice's nome_file (posting pending changes of
    // the row with it) unless another invoice's nome_file holds it: the
    // progressives repeat above 9999, and the file of that other invoice is
    // never replaced (ErroreXml). The check and the posting take a lock of
    // the database server named after the file, held until this object is
    // destroyed, so that other processes writing the same name wait: the file
    // written meanwhile holds the invoice that owns the name.
    void riserva();

private:
    void blocca();
    void scartaNomiUsati(const QString& partitaIva);

    Table& m_testata;
    int m_idInvio;
    QString m_progressivo;
    QString m_nome;
    QString m_percorso;
    QString m_blocco; // name of the server lock held, empty when none
};
