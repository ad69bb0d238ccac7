#include "gtp/gtp_analysis.h"

#include <cmath>
#include <functional>
#include <utility>

#include "analysis/klassi.h"
#include "board/chains.h"
#include "game/engine.h"
#include "gtp/gtp.h"
#include "gtp/gtp_patterns.h"

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
    ClassifyBoard(engine);
    ComputeNamensfeld(b);
    ComputeFreiheitsfeld(b.Spielfeld, engine.Container->Freiheitsfeld, b.Spielfeld);
    SpreadColour(1, b.Spielfeld, b.Diagnosefeld, 18);
    if (territory) engine.Territory.EvaluateTerritory(false);
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
        return TGtpReply::Success(text);
    });
    RegisterPatternCommands(gtp);
}

}  // namespace obrin
