#include "copia/Allegati.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <unistd.h>

namespace {

QString candidato(const QString& nome, int n) {
    if (n == 1) return nome;
    const qsizetype punto = nome.lastIndexOf(QLatin1Char('.'));
    if (punto <= 0) return QStringLiteral("%1 (%2)").arg(nome).arg(n);
    return QStringLiteral("%1 (%2)%3").arg(nome.left(punto)).arg(n).arg(nome.mid(punto));
}

} // namespace

EsitoAllegati salvaAllegato(const Allegato& allegato, const QString& cartella) {
    EsitoAllegati esito;
    const QFileInfo info(cartella);
    if (!info.isDir()) {
        esito.errore = QStringLiteral("La cartella «%1» non esiste.").arg(cartella);
        return esito;
    }
    if (!allegato.leggibile) {
        esito.errore = QStringLiteral("L'allegato «%1» non è leggibile: il suo contenuto non è "
                                      "base64 valido.")
                           .arg(allegato.nome);
        return esito;
    }
    const QDir dir(info.absoluteFilePath());
    // The name has no folder part; a name that is still not a plain name is refused.
    const QString nome = allegato.nomeFile;
    if (nome.isEmpty() || nome.contains(QLatin1Char('/')) || nome == QLatin1String(".") ||
        nome == QLatin1String("..")) {
        esito.errore = QStringLiteral("Nome dell'allegato non valido: «%1».").arg(allegato.nome);
        return esito;
    }
    QTemporaryFile temporaneo(dir.filePath(QStringLiteral(".allegato-XXXXXX")));
    if (!temporaneo.open() || temporaneo.write(allegato.dati) != allegato.dati.size() ||
        !temporaneo.flush()) {
        esito.errore =
            QStringLiteral("Impossibile scrivere l'allegato «%1» nella cartella «%2»: %3.")
                .arg(nome, dir.path(), temporaneo.errorString());
        return esito;
    }
    const QByteArray sorgente = QFile::encodeName(temporaneo.fileName());
    for (int n = 1; n < 1000; ++n) {
        const QString finale = dir.filePath(candidato(nome, n));
        // link() never replaces what is there, a symbolic link included.
        if (::link(sorgente.constData(), QFile::encodeName(finale).constData()) == 0) {
            esito.salvati << finale;
            return esito;
        }
        if (errno != EEXIST) break;
    }
    esito.errore = QStringLiteral("Impossibile salvare l'allegato «%1» nella cartella «%2».")
                       .arg(nome, dir.path());
    return esito;
}

EsitoAllegati salvaAllegati(const Copia& copia, const QString& cartella) {
    EsitoAllegati esito;
    for (const DocumentoCopia& d : copia.documenti) {
        for (const Allegato& a : d.allegati) {
            const EsitoAllegati uno = salvaAllegato(a, cartella);
            esito.salvati += uno.salvati;
            if (!uno.riuscito() && esito.errore.isEmpty()) esito.errore = uno.errore;
        }
    }
    return esito;
}
