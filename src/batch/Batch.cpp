#include "Batch.h"

#include "app/Accesso.h"
#include "data/TDiz.h"
#include "fatturapa/CreaXml.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/CalcolaTotali.h"
#include "platform/Errore.h"
#include "print/StampaFattura.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <exception>

namespace {

// Every error of the layers below carries its message in UTF-8.
// Errors of the program carry their Italian text; anything else (std::bad_alloc) its own.
QString messaggioDi(const std::exception& e) {
    if (const auto* err = dynamic_cast<const Errore*>(&e))
        return err->messaggio();
    return QString::fromUtf8(e.what());
}

} // namespace

int Batch::esegui(const QStringList& argomenti, const QString& cartella) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Fatturazione elettronica senza finestre"));
    parser.addPositionalArgument(QStringLiteral("comando"), QStringLiteral("xml, totals o validate"));
    const QCommandLineOption id(QStringLiteral("id"), QStringLiteral("Id. invio della fattura"),
                                QStringLiteral("N"));
    const QCommandLineOption pa(QStringLiteral("pa"), QStringLiteral("File per la P.A. (FPA12)"));
    parser.addOption(id);
    parser.addOption(pa);
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("File PDF da scrivere"),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("prot"), QStringLiteral("Protocollo della fattura di acquisto"),
                      QStringLiteral("P")});
    if (!parser.parse(argomenti)) {
        m_err << parser.errorText() << Qt::endl;
        return 1;
    }
    const QStringList pos = parser.positionalArguments();
    const QString comando = pos.value(0);
    if (comando == QLatin1String("validate")) {
        if (pos.size() < 2) {
            m_err << "Indicare almeno un file da controllare" << Qt::endl;
            return 1;
        }
        return valida(pos.mid(1));
    }
    if (comando == QLatin1String("print") || comando == QLatin1String("print-purchase"))
        return stampa(parser, comando == QLatin1String("print-purchase"), cartella);
    if (comando != QLatin1String("xml") && comando != QLatin1String("totals")) {
        m_err << "Comando sconosciuto: '" << comando << "' (xml, totals, validate)" << Qt::endl;
        return 1;
    }
    bool ok = false;
    const int n = parser.value(id).toInt(&ok);
    if (!parser.isSet(id) || !ok) {
        m_err << "Indicare l'id della fattura con --id N" << Qt::endl;
        return 1;
    }
    return comando == QLatin1String("xml") ? xml(n, parser.isSet(pa), cartella) : totali(n, cartella);
}

int Batch::valida(const QStringList& file) {
    const ValidatoreFatturaPA validatore;
    int esito = 0;
    for (const QString& f : file) {
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

bool Batch::accedi(const QString& cartella, QString& titolo) {
    const Accesso::Esito esito =
        Accesso::esegui(cartella, [&titolo](const QString& t) { titolo = t; });
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

bool Batch::vaiAllaFattura(int id) {
    if (Diz->Testata->locate(QStringLiteral("id_invio"), id))
        return true;
    m_err << "Fattura " << id << " non trovata" << Qt::endl;
    return false;
}

int Batch::xml(int id, bool pa, const QString& cartella) {
    TDiz diz;
    QString titolo;
    if (!accedi(cartella, titolo) || !vaiAllaFattura(id))
        return 1;
    try {
        const QString percorso = pa ? CreaXmlFPA12(titolo) : CreaXmlFPR12(titolo);
        // The company folder may be relative to the working folder.
        m_out << QFileInfo(percorso).absoluteFilePath() << Qt::endl;
        avvisiXml(percorso);
    } catch (const std::exception& e) {
        m_err << messaggioDi(e) << Qt::endl;
        return 1;
    }
    return 0;
}

// The file stays as written; what the exchange system would reject is reported.
void Batch::avvisiXml(const QString& percorso) {
    for (const Problema& p : ValidatoreFatturaPA().valida(percorso))
        m_err << "Attenzione: " << p.descrizione() << Qt::endl;
}

int Batch::totali(int id, const QString& cartella) {
    TDiz diz;
    QString titolo;
    if (!accedi(cartella, titolo) || !vaiAllaFattura(id))
        return 1;
    try {
        CalcolaTotali();
    } catch (const std::exception& e) {
        m_err << messaggioDi(e) << Qt::endl;
        return 1;
    }
    m_out << "Fattura " << id << ": totale documento " << Diz->Testata->field(QStringLiteral("tot_doc")).asString()
          << Qt::endl;
    return 0;
}

// print --id N --pdf FILE, print-purchase --prot P --pdf FILE: the printed copy as PDF.
int Batch::stampa(const QCommandLineParser& parser, bool acquisto, const QString& cartella) {
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
    if (!accedi(cartella, titolo)) return 1;
    if (acquisto && !diz.Testa_Car->locate(QStringLiteral("prot"), n)) {
        m_err << "Fattura di acquisto " << n << " non trovata" << Qt::endl;
        return 1;
    }
    if (!acquisto && !vaiAllaFattura(n)) return 1;
    const QString percorso = QFileInfo(QDir(cartella), pdf).absoluteFilePath();
    try {
        if (acquisto)
            PdfFatturaAcquisto(*diz.AziendaT, *diz.Testa_Car, *diz.Detta_Car, percorso);
        else
            PdfFattura(*diz.AziendaT, *diz.Testata, *diz.Detta, percorso);
    } catch (const std::exception& e) {
        m_err << messaggioDi(e) << Qt::endl;
        return 1;
    }
    m_out << percorso << Qt::endl;
    return 0;
}
