#pragma once

#include "TestDb.h"
#include "data/Migrazioni.h"
#include "db/Connection.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <httplib.h>

// gfe-web run as its own process in a working folder, logged in to a test database.
class GfeWebInProva {
public:
    ~GfeWebInProva() { ferma(); }

    // Starts it with the arguments and waits for its "in ascolto" line; the port is
    // any free one unless the arguments give another. False (with `uscita` holding
    // what it printed) when it did not start.
    bool avvia(const QString& cartella, QStringList argomenti = {}) {
        ferma();
        uscita.clear();
        if (!argomenti.contains(QStringLiteral("--port")))
            argomenti << QStringLiteral("--port") << QStringLiteral("0");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GFE_DB_PORT"), QString::number(TestDb::port()));
        env.insert(QStringLiteral("GFE_DB_USER"), TestDb::user());
        env.insert(QStringLiteral("GFE_DB_PASSWORD"), TestDb::password());
        processo.setProcessEnvironment(env);
        processo.setWorkingDirectory(cartella);
        processo.setProcessChannelMode(QProcess::MergedChannels);
        processo.start(QStringLiteral(GFE_WEB_EXE), argomenti);
        const QString segno = QStringLiteral("gfe-web: in ascolto su http://127.0.0.1:");
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 30000) {
            processo.waitForReadyRead(200);
            uscita += QString::fromUtf8(processo.readAll());
            const qsizetype i = uscita.indexOf(segno);
            if (i >= 0 && uscita.indexOf(QLatin1Char('\n'), i) > 0) {
                porta = uscita.mid(i + segno.size()).section(QLatin1Char('\n'), 0, 0).toInt();
                return porta > 0;
            }
            if (processo.state() == QProcess::NotRunning) return false;
        }
        return false;
    }

    // SIGTERM, as a service manager stops it; true when it ended cleanly.
    bool ferma() {
        if (processo.state() == QProcess::NotRunning) return true;
        processo.terminate();
        if (processo.waitForFinished(10000))
            return processo.exitStatus() == QProcess::NormalExit && processo.exitCode() == 0;
        processo.kill();
        processo.waitForFinished(5000);
        return false;
    }

    QString server() const { return QStringLiteral("http://127.0.0.1:%1").arg(porta); }

    // GET of a path with its query, sent exactly as given; -1 when nothing answered.
    int leggi(const QString& percorso, QString* pagina = nullptr) const {
        httplib::Client client("127.0.0.1", porta);
        client.set_url_encode(false);
        client.set_read_timeout(60, 0);
        const auto res = client.Get(percorso.toStdString());
        if (!res) return -1;
        if (pagina) *pagina = QString::fromStdString(res->body);
        return res->status;
    }

    // A request as given, with Host "127.0.0.1:PORT" unless the headers give another.
    httplib::Result chiedi(const std::string& metodo, const QString& percorso,
                           httplib::Headers intestazioni = {},
                           const std::string& corpo = {}) const {
        httplib::Client client("127.0.0.1", porta);
        client.set_url_encode(false);
        client.set_read_timeout(60, 0);
        const std::string p = percorso.toStdString();
        if (metodo == "POST")
            return client.Post(p.c_str(), intestazioni, corpo, "application/x-www-form-urlencoded");
        return client.Get(p.c_str(), intestazioni);
    }

    // The token of a page's form, empty when the page has none.
    static QString gettone(const QString& pagina) {
        static const QRegularExpression re(
            QStringLiteral("name=\"gettone\" value=\"([0-9a-f]+)\""));
        return re.match(pagina).captured(1);
    }

    // What a person does: opens the page (GET) and, when it shows its button, presses it
    // (POST of the form, from the page's own origin). The status of the last answer.
    int esegui(const QString& percorso, QString* pagina = nullptr) const {
        QString testo;
        const int stato = leggi(percorso, &testo);
        const QString g = gettone(testo);
        if (stato == 200 && !g.isEmpty()) {
            const auto res =
                chiedi("POST", percorso.section(QLatin1Char('?'), 0, 0),
                       {{"Origin", server().toStdString()}, {"Sec-Fetch-Site", "same-origin"}},
                       "gettone=" + g.toStdString());
            if (pagina) *pagina = res ? QString::fromStdString(res->body) : QString();
            return res ? res->status : -1;
        }
        if (pagina) *pagina = testo;
        return stato;
    }

    // Waits for a text on its standard output; true when it came.
    bool stampa(const QString& atteso, int ms = 5000) {
        QElapsedTimer t;
        t.start();
        while (!uscita.contains(atteso) && t.elapsed() < ms) {
            processo.waitForReadyRead(100);
            uscita += QString::fromUtf8(processo.readAll());
        }
        return uscita.contains(atteso);
    }

    QProcess processo;
    QString uscita;
    int porta = 0;
};

// Recreates a test database as gfe-web's log-in leaves it (its own tables included).
inline void ricreaMigrato(const QString& db, const QStringList& file) {
    TestDb::ricrea(db, file);
    Connection c(QStringLiteral("migrazione-prova"));
    TestDb::punta(c, db);
    c.connect();
    applicaMigrazioni(c);
}

// A file the validator finds nothing in, under the name IT01234567897_00002.xml.
inline QByteArray fatturaValida() {
    QFile f(QStringLiteral(GFE_SOURCE_DIR "/tests/fatturapa/golden/fpr12_fattura42.xml"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A working folder for gfe-web: ip.ini for the database, the company's folder out/
// and the outbox inviate/.
struct CartellaDiLavoro {
    QTemporaryDir dir;
    QString percorso(const QString& nome) const { return QDir(dir.path()).filePath(nome); }
    void prepara(const QString& database) {
        QDir(dir.path()).mkpath(QStringLiteral("out"));
        scrivi(QStringLiteral("ip.ini"), ("127.0.0.1\n" + database + "\nA\n").toUtf8());
        TestDb::esegui(database,
                       {"UPDATE azienda SET path='" + percorso(QStringLiteral("out")) + "/'"});
    }
    void scrivi(const QString& nome, const QByteArray& dati) const {
        QFile f(percorso(nome));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(dati);
    }
    QByteArray contenuto(const QString& nome) const {
        QFile f(percorso(nome));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};
