// The game-information dialog ("Partiedaten"): shows the game information last seen in the
// record and writes the edited values into the root node of the selected game on "OK".
#pragma once

#include <QDialog>
#include <QHash>

#include "records/gameinfo.h"
#include "records/sgftree.h"
#include "ui/FormUi.h"

class QLineEdit;
class QPlainTextEdit;

namespace obrin::gui {

class TFormGameData : public QDialog {
    Q_OBJECT
  public:
    TFormGameData(TGameData& data, TSgfTreeModel& tree, TUi& ui, QWidget* parent = nullptr);

    // The edit line of a property ("PB", "DT", ...); GC is the multi-line field.
    [[nodiscard]] QLineEdit* Edit(const QString& identifier) const {
        return m_edits.value(identifier);
    }
    [[nodiscard]] QPlainTextEdit* Comment() const { return m_comment; }
    void Today();
    void WriteBack();

  private:
    // A value of the record as the user reads it (the record's encoding decoded).
    [[nodiscard]] QString Shown(const std::string& raw) const;
    TGameData& m_data;
    TSgfTreeModel& m_tree;
    QHash<QString, QLineEdit*> m_edits;
    QPlainTextEdit* m_comment;
};

}  // namespace obrin::gui
