// The import of a year of sales documents into an invoice database that already
// holds 20,000 invoices (with their files): 2,500 and then 5,000 documents of 10
// lines each from the accounting database quirn19 of the private server (port
// GFE_DB_PORT, default 33306), into the database gfe_bench_imp. For each size it
// prints documents per second and the peak memory of the process, then the
// plain limit: the same header and line rows inserted by a loop of prepared
// INSERTs (one transaction per invoice) through the same driver, plus writing
// the same files, and the ratio of the two. Growth from 2,500 to 5,000 shows
// whether the cost is linear. The round trips per document are the statements
// the server received during the run.
#include "AnnoContabile.h"
#include "SemeFatture.h"
#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/ImportaFatture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

const QString kDb = QStringLiteral("gfe_bench_imp");
constexpr int kEsistenti = 20000;
constexpr int kRighe = 10;

double secondi(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e9;
}

double piccoMiB() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return double(uso.ru_maxrss) / 1024;
}

// The invoice database with 20,000 invoices, their files in `cartella`, and the
// accounting year of `documenti` documents.
void prepara(const QString& cartella, int documenti) {
    semeFatture(kDb, kEsistenti, kRighe);
    TestDb::esegui(kDb, {"INSERT INTO azienda (rag_soc,p_iva,cod_fis,indirizzo,cap,comune,prov,"
                         "nazione,uff_rea,num_rea,capit_soc,soc_uni,stato_liq,mail,telefono,path,"
                         "iban) VALUES ('ROSSI FORNITURE SRL','01234567897','01234567897','VIA "
                         "GARIBALDI 12','37100','VERONA','VR','IT','VR','123456','10000','SU','LN',"
                         "'info@rossi.it','045123456','" +
                         cartella + "','IT60X0542811101000000123456')"});
    QDir(cartella).removeRecursively();
    QDir().mkpath(cartella);
    const QByteArray esempio(3000, 'x');
    for (int id = 1; id <= kEsistenti; ++id) {
        QFile f(cartella +
                QStringLiteral("IT01234567897_A%1.xml").arg(id, 5, 10, QLatin1Char('0')));
        f.open(QIODevice::WriteOnly);
        f.write(esempio);
    }
    ParametriAnno p;
    p.documenti = documenti;
    p.righe = kRighe;
    TestDb::ricrea(QStringLiteral("quirn19"), {"quirn19.sql"});
    TestDb::esegui(QStringLiteral("quirn19"), annoContabile(p));
}

// Statements the server has received from every client so far: on the private
// server of the benchmark they are the round trips of the run.
qint64 domandeAlServer() {
    return TestDb::valore(QStringLiteral("mysql"),
                          QStringLiteral("SELECT VARIABLE_VALUE FROM "
                                         "information_schema.GLOBAL_STATUS WHERE "
                                         "VARIABLE_NAME = 'QUESTIONS'"))
        .toLongLong();
}

struct Righe {
    QStringList colonne;
    std::vector<QVariantList> valori;
};

Righe leggi(QSqlDatabase& db, const QString& select) {
    Righe r;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(select);
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        r.colonne << rec.fieldName(i);
    while (q.next()) {
        QVariantList v;
        for (int i = 0; i < rec.count(); ++i)
            v << q.value(i);
        r.valori.push_back(v);
    }
    return r;
}

QSqlQuery inserimento(QSqlDatabase& db, const QString& tabella, const QStringList& colonne) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(tabella, colonne.join(u','),
                       QStringList(colonne.size(), QStringLiteral("?")).join(u',')));
    return q;
}

// The rows and files the import made, written again the plainest way: the
// imported rows are deleted first, so the database holds the same 20,000.
double limiteSemplice(const QString& cartella, const QString& altraCartella) {
    double tempo = 0;
    const QString nome = QStringLiteral("limite");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), nome);
        db.setHostName(TestDb::host());
        db.setPort(TestDb::port());
        db.setUserName(TestDb::user());
        db.setPassword(TestDb::password());
        db.setDatabaseName(kDb);
        db.open();
        const QString nuove = QString::number(kEsistenti);
        const Righe testate =
            leggi(db, "SELECT * FROM testata WHERE id_invio > " + nuove + " ORDER BY id_invio");
        const Righe righe = leggi(db, "SELECT * FROM dettaglio WHERE id_invio > " + nuove +
                                          " ORDER BY id_invio, prog");
        std::vector<std::pair<QString, QByteArray>> file;
        for (const QVariantList& t : testate.valori) {
            const QString n = t[testate.colonne.indexOf(QStringLiteral("nome_file"))].toString();
            QFile f(cartella + n);
            f.open(QIODevice::ReadOnly);
            file.emplace_back(altraCartella + n, f.readAll());
        }
        QSqlQuery(db).exec("DELETE FROM dettaglio WHERE id_invio > " + nuove);
        QSqlQuery(db).exec("DELETE FROM testata WHERE id_invio > " + nuove);

        QElapsedTimer t;
        t.start();
        QSqlQuery insTestata = inserimento(db, QStringLiteral("testata"), testate.colonne);
        QSqlQuery insRiga = inserimento(db, QStringLiteral("dettaglio"), righe.colonne);
        size_t r = 0;
        for (size_t i = 0; i < testate.valori.size(); ++i) {
            const QVariant id = testate.valori[i][0];
            db.transaction();
            for (int c = 0; c < testate.colonne.size(); ++c)
                insTestata.bindValue(c, testate.valori[i][c]);
            insTestata.exec();
            for (; r < righe.valori.size() && righe.valori[r][0] == id; ++r) {
                for (int c = 0; c < righe.colonne.size(); ++c)
                    insRiga.bindValue(c, righe.valori[r][c]);
                insRiga.exec();
            }
            db.commit();
            QFile f(file[i].first);
            f.open(QIODevice::WriteOnly);
            f.write(file[i].second);
        }
        tempo = secondi(t);
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
    return tempo;
}

double esegui(int documenti) {
    QTemporaryDir lavoro;
    const QString cartella = lavoro.filePath(QStringLiteral("out")) + u'/';
    const QString altra = lavoro.filePath(QStringLiteral("semplice")) + u'/';
    QDir().mkpath(altra);
    prepara(cartella, documenti);

    EsitoImportazione esito;
    double tempo = 0;
    qint64 viaggi = 0;
    {
        TDiz diz;
        TestDb::punta(*diz.xml_conn, kDb);
        diz.xml_conn->connect();
        for (Table* t : diz.tabelleFatture())
            t->open();
        // What reading the counter costs, read twice in a row.
        const qint64 prima = domandeAlServer();
        const qint64 lettura = domandeAlServer() - prima;
        const qint64 domandePrima = domandeAlServer();
        QElapsedTimer t;
        t.start();
        ImportaFatture(diz, QStringLiteral("A"), QStringLiteral("31/12/23"), {}, esito);
        tempo = secondi(t);
        viaggi = domandeAlServer() - domandePrima - lettura;
    }
    const double picco = piccoMiB();
    const double semplice = limiteSemplice(cartella, altra);
    std::printf("documenti %5d: importate %5d in %7.1f s, %6.1f documenti/s, picco di memoria "
                "%6.1f MiB\n",
                documenti, esito.importate, tempo, esito.importate / tempo, picco);
    std::printf("                 viaggi al server %.1f per documento importato\n",
                double(viaggi) / std::max(1, esito.importate));
    std::printf("                 limite semplice %7.1f s, rapporto %5.2f\n", semplice,
                tempo / semplice);
    std::fflush(stdout);
    return tempo;
}

} // namespace

// Without arguments 2,500 and 5,000 documents; else the sizes given.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<int> misure;
    for (const QString& a : app.arguments().mid(1))
        misure.push_back(a.toInt());
    if (misure.empty()) misure = {2500, 5000};
    std::printf("fatture gia presenti: %d (%d righe ciascuna, con i loro file)\n", kEsistenti,
                kRighe);
    std::vector<double> tempi;
    for (const int n : misure)
        tempi.push_back(esegui(n));
    if (misure.size() == 2)
        std::printf("crescita da %d a %d documenti: tempo x %.2f (lineare: %.2f)\n", misure[0],
                    misure[1], tempi[1] / tempi[0], double(misure[1]) / misure[0]);
    return 0;
}
