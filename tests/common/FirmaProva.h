#pragma once

#include <QByteArray>

// Signs `contenuto` as a signed file of the exchange system (CMS signed-data with
// the content inside, DER) with a throw-away key and self-signed certificate made
// on the spot, as no trusted authority knows them.
QByteArray firmaProva(const QByteArray& contenuto);
