#pragma once

#include "platform/Desktop.h"

// A desktop without a user, for unattended runs: messages go to the error stream,
// every question is answered No and no web address is opened.
class DesktopConsole : public Desktop {
public:
    void messaggio(const QString& testo) override;
    bool conferma(const QString& domanda) override;
    void apriIndirizzo(const QString& indirizzo) override;
};
