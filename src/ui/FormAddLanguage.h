// The add-language dialog ("Sprache hinzufügen"): walks through every text of the translation
// table and lets the user type its translation into a target language, next to the source.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "ui/FormUi.h"
#include "settings/langsup.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace obrin::gui {

class TFormAddLanguage : public QDialog {
    Q_OBJECT
  public:
    TFormAddLanguage(TLangSup& table, TUi& ui, QWidget* parent = nullptr);

    // Fills the language lists and the entries (done once, when the dialog is first shown).
    void Fill();
    void ShowEntry(int index);
    void Store();
    void Cancel();
    [[nodiscard]] int Index() const { return m_index; }
    [[nodiscard]] int Count() const { return static_cast<int>(m_entries.size()); }

    QComboBox* cbSource;
    QComboBox* cbTarget;
    QLineEdit* EditContext;
    QLineEdit* EditSource;
    QLineEdit* EditTarget;
    QPushButton* ButtonFirst;
    QPushButton* ButtonPrev;
    QPushButton* ButtonNext;
    QPushButton* ButtonLast;
    QPushButton* ButtonStore;
    QPushButton* ButtonCancel;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void SetEditing(bool editing);
    // The translation of word in context into language, without adding anything to the table.
    [[nodiscard]] QString Lookup(const std::string& language, const std::string& context,
                                 const std::string& word);

    TLangSup& m_table;
    std::vector<std::string> m_entries;
    int m_index = 0;
    bool m_filled = false;
    bool m_showing = false;  // the target field is being filled by the program, not edited
    std::string m_context, m_word;
};

}  // namespace obrin::gui
