#include "tools/sgfcommands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "board/errors.h"
#include "board/safefile.h"
#include "records/replay.h"
#include "records/sgfparse.h"
#include "tools/sgfsynth.h"
#include "records/sgftree.h"

namespace obrin {
namespace {

struct TTreeCounts {
    int64_t Games = 0, Nodes = 0;
};

void CountGame(const TSgfData& game, TTreeCounts& c) {
    ++c.Games;
    std::vector<const TSgfData*> work{&game};
    while (!work.empty()) {
        const TSgfData* t = work.back();
        work.pop_back();
        c.Nodes += t->Sequence->Nodes->Count();
        for (const auto& v : *t->Variations) work.push_back(v.get());
    }
}

TTreeCounts Count(const TSgfData* root) {
    TTreeCounts c;
    if (root != nullptr)
        for (const auto& t : *root->GameTrees) CountGame(*t, c);
    return c;
}

// Reads a file as the parser's Open does and counts what it holds. SGF and MGT files are read
// game by game, each game tree freed once counted, so a large collection needs little memory.
// Games on another board than 19 by 19 are reported: the program cannot replay them.
void CheckBoardSize(const std::string& file, const TSgfData& game, int64_t number,
                    std::vector<std::string>& messages) {
    const std::string size = GameBoardSize(game);
    if (!IsPlayableBoardSize(size)) messages.push_back(BoardSizeMessage(file, number, size));
}

TTreeCounts ReadForCheck(const std::string& file, std::vector<std::string>& messages) {
    const std::string ext = UpperExtension(file);
    if (ext == ".SGF" || ext == ".MGT") {
        TTreeCounts c;
        TSgfTokenizer tokenizer(file, &messages);
        ParseSgfGames(tokenizer, [&](std::unique_ptr<TSgfData> game) {
            CountGame(*game, c);
            CheckBoardSize(file, *game, c.Games, messages);
        });
        return c;
    }
    TSgfParser parser;
    parser.SetMessageReceiver(&messages);
    parser.SetFilename(file);
    parser.SetActive(true);
    return Count(parser.Root());
}

bool IsRecordFile(const std::string& file) {
    const std::string ext = UpperExtension(file);
    return ext == ".SGF" || ext == ".MGT" || ext == ".OBR" || ext == ".STL";
}

// An error raised while reading file, as one line that names the file once.
std::string ReadError(const std::string& file, const std::exception& e) {
    const std::string what = e.what();
    if (what.rfind(file + ":", 0) == 0) return what;
    return file + ": cannot be read: " + what;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Processor time of this process, which other load on the machine does not inflate.
double CpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Parser, record tree and replay handler on one board, as the game-control window has them.
struct TLoadedRecord {
    explicit TLoadedRecord(TGameBoard& board) : Tree(board), Replay(board, Tree) {
        Parser.SetMessageReceiver(&Messages);
        Tree.SetSgfParser(&Parser);
    }
    void Load(const std::string& file) {
        Parser.SetActive(false);
        Parser.SetFilename(file);
        Parser.SetActive(true);
    }
    // Loads file for a command: messages and failures go to err; false when it holds no game.
    bool LoadFor(const std::string& file, std::ostream& err) {
        try {
            Load(file);
        } catch (const std::exception& e) {
            err << ReadError(file, e) << "\n";
            return false;
        }
        for (const std::string& m : Messages) err << m << "\n";
        if (Tree.Items().empty()) err << file << ": holds no game\n";
        return !Tree.Items().empty();
    }
    std::vector<std::string> Messages;
    TSgfParser Parser;
    TSgfTreeModel Tree;
    TRecordReplay Replay;
};

}  // namespace

int SgfCheck(const std::vector<std::string>& files, std::ostream& out) {
    int status = 0;
    for (const std::string& file : files) {
        if (!IsRecordFile(file)) {
            out << file << ": not a record file (.sgf, .mgt, .obr, .stl)\n";
            status = 2;
            continue;
        }
        std::vector<std::string> messages;
        TTreeCounts c;
        try {
            c = ReadForCheck(file, messages);
        } catch (const std::exception& e) {
            for (const std::string& m : messages) out << m << "\n";
            out << ReadError(file, e) << "\n";
            status = 2;
            continue;
        }
        if (c.Games == 0) {
            // An empty file, or one with no game tree in it, is no record.
            for (const std::string& m : messages) out << m << "\n";
            out << file << ": holds no game\n";
            status = 2;
            continue;
        }
        for (const std::string& m : messages) out << m << "\n";
        out << file << ": " << c.Games << (c.Games == 1 ? " game, " : " games, ") << c.Nodes
            << (c.Nodes == 1 ? " node, " : " nodes, ") << messages.size()
            << (messages.size() == 1 ? " message\n" : " messages\n");
        if (!messages.empty()) status = std::max(status, 1);
    }
    return status;
}

int SgfConvert(const std::string& in, const std::string& out, std::ostream& err) {
    TScratchBoard scratch;
    TLoadedRecord record(scratch.Board);
    if (!record.LoadFor(in, err)) return 2;
    try {
        record.Tree.SaveToFile(out);
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return 2;
    }
    return 0;
}

std::string BoardText(const TBoard& board) {
    std::string header = "   ";
    for (int x = 0; x < BoardSize; ++x) (header += ColumnLetters[x]) += ' ';
    std::string text = header + "\n";
    for (int y = BoardSize - 1; y >= 0; --y) {
        char row[8];
        std::snprintf(row, sizeof row, "%2d ", y + 1);
        text += row;
        for (int x = 0; x < BoardSize; ++x) {
            const int v = GetPoint(board, x, y);
            text += v > 0 ? 'X' : v < 0 ? 'O' : '.';
            text += ' ';
        }
        text += std::to_string(y + 1) + "\n";
    }
    return text + header + "\n";
}

int SgfShow(const std::string& file, int node, std::ostream& out, std::ostream& err) {
    TScratchBoard scratch;
    TLoadedRecord record(scratch.Board);
    if (!record.LoadFor(file, err)) return 2;
    if (!record.Tree.IsPlayable(record.Tree.Items().front().get())) {
        err << BoardSizeMessage(file, 1, record.Tree.Items().front()->BoardSize) << "\n";
        return 2;
    }
    const int replayed = ReplayMainLine(record.Tree, record.Replay, node);
    const int total =
        static_cast<int>(MainLine(record.Tree, record.Tree.Items().front().get()).size());
    const TGameData& info = scratch.Board.GameData;
    out << record.Tree.Items().front()->Label << ": node " << replayed << " of " << total;
    // The names as the record's character set says, as the comment pane shows its text.
    TSgfTreeItem* game = record.Tree.Items().front().get();
    if (!info.PB.empty() || !info.PW.empty())
        out << ", Black " << record.Tree.DecodeText(game, info.PB) << ", White "
            << record.Tree.DecodeText(game, info.PW);
    out << "\nCaptures: Black " << scratch.Board.Game.GefangeneSchwarz << ", White "
        << scratch.Board.Game.GefangeneWeiss << "\n";
    out << BoardText(scratch.Board.Position.Fields.Spielfeld);
    if (!record.Replay.CommentPane.empty()) out << "Comment: " << record.Replay.CommentPane << "\n";
    return 0;
}

int BenchSgfParse(int games, int runs, std::ostream& out) {
    const std::string text = SyntheticCollection(games, 7);
    std::vector<double> rates, cpuRates;
    for (int r = 0; r < runs; ++r) {
        const double cpuStart = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::string> messages;
        const TTreeCounts c = Count(ParseSgfText("bench.sgf", text, &messages).get());
        const double secs = Seconds(start);
        rates.push_back(static_cast<double>(text.size()) / 1e6 / secs);
        cpuRates.push_back(static_cast<double>(text.size()) / 1e6 / (CpuSeconds() - cpuStart));
        char line[160];
        std::snprintf(line, sizeof line,
                      "run %d: %zu bytes, %lld games, %lld nodes, %.2f ms, %.1f MB/s\n", r + 1,
                      text.size(), static_cast<long long>(c.Games), static_cast<long long>(c.Nodes),
                      secs * 1e3, rates.back());
        out << line;
    }
    char line[120];
    std::snprintf(line, sizeof line,
                  "median: %.1f MB/s, cpu %.1f MB/s (the whole parse tree built and freed)\n",
                  Median(rates), Median(cpuRates));
    out << line;
    return 0;
}

int BenchSgfLongGame(int moves, int runs, std::ostream& out) {
    const TSyntheticGame game = SyntheticGame(11, moves, false, true);
    const auto dir = std::filesystem::temp_directory_path();
    const std::string in = (dir / "obrin-bench-long.sgf").string();
    const std::string saved = (dir / "obrin-bench-long-saved.sgf").string();
    SafeWriteFile(in, game.Sgf);
    std::vector<double> totals, cpus;
    for (int r = 0; r < runs; ++r) {
        TScratchBoard scratch;
        TLoadedRecord record(scratch.Board);
        const double cpuStart = CpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        record.Load(in);
        const double loaded = Seconds(start);
        ReplayMainLine(record.Tree, record.Replay, -1);
        const double replayed = Seconds(start);
        record.Tree.SaveToFile(saved);
        const double total = Seconds(start);
        totals.push_back(total);
        cpus.push_back(CpuSeconds() - cpuStart);
        char line[220];
        std::snprintf(line, sizeof line,
                      "run %d: %d moves, %zu bytes: load %.0f ms, replay %.0f ms, save %.0f ms, "
                      "total %.0f ms (cpu %.0f ms)%s\n",
                      r + 1, game.Moves, game.Sgf.size(), loaded * 1e3, (replayed - loaded) * 1e3,
                      (total - replayed) * 1e3, total * 1e3, cpus.back() * 1e3,
                      scratch.Board.Position.Fields.Spielfeld == game.Final ? "" : " (final position differs!)");
        out << line;
    }
    std::remove(in.c_str());
    std::remove(saved.c_str());
    char line[120];
    std::snprintf(line, sizeof line, "median: %.0f ms to load, replay and save (cpu %.0f ms)\n",
                  Median(totals) * 1e3, Median(cpus) * 1e3);
    out << line;
    return 0;
}

int WriteSyntheticCollection(const std::string& file, int games, std::ostream& err) {
    try {
        SafeWriteFile(file, SyntheticCollection(games, 7));
    } catch (const EObrinError& e) {
        err << e.what() << "\n";
        return 2;
    }
    return 0;
}

}  // namespace obrin
