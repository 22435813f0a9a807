#pragma once

#include "fatturapa/BustaP7m.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One error of a rejection: its code, description and, in the newer form, a suggestion.
struct ErroreSdi {
    QString codice;
    QString descrizione;
    QString suggerimento;
};

// A file of the exchange system read: one of its answers to a file we sent (type RC, NS,
// MC, NE, DT, AT), the metadata of an invoice it delivers to us (MT), or a FatturaPA
// invoice. Both namespaces the exchange system has used are read.
struct FileSdi {
    enum class Genere { Illeggibile, Notifica, Metadati, Fattura };

    Genere genere = Genere::Illeggibile;
    QString errore;   // why it could not be read (Italian), for Illeggibile
    QString tipo;     // RC, NS, MC, NE, DT, AT, MT
    QString nomeFile; // the invoice file the message is about
    QString identificativoSdi;
    QString messageId;
    QDateTime dataRicezione; // as written, without its offset
    QDateTime dataConsegna;
    QString esito;       // NE: EC01 or EC02
    QString descrizione; // NE, MC, DT: the text given
    QList<ErroreSdi> errori;
    bool firmato = false; // a ".p7m" envelope was opened
    BustaP7m::Firma firma = BustaP7m::Firma::NonValida;
    QByteArray xml; // the document (inside the envelope when signed)

    bool notifica() const { return genere == Genere::Notifica; }
};

// Reads `dati`, the file named `nome` (a signed ".p7m" is opened first), without network,
// DTD or entities.
FileSdi leggiFileSdi(const QByteArray& dati, const QString& nome);

// Italian name of an answer's type ("ricevuta di consegna" for RC, ...).
QString descrizioneTipoSdi(const QString& tipo);
