#include "game/engine.h"

#include <chrono>

namespace obrin {

void TRandom::Randomize() {
    if (m_fixed) return;
    m_gen.seed(static_cast<uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

TEngine::TEngine(IHost& host) : Host(host), Container(std::make_unique<TFieldContainer>()) {}

TEngine::~TEngine() = default;

void TEngine::Shutdown() { Pool.Destroy(); }

}  // namespace obrin
