#include "game/analyse.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "analysis/graph.h"
#include "analysis/klassi.h"
#include "board/chains.h"
#include "game/engine.h"
#include "patterns/muster.h"
#include "settings/langsup.h"
#include "tactics/treppe.h"

namespace obrin {
namespace {

void BuildAreas(TEngine& engine) {
    engine.Graph->BuildAreas();
    if (engine.Settings.KettenProtokollieren) engine.Graph->DumpToFile();
}

void CreateGroupGoals(TEngine& engine) {
    engine.RuleManager->ResetGoals();
    engine.RuleManager->CreateGroupGoals();
}

struct TStageStep {
    TAnalysisStage Stage;
    const char* StatusWord;  // shown before the stage; null keeps the previous text
    void (*Run)(TEngine& engine, TTerritoryNoise noise);
};

// The stages in their order, with the status text the user sees while each runs.
constexpr TStageStep kStages[] = {
    {TAnalysisStage::Classification, "Neuronale Klassifizierung",
     [](TEngine& e, TTerritoryNoise) { ClassifyBoard(e); }},
    {TAnalysisStage::Gradient, nullptr, [](TEngine& e, TTerritoryNoise) { ComputeGradient(e); }},
    {TAnalysisStage::Names, nullptr, [](TEngine& e, TTerritoryNoise) { ComputeNamensfeld(e.Fields); }},
    {TAnalysisStage::Liberties, nullptr,
     [](TEngine& e, TTerritoryNoise) {
         ComputeFreiheitsfeld(e.Fields.Spielfeld, e.Container->Freiheitsfeld, e.Fields.Spielfeld);
     }},
    {TAnalysisStage::Cuts, "Schnitt-Analyse", [](TEngine& e, TTerritoryNoise) { CutAnalysis(e.Reader); }},
    {TAnalysisStage::Graph, "Graph wird erstellt", [](TEngine& e, TTerritoryNoise) { BuildGraph(e); }},
    {TAnalysisStage::Areas, nullptr, [](TEngine& e, TTerritoryNoise) { BuildAreas(e); }},
    {TAnalysisStage::Territory, "Neuronale Feldbewertung",
     [](TEngine& e, TTerritoryNoise noise) {
         e.Territory.EvaluateTerritory(noise == TTerritoryNoise::On);
     }},
    {TAnalysisStage::GroupGoals, "Ziele werden generiert",
     [](TEngine& e, TTerritoryNoise) { CreateGroupGoals(e); }},
    {TAnalysisStage::NeutralPoints, "Neutrale Punkte werden ermittelt",
     [](TEngine& e, TTerritoryNoise) {
         ComputeNeutralField(*e.Graph, e.Fields.Spielfeld, e.Fields.Neutral);
     }},
};

}  // namespace

void Analyse(TEngine& engine, TAnalysisStage upTo, TTerritoryNoise noise) {
    TBoardFields& f = engine.Fields;
    f.WVerbunden.fill(0);
    f.SVerbunden.fill(0);
    f.Neutral.fill(0);
    f.Endfeld.fill(0);
    // The escape routes of the graph stage choose among equal routes by the territory values,
    // which only the territory stage writes: they start from zero, as in a fresh engine, not
    // from the previous position's values.
    engine.Container->Feldbewertung.fill(0.0);
    engine.Reader.RestartClock();
    for (const TStageStep& step : kStages) {
        if (step.Stage > upTo) break;
        if (step.StatusWord != nullptr) engine.Host.SetStatus(ThinkingText(engine, step.StatusWord));
        step.Run(engine, noise);
    }
}

void BuildGraph(TEngine& engine) {
    TGoGraph& graph = *engine.Graph;
    graph.BuildGroupsAndChains();
    MatchPatterns(engine);
    graph.CorrectAfterPatterns();
    graph.ComputeStrategicValues();
}

void ComputeGradient(TPositionContext& context) {
    const TBoard& b = context.Fields.Spielfeld;
    const TBoard& strength = context.Fields.Feldstaerkefeld;
    TBoard& gradient = context.Container->Gradient;
    for (int p = 0; p < PointCount; ++p) {
        gradient[p] = 0;
        if (b[p] != 0) continue;
        const int x = PointColumn(p), y = PointRow(p);
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            if (!OnBoard(x + dx, y + dy)) continue;
            const int q = PointIndex(x + dx, y + dy);
            if (b[q] == 0) gradient[p] = std::max(gradient[p], std::abs(strength[p] - strength[q]));
        }
    }
}

std::string ThinkingText(TPositionContext& context, const char* word) {
    TLangSup* lang = context.LangSup;
    if (lang == nullptr) return std::string(word) + " ...";
    const std::string previous = lang->Context();
    lang->SetContext("Thinking");
    std::string text = lang->Translate(word) + " ...";
    lang->SetContext(previous);
    return text;
}

}  // namespace obrin
