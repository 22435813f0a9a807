#pragma once

#include <QString>

// Addresses of the local web application's sending pages. The server part is
// "http://localhost:8780" unless GFE_WEB_URL gives another (scheme, host and port);
// the file name goes in exactly as stored, not encoded.
namespace InvioSdi {

enum class Pagina { Ordinaria, PubblicaAmministrazione };

QString server();
QString indirizzo(Pagina pagina, const QString& nomeFile, int idInvio);

} // namespace InvioSdi
