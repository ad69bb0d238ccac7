#include "analysis/territory.h"

#include <cmath>
#include <cstring>
#include <filesystem>

#include "analysis/datafiles.h"
#include "analysis/feedfwd4.h"
#include "analysis/klassi.h"
#include "board/errors.h"
#include "analysis/analysis_context.h"

namespace obrin {
namespace {

// Offsets of the territory cell order.
constexpr std::array<int, 9> CellDX{0, 1, 0, -1, -1, -1, 0, 1, 1};
constexpr std::array<int, 9> CellDY{0, 1, 1, 1, 0, -1, -1, -1, 0};
// Territory cell t is classifier cell TerritoryToKlassi[t] (for the symmetry table).
constexpr std::array<int, 9> TerritoryToKlassi{4, 2, 1, 0, 3, 6, 7, 8, 5};

constexpr const char* TerritoryRecordFile = "dectrain.dat";
constexpr int RecordTypeComparison = 1;
constexpr int RecordTypeAbsolute = 2;

std::array<TTerritoryRange, TerritoryInputs> MakeRanges() {
    const std::array<int, 9> influenceLo{-249, -247, -248, -248, -248, -248, -249, -249, -250};
    const std::array<int, 9> influenceHi{249, 250, 249, 249, 249, 248, 248, 247, 247};
    const std::array<int, 9> strategyHi{189, 349, 347, 321, 296, 285, 284, 247, 232};
    const std::array<int, 9> lokalHi{499, 499, 499, 490, 483, 482, 479, 477, 381};
    const std::array<int, 9> edgeHi{9, 9, 8, 8, 8, 8, 8, 8, 8};
    const std::array<int, 9> gradientHi{300, 300, 249, 200, 151, 150, 100, 100, 51};
    const std::array<int, 8> libertyHi{81, 81, 81, 81, 81, 41, 16, 16};
    std::array<TTerritoryRange, TerritoryInputs> r{};
    for (int k = 0; k < 9; ++k) {
        r[k] = {0, 4};
        r[9 + k] = k == 0   ? TTerritoryRange{0, 0}
                   : k == 1 ? TTerritoryRange{0, 1}
                            : TTerritoryRange{-1, 1};
        r[18 + k] = {influenceLo[k], influenceHi[k]};
        r[27 + k] = {influenceLo[k], influenceHi[k]};
        r[36 + k] = {0, strategyHi[k]};
        r[45 + k] = {-500, lokalHi[k]};
        r[54 + k] = {0, edgeHi[k]};
        r[63 + k] = {0, gradientHi[k]};
        if (k < 8) r[72 + k] = {0, libertyHi[k]};
    }
    return r;
}

TTerritoryRecord ReadRecordAt(const std::vector<uint8_t>& bytes, size_t at) {
    TTerritoryRecord r{};
    std::memcpy(r.data(), bytes.data() + at, sizeof r);
    return r;
}

void AppendRecord(std::vector<uint8_t>& records, int16_t type, const TTerritoryRecord& first,
                  const void* second, size_t secondSize) {
    const size_t at = records.size();
    records.resize(at + TerritoryRecordSize, 0);
    std::memcpy(records.data() + at, &type, 2);
    std::memcpy(records.data() + at + 2, first.data(), sizeof first);
    std::memcpy(records.data() + at + 2 + sizeof first, second, secondSize);
}

bool ReadPoint(const std::string& text, TPoint& p) {
    if (text.size() < 2) return false;
    try {
        p = {ColumnOfText(text), RowOfText(text)};
    } catch (const std::exception&) {
        return false;
    }
    return OnBoard(p.X, p.Y);
}

}  // namespace

const std::array<TTerritoryRange, TerritoryInputs> TerritoryRanges = MakeRanges();

void AppendComparisonRecord(std::vector<uint8_t>& records, const TTerritoryRecord& better,
                            const TTerritoryRecord& worse) {
    AppendRecord(records, RecordTypeComparison, better, worse.data(), sizeof worse);
}

void AppendAbsoluteRecord(std::vector<uint8_t>& records, const TTerritoryRecord& point,
                          int16_t value) {
    AppendRecord(records, RecordTypeAbsolute, point, &value, sizeof value);
}

std::vector<uint8_t> LoadTerritoryRecords() {
    const auto path = DataFilePath(TerritoryRecordFile);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return {};
    std::vector<uint8_t> records = ReadFileBytes(path);
    CheckTerritoryRecords(records, path.string());
    return records;
}

void CheckTerritoryRecords(const std::vector<uint8_t>& records, const std::string& fileName) {
    TByteReader reader(records, fileName);
    while (reader.Position() < records.size()) {
        const size_t at = reader.Position();
        reader.Need(TerritoryRecordSize);
        const auto type = reader.Get<int16_t>();
        if (type != RecordTypeComparison && type != RecordTypeAbsolute)
            reader.Fail("record type " + std::to_string(type) + " (1 or 2 expected)", at);
        reader.Skip(TerritoryRecordSize - 2);
    }
}

void SaveTerritoryRecords(const std::vector<uint8_t>& records) {
    WriteFileAtomically(DataFilePath(TerritoryRecordFile, true), records);
}

TTerritoryRecordCounts CountTerritoryRecords(const std::vector<uint8_t>& records) {
    TTerritoryRecordCounts counts;
    for (size_t at = 0; at + TerritoryRecordSize <= records.size(); at += TerritoryRecordSize) {
        int16_t type = 0;
        std::memcpy(&type, records.data() + at, 2);
        counts.Comparisons += type == RecordTypeComparison;
        counts.Absolutes += type == RecordTypeAbsolute;
    }
    return counts;
}

TTerritoryRecord TerritoryInputRecord(const TAnalysisContext& context, const TBoard& scoreField, int x,
                                      int y) {
    const TBoardFields& b = context.Fields;
    const TFieldContainer& fc = *context.Container;
    TTerritoryRecord r{};
    for (int k = 0; k < 9; ++k) {
        const int nx = x + CellDX[k], ny = y + CellDY[k];
        r[k] = EmptyNeighbours(nx, ny, b.Spielfeld);
        r[9 + k] = GetPoint(b.Spielfeld, nx, ny);
        r[18 + k] = GetPoint(b.Feldstaerkefeld, nx, ny);
        r[27 + k] = GetPoint(scoreField, nx, ny);
        r[36 + k] = GetPoint(b.Strategiefeld, nx, ny);
        r[45 + k] = GetPoint(fc.LokalVorschlag, nx, ny);
        r[54 + k] = GetPoint(b.MinAbstand, nx, ny);
        r[63 + k] = GetPoint(fc.Gradient, nx, ny);
        if (k > 0) r[71 + k] = GetPoint(fc.Freiheitsfeld, nx, ny);
    }
    return r;
}

TTerritoryRecord TransformRecord(const TTerritoryRecord& r, int s) {
    // Cell t of a transformed block takes the territory cell whose classifier cell the symmetry
    // picks.
    std::array<int, 9> source{};
    for (int t = 0; t < 9; ++t) {
        const int klassiCell = Symmetry[s][TerritoryToKlassi[t]];
        for (int u = 0; u < 9; ++u)
            if (TerritoryToKlassi[u] == klassiCell) source[t] = u;
    }
    TTerritoryRecord out{};
    for (int block = 0; block < 8; ++block)
        for (int t = 0; t < 9; ++t) out[block * 9 + t] = r[block * 9 + source[t]];
    // The liberty block has no centre: its cell t (1..8) sits at 71 + t; the centre stays fixed.
    for (int t = 1; t < 9; ++t) out[71 + t] = r[71 + source[t]];
    return out;
}

void ScaleTerritoryRecord(const TTerritoryRecord& r, double* inputs) {
    for (int i = 0; i < TerritoryInputs; ++i) {
        const auto [lo, hi] = TerritoryRanges[i];
        inputs[i] = lo == hi ? 0.0 : (static_cast<double>(r[i]) - lo) / (hi - lo);
    }
}

void SetTerritoryInputs(TFeedFwd4& net, const TTerritoryRecord& r) {
    std::array<double, TerritoryInputs> inputs{};
    ScaleTerritoryRecord(r, inputs.data());
    for (int i = 0; i < TerritoryInputs && i < net.InputCount(); ++i) net.SetInput(i, inputs[i]);
}

int TerritoryClass(double output) {
    return RoundHalfEven(output * 60, 0) - 10;
}

double TTerritoryEvaluator::Evaluate(const TTerritoryRecord& r) {
    TFeedFwd4& net = *m_context.TerritoryNet;
    SetTerritoryInputs(net, r);
    net.Forward();
    return net.GetOutput(0);
}

double TTerritoryEvaluator::EvaluatePoint(int x, int y) {
    return Evaluate(TerritoryInputRecord(m_context, ScoreField, x, y));
}

int TTerritoryEvaluator::PointClass(int x, int y) {
    return TerritoryClass(EvaluatePoint(x, y));
}

void TTerritoryEvaluator::EvaluateTerritory(bool zufall) {
    auto& value = m_context.Container->Feldbewertung;
    TFeedFwd4& net = *m_context.TerritoryNet;
    const bool batched = net.InputCount() == TerritoryInputs && net.OutputCount() == 1;
    std::array<int, TFeedFwd4::BatchSize> points{};
    std::array<double, TFeedFwd4::BatchSize * TerritoryInputs> inputs{};
    std::array<double, TFeedFwd4::BatchSize> outputs{};
    int pending = 0;
    MaxClass = -1;
    // Rates the pending points, then classes them in point order (the order of the random draws).
    auto flush = [&] {
        bool evaluated = false;
        if (batched) {
            try {
                net.ForwardBatch(inputs.data(), pending, outputs.data());
                evaluated = true;
            } catch (const EFloatingPoint&) {
            }
        }
        for (int b = 0; b < pending; ++b) {
            const int i = points[b];
            if (evaluated) {
                value[i] = outputs[b];
            } else {
                try {
                    value[i] = EvaluatePoint(PointColumn(i), PointRow(i));
                } catch (const EFloatingPoint&) {
                    m_context.Host.SetCaption(msg::FeedForwardException);
                    value[i] = 0.0;
                }
            }
            int k = TerritoryClass(value[i]);
            if (zufall && k >= 0) {
                value[i] += (m_context.Random.Real() + 9.5) / 60;
                k = TerritoryClass(value[i]);
            }
            MaxClass = std::max(MaxClass, k);
        }
        pending = 0;
    };
    for (int i = 0; i < PointCount; ++i) {
        if (m_context.Fields.Spielfeld[i] != 0) {
            value[i] = -1.0;
            continue;
        }
        ScaleTerritoryRecord(
            TerritoryInputRecord(m_context, ScoreField, PointColumn(i), PointRow(i)),
            inputs.data() + pending * TerritoryInputs);
        points[pending++] = i;
        if (pending == TFeedFwd4::BatchSize) flush();
    }
    flush();
    m_evaluated = true;
    m_position = m_context.Fields.Spielfeld;
}

double TTerritoryEvaluator::TrainTowards(const TTerritoryRecord& r, double target) {
    TFeedFwd4& net = *m_context.TerritoryNet;
    const double o = Evaluate(r);
    net.SetTarget(0, target);
    net.Train();
    return o;
}

double TTerritoryEvaluator::TrainTerritoryRound(const std::vector<uint8_t>& records,
                                                double relation) {
    const size_t count = records.size() / TerritoryRecordSize;
    if (count == 0) return 0.0;
    TRandom& random = m_context.Random;
    double error = 0.0;
    for (int step = 0; step < 100; ++step) {
        const size_t at =
            static_cast<size_t>(random.Int(static_cast<int>(count))) * TerritoryRecordSize;
        int16_t type = 0;
        std::memcpy(&type, records.data() + at, 2);
        TTerritoryRecord first = ReadRecordAt(records, at + 2);
        if (type == RecordTypeComparison) {
            TTerritoryRecord second = ReadRecordAt(records, at + 2 + sizeof first);
            if (random.Real() < relation) {
                const int s = random.Int(8);
                first = TransformRecord(first, s);
                second = TransformRecord(second, s);
            }
            const double o1 = Evaluate(first), o2 = Evaluate(second);
            if (o1 <= o2) {
                // The better point was rated lower: pull the two ratings towards each other.
                TrainTowards(second, o1);
                TrainTowards(first, o2);
                error += (o1 - o2) * (o1 - o2);
            }
        } else if (type == RecordTypeAbsolute) {
            int16_t value = 0;
            std::memcpy(&value, records.data() + at + 2 + sizeof first, 2);
            const double target = (value + 10) / 60.0;
            const double o = TrainTowards(TransformRecord(first, random.Int(8)), target);
            error += (o - target) * (o - target);
        } else {
            throw EObrinError(std::string(msg::IllegalDataType) + " " + std::to_string(type) +
                              " in record " + std::to_string(at / TerritoryRecordSize));
        }
    }
    return error;
}

bool TTerritoryEvaluator::AppendComparison(std::vector<uint8_t>& records, const std::string& better,
                                           const std::string& worse) {
    TPoint a, b;
    if (!ReadPoint(better, a) || !ReadPoint(worse, b)) return false;
    AppendComparisonRecord(records, TerritoryInputRecord(m_context, ScoreField, a.X, a.Y),
                           TerritoryInputRecord(m_context, ScoreField, b.X, b.Y));
    return true;
}

bool TTerritoryEvaluator::AppendAbsolute(std::vector<uint8_t>& records, const std::string& point,
                                         const std::string& value) {
    TPoint a;
    int16_t v = 0;
    try {
        size_t used = 0;
        const int parsed = std::stoi(value, &used);
        if (used != value.size() || parsed < -32768 || parsed > 32767) return false;
        v = static_cast<int16_t>(parsed);
    } catch (const std::exception&) {
        return false;
    }
    if (!ReadPoint(point, a)) return false;
    AppendAbsoluteRecord(records, TerritoryInputRecord(m_context, ScoreField, a.X, a.Y), v);
    return true;
}

}  // namespace obrin
