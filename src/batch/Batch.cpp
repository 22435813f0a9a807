#include "Batch.h"

#include "app/Accesso.h"
#include "copia/Allegati.h"
#include "copia/Copia.h"
#include "copia/CopiaHtml.h"
#include "copia/CopiaPdf.h"
#include "data/TDiz.h"
#include "fatturapa/CreaXml.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/CalcolaTotali.h"
#include "invoices/ImportaFatture.h"
#include "platform/Errore.h"
#include "platform/Testi.h"
#include "print/StampaFattura.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <exception>

namespace {

// Errors of the program carry their Italian text; anything else (std::bad_alloc) its own.
QString messaggioDi(const std::exception& e) {
    if (const auto* err = dynamic_cast<const Errore*>(&e)) return err->messaggio();
    return QString::fromUtf8(e.what());
}

const QCommandLineOption kId(QStringLiteral("id"), QStringLiteral("Id. invio della fattura"),
                             QStringLiteral("N"));
const QCommandLineOption kPa(QStringLiteral("pa"), QStringLiteral("File per la P.A. (FPA12)"));
const QCommandLineOption kData(QStringLiteral("date"),
                               QStringLiteral("Data fino a cui importare (GG/MM/AA)"),
                               QStringLiteral("GG/MM/AA"));
const QCommandLineOption kPdf(QStringLiteral("pdf"), QStringLiteral("File PDF da scrivere"),
                              QStringLiteral("FILE"));
const QCommandLineOption kHtml(QStringLiteral("html"), QStringLiteral("File HTML da scrivere"),
                               QStringLiteral("FILE"));
const QCommandLineOption kAllegati(QStringLiteral("allegati"),
                                   QStringLiteral("Cartella in cui salvare gli allegati"),
                                   QStringLiteral("CARTELLA"));
const QCommandLineOption kProt(QStringLiteral("prot"),
                               QStringLiteral("Protocollo della fattura di acquisto"),
                               QStringLiteral("P"));
const QCommandLineOption kAiuto({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Mostra questo aiuto"));
const QCommandLineOption kVersione(QStringLiteral("version"),
                                   QStringLiteral("Mostra la versione del programma"));

} // namespace

const Batch::Comando Batch::kComandi[] = {
    {"xml", "xml --id N [--pa]   scrive il file FatturaPA della fattura N", &Batch::xml},
    {"totals", "totals --id N       ricalcola i totali della fattura N", &Batch::totali},
    {"validate", "validate FILE...    controlla i file FatturaPA indicati", &Batch::valida},
    {"print", "print --id N --pdf FILE            stampa la fattura N in un file PDF",
     &Batch::stampaVendita},
    {"print-purchase", "print-purchase --prot P --pdf FILE stampa la fattura di acquisto P in PDF",
     &Batch::stampaAcquisto},
    {"import", "import [--date GG/MM/AA]            importa i documenti fino a quella data",
     &Batch::importa},
    {"notifiche", "notifiche PERCORSO...                legge i messaggi dello SDI salvati",
     &Batch::notifiche},
    {"posta", "posta                                legge la casella PEC", &Batch::posta},
    {"stato", "stato --id N                         stato della fattura N presso lo SDI",
     &Batch::stato},
    {"copia", "copia FILE [--html OUT] [--pdf OUT] [--allegati CARTELLA] copia leggibile del file",
     &Batch::copia},
};

int Batch::esegui(const QStringList& argomenti, const QString& cartella) {
    QCommandLineParser parser;
    QString comandi;
    QStringList nomi;
    for (const Comando& c : kComandi) {
        comandi += QStringLiteral("\n  ") + QString::fromUtf8(c.uso);
        nomi << QString::fromLatin1(c.nome);
    }
    parser.setApplicationDescription(QStringLiteral("Fatturazione elettronica senza finestre.\n"
                                                    "Comandi:") +
                                     comandi);
    parser.addPositionalArgument(QStringLiteral("comando"), nomi.join(QStringLiteral(", ")));
    parser.addOptions({kId, kPa, kData, kPdf, kHtml, kAllegati, kProt, kAiuto, kVersione});
    if (!parser.parse(argomenti)) {
        m_err << parser.errorText() << Qt::endl;
        return 1;
    }
    const QStringList trovate = parser.optionNames();
    for (const QString& nome : trovate) {
        if (trovate.count(nome) > 1) {
            m_err << "Opzione --" << nome << " indicata più di una volta" << Qt::endl;
            return 1;
        }
    }
    if (parser.isSet(kAiuto)) {
        m_out << parser.helpText();
        return 0;
    }
    if (parser.isSet(kVersione)) {
        m_out << "gfe-batch " << GFE_VERSIONE << Qt::endl;
        return 0;
    }
    const QStringList pos = parser.positionalArguments();
    const QString nome = pos.value(0);
    for (const Comando& c : kComandi) {
        if (nome != QLatin1String(c.nome)) continue;
        // The one place where a command's error is reported: its message, exit code 1.
        try {
            return (this->*c.esegui)({parser, pos.mid(1), cartella});
        } catch (const std::exception& e) {
            m_err << messaggioDi(e) << Qt::endl;
            return 1;
        }
    }
    m_err << "Comando sconosciuto: '" << nome << "' (" << nomi.join(QStringLiteral(", ")) << ")"
          << Qt::endl;
    return 1;
}

int Batch::valida(const Richiesta& r) {
    if (r.argomenti.isEmpty()) {
        m_err << "Indicare almeno un file da controllare" << Qt::endl;
        return 1;
    }
    const ValidatoreFatturaPA validatore;
    int esito = 0;
    for (const QString& f : r.argomenti) {
        QList<Problema> problemi;
        try {
            problemi = validatore.valida(f);
        } catch (const std::exception& e) {
            // Out of memory for a huge document: that file fails, the others go on.
            problemi = {{QString(), messaggioDi(e)}};
        }
        for (const Problema& p : problemi) {
            m_out << f << ": " << p.descrizione() << Qt::endl;
            esito = 1;
        }
    }
    return esito;
}

bool Batch::idFattura(const Richiesta& r, int& id) {
    bool ok = false;
    id = r.parser.value(kId).toInt(&ok);
    if (r.parser.isSet(kId) && ok) return true;
    m_err << "Indicare l'id della fattura con --id N" << Qt::endl;
    return false;
}

bool Batch::accedi(TDiz& diz, const QString& cartella, QString& titolo) {
    const Accesso::Esito esito =
        Accesso::esegui(diz, cartella, [&titolo](const QString& t) { titolo = t; });
    if (esito.stato == Accesso::Stato::SenzaIni) {
        m_err << "File ip.ini non trovato nella cartella di lavoro" << Qt::endl;
        return false;
    }
    if (!esito.collegato()) {
        m_err << esito.messaggio << Qt::endl;
        return false;
    }
    return true;
}

bool Batch::vaiAllaFattura(TDiz& diz, int id) {
    if (diz.Testata->locate(QStringLiteral("id_invio"), id)) return true;
    m_err << "Fattura " << id << " non trovata" << Qt::endl;
    return false;
}

int Batch::xml(const Richiesta& r) {
    int id = 0;
    if (!idFattura(r, id)) return 1;
    TDiz diz;
    QString titolo;
    if (!accedi(diz, r.cartella, titolo) || !vaiAllaFattura(diz, id)) return 1;
    const bool pa = r.parser.isSet(kPa);
    const QString percorso =
        pa ? CreaXmlFPA12(diz.fattura(), titolo) : CreaXmlFPR12(diz.fattura(), titolo);
    // The company folder may be relative to the working folder.
    m_out << QFileInfo(percorso).absoluteFilePath() << Qt::endl;
    avvisiXml(percorso);
    return 0;
}

// The file stays as written; what the exchange system would reject is reported.
void Batch::avvisiXml(const QString& percorso) {
    for (const Problema& p : ValidatoreFatturaPA().valida(percorso))
        m_err << "Attenzione: " << p.descrizione() << Qt::endl;
}

int Batch::totali(const Richiesta& r) {
    int id = 0;
    if (!idFattura(r, id)) return 1;
    TDiz diz;
    QString titolo;
    if (!accedi(diz, r.cartella, titolo) || !vaiAllaFattura(diz, id)) return 1;
    CalcolaTotali(diz.fattura());
    m_out << "Fattura " << id << ": totale documento "
          << diz.Testata->field(QStringLiteral("tot_doc")).asString() << Qt::endl;
    return 0;
}

// print --id N --pdf FILE, print-purchase --prot P --pdf FILE: the printed copy as PDF.
int Batch::stampaVendita(const Richiesta& r) {
    return stampa(r, false);
}
int Batch::stampaAcquisto(const Richiesta& r) {
    return stampa(r, true);
}

int Batch::stampa(const Richiesta& r, bool acquisto) {
    const QCommandLineParser& parser = r.parser;
    const QString& cartella = r.cartella;
    const QString chiave = acquisto ? QStringLiteral("prot") : QStringLiteral("id");
    bool ok = false;
    const int n = parser.value(chiave).toInt(&ok);
    if (!parser.isSet(chiave) || !ok) {
        m_err << (acquisto ? "Indicare il protocollo della fattura di acquisto con --prot P"
                           : "Indicare l'id della fattura con --id N")
              << Qt::endl;
        return 1;
    }
    const QString pdf = parser.value(QStringLiteral("pdf"));
    if (pdf.isEmpty()) {
        m_err << "Indicare il file PDF da scrivere con --pdf FILE" << Qt::endl;
        return 1;
    }
    TDiz diz;
    QString titolo;
    if (!accedi(diz, cartella, titolo)) return 1;
    if (acquisto && !diz.Testa_Car->locate(QStringLiteral("prot"), n)) {
        m_err << "Fattura di acquisto " << n << " non trovata" << Qt::endl;
        return 1;
    }
    if (!acquisto && !vaiAllaFattura(diz, n)) return 1;
    const QString percorso = QFileInfo(QDir(cartella), pdf).absoluteFilePath();
    if (acquisto)
        PdfFatturaAcquisto(diz.acquisto(), percorso);
    else
        PdfFattura(diz.fattura(), percorso);
    m_out << percorso << Qt::endl;
    return 0;
}

// The import as "Importa Fatture" runs it, confirmed in advance. The count line
// comes last on standard output also when an error stopped the run.
int Batch::importa(const Richiesta& r) {
    const QString& cartella = r.cartella;
    const QString data =
        r.parser.isSet(kData) ? r.parser.value(kData) : Testi::testoDataBreve(QDate::currentDate());
    QDate limite;
    if (!Testi::leggiData(data, limite)) {
        m_err << "Data non valida: '" << data << "' (GG/MM/AA)" << Qt::endl;
        return 1;
    }
    TDiz diz;
    QString titolo;
    if (!accedi(diz, cartella, titolo)) return 1;
    EsitoImportazione esito;
    int esitoComando = 0;
    try {
        ImportaFatture(
            diz, titolo, data,
            [this, attesa = false](const AvanzamentoImportazione& a) mutable {
                if (a.inAttesa && !attesa)
                    m_err << "in attesa del termine di un'altra importazione in corso" << Qt::endl;
                attesa = a.inAttesa;
                if (!a.inAttesa && a.letti > 0 && a.letti % 100 == 0)
                    m_err << "letti " << a.letti << " di " << a.totale << ", importate "
                          << a.importate << Qt::endl;
            },
            esito);
    } catch (const std::exception& e) {
        m_err << messaggioDi(e) << Qt::endl;
        esitoComando = 1;
    }
    if (const QString messaggio = esito.messaggio(); !messaggio.isEmpty())
        m_err << messaggio << Qt::endl;
    // A document refused by rule is the expected outcome; one that failed is not.
    if (!esito.errori.isEmpty()) esitoComando = 1;
    m_out << "importate " << esito.importate << ", gia presenti " << esito.presenti << Qt::endl;
    return esitoComando;
}

// copia FILE --html OUT | --pdf OUT | --allegati DIR: the readable copy of any FatturaPA
// file (no log-in: it reads the file alone). Nothing is written for a file that is not
// a readable document.
int Batch::copia(const Richiesta& r) {
    const QCommandLineParser& parser = r.parser;
    if (r.argomenti.size() != 1) {
        m_err << "Indicare un file da leggere: copia FILE --html OUT | --pdf OUT" << Qt::endl;
        return 1;
    }
    const QString html = parser.value(kHtml);
    const QString pdf = parser.value(kPdf);
    const QString allegati = parser.value(kAllegati);
    if (html.isEmpty() && pdf.isEmpty() && allegati.isEmpty()) {
        m_err << "Indicare cosa scrivere: --html FILE, --pdf FILE o --allegati CARTELLA"
              << Qt::endl;
        return 1;
    }
    const QDir lavoro(r.cartella);
    const EsitoCopia esito = leggiCopiaFile(QFileInfo(lavoro, r.argomenti[0]).absoluteFilePath());
    if (!esito.riuscita()) {
        m_err << esito.errore << Qt::endl;
        return 1;
    }
    try {
        if (!html.isEmpty()) {
            const QString percorso = QFileInfo(lavoro, html).absoluteFilePath();
            QSaveFile file(percorso);
            if (!file.open(QIODevice::WriteOnly) || file.write(copiaHtml(esito.copia)) < 0 ||
                !file.commit()) {
                m_err << "Impossibile scrivere " << percorso << ": " << file.errorString()
                      << Qt::endl;
                return 1;
            }
            m_out << percorso << Qt::endl;
        }
        if (!pdf.isEmpty()) {
            const QString percorso = QFileInfo(lavoro, pdf).absoluteFilePath();
            pdfCopia(esito.copia, percorso);
            m_out << percorso << Qt::endl;
        }
    } catch (const std::exception& e) {
        m_err << messaggioDi(e) << Qt::endl;
        return 1;
    }
    if (!allegati.isEmpty()) {
        const EsitoAllegati salvati =
            salvaAllegati(esito.copia, QFileInfo(lavoro, allegati).absoluteFilePath());
        for (const QString& s : salvati.salvati)
            m_out << s << Qt::endl;
        if (!salvati.riuscito()) {
            m_err << salvati.errore << Qt::endl;
            return 1;
        }
    }
    return 0;
}
