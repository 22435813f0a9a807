#include "InvioFattura.h"

#include "Canale.h"
#include "Consegne.h"
#include "Richiesta.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "platform/LetturaFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <optional>
#include <sys/stat.h>

namespace {

QString titoloDi(bool pa) {
    return pa ? QStringLiteral("Invio fattura P.A. allo SDI")
              : QStringLiteral("Invio fattura allo SDI");
}

Risposta rifiuto(int stato, bool pa, const QString& esito, const QStringList& dettagli = {},
                 const QString& nota = {}) {
    Risposta r{stato, titoloDi(pa), esito,
               dettagli + QStringList{QStringLiteral("Non è stato inviato nulla.")}};
    r.nota = nota;
    return r;
}

// A name with a folder part, or one that names a folder, could reach files
// outside the company's folder.
bool nomeSemplice(const QString& nome) {
    return nome != QLatin1String(".") && nome != QLatin1String("..") &&
           !nome.contains(QLatin1Char('/')) && !nome.contains(QLatin1Char('\\'));
}

// The transmission format the document declares, empty when it declares none.
QString formato(const QByteArray& dati) {
    static const QRegularExpression re(
        QStringLiteral("<FormatoTrasmissione>\\s*(\\w+)\\s*</FormatoTrasmissione>"));
    return re.match(QString::fromUtf8(dati.left(1 << 16))).captured(1);
}

// The header fields a page names an invoice by.
struct Fattura {
    int id = 0;
    QString nomeFile;
    bool inviata = false;
    QString numero;
    QString data;
    QString cliente;
    QString totale;

    // "fattura n. 12/A del 03/02/2023", as a person knows it.
    QString descrizione() const {
        QString n = numero.isEmpty() ? QStringLiteral("fattura senza numero")
                                     : QStringLiteral("fattura n. ") + numero;
        if (!data.isEmpty()) n += QStringLiteral(" del ") + data;
        return n;
    }
    QString nome() const { return QStringLiteral("la ") + descrizione(); }
    QString Nome() const {
        QString n = nome();
        n[0] = n[0].toUpper();
        return n;
    }
    QString chiave() const { return QStringLiteral("Chiave della fattura: n_invio %1").arg(id); }
};

std::optional<Fattura> leggiFattura(Connection& c, int id, bool blocca) {
    const Statement st =
        c.exec(QStringLiteral(
                   "SELECT nome_file, inviata, num_doc, data_doc, rag_soc, tot_doc FROM testata "
                   "WHERE id_invio=?") +
                   (blocca ? QStringLiteral(" FOR UPDATE") : QString()),
               {id});
    QSqlQuery& q = *st;
    if (!q.next()) return std::nullopt;
    Fattura f;
    f.id = id;
    f.nomeFile = q.value(0).toString();
    f.inviata = q.value(1).toInt() != 0;
    f.numero = q.value(2).toString().trimmed();
    f.data = q.value(3).toString().trimmed();
    f.cliente = q.value(4).toString().trimmed();
    f.totale = q.value(5).toString().trimmed();
    q.finish();
    return f;
}

// What a send of invoice f needs, checked: the file's bytes read once (a link is never
// followed) and the validator's verdict. A refusal, or nothing with dati and dettagli set.
std::optional<Risposta> controlla(Connection& c, const Fattura& f, const QString& nome, bool pa,
                                  QByteArray& dati, QStringList& dettagli) {
    if (f.inviata)
        return rifiuto(409, pa, f.Nome() + QStringLiteral(" è già stata inviata."),
                       {QStringLiteral("File della fattura: ") + f.nomeFile}, f.chiave());
    if (f.nomeFile != nome)
        return rifiuto(
            404, pa, QStringLiteral("Il file %1 non è quello della %2.").arg(nome, f.descrizione()),
            {f.nomeFile.isEmpty() ? QStringLiteral("La fattura non ha ancora un file XML.")
                                  : QStringLiteral("Il file della fattura è ") + f.nomeFile},
            f.chiave());

    QSqlQuery a = c.exec(QStringLiteral("SELECT path FROM azienda ORDER BY codice LIMIT 1"));
    const QString cartella = a.next() ? a.value(0).toString() : QString();
    a.finish();
    const QString percorso = QDir(cartella).absoluteFilePath(nome);
    struct stat info {};
    if (cartella.isEmpty() || ::lstat(QFile::encodeName(percorso).constData(), &info) != 0)
        return rifiuto(
            404, pa,
            QStringLiteral("Il file %1 non si trova nella cartella dell'azienda.").arg(nome),
            {QStringLiteral("Cartella: ") + (cartella.isEmpty() ? QStringLiteral("(non indicata)")
                                                                : QDir(cartella).absolutePath())},
            f.chiave());
    const LetturaFile file = LetturaFile::leggi(percorso, ValidatoreFatturaPA::massimoByte, false);
    if (!file.letto())
        return rifiuto(422, pa,
                       QStringLiteral("Il file %1 non viene inviato: non è un file ordinario "
                                      "da leggere.")
                           .arg(nome),
                       {file.errore}, f.chiave());
    dati = file.contenuto;

    const QList<Problema> problemi = ValidatoreFatturaPA().valida(dati, nome);
    if (!problemi.isEmpty()) {
        QStringList righe;
        for (const Problema& p : problemi)
            righe << p.descrizione();
        righe << QStringLiteral("Correggere la fattura e creare di nuovo il file XML.");
        return rifiuto(422, pa,
                       QStringLiteral("Il file %1 non viene inviato: lo SDI lo scarterebbe (%2 "
                                      "segnalazioni).")
                           .arg(nome, QString::number(problemi.size())),
                       righe, f.chiave());
    }
    dettagli << QStringLiteral("Il file supera i controlli dello SDI.");
    if (pa && formato(dati) != QLatin1String("FPA12"))
        dettagli << QStringLiteral(
            "Attenzione: il file non è nel formato FPA12 della pubblica amministrazione.");
    return std::nullopt;
}

QStringList descrivi(const Fattura& f, const Canale& canale) {
    return {QStringLiteral("Cliente: ") + f.cliente, QStringLiteral("Totale: ") + f.totale,
            QStringLiteral("File: ") + f.nomeFile,
            QStringLiteral("Canale: ") + canale.descrizione()};
}

} // namespace

Risposta paginaInvio(Richiesta& r, bool pa, bool esegui) {
    for (const QString& p : {QStringLiteral("nome_file"), QStringLiteral("n_invio")}) {
        if (!r.ha(p))
            return rifiuto(400, pa,
                           QStringLiteral("Richiesta incompleta: manca il parametro %1.").arg(p));
    }
    const QString nome = r.parametro(QStringLiteral("nome_file"));
    const QString numero = r.parametro(QStringLiteral("n_invio"));
    if (nome.isEmpty())
        return rifiuto(400, pa,
                       QStringLiteral("Richiesta non valida: la fattura %1 non ha un nome di file.")
                           .arg(QStringLiteral("con chiave ") + numero),
                       {QStringLiteral("Creare prima il file XML della fattura.")});
    if (!nomeSemplice(nome))
        return rifiuto(
            400, pa,
            QStringLiteral("Richiesta non valida: il nome del file \"%1\" contiene una cartella.")
                .arg(nome),
            {QStringLiteral("Si accettano solo nomi di file della cartella dell'azienda.")});
    static const QRegularExpression cifre(QStringLiteral("^[0-9]{1,9}$"));
    if (!cifre.match(numero).hasMatch() || numero.toInt() <= 0)
        return rifiuto(400, pa,
                       QStringLiteral("Richiesta non valida: \"%1\" non è una chiave di fattura.")
                           .arg(numero));
    return esegui ? inviaFattura(r.connessione(), r.canale(), nome, numero.toInt(), pa)
                  : anteprimaInvio(r.connessione(), r.canale(), nome, numero.toInt(), pa);
}

Risposta anteprimaInvio(Connection& c, const Canale& canale, const QString& nome, int id, bool pa) {
    const std::optional<Fattura> f = leggiFattura(c, id, false);
    if (!f)
        return rifiuto(404, pa,
                       QStringLiteral("La fattura con chiave n_invio %1 non esiste.").arg(id));
    QByteArray dati;
    QStringList dettagli;
    if (auto no = controlla(c, *f, nome, pa, dati, dettagli)) return *no;
    if (Consegne::inCorsoPer(c, id))
        return rifiuto(
            409, pa, QStringLiteral("L'invio della %1 è già in corso.").arg(f->descrizione()),
            {QStringLiteral("Riaprire la pagina tra poco per vederne l'esito.")}, f->chiave());
    const QString incerta = Consegne::ultimaIncerta(c, id);
    if (!incerta.isEmpty()) dettagli.prepend(incerta);
    Risposta r{200, titoloDi(pa), QStringLiteral("Pronta per l'invio: %1.").arg(f->nome()),
               descrivi(*f, canale) + dettagli};
    r.nota = f->chiave();
    r.pulsante = QStringLiteral("Invia allo SDI");
    return r;
}

Risposta inviaFattura(Connection& c, const Canale& canale, const QString& nome, int id, bool pa) {
    std::optional<Fattura> f;
    QByteArray dati;
    QStringList dettagli;
    int consegna = 0;
    {
        // The checks and the record of the hand-off as in progress, under the row's lock:
        // a concurrent request finds either the invoice sent or its hand-off in progress.
        Transaction transazione(c);
        f = leggiFattura(c, id, true);
        if (!f)
            return rifiuto(404, pa,
                           QStringLiteral("La fattura con chiave n_invio %1 non esiste.").arg(id));
        if (auto no = controlla(c, *f, nome, pa, dati, dettagli)) return *no;
        if (Consegne::inCorsoPer(c, id))
            return rifiuto(
                409, pa, QStringLiteral("L'invio della %1 è già in corso.").arg(f->descrizione()),
                {QStringLiteral("Riaprire la pagina tra poco per vederne l'esito.")}, f->chiave());
        consegna = Consegne::inizia(c, id, nome, canale.nome());
        transazione.commit();
    }
    const auto esito = [&](int stato, const QString& frase, const QStringList& righe) {
        Risposta r{stato, titoloDi(pa), frase, righe + dettagli};
        r.nota = f->chiave();
        return r;
    };

    QString dove;
    try {
        dove = canale.consegna(nome, dati);
    } catch (const ErroreCanaleIncerto& e) {
        Consegne::chiudi(c, consegna, Consegne::incerta, e.messaggio());
        return esito(504,
                     QStringLiteral("Esito incerto dell'invio della %1.").arg(f->descrizione()),
                     {e.messaggio(), QStringLiteral("La fattura non è segnata come inviata.")});
    } catch (const ErroreCanale& e) {
        Consegne::chiudi(c, consegna, Consegne::fallita, e.messaggio());
        return esito(502, QStringLiteral("Invio della %1 non riuscito.").arg(f->descrizione()),
                     {e.messaggio(), QStringLiteral("La fattura resta da inviare.")});
    }
    try {
        Transaction transazione(c);
        c.exec(QStringLiteral("UPDATE testata SET inviata=1 WHERE id_invio=?"), {id});
        Consegne::chiudi(c, consegna, Consegne::consegnata, dove);
        transazione.commit();
    } catch (const Errore& e) {
        return esito(500,
                     QStringLiteral("La %1 è stata consegnata, ma non è stato possibile segnarla "
                                    "come inviata.")
                         .arg(f->descrizione()),
                     {dove, e.messaggio(),
                      QStringLiteral("Alla prossima partenza gfe-web verifica la consegna e "
                                     "segna la fattura.")});
    }
    return esito(200, QStringLiteral("%1 è stata %2.").arg(f->Nome(), canale.fatto()),
                 {dove, QStringLiteral("La fattura è segnata come inviata.")});
}
