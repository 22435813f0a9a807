#include "Finestre.h"

#include "widgets/Modulo.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

namespace {

struct Voce {
    QString nome;
    QPointer<QObject> oggetto;
    QString file;
    std::function<QList<Finestre::Vista>()> viste;
};

QList<Voce>& voci() {
    static QList<Voce> v;
    return v;
}

QString& titolo() {
    static QString t;
    return t;
}

const Voce* voce(const QString& nome) {
    for (const Voce& v : voci())
        if (v.nome == nome && v.oggetto) return &v;
    return nullptr;
}

} // namespace

void Finestre::registra(const QString& nome, QObject* oggetto, const QString& file,
                        std::function<QList<Vista>()> viste) {
    voci().append({nome, oggetto, file, std::move(viste)});
    if (QWidget* w = finestra(nome)) {
        w->hide();
        Modulo::ricorda(w, nome);
        if (nome == Fatture) w->setWindowTitle(titolo());
    }
}

void Finestre::impostaViste(const QString& nome, std::function<QList<Vista>()> viste) {
    for (Voce& v : voci())
        if (v.nome == nome && v.oggetto && !v.viste) v.viste = std::move(viste);
}

QObject* Finestre::oggetto(const QString& nome) {
    const Voce* v = voce(nome);
    return v ? v->oggetto.data() : nullptr;
}

QWidget* Finestre::finestra(const QString& nome) {
    return qobject_cast<QWidget*>(oggetto(nome));
}

QStringList Finestre::nomi() {
    QStringList out;
    for (const Voce& v : voci())
        if (qobject_cast<QWidget*>(v.oggetto.data())) out << v.nome;
    return out;
}

QString Finestre::file(const QString& nome) {
    const Voce* v = voce(nome);
    return v ? v->file : QString();
}

QList<Finestre::Vista> Finestre::viste(const QString& nome) {
    const Voce* v = voce(nome);
    return v && v->viste ? v->viste() : QList<Vista>();
}

bool Finestre::mostra(const QString& nome) {
    QWidget* w = finestra(nome);
    if (!w) return false;
    if (auto* d = qobject_cast<QDialog*>(w)) {
        d->exec();
    } else {
        w->setWindowModality(Qt::ApplicationModal);
        w->show();
    }
    return true;
}

void Finestre::impostaTitoloFatture(const QString& t) {
    titolo() = t;
    if (QWidget* w = finestra(Fatture)) w->setWindowTitle(t);
}

QString Finestre::titoloFatture() {
    const QWidget* w = finestra(Fatture);
    return w ? w->windowTitle() : titolo();
}

void Finestre::distruggi() {
    const QList<Voce> tutte = voci();
    voci().clear();
    for (auto it = tutte.rbegin(); it != tutte.rend(); ++it)
        delete it->oggetto.data();
    titolo().clear();
}
