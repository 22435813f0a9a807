#pragma once

class Table;

// Copies the current customer (row of `clienti`) into the current invoice header
// (row of `testata`): name, address, tax codes, recipient code, certified mail and
// the destination columns, nulls as nulls; no other column is touched. The header is
// put into editing (a new one, with the defaults of a new header, when the invoice
// table has no row) and posted. Returns false, changing nothing, when `clienti` has
// no current row; throws ErroreFatturaInviata, changing nothing, for a sent invoice.
bool scegliCliente(Table& clienti, Table& testata);
