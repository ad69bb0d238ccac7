// What the tactical searches work on, and nothing more (no networks, no pattern library): a
// position context with its reader, and a host whose clock and stop button the test drives.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "context/context.h"
#include "tactics/reader.h"
#include "support/diagram.h"

namespace obrin::test {

// A host with a hand-driven millisecond clock: each TickMs call advances it by Step.
class TScriptedHost : public IHost {
  public:
    uint64_t Now = 1000;
    uint64_t Step = 0;
    bool Locked = false;
    int Shown = 0;
    bool IsLocked() override { return Locked; }
    uint64_t TickMs() override {
        const uint64_t t = Now;
        Now += Step;
        return t;
    }
    void ShowIntermediate(const TBoard&) override { ++Shown; }
};

// A position context with the reader that the tactical questions take.
struct TTacticsContext : TPositionContext {
    explicit TTacticsContext(IHost& host) : TPositionContext(host) {}
    TReader Reader{*this};
};

class TacticsTest : public ::testing::Test {
  protected:
    TScriptedHost Host;
    TTacticsContext Context{Host};

    // Far enough away that the scripted clock never reaches it unless a test moves it.
    static constexpr uint64_t NoDeadline = 1'000'000'000;

    // Every scratch element went back: the checked shutdown succeeds.
    void ExpectPoolBalanced() { EXPECT_NO_THROW(Context.Pool.Destroy()); }
};

}  // namespace obrin::test
