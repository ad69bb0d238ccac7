#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "analysis/datafiles.h"
#include "analysis/feedfwd3.h"
#include "analysis/feedfwd4.h"
#include "board/errors.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

class FeedFwd : public ::testing::Test {
  protected:
    std::mt19937 rng{42};
    TUniformRandom random = [this] {
        return std::uniform_real_distribution<double>(0.0, 1.0)(rng);
    };
    test::TTempDir dir;
    std::string File(const char* name) const { return (dir / name).string(); }

    static void WriteBytes(const std::string& file, const std::vector<uint8_t>& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    template <typename T>
    static T At(const std::vector<uint8_t>& bytes, size_t offset) {
        T v;
        std::memcpy(&v, bytes.data() + offset, sizeof v);
        return v;
    }
};

TEST_F(FeedFwd, FreshWeightsLieInTheHalfOpenRangeAndSigmoidIsCentred) {
    TFeedFwd3 net(27, 13, 50, 0.2, random);
    for (const auto* v : {&net.ThresholdH, &net.ThresholdO, &net.WeightIH, &net.WeightHO})
        for (const double w : *v) {
            EXPECT_GE(w, -0.5);
            EXPECT_LT(w, 0.5);
        }
    EXPECT_EQ(net.Sigmoid(0), 0.5);
    // Thresholds are drawn before weights: a generator counting its calls shows the order.
    int calls = 0;
    TFeedFwd3 counted(2, 2, 1, 0.2, [&] { return (calls++) / 100.0; });
    EXPECT_DOUBLE_EQ(counted.ThresholdH[0], 0.0 - 0.5);
    EXPECT_DOUBLE_EQ(counted.ThresholdO[0], 0.02 - 0.5);
    EXPECT_DOUBLE_EQ(counted.WeightIH[0], 0.03 - 0.5);
    EXPECT_DOUBLE_EQ(counted.WeightHO[1], 0.08 - 0.5);
}

TEST_F(FeedFwd, TrainingAtTheTargetChangesNothingAndOtherwiseReducesTheError) {
    TFeedFwd3 net(3, 4, 2, 0.5, random);
    for (int i = 0; i < 3; ++i) net.SetInput(i, 0.3 * i);
    net.Forward();
    for (int k = 0; k < 2; ++k) net.SetTarget(k, net.GetOutput(k));
    const auto before = net.WeightIH;
    const auto beforeHO = net.WeightHO;
    net.Train();
    EXPECT_EQ(net.WeightIH, before);
    EXPECT_EQ(net.WeightHO, beforeHO);

    TFeedFwd4 deep(3, 5, 4, 2, 0.5, random);
    auto error = [&] {
        deep.Forward();
        return std::pow(deep.GetOutput(0) - 0.9, 2) + std::pow(deep.GetOutput(1) - 0.1, 2);
    };
    for (int i = 0; i < 3; ++i) deep.SetInput(i, 0.2 + 0.1 * i);
    deep.SetTarget(0, 0.9);
    deep.SetTarget(1, 0.1);
    const double first = error();
    for (int step = 0; step < 50; ++step) {
        deep.Forward();
        deep.Train();
    }
    EXPECT_LT(error(), first / 2);
}

TEST_F(FeedFwd, HiddenErrorsUseTheOldOutputWeightsInThreeLayersAndTheNewOnesInFour) {
    // One input, one hidden unit, one output: the hidden weight's step is computable by hand.
    auto zero = [] { return 0.5; };  // every weight and threshold 0
    TFeedFwd3 net(1, 1, 1, 1.0, zero);
    net.WeightHO[0] = 2.0;
    net.SetInput(0, 1.0);
    net.Forward();
    net.SetTarget(0, 0.0);
    const double o = net.GetOutput(0), h = 0.5;
    const double d = (1 - o) * (o - 0.0) * o;
    net.Train();
    const double e = (1 - h) * (d * 2.0) * h;  // with the weight before the step
    EXPECT_DOUBLE_EQ(net.WeightIH[0], -e);
    EXPECT_DOUBLE_EQ(net.WeightHO[0], 2.0 - d * h);
}

TEST_F(FeedFwd, ThreeLayerFileHasTheFixedLayout) {
    TFeedFwd3 net(3, 2, 4, 0.2, random);
    net.SaveToFile(File("net.dat"));
    const auto bytes = ReadFileBytes(File("net.dat"));
    ASSERT_EQ(bytes.size(), 270u + (2 + 4 + 3 * 2 + 2 * 4) * 8);
    EXPECT_EQ(bytes[0], 22);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 23), "Neural Net File QX 1.1");
    for (size_t i = 23; i < 256; ++i) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(At<int16_t>(bytes, 256), 3);
    EXPECT_EQ(At<int16_t>(bytes, 258), 2);
    EXPECT_EQ(At<int16_t>(bytes, 260), 4);
    EXPECT_EQ(At<double>(bytes, 262), 0.2);
    EXPECT_EQ(At<double>(bytes, 270), net.ThresholdH[0]);
    EXPECT_EQ(At<double>(bytes, 270 + 2 * 8), net.ThresholdO[0]);
    EXPECT_EQ(At<double>(bytes, 270 + 6 * 8 + 5 * 8), net.WeightIH[5]);  // input 2 to hidden 1
    EXPECT_EQ(At<double>(bytes, bytes.size() - 8), net.WeightHO[7]);     // hidden 1 to output 3
}

TEST_F(FeedFwd, SavingOverALongerFileKeepsItsTailAndLoadingReadsTheNewNetwork) {
    TFeedFwd3 big(20, 20, 20, 0.2, random), small(2, 3, 2, 0.7, random);
    big.SaveToFile(File("net.dat"));
    const auto old = ReadFileBytes(File("net.dat"));
    small.SaveToFile(File("net.dat"));
    const auto now = ReadFileBytes(File("net.dat"));
    ASSERT_EQ(now.size(), old.size());
    const auto image = small.FileImage();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), now.begin()));
    EXPECT_TRUE(std::equal(old.begin() + image.size(), old.end(), now.begin() + image.size()));

    TFeedFwd3 loaded(50, 50, 50, 0.2, random);
    loaded.LoadFromFile(File("net.dat"));
    EXPECT_EQ(loaded.InputCount(), 2);
    EXPECT_EQ(loaded.LearningRate(), 0.7);
    EXPECT_EQ(loaded.WeightHO, small.WeightHO);
    loaded.SetInput(0, 1);
    small.SetInput(0, 1);
    loaded.Forward();
    small.Forward();
    EXPECT_EQ(loaded.GetOutput(1), small.GetOutput(1));
}

TEST_F(FeedFwd, DamagedFilesAreRefusedWithFileAndOffsetAndLeaveTheNetworkAlone) {
    TFeedFwd3 net(2, 2, 2, 0.2, random);
    const auto image = net.FileImage();
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Bytes;
        const char* Expected;
    };
    auto withSize = [&](size_t offset, int16_t size) {
        auto b = image;
        std::memcpy(b.data() + offset, &size, 2);
        return b;
    };
    auto withDouble = [&](size_t offset, double value) {
        auto b = image;
        std::memcpy(b.data() + offset, &value, sizeof value);
        return b;
    };
    const std::vector<TCase> cases = {
        {"short.dat", std::vector<uint8_t>(image.begin(), image.begin() + 100), "offset 0"},
        {"huge.dat", withSize(258, 30000), "bad layer size 30000 at offset 258"},
        {"zero.dat", withSize(256, 0), "bad layer size 0 at offset 256"},
        {"negative.dat", withSize(260, -5), "bad layer size -5 at offset 260"},
        {"cut.dat", std::vector<uint8_t>(image.begin(), image.end() - 8),
         "more bytes expected at offset 270"},
        {"bigger.dat", withSize(256, 4000), "expected at offset 270"},
        {"nan.dat", withDouble(270 + 5 * 8, std::nan("")),
         "value is not a finite number (NaN) at offset 310"},
        {"inf.dat", withDouble(image.size() - 8, -HUGE_VAL),
         "value is not a finite number (infinite) at offset 358"},
        {"rate.dat", withDouble(262, HUGE_VAL), "(infinite) at offset 262"},
    };
    TFeedFwd3 victim(3, 3, 3, 0.2, random);
    const auto before = victim.FileImage();
    for (const auto& c : cases) {
        WriteBytes(File(c.Name), c.Bytes);
        const std::string error = test::ErrorOf([&] { victim.LoadFromFile(File(c.Name)); });
        EXPECT_NE(error.find(c.Name), std::string::npos) << c.Name << ": " << error;
        EXPECT_NE(error.find(c.Expected), std::string::npos) << c.Name << ": " << error;
        EXPECT_EQ(victim.FileImage(), before) << c.Name;
    }
    TFeedFwd4 deep(2, 2, 2, 1, 0.2, random);
    WriteBytes(File("deep.dat"), std::vector<uint8_t>(20, 0));
    EXPECT_THROW(deep.LoadFromFile(File("deep.dat")), EObrinError);
    auto deepImage = deep.FileImage();
    const double nan = std::nan("");
    std::memcpy(deepImage.data() + 20 + 3 * 8, &nan, sizeof nan);
    WriteBytes(File("terrnet.dat"), deepImage);
    EXPECT_EQ(test::ErrorOf([&] { deep.LoadFromFile(File("terrnet.dat")); }),
              File("terrnet.dat") + ": value is not a finite number (NaN) at offset 44");
    EXPECT_THROW(net.LoadFromFile(File("missing.dat")), EObrinError);
}

TEST_F(FeedFwd, FourLayerFileHasTheFixedLayoutAndRoundTrips) {
    TFeedFwd4 net(3, 4, 2, 1, 0.01, random);
    net.SaveToFile(File("terrnet.dat"));
    const auto bytes = ReadFileBytes(File("terrnet.dat"));
    ASSERT_EQ(bytes.size(), 20u + (4 + 2 + 1 + 3 * 4 + 4 * 2 + 2 * 1) * 8);
    EXPECT_EQ(At<int16_t>(bytes, 4), 3);
    EXPECT_EQ(At<int16_t>(bytes, 6), 4);
    EXPECT_EQ(At<int16_t>(bytes, 8), 2);
    EXPECT_EQ(At<int16_t>(bytes, 10), 1);
    EXPECT_EQ(At<double>(bytes, 12), 0.01);
    EXPECT_EQ(At<double>(bytes, 20), net.Threshold1[0]);
    EXPECT_EQ(At<double>(bytes, 20 + 4 * 8), net.Threshold2[0]);
    EXPECT_EQ(At<double>(bytes, 20 + 6 * 8), net.ThresholdO[0]);
    EXPECT_EQ(At<double>(bytes, 20 + 7 * 8), net.Weight1[0]);
    EXPECT_EQ(At<double>(bytes, 20 + 19 * 8), net.Weight2[0]);
    EXPECT_EQ(At<double>(bytes, bytes.size() - 8), net.WeightO[1]);

    auto other = bytes;
    other[0] = 'Z';  // the header field is ignored
    WriteBytes(File("other.dat"), other);
    TFeedFwd4 loaded(80, 8, 8, 1, 0.2, random);
    loaded.LoadFromFile(File("other.dat"));
    EXPECT_EQ(loaded.FileImage(), net.FileImage());
}

}  // namespace
}  // namespace obrin
