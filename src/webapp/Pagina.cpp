#include "Pagina.h"

QByteArray paginaHtml(const Risposta& r) {
    const bool riuscito = r.stato >= 200 && r.stato < 300;
    QString h;
    h += QStringLiteral("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n");
    h += QStringLiteral("<title>") + r.titolo.toHtmlEscaped() + QStringLiteral(" - GFE</title>\n");
    h += QStringLiteral(
        "<style>body{font-family:sans-serif;margin:2em auto;max-width:48em;"
        "line-height:1.4}p.esito{font-size:1.2em;padding:.6em;border-left:.4em solid}"
        ".ok{border-color:#2a7a2a}.no{border-color:#b00020}"
        "footer{margin-top:2em;color:#666;font-size:.9em}</style>\n</head>\n<body>\n");
    h += QStringLiteral("<h1>") + r.titolo.toHtmlEscaped() + QStringLiteral("</h1>\n");
    h += QStringLiteral("<p class=\"esito %1\">")
             .arg(riuscito ? QStringLiteral("ok") : QStringLiteral("no")) +
         r.esito.toHtmlEscaped() + QStringLiteral("</p>\n");
    if (!r.dettagli.isEmpty()) {
        h += QStringLiteral("<ul>\n");
        for (const QString& d : r.dettagli)
            h += QStringLiteral("<li>") + d.toHtmlEscaped() + QStringLiteral("</li>\n");
        h += QStringLiteral("</ul>\n");
    }
    h += QStringLiteral(
             "<footer>GFE - fatturazione elettronica (codice %1)</footer>\n</body>\n</html>\n")
             .arg(r.stato);
    return h.toUtf8();
}
