#include "PostaProva.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <QFile>
#include <stdexcept>

namespace {

X509* certificato(const char* cn, EVP_PKEY* chiave, X509* emittente, EVP_PKEY* chiaveEmittente,
                  bool autorita, long seriale, const char* nomeAlternativo = nullptr) {
    X509* c = X509_new();
    X509_set_version(c, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(c), seriale);
    X509_gmtime_adj(X509_getm_notBefore(c), -3600);
    X509_gmtime_adj(X509_getm_notAfter(c), 86400);
    X509_NAME* nome = X509_get_subject_name(c);
    X509_NAME_add_entry_by_txt(nome, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(cn),
                               -1, -1, 0);
    X509_set_issuer_name(c, emittente ? X509_get_subject_name(emittente) : nome);
    X509_set_pubkey(c, chiave);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, emittente ? emittente : c, c, nullptr, nullptr, 0);
    const char* vincoli = autorita ? "critical,CA:TRUE" : "CA:FALSE";
    X509_EXTENSION* e = X509V3_EXT_conf_nid(nullptr, &ctx, NID_basic_constraints, vincoli);
    X509_add_ext(c, e, -1);
    X509_EXTENSION_free(e);
    if (nomeAlternativo) {
        e = X509V3_EXT_conf_nid(nullptr, &ctx, NID_subject_alt_name, nomeAlternativo);
        X509_add_ext(c, e, -1);
        X509_EXTENSION_free(e);
    }
    if (autorita) {
        e = X509V3_EXT_conf_nid(nullptr, &ctx, NID_key_usage, "critical,keyCertSign,cRLSign");
        X509_add_ext(c, e, -1);
        X509_EXTENSION_free(e);
    }
    X509_sign(c, chiaveEmittente, EVP_sha256());
    return c;
}

QByteArray memoria(BIO* b) {
    char* p = nullptr;
    const long n = BIO_get_mem_data(b, &p);
    return QByteArray(p, int(n));
}

QByteArray crlf(QByteArray s) {
    s.replace("\r\n", "\n");
    s.replace("\n", "\r\n");
    return s;
}

QByteArray base64aCapo(const QByteArray& dati) {
    const QByteArray b = dati.toBase64();
    QByteArray r;
    for (qsizetype i = 0; i < b.size(); i += 76)
        r += b.mid(i, 76) + "\r\n";
    return r;
}

} // namespace

struct PostaProva::Dati {
    EVP_PKEY* chiaveCa = nullptr;
    X509* ca = nullptr;
    EVP_PKEY* chiave = nullptr;
    X509* firmatario = nullptr;
};

PostaProva::PostaProva() : d(std::make_unique<Dati>()) {
    d->chiaveCa = EVP_EC_gen("P-256");
    d->ca = certificato("Autorita di prova", d->chiaveCa, nullptr, d->chiaveCa, true, 1);
    d->chiave = EVP_EC_gen("P-256");
    d->firmatario =
        certificato("posta-certificata@pec.prova", d->chiave, d->ca, d->chiaveCa, false, 2);
}

PostaProva::~PostaProva() {
    X509_free(d->firmatario);
    EVP_PKEY_free(d->chiave);
    X509_free(d->ca);
    EVP_PKEY_free(d->chiaveCa);
}

void PostaProva::scriviAutorita(const QString& file) const {
    BIO* b = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(b, d->ca);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("autorità non scritta");
    f.write(memoria(b));
    BIO_free(b);
}

void PostaProva::scriviServer(const QString& file, const QString& fileChiave) const {
    EVP_PKEY* chiave = EVP_EC_gen("P-256");
    X509* c = certificato("127.0.0.1", chiave, d->ca, d->chiaveCa, false, 3, "IP:127.0.0.1");
    BIO* b = BIO_new(BIO_s_mem());
    PEM_write_bio_X509(b, c);
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("certificato non scritto");
    f.write(memoria(b));
    BIO_free(b);
    b = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(b, chiave, nullptr, nullptr, 0, nullptr, nullptr);
    QFile k(fileChiave);
    if (!k.open(QIODevice::WriteOnly)) throw std::runtime_error("chiave non scritta");
    k.write(memoria(b));
    BIO_free(b);
    X509_free(c);
    EVP_PKEY_free(chiave);
}

QString PostaProva::nomeNotifica(const QString& nomeFile, const QString& tipo, int n) {
    QString base = nomeFile;
    base.chop(4);
    return QStringLiteral("%1_%2_%3.xml").arg(base, tipo).arg(n, 3, 10, QLatin1Char('0'));
}

QByteArray PostaProva::notifica(const QString& tipo, const QString& nomeFile, const QString& idSdi,
                                bool vecchio, const QList<Errore>& errori, const QString& esito) {
    const QString spazio =
        vecchio ? QStringLiteral("http://www.fatturapa.gov.it/sdi/messaggi/v1.0")
                : QStringLiteral(
                      "http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fattura/messaggi/v1.0");
    QString radice;
    if (tipo == u"RC") radice = QStringLiteral("RicevutaConsegna");
    if (tipo == u"NS")
        radice = vecchio ? QStringLiteral("NotificaScarto") : QStringLiteral("RicevutaScarto");
    if (tipo == u"MC")
        radice = vecchio ? QStringLiteral("NotificaMancataConsegna")
                         : QStringLiteral("RicevutaImpossibilitaRecapito");
    if (tipo == u"NE") radice = QStringLiteral("NotificaEsito");
    if (tipo == u"DT") radice = QStringLiteral("NotificaDecorrenzaTermini");
    if (tipo == u"AT") radice = QStringLiteral("AttestazioneTrasmissioneFattura");
    if (tipo == u"MT")
        radice = vecchio ? QStringLiteral("MetadatiInvioFile") : QStringLiteral("FileMetadati");
    QString corpo =
        QStringLiteral("<IdentificativoSdI>%1</IdentificativoSdI>\n<NomeFile>%2</NomeFile>\n")
            .arg(idSdi, nomeFile);
    if (tipo != u"NE" && tipo != u"DT" && tipo != u"MT")
        corpo +=
            QStringLiteral("<DataOraRicezione>2026-12-10T10:05:00.000+01:00</DataOraRicezione>\n");
    if (tipo == u"RC")
        corpo += QStringLiteral("<DataOraConsegna>2026-12-10T10:07:00.000+01:00</DataOraConsegna>\n"
                                "<Destinatario><Codice>ABC1234</Codice><Descrizione>Cliente</"
                                "Descrizione></Destinatario>\n");
    if (tipo == u"NS") {
        corpo += QStringLiteral("<ListaErrori>\n");
        for (const Errore& e : errori) {
            corpo += QStringLiteral("<Errore><Codice>%1</Codice><Descrizione>%2</Descrizione>")
                         .arg(e.codice, e.descrizione);
            if (!vecchio && !e.suggerimento.isEmpty())
                corpo += QStringLiteral("<Suggerimento>%1</Suggerimento>").arg(e.suggerimento);
            corpo += QStringLiteral("</Errore>\n");
        }
        corpo += QStringLiteral("</ListaErrori>\n");
    }
    if (tipo == u"MC")
        corpo += QStringLiteral("<Descrizione>Recapito non riuscito</Descrizione>\n");
    if (tipo == u"NE")
        corpo += QStringLiteral("<EsitoCommittente><IdentificativoSdI>%1</IdentificativoSdI>"
                                "<Esito>%2</Esito><Descrizione>Esito del committente</Descrizione>"
                                "</EsitoCommittente>\n")
                     .arg(idSdi, esito);
    if (tipo == u"MT")
        corpo += QStringLiteral(
            "<CodiceDestinatario>0000000</CodiceDestinatario><Formato>FPR12</Formato>"
            "<TentativiInvio>1</TentativiInvio>\n");
    corpo += QStringLiteral("<MessageId>%1%2</MessageId>\n").arg(tipo, idSdi);
    if (tipo == u"AT") corpo += QStringLiteral("<HashFileOriginale>00</HashFileOriginale>\n");
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ns3:%1 xmlns:ns3=\"%2\" "
                          "versione=\"1.0\">\n%3</ns3:%1>\n")
        .arg(radice, spazio, corpo)
        .toUtf8();
}

QByteArray PostaProva::messaggio(const QString& oggetto, const QList<Allegato>& allegati,
                                 const QString& messageId) {
    QByteArray m =
        "From: sdi01@pec.fatturapa.it\r\nTo: azienda@pec.prova\r\nSubject: " + oggetto.toUtf8() +
        "\r\nMessage-ID: <" + messageId.toUtf8() +
        ">\r\nDate: Thu, 10 Dec 2026 10:08:00 +0100\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"interno\"\r\n\r\n"
        "--interno\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n"
        "Messaggio del Sistema di Interscambio\r\n";
    for (const Allegato& a : allegati)
        m += "--interno\r\nContent-Type: application/octet-stream; name=\"" + a.nome.toUtf8() +
             "\"\r\nContent-Disposition: attachment; filename=\"" + a.nome.toUtf8() +
             "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + base64aCapo(a.dati);
    m += "--interno--\r\n";
    return m;
}

QByteArray PostaProva::busta(const QString& oggetto, const QByteArray& originale,
                             const QString& tipo, const QString& messageId, const QString& ricevuta,
                             bool daticert, bool firmata) const {
    QByteArray entita = "Content-Type: multipart/mixed; boundary=\"busta\"\r\n\r\n"
                        "--busta\r\nContent-Type: text/plain; charset=UTF-8\r\n\r\n"
                        "Messaggio di posta certificata\r\n";
    if (daticert)
        entita += "--busta\r\nContent-Type: application/xml; name=\"daticert.xml\"\r\n"
                  "Content-Disposition: inline; filename=\"daticert.xml\"\r\n\r\n"
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<postacert tipo=\"" +
                  tipo.toUtf8() +
                  "\" errore=\"nessuno\"><intestazione><mittente>azienda@pec.prova</mittente>"
                  "<oggetto>" +
                  oggetto.toUtf8() +
                  "</oggetto></intestazione><dati><gestore-emittente>PEC di prova"
                  "</gestore-emittente><data zona=\"+0100\"><giorno>10/12/2026</giorno>"
                  "<ora>10:01:00</ora></data><identificativo>opec.ID-" +
                  messageId.toUtf8() + "</identificativo></dati></postacert>\r\n";
    if (!originale.isEmpty())
        entita += "--busta\r\nContent-Type: message/rfc822; name=\"postacert.eml\"\r\n"
                  "Content-Disposition: inline; filename=\"postacert.eml\"\r\n\r\n" +
                  crlf(originale);
    entita += "--busta--\r\n";
    QByteArray intestazioni =
        "From: \"Per conto di: sdi01@pec.fatturapa.it\" <posta-certificata@pec.prova>\r\n"
        "To: azienda@pec.prova\r\nSubject: " +
        oggetto.toUtf8() + "\r\nMessage-ID: <" + messageId.toUtf8() +
        ">\r\nDate: Thu, 10 Dec 2026 10:09:00 +0100\r\n";
    if (!ricevuta.isEmpty())
        intestazioni += "X-Ricevuta: " + ricevuta.toUtf8() + "\r\n";
    else
        intestazioni += "X-Trasporto: posta-certificata\r\n";
    if (!firmata) return intestazioni + "MIME-Version: 1.0\r\n" + entita;
    const int modo = CMS_DETACHED | CMS_BINARY | CMS_STREAM | SMIME_CRLFEOL;
    BIO* dati = BIO_new_mem_buf(entita.constData(), int(entita.size()));
    CMS_ContentInfo* cms = CMS_sign(d->firmatario, d->chiave, nullptr, nullptr, modo);
    BIO* uscita = BIO_new(BIO_s_mem());
    const bool ok = cms && SMIME_write_CMS(uscita, cms, dati, modo) == 1;
    const QByteArray firmato = memoria(uscita);
    BIO_free(uscita);
    BIO_free(dati);
    CMS_ContentInfo_free(cms);
    if (!ok) {
        ERR_print_errors_fp(stderr);
        throw std::runtime_error("busta non firmata");
    }
    return intestazioni + firmato;
}

QByteArray PostaProva::p7m(const QByteArray& contenuto) const {
    BIO* dati = BIO_new_mem_buf(contenuto.constData(), int(contenuto.size()));
    CMS_ContentInfo* cms = CMS_sign(d->firmatario, d->chiave, nullptr, dati, CMS_BINARY);
    BIO* uscita = BIO_new(BIO_s_mem());
    const bool ok = cms && i2d_CMS_bio(uscita, cms) == 1;
    const QByteArray der = memoria(uscita);
    BIO_free(uscita);
    BIO_free(dati);
    CMS_ContentInfo_free(cms);
    if (!ok) throw std::runtime_error("p7m non firmato");
    return der;
}
