#include "fatturapa/SchemaFatturaPA.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <memory>

namespace {

constexpr const char* indirizzoXmldsig =
    "http://www.w3.org/TR/2002/REC-xmldsig-core-20020212/xmldsig-core-schema.xsd";
constexpr int massimoErrori = 50;

// Local file served for the XML-Signature import while a schema is loading.
QByteArray copiaXmldsig;

xmlParserInputPtr caricaRisorsa(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
    if (url && qstrcmp(url, indirizzoXmldsig) == 0)
        return xmlNewInputFromFile(ctxt, copiaXmldsig.constData());
    // Local files only: http and ftp addresses fail with an error.
    return xmlNoNetExternalEntityLoader(url, id, ctxt);
}

struct ErroriSchema {
    QList<Problema> problemi;
    int contati = 0;
};

void annotaErrore(ErroriSchema& errori, const xmlError& errore) {
    if (errore.level < XML_ERR_ERROR) return;
    if (++errori.contati <= massimoErrori)
        errori.problemi.append({QStringLiteral("00200"), SchemaFatturaPA::testoErrore(errore)});
    else if (errori.contati == massimoErrori + 1)
        errori.problemi.append({QStringLiteral("00201"),
                                QStringLiteral("più di %1 errori di formato: i successivi non "
                                               "sono elencati")
                                    .arg(massimoErrori)});
}

} // namespace

SchemaFatturaPA::SchemaFatturaPA(const QString& cartella) : m_cartella(cartella) {
    carica();
}

SchemaFatturaPA::~SchemaFatturaPA() {
    xmlSchemaFree(m_schema);
}

const SchemaFatturaPA& SchemaFatturaPA::condiviso() {
    static const SchemaFatturaPA schema(cartellaPredefinita());
    return schema;
}

QString SchemaFatturaPA::cartellaPredefinita() {
    const QString scelta = qEnvironmentVariable("GFE_SCHEMA_DIR");
    if (!scelta.isEmpty()) return QDir::cleanPath(scelta);
    QStringList candidate;
    if (QCoreApplication::instance())
        candidate << QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../share/gfe/schemas");
#ifdef GFE_SCHEMA_DIR
    candidate << QStringLiteral(GFE_SCHEMA_DIR);
#endif
    for (const QString& c : candidate) {
        if (QFileInfo::exists(c + u'/' + QLatin1String(nomeFile))) return QDir::cleanPath(c);
    }
    return {};
}

void SchemaFatturaPA::carica() {
    const QString percorso = m_cartella + u'/' + QLatin1String(nomeFile);
    const QString xmldsig = m_cartella + u'/' + QLatin1String(nomeFileXmldsig);
    if (m_cartella.isEmpty() || !QFileInfo::exists(percorso) || !QFileInfo::exists(xmldsig)) {
        const QString dove =
            m_cartella.isEmpty()
                ? QString()
                : QStringLiteral(" nella cartella «%1»").arg(QDir::toNativeSeparators(m_cartella));
        m_errore = QStringLiteral("Schema FatturaPA non trovato%1: impostare GFE_SCHEMA_DIR "
                                  "sulla cartella che contiene %2 e %3")
                       .arg(dove, QLatin1String(nomeFile), QLatin1String(nomeFileXmldsig));
        return;
    }
    xmlInitParser();
    // The entity loader is global to libxml2: one schema loads at a time and
    // the loader in place before is restored afterwards.
    static QMutex caricamento;
    const QMutexLocker blocco(&caricamento);
    copiaXmldsig = QFile::encodeName(xmldsig);
    const xmlExternalEntityLoader precedente = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(caricaRisorsa);
    ErroriSchema errori;
    // The callbacks take the error as auto: libxml2 2.12 made it const. The
    // loading of an imported file reports through the thread's handler.
    const auto annota = [](void* dati, auto errore) {
        annotaErrore(*static_cast<ErroriSchema*>(dati), *errore);
    };
    const xmlStructuredErrorFunc gestorePrecedente = xmlStructuredError;
    void* const contestoPrecedente = xmlStructuredErrorContext;
    xmlSetStructuredErrorFunc(&errori, annota);
    xmlSchemaParserCtxt* ctxt = xmlSchemaNewParserCtxt(QFile::encodeName(percorso).constData());
    xmlSchemaSetParserStructuredErrors(ctxt, annota, &errori);
    m_schema = xmlSchemaParse(ctxt);
    xmlSchemaFreeParserCtxt(ctxt);
    xmlSetStructuredErrorFunc(contestoPrecedente, gestorePrecedente);
    xmlSetExternalEntityLoader(precedente);
    if (!m_schema) {
        m_errore = QStringLiteral("Schema FatturaPA non caricabile da «%1»")
                       .arg(QDir::toNativeSeparators(percorso));
        if (!errori.problemi.isEmpty())
            m_errore += QStringLiteral(": ") + errori.problemi.first().testo;
    }
}

QList<Problema> SchemaFatturaPA::valida(xmlDoc* documento) const {
    if (!m_schema) return {{QString(), m_errore}};
    const std::unique_ptr<xmlSchemaValidCtxt, decltype(&xmlSchemaFreeValidCtxt)> ctxt(
        xmlSchemaNewValidCtxt(m_schema), xmlSchemaFreeValidCtxt);
    ErroriSchema errori;
    xmlSchemaSetValidStructuredErrors(
        ctxt.get(),
        [](void* dati, auto errore) { annotaErrore(*static_cast<ErroriSchema*>(dati), *errore); },
        &errori);
    // libxml2 looks for the including file of every error of a document that
    // has an address, walking back over all the nodes before it: without the
    // address each error costs the same, however many there are.
    const xmlChar* const indirizzo = documento->URL;
    documento->URL = nullptr;
    const int esito = xmlSchemaValidateDoc(ctxt.get(), documento);
    documento->URL = indirizzo;
    if (esito != 0 && errori.problemi.isEmpty())
        errori.problemi.append({QStringLiteral("00200"),
                                QStringLiteral("documento non conforme allo schema FatturaPA")});
    return errori.problemi;
}

QString SchemaFatturaPA::testoErrore(const xmlError& errore) {
    const QString messaggio = QString::fromUtf8(errore.message ? errore.message : "").trimmed();
    return errore.line > 0 ? QStringLiteral("riga %1: %2").arg(errore.line).arg(messaggio)
                           : messaggio;
}
