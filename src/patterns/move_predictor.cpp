#include "patterns/move_predictor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "analysis/datafiles.h"
#include "board/errors.h"

namespace obrin {
namespace {

constexpr int32_t DistanceBuckets = 17;  // 2 .. 17+, and "no such move"
constexpr int32_t LineCount = 6;         // lines 1 .. 6+
constexpr int32_t SpaceCount = 6;        // nearest stone 1 .. 6+ steps away
constexpr int32_t CaptureBuckets = 5;
constexpr int32_t LibertyBuckets = 5;    // 1 .. 5+ liberties
constexpr int32_t ChainSizeBuckets = 3;  // a lone stone, 2 .. 4, 5+
constexpr int32_t AtariKinds = 8;

constexpr const char* GroupNames[PredictorGroupCount] = {
    "shape", "large-shape", "opponent-distance", "own-distance", "line-space", "capture", "liberties", "atari"};

// The eight neighbours of a point: the four orthogonal ones, then the four diagonal ones.
constexpr std::array<int, 8> RingDX{0, 1, 0, -1, 1, 1, -1, -1};
constexpr std::array<int, 8> RingDY{1, 0, -1, 0, 1, -1, -1, 1};

// The eight symmetries of the square as (dx, dy) -> (a dx + b dy, c dx + d dy).
constexpr std::array<std::array<int, 4>, 8> Symmetries{{{1, 0, 0, 1},
                                                        {0, -1, 1, 0},
                                                        {-1, 0, 0, -1},
                                                        {0, 1, -1, 0},
                                                        {-1, 0, 0, 1},
                                                        {1, 0, 0, -1},
                                                        {0, 1, 1, 0},
                                                        {0, -1, -1, 0}}};

int32_t DistanceIndex(int32_t from, int32_t to) {
    if (from < 0) return DistanceBuckets - 1;
    const int dx = std::abs(PointColumn(from) - PointColumn(to));
    const int dy = std::abs(PointRow(from) - PointRow(to));
    const int d = dx + dy + std::max(dx, dy);
    return std::clamp(d, 2, DistanceBuckets) - 2;  // 0: a stone taken off that point
}

int32_t EdgeDistance(int32_t point) {
    const int x = PointColumn(point), y = PointRow(point);
    return std::min({x, y, BoardSize - 1 - x, BoardSize - 1 - y});
}

int32_t CaptureBucket(int32_t stones) {
    if (stones <= 2) return stones;
    return stones <= 6 ? 3 : 4;
}

int32_t ChainSizeBucket(int32_t stones) {
    if (stones <= 1) return 0;
    return stones <= 4 ? 1 : 2;
}

template <typename F>
void ForNeighbours(int32_t point, F&& f) {
    const int x = PointColumn(point), y = PointRow(point);
    for (int d = 0; d < 4; ++d) {
        const int nx = x + NeighbourDX[d], ny = y + NeighbourDY[d];
        if (OnBoard(nx, ny)) f(PointIndex(nx, ny));
    }
}

// The distinct chains next to point, of the given colour.
std::vector<int32_t> NeighbourChainsOf(int32_t point, int colour, const TBoard& b,
                                       const std::array<int32_t, PointCount>& chain) {
    std::vector<int32_t> chains;
    ForNeighbours(point, [&](int32_t n) {
        if (b[n] == colour && std::find(chains.begin(), chains.end(), chain[n]) == chains.end())
            chains.push_back(chain[n]);
    });
    return chains;
}

// Adds a shape's weight to a shape table; false when the shape is there already.
template <typename Code>
bool AddShape(std::unordered_map<Code, int32_t>& index, std::vector<double>& weights, Code code,
              double value) {
    if (index.contains(code)) return false;
    index[code] = static_cast<int32_t>(weights.size());
    weights.push_back(value);
    return true;
}

// Reads the rest of a "shape" or "large-shape" line into its table; fail(what) throws.
template <typename Code, typename Fail>
void ReadShape(std::istringstream& in, std::unordered_map<Code, int32_t>& index,
               std::vector<double>& weights, const std::string& key, Fail&& fail) {
    Code code = 0;
    double value = 0;
    if (!(in >> code >> value) || !std::isfinite(value)) fail("bad " + key + " line");
    if (!AddShape(index, weights, code, value)) fail(key + " " + std::to_string(code) + " twice");
}

template <typename Code>
void AppendShapes(std::string& text, const char* key,
                  const std::unordered_map<Code, int32_t>& index,
                  const std::vector<double>& weights) {
    std::vector<std::pair<int32_t, Code>> shapes;
    for (const auto& [code, at] : index) shapes.emplace_back(at, code);
    std::sort(shapes.begin(), shapes.end());
    char line[96];
    for (const auto& [at, code] : shapes) {
        std::snprintf(line, sizeof line, "%s %llu %.6g\n", key,
                      static_cast<unsigned long long>(code), weights[at]);
        text += line;
    }
}

}  // namespace

int32_t PredictorGroupSize(TPredictorGroup group) {
    switch (group) {
        case GroupShape:
        case GroupLargeShape: return 1;
        case GroupOpponentDistance:
        case GroupOwnDistance: return DistanceBuckets;
        case GroupLineSpace: return LineCount * SpaceCount;
        case GroupCapture: return CaptureBuckets * 2;
        case GroupLiberties: return LibertyBuckets * 2 * ChainSizeBuckets;
        case GroupAtari: return AtariKinds;
        case PredictorGroupCount: break;
    }
    return 0;
}

TPredictorPosition::TPredictorPosition(const TBoard& b, const TRecentMoves& recent,
                                       int32_t koPoint)
    : m_board(b), m_recent(recent), m_ko(koPoint) {
    m_chain.fill(-1);
    std::vector<int32_t> stack;
    std::array<int32_t, PointCount> libertyMark{};
    libertyMark.fill(-1);
    for (int32_t p = 0; p < PointCount; ++p) {
        if (b[p] == 0 || m_chain[p] >= 0) continue;
        const auto id = static_cast<int32_t>(m_liberties.size());
        int32_t stones = 0, liberties = 0;
        m_chain[p] = id;
        stack.assign(1, p);
        while (!stack.empty()) {
            const int32_t q = stack.back();
            stack.pop_back();
            ++stones;
            ForNeighbours(q, [&](int32_t n) {
                if (b[n] == 0 && libertyMark[n] != id) {
                    libertyMark[n] = id;
                    ++liberties;
                } else if (b[n] == b[p] && m_chain[n] < 0) {
                    m_chain[n] = id;
                    stack.push_back(n);
                }
            });
        }
        m_liberties.push_back(liberties);
        m_stones.push_back(stones);
    }
    // Steps to the nearest stone: a wave from every stone at once.
    m_space.fill(SpaceCount);
    std::vector<int32_t> wave;
    for (int32_t p = 0; p < PointCount; ++p)
        if (b[p] != 0) {
            m_space[p] = 0;
            wave.push_back(p);
        }
    for (int32_t step = 1; step < SpaceCount && !wave.empty(); ++step) {
        std::vector<int32_t> next;
        for (const int32_t q : wave)
            ForNeighbours(q, [&](int32_t n) {
                if (m_space[n] > step) {
                    m_space[n] = step;
                    next.push_back(n);
                }
            });
        wave.swap(next);
    }
}

bool TPredictorPosition::Legal(int32_t point) const {
    if (point < 0 || point >= PointCount || m_board[point] != 0 || point == m_ko) return false;
    bool legal = false;
    ForNeighbours(point, [&](int32_t n) {
        if (m_board[n] == 0) legal = true;
        else if (m_board[n] == 1 && m_liberties[m_chain[n]] > 1) legal = true;
        else if (m_board[n] == -1 && m_liberties[m_chain[n]] == 1) legal = true;
    });
    return legal;
}

int32_t TPredictorPosition::NeighbourCode(int32_t x, int32_t y, bool orthogonal) const {
    if (!OnBoard(x, y)) return 1;
    const int32_t p = PointIndex(x, y);
    if (m_board[p] == 0) return 0;
    if (!orthogonal) return m_board[p] == 1 ? 2 : 3;
    const int32_t liberties = std::min(m_liberties[m_chain[p]], 3);
    return (m_board[p] == 1 ? 1 : 4) + liberties;
}

uint32_t TPredictorPosition::ShapeCode(int32_t point) const {
    const int x = PointColumn(point), y = PointRow(point);
    uint32_t best = std::numeric_limits<uint32_t>::max();
    for (const auto& s : Symmetries) {
        uint32_t code = 0;
        for (int k = 0; k < 8; ++k) {
            const int dx = s[0] * RingDX[k] + s[1] * RingDY[k];
            const int dy = s[2] * RingDX[k] + s[3] * RingDY[k];
            const bool orthogonal = k < 4;
            code = (code << (orthogonal ? 3 : 2)) |
                   static_cast<uint32_t>(NeighbourCode(x + dx, y + dy, orthogonal));
        }
        best = std::min(best, code);
    }
    return best;
}

uint64_t TPredictorPosition::LargeShapeCode(int32_t point) const {
    const int x = PointColumn(point), y = PointRow(point);
    uint64_t best = std::numeric_limits<uint64_t>::max();
    for (const auto& s : Symmetries) {
        uint64_t code = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                if (dx == 0 && dy == 0) continue;
                const int nx = x + s[0] * dx + s[1] * dy, ny = y + s[2] * dx + s[3] * dy;
                const int v = !OnBoard(nx, ny) ? 3 : m_board[PointIndex(nx, ny)] == 0 ? 0
                              : m_board[PointIndex(nx, ny)] == 1 ? 1 : 2;
                code = (code << 2) | static_cast<uint64_t>(v);
            }
        best = std::min(best, code);
    }
    return best;
}

int32_t TPredictorPosition::CaptureIndex(int32_t point) const {
    int32_t captured = 0;
    bool rescue = false;
    for (const int32_t c : NeighbourChainsOf(point, -1, m_board, m_chain)) {
        if (m_liberties[c] != 1) continue;
        captured += m_stones[c];
        for (int32_t q = 0; q < PointCount && !rescue; ++q)
            if (m_chain[q] == c)
                ForNeighbours(q, [&](int32_t n) {
                    if (m_board[n] == 1 && m_liberties[m_chain[n]] == 1) rescue = true;
                });
    }
    return CaptureBucket(captured) * 2 + (rescue ? 1 : 0);
}

int32_t TPredictorPosition::LibertyIndex(int32_t point) const {
    const std::vector<int32_t> own = NeighbourChainsOf(point, 1, m_board, m_chain);
    const std::vector<int32_t> captured = [&] {
        std::vector<int32_t> c;
        for (const int32_t e : NeighbourChainsOf(point, -1, m_board, m_chain))
            if (m_liberties[e] == 1) c.push_back(e);
        return c;
    }();
    // The new chain: the stone and the chains it joins; its liberties are the empty points
    // next to it and the captured stones next to it.
    std::array<bool, PointCount> inChain{}, counted{};
    inChain[point] = true;
    bool wasInAtari = false;
    int32_t stones = 1;
    for (const int32_t c : own) {
        wasInAtari = wasInAtari || m_liberties[c] == 1;
        stones += m_stones[c];
    }
    for (int32_t q = 0; q < PointCount; ++q)
        if (m_board[q] == 1 && std::find(own.begin(), own.end(), m_chain[q]) != own.end())
            inChain[q] = true;
    int32_t liberties = 0;
    for (int32_t q = 0; q < PointCount; ++q) {
        if (!inChain[q]) continue;
        ForNeighbours(q, [&](int32_t n) {
            if (counted[n] || inChain[n]) return;
            const bool freed = m_board[n] == -1 &&
                               std::find(captured.begin(), captured.end(), m_chain[n]) !=
                                   captured.end();
            if (m_board[n] == 0 || freed) {
                counted[n] = true;
                ++liberties;
            }
        });
    }
    const int32_t libertyBucket = std::clamp(liberties, 1, LibertyBuckets) - 1;
    return (libertyBucket * 2 + (wasInAtari ? 1 : 0)) * ChainSizeBuckets + ChainSizeBucket(stones);
}

int32_t TPredictorPosition::AtariIndex(int32_t point) const {
    int32_t ataris = 0, largest = 0;
    bool pressed = false;
    for (const int32_t c : NeighbourChainsOf(point, -1, m_board, m_chain)) {
        if (m_liberties[c] == 2) {
            ++ataris;
            largest = std::max(largest, m_stones[c]);
        } else if (m_liberties[c] == 3) {
            pressed = true;
        }
    }
    const int32_t kind = ataris == 0 ? 0 : ataris >= 2 ? 3 : largest >= 2 ? 2 : 1;
    return kind + (pressed ? 4 : 0);
}

TPointFeatures TPredictorPosition::Features(int32_t point) const {
    TPointFeatures f;
    f.ShapeCode = ShapeCode(point);
    f.LargeShapeCode = LargeShapeCode(point);
    f.Index[GroupOpponentDistance] = DistanceIndex(m_recent.Opponent, point);
    f.Index[GroupOwnDistance] = DistanceIndex(m_recent.Own, point);
    f.Index[GroupLineSpace] =
        std::min(EdgeDistance(point), LineCount - 1) * SpaceCount + (m_space[point] - 1);
    f.Index[GroupCapture] = CaptureIndex(point);
    f.Index[GroupLiberties] = LibertyIndex(point);
    f.Index[GroupAtari] = AtariIndex(point);
    return f;
}

TMovePredictor::TMovePredictor() {
    for (int g = 0; g < PredictorGroupCount; ++g)
        Weights[g].assign(PredictorGroupSize(static_cast<TPredictorGroup>(g)), 0.0);
}

double TMovePredictor::Score(const TPointFeatures& f) const {
    const auto shape = ShapeIndex.find(f.ShapeCode);
    const auto large = LargeShapeIndex.find(f.LargeShapeCode);
    double score = Weights[GroupShape][shape == ShapeIndex.end() ? 0 : shape->second] +
                   Weights[GroupLargeShape][large == LargeShapeIndex.end() ? 0 : large->second];
    for (int g = GroupLargeShape + 1; g < PredictorGroupCount; ++g) score += Weights[g][f.Index[g]];
    return score;
}

std::array<double, PointCount> TMovePredictor::Scores(const TPredictorPosition& position) const {
    std::array<double, PointCount> scores{};
    for (int32_t p = 0; p < PointCount; ++p)
        scores[p] = position.Legal(p) ? Score(position.Features(p))
                                      : -std::numeric_limits<double>::infinity();
    return scores;
}

std::array<double, PointCount> PredictorProbabilities(const std::array<double, PointCount>& scores) {
    std::array<double, PointCount> probabilities{};
    const double top = *std::max_element(scores.begin(), scores.end());
    if (!std::isfinite(top)) return probabilities;
    double sum = 0;
    for (int p = 0; p < PointCount; ++p) {
        probabilities[p] = std::isfinite(scores[p]) ? std::exp(scores[p] - top) : 0.0;
        sum += probabilities[p];
    }
    for (double& v : probabilities) v /= sum;
    return probabilities;
}

// "predictor.dat": comment lines start with '#'; "weight GROUP INDEX VALUE" sets a group's
// weight, "shape CODE VALUE" adds a learned shape (the group's index 0 is every other shape).
void TMovePredictor::Parse(const std::string& text, const std::string& fileName) {
    TMovePredictor fresh;
    std::istringstream lines(text);
    int lineNo = 0;
    for (std::string line; std::getline(lines, line);) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        std::string key;
        in >> key;
        const auto fail = [&](const std::string& what) {
            throw EObrinError(fileName + ", line " + std::to_string(lineNo) + ": " + what);
        };
        if (key == "weight") {
            std::string group;
            int32_t index = 0;
            double value = 0;
            if (!(in >> group >> index >> value) || !std::isfinite(value)) fail("bad weight line");
            const auto* name = std::find_if(std::begin(GroupNames), std::end(GroupNames),
                                            [&](const char* n) { return group == n; });
            if (name == std::end(GroupNames)) fail("unknown feature group " + group);
            auto& weights = fresh.Weights[name - std::begin(GroupNames)];
            if (index < 0 || index >= static_cast<int32_t>(weights.size()))
                fail("index " + std::to_string(index) + " out of range for " + group);
            weights[index] = value;
        } else if (key == "shape") {
            ReadShape(in, fresh.ShapeIndex, fresh.Weights[GroupShape], key, fail);
        } else if (key == "large-shape") {
            ReadShape(in, fresh.LargeShapeIndex, fresh.Weights[GroupLargeShape], key, fail);
        } else {
            fail("unknown line \"" + key + "\"");
        }
    }
    *this = std::move(fresh);
    m_loaded = true;
}

void TMovePredictor::LoadFromFile(const std::string& fileName) {
    const std::vector<uint8_t> bytes = ReadFileBytes(fileName);
    Parse(std::string(bytes.begin(), bytes.end()), fileName);
}

std::string TMovePredictor::Text() const {
    std::string text = "# Obrin's move predictor: feature weights learned from GNU Go's moves\n";
    char line[96];
    for (int g = GroupLargeShape + 1; g < PredictorGroupCount; ++g)
        for (size_t i = 0; i < Weights[g].size(); ++i) {
            std::snprintf(line, sizeof line, "weight %s %zu %.6g\n", GroupNames[g], i,
                          Weights[g][i]);
            text += line;
        }
    for (const int g : {GroupShape, GroupLargeShape}) {
        std::snprintf(line, sizeof line, "weight %s 0 %.6g\n", GroupNames[g], Weights[g][0]);
        text += line;
    }
    AppendShapes(text, "shape", ShapeIndex, Weights[GroupShape]);
    AppendShapes(text, "large-shape", LargeShapeIndex, Weights[GroupLargeShape]);
    return text;
}

}  // namespace obrin
