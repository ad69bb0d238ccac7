// The arithmetic both perceptrons share: a sigmoid layer forward, the error terms and the
// weight update of plain back-propagation, and the pieces of their weight files.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/datafiles.h"

namespace obrin::netmath {

[[nodiscard]] inline double Sigmoid(double x) {
    return 1.0 / (1.0 + std::exp(-x));
}

// out[j] = Sigmoid(sum_i w[i*n + j] * in[i] - threshold[j]) with n = out.size(). The loop runs
// over sources outermost so the inner loop reads a weight row in order.
void ForwardLayer(const std::vector<double>& in, const std::vector<double>& w,
                  const std::vector<double>& threshold, std::vector<double>& out);
// The same for count input vectors at once (in: count rows of in.size()/count values, out: count
// rows of threshold.size() values). Each weight row is read once for all of them, which matters
// when the matrix does not fit the cache; every sum keeps the order of ForwardLayer.
void ForwardLayerBatch(const double* in, size_t nIn, size_t count, const std::vector<double>& w,
                       const std::vector<double>& threshold, double* out);
// Throws EFloatingPoint unless every value is finite.
void CheckFinite(const std::vector<double>& values);
// d_k = (1 - o_k) * (o_k - t_k) * o_k.
void OutputErrors(const std::vector<double>& out, const std::vector<double>& target,
                  std::vector<double>& err);
// e_j = (1 - h_j) * h_j * sum_k err_k * w[j*n + k].
void HiddenErrors(const std::vector<double>& hidden, const std::vector<double>& err,
                  const std::vector<double>& w, std::vector<double>& hiddenErr);
// w[i*n + j] -= rate * err_j * in_i; threshold_j += rate * err_j.
void UpdateLayer(const std::vector<double>& in, const std::vector<double>& err, double rate,
                 std::vector<double>& w, std::vector<double>& threshold);

// A layer size from a weight file: positive and at most MaxLayerSize, else an error naming the
// file and the offset.
[[nodiscard]] int16_t GetLayerSize(TByteReader& r);
// Writes image over the start of the file; bytes of a longer old file beyond it stay as they were.
void SaveOverExisting(const std::string& fileName, const std::vector<uint8_t>& image);

}  // namespace obrin::netmath
