#pragma once

#include "FakeDesktop.h"
#include "TestDb.h"
#include "data/Migrazioni.h"
#include "data/TDiz.h"
#include "invoices/TElenco_Fatt.h"

#include <QPushButton>
#include <QtTest>
#include <memory>

// The invoice window over the data module, on a test database of its own, shown
// offscreen and active so that clicks and keys reach it, with a scripted desktop.
class AmbienteElencoFatt {
public:
    explicit AmbienteElencoFatt(const QString& database) : db(database) {}

    // Recreates the database and fills it with the given statements.
    void prepara(const QStringList& statements) {
        TestDb::ricrea(db, {QStringLiteral("xml_quirn.sql")});
        TestDb::esegui(db, statements);
    }

    // The data module logged in to the test database, then the window, shown.
    // False when the window did not become active.
    // With `migra`, the program's migrations are applied first, as at log-in.
    [[nodiscard]] bool apri(bool migra = false) {
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
        if (migra) {
            diz->xml_conn->connect();
            applicaMigrazioni(*diz->xml_conn);
        }
        for (Table* t : diz->tabelleFatture())
            t->open();
        finestra = std::make_unique<TElenco_Fatt>(*diz);
        finestra->show();
        return QTest::qWaitForWindowActive(finestra.get());
    }

    void chiudi() {
        finestra.reset();
        diz.reset();
        desktop.messaggi.clear();
        desktop.domande.clear();
        desktop.risposte.clear();
    }

    QString valore(const QString& select) const { return TestDb::valore(db, select); }

    const QString db;
    FakeDesktop desktop;
    std::unique_ptr<TDiz> diz;
    std::unique_ptr<TElenco_Fatt> finestra;
};
