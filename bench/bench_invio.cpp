// Seeds 1,000 unsent invoices with a valid file each in the database `gfe_bench_invio`
// of the private server (port GFE_DB_PORT, default 33306) and sends every one through
// gfe-web's sending function and the folder channel, as the sending page's POST does
// (checks, validation, hand-off record, copy under a temporary name, mark). Prints
// sends per second and the slowest 1%, against the plain limit: the same files copied
// (written and synced, as the channel does) plus one UPDATE each.
#include "TestDb.h"
#include "data/Migrazioni.h"
#include "db/Connection.h"
#include "webapp/Canale.h"
#include "webapp/InvioFattura.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

const QString kDb = QStringLiteral("gfe_bench_invio");
constexpr int kFatture = 1000;

QString nome(int id) {
    return QStringLiteral("IT01234567897_%1.xml").arg(id, 5, 10, QLatin1Char('0'));
}

void semina(const QString& cartella, const QByteArray& file) {
    TestDb::ricrea(kDb, {"xml_quirn.sql"});
    QStringList istruzioni{"INSERT INTO azienda (rag_soc, p_iva, path) VALUES ('Rossi', "
                           "'01234567897', '" +
                           cartella + "')"};
    QStringList teste;
    for (int id = 1; id <= kFatture; ++id) {
        teste << QStringLiteral("(%1, 'CLIENTE %1', '%1', '15/03/2023', '122,00', '%2', 0)")
                     .arg(QString::number(id), nome(id));
        QFile f(QDir(cartella).filePath(nome(id)));
        if (!f.open(QIODevice::WriteOnly) || f.write(file) != file.size()) std::exit(1);
    }
    istruzioni << "INSERT INTO testata (id_invio, rag_soc, num_doc, data_doc, tot_doc, "
                  "nome_file, inviata) VALUES " +
                      teste.join(',');
    TestDb::esegui(kDb, istruzioni);
}

struct Tempi {
    double totale = 0;
    double lento = 0; // the slowest 1%, from
};

Tempi misura(std::vector<double>& ms) {
    Tempi t;
    for (const double m : ms)
        t.totale += m;
    std::sort(ms.begin(), ms.end());
    t.lento = ms[size_t(double(ms.size()) * 0.99)];
    return t;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile campione(QStringLiteral(GFE_SOURCE_DIR "/tests/fatturapa/golden/fpr12_fattura42.xml"));
    if (!campione.open(QIODevice::ReadOnly)) return 1;
    const QByteArray file = campione.readAll();
    QTemporaryDir azienda, uscita, confronto;
    semina(azienda.path(), file);
    Connection c(QStringLiteral("bench-invio"));
    TestDb::punta(c, kDb);
    c.connect();
    applicaMigrazioni(c);

    const CanaleCartella canale(uscita.path());
    std::vector<double> invii;
    int riusciti = 0;
    for (int id = 1; id <= kFatture; ++id) {
        QElapsedTimer t;
        t.start();
        riusciti += inviaFattura(c, canale, nome(id), id, false).stato == 200;
        invii.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    c.exec(QStringLiteral("UPDATE testata SET inviata=0"));
    std::vector<double> semplici;
    for (int id = 1; id <= kFatture; ++id) {
        QElapsedTimer t;
        t.start();
        QFile da(QDir(azienda.path()).filePath(nome(id)));
        QFile a(QDir(confronto.path()).filePath(nome(id)));
        if (!da.open(QIODevice::ReadOnly) || !a.open(QIODevice::WriteOnly)) return 1;
        a.write(da.readAll());
        a.flush();
        ::fsync(a.handle());
        c.exec(QStringLiteral("UPDATE testata SET inviata=1 WHERE id_invio=?"), {id});
        semplici.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    const Tempi i = misura(invii), s = misura(semplici);
    std::printf("invii:              %6d riusciti su %d (%lld byte ciascuno)\n", riusciti, kFatture,
                qlonglong(file.size()));
    std::printf("invio con gfe-web:  %8.1f ms  %7.0f invii/s   1%% piu lento da %6.2f ms\n",
                i.totale, kFatture / i.totale * 1000, i.lento);
    std::printf("copia e UPDATE:     %8.1f ms  %7.0f invii/s   1%% piu lento da %6.2f ms\n",
                s.totale, kFatture / s.totale * 1000, s.lento);
    std::printf("rapporto:           %8.2f (tempo totale)  %5.2f (1%% piu lento)\n",
                i.totale / s.totale, i.lento / s.lento);
    return riusciti == kFatture ? 0 : 1;
}
