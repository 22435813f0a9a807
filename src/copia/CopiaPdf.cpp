#include "copia/CopiaPdf.h"

#include "report/ErroreReport.h"
#include "report/Pittore.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The sheet, in millimetres.
constexpr double kLarghezzaFoglio = 210;
constexpr double kMargine = 12;
constexpr double kSopra = 12;
constexpr double kFondo = 281; // the lowest text line ends above this
constexpr double kPiede = 285; // the page foot
constexpr double kLarghezza = kLarghezzaFoglio - 2 * kMargine;
constexpr double kCella = 0.9;     // inner margin of a table cell
constexpr double kSpazio = 3.5;    // between sections
constexpr double kDistanza = 6;    // between two sections side by side
constexpr int kRisoluzione = 1200; // of the measuring device, as of the PDF writer

Carattere carattere(double punti, bool grassetto = false) {
    Carattere c;
    c.famiglia = QStringLiteral("Arial");
    c.punti = punti;
    c.grassetto = grassetto;
    return c;
}

const Carattere kTitolo = carattere(14, true);
const Carattere kNota = carattere(7.5);
const Carattere kTitoloSezione = carattere(9.5, true);
const Carattere kEtichetta = carattere(8);
const Carattere kValore = carattere(8.5);
const Carattere kIntestazione = carattere(7.5, true);
const Carattere kCellaTesto = carattere(7.5);
const Carattere kTotale = carattere(12, true);

// Splits texts into the lines that fit a width, measured as the PDF draws them.
class Misura {
public:
    Misura() : m_dispositivo(8, 8, QImage::Format_Mono) {
        const int dpm = int(std::lround(kRisoluzione / 0.0254));
        m_dispositivo.setDotsPerMeterX(dpm);
        m_dispositivo.setDotsPerMeterY(dpm);
    }

    QStringList righe(const QString& testo, const Carattere& c, double larghezzaMm) {
        QStringList out;
        const Voce& f = font(c);
        const double limite = larghezzaMm * kRisoluzione / 25.4;
        for (QString paragrafo : testo.split(QLatin1Char('\n'))) {
            for (QChar& ch : paragrafo)
                if (ch.unicode() < 32 || ch == QChar(0x7F)) ch = QLatin1Char(' ');
            if (f.metrica.horizontalAdvance(paragrafo) <= limite) {
                out << paragrafo;
                continue;
            }
            QTextLayout layout(paragrafo, f.font, &m_dispositivo);
            QTextOption opzione;
            opzione.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(opzione);
            layout.setCacheEnabled(false);
            layout.beginLayout();
            for (QTextLine l = layout.createLine(); l.isValid(); l = layout.createLine()) {
                l.setLineWidth(limite);
                QString riga = paragrafo.mid(l.textStart(), l.textLength());
                while (!riga.isEmpty() && riga.back().isSpace())
                    riga.chop(1);
                out << riga;
            }
            layout.endLayout();
        }
        return out;
    }

    double larghezza(const QString& testo, const Carattere& c) {
        return font(c).metrica.horizontalAdvance(testo) * 25.4 / kRisoluzione;
    }

private:
    struct Voce {
        QFont font;
        QFontMetricsF metrica;
    };

    const Voce& font(const Carattere& c) {
        const QString chiave =
            QStringLiteral("%1/%2/%3").arg(c.famiglia).arg(c.punti).arg(c.grassetto);
        auto it = m_font.find(chiave);
        if (it == m_font.end()) {
            const QFont f(Pittore::font(c), &m_dispositivo);
            it = m_font.insert(chiave, Voce{f, QFontMetricsF(f, &m_dispositivo)});
        }
        return *it;
    }

    QImage m_dispositivo;
    QHash<QString, Voce> m_font;
};

class Impaginatore {
public:
    explicit Impaginatore(const Copia& copia) : m_copia(copia) {
        m_out.nome = QStringLiteral("copia");
        m_out.titolo = copia.documenti.isEmpty() ? copia.nomeFile : copia.documenti[0].titolo;
    }

    Impaginazione esegui() {
        for (qsizetype n = 0; n < m_copia.documenti.size(); ++n)
            documento(m_copia.documenti[n], int(n));
        if (m_out.pagine.isEmpty()) nuovaPagina();
        piedi();
        return std::move(m_out);
    }

private:
    // --- Pages and boxes -------------------------------------------------------------

    void nuovaPagina() {
        Pagina p;
        p.numero = int(m_out.pagine.size()) + 1;
        m_out.pagine.append(std::move(p));
        m_titoliPagine.append(m_titolo);
        m_y = kSopra;
        if (m_tabella) intestazioneTabella(*m_tabella, true);
    }

    double libero() const { return kFondo - m_y; }

    void richiedi(double altezza) {
        if (m_out.pagine.isEmpty() || altezza > libero()) nuovaPagina();
    }

    void testo(double x, double y, double w, const QString& t, const Carattere& c,
               Qt::Alignment a = Qt::AlignLeft) {
        if (t.isEmpty()) return;
        Scatola s;
        s.tipo = TipoElemento::Etichetta;
        s.area = QRectF(x, y, w, altezzaTesto(c));
        s.testo = t;
        s.carattere = c;
        s.allineamento = a;
        s.ritaglia = true;
        m_out.pagine.last().scatole.append(std::move(s));
    }

    void linea(double x, double y, double w, double penna = 0.5) {
        Scatola s;
        s.tipo = TipoElemento::Linea;
        s.area = QRectF(x, y, w, 0);
        s.penna = penna;
        m_out.pagine.last().scatole.append(std::move(s));
    }

    void rettangolo(const QRectF& r, double penna) {
        Scatola s;
        s.tipo = TipoElemento::Rettangolo;
        s.area = r;
        s.penna = penna;
        m_out.pagine.last().scatole.append(std::move(s));
    }

    // --- The document ----------------------------------------------------------------

    void documento(const DocumentoCopia& doc, int numero) {
        m_titolo = doc.titolo;
        nuovaPagina();
        for (const QString& r : m_misura.righe(doc.titolo, kTitolo, kLarghezza)) {
            richiedi(altezzaTesto(kTitolo));
            testo(kMargine, m_y, kLarghezza, r, kTitolo);
            m_y += altezzaTesto(kTitolo);
        }
        QString riga = QStringLiteral("File ") + m_copia.nomeFile;
        if (m_copia.documenti.size() > 1)
            riga += QStringLiteral(", documento %1 di %2")
                        .arg(numero + 1)
                        .arg(m_copia.documenti.size());
        if (!m_copia.formato.isEmpty()) riga += QStringLiteral(", ") + m_copia.formato;
        if (!m_copia.firma.isEmpty()) riga += QStringLiteral("\n") + m_copia.firma;
        paragrafi({riga}, kNota, kMargine, kLarghezza);
        m_y += 1;

        for (qsizetype i = 0; i < doc.sezioni.size(); ++i) {
            const Sezione& s = doc.sezioni[i];
            if (s.affiancata && i + 1 < doc.sezioni.size() && doc.sezioni[i + 1].affiancata) {
                affiancate(s, doc.sezioni[i + 1]);
                ++i;
            } else {
                sezione(s, kMargine, kLarghezza);
            }
        }
        if (!doc.totale.isEmpty()) totale(doc.totale);
    }

    void titoloSezione(const QString& titolo, double x, double w) {
        richiedi(altezzaTesto(kTitoloSezione) + 3 * altezzaTesto(kCellaTesto));
        m_y += kSpazio;
        testo(x, m_y, w, titolo, kTitoloSezione);
        m_y += altezzaTesto(kTitoloSezione) + 0.3;
        linea(x, m_y, w, 1.5);
        m_y += 0.8;
    }

    void paragrafi(const QStringList& testi, const Carattere& c, double x, double w) {
        const double h = altezzaTesto(c);
        for (const QString& t : testi) {
            for (const QString& r : m_misura.righe(t, c, w)) {
                richiedi(h);
                testo(x, m_y, w, r, c);
                m_y += h;
            }
            m_y += 0.6;
        }
    }

    void sezione(const Sezione& s, double x, double w) {
        switch (s.tipo) {
        case Sezione::Tipo::Voci: {
            titoloSezione(s.titolo, x, w);
            for (const Voce& v : s.voci)
                voce(v, x, w);
            break;
        }
        case Sezione::Tipo::Testo:
            titoloSezione(s.titolo, x, w);
            paragrafi(s.paragrafi, kValore, x, w);
            break;
        case Sezione::Tipo::Tabella:
            tabella(s);
            break;
        }
    }

    // A label and its value side by side; a long value goes on over further lines and,
    // at the foot of a page, on the next page.
    void voce(const Voce& v, double x, double w) {
        const double we = w * 0.36;
        const QStringList etichetta = m_misura.righe(v.etichetta, kEtichetta, we - 1);
        const QStringList valore = m_misura.righe(v.valore, kValore, w - we);
        const double h = altezzaTesto(kValore);
        const qsizetype n = std::max(etichetta.size(), valore.size());
        for (qsizetype i = 0; i < n; ++i) {
            richiedi(h);
            if (i < etichetta.size()) testo(x, m_y + 0.3, we - 1, etichetta[i], kEtichetta);
            if (i < valore.size()) testo(x + we, m_y, w - we, valore[i], kValore);
            m_y += h;
        }
    }

    double altezzaVoci(const Sezione& s, double w) {
        double h = kSpazio + altezzaTesto(kTitoloSezione) + 1.1;
        const double we = w * 0.36;
        for (const Voce& v : s.voci) {
            const qsizetype n = std::max(m_misura.righe(v.etichetta, kEtichetta, we - 1).size(),
                                         m_misura.righe(v.valore, kValore, w - we).size());
            h += n * altezzaTesto(kValore);
        }
        return h;
    }

    // Seller and buyer: two blocks side by side, kept together on one page when they fit.
    void affiancate(const Sezione& a, const Sezione& b) {
        const double w = (kLarghezza - kDistanza) / 2;
        const double h = std::max(altezzaVoci(a, w), altezzaVoci(b, w));
        if (h > kFondo - kSopra || a.tipo != Sezione::Tipo::Voci || b.tipo != Sezione::Tipo::Voci) {
            sezione(a, kMargine, kLarghezza);
            sezione(b, kMargine, kLarghezza);
            return;
        }
        richiedi(h);
        const double inizio = m_y;
        sezione(a, kMargine, w);
        const double fineA = m_y;
        m_y = inizio;
        sezione(b, kMargine + w + kDistanza, w);
        m_y = std::max(fineA, m_y);
    }

    // --- Tables ----------------------------------------------------------------------

    struct Colonne {
        QList<double> x;
        QList<double> w;
    };

    Colonne colonne(const Sezione& s) const {
        Colonne c;
        double somma = 0;
        for (const Colonna& col : s.colonne)
            somma += col.larghezza;
        double x = kMargine;
        for (const Colonna& col : s.colonne) {
            const double w = kLarghezza * col.larghezza / (somma > 0 ? somma : 1);
            c.x << x;
            c.w << w;
            x += w;
        }
        return c;
    }

    void intestazioneTabella(const Sezione& s, bool segue) {
        const Colonne c = colonne(s);
        if (segue) {
            testo(kMargine, m_y, kLarghezza, s.titolo + QStringLiteral(" (segue)"), kTitoloSezione);
            m_y += altezzaTesto(kTitoloSezione) + 1;
        }
        QList<QStringList> righe;
        qsizetype n = 1;
        for (qsizetype i = 0; i < s.colonne.size(); ++i) {
            righe << m_misura.righe(s.colonne[i].titolo, kIntestazione, c.w[i] - 2 * kCella);
            n = std::max(n, righe.last().size());
        }
        const double h = altezzaTesto(kIntestazione);
        linea(kMargine, m_y, kLarghezza, 1);
        for (qsizetype i = 0; i < s.colonne.size(); ++i)
            for (qsizetype r = 0; r < righe[i].size(); ++r)
                testo(c.x[i] + kCella, m_y + kCella + r * h, c.w[i] - 2 * kCella, righe[i][r],
                      kIntestazione, s.colonne[i].destra ? Qt::AlignRight : Qt::AlignLeft);
        m_y += n * h + 2 * kCella;
        linea(kMargine, m_y, kLarghezza, 1);
    }

    void tabella(const Sezione& s) {
        titoloSezione(s.titolo, kMargine, kLarghezza);
        intestazioneTabella(s, false);
        m_tabella = &s;
        const Colonne c = colonne(s);
        const double h = altezzaTesto(kCellaTesto);
        // A row that fits a page is never split; a longer one goes on over pages.
        const double pagina = kFondo - kSopra - 4 * h - altezzaTesto(kTitoloSezione);
        QList<QStringList> celle(s.colonne.size());
        for (const QStringList& riga : s.righe) {
            qsizetype n = 1;
            for (qsizetype i = 0; i < s.colonne.size(); ++i) {
                celle[i] = m_misura.righe(riga.value(i), kCellaTesto, c.w[i] - 2 * kCella);
                n = std::max(n, celle[i].size());
            }
            const double intera = n * h + 2 * kCella;
            if (intera > libero() && intera <= pagina) nuovaPagina();
            qsizetype inizio = 0;
            while (inizio < n) {
                qsizetype entrano = qsizetype(std::floor((libero() - 2 * kCella) / h));
                if (entrano <= 0) {
                    nuovaPagina();
                    continue;
                }
                const qsizetype k = std::min(entrano, n - inizio);
                for (qsizetype i = 0; i < s.colonne.size(); ++i)
                    for (qsizetype r = inizio; r < std::min(inizio + k, celle[i].size()); ++r)
                        testo(c.x[i] + kCella, m_y + kCella + (r - inizio) * h, c.w[i] - 2 * kCella,
                              celle[i][r], kCellaTesto,
                              s.colonne[i].destra ? Qt::AlignRight : Qt::AlignLeft);
                m_y += k * h + 2 * kCella;
                linea(kMargine, m_y, kLarghezza, 0.4);
                inizio += k;
                if (inizio < n) nuovaPagina();
            }
        }
        m_tabella = nullptr;
    }

    void totale(const QString& importo) {
        const double h = altezzaTesto(kTotale) + 3;
        richiedi(h + kSpazio * 2);
        m_y += kSpazio * 2;
        rettangolo(QRectF(kMargine, m_y, kLarghezza, h), 2);
        testo(kMargine + 3, m_y + 1.5, kLarghezza / 2, QStringLiteral("Totale documento"), kTotale);
        testo(kMargine + kLarghezza / 2, m_y + 1.5, kLarghezza / 2 - 3, importo, kTotale,
              Qt::AlignRight);
        m_y += h;
    }

    // "Pag. N di M" and what the page belongs to, at the foot of every page.
    void piedi() {
        const int totale = int(m_out.pagine.size());
        for (int i = 0; i < totale; ++i) {
            Pagina& p = m_out.pagine[i];
            Scatola riga;
            riga.tipo = TipoElemento::Linea;
            riga.area = QRectF(kMargine, kPiede - 1, kLarghezza, 0);
            riga.penna = 0.5;
            p.scatole.append(riga);
            Scatola numero;
            numero.tipo = TipoElemento::NumeroPagina;
            numero.nome = QStringLiteral("pagina");
            numero.area = QRectF(kMargine + kLarghezza - 40, kPiede, 40, altezzaTesto(kNota));
            numero.testo = QStringLiteral("Pag. %1 di %2").arg(i + 1).arg(totale);
            numero.carattere = kNota;
            numero.allineamento = Qt::AlignRight;
            numero.ritaglia = true;
            p.scatole.append(numero);
            Scatola chi = numero;
            chi.tipo = TipoElemento::Etichetta;
            chi.nome = QStringLiteral("piede");
            chi.area = QRectF(kMargine, kPiede, kLarghezza - 45, altezzaTesto(kNota));
            chi.allineamento = Qt::AlignLeft;
            const QString testoPiede =
                m_titoliPagine.value(i) + QStringLiteral(" - ") + m_copia.nomeFile;
            const QStringList righe = m_misura.righe(testoPiede, kNota, kLarghezza - 45);
            chi.testo = righe.value(0);
            p.scatole.append(chi);
        }
    }

    const Copia& m_copia;
    Impaginazione m_out;
    Misura m_misura;
    QStringList m_titoliPagine;
    QString m_titolo;
    const Sezione* m_tabella = nullptr; // the table being laid out: its heading repeats
    double m_y = kSopra;
};

void scrivi(const Impaginazione& imp, QIODevice& dispositivo) {
    QPdfWriter writer(&dispositivo);
    writer.setResolution(kRisoluzione);
    writer.setPageLayout(QPageLayout(QPageSize(imp.formato), imp.orientamento, QMarginsF()));
    writer.setTitle(imp.titolo);
    writer.setCreator(QStringLiteral("GFE"));
    QPainter painter;
    if (!painter.begin(&writer)) throw ErroreReport(QStringLiteral("Impossibile scrivere il PDF"));
    Pittore::dipingi(imp, writer, painter);
    painter.end();
}

} // namespace

Impaginazione impaginaCopia(const Copia& copia) {
    return Impaginatore(copia).esegui();
}

void pdfCopia(const Copia& copia, const QString& percorso) {
    Pittore::pdf(impaginaCopia(copia), percorso);
}

QByteArray pdfCopia(const Copia& copia) {
    const Impaginazione imp = impaginaCopia(copia);
    QByteArray dati;
    QBuffer buffer(&dati);
    buffer.open(QIODevice::WriteOnly);
    scrivi(imp, buffer);
    return dati;
}
