// The state of the game being played; one instance lives in the engine for the whole run.
#pragma once

#include <cstdint>

namespace obrin {

struct TGameState {
    int32_t SideToMove = 1;         // +1 or -1; the random moves and the replay set it
    double GefangeneSchwarz = 0.0;  // prisoners credited to +1 (Gefangene = prisoners)
    double GefangeneWeiss = 0.0;    // prisoners credited to -1; komi is its starting value
    bool ComputerWeiss = false;     // colour swap: +1 is drawn white and recorded as "W"
    bool ComputerBeginnt = false;   // the computer moves first against a human
    bool SchwarzBeginnt = true;     // +1 moves first between two humans
    int32_t ComputerZugX = -1, ComputerZugY = -1;  // the computer's last move
    int32_t MenschZugX = -1, MenschZugY = -1;      // the human's last move
};

}  // namespace obrin
