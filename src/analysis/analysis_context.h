// The analysis context: the position context plus what the analysis keeps from move to move, the
// tactical reader, the point classifier and its samples, the territory network and evaluator, the
// group-status estimator and the analysis graph. Analysis code takes it instead of the engine;
// the engine builds on it and owns it.
#pragma once

#include <memory>

#include "analysis/feedfwd3.h"
#include "analysis/feedfwd4.h"
#include "analysis/graph.h"
#include "analysis/grpstat.h"
#include "analysis/territory.h"
#include "analysis/testdata.h"
#include "context/context.h"
#include "tactics/reader.h"

namespace obrin {

class TAnalysisContext : public TPositionContext {
  public:
    // Creates the networks in this order and loads them when their files are present: the point
    // classifier (50-50-50, "net.dat"), its training samples (27 inputs, 50 outputs; the training
    // dialog loads "training.dat"), the territory network (80-320-320-1, "terrnet.dat", then
    // trained at rate 0.01). A damaged file keeps the fresh network and is reported to the host.
    explicit TAnalysisContext(IHost& host);
    ~TAnalysisContext();

    // Writes the classification and territory networks back to "net.dat" and "terrnet.dat"
    // (the desktop program does this at exit), each only when a training dialog trained it in
    // this run and its weights are finite; through a temporary file. Throws EObrinError when a
    // file cannot be written.
    void SaveNetworks() const;

    TReader Reader{*this};  // the ladder and capture searches' state
    std::unique_ptr<TFeedFwd3> KlassiNet;
    std::unique_ptr<TTestData> KlassiSamples;
    std::unique_ptr<TFeedFwd4> TerritoryNet;
    // Set when a training dialog has changed a network's weights in this run, so that the
    // network is worth writing back at exit.
    bool KlassiNetTrained = false;
    bool TerritoryNetTrained = false;
    TTerritoryEvaluator Territory{*this};
    TGroupEstimator Estimator;  // group status from the 96 rules
    // The analysis graph (groups, chains, areas); built per move decision, after Territory.
    std::unique_ptr<TGoGraph> Graph;
};

}  // namespace obrin
