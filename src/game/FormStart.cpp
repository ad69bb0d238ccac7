#include "game/FormStart.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "game/gameflow.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("Start");

QGroupBox* ChoiceGroup(QWidget* parent, const QString& title, QRadioButton*& first,
                       QRadioButton*& second, const QString& a, const QString& b) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QHBoxLayout(box);
    first = new QRadioButton(a, box);
    second = new QRadioButton(b, box);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch();
    first->setChecked(true);
    return box;
}

// Reads a real number with a point or a comma; false when the text is none.
bool ParseReal(const QString& text, double& value) {
    bool ok = false;
    const double v =
        QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    if (ok) value = v;
    return ok;
}

}  // namespace

TFormStart::TFormStart(TGameState& game, TUi& ui, QWidget* parent)
    : QDialog(parent), m_game(game), m_ui(ui) {
    setObjectName(QStringLiteral("FormStart"));
    setWindowTitle(QStringLiteral("Modalitäten"));
    setMinimumWidth(400);
    auto* layout = new QVBoxLayout(this);

    auto* prisoners = new QGroupBox(QStringLiteral("Gefangene"), this);
    auto* form = new QFormLayout(prisoners);
    EditSGefangene = new QLineEdit(prisoners);
    EditWGefangene = new QLineEdit(prisoners);
    form->addRow(new QLabel(QStringLiteral("von Schwarz"), prisoners), EditSGefangene);
    form->addRow(new QLabel(QStringLiteral("von Weiß"), prisoners), EditWGefangene);
    auto* komiRow = new QHBoxLayout;
    auto* standard = new QPushButton(QStringLiteral("Standard-&Komi"), prisoners);
    auto* none = new QPushButton(QStringLiteral("k&eine Komi"), prisoners);
    standard->setAutoDefault(false);
    none->setAutoDefault(false);
    komiRow->addWidget(standard);
    komiRow->addWidget(none);
    form->addRow(komiRow);
    layout->addWidget(prisoners);

    m_pages = new QTabWidget(this);
    auto* vsComputer = new QWidget(m_pages);
    auto* pageLayout = new QVBoxLayout(vsComputer);
    pageLayout->addWidget(ChoiceGroup(vsComputer, QStringLiteral("Wer beginnt ?"),
                                      rbComputerBeginnt, m_mensch, QStringLiteral("Computer"),
                                      QStringLiteral("Mensch")));
    QRadioButton* black = nullptr;
    pageLayout->addWidget(ChoiceGroup(vsComputer, QStringLiteral("Computer-Farbe"), black,
                                      rbComputerWeiss, QStringLiteral("Schwarz"),
                                      QStringLiteral("Weiß")));
    pageLayout->addStretch();
    auto* vsHuman = new QWidget(m_pages);
    auto* humanLayout = new QVBoxLayout(vsHuman);
    humanLayout->addWidget(ChoiceGroup(vsHuman, QStringLiteral("Wer beginnt ?"), rbSchwarzBeginnt,
                                       rbWeissBeginnt, QStringLiteral("Schwarz"),
                                       QStringLiteral("Weiß")));
    humanLayout->addStretch();
    m_pages->addTab(vsComputer, QStringLiteral("Mensch gegen Computer"));
    m_pages->addTab(vsHuman, QStringLiteral("Mensch gegen Mensch"));
    layout->addWidget(m_pages);

    QDialogButtonBox* buttons = AddDialogButtons(this, layout, "&OK", "&Abbruch");

    m_black = PrisonersOf(game, true);
    m_white = PrisonersOf(game, false);
    connect(standard, &QPushButton::clicked, this, [this] {
        m_black = 0.0;
        m_white = 5.5;
        ShowPrisoners();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        m_black = m_white = 0.0;
        ShowPrisoners();
    });
    connect(EditSGefangene, &QLineEdit::editingFinished, this, &TFormStart::ReadPrisoners);
    connect(EditWGefangene, &QLineEdit::editingFinished, this, &TFormStart::ReadPrisoners);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFormStart::Accept);
    ShowPrisoners();
    Translate();
}

void TFormStart::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
}

void TFormStart::SetPage(int page) {
    m_pages->setCurrentIndex(page);
    ShowPrisoners();
}

void TFormStart::SuggestHandicapGame() {
    rbComputerWeiss->setChecked(true);
    rbComputerBeginnt->setChecked(true);
}

void TFormStart::ShowPrisoners() {
    EditSGefangene->setText(QString::number(m_black));
    EditWGefangene->setText(QString::number(m_white));
}

void TFormStart::ReadPrisoners() {
    // A text that is no number leaves the previous values.
    double black = m_black;
    double white = m_white;
    if (ParseReal(EditSGefangene->text(), black) && ParseReal(EditWGefangene->text(), white)) {
        m_black = black;
        m_white = white;
    }
    ShowPrisoners();
}

void TFormStart::Accept() {
    ReadPrisoners();
    // Between two humans +1 is Black; against the computer +1 is the computer's colour.
    const bool computerWhite = m_pages->currentIndex() == 0 && rbComputerWeiss->isChecked();
    m_game.ComputerWeiss = computerWhite;
    m_game.GefangeneSchwarz = computerWhite ? m_white : m_black;
    m_game.GefangeneWeiss = computerWhite ? m_black : m_white;
    m_game.ComputerBeginnt = rbComputerBeginnt->isChecked();
    m_game.SchwarzBeginnt = rbSchwarzBeginnt->isChecked();
    accept();
}

TFormStart::~TFormStart() {
    EditSGefangene->disconnect(this);
    EditWGefangene->disconnect(this);
}

}  // namespace obrin::gui
