#include "fatturapa/NomeFatturaPA.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Table.h"
#include "fatturapa/ErroreXml.h"
#include "platform/Testi.h"

#include <QSqlQuery>

namespace {

using L = QLatin1StringView;

// Seconds a writer waits for another one writing the same name.
constexpr int attesaBlocco = 20;

// The exchange system's names take letters and digits only; a "/" or ".."
// would also lead the file out of the output folder.
bool soloLettereECifre(const QString& s) {
    if (s.isEmpty()) return false;
    for (const QChar c : s) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

} // namespace

QString NomeFatturaPA::progressivo(int idInvio, const QString& titoloFatture) {
    const int n = idInvio > 9999 ? idInvio - 9999 : idInvio;
    const QChar prefisso = titoloFatture == u"A" ? u'0' : u'A';
    return prefisso + QString::number(n).rightJustified(4, u'0');
}

NomeFatturaPA::NomeFatturaPA(const QString& titoloFatture, Table& azienda, Table& testata)
    : m_testata(testata), m_idInvio(testata.field(L("id_invio")).asInteger()),
      m_progressivo(progressivo(m_idInvio, titoloFatture)) {
    const QString partitaIva = azienda.field(L("p_iva")).asString();
    if (!soloLettereECifre(partitaIva))
        throw ErroreXml(QStringLiteral("La partita IVA dell'azienda «%1» non è valida per il nome "
                                       "del file XML: solo lettere e cifre.")
                            .arg(partitaIva));
    if (!soloLettereECifre(m_progressivo))
        throw ErroreXml(QStringLiteral("Il progressivo «%1» della fattura Id. Invio %2 non è "
                                       "valido per il nome del file XML: solo lettere e cifre.")
                            .arg(m_progressivo)
                            .arg(m_idInvio));
    m_nome = QStringLiteral("IT") + partitaIva + u'_' + m_progressivo + QStringLiteral(".xml");
    scartaNomiUsati(partitaIva);
    const int spazio = testata.field(L("nome_file")).size();
    if (spazio > 0 && m_nome.size() > spazio)
        throw ErroreXml(QStringLiteral("Il nome di file %1 della fattura Id. Invio %2 supera i %3 "
                                       "caratteri del campo nome_file: il file XML non è stato "
                                       "creato.")
                            .arg(m_nome)
                            .arg(m_idInvio)
                            .arg(spazio));
    m_percorso = Testi::trimmed32(azienda.field(L("path")).asString()) + m_nome;
}

// A name the exchange system has refused is never written again: the invoice takes the
// progressive of the next series letter or digit (A0042 refused: B0042, then C0042; 00042:
// 10042), and so a name of its own.
void NomeFatturaPA::scartaNomiUsati(const QString& partitaIva) {
    const QString serie = m_progressivo.at(0) == u'0'
                              ? QStringLiteral("0123456789")
                              : QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QStringList candidati;
    QVariantList nomi;
    for (qsizetype i = serie.indexOf(m_progressivo.at(0)); i >= 0 && i < serie.size(); ++i) {
        const QString nome = QStringLiteral("IT") + partitaIva + u'_' + serie.at(i) +
                             m_progressivo.mid(1) + QStringLiteral(".xml");
        candidati << nome;
        nomi << nome;
    }
    QStringList usati;
    Connection& c = *m_testata.connection();
    try {
        QStringList segnaposto(candidati.size(), QStringLiteral("?"));
        const Statement st = c.exec(QStringLiteral("SELECT nome_file FROM sdi_nomi_usati WHERE "
                                                   "nome_file IN (%1)")
                                        .arg(segnaposto.join(u',')),
                                    nomi);
        while (st->next())
            usati << st->value(0).toString();
    } catch (const DbError&) {
        // A database without the table of the exchange system's answers has refused no name.
        const Statement st = c.exec(QStringLiteral("SELECT COUNT(*) FROM information_schema.TABLES "
                                                   "WHERE TABLE_SCHEMA = DATABASE() AND "
                                                   "TABLE_NAME = 'sdi_nomi_usati'"),
                                    {});
        if (st->next() && st->value(0).toInt() > 0) throw;
        return;
    }
    for (const QString& nome : candidati) {
        if (usati.contains(nome, Qt::CaseInsensitive)) continue;
        m_nome = nome;
        m_progressivo = nome.mid(3 + partitaIva.size(), m_progressivo.size());
        return;
    }
    throw ErroreXml(QStringLiteral("Nessun progressivo libero per la fattura Id. Invio %1: i nomi "
                                   "%2 sono già stati scartati dallo SDI.")
                        .arg(m_idInvio)
                        .arg(candidati.join(QStringLiteral(", "))));
}

NomeFatturaPA::~NomeFatturaPA() {
    if (m_blocco.isEmpty()) return;
    try {
        m_testata.connection()->exec(QStringLiteral("SELECT RELEASE_LOCK(?)"), {m_blocco});
    } catch (...) {
        // A lost connection has released the lock on the server already; a
        // destructor throws nothing.
    }
}

// Lock names are global to the server: the file name keeps writers of the
// same file apart whatever database they use.
void NomeFatturaPA::blocca() {
    const QString blocco = QStringLiteral("gfe_fatturapa/") + m_nome;
    const Statement st = m_testata.connection()->exec(QStringLiteral("SELECT GET_LOCK(?, ?)"),
                                                      {blocco, attesaBlocco});
    QSqlQuery& q = *st;
    if (!q.next() || q.value(0).toInt() != 1)
        throw ErroreXml(QStringLiteral("Il file %1 è in scrittura da parte di un altro programma: "
                                       "il file XML della fattura Id. Invio %2 non è stato creato, "
                                       "riprovare.")
                            .arg(m_nome)
                            .arg(m_idInvio));
    m_blocco = blocco;
}

void NomeFatturaPA::riserva() {
    if (m_blocco.isEmpty()) blocca();
    const Statement st = m_testata.connection()->exec(
        QStringLiteral("SELECT id_invio FROM testata WHERE nome_file = ? AND id_invio <> ? "
                       "ORDER BY id_invio LIMIT 1"),
        {m_nome, m_idInvio});
    QSqlQuery& q = *st;
    if (q.next())
        throw ErroreXml(QStringLiteral("Il nome di file %1 appartiene già alla fattura Id. Invio "
                                       "%2: il file XML della fattura Id. Invio %3 non è stato "
                                       "creato per non sostituire il suo.")
                            .arg(m_nome, q.value(0).toString(), QString::number(m_idInvio)));
    // A row that already holds the name and no pending change has nothing to post.
    Field nome = m_testata.field(L("nome_file"));
    if (m_testata.state() == TableState::Browse && nome.asString() == m_nome) return;
    m_testata.edit();
    nome.setAsString(m_nome);
    m_testata.post();
}
