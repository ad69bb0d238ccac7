#include "gtp/gtp.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>
#include <sstream>

#include "board/chains.h"
#include "game/gameflow.h"

namespace obrin {
namespace {

// GTP's preprocessing: drop control characters but tab, cut comments, tabs become blanks.
std::string CleanLine(const std::string& line) {
    std::string clean;
    clean.reserve(line.size());
    for (const char ch : line) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '#') break;
        if (c == '\t')
            clean += ' ';
        else if (c >= 32 && c != 127)
            clean += ch;
    }
    return clean;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool IsDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// A controller takes the first empty line for the end of the answer, so an answer never holds
// one: blank lines inside a text are dropped. The first line follows "= " and may be empty.
std::string WithoutEmptyLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t start = 0;
    for (bool first = true; start <= text.size(); first = false) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line(text.data() + start, end - start);
        const bool blank = line.find_first_not_of(" \t\r") == std::string_view::npos;
        if (first || !blank) {
            if (!first) out += '\n';
            out += line;
        }
        start = end + 1;
    }
    return out;
}

TGtpReply SyntaxError() {
    return TGtpReply::Failure("syntax error");
}

}  // namespace

TGtpEngine::TGtpEngine(TEngine& engine) : m_engine(engine) {
    RegisterCoreCommands();
    NewGame();
}

void TGtpEngine::Register(const std::string& name, TGtpHandler handler) {
    m_commands[name] = std::move(handler);
}

int TGtpEngine::ParseColour(const std::string& text) {
    const std::string c = Lower(text);
    if (c == "b" || c == "black") return 1;
    if (c == "w" || c == "white") return -1;
    return 0;
}

bool TGtpEngine::ParseVertex(const std::string& text, TPoint& point) {
    if (Lower(text) == "pass") {
        point = PassPoint;
        return true;
    }
    if (text.size() < 2 || text.size() > 3) return false;
    const int x = ColumnOfText(text);
    int row = 0;
    if (x < 0 || !std::isdigit(static_cast<unsigned char>(text[1])) ||
        !ParseInt(text.substr(1), row))
        return false;
    if (!OnBoard(x, row - 1)) return false;
    point = TPoint{x, row - 1};
    return true;
}

std::string TGtpEngine::VertexText(TPoint p) {
    return OnBoard(p.X, p.Y) ? PointText(p.X, p.Y) : "pass";
}

void TGtpEngine::NewGame() {
    TBoardFields& f = m_engine.Fields;
    f.Spielfeld = f.Leerfeld;
    f.KoX = f.KoY = -1;
    m_engine.Game.GefangeneSchwarz = 0.0;
    m_engine.Game.GefangeneWeiss = m_komi;
    m_setup.clear();
    m_moves.clear();
    m_startKo = PassPoint;
    m_startCapturesBlack = m_startCapturesWhite = 0.0;
}

void TGtpEngine::SetUpPosition(TBoard position, TPoint ko, double capturesBlack,
                               double capturesWhite) {
    NewGame();
    for (int p = 0; p < PointCount; ++p)
        if (position[p] != 0) m_setup.push_back({{PointColumn(p), PointRow(p)}, position[p]});
    m_startKo = ko;
    m_startCapturesBlack = capturesBlack;
    m_startCapturesWhite = capturesWhite;
    ReplayRemembered();
}

bool ParseKomi(const std::string& text, double& komi) {
    // Decimal only (no hexadecimal, no locale); a leading "+" is allowed.
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const char* end = text.data() + text.size();
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value) || std::fabs(value) > MaxKomi)
        return false;
    komi = value;
    return true;
}

void TGtpEngine::SetKomi(double komi) {
    // White's prisoners and komi share one count; taking the old komi off and adding the new
    // one leaves the prisoners exact for any komi in range.
    const double prisoners = std::round(m_engine.Game.GefangeneWeiss - m_komi);
    m_komi = komi;
    m_engine.Game.GefangeneWeiss = prisoners + komi;
}

bool TGtpEngine::IsLegalFor(TPoint p, int colour) {
    TBoardFields& f = m_engine.Fields;
    const bool koIsTheirs = !m_moves.empty() && m_moves.back().Colour == colour;
    return koIsTheirs ? IsLegal(p.X, p.Y, colour, -1, -1, f.Spielfeld)
                      : IsLegal(p.X, p.Y, colour, f.KoX, f.KoY, f.Spielfeld);
}

void TGtpEngine::PlaceSetupStone(TPoint p, int colour) {
    if (!OnBoard(p.X, p.Y)) return;
    if (!m_moves.empty()) {
        const TBoardFields& f = m_engine.Fields;
        SetUpPosition(f.Spielfeld, {f.KoX, f.KoY}, m_engine.Game.GefangeneSchwarz,
                      m_engine.Game.GefangeneWeiss - m_komi);
    }
    std::erase_if(m_setup,
                  [p](const TRememberedMove& s) { return s.Point.X == p.X && s.Point.Y == p.Y; });
    if (colour != 0) m_setup.push_back({p, colour});
    SetPoint(m_engine.Fields.Spielfeld, p.X, p.Y, colour);
}

void TGtpEngine::PlayAndRemember(TPoint p, int colour) {
    ExecuteMove(m_engine, p.X, p.Y, colour);
    m_moves.push_back({p, colour});
}

void TGtpEngine::ReplayRemembered() {
    const auto setup = m_setup;
    const auto moves = m_moves;
    const TPoint ko = m_startKo;
    const double black = m_startCapturesBlack, white = m_startCapturesWhite;
    NewGame();
    m_setup = setup;
    m_startKo = ko;
    m_startCapturesBlack = black;
    m_startCapturesWhite = white;
    for (const auto& s : m_setup)
        SetPoint(m_engine.Fields.Spielfeld, s.Point.X, s.Point.Y, s.Colour);
    m_engine.Fields.KoX = ko.X;
    m_engine.Fields.KoY = ko.Y;
    m_engine.Game.GefangeneSchwarz += black;
    m_engine.Game.GefangeneWeiss += white;
    for (const auto& m : moves) PlayAndRemember(m.Point, m.Colour);
}

std::string TGtpEngine::HandleLine(const std::string& line, bool& quit) {
    quit = false;
    std::vector<std::string> words = SplitWords(CleanLine(line));
    if (words.empty()) return {};
    // An id is any run of digits, however long: it is echoed, never computed with.
    std::string id;
    if (IsDigits(words[0])) {
        id = words[0];
        words.erase(words.begin());
    }
    TGtpReply reply;
    if (words.empty()) {
        reply = TGtpReply::Failure("no command");
    } else if (const auto it = m_commands.find(words[0]); it == m_commands.end()) {
        reply = TGtpReply::Failure("unknown command");
    } else {
        const TGtpArgs args(words.begin() + 1, words.end());
        try {
            reply = it->second(args);
        } catch (const std::exception& e) {
            reply = TGtpReply::Failure(std::string("internal error: ") + e.what());
        }
        quit = words[0] == "quit";
    }
    std::string text = WithoutEmptyLines(reply.Text);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::string response(reply.Ok ? "=" : "?");
    response.append(id).append(" ").append(text).append("\n\n");
    return response;
}

void TGtpEngine::Run(std::istream& in, std::ostream& out) {
    std::string line;
    while (std::getline(in, line)) {
        bool quit = false;
        const std::string response = HandleLine(line, quit);
        if (!response.empty()) out << response << std::flush;
        if (quit) break;
    }
}

void TGtpEngine::RegisterCoreCommands() {
    Register("protocol_version", [](const TGtpArgs&) { return TGtpReply::Success("2"); });
    Register("name", [](const TGtpArgs&) { return TGtpReply::Success("Obrin"); });
    Register("version", [](const TGtpArgs&) { return TGtpReply::Success(OBRIN_VERSION); });
    Register("quit", [](const TGtpArgs&) { return TGtpReply::Success(); });
    Register("known_command", [this](const TGtpArgs& a) {
        if (a.size() != 1) return SyntaxError();
        return TGtpReply::Success(Knows(a[0]) ? "true" : "false");
    });
    Register("list_commands", [this](const TGtpArgs&) {
        std::string names;
        for (const auto& [name, handler] : m_commands) names += name + "\n";
        return TGtpReply::Success(names);
    });
    Register("boardsize", [this](const TGtpArgs& a) {
        int size = 0;
        if (a.size() != 1 || !ParseInt(a[0], size)) return SyntaxError();
        if (size != BoardSize) return TGtpReply::Failure("unacceptable size");
        NewGame();
        return TGtpReply::Success();
    });
    Register("clear_board", [this](const TGtpArgs&) {
        NewGame();
        return TGtpReply::Success();
    });
    Register("komi", [this](const TGtpArgs& a) {
        double komi = 0.0;
        if (a.size() != 1) return SyntaxError();
        if (!ParseKomi(a[0], komi)) return TGtpReply::Failure("komi not a number");
        SetKomi(komi);
        return TGtpReply::Success();
    });
    Register("play", [this](const TGtpArgs& a) { return Play(a); });
    Register("undo", [this](const TGtpArgs&) {
        if (m_moves.empty()) return TGtpReply::Failure("cannot undo");
        m_moves.pop_back();
        ReplayRemembered();
        return TGtpReply::Success();
    });
    Register("fixed_handicap", [this](const TGtpArgs& a) { return FixedHandicap(a); });
    Register("showboard", [this](const TGtpArgs&) { return ShowBoard(); });
    Register("is_legal", [this](const TGtpArgs& a) {
        TPoint p;
        const int colour = a.size() == 2 ? ParseColour(a[0]) : 0;
        if (colour == 0 || !ParseVertex(a[1], p)) return SyntaxError();
        return TGtpReply::Success(IsLegalFor(p, colour) ? "1" : "0");
    });
    Register("list_stones", [this](const TGtpArgs& a) { return ListStones(a); });
    Register("captures", [this](const TGtpArgs& a) { return Captures(a); });
}

TGtpReply TGtpEngine::Play(const TGtpArgs& a) {
    TPoint p;
    const int colour = a.size() == 2 ? ParseColour(a[0]) : 0;
    if (colour == 0 || !ParseVertex(a[1], p)) return SyntaxError();
    if (!IsLegalFor(p, colour)) return TGtpReply::Failure("illegal move");
    PlayAndRemember(p, colour);
    return TGtpReply::Success();
}

TGtpReply TGtpEngine::FixedHandicap(const TGtpArgs& a) {
    int n = 0;
    if (a.size() != 1 || !ParseInt(a[0], n)) return SyntaxError();
    // GTP's fixed placements end at nine; the desktop program's larger ones are its own.
    if (n < 2 || n > 9) return TGtpReply::Failure("invalid number of stones");
    const std::vector<TPoint> points = HandicapPoints(n);
    if (!BoardIsEmpty(m_engine.Fields.Spielfeld)) return TGtpReply::Failure("board not empty");
    std::string text;
    for (const TPoint& p : points) {
        SetPoint(m_engine.Fields.Spielfeld, p.X, p.Y, 1);
        m_setup.push_back({p, 1});
        if (!text.empty()) text += ' ';
        text += VertexText(p);
    }
    return TGtpReply::Success(text);
}

TGtpReply TGtpEngine::ShowBoard() const {
    const TBoardFields& f = m_engine.Fields;
    std::string header = "   ";
    for (int x = 0; x < BoardSize; ++x) header += std::string(1, ColumnLetters[x]) + " ";
    std::ostringstream out;
    out << "\n" << header << "\n";
    for (int y = BoardSize - 1; y >= 0; --y) {
        out << (y + 1 < 10 ? " " : "") << y + 1 << " ";
        for (int x = 0; x < BoardSize; ++x) {
            const int v = f.Spielfeld[PointIndex(x, y)];
            const bool star = (x == 3 || x == 9 || x == 15) && (y == 3 || y == 9 || y == 15);
            out << (v > 0 ? 'X' : v < 0 ? 'O' : star ? '+' : '.') << ' ';
        }
        out << y + 1;
        if (y == BoardSize - 1)
            out << "     Black (X) has captured " << m_engine.Game.GefangeneSchwarz << " stones";
        if (y == BoardSize - 2)
            out << "     White (O) has captured " << m_engine.Game.GefangeneWeiss - m_komi
                << " stones";
        out << "\n";
    }
    out << header;
    return TGtpReply::Success(out.str());
}

TGtpReply TGtpEngine::ListStones(const TGtpArgs& a) const {
    const int colour = a.size() == 1 ? ParseColour(a[0]) : 0;
    if (colour == 0) return SyntaxError();
    std::string text;
    for (int p = 0; p < PointCount; ++p)
        if (m_engine.Fields.Spielfeld[p] == colour) {
            if (!text.empty()) text += ' ';
            text += PointText(PointColumn(p), PointRow(p));
        }
    return TGtpReply::Success(text);
}

TGtpReply TGtpEngine::Captures(const TGtpArgs& a) const {
    const int colour = a.size() == 1 ? ParseColour(a[0]) : 0;
    if (colour == 0) return SyntaxError();
    const TGameState& g = m_engine.Game;
    const double taken = colour > 0 ? g.GefangeneSchwarz : g.GefangeneWeiss - m_komi;
    return TGtpReply::Success(std::to_string(static_cast<long long>(std::llround(taken))));
}

}  // namespace obrin
