#include "StampaFattura.h"

#include "ErroreStampa.h"
#include "TSt_Fatt.h"
#include "db/Table.h"
#include "platform/Desktop.h"
#include "report/Fonti.h"
#include "report/Pittore.h"

#include <exception>
#include <optional>

namespace {

const QString kMancanzaDati = QStringLiteral("Mancanza Dati");

// The lines whose column `chiave` equals the current header's `chiaveTestata`.
SorgenteTabella righeDi(Table& righe, Table& testata, const QString& chiave,
                        const QString& chiaveTestata) {
    const int c = righe.fieldIndex(chiave);
    const QVariant valore = testata.isOpen() && !testata.isEmpty()
                                ? testata.currentValue(testata.fieldIndex(chiaveTestata))
                                : QVariant();
    return SorgenteTabella(righe, [&righe, c, valore](int r) {
        return c >= 0 && !valore.isNull() && righe.value(r, c).toString() == valore.toString();
    });
}

Impaginazione impagina(const Report& r, Table& azienda, Table& testata, const QString& nomeTestata,
                       const SorgenteTabella& righe, const QString& nomeRighe) {
    const SorgenteTabella a(azienda), t(testata);
    Fonti f;
    f.aggiungi(QStringLiteral("AziendaT"), a);
    f.aggiungi(nomeTestata, t);
    f.aggiungi(nomeRighe, righe);
    return impagina(r, f);
}

} // namespace

Impaginazione ImpaginaFattura(const TabelleFattura& fattura) {
    const TSt_Fatt modulo;
    const SorgenteTabella r = righeDi(fattura.righe, fattura.testata, QStringLiteral("id_invio"),
                                      QStringLiteral("id_invio"));
    return impagina(modulo.QR1, fattura.azienda, fattura.testata, QStringLiteral("Testata"), r,
                    QStringLiteral("Detta"));
}

Impaginazione ImpaginaFatturaAcquisto(const TabelleFattura& acquisto) {
    if (!acquisto.testata.isOpen() || acquisto.testata.isEmpty()) throw ErroreStampa(kMancanzaDati);
    const TSt_Fatt modulo;
    const SorgenteTabella r = righeDi(acquisto.righe, acquisto.testata, QStringLiteral("prot_car"),
                                      QStringLiteral("prot"));
    return impagina(modulo.QR2, acquisto.azienda, acquisto.testata, QStringLiteral("Testa_Car"), r,
                    QStringLiteral("Detta_Car"));
}

bool AnteprimaFattura(const TabelleFattura& fattura, QWidget* genitore) {
    try {
        Pittore::anteprima(ImpaginaFattura(fattura), genitore);
        return true;
    } catch (const std::exception&) {
        Desktop::corrente().messaggio(kMancanzaDati);
    }
    return false;
}

void AnteprimaFatturaAcquisto(const TabelleFattura& acquisto, QWidget* genitore) {
    Pittore::anteprima(ImpaginaFatturaAcquisto(acquisto), genitore);
}

void PdfFattura(const TabelleFattura& fattura, const QString& percorso) {
    std::optional<Impaginazione> imp;
    try {
        imp = ImpaginaFattura(fattura);
    } catch (const std::exception&) {
        throw ErroreStampa(kMancanzaDati);
    }
    Pittore::pdf(*imp, percorso);
}

void PdfFatturaAcquisto(const TabelleFattura& acquisto, const QString& percorso) {
    Pittore::pdf(ImpaginaFatturaAcquisto(acquisto), percorso);
}
