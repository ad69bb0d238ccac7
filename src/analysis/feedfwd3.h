// TFeedFwd3: a multilayer perceptron with one hidden layer (input, hidden, output), trained by
// plain gradient descent on the squared output error. It classifies board points.
// Invariant: every array has the length its layer sizes give; Forward and Train allocate nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace obrin {

// Uniform random numbers in [0, 1) for the initial weights.
using TUniformRandom = std::function<double()>;

// The largest layer the weight files may ask for; bigger sizes mark a damaged or foreign file.
constexpr int MaxLayerSize = 4096;

class TFeedFwd3 {
  public:
    TFeedFwd3(int16_t ni, int16_t nh, int16_t no, double learningRate,
              const TUniformRandom& random);
    virtual ~TFeedFwd3() = default;

    // Clears every array, then draws thresholds (hidden, output) and weights (input-to-hidden,
    // hidden-to-output, in index order) uniformly from [-0.5, 0.5).
    virtual void InitWeights(const TUniformRandom& random);
    [[nodiscard]] virtual double Sigmoid(double x) const;
    virtual void AllocArrays();
    virtual void FreeArrays();
    // Hidden and output activations from the current inputs; throws EFloatingPoint when a value
    // is not finite.
    virtual void Forward();
    // One gradient step towards the targets, from the activations of the last Forward.
    virtual void Train();
    // Forward for up to BatchSize input vectors at once (count rows of InputCount() values);
    // outputs receives count rows of OutputCount() values, each equal to Forward's for that row.
    // The current activations stay as they were; nothing is allocated.
    static constexpr int BatchSize = 8;
    void ForwardBatch(const double* inputs, int count, double* outputs);
    virtual void SetInput(int i, double value) { m_input[i] = value; }
    [[nodiscard]] virtual double GetInput(int i) const { return m_input[i]; }
    virtual void SetTarget(int i, double value) { m_target[i] = value; }
    [[nodiscard]] virtual double GetOutput(int i) const { return m_output[i]; }
    [[nodiscard]] virtual double GetTarget(int i) const { return m_target[i]; }
    virtual void SetLearningRate(double rate) { m_rate = rate; }
    // Writes the network over the file from its start; a longer old file keeps its tail.
    virtual void SaveToFile(const std::string& fileName) const;
    // Reads a network file. A damaged file (bad sizes, too short) throws EObrinError naming the
    // file and offset and leaves this network as it was.
    virtual void LoadFromFile(const std::string& fileName);

    [[nodiscard]] int InputCount() const { return m_ni; }
    [[nodiscard]] int OutputCount() const { return m_no; }
    [[nodiscard]] double LearningRate() const { return m_rate; }

    // The file image (for tests and the atomic save).
    [[nodiscard]] std::vector<uint8_t> FileImage() const;

    // Parameters in file order, for tests and tools.
    std::vector<double> ThresholdH, ThresholdO;
    std::vector<double> WeightIH;  // input i to hidden j at i*nh + j
    std::vector<double> WeightHO;  // hidden j to output k at j*no + k

  private:
    int16_t m_ni, m_nh, m_no;
    double m_rate;
    std::vector<double> m_input, m_hidden, m_output;
    std::vector<double> m_copyHO;  // hidden-to-output weights before the current step
    std::vector<double> m_target, m_errorH, m_errorO;
    std::vector<double> m_batchH;  // hidden activations of a batch
};

}  // namespace obrin
