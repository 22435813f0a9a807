#include "platform/ErroreConversione.h"
#include "platform/Testi.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <cmath>
#include <cstdio>

// Every case runs with a decimal-comma locale installed in the process, as the
// application runs after QApplication has adopted the user's locale.
class TstTesti : public QObject {
    Q_OBJECT

private:
    bool localeConVirgola = false;

private slots:
    void initTestCase();
    void localeDelProcesso();
    void leggiNumero_data();
    void leggiNumero();
    void leggiNumeroValoreEsatto();
    void numeroErrore();
    void leggiNumeroRaggruppato_data();
    void leggiNumeroRaggruppato();
    void formatta_data();
    void formatta();
    void generale_data();
    void generale();
    void arrotondaPari_data();
    void arrotondaPari();
    void arrotondaPariPrecisione();
    void leggiData_data();
    void leggiData();
    void dataErrore();
    void testiData_data();
    void testiData();
    void dataIsoDaTesto();
    void trimmed32_data();
    void trimmed32();
};

void TstTesti::initTestCase() {
    for (const char* nome : {"it_IT.UTF-8", "it_IT.utf8", "de_DE.UTF-8", "de_DE.utf8"}) {
        if (std::setlocale(LC_ALL, nome)) {
            localeConVirgola = true;
            break;
        }
    }
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TstTesti::localeDelProcesso() {
    if (!localeConVirgola)
        QSKIP("nessun locale it_IT/de_DE installato: si verifica solo con QLocale::setDefault");
    char testo[16];
    std::snprintf(testo, sizeof testo, "%.1f", 1.5);
    QCOMPARE(QByteArray(testo), QByteArray("1,5"));
}

void TstTesti::leggiNumero_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<double>("valore");

    QTest::newRow("intero") << "12" << true << 12.0;
    QTest::newRow("decimali") << "-12,5" << true << -12.5;
    QTest::newRow("segno +") << "+0,5" << true << 0.5;
    QTest::newRow("senza interi") << ",5" << true << 0.5;
    QTest::newRow("virgola finale") << "5," << true << 5.0;
    QTest::newRow("spazi attorno") << "  7,25  " << true << 7.25;
    QTest::newRow("zeri iniziali") << "007" << true << 7.0;
    QTest::newRow("esponente") << "1,5E3" << true << 1500.0;
    QTest::newRow("esponente negativo") << "25e-2" << true << 0.25;
    QTest::newRow("raggruppato") << "1.000,00" << false << 0.0;
    QTest::newRow("punto decimale") << "1.5" << false << 0.0;
    QTest::newRow("punto finale") << "12." << false << 0.0;
    QTest::newRow("vuoto") << "" << false << 0.0;
    QTest::newRow("lettere") << "abc" << false << 0.0;
    QTest::newRow("coda") << "12,5x" << false << 0.0;
    QTest::newRow("due virgole") << "1,2,3" << false << 0.0;
    QTest::newRow("sola virgola") << "," << false << 0.0;
    QTest::newRow("solo segno") << "-" << false << 0.0;
    QTest::newRow("spazio dopo il segno") << "- 5" << false << 0.0;
    QTest::newRow("spazio interno") << "1 000" << false << 0.0;
    QTest::newRow("esponente senza cifre") << "1E" << false << 0.0;
    QTest::newRow("esponente col solo segno") << "1E+" << false << 0.0;
    QTest::newRow("solo esponente") << "E5" << false << 0.0;
    QTest::newRow("esadecimale") << "0x10" << false << 0.0;
    QTest::newRow("infinito") << "inf" << false << 0.0;
    QTest::newRow("fuori scala") << "1E99999" << false << 0.0;
    QTest::newRow("tabulazione") << "\t5" << false << 0.0;
}

void TstTesti::leggiNumero() {
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(double, valore);

    long double letto = -1;
    QCOMPARE(Testi::leggiNumero(testo, letto), valido);
    if (valido)
        QCOMPARE(double(letto), valore);
    else
        QCOMPARE(double(letto), -1.0);
    QCOMPARE(double(Testi::numeroOZero(testo)), valido ? valore : 0.0);
}

void TstTesti::leggiNumeroValoreEsatto() {
    QVERIFY(Testi::numero("0,1") == 0.1L);
    QVERIFY(Testi::numero("2,675") == 2.675L);
    QVERIFY(Testi::numero("1E-3") == 1e-3L);
    QVERIFY(Testi::numero("-123456789,123456789") == -123456789.123456789L);
}

void TstTesti::numeroErrore() {
    try {
        Testi::numero("1.000,00");
        QFAIL("nessuna eccezione");
    } catch (const ErroreConversione& e) {
        QCOMPARE(e.messaggio(), QStringLiteral("'1.000,00' non è un valore numerico valido"));
    }
}

void TstTesti::leggiNumeroRaggruppato_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("valido");
    QTest::addColumn<double>("valore");

    QTest::newRow("migliaia") << "1.000,50" << true << 1000.5;
    QTest::newRow("milioni negativo") << "-1.234.567,5" << true << -1234567.5;
    QTest::newRow("senza decimali") << "1.500" << true << 1500.0;
    QTest::newRow("senza punti") << "12,5" << true << 12.5;
    QTest::newRow("spazi") << " 3 " << true << 3.0;
    QTest::newRow("vuoto") << "" << false << 0.0;
    QTest::newRow("solo punto") << "." << false << 0.0;
    QTest::newRow("punto nei decimali") << "1,000.5" << false << 0.0;
    QTest::newRow("esponente") << "1E3" << false << 0.0;
    QTest::newRow("coda") << "1.000,5x" << false << 0.0;
}

void TstTesti::leggiNumeroRaggruppato() {
    QFETCH(QString, testo);
    QFETCH(bool, valido);
    QFETCH(double, valore);

    long double letto = -1;
    QCOMPARE(Testi::leggiNumeroRaggruppato(testo, letto), valido);
    QCOMPARE(double(letto), valido ? valore : -1.0);
}

void TstTesti::formatta_data() {
    QTest::addColumn<double>("valore");
    QTest::addColumn<bool>("comeFloat");
    QTest::addColumn<QString>("maschera");
    QTest::addColumn<QString>("atteso");

    const QString m2 = QStringLiteral("######0.00");
    const QString g2 = QStringLiteral("##,###0.00");
    const QString g3 = QStringLiteral("##,###0.000");
    QTest::newRow("float 0.125 metà esatta") << 0.125 << true << m2 << "0,13";
    QTest::newRow("float 2.675 sotto la metà") << 2.675 << true << m2 << "2,67";
    QTest::newRow("double 2.675 sotto la metà") << 2.675 << false << m2 << "2,67";
    QTest::newRow("double 1.005") << 1.005 << false << m2 << "1,00";
    QTest::newRow("negativo metà esatta") << -0.125 << false << m2 << "-0,13";
    QTest::newRow("negativo sopra la metà") << -0.005 << false << m2 << "-0,01";
    QTest::newRow("negativo a zero") << -0.004 << false << m2 << "0,00";
    QTest::newRow("meno zero") << -0.0 << false << m2 << "0,00";
    QTest::newRow("riporto") << 9.996 << false << m2 << "10,00";
    QTest::newRow("senza gruppi") << 1234.5 << false << m2 << "1234,50";
    QTest::newRow("oltre la maschera") << 12345678901.0 << false << m2 << "12345678901,00";
    QTest::newRow("tre decimali") << 12.5 << false << "#####0.000"
                                  << "12,500";
    QTest::newRow("quattro decimali") << 12.5 << false << "######0.0000"
                                      << "12,5000";
    QTest::newRow("gruppi sotto mille") << 999.5 << false << g3 << "999,500";
    QTest::newRow("gruppi mille") << 1500.0 << false << g3 << "1.500,000";
    QTest::newRow("gruppi milioni") << 1234567.891 << false << g2 << "1.234.567,89";
    QTest::newRow("gruppi negativo") << -1500.0 << false << g2 << "-1.500,00";
    QTest::newRow("gruppi riporto") << -999.9996 << false << g3 << "-1.000,000";
    QTest::newRow("gruppi float") << 1234567.0 << true << g2 << "1.234.567,00";
    QTest::newRow("decimali facoltativi") << 2.5 << false << "0.##"
                                          << "2,5";
    QTest::newRow("decimali facoltativi interi") << 2.004 << false << "0.##"
                                                 << "2";
    QTest::newRow("interi facoltativi") << 0.5 << false << "#.00"
                                        << ",50";
    QTest::newRow("nessun decimale") << -2.5 << false << "0"
                                     << "-3";
    QTest::newRow("infinito") << double(qInf()) << false << m2 << "INF";
    QTest::newRow("nan") << double(qQNaN()) << false << m2 << "NAN";
}

void TstTesti::formatta() {
    QFETCH(double, valore);
    QFETCH(bool, comeFloat);
    QFETCH(QString, maschera);
    QFETCH(QString, atteso);

    const long double v = comeFloat ? static_cast<long double>(static_cast<float>(valore)) : valore;
    QCOMPARE(Testi::formatta(v, maschera), atteso);
}

void TstTesti::generale_data() {
    QTest::addColumn<double>("valore");
    QTest::addColumn<bool>("comeFloat");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("intero") << 22.0 << false << "22";
    QTest::newRow("decimali") << 5.5 << false << "5,5";
    QTest::newRow("zero") << 0.0 << false << "0";
    QTest::newRow("meno zero") << -0.0 << false << "0";
    QTest::newRow("senza gruppi") << 1234.5 << false << "1234,5";
    QTest::newRow("double 0.1") << 0.1 << false << "0,1";
    QTest::newRow("float 0.1") << 0.1 << true << "0,100000001490116";
    QTest::newRow("somma double") << 0.1 + 0.2 << false << "0,3";
    QTest::newRow("un terzo") << 1.0 / 3 << false << "0,333333333333333";
    QTest::newRow("due terzi") << 2.0 / 3 << false << "0,666666666666667";
    QTest::newRow("metà esatta alla 16a cifra") << 10000000000000.25 << false << "10000000000000,3";
    QTest::newRow("riporto a 1E14") << 99999999999999.99 << false << "100000000000000";
    QTest::newRow("15 cifre intere") << 999999999999999.0 << false << "999999999999999";
    QTest::newRow("riporto a 1E15") << 999999999999999.9 << false << "1E15";
    QTest::newRow("esponente 20") << 1.5e20 << false << "1,5E20";
    QTest::newRow("esponente 17") << 123456789012345678.0 << false << "1,23456789012346E17";
    QTest::newRow("quattro zeri decimali") << 0.0001 << false << "0,0001";
    QTest::newRow("esponente -5") << 0.00001 << false << "1E-5";
    QTest::newRow("esponente -5 decimali") << 0.000015 << false << "1,5E-5";
    QTest::newRow("negativo piccolo") << -1e-20 << false << "-1E-20";
}

void TstTesti::generale() {
    QFETCH(double, valore);
    QFETCH(bool, comeFloat);
    QFETCH(QString, atteso);

    const long double v = comeFloat ? static_cast<long double>(static_cast<float>(valore)) : valore;
    QCOMPARE(Testi::generale(v), atteso);
}

void TstTesti::arrotondaPari_data() {
    QTest::addColumn<double>("valore");
    QTest::addColumn<int>("decimali");
    QTest::addColumn<double>("atteso");

    QTest::newRow("0.125 a due") << 0.125 << 2 << 0.12;
    QTest::newRow("0.125 a quattro") << 0.125 << 4 << 0.125;
    QTest::newRow("0.135 a due") << 0.135 << 2 << 0.14;
    QTest::newRow("2.675 a due") << 2.675 << 2 << 2.68;
    QTest::newRow("1.005 a due") << 1.005 << 2 << 1.0;
    QTest::newRow("0.145 a due") << 0.145 << 2 << 0.14;
    QTest::newRow("0.5") << 0.5 << 0 << 0.0;
    QTest::newRow("2.5") << 2.5 << 0 << 2.0;
    QTest::newRow("3.5") << 3.5 << 0 << 4.0;
    QTest::newRow("-2.5") << -2.5 << 0 << -2.0;
    QTest::newRow("-3.5") << -3.5 << 0 << -4.0;
    QTest::newRow("-0.4") << -0.4 << 0 << 0.0;
    QTest::newRow("sopra la metà") << 12345.6789 << 0 << 12346.0;
    QTest::newRow("decine 125") << 125.0 << -1 << 120.0;
    QTest::newRow("decine 135") << 135.0 << -1 << 140.0;
}

void TstTesti::arrotondaPari() {
    QFETCH(double, valore);
    QFETCH(int, decimali);
    QFETCH(double, atteso);

    const double r = Testi::arrotondaPari(valore, decimali);
    QVERIFY2(r == atteso, qPrintable(QString::number(r, 'g', 17)));
    QVERIFY(!std::signbit(r) || r != 0);
}

void TstTesti::arrotondaPariPrecisione() {
    // 2.675 * 100 is 267.5 in double but 267.4999... in long double.
    QVERIFY(Testi::arrotondaPari(2.675, 2) == 2.68);
    QVERIFY(Testi::arrotondaPari(static_cast<long double>(2.675), 2) == 2.67L);
    QVERIFY(Testi::arrotondaPari(0.125f, 2) == 0.12);
    QVERIFY(Testi::arrotondaPari(2.5L, 0) == 2.0L);
}

void TstTesti::leggiData_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<QDate>("atteso");

    const QDate oggi(2026, 12, 9);
    const QDate no;
    QTest::newRow("giorno/mese/anno") << "05/03/2023" << oggi << QDate(2023, 3, 5);
    QTest::newRow("una cifra") << "5/3/2023" << oggi << QDate(2023, 3, 5);
    QTest::newRow("trattini") << "05-03-2023" << oggi << QDate(2023, 3, 5);
    QTest::newRow("punti") << "05.03.2023" << oggi << QDate(2023, 3, 5);
    QTest::newRow("spazi della maschera") << " 5/ 3/23" << oggi << QDate(2023, 3, 5);
    QTest::newRow("bisestile") << "29/02/2024" << oggi << QDate(2024, 2, 29);
    QTest::newRow("anno 1900") << "01/01/1900" << oggi << QDate(1900, 1, 1);
    QTest::newRow("finestra primo anno") << "31/12/76" << oggi << QDate(1976, 12, 31);
    QTest::newRow("finestra ultimo anno") << "01/01/75" << oggi << QDate(2075, 1, 1);
    QTest::newRow("finestra anno corrente") << "09/12/26" << oggi << QDate(2026, 12, 9);
    QTest::newRow("finestra 2000: 50") << "01/01/50" << QDate(2000, 6, 1) << QDate(1950, 1, 1);
    QTest::newRow("finestra 2000: 49") << "01/01/49" << QDate(2000, 6, 1) << QDate(2049, 1, 1);
    QTest::newRow("finestra 2050: 00") << "01/01/00" << QDate(2050, 6, 1) << QDate(2000, 1, 1);
    QTest::newRow("finestra 2050: 99") << "01/01/99" << QDate(2050, 6, 1) << QDate(2099, 1, 1);
    QTest::newRow("31 febbraio") << "31/02/23" << oggi << no;
    QTest::newRow("29 febbraio non bisestile") << "29/02/2023" << oggi << no;
    QTest::newRow("mese 13") << "12/13/23" << oggi << no;
    QTest::newRow("giorno 0") << "00/01/2023" << oggi << no;
    QTest::newRow("vuota") << "" << oggi << no;
    QTest::newRow("maschera vuota") << "  /  /  " << oggi << no;
    QTest::newRow("solo giorno e mese") << "05/03" << oggi << no;
    QTest::newRow("anno di tre cifre") << "05/03/023" << oggi << no;
    QTest::newRow("anno di una cifra") << "05/03/3" << oggi << no;
    QTest::newRow("separatori diversi") << "05/03-2023" << oggi << no;
    QTest::newRow("giorno di tre cifre") << "005/03/2023" << oggi << no;
    QTest::newRow("coda") << "05/03/2023x" << oggi << no;
    QTest::newRow("anno-mese-giorno") << "2023-03-05" << oggi << no;
}

void TstTesti::leggiData() {
    QFETCH(QString, testo);
    QFETCH(QDate, oggi);
    QFETCH(QDate, atteso);

    QDate letta(1999, 1, 1);
    QCOMPARE(Testi::leggiData(testo, letta, oggi), atteso.isValid());
    QCOMPARE(letta, atteso.isValid() ? atteso : QDate(1999, 1, 1));
}

void TstTesti::dataErrore() {
    try {
        Testi::data("31/02/2023");
        QFAIL("nessuna eccezione");
    } catch (const ErroreConversione& e) {
        QCOMPARE(e.messaggio(), QStringLiteral("'31/02/2023' non è una data valida"));
    }
    QCOMPARE(Testi::data("1/2/2023"), QDate(2023, 2, 1));
}

void TstTesti::testiData_data() {
    QTest::addColumn<QDate>("data");
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("breve");
    QTest::addColumn<QString>("iso");

    QTest::newRow("marzo") << QDate(2023, 3, 5) << "05/03/2023"
                           << "05/03/23"
                           << "2023-03-05";
    QTest::newRow("fine 2000") << QDate(2000, 12, 31) << "31/12/2000"
                               << "31/12/00"
                               << "2000-12-31";
    QTest::newRow("non valida") << QDate() << ""
                                << ""
                                << "";
}

void TstTesti::testiData() {
    QFETCH(QDate, data);
    QFETCH(QString, testo);
    QFETCH(QString, breve);
    QFETCH(QString, iso);

    QCOMPARE(Testi::testoData(data), testo);
    QCOMPARE(Testi::testoDataBreve(data), breve);
    QCOMPARE(Testi::dataIso(data), iso);
}

void TstTesti::dataIsoDaTesto() {
    QCOMPARE(Testi::dataIso(QStringLiteral("5.3.2023")), QStringLiteral("2023-03-05"));
    QVERIFY_THROWS_EXCEPTION(ErroreConversione, Testi::dataIso(QString()));
    QVERIFY_THROWS_EXCEPTION(ErroreConversione, Testi::dataIso(QStringLiteral("31/02/2023")));
}

void TstTesti::trimmed32_data() {
    QTest::addColumn<QString>("testo");
    QTest::addColumn<QString>("atteso");

    QTest::newRow("controlli e spazi") << QString::fromLatin1(" \t\r\n abc \x01\x1f") << "abc";
    QTest::newRow("spazio interno") << " a b "
                                    << "a b";
    QTest::newRow("vuoto") << ""
                           << "";
    QTest::newRow("codice 33 resta") << " x! "
                                     << "x!";
    QTest::newRow("spazio non separabile resta")
        << QStringLiteral("\u00a0x\u00a0") << QStringLiteral("\u00a0x\u00a0");
}

void TstTesti::trimmed32() {
    QFETCH(QString, testo);
    QFETCH(QString, atteso);

    QCOMPARE(Testi::trimmed32(testo), atteso);
}

QTEST_GUILESS_MAIN(TstTesti)
#include "tst_testi.moc"
