#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>

// The bytes of a FatturaPA document being built: UTF-8 without byte-order
// mark, one line per tag or simple element, no indentation, CR LF after every
// line. Values are made safe here (ValoreXml), so no value can break the markup.
class DocumentoXml {
public:
    DocumentoXml();

    // A line written exactly as given: a declaration, a start or end tag.
    void riga(QLatin1StringView testo);
    // <nome>valore</nome>, the value as stored.
    void elemento(QLatin1StringView nome, const QString& valore);
    // <nome>valore</nome>, the value passed through CodificaXml.
    void elementoCodificato(QLatin1StringView nome, const QString& valore);

    const QByteArray& byte() const { return m_byte; }

private:
    void elementoSicuro(QLatin1StringView nome, const QString& valoreSicuro);

    QByteArray m_byte;
};
