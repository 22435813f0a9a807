// Statement texts and row packing, without a server.
#include "db/PackedRow.h"
#include "db/SqlBuilder.h"

#include <QDate>
#include <QDateTime>
#include <QtTest>

class TstSqlBuilder : public QObject {
    Q_OBJECT
private slots:
    void statementsQuoteNamesAndBindValues() {
        QCOMPARE(SqlBuilder::selectAll("testata", QString(), {"id_invio", "a`b"}),
                 QString("SELECT * FROM `testata` ORDER BY `id_invio`,`a``b`"));
        QCOMPARE(SqlBuilder::insert("t", {"a", "b"}),
                 QString("INSERT INTO `t` (`a`,`b`) VALUES (?,?)"));
        QCOMPARE(SqlBuilder::insert("t", {}), QString("INSERT INTO `t` () VALUES ()"));
        QCOMPARE(SqlBuilder::update("t", {"a", "b"}, SqlBuilder::whereEqual({"k"})),
                 QString("UPDATE `t` SET `a` = ?, `b` = ? WHERE `k` = ?"));
        QCOMPARE(SqlBuilder::remove("t", SqlBuilder::whereSameRow({"a", "b"})),
                 QString("DELETE FROM `t` WHERE `a` <=> ? AND `b` <=> ? LIMIT 1"));
        QCOMPARE(SqlBuilder::selectByKeys("t", "k", 3),
                 QString("SELECT * FROM `t` WHERE `k` IN (?,?,?)"));
        QVERIFY(SqlBuilder::rowSignature({"a", "b"}).contains("ISNULL(`a`),ISNULL(`b`)"));
        QVERIFY(SqlBuilder::readChangeLog("testata").contains("`gfe_modifiche_testata`"));
    }

    // Any number of keys is read in blocks of a few fixed sizes: the statements stay few.
    void keyBlocksHaveFixedSizes() {
        QSet<int> sizes;
        for (int n = 1; n <= 2000; ++n) {
            const int b = SqlBuilder::keyBlock(n);
            QVERIFY(b >= std::min(n, 500));
            sizes.insert(b);
        }
        QCOMPARE(sizes, QSet<int>({1, 10, 100, 500}));
    }

    void packedRowGivesBackEveryValue() {
        const QString lungo = QString(200, QChar(0x20AC)); // past the short text form
        const QVariant nullo{QMetaType(QMetaType::QString)};
        const QVector<QVariant> values = {nullo,
                                          QString(""),
                                          QString("Caffè"),
                                          lungo,
                                          42,
                                          nullo, // a run of nulls
                                          nullo,
                                          nullo,
                                          qint64(1) << 40,
                                          quint64(18446744073709551615ULL),
                                          1.0 / 3,
                                          true,
                                          QDate(2023, 3, 15),
                                          QByteArray("\0x\1", 3),
                                          QDateTime(QDate(2023, 1, 2), QTime(3, 4, 5, 6)),
                                          -7,
                                          nullo,
                                          nullo};
        const PackedRow row(values);
        QCOMPARE(row.count(), values.size());
        std::vector<QMetaType::Type> types(values.size(), QMetaType::QString);
        QVector<QVariant> back;
        row.unpack(back, types);
        for (int i = 0; i < values.size(); ++i) {
            QCOMPARE(back[i].isNull(), values[i].isNull());
            QCOMPARE(back[i], values[i]);
            QCOMPARE(row.value(i, QMetaType::QString), values[i]);
        }
        QCOMPARE(row.value(0, QMetaType::Int).typeId(), int(QMetaType::Int));
        QCOMPARE(row.value(6, QMetaType::Int).typeId(), int(QMetaType::Int));
        QVERIFY(!row.value(values.size(), QMetaType::Int).isValid());
        QVERIFY(row.bytes() < 700);
    }
};

QTEST_GUILESS_MAIN(TstSqlBuilder)
#include "tst_sqlbuilder.moc"
