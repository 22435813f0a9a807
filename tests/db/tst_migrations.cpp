#include "TestDb.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Migrations.h"

#include <QtTest>
#include <future>

// The versioned steps over a database: each applied once, whoever logs in and however
// often, a failed step left to be tried again, the rows already there untouched.
class TstMigrations : public QObject {
    Q_OBJECT

    const QString db = QStringLiteral("gfe_t_migrations");

    static QList<MigrationStep> steps() {
        return {{QStringLiteral("prova-tabella"),
                 {QStringLiteral("CREATE TABLE IF NOT EXISTS prova_m (id INT PRIMARY KEY)")}},
                {QStringLiteral("prova-colonna"),
                 {QStringLiteral("ALTER TABLE vecchia ADD COLUMN IF NOT EXISTS nuova "
                                 "VARCHAR(20) NULL"),
                  QStringLiteral("INSERT INTO prova_m VALUES (1)")}}};
    }

private slots:
    void init() {
        TestDb::ricrea(db, {});
        TestDb::esegui(db, {QStringLiteral("CREATE TABLE vecchia (n INT) CHARACTER SET latin1"),
                            QStringLiteral("INSERT INTO vecchia VALUES (7)")});
    }

    void stepsApplyOnceAndKeepRows() {
        Connection c(QStringLiteral("m1"));
        TestDb::punta(c, db);
        c.connect();
        QCOMPARE(Migrations::applied(c), QStringList());
        QCOMPARE(Migrations::apply(c, steps()),
                 QStringList({QStringLiteral("prova-tabella"), QStringLiteral("prova-colonna")}));
        QCOMPARE(Migrations::apply(c, steps()), QStringList());
        // The second step's INSERT ran once: a second run would fail on the key.
        QCOMPARE(TestDb::valore(db, QStringLiteral("SELECT COUNT(*) FROM prova_m")),
                 QStringLiteral("1"));
        QCOMPARE(TestDb::valore(db, QStringLiteral("SELECT n FROM vecchia")), QStringLiteral("7"));
    }

    void failedStepIsNamedAndTriedAgain() {
        Connection c(QStringLiteral("m2"));
        TestDb::punta(c, db);
        c.connect();
        TestDb::esegui(db, {QStringLiteral("RENAME TABLE vecchia TO altrove")});
        try {
            Migrations::apply(c, steps());
            QFAIL("a failing step must throw");
        } catch (const DbError& e) {
            QVERIFY2(e.messaggio().contains(QStringLiteral("prova-colonna")),
                     qPrintable(e.messaggio()));
        }
        QCOMPARE(Migrations::applied(c), QStringList{QStringLiteral("prova-tabella")});
        TestDb::esegui(db, {QStringLiteral("RENAME TABLE altrove TO vecchia")});
        QCOMPARE(Migrations::apply(c, steps()), QStringList{QStringLiteral("prova-colonna")});
    }

    void twoProgramsAtOnceApplyEachStepOnce() {
        auto run = [this](int n) {
            Connection c(QStringLiteral("mc%1").arg(n));
            TestDb::punta(c, db);
            c.connect();
            return Migrations::apply(c, steps()).size();
        };
        auto a = std::async(std::launch::async, run, 1);
        auto b = std::async(std::launch::async, run, 2);
        QCOMPARE(a.get() + b.get(), qsizetype(2));
        QCOMPARE(TestDb::valore(db, QStringLiteral("SELECT COUNT(*) FROM prova_m")),
                 QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TstMigrations)
#include "tst_migrations.moc"
