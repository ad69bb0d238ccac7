#include "game/scoring.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "analysis/graph.h"
#include "board/chains.h"
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

namespace {

// The stones of position the analysis counts dead (wantDead) or alive, group by group. A dead
// stone that no group holds gets a line of its own chain, so that every stone is listed.
std::vector<std::vector<int>> GroupLines(const TGoGraph& graph, const TBoard& position,
                                         bool wantDead) {
    const TBoard& living = graph.LivingMap;
    std::vector<std::vector<int>> lines;
    TBoard listed{};
    for (const TGoGroup* g = graph.Groups(); g != nullptr; g = g->next) {
        std::vector<int> line;
        for (const TGoStone* st = g->Steine; st != nullptr; st = st->next)
            if (position[st->Point] != 0 && (living[st->Point] == 0) == wantDead) {
                line.push_back(st->Point);
                listed[st->Point] = 1;
            }
        if (!line.empty()) lines.push_back(std::move(line));
    }
    TPointList chain;
    for (int p = 0; p < PointCount; ++p) {
        if (position[p] == 0 || listed[p] != 0 || (living[p] == 0) != wantDead) continue;
        std::vector<int> line;
        GetChain(PointColumn(p), PointRow(p), position, chain);
        for (const TPoint& c : chain) {
            const int q = PointIndex(c.X, c.Y);
            if (listed[q] == 0 && (living[q] == 0) == wantDead) {
                line.push_back(q);
                listed[q] = 1;
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// Puts the board and the ko point back as they were when it goes, also when the count throws.
class TKeepPosition {
  public:
    explicit TKeepPosition(TBoardFields& fields)
        : m_fields(fields), m_board(fields.Spielfeld), m_koX(fields.KoX), m_koY(fields.KoY) {}
    TKeepPosition(const TKeepPosition&) = delete;
    TKeepPosition& operator=(const TKeepPosition&) = delete;
    ~TKeepPosition() {
        m_fields.Spielfeld = m_board;
        m_fields.KoX = m_koX;
        m_fields.KoY = m_koY;
    }

  private:
    TBoardFields& m_fields;
    const TBoard m_board;
    const int32_t m_koX, m_koY;
};

}  // namespace

TFinalCount CountFinalPosition(TEngine& engine) {
    const TKeepPosition keep(engine.Fields);
    TFinalCount count;
    TBoard position = engine.Fields.Spielfeld;
    int takenPlus = 0, takenMinus = 0;
    for (count.Rounds = 1;; ++count.Rounds) {
        Analyse(engine, TAnalysisStage::All);
        const TGoGraph& graph = *engine.Graph;
        std::vector<std::vector<int>> dead = GroupLines(graph, position, true);
        const bool last = dead.empty() || count.Rounds == FinalCountRounds;
        if (last) {
            count.Score = CountScore(position, graph.LivingMap, graph.ScoreField,
                                     engine.Game.GefangeneSchwarz, engine.Game.GefangeneWeiss);
            count.Score.DeadPlus += takenPlus;
            count.Score.DeadMinus += takenMinus;
            count.Living = graph.LivingMap;
            count.Territory = graph.ScoreField;
            count.AliveGroups = GroupLines(graph, position, false);
        }
        for (std::vector<int>& line : dead) {
            for (const int p : line) {
                count.Dead[p] = position[p];
                if (last) continue;  // the count above has them already
                (position[p] > 0 ? takenPlus : takenMinus) += 1;
                position[p] = 0;
            }
            count.DeadGroups.push_back(std::move(line));
        }
        if (last) return count;
        // The position with the dead stones taken off: no ko is left to bind anybody.
        engine.Fields.Spielfeld = position;
        engine.Fields.KoX = engine.Fields.KoY = -1;
    }
}

TScore ScorePosition(TEngine& engine) {
    return CountFinalPosition(engine).Score;
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
