#include "platform/Testi.h"

#include "platform/ErroreConversione.h"

#include <QStringList>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

// The "C" locale as an object, so that strtold_l and snprintf work with the
// decimal point even after the application has installed the user's locale.
locale_t localeC() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return loc;
}

// snprintf of one long double with a precision, in the "C" locale.
std::string stampaC(const char* formato, int precisione, long double v) {
    const locale_t precedente = uselocale(localeC());
    const int n = std::snprintf(nullptr, 0, formato, precisione, v);
    std::string testo(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(testo.data(), testo.size(), formato, precisione, v);
    uselocale(precedente);
    testo.resize(static_cast<size_t>(n));
    return testo;
}

// Digits enough for the exact decimal value as far as any rounding done here
// can tell it apart from a half-way point.
constexpr int cifreEspansione = 80;

bool isCifra(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Copies the digits from t[i] on into c; with punti, '.' among them is skipped.
int copiaCifre(const QString& t, qsizetype& i, std::string& c, bool punti) {
    int n = 0;
    for (; i < t.size(); ++i) {
        if (isCifra(t[i])) {
            c += static_cast<char>(t[i].unicode());
            ++n;
        } else if (!(punti && t[i] == u'.')) {
            break;
        }
    }
    return n;
}

void copiaSegno(const QString& t, qsizetype& i, std::string& c) {
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) c += static_cast<char>(t[i++].unicode());
}

QString senzaBlank(const QString& s) {
    qsizetype inizio = 0;
    qsizetype fine = s.size();
    while (inizio < fine && s[inizio] == u' ')
        ++inizio;
    while (fine > inizio && s[fine - 1] == u' ')
        --fine;
    return s.mid(inizio, fine - inizio);
}

// Turns amount text into the "C" form strtold reads ("-12.5e3"); false when the
// text is not an amount.
bool formaC(const QString& s, bool raggruppato, std::string& c) {
    const QString t = senzaBlank(s);
    qsizetype i = 0;
    copiaSegno(t, i, c);
    int cifre = copiaCifre(t, i, c, raggruppato);
    if (i < t.size() && t[i] == u',') {
        c += '.';
        ++i;
        cifre += copiaCifre(t, i, c, false);
    }
    if (cifre == 0) return false;
    if (!raggruppato && i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        c += 'e';
        ++i;
        copiaSegno(t, i, c);
        if (copiaCifre(t, i, c, false) == 0) return false;
    }
    return i == t.size();
}

bool leggi(const QString& s, bool raggruppato, long double& out) {
    std::string c;
    if (!formaC(s, raggruppato, c)) return false;
    const long double v = strtold_l(c.c_str(), nullptr, localeC());
    if (std::isinf(v)) return false;
    out = v;
    return true;
}

// Adds one unit at the last digit of a digit string; true on carry out.
bool incrementa(std::string& cifre) {
    for (auto it = cifre.rbegin(); it != cifre.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return false;
        }
        *it = '0';
    }
    return true;
}

struct Maschera {
    int minInteri = 0;
    int minDecimali = 0;
    int maxDecimali = 0;
    bool gruppi = false;
};

Maschera leggiMaschera(const QString& mask) {
    Maschera m;
    const qsizetype punto = mask.indexOf(u'.');
    const QString interi = punto < 0 ? mask : mask.left(punto);
    m.gruppi = interi.contains(u',');
    const qsizetype primoZero = interi.indexOf(u'0');
    if (primoZero >= 0)
        m.minInteri = int(interi.mid(primoZero).count(u'0') + interi.mid(primoZero).count(u'#'));
    if (punto < 0) return m;
    const QString decimali = mask.mid(punto + 1);
    for (qsizetype i = 0; i < decimali.size(); ++i) {
        if (decimali[i] == u'0' || decimali[i] == u'#') ++m.maxDecimali;
        if (decimali[i] == u'0') m.minDecimali = m.maxDecimali;
    }
    return m;
}

QString conGruppi(const std::string& interi) {
    QString r;
    for (size_t i = 0; i < interi.size(); ++i) {
        if (i > 0 && (interi.size() - i) % 3 == 0) r += u'.';
        r += QLatin1Char(interi[i]);
    }
    return r;
}

QString nonFinito(long double v) {
    if (std::isnan(v)) return QStringLiteral("NAN");
    return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// The exponent form of 15 significant digits or fewer: "1,5E20".
QString formaEsponente(const std::string& cifre, int esponente) {
    QString r{QLatin1Char(cifre[0])};
    if (cifre.size() > 1) r += u',' + QString::fromLatin1(cifre.substr(1));
    return r + u'E' + QString::number(esponente);
}

QString formaFissa(const std::string& cifre, int esponente) {
    if (esponente < 0)
        return QStringLiteral("0,") + QString(-esponente - 1, u'0') + QString::fromLatin1(cifre);
    std::string interi = cifre.substr(0, std::min(cifre.size(), size_t(esponente) + 1));
    interi.resize(size_t(esponente) + 1, '0');
    QString r = QString::fromLatin1(interi);
    if (cifre.size() > interi.size()) r += u',' + QString::fromLatin1(cifre.substr(interi.size()));
    return r;
}

// The value as a decimal of 18 significant digits, written "ddd.ddd" with at least
// `decimali` decimals. The masks round this decimal, not the binary expansion beyond
// it: amount text read back ("1,005") gives its own decimal value, while a 32-bit
// value that holds 2.67499995... stays below the half.
std::string diciottoCifre(long double a, int decimali) {
    const std::string sci = stampaC("%.*Le", 17, a);
    const std::string cifre = sci.substr(0, 1) + sci.substr(2, 17);
    const int esponente = std::atoi(sci.c_str() + sci.find('e') + 1);
    std::string interi, fraz;
    if (esponente >= 0) {
        interi = cifre.substr(0, std::min(cifre.size(), size_t(esponente) + 1));
        interi.resize(size_t(esponente) + 1, '0');
        if (cifre.size() > interi.size()) fraz = cifre.substr(interi.size());
    } else {
        interi = "0";
        fraz = std::string(size_t(-esponente - 1), '0') + cifre;
    }
    if (fraz.size() < size_t(decimali)) fraz.resize(size_t(decimali), '0');
    return interi + '.' + fraz;
}

template <typename T> T pari(T v, int decimali) {
    if (!std::isfinite(v)) return v;
    T scala = 1;
    for (int k = 0; k < std::abs(decimali); ++k)
        scala *= 10;
    const T x = decimali >= 0 ? v * scala : v / scala;
    // Rounding the magnitude keeps x - floor(x) exact.
    const T a = std::fabs(x);
    T intero = std::floor(a);
    const T resto = a - intero;
    if (resto > T(0.5) || (resto == T(0.5) && std::fmod(intero, T(2)) != 0)) intero += 1;
    if (intero == 0) return 0;
    const T r = decimali >= 0 ? intero / scala : intero * scala;
    return x < 0 ? -r : r;
}

// The year ending in aa that lies from 50 years before to 49 years after corrente.
int annoDaDueCifre(int aa, int corrente) {
    const int primo = corrente - 50;
    int anno = primo - ((primo % 100) + 100) % 100 + aa;
    if (anno < primo) anno += 100;
    return anno;
}

// A part of a date: blanks around, then 1 to maxCifre ASCII digits.
bool parteData(const QString& parte, int minCifre, int maxCifre, int& valore, int& cifre) {
    const QString t = senzaBlank(parte);
    cifre = int(t.size());
    if (cifre < minCifre || cifre > maxCifre) return false;
    valore = 0;
    for (QChar c : t) {
        if (!isCifra(c)) return false;
        valore = valore * 10 + (c.unicode() - u'0');
    }
    return true;
}

QChar separatoreData(const QString& t) {
    for (QChar c : t) {
        if (c == u'/' || c == u'-' || c == u'.') return c;
    }
    return u'/';
}

ErroreConversione nonNumero(const QString& s) {
    return ErroreConversione(QStringLiteral("'%1' non è un valore numerico valido").arg(s));
}

ErroreConversione nonData(const QString& s) {
    return ErroreConversione(QStringLiteral("'%1' non è una data valida").arg(s));
}

} // namespace

bool Testi::leggiNumero(const QString& s, long double& out) {
    return leggi(s, false, out);
}

long double Testi::numero(const QString& s) {
    long double v = 0;
    if (!leggiNumero(s, v)) throw nonNumero(s);
    return v;
}

long double Testi::numeroOZero(const QString& s) {
    long double v = 0;
    return leggiNumero(s, v) ? v : 0;
}

bool Testi::leggiNumeroRaggruppato(const QString& s, long double& out) {
    return leggi(s, true, out);
}

QString Testi::formatta(long double v, const QString& mask) {
    if (!std::isfinite(v)) return nonFinito(v);
    const Maschera m = leggiMaschera(mask);
    const std::string esatto = diciottoCifre(std::fabs(v), m.maxDecimali + 1);
    const size_t punto = esatto.find('.');
    std::string interi = esatto.substr(0, punto);
    std::string decimali = esatto.substr(punto + 1, size_t(m.maxDecimali));
    std::string cifre = interi + decimali;
    if (esatto[punto + 1 + size_t(m.maxDecimali)] >= '5' && incrementa(cifre))
        cifre.insert(cifre.begin(), '1');
    interi = cifre.substr(0, cifre.size() - decimali.size());
    decimali = cifre.substr(interi.size());
    const bool zero = cifre.find_first_not_of('0') == std::string::npos;
    size_t zeri = 0;
    while (zeri < interi.size() && interi[zeri] == '0' &&
           interi.size() - zeri > size_t(m.minInteri))
        ++zeri;
    interi.erase(0, zeri);
    while (decimali.size() > size_t(m.minDecimali) && decimali.back() == '0')
        decimali.pop_back();
    QString r = (v < 0 && !zero) ? QStringLiteral("-") : QString();
    r += m.gruppi ? conGruppi(interi) : QString::fromLatin1(interi);
    if (!decimali.empty()) r += u',' + QString::fromLatin1(decimali);
    return r;
}

QString Testi::importo(long double v) {
    return formatta(v, QStringLiteral("######0.00"));
}

QString Testi::generale(long double v) {
    if (!std::isfinite(v)) return nonFinito(v);
    if (v == 0) return QStringLiteral("0");
    constexpr size_t significative = 15;
    const std::string esatto = stampaC("%.*Le", cifreEspansione, std::fabs(v));
    std::string cifre = esatto.substr(0, 1) + esatto.substr(2, significative - 1);
    int esponente = std::atoi(esatto.c_str() + esatto.find('e') + 1);
    if (esatto[significative + 1] >= '5' && incrementa(cifre)) {
        cifre.insert(cifre.begin(), '1');
        cifre.pop_back();
        ++esponente;
    }
    cifre.erase(cifre.find_last_not_of('0') + 1);
    const QString segno = v < 0 ? QStringLiteral("-") : QString();
    if (esponente >= 15 || esponente < -4) return segno + formaEsponente(cifre, esponente);
    return segno + formaFissa(cifre, esponente);
}

long double Testi::arrotondaPari(long double v, int decimali) {
    return pari(v, decimali);
}

double Testi::arrotondaPari(double v, int decimali) {
    return pari(v, decimali);
}

QString Testi::testoData(const QDate& d) {
    if (!d.isValid()) return {};
    return QStringLiteral("%1/%2/%3")
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.year(), 4, 10, QLatin1Char('0'));
}

QString Testi::testoDataBreve(const QDate& d) {
    if (!d.isValid()) return {};
    return QStringLiteral("%1/%2/%3")
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(((d.year() % 100) + 100) % 100, 2, 10, QLatin1Char('0'));
}

bool Testi::leggiData(const QString& s, QDate& out) {
    return leggiData(s, out, QDate::currentDate());
}

bool Testi::leggiData(const QString& s, QDate& out, const QDate& oggi) {
    const QString t = trimmed32(s);
    const QStringList parti = t.split(separatoreData(t));
    if (parti.size() != 3) return false;
    int giorno = 0, mese = 0, anno = 0, cifre = 0, cifreAnno = 0;
    if (!parteData(parti[0], 1, 2, giorno, cifre) || !parteData(parti[1], 1, 2, mese, cifre) ||
        !parteData(parti[2], 2, 4, anno, cifreAnno) || cifreAnno == 3)
        return false;
    if (cifreAnno == 2)
        anno = annoDaDueCifre(anno, (oggi.isValid() ? oggi : QDate::currentDate()).year());
    const QDate d(anno, mese, giorno);
    if (!d.isValid()) return false;
    out = d;
    return true;
}

QDate Testi::data(const QString& s) {
    return data(s, QDate::currentDate());
}

QDate Testi::data(const QString& s, const QDate& oggi) {
    QDate d;
    if (!leggiData(s, d, oggi)) throw nonData(s);
    return d;
}

QString Testi::dataIso(const QDate& d) {
    if (!d.isValid()) return {};
    return QStringLiteral("%1-%2-%3")
        .arg(d.year())
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'));
}

QString Testi::dataIso(const QString& testoData) {
    return dataIso(data(testoData));
}

QString Testi::trimmed32(const QString& s) {
    qsizetype inizio = 0;
    qsizetype fine = s.size();
    while (inizio < fine && s[inizio].unicode() <= 32)
        ++inizio;
    while (fine > inizio && s[fine - 1].unicode() <= 32)
        --fine;
    return s.mid(inizio, fine - inizio);
}
