#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The code tables of the FatturaPA format (document types, natures with their legal
// references, payment methods and terms, ...): data of the project, kept beside the
// schema of the same version and built into the program as a resource.
class Codici {
public:
    struct Codice {
        QString significato;
        QString riferimento; // legal reference, empty when there is none
    };

    // The tables of the format the program reads; loaded once, safe to share between
    // threads.
    static const Codici& fatturaPA();
    // Tables read from text lines "table<TAB>code<TAB>meaning[<TAB>reference]";
    // blank lines and lines starting with '#' are skipped.
    static Codici leggi(const QString& testo);

    bool contiene(const QString& tabella, const QString& codice) const;
    Codice codice(const QString& tabella, const QString& codice) const;
    // "TD01 - Fattura"; the code alone when the table does not know it, empty for
    // an empty code.
    QString conSignificato(const QString& tabella, const QString& codice) const;
    // The meaning, or the code itself when the table does not know it.
    QString significato(const QString& tabella, const QString& codice) const;
    QStringList codici(const QString& tabella) const;

private:
    QHash<QString, QHash<QString, Codice>> m_tabelle;
    QHash<QString, QStringList> m_ordine;
};
