#include "gtp/gtp_goals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

#include "board/errors.h"
#include "game/engine.h"
#include "game/engine_side.h"
#include "game/movedriver.h"
#include "goals/catalogue.h"
#include "gtp/gtp.h"

namespace obrin {

namespace {

// The engine thinks for colour as +1; the ko ban is lifted when it binds the other player only.
TEngineSide ThinkingFor(TGtpEngine& gtp, int colour) {
    const auto& moves = gtp.Moves();
    const bool koIsTheirs = !moves.empty() && moves.back().Colour == colour;
    return {gtp.Engine(), colour, koIsTheirs ? TEngineSide::TKo::Lift : TEngineSide::TKo::Keep};
}

// A whole number of seconds or stones, at least 0.
bool ParseSeconds(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value) && value >= 0;
}

// The milliseconds of one move: four fifths of the time per stone of the period (a thirtieth of
// the time when the period has no stone count), between a tenth of a second and the engine's own
// limit.
uint64_t MoveMs(double seconds, int stones) {
    const double perMove = seconds / (stones > 0 ? stones : 30) * 0.8 * 1000;
    return static_cast<uint64_t>(std::clamp(perMove, 100.0, double(TMoveBudget::DefaultMs)));
}

// The colour of the last search, so that obrin_expand looks at the board the goals were made on.
struct TSearchState {
    int Colour = 0;
};

// The opponent's last move was a stone: the game is not over for it, and stones it left dead in
// our area would stand at the count.
bool OpponentStillPlays(const TGtpEngine& gtp, int colour) {
    const auto& moves = gtp.Moves();
    return !moves.empty() && moves.back().Colour == -colour &&
           OnBoard(moves.back().Point.X, moves.back().Point.Y);
}

// The opponent's last move was a pass.
bool OpponentPassed(const TGtpEngine& gtp, int colour) {
    const auto& moves = gtp.Moves();
    return !moves.empty() && moves.back().Colour == -colour &&
           !OnBoard(moves.back().Point.X, moves.back().Point.Y);
}

// The last move of each side as the move predictor sees them: the opponent's is the last move
// of the game when the opponent made it, ours the one before it.
TRecentMoves RecentMovesFor(const TGtpEngine& gtp, int colour) {
    const auto& moves = gtp.Moves();
    const auto stone = [](const TPoint& p) { return OnBoard(p.X, p.Y) ? PointIndex(p.X, p.Y) : -1; };
    TRecentMoves recent;
    const size_t n = moves.size();
    if (n >= 1 && moves[n - 1].Colour == -colour) recent.Opponent = stone(moves[n - 1].Point);
    if (n >= 2 && moves[n - 2].Colour == colour) recent.Own = stone(moves[n - 2].Point);
    return recent;
}

TGtpReply GenMove(TGtpEngine& gtp, TSearchState& state, const TGtpArgs& args, bool play) {
    const int colour = args.size() == 1 ? TGtpEngine::ParseColour(args[0]) : 0;
    if (colour == 0) return TGtpReply::Failure("syntax error");
    TPoint move = PassPoint;
    try {
        const TEngineSide side = ThinkingFor(gtp, colour);
        state.Colour = colour;
        gtp.Engine().RecentMoves = RecentMovesFor(gtp, colour);
        move = ChooseComputerMove(gtp.Engine(), !OpponentStillPlays(gtp, colour),
                                  OpponentPassed(gtp, colour));
    } catch (const EObrinError& e) {
        return TGtpReply::Failure(e.what());
    }
    // The driver answers only moves legal for +1 on its board; GTP's own ko rule decides here.
    if (OnBoard(move.X, move.Y) && !gtp.IsLegalFor(move, colour)) move = PassPoint;
    if (play) gtp.PlayAndRemember(move, colour);
    return TGtpReply::Success(TGtpEngine::VertexText(move));
}

// One line per goal of the manager, in list order: name | active or chosen | super-goals.
std::string GoalListText(TRuleManager& manager) {
    std::string text;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g)) {
        if (!text.empty()) text += '\n';
        text.append(g->Name()).append(g->Active ? " | active | " : " | chosen | ");
        bool first = true;
        for (const TGoal* s : GoalsOf(TRuleManager::GetSuperGoals(*g))) {
            if (!first) text += "; ";
            text.append(s->Name());
            first = false;
        }
    }
    return text;
}

// The goals that name goal as a super-goal.
std::set<const TGoal*> SubGoals(TRuleManager& manager, const TGoal& goal) {
    std::set<const TGoal*> subs;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g))
        if (ContainsGoal(TRuleManager::GetSuperGoals(*g), &goal)) subs.insert(g);
    return subs;
}

TGtpReply Expand(TGtpEngine& gtp, const TSearchState& state, const TGtpArgs& args) {
    if (args.empty()) return TGtpReply::Failure("syntax error");
    std::string name;
    for (const std::string& a : args) name.append(name.empty() ? "" : " ").append(a);
    TObrinRuleManager& manager = *gtp.Engine().RuleManager;
    TGoal* goal = manager.FindGoal(name);
    if (goal == nullptr) return TGtpReply::Failure("unknown goal");
    const std::set<const TGoal*> before = SubGoals(manager, *goal);
    try {
        const TEngineSide side = ThinkingFor(gtp, state.Colour == 0 ? 1 : state.Colour);
        goal->Expand();
    } catch (const EObrinError& e) {
        return TGtpReply::Failure(e.what());
    }
    std::string text;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g)) {
        if (!ContainsGoal(TRuleManager::GetSuperGoals(*g), goal) || before.count(g) > 0) continue;
        if (!text.empty()) text += '\n';
        text += g->Name();
    }
    return TGtpReply::Success(text);
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text.append(text.empty() ? "" : "\n").append(line);
    return text;
}

}  // namespace

void RegisterGoalCommands(TGtpEngine& gtp) {
    auto state = std::make_shared<TSearchState>();
    gtp.Register("genmove",
                 [&gtp, state](const TGtpArgs& a) { return GenMove(gtp, *state, a, true); });
    gtp.Register("reg_genmove",
                 [&gtp, state](const TGtpArgs& a) { return GenMove(gtp, *state, a, false); });
    gtp.Register("obrin_goals", [&gtp](const TGtpArgs&) {
        return TGtpReply::Success(GoalListText(*gtp.Engine().RuleManager));
    });
    gtp.Register("obrin_expand",
                 [&gtp, state](const TGtpArgs& a) { return Expand(gtp, *state, a); });
    gtp.Register("obrin_goal_tree", [&gtp](const TGtpArgs&) {
        return TGtpReply::Success(JoinLines(gtp.Engine().LastGoalTree));
    });
    // The engine keeps no clock: it thinks as long as its analysis takes.
    // The controller's clock sets the time of a move: a share of what is left, never more than
    // the engine's own limit.
    gtp.Register("time_settings", [&gtp](const TGtpArgs& a) {
        double mainTime = 0, byoTime = 0, byoStones = 0;
        if (a.size() != 3 || !ParseSeconds(a[0], mainTime) || !ParseSeconds(a[1], byoTime) ||
            !ParseSeconds(a[2], byoStones))
            return TGtpReply::Failure("syntax error");
        gtp.Engine().MoveBudget.Ms = byoTime > 0 && byoStones > 0
                                         ? MoveMs(byoTime, static_cast<int>(byoStones))
                                         : mainTime > 0 ? MoveMs(mainTime, 0)
                                                        : TMoveBudget::DefaultMs;
        return TGtpReply::Success();
    });
    gtp.Register("time_left", [&gtp](const TGtpArgs& a) {
        double seconds = 0, stones = 0;
        if (a.size() != 3 || TGtpEngine::ParseColour(a[0]) == 0 || !ParseSeconds(a[1], seconds) ||
            !ParseSeconds(a[2], stones))
            return TGtpReply::Failure("syntax error");
        gtp.Engine().MoveBudget.Ms = MoveMs(seconds, static_cast<int>(stones));
        return TGtpReply::Success();
    });
    gtp.AddAnalyzeCommand("string/Zielbaum/obrin_goal_tree");
    gtp.AddAnalyzeCommand("string/Ziele/obrin_goals");
}

}  // namespace obrin
