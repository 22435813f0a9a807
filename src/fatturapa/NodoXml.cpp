#include "fatturapa/NodoXml.h"

namespace {

QByteArrayView testoXml(const xmlChar* s) {
    return s ? QByteArrayView(reinterpret_cast<const char*>(s)) : QByteArrayView();
}

} // namespace

QByteArrayView NodoXml::nome() const {
    return m_nodo ? testoXml(m_nodo->name) : QByteArrayView();
}

QList<NodoXml> NodoXml::figliDiretti(QByteArrayView nome) const {
    QList<NodoXml> trovati;
    if (!m_nodo) return trovati;
    for (xmlNode* c = m_nodo->children; c; c = c->next) {
        if (c->type == XML_ELEMENT_NODE && testoXml(c->name) == nome) trovati.append(NodoXml(c));
    }
    return trovati;
}

QList<NodoXml> NodoXml::tutti(QByteArrayView percorso) const {
    QList<NodoXml> livello{*this};
    qsizetype inizio = 0;
    while (inizio <= percorso.size() && !livello.isEmpty()) {
        qsizetype fine = percorso.indexOf('/', inizio);
        if (fine < 0) fine = percorso.size();
        const QByteArrayView nome = percorso.sliced(inizio, fine - inizio);
        QList<NodoXml> successivo;
        for (const NodoXml& n : livello)
            successivo += n.figliDiretti(nome);
        livello = successivo;
        inizio = fine + 1;
    }
    return livello;
}

NodoXml NodoXml::figlio(QByteArrayView percorso) const {
    const QList<NodoXml> trovati = tutti(percorso);
    return trovati.isEmpty() ? NodoXml() : trovati.first();
}

QString NodoXml::testo() const {
    if (!m_nodo) return {};
    xmlChar* contenuto = xmlNodeGetContent(m_nodo);
    const QString testo = QString::fromUtf8(testoXml(contenuto)).trimmed();
    xmlFree(contenuto);
    return testo;
}

QString NodoXml::attributo(const char* nome) const {
    if (!m_nodo) return {};
    xmlChar* valore = xmlGetProp(m_nodo, reinterpret_cast<const xmlChar*>(nome));
    const QString testo = QString::fromUtf8(testoXml(valore));
    xmlFree(valore);
    return testo;
}
