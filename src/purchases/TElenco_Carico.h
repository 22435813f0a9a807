#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>

class DBGrid;
class DBNavigator;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class TDiz;

// The purchase invoice window: the received invoices (Testa_Car) and the lines of
// the current one (Detta_Car) in the list panel; the loading panel P2 over it picks
// a received file, whose name "Invio Carico" hands to the local web application's
// reading page. The rows it stores appear through the tables' automatic refresh.
// Created hidden, shown modally, hidden (not destroyed) when closed: both panels
// keep their state between showings.
class TElenco_Carico : public QDialog {
    Q_OBJECT
public:
    using Vista = QPair<QString, std::function<void()>>;

    // Bound to the purchase tables of `diz`, which outlives the window.
    explicit TElenco_Carico(TDiz& diz, QWidget* parent = nullptr);

    // List panel
    QFrame* Panel1;
    QLabel* Label1;
    DBNavigator* DBNavigator1;
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator2;
    DBGrid* DBGrid2;
    QPushButton* BitBtn2; // "Carica Fattura"
    QPushButton* BitBtn4; // "Stampa"
    QPushButton* BitBtn5; // "Copia Fattura": the readable copy of the received file

    // Loading panel
    QFrame* P2;
    QLabel* Label2;
    QComboBox* Drive;
    QListWidget* DirectoryListBox1;
    QListWidget* FileListBox1;
    QLineEdit* Edit1;
    QPushButton* BitBtn3; // "Invio Carico"
    QPushButton* BitBtn1; // "Chiudi"

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();

    // The folder the folder list shows; choosing one fills the file list.
    QString cartella() const { return m_cartella; }
    void apriCartella(const QString& percorso);

    // The address of the reading page for a received file's name: the server of
    // GFE_WEB_URL when set, else the local one, and the name percent-encoded.
    static QString indirizzoCarico(const QString& nomeFile);
    // The received-files folder of gfe-web.ini in the working folder, when it exists.
    static QString cartellaRicevute();

    // Extra views for the screenshots.
    QList<Vista> viste();

private:
    void creaElenco();
    void creaCarico();
    void ancora();
    void collega();
    void riempiCartelle();
    void riempiFile();
    void fileScelto();
    void cartellaScelta(QListWidgetItem* voce);

    TDiz& m_diz;
    QString m_cartella;
};
