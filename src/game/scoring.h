// Counting a position as a finished game: the stones the end count keeps alive stay, every other
// stone is a prisoner of the opponent, and every point the living stones do not occupy belongs to
// the side whose influence covers it, except the liberties a seki shares. The one count is
// CountFinalPosition. The score window, GTP final_score and the end of a self-played game all
// count this way, so they always agree.
#pragma once

#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

class TEngine;

// The counts of one position. Plus is the engine's colour +1, Minus the opponent -1.
struct TScore {
    int TerrPlus = 0, TerrMinus = 0;  // points of each side's territory
    int DeadPlus = 0, DeadMinus = 0;  // stones of each side judged dead
    double GefangeneSchwarz = 0.0;    // prisoners of +1 taken during the game
    double GefangeneWeiss = 0.0;      // prisoners of -1, komi included

    [[nodiscard]] double PrisonersPlus() const { return DeadMinus + GefangeneSchwarz; }
    [[nodiscard]] double PrisonersMinus() const { return DeadPlus + GefangeneWeiss; }
    // Positive when +1 leads.
    [[nodiscard]] double Balance() const {
        return (TerrPlus - TerrMinus) + GefangeneSchwarz - GefangeneWeiss + DeadMinus - DeadPlus;
    }
};

// A balance within a hundredth of zero is a draw (komi and prisoners are reals).
[[nodiscard]] bool IsDraw(double balance);

// Counts over the points the living-stones map leaves 0: stones there are dead, and the point is
// territory of the side the territory map's sign names.
[[nodiscard]] TScore CountScore(const TBoard& spielfeld, const TBoard& living,
                                const TBoard& territory, double gefangeneSchwarz,
                                double gefangeneWeiss);

// Correcting the count by hand, as the user does in the score window. The stones one click marks
// together: the stones of the clicked stone's colour that the opponent's stones do not separate
// from it (reached through empty points and own stones), as a dead group lies inside the
// opponent's wall. Empty when the point holds no stone.
[[nodiscard]] std::vector<int> StonesMarkedTogether(const TBoard& spielfeld, int point);
// Marks those stones dead in living when the clicked stone is alive there, alive otherwise.
void ToggleLife(const TBoard& spielfeld, TBoard& living, int point);
// Counts with a living-stones map; territory receives the territory map it implies (the same
// spreading of influence the analysis graph uses). The points neutral marks (the liberties seki
// groups share) count for nobody while living stones of both colours touch them.
[[nodiscard]] TScore CountWithLiving(const TBoard& spielfeld, const TBoard& living,
                                     double gefangeneSchwarz, double gefangeneWeiss,
                                     TBoard& territory, const TBoard& neutral = TBoard{});

// The count of the current position as a finished game. The end count (game/endcount.h) judges
// some stones dead; they are taken off as prisoners and the position left is judged again, until
// no new stone is judged dead (at most FinalCountRounds verdicts); that last position is
// counted, with the liberties of its seki for nobody. With the setting KlassischeEngine the
// analysis graph judges instead, as the count first did, and there is no seki. Either way taking
// off exactly the stones listed dead and counting again gives the same score and no new dead
// stones. Spielfeld and the ko point are restored afterwards; the engine's analysis is that of
// the last position counted.
struct TFinalCount {
    TScore Score;
    TBoard Dead{};       // the colour of every stone counted dead, 0 elsewhere
    TBoard Seki{};       // the colour of every stone living in seki
    TBoard Neutral{};    // 1 at the liberties the seki groups share
    TBoard Living{};     // the position with the dead stones taken off
    TBoard Territory{};  // the living stones' influence there: its sign names a point's owner
    // The stones group by group (point indices): the alive and seki ones by the analysis graph's
    // groups, the dead ones as one click marks them together (the classic count: as the
    // analysis that judged them found them).
    std::vector<std::vector<int>> DeadGroups, AliveGroups, SekiGroups;
    int Rounds = 0;  // verdicts reached
};
constexpr int FinalCountRounds = 8;
[[nodiscard]] TFinalCount CountFinalPosition(TEngine& engine);

// The score of CountFinalPosition.
[[nodiscard]] TScore ScorePosition(TEngine& engine);

// The GTP form of a balance with +1 as Black: "B+5.5", "W+3" or "0".
[[nodiscard]] std::string GtpScoreText(double balance);

// The result line of the score window, in German; translate before showing.
struct TScoreLine {
    std::string Template;  // "Obrin führt mit %3.1f Punkt(en)", ... or "Unentschieden"
    double Points = 0.0;   // the lead, to format into the template
};
[[nodiscard]] TScoreLine ScoreLine(double balance);
// Fills the template's %3.1f with the points (the template may come from the translation table).
[[nodiscard]] std::string FormatScoreLine(const std::string& translatedTemplate, double points);

}  // namespace obrin
