#include "analysis/netmath.h"

#include <algorithm>
#include <filesystem>

#include "analysis/feedfwd3.h"
#include "board/errors.h"

namespace obrin::netmath {

void ForwardLayer(const std::vector<double>& in, const std::vector<double>& w,
                  const std::vector<double>& threshold, std::vector<double>& out) {
    // Each output sums its inputs in input order, so running over outputs side by side (the
    // compiler vectorises the inner loop) gives exactly the sums of the plain loop.
    const size_t n = out.size();
    double* __restrict sum = out.data();
    for (size_t j = 0; j < n; ++j) sum[j] = 0.0;
    const double* __restrict row = w.data();
    for (size_t i = 0; i < in.size(); ++i, row += n) {
        const double a = in[i];
        for (size_t j = 0; j < n; ++j) sum[j] += row[j] * a;
    }
    for (size_t j = 0; j < n; ++j) sum[j] = Sigmoid(sum[j] - threshold[j]);
}

void ForwardLayerBatch(const double* in, size_t nIn, size_t count, const std::vector<double>& w,
                       const std::vector<double>& threshold, double* out) {
    const size_t n = threshold.size();
    for (size_t k = 0; k < count * n; ++k) out[k] = 0.0;
    const double* __restrict row = w.data();
    for (size_t i = 0; i < nIn; ++i, row += n)
        for (size_t b = 0; b < count; ++b) {
            const double a = in[b * nIn + i];
            double* __restrict sum = out + b * n;
            for (size_t j = 0; j < n; ++j) sum[j] += row[j] * a;
        }
    for (size_t b = 0; b < count; ++b)
        for (size_t j = 0; j < n; ++j) out[b * n + j] = Sigmoid(out[b * n + j] - threshold[j]);
}

void CheckFinite(const std::vector<double>& values) {
    for (const double v : values)
        if (!std::isfinite(v)) throw EFloatingPoint(msg::FloatingPointError);
}

void OutputErrors(const std::vector<double>& out, const std::vector<double>& target,
                  std::vector<double>& err) {
    for (size_t k = 0; k < out.size(); ++k) err[k] = (1 - out[k]) * (out[k] - target[k]) * out[k];
}

void HiddenErrors(const std::vector<double>& hidden, const std::vector<double>& err,
                  const std::vector<double>& w, std::vector<double>& hiddenErr) {
    const size_t n = err.size();
    for (size_t j = 0; j < hidden.size(); ++j) {
        double e = 0.0;
        for (size_t k = 0; k < n; ++k) e += err[k] * w[j * n + k];
        hiddenErr[j] = (1 - hidden[j]) * e * hidden[j];
    }
}

void UpdateLayer(const std::vector<double>& in, const std::vector<double>& err, double rate,
                 std::vector<double>& w, std::vector<double>& threshold) {
    const size_t n = err.size();
    for (size_t i = 0; i < in.size(); ++i) {
        double* row = w.data() + i * n;
        for (size_t j = 0; j < n; ++j) row[j] -= rate * err[j] * in[i];
    }
    for (size_t j = 0; j < n; ++j) threshold[j] += rate * err[j];
}

int16_t GetLayerSize(TByteReader& r) {
    const size_t at = r.Position();
    const int16_t n = r.Get<int16_t>();
    if (n <= 0 || n > MaxLayerSize) r.Fail("bad layer size " + std::to_string(n), at);
    return n;
}

void SaveOverExisting(const std::string& fileName, const std::vector<uint8_t>& image) {
    std::vector<uint8_t> bytes;
    std::error_code ec;
    if (std::filesystem::exists(fileName, ec)) bytes = ReadFileBytes(fileName);
    if (bytes.size() < image.size()) bytes.resize(image.size());
    std::copy(image.begin(), image.end(), bytes.begin());
    WriteFileAtomically(fileName, bytes);
}

}  // namespace obrin::netmath
