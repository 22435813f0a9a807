#include "FirmaProva.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <stdexcept>

QByteArray firmaProva(const QByteArray& contenuto) {
    EVP_PKEY* chiave = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), 0);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_NAME* nome = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(nome, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Firma di prova"), -1, -1, 0);
    X509_set_issuer_name(cert, nome);
    X509_set_pubkey(cert, chiave);
    X509_sign(cert, chiave, EVP_sha256());
    BIO* dati = BIO_new_mem_buf(contenuto.constData(), int(contenuto.size()));
    CMS_ContentInfo* cms = CMS_sign(cert, chiave, nullptr, dati, CMS_BINARY);
    BIO* uscita = BIO_new(BIO_s_mem());
    const bool scritto = cms && i2d_CMS_bio(uscita, cms) == 1;
    char* p = nullptr;
    const long n = BIO_get_mem_data(uscita, &p);
    const QByteArray der(p, int(n));
    BIO_free(uscita);
    CMS_ContentInfo_free(cms);
    BIO_free(dati);
    X509_free(cert);
    EVP_PKEY_free(chiave);
    if (!scritto) throw std::runtime_error("firma di prova non riuscita");
    return der;
}
