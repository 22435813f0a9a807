#include "TSt_Fatt.h"

#include "platform/Testi.h"
#include "report/Fonti.h"

#include <QDate>

namespace {

const QString kAzienda = QStringLiteral("AziendaT");
const QString kTestata = QStringLiteral("Testata");
const QString kDetta = QStringLiteral("Detta");
const QString kTestaCar = QStringLiteral("Testa_Car");
const QString kDettaCar = QStringLiteral("Detta_Car");
const QString kMaschera = QStringLiteral("#####0.00");

constexpr double kLarghezza = 190; // the printable width: the bands' width
constexpr Qt::Alignment S = Qt::AlignLeft, D = Qt::AlignRight, C = Qt::AlignHCenter;

Carattere arial(double punti, bool grassetto = false, bool sottolineato = false) {
    Carattere c;
    c.famiglia = QStringLiteral("Arial");
    c.punti = punti;
    c.grassetto = grassetto;
    c.sottolineato = sottolineato;
    return c;
}

Carattere titolo() {
    Carattere c;
    c.famiglia = QStringLiteral("Times New Roman");
    c.punti = 16;
    c.grassetto = true;
    c.corsivo = true;
    return c;
}

const Carattere A7U = arial(7, false, true), A8 = arial(8), A8U = arial(8, false, true),
                A10 = arial(10), A10B = arial(10, true), A10U = arial(10, false, true);

struct Testo {
    double x, y, w;
    const char* testo; // a caption, or a column with tabella
    Qt::Alignment a;
    const Carattere& c;
};

void etichette(Banda& b, std::initializer_list<Testo> testi) {
    for (const Testo& t : testi)
        b.aggiungi(Elemento::etichetta(t.x, t.y, t.w, QString::fromUtf8(t.testo), t.c, t.a));
}

void campi(Banda& b, const QString& tabella, std::initializer_list<Testo> testi) {
    for (const Testo& t : testi) {
        const QString colonna = QString::fromLatin1(t.testo);
        b.aggiungi(Elemento::campo(t.x, t.y, t.w, tabella, colonna, t.c, t.a)).chiamato(colonna);
    }
}

// A label a hook fills in.
void calcolato(Banda& b, const char* nome, double x, double y, double w, Qt::Alignment a,
               const Carattere& c) {
    b.aggiungi(Elemento::etichetta(x, y, w, QString(), c, a)).chiamato(QString::fromLatin1(nome));
}

// Names, addresses and towns shrink to fit their boxes: nothing runs over the next box
// (the town over the province) or past the page.
void restringi(Banda& b) {
    static const QStringList colonne{QStringLiteral("rag_soc"),    QStringLiteral("indirizzo"),
                                     QStringLiteral("comune"),     QStringLiteral("dest_soc"),
                                     QStringLiteral("dest_indir"), QStringLiteral("dest_comune"),
                                     QStringLiteral("mail")};
    for (Elemento& e : b.elementi)
        if (e.tipo == TipoElemento::Campo && colonne.contains(e.colonna)) e.restringi = true;
}

// A long code or description breaks onto more lines of its row, which grows for it.
void aCapo(Banda& b) {
    for (const char* nome : {"codice_val", "descrizione"})
        b.elemento(QString::fromLatin1(nome)).aCapo = true;
}

void separatori(Banda& b, double y, double h, std::initializer_list<double> xs) {
    for (double x : {0.0, kLarghezza})
        b.aggiungi(Elemento::verticale(x, y, h));
    for (double x : xs)
        b.aggiungi(Elemento::verticale(x, y, h));
}

void intestazioni(Banda& b, double y, double xImporto) {
    etichette(b, {{2.1, y, 20.6, "COD.ARTICOLO", S, A8},
                  {24.9, y, 17.7, "DESCRIZIONE", S, A8},
                  {108.0, y, 14.6, "QUANTITA'", S, A8},
                  {128.6, y, 11.1, "PREZZO", S, A8},
                  {142.1, y, 7.1, "%Sc.", S, A8},
                  {xImporto, y, 12.2, "IMPORTO", S, A8},
                  {176.5, y, 10.6, "Aliquota", S, A8}});
}

void pagina(Banda& b) {
    etichette(b, {{173.6, 2.1, 6.9, "PAG.", S, A8}});
    b.aggiungi(Elemento::numeroPagina(182.0, 2.1, 5.3, A10, D)).chiamato(QStringLiteral("pagina"));
}

void imponibiliIva(Banda& b, double y, int gruppi) {
    const double xs[][3] = {{2.1, 14.6, 40.2}, {46.6, 61.4, 84.7}, {91.0, 105.8, 129.1}};
    for (int g = 0; g < gruppi; ++g)
        etichette(b, {{xs[g][0], y, 10.6, "Aliquota", S, A8},
                      {xs[g][1], y, 12.4, "Imponibile", S, A8},
                      {xs[g][2], y, 4.0, "Iva", S, A8}});
}

QString testo(const Fonti& f, const QString& tabella, const char* colonna) {
    return f.testo(tabella, QString::fromLatin1(colonna));
}

} // namespace

TSt_Fatt::TSt_Fatt(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("St_Fatt"));
    creaQR1();
    creaQR2();
}

TSt_Fatt::~TSt_Fatt() = default;

void TSt_Fatt::creaQR1() {
    QR1.nome = QStringLiteral("QR1");
    QR1.titolo = QStringLiteral("Fattura");
    QR1.cornice = true;
    QR1.tabellaDettaglio = kDetta;

    Banda h(TipoBanda::Intestazione, QStringLiteral("QRBand10"), 74.9);
    h.bordi.sotto = true;
    campi(h, kAzienda, {{4.2, 2.1, 101.9, "rag_soc", S, titolo()}});
    pagina(h);
    campi(h, kAzienda,
          {{4.2, 10.6, 95.5, "indirizzo", S, A8},
           {4.2, 15.3, 10.8, "cap", S, A8},
           {16.9, 15.3, 89.2, "comune", S, A8},
           {12.2, 20.9, 29.9, "p_iva", S, A8},
           {66.1, 20.9, 29.9, "cod_fis", S, A8},
           {10.1, 26.5, 29.9, "telefono", S, A8},
           {48.7, 26.5, 57.4, "mail", S, A8}});
    etichette(h, {{109.5, 10.6, 9.8, "Spett.le", S, A8U},
                  {4.0, 20.9, 7.1, "P.Iva:", S, A8},
                  {48.4, 20.9, 16.7, "Cod. Fiscale:", S, A8},
                  {4.0, 26.5, 4.8, "Tel.", S, A8},
                  {42.1, 26.5, 5.8, "Mail:", S, A8},
                  {109.5, 29.6, 68.3, "LUOGO DI DESTINAZIONE (SE DIVERSO DAL DOMICILIO)", S, A7U},
                  {108.0, 55.0, 17.2, "PARTITA IVA", S, A8},
                  {148.2, 55.0, 33.1, "NUM./DATA DOCUMENTO", S, A8},
                  {2.1, 57.1, 32.0, "TIPO DOCUMENTO:", S, A10U}});
    campi(h, kTestata,
          {{109.5, 14.8, 78.6, "rag_soc", S, A10},
           {109.5, 19.1, 78.6, "indirizzo", S, A10},
           {109.5, 23.3, 10.8, "cap", S, A10},
           {121.4, 23.3, 57.1, "comune", S, A10},
           {179.9, 23.3, 8.2, "prov", S, A10},
           {109.5, 33.9, 78.6, "dest_soc", S, A10},
           {109.5, 38.1, 78.6, "dest_indir", S, A10},
           {109.5, 42.3, 13.0, "dest_cap", S, A10},
           {124.4, 42.3, 63.5, "dest_comune", S, A10},
           {36.5, 57.1, 63.2, "tipo_doc", S, A10B},
           {109.5, 59.3, 7.9, "p_iva", S, A10},
           {142.3, 59.3, 8.2, "num_doc", D, A10B}});
    calcolato(h, "QRLabel84", 150.8, 59.3, 14.0, S, A10B);
    campi(h, kTestata, {{166.7, 59.3, 15.6, "data_doc", S, A10B}});
    intestazioni(h, 69.6, 159.5);
    h.aggiungi(Elemento::rettangolo(2.1, 1.1, 106.1, 36.8));
    h.aggiungi(Elemento::rettangolo(108.0, 27.8, 82.0, 21.7));
    h.aggiungi(Elemento::orizzontale(0, 50.8, kLarghezza, 2));
    h.aggiungi(Elemento::orizzontale(0, 65.6, kLarghezza, 2));
    separatori(h, 66.9, 74.9 - 66.9, {22.8, 104.8, 122.5, 140.0, 150.0, 173.0});
    restringi(h);
    h.primaDellaStampa = &TSt_Fatt::QRBand10BeforePrint;
    QR1.intestazione = h;

    Banda d(TipoBanda::Dettaglio, QStringLiteral("QRBand11"), 5.6);
    d.bordi.sinistra = d.bordi.destra = d.bordi.sotto = true;
    campi(d, kDetta,
          {{1.6, 0.0, 19.8, "codice_val", S, A8},
           {24.3, 0.0, 79.6, "descrizione", S, A8},
           {106.6, 0.0, 12.2, "quantita", D, A8},
           {125.7, 0.0, 14.3, "prezzo_unit", D, A8},
           {142.6, 0.0, 6.3, "sc_perc", C, A8},
           {155.3, 0.0, 16.7, "prezzo_tot", D, A8},
           {177.8, 0.0, 9.0, "aliquota", D, A8}});
    aCapo(d);
    for (double x : {22.8, 104.8, 122.5, 140.0, 150.0, 173.0})
        d.aggiungi(Elemento::verticale(x, 0, 5.6));
    QR1.dettaglio = d;

    Banda p(TipoBanda::PiePagina, QStringLiteral("QRBand12"), 38.9);
    imponibiliIva(p, 2.1, 3);
    etichette(p,
              {{146.8, 2.1, 15.6, "Imponibile", D, A10}, {151.3, 6.3, 11.1, "Tot. Iva", S, A10}});
    calcolato(p, "imponib", 163.8, 2.1, 22.8, D, A10);
    calcolato(p, "iva", 163.8, 6.3, 22.8, D, A10);
    campi(p, kTestata,
          {{2.1, 7.1, 7.9, "aliquota", D, A8},
           {11.6, 7.1, 15.1, "imponibile", D, A8},
           {31.8, 7.1, 12.4, "imposta", D, A8},
           {46.6, 7.1, 7.9, "aliquota2", D, A8},
           {58.7, 7.1, 15.1, "imponibile2", D, A8},
           {76.2, 7.1, 12.4, "imposta2", D, A8},
           {91.0, 7.1, 7.9, "aliquota3", D, A8},
           {103.2, 7.1, 15.1, "imponibile3", D, A8},
           {120.7, 7.1, 12.4, "imposta3", D, A8}});
    etichette(p, {{2.1, 12.7, 10.6, "Aliquota", S, A8},
                  {16.9, 12.7, 12.4, "Imponibile", S, A8},
                  {40.2, 12.7, 4.0, "Iva", S, A8},
                  {138.9, 12.7, 23.8, "Totale Fattura", S, A10B}});
    campi(p, kTestata,
          {{164.3, 12.7, 22.8, "tot_doc", D, A10B},
           {2.1, 17.7, 7.9, "aliquota4", D, A8},
           {14.3, 17.7, 15.1, "imponibile4", D, A8},
           {31.8, 17.7, 12.4, "imposta4", D, A8}});
    etichette(p, {{1.6, 26.2, 16.4, "Esenzione", S, A10}, {177.3, 26.2, 7.1, "Colli", S, A10}});
    // The legal references of the invoice's exempt rates.
    campi(p, kTestata,
          {{19.1, 26.2, 91.5, "normativa", S, A8},
           {19.1, 30.4, 91.5, "normativa2", S, A8},
           {169.3, 30.4, 15.1, "colli", D, A8}});
    for (double x : {1.1, 45.5, 90.0})
        p.aggiungi(Elemento::rettangolo(x, 1.3, 44.7, 10.6));
    p.aggiungi(Elemento::rettangolo(1.1, 11.6, 44.7, 11.1));
    p.aggiungi(Elemento::rettangolo(137.6, 0.5, 50.3, 19.8, 2));
    p.aggiungi(Elemento::rettangolo(1.1, 22.5, 186.8, 15.1));
    p.primaDellaStampa = &TSt_Fatt::QRBand12BeforePrint;
    QR1.piede = p;
}

void TSt_Fatt::creaQR2() {
    QR2.nome = QStringLiteral("QR2");
    QR2.titolo = QStringLiteral("Fattura di acquisto");
    QR2.tabellaDettaglio = kDettaCar;

    Banda h(TipoBanda::Intestazione, QStringLiteral("QRBand1"), 64.8);
    campi(h, kTestaCar, {{4.2, 2.1, 101.9, "rag_soc", S, titolo()}});
    pagina(h);
    campi(h, kTestaCar,
          {{4.2, 10.6, 95.5, "indirizzo", S, A8},
           {4.2, 15.3, 10.8, "cap", S, A8},
           {16.9, 15.3, 89.2, "comune", S, A8},
           {12.2, 20.9, 29.9, "p_iva", S, A8},
           {66.1, 20.9, 29.9, "cod_fis", S, A8}});
    etichette(h, {{109.5, 10.6, 9.8, "Spett.le", S, A8U},
                  {4.0, 20.9, 7.1, "P.Iva:", S, A8},
                  {48.4, 20.9, 16.7, "Cod. Fiscale:", S, A8},
                  {108.0, 44.5, 17.2, "PARTITA IVA", S, A8},
                  {148.2, 44.5, 33.1, "NUM./DATA DOCUMENTO", S, A8},
                  {2.1, 46.6, 32.0, "TIPO DOCUMENTO:", S, A10U}});
    campi(h, kAzienda,
          {{109.5, 14.8, 78.6, "rag_soc", S, A10},
           {109.5, 19.1, 78.6, "indirizzo", S, A10},
           {109.5, 23.3, 10.8, "cap", S, A10},
           {121.4, 23.3, 57.1, "comune", S, A10},
           {179.9, 23.3, 8.2, "prov", S, A10}});
    campi(h, kTestaCar,
          {{36.5, 46.6, 63.2, "tipo_doc", S, A10B},
           {109.5, 48.7, 7.9, "p_iva", S, A10},
           {152.9, 48.7, 8.2, "num_doc", D, A10B},
           {166.7, 48.7, 15.6, "data_doc", S, A10B}});
    intestazioni(h, 57.9, 157.4);
    restringi(h);
    h.aggiungi(Elemento::rettangolo(2.1, 1.1, 106.1, 30.2));
    for (double y : {40.2, 53.7, 62.4})
        h.aggiungi(Elemento::orizzontale(0, y, kLarghezza, 2));
    separatori(h, 53.7, 64.8 - 53.7, {22.8, 104.8, 122.5, 140.0, 150.0, 172.0});
    QR2.intestazione = h;

    Banda d(TipoBanda::Dettaglio, QStringLiteral("QRBand2"), 8.2);
    campi(d, kDettaCar,
          {{1.6, 0.8, 17.7, "codice_val", S, A8},
           {25.1, 0.8, 78.8, "descrizione", S, A8},
           {108.7, 0.8, 12.2, "quantita", D, A8},
           {125.4, 0.8, 14.3, "prezzo_unit", D, A8},
           {142.6, 0.8, 6.3, "sc_perc", C, A8},
           {153.2, 0.8, 16.7, "prezzo_tot", D, A8},
           {176.5, 0.8, 10.1, "aliquota", D, A8}});
    aCapo(d);
    separatori(d, 0, 8.2, {22.8, 104.8, 122.5, 140.0, 150.0, 172.0});
    d.aggiungi(Elemento::orizzontale(0, 6.1, kLarghezza));
    QR2.dettaglio = d;

    Banda p(TipoBanda::PiePagina, QStringLiteral("QRBand3"), 25.9);
    etichette(p, {{5.0, 3.2, 16.7, "Tot. Merce", S, A10},
                  {25.1, 3.2, 10.1, "Spese", S, A10},
                  {48.4, 3.2, 15.3, "% Sconto", S, A10},
                  {69.1, 3.2, 18.8, "Imp. Sconto", S, A10},
                  {146.8, 4.2, 15.6, "Imponibile", D, A10},
                  {151.3, 8.5, 11.1, "Tot. Iva", S, A10}});
    calcolato(p, "imponib1", 163.8, 4.2, 22.8, D, A10);
    calcolato(p, "iva1", 163.8, 8.5, 22.8, D, A10);
    calcolato(p, "imp_lordo1", 4.8, 7.1, 16.4, D, A10);
    calcolato(p, "spese1", 24.1, 7.1, 21.2, D, A10);
    campi(p, kTestaCar,
          {{52.7, 6.9, 7.7, "sc_perc", D, A10}, {67.5, 6.9, 20.4, "sc_importo", D, A10}});
    imponibiliIva(p, 14.8, 2);
    etichette(p, {{138.9, 14.8, 23.8, "Totale Fattura", S, A10B}});
    campi(p, kTestaCar,
          {{164.3, 14.8, 22.8, "tot_doc", D, A10B},
           {2.1, 19.8, 7.9, "aliquota", D, A8},
           {11.6, 19.8, 15.1, "imponibile", D, A8},
           {31.8, 19.8, 12.4, "imposta", D, A8},
           {46.6, 19.8, 7.9, "aliquota2", D, A8},
           {58.7, 19.8, 15.1, "imponibile2", D, A8},
           {76.2, 19.8, 12.4, "imposta2", D, A8}});
    const double caselle[][2] = {{1.3, 22.2}, {23.3, 23.5}, {46.6, 19.3}, {65.6, 23.5}};
    for (const auto& c : caselle)
        p.aggiungi(Elemento::rettangolo(c[0], 2.6, c[1], 9.8, 2));
    p.aggiungi(Elemento::rettangolo(137.6, 2.6, 50.3, 19.8, 2));
    p.primaDellaStampa = &TSt_Fatt::QRBand3BeforePrint;
    QR2.piede = p;
}

float TSt_Fatt::importoPiede(const QString& t) {
    long double v = 0;
    if (!Testi::leggiNumero(QString(t).remove(QLatin1Char('.')), v)) return 0;
    return float(v);
}

void TSt_Fatt::QRBand10BeforePrint(Banda& banda, const Fonti& fonti) {
    const QDate data = Testi::data(testo(fonti, kTestata, "data_doc"));
    banda.elemento(QStringLiteral("QRLabel84")).testo =
        QStringLiteral("/ %1").arg(data.year(), 4, 10, QLatin1Char('0'));
}

void TSt_Fatt::QRBand12BeforePrint(Banda& banda, const Fonti& fonti) {
    float imponibile = 0;
    float iva = 0;
    for (const char* c : {"imponibile", "imponibile2", "imponibile3", "imponibile4"})
        imponibile += importoPiede(testo(fonti, kTestata, c));
    for (const char* c : {"imposta", "imposta2", "imposta3", "imposta4"})
        iva += importoPiede(testo(fonti, kTestata, c));
    banda.elemento(QStringLiteral("imponib")).testo = Testi::formatta(imponibile, kMaschera);
    banda.elemento(QStringLiteral("iva")).testo = Testi::formatta(iva, kMaschera);
}

void TSt_Fatt::QRBand3BeforePrint(Banda& banda, const Fonti& fonti) {
    const auto v = [&fonti](const char* c) { return importoPiede(testo(fonti, kTestaCar, c)); };
    const float sconto = v("sc_importo");
    const float imponibile = v("imponibile") + v("imponibile2");
    const float iva = v("imposta") + v("imposta2");
    const float spese = v("spese") + v("spese2");
    const float merce = sconto + imponibile - spese;
    banda.elemento(QStringLiteral("imponib1")).testo = Testi::formatta(imponibile, kMaschera);
    banda.elemento(QStringLiteral("iva1")).testo = Testi::formatta(iva, kMaschera);
    banda.elemento(QStringLiteral("spese1")).testo = Testi::formatta(spese, kMaschera);
    banda.elemento(QStringLiteral("imp_lordo1")).testo = Testi::formatta(merce, kMaschera);
}
