#include "fatturapa/DocumentoXml.h"

#include "fatturapa/CodificaXml.h"

namespace {

constexpr QLatin1StringView fineRiga("\r\n");

} // namespace

DocumentoXml::DocumentoXml() {
    m_byte.reserve(16 * 1024);
}

void DocumentoXml::riga(QLatin1StringView testo) {
    m_byte.append(testo.data(), testo.size());
    m_byte.append(fineRiga.data(), fineRiga.size());
}

void DocumentoXml::elemento(QLatin1StringView nome, const QString& valore) {
    elementoSicuro(nome, ValoreXml::comeMemorizzato(valore));
}

void DocumentoXml::elementoCodificato(QLatin1StringView nome, const QString& valore) {
    elementoSicuro(nome, ValoreXml::codificato(valore));
}

void DocumentoXml::elementoSicuro(QLatin1StringView nome, const QString& valoreSicuro) {
    m_byte.append('<').append(nome.data(), nome.size()).append('>');
    m_byte.append(valoreSicuro.toUtf8());
    m_byte.append("</", 2).append(nome.data(), nome.size()).append('>');
    m_byte.append(fineRiga.data(), fineRiga.size());
}
