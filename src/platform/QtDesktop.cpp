#include "QtDesktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace {
QWidget* finestraAttiva() {
    return QApplication::activeWindow();
}
} // namespace

void QtDesktop::messaggio(const QString& testo) {
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
