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
using TGtpHandler = std::function<TGtpReply(const TGtpArgs&)>;

class TGtpEngine {
public:
    explicit TGtpEngine(TEngine& engine);

    void Register(const std::string& name, TGtpHandler handler);
    [[nodiscard]] bool Knows(const std::string& name) const { return m_commands.count(name) > 0; }

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

    // Starts a new game on an empty board (clear_board); the prisoners start at 0 and komi.
    void NewGame();
    // Plays a move of the current game and remembers it for undo.
    void PlayAndRemember(TPoint p, int colour);
    // Replays setup and moves from scratch; the position the moves lead to becomes current.
    void ReplayRemembered();

private:
    struct TRememberedMove {
        TPoint Point;
        int Colour;
    };

    void RegisterCoreCommands();
    TGtpReply Play(const TGtpArgs& args);
    TGtpReply FixedHandicap(const TGtpArgs& args);
    TGtpReply ShowBoard() const;
    TGtpReply ListStones(const TGtpArgs& args) const;
    TGtpReply Captures(const TGtpArgs& args) const;

    TEngine& m_engine;
    std::map<std::string, TGtpHandler> m_commands;
    std::vector<TRememberedMove> m_setup;  // handicap stones
    std::vector<TRememberedMove> m_moves;  // moves since clear_board
    double m_komi = 0.0;
    bool m_quit = false;
};

}  // namespace obrin
