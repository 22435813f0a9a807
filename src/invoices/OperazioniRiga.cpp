#include "invoices/OperazioniRiga.h"

#include "db/FatturaInviata.h"
#include "db/Table.h"
#include "invoices/CalcolaRiga.h"
#include "invoices/CalcolaTotali.h"
#include "invoices/ErroreImporto.h"
#include "invoices/ErroreRiga.h"
#include "platform/Testi.h"

#include <utility>

namespace {

// The number in testo rewritten with the mask; the fallback when it is not one.
QString riformatta(const QString& testo, const QString& maschera, const QString& ripiego) {
    long double v = 0;
    return Testi::leggiNumero(testo, v) ? Testi::formatta(v, maschera) : ripiego;
}

QString colonna(Table& righe, const char* nome) {
    return righe.field(QString::fromLatin1(nome)).asString();
}

// An empty field is written as empty text, never as null.
void scrivi(Table& righe, const char* nome, const QString& testo) {
    righe.field(QString::fromLatin1(nome)).setAsString(testo.isNull() ? QStringLiteral("") : testo);
}

// A computed amount is stored whole or not at all.
void controllaSpazio(Table& righe, const char* nome, const QString& testo) {
    const int spazio = righe.field(QString::fromLatin1(nome)).size();
    if (spazio > 0 && testo.size() > spazio)
        throw ErroreImporto(
            QStringLiteral("L'importo %1 calcolato per %2 supera i %3 caratteri della colonna")
                .arg(testo, QLatin1String(nome))
                .arg(spazio));
}

} // namespace

void OperazioniRiga::esciQuantita(CampiRiga& campi) {
    campi.quantita =
        riformatta(campi.quantita, QStringLiteral("#####0.00"), QStringLiteral("0,00"));
    CalcolaRiga(campi);
}

void OperazioniRiga::esciPrezzoUnit(CampiRiga& campi) {
    campi.prezzoUnit =
        riformatta(campi.prezzoUnit, QStringLiteral("#####0.000"), QStringLiteral("0,000"));
    CalcolaRiga(campi);
}

void OperazioniRiga::esciScPerc(CampiRiga& campi) {
    campi.scPerc = riformatta(campi.scPerc, QStringLiteral("#####0.00"), QStringLiteral(""));
    CalcolaRiga(campi);
}

void OperazioniRiga::esciScelta(CampiRiga& campi) {
    CalcolaRiga(campi);
}

void OperazioniRiga::insRiga(Table& testata, CampiRiga& campi) {
    vietaSeInviata(testata);
    campi.quantita = QStringLiteral("0,00");
    campi.prezzoUnit = QStringLiteral("0,00");
    campi.um = QStringLiteral("PZ");
    campi.aliquota = QStringLiteral("22");
}

void OperazioniRiga::modRiga(Table& testata, Table& righe, CampiRiga& campi) {
    vietaSeInviata(testata);
    if (righe.isEmpty()) throw ErroreRiga(nessunaRiga());
    campi.descrizione = colonna(righe, "descrizione");
    campi.codiceTipo = colonna(righe, "codice_tipo");
    campi.codiceVal = colonna(righe, "codice_val");
    campi.um = colonna(righe, "um");
    campi.prezzoUnit = colonna(righe, "prezzo_unit");
    const QString scTipo = colonna(righe, "sc_tipo");
    const bool inElenco = scTipo == QLatin1String("SC") || scTipo == QLatin1String("MG");
    campi.scTipo = inElenco ? scTipo : QStringLiteral("");
    campi.scPerc = colonna(righe, "sc_perc");
    campi.scImporto = colonna(righe, "sc_importo");
    campi.prezzoTot = colonna(righe, "prezzo_tot");
    campi.aliquota = colonna(righe, "aliquota");
    campi.quantita = colonna(righe, "quantita");
}

int OperazioniRiga::nuovoProg(Table& righe) {
    righe.last();
    if (righe.isEmpty()) return 1;
    const Field prog = righe.field(QStringLiteral("prog"));
    return prog.isNull() ? 1 : prog.asInteger() + 1;
}

void OperazioniRiga::registra(Table& testata, Table& righe, ModoRiga modo, const CampiRiga& campi) {
    vietaSeInviata(testata);
    if (modo == ModoRiga::Corrente && righe.isEmpty()) throw ErroreRiga(nessunaRiga());
    // A new line belongs to the current invoice: without one it would be stored
    // without id_invio, and the totals would then create a header it is not part of.
    if (modo == ModoRiga::Nuova &&
        (testata.isEmpty() || testata.field(QStringLiteral("id_invio")).isNull()))
        throw ErroreRiga(QStringLiteral("Nessuna fattura a cui aggiungere la riga"));
    controllaSpazio(righe, "sc_importo", campi.scImporto);
    controllaSpazio(righe, "prezzo_tot", campi.prezzoTot);
    if (modo == ModoRiga::Corrente) {
        righe.edit();
    } else {
        const int prog = nuovoProg(righe);
        righe.append();
        righe.field(QStringLiteral("prog")).setAsInteger(prog);
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
        scrivi(righe, nome, *testo);
    righe.post();
    CalcolaTotali(testata, righe);
}

void OperazioniRiga::eliminaRiga(Table& testata, Table& righe) {
    vietaSeInviata(testata);
    if (righe.isEmpty()) throw ErroreRiga(QStringLiteral("Nessuna riga da eliminare"));
    righe.remove();
}

QString OperazioniRiga::nessunaRiga() {
    return QStringLiteral("Nessuna riga da modificare");
}

QString OperazioniRiga::domandaElimina() {
    return QStringLiteral("Confermi Eliminazione Riga: ?");
}
