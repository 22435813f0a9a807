#pragma once

#include <QString>

class QFileDevice;

// Why a file could not be written, in words for the user. A full disk says so:
// after a short write the platform's text is only "Unknown error". `numeroErrore`
// is errno as it was right after the failed call.
QString motivoFile(const QFileDevice& file, int numeroErrore);
