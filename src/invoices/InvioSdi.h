#pragma once

#include <QString>

// Addresses of the local web application's sending pages. The server part is
// "http://127.0.0.1:8780" (the loopback address itself: "localhost" may resolve
// to [::1], where another local program could answer) unless GFE_WEB_URL gives another (scheme,
// host and port); the file name goes in exactly as stored, not encoded.
namespace InvioSdi {

enum class Pagina { Ordinaria, PubblicaAmministrazione };

QString server();
QString indirizzo(Pagina pagina, const QString& nomeFile, int idInvio);
// The one page of "Invio Fatture al SDI", which sends every unsent invoice.
QString indirizzoLotto();

} // namespace InvioSdi
