#include "Fonti.h"

#include "ErroreReport.h"
#include "db/Field.h"
#include "db/Table.h"

SorgenteTabella::SorgenteTabella(Table& tabella, const Filtro& filtro) : m_tabella(tabella) {
    const int n = tabella.isOpen() ? tabella.recordCount() : 0;
    for (int r = 0; r < n; ++r)
        if (!filtro || filtro(r)) m_righe.append(r);
}

int SorgenteTabella::righe() const {
    return int(m_righe.size());
}

int SorgenteTabella::corrente() const {
    if (!m_tabella.isOpen()) return -1;
    return int(m_righe.indexOf(m_tabella.recNo()));
}

QString SorgenteTabella::testo(int riga, const QString& colonna) const {
    const int c = m_tabella.fieldIndex(colonna);
    if (c < 0)
        throw ErroreReport(QStringLiteral("Colonna %1 non trovata nella tabella %2")
                               .arg(colonna, m_tabella.tableName()));
    if (riga < 0 || riga >= m_righe.size())
        throw ErroreReport(QStringLiteral("Riga %1 non trovata nella tabella %2")
                               .arg(riga + 1)
                               .arg(m_tabella.tableName()));
    return Field::textOf(m_tabella.value(m_righe[riga], c));
}

const Sorgente& Fonti::sorgente(const QString& nome) const {
    const Sorgente* s = m_sorgenti.value(nome);
    if (!s)
        throw ErroreReport(QStringLiteral("Tabella %1 non disponibile per la stampa").arg(nome));
    return *s;
}

QString Fonti::testo(const QString& tabella, const QString& colonna) const {
    const Sorgente& s = sorgente(tabella);
    const int r = s.corrente();
    return r < 0 ? QString() : s.testo(r, colonna);
}
