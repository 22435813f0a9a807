#include "platform/MotivoFile.h"

#include <QFile>
#include <QtTest>

#include <cerrno>

// Why a write failed, as the user reads it.
class TstMotivoFile : public QObject {
    Q_OBJECT
private slots:
    // A device without space accepts nothing: the reason is the full disk, not the
    // platform's "Unknown error" of a short write.
    void fullDiskSaysSo() {
        QFile f(QStringLiteral("/dev/full"));
        if (!f.open(QIODevice::WriteOnly)) QSKIP("no /dev/full on this system");
        errno = 0;
        const QByteArray dati(200000, 'x');
        const bool scritto = f.write(dati) == dati.size() && f.flush();
        QVERIFY(!scritto);
        QCOMPARE(motivoFile(f, errno), QStringLiteral("disco pieno, spazio esaurito"));
    }
};

QTEST_GUILESS_MAIN(TstMotivoFile)
#include "tst_motivofile.moc"
