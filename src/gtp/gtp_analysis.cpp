#include "gtp/gtp_analysis.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "analysis/graph.h"
#include "analysis/klassi.h"
#include "board/chains.h"
#include "game/analyse.h"
#include "game/analysis_fields.h"
#include "game/engine.h"
#include "game/scoring.h"
#include "gtp/gtp.h"
#include "gtp/gtp_patterns.h"
#include "gtp/gtp_rules.h"

namespace obrin {
std::string GroupStatusWord(int status) {
    static constexpr const char* words[] = {"dead", "saveable", "attackable", "safe"};
    return status >= 0 && status <= 3 ? words[status] : "unknown";
}

std::string GroupStones(const TGoGroup& g) {
    // The stones in board order, so that answers compare easily.
    TBoard mine{};
    for (const TGoStone* s = g.Steine; s != nullptr; s = s->next) mine[s->Point] = 1;
    std::string text;
    for (int p = 0; p < PointCount; ++p)
        if (mine[p] != 0) {
            if (!text.empty()) text += ' ';
            text += TGtpEngine::VertexText({PointColumn(p), PointRow(p)});
        }
    return text;
}

namespace {

// Points in board order, as GroupStones lists them.
std::string StonesText(std::vector<int> points) {
    std::sort(points.begin(), points.end());
    std::string text;
    for (const int p : points) {
        if (!text.empty()) text += ' ';
        text += TGtpEngine::VertexText({PointColumn(p), PointRow(p)});
    }
    return text;
}

}  // namespace

std::string GroupText(const TGoGroup& g) {
    return TGtpEngine::VertexText({PointColumn(g.Name), PointRow(g.Name)}) + " " + GroupStones(g);
}

std::string FieldText(const TBoard& field) {
    std::string text;
    for (int y = BoardSize - 1; y >= 0; --y) {
        for (int x = 0; x < BoardSize; ++x) {
            if (x > 0) text += ' ';
            text += std::to_string(field[PointIndex(x, y)]);
        }
        if (y > 0) text += '\n';
    }
    return text;
}

void RegisterAnalysisCommands(TGtpEngine& gtp) {
    gtp.Register("obrin_fields", [](const TGtpArgs&) {
        std::string text;
        for (const auto& field : AnalysisFieldNames())
            text += (text.empty() ? "" : "\n") + field.Name;
        return TGtpReply::Success(text);
    });
    gtp.Register("obrin_field", [&gtp](const TGtpArgs& args) {
        if (args.size() != 1) return TGtpReply::Failure("syntax error");
        TBoard field{};
        if (!AnalysisField(gtp.Engine(), args[0], field))
            return TGtpReply::Failure("unknown field " + args[0]);
        Analyse(gtp.Engine(), TAnalysisStage::All);
        (void)AnalysisField(gtp.Engine(), args[0], field);
        return TGtpReply::Success(FieldText(field));
    });
    gtp.Register("gogui-analyze_commands", [&gtp](const TGtpArgs&) {
        std::string text;
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "literal" + string
        // in optimised builds.
        for (const auto& field : AnalysisFieldNames()) {
            if (!text.empty()) text += '\n';
            text.append("dboard/").append(field.Name).append("/obrin_field ").append(field.Name);
        }
        for (const auto& entry : gtp.AnalyzeCommands()) text.append("\n").append(entry);
        text += "\nplist/Tote Steine/final_status_list dead";
        text += "\nstring/Bewertung/final_score";
        text += "\nstring/Gruppenstatus/obrin_status %p";
        text += "\nstring/Ketten-Status/obrin_groups";
        return TGtpReply::Success(text);
    });
    gtp.Register("obrin_groups", [&gtp](const TGtpArgs& args) {
        if (!args.empty()) return TGtpReply::Failure("syntax error");
        Analyse(gtp.Engine(), TAnalysisStage::Areas);
        return TGtpReply::Success(gtp.Engine().Graph->DumpText());
    });
    gtp.Register("obrin_status", [&gtp](const TGtpArgs& args) {
        TPoint p;
        if (args.size() != 1 || !TGtpEngine::ParseVertex(args[0], p) || !OnBoard(p.X, p.Y))
            return TGtpReply::Failure("syntax error");
        TEngine& engine = gtp.Engine();
        if (GetPoint(engine.Fields.Spielfeld, p.X, p.Y) == 0)
            return TGtpReply::Failure("vertex is empty");
        Analyse(engine, TAnalysisStage::Areas);
        const TGoGroup& g = engine.Graph->FindGroupOfStone(PointIndex(p.X, p.Y));
        return TGtpReply::Success(GroupStatusWord(g.Status) + " " + GroupText(g));
    });
    gtp.Register("final_status_list", [&gtp](const TGtpArgs& args) {
        if (args.size() != 1) return TGtpReply::Failure("syntax error");
        const std::string& kind = args[0];
        if (kind != "alive" && kind != "dead" && kind != "seki")
            return TGtpReply::Failure("syntax error");
        // The classic count knows no seki.
        if (kind == "seki" && gtp.Engine().Settings.KlassischeEngine) return TGtpReply::Success();
        // The stones final_score counts dead, those living in seki, and every other stone alive.
        const TFinalCount count = CountFinalPosition(gtp.Engine());
        const auto& lines = kind == "dead"    ? count.DeadGroups
                            : kind == "alive" ? count.AliveGroups
                                              : count.SekiGroups;
        std::string text;
        for (const std::vector<int>& line : lines) {
            if (!text.empty()) text += '\n';
            text += StonesText(line);
        }
        return TGtpReply::Success(text);
    });
    gtp.Register("final_score", [&gtp](const TGtpArgs& args) {
        if (!args.empty()) return TGtpReply::Failure("syntax error");
        // Counted as the score window counts: the stones final_status_list calls dead are
        // prisoners, the living stones' influence decides the territory; komi is in the
        // prisoners of White.
        return TGtpReply::Success(GtpScoreText(ScorePosition(gtp.Engine()).Balance()));
    });
    RegisterPatternCommands(gtp);
    RegisterRuleCommands(gtp);
}

}  // namespace obrin
