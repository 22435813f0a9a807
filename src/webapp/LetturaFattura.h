#pragma once

#include "Pagina.h"

class Richiesta;

// /Fatt_Acq/read_xml.php?nome_file=F: loads the received file F from the folder of
// received files into the purchase invoices. The GET shows the file that would be
// loaded; the POST loads it. A symbolic link is never followed.
Risposta paginaLettura(Richiesta& richiesta, bool esegui);
