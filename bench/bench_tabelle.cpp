// Seeds 50,000 invoice headers and 250,000 lines in the database `gfe_bench_tabelle` of the
// private server and prints: the time to open `Testata`, the times of its refreshes
// (the first one reads the row signatures, later ones only the changed rows),
// the time for `Detta` to follow 100 header moves, peak memory, and the time the
// command-line client takes to fetch the same headers, with the ratio.
#include "SemeFatture.h"
#include "TestDb.h"
#include "data/TDiz.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QString kDb = QStringLiteral("gfe_bench_tabelle");
constexpr int kHeaders = 50000;
constexpr int kLinesPerHeader = 5;

double ms(QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

double clientFetchMs() {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("mariadb"),
            {"--quick", "-h", TestDb::host(), "-P", QString::number(TestDb::port()), "-u",
             TestDb::user(), "-p" + TestDb::password(), kDb, "-e", "select * from testata"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return -1;
    return ms(t);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QElapsedTimer t;
    t.start();
    semeFatture(kDb, kHeaders, kLinesPerHeader);
    std::printf("seeded %d headers, %d lines in %.0f ms\n", kHeaders, kHeaders * kLinesPerHeader, ms(t));

    TDiz diz;
    TestDb::punta(*diz.xml_conn, kDb);
    diz.xml_conn->connect();
    t.restart();
    diz.Testata->open();
    std::printf("open Testata:            %8.1f ms (%d rows)\n", ms(t), diz.Testata->recordCount());
    diz.Detta->open();
    t.restart();
    diz.Testata->refresh();
    std::printf("first refresh (+ row signatures): %8.1f ms\n", ms(t));
    t.restart();
    diz.Testata->refresh();
    const double refresh = ms(t);
    std::printf("refresh, nothing changed: %8.1f ms\n", refresh);
    TestDb::esegui(kDb, {"UPDATE testata SET inviata = 1 - inviata WHERE id_invio % 500 = 0"});
    t.restart();
    diz.Testata->refresh();
    std::printf("refresh, 100 rows changed: %7.1f ms\n", ms(t));

    t.restart();
    for (int i = 0; i < 100; ++i)
        diz.Testata->moveTo(int(QRandomGenerator::global()->bounded(kHeaders)));
    std::printf("Detta follows a move:    %8.3f ms per move (100 moves, %d lines each)\n",
                ms(t) / 100, diz.Detta->recordCount());

    const double client = clientFetchMs();
    std::printf("client fetch (--quick):  %8.1f ms\n", client);
    if (client > 0)
        std::printf("refresh / client ratio:  %8.2f (goal: within 2)\n", refresh / client);
    std::printf("peak memory:             %8.1f MiB\n", double(peakKb()) / 1024);
    return 0;
}
