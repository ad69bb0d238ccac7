#include "settings/filelocations.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <system_error>

#include "board/safefile.h"

namespace obrin {

namespace fs = std::filesystem;

namespace {

fs::path EnvPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? fs::path(value) : fs::path();
}


bool Exists(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec);
}

}  // namespace

std::filesystem::path ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && exe.has_parent_path()) return exe.parent_path();
    return fs::current_path(ec);
}

TFileLocations TFileLocations::FromEnvironment() {
    TFileLocations where;
    where.ProgramDir = ExecutableDir();
    where.ProgramDirWritable =
        !where.ProgramDir.empty() && ::access(where.ProgramDir.c_str(), W_OK) == 0;
    where.Home = EnvPath("OBRIN_HOME");
    fs::path config = EnvPath("XDG_CONFIG_HOME");
    if (config.empty() || config.is_relative()) {
        const fs::path home = EnvPath("HOME");
        config = home.empty() ? fs::path() : home / ".config";
    }
    where.UserDir = config.empty() ? where.ProgramDir : config / "obrin";
    return where;
}

std::vector<fs::path> TFileLocations::SearchOrder(std::string_view name) const {
    std::vector<fs::path> places;
    // OBRIN_HOME holds what was written; the files shipped with the program (the translation
    // table) are still found beside it until a copy has been saved. Without it, the folder we
    // write to comes first, so that what was saved is what is read back.
    std::array<fs::path, 2> dirs{ProgramDir, UserDir};
    if (!Home.empty())
        dirs = {Home, ProgramDir};
    else if (!ProgramDirWritable)
        dirs = {UserDir, ProgramDir};
    for (const fs::path& dir : dirs)
        if (!dir.empty()) places.push_back(dir / name);
    return places;
}

std::optional<fs::path> TFileLocations::FindForRead(std::string_view name) const {
    for (const fs::path& file : SearchOrder(name))
        if (Exists(file)) return file;
    return std::nullopt;
}

fs::path TFileLocations::PathForWrite(std::string_view name) const {
    if (!Home.empty()) return Home / name;
    return (ProgramDirWritable ? ProgramDir : UserDir) / name;
}

std::string ReadWholeFile(const fs::path& file) {
    return ReadRegularFile(file);
}

void WriteFileAtomically(const fs::path& target, std::string_view contents) {
    SafeWriteFile(target, contents);
}

}  // namespace obrin
