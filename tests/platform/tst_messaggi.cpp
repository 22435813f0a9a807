// The windows' messages as the user meets them: Italian question boxes, long lists in
// a window that fits the screen.
#include "platform/FinestraMessaggio.h"
#include "platform/QtDesktop.h"
#include "platform/Traduzioni.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Runs `esamina` on the modal window that the next call opens, once it is shown.
void allaFinestra(const std::function<void(QWidget*)>& esamina) {
    QTimer::singleShot(0, [esamina] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            QTimer::singleShot(10, [esamina] { allaFinestra(esamina); });
            return;
        }
        esamina(w);
    });
}

} // namespace

class TestMessaggi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(caricaTraduzioni(*QCoreApplication::instance())); }

    void questionBoxSpeaksItalian() {
        QStringList testi;
        allaFinestra([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            for (QAbstractButton* b : box->buttons())
                testi << b->text().remove(u'&');
            box->button(QMessageBox::No)->click();
        });
        QtDesktop desktop;
        QVERIFY(!desktop.conferma(QStringLiteral("Confermi invio a SDI ?")));
        testi.sort();
        QCOMPARE(testi, (QStringList{QStringLiteral("No"), QStringLiteral("Sì")}));
    }

    void longListFitsTheScreenAndCopies() {
        QStringList righe{QStringLiteral("3 documenti rifiutati, 12 file con segnalazioni")};
        for (int i = 0; i < 500; ++i)
            righe << QStringLiteral("- IT01234567897_%1.xml: 00305 partita IVA del cliente non "
                                    "valida")
                         .arg(i, 5, 10, QLatin1Char('0'));
        const QString testo = righe.join(u'\n');
        bool vista = false;
        allaFinestra([&](QWidget* w) {
            auto* f = qobject_cast<FinestraMessaggio*>(w);
            QVERIFY(f);
            vista = true;
            const QRect schermo = f->screen()->availableGeometry();
            QVERIFY2(schermo.contains(f->frameGeometry()),
                     qPrintable(QStringLiteral("%1x%2").arg(f->width()).arg(f->height())));
            QVERIFY(f->isSizeGripEnabled());
            QCOMPARE(f->riepilogo->text(), righe.first());
            QCOMPARE(f->testo->toPlainText(), testo);
            f->copia->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), testo);
            f->ok->click();
        });
        QtDesktop().messaggio(testo);
        QVERIFY(vista);
    }

    void shortMessageStaysAPlainBox() {
        QVERIFY(!FinestraMessaggio::serve(QStringLiteral("Fattura gia inviata")));
        QVERIFY(FinestraMessaggio::serve(QStringLiteral("riga\n").repeated(8)));
        QVERIFY(FinestraMessaggio::serve(QString(601, u'x')));
    }
};

QTEST_MAIN(TestMessaggi)
#include "tst_messaggi.moc"
