#include "game/analysis_fields.h"

#include <functional>

#include "analysis/analysis_context.h"
#include "analysis/klassi.h"
#include "board/chains.h"

namespace obrin {
namespace {

using TFieldGetter = std::function<TBoard(TAnalysisContext&)>;

struct TAnalysisFieldEntry {
    TAnalysisFieldName Name;
    TFieldGetter Value;
};

TFieldGetter Board(TBoard TBoardFields::*member) {
    return [member](TAnalysisContext& c) { return c.Fields.*member; };
}
TFieldGetter Container(TBoard TFieldContainer::*member) {
    return [member](TAnalysisContext& c) { return (*c.Container).*member; };
}

TBoard Thousandths(const std::array<double, PointCount>& values) {
    TBoard b{};
    for (int i = 0; i < PointCount; ++i) b[i] = RoundHalfEven(values[i] * 1000, 0);
    return b;
}

// The status of its group at every stone, -1 elsewhere.
TBoard GroupStatusField(TAnalysisContext& c) {
    TBoard b;
    b.fill(-1);
    for (int p = 0; p < PointCount; ++p)
        if (const TGoGroup* g = c.Graph->GroupAtPoint(p)) b[p] = g->Status;
    return b;
}

// The territory classes of the empty points; stones have none.
TBoard TerritoryClasses(TAnalysisContext& c) {
    TBoard b{};
    for (int i = 0; i < PointCount; ++i)
        if (c.Fields.Spielfeld[i] == 0) b[i] = TerritoryClass(c.Container->Feldbewertung[i]);
    return b;
}

TBoard DiagnosticSpread(TAnalysisContext& c) {
    SpreadColour(1, c.Fields.Spielfeld, c.Fields.Diagnosefeld, 18);
    return c.Fields.Diagnosefeld;
}

const std::vector<TAnalysisFieldEntry>& FieldTable() {
    static const std::vector<TAnalysisFieldEntry> table = {
        {{"Spielfeld", "&Spielfeld"}, Board(&TBoardFields::Spielfeld)},
        {{"Feldstaerkefeld", "&Feldstaerkefeld"}, Board(&TBoardFields::Feldstaerkefeld)},
        {{"MinAbstand", "&MinAbstand"}, Board(&TBoardFields::MinAbstand)},
        {{"Namensfeld", "&Namensfeld"}, Board(&TBoardFields::Namensfeld)},
        {{"SRadar", "SRadar"}, Board(&TBoardFields::SRadar)},
        {{"WRadar", "WRadar"}, Board(&TBoardFields::WRadar)},
        {{"SVerbunden", "SVerbunden"}, Board(&TBoardFields::SVerbunden)},
        {{"WVerbunden", "WVerbunden"}, Board(&TBoardFields::WVerbunden)},
        {{"NN-S-Schicksalsgemeinschaft", "NN-S-Schicksalsgemeinschaft"},
         Container(&TFieldContainer::NNSSchicksalsgemeinschaft)},
        {{"NN-W-Schicksalsgemeinschaft", "NN-W-Schicksalsgemeinschaft"},
         Container(&TFieldContainer::NNWSchicksalsgemeinschaft)},
        {{"NN-S-Praedikatsbereich", "NN-S-Praedikatsbereich"},
         Container(&TFieldContainer::NNSPraedikatsbereich)},
        {{"NN-W-Praedikatsbereich", "NN-W-Praedikatsbereich"},
         Container(&TFieldContainer::NNWPraedikatsbereich)},
        {{"NN-S-Sicher", "NN-S-Sicher"}, Container(&TFieldContainer::NNSSicher)},
        {{"NN-W-Sicher", "NN-W-Sicher"}, Container(&TFieldContainer::NNWSicher)},
        {{"Strategiefeld", "Strategiefeld"}, Board(&TBoardFields::Strategiefeld)},
        {{"Neutral", "Neutral"}, Board(&TBoardFields::Neutral)},
        {{"ScoreField", "ScoreField"}, [](TAnalysisContext& c) { return c.Territory.ScoreField; }},
        {{"Gruppenstatus", ""}, GroupStatusField},
        {{"LokalVorschlag", "LokalVorschlag"}, Container(&TFieldContainer::LokalVorschlag)},
        {{"Gradient", "Gradient"}, Container(&TFieldContainer::Gradient)},
        {{"Freiheitsfeld", "Freiheitsfeld"}, Container(&TFieldContainer::Freiheitsfeld)},
        {{"Diagnosefeld", "Diagnosefeld"}, DiagnosticSpread},
        {{"Endfeld", "&Endfeld"}, Board(&TBoardFields::Endfeld)},
        {{"NNFeld1", "NNFeld1"}, Container(&TFieldContainer::NNFeld1)},
        {{"Feldbewertung", ""},
         [](TAnalysisContext& c) { return Thousandths(c.Container->Feldbewertung); }},
        {{"NNFeld4", "NNFeld4"}, Container(&TFieldContainer::NNFeld4)},
        {{"NNSSchicksalsgemeinschaft", ""}, Container(&TFieldContainer::NNSSchicksalsgemeinschaft)},
        {{"NNWSchicksalsgemeinschaft", ""}, Container(&TFieldContainer::NNWSchicksalsgemeinschaft)},
        {{"NNSSicher", ""}, Container(&TFieldContainer::NNSSicher)},
        {{"NNWSicher", ""}, Container(&TFieldContainer::NNWSicher)},
        {{"NNSAugen", "NNSAugen"}, Container(&TFieldContainer::NNSAugen)},
        {{"NNWAugen", "NNWAugen"}, Container(&TFieldContainer::NNWAugen)},
        {{"NNSPraedikatsbereich", ""}, Container(&TFieldContainer::NNSPraedikatsbereich)},
        {{"NNWPraedikatsbereich", ""}, Container(&TFieldContainer::NNWPraedikatsbereich)},
        {{"Reserve", ""}, Container(&TFieldContainer::Reserve)},
        {{"Gebietswert", "Gebietswert"}, TerritoryClasses},
    };
    return table;
}

}  // namespace

const std::vector<TAnalysisFieldName>& AnalysisFieldNames() {
    static const std::vector<TAnalysisFieldName> names = [] {
        std::vector<TAnalysisFieldName> all;
        for (const TAnalysisFieldEntry& e : FieldTable()) all.push_back(e.Name);
        return all;
    }();
    return names;
}

bool AnalysisField(TAnalysisContext& context, const std::string& name, TBoard& field) {
    for (const TAnalysisFieldEntry& e : FieldTable())
        if (e.Name.Name == name) {
            field = e.Value(context);
            return true;
        }
    return false;
}

}  // namespace obrin
