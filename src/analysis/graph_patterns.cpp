#include "analysis/graph.h"
#include "game/engine.h"
#include "patterns/muster.h"

namespace obrin {

// The pattern matcher runs here over the graph: its handlers link enemy groups, add eye
// candidates, set short routes and raise status through the graph's public look-ups.
void RecogniseGraphPatterns(TEngine& engine) {
    MatchPatterns(engine);
}

}  // namespace obrin
