#pragma once

#include "platform/Desktop.h"

#include <QList>
#include <QStringList>

// A scripted desktop for tests: records what the program shows and asks, and answers
// questions from a queue (No once the queue is empty). Installed while it lives.
class FakeDesktop : public Desktop {
public:
    FakeDesktop();
    ~FakeDesktop() override;
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    void messaggio(const QString& testo) override;
    bool conferma(const QString& domanda) override;
    void apriIndirizzo(const QString& indirizzo) override;

    QStringList messaggi;
    QStringList domande;
    QStringList indirizzi;
    QList<bool> risposte; // answers to the next questions, in order
};
