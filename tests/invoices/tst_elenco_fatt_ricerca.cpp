// Finding an invoice among thousands, and the invoice window enlarged.
#include "invoices/TAreaFatture.h"
#include "tst_elenco_fatt_ambiente.h"
#include "widgets/DBGrid.h"
#include "widgets/MaskEdit.h"

#include <QLineEdit>

class TestRicercaFatture : public QObject {
    Q_OBJECT
    AmbienteElencoFatt amb{QStringLiteral("gfe_test_ricerca")};

    TAreaFatture* area() { return amb.finestra->Panel1; }
    DBGrid* griglia() { return amb.finestra->DBGrid1; }
    int righe() { return griglia()->model()->rowCount(); }
    int conta(const QString& dove) {
        return amb.valore(QStringLiteral("SELECT COUNT(*) FROM testata WHERE ") + dove).toInt();
    }
    // Types as the user does, then the pause after which the list follows.
    void digita(QLineEdit* campo, const QString& testo) {
        campo->setFocus();
        QTest::keyClicks(campo, testo);
        amb.finestra->applicaRicerca();
    }
    // The number of rows on screen.
    int righeVisibili() {
        const int ultima = griglia()->rowAt(griglia()->viewport()->height() - 1);
        return (ultima < 0 ? righe() : ultima + 1) - griglia()->rowAt(0);
    }

private slots:
    void initTestCase() {
        amb.prepara({
            // 5,000 invoices of 50 customers over the year 2023.
            QStringLiteral("INSERT INTO testata (num_doc, data_doc, rag_soc, p_iva) "
                           "SELECT CONCAT(seq, ' /A'), "
                           "DATE_FORMAT('2023-01-01' + INTERVAL (seq % 365) DAY, '%d/%m/%Y'), "
                           "CONCAT('CLIENTE ', seq % 50, ' SRL'), LPAD(seq % 50, 11, '0') "
                           "FROM seq_1_to_5000"),
            // A name holding a quote and the pattern characters, and one that the
            // pattern characters read as wildcards would match too.
            QStringLiteral("INSERT INTO testata (num_doc, data_doc, rag_soc, p_iva) VALUES "
                           "('X1', '15/06/2023', 'L''OSTERIA 100% _BIO_', '01234567897'), "
                           "('X2', '15/06/2023', 'L''OSTERIA 1000 ABIOA', '01234567897')"),
        });
        QVERIFY(amb.apri(true));
        QCOMPARE(righe(), 5002);
    }

    void narrowsByNumberCustomerVatNumberAndPeriod() {
        digita(area()->Cerca, QStringLiteral("4999"));
        QCOMPARE(righe(), 1);
        QCOMPARE(griglia()->cellText(0, 4), QStringLiteral("4999 /A"));
        area()->Pulisci->click();
        QCOMPARE(righe(), 5002);

        digita(area()->Cerca, QStringLiteral("cliente 7 "));
        QCOMPARE(righe(), 100);
        digita(area()->Dal, QStringLiteral("01022023"));
        digita(area()->Al, QStringLiteral("28022023"));
        const int febbraio =
            conta(QStringLiteral("rag_soc = 'CLIENTE 7 SRL' AND STR_TO_DATE(data_doc, '%d/%m/%Y') "
                                 "BETWEEN '2023-02-01' AND '2023-02-28'"));
        QVERIFY(febbraio > 0 && febbraio < 100);
        QCOMPARE(righe(), febbraio);
        for (int r = 0; r < righe(); ++r)
            QVERIFY(griglia()->cellText(r, 3).endsWith(QLatin1String("/02/2023")));

        area()->Pulisci->click();
        QVERIFY(area()->Cerca->text().isEmpty() && area()->Dal->value().isEmpty());
        digita(area()->Cerca, QStringLiteral("01234567897"));
        QCOMPARE(righe(), 2);
        area()->Pulisci->click();
    }

    void typedCharactersMatchAsThemselves() {
        digita(area()->Cerca, QStringLiteral("l'osteria 100% _"));
        QCOMPARE(righe(), 1);
        QCOMPARE(griglia()->cellText(0, 4), QStringLiteral("X1"));
        area()->Pulisci->click();
        digita(area()->Cerca, QStringLiteral("'; DELETE FROM testata; --"));
        QCOMPARE(righe(), 0);
        area()->Pulisci->click();
        QCOMPARE(righe(), 5002);
    }

    void nuovaClearsTheSearchAndShowsTheNewInvoice() {
        digita(area()->Cerca, QStringLiteral("4999"));
        amb.finestra->BitBtn15Click();
        QVERIFY(area()->Cerca->text().isEmpty());
        QCOMPARE(righe(), 5003);
        QCOMPARE(amb.diz->Testata->recNo(), 5002);
    }

    void enlargedWindowShowsMoreRowsAndKeepsItsButtonsAtTheirEdges() {
        QWidget* w = amb.finestra.get();
        const int prima = righeVisibili();
        const int daDestra = w->width() - area()->BitBtn1->mapTo(w, QPoint()).x();
        const int daSotto = w->height() - area()->BitBtn17->mapTo(w, QPoint()).y();
        w->resize(1400, 1000);
        QTRY_COMPARE(w->size(), QSize(1400, 1000));
        QVERIFY2(righeVisibili() > prima + 10,
                 qPrintable(QStringLiteral("%1 -> %2").arg(prima).arg(righeVisibili())));
        QCOMPARE(w->width() - area()->BitBtn1->mapTo(w, QPoint()).x(), daDestra);
        QCOMPARE(w->height() - area()->BitBtn17->mapTo(w, QPoint()).y(), daSotto);
        // A date shows whole.
        const QFontMetrics fm(griglia()->font());
        QVERIFY(griglia()->columnWidth(3) > fm.horizontalAdvance(QStringLiteral("12/03/2023")));
    }

    void cleanupTestCase() { amb.chiudi(); }
};

QTEST_MAIN(TestRicercaFatture)
#include "tst_elenco_fatt_ricerca.moc"
