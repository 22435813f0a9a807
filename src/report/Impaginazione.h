#pragma once

#include "Report.h"

#include <QList>
#include <QRectF>
#include <QString>

class Fonti;

// What goes where: the report laid out page by page, every box in millimetres from the
// top-left corner of the sheet, every text resolved. Computed without any paint device,
// so that it can be checked without a display; painting only draws these boxes.
struct Scatola {
    TipoElemento tipo = TipoElemento::Etichetta; // Campo and NumeroPagina too are texts
    QString nome;
    QRectF area;
    QString testo;
    Carattere carattere;
    Qt::Alignment allineamento = Qt::AlignLeft;
    double penna = 1;
    bool ritaglia = false;
    bool aCapo = false; // testo holds its lines separated by '\n'
    bool restringi = false;

    bool eTesto() const { return tipo != TipoElemento::Rettangolo && tipo != TipoElemento::Linea; }
};

struct BandaStampata {
    TipoBanda tipo;
    QString nome;
    QRectF area;
    int riga = -1; // the detail row it prints
};

struct Pagina {
    int numero = 0;
    QList<BandaStampata> bande;
    QList<Scatola> scatole;

    QList<int> righe() const; // the detail rows on this page
    // The texts of the boxes of that name, in print order.
    QStringList testi(const QString& nome) const;
};

struct Impaginazione {
    QString nome;
    QString titolo;
    QPageSize::PageSizeId formato = QPageSize::A4;
    QPageLayout::Orientation orientamento = QPageLayout::Portrait;
    QList<Pagina> pagine;
};

// Lays the report out over the sources; runs the bands' hooks on the way. Throws
// whatever a hook throws, and ErroreReport for a missing table or column or for bands
// that cannot fit on a page.
Impaginazione impagina(const Report& report, const Fonti& fonti);

// Height of a text box of that font: its line height, in millimetres.
double altezzaTesto(const Carattere& c);
// Width of a text in that font as it is printed, in millimetres; 0 without a GUI
// application (no fonts to measure with).
double larghezzaTesto(const QString& testo, const Carattere& c);
// The lines of a text that breaks within a width: between words where it can, inside a
// word longer than the width; at least one line.
QStringList righeACapo(const QString& testo, double larghezza, const Carattere& c);
