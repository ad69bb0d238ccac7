// The main window in the window tests: shown with the designed texts, its board clicked at a
// point, and the moves of its record read back.
#pragma once

#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

#include "records/sgftree.h"
#include "support/diagram.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"

namespace obrin::test {

// Shows the window at the size given, with its children arranged; false if it never appears.
inline bool ShowMainWindow(gui::TFormGoMain& main, int width = 1000, int height = 700) {
    main.SetLanguage("");  // no table: the designed texts
    main.resize(width, height);
    main.show();
    if (!QTest::qWaitForWindowExposed(&main)) return false;
    main.ArrangeWindows();
    return true;
}

// The pixel of a board point in the board view.
inline QPoint PixelOf(gui::TFormGoMain& main, TPoint p) {
    const gui::TBoardGeometry g = main.Board().View()->Geometry();
    return {qRound(g.X(p.X)), qRound(g.Y(p.Y))};
}

// A running game handles events only while it waits for the human or while it thinks, so a
// test plays by script: each step's action runs at a tick of that event loop once its condition
// holds (no condition: at the next tick).
struct TScriptStep {
    std::function<bool()> When;
    std::function<void()> Do;
};
inline void RunScript(QObject* owner, std::deque<TScriptStep> steps, int intervalMs) {
    auto queue = std::make_shared<std::deque<TScriptStep>>(std::move(steps));
    auto* timer = new QTimer(owner);
    timer->setInterval(intervalMs);
    QObject::connect(timer, &QTimer::timeout, timer, [queue, timer] {
        if (queue->empty()) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (queue->front().When && !queue->front().When()) return;
        const auto action = queue->front().Do;
        queue->pop_front();
        action();
    });
    timer->start();
}

inline void ClickPoint(gui::TFormGoMain& main, TPoint p) {
    QTest::mouseClick(main.Board().View(), Qt::LeftButton, {}, PixelOf(main, p));
}

// "B[..]" and "W[..]" of every move of the record's first game, in order.
inline QStringList RecordedMoves(gui::TFormGoMain& main) {
    TSgfTreeModel& tree = main.Control().Tree();
    QStringList moves;
    if (tree.Items().empty()) return moves;
    for (const auto& item : tree.Items()[0]->Children())
        for (const char* id : {"B", "W"})
            if (item->Data != nullptr && !tree.GetPropertyValue(item.get(), id).empty())
                moves << QString::fromLatin1(id) + QLatin1Char('[') +
                             QString::fromStdString(tree.GetPropertyValue(item.get(), id)) +
                             QLatin1Char(']');
    return moves;
}

}  // namespace obrin::test
