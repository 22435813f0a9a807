// Windows that grow from their starting layout and come back as the user left them.
#include "widgets/DBGrid.h"
#include "widgets/Modulo.h"

#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestModulo : public QObject {
    Q_OBJECT
private slots:
    void anchoredControlsFollowTheirEdges() {
        QDialog d;
        Modulo::dimensioni(&d, 400, 300);
        auto* griglia = new DBGrid(&d);
        griglia->setGeometry(10, 10, 380, 200);
        auto* destra = new QPushButton(&d);
        destra->setGeometry(300, 260, 90, 30);
        auto* fermo = new QPushButton(&d);
        fermo->setGeometry(10, 260, 90, 30);
        auto* centro = new QPushButton(&d);
        centro->setGeometry(150, 10, 100, 30);
        Modulo::ancora(griglia, Modulo::kTutte);
        Modulo::ancora(destra, Modulo::Destra | Modulo::Basso);
        Modulo::ancora(centro, Modulo::Alto);
        d.show();
        d.resize(600, 500);
        QTRY_COMPARE(griglia->geometry(), QRect(10, 10, 580, 400));
        QCOMPARE(destra->geometry(), QRect(500, 460, 90, 30));
        QCOMPARE(fermo->geometry(), QRect(10, 260, 90, 30));
        QCOMPARE(centro->geometry(), QRect(250, 10, 100, 30));
        QCOMPARE(d.minimumSize(), QSize(400, 300));
    }

    void sizePositionAndColumnWidthsComeBack() {
        QTemporaryDir cartella;
        Modulo::impostaMemoria(cartella.filePath(QStringLiteral("gfe.ini")));
        const auto finestra = [](QDialog& d) {
            Modulo::dimensioni(&d, 400, 300);
            auto* g = new DBGrid(&d);
            g->setObjectName(QStringLiteral("griglia"));
            g->addColumn(QStringLiteral("rag_soc"), QStringLiteral("Ragione Sociale"), 64);
            Modulo::ricorda(&d, QStringLiteral("prova"));
            return g;
        };
        {
            QDialog d;
            DBGrid* g = finestra(d);
            d.show();
            d.setGeometry(40, 50, 520, 410);
            g->setColumnWidth(0, 150);
            d.hide();
        }
        QDialog d;
        DBGrid* g = finestra(d);
        d.show();
        QCOMPARE(d.geometry(), QRect(40, 50, 520, 410));
        QCOMPARE(g->columnWidth(0), 150);
        Modulo::impostaMemoria(QString());
    }
};

QTEST_MAIN(TestModulo)
#include "tst_modulo.moc"
