#include "platform/FinestraMessaggio.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int kRigheMassime = 8;
constexpr int kCaratteriMassimi = 600;
} // namespace

bool FinestraMessaggio::serve(const QString& testo) {
    return testo.count(u'\n') >= kRigheMassime || testo.size() > kCaratteriMassimi;
}

FinestraMessaggio::FinestraMessaggio(const QString& t, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FinestraMessaggio"));
    setSizeGripEnabled(true);
    riepilogo = new QLabel(t.section(u'\n', 0, 0), this);
    riepilogo->setObjectName(QStringLiteral("riepilogo"));
    riepilogo->setWordWrap(true);
    QFont grassetto = riepilogo->font();
    grassetto.setBold(true);
    riepilogo->setFont(grassetto);
    testo = new QPlainTextEdit(this);
    testo->setObjectName(QStringLiteral("testo"));
    testo->setReadOnly(true);
    testo->setLineWrapMode(QPlainTextEdit::NoWrap);
    testo->setPlainText(t);
    copia = new QPushButton(QStringLiteral("Copia"), this);
    copia->setObjectName(QStringLiteral("copia"));
    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(copia, &QPushButton::clicked, this, [t] { QGuiApplication::clipboard()->setText(t); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* pulsanti = new QHBoxLayout;
    pulsanti->addWidget(copia);
    pulsanti->addStretch();
    pulsanti->addWidget(ok);
    auto* colonna = new QVBoxLayout(this);
    colonna->addWidget(riepilogo);
    colonna->addWidget(testo, 1);
    colonna->addLayout(pulsanti);

    // Wide enough for a finding's line, tall enough for the text, within the screen.
    const QScreen* schermo =
        parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = schermo ? schermo->availableGeometry() : QRect(0, 0, 800, 600);
    const QFontMetrics fm(testo->font());
    int larghezza = 0;
    const QStringList righe = t.split(u'\n');
    for (const QString& r : righe)
        larghezza = std::max(larghezza, fm.horizontalAdvance(r));
    const int w = std::clamp(larghezza + 60, 420, area.width() * 9 / 10);
    const int h =
        std::clamp(int(righe.size()) * fm.lineSpacing() + 120, 240, area.height() * 8 / 10);
    resize(w, h);
}
