#include "registries/Ricerca.h"

#include "db/Table.h"

QString motivoContiene(const QString& testo) {
    QString motivo = QStringLiteral("%");
    for (const QChar c : testo) {
        if (c == u'!' || c == u'%' || c == u'_') motivo += u'!';
        motivo += c;
    }
    return motivo + u'%';
}

void cercaNelRegistro(Table& t, const QString& tabella, const QString& colonna,
                      const QString& testo) {
    t.close();
    // The escape character is written as a literal of its own, so the statement reads
    // the same whatever the server's handling of backslashes in literals.
    t.setSql(QStringLiteral("SELECT * from %1 where %2 like ? ESCAPE '!' order by %2")
                 .arg(tabella, colonna),
             {motivoContiene(testo)});
    t.open();
}
