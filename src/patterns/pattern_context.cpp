#include "patterns/pattern_context.h"

#include "analysis/datafiles.h"
#include "patterns/handlers.h"

namespace obrin {

TPatternContext::TPatternContext(IHost& host) : TAnalysisContext(host) {
    RegisterPatternHandlers(Patterns);
    LoadPatterns(*this);
    LoadIfPresent(Predictor, PredictorFile, Host);
}

}  // namespace obrin
