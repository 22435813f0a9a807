#include "TAttesaImport.h"

#include "ImportaFatture.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>

namespace {

// Repaints at most this often: the run is not slowed by its own feedback.
constexpr int kIntervalloMs = 100;

bool inputUtente(QEvent::Type tipo) {
    switch (tipo) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

TAttesaImport::TAttesaImport(QWidget* finestra) {
    m_dialogo = new QProgressDialog(finestra);
    m_dialogo->setObjectName(QStringLiteral("AttesaImport"));
    m_dialogo->setWindowTitle(QStringLiteral("Importa Fatture"));
    m_dialogo->setCancelButton(nullptr);
    // Not modal: a modal progress dialog would run the event loop at every step.
    m_dialogo->setWindowModality(Qt::NonModal);
    m_dialogo->setMinimumDuration(0);
    m_dialogo->setAutoClose(false);
    m_dialogo->setAutoReset(false);
    m_dialogo->setLabelText(QStringLiteral("Lettura dei documenti..."));
    m_dialogo->setRange(0, 0);
    m_dialogo->show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    m_ridisegno.start();
}

TAttesaImport::~TAttesaImport() {
    qApp->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
    delete m_dialogo;
}

void TAttesaImport::aggiorna(const AvanzamentoImportazione& a) {
    if (m_ridisegno.elapsed() < kIntervalloMs && a.letti < a.totale && !a.inAttesa) return;
    if (a.inAttesa) {
        m_dialogo->setRange(0, 0);
        m_dialogo->setLabelText(QStringLiteral("In attesa del termine di un'altra importazione "
                                               "in corso..."));
    } else {
        m_dialogo->setRange(0, a.totale);
        m_dialogo->setValue(a.letti);
        m_dialogo->setLabelText(QStringLiteral("Documenti letti: %1 di %2\nFatture create: %3")
                                    .arg(a.letti)
                                    .arg(a.totale)
                                    .arg(a.importate));
    }
    // Paint and timer events pass; user input is dropped by the filter.
    QCoreApplication::processEvents();
    m_ridisegno.restart();
}

bool TAttesaImport::eventFilter(QObject* oggetto, QEvent* evento) {
    if (inputUtente(evento->type())) return true;
    return QObject::eventFilter(oggetto, evento);
}
