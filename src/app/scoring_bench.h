// Whether the final count agrees with itself ("bench scoring"): the stones a count lists dead are
// taken off as prisoners and the position left is counted again.
#pragma once

#include "app/subcommand.h"

namespace obrin::cli {

int BenchScoring(const Args& args);
// The final count's dead and seki stones against the teacher's on the final positions of the
// teacher games ("bench endcount").
int BenchEndCount(const Args& args);

}  // namespace obrin::cli
