#include "Report.h"

#include "ErroreReport.h"

namespace {

Elemento casella(TipoElemento tipo, double x, double y, double w, const Carattere& c,
                 Qt::Alignment a) {
    Elemento e;
    e.tipo = tipo;
    e.area = QRectF(x, y, w, 0);
    e.carattere = c;
    e.allineamento = a;
    return e;
}

Elemento forma(TipoElemento tipo, double x, double y, double w, double h, double penna) {
    Elemento e;
    e.tipo = tipo;
    e.area = QRectF(x, y, w, h);
    e.penna = penna;
    return e;
}

} // namespace

Elemento Elemento::etichetta(double x, double y, double w, const QString& testo_,
                             const Carattere& c, Qt::Alignment a) {
    Elemento e = casella(TipoElemento::Etichetta, x, y, w, c, a);
    e.testo = testo_;
    return e;
}

Elemento Elemento::campo(double x, double y, double w, const QString& tabella_,
                         const QString& colonna_, const Carattere& c, Qt::Alignment a) {
    Elemento e = casella(TipoElemento::Campo, x, y, w, c, a);
    e.tabella = tabella_;
    e.colonna = colonna_;
    return e;
}

Elemento Elemento::numeroPagina(double x, double y, double w, const Carattere& c, Qt::Alignment a) {
    return casella(TipoElemento::NumeroPagina, x, y, w, c, a);
}

Elemento Elemento::rettangolo(double x, double y, double w, double h, double penna) {
    return forma(TipoElemento::Rettangolo, x, y, w, h, penna);
}

Elemento Elemento::orizzontale(double x, double y, double w, double penna) {
    return forma(TipoElemento::Linea, x, y, w, 0, penna);
}

Elemento Elemento::verticale(double x, double y, double h, double penna) {
    return forma(TipoElemento::Linea, x, y, 0, h, penna);
}

Elemento& Banda::elemento(const QString& n) {
    for (Elemento& e : elementi)
        if (e.nome == n) return e;
    throw ErroreReport(QStringLiteral("Elemento %1 non trovato nella banda %2").arg(n, nome));
}

const Elemento& Banda::elemento(const QString& n) const {
    return const_cast<Banda*>(this)->elemento(n);
}

QSizeF Report::pagina() const {
    return QPageLayout(QPageSize(formato), orientamento, QMarginsF())
        .fullRect(QPageLayout::Millimeter)
        .size();
}

QRectF Report::stampabile() const {
    const QSizeF p = pagina();
    return QRectF(margini.left(), margini.top(), p.width() - margini.left() - margini.right(),
                  p.height() - margini.top() - margini.bottom());
}
