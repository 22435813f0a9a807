#include "copia/Codici.h"

#include <QFile>

const Codici& Codici::fatturaPA() {
    static const Codici tabelle = [] {
        QFile file(QStringLiteral(":/gfe/codici/codici_fatturapa_1.2.2.tsv"));
        if (!file.open(QIODevice::ReadOnly)) return Codici();
        return leggi(QString::fromUtf8(file.readAll()));
    }();
    return tabelle;
}

Codici Codici::leggi(const QString& testo) {
    Codici c;
    const QStringList righe = testo.split(QLatin1Char('\n'));
    for (const QString& riga : righe) {
        if (riga.trimmed().isEmpty() || riga.startsWith(QLatin1Char('#'))) continue;
        const QStringList campi = riga.split(QLatin1Char('\t'));
        if (campi.size() < 3) continue;
        const QString tabella = campi[0].trimmed();
        const QString codice = campi[1].trimmed();
        if (!c.m_tabelle[tabella].contains(codice)) c.m_ordine[tabella].append(codice);
        c.m_tabelle[tabella].insert(codice, {campi[2].trimmed(), campi.value(3).trimmed()});
    }
    return c;
}

bool Codici::contiene(const QString& tabella, const QString& codice) const {
    return m_tabelle.value(tabella).contains(codice);
}

Codici::Codice Codici::codice(const QString& tabella, const QString& codice) const {
    return m_tabelle.value(tabella).value(codice);
}

QString Codici::conSignificato(const QString& tabella, const QString& codice) const {
    if (codice.isEmpty()) return {};
    const QString s = this->codice(tabella, codice).significato;
    return s.isEmpty() ? codice : codice + QStringLiteral(" - ") + s;
}

QString Codici::significato(const QString& tabella, const QString& codice) const {
    const QString s = this->codice(tabella, codice).significato;
    return s.isEmpty() ? codice : s;
}

QStringList Codici::codici(const QString& tabella) const {
    return m_ordine.value(tabella);
}
