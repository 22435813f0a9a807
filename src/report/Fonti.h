#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class Table;

// The rows a report reads: a table by name, its current row and any row by position.
class Sorgente {
public:
    virtual ~Sorgente() = default;
    virtual int righe() const = 0;
    virtual int corrente() const = 0; // -1 without a current row
    // The text of a column in row `riga`; throws ErroreReport for an unknown column.
    virtual QString testo(int riga, const QString& colonna) const = 0;
};

// A table component as a source, read without moving its current row. With a filter,
// only the rows it accepts (by their position in the table) are seen, in table order.
class SorgenteTabella : public Sorgente {
public:
    using Filtro = std::function<bool(int riga)>;

    explicit SorgenteTabella(Table& tabella, const Filtro& filtro = {});

    int righe() const override;
    int corrente() const override;
    QString testo(int riga, const QString& colonna) const override;

private:
    Table& m_tabella;
    QList<int> m_righe; // positions in the table; all rows without a filter
};

// The named sources of one run of a report.
class Fonti {
public:
    void aggiungi(const QString& nome, const Sorgente& sorgente) {
        m_sorgenti.insert(nome, &sorgente);
    }
    // Throws ErroreReport for an unknown name.
    const Sorgente& sorgente(const QString& nome) const;
    // A column of the current row; empty without a current row.
    QString testo(const QString& tabella, const QString& colonna) const;

private:
    QHash<QString, const Sorgente*> m_sorgenti;
};
