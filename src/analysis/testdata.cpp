#include "analysis/testdata.h"

#include <cstring>

#include "analysis/datafiles.h"
#include "analysis/feedfwd3.h"
#include "board/errors.h"

namespace obrin {
namespace {

constexpr size_t HeaderSize = 8;

}  // namespace

TTestData::TTestData() {
    Clear();
}

void TTestData::SetInputCount(int n) {
    m_inputCount = static_cast<int16_t>(n);
    m_input.assign(m_inputCount, 0.0);
}

void TTestData::SetOutputCount(int n) {
    m_outputCount = static_cast<int16_t>(n);
    m_output.assign(m_outputCount, 0.0);
}

void TTestData::SetInput(int i, double v) {
    if (i >= 0 && i < m_inputCount) m_input[i] = v;
}
void TTestData::SetOutput(int i, double v) {
    if (i >= 0 && i < m_outputCount) m_output[i] = v;
}
double TTestData::GetInput(int i) const {
    return i >= 0 && i < m_inputCount ? m_input[i] : 0.0;
}
double TTestData::GetOutput(int i) const {
    return i >= 0 && i < m_outputCount ? m_output[i] : 0.0;
}

size_t TTestData::SampleBytes() const {
    return (static_cast<size_t>(m_inputCount) + m_outputCount) * sizeof(double);
}

void TTestData::Clear() {
    if (m_stream.size() < HeaderSize) m_stream.resize(HeaderSize);
    std::memcpy(m_stream.data(), &m_inputCount, 2);
    std::memcpy(m_stream.data() + 2, &m_outputCount, 2);
    std::memcpy(m_stream.data() + 4, &m_sampleCount, 4);
}

void TTestData::AddSample() {
    TByteWriter w(m_stream);
    w.PutDoubles(m_input);
    w.PutDoubles(m_output);
    ++m_sampleCount;
}

void TTestData::GetSample(int k) {
    if (k < 0 || k >= m_sampleCount) return;
    const size_t at = HeaderSize + static_cast<size_t>(k) * SampleBytes();
    // Counts changed after samples were added would point past the stream: leave the vectors.
    if (at + SampleBytes() > m_stream.size()) return;
    std::memcpy(m_input.data(), m_stream.data() + at, m_input.size() * sizeof(double));
    std::memcpy(m_output.data(), m_stream.data() + at + m_input.size() * sizeof(double),
                m_output.size() * sizeof(double));
}

void TTestData::GetRandomSample(const std::function<int(int)>& randomBelow) {
    if (m_sampleCount > 0) GetSample(randomBelow(m_sampleCount));
}

void TTestData::SaveToFile(const std::string& fileName) {
    Clear();
    WriteFileAtomically(fileName, m_stream);
}

void TTestData::LoadFromFile(const std::string& fileName, std::uintmax_t limit) {
    std::vector<uint8_t> bytes = ReadFileBytes(fileName, limit);
    TByteReader r(bytes, fileName);
    const int16_t inputs = r.Get<int16_t>(), outputs = r.Get<int16_t>();
    if (inputs < 0 || inputs > MaxLayerSize) r.Fail("bad input count " + std::to_string(inputs), 0);
    if (outputs < 0 || outputs > MaxLayerSize)
        r.Fail("bad output count " + std::to_string(outputs), 2);
    const int32_t samples = r.Get<int32_t>();
    if (samples < 0) r.Fail("bad sample count " + std::to_string(samples), 4);
    r.Need(static_cast<size_t>(samples) * (static_cast<size_t>(inputs) + outputs) * sizeof(double));
    // Bytes after the last counted sample are no samples; appending goes right after it.
    bytes.resize(HeaderSize + static_cast<size_t>(samples) *
                                  (static_cast<size_t>(inputs) + outputs) * sizeof(double));
    m_stream = std::move(bytes);
    SetInputCount(inputs);
    SetOutputCount(outputs);
    m_sampleCount = samples;
}

}  // namespace obrin
