#include "InvioFattura.h"

#include "Canale.h"
#include "Rotte.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "fatturapa/ValidatoreFatturaPA.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString titoloDi(bool pa) {
    return pa ? QStringLiteral("Invio fattura P.A. allo SDI")
              : QStringLiteral("Invio fattura allo SDI");
}

Risposta rifiuto(int stato, bool pa, const QString& esito, const QStringList& dettagli = {}) {
    return {stato, titoloDi(pa), esito,
            dettagli + QStringList{QStringLiteral("Non è stato inviato nulla.")}};
}

// A name with a folder part, or one that names a folder, could reach files
// outside the company's folder.
bool nomeSemplice(const QString& nome) {
    if (nome == QLatin1String(".") || nome == QLatin1String("..")) return false;
    for (const QChar c : nome) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 ||
            c.unicode() == 0x7f)
            return false;
    }
    return true;
}

// The transmission format the file declares, empty when it declares none.
QString formato(const QString& percorso) {
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression re(
        QStringLiteral("<FormatoTrasmissione>\\s*(\\w+)\\s*</FormatoTrasmissione>"));
    return re.match(QString::fromUtf8(f.read(1 << 16))).captured(1);
}

} // namespace

Risposta paginaInvio(Richiesta& r, bool pa) {
    for (const QString& p : {QStringLiteral("nome_file"), QStringLiteral("n_invio")}) {
        if (!r.ha(p))
            return rifiuto(400, pa,
                           QStringLiteral("Richiesta incompleta: manca il parametro %1.").arg(p));
    }
    const QString nome = r.parametro(QStringLiteral("nome_file"));
    const QString numero = r.parametro(QStringLiteral("n_invio"));
    if (nome.isEmpty())
        return rifiuto(
            400, pa,
            QStringLiteral("Richiesta non valida: la fattura n. %1 non ha un nome di file.")
                .arg(numero),
            {QStringLiteral("Creare prima il file XML della fattura.")});
    if (!nomeSemplice(nome))
        return rifiuto(
            400, pa,
            QStringLiteral("Richiesta non valida: il nome del file \"%1\" contiene una cartella.")
                .arg(nome),
            {QStringLiteral("Si accettano solo nomi di file della cartella dell'azienda.")});
    static const QRegularExpression cifre(QStringLiteral("^[0-9]{1,9}$"));
    if (!cifre.match(numero).hasMatch() || numero.toInt() <= 0)
        return rifiuto(
            400, pa,
            QStringLiteral("Richiesta non valida: \"%1\" non è un numero di fattura.").arg(numero));
    return inviaFattura(r.connessione(), r.canale(), nome, numero.toInt(), pa);
}

Risposta inviaFattura(Connection& c, const Canale& canale, const QString& nome, int id, bool pa) {
    Transaction transazione(c);
    const Statement riga = c.exec(
        QStringLiteral("SELECT nome_file, inviata FROM testata WHERE id_invio=? FOR UPDATE"), {id});
    QSqlQuery& q = *riga;
    if (!q.next()) return rifiuto(404, pa, QStringLiteral("La fattura n. %1 non esiste.").arg(id));
    const QString nomeFattura = q.value(0).toString();
    const bool inviata = q.value(1).toInt() != 0;
    q.finish();
    if (inviata)
        return rifiuto(409, pa, QStringLiteral("La fattura n. %1 è già stata inviata.").arg(id),
                       {QStringLiteral("File della fattura: %1").arg(nomeFattura)});
    if (nomeFattura != nome)
        return rifiuto(
            404, pa,
            QStringLiteral("Il file %1 non è quello della fattura n. %2.").arg(nome).arg(id),
            {nomeFattura.isEmpty()
                 ? QStringLiteral("La fattura non ha ancora un file XML.")
                 : QStringLiteral("Il file della fattura è %1.").arg(nomeFattura)});

    QSqlQuery a = c.exec(QStringLiteral("SELECT path FROM azienda ORDER BY codice LIMIT 1"));
    const QString cartella = a.next() ? a.value(0).toString() : QString();
    a.finish();
    const QString percorso = QDir(cartella).absoluteFilePath(nome);
    if (cartella.isEmpty() || !QFileInfo(percorso).isFile())
        return rifiuto(
            404, pa,
            QStringLiteral("Il file %1 non si trova nella cartella dell'azienda.").arg(nome),
            {QStringLiteral("Cartella: %1")
                 .arg(cartella.isEmpty() ? QStringLiteral("(non indicata)")
                                         : QDir(cartella).absolutePath())});

    QStringList dettagli;
    const QList<Problema> problemi = ValidatoreFatturaPA().valida(percorso);
    if (problemi.isEmpty()) dettagli << QStringLiteral("Il file supera i controlli dello SDI.");
    for (const Problema& p : problemi)
        dettagli << QStringLiteral("Attenzione: ") + p.descrizione();
    const QString f = formato(percorso);
    if (pa && f != QLatin1String("FPA12"))
        dettagli << QStringLiteral(
            "Attenzione: il file non è nel formato FPA12 della pubblica amministrazione.");

    QString dove;
    try {
        dove = canale.consegna(percorso);
    } catch (const ErroreCanale& e) {
        return {
            502, titoloDi(pa), QStringLiteral("Invio della fattura n. %1 non riuscito.").arg(id),
            QStringList{e.messaggio(), QStringLiteral("La fattura resta da inviare.")} + dettagli};
    }
    // The row is locked since the check, so the update finds it unsent.
    if (c.exec(QStringLiteral("UPDATE testata SET inviata=1 WHERE id_invio=? AND inviata=0"), {id})
            ->numRowsAffected() != 1)
        return rifiuto(409, pa, QStringLiteral("La fattura n. %1 risulta già inviata.").arg(id),
                       {dove});
    transazione.commit();
    return {200, titoloDi(pa), QStringLiteral("La fattura n. %1 è stata inviata allo SDI.").arg(id),
            QStringList{dove, QStringLiteral("La fattura è segnata come inviata.")} + dettagli};
}
