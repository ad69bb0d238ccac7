// The GTP front end: GTP version 2 over a pair of streams, so that any Go GUI, match runner or
// regression suite can use the engine. Commands live in a registration table; later subsystems
// add theirs with Register. Black is +1 and White is -1.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "board/board.h"
#include "game/engine.h"

namespace obrin {

// The answer of one command: success with a text, or failure with an error message.
struct TGtpReply {
    bool Ok = true;
    std::string Text;
    static TGtpReply Success(std::string text = {}) { return {true, std::move(text)}; }
    static TGtpReply Failure(std::string text) { return {false, std::move(text)}; }
};

using TGtpArgs = std::vector<std::string>;

// Komi beyond this many points means nothing on a 19x19 board; such values (and 1e308) are
// refused, so that komi can never swamp the prisoner count it is added to.
inline constexpr double MaxKomi = 1000.0;
// A komi as a controller or a record writes it: a finite number within MaxKomi.
[[nodiscard]] bool ParseKomi(const std::string& text, double& komi);
using TGtpHandler = std::function<TGtpReply(const TGtpArgs&)>;

class TGtpEngine {
  public:
    explicit TGtpEngine(TEngine& engine);

    void Register(const std::string& name, TGtpHandler handler);
    [[nodiscard]] bool Knows(const std::string& name) const { return m_commands.count(name) > 0; }
    // An entry "type/label/command" that gogui-analyze_commands offers besides the fields.
    void AddAnalyzeCommand(std::string entry) { m_analyzeCommands.push_back(std::move(entry)); }
    [[nodiscard]] const std::vector<std::string>& AnalyzeCommands() const {
        return m_analyzeCommands;
    }

    // Reads commands until quit or end of input.
    void Run(std::istream& in, std::ostream& out);
    // Handles one input line; returns the full response text ("" for a line without a
    // command). Sets quit when the command was quit.
    [[nodiscard]] std::string HandleLine(const std::string& line, bool& quit);

    // A GTP colour ("b", "black", "w", "white", any case) as +1 or -1; 0 when not a colour.
    [[nodiscard]] static int ParseColour(const std::string& text);
    // A GTP vertex: true with (x, y) for a point, (-1, -1) for "pass"; false when malformed.
    [[nodiscard]] static bool ParseVertex(const std::string& text, TPoint& point);
    [[nodiscard]] static std::string VertexText(TPoint p);

    TEngine& Engine() { return m_engine; }
    double Komi() const { return m_komi; }
    // Sets komi for the current game, as the command komi does.
    void SetKomi(double komi);
    // Whether colour may play at p now. The ko ban holds only for the player who would retake
    // at once: after Black takes a ko, Black may play there again (controllers replaying
    // edited games send the same colour twice).
    [[nodiscard]] bool IsLegalFor(TPoint p, int colour);
    // A setup stone (colour 0 empties the point). After moves, the position reached becomes
    // the start of the game first, since setup cannot be undone move by move.
    void PlaceSetupStone(TPoint p, int colour);

    // Starts a new game on an empty board (clear_board); the prisoners start at 0 and komi.
    void NewGame();
    // Plays a move of the current game and remembers it for undo.
    void PlayAndRemember(TPoint p, int colour);
    // Replays setup and moves from scratch; the position the moves lead to becomes current.
    void ReplayRemembered();
    // Makes a position the start of the current game (a loaded record): its stones become
    // the setup, ko point and prisoners are kept, undo goes back to it and no further. Taken
    // by value: callers pass the engine's own board, which starting the game clears.
    void SetUpPosition(TBoard position, TPoint ko, double capturesBlack, double capturesWhite);

    struct TRememberedMove {
        TPoint Point;
        int Colour;
    };
    [[nodiscard]] const std::vector<TRememberedMove>& Setup() const { return m_setup; }
    [[nodiscard]] const std::vector<TRememberedMove>& Moves() const { return m_moves; }

  private:
    void RegisterCoreCommands();
    TGtpReply Play(const TGtpArgs& args);
    TGtpReply FixedHandicap(const TGtpArgs& args);
    TGtpReply ShowBoard() const;
    TGtpReply ListStones(const TGtpArgs& args) const;
    TGtpReply Captures(const TGtpArgs& args) const;

    TEngine& m_engine;
    std::map<std::string, TGtpHandler> m_commands;
    std::vector<std::string> m_analyzeCommands;
    std::vector<TRememberedMove> m_setup;  // handicap stones
    std::vector<TRememberedMove> m_moves;  // moves since clear_board
    TPoint m_startKo = PassPoint;          // ko point and prisoners of a set-up position
    double m_startCapturesBlack = 0.0, m_startCapturesWhite = 0.0;
    double m_komi = 0.0;
    bool m_quit = false;
};

}  // namespace obrin
