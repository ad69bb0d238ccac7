// The board window: click mapping, position entry and the wait for a human move.
#include "ui/FormBoard.h"

#include <QTest>
#include <QTimer>

#include "support/gui_test.h"
#include "ui/FormHost.h"

namespace obrin::gui {

class TFormBoardTest : public QObject {
    Q_OBJECT

    IHost m_host;
    std::unique_ptr<TEngine> m_engine;
    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TFormBoard> m_board;
    QStringList m_messages;

    QPoint Pixel(int x, int y) const {
        const TBoardGeometry g = m_board->View()->Geometry();
        return QPoint(qRound(g.X(x)), qRound(g.Y(y)));
    }
    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(m_board->View(), button, {}, Pixel(x, y));
    }

  private slots:
    void init() {
        m_engine = std::make_unique<TEngine>(m_host);
        m_ui = std::make_unique<TUi>();
        m_messages.clear();
        m_ui->Dialogs.Message = [this](QWidget*, const QString& t) { m_messages << t; };
        m_board = std::make_unique<TFormBoard>(*m_engine, *m_ui);
        m_board->resize(400, 430);
        m_board->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_board.get()));
    }
    void cleanup() { m_board.reset(); }

    void clickMapsToTheNearestPointUpToHalfASpacingOffTheGrid() {
        const TBoardGeometry g = TBoardGeometry::For(400, 400);
        const double s = g.Spacing;
        QCOMPARE(g.PointAt(g.X(0), g.Y(0)), (TPoint{0, 0}));
        QCOMPARE(g.PointAt(g.X(18) + 0.49 * s, g.Y(18) - 0.49 * s), (TPoint{18, 18}));
        QCOMPARE(g.PointAt(g.X(0) - 0.49 * s, g.Y(0) + 0.49 * s), (TPoint{0, 0}));
        QCOMPARE(g.PointAt(g.X(7) + 0.4 * s, g.Y(11) + 0.4 * s), (TPoint{7, 11}));
        QVERIFY(!OnBoard(g.PointAt(g.X(18) + 0.51 * s, g.Y(5)).X, 5));
        QVERIFY(!OnBoard(g.PointAt(g.X(0) - 0.51 * s, g.Y(5)).X, 5));
        const TPoint below = g.PointAt(g.X(3), g.Y(0) + 0.51 * s);
        QVERIFY(!OnBoard(below.X, below.Y));
        // A wide window centres the square board: mapping follows it.
        const TBoardGeometry wide = TBoardGeometry::For(900, 400);
        QCOMPARE(wide.PointAt(450, 200), (TPoint{9, 9}));
    }

    void positionEntryTogglesWithBothButtonsAndIgnoresClicksOffTheGrid() {
        m_board->SetState(bsInput);
        Click(3, 3, Qt::LeftButton);
        Click(15, 15, Qt::RightButton);
        Click(4, 4, Qt::LeftButton);
        Click(4, 4, Qt::RightButton);  // occupied: becomes empty whatever the button
        QCOMPARE(GetPoint(m_engine->Fields.Spielfeld, 3, 3), 1);
        QCOMPARE(GetPoint(m_engine->Fields.Spielfeld, 15, 15), -1);
        QCOMPARE(GetPoint(m_engine->Fields.Spielfeld, 4, 4), 0);
        const TBoard before = m_engine->Fields.Spielfeld;
        QTest::mouseClick(m_board->View(), Qt::LeftButton, {}, QPoint(2, 2));
        QVERIFY(m_engine->Fields.Spielfeld == before);
    }

    void lockedBoardAsksForAGameModeAndKeepsTheBoard() {
        QCOMPARE(m_board->GetState(), bsLocked);
        Click(9, 9);
        QCOMPARE(m_messages, QStringList{QStringLiteral("Bitte wähle zunächst einen Spielmodus")});
        QVERIFY(BoardIsEmpty(m_engine->Fields.Spielfeld));
        QCOMPARE(m_board->ClickedColumn(), -1);
    }

    // The wait ends on a legal click (not on an occupied point), on a pass with both
    // coordinates -1, and with false when the board is locked meanwhile.
    void waitForMoveEndsOnALegalClickAPassOrTheLock() {
        SetPoint(m_engine->Fields.Spielfeld, 0, 18, 1);
        m_board->SetState(bsMenschMensch);
        QTimer::singleShot(10, this, [this] { Click(0, 18); });  // occupied
        QTimer::singleShot(30, this, [this] { Click(5, 6); });
        int x = -9, y = -9;
        QVERIFY(m_board->WaitForMove(x, y, -1));
        QCOMPARE((TPoint{x, y}), (TPoint{5, 6}));

        bool passEnabled = false;
        m_board->OnPassEnabled = [&](bool on) { passEnabled = on; };
        QTimer::singleShot(10, this, [&] {
            QVERIFY(passEnabled);
            m_board->RequestPass();
        });
        QVERIFY(m_board->WaitForMove(x, y, 1));
        QCOMPARE((TPoint{x, y}), PassPoint);
        QVERIFY(!passEnabled);

        m_board->SetState(bsMenschComputer);
        QTimer::singleShot(10, this, [this] { m_board->SetState(bsLocked); });
        QVERIFY(!m_board->WaitForMove(x, y, 1));
    }

    // How dark the picture is at a point: a black stone is dark, the wooden board is not.
    int Lightness(int x, int y) {
        const QImage picture = m_board->View()->grab().toImage();
        const int beside = int(m_board->View()->Geometry().Spacing / 4);  // off the grid lines
        const QPoint at = (Pixel(x, y) + QPoint(beside, beside)) * picture.devicePixelRatio();
        return picture.pixelColor(at).lightness();
    }

    void trialPositionsAreDrawnWhenAnimationIsOnUntilTheNextRedraw() {
        TGuiHost host(*m_ui);
        host.Attach(nullptr, m_board.get(), nullptr);
        TEngine engine(host);
        TBoard trial{};
        SetPoint(trial, 16, 2, 1);
        engine.ShowIntermediate(trial);  // animation off: the board stays as it is
        QVERIFY(!m_board->View()->ShowsTrialBoard());
        QVERIFY(Lightness(16, 2) > 100);
        engine.Settings.TreppenAnimieren = true;
        engine.ShowIntermediate(trial);
        QVERIFY(Lightness(16, 2) < 60);
        QVERIFY(BoardIsEmpty(m_engine->Fields.Spielfeld));  // drawn, not played
        m_board->Redraw();
        QVERIFY(!m_board->View()->ShowsTrialBoard());
        QVERIFY(Lightness(16, 2) > 100);
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormBoard_test, obrin::gui::TFormBoardTest);
#include "FormBoard_test.moc"
