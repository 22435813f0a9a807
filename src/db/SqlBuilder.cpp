#include "SqlBuilder.h"

#include <array>

namespace SqlBuilder {

namespace {

QString marks(int count) {
    QString out;
    out.reserve(count * 2);
    for (int i = 0; i < count; ++i)
        out += i ? QStringLiteral(",?") : QStringLiteral("?");
    return out;
}

QStringList quotedAll(const QStringList& names) {
    QStringList out;
    for (const QString& n : names)
        out << quoted(n);
    return out;
}

} // namespace

QString quoted(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('`'), QStringLiteral("``"));
    return QLatin1Char('`') + n + QLatin1Char('`');
}

QString selectAll(const QString& table, const QString& extra, const QStringList& orderBy) {
    QString sql = QStringLiteral("SELECT *");
    if (!extra.isEmpty()) sql += QStringLiteral(", ") + extra;
    sql += QStringLiteral(" FROM ") + quoted(table);
    if (!orderBy.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + quotedAll(orderBy).join(QLatin1Char(','));
    return sql;
}

QString wrapped(const QString& select) {
    return QStringLiteral("SELECT * FROM (") + select + QStringLiteral(") AS gfe_t");
}

QString whereEqual(const QStringList& columns) {
    QStringList conds;
    for (const QString& c : columns)
        conds << quoted(c) + QStringLiteral(" = ?");
    return QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
}

QString whereSameRow(const QStringList& columns) {
    QStringList conds;
    for (const QString& c : columns)
        conds << quoted(c) + QStringLiteral(" <=> ?");
    return QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND ")) +
           QStringLiteral(" LIMIT 1");
}

QString insert(const QString& table, const QStringList& columns) {
    if (columns.isEmpty()) return QStringLiteral("INSERT INTO %1 () VALUES ()").arg(quoted(table));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(quoted(table), quotedAll(columns).join(QLatin1Char(',')), marks(int(columns.size())));
}

QString update(const QString& table, const QStringList& columns, const QString& where) {
    QStringList sets;
    for (const QString& c : columns)
        sets << quoted(c) + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE ") + quoted(table) + QStringLiteral(" SET ") +
           sets.join(QStringLiteral(", ")) + where;
}

QString remove(const QString& table, const QString& where) {
    return QStringLiteral("DELETE FROM ") + quoted(table) + where;
}

int keyBlock(int count) {
    static constexpr std::array<int, 4> sizes = {1, 10, 100, 500};
    for (int s : sizes)
        if (count <= s) return s;
    return sizes.back();
}

QString selectByKeys(const QString& table, const QString& key, int count, const QString& extra) {
    return selectAll(table, extra) + QStringLiteral(" WHERE ") + quoted(key) +
           QStringLiteral(" IN (") + marks(count) + QLatin1Char(')');
}

QString rowSignature(const QStringList& columns) {
    if (columns.isEmpty()) return QString();
    QStringList nulls;
    for (const QString& c : columns)
        nulls << QStringLiteral("ISNULL(%1)").arg(quoted(c));
    // CONCAT_WS skips nulls, so the null flags make ('a', NULL) differ from (NULL, 'a').
    return QStringLiteral(
               "CAST(CONV(LEFT(MD5(CONCAT_WS(0x1f, %1, CONCAT(%2))), 16), 16, 10) AS UNSIGNED)")
        .arg(quotedAll(columns).join(QLatin1Char(',')), nulls.join(QLatin1Char(',')));
}

QString signatureAlias() {
    return QStringLiteral("gfe_firma");
}

QString selectSignatures(const QString& table, const QString& key, const QString& signature) {
    return QStringLiteral("SELECT %1, %2 FROM %3").arg(quoted(key), signature, quoted(table));
}

QString changeLog(const QString& table) {
    return QStringLiteral("gfe_modifiche_") + table;
}

QString readChangeLog(const QString& table) {
    const QString log = quoted(changeLog(table));
    return QStringLiteral("(SELECT n, chiave FROM %1 WHERE n > ?) "
                          "UNION ALL (SELECT n, chiave FROM %1 ORDER BY n DESC LIMIT 1)")
        .arg(log);
}

QString settleChangeLog(const QString& table) {
    return QStringLiteral("SELECT n, chiave FROM %1 WHERE n > ? AND n <= ? ORDER BY n "
                          "LOCK IN SHARE MODE NOWAIT")
        .arg(quoted(changeLog(table)));
}

QString lastChanges(const QString& table, int count) {
    return QStringLiteral("SELECT n FROM %1 ORDER BY n DESC LIMIT %2")
        .arg(quoted(changeLog(table)))
        .arg(count);
}

} // namespace SqlBuilder
