#pragma once

#include "fatturapa/NodoXml.h"
#include "fatturapa/Problema.h"

#include <QList>
#include <QString>

// Checks of the exchange system on the file name and on the header
// (FatturaElettronicaHeader) of a FatturaPA document.
class ControlliTrasmissione {
public:
    ControlliTrasmissione() = delete;

    // 00001: the name is country code + tax id of the sender + "_" + 1 to 5
    // letters or digits + ".xml" (".xml.p7m" for a signed file). With a known
    // sender (IdPaese + IdCodice of IdTrasmittente) the name must start with
    // it; an empty sender checks the form only.
    static QList<Problema> nomeFile(const QString& nome, const QString& trasmittente);
    // IdPaese + IdCodice of IdTrasmittente; empty when missing.
    static QString trasmittente(const NodoXml& radice);
    // 00426, 00427, 00428 on DatiTrasmissione, 00417 on the customer.
    static QList<Problema> intestazione(const NodoXml& radice);

private:
    static void destinatario(const NodoXml& trasmissione, QList<Problema>& problemi);
};
