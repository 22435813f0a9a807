#pragma once

#include <QString>

// Seeds a year's worth of invoices for the benchmarks: `testate` headers with
// `righe` lines each, in the database `db` of the private server (recreated).
void semeFatture(const QString& db, int testate, int righe);

// `k` changes to the headers of `db` by another connection: a third updates, a third
// inserts (ids from nextId on), a third deletes (one change is an update).
void cambiaTestate(const QString& db, int k, int headers, int& nextId);
