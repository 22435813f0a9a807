#pragma once

#include "MascheraInput.h"

#include <QLineEdit>

class DataSource;
class FieldLink;

// An edit field bound to one field of a data source. Typing puts the table into edit
// state (starting a new row on an empty table) and writes the text into the field as
// the user types; the maximum length is the column's size.
class DBEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class CharCase { Normal, Upper, Lower };

    explicit DBEdit(QWidget* parent = nullptr);

    void setDataSource(DataSource* ds);
    DataSource* dataSource() const;
    void setField(const QString& name);
    QString field() const;
    void setCharCase(CharCase c) { m_case = c; }
    CharCase charCase() const { return m_case; }
    // Read only by choice; the field is read only as well while its table is closed.
    void setReadOnly(bool readOnly);
    bool readOnlyByChoice() const { return m_readOnly; }
    // A mask such as "!99/99/00;1;_"; the empty text removes it.
    void setEditMask(const QString& mask);
    QString editMask() const { return m_mask.mask(); }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void showField();
    void onTextEdited(const QString& text);
    void writePending();
    QString valueText() const;
    QString cased(const QString& s) const;

    FieldLink* m_link;
    CharCase m_case = CharCase::Normal;
    bool m_readOnly = false;
    bool m_pending = false; // typed text that does not convert yet
    MascheraInput m_mask;
};
