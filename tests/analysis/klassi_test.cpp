#include "analysis/klassi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/feedfwd3.h"
#include "analysis/testdata.h"
#include "board/errors.h"
#include "game/engine.h"
#include "support/diagram.h"

namespace obrin {
namespace {

class RecordingHost : public IHost {
  public:
    void SetCaption(const std::string& text) override { Caption = text; }
    std::string Caption;
};

class Klassi : public ::testing::Test {
  protected:
    RecordingHost host;
    TEngine engine{host};

    // Makes every output of the classifier the given constant: no weights, only thresholds.
    void FixOutputs(const std::array<double, KlassiNetSize>& outputs) {
        TFeedFwd3& net = *engine.KlassiNet;
        std::fill(net.WeightHO.begin(), net.WeightHO.end(), 0.0);
        for (int k = 0; k < KlassiNetSize; ++k)
            net.ThresholdO[k] = -std::log(outputs[k] / (1 - outputs[k]));
    }
};

TEST_F(Klassi, FeaturesOfAnEdgePointReadZeroOffTheBoard) {
    TBoard board = test::FromDiagram("X O .\n. . .");  // A19 black, B19 white
    TBoard strength{};
    strength.fill(250);
    const TKlassiFeatures f = KlassiFeatures(board, MakeMinAbstand(), strength, 0, 18);
    // Cells 0, 1, 2, 3 and 6 lie off the board: board value 0 scales to 0.5, the others to 0.
    for (const int off : {0, 1, 2, 3, 6}) {
        EXPECT_EQ(f[off], 0.5) << off;
        EXPECT_EQ(f[9 + off], 0.0) << off;
        EXPECT_EQ(f[18 + off], 0.5) << off;
    }
    EXPECT_EQ(f[4], 1.0);       // the point itself: black
    EXPECT_EQ(f[5], 0.0);       // right of it: white
    EXPECT_EQ(f[18 + 4], 1.0);  // strength 250 scales to 1
    EXPECT_DOUBLE_EQ(f[9 + 8], 1.0 / 9);
}

TEST_F(Klassi, SymmetriesTurnTheNeighbourhood) {
    TKlassiFeatures f{};
    for (int i = 0; i < 27; ++i) f[i] = i;
    // Symmetry 2 is a quarter turn: the top-left cell takes the top-right one.
    const TKlassiFeatures t = TransformFeatures(f, 1);
    EXPECT_EQ(t[0], 2);
    EXPECT_EQ(t[9], 11);
    EXPECT_EQ(t[26], 24);
    for (int s = 0; s < 8; ++s) EXPECT_EQ(TransformFeatures(f, s)[4], 4) << "the centre stays";
}

TEST_F(Klassi, ClassifyBoardScalesRoundsHalvesToEvenAndThresholdsTheOutputs) {
    std::array<double, KlassiNetSize> o{};
    o.fill(0.5);
    o[15] = 0.6;    // shared fate: round(99.4) = 99, below 100
    o[16] = 0.601;  // 100.399 rounds to 100: inside
    o[17] = 0.333;  // predicate 333: inside
    o[18] = 0.332;
    o[11] = 0.9;
    o[13] = 0.25;
    FixOutputs(o);
    engine.Fields.Spielfeld = test::FromDiagram("X O");
    ClassifyBoard(engine);
    const TFieldContainer& fc = *engine.Container;
    const int p = PointIndex(5, 5);
    EXPECT_EQ(fc.NNSSchicksalsgemeinschaft[p], 0);
    EXPECT_EQ(fc.NNWSchicksalsgemeinschaft[p], 1);
    EXPECT_EQ(fc.NNSPraedikatsbereich[p], 1);
    EXPECT_EQ(fc.NNWPraedikatsbereich[p], 0);
    EXPECT_EQ(fc.NNSSicher[p], RoundHalfEven(0.9 * 999 - 500));
    EXPECT_EQ(fc.NNWSicher[p], RoundHalfEven(0.5 * 999 - 500));  // -0.5 goes to 0
    EXPECT_EQ(fc.NNWSicher[p], 0);
    EXPECT_EQ(fc.NNSAugen[p], 250);
    EXPECT_EQ(fc.LokalVorschlag[p], 0);
    EXPECT_NE(engine.Fields.Feldstaerkefeld[PointIndex(0, 18)], 0) << "field strength recomputed";
    EXPECT_EQ(host.Caption, "");
    // The rounding takes halves to even; what is no number gives the fallback.
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN(), -500), -500);
}

TEST_F(Klassi, TheWholeBoardRunGivesEachPointWhatTheNetworkSaysForIt) {
    engine.Fields.Spielfeld = test::FromDiagram(
        ". X O . .\n"
        "X X O O .\n"
        ". X . O X");
    ClassifyBoard(engine);
    for (const int i : {0, 7, 19 * 17 + 2, 200, 360}) {
        const auto o = TestPoint(engine, PointColumn(i), PointRow(i));
        EXPECT_EQ(engine.Container->NNSSicher[i], RoundHalfEven(o[11] * 999 - 500)) << i;
        EXPECT_EQ(engine.Container->NNWAugen[i], RoundHalfEven(o[14] * 1000)) << i;
        EXPECT_EQ(engine.Container->LokalVorschlag[i], RoundHalfEven(o[9] * 999 - 500)) << i;
    }
}

TEST_F(Klassi, AFloatingPointFailureIsShownInTheCaptionAndTheRunGoesOn) {
    engine.KlassiNet->WeightIH[3] = std::numeric_limits<double>::quiet_NaN();
    engine.Fields.Spielfeld[100] = 1;
    ClassifyBoard(engine);
    EXPECT_EQ(host.Caption, msg::KlassiFloatingPoint);
    EXPECT_EQ(engine.Container->NNSSicher[0], -500);
}

TEST_F(Klassi, AcceptingAVectorAddsEightSamplesAndTrainingMovesTowardsThem) {
    engine.Fields.Spielfeld = test::FromDiagram(". X .\nX . X\n. X .");
    SpreadInfluence(engine.Fields.Spielfeld, engine.Fields.Feldstaerkefeld, 50);
    std::array<double, KlassiNamedOutputs> wanted{};
    wanted[13] = 1.0;  // a black eye at B18
    AcceptVector(engine, 1, 17, wanted);
    TTestData& samples = *engine.KlassiSamples;
    ASSERT_EQ(samples.GetSampleCount(), 8);
    samples.GetSample(7);
    EXPECT_EQ(samples.GetOutput(13), 1.0);
    EXPECT_EQ(samples.GetOutput(30), 0.5);
    const double before = TestPoint(engine, 1, 17)[13];
    for (int i = 0; i < 200; ++i) (void)TrainKlassiStep(engine, true);
    EXPECT_GT(TestPoint(engine, 1, 17)[13], before + 0.2);
}

}  // namespace
}  // namespace obrin
