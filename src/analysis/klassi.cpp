#include "analysis/klassi.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "analysis/datafiles.h"
#include "analysis/feedfwd3.h"
#include "analysis/testdata.h"
#include "board/errors.h"
#include "analysis/analysis_context.h"

namespace obrin {

const std::array<const char*, KlassiNamedOutputs> KlassiOutputLabels = {
    "ist-besetzt",
    "1=schwarz,0=weiß,grau=leer",
    "hier kann Schwarz ein neues Leben anfangen",
    "hier kann Weiß ein neues Leben anfangen",
    "hier kann Schwarz eine leere Gebietsfläche abriegeln ",
    "hier kann Weiß eine leere Gebietsfläche abriegeln",
    "Hier kann man als erster ein freies Eck besetzen",
    "Hier kann Schwarz ein Shimari machen",
    "Hier kann Weiß ein Shimari machen",
    "Lokale schwarze Antwort (Reflex)",
    "Lokale weiße Antwort (Reflex)",
    "Sicherer schwarzer Stein",
    "Sicherer Weißer Stein",
    "Schwarzes Auge",
    "Weißes Auge",
    "schwarze Schicksalsgemeinschaft",
    "weiße Schicksalsgemeinschaft",
    "schwarzer Prädikatsbereich",
    "weißer Prädikatsbereich",
};

const std::array<std::array<int, 9>, 8> Symmetry = {{
    {0, 1, 2, 3, 4, 5, 6, 7, 8},
    {2, 5, 8, 1, 4, 7, 0, 3, 6},
    {8, 7, 6, 5, 4, 3, 2, 1, 0},
    {6, 3, 0, 7, 4, 1, 8, 5, 2},
    {2, 1, 0, 5, 4, 3, 8, 7, 6},
    {8, 5, 2, 7, 4, 1, 6, 3, 0},
    {6, 7, 8, 3, 4, 5, 0, 1, 2},
    {0, 3, 6, 1, 4, 7, 2, 5, 8},
}};

namespace {

constexpr const char* KlassiSampleFile = "training.dat";

// Offsets of the classifier's cell order: the row above from the left, the point's row, the row
// below.
constexpr std::array<int, 9> CellDX{-1, 0, 1, -1, 0, 1, -1, 0, 1};
constexpr std::array<int, 9> CellDY{1, 1, 1, 0, 0, 0, -1, -1, -1};

double Scale(double v, double lo, double hi) {
    return std::clamp((v - lo) / (hi - lo), 0.0, 1.0);
}

// The classification value of an output: round(o*999 - 500).
int SignedValue(double o) {
    return RoundHalfEven(o * 999 - 500, -500);
}
int PermilleValue(double o) {
    return RoundHalfEven(o * 1000, 0);
}

// o holds the 19 named outputs of the point.
void WriteFields(TFieldContainer& fc, int i, const double* o) {
    fc.NNFeld1[i] = SignedValue(o[2]);
    fc.LokalVorschlag[i] = SignedValue(o[9]);
    fc.NNFeld4[i] = SignedValue(o[4]);
    fc.NNSSchicksalsgemeinschaft[i] = SignedValue(o[15]);
    fc.NNWSchicksalsgemeinschaft[i] = SignedValue(o[16]);
    fc.NNSSicher[i] = SignedValue(o[11]);
    fc.NNWSicher[i] = SignedValue(o[12]);
    fc.NNSAugen[i] = PermilleValue(o[13]);
    fc.NNWAugen[i] = PermilleValue(o[14]);
    fc.NNSPraedikatsbereich[i] = PermilleValue(o[17]);
    fc.NNWPraedikatsbereich[i] = PermilleValue(o[18]);
}

void Threshold(TBoard& field, int lo) {
    for (auto& v : field) v = (v >= lo && v <= 1000) ? 1 : 0;
}

}  // namespace

int RoundHalfEven(double v, int fallback) {
    if (!std::isfinite(v) || std::fabs(v) > 2e9) return fallback;
    return static_cast<int>(std::nearbyint(v));  // the default rounding mode: halves to even
}

TKlassiFeatures KlassiFeatures(const TBoard& board, const TBoard& minAbstand,
                               const TBoard& feldstaerke, int x, int y) {
    TKlassiFeatures f{};
    for (int k = 0; k < 9; ++k) {
        const int nx = x + CellDX[k], ny = y + CellDY[k];
        f[k] = Scale(GetPoint(board, nx, ny), -1, 1);
        f[9 + k] = Scale(GetPoint(minAbstand, nx, ny), 0, 9);
        f[18 + k] = Scale(GetPoint(feldstaerke, nx, ny), -250, 250);
    }
    return f;
}

TKlassiFeatures TransformFeatures(const TKlassiFeatures& f, int s) {
    TKlassiFeatures t{};
    for (int block = 0; block < 3; ++block)
        for (int i = 0; i < 9; ++i) t[block * 9 + i] = f[block * 9 + Symmetry[s][i]];
    return t;
}

void SetKlassiInputs(TFeedFwd3& net, const TKlassiFeatures& f) {
    for (int i = 0; i < net.InputCount(); ++i) net.SetInput(i, 0.5);
    for (int i = 0; i < KlassiInputs && i < net.InputCount(); ++i) net.SetInput(i, f[i]);
}

void ClassifyBoard(TAnalysisContext& context) {
    TBoardFields& b = context.Fields;
    TFieldContainer& fc = *context.Container;
    TFeedFwd3& net = *context.KlassiNet;
    SpreadInfluence(b.Spielfeld, b.Feldstaerkefeld, 50);
    constexpr int batch = TFeedFwd3::BatchSize;
    const int ni = net.InputCount(), no = net.OutputCount();
    std::vector<double> inputs(static_cast<size_t>(batch) * ni),
        outputs(static_cast<size_t>(batch) * no);
    std::array<double, KlassiNamedOutputs> named{};
    bool reported = false;
    // Points go through the network eight at a time; each gets exactly what Forward would give it.
    for (int start = 0; start < PointCount; start += batch) {
        const int count = std::min(batch, PointCount - start);
        for (int k = 0; k < count; ++k) {
            const int i = start + k;
            const TKlassiFeatures f = KlassiFeatures(b.Spielfeld, b.MinAbstand, b.Feldstaerkefeld,
                                                     PointColumn(i), PointRow(i));
            double* row = inputs.data() + static_cast<size_t>(k) * ni;
            for (int j = 0; j < ni; ++j) row[j] = j < KlassiInputs ? f[j] : 0.5;
        }
        net.ForwardBatch(inputs.data(), count, outputs.data());
        for (int k = 0; k < count; ++k) {
            const double* o = outputs.data() + static_cast<size_t>(k) * no;
            for (int j = 0; j < KlassiNamedOutputs; ++j) {
                named[j] = j < no ? o[j] : 0.5;
                if (!std::isfinite(named[j]) && !reported) {
                    context.Host.SetCaption(msg::KlassiFloatingPoint);
                    reported = true;
                }
            }
            WriteFields(fc, start + k, named.data());
        }
    }
    Threshold(fc.NNSSchicksalsgemeinschaft, 100);
    Threshold(fc.NNWSchicksalsgemeinschaft, 100);
    Threshold(fc.NNSPraedikatsbereich, 333);
    Threshold(fc.NNWPraedikatsbereich, 333);
}

std::array<double, KlassiNetSize> TestPoint(TAnalysisContext& context, int x, int y) {
    const TBoardFields& b = context.Fields;
    TFeedFwd3& net = *context.KlassiNet;
    SetKlassiInputs(net, KlassiFeatures(b.Spielfeld, b.MinAbstand, b.Feldstaerkefeld, x, y));
    std::array<double, KlassiNetSize> out{};
    try {
        net.Forward();
    } catch (const EFloatingPoint&) {
        context.Host.SetCaption(msg::KlassiFloatingPoint);
    }
    for (int k = 0; k < KlassiNetSize && k < net.OutputCount(); ++k) out[k] = net.GetOutput(k);
    return out;
}

void FillEndfeld(TAnalysisContext& context, int output) {
    ClassifyBoard(context);
    TBoard& endfeld = context.Fields.Endfeld;
    for (int i = 0; i < PointCount; ++i) {
        const std::array<double, KlassiNetSize> o = TestPoint(context, PointColumn(i), PointRow(i));
        endfeld[i] = output >= 0 && output < KlassiNetSize ? static_cast<int>(o[output] * 100) : 0;
    }
}

void AcceptVector(TAnalysisContext& context, int x, int y,
                  const std::array<double, KlassiNamedOutputs>& wanted) {
    const TBoardFields& b = context.Fields;
    TTestData& samples = *context.KlassiSamples;
    const TKlassiFeatures f = KlassiFeatures(b.Spielfeld, b.MinAbstand, b.Feldstaerkefeld, x, y);
    for (int s = 0; s < 8; ++s) {
        const TKlassiFeatures t = TransformFeatures(f, s);
        for (int i = 0; i < KlassiInputs; ++i) samples.SetInput(i, t[i]);
        for (int k = 0; k < samples.OutputCount(); ++k) samples.SetOutput(k, 0.5);
        for (int k = 0; k < KlassiNamedOutputs; ++k) samples.SetOutput(k, wanted[k]);
        samples.AddSample();
    }
}

bool LoadKlassiSamples(TAnalysisContext& context) {
    const auto path = DataFilePath(KlassiSampleFile);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        // No file, no samples: what was added since the last load is dropped as well.
        auto empty = std::make_unique<TTestData>();
        empty->SetInputCount(context.KlassiSamples->InputCount());
        empty->SetOutputCount(context.KlassiSamples->OutputCount());
        context.KlassiSamples = std::move(empty);
        return false;
    }
    context.KlassiSamples->LoadFromFile(path.string());
    return true;
}

void SaveKlassiSamples(TAnalysisContext& context) {
    context.KlassiSamples->SaveToFile(DataFilePath(KlassiSampleFile, true).string());
}

std::string SampleCountText(const TAnalysisContext& context) {
    return std::to_string(context.KlassiSamples->GetSampleCount()) + " Trainingsmuster)";
}

double TrainKlassiStep(TAnalysisContext& context, bool onlyLast) {
    TTestData& samples = *context.KlassiSamples;
    TFeedFwd3& net = *context.KlassiNet;
    if (samples.GetSampleCount() == 0) return 0.0;
    if (onlyLast)
        samples.GetSample(samples.GetSampleCount() - 1);
    else
        samples.GetRandomSample([&](int n) { return context.Random.Int(n); });
    for (int i = 0; i < net.InputCount(); ++i) net.SetInput(i, 0.5);
    for (int i = 0; i < samples.InputCount() && i < net.InputCount(); ++i)
        net.SetInput(i, samples.GetInput(i));
    for (int k = 0; k < net.OutputCount(); ++k) net.SetTarget(k, samples.GetOutput(k));
    double error = 0.0;
    try {
        net.Forward();
        for (int k = 0; k < net.OutputCount(); ++k)
            error += std::pow(net.GetOutput(k) - net.GetTarget(k), 2);
        net.Train();
    } catch (const EFloatingPoint&) {
        context.Host.SetCaption(msg::KlassiFloatingPoint);
    }
    return error;
}

}  // namespace obrin
