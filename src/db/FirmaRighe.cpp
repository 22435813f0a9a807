#include "FirmaRighe.h"

namespace {

QString quoted(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('`'), QStringLiteral("``"));
    return QLatin1Char('`') + n + QLatin1Char('`');
}

} // namespace

FirmaRighe::FirmaRighe(const QString& tabella, const QStringList& colonne, const QString& chiave)
    : m_tabella(quoted(tabella)), m_chiave(quoted(chiave)) {
    if (colonne.isEmpty())
        return;
    QStringList valori, nulli;
    for (const QString& c : colonne) {
        valori << quoted(c);
        nulli << QStringLiteral("ISNULL(%1)").arg(quoted(c));
    }
    // CONCAT_WS skips nulls, so the null flags make ('a', NULL) differ from (NULL, 'a').
    // The first 64 bits of the MD5 travel as one unsigned integer.
    m_espressione =
        QStringLiteral("CAST(CONV(LEFT(MD5(CONCAT_WS(0x1f, %1, CONCAT(%2))), 16), 16, 10) AS UNSIGNED)")
            .arg(valori.join(QLatin1Char(',')), nulli.join(QLatin1Char(',')));
}

QString FirmaRighe::selectFirme() const {
    return QStringLiteral("SELECT %1, %2 FROM %3").arg(m_chiave, m_espressione, m_tabella);
}

QString FirmaRighe::selectRighe(int n) const {
    QStringList segni;
    for (int i = 0; i < n; ++i)
        segni << QStringLiteral("?");
    return QStringLiteral("SELECT *, %1 AS %2 FROM %3 WHERE %4 IN (%5)")
        .arg(m_espressione, alias(), m_tabella, m_chiave, segni.join(QLatin1Char(',')));
}
