#pragma once

#include "Accesso.h"

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class TDiz;

// The main menu and main window: six function buttons, each showing one window
// modally, unlocked by the log-in of "Accedi".
class TMenu : public QWidget {
    Q_OBJECT
public:
    // Logs `diz` in and closes its tables; `diz` outlives the menu.
    explicit TMenu(TDiz& diz, QWidget* parent = nullptr);

    TDiz& diz() const { return m_diz; }

    QLabel* Label1;
    QPushButton* B6;
    QFrame* Panel1;
    QPushButton* B1;
    QPushButton* B2;
    QFrame* Panel2;
    QPushButton* B3;
    QPushButton* B4;
    QPushButton* B5;
    QPushButton* BitBtn7;

    void FormShow();
    void BitBtn7Click();
    void B1Click();
    void B2Click();
    void B3Click();
    void B4Click();
    void B5Click();
    void B6Click();
    void FormClose();

    // Shows the message of a log-in and, once logged in, enables the function buttons.
    void mostraEsito(const Accesso::Esito& esito);

    QList<QPushButton*> pulsantiFunzione() const { return {B1, B2, B3, B4, B5, B6}; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void creaControlli();
    void collega();
    TDiz& m_diz;
    bool m_mostrato = false;
};
