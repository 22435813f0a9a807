#include "GfeApplication.h"

#include "platform/Traduzioni.h"
#include "widgets/TAzione.h"

#include <QFont>

GfeApplication::GfeApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The windows' default face, where it is not installed: a sans serif of like width.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    setOrganizationName(QStringLiteral("GFE"));
    setApplicationDisplayName(QString::fromUtf8(kNomeProgramma));
    caricaTraduzioni(*this);
}

// An error escaping a handler goes through the windows' funnel; the event then counts
// as handled, since the user has seen the error.
bool GfeApplication::notify(QObject* receiver, QEvent* event) {
    bool esito = true;
    TAzione::esegui([&] { esito = QApplication::notify(receiver, event); });
    return esito;
}
