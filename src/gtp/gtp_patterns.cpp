#include "gtp/gtp_patterns.h"

#include <string>
#include <vector>

#include "gtp/gtp.h"
#include "patterns/muster.h"

namespace obrin {
namespace {

std::vector<TPatternFiring> CurrentFirings(TEngine& engine) {
    std::vector<TPatternFiring> firings;
    CollectFirings(engine.Patterns.Tree, engine.Fields.Spielfeld, firings);
    return firings;
}

std::string AnchorVertex(const TPatternFiring& f) {
    return TGtpEngine::VertexText({PointColumn(f.Anchor), PointRow(f.Anchor)});
}

}  // namespace

void RegisterPatternCommands(TGtpEngine& gtp) {
    // One line per firing: pattern number, anchor vertex, symmetry; in the matcher's order.
    gtp.Register("obrin_patterns", [&gtp](const TGtpArgs&) {
        std::string text;
        for (const TPatternFiring& f : CurrentFirings(gtp.Engine()))
            text += (text.empty() ? "" : "\n") + std::to_string(f.Number) + " " + AnchorVertex(f) +
                    " " + std::to_string(f.Symmetry);
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
                text += (text.empty() ? "LABEL " : " ") +
                        TGtpEngine::VertexText({PointColumn(p), PointRow(p)}) + " " +
                        std::to_string(first[p]);
        return TGtpReply::Success(text);
    });
    gtp.AddAnalyzeCommand("string/Pattern firings/obrin_patterns");
    gtp.AddAnalyzeCommand("gfx/Pattern anchors/obrin_pattern_anchors");
}

}  // namespace obrin
