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
    }
    return false;
}
