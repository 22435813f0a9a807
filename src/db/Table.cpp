#include "Table.h"

#include "Connection.h"
#include "DataSource.h"
#include "DbError.h"

#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>

struct Table::Row {
    QVector<QVariant> values;
    quint64 firma = 0;     // the server's signature as read
    bool firmata = false;  // false when the signature is unknown
};

namespace {

QString quoted(const QString& name) {
    QString n = name;
    n.replace(QLatin1Char('`'), QStringLiteral("``"));
    return QLatin1Char('`') + n + QLatin1Char('`');
}

bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toString() == b.toString();
}

// Ascending order as the server's case-insensitive collation sorts; nulls first.
int compareValues(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull())
        return int(b.isNull()) - int(a.isNull());
    const int ta = a.typeId();
    if (ta == QMetaType::QString || b.typeId() == QMetaType::QString)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive);
    const QPartialOrdering o = QVariant::compare(a, b);
    return o == QPartialOrdering::Less ? -1 : o == QPartialOrdering::Greater ? 1 : 0;
}

} // namespace

Table::Table(Connection* connection, const QString& tableName, QObject* parent)
    : QObject(parent), m_connection(connection), m_tableName(tableName) {
    connect(&m_timer, &QTimer::timeout, this, &Table::onTimer);
}

Table::~Table() = default;

void Table::setTableName(const QString& name) { m_tableName = name; }
void Table::setSql(const QString& select, const QVariantList& binds) {
    m_sql = select;
    m_sqlBinds = select.isEmpty() ? QVariantList() : binds;
}
void Table::setOrderBy(const QStringList& columns) { m_orderBy = columns; }

void Table::setMaster(DataSource* master, const QStringList& detailColumns,
                      const QStringList& masterColumns) {
    m_detailColumns = detailColumns;
    m_masterColumns = masterColumns;
    setMasterSource(master);
}

void Table::setMasterSource(DataSource* master) {
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    if (!master)
        return;
    connect(master, &DataSource::recordChanged, this, &Table::onMasterChanged);
    connect(master, &DataSource::afterPost, this, &Table::onMasterChanged);
    // Opening and re-reading the master move its current row as well; only a
    // closed master needs its own notice.
    connect(master, &DataSource::dataSetChanged, this, [this] {
        if (m_master && m_master->table() && !m_master->table()->isOpen())
            onMasterChanged();
    });
}

void Table::addCalculatedField(const QString& name, QMetaType::Type type) {
    m_calculated.emplace_back(name, type);
}

void Table::declareField(const QString& name, FieldKind kind) { m_declared.emplace_back(name, kind); }

void Table::setAutoRefresh(int milliseconds) {
    m_autoRefreshMs = milliseconds;
    m_timer.stop();
    if (milliseconds > 0 && isOpen())
        m_timer.start(milliseconds);
}

// ---- life cycle -------------------------------------------------------------

void Table::open() {
    if (isOpen())
        return;
    if (!m_connection->isConnected())
        m_connection->connect();
    loadTableMeta();
    m_columns.clear();
    // Open before the first read, so details that follow this table see it open.
    m_state = TableState::Browse;
    try {
        fetch(false);
    } catch (...) {
        m_state = TableState::Inactive;
        m_rows.clear();
        throw;
    }
    emit stateChanged();
    QStringList stored;
    for (const ColumnInfo& c : m_columns)
        if (!c.calculated)
            stored << c.name;
    const int pk = primaryKeyColumn();
    m_firme = pk >= 0 ? FirmaRighe(m_tableName, stored, m_columns[pk].name) : FirmaRighe();
    if (m_autoRefreshMs > 0)
        m_timer.start(m_autoRefreshMs);
}

void Table::close() {
    if (!isOpen())
        return;
    m_timer.stop();
    m_rows.clear();
    m_conFirme = false;
    m_original.reset();
    m_current = -1;
    m_eof = m_bof = true;
    setState(TableState::Inactive);
    emit dataSetChanged();
}

// A table read by name with a key re-reads only the rows whose signature changed;
// its first refresh reads the signatures with the rows.
void Table::refresh() {
    requireOpen();
    checkBrowseMode();
    if (!firmeUsabili())
        fetch(true);
    else if (!m_conFirme)
        fetch(true, true);
    else
        aggiornaDaFirme();
}

bool Table::firmeUsabili() const {
    const int pk = primaryKeyColumn();
    return m_sql.isEmpty() && !m_master && pk >= 0 && m_columns[pk].isInteger() && m_firme.isValid();
}

void Table::loadTableMeta() {
    m_tableMeta.clear();
    if (m_tableName.isEmpty())
        return;
    QSqlQuery& q = m_connection->exec(
        QStringLiteral("SELECT COLUMN_NAME, CHARACTER_MAXIMUM_LENGTH, COLUMN_KEY, EXTRA "
                       "FROM information_schema.COLUMNS "
                       "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?"),
        {m_tableName});
    while (q.next()) {
        ColumnInfo c;
        c.name = q.value(0).toString();
        c.size = q.value(1).isNull() ? 0 : q.value(1).toInt();
        c.primaryKey = q.value(2).toString() == QLatin1String("PRI");
        c.autoIncrement = q.value(3).toString().contains(QLatin1String("auto_increment"));
        m_tableMeta.insert(c.name.toLower(), c);
    }
    if (m_tableMeta.isEmpty() && m_sql.isEmpty())
        throw DbError(QStringLiteral("Tabella '%1' non trovata").arg(m_tableName));
}

void Table::loadColumns(const QSqlRecord& record) {
    m_columns.clear();
    m_byName.clear();
    for (int i = 0; i < record.count(); ++i) {
        ColumnInfo c = m_tableMeta.value(record.fieldName(i).toLower());
        c.name = record.fieldName(i);
        c.type = QMetaType::Type(record.field(i).metaType().id());
        if (!c.isText())
            c.size = 0;
        m_columns.push_back(c);
    }
    for (const auto& [name, type] : m_calculated) {
        ColumnInfo c;
        c.name = name;
        c.type = type;
        c.calculated = true;
        m_columns.push_back(c);
    }
    m_byExactName.clear();
    for (int i = 0; i < int(m_columns.size()); ++i) {
        m_byName.insert(m_columns[i].name.toLower(), i);
        m_byExactName.insert(m_columns[i].name, i);
    }
    checkDeclared();
}

void Table::checkDeclared() const {
    for (const auto& [name, kind] : m_declared) {
        const int i = fieldIndex(name);
        if (i < 0 || m_columns[i].calculated)
            throw DbError(QStringLiteral("Campo '%1' non trovato nella tabella '%2'")
                              .arg(name, m_tableName));
        const ColumnInfo& c = m_columns[i];
        const bool fits = kind == FieldKind::Any || (kind == FieldKind::Text && c.isText()) ||
                          (kind == FieldKind::Integer && c.isInteger()) ||
                          (kind == FieldKind::Boolean && c.isInteger()) ||
                          (kind == FieldKind::Number && (c.isFloat() || c.isInteger())) ||
                          (kind == FieldKind::Date && c.isDate());
        if (!fits)
            throw DbError(QStringLiteral("Tipo non compatibile per il campo '%1' della tabella '%2'")
                              .arg(name, m_tableName));
    }
}

QString Table::selectStatement(QVariantList& binds, bool& masterMissing, bool conFirme) const {
    const QString firma = conFirme ? QStringLiteral(", ") + m_firme.espressione() +
                                         QStringLiteral(" AS ") + FirmaRighe::alias()
                                   : QString();
    QString base = m_sql.isEmpty() ? QStringLiteral("SELECT *") + firma + QStringLiteral(" FROM ") +
                                         quoted(m_tableName)
                                   : m_sql;
    masterMissing = false;
    binds = m_sqlBinds;
    if (!m_master || m_detailColumns.isEmpty()) {
        if (m_sql.isEmpty() && !m_orderBy.isEmpty()) {
            QStringList cols;
            for (const QString& c : m_orderBy)
                cols << quoted(c);
            base += QStringLiteral(" ORDER BY ") + cols.join(QLatin1Char(','));
        }
        return base;
    }
    if (!m_sql.isEmpty())
        base = QStringLiteral("SELECT * FROM (") + m_sql + QStringLiteral(") AS gfe_t");
    const QVariantList master = masterValues();
    binds += master;
    QStringList conds;
    for (int i = 0; i < m_detailColumns.size(); ++i) {
        if (i >= master.size() || master[i].isNull())
            masterMissing = true;
        conds << quoted(m_detailColumns[i]) + QStringLiteral(" = ?");
    }
    return base + QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
}

QVariantList Table::masterValues() const {
    QVariantList out;
    Table* master = m_master ? m_master->table() : nullptr;
    const bool usable = master && master->isOpen() && master->recNo() >= 0;
    for (const QString& col : m_masterColumns) {
        const int i = usable ? master->fieldIndex(col) : -1;
        out << (i >= 0 ? master->currentValue(i) : QVariant());
    }
    return out;
}

void Table::fetch(bool keepPosition, bool conFirme) {
    const Bookmark mark = keepPosition ? bookmark() : Bookmark();
    QVariantList binds;
    bool masterMissing = false;
    const QString sql = selectStatement(binds, masterMissing, conFirme);
    m_linkValues = binds.mid(m_sqlBinds.size());
    if (masterMissing && !m_columns.empty()) {
        m_rows.clear();
    } else {
        // Without master values the columns are still learned, from no rows.
        QSqlQuery senzaLegami;
        const QString vuota = masterMissing ? sql.section(QStringLiteral(" WHERE "), 0, -2) +
                                                  QStringLiteral(" LIMIT 0")
                                            : sql;
        const QVariantList legami = masterMissing ? m_sqlBinds : binds;
        if (legami.isEmpty())
            senzaLegami = m_connection->exec(vuota);
        QSqlQuery& q = legami.isEmpty() ? senzaLegami : m_connection->exec(vuota, legami);
        if (m_columns.empty())
            loadColumns(q.record());
        const int stored = int(m_columns.size()) - int(m_calculated.size());
        std::vector<RowPtr> rows;
        while (q.next())
            rows.push_back(leggiRiga(q, stored, conFirme));
        m_rows = std::move(rows);
        m_conFirme = conFirme;
        for (auto& r : m_rows)
            calcFields(*r);
        sortRows();
    }
    int pos = m_rows.empty() ? -1 : 0;
    if (mark.isValid()) {
        const int found = findKey(mark.key);
        pos = found >= 0 ? found : std::min(mark.index, recordCount() - 1);
    }
    m_current = pos;
    m_eof = m_bof = m_rows.empty();
    emit dataSetChanged();
    emit afterScroll();
}

Table::RowPtr Table::leggiRiga(const QSqlQuery& q, int stored, bool conFirma) const {
    auto row = std::make_unique<Row>();
    row->values.reserve(columnCount());
    for (int i = 0; i < stored; ++i)
        row->values.append(q.value(i));
    row->values.resize(columnCount());
    if (conFirma) {
        row->firma = q.value(stored).toULongLong();
        row->firmata = true;
    }
    return row;
}

// Compares the server's signatures with the rows held: rows gone are dropped, new
// and changed ones are read again; when many changed, the whole table is re-read.
void Table::aggiornaDaFirme() {
    const int pk = primaryKeyColumn();
    QHash<qint64, int> locali;
    locali.reserve(recordCount());
    for (int r = 0; r < recordCount(); ++r)
        locali.insert(m_rows[r]->values[pk].toLongLong(), r);
    QSqlQuery q = m_connection->exec(m_firme.selectFirme());
    QVariantList daLeggere;
    std::vector<bool> presenti(m_rows.size(), false);
    while (q.next()) {
        const auto it = locali.constFind(q.value(0).toLongLong());
        if (it != locali.constEnd())
            presenti[it.value()] = true;
        if (it == locali.constEnd() || !m_rows[it.value()]->firmata ||
            m_rows[it.value()]->firma != q.value(1).toULongLong())
            daLeggere << q.value(0);
    }
    if (daLeggere.size() > std::max(100, recordCount() / 10)) {
        fetch(true, true);
        return;
    }
    const Bookmark mark = bookmark();
    for (int r = recordCount() - 1; r >= 0; --r)
        if (!presenti[r])
            m_rows.erase(m_rows.begin() + r);
    leggiRigheFirmate(daLeggere);
    sortRows();
    const int found = findKey(mark.key);
    m_current = m_rows.empty() ? -1 : found >= 0 ? found : std::min(mark.index, recordCount() - 1);
    m_eof = m_bof = m_rows.empty();
    emit dataSetChanged();
    emit afterScroll();
}

void Table::leggiRigheFirmate(const QVariantList& chiavi) {
    const int pk = primaryKeyColumn();
    const int stored = int(m_columns.size()) - int(m_calculated.size());
    QHash<qint64, int> indice;
    for (int r = 0; r < recordCount(); ++r)
        indice.insert(m_rows[r]->values[pk].toLongLong(), r);
    constexpr int kBlocco = 500;
    for (int da = 0; da < chiavi.size(); da += kBlocco) {
        const QVariantList blocco = chiavi.mid(da, kBlocco);
        QSqlQuery& q = m_connection->exec(m_firme.selectRighe(int(blocco.size())), blocco);
        while (q.next()) {
            RowPtr row = leggiRiga(q, stored, true);
            calcFields(*row);
            const qint64 chiave = row->values[pk].toLongLong();
            const auto at = indice.constFind(chiave);
            if (at != indice.constEnd()) {
                m_rows[at.value()] = std::move(row);
            } else {
                indice.insert(chiave, recordCount());
                m_rows.push_back(std::move(row));
            }
        }
    }
}

void Table::sortRows() {
    if (m_orderBy.isEmpty())
        return;
    std::vector<int> cols;
    for (const QString& c : m_orderBy)
        if (fieldIndex(c) >= 0)
            cols.push_back(fieldIndex(c));
    const auto less = [&](const RowPtr& a, const RowPtr& b) {
        for (int c : cols) {
            const int r = compareValues(a->values[c], b->values[c]);
            if (r != 0)
                return r < 0;
        }
        return false;
    };
    // Rows usually arrive in order already (the server sorts a table read by name).
    if (!std::is_sorted(m_rows.begin(), m_rows.end(), less))
        std::stable_sort(m_rows.begin(), m_rows.end(), less);
}

// Whether row r stands in order between its neighbours: with the other rows in
// order, the whole table then is, and a new row appended in order (a growing
// key) costs no pass over the rows.
bool Table::alSuoPosto(int r) const {
    if (m_orderBy.isEmpty())
        return true;
    const auto confronta = [this](const Row& a, const Row& b) {
        for (const QString& c : m_orderBy) {
            const int i = fieldIndex(c);
            if (i < 0)
                continue;
            if (const int esito = compareValues(a.values[i], b.values[i]); esito != 0)
                return esito;
        }
        return 0;
    };
    return (r <= 0 || confronta(*m_rows[r - 1], *m_rows[r]) <= 0) &&
           (r + 1 >= recordCount() || confronta(*m_rows[r], *m_rows[r + 1]) <= 0);
}

void Table::calcFields(Row& row) {
    if (!m_onCalcFields || m_calculated.empty())
        return;
    Row* saved = m_calcRow;
    m_calcRow = &row;
    try {
        m_onCalcFields(*this);
    } catch (...) {
        m_calcRow = saved;
        throw;
    }
    m_calcRow = saved;
}

// ---- navigation ---------------------------------------------------------------

Table::Row* Table::currentRow() const {
    return m_current >= 0 && m_current < recordCount() ? m_rows[m_current].get() : nullptr;
}

Table::Row* Table::accessRow() const { return m_calcRow ? m_calcRow : currentRow(); }

void Table::setPosition(int row, bool notify) {
    const int old = m_current;
    m_current = m_rows.empty() ? -1 : std::clamp(row, 0, recordCount() - 1);
    if (notify && old != m_current)
        emit afterScroll();
}

void Table::first() {
    requireOpen();
    checkBrowseMode();
    setPosition(0);
    m_bof = true;
    m_eof = m_rows.empty();
}

void Table::last() {
    requireOpen();
    checkBrowseMode();
    setPosition(recordCount() - 1);
    m_eof = true;
    m_bof = m_rows.empty();
}

void Table::next() {
    requireOpen();
    checkBrowseMode();
    if (m_current + 1 >= recordCount()) {
        m_eof = true;
        return;
    }
    setPosition(m_current + 1);
    m_eof = m_bof = false;
}

void Table::prior() {
    requireOpen();
    checkBrowseMode();
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    setPosition(m_current - 1);
    m_eof = m_bof = false;
}

void Table::moveTo(int row) {
    requireOpen();
    checkBrowseMode();
    setPosition(row);
    m_eof = m_bof = m_rows.empty();
}

bool Table::locate(const QString& column, const QVariant& value) {
    return locate(column, value, QString(), QVariant());
}

bool Table::locate(const QString& column1, const QVariant& value1, const QString& column2,
                   const QVariant& value2) {
    requireOpen();
    const int c1 = field(column1).index();
    const int c2 = column2.isEmpty() ? -1 : field(column2).index();
    for (int r = 0; r < recordCount(); ++r) {
        const auto& v = m_rows[r]->values;
        if (sameValue(v[c1], value1) && (c2 < 0 || sameValue(v[c2], value2))) {
            moveTo(r);
            return true;
        }
    }
    return false;
}

int Table::primaryKeyColumn() const {
    for (int i = 0; i < columnCount(); ++i)
        if (m_columns[i].primaryKey)
            return i;
    return -1;
}

QVariantList Table::keyOf(const Row& row) const {
    const int pk = primaryKeyColumn();
    return pk >= 0 ? QVariantList{row.values[pk]} : QVariantList();
}

int Table::findKey(const QVariantList& key) const {
    const int pk = primaryKeyColumn();
    if (pk < 0 || key.isEmpty() || key.first().isNull())
        return -1;
    const QVariant& k = key.first();
    for (int r = 0; r < recordCount(); ++r)
        if (m_rows[r]->values[pk] == k)
            return r;
    return -1;
}

Bookmark Table::bookmark() const {
    Bookmark b;
    if (const Row* row = currentRow()) {
        b.key = keyOf(*row);
        b.index = m_current;
    }
    return b;
}

bool Table::gotoBookmark(const Bookmark& bookmark) {
    if (!bookmark.isValid() || m_rows.empty())
        return false;
    const int found = findKey(bookmark.key);
    if (found < 0 && !bookmark.key.isEmpty())
        return false;
    moveTo(found >= 0 ? found : std::min(bookmark.index, recordCount() - 1));
    return true;
}

// ---- fields ------------------------------------------------------------------

int Table::fieldIndex(const QString& name) const {
    // Callers mostly spell names as the columns are spelt: try that before folding case.
    const auto exact = m_byExactName.constFind(name);
    if (exact != m_byExactName.constEnd())
        return exact.value();
    return m_byName.value(name.toLower(), -1);
}

Field Table::field(const QString& name) {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Campo '%1' non trovato").arg(name));
    return Field(this, i);
}

QVariant Table::value(int row, int column) const {
    if (row < 0 || row >= recordCount() || column < 0 || column >= columnCount())
        return QVariant();
    return m_rows[row]->values[column];
}

QVariant Table::currentValue(int column) const {
    const Row* row = accessRow();
    return row && column >= 0 && column < columnCount() ? row->values[column] : QVariant();
}

QVariant Table::coerce(int column, const QVariant& value) const {
    const ColumnInfo& c = m_columns[column];
    if (value.isNull() || !value.isValid())
        return QVariant();
    if (c.isText()) {
        const QString s = value.toString();
        return c.size > 0 && s.size() > c.size ? s.left(c.size) : s;
    }
    return value;
}

void Table::setCurrentValue(int column, const QVariant& value) {
    Row* row = accessRow();
    if (!row)
        throw DbError(QStringLiteral("Nessuna riga corrente nella tabella '%1'").arg(m_tableName));
    const bool calculated = m_columns[column].calculated;
    if (!calculated && !m_calcRow)
        requireEditing();
    const QVariant v = coerce(column, value);
    if (sameValue(row->values[column], v) && row->values[column].isNull() == v.isNull())
        return;
    row->values[column] = v;
    if (!calculated && row == currentRow() && isEditing()) {
        m_changed[column] = true;
        emit fieldChanged(column);
    }
}

void Table::requireOpen() const {
    if (!isOpen())
        throw DbError(QStringLiteral("Tabella '%1' non aperta").arg(m_tableName));
}

void Table::requireEditing() const {
    if (!isEditing())
        throw DbError(QStringLiteral("Tabella '%1' non in modifica").arg(m_tableName));
}

void Table::setState(TableState state) {
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
}

// ---- editing -------------------------------------------------------------------

void Table::edit() {
    requireOpen();
    if (isEditing())
        return;
    if (m_rows.empty()) {
        append();
        return;
    }
    m_original = std::make_unique<Row>(*currentRow());
    m_changed.assign(columnCount(), false);
    setState(TableState::Edit);
}

void Table::append() {
    requireOpen();
    checkBrowseMode();
    startNewRow(recordCount());
}

void Table::insert() {
    requireOpen();
    checkBrowseMode();
    startNewRow(m_current < 0 ? 0 : m_current);
}

void Table::startNewRow(int at) {
    auto row = std::make_unique<Row>();
    row->values.resize(columnCount());
    m_insertedFrom = m_current;
    m_rows.insert(m_rows.begin() + at, std::move(row));
    m_current = at;
    m_eof = m_bof = false;
    m_original.reset();
    m_changed.assign(columnCount(), false);
    setState(TableState::Insert);
    // The link columns take the master's values before any other code runs.
    const QVariantList link = masterValues();
    for (int i = 0; i < m_detailColumns.size() && i < link.size(); ++i) {
        const int c = fieldIndex(m_detailColumns[i]);
        if (c >= 0)
            setCurrentValue(c, link[i]);
    }
    emit dataSetChanged();
    emit afterScroll();
    if (m_onNewRecord)
        m_onNewRecord(*this);
}

void Table::post() {
    requireOpen();
    if (!isEditing())
        return;
    Row* row = currentRow();
    const bool nuova = m_state == TableState::Insert;
    if (nuova)
        writeInsert(*row);
    else if (std::find(m_changed.begin(), m_changed.end(), true) != m_changed.end())
        writeUpdate(*row);
    m_original.reset();
    row->firmata = false;   // the server's new signature is unknown: the next refresh reads it
    calcFields(*row);
    // The row changes place only when it is new or a column of the order changed.
    bool riordina = nuova;
    for (const QString& c : m_orderBy)
        riordina = riordina || (fieldIndex(c) >= 0 && m_changed[fieldIndex(c)]);
    if (riordina && !alSuoPosto(m_current)) {
        sortRows();
        for (int r = 0; r < recordCount(); ++r)
            if (m_rows[r].get() == row)
                m_current = r;
    }
    setState(TableState::Browse);
    emit dataSetChanged();
    emit afterPost();
}

void Table::cancel() {
    if (!isEditing())
        return;
    if (m_state == TableState::Insert) {
        m_rows.erase(m_rows.begin() + m_current);
        m_current = m_rows.empty() ? -1 : std::clamp(m_insertedFrom, 0, recordCount() - 1);
        m_eof = m_bof = m_rows.empty();
    } else if (m_original) {
        *currentRow() = *m_original;
    }
    m_original.reset();
    setState(TableState::Browse);
    emit dataSetChanged();
    emit afterScroll();
}

void Table::remove() {
    requireOpen();
    if (m_state == TableState::Insert) {
        cancel();
        return;
    }
    checkBrowseMode();
    Row* row = currentRow();
    if (!row)
        throw DbError(QStringLiteral("Nessuna riga da eliminare nella tabella '%1'").arg(m_tableName));
    QVariantList binds;
    const QString where = whereRow(*row, binds, false);
    QSqlQuery& q = m_connection->exec(QStringLiteral("DELETE FROM ") + quoted(m_tableName) + where, binds);
    if (q.numRowsAffected() < 1)
        throw DbError(QStringLiteral("Riga non trovata: modificata o eliminata da un altro utente"));
    m_rows.erase(m_rows.begin() + m_current);
    m_current = m_rows.empty() ? -1 : std::min(m_current, recordCount() - 1);
    m_eof = m_bof = m_rows.empty();
    emit dataSetChanged();
    emit afterScroll();
}

void Table::checkBrowseMode() {
    if (isEditing())
        post();
}

// A row is found by its primary key; a table without one by every stored value as
// read, touching at most one row.
QString Table::whereRow(const Row& row, QVariantList& binds, bool useOriginal) const {
    const Row& src = useOriginal && m_original ? *m_original : row;
    const int pk = primaryKeyColumn();
    if (pk >= 0) {
        binds << src.values[pk];
        return QStringLiteral(" WHERE ") + quoted(m_columns[pk].name) + QStringLiteral(" = ?");
    }
    QStringList conds;
    for (int i = 0; i < columnCount(); ++i) {
        if (m_columns[i].calculated)
            continue;
        conds << quoted(m_columns[i].name) + QStringLiteral(" <=> ?");
        binds << src.values[i];
    }
    return QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND ")) + QStringLiteral(" LIMIT 1");
}

void Table::writeInsert(Row& row) {
    QStringList cols, marks;
    QVariantList binds;
    for (int i = 0; i < columnCount(); ++i) {
        if (m_columns[i].calculated || row.values[i].isNull())
            continue;
        cols << quoted(m_columns[i].name);
        marks << QStringLiteral("?");
        binds << row.values[i];
    }
    const QString sql = cols.isEmpty()
        ? QStringLiteral("INSERT INTO %1 () VALUES ()").arg(quoted(m_tableName))
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(quoted(m_tableName), cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    QSqlQuery& q = m_connection->exec(sql, binds);
    for (int i = 0; i < columnCount(); ++i)
        if (m_columns[i].autoIncrement && row.values[i].isNull())
            row.values[i] = q.lastInsertId().toInt();
    reReadRow(row);
}

// Only the columns changed in this edit are written, so a change that another
// program made meanwhile to another column of the same row is kept.
void Table::writeUpdate(Row& row) {
    QStringList sets;
    QVariantList binds;
    for (int i = 0; i < columnCount(); ++i) {
        if (!m_changed[i] || m_columns[i].calculated)
            continue;
        sets << quoted(m_columns[i].name) + QStringLiteral(" = ?");
        binds << row.values[i];
    }
    if (sets.isEmpty())
        return;
    const QString where = whereRow(row, binds, true);
    QSqlQuery& q = m_connection->exec(
        QStringLiteral("UPDATE ") + quoted(m_tableName) + QStringLiteral(" SET ") +
            sets.join(QStringLiteral(", ")) + where,
        binds);
    if (q.numRowsAffected() < 1)
        throw DbError(QStringLiteral("Riga non trovata: modificata o eliminata da un altro utente"));
}

// After an insert the row is read back, so that it holds what the server stored
// (its key and the columns' defaults).
void Table::reReadRow(Row& row) {
    const int pk = primaryKeyColumn();
    if (pk < 0 || row.values[pk].isNull() || !m_sql.isEmpty())
        return;
    QSqlQuery& q = m_connection->exec(QStringLiteral("SELECT * FROM ") + quoted(m_tableName) +
                                         QStringLiteral(" WHERE ") + quoted(m_columns[pk].name) +
                                         QStringLiteral(" = ?"),
                                     {row.values[pk]});
    if (!q.next())
        return;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i) {
        const int c = fieldIndex(rec.fieldName(i));
        if (c >= 0 && !m_columns[c].calculated)
            row.values[c] = q.value(i);
    }
}

// ---- master/detail and automatic refresh ------------------------------------------

void Table::onMasterChanged() {
    if (!isOpen())
        return;
    const bool sameMaster = masterValues() == m_linkValues;
    if (isEditing()) {
        // An edit is never disturbed by a refresh of the same master row; moving the
        // master to another row posts it first.
        if (sameMaster)
            return;
        post();
    }
    fetch(sameMaster);
}

void Table::onTimer() {
    if (m_state != TableState::Browse)
        return;
    try {
        refresh();
    } catch (const DbError& e) {
        m_timer.stop();
        emit autoRefreshFailed(e.messaggio());
    }
}
