#include "purchases/TElenco_Carico.h"

#include "copia/AnteprimaCopia.h"
#include "data/TDiz.h"
#include "platform/Desktop.h"
#include "purchases/StampaAcquisto.h"
#include "widgets/Colori.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/Modulo.h"
#include "widgets/TAzione.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QUrl>

namespace {

constexpr int kLarghezza = 1200;
constexpr int kAltezza = 680;
const QRect kPannello(8, 8, 1184, 664);
const QString kMaschera = QStringLiteral("*.xml");
// The loopback address itself: "localhost" may resolve to [::1], where another
// local program could answer.
const QString kIndirizzoLocale = QStringLiteral("http://127.0.0.1:8780");
const QString kPagina = QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=");

const Qt::Alignment kSinistro = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kDestro = Qt::AlignRight | Qt::AlignVCenter;
const Qt::Alignment kCentro = Qt::AlignCenter;

struct Colonna {
    const char* campo;
    const char* titolo;
    int larghezza; // -1: from the column's size
    Qt::Alignment allineamento;
};

const Colonna kTestate[] = {
    {"prot", "Prot", 38, kSinistro},          {"rag_soc", "Ragione Sociale", 526, kSinistro},
    {"tipo_doc", "Tipo Doc.", -1, kSinistro}, {"data_doc", "Data", 64, kSinistro},
    {"num_doc", "Numero", 64, kDestro},       {"tot_doc", "Totale", 105, kDestro},
    {"p_iva", "P. IVA", 64, kSinistro},       {"nome_file", "File XML", 205, kSinistro},
    {"n_rate", "N. Rate", 62, kCentro},       {"scad1", "Scad.1", 64, kSinistro},
    {"imp_scad1", "Imp. 1", 64, kDestro},     {"scad2", "Scad.2", 64, kSinistro},
    {"imp_scad2", "Imp.2", 64, kDestro},      {"scad3", "Scad.3", 64, kSinistro},
    {"imp_scad3", "Imp.3", 64, kDestro},      {"scad4", "Scad.4", 64, kSinistro},
    {"imp_scad4", "Imp.4", 64, kDestro},
};

const Colonna kRighe[] = {
    {"prog", "Prog", 38, kSinistro},
    {"descrizione", "Descrizione", 605, kSinistro},
    {"um", "UM", 50, kCentro},
    {"quantita", "Quantita", 68, kDestro},
    {"prezzo_unit", "Prezzo Unit.", 89, kDestro},
    {"sc_tipo", "Tipo Sc.", -1, kCentro},
    {"sc_perc", "Perc. Sc.", 64, kCentro},
    {"sc_importo", "Importo Sc.", 84, kDestro},
    {"prezzo_tot", "Imp. Totale", 93, kDestro},
    {"aliquota", "Aliquota", 64, kCentro},
    {"codice_tipo", "Tipo Cod.", 64, kSinistro},
    {"codice_val", "Valore Cod.", 64, kSinistro},
};

template <size_t N> void colonne(DBGrid* g, const Colonna (&elenco)[N]) {
    for (const Colonna& c : elenco) {
        g->addColumn(QString::fromLatin1(c.campo), QString::fromLatin1(c.titolo), c.larghezza,
                     c.allineamento);
        // Dates show whole.
        if (qstrcmp(c.campo, "data_doc") == 0 || qstrncmp(c.campo, "scad", 4) == 0)
            g->fitText(g->columnCount() - 1, QStringLiteral("00/00/0000"));
    }
}

QFont arial(int pixel, bool grassetto = false) {
    return Modulo::carattere(QStringLiteral("Arial"), pixel, grassetto);
}

// A received file as the exchange system delivers it: plain or signed.
bool ricevuto(const QString& nome) {
    return nome.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ||
           nome.endsWith(QLatin1String(".xml.p7m"), Qt::CaseInsensitive);
}

} // namespace

TElenco_Carico::TElenco_Carico(TDiz& diz, QWidget* parent) : QDialog(parent), m_diz(diz) {
    setObjectName(QStringLiteral("Elenco_Carico"));
    setWindowTitle(QStringLiteral("Fatture Acquisto"));
    Modulo::dimensioni(this, kLarghezza, kAltezza);
    setFont(Modulo::carattere(QStringLiteral("MS Sans Serif"), 11));
    creaElenco();
    creaCarico();
    ancora();
    collega();
    const QString ricevute = cartellaRicevute();
    apriCartella(ricevute.isEmpty() ? QDir::currentPath() : ricevute);
}

void TElenco_Carico::creaElenco() {
    Panel1 = Modulo::pannello(this, QStringLiteral("Panel1"), kPannello, Colori::Grigio, false);
    Label1 = new QLabel(QStringLiteral("Elenco Fatture Acquisto"), Panel1);
    Label1->setFont(Modulo::carattere(QStringLiteral("Times New Roman"), 27, true, true));
    Modulo::colora(Label1, QPalette::WindowText, Colori::Blu);
    Label1->setGeometry(0, 8, kPannello.width(), 36);
    Label1->setAlignment(Qt::AlignCenter);

    DBNavigator1 = new DBNavigator(Panel1);
    DBNavigator1->setDataSource(m_diz.Testa_CarS);
    DBNavigator1->setGeometry(16, 52, 300, 25);
    DBGrid1 = new DBGrid(Panel1);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setDataSource(m_diz.Testa_CarS);
    DBGrid1->setGeometry(16, 82, 1152, 258);
    colonne(DBGrid1, kTestate);

    DBNavigator2 = new DBNavigator(Panel1);
    DBNavigator2->setDataSource(m_diz.Detta_CarS);
    DBNavigator2->setGeometry(16, 352, 300, 25);
    DBGrid2 = new DBGrid(Panel1);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setDataSource(m_diz.Detta_CarS);
    DBGrid2->setGeometry(16, 382, 1152, 220);
    colonne(DBGrid2, kRighe);

    BitBtn2 = Modulo::pulsante(Panel1, QStringLiteral("BitBtn2"), QStringLiteral("Carica Fattura"),
                               {16, 616, 161, 33}, arial(14, true));
    BitBtn4 = Modulo::pulsante(Panel1, QStringLiteral("BitBtn4"), QStringLiteral("Stampa"),
                               {200, 616, 121, 33}, arial(14, true));
    BitBtn5 = Modulo::pulsante(Panel1, QStringLiteral("BitBtn5"), QStringLiteral("Copia Fattura"),
                               {336, 616, 151, 33}, arial(14, true));
    Modulo::ordineTab({DBNavigator1, DBGrid1, DBNavigator2, DBGrid2, BitBtn2, BitBtn4, BitBtn5});
}

void TElenco_Carico::creaCarico() {
    P2 = Modulo::pannello(this, QStringLiteral("P2"), kPannello, Colori::Crema, false);
    Label2 = new QLabel(QStringLiteral("CARICA FATTURE ACQUISTO"), P2);
    Label2->setFont(Modulo::carattere(QStringLiteral("Times New Roman"), 27, true, true));
    Modulo::colora(Label2, QPalette::WindowText, Colori::Blu);
    Label2->setGeometry(0, 8, kPannello.width(), 36);
    Label2->setAlignment(Qt::AlignCenter);

    Modulo::etichetta(P2, QStringLiteral("Unità"), 24, 60);
    Drive = new QComboBox(P2);
    Drive->setObjectName(QStringLiteral("Drive"));
    Drive->setGeometry(24, 76, 345, 22);
    for (const QFileInfo& unita : QDir::drives())
        Drive->addItem(QDir::toNativeSeparators(unita.absolutePath()), unita.absolutePath());
    Modulo::etichetta(P2, QStringLiteral("Cartelle"), 24, 108);
    DirectoryListBox1 = new QListWidget(P2);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setGeometry(24, 124, 345, 420);
    Modulo::etichetta(P2, QStringLiteral("File"), 392, 60);
    FileListBox1 = new QListWidget(P2);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(392, 76, 480, 468);
    Modulo::etichetta(P2, QStringLiteral("File da caricare"), 24, 556);
    Edit1 = new QLineEdit(kMaschera, P2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(24, 572, 848, 22);
    BitBtn3 = Modulo::pulsante(P2, QStringLiteral("BitBtn3"), QStringLiteral("Invio Carico"),
                               {24, 612, 161, 33}, arial(14, true));
    BitBtn1 = Modulo::pulsante(P2, QStringLiteral("BitBtn1"), QStringLiteral("Chiudi"),
                               {208, 612, 121, 33}, arial(14, true));
    Modulo::ordineTab({Drive, DirectoryListBox1, FileListBox1, Edit1, BitBtn3, BitBtn1});
    P2->hide();
}

// Enlarged, the list of received invoices and the folder's files take the room; the
// lines, the file name and the buttons keep to the foot.
void TElenco_Carico::ancora() {
    using namespace Modulo;
    for (QWidget* pannello : {Panel1, P2})
        Modulo::ancora(pannello, kTutte);
    Modulo::ancora(Label1, Sinistra | Destra | Alto);
    Modulo::ancora(DBGrid1, kTutte);
    ancoraSotto(Panel1, DBNavigator2->y(), Sinistra | Basso);
    Modulo::ancora(DBGrid2, Sinistra | Destra | Basso);
    Modulo::ancora(Label2, Sinistra | Destra | Alto);
    Modulo::ancora(DirectoryListBox1, Sinistra | Alto | Basso);
    Modulo::ancora(FileListBox1, kTutte);
    ancoraSotto(P2, Edit1->y() - 16, Sinistra | Basso);
    Modulo::ancora(Edit1, Sinistra | Destra | Basso);
}

void TElenco_Carico::collega() {
    connect(BitBtn1, &QPushButton::clicked, this, &TElenco_Carico::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TElenco_Carico::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TElenco_Carico::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TElenco_Carico::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TElenco_Carico::BitBtn5Click);
    connect(Drive, &QComboBox::activated, this,
            [this](int i) { apriCartella(Drive->itemData(i).toString()); });
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, &TElenco_Carico::cartellaScelta);
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this, &TElenco_Carico::fileScelto);
}

void TElenco_Carico::BitBtn2Click() {
    P2->show();
    P2->raise();
}

void TElenco_Carico::BitBtn1Click() {
    P2->hide();
}

// "Invio Carico": a name already in test_car (whole value, letter case significant)
// is refused and shown; any other is handed to the reading page. Only the name
// travels: the page looks for it in its own folder of received files.
void TElenco_Carico::BitBtn3Click() {
    const QString nome = Edit1->text();
    Table* testa = m_diz.Testa_Car;
    bool caricato = false;
    const bool letto = TAzione::esegui([&] {
        if (testa->isOpen()) {
            // Rows the page stored since the last automatic refresh count too.
            if (!testa->isEditing()) testa->refresh();
            caricato = testa->locate(QStringLiteral("nome_file"), nome);
        }
    });
    if (!letto) return;
    if (caricato)
        Desktop::corrente().messaggio(QStringLiteral("Attenzione... File gia Caricato"));
    else
        Desktop::corrente().apriIndirizzo(indirizzoCarico(nome));
    P2->hide();
}

void TElenco_Carico::BitBtn4Click() {
    StampaFatturaAcquisto(m_diz.acquisto(), this);
}

// "Copia Fattura": the readable copy of the received file the current purchase
// invoice was loaded from, in the print preview.
void TElenco_Carico::BitBtn5Click() {
    Table* testa = m_diz.Testa_Car;
    const QString nome = testa->isOpen() && !testa->isEmpty()
                             ? testa->field(QStringLiteral("nome_file")).asString()
                             : QString();
    if (nome.isEmpty()) {
        Desktop::corrente().messaggio(
            QStringLiteral("Nessun file da mostrare: la fattura di acquisto non indica il file "
                           "da cui è stata caricata."));
        return;
    }
    const QString ricevute = cartellaRicevute();
    const QDir cartella(ricevute.isEmpty() ? QDir::currentPath() : ricevute);
    const QString errore =
        anteprimaCopia(cartella.absoluteFilePath(QFileInfo(nome).fileName()), this);
    if (!errore.isEmpty()) Desktop::corrente().messaggio(errore);
}

QString TElenco_Carico::indirizzoCarico(const QString& nomeFile) {
    QString server = qEnvironmentVariable("GFE_WEB_URL");
    if (server.isEmpty()) server = kIndirizzoLocale;
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    return server + kPagina + QString::fromLatin1(QUrl::toPercentEncoding(nomeFile));
}

QString TElenco_Carico::cartellaRicevute() {
    const QDir lavoro = QDir::current();
    const QString ini = lavoro.absoluteFilePath(QStringLiteral("gfe-web.ini"));
    if (!QFileInfo::exists(ini)) return {};
    const QString ricevute =
        QSettings(ini, QSettings::IniFormat).value(QStringLiteral("ricevute")).toString();
    if (ricevute.isEmpty()) return {};
    const QFileInfo cartella(lavoro, ricevute);
    return cartella.isDir() ? cartella.absoluteFilePath() : QString();
}

void TElenco_Carico::apriCartella(const QString& percorso) {
    const QFileInfo info(percorso);
    if (!info.isDir()) return;
    m_cartella = QDir::cleanPath(info.absoluteFilePath());
    for (int i = 0; i < Drive->count(); ++i)
        if (m_cartella.startsWith(Drive->itemData(i).toString())) Drive->setCurrentIndex(i);
    riempiCartelle();
    riempiFile();
}

// The folder and its parents from the top, indented by depth, then its subfolders.
void TElenco_Carico::riempiCartelle() {
    DirectoryListBox1->clear();
    QStringList percorsi;
    for (QDir d(m_cartella);;) {
        percorsi.prepend(d.absolutePath());
        if (!d.cdUp()) break;
    }
    int livello = 0;
    const auto voce = [this](const QString& percorso, int rientro) {
        const QString nome = QDir(percorso).dirName();
        auto* v =
            new QListWidgetItem(QString(rientro * 2, QLatin1Char(' ')) +
                                    (nome.isEmpty() ? QDir::toNativeSeparators(percorso) : nome),
                                DirectoryListBox1);
        v->setData(Qt::UserRole, percorso);
        return v;
    };
    for (const QString& p : percorsi)
        DirectoryListBox1->setCurrentItem(voce(p, livello++));
    const QDir corrente(m_cartella);
    for (const QString& sotto :
         corrente.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        voce(corrente.absoluteFilePath(sotto), livello);
}

// The folder's received files, mask "*.xml", signed ones (".xml.p7m") included.
void TElenco_Carico::riempiFile() {
    FileListBox1->clear();
    const QDir corrente(m_cartella);
    for (const QString& nome : corrente.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (ricevuto(nome)) FileListBox1->addItem(nome);
    fileScelto();
}

void TElenco_Carico::fileScelto() {
    const QList<QListWidgetItem*> scelti = FileListBox1->selectedItems();
    Edit1->setText(scelti.isEmpty() ? kMaschera : scelti.first()->text());
}

void TElenco_Carico::cartellaScelta(QListWidgetItem* voce) {
    if (voce) apriCartella(voce->data(Qt::UserRole).toString());
}

QList<TElenco_Carico::Vista> TElenco_Carico::viste() {
    return {{QStringLiteral("fatture_acquisto_carica"), [this] { BitBtn2Click(); }}};
}
