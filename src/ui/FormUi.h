// What every window of the desktop program shares: the translation hook and the way windows
// talk to the user (message boxes, questions). Windows are designed with German texts and
// translate themselves through TTranslator in their own context.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

namespace obrin::gui {

// The translation hook. Until a table is attached it shows the designed texts unchanged.
// TranslateComponent keeps each widget's designed text in a property, so translating again after
// a change of language always starts from the German original.
class TTranslator {
  public:
    using TFunction =
        std::function<std::string(const std::string& context, const std::string& word)>;

    void SetFunction(TFunction fn) { m_fn = std::move(fn); }
    [[nodiscard]] const TFunction& Function() const { return m_fn; }
    [[nodiscard]] QString Tr(const QString& context, const QString& word) const;
    // Translates the window and every widget, menu and page on it.
    void TranslateComponent(QWidget* window, const QString& context) const;

  private:
    TFunction m_fn;
};

// The button row of a dialog: an accept button and, unless reject is null, a reject button that
// rejects the dialog. The caller connects accepted().
QDialogButtonBox* AddDialogButtons(QDialog* dialog, QLayout* layout, const char* accept,
                                   const char* reject = nullptr);

// Closes a window, together with the frame around it when it stands in the main window's
// multi-document area (closing only the widget would leave an empty frame behind).
void CloseWindow(QWidget* w);

// Marks a widget whose text is data (a number, a point, a file name), never translated.
void MarkUntranslated(QObject* w);

// Message boxes go through here so that tests and the offscreen tools can answer them.
class TDialogs {
  public:
    std::function<void(QWidget* parent, const QString& text)> Message;
    // A yes/no question; true on yes.
    std::function<bool(QWidget* parent, const QString& text)> Question;
    // Runs a modal dialog and returns its result code.
    std::function<int(QDialog* dialog)> Exec;
    // The file dialogs: the chosen name, empty when cancelled. start is a folder or a file
    // name proposed in it; the save dialog asks before it overwrites.
    std::function<QString(QWidget*parent, const QString&caption, const QString&start,
                          const QString&filters)>
        OpenFileName, SaveFileName;

    TDialogs();
};

// The shared context handed to every window by reference.
struct TUi {
    TTranslator Translator;
    TDialogs Dialogs;

    [[nodiscard]] QString Tr(const QString& context, const QString& word) const {
        return Translator.Tr(context, word);
    }
    // Shows a designed text, translated in context.
    void Message(QWidget* parent, const QString& context, const QString& word) const {
        Dialogs.Message(parent, Tr(context, word));
    }
    [[nodiscard]] bool Ask(QWidget* parent, const QString& context, const QString& word) const {
        return Dialogs.Question(parent, Tr(context, word));
    }
};

}  // namespace obrin::gui
