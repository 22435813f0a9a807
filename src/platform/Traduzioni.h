#pragma once

class QCoreApplication;

// The program speaks Italian whatever the desktop's language: Qt's own texts (the
// buttons of question boxes, the print dialog and preview, the command-line help) come
// from Qt's Italian translations. Returns false when they are not installed; the
// program then goes on with Qt's English texts.
bool caricaTraduzioni(QCoreApplication& app);

// The name that dialogs and windows without a caption of their own are titled with.
inline constexpr const char* kNomeProgramma = "Gestione Fatturazione Elettronica";
