#include "gtp/gtp_analysis.h"

#include <cmath>
#include <functional>
#include <utility>

#include "analysis/graph.h"
#include "analysis/klassi.h"
#include "board/chains.h"
#include "game/engine.h"
#include "game/scoring.h"
#include "gtp/gtp.h"
#include "gtp/gtp_patterns.h"
#include "gtp/gtp_rules.h"

namespace obrin {
namespace {

using TFieldGetter = std::function<TBoard(const TEngine&)>;

TFieldGetter Board(TBoard TBoardFields::*member) {
    return [member](const TEngine& e) { return e.Fields.*member; };
}
TFieldGetter Container(TBoard TFieldContainer::*member) {
    return [member](const TEngine& e) { return (*e.Container).*member; };
}

TBoard Thousandths(const std::array<double, PointCount>& values) {
    TBoard b{};
    for (int i = 0; i < PointCount; ++i) b[i] = RoundHalfEven(values[i] * 1000, 0);
    return b;
}

// The status of its group at every stone, -1 elsewhere.
TBoard GroupStatusField(const TEngine& e) {
    TBoard b;
    b.fill(-1);
    for (int p = 0; p < PointCount; ++p)
        if (const TGoGroup* g = e.Graph->GroupAtPoint(p)) b[p] = g->Status;
    return b;
}

// The display names of the field window first, then the container's fields under their own names.
const std::vector<std::pair<std::string, TFieldGetter>>& FieldTable() {
    static const std::vector<std::pair<std::string, TFieldGetter>> table = {
        {"Spielfeld", Board(&TBoardFields::Spielfeld)},
        {"Feldstaerkefeld", Board(&TBoardFields::Feldstaerkefeld)},
        {"MinAbstand", Board(&TBoardFields::MinAbstand)},
        {"Namensfeld", Board(&TBoardFields::Namensfeld)},
        {"SRadar", Board(&TBoardFields::SRadar)},
        {"WRadar", Board(&TBoardFields::WRadar)},
        {"SVerbunden", Board(&TBoardFields::SVerbunden)},
        {"WVerbunden", Board(&TBoardFields::WVerbunden)},
        {"NN-S-Schicksalsgemeinschaft", Container(&TFieldContainer::NNSSchicksalsgemeinschaft)},
        {"NN-W-Schicksalsgemeinschaft", Container(&TFieldContainer::NNWSchicksalsgemeinschaft)},
        {"NN-S-Praedikatsbereich", Container(&TFieldContainer::NNSPraedikatsbereich)},
        {"NN-W-Praedikatsbereich", Container(&TFieldContainer::NNWPraedikatsbereich)},
        {"NN-S-Sicher", Container(&TFieldContainer::NNSSicher)},
        {"NN-W-Sicher", Container(&TFieldContainer::NNWSicher)},
        {"Strategiefeld", Board(&TBoardFields::Strategiefeld)},
        {"Neutral", Board(&TBoardFields::Neutral)},
        {"ScoreField", [](const TEngine& e) { return e.Territory.ScoreField; }},
        {"Gruppenstatus", GroupStatusField},
        {"LokalVorschlag", Container(&TFieldContainer::LokalVorschlag)},
        {"Gradient", Container(&TFieldContainer::Gradient)},
        {"Freiheitsfeld", Container(&TFieldContainer::Freiheitsfeld)},
        {"Diagnosefeld", Board(&TBoardFields::Diagnosefeld)},
        {"Endfeld", Board(&TBoardFields::Endfeld)},
        {"NNFeld1", Container(&TFieldContainer::NNFeld1)},
        {"Feldbewertung", [](const TEngine& e) { return Thousandths(e.Container->Feldbewertung); }},
        {"NNFeld4", Container(&TFieldContainer::NNFeld4)},
        {"NNSSchicksalsgemeinschaft", Container(&TFieldContainer::NNSSchicksalsgemeinschaft)},
        {"NNWSchicksalsgemeinschaft", Container(&TFieldContainer::NNWSchicksalsgemeinschaft)},
        {"NNSSicher", Container(&TFieldContainer::NNSSicher)},
        {"NNWSicher", Container(&TFieldContainer::NNWSicher)},
        {"NNSAugen", Container(&TFieldContainer::NNSAugen)},
        {"NNWAugen", Container(&TFieldContainer::NNWAugen)},
        {"NNSPraedikatsbereich", Container(&TFieldContainer::NNSPraedikatsbereich)},
        {"NNWPraedikatsbereich", Container(&TFieldContainer::NNWPraedikatsbereich)},
        {"Reserve", Container(&TFieldContainer::Reserve)},
    };
    return table;
}

}  // namespace

void AnalysePosition(TEngine& engine, bool territory) {
    TBoardFields& b = engine.Fields;
    AnalyseToGraph(engine);
    ComputeNeutralField(*engine.Graph, b.Spielfeld, b.Neutral);
    SpreadColour(1, b.Spielfeld, b.Diagnosefeld, 18);
    if (territory) engine.Territory.EvaluateTerritory(false);
}

std::string GroupStatusWord(int status) {
    static constexpr const char* words[] = {"dead", "saveable", "attackable", "safe"};
    return status >= 0 && status <= 3 ? words[status] : "unknown";
}

std::vector<std::string> AnalysisFieldNames() {
    std::vector<std::string> names;
    for (const auto& [name, getter] : FieldTable()) names.push_back(name);
    return names;
}

bool AnalysisField(const TEngine& engine, const std::string& name, TBoard& field) {
    for (const auto& [known, getter] : FieldTable())
        if (known == name) {
            field = getter(engine);
            return true;
        }
    return false;
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
        for (const auto& name : AnalysisFieldNames()) text += (text.empty() ? "" : "\n") + name;
        return TGtpReply::Success(text);
    });
    gtp.Register("obrin_field", [&gtp](const TGtpArgs& args) {
        if (args.size() != 1) return TGtpReply::Failure("syntax error");
        TBoard field{};
        if (!AnalysisField(gtp.Engine(), args[0], field))
            return TGtpReply::Failure("unknown field " + args[0]);
        AnalysePosition(gtp.Engine(), args[0] == "Feldbewertung");
        (void)AnalysisField(gtp.Engine(), args[0], field);
        return TGtpReply::Success(FieldText(field));
    });
    gtp.Register("gogui-analyze_commands", [&gtp](const TGtpArgs&) {
        std::string text;
        // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "literal" + string
        // in optimised builds.
        for (const auto& name : AnalysisFieldNames()) {
            if (!text.empty()) text += '\n';
            text.append("dboard/").append(name).append("/obrin_field ").append(name);
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
        AnalysePosition(gtp.Engine(), false);
        return TGtpReply::Success(gtp.Engine().Graph->DumpText());
    });
    gtp.Register("obrin_status", [&gtp](const TGtpArgs& args) {
        TPoint p;
        if (args.size() != 1 || !TGtpEngine::ParseVertex(args[0], p) || !OnBoard(p.X, p.Y))
            return TGtpReply::Failure("syntax error");
        TEngine& engine = gtp.Engine();
        if (GetPoint(engine.Fields.Spielfeld, p.X, p.Y) == 0)
            return TGtpReply::Failure("vertex is empty");
        AnalysePosition(engine, false);
        const TGoGroup& g = engine.Graph->FindGroupOfStone(PointIndex(p.X, p.Y));
        return TGtpReply::Success(GroupStatusWord(g.Status) + " " + GroupText(g));
    });
    gtp.Register("final_status_list", [&gtp](const TGtpArgs& args) {
        if (args.size() != 1) return TGtpReply::Failure("syntax error");
        const std::string& kind = args[0];
        if (kind != "alive" && kind != "dead" && kind != "seki")
            return TGtpReply::Failure("syntax error");
        if (kind == "seki") return TGtpReply::Success();
        TEngine& engine = gtp.Engine();
        AnalysePosition(engine, false);
        std::string text;
        for (const TGoGroup* g = engine.Graph->Groups(); g != nullptr; g = g->next)
            if ((g->Status == StatusDead) == (kind == "dead")) {
                if (!text.empty()) text += '\n';
                text += GroupStones(*g);
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
