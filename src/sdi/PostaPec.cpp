#include "sdi/PostaPec.h"

#include "fatturapa/NodoXml.h"

#include <gmime/gmime.h>
#include <libxml/parser.h>
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/x509.h>

#include <limits>
#include <memory>
#include <mutex>

namespace {

template <class T, void (*libera)(T*)> struct Liberatore {
    void operator()(T* p) const { libera(p); }
};
using Bio = std::unique_ptr<BIO, Liberatore<BIO, BIO_free_all>>;
using Cms = std::unique_ptr<CMS_ContentInfo, Liberatore<CMS_ContentInfo, CMS_ContentInfo_free>>;
using Archivio = std::unique_ptr<X509_STORE, Liberatore<X509_STORE, X509_STORE_free>>;

struct LiberaOggetto {
    void operator()(void* p) const {
        if (p) g_object_unref(p);
    }
};
template <class T> using Gobj = std::unique_ptr<T, LiberaOggetto>;

void avviaGMime() {
    static std::once_flag fatto;
    std::call_once(fatto, [] { g_mime_init(); });
}

// The envelope read again by OpenSSL's S/MIME parser, which canonicalises the signed part
// as its signature requires.
MessaggioPosta::Firma verificaBusta(const QByteArray& eml, const QString& certificati) {
    if (eml.size() > std::numeric_limits<int>::max()) return MessaggioPosta::Firma::NonValida;
    Bio ingresso(BIO_new_mem_buf(eml.constData(), int(eml.size())));
    BIO* contenuto = nullptr;
    Cms cms(ingresso ? SMIME_read_CMS(ingresso.get(), &contenuto) : nullptr);
    Bio dati(contenuto);
    if (!cms || !dati) {
        ERR_clear_error();
        return MessaggioPosta::Firma::NonValida;
    }
    // The content is read once per attempt: it is copied for each.
    QByteArray firmato;
    char buf[16384];
    for (int n; (n = BIO_read(dati.get(), buf, sizeof buf)) > 0;)
        firmato.append(buf, n);
    const auto prova = [&](X509_STORE* archivio, unsigned flags) {
        Bio copia(BIO_new_mem_buf(firmato.constData(), int(firmato.size())));
        const bool ok = copia && CMS_verify(cms.get(), nullptr, archivio, copia.get(), nullptr,
                                            flags | CMS_BINARY) == 1;
        ERR_clear_error();
        return ok;
    };
    Archivio archivio(X509_STORE_new());
    if (archivio && X509_STORE_set_default_paths(archivio.get()) == 1) {
        if (!certificati.isEmpty())
            X509_STORE_load_file(archivio.get(), certificati.toLocal8Bit().constData());
        ERR_clear_error();
        if (prova(archivio.get(), 0)) return MessaggioPosta::Firma::Valida;
    }
    if (prova(nullptr, CMS_NO_SIGNER_CERT_VERIFY)) return MessaggioPosta::Firma::NonVerificabile;
    return MessaggioPosta::Firma::NonValida;
}

QByteArray contenutoParte(GMimePart* parte) {
    GMimeDataWrapper* w = g_mime_part_get_content(parte);
    if (!w) return {};
    Gobj<GMimeStream> uscita(g_mime_stream_mem_new());
    g_mime_data_wrapper_write_to_stream(w, uscita.get());
    GByteArray* a = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(uscita.get()));
    return a ? QByteArray(reinterpret_cast<const char*>(a->data), int(a->len)) : QByteArray();
}

QString testo(const char* s) {
    return s ? QString::fromUtf8(s).trimmed() : QString();
}

QString nomeParte(GMimeObject* o) {
    if (GMIME_IS_PART(o)) {
        const QString n = testo(g_mime_part_get_filename(GMIME_PART(o)));
        if (!n.isEmpty()) return n;
    }
    GMimeContentType* ct = g_mime_object_get_content_type(o);
    return ct ? testo(g_mime_content_type_get_parameter(ct, "name")) : QString();
}

struct Raccolta {
    GMimeMessage* originale = nullptr; // postacert.eml
    QByteArray daticert;
    QList<Allegato> allegati;
};

// Walks the parts: the envelope's text and signature are skipped, daticert.xml and
// postacert.eml are taken apart, every other named part is an attachment.
void raccogli(GMimeObject* o, Raccolta& r, int profondita) {
    if (!o || profondita > 20) return;
    if (GMIME_IS_MULTIPART(o)) {
        GMimeMultipart* mp = GMIME_MULTIPART(o);
        for (int i = 0, n = g_mime_multipart_get_count(mp); i < n; ++i)
            raccogli(g_mime_multipart_get_part(mp, i), r, profondita + 1);
        return;
    }
    const QString nome = nomeParte(o);
    if (GMIME_IS_MESSAGE_PART(o)) {
        GMimeMessage* m = g_mime_message_part_get_message(GMIME_MESSAGE_PART(o));
        if (!r.originale && nome.compare(u"postacert.eml", Qt::CaseInsensitive) == 0) {
            r.originale = m;
            return;
        }
        if (!r.originale && nome.isEmpty()) {
            r.originale = m;
            return;
        }
        return;
    }
    if (!GMIME_IS_PART(o)) return;
    GMimeContentType* ct = g_mime_object_get_content_type(o);
    if (ct && g_mime_content_type_is_type(ct, "application", "*") &&
        (testo(g_mime_content_type_get_media_subtype(ct)).endsWith(u"pkcs7-signature")))
        return;
    if (nome.compare(u"daticert.xml", Qt::CaseInsensitive) == 0) {
        r.daticert = contenutoParte(GMIME_PART(o));
        return;
    }
    if (nome.isEmpty() || nome.compare(u"smime.p7s", Qt::CaseInsensitive) == 0) return;
    r.allegati.append({nome, contenutoParte(GMIME_PART(o))});
}

void allegatiDi(GMimeMessage* m, QList<Allegato>& allegati) {
    Raccolta r;
    raccogli(g_mime_message_get_mime_part(m), r, 0);
    allegati = r.allegati;
}

struct LiberaDoc {
    void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};

void leggiDaticert(const QByteArray& xml, MessaggioPosta& p) {
    if (xml.isEmpty() || xml.size() > std::numeric_limits<int>::max()) return;
    std::unique_ptr<xmlDoc, LiberaDoc> doc(
        xmlReadMemory(xml.constData(), int(xml.size()), nullptr, nullptr,
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
    if (!doc) {
        xmlResetLastError();
        return;
    }
    const NodoXml r(xmlDocGetRootElement(doc.get()));
    p.daticertTipo = r.attributo("tipo");
    p.daticertOggetto = r.testo("intestazione/oggetto");
    p.daticertIdentificativo = r.testo("dati/identificativo");
    const QString giorno = r.testo("dati/data/giorno");
    const QString ora = r.testo("dati/data/ora");
    p.daticertData =
        QDateTime::fromString(giorno + u' ' + ora, QStringLiteral("dd/MM/yyyy hh:mm:ss"));
}

} // namespace

MessaggioPosta leggiPosta(const QByteArray& eml, const QString& certificati) {
    avviaGMime();
    MessaggioPosta p;
    if (eml.trimmed().isEmpty()) {
        p.errore = QStringLiteral("messaggio vuoto");
        return p;
    }
    Gobj<GMimeStream> flusso(
        g_mime_stream_mem_new_with_buffer(eml.constData(), size_t(eml.size())));
    Gobj<GMimeParser> analizzatore(g_mime_parser_new_with_stream(flusso.get()));
    Gobj<GMimeMessage> m(g_mime_parser_construct_message(analizzatore.get(), nullptr));
    if (!m) {
        p.errore = QStringLiteral("non è un messaggio di posta (intestazioni illeggibili)");
        return p;
    }
    GMimeObject* o = GMIME_OBJECT(m.get());
    if (!g_mime_object_get_header(o, "From") && !g_mime_object_get_header(o, "Message-ID") &&
        !g_mime_object_get_header(o, "Content-Type")) {
        p.errore = QStringLiteral("non è un messaggio di posta: mancano le intestazioni");
        return p;
    }
    p.messageId = testo(g_mime_message_get_message_id(m.get()));
    p.oggetto = testo(g_mime_message_get_subject(m.get()));
    if (GDateTime* d = g_mime_message_get_date(m.get())) {
        p.data = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(d));
    }
    p.ricevuta = testo(g_mime_object_get_header(o, "X-Ricevuta")).toLower();
    GMimeObject* corpo = g_mime_message_get_mime_part(m.get());
    if (corpo && GMIME_IS_MULTIPART_SIGNED(corpo)) p.firma = verificaBusta(eml, certificati);
    Raccolta r;
    raccogli(corpo, r, 0);
    leggiDaticert(r.daticert, p);
    if (p.ricevuta.isEmpty() && !p.daticertTipo.isEmpty() && p.daticertTipo != u"posta-certificata")
        p.ricevuta = p.daticertTipo.toLower();
    if (r.originale)
        allegatiDi(r.originale, p.allegati);
    else
        p.allegati = r.allegati;
    p.letto = true;
    return p;
}

QString testoFirma(MessaggioPosta::Firma firma) {
    switch (firma) {
    case MessaggioPosta::Firma::Valida:
        return QStringLiteral("valida");
    case MessaggioPosta::Firma::NonVerificabile:
        return QStringLiteral("non verificabile");
    case MessaggioPosta::Firma::NonValida:
        return QStringLiteral("non valida");
    case MessaggioPosta::Firma::Assente:
        break;
    }
    return QStringLiteral("assente");
}
