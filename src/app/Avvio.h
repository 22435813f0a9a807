#pragma once

#include <memory>

class TDiz;
class TMenu;

// The program's start-up: the main menu, the data module and then every window that is
// built into the program, in this order, each hidden until shown. Destroying it
// destroys the windows before the data module they are bound to.
class Avvio {
public:
    Avvio();
    ~Avvio();
    Avvio(const Avvio&) = delete;
    Avvio& operator=(const Avvio&) = delete;

    TMenu* menu() const { return m_menu.get(); }
    TDiz* diz() const { return m_diz.get(); }

private:
    static void creaFinestre(TMenu* menu);
    std::unique_ptr<TMenu> m_menu;
    std::unique_ptr<TDiz> m_diz;
};
