#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// gfe-batch: logs in like "Accedi" from the ip.ini of the working folder and runs one
// subcommand without asking anything. Results go to `out`, errors to `err`, with the
// texts the windows show; the result is the exit code (0 success, 1 failure).
//   xml --id N [--pa]   writes the FatturaPA file of invoice N, prints its full path
//   totals --id N       recomputes the totals of invoice N
//   validate FILE...    one line "FILE: problem" per problem found
//   import [--date DD/MM/YY]  the import of "Importa Fatture" up to that date (today
//                       without it), caption from ip.ini; progress, refused documents
//                       and validator findings on `err`, last `out` line
//                       "importate N, gia presenti M"
class Batch {
public:
    Batch(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    int esegui(const QStringList& argomenti, const QString& cartella);

private:
    int valida(const QStringList& file);
    int xml(int id, bool pa, const QString& cartella);
    int totali(int id, const QString& cartella);
    int importa(const QString& data, const QString& cartella);
    bool accedi(const QString& cartella, QString& titolo);
    bool vaiAllaFattura(int id);
    void avvisiXml(const QString& percorso);

    QTextStream& m_out;
    QTextStream& m_err;
};
