#include "records/FormGameData.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace obrin::gui {

namespace {

struct TField {
    const char* Identifier;
    const char* Label;
};

// The two columns of the dialog, as designed.
constexpr TField kLeft[] = {{"FF", "Dateiformat"}, {"GM", "Spiel"},           {"SZ", "Brettgröße"},
                            {"AP", "Applikation"}, {"GN", "Name der Partie"}, {"EV", "Ereignis"},
                            {"PC", "Ort"},         {"DT", "Datum"},           {"RO", "Runde"},
                            {"SO", "Quelle"},      {"AN", "Aufzeichner"},     {"CP", "Copyright"},
                            {"US", "Benutzer"}};
constexpr TField kRight[] = {{"PW", "Weiß"},       {"WR", "Spielstärke"}, {"WT", "Weißes Team"},
                             {"PB", "Schwarz"},    {"BR", "Spielstärke"}, {"BT", "Schwarzes Team"},
                             {"RU", "Regeln"},     {"HA", "Vorgabe"},     {"KM", "Komi"},
                             {"TM", "Bedenkzeit"}, {"OT", "Überzeit"},    {"RE", "Ergebnis"}};

}  // namespace

TFormGameData::TFormGameData(TGameData& data, TSgfTreeModel& tree, TUi& ui, QWidget* parent)
    : QDialog(parent), m_data(data), m_tree(tree) {
    setObjectName(QStringLiteral("FormGameData"));
    setWindowTitle(QStringLiteral("Partiedaten"));
    setMinimumWidth(620);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    auto addColumn = [&](const auto& fields, int column) {
        int row = 0;
        for (const TField& f : fields) {
            auto* edit = new QLineEdit(this);
            const QString id = QString::fromLatin1(f.Identifier);
            edit->setText(Shown(*m_data.Field(f.Identifier)));
            // The program plays on one board size; the record's own stays as it is.
            edit->setReadOnly(id == QStringLiteral("SZ"));
            m_edits.insert(id, edit);
            grid->addWidget(new QLabel(QString::fromUtf8(f.Label), this), row, column);
            grid->addWidget(edit, row, column + 1);
            ++row;
        }
    };
    addColumn(kLeft, 0);
    addColumn(kRight, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    m_comment = new QPlainTextEdit(this);
    m_comment->appendPlainText(Shown(m_data.GC));
    grid->addWidget(new QLabel(QStringLiteral("Kommentar"), this), 12, 2, Qt::AlignTop);
    grid->addWidget(m_comment, 12, 3, 2, 1);
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(this);
    auto* today = new QPushButton(QStringLiteral("Heute"));
    auto* ok = new QPushButton(QStringLiteral("OK"));
    buttons->addButton(today, QDialogButtonBox::ActionRole);
    buttons->addButton(ok, QDialogButtonBox::AcceptRole);
    auto* cancel = new QPushButton(QStringLiteral("&Abbrechen"));
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(today, &QPushButton::clicked, this, &TFormGameData::Today);
    connect(ok, &QPushButton::clicked, this, [this] {
        WriteBack();
        accept();
    });
    ui.Translator.TranslateComponent(this, QStringLiteral("GameData"));
}

QString TFormGameData::Shown(const std::string& raw) const {
    return QString::fromStdString(m_tree.DecodeText(m_tree.Selected(), raw));
}

void TFormGameData::Today() {
    m_edits.value(QStringLiteral("DT"))->setText(QString::fromStdString(TodayText()));
}

void TFormGameData::WriteBack() {
    TGameData edited;
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        *edited.Field(it.key().toStdString()) = it.value()->text().toStdString();
    edited.GC = m_comment->toPlainText().toStdString();
    WriteGameInfo(m_tree, edited);
}

}  // namespace obrin::gui
