// The options of obrin-cli's subcommands: "--name value" pairs among the arguments.
#pragma once

#include <string>

#include "app/subcommand.h"

namespace obrin::cli {

// The value after the last "--name"; fallback when the option is absent.
[[nodiscard]] std::string Option(const Args& args, const std::string& name, std::string fallback);

// Is the flag among the arguments?
[[nodiscard]] bool HasOption(const Args& args, const std::string& name);

// "--name N" as a whole number; fallback when the option is absent. Text that is not a whole
// number throws std::runtime_error naming the option ("--games takes a whole number, not 3x"):
// a misspelt value never runs silently with the default.
[[nodiscard]] long long NumberOption(const Args& args, const std::string& name, long long fallback);

// The same within the range of int.
[[nodiscard]] int IntOption(const Args& args, const std::string& name, int fallback);

// "--name X" as a decimal number, with the same treatment of text that is none.
[[nodiscard]] double RealOption(const Args& args, const std::string& name, double fallback);

// A file of a source checkout: next to the executable first (the build copies the data there),
// then in the checkout's folder (training/, bench/); the bare name when neither has it.
[[nodiscard]] std::string CheckoutFile(const std::string& folder, const std::string& name);
// The teacher games of training/.
[[nodiscard]] inline std::string DefaultGames(const std::string& name) {
    return CheckoutFile("training", name);
}

}  // namespace obrin::cli
