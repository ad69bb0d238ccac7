#include "patterns/pattern_context.h"

#include "patterns/handlers.h"

namespace obrin {

TPatternContext::TPatternContext(IHost& host) : TAnalysisContext(host) {
    RegisterPatternHandlers(Patterns);
    LoadPatterns(*this);
}

}  // namespace obrin
