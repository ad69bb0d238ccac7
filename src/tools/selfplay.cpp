#include "tools/selfplay.h"

#include <algorithm>
#include <ctime>

#include "board/chains.h"
#include "board/errors.h"
#include "game/analyse.h"
#include "game/gameflow.h"
#include "game/movedriver.h"
#include "records/sgfparse.h"
#include "records/sgftree.h"

namespace obrin {

namespace {

// Milliseconds of processor time this thread has used. The machines that run the games are
// often shared, and the wall clock would also count the time other processes held the processor.
double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text.append(text.empty() ? "" : "\n").append(line);
    return text;
}

}  // namespace

// The host of a game nobody watches. The move cap acts as the stop button: once the game has
// its moves the board counts as locked and the loop ends as it would for a user. The status
// line tells when the analysis hands over to the search, which splits the time of a move.
class TSelfPlayer::THost : public IHost {
  public:
    THost(const int& gameMoves, int maxMoves) : m_gameMoves(gameMoves), m_maxMoves(maxMoves) {}

    bool IsLocked() override { return m_gameMoves >= m_maxMoves; }
    void SetStatus(const std::string& text) override {
        if (text == SearchStatus) SearchStart = ThreadCpuMs();
    }

    std::string SearchStatus;
    double SearchStart = 0.0;

  private:
    const int& m_gameMoves;
    const int m_maxMoves;
};

// Records into the game's record tree and writes the goal tree of the computer's move into the
// comment of the node just made.
class TSelfPlayer::TRecorder : public IGameRecorder {
  public:
    TRecorder(TSgfTreeModel& tree, std::vector<std::string>& comment, int& gameMoves,
              TSelfPlayTotals& totals)
        : m_tree(tree), m_comment(comment), m_gameMoves(gameMoves), m_totals(totals) {}

    void RecordMove(int x, int y, int colour) override {
        m_tree.RecordMove(x, y, colour);
        if (!m_comment.empty())
            m_tree.AddPropertyToItem(m_tree.Selected(), "C", JoinLines(m_comment));
        m_comment.clear();
        ++m_gameMoves;
        ++m_totals.Moves;
        if (!OnBoard(x, y)) ++m_totals.Passes;
    }

  private:
    TSgfTreeModel& m_tree;
    std::vector<std::string>& m_comment;
    int& m_gameMoves;
    TSelfPlayTotals& m_totals;
};

TSelfPlayer::TSelfPlayer(int maxMoves)
    : m_maxMoves(std::max(1, maxMoves)),
      m_host(std::make_unique<THost>(m_gameMoves, m_maxMoves)),
      m_engine(std::make_unique<TEngine>(*m_host)) {
    m_engine->Clock.SetDeterministic(true);
    m_host->SearchStatus = ThinkingText(*m_engine, "Inferenzmaschine arbeitet");
    m_engine->ComputerMove = [this] { return TimedComputerMove(); };
}

TSelfPlayer::~TSelfPlayer() = default;

TPoint TSelfPlayer::TimedComputerMove() {
    TEngine& engine = *m_engine;
    const double start = ThreadCpuMs();
    m_host->SearchStart = start;
    TPoint move = PassPoint;
    try {
        move = ComputerMove(engine);
    } catch (const EObrinStopped&) {
        throw;
    } catch (const std::exception& e) {
        // The game loop ends on the engine's own errors; anything else is made one of them,
        // so that the loop also ends cleanly on it and the count is the whole story.
        ++m_totals.Exceptions;
        m_totals.Errors.emplace_back(e.what());
        throw EObrinError(e.what());
    }
    const double end = ThreadCpuMs();
    m_totals.MoveMs.push_back(end - start);
    m_totals.AnalysisMs.push_back(m_host->SearchStart - start);
    m_totals.SearchMs.push_back(end - m_host->SearchStart);
    TBoardFields& f = engine.Fields;
    if (OnBoard(move.X, move.Y) && !IsLegal(move.X, move.Y, 1, f.KoX, f.KoY, f.Spielfeld)) {
        ++m_totals.Illegal;
        move = PassPoint;
    }
    m_pendingComment = engine.LastGoalTree;
    return move;
}

std::string TSelfPlayer::PlayGame(uint32_t seed) {
    TEngine& engine = *m_engine;
    engine.Random.SetFixedSeed(seed);
    ClearBoard(engine.Fields.Spielfeld);
    engine.Fields.SRadar.fill(0);
    engine.Fields.WRadar.fill(0);
    engine.Game = TGameState{};
    m_gameMoves = 0;
    m_pendingComment.clear();

    TSgfParser parser;
    TSgfTreeModel tree(engine.Board);
    tree.SetSgfParser(&parser);
    tree.NewGameRecord();
    TSgfTreeItem* info = tree.Selected();
    tree.SetPropertyOfItem(info, "GN", "Obrin self-play, seed " + std::to_string(seed));
    tree.AddPropertyToItem(info, "PB", "Obrin");
    tree.AddPropertyToItem(info, "PW", "Obrin");
    TRecorder recorder(tree, m_pendingComment, m_gameMoves, m_totals);
    engine.Recorder = &recorder;
    const int exceptionsBefore = m_totals.Exceptions;
    try {
        PlaySelfPlay(engine);
    } catch (const std::exception& e) {
        // Only what the loop lets through: its own exceptions end it without leaving it.
        ++m_totals.Exceptions;
        m_totals.Errors.emplace_back(e.what());
    }
    engine.Recorder = nullptr;
    ++m_totals.Games;
    if (m_gameMoves >= m_maxMoves && m_totals.Exceptions == exceptionsBefore) ++m_totals.Capped;
    return tree.SaveToString();
}

double MedianOf(std::vector<double> values) {
    if (values.empty()) return 0.0;
    const auto mid = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

}  // namespace obrin
