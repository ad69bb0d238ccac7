// Where the program's own files live, and how they are read and written safely.
//
// A file is looked for next to the executable and in the per-user folder
// ($XDG_CONFIG_HOME/obrin, default ~/.config/obrin). When the program's folder is writable the
// program keeps its files there; when it is not (an installed program), it writes to the per-user
// folder, and a copy found there is read before the one shipped next to the executable. Either
// way the file written is the one read next time. OBRIN_HOME, when set, replaces the per-user
// folder and is where everything is written; a file not (yet) there is read next to the program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace obrin {

// The folders files are looked for in. Built from the environment, or by hand in tests.
struct TFileLocations {
    std::filesystem::path ProgramDir;  // the executable's folder
    std::filesystem::path UserDir;     // the per-user folder
    std::filesystem::path Home;        // OBRIN_HOME; empty when not set
    bool ProgramDirWritable = true;    // false for an installed program

    // The folders of this process: the executable's (and whether it can be written),
    // $XDG_CONFIG_HOME/obrin or ~/.config/obrin, and OBRIN_HOME.
    [[nodiscard]] static TFileLocations FromEnvironment();

    // Where name is looked for, in order.
    [[nodiscard]] std::vector<std::filesystem::path> SearchOrder(std::string_view name) const;
    // The file to read for name, or nothing when it exists in none of the folders.
    [[nodiscard]] std::optional<std::filesystem::path> FindForRead(std::string_view name) const;
    // The path that name is written to.
    [[nodiscard]] std::filesystem::path PathForWrite(std::string_view name) const;
};

// The folder of the running executable (the working folder when it cannot be told).
[[nodiscard]] std::filesystem::path ExecutableDir();

// The whole file as bytes; raises EObrinError naming the file when it cannot be read, is no
// regular file or is too large (see board/safefile.h).
[[nodiscard]] std::string ReadWholeFile(const std::filesystem::path& file);

// Writes contents safely over target (see SafeWriteFile in board/safefile.h): a failure never
// leaves a half-written file, and what target is (its mode, owner, links) is kept. Creates the
// folder when needed. Raises EObrinError naming the file when it refuses or fails.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view contents);

}  // namespace obrin
