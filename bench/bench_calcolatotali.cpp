// Seeds invoices of 10, 100 and 1,000 lines at four rates in the database
// `gfe_bench` of the private server (port GFE_DB_PORT, default 33306) and prints
// the median time of CalcolaTotali for each, with the cost per line: wall time,
// and the CPU time of this process alone (without the server's share and
// without waiting for a busy machine).
#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/CalcolaTotali.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

const QString kDb = QStringLiteral("gfe_bench");
const int kRighe[] = {10, 100, 1000};
constexpr int kPassate = 9;

void semina() {
    TestDb::ricrea(kDb, {"xml_quirn.sql"});
    const QString aliquote[] = {"22", "10", "4", "5"};
    QStringList sql;
    for (int f = 0; f < 3; ++f) {
        const int id = f + 1;
        sql << QStringLiteral("INSERT INTO testata (id_invio, spese, spese2, sc_tipo, sc_perc) "
                              "VALUES (%1, '10,00', '5,00', 'SC', '2')")
                   .arg(id);
        QStringList righe;
        for (int p = 1; p <= kRighe[f]; ++p) {
            const QString tipo = p % 10 == 0 ? QStringLiteral("PR") : QString();
            righe << QStringLiteral("(%1, %2, 'Articolo %2', '%3,00', '%4,50', '%5', '%6')")
                         .arg(id)
                         .arg(p)
                         .arg(1 + p % 5)
                         .arg(10 + p % 90)
                         .arg(aliquote[p % 4], tipo);
        }
        sql << "INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, prezzo_tot, "
               "aliquota, tipo_cessione) VALUES " +
                   righe.join(',');
    }
    TestDb::esegui(kDb, sql);
}

double cpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    semina();
    TDiz diz;
    TestDb::punta(*diz.xml_conn, kDb);
    diz.Testata->open();
    diz.Detta->open();
    std::printf("CalcolaTotali, median of %d runs after one warm-up (database %s, port %d)\n",
                kPassate, qPrintable(kDb), TestDb::port());
    std::printf("%8s %10s %12s %10s %12s  %s\n", "lines", "wall ms", "us per line", "CPU ms",
                "us per line", "tot_doc");
    for (int f = 0; f < 3; ++f) {
        diz.Testata->locate(QStringLiteral("id_invio"), f + 1);
        CalcolaTotali(diz.fattura());
        std::vector<double> tempi, cpu;
        for (int i = 0; i < kPassate; ++i) {
            QElapsedTimer t;
            const double c = cpuMs();
            t.start();
            CalcolaTotali(diz.fattura());
            tempi.push_back(double(t.nsecsElapsed()) / 1e6);
            cpu.push_back(cpuMs() - c);
        }
        const double ms = mediana(tempi), msCpu = mediana(cpu), n = kRighe[f];
        std::printf("%8d %10.2f %12.2f %10.2f %12.2f  %s\n", kRighe[f], ms, ms * 1000 / n, msCpu,
                    msCpu * 1000 / n,
                    qPrintable(diz.Testata->field(QStringLiteral("tot_doc")).asString()));
    }
    return 0;
}
