// The demo's year as a newcomer meets it: the hand-written documents and the generated
// year imported by gfe-batch, every file written through the validator.
#include "AnnoContabile.h"
#include "TestDb.h"
#include "batch/Batch.h"
#include "fatturapa/ValidatoreFatturaPA.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

class TestAnnoDemo : public QObject {
    Q_OBJECT
private slots:
    void demoYearPassesTheChecksButOnPurpose() {
        QTemporaryDir lavoro;
        QVERIFY(lavoro.isValid());
        const QString db = QStringLiteral("gfe_t_demo");
        const QString uscita = lavoro.filePath(QStringLiteral("out")) + u'/';
        QVERIFY(QDir().mkpath(uscita));
        TestDb::ricrea(db, {QStringLiteral("xml_quirn.sql"), QStringLiteral("demo_xml_quirn.sql")});
        TestDb::esegui(db, {QStringLiteral("UPDATE azienda SET path = '%1'").arg(uscita)});
        const QString contabilita = QStringLiteral("quirn19");
        TestDb::ricrea(contabilita,
                       {QStringLiteral("quirn19.sql"), QStringLiteral("demo_quirn19.sql")});
        TestDb::esegui(contabilita, annoContabile(ParametriAnno{}));
        QFile ini(lavoro.filePath(QStringLiteral("ip.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("127.0.0.1\n%1\nA\n").arg(db).toUtf8());
        ini.close();

        QString out, err;
        QTextStream o(&out), e(&err);
        Batch batch(o, e);
        const int rc = batch.esegui({QStringLiteral("gfe-batch"), QStringLiteral("import"),
                                     QStringLiteral("--date"), QStringLiteral("31/12/23")},
                                    lavoro.path());
        o.flush();
        e.flush();
        QVERIFY2(rc == 0, qPrintable(err));

        const QDir cartella(uscita);
        const QStringList file = cartella.entryList({QStringLiteral("*.xml")}, QDir::Files);
        QVERIFY(file.size() > 250);
        // No customer fails its check digits (00305, 00306) or anything else; a public
        // office's six-character code may show in a file of the private format only.
        for (const QString& f : file)
            for (const Problema& p : ValidatoreFatturaPA().valida(cartella.filePath(f)))
                QVERIFY2(p.descrizione().startsWith(QLatin1String("00427")),
                         qPrintable(f + QStringLiteral(": ") + p.descrizione()));
    }
};

QTEST_MAIN(TestAnnoDemo)
#include "tst_anno_demo.moc"
