#include "ui/FormParameter.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/FormBoard.h"
#include "settings/textlines.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("Parameters");

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QPushButton* Ellipsis(QWidget* parent) {
    auto* b = new QPushButton(QStringLiteral("..."), parent);
    MarkUntranslated(b);
    b->setFixedWidth(32);
    b->setAutoDefault(false);
    return b;
}

}  // namespace

int32_t ColourValueOf(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

TFormParameter::TFormParameter(TUi& ui, TSettings& settings, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_settings(settings) {
    setObjectName(QStringLiteral("FormParameter"));
    setWindowTitle(QStringLiteral("Parameter"));
    setMinimumWidth(480);
    auto* layout = new QVBoxLayout(this);
    auto* pages = new QTabWidget(this);
    pages->addTab(BuildGeneral(), QStringLiteral("&Allgemeines"));
    pages->addTab(BuildLanguage(), QStringLiteral("&Sprache"));
    pages->addTab(BuildTuning(), QStringLiteral("&Tuning"));
    layout->addWidget(pages);
    QDialogButtonBox* buttons = AddDialogButtons(this, layout, "&OK", "&Abbruch");
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        WriteSettings();
        accept();
    });
    ReadSettings();
    Translate();
}

QWidget* TFormParameter::BuildGeneral() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    EditPartien = new QLineEdit(page);
    EditStellungen = new QLineEdit(page);
    auto* partien = Ellipsis(page);
    auto* stellungen = Ellipsis(page);
    grid->addWidget(new QLabel(QStringLiteral("Basispfad für Partien"), page), 0, 0);
    grid->addWidget(EditPartien, 0, 1);
    grid->addWidget(partien, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Basispfad für Stellungen"), page), 1, 0);
    grid->addWidget(EditStellungen, 1, 1);
    grid->addWidget(stellungen, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Brett-Farbe"), page), 2, 0);
    LabelFarbe = new QLabel(page);
    MarkUntranslated(LabelFarbe);
    LabelFarbe->setFrameShape(QFrame::Box);
    LabelFarbe->setMinimumHeight(22);
    auto* colour = Ellipsis(page);
    grid->addWidget(LabelFarbe, 2, 1);
    grid->addWidget(colour, 2, 2);
    cbStellungSichern =
        new QCheckBox(QStringLiteral("Stellung nach jedem Zug speichern (backup.stl)"), page);
    cbKettenProtokollieren = new QCheckBox(QStringLiteral("Ketten-Status protokollieren"), page);
    cbZieleProtokollieren = new QCheckBox(QStringLiteral("Zielwahl-Prozeß mitschreiben"), page);
    cbTreppenAnimieren = new QCheckBox(QStringLiteral("Vorausschau animieren"), page);
    int row = 3;
    for (QCheckBox* c :
         {cbStellungSichern, cbKettenProtokollieren, cbZieleProtokollieren, cbTreppenAnimieren})
        grid->addWidget(c, row++, 0, 1, 3);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    auto chooseDir = [this](QLineEdit* edit) {
        const QString dir = QFileDialog::getExistingDirectory(this, QString(), edit->text());
        if (!dir.isEmpty()) edit->setText(dir);
    };
    connect(partien, &QPushButton::clicked, this, [this, chooseDir] { chooseDir(EditPartien); });
    connect(stellungen, &QPushButton::clicked, this,
            [this, chooseDir] { chooseDir(EditStellungen); });
    connect(colour, &QPushButton::clicked, this, [this] {
        const QColor c = QColorDialog::getColor(BoardColourOf(m_colour), this);
        if (!c.isValid()) return;
        m_colour = ColourValueOf(c);
        ShowColour();
    });
    return page;
}

QWidget* TFormParameter::BuildLanguage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    ListSprachen = new QListWidget(page);
    EditSprache = new QLineEdit(page);
    EditFont = new QLineEdit(page);
    EditSprache->setReadOnly(true);
    EditFont->setReadOnly(true);
    auto* font = Ellipsis(page);
    grid->addWidget(ListSprachen, 0, 0, 3, 1);
    grid->addWidget(EditSprache, 0, 1, 1, 2);
    grid->addWidget(EditFont, 1, 1);
    grid->addWidget(font, 1, 2);
    grid->setRowStretch(2, 1);
    connect(ListSprachen, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ChooseLanguage(item->text()); });
    connect(font, &QPushButton::clicked, this, [this] {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, QFont(EditFont->text()), this);
        if (ok) EditFont->setText(f.family());
    });
    return page;
}

QWidget* TFormParameter::BuildTuning() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    SpinDenkzeit = new QSpinBox(page);
    SpinDenkzeit->setRange(1, 100000000);
    cbZufall = new QCheckBox(QStringLiteral("Zufall"), page);
    cbKlassischeEngine = new QCheckBox(QStringLiteral("Klassische Engine"), page);
    form->addRow(new QLabel(QStringLiteral("Millisekunden Denkzeit je Punkt Strategiewert"), page),
                 SpinDenkzeit);
    form->addRow(cbZufall);
    form->addRow(cbKlassischeEngine);
    // Tuning values take effect at once, without OK.
    connect(SpinDenkzeit, &QSpinBox::valueChanged, this,
            [this](int v) { m_settings.Denkzeit = std::max(1, v); });
    connect(cbZufall, &QCheckBox::toggled, this, [this](bool on) { m_settings.Zufall = on; });
    connect(cbKlassischeEngine, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.KlassischeEngine = on; });
    return page;
}

void TFormParameter::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
}

void TFormParameter::showEvent(QShowEvent* e) {
    ReadSettings();
    QDialog::showEvent(e);
}

void TFormParameter::ShowColour() {
    const QColor c = BoardColourOf(m_colour);
    LabelFarbe->setStyleSheet(QStringLiteral("background-color: %1;").arg(c.name()));
}

void TFormParameter::ReadSettings() {
    if (ReadFile) ReadFile();
    const TSettings& s = m_settings;
    EditPartien->setText(Q(s.Partien));
    EditStellungen->setText(Q(s.Stellungen));
    m_colour = s.Farbe;
    ShowColour();
    cbStellungSichern->setChecked(s.StellungSichern);
    cbKettenProtokollieren->setChecked(s.KettenProtokollieren);
    cbZieleProtokollieren->setChecked(s.ZieleProtokollieren);
    cbTreppenAnimieren->setChecked(s.TreppenAnimieren);
    EditSprache->setText(Q(s.Sprache));
    EditFont->setText(Q(s.Font));
    ListSprachen->clear();
    if (ListLanguages)
        for (const std::string& l : ListLanguages()) ListSprachen->addItem(Q(l));
    const QSignalBlocker block(SpinDenkzeit);
    const int32_t denkzeit = s.Denkzeit;  // the spin field raises a 0 only when it is changed
    SpinDenkzeit->setValue(denkzeit);
    m_settings.Denkzeit = denkzeit;
    const QSignalBlocker blockZufall(cbZufall);
    cbZufall->setChecked(s.Zufall);
    const QSignalBlocker blockKlassisch(cbKlassischeEngine);
    cbKlassischeEngine->setChecked(s.KlassischeEngine);
}

void TFormParameter::WriteSettings() {
    TSettings& s = m_settings;
    s.Partien = Utf8Prefix(EditPartien->text().toStdString(), MaxSettingsPathChars);
    s.Stellungen = Utf8Prefix(EditStellungen->text().toStdString(), MaxSettingsPathChars);
    s.Farbe = m_colour;
    s.StellungSichern = cbStellungSichern->isChecked();
    s.KettenProtokollieren = cbKettenProtokollieren->isChecked();
    s.ZieleProtokollieren = cbZieleProtokollieren->isChecked();
    s.TreppenAnimieren = cbTreppenAnimieren->isChecked();
    s.Sprache = EditSprache->text().toStdString();
    s.Font = EditFont->text().toStdString();
    s.Denkzeit = SpinDenkzeit->value();
    s.Zufall = cbZufall->isChecked();
    s.KlassischeEngine = cbKlassischeEngine->isChecked();
    if (WriteFile) WriteFile();
}

void TFormParameter::ChooseLanguage(const QString& language) {
    EditSprache->setText(language);
    m_settings.Sprache = language.toStdString();
    if (SetLanguage) SetLanguage(language.toStdString());
    Translate();
}

}  // namespace obrin::gui
