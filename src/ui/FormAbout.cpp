#include "ui/FormAbout.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/FormGoMain.h"

namespace obrin::gui {

namespace {

QLabel* Text(QWidget* parent, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

QLabel* Link(QWidget* parent, const QString& address) {
    auto* l = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(address), parent);
    MarkUntranslated(l);
    l->setTextInteractionFlags(Qt::TextBrowserInteraction);
    QObject::connect(l, &QLabel::linkActivated,
                     [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });
    return l;
}

}  // namespace

TFormInfo::TFormInfo(TInfoBox kind, TUi& ui, QWidget* parent) : QDialog(parent) {
    auto* layout = new QVBoxLayout(this);
    setMinimumWidth(380);
    QString context;
    switch (kind) {
        case TInfoBox::About: {
            setObjectName(QStringLiteral("FormAbout"));
            context = QStringLiteral("About");
            setWindowTitle(QStringLiteral("Über Obrin"));
            auto* title = new QLabel(QStringLiteral("Obrin ") + VersionText(), this);
            MarkUntranslated(title);
            QFont f = title->font();
            f.setPointSizeF(f.pointSizeF() * 1.6);
            f.setBold(true);
            title->setFont(f);
            layout->addWidget(title);
            layout->addWidget(Text(this, QStringLiteral("Ein Go-Programm für das 19x19-Brett")));
            break;
        }
        case TInfoBox::History:
            setObjectName(QStringLiteral("FormHistory"));
            context = QStringLiteral("About");
            setWindowTitle(QStringLiteral("Historie"));
            layout->addWidget(
                Text(this, QStringLiteral("Version 6: Spielbaum mit Varianten, Kommentaren und "
                                          "Partiedaten; SGF lesen und schreiben")));
            layout->addWidget(Text(
                this, QStringLiteral(
                          "Version 5: Zielgesteuerte Zugwahl mit Regeln und neuronalen Netzen")));
            break;
        case TInfoBox::Links:
            setObjectName(QStringLiteral("FormLinks"));
            context = QStringLiteral("Links");
            setWindowTitle(QStringLiteral("Links"));
            layout->addWidget(Text(this, QStringLiteral("Go im Internet:")));
            layout->addWidget(Link(this, QStringLiteral("https://senseis.xmp.net/")));
            layout->addWidget(Link(this, QStringLiteral("https://www.red-bean.com/sgf/")));
            layout->addWidget(Link(this, QStringLiteral("https://www.gnu.org/software/gnugo/")));
            break;
    }
    QDialogButtonBox* buttons = AddDialogButtons(this, layout, "&OK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    ui.Translator.TranslateComponent(this, context);
}

}  // namespace obrin::gui
