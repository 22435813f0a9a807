#pragma once

#include "report/Report.h"

#include <QObject>

class Fonti;

// The report form with the two paper layouts: QR1, the sales invoice (sources
// "AziendaT", "Testata" and its lines "Detta"), and QR2, the purchase invoice
// ("AziendaT", "Testa_Car" and its lines "Detta_Car"). Never shown: the printing
// functions (StampaFattura.h) make one for each copy and lay its reports out over the
// tables they are given.
class TSt_Fatt : public QObject {
    Q_OBJECT
public:
    explicit TSt_Fatt(QObject* parent = nullptr);
    ~TSt_Fatt() override;

    Report QR1;
    Report QR2;

    // "/ " and the year of the invoice's data_doc into QRLabel84; a data_doc that is
    // not a date throws, which aborts the report.
    static void QRBand10BeforePrint(Banda& banda, const Fonti& fonti);
    // The sums of the four taxable amounts and of the four taxes into imponib and iva.
    static void QRBand12BeforePrint(Banda& banda, const Fonti& fonti);
    // Taxable amount, tax, expenses and goods total of the purchase invoice.
    static void QRBand3BeforePrint(Banda& banda, const Fonti& fonti);

    // An amount text of a footer: "." grouping points ignored, decimal comma; an
    // unreadable text counts as 0.
    static float importoPiede(const QString& testo);

private:
    void creaQR1();
    void creaQR2();
};
