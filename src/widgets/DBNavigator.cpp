#include "DBNavigator.h"

#include "FieldLink.h"
#include "db/DataSource.h"
#include "db/Table.h"
#include "platform/Desktop.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {

struct ButtonLook {
    DBNavigator::Button button;
    const char* glyph;
    const char* tip;
};

// Glyphs drawn as text, so the buttons are recognisable in any style.
const ButtonLook looks[] = {
    {DBNavigator::Button::First, "|\u25C0", "Primo"},
    {DBNavigator::Button::Prior, "\u25C0", "Precedente"},
    {DBNavigator::Button::Next, "\u25B6", "Successivo"},
    {DBNavigator::Button::Last, "\u25B6|", "Ultimo"},
    {DBNavigator::Button::Insert, "+", "Inserisci"},
    {DBNavigator::Button::Delete, "\u2212", "Elimina"},
    {DBNavigator::Button::Edit, "\u270E", "Modifica"},
    {DBNavigator::Button::Post, "\u2714", "Registra"},
    {DBNavigator::Button::Cancel, "\u2716", "Annulla"},
    {DBNavigator::Button::Refresh, "\u27F3", "Aggiorna"},
};

} // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent), m_layout(new QHBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    setButtons(allButtons());
}

QList<DBNavigator::Button> DBNavigator::allButtons() {
    QList<Button> all;
    for (const ButtonLook& l : looks)
        all << l.button;
    return all;
}

void DBNavigator::setDataSource(DataSource* ds) {
    if (m_ds) disconnect(m_ds, nullptr, this, nullptr);
    m_ds = ds;
    if (ds) {
        connect(ds, &DataSource::recordChanged, this, &DBNavigator::updateButtons);
        connect(ds, &DataSource::dataSetChanged, this, &DBNavigator::updateButtons);
        connect(ds, &DataSource::stateChanged, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::setButtons(const QList<Button>& wanted) {
    for (auto& [b, w] : m_buttons)
        delete w;
    m_buttons.clear();
    for (const ButtonLook& l : looks) {
        if (!wanted.contains(l.button)) continue;
        auto* w = new QToolButton(this);
        w->setText(QString::fromUtf8(l.glyph));
        w->setToolTip(QString::fromUtf8(l.tip));
        // Like a tool bar: pressing a button leaves the focus in the edited field.
        w->setFocusPolicy(Qt::NoFocus);
        w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        w->setObjectName(QString::fromUtf8(l.tip));
        const Button b = l.button;
        connect(w, &QToolButton::clicked, this, [this, b] { press(b); });
        m_layout->addWidget(w);
        m_buttons[b] = w;
    }
    updateButtons();
}

QList<DBNavigator::Button> DBNavigator::buttons() const {
    QList<Button> out;
    for (const auto& [b, w] : m_buttons)
        out << b;
    return out;
}

QAbstractButton* DBNavigator::button(Button b) const {
    const auto it = m_buttons.find(b);
    return it == m_buttons.end() ? nullptr : it->second;
}

void DBNavigator::press(Button b) {
    Table* t = m_ds ? m_ds->table() : nullptr;
    if (!t || !t->isOpen()) return;
    if (b == Button::Delete && !Desktop::corrente().conferma(QStringLiteral("Eliminare la riga?")))
        return;
    FieldLink::protect([&] {
        switch (b) {
        case Button::First:
            t->first();
            break;
        case Button::Prior:
            t->prior();
            break;
        case Button::Next:
            t->next();
            break;
        case Button::Last:
            t->last();
            break;
        case Button::Insert:
            t->insert();
            break;
        case Button::Delete:
            t->remove();
            break;
        case Button::Edit:
            t->edit();
            break;
        case Button::Post:
            t->post();
            break;
        case Button::Cancel:
            t->cancel();
            break;
        case Button::Refresh:
            t->refresh();
            break;
        }
    });
    updateButtons();
}

void DBNavigator::updateButtons() {
    const Table* t = m_ds ? m_ds->table() : nullptr;
    const bool open = t && t->isOpen();
    const bool editing = open && t->isEditing();
    const int row = open ? t->recNo() : -1;
    const int rows = open ? t->recordCount() : 0;
    const std::map<Button, bool> enabled = {
        {Button::First, row > 0},
        {Button::Prior, row > 0},
        {Button::Next, open && row < rows - 1},
        {Button::Last, open && row < rows - 1},
        {Button::Insert, open},
        {Button::Delete, rows > 0},
        {Button::Edit, open && !editing},
        {Button::Post, editing},
        {Button::Cancel, editing},
        {Button::Refresh, open},
    };
    for (auto& [b, w] : m_buttons)
        w->setEnabled(enabled.at(b));
}
