#pragma once

#include <memory>

class TDiz;
class TMenu;

// The program's start-up: the data module, the main menu and then every window that is
// built into the program, in this order, each hidden until shown and handed the data
// module it is bound to. Destroying it destroys the windows and the menu before the
// data module.
class Avvio {
public:
    Avvio();
    ~Avvio();
    Avvio(const Avvio&) = delete;
    Avvio& operator=(const Avvio&) = delete;

    TMenu* menu() const { return m_menu.get(); }
    TDiz* diz() const { return Diz.get(); }

private:
    void creaFinestre();
    // The program's one data module.
    std::unique_ptr<TDiz> Diz;
    std::unique_ptr<TMenu> m_menu;
};
