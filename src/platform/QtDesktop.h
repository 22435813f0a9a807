#pragma once

#include "Desktop.h"

// The real desktop: Qt message boxes and the desktop's "open" action.
class QtDesktop : public Desktop {
public:
    void messaggio(const QString& testo) override;
    bool conferma(const QString& domanda) override;
    void apriIndirizzo(const QString& indirizzo) override;
};
