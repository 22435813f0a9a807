#include "Impostazioni.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

// A value with commas reads as a list in the INI format: it is joined back.
QString testo(const QSettings& s, const QString& chiave, const QString& predefinito = {}) {
    const QVariant v = s.value(chiave);
    if (!v.isValid()) return predefinito;
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString().trimmed();
}

int numeroPorta(const QString& valore, const QString& dove) {
    bool ok = false;
    const int n = valore.toInt(&ok);
    if (!ok || n < 0 || n > 65535)
        throw ErroreImpostazioni(
            QStringLiteral("Porta non valida in %1: '%2' (un numero da 0 a 65535)")
                .arg(dove, valore));
    return n;
}

QString assoluta(const QString& cartellaLavoro, const QString& percorso) {
    return QDir::cleanPath(QDir(cartellaLavoro).absoluteFilePath(percorso));
}

void controlla(const Impostazioni& i) {
    if (i.canale != QLatin1String("cartella") && i.canale != QLatin1String("pec"))
        throw ErroreImpostazioni(
            QStringLiteral("Canale di invio sconosciuto: '%1' (cartella o pec)").arg(i.canale));
    if (i.canale != QLatin1String("pec")) return;
    const ImpostazioniPec& p = i.pec;
    if (p.sicurezza != QLatin1String("implicito") && p.sicurezza != QLatin1String("starttls"))
        throw ErroreImpostazioni(
            QStringLiteral("Sicurezza della PEC sconosciuta: '%1' (implicito o starttls)")
                .arg(p.sicurezza));
    for (const auto& [chiave, valore] :
         {std::pair{"host", p.host}, std::pair{"mittente", p.mittente},
          std::pair{"destinatario", p.destinatario}}) {
        if (valore.isEmpty())
            throw ErroreImpostazioni(
                QStringLiteral(
                    "Per il canale pec manca '%1' nella sezione [pec] delle impostazioni")
                    .arg(QLatin1String(chiave)));
    }
}

} // namespace

Impostazioni Impostazioni::leggiFile(const QString& file, const QString& cartella) {
    Impostazioni i;
    i.uscita = assoluta(cartella, QStringLiteral("inviate"));
    i.ricevute = assoluta(cartella, QStringLiteral("ricevute"));
    try {
        i.casella = ImpostazioniCasella::leggi(file, cartella);
    } catch (const ErroreCasella& e) {
        throw ErroreImpostazioni(e.messaggio());
    }
    const QFileInfo info(file);
    if (!info.exists()) return i;
    if (!info.isReadable())
        throw ErroreImpostazioni(
            QStringLiteral("Il file di impostazioni %1 non si può leggere").arg(file));
    const QSettings s(file, QSettings::IniFormat);
    if (s.status() != QSettings::NoError)
        throw ErroreImpostazioni(
            QStringLiteral("Il file di impostazioni %1 non è leggibile come INI").arg(file));
    const QString p = testo(s, QStringLiteral("porta"));
    if (!p.isEmpty()) i.porta = numeroPorta(p, file);
    i.canale = testo(s, QStringLiteral("canale"), i.canale);
    i.uscita = assoluta(cartella, testo(s, QStringLiteral("uscita"), i.uscita));
    i.ricevute = assoluta(cartella, testo(s, QStringLiteral("ricevute"), i.ricevute));
    i.pec.host = testo(s, QStringLiteral("pec/host"));
    const QString pp = testo(s, QStringLiteral("pec/porta"));
    if (!pp.isEmpty()) i.pec.porta = numeroPorta(pp, file);
    i.pec.sicurezza = testo(s, QStringLiteral("pec/sicurezza"), i.pec.sicurezza);
    i.pec.utente = testo(s, QStringLiteral("pec/utente"));
    i.pec.password = testo(s, QStringLiteral("pec/password"));
    i.pec.mittente = testo(s, QStringLiteral("pec/mittente"));
    i.pec.destinatario = testo(s, QStringLiteral("pec/destinatario"));
    const QString certificati = testo(s, QStringLiteral("pec/certificati"));
    if (!certificati.isEmpty()) i.pec.certificati = assoluta(cartella, certificati);
    // A password others can read is no secret: refused before anything is sent.
    if (!i.pec.password.isEmpty() &&
        (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)))
        throw ErroreImpostazioni(
            QStringLiteral(
                "Il file %1 contiene la password della PEC ma è leggibile da altri utenti: "
                "renderlo leggibile solo al proprietario (chmod 600)")
                .arg(file));
    return i;
}

Impostazioni Impostazioni::leggi(const QStringList& argomenti, const QString& cartella) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Applicazione web locale di invio allo SDI"));
    const QCommandLineOption oPorta(QStringLiteral("port"), QStringLiteral("Porta di ascolto"),
                                    QStringLiteral("N"));
    const QCommandLineOption oCanale(QStringLiteral("channel"),
                                     QStringLiteral("Canale di invio (cartella o pec)"),
                                     QStringLiteral("CANALE"));
    const QCommandLineOption oUscita(QStringLiteral("outbox"), QStringLiteral("Cartella di uscita"),
                                     QStringLiteral("DIR"));
    const QCommandLineOption oRicevute(QStringLiteral("received"),
                                       QStringLiteral("Cartella dei file ricevuti"),
                                       QStringLiteral("DIR"));
    const QCommandLineOption oConfig(
        QStringLiteral("config"), QStringLiteral("File di impostazioni"), QStringLiteral("FILE"));
    parser.addOptions({oPorta, oCanale, oUscita, oRicevute, oConfig});
    if (!parser.parse(argomenti)) throw ErroreImpostazioni(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        throw ErroreImpostazioni(QStringLiteral("Argomento sconosciuto: '%1'")
                                     .arg(parser.positionalArguments().first()));
    const QString file = parser.isSet(oConfig)
                             ? assoluta(cartella, parser.value(oConfig))
                             : QDir(cartella).filePath(QStringLiteral("gfe-web.ini"));
    if (parser.isSet(oConfig) && !QFileInfo::exists(file))
        throw ErroreImpostazioni(QStringLiteral("Il file di impostazioni %1 non esiste").arg(file));
    Impostazioni i = leggiFile(file, cartella);
    if (parser.isSet(oPorta)) i.porta = numeroPorta(parser.value(oPorta), QStringLiteral("--port"));
    if (parser.isSet(oCanale)) i.canale = parser.value(oCanale);
    if (parser.isSet(oUscita)) i.uscita = assoluta(cartella, parser.value(oUscita));
    if (parser.isSet(oRicevute)) i.ricevute = assoluta(cartella, parser.value(oRicevute));
    i.casella.ricevute = i.ricevute;
    if (i.pec.porta == 0) i.pec.porta = i.pec.sicurezza == QLatin1String("starttls") ? 587 : 465;
    controlla(i);
    return i;
}
