#pragma once

#include "registries/TAnagrafica.h"

class TDiz;

// The supplier registry (table fornitori through the data module's FornitoriS). Suppliers are
// not picked into anything: a double click on the grid edits the cell as in any
// grid. Enter does what the focused control does; the focus stays where it was when
// the window is shown.
class TAnag_Fo : public TAnagrafica {
    Q_OBJECT
public:
    explicit TAnag_Fo(TDiz& diz, QWidget* parent = nullptr);
};
