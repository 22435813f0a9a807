#include "TAzione.h"

#include "platform/Desktop.h"
#include "platform/Errore.h"

#include <QString>
#include <exception>

bool TAzione::esegui(const std::function<void()>& azione) {
    try {
        azione();
        return true;
    } catch (const Errore& e) {
        Desktop::corrente().messaggio(e.messaggio());
    } catch (const std::exception& e) {
        // Last resort for what the libraries below throw (std::bad_alloc and the like).
        Desktop::corrente().messaggio(QString::fromUtf8(e.what()));
    }
    return false;
}
