#include "TestDb.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/DbError.h"
#include "db/Table.h"

#include <QtTest>
#include <memory>

// Master/detail links: headers, their lines and the two levels of references.
class TstMasterDetail : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_masterdetail");
    std::unique_ptr<Connection> conn;
    std::unique_ptr<Table> testata, detta, contrT, contrD;
    std::unique_ptr<DataSource> testataS, contrS;

    QStringList descrizioni() {
        QStringList out;
        for (int r = 0; r < detta->recordCount(); ++r)
            out << detta->value(r, detta->fieldIndex("descrizione")).toString();
        return out;
    }

private slots:
    void init() {
        TestDb::ricrea(db, {"xml_quirn.sql"});
        TestDb::esegui(
            db, {
                    "INSERT INTO testata (id_invio, rag_soc) VALUES (1, 'A'), (2, 'B'), (3, 'C')",
                    "INSERT INTO dettaglio (id_invio, prog, descrizione) VALUES (1, 1, 'a1'), "
                    "(1, 2, 'a2'), (2, 1, 'b1')",
                    "INSERT INTO test_dati VALUES (1, 'DatiContratto'), (1, 'DatiOrdineAcquisto'), "
                    "(2, 'DatiContratto')",
                    "INSERT INTO dati_acquisto (id_invio, tipo, n_linea, id_documento) VALUES "
                    "(1, 'DatiContratto', 1, 'K1'), (1, 'DatiOrdineAcquisto', 1, 'O1'), "
                    "(2, 'DatiContratto', 1, 'K2')",
                });
        conn = std::make_unique<Connection>("md");
        TestDb::punta(*conn, db);
        testata = std::make_unique<Table>(conn.get(), "testata");
        testata->setOrderBy({"id_invio"});
        testataS = std::make_unique<DataSource>(testata.get());
        detta = std::make_unique<Table>(conn.get(), "dettaglio");
        detta->setMaster(testataS.get(), {"id_invio"}, {"id_invio"});
        contrT = std::make_unique<Table>(conn.get(), "test_dati");
        contrT->setMaster(testataS.get(), {"id_invio"}, {"id_invio"});
        contrS = std::make_unique<DataSource>(contrT.get());
        contrD = std::make_unique<Table>(conn.get(), "dati_acquisto");
        contrD->setMaster(contrS.get(), {"id_invio", "tipo"}, {"id_invio", "tipo"});
        for (Table* t : {testata.get(), detta.get(), contrT.get(), contrD.get()})
            t->open();
    }
    void cleanup() {
        contrD.reset();
        contrS.reset();
        contrT.reset();
        detta.reset();
        testataS.reset();
        testata.reset();
        conn.reset();
    }

    void detailsFollowMasterMoves() {
        QCOMPARE(descrizioni(), QStringList({"a1", "a2"}));
        QCOMPARE(contrT->recordCount(), 2);
        QCOMPARE(contrD->field("id_documento").asString(), QString("K1"));
        contrT->next();
        QCOMPARE(contrD->field("id_documento").asString(), QString("O1"));
        testata->next();
        QCOMPARE(descrizioni(), QStringList({"b1"}));
        QCOMPARE(contrT->recordCount(), 1);
        QCOMPARE(contrD->field("id_documento").asString(), QString("K2"));
        testata->next();
        QCOMPARE(detta->recordCount(), 0);
        QCOMPARE(contrD->recordCount(), 0);
    }

    void appendedDetailTakesLinkColumns() {
        testata->moveTo(2);
        bool linkFirst = false;
        contrD->setOnNewRecord([&](Table&) {});
        detta->setOnNewRecord([&](Table& t) { linkFirst = t.field("id_invio").asInteger() == 3; });
        detta->append();
        QVERIFY(linkFirst);
        detta->field("descrizione").setAsString("c1");
        detta->post();
        contrT->append();
        contrT->field("tipo").setAsString("DatiRicezione");
        contrT->post();
        contrD->append();
        QCOMPARE(contrD->field("tipo").asString(), QString("DatiRicezione"));
        contrD->post();
        QCOMPARE(TestDb::valore(db, "select count(*) from dati_acquisto where id_invio=3 and "
                                    "tipo='DatiRicezione'"),
                 QString("1"));
        QCOMPARE(TestDb::valore(db, "select descrizione from dettaglio where id_invio=3"),
                 QString("c1"));
    }

    void masterRefreshAndPostRereadDetail() {
        TestDb::esegui(db,
                       {"INSERT INTO dettaglio (id_invio, prog, descrizione) VALUES (1, 3, 'a3')"});
        testata->refresh();
        QCOMPARE(descrizioni(), QStringList({"a1", "a2", "a3"}));
        TestDb::esegui(db, {"DELETE FROM dettaglio WHERE descrizione='a3'"});
        testata->edit();
        testata->field("rag_soc").setAsString("A2");
        testata->post();
        QCOMPARE(descrizioni(), QStringList({"a1", "a2"}));
    }

    void detailEditSurvivesMasterRefresh() {
        detta->edit();
        detta->field("descrizione").setAsString("in corso");
        testata->refresh();
        QCOMPARE(detta->state(), TableState::Edit);
        QCOMPARE(detta->field("descrizione").asString(), QString("in corso"));
        testata->next(); // leaving the master row posts the detail edit
        QCOMPARE(TestDb::valore(db, "select count(*) from dettaglio where descrizione='in corso'"),
                 QString("1"));
    }

    void newMasterRowHasNoDetail() {
        testata->append();
        QCOMPARE(detta->recordCount(), 0);
        testata->post();
        QCOMPARE(detta->recordCount(), 0);
        QCOMPARE(testata->field("id_invio").asInteger(), 4);
    }

    void masterSourceCanBeExchanged() {
        Table other(conn.get(), "testata");
        other.setSql("select * from testata where id_invio = 2");
        DataSource otherS(&other);
        other.open();
        detta->close();
        detta->setMasterSource(&otherS);
        detta->open();
        QCOMPARE(descrizioni(), QStringList({"b1"}));
        testata->next(); // the former master no longer drives it
        testata->prior();
        QCOMPARE(descrizioni(), QStringList({"b1"}));
        other.setSql("select * from testata where id_invio = 1");
        other.close();
        other.open();
        QCOMPARE(descrizioni(), QStringList({"a1", "a2"}));
    }

    void closedMasterEmptiesDetail() {
        testata->close();
        QCOMPARE(detta->recordCount(), 0);
        testata->open();
        QCOMPARE(detta->recordCount(), 2);
    }
};

QTEST_GUILESS_MAIN(TstMasterDetail)
#include "tst_masterdetail.moc"
