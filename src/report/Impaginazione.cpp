#include "Impaginazione.h"

#include "ErroreReport.h"
#include "Fonti.h"

#include <QStringList>

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
            if (m_y + riga > m_fondo + 1e-9 && !pagina().righe().isEmpty()) {
                chiudiPagina(false);
                nuovaPagina();
            }
            metti(*m_report.dettaglio, m_y, r);
            m_y += riga;
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
        Banda b = definizione;
        if (b.primaDellaStampa) b.primaDellaStampa(b, m_fonti);
        const QRectF area(m_area.left(), y, m_area.width(), b.altezza);
        pagina().bande.append({b.tipo, b.nome, area, riga});
        for (const Elemento& e : b.elementi)
            pagina().scatole.append(scatola(e, area.topLeft(), riga));
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
