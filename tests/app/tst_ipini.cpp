#include "app/ErroreFile.h"
#include "app/IpIni.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The settings file: three lines taken as they are, whatever their terminator.
class TstIpIni : public QObject {
    Q_OBJECT
    QTemporaryDir cartella;

    void scrivi(const QByteArray& contenuto) {
        QFile f(IpIni::percorso(cartella.path()));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contenuto);
    }

private slots:
    void cleanup() {
        QFile::remove(IpIni::percorso(cartella.path()));
        QDir(cartella.path()).rmdir(QStringLiteral("ip.ini"));
    }

    void leggeTreRighe_data() {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("titolo");
        QTest::newRow("a capo") << QByteArray("127.0.0.1\nxml_quirn\nA\n") << "127.0.0.1"
                                << "xml_quirn"
                                << "A";
        QTest::newRow("a capo con ritorno")
            << QByteArray("127.0.0.1\r\nxml_quirn\r\nA\r\n") << "127.0.0.1"
            << "xml_quirn"
            << "A";
        QTest::newRow("senza a capo finale") << QByteArray("h\r\nd\r\nA") << "h"
                                             << "d"
                                             << "A";
        QTest::newRow("due righe") << QByteArray("h\nd\n") << "h"
                                   << "d"
                                   << "";
        QTest::newRow("una riga") << QByteArray("h") << "h"
                                  << ""
                                  << "";
        QTest::newRow("vuoto") << QByteArray() << ""
                               << ""
                               << "";
        QTest::newRow("riga vuota in mezzo") << QByteArray("h\n\nA\n") << "h"
                                             << ""
                                             << "A";
        QTest::newRow("spazi conservati") << QByteArray(" h \t\nd  \r\nA \n") << " h \t"
                                          << "d  "
                                          << "A ";
        QTest::newRow("oltre la terza") << QByteArray("h\nd\nt\nquarta\nquinta\n") << "h"
                                        << "d"
                                        << "t";
        QTest::newRow("righe lunghe intere")
            << QByteArray("127.000.000.001:3306\nun_database_lungo\nTitolo lungo\n")
            << "127.000.000.001:3306"
            << "un_database_lungo"
            << "Titolo lungo";
        QTest::newRow("byte singolo") << QByteArray("h\nd\nSerie \xe8\n") << "h"
                                      << "d" << QString::fromUtf8("Serie è");
    }
    void leggeTreRighe() {
        QFETCH(QByteArray, contenuto);
        scrivi(contenuto);
        QVERIFY(IpIni::esiste(cartella.path()));
        const IpIni ini = IpIni::leggi(cartella.path());
        QTEST(ini.server, "server");
        QTEST(ini.database, "database");
        QTEST(ini.titolo, "titolo");
    }

    void fileMancante() {
        QVERIFY(!IpIni::esiste(cartella.path()));
        QVERIFY_THROWS_EXCEPTION(ErroreFile, IpIni::leggi(cartella.path()));
    }

    void unreadableFileIsNamed() {
        QVERIFY(QDir(cartella.path()).mkdir(QStringLiteral("ip.ini")));
        QVERIFY(IpIni::esiste(cartella.path()));
        try {
            IpIni::leggi(cartella.path());
            QFAIL("letto un file illeggibile");
        } catch (const ErroreFile& e) {
            QCOMPARE(e.messaggio(), "Impossibile leggere " + IpIni::percorso(cartella.path()) +
                                        ": file to open is a directory");
        }
    }
};

QTEST_GUILESS_MAIN(TstIpIni)
#include "tst_ipini.moc"
