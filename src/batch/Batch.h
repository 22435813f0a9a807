#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;
class QTextStream;
class TDiz;

// gfe-batch: logs in like "Accedi" from the ip.ini of the working folder and runs one
// command without asking anything. Results go to `out`, errors to `err`, with the
// texts the windows show; the result is the exit code (0 success, 1 failure).
//   xml --id N [--pa]   writes the FatturaPA file of invoice N, prints its full path
//   totals --id N       recomputes the totals of invoice N
//   validate FILE...    one line "FILE: problem" per problem found
//   print --id N --pdf FILE            the printed invoice N as PDF, prints its full path
//   print-purchase --prot P --pdf FILE the printed purchase invoice P as PDF
// --help and --version print to `out`; an option given twice is refused.
//   copia FILE [--html OUT] [--pdf OUT] [--allegati DIR]  the readable copy of any
//                       FatturaPA file (plain or signed), no log-in; prints the paths
//                       written
//   import [--date DD/MM/YY]  the import of "Importa Fatture" up to that date (today
//                       without it), caption from ip.ini; progress, refused documents
//                       and validator findings on `err`, last `out` line
//                       "importate N, gia presenti M"
//   notifiche PATH...   reads the exchange system's messages saved as files (.eml, .xml,
//                       .xml.p7m, folders of them): one line per item, last line the counts
//   posta               reads the certified mailbox once, with the same lines
//   stato --id N        "stato: WORD", then the answers and receipts of invoice N
class Batch {
public:
    Batch(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    int esegui(const QStringList& argomenti, const QString& cartella);

    // What a command receives: the parsed line (its options) and the arguments
    // after the command's name.
    struct Richiesta {
        const QCommandLineParser& parser;
        QStringList argomenti;
        QString cartella;
    };

private:
    // One command: its name, its line in the help and its function. A new command
    // is one entry of the table in Batch.cpp.
    struct Comando {
        const char* nome;
        const char* uso;
        int (Batch::*esegui)(const Richiesta&);
    };
    static const Comando kComandi[];

    int valida(const Richiesta& r);
    int xml(const Richiesta& r);
    int totali(const Richiesta& r);
    int importa(const Richiesta& r);
    int stampaVendita(const Richiesta& r);
    int stampaAcquisto(const Richiesta& r);
    int stampa(const Richiesta& r, bool acquisto);
    int notifiche(const Richiesta& r);
    int posta(const Richiesta& r);
    int stato(const Richiesta& r);
    int copia(const Richiesta& r);

    bool idFattura(const Richiesta& r, int& id);
    bool accedi(TDiz& diz, const QString& cartella, QString& titolo);
    bool vaiAllaFattura(TDiz& diz, int id);
    void avvisiXml(const QString& percorso);

    QTextStream& m_out;
    QTextStream& m_err;
};
