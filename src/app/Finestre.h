#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <utility>

class QObject;
class QWidget;

// The windows created at start-up, by name (the class name). A window that is not
// built into the program is simply absent: its menu button shows nothing.
//
// A window may offer extra views for the screenshots with a public member
//     QList<QPair<QString, std::function<void()>>> viste();
// each pair naming a PNG file and the preparation that shows that view (for example
// one overlay panel); crea() picks it up without any further registration.
class Finestre {
public:
    using Vista = QPair<QString, std::function<void()>>;

    // Creates a window (hidden) from `argomenti` (what it is bound to) with `parent` as
    // owner and registers it; `file` names its screenshot. An object that is no widget
    // (a report form) is kept too.
    template <class T, class... A>
    static T* crea(const QString& nome, const QString& file, QWidget* parent, A&&... argomenti) {
        auto* f = new T(std::forward<A>(argomenti)..., parent);
        std::function<QList<Vista>()> viste;
        if constexpr (requires(T & t) { t.viste(); })
            viste = [f] { return QList<Vista>(f->viste()); };
        registra(nome, f, file, std::move(viste));
        return f;
    }

    static void registra(const QString& nome, QObject* oggetto, const QString& file,
                         std::function<QList<Vista>()> viste = {});
    // Views supplied from outside, for a window that offers none of its own.
    static void impostaViste(const QString& nome, std::function<QList<Vista>()> viste);
    static QObject* oggetto(const QString& nome);  // nullptr when absent
    static QWidget* finestra(const QString& nome); // nullptr when absent or no widget
    static QStringList nomi();                     // the windows, in start-up order
    static QString file(const QString& nome);
    static QList<Vista> viste(const QString& nome);

    // Shows a window modally (a dialog: until it is closed); false when it is absent.
    static bool mostra(const QString& nome);

    // The caption of the invoice window, kept here so that it exists (for the XML
    // writers and gfe-batch) also when the window does not.
    static void impostaTitoloFatture(const QString& titolo);
    static QString titoloFatture();

    // Destroys the registered objects (before the data module they are bound to).
    static void distruggi();

    static inline const QString DatiAzienda = QStringLiteral("Tanag_az");
    static inline const QString Fatture = QStringLiteral("TElenco_Fatt");
    static inline const QString Clienti = QStringLiteral("TAnag_Cl");
    static inline const QString Fornitori = QStringLiteral("TAnag_Fo");
    static inline const QString FattureAcquisto = QStringLiteral("TElenco_Carico");
    static inline const QString Articoli = QStringLiteral("TArticoli");
    static inline const QString StampaFattura = QStringLiteral("TSt_Fatt");
};
