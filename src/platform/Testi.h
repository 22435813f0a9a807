#pragma once

#include <QDate>
#include <QString>

// The one place where numbers and dates become text and back. Conventions are
// always Italian (decimal comma, day/month/year), whatever the process locale.
class Testi {
public:
    Testi() = delete;

    // --- Amounts -----------------------------------------------------------

    // Strict amount text: optional blanks around, optional sign, digits with an
    // optional decimal comma (",5" and "5," are fine), optional exponent
    // ("1,5E20", "2e-3"). No grouping points, no decimal point. The value is the
    // long double nearest to the decimal number written.
    static bool leggiNumero(const QString& s, long double& out);
    // As leggiNumero; throws ErroreConversione when the text is not a number.
    static long double numero(const QString& s);
    // As leggiNumero; an unreadable text counts as 0.
    static long double numeroOZero(const QString& s);
    // Amount text of the articles window: like leggiNumero, but "." grouping
    // points among the integer digits are allowed and ignored ("1.000,50");
    // no exponent.
    static bool leggiNumeroRaggruppato(const QString& s, long double& out);

    // Display mask such as "######0.00" or "##,###0.000":
    // - '0' before the point: from the first '0' on, minimum integer digits;
    // - ',' in the integer part: "." grouping points every three digits;
    // - after the point: '0' a decimal always written, '#' one written only
    //   when not a trailing zero.
    // Rounds half away from zero on the exact decimal value of v; a value that
    // rounds to zero has no minus sign. Infinities and NaN give "INF", "-INF",
    // "NAN".
    static QString formatta(long double v, const QString& mask);
    // formatta(v, "######0.00").
    static QString importo(long double v);

    // General number text: at most 15 significant digits (rounded half away
    // from zero), no trailing zeros, no grouping, decimal comma. Decimal
    // exponent e of the first digit with e >= 15 or e < -4 gives the exponent
    // form "1,5E20", "1E-5". A float widened to long double keeps its binary
    // value: 0.1f gives "0,100000001490116".
    static QString generale(long double v);

    // v times 10^decimali rounded to the nearest integer, halves to the even
    // one, divided by 10^decimali; the product is computed in the precision of
    // the overload (double: 0.125 -> 0.12, 1.005 -> 1.0 at two decimals).
    static long double arrotondaPari(long double v, int decimali);
    static double arrotondaPari(double v, int decimali);

    // --- Dates ---------------------------------------------------------------

    // "dd/MM/yyyy" and "dd/MM/yy"; an invalid date gives empty text.
    static QString testoData(const QDate& d);
    static QString testoDataBreve(const QDate& d);
    // Day, month and year separated by "/" (or "-" or ".", the same twice),
    // blanks around the parts allowed. Day and month of 1 or 2 digits, year of
    // 4 digits or of 2: yy is the year ending in yy from 50 years before to 49
    // years after the year of oggi (the current date without oggi).
    static bool leggiData(const QString& s, QDate& out);
    static bool leggiData(const QString& s, QDate& out, const QDate& oggi);
    // As leggiData; throws ErroreConversione when the text is not a date.
    static QDate data(const QString& s);
    static QDate data(const QString& s, const QDate& oggi);
    // Year "-" month "-" day for the XML documents: year without leading
    // zeros, month and day with two digits ("2023-03-05").
    static QString dataIso(const QDate& d);
    // Date text read as by data() and written as dataIso(); throws
    // ErroreConversione when the text is not a date.
    static QString dataIso(const QString& testoData);

    // --- Texts ---------------------------------------------------------------

    // Without the characters with codes up to 32 at both ends.
    static QString trimmed32(const QString& s);
};
