#include "fatturapa/ControlliTrasmissione.h"

#include <QRegularExpression>

namespace {

const QString codiceSenzaDestinatario = QStringLiteral("0000000");

} // namespace

QList<Problema> ControlliTrasmissione::nomeFile(const QString& nome, const QString& trasmittente) {
    static const QRegularExpression forma(
        QStringLiteral("^([A-Z]{2}[A-Za-z0-9]{1,28})_[A-Za-z0-9]{1,5}\\.[xX][mM][lL]"
                       "(\\.[pP]7[mM])?$"));
    const QRegularExpressionMatch trovato = forma.match(nome);
    if (!trovato.hasMatch()) {
        return {{QStringLiteral("00001"),
                 QStringLiteral("il nome del file «%1» non ha la forma codice paese + "
                                "identificativo fiscale del trasmittente + \"_\" + progressivo "
                                "di 1-5 lettere o cifre + \".xml\" (o \".xml.p7m\" se firmato)")
                     .arg(nome)}};
    }
    if (!trasmittente.isEmpty() && trovato.captured(1) != trasmittente) {
        return {{QStringLiteral("00001"),
                 QStringLiteral("il nome del file «%1» non inizia con l'identificativo del "
                                "trasmittente %2 (IdTrasmittente)")
                     .arg(nome, trasmittente)}};
    }
    return {};
}

QString ControlliTrasmissione::trasmittente(const NodoXml& radice) {
    const NodoXml id = radice.figlio("FatturaElettronicaHeader/DatiTrasmissione/IdTrasmittente");
    return id.testo("IdPaese") + id.testo("IdCodice");
}

QList<Problema> ControlliTrasmissione::intestazione(const NodoXml& radice) {
    QList<Problema> problemi;
    const NodoXml intestazione = radice.figlio("FatturaElettronicaHeader");
    const NodoXml trasmissione = intestazione.figlio("DatiTrasmissione");
    const QString formato = trasmissione.testo("FormatoTrasmissione");
    const QString versione = radice.attributo("versione");
    if (formato != versione) {
        problemi.append({QStringLiteral("00428"),
                         QStringLiteral("FormatoTrasmissione %1 diverso dalla versione %2 "
                                        "indicata nell'elemento radice")
                             .arg(formato, versione)});
    }
    destinatario(trasmissione, problemi);
    const NodoXml committente = intestazione.figlio("CessionarioCommittente/DatiAnagrafici");
    if (!committente.figlio("IdFiscaleIVA").esiste() &&
        !committente.figlio("CodiceFiscale").esiste()) {
        problemi.append({QStringLiteral("00417"),
                         QStringLiteral("il cessionario/committente non ha né IdFiscaleIVA né "
                                        "CodiceFiscale")});
    }
    return problemi;
}

// The recipient code has 6 characters for a public administration (FPA12) and
// 7 for anyone else (FPR12); a PEC address goes with the code 0000000 only.
void ControlliTrasmissione::destinatario(const NodoXml& trasmissione, QList<Problema>& problemi) {
    const QString formato = trasmissione.testo("FormatoTrasmissione");
    const QString codice = trasmissione.testo("CodiceDestinatario");
    const int lunghezza = formato == u"FPA12" ? 6 : 7;
    if (codice.size() != lunghezza) {
        problemi.append(
            {QStringLiteral("00427"), QStringLiteral("CodiceDestinatario «%1» di %2 caratteri: con "
                                                     "FormatoTrasmissione %3 ne servono %4")
                                          .arg(codice)
                                          .arg(codice.size())
                                          .arg(formato)
                                          .arg(lunghezza)});
    }
    if (!trasmissione.testo("PECDestinatario").isEmpty() && codice != codiceSenzaDestinatario) {
        problemi.append({QStringLiteral("00426"),
                         QStringLiteral("PECDestinatario indicata con CodiceDestinatario «%1»: "
                                        "è ammessa solo con il codice %2")
                             .arg(codice, codiceSenzaDestinatario)});
    }
}
