// TFeedFwd4: a multilayer perceptron with two hidden layers, trained by plain gradient descent
// on the squared output error. It evaluates territory. Unlike TFeedFwd3 its Train keeps no copy
// of the weights: a hidden layer's error terms see the outgoing weights already updated.
// Invariant: every array has the length its layer sizes give; Forward and Train allocate nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/feedfwd3.h"

namespace obrin {

class TFeedFwd4 {
  public:
    TFeedFwd4(int16_t nIn, int16_t nHid1, int16_t nHid2, int16_t nOut, double learningRate,
              const TUniformRandom& random);

    void AllocArrays();
    void FreeArrays();
    // Clears every array, then draws thresholds (first hidden, second hidden, output) and the
    // three weight matrices in layer and index order uniformly from [-0.5, 0.5).
    void InitWeights(const TUniformRandom& random);
    [[nodiscard]] double Sigmoid(double x) const;
    // Throws EFloatingPoint when an output is not finite.
    void Forward();
    void Train();
    // Forward for up to BatchSize input vectors at once: inputs holds count rows of InputCount()
    // values, outputs receives count rows of OutputCount() values, each equal to what Forward
    // gives for that row. Does not touch the current activations; allocates nothing.
    static constexpr int BatchSize = 8;
    void ForwardBatch(const double* inputs, int count, double* outputs);
    void SetInput(int i, double value) { m_in[i] = value; }
    void SetTarget(int i, double value) { m_target[i] = value; }
    [[nodiscard]] double GetOutput(int i) const { return m_out[i]; }
    void SetLearningRate(double rate) { m_rate = rate; }
    // Writes the network over the file from its start; a longer old file keeps its tail.
    void SaveToFile(const std::string& fileName) const;
    // A damaged file throws EObrinError naming file and offset and leaves the network unchanged.
    void LoadFromFile(const std::string& fileName);

    [[nodiscard]] int InputCount() const { return m_nIn; }
    [[nodiscard]] int Hidden1Count() const { return m_nHid1; }
    [[nodiscard]] int Hidden2Count() const { return m_nHid2; }
    [[nodiscard]] int OutputCount() const { return m_nOut; }
    [[nodiscard]] double LearningRate() const { return m_rate; }
    [[nodiscard]] std::vector<uint8_t> FileImage() const;

    // Parameters in file order.
    std::vector<double> Threshold1, Threshold2, ThresholdO;
    std::vector<double> Weight1;  // input i to first hidden j at i*nHid1 + j
    std::vector<double> Weight2;  // first hidden i to second hidden j at i*nHid2 + j
    std::vector<double> WeightO;  // second hidden i to output j at i*nOut + j

  private:
    int16_t m_nIn, m_nHid1, m_nHid2, m_nOut;
    double m_rate;
    std::vector<double> m_in, m_hid1, m_hid2, m_out;
    std::vector<double> m_target, m_err1, m_err2, m_errO;
    std::vector<double> m_batch1, m_batch2;  // hidden activations of a batch
};

}  // namespace obrin
