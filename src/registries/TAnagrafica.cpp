#include "registries/TAnagrafica.h"

#include "db/DataSource.h"
#include "db/Table.h"
#include "platform/CodiciFiscali.h"
#include "registries/Ricerca.h"
#include "widgets/Colori.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/Modulo.h"
#include "widgets/TAzione.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kLarghezza = 1000;
constexpr int kAltezza = 590;

} // namespace

TAnagrafica::TAnagrafica(const ImpostazioneAnagrafica& impostazione, QWidget* parent)
    : QDialog(parent), m_t(impostazione.t), m_tabella(impostazione.tabella) {
    setObjectName(impostazione.nome);
    setWindowTitle(impostazione.titolo);
    Modulo::dimensioni(this, kLarghezza, kAltezza);
    setFont(Modulo::carattere(QStringLiteral("MS Sans Serif"), 11));
    Label1 = new QLabel(impostazione.intestazione, this);
    Label1->setFont(Modulo::carattere(QStringLiteral("Times New Roman"), 27, true, true));
    Modulo::colora(Label1, QPalette::WindowText, Colori::Blu);
    Label1->setGeometry(0, 12, kLarghezza, 36);
    Label1->setAlignment(Qt::AlignCenter);
    creaControlli(impostazione);
    // Enlarged, the list grows downwards; its navigator and "Nuovo" stay at its foot.
    Modulo::ancoraSotto(this, DBNavigator1->y() - 2, Modulo::Sinistra | Modulo::Basso);
    Modulo::ancora(Label1, Modulo::Sinistra | Modulo::Destra | Modulo::Alto);
    Modulo::ancora(DBGrid1, Modulo::Sinistra | Modulo::Alto | Modulo::Basso);
    connect(Edit1, &QLineEdit::textChanged, this, &TAnagrafica::Edit1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TAnagrafica::BitBtn1Click);
    DBGrid1->viewport()->installEventFilter(this);
    for (auto segnale :
         {&DataSource::recordChanged, &DataSource::dataSetChanged, &DataSource::stateChanged})
        connect(impostazione.ds, segnale, this, &TAnagrafica::aggiornaAvvisi);
    connect(impostazione.ds, &DataSource::fieldChanged, this, &TAnagrafica::aggiornaAvvisi);
    aggiornaAvvisi();
}

void TAnagrafica::creaControlli(const ImpostazioneAnagrafica& imp) {
    Modulo::etichetta(this, QStringLiteral("Ricerca"), 16, 60);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(16, 76, 473, 21);
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(16, 104, 473, 432);
    DBGrid1->setDataSource(imp.ds);
    DBGrid1->addColumn(QStringLiteral("id"), imp.titoloId, imp.larghezzaId);
    DBGrid1->addColumn(QStringLiteral("rag_soc"), QStringLiteral("Ragione Sociale"),
                       imp.larghezzaRagSoc);
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setButtons(imp.pulsanti);
    DBNavigator1->setDataSource(imp.ds);
    DBNavigator1->setGeometry(16, 546, 25 * int(imp.pulsanti.size()), 25);
    BitBtn1 = Modulo::pulsante(this, QStringLiteral("BitBtn1"), QStringLiteral("Nuovo"),
                               {384, 544, 105, 29}, font());
    // Enter in a field must not press "Nuovo".
    BitBtn1->setAutoDefault(false);

    Modulo::Costruttore m(this, imp.ds);
    for (const ImpostazioneAnagrafica::Campo& c : imp.campi) {
        DBEdit* e = m.campo(QString::fromUtf8(c.etichetta), QString::fromLatin1(c.colonna), c.x,
                            c.y, c.larghezza);
        if (c.maiuscole == 'U')
            e->setCharCase(DBEdit::CharCase::Upper);
        else if (c.maiuscole == 'L')
            e->setCharCase(DBEdit::CharCase::Lower);
        campi << e;
    }
    // The warnings stand on the label row, right of each label.
    const auto avviso = [this](const QString& colonna) {
        const QWidget* etichetta = findChild<QLabel*>(QStringLiteral("etichetta_") + colonna);
        auto* l = Modulo::etichetta(this, QString(), etichetta->x() + 90, etichetta->y(),
                                    Modulo::carattere(QStringLiteral("MS Sans Serif"), 11, true),
                                    Colori::RossoAvviso);
        l->setObjectName(QStringLiteral("avviso_") + colonna);
        l->resize(150, etichetta->height());
        return l;
    };
    avvisoPartitaIva = avviso(QStringLiteral("p_iva"));
    avvisoCodiceFiscale = avviso(QStringLiteral("cod_fis"));
}

DBEdit* TAnagrafica::campo(const QString& colonna) const {
    for (DBEdit* e : campi)
        if (e->field() == colonna) return e;
    return nullptr;
}

QList<QWidget*> TAnagrafica::controlli() const {
    QList<QWidget*> out{Edit1, DBGrid1, DBNavigator1};
    for (DBEdit* e : campi)
        out << e;
    out << BitBtn1;
    return out;
}

void TAnagrafica::Edit1Change() {
    TAzione::esegui(
        [this] { cercaNelRegistro(*m_t, m_tabella, QStringLiteral("rag_soc"), Edit1->text()); });
}

void TAnagrafica::BitBtn1Click() {
    if (TAzione::esegui([this] { m_t->append(); })) campi.first()->setFocus();
}

bool TAnagrafica::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        return DBGrid1DblClick();
    return QDialog::eventFilter(watched, event);
}

// The checks apply to Italian counterparties: country IT or not given.
void TAnagrafica::aggiornaAvvisi() {
    QString iva, cf;
    if (m_t->isOpen() && (m_t->recNo() >= 0 || m_t->isEditing())) {
        const QString nazione = m_t->field(QStringLiteral("nazione")).asString().trimmed();
        if (nazione.isEmpty() || nazione.compare(u"IT", Qt::CaseInsensitive) == 0) {
            iva = CodiciFiscali::avvisoPartitaIva(m_t->field(QStringLiteral("p_iva")).asString());
            cf = CodiciFiscali::avvisoCodiceFiscale(
                m_t->field(QStringLiteral("cod_fis")).asString());
        }
    }
    avvisoPartitaIva->setText(iva);
    avvisoCodiceFiscale->setText(cf);
}
