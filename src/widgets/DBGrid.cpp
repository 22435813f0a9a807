#include "DBGrid.h"

#include "DBGridDelegate.h"
#include "DataSourceModel.h"
#include "FieldLink.h"
#include "db/DataSource.h"
#include "db/Table.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

namespace {
constexpr int kIndicatorWidth = 16;
constexpr int kDefaultWidth = 64;
constexpr int kCellPadding = 6; // room beside a cell's text, both sides together
} // namespace

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent), m_model(new DataSourceModel(this)), m_delegate(new DBGridDelegate(this)) {
    setModel(m_model);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultSectionSize(kDefaultWidth);
    // Uniform rows: a grid over tens of thousands of rows never measures them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(kIndicatorWidth);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    fitRowHeight();
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { onCurrentChanged(current); });
    connect(m_model, &DataSourceModel::columnsRead, this, &DBGrid::sizeColumns);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::followTable);
}

void DBGrid::setDataSource(DataSource* ds) {
    if (DataSource* old = m_model->dataSource()) disconnect(old, nullptr, this, nullptr);
    m_model->setDataSource(ds);
    if (ds) {
        // After the model: it has taken in the change when the grid follows.
        connect(ds, &DataSource::recordChanged, this, &DBGrid::followTable);
        connect(ds, &DataSource::dataSetChanged, this, &DBGrid::followTable);
    }
    followTable();
}

DataSource* DBGrid::dataSource() const {
    return m_model->dataSource();
}

DBGridColumn& DBGrid::addColumn(const QString& field, const QString& title, int width,
                                Qt::Alignment alignment) {
    DBGridColumn c;
    c.field = field;
    c.title = title;
    c.width = width;
    c.alignment = alignment;
    DBGridColumn& added = m_model->addColumn(c);
    if (width >= 0) setColumnWidth(columnCount() - 1, width);
    sizeColumns();
    followTable();
    return added;
}

void DBGrid::fitText(int column, const QString& sample) {
    const int width = fontMetrics().horizontalAdvance(sample) + 2 * kCellPadding;
    if (columnWidth(column) < width) setColumnWidth(column, width);
}

int DBGrid::columnCount() const {
    return m_model->columnCount();
}
const DBGridColumn& DBGrid::column(int column) const {
    return m_model->column(column);
}

DBGridColumn& DBGrid::column(int column) {
    return m_model->column(column);
}

void DBGrid::setReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    m_model->setReadOnly(readOnly);
    setEditTriggers(readOnly ? NoEditTriggers
                             : DoubleClicked | SelectedClicked | EditKeyPressed | AnyKeyPressed);
}

void DBGrid::setRowSelect(bool rowSelect) {
    m_rowSelect = rowSelect;
    setSelectionBehavior(rowSelect ? SelectRows : SelectItems);
    showSelection();
}

void DBGrid::setAlwaysShowSelection(bool show) {
    m_alwaysShowSelection = show;
    showSelection();
}

void DBGrid::setTitleFont(const QFont& font) {
    m_model->setTitleFont(font);
}
void DBGrid::setTitleColor(const QColor& color) {
    m_model->setTitleColor(color);
}
void DBGrid::setCellColor(const QColor& color) {
    m_model->setCellColor(color);
}
void DBGrid::setCellPainter(CellPainter painter) {
    m_cellPainter = std::move(painter);
    viewport()->update();
}

QString DBGrid::cellText(int row, int column) const {
    return m_model->cellText(row, column);
}

QString DBGrid::cellText(int row, const DBGridColumn& column) const {
    for (int i = 0; i < columnCount(); ++i)
        if (&this->column(i) == &column) return cellText(row, i);
    return QString();
}

// Width from the column's size: as many digit widths as characters, at least the title's.
void DBGrid::sizeColumns() {
    const Table* t = m_model->isActive() ? m_model->table() : nullptr;
    if (!t) return;
    const QFontMetrics cells(font());
    const QVariant titleFont = m_model->headerData(0, Qt::Horizontal, Qt::FontRole);
    const QFontMetrics titles(titleFont.isValid() ? titleFont.value<QFont>()
                                                  : horizontalHeader()->font());
    for (int i = 0; i < columnCount(); ++i) {
        const DBGridColumn& c = column(i);
        const int f = m_model->fieldIndex(i);
        if (c.width >= 0 || f < 0 || m_sized.contains(c.field.toLower())) continue;
        const int size = t->columns()[f].size;
        const QString title = c.title.isEmpty() ? c.field : c.title;
        const int w =
            size > 0 ? size * cells.horizontalAdvance(QLatin1Char('0')) + 4 : kDefaultWidth;
        setColumnWidth(i, std::max(w, titles.horizontalAdvance(title) + 4));
        m_sized.insert(c.field.toLower());
    }
}

void DBGrid::fitRowHeight() {
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}

void DBGrid::onCurrentChanged(const QModelIndex& current) {
    Table* t = m_model->table();
    if (m_following || !current.isValid() || !t || !t->isOpen() || current.row() == t->recNo())
        return;
    if (!FieldLink::protect([&] { t->moveTo(current.row()); }))
        // The table stays where it is (its edit could not be posted): so does the grid.
        QMetaObject::invokeMethod(this, &DBGrid::followTable, Qt::QueuedConnection);
}

void DBGrid::followTable() {
    const Table* t = m_model->isActive() ? m_model->table() : nullptr;
    const int row = t ? t->recNo() : -1;
    if (row < 0 || row >= m_model->rowCount() || columnCount() == 0) return;
    const QModelIndex cur = currentIndex();
    const QModelIndex at = m_model->index(row, cur.isValid() ? cur.column() : 0);
    // Already there, selected as it should be: nothing to draw again.
    const bool selected = selectionFlags() != QItemSelectionModel::Clear;
    if (cur == at && selectionModel()->isSelected(at) == selected) return;
    m_following = true;
    selectionModel()->setCurrentIndex(at, selectionFlags());
    scrollTo(at);
    m_following = false;
}

bool DBGrid::hasFocusInside() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

// Without focus the selection is hidden unless it is always shown: the grid then keeps
// its current cell but selects nothing.
QItemSelectionModel::SelectionFlags DBGrid::selectionFlags() const {
    if (!m_alwaysShowSelection && !hasFocusInside()) return QItemSelectionModel::Clear;
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
    if (m_rowSelect) flags |= QItemSelectionModel::Rows;
    return flags;
}

void DBGrid::showSelection() {
    const QModelIndex cur = currentIndex();
    if (cur.isValid())
        selectionModel()->select(cur, selectionFlags());
    else
        selectionModel()->clearSelection();
}

bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // A double click whose handler closed the window opens no editor.
    if (!isVisible() || !m_model->isActive()) return false;
    return QTableView::edit(index, trigger, event);
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    Table* t = m_model->table();
    if (event->key() == Qt::Key_Escape && state() != EditingState && t && t->isEditing()) {
        FieldLink::protect([&] { t->cancel(); });
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) fitRowHeight();
    QTableView::changeEvent(event);
}

void DBGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    showSelection();
}

void DBGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    showSelection();
}
