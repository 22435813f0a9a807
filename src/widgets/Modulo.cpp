#include "widgets/Modulo.h"

#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace Modulo {

namespace {

// Swallows typed or pasted text that would make the field longer than the limit.
// A validator cannot do this: QLineEdit stops checking edits once the text it was
// given (longer than the limit) is not valid.
class LimiteDigitazione : public QObject {
public:
    LimiteDigitazione(int lunghezza, QLineEdit* campo) : QObject(campo), m_lunghezza(lunghezza) {}

    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress) return false;
        auto* campo = static_cast<QLineEdit*>(oggetto);
        auto* tasto = static_cast<QKeyEvent*>(evento);
        QString nuovo;
        if (tasto->matches(QKeySequence::Paste))
            nuovo = QGuiApplication::clipboard()->text();
        else if (!tasto->text().isEmpty() && tasto->text().at(0).isPrint())
            nuovo = tasto->text();
        if (nuovo.isEmpty()) return false;
        const qsizetype dopo = campo->text().size() - campo->selectedText().size() + nuovo.size();
        return dopo > m_lunghezza && dopo > campo->text().size();
    }

private:
    int m_lunghezza;
};

} // namespace

QFont carattere(const QString& famiglia, int pixel, bool grassetto, bool corsivo) {
    QFont f(famiglia);
    f.setPixelSize(pixel);
    f.setBold(grassetto);
    f.setItalic(corsivo);
    return f;
}

void colora(QWidget* w, QPalette::ColorRole ruolo, const QColor& colore) {
    QPalette p = w->palette();
    if (ruolo == QPalette::ButtonText) {
        p.setColor(QPalette::Active, ruolo, colore);
        p.setColor(QPalette::Inactive, ruolo, colore);
    } else {
        p.setColor(ruolo, colore);
    }
    w->setPalette(p);
}

QLabel* etichetta(QWidget* parent, const QString& testo, int x, int y) {
    auto* l = new QLabel(testo, parent);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLabel* etichetta(QWidget* parent, const QString& testo, int x, int y, const QFont& font,
                  const QColor& colore) {
    auto* l = new QLabel(testo, parent);
    l->setFont(font);
    colora(l, QPalette::WindowText, colore);
    l->move(x, y);
    l->adjustSize();
    return l;
}

QPushButton* pulsante(QWidget* parent, const QString& nome, const QString& testo, const QRect& r,
                      const QFont& font) {
    auto* b = new QPushButton(testo, parent);
    b->setObjectName(nome);
    b->setGeometry(r);
    b->setFont(font);
    return b;
}

QFrame* pannello(QWidget* parent, const QString& nome, const QRect& r, const QColor& sfondo,
                 bool incassato) {
    auto* p = new QFrame(parent);
    p->setObjectName(nome);
    p->setFrameStyle(QFrame::Panel | (incassato ? QFrame::Sunken : QFrame::Raised));
    p->setLineWidth(1);
    p->setGeometry(r);
    p->setAutoFillBackground(true);
    colora(p, QPalette::Window, sfondo);
    return p;
}

void limitaDigitazione(QLineEdit* campo, int lunghezza) {
    campo->installEventFilter(new LimiteDigitazione(lunghezza, campo));
}

void ordineTab(const QList<QWidget*>& controlli) {
    for (int i = 1; i < controlli.size(); ++i)
        QWidget::setTabOrder(controlli[i - 1], controlli[i]);
}

DBEdit* Costruttore::campo(const QString& testo, const QString& colonna, int x, int y,
                           int larghezza) {
    etichetta(m_parent, testo, x, y)->setObjectName(QStringLiteral("etichetta_") + colonna);
    auto* e = new DBEdit(m_parent);
    e->setObjectName(colonna);
    e->setGeometry(x, y + m_sotto, larghezza, m_altezza);
    e->setDataSource(m_ds);
    e->setField(colonna);
    return e;
}

DBEdit* Costruttore::campo(const Campo& c) {
    return campo(QString::fromUtf8(c.etichetta), QString::fromLatin1(c.colonna), c.x, c.y,
                 c.larghezza);
}

DBComboBox* Costruttore::tendina(const QString& testo, const QString& colonna,
                                 const QStringList& voci, int x, int y, int larghezza,
                                 DBComboBox::Style stile) {
    etichetta(m_parent, testo, x, y)->setObjectName(QStringLiteral("etichetta_") + colonna);
    auto* c = new DBComboBox(m_parent);
    c->setObjectName(colonna);
    c->setStyle(stile);
    c->setItems(voci);
    c->setGeometry(x, y + m_sotto, larghezza, m_altezza);
    c->setDataSource(m_ds);
    c->setField(colonna);
    return c;
}

DBCheckBox* Costruttore::casella(const QString& testo, const QString& colonna, const QRect& r) {
    auto* c = new DBCheckBox(m_parent);
    c->setObjectName(colonna);
    c->setText(testo);
    c->setGeometry(r);
    c->setDataSource(m_ds);
    c->setField(colonna);
    return c;
}

} // namespace Modulo
