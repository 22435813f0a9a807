#include "QtDesktop.h"

#include "platform/FinestraMessaggio.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {
QWidget* finestraAttiva() {
    return QApplication::activeWindow();
}
} // namespace

// The one funnel of the windows' messages: a short one in a message box, a long list
// in a window made for it. Both are titled with the program's name.
void QtDesktop::messaggio(const QString& testo) {
    if (FinestraMessaggio::serve(testo)) {
        FinestraMessaggio finestra(testo, finestraAttiva());
        finestra.exec();
        return;
    }
    QMessageBox::information(finestraAttiva(), QString(), testo);
}

bool QtDesktop::conferma(const QString& domanda) {
    return QMessageBox::question(finestraAttiva(), QStringLiteral("Conferma"), domanda,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtDesktop::apriIndirizzo(const QString& indirizzo) {
    QDesktopServices::openUrl(QUrl(indirizzo));
}
