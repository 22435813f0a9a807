#include "widgets/Modulo.h"

#include "widgets/DBCheckBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
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

// Lays out the anchored children of one parent at each of its resizes, from the
// starting geometry of each child and the parent's size at that time.
class Ancoraggi : public QObject {
public:
    explicit Ancoraggi(QWidget* parent) : QObject(parent) {
        setObjectName(kNome);
        parent->installEventFilter(this);
    }

    static Ancoraggi* di(QWidget* parent) {
        // By name: the class has no meta-object of its own to look it up by.
        if (auto* a = dynamic_cast<Ancoraggi*>(
                parent->findChild<QObject*>(kNome, Qt::FindDirectChildrenOnly)))
            return a;
        return new Ancoraggi(parent);
    }

    void aggiungi(QWidget* w, int ancore) {
        for (Voce& v : m_voci)
            if (v.controllo == w) {
                v.ancore = ancore;
                return;
            }
        m_voci.append({w, w->geometry(), w->parentWidget()->size(), ancore});
    }

    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() == QEvent::Resize) disponi(static_cast<QWidget*>(oggetto)->size());
        return false;
    }

private:
    static inline const QString kNome = QStringLiteral("gfe_ancoraggi");

    struct Voce {
        QPointer<QWidget> controllo;
        QRect inizio;
        QSize genitore;
        int ancore;
    };

    // One axis: start and length for a parent grown (or shrunk) by `delta`.
    static std::pair<int, int> asse(int inizio, int lunghezza, int delta, bool primo,
                                    bool secondo) {
        if (primo && secondo) return {inizio, std::max(0, lunghezza + delta)};
        if (secondo) return {inizio + delta, lunghezza};
        if (!primo) return {inizio + delta / 2, lunghezza};
        return {inizio, lunghezza};
    }

    void disponi(const QSize& ora) {
        for (const Voce& v : m_voci) {
            if (!v.controllo) continue;
            const auto [x, w] =
                asse(v.inizio.x(), v.inizio.width(), ora.width() - v.genitore.width(),
                     v.ancore & Sinistra, v.ancore & Destra);
            const auto [y, h] =
                asse(v.inizio.y(), v.inizio.height(), ora.height() - v.genitore.height(),
                     v.ancore & Alto, v.ancore & Basso);
            v.controllo->setGeometry(x, y, w, h);
        }
    }

    QList<Voce> m_voci;
};

QString& fileMemoria() {
    static QString f;
    return f;
}

// Size, position and column widths of one window, taken back at its first showing
// and kept at each hiding.
class Memoria : public QObject {
public:
    Memoria(QWidget* finestra, const QString& chiave) : QObject(finestra), m_chiave(chiave) {
        finestra->installEventFilter(this);
    }

    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        auto* w = static_cast<QWidget*>(oggetto);
        if (fileMemoria().isEmpty() || evento->spontaneous()) return false;
        if (evento->type() == QEvent::Show && !m_ripresa) {
            m_ripresa = true;
            riprendi(w);
        } else if (evento->type() == QEvent::Hide && m_ripresa) {
            conserva(w);
        }
        return false;
    }

private:
    void riprendi(QWidget* w) {
        QSettings s(fileMemoria(), QSettings::IniFormat);
        s.beginGroup(m_chiave);
        const QRect r = s.value(QStringLiteral("geometria")).toRect();
        // Only where it still fits a screen of this desktop (one may have gone).
        if (r.isValid() && r.width() >= w->minimumWidth() && r.height() >= w->minimumHeight())
            if (const QScreen* schermo = QGuiApplication::screenAt(r.center()))
                w->setGeometry(r.intersected(schermo->availableGeometry()));
        for (DBGrid* g : w->findChildren<DBGrid*>()) {
            for (int i = 0; i < g->columnCount(); ++i) {
                const int larghezza = s.value(chiaveColonna(g, i), -1).toInt();
                if (larghezza > 0) g->horizontalHeader()->resizeSection(i, larghezza);
            }
        }
    }

    void conserva(QWidget* w) {
        QSettings s(fileMemoria(), QSettings::IniFormat);
        s.beginGroup(m_chiave);
        s.setValue(QStringLiteral("geometria"), w->geometry());
        for (DBGrid* g : w->findChildren<DBGrid*>())
            for (int i = 0; i < g->columnCount(); ++i)
                s.setValue(chiaveColonna(g, i), g->columnWidth(i));
    }

    static QString chiaveColonna(const DBGrid* g, int i) {
        return g->objectName() + u'/' + g->column(i).field;
    }

    QString m_chiave;
    bool m_ripresa = false;
};

} // namespace

void ancora(QWidget* controllo, int ancore) {
    Ancoraggi::di(controllo->parentWidget())->aggiungi(controllo, ancore);
}

void ancoraSotto(QWidget* parent, int y, int ancore) {
    for (QWidget* w : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!w->isWindow() && w->y() >= y) ancora(w, ancore);
}

void dimensioni(QWidget* finestra, int larghezza, int altezza) {
    finestra->setMinimumSize(larghezza, altezza);
    finestra->resize(larghezza, altezza);
}

void impostaMemoria(const QString& fileIni) {
    fileMemoria() = fileIni;
}

void ricorda(QWidget* finestra, const QString& chiave) {
    new Memoria(finestra, chiave);
}

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
