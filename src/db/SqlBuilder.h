#pragma once

#include <QString>
#include <QStringList>

// The statement texts of the table component. Names are quoted; values always travel
// as positional bindings ("?"), never inside the text.
namespace SqlBuilder {

QString quoted(const QString& name);

// SELECT * (with `extra` select expressions) FROM table [ORDER BY ...].
QString selectAll(const QString& table, const QString& extra = QString(),
                  const QStringList& orderBy = QStringList());
// Narrows a replacement statement so that conditions can follow it.
QString wrapped(const QString& select);
// " WHERE `a` = ? AND `b` = ?"
QString whereEqual(const QStringList& columns);
// A row of a table without a key, by all its values (nulls included), at most one row.
QString whereSameRow(const QStringList& columns);
QString insert(const QString& table, const QStringList& columns);
QString update(const QString& table, const QStringList& columns, const QString& where);
QString remove(const QString& table, const QString& where);

// Key lists travel in blocks of a few fixed sizes, so a handful of prepared statements
// serve every refresh: the block size for `count` keys still to read.
int keyBlock(int count);
// Rows (with `extra` expressions) whose `key` is one of `count` bound values.
QString selectByKeys(const QString& table, const QString& key, int count,
                     const QString& extra = QString());

// The signature of a row: 64 bits of an MD5 over all the given columns, nulls told
// apart from empty text, as one unsigned integer.
QString rowSignature(const QStringList& columns);
QString signatureAlias();
QString selectSignatures(const QString& table, const QString& key, const QString& signature);

// The change log kept by triggers beside a table, and its reading: the entries after a
// bound mark, plus always the last entry (so a log emptied meanwhile shows).
QString changeLog(const QString& table);
QString readChangeLog(const QString& table);
// The entries between two bound marks, only when no transaction still writes them:
// fails at once (lock wait) while one does.
QString settleChangeLog(const QString& table);
// The numbers of the last `count` entries, newest first.
QString lastChanges(const QString& table, int count);

} // namespace SqlBuilder
