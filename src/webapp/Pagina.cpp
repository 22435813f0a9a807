#include "Pagina.h"

namespace {

QString e(const QString& testo) {
    return testo.toHtmlEscaped();
}

} // namespace

QByteArray paginaHtml(const Risposta& r, const QString& azione, const QString& gettone) {
    const bool riuscito = r.stato >= 200 && r.stato < 300;
    QString h;
    h += QStringLiteral("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n");
    h += QStringLiteral("<title>") + e(r.titolo) + QStringLiteral(" - GFE</title>\n");
    h += QStringLiteral(
        "<style>body{font-family:sans-serif;margin:2em auto;max-width:52em;line-height:1.4}"
        "p.esito{font-size:1.2em;padding:.6em;border-left:.4em solid #666}"
        "p.esito.ok{border-left-color:#2a7a2a;background:#e8f4e8}"
        "p.esito.no{border-left-color:#b00020;background:#fbe9ec}"
        "p.nota{color:#666;font-size:.8em;margin-top:-.6em}"
        "table{border-collapse:collapse}th,td{border:1px solid #ccc;padding:.2em .5em;"
        "text-align:left}button{font-size:1.1em;padding:.4em 1.2em}"
        "footer{margin-top:2em;color:#666;font-size:.9em}</style>\n</head>\n<body>\n");
    h += QStringLiteral("<h1>") + e(r.titolo) + QStringLiteral("</h1>\n");
    h += QStringLiteral("<p class=\"esito %1\">")
             .arg(riuscito ? QStringLiteral("ok") : QStringLiteral("no")) +
         e(r.esito) + QStringLiteral("</p>\n");
    if (!r.nota.isEmpty())
        h += QStringLiteral("<p class=\"nota\">") + e(r.nota) + QStringLiteral("</p>\n");
    if (!r.dettagli.isEmpty()) {
        h += QStringLiteral("<ul>\n");
        for (const QString& d : r.dettagli)
            h += QStringLiteral("<li>") + e(d) + QStringLiteral("</li>\n");
        h += QStringLiteral("</ul>\n");
    }
    if (!r.colonne.isEmpty() || !r.righe.isEmpty()) {
        h += QStringLiteral("<table>\n");
        if (!r.colonne.isEmpty()) {
            h += QStringLiteral("<tr>");
            for (const QString& c : r.colonne)
                h += QStringLiteral("<th>") + e(c) + QStringLiteral("</th>");
            h += QStringLiteral("</tr>\n");
        }
        for (const QStringList& riga : r.righe) {
            h += QStringLiteral("<tr>");
            for (const QString& c : riga)
                h += QStringLiteral("<td>") + e(c) + QStringLiteral("</td>");
            h += QStringLiteral("</tr>\n");
        }
        h += QStringLiteral("</table>\n");
    }
    if (!gettone.isEmpty())
        h += QStringLiteral("<form method=\"post\" action=\"") + e(azione) +
             QStringLiteral("\">\n<input type=\"hidden\" name=\"gettone\" value=\"") + e(gettone) +
             QStringLiteral("\">\n<button type=\"submit\">") + e(r.pulsante) +
             QStringLiteral("</button>\n</form>\n");
    h += QStringLiteral(
             "<footer>GFE - fatturazione elettronica (codice %1)</footer>\n</body>\n</html>\n")
             .arg(r.stato);
    return h.toUtf8();
}
