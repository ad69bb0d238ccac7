#include "game/scoring.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "analysis/graph.h"
#include "game/engine.h"
#include "game/analyse.h"

namespace obrin {
namespace {

constexpr const char* PlusLeads = "Obrin führt mit %3.1f Punkt(en)";
constexpr const char* MinusLeads = "Mensch führt mit %3.1f Punkt(en)";
constexpr const char* Draw = "Unentschieden";

}  // namespace

bool IsDraw(double balance) {
    return std::fabs(balance) <= 0.01;
}

TScore CountScore(const TBoard& spielfeld, const TBoard& living, const TBoard& territory,
                  double gefangeneSchwarz, double gefangeneWeiss) {
    TScore s;
    s.GefangeneSchwarz = gefangeneSchwarz;
    s.GefangeneWeiss = gefangeneWeiss;
    for (int i = 0; i < PointCount; ++i) {
        if (living[i] != 0) continue;
        if (spielfeld[i] > 0) ++s.DeadPlus;
        if (spielfeld[i] < 0) ++s.DeadMinus;
        if (territory[i] > 0) ++s.TerrPlus;
        if (territory[i] < 0) ++s.TerrMinus;
    }
    return s;
}

TScore ScorePosition(TEngine& engine) {
    Analyse(engine, TAnalysisStage::All);
    return CountScore(engine.Fields.Spielfeld, engine.Graph->LivingMap, engine.Graph->ScoreField,
                      engine.Game.GefangeneSchwarz, engine.Game.GefangeneWeiss);
}

std::string GtpScoreText(double balance) {
    if (IsDraw(balance)) return "0";
    char text[64];
    const double lead = std::fabs(balance);
    // Whole numbers without a fraction, halves (komi) with one digit.
    if (lead == std::floor(lead))
        std::snprintf(text, sizeof text, "%c+%.0f", balance > 0 ? 'B' : 'W', lead);
    else
        std::snprintf(text, sizeof text, "%c+%.1f", balance > 0 ? 'B' : 'W', lead);
    return text;
}

TScoreLine ScoreLine(double balance) {
    if (IsDraw(balance)) return {Draw, 0.0};
    return balance > 0 ? TScoreLine{PlusLeads, balance} : TScoreLine{MinusLeads, -balance};
}

std::string FormatScoreLine(const std::string& translatedTemplate, double points) {
    // The template comes from the translation table: only its one number is filled in, so a
    // stray % in a translation can do no harm.
    char number[32];
    std::snprintf(number, sizeof number, "%3.1f", points);
    std::string text = translatedTemplate;
    const size_t at = text.find("%3.1f");
    if (at != std::string::npos) text.replace(at, 5, number);
    return text;
}

}  // namespace obrin
