#include "LetturaFattura.h"

#include "Impostazioni.h"
#include "Richiesta.h"
#include "db/Connection.h"
#include "platform/Errore.h"
#include "purchases/CaricaAcquisto.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace {

Risposta risposta(int stato, const QString& esito, const QStringList& dettagli = {}) {
    return {stato, QStringLiteral("Caricamento fattura di acquisto"), esito, dettagli};
}

// The prot of the purchase invoice loaded from exactly this name, 0 when none: the
// comparison is made here, whatever the collation of the column.
int giaCaricato(Connection& c, const QString& nome) {
    const Statement st = c.exec(
        QStringLiteral("SELECT prot, nome_file FROM test_car WHERE nome_file=? ORDER BY prot"),
        {nome});
    QSqlQuery& q = *st;
    while (q.next())
        if (q.value(1).toString() == nome) return q.value(0).toInt();
    return 0;
}

} // namespace

Risposta paginaLettura(Richiesta& richiesta, bool esegui) {
    const QString chiave = QStringLiteral("nome_file");
    const QString nome = richiesta.parametro(chiave);
    if (nome.isEmpty())
        return risposta(400, QStringLiteral("Richiesta non valida: manca il nome del file "
                                            "(nome_file)."));
    if (nome.contains(QLatin1Char('/')) || nome.contains(QLatin1Char('\\')) ||
        nome == QLatin1String(".") || nome == QLatin1String(".."))
        return risposta(400, QStringLiteral("Nome del file non valido: «%1» indica una cartella, "
                                            "ne va indicato solo il nome.")
                                 .arg(nome));
    const QString cartella = richiesta.impostazioni().ricevute;
    const QString percorso = QDir(cartella).filePath(nome);
    struct stat info {};
    if (::lstat(QFile::encodeName(percorso).constData(), &info) != 0)
        return risposta(404,
                        QStringLiteral("File «%1» non trovato nella cartella delle fatture "
                                       "ricevute.")
                            .arg(nome),
                        {QStringLiteral("Cartella: ") + cartella});
    if (!S_ISREG(info.st_mode))
        return risposta(422,
                        QStringLiteral("File «%1» non caricato: non è un file ordinario (un "
                                       "collegamento simbolico, una cartella o un "
                                       "dispositivo).")
                            .arg(nome),
                        {QStringLiteral("Nulla è stato caricato.")});
    try {
        if (!esegui) {
            if (const int prot = giaCaricato(richiesta.connessione(), nome))
                return risposta(409, QStringLiteral("Attenzione... File gia Caricato: «%1» (prot "
                                                    "%2).")
                                         .arg(nome, QString::number(prot)));
            Risposta r =
                risposta(200, QStringLiteral("Da caricare: il file «%1».").arg(nome),
                         {QStringLiteral("Cartella: ") + cartella,
                          QStringLiteral("Dimensione: %1 byte").arg(qlonglong(info.st_size))});
            r.pulsante = QStringLiteral("Carica la fattura");
            return r;
        }
        const EsitoCarico esito = CaricaAcquisto(richiesta.connessione(), cartella, nome);
        return risposta(esito.stato, esito.messaggio, esito.dettagli);
    } catch (const Errore& e) {
        return risposta(500, QStringLiteral("Errore del database: nulla è stato caricato."),
                        {e.messaggio()});
    }
}
