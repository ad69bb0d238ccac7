#include "patterns/pattern_context.h"

#include <filesystem>

#include "analysis/datafiles.h"
#include "board/errors.h"
#include "patterns/handlers.h"

namespace obrin {

TPatternContext::TPatternContext(IHost& host) : TAnalysisContext(host) {
    RegisterPatternHandlers(Patterns);
    LoadPatterns(*this);
    LoadPredictor();
}

void TPatternContext::LoadPredictor() {
    const std::filesystem::path path = DataFilePath(PredictorFile);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    try {
        Predictor.LoadFromFile(path.string());
    } catch (const EObrinError& e) {
        Predictor = TMovePredictor();
        Host.ShowMessage(e.what());
    }
}

}  // namespace obrin
