// The position context: what board, tactics and analysis code work on below the engine. It holds
// the boards and per-point fields, the fifteen analysis arrays, the pool of scratch elements, the
// random generator, the clock the searches read, the settings and the host that shows the work to
// a user. The engine object builds on it (through the analysis and pattern contexts) and owns it;
// a test of a lower layer builds just this.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <random>

#include "board/fields.h"
#include "context/host.h"
#include "board/memory.h"
#include "settings/settings.h"

namespace obrin {

class TLangSup;

// The program's random generator: clock-seeded unless a fixed seed was given, so that tests
// and benchmarks can repeat a run.
class TRandom {
  public:
    void SetFixedSeed(uint32_t seed) {
        m_fixed = true;
        m_gen.seed(seed);
    }
    // Seeds from the clock, unless a fixed seed was given.
    void Randomize() {
        if (m_fixed) return;
        m_gen.seed(static_cast<uint32_t>(
            std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    }
    // Uniform in [0, 1).
    [[nodiscard]] double Real() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_gen); }
    // Uniform in 0 .. n-1.
    [[nodiscard]] int Int(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_gen); }

  private:
    std::mt19937 m_gen{5489u};
    bool m_fixed = false;
};

// The time every search with a deadline reads, in milliseconds. Normally the host's clock; in
// deterministic mode a virtual clock that advances one millisecond per NodesPerVirtualMs trial
// moves of the tactical reader, so that answers repeat on every machine and under any load.
class TClock {
  public:
    // Chosen so that one virtual millisecond is about one real millisecond of reading here.
    static constexpr int64_t NodesPerVirtualMs = 500;

    void SetDeterministic(bool on) { m_deterministic = on; }
    [[nodiscard]] bool Deterministic() const { return m_deterministic; }
    // readingNodes: the trial moves the reader has played so far (the virtual clock's source).
    [[nodiscard]] uint64_t NowMs(IHost& host, int64_t readingNodes) const {
        // The virtual clock starts well above zero so that no deadline computed from it wraps.
        constexpr uint64_t virtualEpoch = 1'000'000;
        if (!m_deterministic) return host.TickMs();
        return virtualEpoch + static_cast<uint64_t>(readingNodes / NodesPerVirtualMs);
    }

  private:
    bool m_deterministic = false;
};

class TPositionContext {
  public:
    explicit TPositionContext(IHost& host)
        : Host(host), Container(std::make_unique<TFieldContainer>()) {}
    TPositionContext(const TPositionContext&) = delete;
    TPositionContext& operator=(const TPositionContext&) = delete;

    // Draws b as a search's trial position when lookahead animation is on.
    void ShowIntermediate(const TBoard& b) {
        if (Settings.TreppenAnimieren) Host.ShowIntermediate(b);
    }

    IHost& Host;
    TBoardFields Fields;                         // Spielfeld, Namensfeld, ..., KoX, KoY
    std::unique_ptr<TFieldContainer> Container;  // the fifteen analysis arrays
    TMemoryManager Pool;                         // scratch boards and lists
    TRandom Random;
    TClock Clock;
    TSettings Settings;  // the settings of OBRIN.INI
    // The translation table; it belongs to the user-interface object, which outlives the engine
    // and attaches it. Null when there is none (obrin-cli, most tests).
    TLangSup* LangSup = nullptr;
};

}  // namespace obrin
