// Prints the SQL that adds a year of sales documents to the accounting
// database quirn19, the same for the same seed:
//   genera_anno [--seme N] [--documenti N] [--righe N] | scripts/db client quirn19
#include "AnnoContabile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Anno di documenti di vendita per quirn19"));
    parser.addHelpOption();
    const QCommandLineOption seme(QStringLiteral("seme"), QStringLiteral("Seme"),
                                  QStringLiteral("N"), QStringLiteral("2023"));
    const QCommandLineOption documenti(QStringLiteral("documenti"), QStringLiteral("Documenti"),
                                       QStringLiteral("N"), QStringLiteral("300"));
    const QCommandLineOption righe(QStringLiteral("righe"), QStringLiteral("Righe per documento"),
                                   QStringLiteral("N"), QStringLiteral("10"));
    parser.addOptions({seme, documenti, righe});
    parser.process(app);
    ParametriAnno p;
    p.seme = parser.value(seme).toUInt();
    p.documenti = parser.value(documenti).toInt();
    p.righe = parser.value(righe).toInt();
    QTextStream out(stdout);
    out << "SET NAMES utf8mb4;\n";
    for (const QString& istruzione : annoContabile(p))
        out << istruzione << ";\n";
    return 0;
}
