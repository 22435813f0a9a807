#pragma once

#include <QString>

// The forms in which the writers put numbers and dates into a document. Amount
// texts are read and written only through Testi; an unreadable text throws
// ErroreConversione with its message.
class FormeXml {
public:
    FormeXml() = delete;

    // "######0.00" with "." for ",": 1234,5 -> 1234.50; 0,125 -> 0.13.
    static QString duePunto(const QString& importo);
    // "######0.0000" with "." for ",": 12,5 -> 12.5000.
    static QString quattroPunto(const QString& importo);
    // Short date text as year-month-day: 05/03/2023 -> 2023-03-05.
    static QString data(const QString& testoData);

    // A point form read back as a number: "150.50" -> 150.5.
    static long double valore(const QString& formaPunto);
    // True when a point form reads as a number greater than zero.
    static bool positivo(const QString& formaPunto);

    // One of n equal instalments of a total in two-decimal point form: the
    // quotient rounded to the cent as trunc(q / 0.01 + 0.5) * 0.01, held in a
    // 32-bit float and written with "#######0.00"; n must be above zero.
    static QString rata(const QString& totaleDuePunto, int n);
    // The 32-bit running sum of taxable amounts: each addition is made in long
    // double and stored back in a float.
    static float somma32(float somma, const QString& formaPunto);
    // A float in two-decimal point form.
    static QString duePunto32(float valore);
};
