#include "db/FatturaInviata.h"

#include "db/Connection.h"
#include "db/Table.h"

#include <QSqlQuery>

QString messaggioFatturaInviata() {
    return QStringLiteral("Operazione non possibile... Fattura Inviata");
}

void vietaSeInviata(Table& testata) {
    if (!testata.isOpen() || testata.recNo() < 0 || testata.state() == TableState::Insert) return;
    const Field id = testata.field(QStringLiteral("id_invio"));
    if (id.isNull()) return;
    const Field inviata = testata.field(QStringLiteral("inviata"));
    bool memorizzata = inviata.asBoolean();
    if (Connection* c = testata.connection()) {
        const Statement st =
            c->exec(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ?"), {id.value()});
        QSqlQuery& q = *st;
        if (!q.next()) return; // deleted meanwhile: nothing left to guard
        memorizzata = q.value(0).toInt() != 0;
    }
    if (!memorizzata) return;
    if (testata.isEditing()) {
        if (!inviata.asBoolean()) return;
        testata.cancel();
    }
    throw ErroreFatturaInviata(messaggioFatturaInviata());
}
