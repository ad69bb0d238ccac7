#include "records/lineofplay.h"

#include <algorithm>

#include "records/replay.h"

namespace obrin {

std::vector<TSgfTreeItem*> LineOfPlay(TSgfTreeItem* item) {
    if (item == nullptr || !item->IsNodeItem()) return {};
    // Gathered from the item upwards, one level at a time, and turned round at the end.
    std::vector<TSgfTreeItem*> reversed{item};
    for (TSgfTreeItem* at = item; at->Parent() != nullptr; at = at->Parent()) {
        const auto& siblings = at->Parent()->Children();
        auto it = std::find_if(siblings.begin(), siblings.end(),
                               [at](const auto& child) { return child.get() == at; });
        while (it != siblings.begin()) {
            --it;
            if ((*it)->IsNodeItem()) reversed.push_back(it->get());
        }
    }
    return {reversed.rbegin(), reversed.rend()};
}

std::array<int, PointCount> MoveNumbersTo(TSgfTreeItem* item) {
    std::array<int, PointCount> numbers{};
    int number = 0;
    for (TSgfTreeItem* node : LineOfPlay(item)) {
        if (node->Data->Properties == nullptr) continue;
        for (const auto& property : *node->Data->Properties) {
            const std::string& id = property->Identifier;
            const bool move = id == "B" || id == "W";
            const bool setup = id == "AB" || id == "AW" || id == "AE";
            if (!move && !setup) continue;
            if (move) ++number;
            for (const auto& v : *property->Values) {
                const std::vector<TPoint> points =
                    move ? std::vector<TPoint>{TRecordReplay::PointOfValue(v->Value)}
                         : SetupPoints(v->Value);
                for (const TPoint& p : points)
                    if (OnBoard(p.X, p.Y)) numbers[PointIndex(p.X, p.Y)] = move ? number : 0;
            }
        }
    }
    return numbers;
}

}  // namespace obrin
