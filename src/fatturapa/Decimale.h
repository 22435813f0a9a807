#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <optional>

// Exact decimal number for the amount checks: an integer count of 10^-12.
// The amounts of a FatturaPA document have at most 12 integer digits and 8
// decimals, so sums and the products of two of them stay well inside the
// 128-bit range; percentages and products round half away from zero at the
// twelfth decimal, far below any tolerance of the checks.
class Decimale {
public:
    Decimale() = default;

    // "-12.50", "3", "0.125"; nullopt for anything else (blanks, exponent,
    // grouping, more than 12 decimals or 18 integer digits).
    static std::optional<Decimale> leggi(QStringView testo);
    static Decimale intero(long long n);

    Decimale operator+(const Decimale& altro) const;
    Decimale operator-(const Decimale& altro) const;
    Decimale operator*(const Decimale& altro) const;
    Decimale& operator+=(const Decimale& altro);
    // percentuale / 100 of this value.
    Decimale percentuale(const Decimale& percentuale) const;
    // Rounded half away from zero to the given decimals (0..12).
    Decimale arrotondato(int decimali) const;
    Decimale assoluto() const;
    bool zero() const { return m_valore == 0; }

    // Point as decimal separator, rounded to the given decimals: "-19.50".
    QString testo(int decimali = 2) const;

    auto operator<=>(const Decimale&) const = default;

private:
    using Grezzo = __int128;
    static constexpr int cifre = 12;

    explicit Decimale(Grezzo valore) : m_valore(valore) {}
    static Grezzo potenza(int esponente);

    Grezzo m_valore = 0;
};
