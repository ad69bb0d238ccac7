#include "game/engine.h"

#include <chrono>
#include <filesystem>

#include "analysis/datafiles.h"
#include "board/errors.h"
#include "game/movedriver.h"
#include "patterns/handlers.h"

namespace obrin {

void TRandom::Randomize() {
    if (m_fixed) return;
    m_gen.seed(static_cast<uint32_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

namespace {

constexpr const char* KlassiNetFile = "net.dat";
constexpr const char* TerritoryNetFile = "terrnet.dat";

// Loads a network when its file exists; a damaged file keeps the fresh network and is reported.
template <typename TNet>
void LoadIfPresent(TNet& net, const char* name, IHost& host) {
    const std::filesystem::path path = DataFilePath(name);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    try {
        net.LoadFromFile(path.string());
    } catch (const EObrinError& e) {
        host.ShowMessage(e.what());
    }
}

}  // namespace

TEngine::TEngine(IHost& host) : Host(host), Container(std::make_unique<TFieldContainer>()) {
    RegisterPatternHandlers(Patterns);
    LoadPatterns(*this);
    const TUniformRandom random = [this] { return Random.Real(); };
    KlassiNet = std::make_unique<TFeedFwd3>(50, 50, 50, 0.2, random);
    LoadIfPresent(*KlassiNet, KlassiNetFile, Host);
    KlassiSamples = std::make_unique<TTestData>();
    KlassiSamples->SetInputCount(27);
    KlassiSamples->SetOutputCount(50);
    TerritoryNet = std::make_unique<TFeedFwd4>(80, 320, 320, 1, 0.2, random);
    LoadIfPresent(*TerritoryNet, TerritoryNetFile, Host);
    TerritoryNet->SetLearningRate(0.01);
    ComputerMove = [this] { return obrin::ComputerMove(*this); };
}

void TEngine::SaveNetworks() const {
    KlassiNet->SaveToFile(DataFilePath(KlassiNetFile, true).string());
    TerritoryNet->SaveToFile(DataFilePath(TerritoryNetFile, true).string());
}

TEngine::~TEngine() = default;

TGoalDebugger& TEngine::GoalDebugger() {
    if (!m_goalDebugger)
        m_goalDebugger = std::make_unique<TGoalDebugger>(DataFilePath(GoalTraceFileName, true),
                                                         Settings.ZieleProtokollieren);
    return *m_goalDebugger;
}

uint64_t TEngine::NowMs() {
    // The virtual clock starts well above zero so that no deadline computed from it wraps.
    constexpr uint64_t virtualEpoch = 1'000'000;
    if (!m_deterministicClock) return Host.TickMs();
    return virtualEpoch + static_cast<uint64_t>(ReadingNodes / NodesPerVirtualMs);
}

void TEngine::Shutdown() {
    RuleManager->Destroy();
    Pool.Destroy();
}

}  // namespace obrin
