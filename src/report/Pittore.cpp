#include "Pittore.h"

#include "ErroreReport.h"
#include "platform/MotivoFile.h"

#include <QAction>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>

#include <cerrno>

namespace {

void richiediGui() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw ErroreReport(QStringLiteral("La stampa richiede l'ambiente grafico"));
}

QPageLayout layoutDi(const Impaginazione& imp) {
    return QPageLayout(QPageSize(imp.formato), imp.orientamento, QMarginsF());
}

class Tela {
public:
    Tela(QPagedPaintDevice& d, QPainter& p)
        : m_p(p), m_x(d.logicalDpiX() / 25.4), m_y(d.logicalDpiY() / 25.4) {}

    QRectF px(const QRectF& mm) const {
        return QRectF(mm.x() * m_x, mm.y() * m_y, mm.width() * m_x, mm.height() * m_y);
    }

    void scatola(const Scatola& s) {
        if (s.eTesto()) {
            testo(s);
            return;
        }
        QPen penna(Qt::black);
        penna.setWidthF(s.penna * 25.4 / 96.0 * m_x);
        penna.setCapStyle(Qt::SquareCap);
        penna.setJoinStyle(Qt::MiterJoin);
        m_p.setPen(penna);
        m_p.setBrush(Qt::NoBrush);
        const QRectF r = px(s.area);
        if (s.tipo == TipoElemento::Rettangolo)
            m_p.drawRect(r);
        else
            m_p.drawLine(r.topLeft(), r.bottomRight());
    }

private:
    void testo(const Scatola& s) {
        if (s.testo.isEmpty()) return;
        m_p.setPen(Qt::black);
        m_p.setFont(Pittore::font(s.carattere));
        int flags =
            int(s.allineamento & Qt::AlignHorizontal_Mask) | Qt::AlignTop | Qt::TextSingleLine;
        if (!s.ritaglia) flags |= Qt::TextDontClip;
        const QRectF r = px(s.area);
        if (s.ritaglia) {
            m_p.save();
            m_p.setClipRect(r);
        }
        if (s.aCapo) {
            // One line after the other, each as high as the layout reckoned.
            const double riga = altezzaTesto(s.carattere) * m_y;
            const QStringList righe = s.testo.split(QLatin1Char('\n'));
            for (qsizetype i = 0; i < righe.size(); ++i)
                m_p.drawText(QRectF(r.left(), r.top() + riga * double(i), r.width(), riga), flags,
                             righe[i]);
        } else {
            m_p.drawText(r, flags, s.testo);
        }
        if (s.ritaglia) m_p.restore();
    }

    QPainter& m_p;
    double m_x;
    double m_y;
};

} // namespace

QString Pittore::famiglia(const QString& richiesta) {
    static const QHash<QString, QString> sostituti{
        {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
        {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
        {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
    };
    const QString s = sostituti.value(richiesta.toLower());
    if (!s.isEmpty() && QFontDatabase::hasFamily(s)) return s;
    return richiesta;
}

QFont Pittore::font(const Carattere& c) {
    QFont f(famiglia(c.famiglia));
    f.setPointSizeF(c.punti);
    f.setBold(c.grassetto);
    f.setItalic(c.corsivo);
    f.setUnderline(c.sottolineato);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

void Pittore::dipingi(const Impaginazione& imp, QPagedPaintDevice& dispositivo, QPainter& painter,
                      int primaPagina, int ultimaPagina) {
    richiediGui();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Tela tela(dispositivo, painter);
    bool prima = true;
    for (const Pagina& p : imp.pagine) {
        if ((primaPagina > 0 && p.numero < primaPagina) ||
            (ultimaPagina > 0 && p.numero > ultimaPagina))
            continue;
        if (!prima) dispositivo.newPage();
        prima = false;
        for (const Scatola& s : p.scatole)
            tela.scatola(s);
    }
}

void Pittore::pdf(const Impaginazione& imp, const QString& percorso) {
    richiediGui();
    QSaveFile file(percorso);
    // Why the file could not be written goes with the refusal.
    const auto rifiuto = [&](int numeroErrore) {
        return ErroreReport(QStringLiteral("Impossibile scrivere %1: %2")
                                .arg(percorso, motivoFile(file, numeroErrore)));
    };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) throw rifiuto(errno);
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setPageLayout(layoutDi(imp));
        writer.setTitle(imp.titolo);
        writer.setCreator(QStringLiteral("GFE"));
        QPainter painter;
        if (!painter.begin(&writer)) throw rifiuto(0);
        dipingi(imp, writer, painter);
        painter.end();
    }
    errno = 0;
    if (!file.commit()) throw rifiuto(errno);
}

void Pittore::anteprima(const Impaginazione& imp, QWidget* genitore) {
    richiediGui();
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setFullPage(true);
    stampante.setPageLayout(layoutDi(imp));
    stampante.setDocName(imp.titolo);
    stampante.setCopyCount(1);
    QPrintPreviewDialog anteprima(&stampante, genitore);
    anteprima.setObjectName(QStringLiteral("Anteprima"));
    anteprima.setWindowTitle(QStringLiteral("Anteprima di stampa - ") + imp.titolo);
    QObject::connect(&anteprima, &QPrintPreviewDialog::paintRequested, &anteprima,
                     [&imp](QPrinter* p) {
                         QPainter painter(p);
                         dipingi(imp, *p, painter, p->fromPage(), p->toPage());
                     });
    // As large as the screen, the page as wide as the window: the text reads at once.
    if (const QScreen* schermo =
            genitore && genitore->screen() ? genitore->screen() : QGuiApplication::primaryScreen())
        anteprima.setGeometry(schermo->availableGeometry());
    anteprima.setWindowState(Qt::WindowMaximized);
    if (auto* larghezza = anteprima.findChild<QAction*>(QStringLiteral("fitWidthAction")))
        larghezza->trigger();
    else if (auto* vista = anteprima.findChild<QPrintPreviewWidget*>())
        vista->fitToWidth();
    anteprima.exec();
}
