#include "SemeFatture.h"

#include "TestDb.h"

#include <QRandomGenerator>
#include <QStringList>

void semeFatture(const QString& db, int testate, int righe) {
    TestDb::ricrea(db, {"xml_quirn.sql"});
    // Batches of multi-row inserts keep seeding to a few seconds.
    QStringList stmts;
    for (int from = 1; from <= testate; from += 1000) {
        QStringList heads, lines;
        for (int id = from; id < from + 1000 && id <= testate; ++id) {
            heads << QStringLiteral(
                         "(%1,'CLIENTE %1 SRL','VIA ROMA %1','VERONA','37100','VR','IT',"
                         "'01234567897','','ABC1234','','%2/03/2023','%1','122,00','TD01',"
                         "'TP02','MP05',0,'','','','','0,00','0,00','100,00','22,00','22',"
                         "'I','IT01234567897_A%3.xml',%4)")
                         .arg(id)
                         .arg(1 + id % 28, 2, 10, QLatin1Char('0'))
                         .arg(id % 10000, 4, 10, QLatin1Char('0'))
                         .arg(id % 3 == 0 ? 1 : 0);
            for (int p = 1; p <= righe; ++p)
                lines << QStringLiteral("(%1,%2,'ART%2','Articolo di prova numero %2','2,00','PZ',"
                                        "'10,000','20,00','22')")
                             .arg(id)
                             .arg(p);
        }
        stmts
            << "INSERT INTO testata (id_invio,rag_soc,indirizzo,comune,cap,prov,nazione,p_iva,"
               "cod_fis,cod_dest,pec,data_doc,num_doc,tot_doc,tipo_doc,tipo_pag,mod_pag,n_rate,"
               "scad1,scad2,scad3,scad4,spese,arrot,imponibile,imposta,aliquota,esig_iva,nome_file,"
               "inviata) VALUES " +
                   heads.join(',');
        if (!lines.isEmpty())
            stmts << "INSERT INTO dettaglio (id_invio,prog,codice_val,descrizione,quantita,um,"
                     "prezzo_unit,prezzo_tot,aliquota) VALUES " +
                         lines.join(',');
    }
    TestDb::esegui(db, stmts);
}

void cambiaTestate(const QString& db, int k, int headers, int& nextId) {
    QStringList sql;
    const int updates = k < 3 ? k : k / 3;
    const int inserts = k < 3 ? 0 : k / 3;
    const int deletes = k - updates - inserts;
    auto* rnd = QRandomGenerator::global();
    for (int i = 0; i < updates; ++i)
        sql << QStringLiteral(
                   "UPDATE testata SET rag_soc = CONCAT('CAMBIATO ', %1) WHERE id_invio = %2")
                   .arg(rnd->bounded(1000000))
                   .arg(1 + rnd->bounded(headers));
    QStringList rows;
    for (int i = 0; i < inserts; ++i)
        rows << QStringLiteral("(%1, 'NUOVO %1', '122,00')").arg(nextId++);
    if (!rows.isEmpty())
        sql << "INSERT INTO testata (id_invio, rag_soc, tot_doc) VALUES " + rows.join(',');
    for (int i = 0; i < deletes; ++i)
        sql << QStringLiteral("DELETE FROM testata WHERE id_invio = %1")
                   .arg(1 + rnd->bounded(headers));
    TestDb::esegui(db, sql);
}
