// Seeds 50,000 invoice headers and 250,000 lines in the database `gfe_bench_tabelle` of the
// private server and prints: the time to open `Testata`, the time of one refresh,
// the time for `Detta` to follow 100 header moves, peak memory, and the time the
// command-line client takes to fetch the same headers, with the ratio.
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

void seed() {
    TestDb::ricrea(kDb, {"xml_quirn.sql"});
    // Batches of multi-row inserts keep seeding to a few seconds.
    QStringList stmts;
    for (int from = 1; from <= kHeaders; from += 1000) {
        QStringList heads, lines;
        for (int id = from; id < from + 1000 && id <= kHeaders; ++id) {
            heads << QStringLiteral("(%1,'CLIENTE %1 SRL','VIA ROMA %1','VERONA','37100','VR','IT',"
                                    "'01234567897','','ABC1234','','%2/03/2023','%1','122,00','TD01',"
                                    "'TP02','MP05',0,'','','','','0,00','0,00','100,00','22,00','22',"
                                    "'I','IT01234567897_A%3.xml')")
                         .arg(id).arg(1 + id % 28, 2, 10, QLatin1Char('0')).arg(id % 10000, 4, 10, QLatin1Char('0'));
            for (int p = 1; p <= kLinesPerHeader; ++p)
                lines << QStringLiteral("(%1,%2,'ART%2','Articolo di prova numero %2','2,00','PZ',"
                                        "'10,000','20,00','22')").arg(id).arg(p);
        }
        stmts << "INSERT INTO testata (id_invio,rag_soc,indirizzo,comune,cap,prov,nazione,p_iva,"
                 "cod_fis,cod_dest,pec,data_doc,num_doc,tot_doc,tipo_doc,tipo_pag,mod_pag,n_rate,"
                 "scad1,scad2,scad3,scad4,spese,arrot,imponibile,imposta,aliquota,esig_iva,nome_file) "
                 "VALUES " + heads.join(',');
        stmts << "INSERT INTO dettaglio (id_invio,prog,codice_val,descrizione,quantita,um,"
                 "prezzo_unit,prezzo_tot,aliquota) VALUES " + lines.join(',');
    }
    TestDb::esegui(kDb, stmts);
}

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
    seed();
    std::printf("seeded %d headers, %d lines in %.0f ms\n", kHeaders, kHeaders * kLinesPerHeader, ms(t));

    TDiz diz;
    diz.xml_conn->setHost(TestDb::host());
    diz.xml_conn->setPort(TestDb::port());
    diz.xml_conn->setDatabase(kDb);
    diz.xml_conn->connect();
    t.restart();
    diz.Testata->open();
    std::printf("open Testata:            %8.1f ms (%d rows)\n", ms(t), diz.Testata->recordCount());
    diz.Detta->open();
    t.restart();
    diz.Testata->refresh();
    const double refresh = ms(t);
    std::printf("refresh Testata:         %8.1f ms\n", refresh);

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
