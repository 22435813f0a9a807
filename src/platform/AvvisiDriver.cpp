#include "platform/AvvisiDriver.h"

#include <QString>
#include <QtGlobal>

namespace {

QtMessageHandler g_precedente = nullptr;

void filtra(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
    if (tipo == QtWarningMsg && testo.startsWith(QLatin1String("QMYSQLResult::cleanup:"))) return;
    if (g_precedente) g_precedente(tipo, contesto, testo);
}

} // namespace

void nascondiAvvisiDriver() {
    QtMessageHandler precedente = qInstallMessageHandler(filtra);
    if (precedente != filtra) g_precedente = precedente;
}
