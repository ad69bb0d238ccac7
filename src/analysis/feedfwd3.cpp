#include "analysis/feedfwd3.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "analysis/datafiles.h"
#include "analysis/netmath.h"
#include "board/errors.h"

namespace obrin {
namespace {

constexpr const char* Header = "Neural Net File QX 1.1";
constexpr size_t HeaderSize = 256;

}  // namespace

TFeedFwd3::TFeedFwd3(int16_t ni, int16_t nh, int16_t no, double learningRate,
                     const TUniformRandom& random)
    : m_ni(ni), m_nh(nh), m_no(no), m_rate(learningRate) {
    AllocArrays();
    InitWeights(random);
}

void TFeedFwd3::AllocArrays() {
    m_input.assign(m_ni, 0.0);
    m_hidden.assign(m_nh, 0.0);
    m_output.assign(m_no, 0.0);
    ThresholdH.assign(m_nh, 0.0);
    ThresholdO.assign(m_no, 0.0);
    WeightIH.assign(static_cast<size_t>(m_ni) * m_nh, 0.0);
    WeightHO.assign(static_cast<size_t>(m_nh) * m_no, 0.0);
    m_copyHO.assign(WeightHO.size(), 0.0);
    m_target.assign(m_no, 0.0);
    m_errorH.assign(m_nh, 0.0);
    m_errorO.assign(m_no, 0.0);
    m_batchH.assign(static_cast<size_t>(BatchSize) * m_nh, 0.0);
}

void TFeedFwd3::FreeArrays() {
    for (auto* v : {&m_input, &m_hidden, &m_output, &ThresholdH, &ThresholdO, &WeightIH, &WeightHO,
                    &m_copyHO, &m_target, &m_errorH, &m_errorO, &m_batchH})
        v->clear();
}

void TFeedFwd3::InitWeights(const TUniformRandom& random) {
    AllocArrays();
    for (auto* v : {&ThresholdH, &ThresholdO, &WeightIH, &WeightHO})
        for (double& w : *v) w = random() * 2 * 0.5 - 0.5;
}

double TFeedFwd3::Sigmoid(double x) const {
    return netmath::Sigmoid(x);
}

void TFeedFwd3::Forward() {
    netmath::ForwardLayer(m_input, WeightIH, ThresholdH, m_hidden);
    netmath::ForwardLayer(m_hidden, WeightHO, ThresholdO, m_output);
    netmath::CheckFinite(m_output);
}

void TFeedFwd3::ForwardBatch(const double* inputs, int count, double* outputs) {
    const size_t n = static_cast<size_t>(std::min(count, BatchSize));
    netmath::ForwardLayerBatch(inputs, m_ni, n, WeightIH, ThresholdH, m_batchH.data());
    netmath::ForwardLayerBatch(m_batchH.data(), m_nh, n, WeightHO, ThresholdO, outputs);
}

void TFeedFwd3::Train() {
    std::copy(WeightHO.begin(), WeightHO.end(), m_copyHO.begin());
    netmath::OutputErrors(m_output, m_target, m_errorO);
    netmath::UpdateLayer(m_hidden, m_errorO, m_rate, WeightHO, ThresholdO);
    netmath::HiddenErrors(m_hidden, m_errorO, m_copyHO, m_errorH);
    netmath::UpdateLayer(m_input, m_errorH, m_rate, WeightIH, ThresholdH);
}

std::vector<uint8_t> TFeedFwd3::FileImage() const {
    std::vector<uint8_t> bytes(HeaderSize, 0);
    const std::string header = Header;
    bytes[0] = static_cast<uint8_t>(header.size());
    std::copy(header.begin(), header.end(), bytes.begin() + 1);
    TByteWriter w(bytes);
    w.Put(m_ni);
    w.Put(m_nh);
    w.Put(m_no);
    w.Put(m_rate);
    for (const auto* v : {&ThresholdH, &ThresholdO, &WeightIH, &WeightHO}) w.PutDoubles(*v);
    return bytes;
}

void TFeedFwd3::SaveToFile(const std::string& fileName) const {
    netmath::SaveOverExisting(fileName, FileImage());
}

void TFeedFwd3::LoadFromFile(const std::string& fileName) {
    const std::vector<uint8_t> bytes = ReadFileBytes(fileName);
    TByteReader r(bytes, fileName);
    r.Skip(HeaderSize);
    const int16_t ni = netmath::GetLayerSize(r), nh = netmath::GetLayerSize(r),
                  no = netmath::GetLayerSize(r);
    r.NeedFiniteDoubles(1);
    const double rate = r.Get<double>();
    const size_t doubles =
        static_cast<size_t>(nh) + no + static_cast<size_t>(ni) * nh + static_cast<size_t>(nh) * no;
    r.NeedFiniteDoubles(doubles);
    // The file is sound: only now does this network change.
    FreeArrays();
    m_ni = ni;
    m_nh = nh;
    m_no = no;
    m_rate = rate;
    AllocArrays();
    for (auto* v : {&ThresholdH, &ThresholdO, &WeightIH, &WeightHO}) r.GetDoubles(*v);
}

}  // namespace obrin
