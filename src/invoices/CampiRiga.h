#pragma once

#include <QString>

// The texts of the line editor's fields, as the window shows them. A combo box
// contributes the text of its selected item, empty when none is selected.
struct CampiRiga {
    QString descrizione;  // "DESCRIZIONE", Edit1
    QString quantita;     // "Quantita", Edit2
    QString um;           // "U.M.", Edit3
    QString aliquota;     // "Aliquota", Edit4
    QString codiceTipo;   // "Codice Tipo", Edit5
    QString codiceVal;    // "Codice Valore", Edit6
    QString prezzoUnit;   // "Pr. Lordo ", Edit7
    QString scTipo;       // "Tipo Sc.", cb1: "SC", "MG" or empty
    QString scPerc;       // "Sc.Perc.", Edit8
    QString scImporto;    // "Tot. Sconto ", Edit9 (computed)
    QString prezzoTot;    // "Prezzo Totale", Edit10 (computed)
    QString tipoCessione; // "Premio/Abbuono", cb2: "SC", "PR", "AB", "AC" or empty
    QString ritenuta;     // "Ritenuta", cb3: "SI" or empty
    QString natura;       // "Natura", CB4: "N1" to "N6" or empty
    QString rifAmm;       // "Rif. Amministrativo", Edit11
};
