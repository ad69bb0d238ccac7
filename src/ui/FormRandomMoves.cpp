#include "ui/FormRandomMoves.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace obrin::gui {

namespace {
const QString kContext = QStringLiteral("Random");
}

TFormRandomMoves::TFormRandomMoves(TUi& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("FormRandom"));
    setWindowTitle(QStringLiteral("Zufallszüge"));
    setMinimumWidth(340);
    auto* layout = new QVBoxLayout(this);
    cbLeeren = new QCheckBox(QStringLiteral("Spielfeld leeren"), this);
    layout->addWidget(cbLeeren);

    auto* colour = new QGroupBox(QStringLiteral("Farbwahrscheinlichkeit"), this);
    auto* grid = new QGridLayout(colour);
    sbFarbe = new QScrollBar(Qt::Horizontal, colour);
    sbFarbe->setRange(0, 100);
    sbFarbe->setValue(50);
    m_black = new QLabel(colour);
    m_white = new QLabel(colour);
    MarkUntranslated(m_black);
    MarkUntranslated(m_white);
    m_white->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(new QLabel(QStringLiteral("Schwarz"), colour), 0, 0);
    auto* whiteName = new QLabel(QStringLiteral("Weiß"), colour);
    whiteName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(whiteName, 0, 2);
    grid->addWidget(m_black, 1, 0);
    grid->addWidget(sbFarbe, 1, 1);
    grid->addWidget(m_white, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(colour);

    auto* tries = new QGroupBox(QStringLiteral("Anzahl Zug-Versuche"), this);
    auto* triesLayout = new QGridLayout(tries);
    sbVersuche = new QScrollBar(Qt::Horizontal, tries);
    sbVersuche->setRange(0, 1000);
    sbVersuche->setValue(100);
    m_tries = new QLabel(tries);
    MarkUntranslated(m_tries);
    m_tries->setMinimumWidth(40);
    m_tries->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    triesLayout->addWidget(sbVersuche, 0, 0);
    triesLayout->addWidget(m_tries, 0, 1);
    triesLayout->setColumnStretch(0, 1);
    layout->addWidget(tries);

    QDialogButtonBox* buttons = AddDialogButtons(this, layout, "&OK", "&Abbruch");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(sbFarbe, &QScrollBar::valueChanged, this, &TFormRandomMoves::ShowValues);
    connect(sbVersuche, &QScrollBar::valueChanged, this, &TFormRandomMoves::ShowValues);
    ShowValues();
    Translate();
}

void TFormRandomMoves::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
}

void TFormRandomMoves::ShowValues() {
    m_black->setText(QString::number(100 - sbFarbe->value()) + QStringLiteral(" %"));
    m_white->setText(QString::number(sbFarbe->value()) + QStringLiteral(" %"));
    m_tries->setText(QString::number(sbVersuche->value()));
}

TRandomMovesOptions TFormRandomMoves::Options() const {
    TRandomMovesOptions o;
    o.SpielfeldLeeren = cbLeeren->isChecked();
    o.Farbwahrscheinlichkeit = sbFarbe->value();
    o.ZugVersuche = sbVersuche->value();
    return o;
}

}  // namespace obrin::gui
