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
    LabelSchwarz = new QLabel(colour);
    LabelWeiss = new QLabel(colour);
    MarkUntranslated(LabelSchwarz);
    MarkUntranslated(LabelWeiss);
    LabelWeiss->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(new QLabel(QStringLiteral("Schwarz"), colour), 0, 0);
    auto* whiteName = new QLabel(QStringLiteral("Weiß"), colour);
    whiteName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(whiteName, 0, 2);
    grid->addWidget(LabelSchwarz, 1, 0);
    grid->addWidget(sbFarbe, 1, 1);
    grid->addWidget(LabelWeiss, 1, 2);
    grid->setColumnStretch(1, 1);
    layout->addWidget(colour);

    auto* tries = new QGroupBox(QStringLiteral("Anzahl Zug-Versuche"), this);
    auto* triesLayout = new QGridLayout(tries);
    sbVersuche = new QScrollBar(Qt::Horizontal, tries);
    sbVersuche->setRange(0, 1000);
    sbVersuche->setValue(100);
    LabelVersuche = new QLabel(tries);
    MarkUntranslated(LabelVersuche);
    LabelVersuche->setMinimumWidth(40);
    LabelVersuche->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    triesLayout->addWidget(sbVersuche, 0, 0);
    triesLayout->addWidget(LabelVersuche, 0, 1);
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
    LabelSchwarz->setText(QString::number(100 - sbFarbe->value()) + QStringLiteral(" %"));
    LabelWeiss->setText(QString::number(sbFarbe->value()) + QStringLiteral(" %"));
    LabelVersuche->setText(QString::number(sbVersuche->value()));
}

TRandomMovesOptions TFormRandomMoves::Options() const {
    TRandomMovesOptions o;
    o.SpielfeldLeeren = cbLeeren->isChecked();
    o.Farbwahrscheinlichkeit = sbFarbe->value();
    o.ZugVersuche = sbVersuche->value();
    return o;
}

}  // namespace obrin::gui
