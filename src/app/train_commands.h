// "obrin-cli train ...": the pipeline that builds the classifier's shipped data (positions from
// GNU Go games, samples, weights) and measures its quality on held-out games.
#pragma once

#include <map>
#include <string>

#include "app/subcommand.h"

namespace obrin::train {

[[nodiscard]] std::map<std::string, cli::TSubcommand> TrainCommands();

}  // namespace obrin::train
