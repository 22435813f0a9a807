#pragma once

#include "FakeDesktop.h"
#include "TestDb.h"
#include "data/TDiz.h"
#include "invoices/TElenco_Fatt.h"
#include "widgets/DBGrid.h"

#include <QAbstractButton>
#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

// The data module logged in to a test database of its own, with the invoice window
// and a scripted desktop; the registry windows are created by the tests.
class AmbienteRegistri {
public:
    explicit AmbienteRegistri(const QString& database) : db(database) {}

    void apri(const QStringList& files, const QStringList& statements) {
        TestDb::ricrea(db, files);
        if (!statements.isEmpty()) TestDb::esegui(db, statements);
        diz = std::make_unique<TDiz>();
        TestDb::punta(*diz->xml_conn, db);
        for (Table* t : diz->tabelleFatture())
            t->open();
        fatture = std::make_unique<TElenco_Fatt>(*diz);
    }

    void chiudi() {
        fatture.reset();
        diz.reset();
        desktop.messaggi.clear();
    }

    // Shows the registry on its own, active, as the main menu does (without modality).
    [[nodiscard]] static bool mostra(QDialog* finestra) {
        finestra->show();
        finestra->activateWindow();
        return QTest::qWaitForWindowActive(finestra);
    }

    // Presses a button of the invoice window that shows the registry modally and runs
    // `dentro` once it shows; the registry is closed after it if `dentro` left it open.
    void daFatture(QAbstractButton* pulsante, QDialog* finestra,
                   const std::function<void()>& dentro) {
        fatture->show();
        QTimer::singleShot(0, finestra, [this, finestra, dentro] {
            QVERIFY(QTest::qWaitForWindowExposed(finestra));
            dentro();
            rimastaAperta = finestra->isVisible();
            if (rimastaAperta) finestra->reject();
        });
        QTest::mouseClick(pulsante, Qt::LeftButton);
    }

    // A double click on a row of a grid (the first column).
    static void doppioClic(DBGrid* g, int riga) {
        QPoint p(5, 5);
        if (riga >= 0) p = g->visualRect(g->model()->index(riga, 0)).center();
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, p);
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, p);
    }

    QString valore(const QString& select) const { return TestDb::valore(db, select); }

    const QString db;
    FakeDesktop desktop;
    std::unique_ptr<TDiz> diz;
    std::unique_ptr<TElenco_Fatt> fatture;
    bool rimastaAperta = false;
};
