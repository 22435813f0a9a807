#include "invoices/RicercaFatture.h"

#include "db/Table.h"
#include "platform/Testi.h"

#include <QDate>
#include <QStringList>

namespace {

// The LIKE pattern "begins with testo", with "!" as escape character.
QString motivoInizia(const QString& testo) {
    QString motivo;
    for (const QChar c : testo) {
        if (c == u'!' || c == u'%' || c == u'_') motivo += u'!';
        motivo += c;
    }
    return motivo + u'%';
}

// "yyyymmdd", as `data_ordine` holds it; empty when the text is not a whole date.
QString dataOrdinabile(const QString& testo) {
    QDate d;
    if (!Testi::leggiData(testo, d) || !d.isValid()) return {};
    return d.toString(QStringLiteral("yyyyMMdd"));
}

// The same expression as the column the migrations add, for a database without it.
const char* const kEspressioneData =
    "CONCAT(LPAD(SUBSTRING_INDEX(data_doc, '/', -1), 4, '0'), "
    "LPAD(SUBSTRING_INDEX(SUBSTRING_INDEX(data_doc, '/', 2), '/', -1), 2, '0'), "
    "LPAD(SUBSTRING_INDEX(data_doc, '/', 1), 2, '0'))";

} // namespace

bool CriteriFatture::vuoti() const {
    return testo.trimmed().isEmpty() && dataOrdinabile(dal).isEmpty() &&
           dataOrdinabile(al).isEmpty();
}

QString statementoFatture(const CriteriFatture& criteri, bool conDataOrdine, QVariantList& binds) {
    QStringList condizioni;
    const QString testo = criteri.testo.trimmed();
    if (!testo.isEmpty()) {
        const QString motivo = motivoInizia(testo);
        condizioni << QStringLiteral("(num_doc LIKE ? ESCAPE '!' OR rag_soc LIKE ? ESCAPE '!' "
                                     "OR p_iva LIKE ? ESCAPE '!')");
        binds << motivo << motivo << motivo;
    }
    const QString data =
        conDataOrdine ? QStringLiteral("data_ordine") : QString::fromLatin1(kEspressioneData);
    if (const QString dal = dataOrdinabile(criteri.dal); !dal.isEmpty()) {
        condizioni << data + QStringLiteral(" >= ?");
        binds << dal;
    }
    if (const QString al = dataOrdinabile(criteri.al); !al.isEmpty()) {
        condizioni << data + QStringLiteral(" <= ?");
        binds << al;
    }
    QString sql = QStringLiteral("SELECT * FROM testata");
    if (!condizioni.isEmpty())
        sql += QStringLiteral(" WHERE ") + condizioni.join(QStringLiteral(" AND "));
    return sql + QStringLiteral(" ORDER BY id_invio");
}

void cercaFatture(Table& testata, const CriteriFatture& criteri) {
    const bool conDataOrdine = testata.fieldIndex(QStringLiteral("data_ordine")) >= 0;
    const int chiave = testata.fieldIndex(QStringLiteral("id_invio"));
    const QVariant corrente = testata.isOpen() && chiave >= 0 && !testata.isEmpty()
                                  ? testata.currentValue(chiave)
                                  : QVariant();
    testata.close();
    if (criteri.vuoti()) {
        testata.setSql(QString());
    } else {
        QVariantList binds;
        const QString sql = statementoFatture(criteri, conDataOrdine, binds);
        testata.setSql(sql, binds);
    }
    testata.open();
    if (corrente.isValid()) testata.locate(QStringLiteral("id_invio"), corrente);
}
