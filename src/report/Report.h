#pragma once

#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <functional>
#include <optional>

class Fonti;

// A banded page report: a page header, a detail band printed once per row of a named
// table and a page footer, each holding fixed labels, data-bound labels, the page
// number and shapes. Every measure is in millimetres; positions inside a band are taken
// from the band's top-left corner, which lies on the left margin.

struct Carattere {
    QString famiglia = QStringLiteral("Arial");
    double punti = 10;
    bool grassetto = false;
    bool corsivo = false;
    bool sottolineato = false;
};

enum class TipoElemento { Etichetta, Campo, NumeroPagina, Rettangolo, Linea };

struct Elemento {
    TipoElemento tipo = TipoElemento::Etichetta;
    QString nome;
    // Position and size; a text box without height takes the height of its font, a
    // line is the segment from the top-left to the bottom-right corner.
    QRectF area;
    Qt::Alignment allineamento = Qt::AlignLeft;
    Carattere carattere;
    QString testo;   // caption of a fixed label
    QString tabella; // a data-bound label prints this column of that table
    QString colonna;
    double penna = 1; // pen width of shapes, in pixels of 1/96 inch
    // A text longer than its box is cut at the box; otherwise it runs on beyond the
    // edge opposite its alignment, unless one of the two below keeps it inside.
    bool ritaglia = false;
    // A text wider than its box is printed in a font small enough to fit it.
    bool restringi = false;
    // A text wider than its box breaks onto more lines (between words, or inside a
    // word longer than the box), and its band grows by the lines added: the shapes
    // reaching the band's bottom grow with it, what lies below the text moves down.
    bool aCapo = false;

    static Elemento etichetta(double x, double y, double w, const QString& testo,
                              const Carattere& c, Qt::Alignment a = Qt::AlignLeft);
    static Elemento campo(double x, double y, double w, const QString& tabella,
                          const QString& colonna, const Carattere& c,
                          Qt::Alignment a = Qt::AlignLeft);
    static Elemento numeroPagina(double x, double y, double w, const Carattere& c,
                                 Qt::Alignment a = Qt::AlignLeft);
    static Elemento rettangolo(double x, double y, double w, double h, double penna = 1);
    static Elemento orizzontale(double x, double y, double w, double penna = 1);
    static Elemento verticale(double x, double y, double h, double penna = 1);

    Elemento& chiamato(const QString& n) {
        nome = n;
        return *this;
    }
};

enum class TipoBanda { Intestazione, Dettaglio, PiePagina };

struct Bordi {
    bool sopra = false;
    bool sotto = false;
    bool sinistra = false;
    bool destra = false;
};

class Banda {
public:
    // Called on a copy of the band each time it is about to print; it may change the
    // captions of its labels. An exception it throws aborts the whole report.
    using Aggancio = std::function<void(Banda& banda, const Fonti& fonti)>;

    Banda() = default;
    Banda(TipoBanda t, const QString& n, double h) : tipo(t), nome(n), altezza(h) {}

    TipoBanda tipo = TipoBanda::Dettaglio;
    QString nome;
    double altezza = 0;
    Bordi bordi;
    QList<Elemento> elementi;
    Aggancio primaDellaStampa;

    Elemento& aggiungi(const Elemento& e) {
        elementi.append(e);
        return elementi.last();
    }
    // The element of that name; throws ErroreReport when there is none.
    Elemento& elemento(const QString& nome);
    const Elemento& elemento(const QString& nome) const;
};

class Report {
public:
    QString nome;
    QString titolo; // of the document and of its preview window
    QPageSize::PageSizeId formato = QPageSize::A4;
    QPageLayout::Orientation orientamento = QPageLayout::Portrait;
    QMarginsF margini{10, 10, 10, 10};
    bool cornice = false; // a frame around the printable area of every page

    std::optional<Banda> intestazione;
    std::optional<Banda> dettaglio;
    std::optional<Banda> piede;
    QString tabellaDettaglio; // the table the detail band runs over

    bool intestazioneSullaPrima = true;
    bool piedeSullUltima = true;
    bool stampaSenzaRighe = true; // header and footer on one page without rows

    QSizeF pagina() const;     // the sheet in this orientation
    QRectF stampabile() const; // inside the margins
};
