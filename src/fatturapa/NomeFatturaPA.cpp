#include "fatturapa/NomeFatturaPA.h"

#include "db/Connection.h"
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
