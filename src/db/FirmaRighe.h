#pragma once

#include <QString>
#include <QStringList>

// The server-side signature of a row: 64 bits of an MD5 over all its stored columns,
// nulls told apart from empty text. Comparing signatures lets a refresh re-read only the rows
// that another program added or changed.
class FirmaRighe {
public:
    FirmaRighe() = default;
    FirmaRighe(const QString& tabella, const QStringList& colonne, const QString& chiave);

    bool isValid() const { return !m_espressione.isEmpty(); }
    static QString alias() { return QStringLiteral("gfe_firma"); }
    // The signature as a select expression.
    QString espressione() const { return m_espressione; }
    // Key and signature of every row.
    QString selectFirme() const;
    // Whole rows with their signature, of `n` keys given as bindings.
    QString selectRighe(int n) const;

private:
    QString m_tabella;
    QString m_chiave;
    QString m_espressione;
};
