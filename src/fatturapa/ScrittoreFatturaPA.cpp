#include "fatturapa/ScrittoreFatturaPA.h"

#include "db/FatturaInviata.h"
#include "fatturapa/FileXml.h"
#include "fatturapa/NomeFatturaPA.h"

ScrittoreFatturaPA::ScrittoreFatturaPA(FormatoFatturaPA formato, const QString& titoloFatture,
                                       const TabelleFattura& tabelle)
    : m_formato(formato), m_titolo(titoloFatture), m_tabelle(tabelle) {}

// The name stays reserved while the file is composed and written, so the file
// always holds the invoice whose nome_file names it.
QString ScrittoreFatturaPA::scrivi() {
    vietaSeInviata(m_tabelle.testata);
    CompositoreFatturaPA compositore(m_formato, m_tabelle.azienda, m_tabelle.testata,
                                     m_tabelle.righe);
    NomeFatturaPA nome(m_titolo, m_tabelle.azienda, m_tabelle.testata);
    nome.riserva();
    FileXml::scrivi(nome.percorso(), compositore.documento(nome.progressivo()));
    return nome.percorso();
}
