// TTestData: a set of training samples (input vector, output vector) kept as the exact image of
// its sample file: an 8-byte header (input count, output count, sample count) followed by the
// samples as doubles. Invariant: the current vectors have the current counts' lengths; samples
// 0 .. SampleCount-1 lie inside the stream.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/safefile.h"

namespace obrin {

class TTestData {
  public:
    TTestData();

    void SetInputCount(int n);
    void SetOutputCount(int n);
    [[nodiscard]] int InputCount() const { return m_inputCount; }
    [[nodiscard]] int OutputCount() const { return m_outputCount; }

    void SetInput(int i, double v);
    void SetOutput(int i, double v);
    [[nodiscard]] double GetInput(int i) const;
    [[nodiscard]] double GetOutput(int i) const;

    // Writes the header (counts and sample count) at the start of the stream.
    void Clear();
    // Appends the current vectors at the end of the stream.
    void AddSample();
    // Reads sample k into the current vectors; does nothing when k is out of range.
    void GetSample(int k);
    // GetSample of a uniformly random index; randomBelow(n) gives 0 .. n-1.
    void GetRandomSample(const std::function<int(int)>& randomBelow);
    [[nodiscard]] int GetSampleCount() const { return m_sampleCount; }

    void SaveToFile(const std::string& fileName);
    // A damaged file throws EObrinError naming file and offset and leaves the set as it was.
    void LoadFromFile(const std::string& fileName, std::uintmax_t limit = MaxReadFileSize);
    [[nodiscard]] const std::vector<uint8_t>& Stream() const { return m_stream; }

  private:
    [[nodiscard]] size_t SampleBytes() const;

    int16_t m_inputCount = 0, m_outputCount = 0;
    std::vector<uint8_t> m_stream;
    std::vector<double> m_input, m_output;
    int32_t m_sampleCount = 0;
};

}  // namespace obrin
