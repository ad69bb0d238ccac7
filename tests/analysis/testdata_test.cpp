#include "analysis/testdata.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "analysis/datafiles.h"
#include "board/errors.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

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
