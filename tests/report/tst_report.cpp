#include "LetturaPdf.h"
#include "report/ErroreReport.h"
#include "report/Fonti.h"
#include "report/Impaginazione.h"
#include "report/Pittore.h"

#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

namespace {

// Rows held in memory: column "n" is the row number from 1, column "nome" a text.
class Righe : public Sorgente {
public:
    explicit Righe(int n, int corrente = 0) : m_n(n), m_corrente(n ? corrente : -1) {}
    int righe() const override { return m_n; }
    int corrente() const override { return m_corrente; }
    QString testo(int riga, const QString& colonna) const override {
        if (colonna == QLatin1String("n")) return QString::number(riga + 1);
        if (colonna == QLatin1String("nome")) return QStringLiteral("Riga%1").arg(riga + 1);
        throw ErroreReport(QStringLiteral("Colonna ") + colonna);
    }

private:
    int m_n;
    int m_corrente;
};

Carattere arial(double punti) {
    Carattere c;
    c.punti = punti;
    return c;
}

// A4 with 10 mm margins: 277 mm for a 50 mm header, 30 mm footer and 10 mm rows, so 19
// rows to a page.
Report prova() {
    Report r;
    r.nome = QStringLiteral("Prova");
    r.cornice = true;
    r.tabellaDettaglio = QStringLiteral("righe");
    Banda h(TipoBanda::Intestazione, QStringLiteral("testa"), 50);
    h.aggiungi(Elemento::etichetta(20, 30, 40, QStringLiteral("Titolo"), arial(12)))
        .chiamato(QStringLiteral("titolo"));
    h.aggiungi(Elemento::numeroPagina(150, 5, 20, arial(10), Qt::AlignRight))
        .chiamato(QStringLiteral("pag"));
    h.bordi.sotto = true;
    r.intestazione = h;
    Banda d(TipoBanda::Dettaglio, QStringLiteral("riga"), 10);
    d.aggiungi(Elemento::campo(5, 2, 30, QStringLiteral("righe"), QStringLiteral("nome"), arial(8)))
        .chiamato(QStringLiteral("nome"));
    r.dettaglio = d;
    Banda p(TipoBanda::PiePagina, QStringLiteral("piede"), 30);
    p.aggiungi(Elemento::campo(100, 3, 50, QStringLiteral("righe"), QStringLiteral("n"), arial(10),
                               Qt::AlignRight))
        .chiamato(QStringLiteral("corrente"));
    p.aggiungi(Elemento::rettangolo(0, 0, 190, 30, 2));
    r.piede = p;
    return r;
}

} // namespace

class TstReport : public QObject {
    Q_OBJECT

private slots:
    void rowsFlowOverPagesWithHeaderAndFooterOnEach() {
        const Righe righe(60, 4);
        Fonti f;
        f.aggiungi(QStringLiteral("righe"), righe);
        const Impaginazione imp = impagina(prova(), f);
        QCOMPARE(imp.pagine.size(), 4);
        int attesa = 0;
        for (const Pagina& p : imp.pagine) {
            QCOMPARE(p.bande.first().nome, QString("testa"));
            QCOMPARE(p.bande.first().area, QRectF(10, 10, 190, 50));
            QCOMPARE(p.bande.last().nome, QString("piede"));
            QCOMPARE(p.bande.last().area, QRectF(10, 257, 190, 30)); // at the page's foot
            QCOMPARE(p.testi("pag"), QStringList{QString::number(p.numero)});
            // A footer outside the detail reads the current row of the table.
            QCOMPARE(p.testi("corrente"), QStringList{"5"});
            for (int r : p.righe())
                QCOMPARE(r, attesa++);
        }
        QCOMPARE(imp.pagine[0].righe().size(), 19);
        QCOMPARE(imp.pagine[3].righe().size(), 3);
        QCOMPARE(attesa, 60);
        const Pagina& prima = imp.pagine.first();
        QCOMPARE(prima.testi("nome").first(), QString("Riga1"));
        // Row 2 lies under row 1; every box is placed from its band's corner.
        QList<QRectF> nomi;
        for (const Scatola& s : prima.scatole)
            if (s.nome == QLatin1String("nome")) nomi << s.area;
        QCOMPARE(nomi[1].topLeft(), QPointF(15, 72));
        QCOMPARE(prima.scatole.last().area, QRectF(10, 10, 190, 277)); // the page frame
    }

    void withoutRowsOnePageOrNone() {
        const Righe vuota(0);
        Fonti f;
        f.aggiungi(QStringLiteral("righe"), vuota);
        Report r = prova();
        const Impaginazione imp = impagina(r, f);
        QCOMPARE(imp.pagine.size(), 1);
        QCOMPARE(imp.pagine[0].bande.size(), 2);
        QCOMPARE(imp.pagine[0].testi("corrente"), QStringList{""});
        r.stampaSenzaRighe = false;
        QCOMPARE(impagina(r, f).pagine.size(), 0);
        r.stampaSenzaRighe = true;
        r.intestazioneSullaPrima = false;
        r.piedeSullUltima = false;
        QCOMPARE(impagina(r, f).pagine[0].bande.size(), 0);
    }

    void hooksChangeCaptionsAndTheirFailureAborts() {
        const Righe righe(30);
        Fonti f;
        f.aggiungi(QStringLiteral("righe"), righe);
        Report r = prova();
        int chiamate = 0;
        r.intestazione->primaDellaStampa = [&chiamate](Banda& b, const Fonti& fonti) {
            b.elemento(QStringLiteral("titolo")).testo = QStringLiteral("Righe %1 volta %2")
                                                             .arg(fonti.sorgente("righe").righe())
                                                             .arg(++chiamate);
        };
        const Impaginazione imp = impagina(r, f);
        QCOMPARE(chiamate, 2);
        QCOMPARE(imp.pagine[1].testi("titolo"), QStringList{"Righe 30 volta 2"});
        QCOMPARE(r.intestazione->elemento("titolo").testo, QString("Titolo")); // definition kept
        r.piede->primaDellaStampa = [](Banda&, const Fonti&) { throw std::runtime_error("no"); };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, impagina(r, f));
        r.piede->primaDellaStampa = {};
        r.dettaglio->elementi[0].colonna = QStringLiteral("manca");
        QVERIFY_THROWS_EXCEPTION(ErroreReport, impagina(r, f));
        r.dettaglio->altezza = 200;
        QVERIFY_THROWS_EXCEPTION(ErroreReport, impagina(r, f));
    }

    // The PDF puts each text where the layout says, in embedded metric-compatible fonts.
    void pdfMatchesTheLayout() {
        const Righe righe(25, 1);
        Fonti f;
        f.aggiungi(QStringLiteral("righe"), righe);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("prova.pdf");
        Pittore::pdf(impagina(prova(), f), pdf);
        const LetturaPdf letto(pdf);
        QVERIFY2(letto.pagine() == 2, qPrintable(letto.errore()));
        const QList<Parola> titoli = letto.trova("Titolo");
        QCOMPARE(titoli.size(), 2);
        QVERIFY(qAbs(titoli[0].area.left() - 30) < 0.5);
        QVERIFY(qAbs(titoli[0].area.top() - 40) < 0.5);
        // Right-aligned page number ends at the right edge of its box (10 + 150 + 20).
        const QList<Parola> due = letto.trova("2", 2);
        QVERIFY(!due.isEmpty());
        QVERIFY2(qAbs(due.first().area.right() - 180) < 0.5,
                 qPrintable(QString::number(due.first().area.right())));
        QCOMPARE(letto.trova("Riga20", 1).size(), 0);
        QCOMPARE(letto.trova("Riga20", 2).first().area.top() > 60, true);
        const QStringList fonts = letto.caratteri();
        QVERIFY2(!fonts.isEmpty() && fonts.filter("embedded yes").size() == fonts.size() &&
                     fonts.filter("Liberation").size() == fonts.size(),
                 qPrintable(fonts.join(", ")));
        QVERIFY_THROWS_EXCEPTION(ErroreReport,
                                 Pittore::pdf(impagina(prova(), f), dir.filePath("no/dir/x.pdf")));
    }
};

QTEST_MAIN(TstReport)
#include "tst_report.moc"
