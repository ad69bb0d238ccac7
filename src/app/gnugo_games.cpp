#include "app/gnugo_games.h"

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "board/board.h"
#include "board/chains.h"
#include "board/safefile.h"
#include "tools/invasions.h"

namespace obrin::train {
namespace {

// A GTP engine in a child process, spoken to over two pipes.
class TGtpProcess {
  public:
    explicit TGtpProcess(const std::vector<std::string>& argv) {
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0) throw std::runtime_error("pipe failed");
        m_pid = fork();
        if (m_pid < 0) throw std::runtime_error("fork failed");
        if (m_pid == 0) {
            dup2(toChild[0], 0);
            dup2(fromChild[1], 1);
            close(toChild[1]);
            close(fromChild[0]);
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_in = fdopen(toChild[1], "w");
        m_out = fdopen(fromChild[0], "r");
    }
    TGtpProcess(const TGtpProcess&) = delete;
    TGtpProcess& operator=(const TGtpProcess&) = delete;
    ~TGtpProcess() {
        if (m_in) {
            std::fputs("quit\n", m_in);
            std::fclose(m_in);
        }
        if (m_out) std::fclose(m_out);
        if (m_pid > 0) waitpid(m_pid, nullptr, 0);
    }

    // Sends one command; returns the answer text without "= ". Throws on "?" or a dead engine.
    std::string Ask(const std::string& command) {
        std::fprintf(m_in, "%s\n", command.c_str());
        std::fflush(m_in);
        std::string answer;
        char buf[4096];
        bool first = true, ok = true;
        while (std::fgets(buf, sizeof buf, m_out)) {
            std::string line(buf);
            if (line == "\n") {
                if (first) continue;
                break;
            }
            if (first) {
                ok = line[0] == '=';
                line = line.size() > 2 ? line.substr(2) : std::string();
                first = false;
            }
            answer += line;
        }
        if (first) throw std::runtime_error("GNU Go ended while answering: " + command);
        if (!ok) throw std::runtime_error("GNU Go refused \"" + command + "\": " + answer);
        return answer;
    }

  private:
    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_out = nullptr;
};

std::string Vertex(int x, int y) {
    return PointText(x, y);
}

// All vertices of an answer, on one line.
std::string Flatten(const std::string& answer) {
    std::istringstream in(answer);
    std::string out, w;
    while (in >> w) out += (out.empty() ? "" : " ") + w;
    return out;
}

void WriteVerdicts(TGtpProcess& gnugo, std::ostream& out, int moveNumber, bool final,
                   bool dragonVerdicts) {
    out << (final ? "final " : "position ") << moveNumber << "\n";
    std::vector<std::string> dragons;
    std::istringstream lines(gnugo.Ask("dragon_stones"));
    for (std::string line; std::getline(lines, line);)
        if (!Flatten(line).empty()) dragons.push_back(Flatten(line));
    if (final || !dragonVerdicts) {
        out << "dead " << Flatten(gnugo.Ask("final_status_list dead")) << "\n";
        out << "seki " << Flatten(gnugo.Ask("final_status_list seki")) << "\n";
    } else {
        // One status per dragon: alive, critical, dead or unknown (followed by attack and defence
        // points).
        std::string dead, critical;
        for (const auto& stones : dragons) {
            std::istringstream status(
                gnugo.Ask("dragon_status " + stones.substr(0, stones.find(' '))));
            std::string word;
            status >> word;
            if (word == "dead") dead += (dead.empty() ? "" : " ") + stones;
            if (word == "critical") critical += (critical.empty() ? "" : " ") + stones;
        }
        out << "dead " << dead << "\n";
        out << "critical " << critical << "\n";
    }
    for (const auto& stones : dragons) out << "dragon " << stones << "\n";
    out << "end\n";
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// The number of random opening moves of a game; the generator is drawn from only when there is a
// choice, so that a fixed number gives the same games as ever.
int RandomOpeningCount(const TGamesOptions& o, std::mt19937& rng) {
    if (o.OpeningMax <= o.OpeningMin) return o.OpeningMin;
    return o.OpeningMin +
           static_cast<int>(rng() % static_cast<uint32_t>(o.OpeningMax - o.OpeningMin + 1));
}

// A random point on the lines OpeningLineMin to OpeningLineMax, or none when the draw falls
// nearer the centre; the caller draws again then.
std::optional<TPoint> RandomOpeningPoint(const TGamesOptions& o, std::mt19937& rng) {
    const int margin = o.OpeningLineMin - 1;  // distance of the lowest line from the edge
    const uint32_t span = static_cast<uint32_t>(BoardSize - 2 * margin);
    const int x = margin + static_cast<int>(rng() % span),
              y = margin + static_cast<int>(rng() % span);
    const int edge = std::min(std::min(x, BoardSize - 1 - x), std::min(y, BoardSize - 1 - y));
    if (edge > o.OpeningLineMax - 1) return std::nullopt;
    return TPoint{x, y};
}

}  // namespace

int PlayGnuGoGames(const TGamesOptions& o) {
    (void)CheckWriteTarget(o.OutFile);  // the games are appended: never to a device or a folder
    std::ofstream out(o.OutFile, std::ios::app);
    if (!out) throw std::runtime_error("cannot write " + o.OutFile);
    for (int g = o.FirstGame; g < o.FirstGame + o.Games; ++g) {
        const uint32_t seed = 1000u + static_cast<uint32_t>(g);
        std::vector<std::string> argv{o.GnuGo,  "--mode", "gtp", "--level", std::to_string(o.Level),
                                      "--seed", std::to_string(seed)};
        if (o.NeverResign) argv.push_back("--never-resign");
        TGtpProcess gnugo(argv);
        gnugo.Ask("boardsize 19");
        gnugo.Ask("clear_board");
        gnugo.Ask(o.Handicap > 0 ? "komi 0.5" : "komi 6.5");
        std::mt19937 rng(seed);
        TBoard board{};
        int32_t koX = -1, koY = -1;
        std::ostringstream moves, verdicts;
        int colour = 1, passes = 0, number = 0;
        auto record = [&](int x, int y, int c) {
            moves << (number ? " " : "") << (c > 0 ? "B:" : "W:")
                  << (x < 0 ? "pass" : Vertex(x, y));
            if (x >= 0)
                PlayMove(x, y, c, board, koX, koY);
            else
                koX = koY = -1;
            ++number;
        };
        auto play = [&](int x, int y) {
            record(x, y, colour);
            colour = -colour;
        };
        if (o.Handicap > 0) {
            // The handicap stones are Black's first moves in the record, White moves next.
            for (const std::string& v :
                 SplitWords(gnugo.Ask("fixed_handicap " + std::to_string(o.Handicap))))
                record(ColumnOfText(v), RowOfText(v), 1);
            colour = -1;
        }
        const int openingMoves = RandomOpeningCount(o, rng);
        for (int i = 0; i < openingMoves; ++i) {
            for (int tries = 0; tries < 100; ++tries) {
                const std::optional<TPoint> p = RandomOpeningPoint(o, rng);
                if (!p || board[PointIndex(p->X, p->Y)] != 0) continue;
                gnugo.Ask(std::string("play ") + (colour > 0 ? "b " : "w ") + Vertex(p->X, p->Y));
                play(p->X, p->Y);
                break;
            }
        }
        const std::vector<int> invasionMoves =
            DrawInvasionMoves(o.Invasions, o.InvasionFirst, o.InvasionLast, rng);
        std::string invaded;  // the move numbers of the invasions played
        int nextSample = o.FirstSample;
        if (number > nextSample)
            std::fprintf(stderr,
                         "game %d: the opening ends after move %d, past the first sample (%d): "
                         "only the final position is judged; raise --first-sample\n",
                         g, number, nextSample);
        while (passes < 2 && number < o.MaxMoves) {
            if (number == nextSample) {
                WriteVerdicts(gnugo, verdicts, number, false, o.DragonVerdicts);
                nextSample += o.SampleEvery;
            }
            if (std::binary_search(invasionMoves.begin(), invasionMoves.end(), number)) {
                if (const auto p = ChooseInvasionPoint(board, colour, koX, koY, rng)) {
                    gnugo.Ask(std::string("play ") + (colour > 0 ? "b " : "w ") + Vertex(p->X, p->Y));
                    invaded += " " + std::to_string(number);
                    std::fprintf(stderr, "game %d: invasion at move %d: %s\n", g, number + 1,
                                 Vertex(p->X, p->Y).c_str());
                    passes = 0;
                    play(p->X, p->Y);
                    continue;
                }
            }
            const std::string answer = Flatten(gnugo.Ask(colour > 0 ? "genmove b" : "genmove w"));
            if (answer == "resign") break;
            if (answer == "PASS" || answer == "pass") {
                ++passes;
                play(-1, -1);
                continue;
            }
            passes = 0;
            const int x = ColumnOfText(answer), y = RowOfText(answer);
            if (!OnBoard(x, y)) throw std::runtime_error("GNU Go played an odd move: " + answer);
            play(x, y);
        }
        WriteVerdicts(gnugo, verdicts, number, true, o.DragonVerdicts);
        out << "game " << g << " level " << o.Level << " seed " << seed;
        if (o.Invasions > 0) out << " invasions" << invaded;
        out << "\n";
        out << "moves " << moves.str() << "\n" << verdicts.str() << "endgame\n";
        out.flush();
        std::fprintf(stderr, "game %d: %d moves\n", g, number);
    }
    return o.Games;
}

}  // namespace obrin::train
