#include "analysis/feedfwd4.h"

#include <algorithm>
#include <cmath>

#include "analysis/datafiles.h"
#include "analysis/netmath.h"
#include "board/errors.h"

namespace obrin {
namespace {

// The four bytes before the sizes; readers ignore them.
constexpr uint8_t HeaderField[4] = {'Q', 'X', 'F', '4'};

}  // namespace

TFeedFwd4::TFeedFwd4(int16_t nIn, int16_t nHid1, int16_t nHid2, int16_t nOut, double learningRate,
                     const TUniformRandom& random)
    : m_nIn(nIn), m_nHid1(nHid1), m_nHid2(nHid2), m_nOut(nOut), m_rate(learningRate) {
    AllocArrays();
    InitWeights(random);
}

void TFeedFwd4::AllocArrays() {
    m_in.assign(m_nIn, 0.0);
    m_hid1.assign(m_nHid1, 0.0);
    m_hid2.assign(m_nHid2, 0.0);
    m_out.assign(m_nOut, 0.0);
    Threshold1.assign(m_nHid1, 0.0);
    Threshold2.assign(m_nHid2, 0.0);
    ThresholdO.assign(m_nOut, 0.0);
    Weight1.assign(static_cast<size_t>(m_nIn) * m_nHid1, 0.0);
    Weight2.assign(static_cast<size_t>(m_nHid1) * m_nHid2, 0.0);
    WeightO.assign(static_cast<size_t>(m_nHid2) * m_nOut, 0.0);
    m_target.assign(m_nOut, 0.0);
    m_err1.assign(m_nHid1, 0.0);
    m_err2.assign(m_nHid2, 0.0);
    m_errO.assign(m_nOut, 0.0);
    m_batch1.assign(static_cast<size_t>(BatchSize) * m_nHid1, 0.0);
    m_batch2.assign(static_cast<size_t>(BatchSize) * m_nHid2, 0.0);
}

void TFeedFwd4::FreeArrays() {
    for (auto* v :
         {&m_in, &m_hid1, &m_hid2, &m_out, &Threshold1, &Threshold2, &ThresholdO, &Weight1,
          &Weight2, &WeightO, &m_target, &m_err1, &m_err2, &m_errO, &m_batch1, &m_batch2})
        v->clear();
}

void TFeedFwd4::InitWeights(const TUniformRandom& random) {
    AllocArrays();
    for (auto* v : {&Threshold1, &Threshold2, &ThresholdO, &Weight1, &Weight2, &WeightO})
        for (double& w : *v) w = random() * 2 * 0.5 - 0.5;
}

double TFeedFwd4::Sigmoid(double x) const {
    return netmath::Sigmoid(x);
}

void TFeedFwd4::Forward() {
    netmath::ForwardLayer(m_in, Weight1, Threshold1, m_hid1);
    netmath::ForwardLayer(m_hid1, Weight2, Threshold2, m_hid2);
    netmath::ForwardLayer(m_hid2, WeightO, ThresholdO, m_out);
    netmath::CheckFinite(m_out);
}

void TFeedFwd4::ForwardBatch(const double* inputs, int count, double* outputs) {
    const size_t n = static_cast<size_t>(std::min(count, BatchSize));
    netmath::ForwardLayerBatch(inputs, m_nIn, n, Weight1, Threshold1, m_batch1.data());
    netmath::ForwardLayerBatch(m_batch1.data(), m_nHid1, n, Weight2, Threshold2, m_batch2.data());
    netmath::ForwardLayerBatch(m_batch2.data(), m_nHid2, n, WeightO, ThresholdO, outputs);
    for (size_t k = 0; k < n * m_nOut; ++k)
        if (!std::isfinite(outputs[k])) throw EFloatingPoint(msg::FloatingPointError);
}

void TFeedFwd4::Train() {
    netmath::OutputErrors(m_out, m_target, m_errO);
    netmath::UpdateLayer(m_hid2, m_errO, m_rate, WeightO, ThresholdO);
    netmath::HiddenErrors(m_hid2, m_errO, WeightO, m_err2);
    netmath::UpdateLayer(m_hid1, m_err2, m_rate, Weight2, Threshold2);
    netmath::HiddenErrors(m_hid1, m_err2, Weight2, m_err1);
    netmath::UpdateLayer(m_in, m_err1, m_rate, Weight1, Threshold1);
}

std::vector<uint8_t> TFeedFwd4::FileImage() const {
    std::vector<uint8_t> bytes(std::begin(HeaderField), std::end(HeaderField));
    TByteWriter w(bytes);
    w.Put(m_nIn);
    w.Put(m_nHid1);
    w.Put(m_nHid2);
    w.Put(m_nOut);
    w.Put(m_rate);
    for (const auto* v : {&Threshold1, &Threshold2, &ThresholdO, &Weight1, &Weight2, &WeightO})
        w.PutDoubles(*v);
    return bytes;
}

void TFeedFwd4::SaveToFile(const std::string& fileName) const {
    netmath::SaveOverExisting(fileName, FileImage());
}

void TFeedFwd4::LoadFromFile(const std::string& fileName) {
    const std::vector<uint8_t> bytes = ReadFileBytes(fileName);
    TByteReader r(bytes, fileName);
    r.Skip(sizeof HeaderField);
    const int16_t nIn = netmath::GetLayerSize(r), nHid1 = netmath::GetLayerSize(r);
    const int16_t nHid2 = netmath::GetLayerSize(r), nOut = netmath::GetLayerSize(r);
    r.NeedFiniteDoubles(1);
    const double rate = r.Get<double>();
    const size_t doubles = static_cast<size_t>(nHid1) + nHid2 + nOut +
                           static_cast<size_t>(nIn) * nHid1 + static_cast<size_t>(nHid1) * nHid2 +
                           static_cast<size_t>(nHid2) * nOut;
    r.NeedFiniteDoubles(doubles);
    FreeArrays();
    m_nIn = nIn;
    m_nHid1 = nHid1;
    m_nHid2 = nHid2;
    m_nOut = nOut;
    m_rate = rate;
    AllocArrays();
    for (auto* v : {&Threshold1, &Threshold2, &ThresholdO, &Weight1, &Weight2, &WeightO})
        r.GetDoubles(*v);
}

}  // namespace obrin
