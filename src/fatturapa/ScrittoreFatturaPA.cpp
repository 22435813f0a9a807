#include "fatturapa/ScrittoreFatturaPA.h"

#include "data/FatturaInviata.h"
#include "fatturapa/FileXml.h"
#include "fatturapa/NomeFatturaPA.h"

ScrittoreFatturaPA::ScrittoreFatturaPA(FormatoFatturaPA formato, const QString& titoloFatture,
                                       Table& azienda, Table& testata, Table& righe)
    : m_formato(formato), m_titolo(titoloFatture), m_azienda(azienda), m_testata(testata),
      m_righe(righe) {}

QString ScrittoreFatturaPA::progressivo(int idInvio, const QString& titoloFatture) {
    return NomeFatturaPA::progressivo(idInvio, titoloFatture);
}

// The name stays reserved while the file is composed and written, so the file
// always holds the invoice whose nome_file names it.
QString ScrittoreFatturaPA::scrivi() {
    vietaSeInviata(m_testata);
    CompositoreFatturaPA compositore(m_formato, m_azienda, m_testata, m_righe);
    NomeFatturaPA nome(m_titolo, m_azienda, m_testata);
    nome.riserva();
    FileXml::scrivi(nome.percorso(), compositore.documento(nome.progressivo()));
    return nome.percorso();
}
