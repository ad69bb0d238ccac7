// The tactical reader: the state that the ladder reader and the capture and rescue searches keep
// from question to question (the ladder's frame stack, the bounded reader's transposition table,
// the count of trial moves), over the position context whose pool, fields, clock and host they
// use. Every tactical question takes the reader; nothing above the position context is needed to
// ask one.
#pragma once

#include <cstdint>

#include "context/context.h"
#include "tactics/reading_table.h"
#include "tactics/treppe.h"

namespace obrin {

class TReader {
  public:
    explicit TReader(TPositionContext& context) : Context(context) {}
    TReader(const TReader&) = delete;
    TReader& operator=(const TReader&) = delete;

    // The context's clock; on the deterministic clock it runs with the trial moves counted here
    // since the last RestartClock.
    [[nodiscard]] uint64_t NowMs() const {
        return Context.Clock.NowMs(Context.Host, Nodes - m_clockOrigin);
    }
    // Starts the deterministic clock from its epoch again, as in a fresh engine: a position's
    // analysis then gets the same reading deadlines whatever was read before it (the clock
    // ticks once per 500 trial moves, so the remainder left by earlier readings moved every
    // deadline).
    void RestartClock() { m_clockOrigin = Nodes; }
    void ShowIntermediate(const TBoard& b) { Context.ShowIntermediate(b); }

    TPositionContext& Context;
    TTreppe Treppe;        // the ladder reader's frame stack
    TReadingTable Table;   // the bounded reader's transposition table
    int64_t Nodes = 0;     // trial moves played by the tactical searches (benchmarks read it)

  private:
    int64_t m_clockOrigin = 0;  // Nodes when the deterministic clock last started
};

}  // namespace obrin
