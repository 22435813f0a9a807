#include "LetturaPdf.h"

#include <QProcess>
#include <QRegularExpression>

namespace {

constexpr double kMm = 25.4 / 72.0; // PDF points to millimetres

QString esegui(const QString& programma, const QStringList& argomenti, QString& errore) {
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        errore = programma + QStringLiteral(": ") + QString::fromUtf8(p.readAllStandardError()) +
                 p.errorString();
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString testoHtml(QString s) {
    return s.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&apos;"), QStringLiteral("'"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

} // namespace

LetturaPdf::LetturaPdf(const QString& percorso) : m_percorso(percorso) {
    const QString html = esegui(QStringLiteral("pdftotext"),
                                {QStringLiteral("-bbox"), percorso, QStringLiteral("-")}, m_errore);
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)")re"
                       R"re( yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == QLatin1String("<page ")) {
            ++m_pagine;
            continue;
        }
        Parola p;
        p.pagina = m_pagine;
        p.testo = testoHtml(m.captured(5));
        p.area = QRectF(QPointF(m.captured(1).toDouble() * kMm, m.captured(2).toDouble() * kMm),
                        QPointF(m.captured(3).toDouble() * kMm, m.captured(4).toDouble() * kMm));
        m_parole << p;
    }
}

QString LetturaPdf::testo(int pagina) const {
    QStringList out;
    for (const Parola& p : m_parole)
        if (p.pagina == pagina) out << p.testo;
    return out.join(QLatin1Char(' '));
}

QList<Parola> LetturaPdf::trova(const QString& testo, int pagina) const {
    QList<Parola> out;
    for (const Parola& p : m_parole)
        if (p.testo == testo && (pagina == 0 || p.pagina == pagina)) out << p;
    return out;
}

QStringList LetturaPdf::caratteri() const {
    QString errore;
    const QStringList righe =
        esegui(QStringLiteral("pdffonts"), {m_percorso}, errore).split(QLatin1Char('\n'));
    QStringList out;
    // name type encoding emb sub uni object ID; the first two lines are the heading.
    for (const QString& r : righe.mid(2)) {
        const QStringList c = r.simplified().split(QLatin1Char(' '));
        if (c.size() >= 7) out << c.first() + QStringLiteral(": embedded ") + c.at(c.size() - 5);
    }
    return out;
}
