#include "game/engine.h"

#include "analysis/datafiles.h"
#include "game/movedriver.h"

namespace obrin {

TEngine::TEngine(IHost& host) : TPatternContext(host) {
    ComputerMove = [this] { return obrin::ComputerMove(*this); };
}

TEngine::~TEngine() = default;

TGoalDebugger& TEngine::GoalDebugger() {
    if (!m_goalDebugger)
        m_goalDebugger = std::make_unique<TGoalDebugger>(DataFilePath(GoalTraceFileName, true),
                                                         Settings.ZieleProtokollieren);
    return *m_goalDebugger;
}

void TEngine::Shutdown() {
    RuleManager->Destroy();
    Pool.Destroy();
}

}  // namespace obrin
