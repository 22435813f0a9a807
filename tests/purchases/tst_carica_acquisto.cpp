#include "FirmaProva.h"
#include "TestDb.h"
#include "data/Migrazioni.h"
#include "db/Connection.h"
#include "fatturapa/BustaP7m.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "purchases/CaricaAcquisto.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <memory>

namespace {

const QString kDemo = QStringLiteral(GFE_SOURCE_DIR "/demo/ricevute");
const QString kCampioni = QStringLiteral(GFE_SOURCE_DIR "/tests/purchases/campioni");

QByteArray leggi(const QString& percorso) {
    QFile f(percorso);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Loading of received FatturaPA files into test_car and dett_car.
class TstCaricaAcquisto : public QObject {
    Q_OBJECT
    const QString db = QStringLiteral("gfe_t_carica_acq");
    std::unique_ptr<Connection> conn;
    QTemporaryDir cartella;

    EsitoCarico carica(const QString& dir, const QString& nome) {
        return CaricaAcquisto(*conn, dir, nome);
    }
    // The received folder lies inside the temporary one, so "../" stays inside too.
    QString ricevute() const { return cartella.filePath("ricevute"); }
    void scrivi(const QString& nome, const QByteArray& dati) {
        QFile f(QDir(ricevute()).filePath(nome));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(dati);
    }
    QString valore(const QString& select) { return TestDb::valore(db, select); }
    QString righe() {
        return valore("SELECT COUNT(*) FROM test_car") + "/" +
               valore("SELECT COUNT(*) FROM dett_car");
    }
    static QString testate() {
        return "SELECT GROUP_CONCAT(CONCAT_WS('|', prot, rag_soc, indirizzo, comune, cap, prov, "
               "nazione, p_iva, cod_fis, cod_destinatario, pec, data_doc, num_doc, tot_doc, "
               "tipo_doc, tipo_pag, mod_pag, n_rate, scad1, imp_scad1, scad2, imp_scad2, scad3, "
               "imp_scad3, scad4, imp_scad4, imponibile, imposta, aliquota, esig_iva, natura, "
               "normativa, imponibile2, imposta2, aliquota2, esig_iva2, natura2, normativa2, "
               "sc_tipo, sc_perc, sc_importo, nome_file) ORDER BY prot SEPARATOR '\\n') "
               "FROM test_car";
    }
    static QString linee() {
        return "SELECT GROUP_CONCAT(CONCAT_WS('|', prot_car, prog, codice_tipo, codice_val, "
               "descrizione, quantita, um, prezzo_unit, sc_tipo, sc_perc, sc_importo, "
               "prezzo_tot, aliquota, natura) ORDER BY prot_car, prog SEPARATOR '\\n') "
               "FROM dett_car";
    }

private slots:
    void initTestCase() {
        QVERIFY(cartella.isValid());
        QVERIFY(QDir(cartella.path()).mkpath("ricevute/sotto"));
        TestDb::ricrea(db, {"xml_quirn.sql"});
        conn = std::make_unique<Connection>(QStringLiteral("carica"));
        TestDb::punta(*conn, db);
        conn->connect();
        applicaMigrazioni(*conn);
    }
    void init() { TestDb::esegui(db, {"TRUNCATE TABLE test_car", "TRUNCATE TABLE dett_car"}); }

    // The project's own samples: every column stored, amounts with the decimal comma,
    // dates dd/mm/yyyy, every value whole; what the tables have no place for is named in
    // the details.
    void campioni_data() {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("testate");
        QTest::addColumn<QString>("righe");
        QTest::addColumn<QStringList>("dettagli");
        QTest::newRow("FPR12, due aliquote, sconti, tre rate")
            << kDemo << "IT02345678904_b1C2d.xml"
            << "1|GROSSISTA NORD SPA|Via dell'Industria, 100|Padova|35129|PD|IT|02345678904|"
               "02345678904|0000000|fatture@pec.esempioforniture.it|20/11/2026|2871/A|290,00|"
               "TD01|TP01|MP05|3|31/12/2026|100,00|31/01/2027|100,00|28/02/2027|90,00|||"
               "195,00|42,90|22,00|I||"
               "|50,00|5,00|10,00|I|||SC|1|2,90|IT02345678904_b1C2d.xml"
            << "1|1|CODICE|GN-300|PROFILATO ALLUMINIO 3 M|10,00|PZ|15,00|SC|10||135,00|22,00|\n"
               "1|2|CODICE|GN-215|STAFFE ZINCATE 40X40|50,00|PZ|1,20||||60,00|22,00|\n"
               "1|3|||MANUALE DI POSA SERRAMENTI|2,00|PZ|25,00||||50,00|10,00|"
            << QStringList{"Fattura TD01 n. 2871/A del 20/11/2026 di GROSSISTA NORD SPA, totale "
                           "290,00: prot 1, 3 righe, 3 rate."};
        QTest::newRow("FPA12 con BOM senza dichiarazione, persona fisica, natura")
            << kDemo << "IT06789012345_PA001.xml"
            << "1|Mario Rossi|Corso Porta Nuova 45|Verona|37122|VR|IT|06789012345|"
               "RSSMRA70A01L781X|UFQ7RB||27/11/2026|14/2026|655,00|TD01|TP02|MP05|1|27/12/2026|"
               "655,00|||||||500,00|110,00|22,00|I||"
               "|45,00|0,00|0,00||N1|Escluse ex art. 15 DPR 633/72||||IT06789012345_PA001.xml"
            << "1|1|||Collaudo impianto elettrico del magazzino|1,00||500,00||||500,00|22,00|\n"
               "1|2|||Diritti di segreteria anticipati|1,00||45,00||||45,00|0,00|N1"
            << QStringList();
        QTest::newRow("FPR12 firmato della demo")
            << kDemo << "IT03456789012_00007.xml.p7m"
            << "1|TIPOGRAFIA VENETA SNC|Via Mazzini 8|Vicenza|36100|VI|IT|03456789012||M5UXCR1||"
               "01/12/2026|FT 312|73,20|TD01|TP02|MP12|1|31/12/2026|73,20|||||||60,00|13,20|22,00|"
               "I||||||||||||IT03456789012_00007.xml.p7m"
            << "1|1|||BIGLIETTI DA VISITA 4 COLORI|500,00|PZ|0,12||||60,00|22,00|"
            << QStringList{"Firma integra, non verificata: manca la catena dei certificati del "
                           "firmatario."};
        const QString lunga = "Kit di manutenzione per pressa idraulica serie HP-400 comprensivo "
                              "di guarnizioni, filtri olio, valvole di sicurezza e manuale";
        QTest::newRow("fornitore estero, altro prefisso, due fatture, testo lungo")
            << kCampioni << "DE123456789_00012.xml"
            << "1|Maschinenbau Süd GmbH|Leopoldstraße, 21|München|00000||DE|123456789||M5UXCR1||"
               "05/10/2026|RE-2026-000481|149,20|TD01|TP01|MP05|5|05/11/2026|30,00|05/12/2026|"
               "30,00|05/01/2027|30,00|05/02/2027|30,00|100,00|22,00|22,00|I|||20,00|2,00|"
               "10,00|I||||||DE123456789_00012.xml\n"
               "2|Maschinenbau Süd GmbH|Leopoldstraße, 21|München|00000||DE|123456789||M5UXCR1||"
               "06/10/2026|RE-2026-000482|18,30|TD01|||0|||||||||15,00|3,30|22,00|||||||||||||"
               "DE123456789_00012.xml"
            << "1|1|EAN|4006381333931|" + lunga +
                   "|1,00|KIT|100,00||||100,00|22,00|\n"
                   "1|2|||Ricambio ugello|2,00||12,50|SC||2,50|20,00|10,00|\n"
                   "1|3|||Manuale tecnico|1,00||5,00||||5,00|4,00|\n"
                   "2|1|||Trasporto|||15,00||||15,00|22,00|"
            << QStringList{
                   "fattura 1 di 2: riepilogo IVA 3 (aliquota 4,00, imponibile 5,00, imposta 0,20) "
                   "non memorizzato: se ne tengono due.",
                   "fattura 1 di 2: rata 5 (scadenza 05/03/2027, importo 29,20) non memorizzata: "
                   "se ne tengono quattro.",
                   "fattura 2 di 2: ImportoTotaleDocumento assente, totale calcolato dai "
                   "riepiloghi IVA"};
    }
    void campioni() {
        QFETCH(QString, dir);
        QFETCH(QString, nome);
        QFETCH(QString, testate);
        QFETCH(QString, righe);
        QFETCH(QStringList, dettagli);
        const QList<Problema> problemi = ValidatoreFatturaPA().valida(dir + "/" + nome);
        QVERIFY2(problemi.isEmpty(), qPrintable(problemi.value(0).descrizione()));
        const EsitoCarico e = carica(dir, nome);
        QVERIFY2(e.stato == 200, qPrintable(e.messaggio));
        QCOMPARE(valore(this->testate()), testate);
        QCOMPARE(valore(linee()), righe);
        for (const QString& d : dettagli)
            QVERIFY2(e.dettagli.contains(d), qPrintable(e.dettagli.join('\n')));
    }

    // A signed file, DER or base64, is opened and its signature reported; a file altered
    // after signing (the signature no longer matches) is refused and stores nothing.
    // A DER envelope is binary to its last byte: one ending in a byte that reads as white
    // space must open as well (such signatures come up by chance, about one in forty).
    void firmaCheFinisceConUnoSpazio() {
        const QByteArray xml = leggi(kDemo + "/IT02345678904_b1C2d.xml");
        QByteArray der;
        for (int i = 0; i < 2000 && !(der.size() && QChar(der.back()).isSpace()); ++i)
            der = firmaProva(xml);
        QVERIFY(QChar(der.back()).isSpace());
        const BustaP7m::Contenuto c = BustaP7m::apri(der);
        QVERIFY2(c.aperta, qPrintable(c.errore));
        QCOMPARE(c.documento, xml);
    }

    void firmati() {
        const QByteArray xml = leggi(kDemo + "/IT02345678904_b1C2d.xml");
        const QByteArray der = firmaProva(xml);
        QByteArray alterato = der;
        const qsizetype pos = alterato.indexOf("STAFFE ZINCATE");
        QVERIFY(pos > 0);
        alterato.replace(pos, 6, "STAFFA");
        const struct {
            const char* nome;
            QByteArray dati;
        } casi[] = {
            {"IT02345678904_b1C2d.xml.p7m", der},
            {"IT02345678904_b1C2e.xml.p7m", der.toBase64(QByteArray::Base64Encoding)},
        };
        int prot = 0;
        for (const auto& c : casi) {
            scrivi(c.nome, c.dati);
            const EsitoCarico e = carica(ricevute(), c.nome);
            QVERIFY2(e.stato == 200, qPrintable(e.messaggio));
            QVERIFY2(e.dettagli.last().startsWith("Firma integra, non verificata"),
                     qPrintable(e.dettagli.join('\n')));
            ++prot;
            QCOMPARE(valore(QString("SELECT CONCAT_WS('|', nome_file, tot_doc) FROM test_car "
                                    "WHERE prot = %1")
                                .arg(prot)),
                     QString(c.nome) + "|290,00");
            QVERIFY(valore(QString("SELECT descrizione FROM dett_car WHERE prot_car = %1 AND "
                                   "prog = 2")
                               .arg(prot))
                        .startsWith("STAFFE"));
        }
        scrivi("IT02345678904_b1C2f.XML.P7M", alterato);
        const EsitoCarico e = carica(ricevute(), "IT02345678904_b1C2f.XML.P7M");
        QCOMPARE(e.stato, 422);
        QVERIFY2(e.messaggio.contains("la firma non è valida"), qPrintable(e.messaggio));
        QCOMPARE(righe(), QString("2/6"));
    }

    // Values as long as the FatturaPA schema allows are stored whole; one longer than its
    // column is refused with the column named, and nothing is stored.
    void valoriLunghi() {
        QByteArray xml = leggi(kDemo + "/IT02345678904_b1C2d.xml");
        const auto sostituisci = [&xml](const QByteArray& da, const QByteArray& a) {
            QVERIFY2(xml.contains(da), da.constData());
            xml.replace(da, a);
        };
        sostituisci("<Numero>2871/A</Numero>", "<Numero>FT2023/000001</Numero>");
        sostituisci("<ImportoTotaleDocumento>290.00</ImportoTotaleDocumento>",
                    "<ImportoTotaleDocumento>12345678901.50</ImportoTotaleDocumento>");
        sostituisci("<Percentuale>10.00</Percentuale>", "<Percentuale>33.33</Percentuale>");
        sostituisci("<AliquotaIVA>10.00</AliquotaIVA>\n      </DettaglioLinee>",
                    "<AliquotaIVA>10.00</AliquotaIVA><Natura>N3.1</Natura></DettaglioLinee>");
        sostituisci("<AliquotaIVA>10.00</AliquotaIVA>\n        <ImponibileImporto>",
                    "<AliquotaIVA>10.00</AliquotaIVA><Natura>N3.2</Natura><ImponibileImporto>");
        scrivi("IT02345678904_lungo.xml", xml);
        const EsitoCarico e = carica(ricevute(), "IT02345678904_lungo.xml");
        QVERIFY2(e.stato == 200, qPrintable(e.messaggio));
        QCOMPARE(valore("SELECT CONCAT_WS('|', num_doc, tot_doc) FROM test_car"),
                 QString("FT2023/000001|12345678901,50"));
        QCOMPARE(valore("SELECT natura2 FROM test_car"), QString("N3.2"));
        QCOMPARE(valore("SELECT CONCAT_WS('|', sc_perc, natura) FROM dett_car WHERE prog = 1"),
                 QString("33,33|"));
        QCOMPARE(valore("SELECT natura FROM dett_car WHERE prog = 3"), QString("N3.1"));

        const qsizetype pos = xml.indexOf("<Descrizione>");
        xml.insert(pos + 13, QByteArray(1000, 'x'));
        scrivi("IT02345678904_oltre.xml", xml);
        const EsitoCarico oltre = carica(ricevute(), "IT02345678904_oltre.xml");
        QCOMPARE(oltre.stato, 422);
        QVERIFY2(oltre.messaggio.contains("fattura, riga 1: il valore di descrizione"),
                 qPrintable(oltre.messaggio));
        QCOMPARE(righe(), QString("1/3"));
    }

    // What is refused stores nothing and says why.
    void rifiuti_data() {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("motivo");
        const QByteArray inizio =
            "<p:FatturaElettronica versione=\"FPR12\" xmlns:p=\""
            "http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">";
        QTest::newRow("malformato")
            << "IT01234567890_00001.xml" << inizio + "<FatturaElettronicaHeader></p:Fattura" << 422
            << "XML non ben formato";
        QTest::newRow("non una fattura")
            << "ordine.xml"
            << QByteArray("<?xml version=\"1.0\"?><Ordine><Numero>1</Numero></Ordine>") << 422
            << "non è una fattura elettronica";
        QTest::newRow("fattura senza corpo")
            << "vuota.xml"
            << inizio + "<FatturaElettronicaHeader><CedentePrestatore/>"
                        "</FatturaElettronicaHeader></p:FatturaElettronica>"
            << 422 << "FatturaElettronicaBody";
        const QString segreto = cartella.filePath("segreto.txt");
        QTest::newRow("entità esterna")
            << "entita.xml"
            << "<?xml version=\"1.0\"?><!DOCTYPE p:FatturaElettronica [<!ENTITY x SYSTEM "
               "\"file://" +
                   segreto.toUtf8() + "\">]>" + inizio +
                   "<FatturaElettronicaHeader><CedentePrestatore><DatiAnagrafici><Anagrafica>"
                   "<Denominazione>&x;</Denominazione></Anagrafica></DatiAnagrafici>"
                   "</CedentePrestatore></FatturaElettronicaHeader><FatturaElettronicaBody/>"
                   "</p:FatturaElettronica>"
            << 422 << "DOCTYPE";
        QTest::newRow("busta illeggibile") << "IT01234567890_00002.xml.p7m" << QByteArray("MIIB!!")
                                           << 422 << "busta firmata illeggibile";
        QTest::newRow("cartella nel nome") << "../fuori.xml" << QByteArray() << 400 << "cartella";
        QTest::newRow("cartella Windows") << "sotto\\f.xml" << QByteArray() << 400 << "cartella";
        QTest::newRow("nome oltre nome_file") << QString(57, 'a') + ".xml" << QByteArray() << 400
                                              << "troppo lungo: 61 caratteri, ne sono ammessi 60";
        QTest::newRow("file assente") << "assente.xml" << QByteArray() << 404 << "non trovato";
        QTest::newRow("maschera") << "*.xml" << QByteArray() << 404 << "non trovato";
    }
    void rifiuti() {
        QFETCH(QString, nome);
        QFETCH(QByteArray, contenuto);
        QFETCH(int, stato);
        QFETCH(QString, motivo);
        scrivi("../segreto.txt", "SEGRETO");
        scrivi("../fuori.xml", leggi(kDemo + "/IT02345678904_b1C2d.xml"));
        if (!contenuto.isEmpty()) scrivi(nome, contenuto);
        const EsitoCarico e = carica(ricevute(), nome);
        QCOMPARE(e.stato, stato);
        QVERIFY2(e.messaggio.contains(motivo), qPrintable(e.messaggio));
        QCOMPARE(righe(), QString("0/0"));
    }

    // The duplicate check rests on the whole name, letter case included, and holds
    // against two loads of the same name at once.
    void duplicati() {
        const QByteArray xml = leggi(kDemo + "/IT02345678904_b1C2d.xml");
        scrivi("IT02345678904_b1C2d.xml", xml);
        scrivi("it02345678904_b1c2d.xml", xml);
        QCOMPARE(carica(ricevute(), "IT02345678904_b1C2d.xml").stato, 200);
        QCOMPARE(carica(ricevute(), "it02345678904_b1c2d.xml").stato, 200);
        scrivi("IT02345678904_b1C2d.xml ", xml);
        QCOMPARE(carica(ricevute(), "IT02345678904_b1C2d.xml ").stato, 200);
        const EsitoCarico di = carica(ricevute(), "IT02345678904_b1C2d.xml");
        QCOMPARE(di.stato, 409);
        QCOMPARE(di.messaggio, QString("Attenzione... File gia Caricato: «IT02345678904_b1C2d.xml» "
                                       "(prot 1)."));
        QCOMPARE(righe(), QString("3/9"));

        scrivi("IT02345678904_b1C2x.xml", xml);
        QList<int> stati;
        QMutex m;
        const auto carico = [&](const QString& nome) {
            return QThread::create([&, nome] {
                Connection c(nome);
                TestDb::punta(c, db);
                c.connect();
                const int s = CaricaAcquisto(c, ricevute(), "IT02345678904_b1C2x.xml").stato;
                QMutexLocker l(&m);
                stati << s;
            });
        };
        std::unique_ptr<QThread> a(carico("a")), b(carico("b"));
        a->start();
        b->start();
        QVERIFY(a->wait(30000) && b->wait(30000));
        std::sort(stati.begin(), stati.end());
        QCOMPARE(stati, (QList<int>{200, 409}));
        QCOMPARE(righe(), QString("4/12"));
    }

    // The invoices received from others, when their folder lies beside the project:
    // every file loads (a broken signed file is refused), and a few match their XML.
    void ricevuti() {
        const QDir dir(QStringLiteral(GFE_SHARED_DIR "/fatturapa/received"));
        if (!dir.exists()) QSKIP("cartella delle fatture ricevute assente");
        for (const QString& f : dir.entryList({"*.xml", "*.p7m"}, QDir::Files)) {
            const EsitoCarico e = carica(dir.path(), f);
            const int atteso = f.contains("fake") ? 422 : 200;
            QVERIFY2(e.stato == atteso, qPrintable(f + ": " + e.messaggio));
        }
        const auto testata = [this](const QString& nome) {
            return valore("SELECT CONCAT_WS('|', rag_soc, p_iva, data_doc, num_doc, tot_doc, "
                          "n_rate, scad1, imp_scad1, imponibile, imposta, aliquota) FROM test_car "
                          "WHERE nome_file = '" +
                          nome + "' ORDER BY prot LIMIT 1");
        };
        const auto righeDi = [this](const QString& nome) {
            return valore("SELECT GROUP_CONCAT(CONCAT_WS('|', d.prog, d.quantita, d.prezzo_unit, "
                          "d.prezzo_tot, d.aliquota) ORDER BY d.prot_car, d.prog SEPARATOR ';') "
                          "FROM dett_car d "
                          "JOIN test_car t ON d.prot_car = t.prot WHERE t.nome_file = '" +
                          nome + "'");
        };
        QCOMPARE(testata("IT01234567890_FPR03.xml"), testata("IT01234567890_FPR03.xml.p7m"));
        QCOMPARE(righeDi("IT01234567890_FPR03.xml"), righeDi("IT01234567890_FPR03.xml.p7m"));
        // Two invoices, the first without a document total: the sum of its summaries.
        QCOMPARE(testata("IT01234567890_FPR03.xml"),
                 QString("SOCIETA' ALPHA SRL|02780790107|18/12/2014|123|30,50|1|30/01/2015|32,50|"
                         "25,00|5,50|22,00"));
        QCOMPARE(
            righeDi("IT01234567890_FPR03.xml"),
            QString("1|5,00|1,00|5,00|22,00;2|10,00|2,00|20,00|22,00;1||2000,00|2000,00|22,00"));
        // No XML declaration, prefix ns2; the number whole.
        QCOMPARE(testata("IT08973230967_6zZcm.xml"),
                 QString("GAV spa|02581610249|07/08/2023|IT23-94115I-790|28,40|1||28,40|23,27|5,12|"
                         "22,00"));
        QCOMPARE(righeDi("IT08973230967_6zZcm.xml"),
                 QString("1|1,00|24,51|23,28|22,00;2|1,00|0,00|0,00|22,00"));
    }
};

QTEST_GUILESS_MAIN(TstCaricaAcquisto)
#include "tst_carica_acquisto.moc"
