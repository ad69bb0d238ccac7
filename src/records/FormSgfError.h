// The "Syntax Error" window: lists the messages that loading a damaged record produced.
#pragma once

#include <QDialog>
#include <QStringList>

#include "ui/FormUi.h"

class QListWidget;

namespace obrin::gui {

class TFormSgfError : public QDialog {
    Q_OBJECT
  public:
    explicit TFormSgfError(TUi& ui, QWidget* parent = nullptr);

    void Clear();
    void AddLine(const QString& line);
    [[nodiscard]] QStringList Lines() const;
    [[nodiscard]] bool IsEmpty() const;
    void Translate();

  private:
    TUi& m_ui;
    QListWidget* m_list;
};

}  // namespace obrin::gui
