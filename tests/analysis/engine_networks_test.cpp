// The networks of the engine at start-up and exit: files found through OBRIN_HOME.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "analysis/datafiles.h"
#include "analysis/feedfwd4.h"
#include "analysis/klassi.h"
#include "analysis/territory.h"
#include "tools/territorytrain.h"
#include "game/engine.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

namespace fs = std::filesystem;

class MessageHost : public IHost {
  public:
    void ShowMessage(const std::string& text) override { Message = text; }
    std::string Message;
};

class EngineNetworks : public ::testing::Test {
  protected:
    test::TTempHome home;
    const fs::path& dir = home.Path();
};

TEST_F(EngineNetworks, StartFreshSaveAndLoadBack) {
    MessageHost host;
    TEngine engine(host);
    engine.KlassiNet->WeightIH[7] = 0.125;
    engine.KlassiNetTrained = engine.TerritoryNetTrained = true;
    engine.SaveNetworks();
    EXPECT_TRUE(fs::exists(dir / "net.dat"));
    EXPECT_TRUE(fs::exists(dir / "terrnet.dat"));
    EXPECT_FALSE(fs::exists(dir / "net.dat.tmp"));

    TEngine again(host);
    EXPECT_EQ(again.KlassiNet->WeightIH[7], 0.125);
    EXPECT_EQ(again.TerritoryNet->LearningRate(), 0.01) << "the rate is set after loading";
    EXPECT_EQ(host.Message, "");
}

TEST_F(EngineNetworks, ADamagedWeightFileKeepsTheFreshNetworkAndIsReported) {
    std::vector<uint8_t> bytes(262, 0);
    bytes[256] = 0xff;
    bytes[257] = 0x7f;  // 32767 inputs
    WriteFileAtomically(dir / "net.dat", bytes);
    MessageHost host;
    TEngine engine(host);
    EXPECT_EQ(engine.KlassiNet->InputCount(), 50);
    EXPECT_NE(host.Message.find("net.dat"), std::string::npos);
    EXPECT_NE(host.Message.find("offset 256"), std::string::npos) << host.Message;
}

TEST_F(EngineNetworks, OnlyANetworkTrainedInThisRunWithFiniteWeightsIsWritten) {
    MessageHost host;
    {
        TEngine engine(host);
        engine.TerritoryNet->Weight2[3] = 0.375;
        engine.TerritoryNetTrained = true;
        engine.SaveNetworks();
    }
    EXPECT_FALSE(fs::exists(dir / "net.dat")) << "the classifier was not trained: not written";
    ASSERT_TRUE(fs::exists(dir / "terrnet.dat"));
    const auto trained = ReadFileBytes(dir / "terrnet.dat");
    {
        TEngine untrained(host);  // loads the trained file, trains nothing
        EXPECT_EQ(untrained.TerritoryNet->Weight2[3], 0.375);
        untrained.TerritoryNet->Weight2[3] = 0.0;
        untrained.SaveNetworks();
    }
    EXPECT_EQ(ReadFileBytes(dir / "terrnet.dat"), trained);
    {
        TEngine diverged(host);
        diverged.TerritoryNet->WeightO[0] = std::nan("");
        diverged.TerritoryNetTrained = true;
        diverged.SaveNetworks();
    }
    EXPECT_EQ(ReadFileBytes(dir / "terrnet.dat"), trained) << "NaN weights never replace a file";
}

TEST_F(EngineNetworks, TheUntrainedTerritoryNetworkOfTheFiguresIsTheEnginesFreshOne) {
    MessageHost host;
    TEngine fresh(host);
    TEngine other(host);
    UntrainedTerritoryNet(other);
    EXPECT_EQ(other.TerritoryNet->FileImage(), fresh.TerritoryNet->FileImage());
}

TEST_F(EngineNetworks, AWrongSizedTerritoryNetworkIsRefused) {
    TFeedFwd4 small(10, 5, 5, 1, 0.2, [] { return 0.25; });
    small.SaveToFile((dir / "terrnet.dat").string());
    MessageHost host;
    TEngine engine(host);
    EXPECT_EQ(engine.TerritoryNet->InputCount(), 80);
    EXPECT_EQ(engine.TerritoryNet->Hidden1Count(), 320);
    EXPECT_NE(host.Message.find("terrnet.dat"), std::string::npos);
    EXPECT_NE(host.Message.find("offset 4"), std::string::npos) << host.Message;

    auto bytes = ReadFileBytes(dir / "terrnet.dat");
    bytes.resize(100);  // truncated inside the thresholds
    WriteFileAtomically(dir / "terrnet.dat", bytes);
    MessageHost again;
    TEngine truncated(again);
    EXPECT_EQ(truncated.TerritoryNet->Hidden2Count(), 320);
    EXPECT_NE(again.Message.find("offset"), std::string::npos) << again.Message;
}

TEST_F(EngineNetworks, ADamagedTerritoryRecordFileIsRefusedWithItsOffset) {
    MessageHost host;
    TEngine engine(host);
    std::vector<uint8_t> records;
    ASSERT_TRUE(engine.Territory.AppendAbsolute(records, "D4", "12"));
    ASSERT_TRUE(engine.Territory.AppendAbsolute(records, "D5", "-3"));
    auto wrongType = records;
    wrongType[TerritoryRecordSize] = 7;
    SaveTerritoryRecords(wrongType);
    const std::string wrongTypeError = test::ErrorOf([] { (void)LoadTerritoryRecords(); });
    EXPECT_NE(wrongTypeError.find("dectrain.dat"), std::string::npos) << wrongTypeError;
    EXPECT_NE(wrongTypeError.find("offset 642"), std::string::npos) << wrongTypeError;
    auto truncated = records;
    truncated.resize(TerritoryRecordSize + 100);
    SaveTerritoryRecords(truncated);
    const std::string truncatedError = test::ErrorOf([] { (void)LoadTerritoryRecords(); });
    EXPECT_NE(truncatedError.find("offset 642"), std::string::npos) << truncatedError;
}

TEST_F(EngineNetworks, TrainingFilesOfTheDialogs) {
    MessageHost host;
    TEngine engine(host);
    EXPECT_TRUE(LoadTerritoryRecords().empty()) << "a missing dectrain.dat gives no records";
    std::vector<uint8_t> records;
    ASSERT_TRUE(engine.Territory.AppendAbsolute(records, "D4", "12"));
    ASSERT_TRUE(engine.Territory.AppendComparison(records, "D4", "E5"));
    ASSERT_TRUE(engine.Territory.AppendComparison(records, "D4", "E6"));
    SaveTerritoryRecords(records);
    EXPECT_EQ(LoadTerritoryRecords(), records);
    const auto counts = CountTerritoryRecords(records);
    EXPECT_EQ(counts.Comparisons, 2);
    EXPECT_EQ(counts.Absolutes, 1);

    AcceptVector(engine, 3, 3, {});
    EXPECT_FALSE(LoadKlassiSamples(engine));
    EXPECT_EQ(engine.KlassiSamples->GetSampleCount(), 0) << "no file: the unsaved samples go";
    EXPECT_EQ(engine.KlassiSamples->InputCount(), 27);
    AcceptVector(engine, 3, 3, {});
    SaveKlassiSamples(engine);
    TEngine other(host);
    EXPECT_TRUE(LoadKlassiSamples(other));
    EXPECT_EQ(SampleCountText(other), "8 Trainingsmuster)");
}

}  // namespace
}  // namespace obrin
