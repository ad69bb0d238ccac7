#include "analysis/graph.h"

namespace obrin {

// The pattern matcher runs here over the graph: its handlers link enemy groups, add eye
// candidates, set short routes and raise status through the graph's public look-ups. Until the
// pattern library is in place there is nothing to match.
void RecogniseGraphPatterns(TEngine& engine) {
    (void)engine;
}

}  // namespace obrin
