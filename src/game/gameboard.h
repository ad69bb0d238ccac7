// TGameBoard: what a game record is replayed onto and recorded from, the position context's boards
// (and host) with the game state and the game information. The engine has one over its own
// objects; a record command that needs only a board makes a TScratchBoard, which loads no network
// and no pattern library.
#pragma once

#include "context/context.h"
#include "game/gamedt.h"
#include "game/gamestate.h"

namespace obrin {

// Where executed moves are recorded (the record tree implements it).
class IGameRecorder {
  public:
    virtual ~IGameRecorder() = default;
    virtual void RecordMove(int x, int y, int colour) = 0;
};

class TGameBoard {
  public:
    TGameBoard(TPositionContext& position, TGameState& game, TGameData& gameData)
        : Position(position), Game(game), GameData(gameData) {}
    TGameBoard(const TGameBoard&) = delete;
    TGameBoard& operator=(const TGameBoard&) = delete;

    TPositionContext& Position;
    TGameState& Game;
    TGameData& GameData;
};

// A board of its own, with a quiet host, for reading, replaying and writing records.
class TScratchBoard {
  public:
    TScratchBoard() = default;
    TScratchBoard(const TScratchBoard&) = delete;
    TScratchBoard& operator=(const TScratchBoard&) = delete;

  private:
    IHost m_host;
    TPositionContext m_position{m_host};
    TGameState m_game;
    TGameData m_gameData;

  public:
    TGameBoard Board{m_position, m_game, m_gameData};
};

}  // namespace obrin
