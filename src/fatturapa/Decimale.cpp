#include "fatturapa/Decimale.h"

#include <algorithm>

namespace {

using Grezzo = __int128;
using Naturale = unsigned __int128;

Naturale modulo(Grezzo v) {
    return v < 0 ? Naturale(0) - Naturale(v) : Naturale(v);
}

Grezzo conSegno(Naturale v, bool negativo) {
    return negativo ? -Grezzo(v) : Grezzo(v);
}

// v / divisore rounded half away from zero.
Grezzo dividiArrotondando(Grezzo v, Naturale divisore) {
    return conSegno((modulo(v) + divisore / 2) / divisore, v < 0);
}

} // namespace

Decimale::Grezzo Decimale::potenza(int esponente) {
    Grezzo p = 1;
    for (int i = 0; i < esponente; ++i)
        p *= 10;
    return p;
}

std::optional<Decimale> Decimale::leggi(QStringView testo) {
    const bool segno = !testo.isEmpty() && (testo[0] == u'-' || testo[0] == u'+');
    const bool meno = segno && testo[0] == u'-';
    qsizetype i = segno ? 1 : 0;
    Grezzo valore = 0;
    int interi = 0;
    int decimali = -1;
    for (; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (c == u'.' && decimali < 0) {
            decimali = 0;
            continue;
        }
        if (c < u'0' || c > u'9') return std::nullopt;
        valore = valore * 10 + (c.unicode() - u'0');
        if (decimali >= 0 ? ++decimali > cifre : ++interi > 18) return std::nullopt;
    }
    if (interi + std::max(decimali, 0) == 0) return std::nullopt;
    valore *= potenza(cifre - std::max(decimali, 0));
    return Decimale(meno ? -valore : valore);
}

Decimale Decimale::intero(long long n) {
    return Decimale(Grezzo(n) * potenza(cifre));
}

Decimale Decimale::operator+(const Decimale& altro) const {
    return Decimale(m_valore + altro.m_valore);
}

Decimale Decimale::operator-(const Decimale& altro) const {
    return Decimale(m_valore - altro.m_valore);
}

Decimale& Decimale::operator+=(const Decimale& altro) {
    m_valore += altro.m_valore;
    return *this;
}

// Split one factor into integer and fractional part, so that no partial
// product exceeds 10^36 for factors below 10^12.
Decimale Decimale::operator*(const Decimale& altro) const {
    const Naturale scala = Naturale(potenza(cifre));
    const Naturale a = modulo(m_valore);
    const Naturale b = modulo(altro.m_valore);
    const Naturale prodotto = (a / scala) * b + ((a % scala) * b + scala / 2) / scala;
    return Decimale(conSegno(prodotto, (m_valore < 0) != (altro.m_valore < 0)));
}

Decimale Decimale::percentuale(const Decimale& percentuale) const {
    return Decimale(dividiArrotondando((*this * percentuale).m_valore, 100));
}

Decimale Decimale::arrotondato(int decimali) const {
    const Grezzo unita = potenza(cifre - std::clamp(decimali, 0, cifre));
    return Decimale(dividiArrotondando(m_valore, Naturale(unita)) * unita);
}

Decimale Decimale::assoluto() const {
    return Decimale(Grezzo(modulo(m_valore)));
}

QString Decimale::testo(int decimali) const {
    decimali = std::clamp(decimali, 0, cifre);
    const Grezzo arrotondatoGrezzo = arrotondato(decimali).m_valore;
    Naturale v = modulo(arrotondatoGrezzo) / Naturale(potenza(cifre - decimali));
    QString cifreTesto;
    do {
        cifreTesto.prepend(QChar(u'0' + int(v % 10)));
        v /= 10;
    } while (v != 0 || cifreTesto.size() <= decimali);
    if (decimali > 0) cifreTesto.insert(cifreTesto.size() - decimali, u'.');
    return arrotondatoGrezzo < 0 ? QStringLiteral("-") + cifreTesto : cifreTesto;
}
