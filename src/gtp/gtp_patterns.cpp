#include "gtp/gtp_patterns.h"

#include <string>
#include <vector>

#include "analysis/graph.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "gtp/gtp.h"
#include "patterns/muster.h"

namespace obrin {
namespace {

std::vector<TPatternFiring> CurrentFirings(TEngine& engine) {
    std::vector<TPatternFiring> firings;
    CollectFirings(engine.Patterns.Tree, engine.Fields.Spielfeld, firings);
    return firings;
}

std::string Vertex(int point) {
    return TGtpEngine::VertexText({PointColumn(point), PointRow(point)});
}

std::string AnchorVertex(const TPatternFiring& f) {
    return Vertex(f.Anchor);
}

// The associations of the current position: the analysis up to the graph, whose pattern step
// fills them.
const TGoalAssociation& CurrentAssociations(TEngine& engine) {
    Analyse(engine, TAnalysisStage::Areas);
    return engine.GoalAssociation;
}

}  // namespace

void RegisterPatternCommands(TGtpEngine& gtp) {
    // One line per firing: pattern number, anchor vertex, symmetry; in the matcher's order.
    gtp.Register("obrin_patterns", [&gtp](const TGtpArgs&) {
        std::string text;
        for (const TPatternFiring& f : CurrentFirings(gtp.Engine())) {
            if (!text.empty()) text += '\n';
            text +=
                std::to_string(f.Number) + " " + AnchorVertex(f) + " " + std::to_string(f.Symmetry);
        }
        return TGtpReply::Success(text);
    });
    // The anchors labelled with the number of the first pattern that fits there.
    gtp.Register("obrin_pattern_anchors", [&gtp](const TGtpArgs&) {
        std::vector<int> first(PointCount, 0);
        for (const TPatternFiring& f : CurrentFirings(gtp.Engine()))
            if (first[f.Anchor] == 0) first[f.Anchor] = f.Number;
        std::string text;
        for (int p = 0; p < PointCount; ++p)
            if (first[p] != 0)
                text +=
                    (text.empty() ? "LABEL " : " ") + Vertex(p) + " " + std::to_string(first[p]);
        return TGtpReply::Success(text);
    });
    // One line per association, newest first: goal name, pattern number, vertex.
    gtp.Register("obrin_assoc", [&gtp](const TGtpArgs& args) {
        if (!args.empty()) return TGtpReply::Failure("syntax error");
        std::string text;
        for (const TPattAssocEntry* e = CurrentAssociations(gtp.Engine()).Entries(); e != nullptr;
             e = e->Next) {
            if (!text.empty()) text += '\n';
            text += std::string(e->GoalName.View()) + " " + std::to_string(e->PatternNumber) + " " +
                    Vertex(e->Point);
        }
        return TGtpReply::Success(text);
    });
    // The associated points, each once, in board order.
    gtp.Register("obrin_assoc_points", [&gtp](const TGtpArgs& args) {
        if (!args.empty()) return TGtpReply::Failure("syntax error");
        std::vector<bool> named(PointCount, false);
        for (const TPattAssocEntry* e = CurrentAssociations(gtp.Engine()).Entries(); e != nullptr;
             e = e->Next)
            named[e->Point] = true;
        std::string text;
        for (int p = 0; p < PointCount; ++p)
            if (named[p]) {
                if (!text.empty()) text += ' ';
                text += Vertex(p);
            }
        return TGtpReply::Success(text);
    });
    gtp.AddAnalyzeCommand("string/Pattern firings/obrin_patterns");
    gtp.AddAnalyzeCommand("string/Assoziationen/obrin_assoc");
    gtp.AddAnalyzeCommand("plist/Assoziierte Punkte/obrin_assoc_points");
    gtp.AddAnalyzeCommand("gfx/Pattern anchors/obrin_pattern_anchors");
}

}  // namespace obrin
