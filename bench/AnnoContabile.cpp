#include "AnnoContabile.h"

#include <QDate>
#include <QMap>
#include <cmath>
#include <random>

namespace {

// The bookkeeping program's rounding to the cent.
double centesimi(double v) {
    return std::round(v * 100) / 100;
}

QString testo(const QString& s) {
    QString t = s;
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString num(double v) {
    return QString::number(v, 'f', 4);
}

// Ten digits followed by their check digit: a number the exchange system accepts as a
// Partita IVA (or as a company's tax code).
QString conCifraDiControllo(const QString& dieci) {
    int somma = 0;
    for (int i = 0; i < 10; ++i) {
        int d = dieci.at(i).digitValue();
        if (i % 2 == 1) d = d * 2 > 9 ? d * 2 - 9 : d * 2;
        somma += d;
    }
    return dieci + QString::number((10 - somma % 10) % 10);
}

struct Cliente {
    QString ragSoc, indirizzo, cap, citta, prov, partiva, codFis, codice, pec;
};

// A fixed register of customers: mostly private companies with a seven-character
// code, some known only by PEC, a few public offices.
Cliente cliente(int i) {
    static const char* const citta[][3] = {{"VERONA", "37100", "VR"},  {"VICENZA", "36100", "VI"},
                                           {"PADOVA", "35100", "PD"},  {"MILANO", "20100", "MI"},
                                           {"BOLOGNA", "40100", "BO"}, {"TRENTO", "38100", "TN"}};
    const auto& c = citta[i % 6];
    Cliente k;
    k.indirizzo = QStringLiteral("VIA DEL LAVORO %1").arg(1 + i);
    k.citta = QString::fromLatin1(c[0]);
    k.cap = QString::fromLatin1(c[1]);
    k.prov = QString::fromLatin1(c[2]);
    k.partiva = conCifraDiControllo(
        QStringLiteral("0%1").arg(100000000 + i * 7919, 9, 10, QLatin1Char('0')));
    k.codFis = k.partiva;
    if (i % 25 == 7) {
        k.ragSoc = QStringLiteral("COMUNE DI %1").arg(k.citta);
        k.codice = QStringLiteral("UF%1").arg(QString::number(1000 + i).right(4));
        k.partiva.clear();
        k.codFis = conCifraDiControllo(QStringLiteral("8%1").arg(i, 9, 10, QLatin1Char('0')));
    } else if (i % 10 == 3) {
        k.ragSoc = QStringLiteral("STUDIO TECNICO %1 & ASSOCIATI").arg(i);
        k.pec = QStringLiteral("studio%1@pec.it").arg(i);
    } else {
        k.ragSoc = QStringLiteral("CLIENTE %1 SRL").arg(i);
        k.codice = QStringLiteral("C%1").arg(i, 6, 10, QLatin1Char('0'));
    }
    return k;
}

Cliente clienteEstero(int i, bool intra) {
    Cliente k;
    k.ragSoc =
        intra ? QStringLiteral("HANDEL %1 GMBH").arg(i) : QStringLiteral("EXPORT %1 LTD").arg(i);
    k.indirizzo = QStringLiteral("STREET %1").arg(i);
    k.cap = QStringLiteral("00000");
    k.citta = intra ? QStringLiteral("MUNCHEN") : QStringLiteral("LONDON");
    k.prov = intra ? QStringLiteral("IN") : QStringLiteral("EX");
    k.partiva = QStringLiteral("%1").arg(900000000 + i);
    return k;
}

class Generatore {
public:
    explicit Generatore(const ParametriAnno& p) : m_p(p), m_rng(p.seme), m_prot(p.primoProtocollo) {
        for (const char* r : {"FV", "NC", "NI", "FD", "FI", "BO"})
            m_numero[QString::fromLatin1(r)] = p.primoNumero;
    }

    QStringList istruzioni() {
        for (int i = 0; i < m_p.documenti; ++i)
            documento(i);
        // Documents of 2022: never imported.
        for (int i = 0; i < std::max(1, m_p.documenti / 100); ++i)
            documento(i, 2022);
        QStringList out;
        for (int da = 0; da < m_testate.size(); da += 500)
            out << QStringLiteral(
                       "INSERT INTO testata (protocollo, anno, cl_fo, reg_doc, tipo_doc, num_doc, "
                       "data, rag_soc, indirizzo, cap, citta, dest_soc, dest_indirizzo, dest_cap, "
                       "dest_citta, partiva, cod_fis, imponibile1, iva1, aliquota1, imponibile2, "
                       "iva2, aliquota2, imponibile3, iva3, aliquota3, imponibile4, iva4, "
                       "aliquota4, imponibile5, iva5, aliquota5, val_sconto1, spese_tr, "
                       "aliq_spese, bolli, abbuono, spese_inc, prot_f_diff, prov, "
                       "cod_destinatario, pec) VALUES ") +
                       m_testate.mid(da, 500).join(QLatin1Char(','));
        for (int da = 0; da < m_righe.size(); da += 2000)
            out << QStringLiteral("INSERT INTO dettag (prot_testa, protocollo, descrizione, colli, "
                                  "quantita, pr_lordo, sc_1, sc_2, sc_3, um, aliquota, cod_art, "
                                  "categoria, origine, lotto) VALUES ") +
                       m_righe.mid(da, 2000).join(QLatin1Char(','));
        return out;
    }

private:
    quint32 caso(quint32 n) { return m_rng() % n; }

    QString registro() {
        const quint32 r = caso(100);
        return r < 58   ? QStringLiteral("FV")
               : r < 66 ? QStringLiteral("NC")
               : r < 70 ? QStringLiteral("NI")
               : r < 90 ? QStringLiteral("FD")
                        : QStringLiteral("FI");
    }

    // The lines of a document: exactly `quante`, with their rates.
    void righe(int prot, int quante, bool esente, QMap<double, double>& imponibili) {
        static const double aliquote[] = {22, 22, 22, 10, 4};
        for (int r = 0; r < quante; ++r) {
            const double aliquota = esente ? 0 : aliquote[caso(5)];
            const bool colli = caso(10) == 0;
            const int nColli = 1 + int(caso(6));
            const double quantita = colli ? 6.0 * nColli : 1 + caso(20) + (caso(4) == 0 ? 0.5 : 0);
            const double prezzo = (100 + caso(20000)) / 100.0;
            const double sc1 = caso(5) == 0 ? (caso(2) ? 10 : 5) : 0;
            const double sc2 = sc1 > 0 && caso(4) == 0 ? 5 : 0;
            const double netto =
                std::nearbyint(prezzo * ((100 - sc1) / 100) * ((100 - sc2) / 100) * 10000) / 10000;
            imponibili[aliquota] += netto * float(colli ? nColli : quantita);
            m_righe << QStringLiteral("(%1,%2,%3,%4,%5,%6,%7,%8,0,%9,%10,%11,%12,'IT',%13)")
                           .arg(prot)
                           .arg(++m_riga)
                           .arg(testo(
                               QStringLiteral("Articolo %1 - misura %2/4").arg(caso(900)).arg(r)))
                           .arg(colli ? nColli : 0)
                           .arg(num(quantita), num(prezzo), num(sc1), num(sc2))
                           .arg(testo(colli ? QStringLiteral("CL") : QStringLiteral("PZ")))
                           .arg(num(aliquota))
                           .arg(testo(
                               QStringLiteral("ART%1").arg(caso(900), 4, 10, QLatin1Char('0'))))
                           .arg(testo(QStringLiteral("A%1").arg(caso(9))))
                           .arg(testo(QStringLiteral("L%1").arg(caso(100000))));
        }
    }

    QString testata(int prot, int anno, const QString& reg, const QDate& data, const Cliente& k,
                    const QMap<double, double>& imponibili, int protFDiff) {
        // Rates in slots 1..3 as the bookkeeping program keeps them: one per rate.
        QStringList slot;
        int n = 0;
        for (auto it = imponibili.constEnd(); it != imponibili.constBegin() && n < 5;) {
            --it;
            const double imp = centesimi(it.value());
            slot << num(imp) << num(centesimi(imp * it.key() / 100)) << num(it.key());
            ++n;
        }
        for (; n < 5; ++n)
            slot << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0");
        const bool spese = caso(8) == 0;
        return QStringLiteral(
                   "(%1,%2,'C',%3,'DOCUMENTO',%4,'%5',%6,%7,%8,%9,%10,%11,%12,%13,%14,%15,"
                   "%16,0,%17,22,0,0,0,%18,%19,%20,%21)")
            .arg(prot)
            .arg(anno)
            .arg(testo(reg))
            .arg(m_numero[reg]++)
            .arg(data.toString(QStringLiteral("yyyy-MM-dd")))
            .arg(testo(k.ragSoc), testo(k.indirizzo), testo(k.cap), testo(k.citta))
            .arg(testo(k.ragSoc), testo(QStringLiteral("MAGAZZINO ") + k.indirizzo), testo(k.cap),
                 testo(k.citta), testo(k.partiva), testo(k.codFis))
            .arg(slot.join(QLatin1Char(',')))
            .arg(spese ? QStringLiteral("12.5") : QStringLiteral("0"))
            .arg(protFDiff > 0 ? QString::number(protFDiff) : QStringLiteral("NULL"))
            .arg(testo(k.prov), testo(k.codice), testo(k.pec));
    }

    void documento(int i, int anno = 2023) {
        const QString reg = registro();
        const QDate data = QDate(anno, 1, 2).addDays(i * 362 / std::max(1, m_p.documenti));
        const bool intra = reg == u"NI" || (reg == u"FI" && caso(2) == 0);
        const bool estero = reg == u"NI" || reg == u"FI";
        const Cliente k = estero ? clienteEstero(int(caso(30)), intra) : cliente(int(caso(120)));
        // Exactly `righe` lines on average: -2..+2 in turn.
        const int quante = std::max(1, m_p.righe + (i % 5) - 2);
        const int prot = m_prot++;
        QMap<double, double> imponibili;
        if (reg != u"FD") {
            righe(prot, quante, estero, imponibili);
        } else {
            // Two or three delivery notes share the lines; now and then one of
            // 2022 points at the invoice as well and is never billed by it.
            const int note = quante >= 3 ? 2 + int(caso(2)) : 1;
            for (int b = 0; b < note; ++b) {
                const int protBolla = m_prot++;
                QMap<double, double> impBolla;
                const int parte = quante / note + (b < quante % note ? 1 : 0);
                righe(protBolla, parte, false, impBolla);
                for (auto it = impBolla.cbegin(); it != impBolla.cend(); ++it)
                    imponibili[it.key()] += it.value();
                m_testate << testata(protBolla, anno, QStringLiteral("BO"), data.addDays(-b - 1), k,
                                     impBolla, prot);
            }
            if (caso(20) == 0) {
                const int protVecchia = m_prot++;
                QMap<double, double> impVecchia;
                righe(protVecchia, 1, false, impVecchia);
                m_testate << testata(protVecchia, 2022, QStringLiteral("BO"), QDate(2022, 12, 30),
                                     k, impVecchia, prot);
            }
        }
        m_testate << testata(prot, anno, reg, data, k, imponibili, 0);
    }

    ParametriAnno m_p;
    std::mt19937 m_rng;
    int m_prot;
    int m_riga = 0;
    QMap<QString, int> m_numero;
    QStringList m_testate;
    QStringList m_righe;
};

} // namespace

QStringList annoContabile(const ParametriAnno& parametri) {
    return Generatore(parametri).istruzioni();
}
