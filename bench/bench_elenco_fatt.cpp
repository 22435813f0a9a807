// Opens the invoice window on 50,000 invoices (database `gfe_bench_finestra` of the
// private server) and prints: the time of the log-in's table opening, the time to
// show the window until its grids have painted, the time of one header move with
// its lines, and the time of repainting the header grid after a refresh.
#include "SemeFatture.h"
#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/TElenco_Fatt.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

const QString kDb = QStringLiteral("gfe_bench_finestra");
constexpr int kTestate = 50000;

double ms(QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

void disegna(QWidget& w) {
    w.repaint();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    semeFatture(kDb, kTestate, 5);
    TDiz diz;
    TestDb::punta(*diz.xml_conn, kDb);
    TElenco_Fatt finestra;

    QElapsedTimer t;
    t.start();
    for (Table* tab : diz.tabelleFatture())
        tab->open();
    std::printf("open the invoice tables:   %8.1f ms (%d invoices)\n", ms(t), diz.Testata->recordCount());

    t.restart();
    finestra.show();
    disegna(finestra);
    std::printf("show the window, painted:  %8.1f ms\n", ms(t));

    t.restart();
    diz.Testata->moveTo(kTestate / 2);
    disegna(finestra);
    std::printf("move to another invoice:   %8.1f ms (with its %d lines, painted)\n", ms(t),
                diz.Detta->recordCount());

    t.restart();
    diz.Testata->refresh();
    disegna(finestra);
    std::printf("refresh and repaint:       %8.1f ms\n", ms(t));
    return 0;
}
