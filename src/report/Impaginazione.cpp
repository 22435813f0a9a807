#include "Impaginazione.h"

#include "ErroreReport.h"
#include "Fonti.h"
#include "Pittore.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QStringList>

#include <algorithm>
#include <limits>

QList<int> Pagina::righe() const {
    QList<int> out;
    for (const BandaStampata& b : bande)
        if (b.tipo == TipoBanda::Dettaglio) out << b.riga;
    return out;
}

QStringList Pagina::testi(const QString& nome) const {
    QStringList out;
    for (const Scatola& s : scatole)
        if (s.nome == nome) out << s.testo;
    return out;
}

double altezzaTesto(const Carattere& c) {
    return c.punti * 25.4 / 72.0 * 1.25;
}

namespace {

constexpr double kPennaBordo = 1;
constexpr double kTolleranza = 1e-9;
constexpr double kPuntiMinimi = 1; // a shrunk text never gets smaller than this
constexpr int kDpiMisura = 1200;   // the resolution of the PDF files

// Texts are measured at the resolution they are printed at.
const QImage& misuratore() {
    static const QImage immagine = [] {
        QImage i(1, 1, QImage::Format_Mono);
        const int puntiPerMetro = qRound(kDpiMisura / 0.0254);
        i.setDotsPerMeterX(puntiPerMetro);
        i.setDotsPerMeterY(puntiPerMetro);
        return i;
    }();
    return immagine;
}

} // namespace

double larghezzaTesto(const QString& testo, const Carattere& c) {
    if (testo.isEmpty() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    const QFontMetricsF metriche(Pittore::font(c), &misuratore());
    return metriche.horizontalAdvance(testo) * 25.4 / kDpiMisura;
}

QStringList righeACapo(const QString& testo, double larghezza, const Carattere& c) {
    QStringList righe;
    QString riga;
    const auto entra = [&](const QString& t) { return larghezzaTesto(t, c) <= larghezza; };
    for (const QString& parola : testo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString prova = riga.isEmpty() ? parola : riga + QLatin1Char(' ') + parola;
        if (entra(prova)) {
            riga = prova;
            continue;
        }
        if (!riga.isEmpty()) righe << riga;
        riga.clear();
        // A word longer than the line is broken where the line ends.
        for (const QChar ch : parola) {
            if (!riga.isEmpty() && !entra(riga + ch)) {
                righe << riga;
                riga.clear();
            }
            riga += ch;
        }
    }
    if (!riga.isEmpty() || righe.isEmpty()) righe << riga;
    return righe;
}

namespace {

// A band about to be placed: its copy after the hook, its boxes from the band's corner
// with every text resolved and fitted, and its height once grown.
struct BandaComposta {
    Banda banda;
    QList<Scatola> scatole;
    double altezza = 0;
};

// Fits the texts that must stay inside their boxes; returns what the band grows by.
double adatta(QList<Scatola>& scatole, double altezza) {
    double crescita = 0;
    double fondoTesti = std::numeric_limits<double>::max();
    QList<bool> cresciute(scatole.size(), false);
    for (qsizetype i = 0; i < scatole.size(); ++i) {
        Scatola& s = scatole[i];
        if (!s.eTesto() || s.testo.isEmpty() || s.area.width() <= 0) continue;
        if (s.aCapo) {
            const QStringList righe = righeACapo(s.testo, s.area.width(), s.carattere);
            s.testo = righe.join(QLatin1Char('\n'));
            const double riga = altezzaTesto(s.carattere);
            fondoTesti = std::min(fondoTesti, s.area.top() + s.area.height());
            if (righe.size() > 1) {
                const double aggiunta = riga * double(righe.size() - 1);
                s.area.setHeight(s.area.height() + aggiunta);
                crescita = std::max(crescita, aggiunta);
                cresciute[i] = true;
            }
        } else if (s.restringi) {
            const double w = larghezzaTesto(s.testo, s.carattere);
            if (w > s.area.width())
                s.carattere.punti =
                    std::max(kPuntiMinimi, s.carattere.punti * s.area.width() / w * 0.99);
        }
    }
    if (crescita <= 0) return 0;
    for (qsizetype i = 0; i < scatole.size(); ++i) {
        Scatola& s = scatole[i];
        if (cresciute[i]) continue;
        const bool verticale = s.tipo == TipoElemento::Linea && s.area.width() == 0;
        if (verticale && s.area.bottom() >= altezza - kTolleranza)
            s.area.setBottom(s.area.bottom() + crescita);
        else if (s.area.top() >= fondoTesti - kTolleranza)
            s.area.translate(0, crescita);
    }
    return crescita;
}

class Impaginatore {
public:
    Impaginatore(const Report& r, const Fonti& f) : m_report(r), m_fonti(f) {
        m_area = r.stampabile();
        m_out.nome = r.nome;
        m_out.titolo = r.titolo;
        m_out.formato = r.formato;
        m_out.orientamento = r.orientamento;
    }

    Impaginazione esegui() {
        const double testa = m_report.intestazione ? m_report.intestazione->altezza : 0;
        const double piede = m_report.piede ? m_report.piede->altezza : 0;
        const double riga = m_report.dettaglio ? m_report.dettaglio->altezza : 0;
        if (testa + piede + riga > m_area.height() + 1e-9)
            throw ErroreReport(QStringLiteral("Le bande del report %1 non entrano nella pagina")
                                   .arg(m_report.nome));
        int righe = 0;
        if (m_report.dettaglio) righe = m_fonti.sorgente(m_report.tabellaDettaglio).righe();
        if (righe == 0 && !m_report.stampaSenzaRighe) return m_out;
        m_fondo = m_area.bottom() - piede;
        nuovaPagina();
        for (int r = 0; r < righe; ++r) {
            const BandaComposta b = componi(*m_report.dettaglio, r);
            if (m_y + b.altezza > m_fondo + kTolleranza && !pagina().righe().isEmpty()) {
                chiudiPagina(false);
                nuovaPagina();
            }
            if (m_y + b.altezza > m_fondo + kTolleranza)
                throw ErroreReport(QStringLiteral("La riga %1 del report %2 non entra nella "
                                                  "pagina")
                                       .arg(r + 1)
                                       .arg(m_report.nome));
            poni(b, m_y, r);
            m_y += b.altezza;
        }
        chiudiPagina(true);
        return m_out;
    }

private:
    Pagina& pagina() { return m_out.pagine.last(); }

    void nuovaPagina() {
        Pagina p;
        p.numero = int(m_out.pagine.size()) + 1;
        m_out.pagine.append(p);
        m_y = m_area.top();
        if (m_report.intestazione && (p.numero > 1 || m_report.intestazioneSullaPrima)) {
            metti(*m_report.intestazione, m_y, -1);
            m_y += m_report.intestazione->altezza;
        }
    }

    void chiudiPagina(bool ultima) {
        if (m_report.piede && (!ultima || m_report.piedeSullUltima))
            metti(*m_report.piede, m_fondo, -1);
        if (m_report.cornice) {
            Scatola s;
            s.tipo = TipoElemento::Rettangolo;
            s.area = m_area;
            s.penna = kPennaBordo;
            pagina().scatole.append(s);
        }
    }

    void linea(double x1, double y1, double x2, double y2) {
        Scatola s;
        s.tipo = TipoElemento::Linea;
        s.area = QRectF(QPointF(x1, y1), QPointF(x2, y2));
        s.penna = kPennaBordo;
        pagina().scatole.append(s);
    }

    // Places one band with its top at y; riga is the detail row it prints.
    void metti(const Banda& definizione, double y, int riga) {
        poni(componi(definizione, riga), y, riga);
    }

    BandaComposta componi(const Banda& definizione, int riga) const {
        BandaComposta c;
        c.banda = definizione;
        if (c.banda.primaDellaStampa) c.banda.primaDellaStampa(c.banda, m_fonti);
        for (const Elemento& e : c.banda.elementi)
            c.scatole.append(scatola(e, QPointF(), riga));
        c.altezza = c.banda.altezza + adatta(c.scatole, c.banda.altezza);
        return c;
    }

    void poni(const BandaComposta& c, double y, int riga) {
        const Banda& b = c.banda;
        const QRectF area(m_area.left(), y, m_area.width(), c.altezza);
        pagina().bande.append({b.tipo, b.nome, area, riga});
        for (Scatola s : c.scatole) {
            s.area.translate(area.topLeft());
            pagina().scatole.append(s);
        }
        if (b.bordi.sopra) linea(area.left(), area.top(), area.right(), area.top());
        if (b.bordi.sotto) linea(area.left(), area.bottom(), area.right(), area.bottom());
        if (b.bordi.sinistra) linea(area.left(), area.top(), area.left(), area.bottom());
        if (b.bordi.destra) linea(area.right(), area.top(), area.right(), area.bottom());
    }

    Scatola scatola(const Elemento& e, QPointF origine, int riga) const {
        Scatola s;
        s.tipo = e.tipo;
        s.nome = e.nome;
        s.area = e.area.translated(origine);
        s.carattere = e.carattere;
        s.allineamento = e.allineamento;
        s.penna = e.penna;
        s.ritaglia = e.ritaglia;
        s.aCapo = e.aCapo && !e.ritaglia;
        s.restringi = e.restringi && !e.ritaglia;
        switch (e.tipo) {
        case TipoElemento::Etichetta:
            s.testo = e.testo;
            break;
        case TipoElemento::Campo:
            s.testo = riga >= 0 && e.tabella == m_report.tabellaDettaglio
                          ? m_fonti.sorgente(e.tabella).testo(riga, e.colonna)
                          : m_fonti.testo(e.tabella, e.colonna);
            break;
        case TipoElemento::NumeroPagina:
            s.testo = QString::number(m_out.pagine.last().numero);
            break;
        case TipoElemento::Rettangolo:
        case TipoElemento::Linea:
            break;
        }
        if (s.eTesto() && s.area.height() <= 0) s.area.setHeight(altezzaTesto(s.carattere));
        return s;
    }

    const Report& m_report;
    const Fonti& m_fonti;
    QRectF m_area;
    Impaginazione m_out;
    double m_y = 0;
    double m_fondo = 0;
};

} // namespace

Impaginazione impagina(const Report& report, const Fonti& fonti) {
    return Impaginatore(report, fonti).esegui();
}
