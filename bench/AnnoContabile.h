#pragma once

#include <QStringList>

// A year of sales documents for the accounting database quirn19, the same for
// the same seed: every register the import reads (FV, NC, NI, FD, FI), deferred
// invoices billing two or three delivery notes, foreign customers (province
// "IN" and "EX"), public offices with six-character codes, several VAT rates
// per document, line discounts, lines counted in packages ("CL"), documents
// of December (after an import date of 30/11/23), notes and documents of 2022.
struct ParametriAnno {
    quint32 seme = 2023;
    int documenti = 300;          // documents of the five registers in 2023
    int righe = 10;               // lines per document on average (exactly, for a multiple of 5)
    int primoProtocollo = 100001; // keys and numbers beyond those of the hand-written demo
    int primoNumero = 101;
};

// The INSERT statements that add the year to quirn19's testata and dettag.
QStringList annoContabile(const ParametriAnno& parametri);
