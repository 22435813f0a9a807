#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The readable copy of a FatturaPA file: what a person reads of it, in Italian, laid
// out in sections. It is made from the file alone (never from the database) and is
// the one source of both the HTML page and the PDF.

// "Etichetta: valore" pairs of a block such as the seller's data.
struct Voce {
    QString etichetta;
    QString valore;
};

struct Colonna {
    QString titolo;
    double larghezza = 1; // share of the table's width (the shares add up to 1)
    bool destra = false;  // amounts and quantities are aligned to the right
};

struct Sezione {
    enum class Tipo { Voci, Tabella, Testo };

    Tipo tipo = Tipo::Voci;
    QString titolo;
    // Half the width, beside the next half-width section (seller and buyer).
    bool affiancata = false;
    QList<Voce> voci;
    QList<Colonna> colonne;
    QList<QStringList> righe; // a cell may hold several lines separated by '\n'
    QStringList paragrafi;
};

// An attachment of a body, decoded from its base64 text.
struct Allegato {
    QString nome;     // as written in the file
    QString nomeFile; // reduced to its last part, safe as a file name
    QString descrizione;
    QString formato;
    QString compressione;
    QByteArray dati;
    bool leggibile = true; // false: the base64 text could not be decoded
};

// One FatturaElettronicaBody: one invoice, credit note, ... of the file.
struct DocumentoCopia {
    QString titolo; // "Fattura n. 2871/A del 20/11/2026"
    QString tipo;   // "Fattura" (the document type in words)
    QString totale; // "EUR 290,00", empty when the file has no total
    QList<Sezione> sezioni;
    QList<Allegato> allegati;
};

struct Copia {
    QString nomeFile; // the name of the file shown (without folder)
    QString formato;  // "FPR12 - Fattura verso privati"
    QString firma;    // the signature's outcome for a signed file, otherwise empty
    QList<DocumentoCopia> documenti;
};

// Outcome of reading a file into its copy: errore says, in Italian, why the file is
// not a readable FatturaPA document (and then the copy is empty).
struct EsitoCopia {
    Copia copia;
    QString errore;

    bool riuscita() const { return errore.isEmpty(); }
};

// Files larger than this are refused before they are read.
inline constexpr qint64 kMassimaDimensioneCopia = 64 * 1024 * 1024;

// The copy of a document given as bytes (plain XML, or signed when nomeFile ends in
// ".p7m": DER or base64 envelope). The document is parsed without network, DTD or
// entities.
EsitoCopia leggiCopia(const QByteArray& dati, const QString& nomeFile);
// The copy of a file: a regular file of at most kMassimaDimensioneCopia bytes.
EsitoCopia leggiCopiaFile(const QString& percorso);
