// Reading and writing whole files without ever losing or damaging what is there.
//
// Every file the program writes (records, settings, the language table, networks, training
// samples, debug files) goes through SafeWriteFile:
// - the target must be a regular file or not exist yet; a folder, a device, a FIFO or a socket
//   is refused with a message naming it, and nothing is written;
// - a file without any write permission bit (mode 444) is refused, even for root;
// - a symlink is followed: its target is rewritten and the link stays a link;
// - the new text goes to a temporary file of our own in the target's folder (mkstemp, so no
//   name of the user's is ever touched), is flushed to disk with fsync, gets the old file's
//   mode (and owner and group, where the process may set them) and is renamed over the old
//   file; then the folder is synced, so the rename itself survives a crash;
// - a file with more than one hard link is rewritten in place once the complete new text is
//   safely on disk in the temporary file, so that all its names keep sharing the new text. If
//   that in-place write fails, the temporary file is kept and the message names it.
//
// Files read whole go through ReadRegularFile, which refuses what is not a regular file (a
// symlink to /dev/zero, a FIFO) and files larger than a limit, instead of reading until memory
// runs out or blocking forever.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace obrin {

// The largest file read whole: records, data files, tables. Far above any real one.
inline constexpr std::uintmax_t MaxReadFileSize = std::uintmax_t{256} << 20;

// Writes contents to target as described above. Creates the target's folder when needed.
// Raises EObrinError naming the file when it refuses or fails; the old file is then untouched.
void SafeWriteFile(const std::filesystem::path& target, std::string_view contents);

// The file a write to target reaches: target itself, or the end of its chain of symlinks.
// Raises EObrinError naming target when that file exists and is no regular file, when it is
// read-only, or when the links loop. For files that are written bit by bit (a trace, a log
// that grows): check them once with this before opening them.
[[nodiscard]] std::filesystem::path CheckWriteTarget(const std::filesystem::path& target);

// The whole file. Raises EObrinError naming it when it is missing or unreadable, not a regular
// file, or larger than limit bytes.
[[nodiscard]] std::string ReadRegularFile(const std::filesystem::path& file,
                                          std::uintmax_t limit = MaxReadFileSize);

}  // namespace obrin
