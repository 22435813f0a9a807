#include "FakeDesktop.h"

FakeDesktop::FakeDesktop() {
    Desktop::installa(this);
}

FakeDesktop::~FakeDesktop() {
    Desktop::installa(nullptr);
}

void FakeDesktop::messaggio(const QString& testo) {
    messaggi << testo;
}

bool FakeDesktop::conferma(const QString& domanda) {
    domande << domanda;
    return risposte.isEmpty() ? false : risposte.takeFirst();
}

void FakeDesktop::apriIndirizzo(const QString& indirizzo) {
    indirizzi << indirizzo;
}
