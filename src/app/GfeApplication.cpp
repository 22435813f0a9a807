#include "GfeApplication.h"

#include "platform/Desktop.h"
#include "platform/Errore.h"
#include "platform/Traduzioni.h"

#include <QFont>

GfeApplication::GfeApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The windows' default face, where it is not installed: a sans serif of like width.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    setOrganizationName(QStringLiteral("GFE"));
    setApplicationDisplayName(QString::fromUtf8(kNomeProgramma));
    caricaTraduzioni(*this);
}

bool GfeApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const Errore& e) {
        Desktop::corrente().messaggio(e.messaggio());
    } catch (const std::exception& e) {
        // Last resort for what the libraries below throw (std::bad_alloc and the like).
        Desktop::corrente().messaggio(QString::fromUtf8(e.what()));
    }
    // Handled: the user has seen the error.
    return true;
}
