#include "analysis/analysis_context.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "analysis/datafiles.h"
#include "board/errors.h"

namespace obrin {

namespace {

constexpr const char* KlassiNetFile = "net.dat";
constexpr const char* TerritoryNetFile = "terrnet.dat";

// The territory network's file must hold the 80-320-320-1 network the inputs are made for; any
// other file is refused and the fresh network stays.
void LoadTerritoryNet(std::unique_ptr<TFeedFwd4>& net, IHost& host) {
    const std::filesystem::path path = DataFilePath(TerritoryNetFile);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    auto loaded = std::make_unique<TFeedFwd4>(1, 1, 1, 1, 0.2, [] { return 0.0; });
    try {
        loaded->LoadFromFile(path.string());
    } catch (const EObrinError& e) {
        host.ShowMessage(e.what());
        return;
    }
    if (loaded->InputCount() != net->InputCount() ||
        loaded->Hidden1Count() != net->Hidden1Count() ||
        loaded->Hidden2Count() != net->Hidden2Count() ||
        loaded->OutputCount() != net->OutputCount()) {
        host.ShowMessage(
            path.string() + ": layer sizes " + std::to_string(loaded->InputCount()) + "-" +
            std::to_string(loaded->Hidden1Count()) + "-" + std::to_string(loaded->Hidden2Count()) +
            "-" + std::to_string(loaded->OutputCount()) + " at offset 4, 80-320-320-1 expected");
        return;
    }
    net = std::move(loaded);
}

bool AllFinite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}
bool WeightsFinite(const TFeedFwd3& n) {
    return AllFinite(n.ThresholdH) && AllFinite(n.ThresholdO) && AllFinite(n.WeightIH) &&
           AllFinite(n.WeightHO);
}
bool WeightsFinite(const TFeedFwd4& n) {
    return AllFinite(n.Threshold1) && AllFinite(n.Threshold2) && AllFinite(n.ThresholdO) &&
           AllFinite(n.Weight1) && AllFinite(n.Weight2) && AllFinite(n.WeightO);
}

}  // namespace

TAnalysisContext::TAnalysisContext(IHost& host) : TPositionContext(host) {
    const TUniformRandom random = [this] { return Random.Real(); };
    KlassiNet = std::make_unique<TFeedFwd3>(50, 50, 50, 0.2, random);
    LoadIfPresent(*KlassiNet, KlassiNetFile, Host);
    KlassiSamples = std::make_unique<TTestData>();
    KlassiSamples->SetInputCount(27);
    KlassiSamples->SetOutputCount(50);
    TerritoryNet = std::make_unique<TFeedFwd4>(80, 320, 320, 1, 0.2, random);
    LoadTerritoryNet(TerritoryNet, Host);
    TerritoryNet->SetLearningRate(0.01);
    Graph = std::make_unique<TGoGraph>(*this);
}

TAnalysisContext::~TAnalysisContext() = default;

void TAnalysisContext::SaveNetworks() const {
    // A network nobody trained in this run is the one loaded at start (or a fresh one): writing
    // it back could only replace a trained file by random weights. Weights that training drove to
    // infinity or NaN are never written either.
    if (KlassiNetTrained && WeightsFinite(*KlassiNet))
        KlassiNet->SaveToFile(DataFilePath(KlassiNetFile, true).string());
    if (TerritoryNetTrained && WeightsFinite(*TerritoryNet))
        TerritoryNet->SaveToFile(DataFilePath(TerritoryNetFile, true).string());
}

}  // namespace obrin
