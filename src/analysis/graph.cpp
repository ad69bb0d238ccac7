#include "analysis/graph.h"

#include <algorithm>
#include <functional>

#include "analysis/datafiles.h"
#include "analysis/klassi.h"
#include "board/chains.h"
#include "board/errors.h"
#include "board/neighbours.h"
#include "analysis/analysis_context.h"
#include "tactics/brute.h"
#include "tactics/reading.h"
#include "tactics/treppe.h"
#include "settings/langsup.h"

namespace obrin {

// The build's scratch: allocated once with the graph and reused by every build.
struct TGoGraph::TScratch {
    TBoard Region{};   // the shared-fate region map of the colour being grouped
    TBoard Work{};     // eye-cost candidate map
    TBoard Targets{};  // escape-route targets
    TPointList List;   // flood fills
    TPointList List2;  // liberties of a second chain
    TStampMarks LibertyMarks;
    TStampMarks EyeMarks;
    TStampMarks Seen;
    TStampMarks Capturable;  // groups (by name) with a chain the reader can capture
    std::array<int32_t, PointCount> First{};   // first-liberty strengths
    std::array<int32_t, PointCount> Second{};  // second-liberty strengths
    std::array<int16_t, PointCount> EyePoints{};
    // Progress texts, translated once per language.
    std::array<std::string, 6> ProgressTexts;
    std::string ProgressLanguage;
    bool ProgressReady = false;
};

namespace {

constexpr int32_t NoEyes = 2147483647;
constexpr int EyeValueCounted = 667;
// A chain with this many liberties cannot be captured in a fight the reader can see; it is not
// read.
constexpr int SafeLiberties = 5;  // an eye-field value from which a point counts as an eye

// The stages of a build that show progress, and their texts in the same order.
enum TStage { Connections, Grouping, Patterns, Correction, Reading, Strategy };
constexpr const char* ProgressWords[6] = {"Korrektur der Verbindungs-Einschätzung",
                                          "Gruppen-Graph wird aufgebaut",
                                          "Mustererkennung",
                                          "Korrektur der Mustererkennung",
                                          "Brute-Force-Analyse",
                                          "Strategische Werte werden ermittelt"};

TBoard& SharedFate(TAnalysisContext& context, int colour) {
    return colour == 1 ? context.Container->NNSSchicksalsgemeinschaft
                       : context.Container->NNWSchicksalsgemeinschaft;
}

void ZeroAtLiberties(const TPointList& liberties, TBoard& field) {
    for (const TPoint& l : liberties) field[PointIndex(l.X, l.Y)] = 0;
}

// The first stone of a group: the head of its stone list.
int FirstStone(const TGoGroup& g) {
    return g.Steine != nullptr ? g.Steine->Point : -1;
}

bool Adjacent(int p, int q) {
    const int dx = std::abs(PointColumn(p) - PointColumn(q));
    const int dy = std::abs(PointRow(p) - PointRow(q));
    return dx + dy == 1;
}

// The eight neighbours of p on the board: orthogonal, then diagonal.
int EightNeighbours(int p, int (&out)[8]) {
    static constexpr int dx[8] = {0, 1, 0, -1, 1, 1, -1, -1};
    static constexpr int dy[8] = {1, 0, -1, 0, 1, -1, -1, 1};
    int n = 0;
    for (int d = 0; d < 8; ++d) {
        const int x = PointColumn(p) + dx[d], y = PointRow(p) + dy[d];
        if (OnBoard(x, y)) out[n++] = PointIndex(x, y);
    }
    return n;
}

// The empty points around an eye pair p, q (their eight neighbours, without p and q): what it
// costs to build the two eyes.
int EyePairCost(int p, int q, const TBoard& board) {
    int counted[16];
    int count = 0;
    for (const int centre : {p, q}) {
        int around[8];
        const int n = EightNeighbours(centre, around);
        for (int i = 0; i < n; ++i) {
            const int r = around[i];
            if (r == p || r == q || board[r] != 0) continue;
            if (std::find(counted, counted + count, r) == counted + count) counted[count++] = r;
        }
    }
    return count;
}

std::string Join(const int32_t* values, int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += std::to_string(values[i]) + " ";
    return text;
}

}  // namespace

TGoGraph::TGoGraph(TAnalysisContext& context)
    : ScoreField(context.Territory.ScoreField),
      m_context(context),
      m_scratch(std::make_unique<TScratch>()) {}

TGoGraph::~TGoGraph() {
    Recycle();
}

void TGoGraph::Progress(int stage) {
    TScratch& s = *m_scratch;
    TLangSup* lang = m_context.LangSup;
    if (!s.ProgressReady || (lang != nullptr && s.ProgressLanguage != lang->Language())) {
        const std::string context = lang != nullptr ? lang->Context() : std::string();
        if (lang != nullptr) lang->SetContext("Thinking");
        for (int i = 0; i < 6; ++i)
            s.ProgressTexts[i] =
                (lang != nullptr ? lang->Translate(ProgressWords[i]) : ProgressWords[i]) + " ...";
        if (lang != nullptr) {
            lang->SetContext(context);
            s.ProgressLanguage = lang->Language();
        }
        s.ProgressReady = true;
    }
    m_context.Host.SetStatus(s.ProgressTexts[stage]);
}

void TGoGraph::Recycle() {
    m_built = false;
    while (m_groups != nullptr) {
        TGoGroup* g = m_groups;
        m_groups = g->next;
        while (g->Steine != nullptr) {
            TGoStone* s = g->Steine;
            g->Steine = s->next;
            m_freeStones.Give(s);
        }
        while (g->Feinde != nullptr) {
            TGoGroupLink* l = g->Feinde;
            g->Feinde = l->next;
            m_freeLinks.Give(l);
        }
        m_freeGroups.Give(g);
    }
    while (m_chains != nullptr) {
        TGoChain* c = m_chains;
        m_chains = c->next;
        m_freeChains.Give(c);
    }
    while (m_areas != nullptr) {
        TGoArea* a = m_areas;
        m_areas = a->next;
        m_freeAreas.Give(a);
    }
    m_groupAt.fill(nullptr);
}

void TGoGraph::BuildGroupsAndChains() {
    TBoardFields& f = m_context.Fields;
    Recycle();
    // Chain names and liberties must belong to this position.
    ComputeNamensfeld(f);
    ComputeFreiheitsfeld(f.Spielfeld, m_context.Container->Freiheitsfeld, f.Spielfeld);
    Progress(Connections);
    CorrectConnections();
    Progress(Grouping);
    BuildGroupsOfColour(1);
    BuildGroupsOfColour(-1);
    BuildChains();
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) MeasureLiberties(*g);
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) MeasureEyeCost(*g);
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next)
        g->Status = m_context.Estimator.Estimate(*g);
    Progress(Patterns);
}

void TGoGraph::CorrectAfterPatterns() {
    FindEscapeRoutes(1);
    FindEscapeRoutes(-1);
    Progress(Correction);
    CorrectStatus();
}

// The classifier's shared-fate regions, corrected by what the cut analysis and the liberties
// say: proven connections join, chains short of liberties and cuttable pairs split.
void TGoGraph::CorrectConnections() {
    TAnalysisContext& e = m_context;
    const TBoardFields& f = e.Fields;
    const TBoard& board = f.Spielfeld;
    const TBoard& liberties = e.Container->Freiheitsfeld;
    TBoard& blackFate = SharedFate(e, 1);
    TBoard& whiteFate = SharedFate(e, -1);
    TScratch& s = *m_scratch;
    for (int p = 0; p < PointCount; ++p) {
        if (f.SVerbunden[p] == 1) blackFate[p] = 1;
        if (f.WVerbunden[p] == 1) whiteFate[p] = 1;
    }
    // Chains with one liberty, or two and caught in a ladder, hold nothing together.
    for (int p = 0; p < PointCount; ++p) {
        if (board[p] == 0 || f.Namensfeld[p] != p) continue;
        const int x = PointColumn(p), y = PointRow(p);
        const int n = GetLiberties(x, y, board, s.List);
        if (n == 1 || (n == 2 && Ladder(e.Reader, x, y, board, f.KoX, f.KoY) >= 0))
            ZeroAtLiberties(s.List, SharedFate(e, board[p]));
    }
    // Cuts: a playable point between two diagonal enemy chains with two liberties each.
    for (const int c : {-1, 1}) {
        TBoard& fate = SharedFate(e, -c);
        for (int p = 0; p < PointCount; ++p) {
            if (board[p] != 0) continue;
            const int x = PointColumn(p), y = PointRow(p);
            int playable = -1;  // not asked yet
            for (int d = 0; d < 4; ++d) {
                const int ax = x + NeighbourDX[d], ay = y + NeighbourDY[d];
                const int bx = x + NeighbourDX[(d + 1) % 4], by = y + NeighbourDY[(d + 1) % 4];
                if (!OnBoard(ax, ay) || !OnBoard(bx, by)) continue;
                const int a = PointIndex(ax, ay), b = PointIndex(bx, by);
                if (board[a] != -c || board[b] != -c || liberties[a] != 2 || liberties[b] != 2 ||
                    f.Namensfeld[a] == f.Namensfeld[b])
                    continue;
                if (playable < 0) playable = IsPlayable(e.Reader, x, y, c, f.KoX, f.KoY, board) ? 1 : 0;
                if (playable == 0) break;
                (void)GetLiberties(ax, ay, board, s.List);
                ZeroAtLiberties(s.List, fate);
                (void)GetLiberties(bx, by, board, s.List2);
                ZeroAtLiberties(s.List2, fate);
            }
        }
    }
    // A point where a side can play next to its stones does not belong to the other side.
    for (int p = 0; p < PointCount; ++p) {
        if (board[p] != 0) continue;
        bool blackNext = false, whiteNext = false;
        for (int k = 0; k < Neighbours.Count[p]; ++k) {
            const int v = board[Neighbours.Index[p][k]];
            blackNext |= v == 1;
            whiteNext |= v == -1;
        }
        const int x = PointColumn(p), y = PointRow(p);
        if (blackNext && whiteFate[p] != 0 && IsPlayable(e.Reader, x, y, 1, f.KoX, f.KoY, board))
            whiteFate[p] = 0;
        if (whiteNext && blackFate[p] != 0 && IsPlayable(e.Reader, x, y, -1, f.KoX, f.KoY, board))
            blackFate[p] = 0;
    }
}

void TGoGraph::BuildGroupsOfColour(int colour) {
    TAnalysisContext& e = m_context;
    const TBoard& board = e.Fields.Spielfeld;
    const TFieldContainer& fc = *e.Container;
    const TBoard& sure = colour == 1 ? fc.NNSSicher : fc.NNWSicher;
    const TBoard& eyes = colour == 1 ? fc.NNSAugen : fc.NNWAugen;
    TScratch& s = *m_scratch;
    s.Region = SharedFate(e, colour);
    for (int p = 0; p < PointCount; ++p) {
        if (board[p] == colour) s.Region[p] = 1;
        if (board[p] == -colour) s.Region[p] = 0;
    }
    for (int x = 0; x < BoardSize; ++x)
        for (int y = 0; y < BoardSize; ++y) {
            if (s.Region[PointIndex(x, y)] <= 0) continue;
            s.LibertyMarks.Begin();
            s.EyeMarks.Begin();
            int32_t count = 0, name = 10000, strongest = 0, strengthSum = 0;
            int32_t eyeSum = 0, eyeCount = 0, local = 0;
            TGoStone* stones = nullptr;
            (void)GetChain(x, y, s.Region, s.List);
            for (const TPoint& pt : s.List) {
                const int q = PointIndex(pt.X, pt.Y);
                s.Region[q] = 0;
                if (board[q] != colour) continue;
                ++count;
                TGoStone* stone = m_freeStones.Take();
                stone->Point = q;
                stone->next = stones;
                stones = stone;
                local += 2;
                for (int k = 0; k < Neighbours.Count[q]; ++k) {
                    const int n = Neighbours.Index[q][k];
                    if (board[n] != 0 || s.LibertyMarks.IsMarked(n)) continue;
                    s.LibertyMarks.Mark(n);
                    ++local;
                }
                for (int k = 0; k < Neighbours.Count[q]; ++k) {
                    const int n = Neighbours.Index[q][k];
                    if (s.EyeMarks.IsMarked(n)) continue;
                    s.EyeMarks.Mark(n);
                    eyeSum += eyes[n];
                    if (eyes[n] >= EyeValueCounted) ++eyeCount;
                }
                name = std::min(name, e.Fields.Namensfeld[q]);
                strongest = std::max(strongest, sure[q]);
                strengthSum += sure[q];
            }
            if (count == 0) continue;
            TGoGroup* g = m_freeGroups.Take();
            g->Name = name;
            g->Anzahl = count;
            g->Typ = colour;
            g->StaerkeMaximum = strongest;
            g->StaerkeSumme = strengthSum;
            g->AugenSumme = eyeSum;
            g->Augenzahl = eyeCount;
            g->FeldstaerkeLiberties = 0;
            g->Steine = stones;
            g->Punkte = s.List;
            g->LokalWert = local;
            for (const TGoStone* st = stones; st != nullptr; st = st->next)
                m_groupAt[st->Point] = g;
            g->next = m_groups;
            m_groups = g;
        }
}

void TGoGraph::BuildChains() {
    TAnalysisContext& e = m_context;
    const TBoardFields& f = e.Fields;
    TScratch& s = *m_scratch;
    s.Seen.Begin();
    for (int x = 0; x < BoardSize; ++x)
        for (int y = 0; y < BoardSize; ++y) {
            const int p = PointIndex(x, y);
            if (f.Spielfeld[p] == 0 || s.Seen.IsMarked(f.Namensfeld[p])) continue;
            s.Seen.Mark(f.Namensfeld[p]);
            TGoChain* c = m_freeChains.Take();
            c->Name = f.Namensfeld[p];
            c->next = m_chains;
            m_chains = c;
            c->Group = &FindGroupOfStone(c->Name);
            c->Liberties = GetLiberties(x, y, f.Spielfeld, s.List);
            c->ResponseLiberties = ResponseLiberties(x, y, f.KoX, f.KoY, f.Spielfeld);
            c->FeldstaerkeLiberties = FeldstaerkeLiberties(x, y, f.Spielfeld, f).Sum;
            c->Strength = SicherSum(x, y, f, *e.Container);
            c->Group->ResponseLiberties =
                std::min(c->Group->ResponseLiberties, c->ResponseLiberties);
        }
}

// Liberties, their friendly field strength and the two liberty spectra of a group.
void TGoGraph::MeasureLiberties(TGoGroup& g) {
    const TBoardFields& f = m_context.Fields;
    const TBoard& board = f.Spielfeld;
    TScratch& s = *m_scratch;
    s.LibertyMarks.Begin();
    int firstCount = 0, secondCount = 0;
    int32_t friendly = 0;
    for (const TGoStone* st = g.Steine; st != nullptr; st = st->next)
        for (int k = 0; k < Neighbours.Count[st->Point]; ++k) {
            const int n = Neighbours.Index[st->Point][k];
            if (board[n] != 0 || s.LibertyMarks.IsMarked(n)) continue;
            s.LibertyMarks.Mark(n);
            s.List.Items[firstCount] = TPoint{PointColumn(n), PointRow(n)};
            const int32_t strength = f.Feldstaerkefeld[n] * g.Typ;
            s.First[firstCount++] = strength;
            if (strength > 0) friendly += strength;
        }
    g.Freiheitswert = firstCount;
    g.FeldstaerkeLiberties = friendly;
    // Second liberties: empty points next to a first liberty (marked apart from the first).
    s.EyeMarks.Begin();
    for (int i = 0; i < firstCount; ++i) {
        const int l = PointIndex(s.List.Items[i].X, s.List.Items[i].Y);
        for (int k = 0; k < Neighbours.Count[l]; ++k) {
            const int n = Neighbours.Index[l][k];
            if (board[n] != 0 || s.LibertyMarks.IsMarked(n) || s.EyeMarks.IsMarked(n)) continue;
            s.EyeMarks.Mark(n);
            s.Second[secondCount++] = f.Feldstaerkefeld[n] * g.Typ;
        }
    }
    const auto spectrum = [](std::array<int32_t, PointCount>& values, int n,
                             std::array<int32_t, 10>& out) {
        const int kept = std::min(n, 10);
        std::partial_sort(values.begin(), values.begin() + kept, values.begin() + n,
                          std::greater<>());
        out.fill(0);
        std::copy_n(values.begin(), kept, out.begin());
        return static_cast<int32_t>(
            std::count_if(out.begin(), out.begin() + kept, [](int32_t v) { return v > 0; }));
    };
    const int32_t positive1 = spectrum(s.First, firstCount, g.SpektrumLib1);
    const int32_t positive2 = spectrum(s.Second, secondCount, g.SpektrumLib2);
    g.LokalWert = std::max(g.LokalWert, 2 * g.Anzahl + positive1 + positive2);
}

// The fewest empty points around a pair of eye points of the group's region and the points next
// to its stones; NoEyes when no pair exists.
void TGoGraph::MeasureEyeCost(TGoGroup& g) {
    const TBoard& board = m_context.Fields.Spielfeld;
    TScratch& s = *m_scratch;
    const int first = FirstStone(g);
    if (first < 0) return;
    const int colour = board[first];
    s.Work.fill(0);
    for (const TPoint& pt : g.Punkte) s.Work[PointIndex(pt.X, pt.Y)] = 1;
    for (const TGoStone* st = g.Steine; st != nullptr; st = st->next)
        for (int k = 0; k < Neighbours.Count[st->Point]; ++k)
            s.Work[Neighbours.Index[st->Point][k]] = 1;
    (void)GetChain(PointColumn(first), PointRow(first), s.Work, s.List);
    int eyeCount = 0;
    for (const TPoint& pt : s.List)
        if (EyePoint(pt.X, pt.Y, colour, board))
            s.EyePoints[eyeCount++] = static_cast<int16_t>(PointIndex(pt.X, pt.Y));
    int32_t cheapest = NoEyes;
    for (int i = 0; i < eyeCount && cheapest > 0; ++i)
        for (int j = i + 1; j < eyeCount && cheapest > 0; ++j) {
            const int p = s.EyePoints[i], q = s.EyePoints[j];
            if (!Adjacent(p, q)) cheapest = std::min(cheapest, EyePairCost(p, q, board));
        }
    g.AugenBauKosten = cheapest;
}

// Routes of the colour's unsafe groups towards its safe ones.
void TGoGraph::FindEscapeRoutes(int colour) {
    TScratch& s = *m_scratch;
    s.Targets.fill(0);
    bool anyTarget = false;
    for (const TGoGroup* g = m_groups; g != nullptr; g = g->next)
        if (g->Typ == colour && g->Status == StatusSafe)
            for (const TGoStone* st = g->Steine; st != nullptr; st = st->next) {
                s.Targets[st->Point] = 1;
                anyTarget = true;
            }
    if (!anyTarget) return;
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        if (g->Typ != colour || g->Status == StatusSafe) continue;
        if (!Connection.Search(m_context, g->Name, colour, s.Targets)) continue;
        const TPointList& route = Connection.Route();
        if (route.Count > 0 && route.Count < 4) g->ShortRoute = true;
        for (int i = 0; i < std::min(route.Count, 10); ++i) {
            const TPoint& pt = route[route.Count - 1 - i];
            g->EscapeRoute[i] = PointIndex(pt.X, pt.Y);
        }
    }
}

// A group that is given up: a big one leaves its enemies safe; a small one becomes an eye of
// its enemies, which all get the best status found among them.
void TGoGraph::GiveUpSmallOrStrengthenEnemies(TGoGroup& g) {
    if (!IsSmallGroup(g)) {
        for (TGoGroupLink* l = g.Feinde; l != nullptr; l = l->next)
            l->Group->CorrectedStatus = StatusSafe;
        return;
    }
    uint8_t best = 0;
    for (TGoGroupLink* l = g.Feinde; l != nullptr; l = l->next) {
        AddEyeCandidate(*l->Group, g.Name);
        best = std::max(best, l->Group->CorrectedStatus);
    }
    for (TGoGroupLink* l = g.Feinde; l != nullptr; l = l->next) l->Group->CorrectedStatus = best;
}

void TGoGraph::CorrectStatus() {
    TAnalysisContext& e = m_context;
    const TBoardFields& f = e.Fields;
    const TBoard& board = f.Spielfeld;
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        g->CorrectedStatus = g->Status;
        if (g->ShortRoute && g->CorrectedStatus == StatusDead) g->CorrectedStatus = StatusSaveable;
    }
    {
        TPooledList moves(e.Pool);
        for (TGoChain* c = m_chains; c != nullptr; c = c->next) {
            if (c->Liberties != 1) continue;
            const int x = PointColumn(c->Name), y = PointRow(c->Name);
            RescueCandidates(board, x, y, f.KoX, f.KoY, *moves);
            const int colour = board[c->Name];
            const bool escapes = std::any_of(moves->begin(), moves->end(), [&](const TPoint& m) {
                return IsPlayable(e.Reader, m.X, m.Y, colour, f.KoX, f.KoY, board);
            });
            if (escapes || c->Group == nullptr) continue;
            c->Group->CorrectedStatus = StatusDead;
            GiveUpSmallOrStrengthenEnemies(*c->Group);
        }
    }
    for (TGoChain* c = m_chains; c != nullptr; c = c->next) {
        const bool ladder = c->Liberties == 2 && Ladder(e.Reader, PointColumn(c->Name), PointRow(c->Name),
                                                        board, f.KoX, f.KoY) >= 0;
        if ((ladder || c->Liberties == 1) && c->Group->CorrectedStatus > StatusSaveable)
            c->Group->CorrectedStatus = StatusSaveable;
    }
    Progress(Reading);
    ReadChains();
    // A dead group gets out only by winning a capturing race: it needs an enemy that is not
    // safe and has a chain the reader can capture. An enemy that is merely not safe (often a
    // surrounding group the estimate itself judged weak) is no way out.
    TStampMarks& capturable = m_scratch->Capturable;
    capturable.Begin();
    for (const TGoChain* c = m_chains; c != nullptr; c = c->next)
        if (c->AttackMove >= 0) capturable.Mark(c->Group->Name);
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        if (g->Status != StatusDead || g->CorrectedStatus != StatusDead) continue;
        bool weakEnemy = false;
        for (TGoGroupLink* l = g->Feinde; l != nullptr; l = l->next)
            weakEnemy |=
                l->Group->CorrectedStatus < StatusSafe && capturable.IsMarked(l->Group->Name);
        if (weakEnemy)
            g->CorrectedStatus = StatusSaveable;
        else
            GiveUpSmallOrStrengthenEnemies(*g);
    }
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        const int first = FirstStone(*g);
        g->TwoEyes =
            (g->Auge1 >= 0 && g->Auge2 >= 0) ||
            HasTwoEyes(e.Reader, PointColumn(first), PointRow(first), f.KoX, f.KoY, board);
        if (g->TwoEyes) g->CorrectedStatus = StatusSafe;
    }
    // The classic engine: groups in contact with a dead group are in a fight, however strong
    // they looked. That made most living groups "rettbar" (every wall around dead stones in its
    // own territory), so the goal engine attacked and defended them move after move. Otherwise
    // the reading has the last word.
    if (m_context.Settings.KlassischeEngine) {
        PutContactsOfDeadGroupsInFight();
    } else {
        JudgeByReading();
        JudgeByPlayouts();
    }
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) g->Status = g->CorrectedStatus;
}

void TGoGraph::PutContactsOfDeadGroupsInFight() {
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        if (g->Status != StatusDead) continue;
        for (const TGoStone* st = g->Steine; st != nullptr; st = st->next)
            for (int k = 0; k < Neighbours.Count[st->Point]; ++k) {
                TGoGroup* other = m_groupAt[Neighbours.Index[st->Point][k]];
                if (other != nullptr && other != g && other->CorrectedStatus > StatusDead)
                    other->CorrectedStatus = StatusSaveable;
            }
    }
}

// The capture search on every chain: the bounded reader first, the exhaustive search with what
// is left of 1 ms per stone of the chain's group. A result that hangs on a ko counts as a success
// for the side that reads: both the saving and the capturing move are kept.
//
// A dead group is lifted to saveable by what the reading proves about one of its chains: that
// it is short of liberties (one or two) in a fight its owner wins by moving first (the attack
// captures, the defence saves), or that it cannot be captured at all (two eyes, or the
// exhaustive search says so). The bounded reader also answers "saved" and "not captured" for
// chains that merely have liberties enough to lie beyond its horizon, and finds fights around
// chains with three or four liberties that the exhaustive search never settles in its time;
// neither says anything about the life of a group without eyes, so such answers keep their
// moves but lift nothing.
void TGoGraph::ReadChains() {
    TAnalysisContext& e = m_context;
    const TBoardFields& f = e.Fields;
    for (TGoChain* c = m_chains; c != nullptr; c = c->next) {
        c->DefenseMove = c->AttackMove = -1;
        if (c->Liberties >= SafeLiberties) {
            // What the reader answers at once for such a chain: it needs no move and cannot be
            // captured.
            // The classic engine lifts a dead group to saveable for such a chain; but a large
            // group without eyes inside the opponent's wall has liberties enough and is dead all
            // the same, so otherwise the status stays as it is.
            if (c->Group->CorrectedStatus == StatusDead && m_context.Settings.KlassischeEngine)
                c->Group->CorrectedStatus = StatusSaveable;
            continue;
        }
        const int x = PointColumn(c->Name), y = PointRow(c->Name);
        const uint64_t allowance = c->Group != nullptr ? c->Group->Anzahl : 1;
        const TReadingAnswer defence =
            ReadDefend(e.Reader, x, y, f.KoX, f.KoY, f.Spielfeld, e.Reader.NowMs() + allowance);
        // A pass answer (the chain is safe as it stands) names no point.
        if (defence.Result == FightSuccess && OnBoard(defence.Move.X, defence.Move.Y))
            c->DefenseMove = PointIndex(defence.Move.X, defence.Move.Y);
        const TReadingAnswer attack =
            ReadAttack(e.Reader, x, y, f.KoX, f.KoY, f.Spielfeld, e.Reader.NowMs() + allowance);
        if (attack.Result == FightSuccess && OnBoard(attack.Move.X, attack.Move.Y))
            c->AttackMove = PointIndex(attack.Move.X, attack.Move.Y);
        // A chain that no attack captures needs no defence: any move would "save" it, and the
        // search would spend move after move on such points.
        if (attack.Result == FightFailure) c->DefenseMove = -1;
        c->Lost = attack.Result == FightSuccess && defence.Result == FightFailure;
        if (c->Group->CorrectedStatus != StatusDead) continue;
        const bool rescued =
            c->Liberties <= 2 && defence.Result == FightSuccess && attack.Result == FightSuccess;
        const bool uncapturable =
            attack.Result == FightFailure &&
            (!attack.Bounded || HasTwoEyes(e.Reader, x, y, f.KoX, f.KoY, f.Spielfeld));
        if (rescued || uncapturable) c->Group->CorrectedStatus = StatusSaveable;
    }
}

// What an enemy neighbour still in the fight adds to a group's value: its local value, which
// outside the classic engine is capped at the group's own (a lone stone beside a large weak group
// does not decide that group's fate, and its value must not grow with every stone the large one
// adds).
int32_t TGoGraph::NeighbourShare(const TGoGroup& group, const TGoGroup& neighbour) const {
    if (m_context.Settings.KlassischeEngine) return neighbour.LokalWert;
    return std::min(neighbour.LokalWert, group.LokalWert);
}

// A group that is not safe is worth its own local value and that of every neighbour still in the
// fight (saveable or attackable). Dead neighbours add nothing: nobody needs to fight for them, and
// counting them let a fight beside a few dead stones outweigh every territory move of the board.
void TGoGraph::ComputeStrategicValues() {
    Progress(Strategy);
    for (TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        g->StrategieWert = 0;
        if (g->Status >= StatusSafe) continue;
        g->StrategieWert = g->LokalWert;
        for (const TGoGroupLink* l = g->Feinde; l != nullptr; l = l->next)
            if (InTheFight(l->Group->Status)) g->StrategieWert += NeighbourShare(*g, *l->Group);
    }
    ComputeStrategyField(*this, m_context.Fields.Strategiefeld);
    LivingMap.fill(0);
    for (const TGoGroup* g = m_groups; g != nullptr; g = g->next)
        if (g->Status != StatusDead)
            for (const TGoStone* st = g->Steine; st != nullptr; st = st->next)
                LivingMap[st->Point] = g->Typ;
    SpreadInfluence(LivingMap, ScoreField, 50);
    m_position = m_context.Fields.Spielfeld;
    m_built = true;
}

void TGoGraph::BuildAreas() {
    const TBoard& board = m_context.Fields.Spielfeld;
    TScratch& s = *m_scratch;
    while (m_areas != nullptr) {
        TGoArea* a = m_areas;
        m_areas = a->next;
        m_freeAreas.Give(a);
    }
    s.Seen.Begin();
    for (int p = 0; p < PointCount; ++p) {
        if (board[p] != 0 || s.Seen.IsMarked(p)) continue;
        TGoArea* area = m_freeAreas.Take();
        area->Name = p;
        area->Size = GetChain(PointColumn(p), PointRow(p), board, s.List);
        for (const TPoint& pt : s.List) {
            s.Seen.Mark(PointIndex(pt.X, pt.Y));
            TAreaNeighbourhood n;
            for (int d = 0; d < 4; ++d) {
                const int ox = pt.X + NeighbourDX[d], oy = pt.Y + NeighbourDY[d];
                const int dx = pt.X + NeighbourDX[d] + NeighbourDX[(d + 1) % 4];
                const int dy = pt.Y + NeighbourDY[d] + NeighbourDY[(d + 1) % 4];
                const auto count = [&](int x, int y, int& black, int& white, int& off) {
                    if (!OnBoard(x, y))
                        ++off;
                    else if (board[PointIndex(x, y)] == 1)
                        ++black;
                    else if (board[PointIndex(x, y)] == -1)
                        ++white;
                };
                count(ox, oy, n.bo, n.wo, n.eo);
                count(dx, dy, n.bd, n.wd, n.ed);
            }
            CountAreaShapes(n, area->Counters);
        }
        area->Status = TGroupEstimator::ClassifyArea(*area);
        area->next = m_areas;
        m_areas = area;
    }
}

TGoGroup& TGoGraph::FindGroupOfStone(int point) const {
    TGoGroup* g = GroupAtPoint(point);
    if (g == nullptr)
        throw EObrinError(std::string(msg::GroupNotFound) + std::to_string(point) + ")");
    return *g;
}

TGoChain& TGoGraph::FindChain(int name) const {
    for (TGoChain* c = m_chains; c != nullptr; c = c->next)
        if (c->Name == name) return *c;
    throw EObrinError(std::string(msg::ChainNotFound) + std::to_string(name) + ")");
}

TGoGroup* TGoGraph::GroupAtPoint(int point) const {
    return point >= 0 && point < PointCount ? m_groupAt[point] : nullptr;
}

void TGoGraph::AddEnemies(TGoGroup& a, TGoGroup& b) {
    if (&a == &b) return;
    const auto link = [this](TGoGroup& from, TGoGroup& to) {
        for (const TGoGroupLink* l = from.Feinde; l != nullptr; l = l->next)
            if (l->Group == &to) return;
        TGoGroupLink* l = m_freeLinks.Take();
        l->Group = &to;
        l->next = from.Feinde;
        from.Feinde = l;
    };
    link(a, b);
    link(b, a);
}

void TGoGraph::AddEyeCandidate(TGoGroup& group, int point) {
    if (point == group.Auge1 || point == group.Auge2) return;
    if (group.Auge1 == -1) {
        group.Auge1 = point;
        return;
    }
    if (group.Auge2 != -1) return;
    const int dx = std::abs(PointColumn(point) - PointColumn(group.Auge1));
    const int dy = std::abs(PointRow(point) - PointRow(group.Auge1));
    if ((dx != 0 && dy != 0) || dx >= 3 || dy >= 3) group.Auge2 = point;
}

void TGoGraph::RaiseStatus(TGoGroup& group, uint8_t status) {
    group.Status = std::max(group.Status, status);
    group.CorrectedStatus = std::max(group.CorrectedStatus, status);
}

int TGoGraph::GroupCount() const {
    int n = 0;
    for (const TGoGroup* g = m_groups; g != nullptr; g = g->next) ++n;
    return n;
}

int TGoGraph::ChainCount() const {
    int n = 0;
    for (const TGoChain* c = m_chains; c != nullptr; c = c->next) ++n;
    return n;
}

size_t TGoGraph::RecordsCreated() const {
    return m_freeGroups.Created() + m_freeChains.Created() + m_freeLinks.Created() +
           m_freeStones.Created() + m_freeAreas.Created();
}

std::string TGoGraph::DumpText() const {
    std::string t;
    const auto line = [&t](const char* label, const std::string& value) {
        t.append(label).append(value).append("\n");
    };
    const auto number = [&line](const char* label, int32_t v) { line(label, std::to_string(v)); };
    for (const TGoGroup* g = m_groups; g != nullptr; g = g->next) {
        line("Name             : <", std::to_string(g->Name) + ">");
        number("Typ              :", g->Typ);
        number("Freiheitswert    :", g->Freiheitswert);
        number("ResponseLiberties:", g->ResponseLiberties);
        number("Anzahl           :", g->Anzahl);
        number("StaerkeMaximum   :", g->StaerkeMaximum);
        number("StaerkeSumme     :", g->StaerkeSumme);
        number("AugenSumme       :", g->AugenSumme);
        number("Augenzahl        :", g->Augenzahl);
        number("AugenBauKosten   :", g->AugenBauKosten);
        number("FeldstaerkeLiberties :", g->FeldstaerkeLiberties);
        line("Spektrum Lib1    :", Join(g->SpektrumLib1.data(), 10));
        line("Spektrum Lib2    :", Join(g->SpektrumLib2.data(), 10));
        line("EscapeRoute      :", Join(g->EscapeRoute.data(), 10));
        line("Status           :", TGroupEstimator::StatusText(g->Status, m_context.LangSup));
        number("LokalWert        :", g->LokalWert);
        number("StrategieWert    :", g->StrategieWert);
        std::string stones, points, enemies;
        for (const TGoStone* s = g->Steine; s != nullptr; s = s->next)
            stones += std::to_string(s->Point) + " ";
        for (const TPoint& p : g->Punkte) points += std::to_string(PointIndex(p.X, p.Y)) + " ";
        for (const TGoGroupLink* l = g->Feinde; l != nullptr; l = l->next)
            enemies += std::to_string(l->Group->Name) + " ";
        line("Steine           :", stones);
        line("Punkte           :", points);
        line("Feinde           :", enemies);
        number("Auge1            :", g->Auge1);
        number("Auge2            :", g->Auge2);
        t += "\n";
    }
    t += "Ketten\n------\n";
    for (const TGoChain* c = m_chains; c != nullptr; c = c->next) {
        line("Name             : <", std::to_string(c->Name) + ">");
        number("Liberties        :", c->Liberties);
        number("ResponseLiberties:", c->ResponseLiberties);
        number("FeldstaerkeLiberties :", c->FeldstaerkeLiberties);
        number("Strength         :", c->Strength);
        number("DefenseMove      :", c->DefenseMove);
        number("AttackMove       :", c->AttackMove);
        t += "\n";
    }
    t += "Flaechen\n--------\n";
    for (const TGoArea* a = m_areas; a != nullptr; a = a->next) {
        number("Name  :", a->Name);
        line("Status:", TGroupEstimator::AreaStatusText(a->Status));
        t += "\n";
    }
    return t;
}

void TGoGraph::DumpToFile() const {
    const std::string text = DumpText();
    WriteFileAtomically(DataFilePath("ketten.txt", true),
                        std::vector<uint8_t>(text.begin(), text.end()));
}

void ComputeStrategyField(const TGoGraph& graph, TBoard& field) {
    field.fill(0);
    for (const TGoGroup* g = graph.Groups(); g != nullptr; g = g->next)
        if (g->Status != StatusDead)
            for (const TGoStone* s = g->Steine; s != nullptr; s = s->next)
                field[s->Point] = g->StrategieWert;
    TBoard work;
    for (int round = 0; round < 38; ++round) {
        work = field;
        for (int p = 0; p < PointCount; ++p) {
            if (field[p] <= 0) continue;
            ++work[p];
            for (int k = 0; k < Neighbours.Count[p]; ++k) ++work[Neighbours.Index[p][k]];
        }
        field = work;
    }
}

void ComputeNeutralField(const TGoGraph& graph, const TBoard& spielfeld, TBoard& neutral) {
    neutral.fill(0);
    if (BoardIsEmpty(spielfeld)) {
        neutral.fill(1);
        return;
    }
    TBoard black{}, white{};
    for (const TGoGroup* g = graph.Groups(); g != nullptr; g = g->next) {
        if (g->Status == StatusDead) continue;
        TBoard& reach = g->Typ == 1 ? black : white;
        for (const TGoStone* s = g->Steine; s != nullptr; s = s->next)
            for (int k = 0; k < Neighbours.Count[s->Point]; ++k)
                if (spielfeld[Neighbours.Index[s->Point][k]] == 0)
                    reach[Neighbours.Index[s->Point][k]] = 1;
    }
    for (TBoard* reach : {&black, &white})
        for (int pass = 0; pass < 39; ++pass)
            for (int x = 0; x < BoardSize; ++x)
                for (int y = 0; y < BoardSize; ++y) {
                    const int p = PointIndex(x, y);
                    if ((*reach)[p] != 1) continue;
                    for (int k = 0; k < Neighbours.Count[p]; ++k)
                        if (spielfeld[Neighbours.Index[p][k]] == 0)
                            (*reach)[Neighbours.Index[p][k]] = 1;
                }
    for (int p = 0; p < PointCount; ++p) neutral[p] = black[p] == 1 && white[p] == 1 ? 1 : 0;
}

}  // namespace obrin
