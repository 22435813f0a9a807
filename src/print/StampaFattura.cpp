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

// The start-up's report form, or one made for this call.
class Modulo {
public:
    Modulo() {
        if (!St_Fatt) m_proprio.emplace();
    }
    const TSt_Fatt& operator*() const { return m_proprio ? *m_proprio : *St_Fatt; }

private:
    std::optional<TSt_Fatt> m_proprio;
};

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

Impaginazione ImpaginaFattura(Table& azienda, Table& testata, Table& righe) {
    const Modulo m;
    const SorgenteTabella r =
        righeDi(righe, testata, QStringLiteral("id_invio"), QStringLiteral("id_invio"));
    return impagina((*m).QR1, azienda, testata, QStringLiteral("Testata"), r,
                    QStringLiteral("Detta"));
}

Impaginazione ImpaginaFatturaAcquisto(Table& azienda, Table& testaCar, Table& dettaCar) {
    if (!testaCar.isOpen() || testaCar.isEmpty()) throw ErroreStampa(kMancanzaDati);
    const Modulo m;
    const SorgenteTabella r =
        righeDi(dettaCar, testaCar, QStringLiteral("prot_car"), QStringLiteral("prot"));
    return impagina((*m).QR2, azienda, testaCar, QStringLiteral("Testa_Car"), r,
                    QStringLiteral("Detta_Car"));
}

bool AnteprimaFattura(Table& azienda, Table& testata, Table& righe, QWidget* genitore) {
    try {
        Pittore::anteprima(ImpaginaFattura(azienda, testata, righe), genitore);
        return true;
    } catch (const std::exception&) {
        Desktop::corrente().messaggio(kMancanzaDati);
    }
    return false;
}

void AnteprimaFatturaAcquisto(Table& azienda, Table& testaCar, Table& dettaCar, QWidget* genitore) {
    Pittore::anteprima(ImpaginaFatturaAcquisto(azienda, testaCar, dettaCar), genitore);
}

void PdfFattura(Table& azienda, Table& testata, Table& righe, const QString& percorso) {
    std::optional<Impaginazione> imp;
    try {
        imp = ImpaginaFattura(azienda, testata, righe);
    } catch (const std::exception&) {
        throw ErroreStampa(kMancanzaDati);
    }
    Pittore::pdf(*imp, percorso);
}

void PdfFatturaAcquisto(Table& azienda, Table& testaCar, Table& dettaCar, const QString& percorso) {
    Pittore::pdf(ImpaginaFatturaAcquisto(azienda, testaCar, dettaCar), percorso);
}
