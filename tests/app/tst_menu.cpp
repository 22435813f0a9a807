#include "FakeDesktop.h"
#include "TestDb.h"
#include "app/Avvio.h"
#include "app/ErroreFile.h"
#include "app/Finestre.h"
#include "app/Fotografie.h"
#include "app/GfeApplication.h"
#include "app/IpIni.h"
#include "app/TMenu.h"
#include "data/TDiz.h"
#include "db/DbError.h"
#include "platform/ErroreConversione.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

// A window with two extra views, for the screenshots.
class FinestraConViste : public QDialog {
public:
    using QDialog::QDialog;
    QLabel* pannello = new QLabel(QStringLiteral("pannello"), this);
    QList<QPair<QString, std::function<void()>>> viste() {
        return {{QStringLiteral("prova_pannello"), [this] { pannello->show(); }},
                {QStringLiteral("prova_senza"), [this] { pannello->hide(); }}};
    }
};

QStringList nomi(const QList<Table*>& tabelle) {
    QStringList out;
    for (Table* t : tabelle)
        out << t->tableName();
    return out;
}

} // namespace

// The main menu over its own database, named in ip.ini of a temporary working folder.
// Throws from its event handler, as a window's handler does on an error.
class Lanciatore : public QObject {
public:
    Lanciatore(int tipo, const QString& messaggio) : m_tipo(tipo), m_messaggio(messaggio) {}
    bool event(QEvent* e) override {
        if (e->type() != QEvent::User) return QObject::event(e);
        if (m_tipo == 0) throw DbError(m_messaggio);
        if (m_tipo == 1) throw ErroreConversione(m_messaggio);
        throw std::runtime_error(m_messaggio.toStdString());
    }

private:
    int m_tipo;
    QString m_messaggio;
};

class TstMenu : public QObject {
    Q_OBJECT
    // Ten characters, the longest database name ip.ini can give.
    const QString db = QStringLiteral("gfe_t_menu");
    QTemporaryDir lavoro;
    QString cartellaIniziale;
    FakeDesktop desktop; // installed while the test lives
    std::unique_ptr<Avvio> avvio;
    TMenu* menu = nullptr;

    void scriviIni(const QByteArray& contenuto) {
        QFile f(QDir(lavoro.path()).filePath("ip.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contenuto);
    }
    QByteArray ini(const QByteArray& terza) {
        return TestDb::host().toLatin1() + "\n" + db.toLatin1() + "\n" + terza + "\n";
    }
    void avvia() {
        avvio = std::make_unique<Avvio>();
        menu = avvio->menu();
        menu->show();
        // Stand-ins for the windows this build lacks, so every button has one to show.
        for (const QString& n :
             {Finestre::DatiAzienda, Finestre::Fatture, Finestre::Clienti, Finestre::Fornitori,
              Finestre::FattureAcquisto, Finestre::Articoli})
            if (!Finestre::finestra(n)) Finestre::registra(n, new QDialog(menu), n.toLower());
    }
    bool pulsantiAttivi(bool attivi) {
        for (QPushButton* b : menu->pulsantiFunzione())
            if (b->isEnabled() != attivi) return false;
        return menu->BitBtn7->isEnabled();
    }
    QStringList aperte() {
        QStringList out;
        for (Table* t : avvio->diz()->tabelleFatture())
            if (t->isOpen()) out << t->tableName();
        return out;
    }
    // The message the data layer gives for a connection with these settings.
    static QString erroreConnessione(const QString& database, const QString& password) {
        Connection c(QStringLiteral("atteso"));
        TestDb::punta(c, database);
        c.setPassword(password);
        try {
            c.connect();
        } catch (const DbError& e) {
            return e.messaggio();
        }
        return QString();
    }

private slots:
    void initTestCase() {
        qputenv("GFE_DB_PORT", QByteArray::number(TestDb::port()));
        qputenv("GFE_DB_USER", TestDb::user().toUtf8());
        qputenv("GFE_DB_PASSWORD", TestDb::password().toUtf8());
        TestDb::ricrea(db, {"xml_quirn.sql"});
        cartellaIniziale = QDir::currentPath();
        QVERIFY(QDir::setCurrent(lavoro.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(cartellaIniziale); }
    void init() {
        desktop.messaggi.clear();
        avvia();
    }
    void cleanup() {
        avvio.reset();
        QFile::remove(QDir(lavoro.path()).filePath("ip.ini"));
        QDir(lavoro.path()).rmdir("ip.ini");
    }

    void aspetto_data() {
        QTest::addColumn<QString>("controllo");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QRect>("posizione");
        QTest::addColumn<int>("pixel");
        QTest::newRow("Dati Azienda caption, place and font")
            << "B6"
            << "Dati Azienda" << QRect(1000, 600, 153, 41) << 24;
        QTest::newRow("Fatture Emesse caption, place and font")
            << "B1"
            << "Fatture Emesse" << QRect(16, 48, 177, 41) << 24;
        QTest::newRow("Clienti caption, place and font")
            << "B2"
            << "Clienti" << QRect(304, 49, 105, 40) << 24;
        QTest::newRow("Fatture Acquisto caption, place and font")
            << "B3"
            << "Fatture Acquisto" << QRect(24, 48, 177, 41) << 24;
        QTest::newRow("Fornitori caption, place and font")
            << "B4"
            << "Fornitori" << QRect(248, 48, 161, 41) << 24;
        QTest::newRow("Magazzino caption, place and font")
            << "B5"
            << "Magazzino" << QRect(144, 144, 161, 49) << 24;
        QTest::newRow("Accedi caption, place and font")
            << "BitBtn7"
            << "Accedi" << QRect(544, 512, 145, 49) << 16;
    }
    void aspetto() {
        QFETCH(QString, controllo);
        const QMap<QString, QPushButton*> pulsanti = {
            {"B1", menu->B1}, {"B2", menu->B2}, {"B3", menu->B3},          {"B4", menu->B4},
            {"B5", menu->B5}, {"B6", menu->B6}, {"BitBtn7", menu->BitBtn7}};
        QPushButton* b = pulsanti.value(controllo);
        QTEST(b->text(), "testo");
        QTEST(b->geometry(), "posizione");
        QTEST(b->font().pixelSize(), "pixel");
        QCOMPARE(menu->size(), QSize(1188, 697));
        QCOMPARE(menu->windowTitle(), QString());
        QCOMPARE(menu->Label1->text(), QString("GESTIONE FATTURAZIONE ELETTRONICA"));
        QCOMPARE(menu->Label1->pos(), QPoint(320, 8));
        QCOMPARE(menu->Panel1->geometry(), QRect(104, 128, 433, 209));
        QCOMPARE(menu->Panel2->geometry(), QRect(640, 128, 433, 209));
        QCOMPARE(menu->B1->parentWidget(), menu->Panel1);
        QCOMPARE(menu->B5->parentWidget(), menu->Panel2);
    }

    void pulsantiDisattivatiAllaPartenza() {
        QVERIFY(pulsantiAttivi(false));
        QCOMPARE(Finestre::titoloFatture(), QString());
        QCOMPARE(Finestre::titoloFatture(), QString());
    }

    void senzaIniNonSuccedeNulla() {
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(desktop.messaggi, QStringList());
        QVERIFY(pulsantiAttivi(false));
        QVERIFY(!avvio->diz()->xml_conn->isConnected());
        QCOMPARE(aperte(), QStringList());
    }

    void iniIlleggibile() {
        QVERIFY(QDir(lavoro.path()).mkdir("ip.ini"));
        const QString host = avvio->diz()->xml_conn->host(),
                      database = avvio->diz()->xml_conn->database();
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(desktop.messaggi,
                 QStringList{"«" + QDir::toNativeSeparators(lavoro.filePath("ip.ini")) +
                             "» non è un file ordinario (è una cartella, un dispositivo o una "
                             "coda)"});
        QVERIFY(pulsantiAttivi(false));
        QCOMPARE(avvio->diz()->xml_conn->host(), host);
        QCOMPARE(avvio->diz()->xml_conn->database(), database);
        QCOMPARE(Finestre::titoloFatture(), QString());
    }

    void accessoETitolo_data() {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<QString>("titolo");
        const QByteArray base = TestDb::host().toLatin1() + "\n" + db.toLatin1();
        QTest::newRow("due righe") << base + "\n"
                                   << "";
        QTest::newRow("A") << ini("A") << "A";
        QTest::newRow("A e spazio") << ini("A ") << "A ";
        QTest::newRow("a minuscola") << ini("a") << "a";
        QTest::newRow("ritorno e a capo")
            << (TestDb::host() + "\r\n" + db + "\r\nA\r\nquarta\r\n").toLatin1() << "A";
    }
    void accessoETitolo() {
        QFETCH(QByteArray, contenuto);
        scriviIni(contenuto);
        QStringList ordine;
        for (Table* t : avvio->diz()->tabelleFatture())
            connect(t, &Table::stateChanged, this, [&ordine, t] {
                if (t->isOpen()) ordine << t->tableName();
            });
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(desktop.messaggi, QStringList());
        QVERIFY(pulsantiAttivi(true));
        QCOMPARE(ordine, nomi(avvio->diz()->tabelleFatture()));
        QTEST(Finestre::titoloFatture(), "titolo");
        QTEST(Finestre::finestra(Finestre::Fatture)->windowTitle(), "titolo");
        QCOMPARE(avvio->diz()->xml_conn->host(), TestDb::host());
        QCOMPARE(avvio->diz()->xml_conn->database(), db);
    }

    void righeLungheTagliate() {
        scriviIni("127.000.000.001:3306\n" + db.toLatin1() + "_in_piu\nA\n");
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(avvio->diz()->xml_conn->host(), QString("127.000.000.001"));
        QCOMPARE(avvio->diz()->xml_conn->database(), db);
        QCOMPARE(desktop.messaggi, QStringList());
        QVERIFY(pulsantiAttivi(true));
    }

    void databaseTagliatoInesistente() {
        scriviIni(TestDb::host().toLatin1() + "\ngfe_t_men \nA\n");
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(avvio->diz()->xml_conn->database(), QString("gfe_t_men "));
        QCOMPARE(desktop.messaggi,
                 QStringList{erroreConnessione("gfe_t_men ", TestDb::password())});
        QVERIFY(pulsantiAttivi(false));
        QCOMPARE(aperte(), QStringList());
    }

    void passwordErrata() {
        const QByteArray giusta = qgetenv("GFE_DB_PASSWORD");
        avvio.reset();
        qputenv("GFE_DB_PASSWORD", "sbagliata");
        avvia();
        qputenv("GFE_DB_PASSWORD", giusta);
        scriviIni(ini("Serie B"));
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(desktop.messaggi, QStringList{erroreConnessione(db, "sbagliata")});
        QVERIFY(pulsantiAttivi(false));
        QCOMPARE(aperte(), QStringList());
        QCOMPARE(Finestre::titoloFatture(), QString("Serie B"));
    }

    void tabellaMancante() {
        TestDb::esegui(db, {"DROP TABLE clienti"});
        scriviIni(ini("A"));
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QString atteso;
        try {
            Table t(avvio->diz()->xml_conn, QStringLiteral("clienti"));
            t.open();
        } catch (const DbError& e) {
            atteso = e.messaggio();
        }
        TestDb::ricrea(db, {"xml_quirn.sql"});
        QVERIFY(!atteso.isEmpty());
        QCOMPARE(desktop.messaggi, QStringList{atteso});
        QCOMPARE(aperte(), (QStringList{"azienda", "testata", "dettaglio"}));
        QVERIFY(pulsantiAttivi(false));
    }

    void accediDueVolte() {
        scriviIni(ini("A"));
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        int cambi = 0;
        for (Table* t : avvio->diz()->tabelleFatture())
            connect(t, &Table::stateChanged, this, [&cambi] { ++cambi; });
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(desktop.messaggi, QStringList());
        QCOMPARE(cambi, 0);
        QCOMPARE(aperte(), nomi(avvio->diz()->tabelleFatture()));
        QVERIFY(avvio->diz()->xml_conn->isConnected());
        QVERIFY(pulsantiAttivi(true));
    }

    // ip.ini changed between two log-ins: every table is read again from the new
    // database; a failed log-in then leaves the program as a failed first one.
    void accediDopoCambioDiDatabase() {
        const QString altro = QStringLiteral("gfe_t_men2");
        TestDb::ricrea(altro, {"xml_quirn.sql"});
        TestDb::esegui(db, {"INSERT INTO testata (id_invio, rag_soc) VALUES (1, 'VECCHIA')"});
        TestDb::esegui(altro, {"INSERT INTO testata (id_invio, rag_soc) VALUES (7, 'NUOVA')"});
        scriviIni(ini("A"));
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(avvio->diz()->Testata->field(QStringLiteral("rag_soc")).asString(),
                 QString("VECCHIA"));
        scriviIni(TestDb::host().toLatin1() + "\n" + altro.toLatin1() + "\nA\n");
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(desktop.messaggi, QStringList());
        QCOMPARE(avvio->diz()->Testata->recordCount(), 1);
        QCOMPARE(avvio->diz()->Testata->field(QStringLiteral("rag_soc")).asString(),
                 QString("NUOVA"));
        QVERIFY(pulsantiAttivi(true));
        scriviIni(TestDb::host().toLatin1() + "\ngfe_t_nodb\nA\n");
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QCOMPARE(desktop.messaggi.size(), 1);
        QVERIFY(pulsantiAttivi(false));
        QCOMPARE(aperte(), QStringList());
        TestDb::esegui(db, {"DELETE FROM testata"});
    }

    void chiusuraChiudeLeTabelle() {
        scriviIni(ini("A"));
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QStringList ordine;
        for (Table* t : avvio->diz()->tabelleFatture())
            connect(t, &Table::stateChanged, this, [&ordine, t] {
                if (!t->isOpen()) ordine << t->tableName();
            });
        QVERIFY(menu->close());
        QCOMPARE(ordine,
                 (QStringList{"azienda", "dettaglio", "testata", "clienti", "fornitori", "test_car",
                              "dett_car", "magazzino", "dati_acquisto", "test_dati"}));
        QCOMPARE(aperte(), QStringList());
    }

    void pulsantiMostranoLaFinestra_data() {
        QTest::addColumn<QString>("pulsante");
        QTest::addColumn<QString>("finestra");
        QTest::newRow("Fatture Emesse opens its window") << "B1" << Finestre::Fatture;
        QTest::newRow("Clienti opens its window") << "B2" << Finestre::Clienti;
        QTest::newRow("Fatture Acquisto opens its window") << "B3" << Finestre::FattureAcquisto;
        QTest::newRow("Fornitori opens its window") << "B4" << Finestre::Fornitori;
        QTest::newRow("Magazzino opens its window") << "B5" << Finestre::Articoli;
        QTest::newRow("Dati Azienda opens its window") << "B6" << Finestre::DatiAzienda;
    }
    void pulsantiMostranoLaFinestra() {
        QFETCH(QString, pulsante);
        QFETCH(QString, finestra);
        scriviIni(ini("A"));
        QTest::mouseClick(menu->BitBtn7, Qt::LeftButton);
        QPointer<QWidget> attesa = Finestre::finestra(finestra);
        QWidget* mostrata = nullptr;
        QTimer::singleShot(0, this, [&mostrata] {
            mostrata = QApplication::activeModalWidget();
            if (mostrata) mostrata->close();
        });
        QPushButton* b = menu->findChild<QPushButton*>(pulsante);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(mostrata, attesa.data());
        QVERIFY(attesa);
        QVERIFY(attesa->isHidden());
        QCOMPARE(desktop.messaggi, QStringList());
    }

    void finestraAssenteNonMostraNulla() {
        QVERIFY(!Finestre::mostra(QStringLiteral("Inesistente")));
        QVERIFY(!Finestre::finestra(QStringLiteral("Inesistente")));
    }

    void erroriNeiGestoriMostrati_data() {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("messaggio");
        QTest::newRow("database") << 0 << "Tabella 'x' inesistente (1146)";
        QTest::newRow("conversione") << 1 << "'1,2,3' non è un numero";
        QTest::newRow("altro") << 2 << "perché no";
    }
    void erroriNeiGestoriMostrati() {
        QFETCH(int, tipo);
        QFETCH(QString, messaggio);
        // An object whose handler fails, reached through the application's delivery.
        Lanciatore l(tipo, messaggio);
        QEvent evento(QEvent::User);
        QVERIFY(QCoreApplication::sendEvent(&l, &evento));
        QVERIFY(QCoreApplication::sendEvent(&l, &evento));
        QCOMPARE(desktop.messaggi, (QStringList{messaggio, messaggio}));
    }

    void aggiornamentoSospesoMostrato() {
        emit avvio->diz()->autoRefreshFailed(QStringLiteral("testata"),
                                             QStringLiteral("server sparito"));
        QCOMPARE(desktop.messaggi,
                 QStringList{"Aggiornamento automatico di testata sospeso: server sparito"});
    }

    void titoloApplicatoAllaFinestraCreataDopo() {
        avvio.reset();
        avvio = std::make_unique<Avvio>();
        menu = avvio->menu();
        scriviIni(ini("Serie X"));
        menu->BitBtn7Click();
        if (!Finestre::finestra(Finestre::Fatture))
            Finestre::registra(Finestre::Fatture, new QDialog(menu), "fatture");
        QCOMPARE(Finestre::finestra(Finestre::Fatture)->windowTitle(), QString("Serie X"));
        QCOMPARE(Finestre::titoloFatture(), QString("Serie X"));
    }

    void fotografie() {
        QTemporaryDir uscita;
        Finestre::crea<FinestraConViste>(QStringLiteral("Prova"), QStringLiteral("prova"), menu);
        const QString cartella = uscita.filePath("foto");
        const QStringList scritti =
            Fotografie::esegui(*menu, {TestDb::host(), db, QStringLiteral("A")}, cartella);
        QStringList attesi = {"menu", "menu_collegato"};
        for (const QString& n : Finestre::nomi()) {
            attesi << Finestre::file(n);
            for (const Finestre::Vista& v : Finestre::viste(n))
                attesi << v.first;
        }
        QCOMPARE(attesi.mid(attesi.size() - 3),
                 (QStringList{"prova", "prova_pannello", "prova_senza"}));
        QStringList file;
        for (const QString& s : scritti)
            file << QFileInfo(s).completeBaseName();
        QCOMPARE(file, attesi);
        QCOMPARE(QImage(QDir(cartella).filePath("menu.png")).size(), QSize(1188, 697));
        QVERIFY(pulsantiAttivi(true));
        QVERIFY(Finestre::finestra("Prova")->isHidden());
        QCOMPARE(desktop.messaggi, QStringList());
        // A failed log-in is reported once, by the caller, not shown by the menu too.
        QVERIFY_THROWS_EXCEPTION(
            ErroreFile, Fotografie::esegui(*menu, {TestDb::host(), "non_esiste", "A"}, cartella));
        QCOMPARE(desktop.messaggi, QStringList());
    }
};

int main(int argc, char** argv) {
    GfeApplication app(argc, argv);
    TstMenu t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_menu.moc"
