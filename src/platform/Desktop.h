#pragma once

#include <QString>

class QWidget;

// What the windows ask of the desktop: message boxes, yes/no questions and opening a
// web address. The program installs the real one; tests install a scripted fake.
class Desktop {
public:
    virtual ~Desktop() = default;

    virtual void messaggio(const QString& testo) = 0;
    // A yes/no confirmation box; true only for Yes.
    virtual bool conferma(const QString& domanda) = 0;
    virtual void apriIndirizzo(const QString& indirizzo) = 0;

    // The installed desktop; the real one unless a test installed another.
    static Desktop& corrente();
    static void installa(Desktop* desktop); // nullptr restores the real one
};
