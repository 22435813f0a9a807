#pragma once

#include "fatturapa/NodoXml.h"
#include "fatturapa/Problema.h"

#include <QList>
#include <QString>

// Checks of the exchange system on VAT rates and natures of one
// FatturaElettronicaBody: a nature exactly with the rate 0 (00400, 00401 on
// the lines, 00413, 00414 on the pension-fund blocks, 00429, 00430 on the
// summaries), no generic nature N2, N3, N6 (00445), and every rate (00443)
// and nature (00444) both in the summaries and among the lines or
// pension-fund blocks.
class ControlliAliquote {
public:
    ControlliAliquote() = delete;

    static QList<Problema> esegui(const NodoXml& corpo);

private:
    struct Codici {
        const char* senzaNatura;
        const char* conNatura;
    };
    static void natura(const NodoXml& blocco, const QString& dove, Codici codici,
                       QList<Problema>& problemi);
    static void corrispondenza(const QList<NodoXml>& dettaglio, const QList<NodoXml>& riepiloghi,
                               QList<Problema>& problemi);
};
