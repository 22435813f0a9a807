#include "Fotografie.h"

#include "Accesso.h"
#include "ErroreFile.h"
#include "Finestre.h"
#include "TMenu.h"
#include "data/TDiz.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace {

// Lets pending layouts, paints and timers run before a picture is taken.
void attendi() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

class Rullino {
public:
    explicit Rullino(const QString& cartella) : m_cartella(cartella) {}

    void scatta(QWidget* w, const QString& nome) {
        attendi();
        const QString percorso = m_cartella.filePath(nome + QStringLiteral(".png"));
        if (!w->grab().save(percorso))
            throw ErroreFile(QStringLiteral("Impossibile scrivere ") + percorso);
        m_scritti << percorso;
    }

    // The window as it shows, then each of its views; hidden again afterwards.
    void finestra(const QString& nome) {
        QWidget* w = Finestre::finestra(nome);
        w->show();
        scatta(w, Finestre::file(nome));
        for (const Finestre::Vista& v : Finestre::viste(nome)) {
            v.second();
            scatta(w, v.first);
        }
        w->hide();
        attendi();
    }

    QStringList scritti() const { return m_scritti; }

private:
    QDir m_cartella;
    QStringList m_scritti;
};

} // namespace

IpIni Fotografie::impostazioniDemo() {
    return {QStringLiteral("127.0.0.1"), QStringLiteral("xml_quirn"), QStringLiteral("A")};
}

QStringList Fotografie::esegui(TMenu& menu, const IpIni& ini, const QString& cartella) {
    if (!QDir().mkpath(cartella))
        throw ErroreFile(QStringLiteral("Impossibile creare la cartella ") + cartella);
    Rullino r(cartella);
    menu.show();
    r.scatta(&menu, QStringLiteral("menu"));
    const Accesso::Esito esito = Accesso::collega(menu.diz(), ini, &Finestre::impostaTitoloFatture);
    // A failed log-in is reported once, by the caller.
    if (!esito.collegato()) throw ErroreFile(esito.messaggio);
    menu.mostraEsito(esito);
    r.scatta(&menu, QStringLiteral("menu_collegato"));
    for (const QString& nome : Finestre::nomi())
        r.finestra(nome);
    return r.scritti();
}
