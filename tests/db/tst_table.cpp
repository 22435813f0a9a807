#include "TestDb.h"
#include "data/Migrazioni.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "db/Table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <memory>
#include <sys/types.h>

namespace {
// Whether every thread of the process is stopped (state T in its stat line).
bool tuttiFermi(pid_t pid) {
    const QDir dir(QString("/proc/%1/task").arg(pid));
    const QStringList fili = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& filo : fili) {
        QFile stat(dir.filePath(filo + "/stat"));
        if (!stat.open(QIODevice::ReadOnly)) continue; // a thread that has ended meanwhile
        const QByteArray riga = stat.readAll();
        const int fine = riga.lastIndexOf(')');
        if (fine < 0 || riga.mid(fine + 2, 1) != "T") return false;
    }
    return !fili.isEmpty();
}
} // namespace

class TstTable : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_table");
    std::unique_ptr<Connection> conn;

    std::unique_ptr<Table> apri(const QString& name) {
        auto t = std::make_unique<Table>(conn.get(), name);
        t->open();
        return t;
    }

private slots:
    void init() {
        // Every value read lies within what the server sent.
        QTest::failOnWarning(QRegularExpression("QMYSQLResult::data: column"));
        TestDb::ricrea(db, {"xml_quirn.sql"});
        {
            // The program's own tables and triggers, as log-in adds them.
            Connection migrazioni("migrazioni");
            TestDb::punta(migrazioni, db);
            migrazioni.connect();
            applicaMigrazioni(migrazioni);
        }
        TestDb::esegui(
            db,
            {
                "INSERT INTO clienti (rag_soc, cap) VALUES ('beta', '00100'), ('Alfa', '20100'), "
                "('gamma', NULL)",
                "INSERT INTO testata (id_invio, rag_soc, inviata) VALUES (5, 'UNO', 0), (3, 'DUE', "
                "1)",
                "INSERT INTO dettaglio (id_invio, prog, descrizione) VALUES (3, 1, 'uguale'), "
                "(3, 1, 'uguale'), (3, 2, 'altra')",
            });
        conn = std::make_unique<Connection>("test");
        TestDb::punta(*conn, db);
    }
    void cleanup() { conn.reset(); }

    void connectsWhenOpened() {
        QVERIFY(!conn->isConnected());
        auto t = apri("clienti");
        QVERIFY(conn->isConnected());
        QCOMPARE(t->state(), TableState::Browse);
        t->open(); // opening an open table does nothing
        QCOMPARE(t->recordCount(), 3);
        t->close();
        t->close();
        QCOMPARE(t->state(), TableState::Inactive);
        QCOMPARE(t->recordCount(), 0);
    }

    void connectionErrorCarriesServerMessage() {
        conn->setPassword("sbagliata");
        try {
            conn->connect();
            QFAIL("connected with a wrong password");
        } catch (const DbError& e) {
            QVERIFY2(e.messaggio().contains("Access denied"), qPrintable(e.messaggio()));
        }
    }

    void missingTableAndStatementErrors() {
        QVERIFY_THROWS_EXCEPTION(DbError, apri("non_esiste"));
        Query q(conn.get());
        q.setSql("delete from dettaglio where id_invio=");
        try {
            q.execSql();
            QFAIL("bad statement executed");
        } catch (const DbError& e) {
            QVERIFY2(e.messaggio().contains("SQL syntax"), qPrintable(e.messaggio()));
        }
        q.setSql("delete from dettaglio where id_invio=3");
        QCOMPARE(q.execSql(), 3);
    }

    // Statements with bindings are kept prepared: a failure, a reconnection and a
    // change of the table underneath must not leave a stale statement behind.
    void preparedStatementsStayUsable() {
        conn->connect();
        const QString ins = "INSERT INTO clienti (id, rag_soc) VALUES (?, ?)";
        conn->exec(ins, {10, "dieci"});
        try {
            conn->exec(ins, {10, "doppio"});
            QFAIL("duplicate key accepted");
        } catch (const DbError& e) {
            QVERIFY2(e.messaggio().contains("Duplicate"), qPrintable(e.messaggio()));
        }
        conn->exec(ins, {11, "undici"});
        TestDb::esegui(db, {"ALTER TABLE clienti ADD COLUMN extra INT DEFAULT 7"});
        Statement q = conn->exec("SELECT extra FROM clienti WHERE id = ?", {11});
        QVERIFY(q->next());
        QCOMPARE(q->value(0).toInt(), 7);
        conn->disconnect();
        conn->connect();
        Statement r = conn->exec("SELECT rag_soc FROM clienti WHERE id = ?", {10});
        QVERIFY(r->next());
        QCOMPARE(r->value(0).toString(), QString("dieci"));
    }

    void rowOrderHoldsForAnyStatement() {
        Table t(conn.get(), "clienti");
        t.setOrderBy({"rag_soc"});
        t.setSql("select * from clienti order by id desc");
        t.open();
        QStringList names;
        for (t.first(); !t.eof(); t.next())
            names << t.field("RAG_SOC").asString();
        QCOMPARE(names, QStringList({"Alfa", "beta", "gamma"}));
    }

    void postedRowTakesItsPlaceInTheOrder() {
        Table t(conn.get(), "clienti");
        t.setOrderBy({"rag_soc"});
        t.open();
        QVERIFY(t.locate("rag_soc", "Alfa"));
        t.edit();
        t.field("rag_soc").setAsString("zeta");
        t.post();
        QCOMPARE(t.recNo(), 2);
        QCOMPARE(t.field("rag_soc").asString(), QString("zeta"));
        t.append();
        t.field("rag_soc").setAsString("delta");
        t.post();
        QCOMPARE(t.recNo(), 1);
        QStringList names;
        for (t.first(); !t.eof(); t.next())
            names << t.field("rag_soc").asString();
        QCOMPARE(names, QStringList({"beta", "delta", "gamma", "zeta"}));
    }

    void fieldsByNameAndType() {
        auto t = apri("testata");
        QVERIFY(t->locate("id_invio", 3));
        QCOMPARE(t->field("ID_INVIO").asInteger(), 3);
        QCOMPARE(t->field("Id_Invio").asString(), QString("3"));
        QCOMPARE(t->field("inviata").asBoolean(), true);
        QVERIFY(t->field("pec").isNull());
        QVERIFY(t->field("pec").value().isNull());
        QCOMPARE(t->field("pec").asString(), QString());
        QVERIFY_THROWS_EXCEPTION(DbError, t->field("manca"));
    }

    void longTextIsCutToTheColumn() {
        auto t = apri("clienti");
        t->edit();
        t->field("cap").setAsString("1234567890");
        t->field("rag_soc").setAsString(QString(70, QChar(0xE0))); // 'à' x 70
        QCOMPARE(t->field("cap").asString(), QString("12345"));
        t->post();
        QCOMPARE(TestDb::valore(db, "select cap from clienti where rag_soc like 'à%'"),
                 QString("12345"));
        QCOMPARE(TestDb::valore(db, "select char_length(rag_soc) from clienti where cap='12345'"),
                 QString("60"));
    }

    void navigationAndLocate() {
        auto t = apri("dettaglio");
        QCOMPARE(t->recordCount(), 3);
        t->first();
        QVERIFY(t->bof() && !t->eof());
        t->next();
        t->next();
        QVERIFY(!t->eof());
        t->next();
        QVERIFY(t->eof());
        QCOMPARE(t->recNo(), 2);
        QVERIFY(t->locate("id_invio", 3, "prog", 2));
        QCOMPARE(t->field("descrizione").asString(), QString("altra"));
        QVERIFY(!t->locate("id_invio", 3, "prog", 9));
        QCOMPARE(t->recNo(), 2);                     // a failed locate stays where it was
        QVERIFY(!t->locate("descrizione", "ALTRA")); // exact, letter case counts
    }

    void editOnEmptyTableStartsNewRow() {
        TestDb::esegui(db, {"DELETE FROM clienti"});
        auto t = apri("clienti");
        t->edit();
        QCOMPARE(t->state(), TableState::Insert);
        t->field("rag_soc").setAsString("Nuovo");
        t->post();
        QVERIFY(t->field("id").asInteger() > 0);
        QCOMPARE(TestDb::valore(db, "select count(*) from clienti"), QString("1"));
    }

    void appendStoresServerKeyAndDefaults() {
        auto t = apri("testata");
        QSignalSpy spy(t.get(), &Table::afterPost);
        bool sawEmptyRow = false;
        t->setOnNewRecord([&](Table& tt) { sawEmptyRow = tt.field("rag_soc").isNull(); });
        t->append();
        QVERIFY(sawEmptyRow);
        t->field("rag_soc").setAsString("TRE");
        t->post();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(t->field("id_invio").asInteger(), 6);
        QCOMPARE(t->field("inviata").asBoolean(), false); // the server's default, read back
        QCOMPARE(TestDb::valore(db, "select rag_soc from testata where id_invio=6"),
                 QString("TRE"));
    }

    void cancelRestoresAndDropsNewRow() {
        auto t = apri("clienti");
        t->moveTo(1);
        t->edit();
        t->field("cap").setAsString("99999");
        t->cancel();
        QCOMPARE(t->field("cap").asString(), QString("20100"));
        t->append();
        QCOMPARE(t->recordCount(), 4);
        t->cancel();
        QCOMPARE(t->recordCount(), 3);
        QCOMPARE(t->recNo(), 1);
        QCOMPARE(TestDb::valore(db, "select count(*) from clienti"), QString("3"));
    }

    void writingInBrowseStateIsRefused() {
        auto t = apri("clienti");
        QVERIFY_THROWS_EXCEPTION(DbError, t->field("cap").setAsString("1"));
    }

    // Another program sets `inviata` while the header is being edited: posting the
    // edit writes only the changed column and keeps that change.
    void postKeepsOtherProgramsChanges() {
        auto t = apri("testata");
        QVERIFY(t->locate("id_invio", 5));
        t->edit();
        t->field("rag_soc").setAsString("UNO MODIFICATO");
        TestDb::esegui(db, {"UPDATE testata SET inviata=1 WHERE id_invio=5"});
        t->post();
        QCOMPARE(TestDb::valore(db, "select inviata from testata where id_invio=5"), QString("1"));
        QCOMPARE(TestDb::valore(db, "select rag_soc from testata where id_invio=5"),
                 QString("UNO MODIFICATO"));
    }

    // Rows of a table without a key are found by their values as read: exactly one
    // of two equal rows is changed or deleted.
    void keylessRowsTouchExactlyOne() {
        auto t = apri("dettaglio");
        QVERIFY(t->locate("descrizione", "uguale"));
        t->edit();
        t->field("descrizione").setAsString("cambiata");
        t->post();
        QCOMPARE(TestDb::valore(db, "select count(*) from dettaglio where descrizione='uguale'"),
                 QString("1"));
        QVERIFY(t->locate("descrizione", "uguale"));
        t->remove();
        QCOMPARE(TestDb::valore(db, "select count(*) from dettaglio"), QString("2"));
        QCOMPARE(t->recordCount(), 2);
    }

    void changedMeanwhileKeylessRowIsReported() {
        auto t = apri("dettaglio");
        QVERIFY(t->locate("descrizione", "altra"));
        TestDb::esegui(db, {"UPDATE dettaglio SET quantita='2,00' WHERE descrizione='altra'"});
        t->edit();
        t->field("descrizione").setAsString("x");
        QVERIFY_THROWS_EXCEPTION(DbError, t->post());
        QCOMPARE(t->state(), TableState::Edit); // the edit is kept for the user
    }

    void movingPostsPendingEdit() {
        auto t = apri("clienti");
        t->first();
        t->edit();
        t->field("cap").setAsString("11111");
        t->next();
        QCOMPARE(t->state(), TableState::Browse);
        QCOMPARE(TestDb::valore(db, "select cap from clienti where rag_soc='beta'"),
                 QString("11111"));
    }

    void refreshKeepsCurrentRowAndSeesChanges() {
        auto t = apri("testata");
        t->setOrderBy({"id_invio"});
        t->close();
        t->open();
        QVERIFY(t->locate("id_invio", 5));
        TestDb::esegui(db, {"INSERT INTO testata (id_invio, rag_soc) VALUES (1, 'PRIMA')",
                            "UPDATE testata SET rag_soc='NUOVO' WHERE id_invio=5"});
        t->refresh();
        QCOMPARE(t->recordCount(), 3);
        QCOMPARE(t->field("id_invio").asInteger(), 5);
        QCOMPARE(t->field("rag_soc").asString(), QString("NUOVO"));
    }

    // Refreshes after the first re-read only the rows another program added, changed or
    // removed; what the table shows must equal a fresh read every time.
    void repeatedRefreshesFollowEveryChange() {
        Table t(conn.get(), "clienti");
        t.setOrderBy({"rag_soc"});
        t.addCalculatedField("maiuscolo");
        t.setOnCalcFields([](Table& tt) {
            tt.field("maiuscolo").setAsString(tt.field("rag_soc").asString().toUpper());
        });
        t.open();
        const auto righe = [&t] {
            QStringList out;
            for (int r = 0; r < t.recordCount(); ++r)
                out << t.value(r, t.fieldIndex("rag_soc")).toString() + "|" +
                           t.value(r, t.fieldIndex("cap")).toString() + "|" +
                           (t.value(r, t.fieldIndex("cap")).isNull() ? "null" : "val") + "|" +
                           t.value(r, t.fieldIndex("maiuscolo")).toString();
            return out;
        };
        QVERIFY(t.locate("rag_soc", "beta"));
        t.refresh(); // reads the signatures too
        TestDb::esegui(db, {"UPDATE clienti SET cap='' WHERE rag_soc='gamma'", // null -> empty
                            "UPDATE clienti SET rag_soc='alfetta' WHERE rag_soc='beta'",
                            "INSERT INTO clienti (rag_soc, cap) VALUES ('aaa', '1')",
                            "DELETE FROM clienti WHERE rag_soc='Alfa'"});
        t.refresh();
        QCOMPARE(righe(),
                 QStringList({"aaa|1|val|AAA", "alfetta|00100|val|ALFETTA", "gamma||val|GAMMA"}));
        QCOMPARE(t.field("rag_soc").asString(), QString("alfetta")); // the same row stays current
        t.edit();
        t.field("cap").setAsString("55555");
        t.post();
        TestDb::esegui(db, {"UPDATE clienti SET cap=NULL WHERE rag_soc='aaa'"});
        t.refresh();
        QCOMPARE(righe(),
                 QStringList({"aaa||null|AAA", "alfetta|55555|val|ALFETTA", "gamma||val|GAMMA"}));
        QStringList many;
        for (int i = 0; i < 150; ++i)
            many << QString("('n%1', '2')").arg(i, 3, 10, QLatin1Char('0'));
        TestDb::esegui(db, {"INSERT INTO clienti (rag_soc, cap) VALUES " + many.join(',')});
        t.refresh(); // many changes: the whole table is read again
        QCOMPARE(t.recordCount(), 153);
        QCOMPARE(t.value(152, t.fieldIndex("rag_soc")).toString(), QString("n149"));
        QCOMPARE(t.field("rag_soc").asString(), QString("alfetta"));
    }

    // Whatever another program writes, and however, the next refresh shows exactly what a
    // fresh read shows; with the change log and, on a database without it, with the
    // row signatures.
    void refreshSeesEveryChange_data() {
        QTest::addColumn<bool>("log");
        QTest::newRow("change log") << true;
        QTest::newRow("without the log") << false;
    }
    void refreshSeesEveryChange() {
        QFETCH(bool, log);
        if (!log)
            TestDb::esegui(db,
                           {"DROP TRIGGER testata_gfe_ins", "DROP TRIGGER testata_gfe_upd",
                            "DROP TRIGGER testata_gfe_del", "DROP TABLE gfe_modifiche_testata"});
        Table t(conn.get(), "testata");
        t.setOrderBy({"rag_soc"});
        t.addCalculatedField("doppio");
        t.setOnCalcFields([](Table& tt) {
            tt.field("doppio").setAsString(tt.field("rag_soc").asString().repeated(2));
        });
        t.open();
        QCOMPARE(t.followsChangeLog(), log);
        const auto contenuto = [](Table& tab) {
            QStringList out;
            for (int r = 0; r < tab.recordCount(); ++r) {
                QStringList riga;
                for (int c = 0; c < tab.columnCount(); ++c) {
                    const QVariant v = tab.value(r, c);
                    riga << (v.isNull() ? "null" : v.toString());
                }
                out << riga.join('|');
            }
            return out;
        };
        const auto comeNuova = [&] {
            Table nuova(conn.get(), "testata");
            nuova.setOrderBy({"rag_soc"});
            nuova.addCalculatedField("doppio");
            nuova.setOnCalcFields([](Table& tt) {
                tt.field("doppio").setAsString(tt.field("rag_soc").asString().repeated(2));
            });
            nuova.open();
            return contenuto(nuova);
        };
        QVERIFY(t.locate("id_invio", 3));
        t.refresh();
        TestDb::esegui(db, {"UPDATE testata SET inviata = 0, pec = 'x' WHERE id_invio = 3",
                            "INSERT INTO testata (id_invio, rag_soc) VALUES (7, 'ZETA')",
                            "DELETE FROM testata WHERE id_invio = 5"});
        t.refresh();
        QCOMPARE(contenuto(t), comeNuova());
        // Deleted and written again under the same key; two changes in one interval.
        TestDb::esegui(db, {"DELETE FROM testata WHERE id_invio = 7",
                            "INSERT INTO testata (id_invio, rag_soc) VALUES (7, 'AAA')",
                            "UPDATE testata SET rag_soc = 'PRIMA' WHERE id_invio = 3",
                            "UPDATE testata SET rag_soc = 'DOPO' WHERE id_invio = 3"});
        t.refresh();
        QCOMPARE(contenuto(t), comeNuova());
        QCOMPARE(t.field("id_invio").asInteger(), 3); // the current row stays current
        // Written while this table edits the same row.
        t.edit();
        t.field("num_doc").setAsString("12");
        TestDb::esegui(db, {"UPDATE testata SET tot_doc = '9,00' WHERE id_invio = 3",
                            "INSERT INTO testata (id_invio, rag_soc) VALUES (9, 'NOVE')"});
        t.post();
        t.refresh();
        QCOMPARE(contenuto(t), comeNuova());
        QCOMPARE(t.field("tot_doc").asString(), QString("9,00"));
        // A transaction still open holds a change while a later one commits: each shows
        // once it is committed.
        Connection altra("altra");
        TestDb::punta(altra, db);
        altra.connect();
        altra.begin();
        altra.exec("UPDATE testata SET rag_soc = 'LENTA' WHERE id_invio = 9");
        TestDb::esegui(db, {"UPDATE testata SET rag_soc = 'SVELTA' WHERE id_invio = 7"});
        t.refresh();
        QCOMPARE(contenuto(t), comeNuova());
        QVERIFY(t.locate("rag_soc", "SVELTA"));
        altra.commit();
        t.refresh();
        QCOMPARE(contenuto(t), comeNuova());
        QVERIFY(t.locate("rag_soc", "LENTA"));
    }

    // A stored row keeps its key; a new row takes any.
    void keyOfAStoredRowIsRefused() {
        auto t = apri("testata");
        QVERIFY(t->locate("id_invio", 5));
        t->edit();
        try {
            t->field("id_invio").setAsInteger(6);
            QFAIL("key changed");
        } catch (const DbError& e) {
            QVERIFY2(e.messaggio().contains("id_invio"), qPrintable(e.messaggio()));
        }
        t->field("id_invio").setAsInteger(5); // the same value is no change
        t->cancel();
        t->append();
        t->field("id_invio").setAsInteger(6);
        t->post();
        QCOMPARE(TestDb::valore(db, "select count(*) from testata"), QString("3"));
    }

    void bookmarks() {
        auto t = apri("clienti");
        t->moveTo(2);
        const Bookmark b = t->bookmark();
        t->first();
        QVERIFY(t->gotoBookmark(b));
        QCOMPARE(t->recNo(), 2);
        QVERIFY(!t->gotoBookmark(Bookmark()));
    }

    void autoRefreshSkipsEditsAndResumes() {
        auto t = apri("testata");
        t->setAutoRefresh(50);
        QVERIFY(t->locate("id_invio", 5));
        t->edit();
        t->field("rag_soc").setAsString("IN CORSO");
        TestDb::esegui(db, {"UPDATE testata SET inviata=1 WHERE id_invio=3"});
        QTest::qWait(200);
        QCOMPARE(t->state(), TableState::Edit);
        QCOMPARE(t->field("rag_soc").asString(), QString("IN CORSO"));
        t->post();
        QVERIFY(t->locate("id_invio", 3));
        TestDb::esegui(db, {"UPDATE testata SET rag_soc='DA FUORI' WHERE id_invio=3"});
        QTRY_COMPARE(t->field("rag_soc").asString(), QString("DA FUORI"));
        QVERIFY(t->autoRefreshActive());
    }

    void autoRefreshSwitchesOffWhenTheServerIsGone() {
        auto t = apri("testata");
        QSignalSpy failed(t.get(), &Table::autoRefreshFailed);
        QSqlQuery q = conn->exec("select connection_id()");
        q.next();
        TestDb::esegui(db, {"KILL " + q.value(0).toString()});
        t->setAutoRefresh(50);
        QTRY_COMPARE(failed.count(), 1);
        QVERIFY(!t->autoRefreshActive());
        QVERIFY(!failed.first().first().toString().isEmpty());
        QCOMPARE(t->recordCount(), 2); // the rows read before stay
    }

    // A server that stops answering gives one clear message within the timeout (shortened
    // here by GFE_DB_TIMEOUT); the default waits longer than the server's lock wait.
    void stoppedServerTimesOut() {
        qunsetenv("GFE_DB_TIMEOUT");
        conn->connect();
        QSqlQuery attesa = conn->exec("SELECT @@innodb_lock_wait_timeout, @@pid_file");
        QVERIFY(attesa.next());
        QVERIFY(Connection::readWriteTimeout() > attesa.value(0).toInt());
        QFile pidFile(attesa.value(1).toString());
        const pid_t pid =
            pidFile.open(QIODevice::ReadOnly) ? pidFile.readAll().trimmed().toInt() : 0;
        if (pid <= 0 || ::kill(pid, 0) != 0)
            QSKIP("the test server's process is not reachable from here");
        qputenv("GFE_DB_TIMEOUT", "2");
        conn->disconnect();
        conn->connect();
        struct Riprendi {
            pid_t pid;
            ~Riprendi() { ::kill(pid, SIGCONT); }
        } riprendi{pid};
        QVERIFY(::kill(pid, SIGSTOP) == 0);
        // The signal reaches a server running on another core a moment later: wait until
        // every thread of it has stopped, or it may still answer the query below.
        QTRY_VERIFY_WITH_TIMEOUT(tuttiFermi(pid), 5000);
        QElapsedTimer tempo;
        tempo.start();
        try {
            conn->exec("SELECT 1");
            QFAIL("the stopped server answered");
        } catch (const DbError& e) {
            QVERIFY2(e.messaggio().startsWith("Connessione al database 'gfe_t_table'") &&
                         !e.messaggio().contains('\n'),
                     qPrintable(e.messaggio()));
        }
        QVERIFY2(tempo.elapsed() < 20000, qPrintable(QString::number(tempo.elapsed())));
        ::kill(pid, SIGCONT);
        qunsetenv("GFE_DB_TIMEOUT");
        conn->connect();
        QCOMPARE(conn->exec("SELECT 1 + 1").next(), true);
    }

    void dataSourceRelaysAndStartsEdits() {
        auto t = apri("clienti");
        DataSource ds(t.get());
        QSignalSpy moved(&ds, &DataSource::recordChanged);
        QSignalSpy state(&ds, &DataSource::stateChanged);
        QSignalSpy field(&ds, &DataSource::fieldChanged);
        t->next();
        QCOMPARE(moved.count(), 1);
        ds.edit();
        QCOMPARE(t->state(), TableState::Edit);
        QCOMPARE(state.count(), 1);
        t->field("cap").setAsString("1");
        QCOMPARE(field.count(), 1);
        QCOMPARE(field.first().first().toInt(), t->fieldIndex("cap"));
    }
};

QTEST_GUILESS_MAIN(TstTable)
#include "tst_table.moc"
