// The engine always thinks for +1. TEngineSide makes the given colour +1 on Spielfeld for as long
// as it lives and puts the board back when it goes, also when the thinking fails: for -1 the board
// is negated. A ko ban that binds only the other player (the colour to think for made the last
// move, so the ban was the opponent's) can be lifted for the time being as well.
#pragma once

#include "board/board.h"
#include "context/context.h"

namespace obrin {

class TEngineSide {
  public:
    enum class TKo { Keep, Lift };

    TEngineSide(TPositionContext& context, int colour, TKo ko = TKo::Keep)
        : m_fields(context.Fields), m_colour(colour), m_ko{m_fields.KoX, m_fields.KoY} {
        if (ko == TKo::Lift) m_fields.KoX = m_fields.KoY = -1;
        if (m_colour < 0) NegateBoard(m_fields.Spielfeld);
    }
    ~TEngineSide() {
        if (m_colour < 0) NegateBoard(m_fields.Spielfeld);
        m_fields.KoX = m_ko.X;
        m_fields.KoY = m_ko.Y;
    }
    TEngineSide(const TEngineSide&) = delete;
    TEngineSide& operator=(const TEngineSide&) = delete;

  private:
    TBoardFields& m_fields;
    const int m_colour;
    const TPoint m_ko;
};

}  // namespace obrin
