#include "ui/FormAddLanguage.h"

#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace obrin::gui {

namespace {

QPushButton* Nav(QWidget* parent, const char* text) {
    auto* b = new QPushButton(QString::fromLatin1(text), parent);
    MarkUntranslated(b);
    b->setFixedWidth(40);
    return b;
}

}  // namespace

TFormAddLanguage::TFormAddLanguage(TLangSup& table, TUi& ui, QWidget* parent)
    : QDialog(parent), m_table(table) {
    setObjectName(QStringLiteral("FormAddLanguage"));
    setWindowTitle(QStringLiteral("Sprache hinzufügen"));
    setMinimumWidth(520);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    cbSource = new QComboBox(this);
    cbTarget = new QComboBox(this);
    cbTarget->setEditable(true);  // a new language is typed in here
    EditContext = new QLineEdit(this);
    EditSource = new QLineEdit(this);
    EditTarget = new QLineEdit(this);
    EditContext->setReadOnly(true);
    EditSource->setReadOnly(true);
    auto* sourceFont = new QPushButton(QStringLiteral("Zeichensatz"), this);
    auto* targetFont = new QPushButton(QStringLiteral("Zeichensatz"), this);
    grid->addWidget(new QLabel(QStringLiteral("Quell-Sprache"), this), 0, 0);
    grid->addWidget(cbSource, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Ziel-Sprache"), this), 0, 2);
    grid->addWidget(cbTarget, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Kontext"), this), 1, 0);
    grid->addWidget(EditContext, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Quelle"), this), 2, 0);
    grid->addWidget(EditSource, 2, 1, 1, 2);
    grid->addWidget(sourceFont, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("Ziel"), this), 3, 0);
    grid->addWidget(EditTarget, 3, 1, 1, 2);
    grid->addWidget(targetFont, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    auto* row = new QHBoxLayout;
    ButtonFirst = Nav(this, "|<");
    ButtonPrev = Nav(this, "<");
    ButtonNext = Nav(this, ">");
    ButtonLast = Nav(this, ">|");
    ButtonStore = new QPushButton(QStringLiteral("&Speichern"), this);
    ButtonCancel = new QPushButton(QStringLiteral("&Verwerfen"), this);
    for (QPushButton* b : {ButtonFirst, ButtonPrev, ButtonNext, ButtonLast}) row->addWidget(b);
    row->addStretch();
    row->addWidget(ButtonStore);
    row->addWidget(ButtonCancel);
    layout->addLayout(row);

    connect(ButtonFirst, &QPushButton::clicked, this, [this] { ShowEntry(0); });
    connect(ButtonPrev, &QPushButton::clicked, this,
            [this] { ShowEntry(std::max(0, m_index - 1)); });
    connect(ButtonNext, &QPushButton::clicked, this,
            [this] { ShowEntry(std::min(Count() - 1, m_index + 1)); });
    connect(ButtonLast, &QPushButton::clicked, this, [this] { ShowEntry(Count() - 1); });
    connect(ButtonStore, &QPushButton::clicked, this, &TFormAddLanguage::Store);
    connect(ButtonCancel, &QPushButton::clicked, this, &TFormAddLanguage::Cancel);
    connect(EditTarget, &QLineEdit::textEdited, this, [this] { SetEditing(true); });
    connect(cbSource, &QComboBox::currentTextChanged, this, [this] { ShowEntry(m_index); });
    connect(cbTarget, &QComboBox::currentTextChanged, this, [this] { ShowEntry(m_index); });
    auto chooseFont = [this](QLineEdit* field) {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, field->font(), this);
        if (ok) field->setFont(f);
    };
    connect(sourceFont, &QPushButton::clicked, this,
            [this, chooseFont] { chooseFont(EditSource); });
    connect(targetFont, &QPushButton::clicked, this,
            [this, chooseFont] { chooseFont(EditTarget); });
    SetEditing(false);
    ui.Translator.TranslateComponent(this, QStringLiteral("AddLanguage"));
}

void TFormAddLanguage::showEvent(QShowEvent* e) {
    if (!m_filled) Fill();
    QDialog::showEvent(e);
}

void TFormAddLanguage::Fill() {
    m_filled = true;
    std::vector<std::string> languages;
    m_table.ListLanguages(languages);
    m_entries.clear();
    m_table.ListContextsAndWords(m_entries);
    m_showing = true;
    for (QComboBox* box : {cbSource, cbTarget}) {
        const QSignalBlocker block(box);
        box->clear();
        for (const std::string& l : languages) box->addItem(QString::fromStdString(l));
    }
    const int base = cbSource->findText(QString::fromStdString(m_table.BaseLanguage()));
    if (base >= 0) cbSource->setCurrentIndex(base);
    m_showing = false;
    ShowEntry(0);
}

QString TFormAddLanguage::Lookup(const std::string& language, const std::string& context,
                                 const std::string& word) {
    // The table's own language and context stay as the windows left them.
    const std::string oldLanguage = m_table.Language();
    const std::string oldContext = m_table.Context();
    const bool oldReadOnly = m_table.ReadOnly();
    m_table.SetLanguage(language);
    m_table.SetContext(context);
    m_table.SetReadOnly(true);
    const std::string text = m_table.Translate(word);
    m_table.SetReadOnly(oldReadOnly);
    m_table.SetLanguage(oldLanguage);
    m_table.SetContext(oldContext);
    return QString::fromStdString(text);
}

void TFormAddLanguage::ShowEntry(int index) {
    if (m_showing || m_entries.empty()) return;
    m_index = std::clamp(index, 0, Count() - 1);
    const std::string& entry = m_entries[static_cast<size_t>(m_index)];
    const size_t bar = entry.find('|');
    m_context = entry.substr(0, bar);
    m_word = bar == std::string::npos ? std::string() : entry.substr(bar + 1);
    m_showing = true;
    EditContext->setText(QString::fromStdString(m_context));
    EditSource->setText(Lookup(cbSource->currentText().toStdString(), m_context, m_word));
    EditTarget->setText(Lookup(cbTarget->currentText().toStdString(), m_context, m_word));
    m_showing = false;
    SetEditing(false);
}

void TFormAddLanguage::SetEditing(bool editing) {
    for (QPushButton* b : {ButtonFirst, ButtonPrev, ButtonNext, ButtonLast})
        b->setEnabled(!editing);
    ButtonStore->setEnabled(editing);
    ButtonCancel->setEnabled(editing);
}

void TFormAddLanguage::Store() {
    const std::string oldLanguage = m_table.Language();
    const std::string oldContext = m_table.Context();
    m_table.SetLanguage(cbTarget->currentText().toStdString());
    m_table.SetContext(m_context);
    m_table.RemoveEntry(m_word);
    m_table.AddEntry(m_word, EditTarget->text().toStdString());
    m_table.SetLanguage(oldLanguage);
    m_table.SetContext(oldContext);
    ShowEntry(m_index);
}

void TFormAddLanguage::Cancel() {
    ShowEntry(m_index);
}

}  // namespace obrin::gui
