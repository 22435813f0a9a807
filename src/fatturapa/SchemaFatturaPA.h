#pragma once

#include "fatturapa/Problema.h"

#include <QList>
#include <QString>

#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

// The FatturaPA 1.2.2 schema compiled by libxml2. The import of the
// XML-Signature schema is served from the local copy next to it; any other
// network address is refused, so loading never opens a connection.
class SchemaFatturaPA {
public:
    static constexpr const char* nomeFile = "Schema_del_file_xml_FatturaPA_v1.2.2.xsd";
    static constexpr const char* nomeFileXmldsig = "xmldsig-core-schema.xsd";

    // Loads the schema of the given folder; see caricato() and errore().
    explicit SchemaFatturaPA(const QString& cartella);
    ~SchemaFatturaPA();
    SchemaFatturaPA(const SchemaFatturaPA&) = delete;
    SchemaFatturaPA& operator=(const SchemaFatturaPA&) = delete;

    // The schema of cartellaPredefinita(), loaded once per process.
    static const SchemaFatturaPA& condiviso();
    // The folder named by the environment variable GFE_SCHEMA_DIR when set;
    // otherwise the first of ../share/gfe/schemas next to the executable and
    // the schema folder of the source tree that holds the schema.
    static QString cartellaPredefinita();

    bool caricato() const { return m_schema != nullptr; }
    QString cartella() const { return m_cartella; }
    // Why the schema could not be loaded (Italian, for the user).
    QString errore() const { return m_errore; }

    // One 00200 per violation of the schema, with its line; after 50 of
    // them a single 00201. Empty for a valid document.
    QList<Problema> valida(xmlDoc* documento) const;

    // "riga 12: <libxml2 message>".
    static QString testoErrore(const xmlError& errore);

private:
    void carica();

    QString m_cartella;
    QString m_errore;
    xmlSchema* m_schema = nullptr;
};
