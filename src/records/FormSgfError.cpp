#include "records/FormSgfError.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace obrin::gui {

TFormSgfError::TFormSgfError(TUi& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("FormSgfError"));
    setWindowTitle(QStringLiteral("Syntax Error"));
    resize(520, 300);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Fehlermeldungen"), this));
    m_list = new QListWidget(this);
    // Read-only: the list only shows what the reader found.
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_list);
    QDialogButtonBox* buttons = AddDialogButtons(this, layout, "&OK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    Translate();
}

void TFormSgfError::Translate() {
    m_ui.Translator.TranslateComponent(this, QStringLiteral("SGF error"));
}

void TFormSgfError::Clear() {
    m_list->clear();
}

void TFormSgfError::AddLine(const QString& line) {
    m_list->addItem(line);
}

bool TFormSgfError::IsEmpty() const {
    return m_list->count() == 0;
}

QStringList TFormSgfError::Lines() const {
    QStringList lines;
    for (int i = 0; i < m_list->count(); ++i) lines << m_list->item(i)->text();
    return lines;
}

}  // namespace obrin::gui
