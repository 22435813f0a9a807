#include "sdi/LettoreNotifiche.h"

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/Transaction.h"
#include "purchases/CaricaAcquisto.h"
#include "sdi/MessaggioSdi.h"
#include "sdi/PostaPec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlQuery>

namespace {

using L = QLatin1StringView;

// Saved messages and files bigger than this are not the exchange system's.
constexpr qint64 kMassimo = 100 * 1024 * 1024;

QVariant dataOra(const QDateTime& d) {
    return d.isValid() ? QVariant(d) : QVariant(QMetaType::fromType<QDateTime>());
}

QVariant testoONull(const QString& s) {
    return s.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(s);
}

QString impronta(const QByteArray& dati) {
    return QString::fromLatin1(QCryptographicHash::hash(dati, QCryptographicHash::Sha256).toHex());
}

// Inserts a row whose unique key may already be taken by another reader: false when it
// is. The check reads the latest committed rows (a locking read), so a row another
// reader committed while this insert waited for its key is seen.
bool inserisci(Connection& c, const QString& sql, const QVariantList& valori, const QString& esiste,
               const QVariantList& chiave) {
    try {
        c.exec(sql, valori);
        return true;
    } catch (const DbError&) {
        const Statement st = c.exec(esiste + QStringLiteral(" LOCK IN SHARE MODE"), chiave);
        if (st->next()) return false;
        throw;
    }
}

struct Abbinamento {
    int idInvio = 0;          // 0: no invoice
    bool nomeAttuale = false; // the invoice's nome_file is still this name
};

// The invoice whose nome_file is the name, or the one that held it before a rejection.
Abbinamento abbina(Connection& c, const QString& nomeFile) {
    if (nomeFile.isEmpty()) return {};
    {
        const Statement st = c.exec(QStringLiteral("SELECT id_invio FROM testata WHERE nome_file "
                                                   "= ? ORDER BY id_invio LIMIT 1"),
                                    {nomeFile});
        if (st->next()) return {st->value(0).toInt(), true};
    }
    const Statement st = c.exec(
        QStringLiteral("SELECT id_invio FROM sdi_nomi_usati WHERE nome_file = ?"), {nomeFile});
    if (st->next()) return {st->value(0).toInt(), false};
    return {};
}

QString fattura(const Abbinamento& a, const QString& nomeFile) {
    return QStringLiteral("della fattura Id. Invio %1 (%2)").arg(a.idInvio).arg(nomeFile);
}

bool xmlSdi(const QString& nome) {
    return nome.endsWith(u".xml", Qt::CaseInsensitive) ||
           nome.endsWith(u".xml.p7m", Qt::CaseInsensitive);
}

// A received file is saved under its own name: letters, digits, "_", "-" and "." only,
// never leading outside the folder.
bool nomeSicuro(const QString& nome) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9_.-]{0,99}$"));
    return re.match(nome).hasMatch() && !nome.contains(L(".."));
}

// The invoice file a provider's receipt is about: named in its subject (the sending
// side's "Fattura elettronica NAME"), in daticert.xml's, or attached to the copy of the
// original message that a delivery receipt carries.
QString nomeDellaRicevuta(const MessaggioPosta& p) {
    static const QRegularExpression re(
        QStringLiteral("([A-Za-z]{2}[A-Za-z0-9]{1,28}_[A-Za-z0-9]{1,5}\\.xml(\\.p7m)?)"));
    for (const QString& s : {p.oggetto, p.daticertOggetto}) {
        const QRegularExpressionMatch m = re.match(s);
        if (m.hasMatch()) return m.captured(1);
    }
    for (const Allegato& a : p.allegati) {
        if (re.match(a.nome).hasMatch()) return a.nome;
    }
    return {};
}

// The signature of a file's own envelope (".p7m"), in the words of the mail's.
QString firmaFile(const FileSdi& f) {
    switch (f.firma) {
    case BustaP7m::Firma::Valida:
        return testoFirma(MessaggioPosta::Firma::Valida);
    case BustaP7m::Firma::NonVerificata:
        return testoFirma(MessaggioPosta::Firma::NonVerificabile);
    case BustaP7m::Firma::NonValida:
        break;
    }
    return testoFirma(MessaggioPosta::Firma::NonValida);
}

} // namespace

QString ContiNotifiche::riga() const {
    return QStringLiteral("notifiche %1, fatture ricevute %2, ricevute PEC %3, gia registrate %4, "
                          "non abbinate %5, illeggibili %6")
        .arg(notifiche)
        .arg(fatture)
        .arg(ricevute)
        .arg(giaRegistrate)
        .arg(nonAbbinate)
        .arg(illeggibili);
}

ContiNotifiche& ContiNotifiche::operator+=(const ContiNotifiche& a) {
    notifiche += a.notifiche;
    fatture += a.fatture;
    ricevute += a.ricevute;
    giaRegistrate += a.giaRegistrate;
    nonAbbinate += a.nonAbbinate;
    illeggibili += a.illeggibili;
    return *this;
}

LettoreNotifiche::LettoreNotifiche(Connection& connessione, const QString& ricevute,
                                   const QString& certificati)
    : m_c(connessione), m_ricevute(ricevute), m_certificati(certificati) {}

QStringList LettoreNotifiche::prendiRighe() {
    QStringList r;
    r.swap(m_righe);
    return r;
}

void LettoreNotifiche::riga(const QString& origine, const QString& testo) {
    m_righe << origine + QStringLiteral(": ") + testo;
}

void LettoreNotifiche::percorso(const QString& percorso) {
    const QFileInfo info(percorso);
    if (info.isDir()) {
        const QFileInfoList voci = QDir(percorso).entryInfoList(
            {QStringLiteral("*.eml"), QStringLiteral("*.xml"), QStringLiteral("*.p7m")},
            QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& v : voci)
            this->percorso(v.filePath());
        return;
    }
    QFile f(percorso);
    if (!info.isFile() || !f.open(QIODevice::ReadOnly)) {
        ++m_conti.illeggibili;
        riga(percorso, QStringLiteral("illeggibile: il file non esiste o non si può leggere"));
        return;
    }
    if (f.size() > kMassimo) {
        ++m_conti.illeggibili;
        riga(percorso, QStringLiteral("illeggibile: file di oltre 100 MB"));
        return;
    }
    const QByteArray dati = f.readAll();
    if (xmlSdi(info.fileName()))
        file(dati, info.fileName(), percorso);
    else
        messaggio(dati, percorso);
}

void LettoreNotifiche::messaggio(const QByteArray& eml, const QString& origine) {
    const MessaggioPosta p = leggiPosta(eml, m_certificati);
    if (!p.letto) {
        illeggibile(eml, origine, p.errore);
        return;
    }
    if (!p.ricevuta.isEmpty()) {
        // The copy of our own invoice inside a delivery receipt is not a received invoice.
        ricevutaPec(p, eml, origine);
        return;
    }
    const QString firma = testoFirma(p.firma);
    QList<std::pair<Allegato, FileSdi>> fatture;
    QString identificativo;
    QByteArray metadati;
    int trovati = 0;
    for (const Allegato& a : p.allegati) {
        if (!xmlSdi(a.nome)) continue;
        ++trovati;
        const QString dove = origine + QStringLiteral(" [") + a.nome + u']';
        FileSdi f = leggiFileSdi(a.dati, a.nome);
        switch (f.genere) {
        case FileSdi::Genere::Notifica:
            notifica(f, a.nome, a.dati, f.firmato ? firmaFile(f) : firma, dove);
            break;
        case FileSdi::Genere::Metadati:
            identificativo = f.identificativoSdi;
            metadati = a.dati;
            break;
        case FileSdi::Genere::Fattura:
            fatture.append({a, f});
            break;
        case FileSdi::Genere::Illeggibile:
            illeggibile(a.dati, dove, f.errore);
            break;
        }
    }
    for (const auto& [a, f] : fatture)
        fatturaRicevuta(a.nome, a.dati, identificativo, metadati,
                        origine + QStringLiteral(" [") + a.nome + u']');
    if (trovati == 0)
        illeggibile(eml, origine,
                    QStringLiteral("nessun file dello SDI e nessuna ricevuta PEC nel messaggio"));
}

void LettoreNotifiche::file(const QByteArray& dati, const QString& nome, const QString& origine) {
    const FileSdi f = leggiFileSdi(dati, nome);
    switch (f.genere) {
    case FileSdi::Genere::Notifica:
        notifica(f, nome, dati,
                 f.firmato ? firmaFile(f) : testoFirma(MessaggioPosta::Firma::Assente), origine);
        return;
    case FileSdi::Genere::Fattura:
        fatturaRicevuta(nome, dati, {}, {}, origine);
        return;
    case FileSdi::Genere::Metadati:
        // Without its invoice, the metadata file only keeps the identifier for it.
        m_c.exec(QStringLiteral("INSERT INTO sdi_fatture_ricevute (nome_file, identificativo_sdi, "
                                "origine, registrata, metadati) VALUES (?, ?, ?, NOW(), ?) "
                                "ON DUPLICATE KEY UPDATE identificativo_sdi = "
                                "VALUES(identificativo_sdi)"),
                 {f.nomeFile, f.identificativoSdi, origine.right(255), dati});
        riga(origine, QStringLiteral("metadati della fattura ricevuta %1 (identificativo SDI %2)")
                          .arg(f.nomeFile, f.identificativoSdi));
        return;
    case FileSdi::Genere::Illeggibile:
        illeggibile(dati, origine, f.errore);
        return;
    }
}

void LettoreNotifiche::notifica(const FileSdi& f, const QString& nome, const QByteArray& dati,
                                const QString& firma, const QString& origine) {
    const QString cosa = QStringLiteral("%1 (%2) %3").arg(descrizioneTipoSdi(f.tipo), f.tipo, nome);
    Transaction t(m_c);
    const Abbinamento a = abbina(m_c, f.nomeFile);
    const bool nuova = inserisci(
        m_c,
        QStringLiteral("INSERT INTO sdi_notifiche (tipo, identificativo_sdi, message_id, "
                       "nome_messaggio, nome_file, id_invio, data_ricezione, data_consegna, "
                       "esito, descrizione, firma, origine, registrata, contenuto) VALUES "
                       "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, NOW(), ?)"),
        {f.tipo, f.identificativoSdi, f.messageId, nome.right(120), f.nomeFile,
         a.idInvio ? QVariant(a.idInvio) : QVariant(QMetaType::fromType<int>()),
         dataOra(f.dataRicezione), dataOra(f.dataConsegna), testoONull(f.esito),
         testoONull(f.descrizione), firma, origine.right(255), dati},
        QStringLiteral("SELECT id FROM sdi_notifiche WHERE identificativo_sdi = ? AND tipo = ? "
                       "AND message_id = ?"),
        {f.identificativoSdi, f.tipo, f.messageId});
    if (!nuova) {
        ++m_conti.giaRegistrate;
        riga(origine, cosa + QStringLiteral(" già registrata"));
        return;
    }
    QSqlQuery ultimo = m_c.exec(QStringLiteral("SELECT LAST_INSERT_ID()"));
    const int notificaId = ultimo.next() ? ultimo.value(0).toInt() : 0;
    for (int i = 0; i < f.errori.size(); ++i) {
        const ErroreSdi& e = f.errori[i];
        m_c.exec(QStringLiteral("INSERT INTO sdi_errori (notifica, n, codice, descrizione, "
                                "suggerimento) VALUES (?, ?, ?, ?, ?)"),
                 {notificaId, i + 1, e.codice.left(10), testoONull(e.descrizione),
                  testoONull(e.suggerimento)});
    }
    QString esito;
    if (f.tipo == u"NS" && a.idInvio && a.nomeAttuale) {
        // The rejected name is never written again; the invoice goes back to the user.
        m_c.exec(QStringLiteral("INSERT INTO sdi_nomi_usati (nome_file, id_invio, registrata) "
                                "VALUES (?, ?, NOW()) ON DUPLICATE KEY UPDATE nome_file = "
                                "nome_file"),
                 {f.nomeFile, a.idInvio});
        m_c.exec(
            QStringLiteral("UPDATE testata SET inviata = 0 WHERE id_invio = ? AND nome_file = ?"),
            {a.idInvio, f.nomeFile});
        esito = QStringLiteral(", %1 errori: fattura da correggere e inviare di nuovo")
                    .arg(f.errori.size());
    }
    t.commit();
    if (!a.idInvio) {
        ++m_conti.nonAbbinate;
        riga(origine, cosa + QStringLiteral(" per %1 non abbinata: nessuna fattura ha questo "
                                            "nome_file")
                                 .arg(f.nomeFile));
        return;
    }
    ++m_conti.notifiche;
    riga(origine, cosa + u' ' + fattura(a, f.nomeFile) + esito);
}

void LettoreNotifiche::ricevutaPec(const MessaggioPosta& p, const QByteArray& eml,
                                   const QString& origine) {
    const QString chiave =
        p.messageId.isEmpty() ? QStringLiteral("sha256:") + impronta(eml) : p.messageId.left(255);
    const QString nomeFile = nomeDellaRicevuta(p);
    const QDateTime data = p.daticertData.isValid() ? p.daticertData : p.data;
    const QString cosa = QStringLiteral("ricevuta PEC di %1").arg(p.ricevuta);
    Transaction t(m_c);
    const Abbinamento a = abbina(m_c, nomeFile);
    const bool nuova = inserisci(
        m_c,
        QStringLiteral("INSERT INTO sdi_ricevute_pec (chiave, tipo, data, nome_file, id_invio, "
                       "oggetto, firma, origine, registrata, contenuto) VALUES (?, ?, ?, ?, ?, ?, "
                       "?, ?, NOW(), ?)"),
        {chiave, p.ricevuta.left(40), dataOra(data), testoONull(nomeFile.left(100)),
         a.idInvio ? QVariant(a.idInvio) : QVariant(QMetaType::fromType<int>()),
         testoONull(p.oggetto), testoFirma(p.firma), origine.right(255), eml},
        QStringLiteral("SELECT id FROM sdi_ricevute_pec WHERE chiave = ?"), {chiave});
    t.commit();
    if (!nuova) {
        ++m_conti.giaRegistrate;
        riga(origine, cosa + QStringLiteral(" già registrata"));
        return;
    }
    ++m_conti.ricevute;
    riga(origine, a.idInvio ? cosa + u' ' + fattura(a, nomeFile)
                            : cosa + QStringLiteral(" non abbinata ad alcuna fattura"));
}

void LettoreNotifiche::fatturaRicevuta(const QString& nome, const QByteArray& dati,
                                       const QString& identificativo, const QByteArray& metadati,
                                       const QString& origine) {
    const QString cosa = QStringLiteral("fattura ricevuta %1").arg(nome);
    if (!nomeSicuro(nome)) {
        ++m_conti.illeggibili;
        riga(origine, cosa + QStringLiteral(" non caricata: nome di file non ammesso"));
        return;
    }
    const QString percorso = QDir(m_ricevute).filePath(nome);
    bool scritto = false;
    QFile esistente(percorso);
    if (esistente.exists()) {
        if (!esistente.open(QIODevice::ReadOnly) || esistente.readAll() != dati) {
            ++m_conti.illeggibili;
            riga(origine, cosa + QStringLiteral(" non caricata: nella cartella %1 c'è già un "
                                                "file diverso con lo stesso nome")
                                     .arg(m_ricevute));
            return;
        }
    } else {
        QDir().mkpath(m_ricevute);
        QSaveFile s(percorso);
        if (!s.open(QIODevice::WriteOnly) || s.write(dati) != dati.size() || !s.commit()) {
            ++m_conti.illeggibili;
            riga(origine,
                 cosa + QStringLiteral(" non caricata: impossibile scrivere %1").arg(percorso));
            return;
        }
        scritto = true;
    }
    const EsitoCarico e = CaricaAcquisto(m_c, m_ricevute, nome);
    if (e.stato == 409) {
        ++m_conti.giaRegistrate;
        riga(origine, cosa + QStringLiteral(" già caricata"));
        return;
    }
    if (!e.riuscito()) {
        // An unreadable invoice is reported and stored nowhere.
        if (scritto) QFile::remove(percorso);
        if (e.stato == 500) throw DbError(e.messaggio);
        ++m_conti.illeggibili;
        riga(origine, cosa + QStringLiteral(" illeggibile: ") + e.messaggio);
        return;
    }
    m_c.exec(
        QStringLiteral("INSERT INTO sdi_fatture_ricevute (nome_file, identificativo_sdi, "
                       "prot, origine, registrata, metadati) VALUES (?, ?, ?, ?, NOW(), ?) "
                       "ON DUPLICATE KEY UPDATE prot = VALUES(prot), identificativo_sdi = "
                       "COALESCE(VALUES(identificativo_sdi), identificativo_sdi), metadati = "
                       "COALESCE(VALUES(metadati), metadati)"),
        {nome, testoONull(identificativo),
         e.protocolli.isEmpty() ? QVariant(QMetaType::fromType<int>())
                                : QVariant(e.protocolli.first()),
         origine.right(255),
         metadati.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(metadati)});
    ++m_conti.fatture;
    QStringList prot;
    for (int p : e.protocolli)
        prot << QString::number(p);
    riga(origine, cosa + QStringLiteral(" caricata, prot %1").arg(prot.join(QStringLiteral(", "))) +
                      (identificativo.isEmpty()
                           ? QString()
                           : QStringLiteral(" (identificativo SDI %1)").arg(identificativo)));
}

void LettoreNotifiche::illeggibile(const QByteArray& dati, const QString& origine,
                                   const QString& motivo) {
    const QString chiave = impronta(dati);
    m_c.exec(QStringLiteral("INSERT INTO sdi_illeggibili (chiave, origine, motivo, registrata, "
                            "contenuto) VALUES (?, ?, ?, NOW(), ?) ON DUPLICATE KEY UPDATE "
                            "chiave = chiave"),
             {chiave, origine.right(255), motivo, dati});
    ++m_conti.illeggibili;
    riga(origine, QStringLiteral("illeggibile, messo da parte: ") + motivo);
}
