#include "fatturapa/ScontoRiga.h"

#include "fatturapa/Decimale.h"
#include "platform/Testi.h"

#include <cmath>
#include <optional>

namespace {

using Intero = __int128;

// Amounts beyond this magnitude fit no amount element of the document.
constexpr long double massimo = 1e15L;

// The digits of a point or comma form without its separator, as an integer:
// "-12.50" -> -1250.
Intero cifre(const QString& forma) {
    Intero n = 0;
    for (QChar c : forma) {
        if (c.isDigit()) n = n * 10 + (c.unicode() - u'0');
    }
    return forma.startsWith(u'-') ? -n : n;
}

// The stored amount exactly, in units of 10^-12: the long double Testi reads
// is within far less than 10^-12 of the stored decimal text, which has at
// most 12 characters, so rounding it to 12 decimals gives that text back.
std::optional<Intero> picoUnita(const QString& importo) {
    long double v = 0;
    if (!Testi::leggiNumero(importo, v) || std::fabs(v) >= massimo) return std::nullopt;
    return cifre(Testi::formatta(v, QStringLiteral("0.000000000000")));
}

QString testoOttoDecimali(Intero unita) {
    const bool negativo = unita < 0;
    const Intero n = negativo ? -unita : unita;
    constexpr Intero scala = 100000000;
    QString decimali = QString::number(qint64(n % scala)).rightJustified(8, u'0');
    while (decimali.size() > 2 && decimali.endsWith(u'0'))
        decimali.chop(1);
    return (negativo ? QStringLiteral("-") : QString()) + QString::number(qint64(n / scala)) +
           u'.' + decimali;
}

} // namespace

bool ScontoRiga::prezzoNetto(const QString& prezzoUnitario, const QString& quantita,
                             const QString& prezzoTotale) {
    const std::optional<Decimale> prezzo = Decimale::leggi(prezzoUnitario);
    const std::optional<Decimale> totale = Decimale::leggi(prezzoTotale);
    const std::optional<Decimale> q =
        quantita.isEmpty() ? Decimale::intero(1) : Decimale::leggi(quantita);
    if (!prezzo || !totale || !q) return false;
    return (*prezzo * *q - *totale).assoluto() <= *Decimale::leggi(u"0.01");
}

QString ScontoRiga::importoUnitario(const QString& scImporto, const QString& quantita) {
    const std::optional<Intero> importo = picoUnita(scImporto);
    if (!importo) return QString();
    // importo is in 10^-12, the quantity in 10^-2: importo / (q * 10^2) is in 10^-8.
    Intero divisore = quantita.isEmpty() ? 100 : cifre(quantita);
    if (divisore <= 0) divisore = 100;
    divisore *= 100;
    const Intero modulo = *importo < 0 ? -*importo : *importo;
    const Intero quoziente = (2 * modulo + divisore) / (2 * divisore);
    return testoOttoDecimali(*importo < 0 ? -quoziente : quoziente);
}
