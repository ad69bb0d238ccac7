#include "ui/FormUi.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

namespace obrin::gui {

namespace {

constexpr const char* kDesign = "obrinDesign";
constexpr const char* kUntranslated = "obrinUntranslated";
constexpr const char* kContext = "obrinContext";

// The designed text of an object: remembered the first time, so later calls start from it.
QString DesignText(QObject* o, const QString& current, const char* key = kDesign) {
    const QVariant v = o->property(key);
    if (v.isValid()) return v.toString();
    o->setProperty(key, current);
    return current;
}

bool Untranslated(const QObject* o) {
    return o->property(kUntranslated).toBool();
}

void TranslateAction(const TTranslator& t, const QString& context, QAction* a) {
    if (a->isSeparator() || Untranslated(a)) return;
    const QString design = DesignText(a, a->text());
    if (!design.isEmpty()) a->setText(t.Tr(context, design));
    if (QMenu* m = a->menu()) {
        for (QAction* sub : m->actions()) TranslateAction(t, context, sub);
    }
}

void TranslateWidget(const TTranslator& t, const QString& context, QObject* o) {
    if (Untranslated(o)) return;
    if (auto* label = qobject_cast<QLabel*>(o)) {
        const QString design = DesignText(label, label->text());
        if (!design.isEmpty() && label->pixmap().isNull()) label->setText(t.Tr(context, design));
    } else if (auto* button = qobject_cast<QAbstractButton*>(o)) {
        const QString design = DesignText(button, button->text());
        if (!design.isEmpty()) button->setText(t.Tr(context, design));
    } else if (auto* box = qobject_cast<QGroupBox*>(o)) {
        const QString design = DesignText(box, box->title());
        if (!design.isEmpty()) box->setTitle(t.Tr(context, design));
    } else if (auto* tabs = qobject_cast<QTabWidget*>(o)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const QByteArray key = QByteArray(kDesign) + QByteArray::number(i);
            const QString design = DesignText(tabs, tabs->tabText(i), key.constData());
            if (!design.isEmpty()) tabs->setTabText(i, t.Tr(context, design));
        }
    } else if (auto* bar = qobject_cast<QMenuBar*>(o)) {
        for (QAction* a : bar->actions()) TranslateAction(t, context, a);
    }
}

// Children in creation order, each followed by its own children. A window embedded here that
// translates itself in its own context is left to do so.
void TranslateChildren(const TTranslator& t, const QString& context, QObject* parent) {
    for (QObject* o : parent->children()) {
        if (o->property(kContext).isValid()) continue;
        TranslateWidget(t, context, o);
        TranslateChildren(t, context, o);
    }
}

}  // namespace

QString TTranslator::Tr(const QString& context, const QString& word) const {
    if (!m_fn) return word;
    return QString::fromStdString(m_fn(context.toStdString(), word.toStdString()));
}

void TTranslator::TranslateComponent(QWidget* window, const QString& context) const {
    window->setProperty(kContext, context);
    // A window that builds its own caption (the main window) marks itself untranslated.
    if (!Untranslated(window)) {
        const QString design = DesignText(window, window->windowTitle());
        if (!design.isEmpty()) window->setWindowTitle(Tr(context, design));
    }
    TranslateChildren(*this, context, window);
}

QDialogButtonBox* AddDialogButtons(QDialog* dialog, QLayout* layout, const char* accept,
                                   const char* reject) {
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(new QPushButton(QString::fromUtf8(accept)), QDialogButtonBox::AcceptRole);
    if (reject != nullptr)
        buttons->addButton(new QPushButton(QString::fromUtf8(reject)),
                           QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void CloseWindow(QWidget* w) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        frame->close();
    else
        w->close();
}

void MarkUntranslated(QObject* w) {
    w->setProperty(kUntranslated, true);
}

TDialogs::TDialogs() {
    Message = [](QWidget* parent, const QString& text) {
        QMessageBox::information(parent, QStringLiteral("Obrin"), text);
    };
    Question = [](QWidget* parent, const QString& text) {
        return QMessageBox::question(parent, QStringLiteral("Obrin"), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    Exec = [](QDialog* dialog) { return dialog->exec(); };
    OpenFileName = [](QWidget* parent, const QString& caption, const QString& start,
                      const QString& filters) {
        return QFileDialog::getOpenFileName(parent, caption, start, filters);
    };
    SaveFileName = [](QWidget* parent, const QString& caption, const QString& start,
                      const QString& filters) {
        return QFileDialog::getSaveFileName(parent, caption, start, filters);
    };
}

}  // namespace obrin::gui
