// The process-wide boards and per-point fields, and the field container. One instance of each
// belongs to the engine object; nothing here is global.
#pragma once

#include <array>

#include "board/board.h"

namespace obrin {

// TFieldContainer: the fifteen per-point arrays the analysis fills, in their fixed order.
// Feldbewertung (territory evaluation) is real-valued; all others hold integers.
struct TFieldContainer {
    TBoard NNFeld1{};                                // new-life output of the point classifier
    TBoard LokalVorschlag{};                         // local answer suggestions
    std::array<double, PointCount> Feldbewertung{};  // neural territory evaluation
    TBoard NNFeld4{};                                // seal-off output of the point classifier
    TBoard NNSSchicksalsgemeinschaft{};              // shared-fate regions of +1
    TBoard NNWSchicksalsgemeinschaft{};              // shared-fate regions of -1
    TBoard NNSSicher{};                              // sure stones of +1
    TBoard NNWSicher{};                              // sure stones of -1
    TBoard NNSAugen{};                               // eye field of +1, 0 to 1000
    TBoard NNWAugen{};                               // eye field of -1, 0 to 1000
    TBoard NNSPraedikatsbereich{};                   // predicate area of +1
    TBoard NNWPraedikatsbereich{};                   // predicate area of -1
    TBoard Reserve{};                                // allocated only
    TBoard Gradient{};       // steepest influence step to an empty neighbour
    TBoard Freiheitsfeld{};  // liberty count of each stone's chain
};

// The process-wide boards (Spielfeld = playing board, Namensfeld = chain names, ...) and the ko
// point. All start at zero; MinAbstand is filled once.
struct TBoardFields {
    TBoard Spielfeld{};                    // the current game position
    TBoard MinAbstand = MakeMinAbstand();  // distance to the nearest edge
    TBoard Feldstaerkefeld{};              // influence of the stones (field strength)
    TBoard Namensfeld{};                   // chain names: lowest index of each stone's chain
    TBoard SVerbunden{};                   // cut points of +1 whose cut fails
    TBoard WVerbunden{};                   // cut points of -1 whose cut fails
    TBoard SRadar{};                       // distance ranks from the last move of +1
    TBoard WRadar{};                       // distance ranks from the last move of -1
    TBoard Strategiefeld{};                // strategic values of the living groups
    TBoard Neutral{};                      // neutral points
    TBoard Diagnosefeld{};                 // SpreadColour of Spielfeld for +1 (display only)
    TBoard Endfeld{};                      // displayed and cleared, never filled
    TBoard Leerfeld{};                     // always empty; copied to clear Spielfeld
    int32_t KoX = -1;  // the simple-ko point: where the side to move may not play
    int32_t KoY = -1;
};

struct TFeldstaerkeLiberties {
    int Sum = 0, Fourth = 0, Fifth = 0;
};
// Field strength over the liberties of the chain at (x, y) of b (reads Feldstaerkefeld).
[[nodiscard]] TFeldstaerkeLiberties FeldstaerkeLiberties(int x, int y, const TBoard& b,
                                                         const TBoardFields& fields);
// Sum of the sure-stone field of the chain's colour over the chain at (x, y) of Spielfeld.
[[nodiscard]] int SicherSum(int x, int y, const TBoardFields& fields, const TFieldContainer& fc);

struct TGradients {
    int Up = 0, Right = 0, Down = 0, Left = 0;
};
[[nodiscard]] TGradients FeldstaerkeGradients(int x, int y, const TBoardFields& fields);

}  // namespace obrin
