// Opens the invoice window on 5,000 and on 50,000 invoices (database `gfe_bench_finestra`
// of the private server) and prints: the log-in's table opening, showing the window until
// its grids have painted, a header move with its lines, and the window's refresh and
// repaint: the first after the open, with nothing changed, and with 1, 100 and 1,000
// headers changed by another connection (updates, inserts and deletes mixed). A refresh is
// followed by the event loop's own painting of what it invalidated, and the widgets
// painted are counted: a refresh that changed nothing paints none.
#include "SemeFatture.h"
#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/TElenco_Fatt.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

const QString kDb = QStringLiteral("gfe_bench_finestra");

double ms(QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

void paint(QWidget& w) {
    w.repaint();
    QCoreApplication::processEvents();
}

// Counts the paint events of every widget.
class Pitture : public QObject {
public:
    int conta = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++conta;
        return false;
    }
};

// The refresh, then whatever painting it asked for.
double aggiorna(Table& testata, Pitture& pitture, int& dipinti) {
    QElapsedTimer t;
    t.start();
    const int prima = pitture.conta;
    testata.refresh();
    QCoreApplication::processEvents();
    dipinti = pitture.conta - prima;
    return ms(t);
}

void change(int k, int headers, int& nextId) {
    cambiaTestate(kDb, k, headers, nextId);
}

void measure(int headers) {
    semeFatture(kDb, headers, 5);
    std::printf("\n== %d invoices\n", headers);
    TDiz diz;
    TestDb::punta(*diz.xml_conn, kDb);
    TElenco_Fatt window(diz);

    QElapsedTimer t;
    t.start();
    for (Table* tab : diz.tabelleFatture())
        tab->open();
    std::printf("open the invoice tables:        %8.1f ms\n", ms(t));

    t.restart();
    window.show();
    paint(window);
    std::printf("show the window, painted:       %8.1f ms\n", ms(t));

    Pitture pitture;
    qApp->installEventFilter(&pitture);
    int dipinti = 0;
    const double primo = aggiorna(*diz.Testata, pitture, dipinti);
    std::printf("first refresh and repaint:      %8.1f ms (%d widgets painted)\n", primo, dipinti);

    std::vector<double> quiet;
    int dipintiQuiet = 0;
    for (int i = 0; i < 21; ++i) {
        quiet.push_back(aggiorna(*diz.Testata, pitture, dipinti));
        dipintiQuiet += dipinti;
    }
    std::sort(quiet.begin(), quiet.end());
    std::printf("refresh and repaint, nothing changed: %6.2f ms (median of 21; %d widgets "
                "painted in all; goal < 1 ms)\n",
                quiet[10], dipintiQuiet);

    int nextId = headers + 1;
    for (int k : {1, 100, 1000}) {
        change(k, headers, nextId);
        const double speso = aggiorna(*diz.Testata, pitture, dipinti);
        std::printf("refresh and repaint, %4d changed: %7.2f ms (%d widgets painted)%s\n", k, speso,
                    dipinti, k == 1000 ? "; goal < 30 ms" : "");
    }
    qApp->removeEventFilter(&pitture);

    t.restart();
    diz.Testata->moveTo(diz.Testata->recordCount() / 2);
    paint(window);
    std::printf("move to another invoice:        %8.1f ms (with its %d lines, painted)\n", ms(t),
                diz.Detta->recordCount());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int headers : {5000, 50000})
        measure(headers);
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("\npeak memory:                    %8.1f MiB\n", double(u.ru_maxrss) / 1024);
    return 0;
}
