#pragma once

#include "Pagina.h"

class Richiesta;

// /Fatt_Acq/read_xml.php?nome_file=F: loads the received file F from the folder of
// received files into the purchase invoices.
Risposta paginaLettura(Richiesta& richiesta);
