// Whether the final count agrees with itself ("bench scoring"): the stones a count lists dead are
// taken off as prisoners and the position left is counted again.
#pragma once

#include "app/subcommand.h"

namespace obrin::cli {

int BenchScoring(const Args& args);

}  // namespace obrin::cli
