#pragma once

#include "db/TabelleFattura.h"
#include "invoices/RicercaFatture.h"
#include "widgets/FinestraModale.h"

#include <QPointer>
#include <QTimer>
#include <functional>

class DBGrid;
class Table;
class MaskEdit;
class TAnag_Cl;
class TArticoli;
class TAreaFatture;
class TDiz;
class TEditorRiga;
class TLegenda;
class TPannelloTestata;

// The sales invoice window: the invoice headers, the lines of the current
// invoice and the operations on them, with three panels that lie over the main
// area while open: the legend (P2), the line editor (P3) and the header editor
// (P4). Created hidden, shown modally, hidden (not destroyed) when closed; its
// caption is the title of the settings file and chooses the series of the XML
// file names.
class TElenco_Fatt : public FinestraModale {
    Q_OBJECT
public:
    // Bound to the invoice tables of `diz`, which outlives the window.
    explicit TElenco_Fatt(TDiz& diz, QWidget* parent = nullptr);

    // The registries "Sel. Cliente" and "Articoli Magazzino" show as pickers; without
    // them (or once they are gone) the buttons do nothing.
    void impostaScelte(TAnag_Cl* clienti, TArticoli* articoli);

    TAreaFatture* Panel1; // main area
    TLegenda* P2;
    TEditorRiga* P3;
    TPannelloTestata* P4;
    // Controls of the main area that other windows and operations read.
    MaskEdit* M1;
    DBGrid* DBGrid1;
    DBGrid* DBGrid2;

    void FormShow();
    void BitBtn1Click();  // "Legenda"
    void BitBtn2Click();  // "Chiudi" of the legend
    void BitBtn3Click();  // "Sel. Cliente"
    void BitBtn6Click();  // "Articoli Magazzino"
    void BitBtn11Click(); // "Testata Doc."
    void BitBtn15Click(); // "Nuova"
    void BitBtn16Click(); // "Elimina Fattura"
    void BitBtn17Click(); // "Stampa"
    void BitBtn22Click(); // "Copia Fattura"
    void BitBtn4Click();  // "Creazione File XML"
    void BitBtn20Click(); // "XML P.A."
    void BitBtn5Click();  // "Invio a SDI"
    void BitBtn21Click(); // "Invio P.A."
    void BitBtn19Click(); // "Invio Fatture al SDI"
    void BitBtn18Click(); // "Importa Fatture"

    // The search above the header grid: what its fields ask for, the list narrowed to
    // it (shortly after the user stops typing, or at once), the fields cleared.
    CriteriFatture criteri() const;
    void applicaRicerca();
    void PulisciClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void collegaPulsanti();
    void EliminaFattura();
    void scriviXml(QString (*scrittore)(const TabelleFattura&, const QString&));
    void inviaCorrente(bool pubblicaAmministrazione);
    Table* testata() const;

    QTimer m_ricerca;
    TDiz& m_diz;
    QPointer<TAnag_Cl> m_clienti;
    QPointer<TArticoli> m_articoli;
};
