#include "copia/CopiaHtml.h"

namespace {

const char* const kStile = R"(
@page { size: A4; margin: 12mm; }
body { font-family: "Liberation Sans", Arial, sans-serif; font-size: 10pt; color: #1d1d1d;
       margin: 0; background: #eef0f3; }
.foglio { background: #fff; max-width: 200mm; margin: 12px auto; padding: 10mm 12mm;
          box-shadow: 0 1px 4px rgba(0,0,0,.2); }
.documento + .documento { page-break-before: always; margin-top: 12mm; }
h1 { font-size: 16pt; margin: 0 0 2mm 0; }
.file { color: #555; font-size: 9pt; margin-bottom: 4mm; }
.file a { margin-left: 1em; }
h2 { font-size: 10.5pt; margin: 5mm 0 1.5mm 0; padding-bottom: 1mm; border-bottom: 1.5px solid #333; }
.affiancate { display: flex; gap: 6mm; }
.affiancate > section { flex: 1 1 0; min-width: 0; }
table { border-collapse: collapse; width: 100%; table-layout: fixed; }
th, td { text-align: left; vertical-align: top; padding: 1mm 1.2mm; overflow-wrap: anywhere; }
table.voci td.etichetta { width: 36%; color: #555; }
table.tabella th { background: #e8e8e8; border-bottom: 1px solid #333; font-size: 8.5pt; }
table.tabella td { border-bottom: 0.5px solid #bbb; font-size: 8.5pt; }
.destra { text-align: right; }
thead { display: table-header-group; }
tr { page-break-inside: avoid; }
p { margin: 0 0 1.5mm 0; }
.totale { margin-top: 6mm; border: 2px solid #333; padding: 2mm 3mm; display: flex;
          justify-content: space-between; font-size: 13pt; font-weight: bold; }
.firma { font-size: 9pt; color: #555; }
.errore { border-left: 4px solid #b00020; padding: 2mm 4mm; background: #fdecee; }
@media print { body { background: #fff; } .foglio { box-shadow: none; margin: 0; padding: 0; } }
)";

void testo(QString& out, const QString& s) {
    // Line breaks of the file are kept; everything else is text.
    const QStringList righe = s.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < righe.size(); ++i) {
        if (i) out += QLatin1String("<br>");
        out += righe[i].toHtmlEscaped();
    }
}

void sezione(QString& out, const Sezione& s) {
    out += QLatin1String("<section><h2>");
    testo(out, s.titolo);
    out += QLatin1String("</h2>");
    switch (s.tipo) {
    case Sezione::Tipo::Voci:
        out += QLatin1String("<table class=\"voci\">");
        for (const Voce& v : s.voci) {
            out += QLatin1String("<tr><td class=\"etichetta\">");
            testo(out, v.etichetta);
            out += QLatin1String("</td><td>");
            testo(out, v.valore);
            out += QLatin1String("</td></tr>");
        }
        out += QLatin1String("</table>");
        break;
    case Sezione::Tipo::Tabella: {
        out += QLatin1String("<table class=\"tabella\"><colgroup>");
        for (const Colonna& c : s.colonne)
            out += QStringLiteral("<col style=\"width:%1%\">").arg(c.larghezza * 100, 0, 'f', 1);
        out += QLatin1String("</colgroup><thead><tr>");
        for (const Colonna& c : s.colonne) {
            out += c.destra ? QLatin1String("<th class=\"destra\">") : QLatin1String("<th>");
            testo(out, c.titolo);
            out += QLatin1String("</th>");
        }
        out += QLatin1String("</tr></thead><tbody>");
        for (const QStringList& riga : s.righe) {
            out += QLatin1String("<tr>");
            for (qsizetype i = 0; i < s.colonne.size(); ++i) {
                out += s.colonne[i].destra ? QLatin1String("<td class=\"destra\">")
                                           : QLatin1String("<td>");
                testo(out, riga.value(i));
                out += QLatin1String("</td>");
            }
            out += QLatin1String("</tr>\n");
        }
        out += QLatin1String("</tbody></table>");
        break;
    }
    case Sezione::Tipo::Testo:
        for (const QString& p : s.paragrafi) {
            out += QLatin1String("<p>");
            testo(out, p);
            out += QLatin1String("</p>");
        }
        break;
    }
    out += QLatin1String("</section>\n");
}

QString inizio(const QString& titolo) {
    QString out = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"it\"><head><meta charset=\"utf-8\">"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
        "style-src 'unsafe-inline'\">"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>");
    out += titolo.toHtmlEscaped();
    out += QLatin1String("</title><style>");
    out += QLatin1String(kStile);
    out += QLatin1String("</style></head><body><div class=\"foglio\">\n");
    return out;
}

QString attributo(const QString& s) {
    return s.toHtmlEscaped();
}

} // namespace

QByteArray copiaHtml(const Copia& copia, const OpzioniHtml& opzioni) {
    const QString titolo = copia.documenti.isEmpty() ? copia.nomeFile
                                                     : copia.documenti.first().titolo +
                                                           QStringLiteral(" - ") + copia.nomeFile;
    QString out = inizio(titolo);
    qsizetype stima = 0;
    for (const DocumentoCopia& d : copia.documenti)
        for (const Sezione& s : d.sezioni)
            stima += s.righe.size() * 400;
    out.reserve(out.size() + stima + 16384);
    for (qsizetype n = 0; n < copia.documenti.size(); ++n) {
        const DocumentoCopia& doc = copia.documenti[n];
        out += QLatin1String("<article class=\"documento\"><h1>");
        testo(out, doc.titolo);
        out += QLatin1String("</h1><div class=\"file\">");
        QString riga = QStringLiteral("File ") + copia.nomeFile;
        if (copia.documenti.size() > 1)
            riga += QStringLiteral(", documento %1 di %2").arg(n + 1).arg(copia.documenti.size());
        if (!copia.formato.isEmpty()) riga += QStringLiteral(", ") + copia.formato;
        testo(out, riga);
        if (!opzioni.indirizzoPdf.isEmpty())
            out += QStringLiteral("<a href=\"%1\">Copia in PDF</a>")
                       .arg(attributo(opzioni.indirizzoPdf));
        if (!copia.firma.isEmpty()) {
            out += QLatin1String("<div class=\"firma\">");
            testo(out, copia.firma);
            out += QLatin1String("</div>");
        }
        out += QLatin1String("</div>\n");
        bool affiancate = false;
        for (const Sezione& s : doc.sezioni) {
            if (s.affiancata && !affiancate) out += QLatin1String("<div class=\"affiancate\">");
            if (!s.affiancata && affiancate) out += QLatin1String("</div>");
            affiancate = s.affiancata;
            sezione(out, s);
            if (s.titolo == QLatin1String("Allegati") && opzioni.indirizzoAllegato &&
                !doc.allegati.isEmpty()) {
                out += QLatin1String("<p>Salva:");
                for (qsizetype a = 0; a < doc.allegati.size(); ++a) {
                    const Allegato& al = doc.allegati[a];
                    if (!al.leggibile) continue;
                    out += QStringLiteral(" <a href=\"%1\" download=\"%2\">")
                               .arg(attributo(opzioni.indirizzoAllegato(int(n), int(a))),
                                    attributo(al.nomeFile));
                    testo(out, al.nomeFile);
                    out += QLatin1String("</a>");
                }
                out += QLatin1String("</p>");
            }
        }
        if (affiancate) out += QLatin1String("</div>");
        if (!doc.totale.isEmpty()) {
            out += QLatin1String("<div class=\"totale\"><span>Totale documento</span><span>");
            testo(out, doc.totale);
            out += QLatin1String("</span></div>");
        }
        out += QLatin1String("</article>\n");
    }
    out += QLatin1String("</div></body></html>\n");
    return out.toUtf8();
}

QByteArray erroreHtml(const QString& titolo, const QString& messaggio) {
    QString out = inizio(titolo);
    out += QLatin1String("<h1>");
    testo(out, titolo);
    out += QLatin1String("</h1><p class=\"errore\">");
    testo(out, messaggio);
    out += QLatin1String("</p></div></body></html>\n");
    return out.toUtf8();
}
