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
#include "game/endcount.h"

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

namespace {

bool TouchesLiving(const TBoard& living, int point, int colour) {
    for (int d = 0; d < 4; ++d) {
        const int x = PointColumn(point) + NeighbourDX[d], y = PointRow(point) + NeighbourDY[d];
        if (OnBoard(x, y) && living[PointIndex(x, y)] == colour) return true;
    }
    return false;
}

// The living stones' influence, 0 at the shared liberties of a seki that still stands.
TBoard TerritoryMap(const TBoard& living, const TBoard& neutral) {
    TBoard territory{};
    SpreadInfluence(living, territory, 50);
    for (int p = 0; p < PointCount; ++p)
        if (neutral[p] != 0 && TouchesLiving(living, p, 1) && TouchesLiving(living, p, -1))
            territory[p] = 0;
    return territory;
}

}  // namespace

TScore CountWithLiving(const TBoard& spielfeld, const TBoard& living, double gefangeneSchwarz,
                       double gefangeneWeiss, TBoard& territory, const TBoard& neutral) {
    territory = TerritoryMap(living, neutral);
    return CountScore(spielfeld, living, territory, gefangeneSchwarz, gefangeneWeiss);
}

namespace {

// The stones of position that wanted marks, group by group of the analysis graph. A stone that
// no group holds gets a line of its own chain, so that every stone is listed.
std::vector<std::vector<int>> GroupLines(const TGoGraph& graph, const TBoard& position,
                                         const TBoard& wanted) {
    std::vector<std::vector<int>> lines;
    TBoard listed{};
    for (const TGoGroup* g = graph.Groups(); g != nullptr; g = g->next) {
        std::vector<int> line;
        for (const TGoStone* st = g->Steine; st != nullptr; st = st->next)
            if (position[st->Point] != 0 && wanted[st->Point] != 0) {
                line.push_back(st->Point);
                listed[st->Point] = 1;
            }
        if (!line.empty()) lines.push_back(std::move(line));
    }
    TPointList chain;
    for (int p = 0; p < PointCount; ++p) {
        if (position[p] == 0 || listed[p] != 0 || wanted[p] == 0) continue;
        std::vector<int> line;
        GetChain(PointColumn(p), PointRow(p), position, chain);
        for (const TPoint& c : chain) {
            const int q = PointIndex(c.X, c.Y);
            if (listed[q] == 0 && wanted[q] != 0) {
                line.push_back(q);
                listed[q] = 1;
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

// The stones the analysis counts dead (wantDead) or alive, group by group.
std::vector<std::vector<int>> GroupLines(const TGoGraph& graph, const TBoard& position,
                                         bool wantDead) {
    TBoard wanted{};
    for (int p = 0; p < PointCount; ++p) wanted[p] = (graph.LivingMap[p] == 0) == wantDead;
    return GroupLines(graph, position, wanted);
}

// The stones dead marks, as one click of the score window marks them together.
std::vector<std::vector<int>> MarkedTogetherLines(const TBoard& position, const TBoard& dead) {
    std::vector<std::vector<int>> lines;
    TBoard listed{};
    for (int p = 0; p < PointCount; ++p) {
        if (dead[p] == 0 || listed[p] != 0) continue;
        std::vector<int> line;
        for (const int q : StonesMarkedTogether(position, p))
            if (dead[q] != 0 && listed[q] == 0) {
                line.push_back(q);
                listed[q] = 1;
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

// The classic count: the analysis graph judges the dead stones, round by round.
TFinalCount CountByAnalysis(TEngine& engine) {
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

// The last round of the end count: the verdict found no new dead stone in position (or the
// rounds ran out). Its living stones are counted, the seki's shared liberties for nobody; the
// analysis of position groups the stones for the lists.
void CountLastRound(TEngine& engine, const TBoard& position, const TEndVerdict& verdict,
                    TFinalCount& count) {
    count.Living = position;
    for (int p = 0; p < PointCount; ++p)
        if (verdict.Dead[p] != 0) count.Living[p] = 0;
    count.Seki = verdict.Seki;
    count.Neutral = verdict.Neutral;
    count.Score = CountWithLiving(position, count.Living, engine.Game.GefangeneSchwarz,
                                  engine.Game.GefangeneWeiss, count.Territory, count.Neutral);
    engine.Fields.Spielfeld = position;
    engine.Fields.KoX = engine.Fields.KoY = -1;
    Analyse(engine, TAnalysisStage::All);
    TBoard alive{};
    for (int p = 0; p < PointCount; ++p)
        alive[p] = count.Living[p] != 0 && count.Seki[p] == 0 ? 1 : 0;
    count.AliveGroups = GroupLines(*engine.Graph, position, alive);
    count.SekiGroups = GroupLines(*engine.Graph, position, count.Seki);
}

// The end count: the verdict of the playouts (game/endcount.h), round by round.
TFinalCount CountByPlayouts(TEngine& engine) {
    const TKeepPosition keep(engine.Fields);
    TFinalCount count;
    TBoard position = engine.Fields.Spielfeld;
    int takenPlus = 0, takenMinus = 0;
    for (count.Rounds = 1;; ++count.Rounds) {
        const TEndVerdict verdict = JudgeFinalPosition(position);
        const bool none = verdict.Dead == TBoard{};
        if (none || count.Rounds == FinalCountRounds) {
            CountLastRound(engine, position, verdict, count);
            count.Score.DeadPlus += takenPlus;
            count.Score.DeadMinus += takenMinus;
        }
        for (std::vector<int>& line : MarkedTogetherLines(position, verdict.Dead)) {
            for (const int p : line) count.Dead[p] = position[p];
            count.DeadGroups.push_back(std::move(line));
        }
        if (none || count.Rounds == FinalCountRounds) return count;
        for (int p = 0; p < PointCount; ++p)
            if (verdict.Dead[p] != 0) {
                (position[p] > 0 ? takenPlus : takenMinus) += 1;
                position[p] = 0;
            }
    }
}

}  // namespace

TFinalCount CountFinalPosition(TEngine& engine) {
    return engine.Settings.KlassischeEngine ? CountByAnalysis(engine) : CountByPlayouts(engine);
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
