#include "invoices/RigaEditor.h"

#include "data/TDiz.h"
#include "invoices/CalcolaRiga.h"
#include "invoices/CalcolaTotali.h"
#include "invoices/ErroreRiga.h"
#include "platform/Testi.h"

#include <utility>

namespace {

// The number in testo rewritten with the mask; the fallback when it is not one.
QString riformatta(const QString& testo, const QString& maschera, const QString& ripiego) {
    long double v = 0;
    return Testi::leggiNumero(testo, v) ? Testi::formatta(v, maschera) : ripiego;
}

Table& detta() {
    return *Diz->Detta;
}

QString colonna(const char* nome) {
    return detta().field(QString::fromLatin1(nome)).asString();
}

// An empty field is written as empty text, never as null.
void scrivi(const char* nome, const QString& testo) {
    detta()
        .field(QString::fromLatin1(nome))
        .setAsString(testo.isNull() ? QStringLiteral("") : testo);
}

} // namespace

void RigaEditor::esciQuantita(CampiRiga& campi) {
    campi.quantita =
        riformatta(campi.quantita, QStringLiteral("#####0.00"), QStringLiteral("0,00"));
    CalcolaRiga(campi);
}

void RigaEditor::esciPrezzoUnit(CampiRiga& campi) {
    campi.prezzoUnit =
        riformatta(campi.prezzoUnit, QStringLiteral("#####0.000"), QStringLiteral("0,000"));
    CalcolaRiga(campi);
}

void RigaEditor::esciScPerc(CampiRiga& campi) {
    campi.scPerc = riformatta(campi.scPerc, QStringLiteral("#####0.00"), QStringLiteral(""));
    CalcolaRiga(campi);
}

void RigaEditor::esciScelta(CampiRiga& campi) {
    CalcolaRiga(campi);
}

void RigaEditor::insRiga(CampiRiga& campi) {
    campi.quantita = QStringLiteral("0,00");
    campi.prezzoUnit = QStringLiteral("0,00");
    campi.um = QStringLiteral("PZ");
    campi.aliquota = QStringLiteral("22");
}

void RigaEditor::modRiga(CampiRiga& campi) {
    if (detta().isEmpty()) throw ErroreRiga(nessunaRiga());
    campi.descrizione = colonna("descrizione");
    campi.codiceTipo = colonna("codice_tipo");
    campi.codiceVal = colonna("codice_val");
    campi.um = colonna("um");
    campi.prezzoUnit = colonna("prezzo_unit");
    const QString scTipo = colonna("sc_tipo");
    const bool inElenco = scTipo == QLatin1String("SC") || scTipo == QLatin1String("MG");
    campi.scTipo = inElenco ? scTipo : QStringLiteral("");
    campi.scPerc = colonna("sc_perc");
    campi.scImporto = colonna("sc_importo");
    campi.prezzoTot = colonna("prezzo_tot");
    campi.aliquota = colonna("aliquota");
    campi.quantita = colonna("quantita");
}

int RigaEditor::nuovoProg() {
    detta().last();
    if (detta().isEmpty()) return 1;
    const Field prog = detta().field(QStringLiteral("prog"));
    return prog.isNull() ? 1 : prog.asInteger() + 1;
}

void RigaEditor::registra(ModoRiga modo, const CampiRiga& campi) {
    if (modo == ModoRiga::Corrente) {
        if (detta().isEmpty()) throw ErroreRiga(nessunaRiga());
        detta().edit();
    } else {
        const int prog = nuovoProg();
        detta().append();
        detta().field(QStringLiteral("prog")).setAsInteger(prog);
    }
    const std::pair<const char*, const QString*> colonne[] = {
        {"descrizione", &campi.descrizione},
        {"codice_tipo", &campi.codiceTipo},
        {"codice_val", &campi.codiceVal},
        {"um", &campi.um},
        {"prezzo_unit", &campi.prezzoUnit},
        {"sc_tipo", &campi.scTipo},
        {"tipo_cessione", &campi.tipoCessione},
        {"ritenuta", &campi.ritenuta},
        {"natura", &campi.natura},
        {"sc_perc", &campi.scPerc},
        {"sc_importo", &campi.scImporto},
        {"prezzo_tot", &campi.prezzoTot},
        {"rif_amm", &campi.rifAmm},
        {"aliquota", &campi.aliquota},
        {"quantita", &campi.quantita}};
    for (const auto& [nome, testo] : colonne)
        scrivi(nome, *testo);
    detta().post();
    CalcolaTotali();
}

void RigaEditor::eliminaRiga() {
    if (detta().isEmpty()) throw ErroreRiga(QStringLiteral("Nessuna riga da eliminare"));
    detta().remove();
}

QString RigaEditor::nessunaRiga() {
    return QStringLiteral("Nessuna riga da modificare");
}

QString RigaEditor::domandaElimina() {
    return QStringLiteral("Confermi Eliminazione Riga: ?");
}
