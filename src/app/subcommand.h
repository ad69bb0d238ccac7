// One obrin-cli subcommand: its usage line and what it runs with the remaining arguments.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace obrin::cli {

using Args = std::vector<std::string>;

struct TSubcommand {
    std::string Usage;
    std::function<int(const Args&)> Run;
};

}  // namespace obrin::cli
