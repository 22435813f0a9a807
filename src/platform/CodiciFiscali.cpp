#include "platform/CodiciFiscali.h"

#include <QRegularExpression>

namespace CodiciFiscali {

namespace {

int cifra(QChar c) {
    return c.unicode() - u'0';
}

// Value of a character in an odd place (1st, 3rd, ...) of a personal code; digits
// weigh as the letter of the same rank (0 as A, 1 as B, ...).
int valoreDispari(int rango) {
    static constexpr int kValori[26] = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                        20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    return kValori[rango];
}

int rango(QChar c) {
    return c.isDigit() ? cifra(c) : c.unicode() - u'A';
}

} // namespace

bool partitaIvaValida(const QString& partitaIva) {
    static const QRegularExpression forma(QStringLiteral("^[0-9]{11}$"));
    if (!forma.match(partitaIva).hasMatch()) return false;
    int somma = 0;
    for (int i = 0; i < 10; ++i) {
        int d = cifra(partitaIva[i]);
        if (i % 2 == 1) {
            d *= 2;
            if (d > 9) d -= 9;
        }
        somma += d;
    }
    return (10 - somma % 10) % 10 == cifra(partitaIva[10]);
}

bool codiceFiscaleValido(const QString& codiceFiscale) {
    if (codiceFiscale.size() == 11) return partitaIvaValida(codiceFiscale);
    // Surname, name, year, month letter, day (plus 40 for women), town, check letter;
    // the digits may be replaced by the letters L to V of the homonymy rule.
    static const QRegularExpression forma(
        QStringLiteral("^[A-Z]{6}[0-9LMNPQRSTUV]{2}[ABCDEHLMPRST][0-9LMNPQRSTUV]{2}"
                       "[A-Z][0-9LMNPQRSTUV]{3}[A-Z]$"));
    const QString cf = codiceFiscale.toUpper();
    if (!forma.match(cf).hasMatch()) return false;
    int somma = 0;
    for (int i = 0; i < 15; ++i)
        somma += i % 2 == 0 ? valoreDispari(rango(cf[i])) : rango(cf[i]);
    return cf[15].unicode() == u'A' + somma % 26;
}

QString avvisoPartitaIva(const QString& partitaIva) {
    return partitaIva.isEmpty() || partitaIvaValida(partitaIva)
               ? QString()
               : QStringLiteral("Partita IVA non valida");
}

QString avvisoCodiceFiscale(const QString& codiceFiscale) {
    return codiceFiscale.isEmpty() || codiceFiscaleValido(codiceFiscale)
               ? QString()
               : QStringLiteral("Codice fiscale non valido");
}

} // namespace CodiciFiscali
