#pragma once

#include "widgets/DBComboBox.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPalette>
#include <QRect>
#include <QString>
#include <QStringList>

class DataSource;
class DBCheckBox;
class DBEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The one place that builds the controls of a form: fonts, colours, labels, buttons,
// panels and bound fields at fixed coordinates. A window keeps only the table of its
// controls (texts, columns, positions) and its handlers.
namespace Modulo {

QFont carattere(const QString& famiglia, int pixel, bool grassetto = false, bool corsivo = false);

// Background colours hold in every state; a button's text colour only while enabled,
// so that a disabled button shows greyed out.
void colora(QWidget* w, QPalette::ColorRole ruolo, const QColor& colore);

QLabel* etichetta(QWidget* parent, const QString& testo, int x, int y);
QLabel* etichetta(QWidget* parent, const QString& testo, int x, int y, const QFont& font,
                  const QColor& colore);

QPushButton* pulsante(QWidget* parent, const QString& nome, const QString& testo, const QRect& r,
                      const QFont& font);

// A raised or sunken panel filled with its background colour.
QFrame* pannello(QWidget* parent, const QString& nome, const QRect& r, const QColor& sfondo,
                 bool incassato = true);

// Limits what the user types to `lunghezza` characters. Unlike QLineEdit's maximum
// length it never cuts a longer text that the program puts into the field.
void limitaDigitazione(QLineEdit* campo, int lunghezza);

// Tab order of the given controls, in the order given.
void ordineTab(const QList<QWidget*>& controlli);

// Windows that grow. The coordinates a window is built with are its starting layout;
// when its parent grows, a control keeps its distance to the parent's edges it is
// anchored to: anchored left and right it widens, anchored only right it moves with
// the right edge, anchored neither way it stays centred (and likewise vertically).
// A control not anchored stays where it is. Anchor a control once its parent has its
// starting size.
enum Ancora { Sinistra = 1, Alto = 2, Destra = 4, Basso = 8 };
constexpr int kTutte = Sinistra | Alto | Destra | Basso;
void ancora(QWidget* controllo, int ancore);
// Every child of `parent` whose top edge is at `y` or below: the controls under a grid
// that grows downwards.
void ancoraSotto(QWidget* parent, int y, int ancore);

// A top-level window starting at `larghezza` × `altezza`, which the user may enlarge.
void dimensioni(QWidget* finestra, int larghezza, int altezza);

// Where a window's size and position and its grids' column widths are kept between
// runs: an INI file, or nothing (the default: tests and screenshots always start from
// the starting layout).
void impostaMemoria(const QString& fileIni);
// The window takes back its size, position and column widths at its first showing and
// keeps them whenever it is hidden, under `chiave`.
void ricorda(QWidget* finestra, const QString& chiave);

// One bound edit field of a form's table: label text, column, position and width.
struct Campo {
    const char* etichetta;
    const char* colonna;
    int x, y, larghezza;
};

// Bound controls with their label above, all on one data source. The field's object
// name is its column; its label's is "etichetta_" + column.
class Costruttore {
public:
    Costruttore(QWidget* parent, DataSource* ds, int sottoEtichetta = 16, int altezzaCampo = 21)
        : m_parent(parent), m_ds(ds), m_sotto(sottoEtichetta), m_altezza(altezzaCampo) {}

    DBEdit* campo(const QString& etichetta, const QString& colonna, int x, int y, int larghezza);
    DBEdit* campo(const Campo& c);
    // A drop-down list whose items are proposals: the user may type another value.
    DBComboBox* tendina(const QString& etichetta, const QString& colonna, const QStringList& voci,
                        int x, int y, int larghezza,
                        DBComboBox::Style stile = DBComboBox::Style::DropDown);
    DBCheckBox* casella(const QString& testo, const QString& colonna, const QRect& r);

    QWidget* parent() const { return m_parent; }
    DataSource* dataSource() const { return m_ds; }

private:
    QWidget* m_parent;
    DataSource* m_ds;
    int m_sotto;
    int m_altezza;
};

} // namespace Modulo
