#include "fatturapa/BustaP7m.h"

#include <QList>

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/x509.h>

#include <limits>
#include <memory>

namespace {

template <class T, void (*libera)(T*)> struct Liberatore {
    void operator()(T* p) const { libera(p); }
};
using Bio = std::unique_ptr<BIO, Liberatore<BIO, BIO_free_all>>;
using Cms = std::unique_ptr<CMS_ContentInfo, Liberatore<CMS_ContentInfo, CMS_ContentInfo_free>>;
using Archivio = std::unique_ptr<X509_STORE, Liberatore<X509_STORE, X509_STORE_free>>;

// An envelope inside an envelope (a file signed twice) is opened up to this depth.
constexpr int massimaProfondita = 3;

// DER starts with the SEQUENCE tag and is taken whole (its last bytes may well be
// white space); anything else is read as base64, with or without line breaks and
// PEM armour.
QByteArray der(const QByteArray& dati) {
    if (dati.startsWith('\x30')) return dati;
    const QByteArray pulito = dati.trimmed();
    QByteArray base64;
    for (const QByteArray& riga : pulito.split('\n')) {
        const QByteArray r = riga.trimmed();
        if (!r.startsWith("-----")) base64 += r;
    }
    base64.replace(' ', QByteArray()).replace('\t', QByteArray());
    auto decodifica =
        QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    return decodifica ? *decodifica : QByteArray();
}

Cms leggiCms(const QByteArray& der) {
    if (der.isEmpty() || der.size() > std::numeric_limits<int>::max()) return nullptr;
    Bio bio(BIO_new_mem_buf(der.constData(), int(der.size())));
    return Cms(bio ? d2i_CMS_bio(bio.get(), nullptr) : nullptr);
}

BustaP7m::Firma verifica(CMS_ContentInfo* cms) {
    Archivio archivio(X509_STORE_new());
    if (archivio && X509_STORE_set_default_paths(archivio.get()) == 1 &&
        CMS_verify(cms, nullptr, archivio.get(), nullptr, nullptr, CMS_BINARY) == 1)
        return BustaP7m::Firma::Valida;
    ERR_clear_error();
    if (CMS_verify(cms, nullptr, nullptr, nullptr, nullptr,
                   CMS_BINARY | CMS_NO_SIGNER_CERT_VERIFY) == 1)
        return BustaP7m::Firma::NonVerificata;
    ERR_clear_error();
    return BustaP7m::Firma::NonValida;
}

} // namespace

bool BustaP7m::firmato(const QString& nomeFile) {
    return nomeFile.endsWith(QLatin1String(".p7m"), Qt::CaseInsensitive);
}

BustaP7m::Contenuto BustaP7m::apri(const QByteArray& dati) {
    Contenuto esito;
    Cms cms = leggiCms(der(dati));
    if (!cms) {
        ERR_clear_error();
        esito.errore = QStringLiteral("busta firmata illeggibile: non è una struttura CMS/PKCS#7 "
                                      "in DER o in base64");
        return esito;
    }
    for (int livello = 0;; ++livello) {
        if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
            esito.errore = QStringLiteral("busta illeggibile: non contiene dati firmati");
            return esito;
        }
        ASN1_OCTET_STRING** contenuto = CMS_get0_content(cms.get());
        if (!contenuto || !*contenuto) {
            esito.errore = QStringLiteral("busta senza documento: la firma è separata dal file");
            return esito;
        }
        // The outermost signature is the one reported.
        if (livello == 0) esito.firma = verifica(cms.get());
        esito.documento =
            QByteArray(reinterpret_cast<const char*>(ASN1_STRING_get0_data(*contenuto)),
                       ASN1_STRING_length(*contenuto));
        Cms interna = livello + 1 < massimaProfondita && esito.documento.startsWith('\x30')
                          ? leggiCms(esito.documento)
                          : nullptr;
        ERR_clear_error();
        if (!interna) break;
        cms = std::move(interna);
    }
    esito.aperta = true;
    return esito;
}

QString BustaP7m::Contenuto::descrizioneFirma() const {
    switch (firma) {
    case Firma::Valida:
        return QStringLiteral("Firma valida.");
    case Firma::NonVerificata:
        return QStringLiteral("Firma integra, non verificata: manca la catena dei certificati "
                              "del firmatario.");
    case Firma::NonValida:
        break;
    }
    return QStringLiteral("Firma non valida: il documento non corrisponde alla firma.");
}
