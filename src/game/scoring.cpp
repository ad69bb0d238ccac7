#include "game/scoring.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "analysis/graph.h"
#include "game/engine.h"
#include "game/analyse.h"

namespace obrin {
namespace {

constexpr const char* PlusLeads = "Obrin führt mit %3.1f Punkt(en)";
constexpr const char* MinusLeads = "Mensch führt mit %3.1f Punkt(en)";
constexpr const char* Draw = "Unentschieden";

}  // namespace

bool IsDraw(double balance) {
    return std::fabs(balance) <= 0.01;
}

TScore CountScore(const TBoard& spielfeld, const TBoard& living, const TBoard& territory,
                  double gefangeneSchwarz, double gefangeneWeiss) {
    TScore s;
    s.GefangeneSchwarz = gefangeneSchwarz;
    s.GefangeneWeiss = gefangeneWeiss;
    for (int i = 0; i < PointCount; ++i) {
        if (living[i] != 0) continue;
        if (spielfeld[i] > 0) ++s.DeadPlus;
        if (spielfeld[i] < 0) ++s.DeadMinus;
        if (territory[i] > 0) ++s.TerrPlus;
        if (territory[i] < 0) ++s.TerrMinus;
    }
    return s;
}

std::vector<int> StonesMarkedTogether(const TBoard& spielfeld, int point) {
    std::vector<int> stones;
    const int colour = spielfeld[point];
    if (colour == 0) return stones;
    std::array<bool, PointCount> seen{};
    std::vector<int> open{point};
    seen[point] = true;
    while (!open.empty()) {
        const int p = open.back();
        open.pop_back();
        if (spielfeld[p] == colour) stones.push_back(p);
        const int x = PointColumn(p), y = PointRow(p);
        const TPoint next[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const TPoint& n : next) {
            if (!OnBoard(n.X, n.Y)) continue;
            const int q = PointIndex(n.X, n.Y);
            if (seen[q] || spielfeld[q] == -colour) continue;
            seen[q] = true;
            open.push_back(q);
        }
    }
    std::sort(stones.begin(), stones.end());
    return stones;
}

void ToggleLife(const TBoard& spielfeld, TBoard& living, int point) {
    if (spielfeld[point] == 0) return;
    const bool alive = living[point] != 0;
    for (const int p : StonesMarkedTogether(spielfeld, point)) living[p] = alive ? 0 : spielfeld[p];
}

TScore CountWithLiving(const TBoard& spielfeld, const TBoard& living, double gefangeneSchwarz,
                       double gefangeneWeiss, TBoard& territory) {
    SpreadInfluence(living, territory, 50);
    return CountScore(spielfeld, living, territory, gefangeneSchwarz, gefangeneWeiss);
}

TScore ScorePosition(TEngine& engine) {
    Analyse(engine, TAnalysisStage::All);
    return CountScore(engine.Fields.Spielfeld, engine.Graph->LivingMap, engine.Graph->ScoreField,
                      engine.Game.GefangeneSchwarz, engine.Game.GefangeneWeiss);
}

std::string GtpScoreText(double balance) {
    if (IsDraw(balance)) return "0";
    char text[64];
    const double lead = std::fabs(balance);
    // Whole numbers without a fraction, halves (komi) with one digit.
    if (lead == std::floor(lead))
        std::snprintf(text, sizeof text, "%c+%.0f", balance > 0 ? 'B' : 'W', lead);
    else
        std::snprintf(text, sizeof text, "%c+%.1f", balance > 0 ? 'B' : 'W', lead);
    return text;
}

TScoreLine ScoreLine(double balance) {
    if (IsDraw(balance)) return {Draw, 0.0};
    return balance > 0 ? TScoreLine{PlusLeads, balance} : TScoreLine{MinusLeads, -balance};
}

std::string FormatScoreLine(const std::string& translatedTemplate, double points) {
    // The template comes from the translation table: only its one number is filled in, so a
    // stray % in a translation can do no harm.
    char number[32];
    std::snprintf(number, sizeof number, "%3.1f", points);
    std::string text = translatedTemplate;
    const size_t at = text.find("%3.1f");
    if (at != std::string::npos) text.replace(at, 5, number);
    return text;
}

}  // namespace obrin
