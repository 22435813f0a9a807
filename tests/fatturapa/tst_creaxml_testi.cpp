#include "fatturapa/CodificaXml.h"
#include "fatturapa/FormeXml.h"
#include "fatturapa/ScontoRiga.h"
#include "platform/ErroreConversione.h"

#include <QtTest>

// The texts of the FatturaPA writers that need no database: coding of free
// text, safe values, number forms, instalments and the discount per unit.
class TstCreaXmlTesti : public QObject {
    Q_OBJECT

private slots:
    void codifica_data() {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("e commerciale e trattino") << "Alfa & Beta - S.r.l."
                                                  << "Alfa &#38; Beta &#45; S.r.l.";
        QTest::newRow("grado e barra") << "N° 5/B"
                                       << "N&#176; 5&#47;B";
        QTest::newRow("gli otto caratteri") << "&!\"/-°@+"
                                            << "&#38;&#33;&#34;&#47;&#45;&#176;&#64;&#43;";
        QTest::newRow("un riferimento già scritto") << "&#45;"
                                                    << "&#38;#45;";
        QTest::newRow("minore, maggiore, apostrofo restano") << "<l'uno>"
                                                             << "<l'uno>";
        QTest::newRow("senza caratteri da sostituire") << "Via Roma 1, Verona"
                                                       << "Via Roma 1, Verona";
        QTest::newRow("vuoto") << ""
                               << "";
    }
    void codifica() {
        QFETCH(QString, testo);
        QFETCH(QString, atteso);
        QCOMPARE(CodificaXml(testo), atteso);
    }

    void valoriSicuri_data() {
        QTest::addColumn<QString>("valore");
        QTest::addColumn<QString>("comeMemorizzato");
        QTest::addColumn<QString>("codificato");
        QTest::newRow("marcatura") << "A&B <C> D-1"
                                   << "A&#38;B &#60;C&#62; D-1"
                                   << "A&#38;B &#60;C&#62; D&#45;1";
        QTest::newRow("caratteri di controllo tolti") << QString("a\x01"
                                                                 "b\tc\nd\re\x1f")
                                                      << "ab\tc\nd\re"
                                                      << "ab\tc\nd\re";
        QTest::newRow("surrogato spaiato tolto, coppia tenuta")
            << QStringView(u"x\xD800y\U0001F600").toString()
            << QStringView(u"xy\U0001F600").toString() << QStringView(u"xy\U0001F600").toString();
        QTest::newRow("non caratteri tolti") << QStringView(u"a\xFFFE\xFFFF").toString() << "a"
                                             << "a";
        QTest::newRow("accenti invariati") << "Società è"
                                           << "Società è"
                                           << "Società è";
    }
    void valoriSicuri() {
        QFETCH(QString, valore);
        QFETCH(QString, comeMemorizzato);
        QFETCH(QString, codificato);
        QCOMPARE(ValoreXml::comeMemorizzato(valore), comeMemorizzato);
        QCOMPARE(ValoreXml::codificato(valore), codificato);
    }

    void forme() {
        QCOMPARE(FormeXml::duePunto("1234,5"), QString("1234.50"));
        QCOMPARE(FormeXml::duePunto("0,125"), QString("0.13"));
        QCOMPARE(FormeXml::duePunto("-0,125"), QString("-0.13"));
        QCOMPARE(FormeXml::duePunto("-0,004"), QString("0.00"));
        QCOMPARE(FormeXml::duePunto("1000000"), QString("1000000.00"));
        QCOMPARE(FormeXml::quattroPunto("12,5"), QString("12.5000"));
        QCOMPARE(FormeXml::data("05/03/2023"), QString("2023-03-05"));
        QVERIFY_THROWS_EXCEPTION(ErroreConversione, FormeXml::duePunto(""));
        QVERIFY_THROWS_EXCEPTION(ErroreConversione, FormeXml::duePunto("1.234,5"));
        QVERIFY_THROWS_EXCEPTION(ErroreConversione, FormeXml::data("2023-03-05x"));
        QVERIFY(FormeXml::positivo("0.01"));
        QVERIFY(!FormeXml::positivo("0.00"));
        QVERIFY(!FormeXml::positivo("-0.01"));
    }

    void rata_data() {
        QTest::addColumn<QString>("totale");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("1220.00 in una") << "1220.00" << 1 << "1220.00";
        QTest::newRow("100.00 in tre") << "100.00" << 3 << "33.33";
        QTest::newRow("0.05 in due") << "0.05" << 2 << "0.03";
        QTest::newRow("95.79 in tre") << "95.79" << 3 << "31.93";
        QTest::newRow("200.00 in tre") << "200.00" << 3 << "66.67";
        QTest::newRow("negativo verso lo zero") << "-100.00" << 3 << "-33.32";
        // A 32-bit float keeps about seven digits.
        QTest::newRow("grande in float") << "123456789.00" << 1 << "123456792.00";
    }
    void rata() {
        QFETCH(QString, totale);
        QFETCH(int, n);
        QFETCH(QString, atteso);
        QCOMPARE(FormeXml::rata(totale, n), atteso);
    }

    void sommaImponibili() {
        float s = float(FormeXml::valore("100.00"));
        s = FormeXml::somma32(s, "50.50");
        QCOMPARE(FormeXml::duePunto32(s), QString("150.50"));
        // Seven digits: the cents of a large sum are those of the float.
        s = FormeXml::somma32(float(FormeXml::valore("99999.99")), "0.01");
        QCOMPARE(FormeXml::duePunto32(s), QString("100000.00"));
        s = FormeXml::somma32(float(FormeXml::valore("1000000.01")), "1000000.01");
        QCOMPARE(FormeXml::duePunto32(s), QString("2000000.00"));
    }

    void scontoUnitario_data() {
        QTest::addColumn<QString>("scImporto");
        QTest::addColumn<QString>("quantita");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("2,00 su 2") << "2,00"
                                   << "2.00"
                                   << "1.00";
        QTest::newRow("1,00 su 3") << "1,00"
                                   << "3.00"
                                   << "0.33333333";
        QTest::newRow("2 su 3 arrotonda in su") << "2"
                                                << "3.00"
                                                << "0.66666667";
        QTest::newRow("metà all'ottava") << "0,00000005"
                                         << "2.00"
                                         << "0.00000003";
        QTest::newRow("negativo lontano da zero") << "-2"
                                                  << "3.00"
                                                  << "-0.66666667";
        QTest::newRow("decimali oltre il secondo") << "0,125"
                                                   << ""
                                                   << "0.125";
        QTest::newRow("senza quantita") << "7,5"
                                        << ""
                                        << "7.50";
        QTest::newRow("quantita scritta zero") << "7,5"
                                               << "0.00"
                                               << "7.50";
        QTest::newRow("quantita frazionaria") << "1"
                                              << "0.25"
                                              << "4.00";
        QTest::newRow("importo grande") << "99999999999"
                                        << "7.00"
                                        << "14285714285.57142857";
        QTest::newRow("vuoto") << ""
                               << "2.00"
                               << "";
        QTest::newRow("illeggibile") << "2.00"
                                     << "2.00"
                                     << "";
    }
    void scontoUnitario() {
        QFETCH(QString, scImporto);
        QFETCH(QString, quantita);
        QFETCH(QString, atteso);
        QCOMPARE(ScontoRiga::importoUnitario(scImporto, quantita), atteso);
    }

    void prezzoNetto_data() {
        QTest::addColumn<QString>("prezzoUnitario");
        QTest::addColumn<QString>("quantita");
        QTest::addColumn<QString>("prezzoTotale");
        QTest::addColumn<bool>("netto");
        QTest::newRow("netto") << "9.0000"
                               << "2.00"
                               << "18.0000" << true;
        QTest::newRow("netto al centesimo") << "3.3333"
                                            << "3.00"
                                            << "10.0000" << true;
        QTest::newRow("lordo") << "10.0000"
                               << "2.00"
                               << "18.0000" << false;
        QTest::newRow("senza quantita") << "18.0000"
                                        << ""
                                        << "18.0000" << true;
        QTest::newRow("un centesimo esatto") << "3.3300"
                                             << "3.00"
                                             << "10.0000" << true;
        QTest::newRow("oltre il centesimo") << "3.3200"
                                            << "3.00"
                                            << "10.0000" << false;
    }
    void prezzoNetto() {
        QFETCH(QString, prezzoUnitario);
        QFETCH(QString, quantita);
        QFETCH(QString, prezzoTotale);
        QFETCH(bool, netto);
        QCOMPARE(ScontoRiga::prezzoNetto(prezzoUnitario, quantita, prezzoTotale), netto);
    }
};

QTEST_GUILESS_MAIN(TstCreaXmlTesti)
#include "tst_creaxml_testi.moc"
