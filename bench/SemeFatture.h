#pragma once

#include <QString>

// Seeds a year's worth of invoices for the benchmarks: `testate` headers with
// `righe` lines each, in the database `db` of the private server (recreated).
void semeFatture(const QString& db, int testate, int righe);
