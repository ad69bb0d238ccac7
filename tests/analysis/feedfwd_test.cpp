// The networks and their weight files; the classifier's training samples and their file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "analysis/datafiles.h"
#include "analysis/feedfwd3.h"
#include "analysis/feedfwd4.h"
#include "analysis/testdata.h"
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

// The training samples of the classifier and their file.
class TestData : public ::testing::Test {
  protected:
    test::TTempDir dir;
    std::string File(const char* name) const { return (dir / name).string(); }

    static TTestData TwoSamples() {
        TTestData d;
        d.SetInputCount(27);
        d.SetOutputCount(50);
        for (int s = 0; s < 2; ++s) {
            for (int i = 0; i < 27; ++i) d.SetInput(i, s + i / 100.0);
            for (int k = 0; k < 50; ++k) d.SetOutput(k, s - k / 100.0);
            d.AddSample();
        }
        return d;
    }
};

TEST_F(TestData, TwoSamplesMakeAFileOf1240BytesThatRoundTrips) {
    TTestData d = TwoSamples();
    d.SaveToFile(File("training.dat"));
    const auto bytes = ReadFileBytes(File("training.dat"));
    ASSERT_EQ(bytes.size(), 1240u);
    int16_t in, out;
    int32_t count;
    std::memcpy(&in, bytes.data(), 2);
    std::memcpy(&out, bytes.data() + 2, 2);
    std::memcpy(&count, bytes.data() + 4, 4);
    EXPECT_EQ(in, 27);
    EXPECT_EQ(out, 50);
    EXPECT_EQ(count, 2);
    double firstOutputOfSecond;
    std::memcpy(&firstOutputOfSecond, bytes.data() + 8 + 77 * 8 + 27 * 8, 8);
    EXPECT_EQ(firstOutputOfSecond, 1.0);

    TTestData loaded;
    loaded.LoadFromFile(File("training.dat"));
    EXPECT_EQ(loaded.GetSampleCount(), 2);
    loaded.GetSample(1);
    EXPECT_EQ(loaded.GetInput(26), 1.26);
    EXPECT_EQ(loaded.GetOutput(49), 1 - 0.49);
    loaded.AddSample();  // appends right after the loaded samples
    EXPECT_EQ(loaded.Stream().size(), 8u + 3 * 77 * 8);
}

TEST_F(TestData, OutOfRangeAccessIsHarmless) {
    TTestData d = TwoSamples();
    d.GetSample(0);
    d.GetSample(2);  // equal to the count: nothing changes
    EXPECT_EQ(d.GetInput(5), 0.05);
    d.GetSample(-1);
    EXPECT_EQ(d.GetInput(5), 0.05);
    d.SetInput(27, 9.0);
    d.SetOutput(-1, 9.0);
    EXPECT_EQ(d.GetInput(27), 0.0);
    EXPECT_EQ(d.GetOutput(50), 0.0);
    TTestData empty;
    empty.GetRandomSample([](int) -> int { throw std::logic_error("no samples to draw from"); });
}

TEST_F(TestData, DamagedFilesAreRefusedAndTheSetIsKept) {
    TTestData d = TwoSamples();
    d.SaveToFile(File("good.dat"));
    auto bytes = ReadFileBytes(File("good.dat"));
    bytes[4] = 3;  // claims a third sample that is not there
    std::ofstream(File("short.dat"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    TTestData victim = TwoSamples();
    const std::string error = test::ErrorOf([&] { victim.LoadFromFile(File("short.dat")); });
    EXPECT_NE(error.find("short.dat"), std::string::npos) << error;
    EXPECT_NE(error.find("offset 8"), std::string::npos) << error;
    EXPECT_EQ(victim.GetSampleCount(), 2);
    bytes[4] = 0xff;
    bytes[7] = 0xff;  // a negative count
    std::ofstream(File("neg.dat"), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    EXPECT_THROW(victim.LoadFromFile(File("neg.dat")), EObrinError);
}

}  // namespace
}  // namespace obrin
