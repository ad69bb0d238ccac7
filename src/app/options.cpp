#include "app/options.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <stdexcept>

#include "settings/filelocations.h"

namespace obrin::cli {

std::string Option(const Args& args, const std::string& name, std::string fallback) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name) fallback = args[i + 1];
    return fallback;
}

bool HasOption(const Args& args, const std::string& name) {
    return std::find(args.begin(), args.end(), name) != args.end();
}

long long NumberOption(const Args& args, const std::string& name, long long fallback) {
    if (!HasOption(args, name)) return fallback;
    const std::string text = Option(args, name, "");
    try {
        size_t used = 0;
        const long long value = std::stoll(text, &used);
        if (used == text.size()) return value;
    } catch (const std::exception&) {
    }
    throw std::runtime_error(name + " takes a whole number, not \"" + text + "\"");
}

int IntOption(const Args& args, const std::string& name, int fallback) {
    const long long value = NumberOption(args, name, fallback);
    if (value < INT_MIN || value > INT_MAX)
        throw std::runtime_error(name + " is out of range: " + std::to_string(value));
    return static_cast<int>(value);
}

double RealOption(const Args& args, const std::string& name, double fallback) {
    if (!HasOption(args, name)) return fallback;
    const std::string text = Option(args, name, "");
    try {
        size_t used = 0;
        const double value = std::stod(text, &used);
        if (used == text.size()) return value;
    } catch (const std::exception&) {
    }
    throw std::runtime_error(name + " takes a number, not \"" + text + "\"");
}

std::string CheckoutFile(const std::string& folder, const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exeDir = obrin::ExecutableDir();
    for (const fs::path& p : {exeDir / name, exeDir / "../.." / folder / name})
        if (fs::exists(p, ec)) return p.string();
    return name;
}

}  // namespace obrin::cli
