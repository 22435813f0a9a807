#include "TAzione.h"

#include "platform/Desktop.h"

#include <QString>
#include <exception>

bool TAzione::esegui(const std::function<void()>& azione) {
    try {
        azione();
        return true;
    } catch (const std::exception& e) {
        // Every error of the lower layers carries its Italian message, UTF-8 in what().
        Desktop::corrente().messaggio(QString::fromUtf8(e.what()));
    }
    return false;
}
