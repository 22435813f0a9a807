// Seeds 1,000 invoices of 20 lines each in the database `gfe_bench_xml` of the
// private server (port GFE_DB_PORT, default 33306) and writes their FPR12
// files twice, moving the header to each invoice as the import and the
// invoice window do: first as the import does (each invoice's name stored),
// then again as the window's button does (names already stored). Each file is
// checked by the validator after it is written, as both do. Prints where the
// time goes (the header move, composing, reserving the name, writing, releasing
// the name's lock, validating), invoices per second, the time of writing the
// same bytes into as many files with a plain loop of file writes (the disk's
// limit) and the ratios; then what an fsync of every file would add (the writer
// does not sync: a file is renamed into place whole, and a crash can leave the
// earlier file or none, never a part).
#include "TestDb.h"
#include "data/Migrazioni.h"
#include "data/TDiz.h"
#include "fatturapa/CompositoreFatturaPA.h"
#include "fatturapa/FileXml.h"
#include "fatturapa/NomeFatturaPA.h"
#include "fatturapa/ScrittoreFatturaPA.h"
#include "fatturapa/ValidatoreFatturaPA.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

const QString kDb = QStringLiteral("gfe_bench_xml");
constexpr int kFatture = 1000;
constexpr int kRighe = 20;

QString testata(int id) {
    return QStringLiteral("(%1,'CLIENTE %1 & C. SRL','VIA ROMA %1','VERONA','37100','VR','IT',"
                          "'09876543210','09876543210','ABC1234','','%2/03/2023','%1','4880,00',"
                          "'TD01','TP02','MP05',2,'0,00','0,00','4000,00','880,00','22','I',"
                          "'0,00','0,00','0,00','0,00','SC','5','Sede','Via Po 1','Torino')")
        .arg(id)
        .arg(1 + id % 28, 2, 10, QLatin1Char('0'));
}

QString riga(int id, int prog) {
    return QStringLiteral("(%1,%2,'INTERNO','ART-%2','Articolo di prova - misura %2/4',"
                          "'2,000','PZ','110,000','SC','10,00','22','200,000','22','A01',"
                          "'L%1','IT')")
        .arg(id)
        .arg(prog);
}

void semina(const QString& cartella) {
    TestDb::ricrea(kDb, {"xml_quirn.sql"});
    QStringList istruzioni{
        "INSERT INTO azienda (rag_soc,p_iva,cod_fis,indirizzo,cap,comune,prov,nazione,uff_rea,"
        "num_rea,capit_soc,soc_uni,stato_liq,mail,telefono,path,iban) VALUES ('Rossi - "
        "Forniture S.r.l.','01234567897','01234567897','Via Garibaldi 12/A','37100','Verona',"
        "'VR','IT','VR','123456','10000','SU','LN','info@rossi.it','045123456','" +
        cartella + "','IT60X0542811101000000123456')"};
    for (int da = 1; da <= kFatture; da += 100) {
        QStringList teste, righe;
        for (int id = da; id < da + 100; ++id) {
            teste << testata(id);
            for (int p = 1; p <= kRighe; ++p)
                righe << riga(id, p);
        }
        istruzioni << "INSERT INTO testata (id_invio,rag_soc,indirizzo,comune,cap,prov,nazione,"
                      "p_iva,cod_fis,cod_dest,pec,data_doc,num_doc,tot_doc,tipo_doc,tipo_pag,"
                      "mod_pag,n_rate,spese,arrot,imponibile,imposta,aliquota,esig_iva,spese2,"
                      "arrot2,spese3,arrot3,sc_tipo,sc_perc,dest_soc,dest_indir,dest_comune) "
                      "VALUES " +
                          teste.join(',');
        istruzioni << "INSERT INTO dettaglio (id_invio,prog,codice_tipo,codice_val,descrizione,"
                      "quantita,um,prezzo_unit,sc_tipo,sc_perc,sc_importo,prezzo_tot,aliquota,"
                      "categoria,lotto,origine) VALUES " +
                          righe.join(',');
    }
    TestDb::esegui(kDb, istruzioni);
}

double ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// The same bytes in as many files, each opened, written and closed.
double scritturaSemplice(const std::vector<QByteArray>& contenuti, const QString& cartella) {
    QElapsedTimer t;
    t.start();
    for (size_t i = 0; i < contenuti.size(); ++i) {
        QFile f(cartella + QStringLiteral("f%1.xml").arg(i));
        if (!f.open(QIODevice::WriteOnly) || f.write(contenuti[i]) != contenuti[i].size())
            return -1;
    }
    return ms(t);
}

// The time of each step of the writer, summed over the invoices.
struct Tempi {
    double sposta = 0, componi = 0, riserva = 0, scrivi = 0, rilascia = 0, valida = 0;
    int problemi = 0;
    QString esempio; // the first finding
    double scrittore() const { return componi + riserva + scrivi + rilascia; }
    double conValidazione() const { return scrittore() + valida; }
};

// Every invoice of Testata, in order, through the steps of ScrittoreFatturaPA::scrivi
// timed one by one, each file then validated.
Tempi scriviTutte(TDiz& diz, std::vector<QString>& percorsi) {
    percorsi.clear();
    Tempi tempi;
    const ValidatoreFatturaPA validatore;
    QElapsedTimer t;
    for (int i = 0; i < diz.Testata->recordCount(); ++i) {
        t.start();
        diz.Testata->moveTo(i);
        tempi.sposta += ms(t);
        t.start();
        {
            CompositoreFatturaPA compositore(FormatoFatturaPA::FPR12, *diz.AziendaT, *diz.Testata,
                                             *diz.Detta);
            tempi.componi += ms(t);
            t.start();
            NomeFatturaPA nome(QStringLiteral("FATTURE"), *diz.AziendaT, *diz.Testata);
            nome.riserva();
            tempi.riserva += ms(t);
            t.start();
            const QByteArray documento = compositore.documento(nome.progressivo());
            tempi.componi += ms(t);
            t.start();
            FileXml::scrivi(nome.percorso(), documento);
            tempi.scrivi += ms(t);
            percorsi.push_back(nome.percorso());
            t.start();
        }
        tempi.rilascia += ms(t);
        t.start();
        const QList<Problema> trovati = validatore.valida(percorsi.back());
        tempi.problemi += int(trovati.size());
        if (tempi.esempio.isEmpty() && !trovati.isEmpty())
            tempi.esempio = trovati.first().descrizione();
        tempi.valida += ms(t);
    }
    return tempi;
}

// The same through the writer itself, end to end, without the validation.
double scrittoreIntero(TDiz& diz) {
    double speso = 0;
    QElapsedTimer t;
    for (int i = 0; i < diz.Testata->recordCount(); ++i) {
        diz.Testata->moveTo(i);
        t.start();
        ScrittoreFatturaPA(FormatoFatturaPA::FPR12, QStringLiteral("FATTURE"), diz.fattura())
            .scrivi();
        speso += ms(t);
    }
    return speso;
}

double fsyncTutti(const std::vector<QString>& percorsi) {
    QElapsedTimer t;
    t.start();
    for (const QString& p : percorsi) {
        const int fd = ::open(QFile::encodeName(p).constData(), O_RDONLY);
        if (fd < 0) return -1;
        ::fsync(fd);
        ::close(fd);
    }
    return ms(t);
}

void stampa(const char* titolo, const Tempi& t, double n, double semplice) {
    std::printf("%s\n", titolo);
    std::printf("  spostamento testata:   %8.1f ms (righe lette; non fa parte dello scrittore)\n",
                t.sposta);
    std::printf("  riserva del nome:      %8.1f ms (blocco, controllo, registrazione)\n",
                t.riserva);
    std::printf("  composizione:          %8.1f ms\n", t.componi);
    std::printf("  scrittura del file:    %8.1f ms\n", t.scrivi);
    std::printf("  rilascio del blocco:   %8.1f ms\n", t.rilascia);
    std::printf("  validazione:           %8.1f ms (%d segnalazioni%s%s)\n", t.valida, t.problemi,
                t.esempio.isEmpty() ? "" : ", la prima: ", qPrintable(t.esempio));
    std::printf("  scrittore:             %8.1f ms  %6.0f fatture/s  rapporto %5.2f\n",
                t.scrittore(), n / t.scrittore() * 1000, t.scrittore() / semplice);
    std::printf("  scrittore e validazione:%7.1f ms  %6.0f fatture/s  rapporto %5.2f "
                "(obiettivo <= 5)\n",
                t.conValidazione(), n / t.conValidazione() * 1000, t.conValidazione() / semplice);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir uscita, confronto;
    semina(uscita.path() + u'/');

    TDiz diz;
    TestDb::punta(*diz.xml_conn, kDb);
    diz.xml_conn->connect();
    applicaMigrazioni(*diz.xml_conn); // the database as the log-in leaves it
    for (Table* t : {diz.AziendaT, diz.Testata, diz.Detta})
        t->open();

    std::vector<QString> percorsi;
    const Tempi prima = scriviTutte(diz, percorsi);
    const Tempi seconda = scriviTutte(diz, percorsi);
    const double intero = scrittoreIntero(diz);

    std::vector<QByteArray> contenuti;
    qint64 byte = 0;
    for (const QString& p : percorsi) {
        QFile f(p);
        f.open(QIODevice::ReadOnly);
        contenuti.push_back(f.readAll());
        byte += contenuti.back().size();
    }
    const double semplice = scritturaSemplice(contenuti, confronto.path() + u'/');
    const double sync = fsyncTutti(percorsi);

    const double n = double(percorsi.size());
    std::printf("fatture:                 %8.0f (%d righe ciascuna, %.1f KiB in media)\n", n,
                kRighe, double(byte) / n / 1024);
    std::printf("scrittura semplice:      %8.1f ms  %6.0f file/s\n", semplice, n / semplice * 1000);
    stampa("scrittura con nome (il nome registrato):", prima, n, semplice);
    stampa("riscrittura (il nome gia registrato):", seconda, n, semplice);
    std::printf("riscrittura con ScrittoreFatturaPA::scrivi: %.1f ms  rapporto %5.2f\n", intero,
                intero / semplice);
    std::printf("fsync di ogni file (non fatto dallo scrittore): %.1f ms\n", sync);
    return 0;
}
