// Seeds invoice headers (5 lines each) in the database `gfe_bench_tabelle` of the private
// server, at 5,000 and at 50,000 headers, and prints for `Testata`: the open, the first
// refresh after it, refreshes with nothing changed and with 1, 100 and 1,000 rows changed
// by another connection (updates, inserts and deletes mixed), the bytes held per row
// beside the bytes of its column texts, the time for `Detta` to follow a header move,
// the command-line client's fetch of the same headers, and peak memory.
#include "SemeFatture.h"
#include "TestDb.h"
#include "data/TDiz.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>
#include <vector>

namespace {

const QString kDb = QStringLiteral("gfe_bench_tabelle");
constexpr int kLinesPerHeader = 5;

double ms(QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

std::size_t heapInUse() {
    return mallinfo2().uordblks;
}

double clientFetchMs() {
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("mariadb"),
            {"--quick", "-h", TestDb::host(), "-P", QString::number(TestDb::port()), "-u",
             TestDb::user(), "-p" + TestDb::password(), kDb, "-e", "select * from testata"});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) return -1;
    return ms(t);
}

void change(int k, int headers, int& nextId) {
    cambiaTestate(kDb, k, headers, nextId);
}

void measure(int headers) {
    QElapsedTimer t;
    t.start();
    semeFatture(kDb, headers, kLinesPerHeader);
    std::printf("\n== %d headers, %d lines (seeded in %.0f ms)\n", headers,
                headers * kLinesPerHeader, ms(t));

    TDiz diz;
    TestDb::punta(*diz.xml_conn, kDb);
    diz.xml_conn->connect();
    Table& testata = *diz.Testata;
    const std::size_t heapBefore = heapInUse();
    t.restart();
    testata.open();
    std::printf("open Testata:                 %8.1f ms (%d rows, %s)\n", ms(t),
                testata.recordCount(),
                testata.followsChangeLog() ? "change log" : "row signatures");
    const std::size_t heapAfter = heapInUse();
    diz.Detta->open();
    t.restart();
    testata.refresh();
    std::printf("first refresh after the open: %8.1f ms\n", ms(t));
    std::vector<double> quiet;
    for (int i = 0; i < 21; ++i) {
        t.restart();
        testata.refresh();
        quiet.push_back(ms(t));
    }
    std::sort(quiet.begin(), quiet.end());
    std::printf("refresh, nothing changed:     %8.2f ms (median of 21; fastest %.2f)\n", quiet[10],
                quiet[0]);
    int nextId = headers + 1;
    for (int k : {1, 100, 1000}) {
        change(k, headers, nextId);
        t.restart();
        testata.refresh();
        std::printf("refresh, %4d rows changed:    %8.2f ms\n", k, ms(t));
    }

    double texts = 0;
    for (int r = 0; r < testata.recordCount(); ++r)
        for (int c = 0; c < testata.columnCount(); ++c) {
            const QVariant v = testata.value(r, c);
            if (!v.isNull()) texts += v.toString().toUtf8().size();
        }
    const double rows = testata.recordCount();
    std::printf("bytes per row: held %.0f (heap growth at the open %.0f), column texts %.0f, "
                "ratio %.2f\n",
                double(testata.rowBytes()) / rows, double(heapAfter - heapBefore) / rows,
                texts / rows, double(testata.rowBytes()) / texts);

    t.restart();
    for (int i = 0; i < 100; ++i)
        testata.moveTo(int(QRandomGenerator::global()->bounded(testata.recordCount())));
    std::printf("Detta follows a move:         %8.3f ms per move (%d lines)\n", ms(t) / 100,
                diz.Detta->recordCount());
    std::printf("client fetch (--quick):       %8.1f ms\n", clientFetchMs());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int headers : {5000, 50000})
        measure(headers);
    std::printf("\npeak memory:                  %8.1f MiB\n", double(peakKb()) / 1024);
    return 0;
}
