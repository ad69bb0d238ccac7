#include "tactics/FormBruteForce.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/FormBoard.h"
#include "ui/FormHost.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("BruteForce");
const QString kMarks = QStringLiteral("BruteForce");
constexpr int kDefaultLimit = 10000;
const QColor kChainMark(0x20, 0x60, 0xD0);
const QColor kYesMark(0x10, 0x90, 0x30);

QLabel* ValueLabel(QWidget* parent, bool large) {
    auto* l = new QLabel(parent);
    MarkUntranslated(l);
    QFont f = l->font();
    f.setBold(true);
    if (large) f.setPointSizeF(f.pointSizeF() * 1.3);
    l->setFont(f);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

TFormBruteForce::TFormBruteForce(TEngine& engine, TUi& ui, TGuiHost& host, TFormBoard& board,
                                 QWidget* parent)
    : QWidget(parent), m_engine(engine), m_ui(ui), m_host(host), m_board(board) {
    setObjectName(QStringLiteral("FormBruteForce"));
    setWindowTitle(QStringLiteral("Brute Force"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(
        QStringLiteral("Klicke auf dem Spielfeld eine Kette an und frage, ob sie zu retten oder "
                       "zu fangen ist."),
        this);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    grid->setHorizontalSpacing(14);
    EditName = new QLineEdit(this);
    EditName->setMaximumWidth(70);
    EditTime = new QLineEdit(QString::number(kDefaultLimit), this);
    EditTime->setMaximumWidth(70);
    LabelErgebnis = ValueLabel(this, true);
    LabelOrt = ValueLabel(this, true);
    LabelKo = ValueLabel(this, false);
    LabelKo->setWordWrap(true);
    LabelDetail = new QLabel(this);
    MarkUntranslated(LabelDetail);
    LabelDetail->setStyleSheet(QStringLiteral("color: #606060;"));
    int row = 0;
    auto add = [&](const char* caption, QWidget* w) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
        grid->addWidget(w, row++, 1);
    };
    add("Kette", EditName);
    add("Zeitlimit (ms)", EditTime);
    add("Ergebnis", LabelErgebnis);
    add("Ort", LabelOrt);
    grid->addWidget(LabelKo, row++, 0, 1, 3);
    grid->addWidget(LabelDetail, row++, 0, 1, 3);
    layout->addLayout(grid);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    ButtonRetten = new QPushButton(QStringLiteral("&Retten"), this);
    ButtonFangen = new QPushButton(QStringLiteral("&Fangen"), this);
    ButtonStop = new QPushButton(QStringLiteral("Sto&p"), this);
    ButtonEnde = new QPushButton(QStringLiteral("&Ende"), this);
    ButtonStop->setEnabled(false);
    for (QPushButton* b : {ButtonRetten, ButtonFangen, ButtonStop}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(ButtonEnde);
    layout->addLayout(buttons);

    connect(ButtonRetten, &QPushButton::clicked, this, [this] { Read(false); });
    connect(ButtonFangen, &QPushButton::clicked, this, [this] { Read(true); });
    connect(ButtonStop, &QPushButton::clicked, this, [this] { m_stop = true; });
    connect(ButtonEnde, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    Translate();
    setMinimumWidth(360);
    resize(360, 300);
}

void TFormBruteForce::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
}

void TFormBruteForce::PointChosen(TPoint point) {
    if (!OnBoard(point.X, point.Y)) return;
    EditName->setText(QString::fromStdString(PointText(point.X, point.Y)));
    // A new chain: the old answer no longer belongs to what the window shows.
    if (!m_reading) {
        LabelErgebnis->clear();
        LabelOrt->clear();
        LabelKo->clear();
        LabelDetail->clear();
        m_board.View()->SetToolMarks(kMarks, {{point, kChainMark, QString()}});
    }
}

int TFormBruteForce::TimeLimit() {
    bool ok = false;
    const int limit = EditTime->text().trimmed().toInt(&ok);
    // A negative limit would put the deadline before now (or, unsigned, past the end of time).
    if (ok && limit >= 0) return limit;
    EditTime->setText(QString::number(kDefaultLimit));
    return kDefaultLimit;
}

bool TFormBruteForce::ChosenChain(TPoint& chain) {
    const std::string text = EditName->text().trimmed().toUpper().toStdString();
    chain = PassPoint;
    if (!text.empty()) {
        try {
            chain = TPoint{ColumnOfText(text), RowOfText(text)};
        } catch (const std::exception&) {
            chain = PassPoint;
        }
    }
    if (OnBoard(chain.X, chain.Y) && m_engine.Fields.Spielfeld[PointIndex(chain.X, chain.Y)] != 0)
        return true;
    m_ui.Message(this, kContext,
                 QStringLiteral("Bitte zuerst eine Kette auf dem Spielfeld anklicken."));
    return false;
}

void TFormBruteForce::Read(bool attack) {
    if (m_reading) return;
    TPoint chain;
    if (!ChosenChain(chain)) return;
    EditName->setText(QString::fromStdString(PointText(chain.X, chain.Y)));
    LabelErgebnis->setText(m_ui.Tr(kContext, QStringLiteral("Rechnend")));
    LabelOrt->clear();
    LabelKo->clear();
    LabelDetail->clear();
    m_board.View()->SetToolMarks(kMarks, {{chain, kChainMark, QString()}});
    SetReading(true);
    m_host.SetBusy(true);
    m_host.ProcessEvents();

    const int limit = TimeLimit();
    // The reader gets its own copy: the windows stay alive while it reads.
    const TBoardFields& f = m_engine.Fields;
    const TBoard position = f.Spielfeld;
    const int koX = f.KoX, koY = f.KoY;
    const int64_t nodesBefore = m_engine.Reader.Nodes;
    QElapsedTimer clock;
    clock.start();
    m_host.ToolStopRequested = [this] { return m_stop; };
    const uint64_t deadline = m_engine.Reader.NowMs() + static_cast<uint64_t>(limit);
    // An exception must not leave this slot: Qt would end the program.
    TReadingAnswer answer;
    QString failure;
    try {
        answer = attack ? ReadAttack(m_engine.Reader, chain.X, chain.Y, koX, koY, position, deadline)
                        : ReadDefend(m_engine.Reader, chain.X, chain.Y, koX, koY, position, deadline);
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
    }
    m_host.ToolStopRequested = nullptr;
    if (!failure.isEmpty()) m_ui.Dialogs.Message(this, failure);

    ShowAnswer(answer, chain);
    LabelDetail->setText(m_ui.Tr(kContext, QStringLiteral("%1 Stellungen gelesen in %2 ms"))
                             .arg(m_engine.Reader.Nodes - nodesBefore)
                             .arg(clock.elapsed()));
    m_host.Redraw();  // the game position again, after the trial positions
    m_host.SetBusy(false);
    SetReading(false);
    if (m_closeWhenDone) {
        m_closeWhenDone = false;
        CloseWindow(this);
    }
}

void TFormBruteForce::ShowAnswer(const TReadingAnswer& answer, TPoint chain) {
    std::vector<TToolMark> marks{{chain, kChainMark, QString()}};
    if (answer.Result == FightSuccess) {
        LabelErgebnis->setText(
            m_ui.Tr(kContext, answer.Ko ? QStringLiteral("Ja, über Ko") : QStringLiteral("Ja")));
        LabelOrt->setText(QString::fromStdString(PointText(answer.Move.X, answer.Move.Y)));
        if (answer.KoKind == TKoResult::KoA)
            LabelKo->setText(m_ui.Tr(
                kContext, QStringLiteral("Ko: gelingt, wenn dieser Zug den Ko zuerst nimmt.")));
        else if (answer.Ko)
            LabelKo->setText(
                m_ui.Tr(kContext, QStringLiteral("Ko: gelingt nur mit einer Ko-Drohung zuvor.")));
        if (OnBoard(answer.Move.X, answer.Move.Y))
            marks.push_back({answer.Move, kYesMark, QStringLiteral("1")});
    } else if (answer.Result == FightFailure) {
        LabelErgebnis->setText(m_ui.Tr(kContext, QStringLiteral("Nein")));
    } else {
        LabelErgebnis->setText(m_stop ? m_ui.Tr(kContext, QStringLiteral("Abgebrochen"))
                                      : m_ui.Tr(kContext, QStringLiteral("Timeout")));
    }
    m_board.View()->SetToolMarks(kMarks, std::move(marks));
}

void TFormBruteForce::SetReading(bool on) {
    m_reading = on;
    m_stop = false;
    ButtonRetten->setEnabled(!on);
    ButtonFangen->setEnabled(!on);
    ButtonStop->setEnabled(on);
    EditName->setReadOnly(on);
    EditTime->setReadOnly(on);
    if (OnReading) OnReading(on);
}

void TFormBruteForce::closeEvent(QCloseEvent* e) {
    // The reading runs inside this window's button handler: stop it, and close once it returned.
    if (m_reading) {
        m_stop = true;
        m_closeWhenDone = true;
        e->ignore();
        return;
    }
    m_board.View()->SetToolMarks(kMarks, {});
    QWidget::closeEvent(e);
}

}  // namespace obrin::gui
