#include "registries/SceltaCliente.h"

#include "db/FatturaInviata.h"
#include "db/Table.h"

bool scegliCliente(Table& clienti, Table& testata) {
    if (clienti.recNo() < 0) return false;
    vietaSeInviata(testata);
    static const char* const kColonne[] = {
        "rag_soc", "indirizzo", "comune", "cap",      "prov",       "nazione",     "p_iva",
        "cod_fis", "cod_dest",  "pec",    "dest_soc", "dest_indir", "dest_comune", "dest_cap"};
    testata.edit();
    for (const char* c : kColonne) {
        const QString colonna = QString::fromLatin1(c);
        testata.field(colonna).setValue(clienti.field(colonna).value());
    }
    testata.post();
    return true;
}
