#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <libxml/tree.h>

// Read-only view of an element of a parsed document, addressed by the local
// names of its children: the elements below the root of a FatturaPA document
// belong to no namespace. A missing element gives a null node, whose texts are
// empty, so optional blocks need no special case.
class NodoXml {
public:
    explicit NodoXml(xmlNode* nodo = nullptr) : m_nodo(nodo) {}

    bool esiste() const { return m_nodo != nullptr; }
    // The first element along a path of child names such as "DatiGenerali/Numero".
    NodoXml figlio(QByteArrayView percorso) const;
    // Every element reached by the path, in document order.
    QList<NodoXml> tutti(QByteArrayView percorso) const;
    // Text content without surrounding blanks; testo(p) is figlio(p).testo().
    QString testo() const;
    QString testo(QByteArrayView percorso) const { return figlio(percorso).testo(); }
    QString attributo(const char* nome) const;
    QByteArrayView nome() const;

private:
    QList<NodoXml> figliDiretti(QByteArrayView nome) const;

    xmlNode* m_nodo;
};
