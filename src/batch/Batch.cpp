#include "Batch.h"

#include "app/Accesso.h"
#include "data/TDiz.h"
#include "fatturapa/CreaXml.h"
#include "fatturapa/ValidatoreFatturaPA.h"
#include "invoices/CalcolaTotali.h"
#include "invoices/ImportaFatture.h"
#include "platform/Errore.h"
#include "platform/Testi.h"

#include <QCommandLineParser>
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
    parser.addPositionalArgument(QStringLiteral("comando"), QStringLiteral("xml, totals, validate o import"));
    const QCommandLineOption id(QStringLiteral("id"), QStringLiteral("Id. invio della fattura"),
                                QStringLiteral("N"));
    const QCommandLineOption pa(QStringLiteral("pa"), QStringLiteral("File per la P.A. (FPA12)"));
    const QCommandLineOption data(QStringLiteral("date"),
                                  QStringLiteral("Data fino a cui importare (GG/MM/AA)"),
                                  QStringLiteral("GG/MM/AA"));
    parser.addOption(id);
    parser.addOption(pa);
    parser.addOption(data);
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
    if (comando == QLatin1String("import"))
        return importa(parser.isSet(data) ? parser.value(data)
                                          : Testi::testoDataBreve(QDate::currentDate()),
                       cartella);
    if (comando != QLatin1String("xml") && comando != QLatin1String("totals")) {
        m_err << "Comando sconosciuto: '" << comando << "' (xml, totals, validate, import)"
              << Qt::endl;
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
        for (const Problema& p : validatore.valida(f)) {
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

// The import as "Importa Fatture" runs it, confirmed in advance. The count line
// comes last on standard output also when an error stopped the run.
int Batch::importa(const QString& data, const QString& cartella) {
    QDate limite;
    if (!Testi::leggiData(data, limite)) {
        m_err << "Data non valida: '" << data << "' (GG/MM/AA)" << Qt::endl;
        return 1;
    }
    TDiz diz;
    QString titolo;
    if (!accedi(cartella, titolo))
        return 1;
    EsitoImportazione esito;
    int esitoComando = 0;
    try {
        ImportaFatture(
            diz, titolo, data,
            [this](const AvanzamentoImportazione& a) {
                if (a.letti > 0 && a.letti % 100 == 0)
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
    m_out << "importate " << esito.importate << ", gia presenti " << esito.presenti << Qt::endl;
    return esitoComando;
}
