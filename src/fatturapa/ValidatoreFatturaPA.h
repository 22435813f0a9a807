#pragma once

#include "fatturapa/Problema.h"

#include <QByteArray>
#include <QList>
#include <QString>

class SchemaFatturaPA;

// Validation of a FatturaPA 1.2.2 document (FPR12, FPA12) as the exchange
// system SDI does it before accepting a file:
// 1. the file name (00001);
// 2. well-formed XML (00200 with the parser's message, nothing else checked);
// 3. the schema (00200 per violation, 00201 beyond 50; nothing else checked);
// 4. the content checks on the header and on each FatturaElettronicaBody.
// A signed file (name ending in ".p7m", DER or base64) is opened and the XML it
// holds is checked; an envelope that cannot be opened or a signature that does
// not match gives 00102. Nothing is ever fetched from the network.
class ValidatoreFatturaPA {
public:
    // With the schema shared by the process (SchemaFatturaPA::condiviso()).
    ValidatoreFatturaPA();
    explicit ValidatoreFatturaPA(const SchemaFatturaPA& schema);

    // False when the schema could not be loaded; valida() then reports why,
    // as a problem without code.
    bool pronto() const;

    // Larger files are not read: an invoice of 80,000 lines takes about 40 MB.
    static constexpr qint64 massimoByte = qint64(100) << 20;

    // The name checked is the file name of the path. A file that cannot be
    // read, that is no regular file (a folder, a device, a FIFO) or that
    // exceeds massimoByte gives a problem without code naming it.
    QList<Problema> valida(const QString& percorsoFile) const;
    QList<Problema> valida(const QByteArray& contenuto, const QString& nomeFile) const;

private:
    const SchemaFatturaPA& m_schema;
};
