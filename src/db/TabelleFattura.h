#pragma once

class Table;

// The tables an invoice computation works on, passed in by whoever owns them (the
// data module of the program, the tables gfe-batch or a web page opens for itself):
// the company row, the headers standing on the invoice and the table of its lines.
// The purchase copies use the same shape for a received invoice (test_car with its
// dett_car lines).
struct TabelleFattura {
    Table& azienda;
    Table& testata;
    Table& righe;
};
